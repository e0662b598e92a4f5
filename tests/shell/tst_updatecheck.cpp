// The update check against a local HTTP server; message boxes are recorded as "style|title|prompt".
#include "common/HttpTestServer.h"
#include "lang/modLang.h"
#include "platform/Version.h"
#include "platform/net/InetTransfer.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/ShellOpen.h"
#include "shell/modDl.h"

#include <QtTest>

using namespace modDl;

const QString kDownload = QStringLiteral("https://downloads.invalid/Veltaro.zip");
const QString kNoInfo = QStringLiteral("16|Veltaro|No information.\r\nTry later.");
const QString kFailed = QStringLiteral("64|Veltaro|") + kTransferError;

static QByteArray Info(const QByteArray &version, const QByteArray &extra = {})
{
    return "Description=Veltaro\r\nCurrent Version=" + version + "\r\nDownload=" + kDownload.toUtf8() + "\r\n" + extra;
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
        server.respondBody(body);
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

    void cleanup() { QCOMPARE(QDir(work.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList()); }

    // Version|notice mode ("-" none)|interactive|boxes: Q download question, U up to date, N the server's notice.
    void versionsAndNotices()
    {
        for (const QString &row :
             QStringLiteral("1.0.15|-|1|Q;1.1.0|-|0|Q;2.0.0|-|1|Q;1.0.14|-|1|U;1.0.14|-|0|;1.0.9|-|1|U;"
                            "x.y.z|-|1|U;1.0.15abc|-|1|U;1.0.9|1|1|NU;1.0.15|1|1|NQ;1.0.9|1|0|;"
                            "1.0.15|2|1|NQ;1.0.14|2|1|U;2.0.0|2|0|Q;1.1.0|0|1|NQ;0.9.99|0|1|U;"
                            "2.0.0||1|NQ;2.0.0|3|1|Q")
                 .split(u';')) {
            const QString version = row.section(u'|', 0, 0), codes = row.section(u'|', 3);
            const QByteArray mode = row.section(u'|', 1, 1).toLatin1();
            const bool interactive = row.section(u'|', 2, 2) == u"1";
            init();
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
            const bool opens = expected.contains(all[2]) && interactive;
            QVERIFY2(boxes == expected && opened == (opens ? QStringList{kDownload + "|open"} : QStringList()),
                     qPrintable(row + u'\n' + boxes.join(u'\n')));
        }
    }

    // Only a web address goes to the browser; a path or other scheme is a malformed information file.
    void downloadMustBeAWebAddress()
    {
        answer = MsgBoxResult::Yes;
        for (const QByteArray &download :
             {QByteArray("/bin/sh"), QByteArray("file:///bin/sh"), QByteArray("sh"), QByteArray("ftp://host/x.zip"),
              QByteArray("https:///no-host"), QByteArray("javascript:alert(1)")}) {
            init();
            check("Current Version=9.0.0\r\nDownload=" + download + "\r\n", true);
            QVERIFY2(boxes == QStringList{kNoInfo} && opened.isEmpty(), download.constData());
        }
        init();
        check("Current Version=9.0.0\r\nDownload=HTTP://host/v.zip\r\n", true);
        QCOMPARE(opened, QStringList{QStringLiteral("http://host/v.zip|open")});
    }

    // A link placed under the temporary file's name is neither written through nor left holding data.
    void tempFileLinkNotFollowed()
    {
        QTemporaryDir elsewhere;
        const QString victim = elsewhere.filePath(QStringLiteral("victim"));
        QFile file(victim);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("mine") == 4);
        file.close();
        QVERIFY(QFile::link(victim, temp));
        check(Info("1.0.14"), true);
        QCOMPARE(boxes, QStringList{QStringLiteral("64|Up to date.|Up to date. Nothing to do.")});
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("mine"));
        QVERIFY(QFile::remove(temp));
        // Written directly to that name, the body is refused rather than sent through the link.
        QVERIFY(QFile::link(victim, temp));
        server.respondBody("body");
        QVERIFY(!DownloadToFile(transfer, server.url(), temp));
        QCOMPARE(boxes.last(), kFailed);
        file.seek(0);
        QCOMPARE(file.readAll(), QByteArray("mine"));
        QVERIFY(QFile::remove(temp));
    }

    void incompleteInformation()
    {
        // Keys match case-sensitively and only on the first 4049 lines: here Download is line 4050.
        const QByteArray filler = QByteArray("Comment\r\n").repeated(kMaxInfoLines - 2);
        for (const QByteArray &body :
             {QByteArray("Current Version=9.0.0\r\nMessage=m\r\nError=1\r\n"), QByteArray("Download=http://x/\r\n"),
              QByteArray(), filler + Info("2.0.0"), QByteArray("current version=2.0.0\r\nDownload=x\r\n"),
              QByteArray("x\r\n").repeated(7 << 20) + Info("2.0.0")}) {
            boxes.clear();
            check(body, true);
            check(body, false); // a silent check says nothing
            QCOMPARE(boxes, QStringList{kNoInfo});
        }
        // Keys within reach: on line 4049, after a 20 MB line, before 20 MB of binary junk.
        boxes.clear();
        check(filler.mid(9) + Info("1.0.15"), false);
        check(QByteArray(20 << 20, 'x') + "\r\n" + Info("1.0.15"), false);
        check(Info("1.0.15") + QByteArray(20 << 20, '\0'), false);
        QVERIFY2(boxes.size() == 3 && boxes.filter(QStringLiteral("68|Download?|")).size() == 3,
                 qPrintable(boxes.join(u'\n')));
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
            server.respond({status, Info("2.0.0") + QByteArray(5000, 'x'), headers, silent});
            transfer.setMaxBytes(maxBytes);
            QElapsedTimer clock;
            clock.start();
            CheckForUpdate(transfer, server.url(), temp, true);
            // Qt itself may send a request again once when the server closes a connection early.
            QVERIFY2(
                clock.elapsed() < 3000 && server.requests() >= requests && server.requests() <= requests + 1,
                qPrintable(
                    QStringLiteral("%1: %2 requests, %3 ms").arg(status).arg(server.requests()).arg(clock.elapsed())));
            QVERIFY(boxes == QStringList({kFailed, kNoInfo}) && opened.isEmpty());
        }
        transfer.setTimeoutMs(3000);
        transfer.setMaxBytes(max);
    }

    void unwritableTargetReports()
    {
        server.respondBody(Info("2.0.0"));
        QVERIFY(!DownloadToFile(transfer, server.url(), work.filePath(QStringLiteral("missing/VTemp.txt"))));
        QCOMPARE(boxes, QStringList{kFailed});
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
        QVERIFY2(!ok && clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(boxes.isEmpty() && !transfer.StillExecuting() && server.requests() == 1);
    }
};

QTEST_MAIN(tst_updatecheck)
#include "tst_updatecheck.moc"
