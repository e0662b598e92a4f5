#include "common/HttpTestServer.h"
#include "platform/InetTransfer.h"
#include "platform/MsgBox.h"
#include "platform/ShellOpen.h"
#include "platform/Version.h"
#include "shell/lang/modLang.h"
#include "shell/modDl.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace modDl;

namespace {

struct Box {
    QString prompt;
    int style;
    QString title;
};

const QString kDownload = QStringLiteral("https://downloads.invalid/Veltaro.zip");
const QString kQuestion = QStringLiteral("Download?");
const QString kUpToDate = QStringLiteral("Up to date.");
const QString kNoInfo = QStringLiteral("No information.\r\nTry later.");

QByteArray Info(const QByteArray &version, const QByteArray &extra = {})
{
    return "Description=Veltaro\r\nCurrent Version=" + version + "\r\nDownload=" + kDownload.toUtf8() + "\r\n" + extra;
}

QByteArray Filler(int lines)
{
    return QByteArray("Comment\r\n").repeated(lines);
}

} // namespace

class tst_updatecheck : public QObject {
    Q_OBJECT

    QList<Box> boxes;
    QStringList opened;
    int answer = MsgBoxResult::No;
    HttpTestServer server;
    InetTransfer transfer;
    QTemporaryDir work; // the program's folder for the checks
    QString temp;

    QStringList titles() const
    {
        QStringList t;
        for (const Box &b : boxes)
            t << b.title;
        return t;
    }

