// "Start Single" and "Start Multiple" through the headless context: the whole run, the clean-up
// and the result log file.
#include "common/EngineTestSupport.h"
#include "engine/RunDriver.h"
#include "platform/Version.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/resource.h>

using namespace EngineTest;

namespace {

void Touch(const QString &path)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
}

std::unique_ptr<HeadlessContext> Idle(const QString &path)
{
    auto ctx = MakeContext(path);
    ctx->Stop = true;
    ctx->chkDisableCaching = false;
    ctx->Txt1Text = QStringLiteral("2");
    ctx->Txt2Text = QStringLiteral("1");
    return ctx;
}

QStringList FileLines(const QString &path)
{
    const QByteArray bytes = ReadAll(path);
    if (!bytes.endsWith("\r\n"))
        return {QStringLiteral("<no CR LF at the end>")};
    QStringList lines = QString::fromUtf8(bytes).split(QStringLiteral("\r\n"));
    lines.removeLast();
    return lines;
}

const QString kRule(43, u'#');

} // namespace

class TestRunDrivers : public QObject {
    Q_OBJECT
private slots:
    void init() { UseGerman(); }
    void cleanupTestCase() { UseGerman(); }

    void singleRunWithResultLog()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + u'/';
        Touch(path + "other.tst");
        Touch(path + "keep.txt");
        auto ctx = Idle(path);
        ctx->Drive1Text = "  " + dir.path() + " ";
        ctx->Chk11 = true;
        QStringList lockStates;
        ctx->Pump = [&](bool) { lockStates << (ctx->InputsLocked ? "locked" : "free"); };

        StartSingle(*ctx);

        QVERIFY(ctx->Stop);
        QVERIFY(!ctx->InputsLocked);
        QVERIFY(!ctx->Busy);
        QCOMPARE(lockStates.first(), QStringLiteral("locked"));
        QCOMPARE(FilesIn(path, "*.tst"), QStringList());
        QVERIFY(QFile::exists(path + "keep.txt"));
        QVERIFY(QRegularExpression(QStringLiteral("^Single_VeltaroLog_\\d\\d_\\d\\d_\\d\\d_\\d\\d_\\d\\d\\.log$"))
                    .match(QFileInfo(ctx->LogFile).fileName())
                    .hasMatch());
        QCOMPARE(QFileInfo(ctx->LogFile).path() + u'/', path);

        const QStringList summary = {"Ergebnis:", "Schreibzeit: 1,532 Sek.", "0,652741514360313 MB/s",
                                     "Lesezeit: 1,532 Sek.", "0,652741514360313 MB/s"};
        QCOMPARE(ctx->LogTextLines().mid(ctx->LogTextLines().size() - 5), summary);
        QCOMPARE(ctx->Caption, summary.join(QStringLiteral("\r\n")) + "\r\n");

        QStringList expected = {kRule, "# Veltaro auf:   " + dir.path() + " ", kRule, ""};
        expected << ctx->LogTextLines() << ""
                 << "Erstellt mit Veltaro v." + ProgramVersion();
        QCOMPARE(FileLines(ctx->LogFile), expected);
        QVERIFY(expected.contains(QStringLiteral("Lese Datei  2")));

