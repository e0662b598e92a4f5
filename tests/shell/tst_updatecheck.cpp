// The update check against a local HTTP server; message boxes are recorded as "style|title|prompt".
#include "common/EngineTestSupport.h"
#include "common/SystemSupport.h"
#include "lang/modLang.h"
#include "platform/Version.h"
#include "platform/net/InetTransfer.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/ShellOpen.h"
#include "shell/modDl.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

using namespace modDl;

// An HTTP server on 127.0.0.1 giving every request, one per connection, the response set by respond().
struct HttpTestServer : QObject {
    struct Response {
        int status = 200;
        QByteArray body;
        QByteArray headers;  // extra header lines, each ending in CR LF
        bool silent = false; // read the request, never answer
    };
    QTcpServer server;
    Response response;
    int requests = 0; // since the last respond()

    HttpTestServer()
    {
        server.listen(QHostAddress::LocalHost);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/Veltaro.zip.ver").arg(server.serverPort()); }
    void respond(const Response &r) { response = r, requests = 0; }
    void answer(QTcpSocket *socket)
    {
        if (!socket->peek(1 << 16).contains("\r\n\r\n"))
            return; // the request is not complete yet
        disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
        ++requests;
        if (!response.silent) {
            socket->write("HTTP/1.1 " + QByteArray::number(response.status) +
                          " Test\r\nContent-Length: " + QByteArray::number(response.body.size()) +
                          "\r\nConnection: close\r\n" + response.headers + "\r\n" + response.body);
            socket->disconnectFromHost();
        }
    }
};

const QString kDownload = QStringLiteral("https://downloads.invalid/Veltaro.zip");
const QString kNoInfo = QStringLiteral("16|Veltaro|No information.\r\nTry later.");
const QString kFailed = QStringLiteral("64|Veltaro|") + kTransferError;

static QByteArray Info(const QByteArray &version, const QByteArray &extra = {})
{
    return "Description=Veltaro\r\nCurrent Version=" + version + "\r\nDownload=" + kDownload.toUtf8() + "\r\n" + extra;
}

// Fills in versions around the one the build carries: <same>, a step up in each part, and <older>,
// which for a two-digit revision is x.y.9, later than the running version when compared as text.
static QString Around(QString text)
{
    const VersionNumber v = RunningVersion();
    const auto version = [](quint64 major, quint64 minor, quint64 revision) {
        return QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(revision);
    };
    const QString older = v.revision >= 10 ? version(v.major, v.minor, 9)
                          : v.revision > 0 ? version(v.major, v.minor, v.revision - 1)
                                           : version(v.major - 1, 99, 99);
    return text.replace(QStringLiteral("<same>"), version(v.major, v.minor, v.revision))
        .replace(QStringLiteral("<revision+1>"), version(v.major, v.minor, v.revision + 1))
        .replace(QStringLiteral("<minor+1>"), version(v.major, v.minor + 1, 0))
        .replace(QStringLiteral("<major+1>"), version(v.major + 1, 0, 0))
        .replace(QStringLiteral("<major-1>"), version(v.major - 1, 99, 99))
        .replace(QStringLiteral("<older>"), older);
}

class tst_updatecheck : public QObject {
    Q_OBJECT
    QStringList boxes, opened;
    int answer = MsgBoxResult::No;
    HttpTestServer server;
    InetTransfer transfer;
    QTemporaryDir work; // the program's folder
    QString temp;