    void check(const QByteArray &body, bool interactive = true)
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
            boxes.append({prompt, style, title});
            return (style & 0x0F) == MsgBoxStyle::YesNo ? answer : MsgBoxResult::Ok;
        });
        SetShellOpenHandler([this](const QString &target, const QString &verb) {
            opened << target + u'|' + verb;
            return true;
        });
        transfer.setTimeoutMs(3000);
        QVERIFY(work.isValid());
        temp = UpdateTempFile(work.path());
    }

    void init()
    {
        boxes.clear();
        opened.clear();
        answer = MsgBoxResult::No;
        server.resetRequests();
        transfer.setRetries(InetTransfer::kDefaultRetries);
    }

    void cleanup()
    {
        const QStringList left = QDir(work.path()).entryList(QDir::Files | QDir::Hidden);
        QVERIFY2(left.isEmpty(), qPrintable(left.join(u' ')));
    }

    void versionNumbers()
    {
        QCOMPARE(RunningVersion().toString(), ProgramVersion());
        const VersionNumber running{1, 0, 14};
        for (const char *v : {"1.0.15", "1.1.0", "2.0.0"})
            QVERIFY2(SplitVersion(QString::fromLatin1(v)) > running, v);
        for (const char *v : {"1.0.14", "1.0.9", "0.9.99"})
            QVERIFY2(!(SplitVersion(QString::fromLatin1(v)) > running), v);
        QVERIFY(!(SplitVersion(QStringLiteral("1.0.20")) > SplitVersion(QStringLiteral("1.1.0"))));

        // Parts that are not numbers, and missing parts, count as 0.
        QCOMPARE(SplitVersion(QStringLiteral("1.0")), (VersionNumber{1, 0, 0}));
        QCOMPARE(SplitVersion(QStringLiteral("2")), (VersionNumber{2, 0, 0}));
        QCOMPARE(SplitVersion(QStringLiteral("x.y.z")), (VersionNumber{0, 0, 0}));
        QCOMPARE(SplitVersion(QStringLiteral("1..5")), (VersionNumber{1, 0, 5}));
        QCOMPARE(SplitVersion(QStringLiteral(" 1 . 2 . 3 ")), (VersionNumber{1, 2, 3}));
        QCOMPARE(SplitVersion(QStringLiteral("1.0.15abc")), (VersionNumber{1, 0, 0}));
        QCOMPARE(SplitVersion(QStringLiteral("1.0.14.2")), (VersionNumber{1, 0, 0}));
        QCOMPARE(SplitVersion(QStringLiteral("-1.+2.99999999999999999999999")), (VersionNumber{0, 0, 0}));
        QCOMPARE(SplitVersion(QString()), (VersionNumber{0, 0, 0}));
        QCOMPARE((VersionNumber{1, 0, 9}).toString(), QStringLiteral("1.0.9"));
    }

    void informationFile()
    {
        UpdateInfo info = ParseUpdateInfo("Current Version=1.2.3\r\nDownload=http://h/a?b=c\r\nMessage=Hi = there\r\n"
                                          "Description=ignored\r\nError=1\r\n");
        QCOMPARE(info.CurrentVersion, QStringLiteral("1.2.3"));
        QCOMPARE(info.Download, QStringLiteral("http://h/a?b=c"));
        QCOMPARE(info.Message, QStringLiteral("Hi = there"));
        QCOMPARE(info.ErrorMode, 1);

        // Keys are case-sensitive and must start the line; later lines replace earlier ones; a mode
        // that is not a 16-bit number keeps the earlier one.
        info = ParseUpdateInfo("current version=9.9.9\n Download=x\nDownload=a\nDownload=b\nError=2\nError=abc\n"
                               "Error=70000\nCurrent Version=1.0.0");
        QCOMPARE(info.CurrentVersion, QStringLiteral("1.0.0"));
        QCOMPARE(info.Download, QStringLiteral("b"));
        QCOMPARE(info.ErrorMode, 2);

        // Old Mac line ends, and a mode with blanks.
        info = ParseUpdateInfo("Error= 1 \rMessage=m\r");
        QCOMPARE(info.ErrorMode, 1);
        QCOMPARE(info.Message, QStringLiteral("m"));

        // Text that is not UTF-8 is Windows-1252.
        QCOMPARE(ParseUpdateInfo("Message=Gr\xfc\xdf\x80").Message, QStringLiteral(u"Grüß€"));
        QCOMPARE(ParseUpdateInfo("Message=Gr\xc3\xbc\xc3\x9f").Message, QStringLiteral(u"Grüß"));

        // Line 4049 is read, line 4050 is not.
        QCOMPARE(ParseUpdateInfo(Filler(kMaxInfoLines - 1) + "Download=in").Download, QStringLiteral("in"));
        QCOMPARE(ParseUpdateInfo(Filler(kMaxInfoLines) + "Download=out").Download, QString());
        QCOMPARE(ParseUpdateInfo(QByteArray(kMaxInfoLines, '\n') + "Download=out").Download, QString());

        // Binary junk never matches a key and never breaks the reader.
        QByteArray junk(1 << 20, '\0');
        QRandomGenerator rng(7);
        for (char &c : junk)
            c = static_cast<char>(rng.bounded(256));
        info = ParseUpdateInfo(junk + "\nDownload=x");
        QVERIFY(info.CurrentVersion.isEmpty());
        QCOMPARE(ParseUpdateInfo(QByteArray("Download=a\0b", 12)).Download, QStringLiteral(u"a\u0000b"));
    }

    void newerVersionAsks_data()
    {
        QTest::addColumn<QString>("version");
        QTest::newRow("revision") << "1.0.15";
        QTest::newRow("minor") << "1.1.0";
        QTest::newRow("major") << "2.0.0";
    }

    void newerVersionAsks()
    {
        QFETCH(QString, version);
        answer = MsgBoxResult::Yes;
        check(Info(version.toLatin1()));
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].style, MsgBoxStyle::YesNo | MsgBoxStyle::Information);
        QCOMPARE(boxes[0].title, kQuestion);
        QCOMPARE(
            boxes[0].prompt,
            QStringLiteral("NEW v.%1\r\nYOURS v.%2\r\n\r\nDownload? Browser opens.").arg(version, ProgramVersion()));
        QCOMPARE(opened, QStringList{kDownload + QStringLiteral("|open")});

        // No opens nothing; a silent check still asks.
        answer = MsgBoxResult::No;
        opened.clear();
        boxes.clear();
        check(Info(version.toLatin1()), false);
        QCOMPARE(titles(), QStringList{kQuestion});
        QVERIFY(opened.isEmpty());
    }

    void olderOrEqualVersionTells_data()
    {
        QTest::addColumn<QString>("version");
        QTest::newRow("equal") << "1.0.14";
        QTest::newRow("revision 9 < 14") << "1.0.9";
        QTest::newRow("older") << "0.9.99";
        QTest::newRow("not a number") << "x.y.z";
    }

    void olderOrEqualVersionTells()
    {
        QFETCH(QString, version);
        check(Info(version.toLatin1()));
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].style, MsgBoxStyle::Information);
        QCOMPARE(boxes[0].title, kUpToDate);
        QCOMPARE(boxes[0].prompt, QStringLiteral("Up to date. Nothing to do."));

        boxes.clear();
        check(Info(version.toLatin1()), false);
        QVERIFY(boxes.isEmpty());
        QVERIFY(opened.isEmpty());
    }

    void noticeModes_data()
    {
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<QByteArray>("version");
        QTest::addColumn<bool>("interactive");
        QTest::addColumn<QStringList>("expected");
        const QString notice = QStringLiteral("Veltaro");
        QTest::newRow("1 older") << QByteArray("1") << QByteArray("1.0.9") << true << QStringList{notice, kUpToDate};
        QTest::newRow("1 newer") << QByteArray("1") << QByteArray("1.0.15") << true << QStringList{notice, kQuestion};
        QTest::newRow("1 silent") << QByteArray("1") << QByteArray("1.0.9") << false << QStringList{};
        QTest::newRow("2 newer") << QByteArray("2") << QByteArray("1.0.15") << true << QStringList{notice, kQuestion};
        QTest::newRow("2 equal") << QByteArray("2") << QByteArray("1.0.14") << true << QStringList{kUpToDate};
        QTest::newRow("2 silent") << QByteArray("2") << QByteArray("2.0.0") << false << QStringList{kQuestion};
        QTest::newRow("0 newer") << QByteArray("0") << QByteArray("1.1.0") << true << QStringList{notice, kQuestion};
        QTest::newRow("0 older") << QByteArray("0") << QByteArray("0.9.99") << true << QStringList{kUpToDate};
        QTest::newRow("absent newer") << QByteArray() << QByteArray("2.0.0") << true << QStringList{notice, kQuestion};
        QTest::newRow("3 newer") << QByteArray("3") << QByteArray("2.0.0") << true << QStringList{kQuestion};
    }

    void noticeModes()
    {
        QFETCH(QByteArray, mode);
        QFETCH(QByteArray, version);
        QFETCH(bool, interactive);
        QFETCH(QStringList, expected);
        const QByteArray error = mode.isEmpty() ? QByteArray() : "Error=" + mode + "\r\n";
        check(Info(version, "Message=Server moves on Monday.\r\n" + error), interactive);
        QCOMPARE(titles(), expected);
        if (!expected.isEmpty() && expected[0] == u"Veltaro") {
            QCOMPARE(boxes[0].prompt, QStringLiteral("Server moves on Monday."));
            QCOMPARE(boxes[0].style, MsgBoxStyle::Information);
        }
    }

    void incompleteInformation_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("no download, newer") << QByteArray("Current Version=9.0.0\r\nMessage=m\r\nError=1\r\n");
        QTest::newRow("no version") << QByteArray("Download=http://x/\r\n");
        QTest::newRow("wrong case") << QByteArray("current version=2.0.0\r\nDownload=http://x/\r\n");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("keys after line 4049") << Filler(kMaxInfoLines) + Info("2.0.0");
        QTest::newRow("20 MB of lines") << QByteArray("x\r\n").repeated(7 << 20) + Info("2.0.0");
    }

    void incompleteInformation()
    {
        QFETCH(QByteArray, body);
        check(body);
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].style, MsgBoxStyle::Critical);
        QCOMPARE(boxes[0].title, QStringLiteral("Veltaro"));
        QCOMPARE(boxes[0].prompt, kNoInfo);

        boxes.clear();
        check(body, false);
        QVERIFY(boxes.isEmpty());
        QVERIFY(opened.isEmpty());
    }

    void bigFilesWithTheKeysInReach()
    {
        check(QByteArray(20 << 20, 'x') + "\r\n" + Info("1.0.15"));
        QCOMPARE(titles(), QStringList{kQuestion});

        boxes.clear();
        QByteArray junk(20 << 20, '\0');
        QRandomGenerator rng(11);
        for (char &c : junk)
            c = static_cast<char>(rng.bounded(256));
        check(Info("1.0.15") + junk);
        QCOMPARE(titles(), QStringList{kQuestion});
    }

    void transferFailures_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("headers");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<int>("requests");
        QTest::newRow("404, not repeated") << 404 << QByteArray() << false << 1;
        QTest::newRow("503, repeated twice") << 503 << QByteArray() << false << 3;
        QTest::newRow("no answer, repeated twice") << 200 << QByteArray() << true << 3;
        // Five redirects are followed, the sixth is refused, and the loop is not tried again.
        QTest::newRow("redirect loop") << 302 << QByteArray("Location: /download/Veltaro.zip.ver\r\n") << false << 6;
    }

    void transferFailures()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, headers);
        QFETCH(bool, silent);
        QFETCH(int, requests);
        server.respond({status, Info("2.0.0"), headers, silent});
        transfer.setTimeoutMs(300);
        QElapsedTimer clock;
        clock.start();
        CheckForUpdate(transfer, server.url(), temp, true);
        transfer.setTimeoutMs(3000);
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        // Qt itself may send a request again once when the server closes a connection early.
        QVERIFY2(server.requests() >= requests && server.requests() <= requests + 1,
                 qPrintable(QString::number(server.requests())));
        QCOMPARE(titles(), (QStringList{QStringLiteral("Veltaro"), QStringLiteral("Veltaro")}));
        QCOMPARE(boxes[0].prompt,
                 QStringLiteral("An error has occured in the file transfer or write.  Please try again later."));
        QCOMPARE(boxes[0].style, MsgBoxStyle::Information);
        QCOMPARE(boxes[1].prompt, kNoInfo);
        QCOMPARE(boxes[1].style, MsgBoxStyle::Critical);
        QVERIFY(opened.isEmpty());
    }

    void oversizedBodyFailsAtOnce()
    {
        server.respondBody(Info("2.0.0") + QByteArray(5000, 'x'));
        transfer.setMaxBytes(4096);
        CheckForUpdate(transfer, server.url(), temp, true);
        transfer.setMaxBytes(InetTransfer::kDefaultMaxBytes);
        QCOMPARE(server.requests(), 1);
        QCOMPARE(titles(), (QStringList{QStringLiteral("Veltaro"), QStringLiteral("Veltaro")}));
        QCOMPARE(boxes[0].prompt, kTransferError);
    }

    void unreachableAndUnwritable()
    {
        // Nothing listens on port 1: refused at once, every attempt.
        CheckForUpdate(transfer, QStringLiteral("http://127.0.0.1:1/download/Veltaro.zip.ver"), temp, true);
        QCOMPARE(titles(), (QStringList{QStringLiteral("Veltaro"), QStringLiteral("Veltaro")}));

        boxes.clear();
        server.respondBody(Info("2.0.0"));
        QTemporaryDir dir;
        const QString unwritable = dir.filePath(QStringLiteral("missing/VTemp.txt"));
        QVERIFY(!DownloadToFile(transfer, server.url(), unwritable));
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].prompt, kTransferError);

        // Replaces an existing file with the bytes unchanged.
        boxes.clear();
        const QString target = dir.filePath(QStringLiteral("info.ver"));
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(1000, 'o'));
        old.close();
        const QByteArray body("A\0\r\n\xff", 5);
        server.respondBody(body);
        QVERIFY(DownloadToFile(transfer, server.url(), target));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), body);
        QVERIFY(boxes.isEmpty());
    }

    void busyTransferRefusesASecondRequest()
    {
        server.respond({200, {}, {}, true});
        transfer.setTimeoutMs(400);
        transfer.setRetries(0);
        bool nested = true;
        qsizetype boxesDuring = -1;
        QTemporaryDir dir;
        QTimer::singleShot(100, this, [&] {
            QVERIFY(transfer.StillExecuting());
            nested = DownloadToFile(transfer, server.url(), dir.filePath(QStringLiteral("second")));
            boxesDuring = boxes.size();
        });
        QVERIFY(!DownloadToFile(transfer, server.url(), dir.filePath(QStringLiteral("first"))));
        transfer.setTimeoutMs(3000);
        QVERIFY(!nested);
        QCOMPARE(boxesDuring, 0);
        QCOMPARE(server.requests(), 1);
        QVERIFY(!transfer.StillExecuting());
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("second"))));
    }

    void tempFileFolder()
    {
        QCOMPARE(temp, work.path() + QStringLiteral("/VTemp.txt"));
        QCOMPARE(UpdateTempFile(QCoreApplication::applicationDirPath()),
                 QCoreApplication::applicationDirPath() + QStringLiteral("/VTemp.txt"));
        const QString fallback = UpdateTempFile(QStringLiteral("/nonexistent/folder"));
        QCOMPARE(fallback,
                 QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/VTemp.txt"));
    }

    void shellOpenStartsPrograms()
    {
        SetShellOpenHandler({});
        QTemporaryDir dir;
        const QString script = dir.filePath(QStringLiteral("record.sh"));
        QFile file(script);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\necho \"$@\" > \"$PWD/args.txt\"\n");
        file.close();
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);

        QVERIFY(!ShellOpen(script, 4, QString(), dir.path(), 1)); // no "print" for an arbitrary file
        QVERIFY(!ShellOpen(QString(), 1, QString(), QString(), 1));
        QVERIFY(ShellOpen(QStringLiteral("record.sh"), 1, QStringLiteral("one \"two three\""), dir.path(), 1));
        const QString args = dir.filePath(QStringLiteral("args.txt"));
        QTRY_VERIFY(QFile::exists(args) && QFileInfo(args).size() > 0);
        QFile result(args);
        QVERIFY(result.open(QIODevice::ReadOnly));
        QCOMPARE(result.readAll(), QByteArray("one two three\n"));
        initTestCase();
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
        QCOMPARE(server.requests(), 1);
    }
};

QTEST_MAIN(tst_updatecheck)
#include "tst_updatecheck.moc"