        // A second run in the same minute appends to the same file.
        const QString first = ctx->LogFile;
        StartSingle(*ctx);
        if (ctx->LogFile == first)
            QCOMPARE(FileLines(first).count(kRule), 4);
    }

    void refusedTargetAndBadValues()
    {
        QTemporaryDir dir;
        auto ctx = Idle(dir.path() + "/missing/");
        ctx->LogFile = QStringLiteral("unchanged");
        StartSingle(*ctx);
        QCOMPARE(ctx->LogTextLines(), QStringList({"Translation Error!"}));
        QCOMPARE(ctx->Caption, QStringLiteral("Translation Error!\r\n"));
        QVERIFY(!ctx->InputsLocked && !ctx->Busy && ctx->Stop);
        QCOMPARE(ctx->LogFile, QStringLiteral("unchanged"));

        // A file is no target, and the window's own check can refuse a folder.
        Touch(dir.path() + "/file");
        ctx->Drive1Text = dir.path() + "/file";
        StartMultiple(*ctx);
        QCOMPARE(ctx->LogTextLines().last(), QStringLiteral("Translation Error!"));
        ctx->Drive1Text = dir.path();
        ctx->AcceptTarget = [](const QString &) { return false; };
        StartSingle(*ctx);
        QCOMPARE(ctx->LogTextLines().size(), 3);
        ctx->AcceptTarget = nullptr;

        for (const char *bad : {"", "abc", "99999999999"}) {
            ctx->Log.clear();
            ctx->Txt1Text = QString::fromLatin1(bad);
            StartSingle(*ctx);
            QCOMPARE(ctx->LogTextLines(), QStringList({"Werte dürfen nicht größer als 32000 sein!"}));
            QVERIFY(!ctx->InputsLocked && !ctx->Busy && ctx->Stop);
        }
        QCOMPARE(FilesIn(dir.path()), QStringList({"file"}));
    }

    void abortedRunStillCleansUp()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + u'/';
        auto ctx = Idle(path);
        ctx->Chk11 = true;
        ctx->Pump = [&ctx](bool) { ctx->Stop = true; };
        StartSingle(*ctx);
        QCOMPARE(ctx->LogTextLines().last(), QStringLiteral("Abbruch..."));
        QVERIFY(!ctx->LogTextLines().contains(QStringLiteral("Lese 2MB")));
        QCOMPARE(FilesIn(path, "*.tst"), QStringList());
        const QStringList file = FileLines(ctx->LogFile);
        QCOMPARE(file.mid(file.size() - 3, 2), QStringList({"Abbruch...", ""}));
    }

    void cleanUpGivesUpAfterItsRetries()
    {
        // The first file cannot be created, so no .tst exists and every delete fails.
        QTemporaryDir dir;
        const QString path = dir.path() + u'/';
        auto ctx = Idle(path);
        ctx->Txt1Text = QStringLiteral("0");
        ctx->Chk11 = true;
        StartSingle(*ctx);
        QCOMPARE(ctx->LogTextLines().last(), QStringLiteral("Kann Testdateien nicht löschen!"));
        QCOMPARE(ctx->Pumps, 1 + 32000);
        QVERIFY(!QFile::exists(ctx->LogFile));
        QVERIFY(!ctx->InputsLocked && !ctx->Busy && ctx->Stop);
    }

    void multipleRunDeletesOnlyItsNumberedFiles()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + u'/';
        Touch(path + "other.tst");
        Touch(path + "7.tst");
        auto ctx = Idle(path);
        ctx->Txt1Text = QStringLiteral("3");
        ctx->Chk11 = true;
        // During the read phase 2.tst becomes a folder that cannot be deleted; the open file still reads.
        ctx->Pump = [&](bool) {
            if (ctx->LogTextLines().contains(QStringLiteral("Lese 3MB")) && !QFileInfo(path + "2.tst").isDir()) {
                QVERIFY(QFile::rename(path + "2.tst", path + "moved"));
                QVERIFY(QDir(path).mkpath(QStringLiteral("2.tst/inner")));
            }
        };
        StartMultiple(*ctx);
        const QStringList lines = ctx->LogTextLines();
        QCOMPARE(lines.last(), QStringLiteral("Kann Testdatei 2.tst nicht löschen!"));
        QCOMPARE(lines[lines.size() - 2], QStringLiteral("1,95822454308094 MB/s"));
        QCOMPARE(FilesIn(path, "*.tst"), QStringList({"7.tst", "other.tst"}));
        QVERIFY(QFileInfo(ctx->LogFile).fileName().startsWith(QStringLiteral("Multiple_VeltaroLog_")));
        QCOMPARE(FileLines(ctx->LogFile).last(), "Erstellt mit Veltaro v." + ProgramVersion());
        QVERIFY(!ctx->InputsLocked && ctx->Stop);
    }

    void multipleRunOutOfDescriptors()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + u'/';
        auto ctx = Idle(path);
        ctx->Txt1Text = QStringLiteral("300");
        rlimit old{};
        QVERIFY(::getrlimit(RLIMIT_NOFILE, &old) == 0);
        const int before = OpenDescriptors();
        rlimit low = old;
        low.rlim_cur = static_cast<rlim_t>(before + 30);
        QVERIFY(::setrlimit(RLIMIT_NOFILE, &low) == 0);
        StartMultiple(*ctx);
        const int after = OpenDescriptors();
        ::setrlimit(RLIMIT_NOFILE, &old);
        QCOMPARE(ctx->LogTextLines().last(), "Kann auf " + path + " nicht zugreifen!");
        QCOMPARE(after, before);
        QCOMPARE(FilesIn(path), QStringList());
    }

    void countsBeyondSixteenBitsLeaveTheirFiles()
    {
        // With few descriptors the write phase stops after a few hundred files either way; what
        // differs is the clean-up, which reads the count as 16 bits: 32768 does not fit, so it
        // deletes nothing and the files stay.
        for (const char *count : {"32767", "32768"}) {
            QTemporaryDir dir;
            const QString path = dir.path() + u'/';
            auto ctx = Idle(path);
            ctx->Txt1Text = QString::fromLatin1(count);
            rlimit old{};
            QVERIFY(::getrlimit(RLIMIT_NOFILE, &old) == 0);
            rlimit low = old;
            low.rlim_cur = static_cast<rlim_t>(OpenDescriptors() + 200);
            QVERIFY(::setrlimit(RLIMIT_NOFILE, &low) == 0);
            StartMultiple(*ctx);
            ::setrlimit(RLIMIT_NOFILE, &old);
            COMPARE_LINES(ctx->LogTextLines(), QStringList({"Teststart: <time>",
                                                            "Erstelle " + QString::fromLatin1(count) + " Dateien (" +
                                                                QString::fromLatin1(count) + " MB)",
                                                            "Kann auf " + path + " nicht zugreifen!"}));
            const qsizetype left = FilesIn(path, QStringLiteral("*.tst")).size();
            if (QByteArray(count) == "32767")
                QCOMPARE(left, 0);
            else
                QVERIFY2(left > 150 && left < 205, qPrintable(QString::number(left)));
        }
    }

    void englishRun()
    {
        UseEnglish();
        QTemporaryDir dir;
        auto ctx = Idle(dir.path());
        ctx->Txt1Text = QStringLiteral("1.9"); // read as 1
        ctx->Chk11 = true;
        StartMultiple(*ctx);
        const QStringList file = FileLines(ctx->LogFile);
        QCOMPARE(file.mid(0, 2), QStringList({kRule, "# Veltaro on: " + dir.path()}));
        QVERIFY(file.contains(QStringLiteral("Write time: 1.532 sec.")));
        QVERIFY(file.contains(QStringLiteral("0.652741514360313 MB/s")));
        QCOMPARE(file.last(), "Created with Veltaro version " + ProgramVersion());
        QCOMPARE(FilesIn(dir.path(), "*.tst"), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestRunDrivers)
#include "tst_run_drivers.moc"