    void check(const QByteArray &body, bool interactive)
    {
        server.respond({200, body, {}, false});
        CheckForUpdate(transfer, server.url(), temp, interactive);
    }

private slots:
    void initTestCase()
    {
        modLang::LoadLanguageData("43=NEW v.\r\n44=YOURS v.\r\n45=Download?\r\n46=Browser opens.\r\n"
                                  "47=Up to date.\r\n48=Nothing to do.\r\n50=No information.|Try later.\r\n");
        SetMsgBoxHandler([this](const QString &prompt, int style, const QString &title) {
            boxes << QStringLiteral("%1|%2|%3").arg(style).arg(title, prompt);
            return (style & 0x0F) == MsgBoxStyle::YesNo ? answer : MsgBoxResult::Ok;
        });
        SetShellOpenHandler([this](const QString &target, const QString &verb) {
            opened << target + u'|' + verb;
            return true;
        });
        transfer.setTimeoutMs(3000);
        QCOMPARE(temp = UpdateTempFile(work.path()), work.path() + QStringLiteral("/VTemp.txt"));
        QCOMPARE(UpdateTempFile(QStringLiteral("/nonexistent/folder")),
                 QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/VTemp.txt"));
    }

    void init() { boxes.clear(), opened.clear(); }

    void cleanup()
    {
        QCOMPARE(QDir(work.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    }

    // Version|notice mode ("-" no notice, "" no mode)|interactive|boxes: Q download question, U up to date, N the
    // notice.
    void versionsAndNotices_data()
    {
        QTest::addColumn<QString>("row");
        for (const QString &row :
             Around("<revision+1>|-|1|Q;<minor+1>|-|0|Q;<major+1>|-|1|Q;<same>|-|1|U;<same>|-|0|;<older>|-|1|U;"
                    "x.y.z|-|1|U;<revision+1>abc|-|1|U;<older>|1|1|NU;<revision+1>|1|1|NQ;<older>|1|0|;"
                    "<revision+1>|2|1|NQ;<same>|2|1|U;<major+1>|2|0|Q;<minor+1>|0|1|NQ;<major-1>|0|1|U;"
                    "<major+1>||1|NQ;<major+1>|3|1|Q")
                 .split(u';'))
            QTest::newRow(qPrintable(row)) << row;
    }
    void versionsAndNotices()
    {
        QFETCH(QString, row);
        const QString version = row.section(u'|', 0, 0), codes = row.section(u'|', 3);
        const QByteArray mode = row.section(u'|', 1, 1).toLatin1();
        const bool interactive = row.section(u'|', 2, 2) == u"1";
        answer = interactive ? MsgBoxResult::Yes : MsgBoxResult::No; // Yes only when asked from the menu
        const QByteArray error = mode.isEmpty() ? QByteArray() : "Error=" + mode + "\r\n";
        check(Info(version.toLatin1(), mode == "-" ? QByteArray() : "Message=Neuer Server ab M\xe4rz.\r\n" + error),
              interactive);
        const QStringList all{QStringLiteral(u"64|Veltaro|Neuer Server ab März."),
                              QStringLiteral("64|Up to date.|Up to date. Nothing to do."),
                              QStringLiteral("68|Download?|NEW v.%1\r\nYOURS v.%2\r\n\r\nDownload? Browser opens.")
                                  .arg(version, ProgramVersion())};
        QStringList expected;
        for (QChar c : codes)
            expected << all[QStringLiteral("NUQ").indexOf(c)];
        QCOMPARE(boxes, expected);
        QCOMPARE(opened, codes.contains(u'Q') && interactive ? QStringList{kDownload + "|open"} : QStringList());
    }

    // A link placed under the temporary file's name is neither written through nor left holding data.
    void tempFileLinkNotFollowed()
    {
        QTemporaryDir elsewhere;
        const QString victim = elsewhere.filePath(QStringLiteral("victim"));
        QVERIFY(SystemTest::WriteFile(victim, "mine"));
        QVERIFY(QFile::link(victim, temp));
        check(Info(ProgramVersion().toLatin1()), true);
        QCOMPARE(boxes, QStringList{QStringLiteral("64|Up to date.|Up to date. Nothing to do.")});
        QCOMPARE(EngineTest::ReadAll(victim), QByteArray("mine"));
        QVERIFY(QFile::remove(temp));
        // Written directly to that name, the body is refused rather than sent through the link, and said so.
        QVERIFY(QFile::link(victim, temp));
        server.respond({200, "body", {}, false});
        QVERIFY(!DownloadToFile(transfer, server.url(), temp));
        QCOMPARE(boxes.last(), kFailed);
        QCOMPARE(EngineTest::ReadAll(victim), QByteArray("mine"));
        QVERIFY(QFile::remove(temp));
    }

    // Keys missing, in other case or beyond line 4049, and a download that is no web address: the
    // information is incomplete, which a manual check says once and a silent one not at all.
    void incompleteInformation()
    {
        answer = MsgBoxResult::Yes;
        const QByteArray filler = QByteArray("Comment\r\n").repeated(kMaxInfoLines - 2); // Download on line 4050
        const QByteArray newer = Around("<major+1>").toLatin1();
        QList<QByteArray> bodies{"Current Version=" + newer + "\r\nMessage=m\r\nError=1\r\n", "Download=http://x/\r\n",
                                 "", "current version=" + newer + "\r\nDownload=x\r\n"};
        bodies << filler + Info(newer) << QByteArray("x\r\n").repeated(7 << 20) + Info(newer);
        for (const char *download :
             {"/bin/sh", "file:///bin/sh", "sh", "ftp://host/x.zip", "https:///no-host", "javascript:alert(1)"})
            bodies << "Current Version=" + newer + "\r\nDownload=" + QByteArray(download) + "\r\n";
        for (const QByteArray &body : bodies) {
            init();
            check(body, true);
            check(body, false);
            QVERIFY2(boxes == QStringList{kNoInfo}, body.left(60).constData());
            QVERIFY2(opened.isEmpty(), body.left(60).constData());
        }
        // Keys within reach: on line 4049, after a 20 MB line, before 20 MB of binary junk.
        init();
        check(filler.mid(9) + Info(Around("<revision+1>").toLatin1()), false);
        check(QByteArray(20 << 20, 'x') + "\r\n" + Info(Around("<revision+1>").toLatin1()), false);
        check(Info(Around("<revision+1>").toLatin1()) + QByteArray(20 << 20, '\0'), false);
        QCOMPARE(boxes.size(), 3);
        QCOMPARE(boxes.filter(QStringLiteral("68|Download?|")), boxes);
        // The scheme's letter case is free.
        init();
        check("Current Version=" + Around("<major+1>").toLatin1() + "\r\nDownload=HTTP://host/v.zip\r\n", true);
        QCOMPARE(opened, QStringList{QStringLiteral("http://host/v.zip|open")});
    }

    void transferFailures()
    {
        // Status, headers, never answering, size limit, requests: redirects are followed five times, not repeated.
        const qint64 max = InetTransfer::kDefaultMaxBytes;
        // clang-format off
        const std::tuple<int, QByteArray, bool, qint64, int> rows[] = {
            {404, {}, false, max, 1}, {503, {}, false, max, 3}, {200, {}, true, max, 3}, {200, {}, false, 4096, 1},
            {302, "Location: /Veltaro.zip.ver\r\n", false, max, 6}};
        // clang-format on
        transfer.setTimeoutMs(300);
        for (const auto &[status, headers, silent, maxBytes, requests] : rows) {
            init();
            server.respond({status, Info(Around("<major+1>").toLatin1()) + QByteArray(5000, 'x'), headers, silent});
            transfer.setMaxBytes(maxBytes);
            QElapsedTimer clock;
            clock.start();
            CheckForUpdate(transfer, server.url(), temp, true);
            const QString what =
                QStringLiteral("%1: %2 requests, %3 ms").arg(status).arg(server.requests).arg(clock.elapsed());
            QVERIFY2(clock.elapsed() < 3000, qPrintable(what));
            // Qt itself may send each request again once when the server closes a connection early,
            // and on a loaded machine it did so for two hops of the same redirect chain.
            QVERIFY2(server.requests >= requests, qPrintable(what));
            QVERIFY2(server.requests <= 2 * requests, qPrintable(what));
            QCOMPARE(boxes, QStringList({kFailed, kNoInfo}));
            QVERIFY(opened.isEmpty());
        }
        transfer.setTimeoutMs(3000);
        transfer.setMaxBytes(max);
    }

    // Last: it ends the application's event loop, as closing the window does during a check.
    void quittingEndsAnOpenFetchQuietly()
    {
        server.respond({200, {}, {}, true});
        transfer.setTimeoutMs(5000);
        bool ok = true;
        QElapsedTimer clock;
        QTimer::singleShot(0, this, [&] {
            clock.start();
            QTimer::singleShot(200, qApp, &QCoreApplication::quit);
            ok = DownloadToFile(transfer, server.url(), temp);
        });
        QCoreApplication::exec();
        QVERIFY(!ok);
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(boxes.isEmpty());
        QVERIFY(!transfer.StillExecuting());
        QCOMPARE(server.requests, 1);
    }
};

QTEST_MAIN(tst_updatecheck)
#include "tst_updatecheck.moc"
