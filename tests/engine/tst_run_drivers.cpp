// "Start Single" and "Start Multiple" headless: the whole run, the clean-up and the result log file.
#include "common/EngineTestSupport.h"
#include "engine/RunDriver.h"
#include "platform/Version.h"

#include <QtTest>

using namespace EngineTest;

namespace {

// An idle window's inputs on a temporary folder: two files of 1 MB through the cache, a log file.
struct Idle : Target {
    Idle()
    {
        ctx->Stop = true;
        ctx->chkDisableCaching = false;
        ctx->Txt1Text = QStringLiteral("2");
        ctx->Txt2Text = QStringLiteral("1");
        ctx->Chk11 = true;
    }
    bool AtRest() const { return !ctx->InputsLocked && !ctx->Busy && ctx->Stop; }
};

const QString kRule(43, u'#');
const QByteArray kVersionLine = "\r\nErstellt mit Veltaro v." + ProgramVersion().toUtf8() + "\r\n";

} // namespace

class TestRunDrivers : public QObject {
    Q_OBJECT
private slots:
    void init() { UseGerman(); }

    void singleRunWithResultLog()
    {
        Idle t;
        auto &ctx = t.ctx;
        QFile(t.path + "other.tst").open(QIODevice::WriteOnly);
        ctx->Drive1Text = "  " + t.dir.path() + " ";
        ctx->Pump = [&](bool) { QVERIFY(ctx->InputsLocked && ctx->Busy); }; // up to the clean-up's end
        StartSingle(*ctx);
        QVERIFY(t.AtRest());
        QCOMPARE(FilesIn(t.path, "*.tst"), QStringList());
        const QRegularExpression name("^" + QRegularExpression::escape(t.path) +
                                      "Single_VeltaroLog_\\d\\d_\\d\\d_\\d\\d_\\d\\d_\\d\\d\\.log$");
        QVERIFY2(name.match(ctx->LogFile).hasMatch(), qPrintable(ctx->LogFile));

        const QStringList summary = {"Ergebnis:", "Schreibzeit: 1,532 Sek.", "0,652741514360313 MB/s",
                                     "Lesezeit: 1,532 Sek.", "0,652741514360313 MB/s"};
        QCOMPARE(ctx->LogTextLines().mid(ctx->LogTextLines().size() - 5), summary);
        QCOMPARE(ctx->Caption, summary.join(QStringLiteral("\r\n")) + "\r\n");
        QCOMPARE(
            ReadAll(ctx->LogFile),
            (kRule + "\r\n# Veltaro auf:   " + t.dir.path() + " \r\n" + kRule + "\r\n\r\n" + ctx->Log.text()).toUtf8() +
                kVersionLine);

        // A second run in the same minute appends to the same file.
        const QString first = ctx->LogFile;
        StartSingle(*ctx);
        QVERIFY(ctx->LogFile != first || ReadAll(first).count(kRule.toUtf8()) == 4);
    }

    void refusedTargetAndBadValues()
    {
        Idle t;
        auto &ctx = t.ctx;
        for (const char *bad : {"", "abc", "99999999999"}) {
            ctx->Txt1Text = QString::fromLatin1(bad);
            StartSingle(*ctx);
            QCOMPARE(ctx->LogTextLines().last(), QStringLiteral("Werte dürfen nicht größer als 32000 sein!"));
            QVERIFY(t.AtRest());
        }
        // A missing folder or a file is no target, and the window's own check can refuse a folder.
        ctx->Log.clear();
        for (const QString &target : {t.path + "missing/", t.path + "file", t.path}) {
            QFile(t.path + "file").open(QIODevice::WriteOnly);
            ctx->Drive1Text = target;
            ctx->AcceptTarget = [&](const QString &) { return target != t.path; };
            StartMultiple(*ctx);
            QCOMPARE(ctx->Caption, QStringLiteral("Translation Error!\r\n"));
            QVERIFY(t.AtRest());
        }
        QCOMPARE(ctx->LogTextLines().size(), 3);
        QCOMPARE(FilesIn(t.path), QStringList({"file"}));
    }

    void abortedRunCleansUpAndFailedCleanUpGivesUp()
    {
        Idle t;
        t.ctx->Pump = [&t](bool) { t.ctx->Stop = true; };
        StartSingle(*t.ctx);
        QVERIFY(t.ctx->Log.text().endsWith(QStringLiteral("Datei  1...\r\nAbbruch...\r\n")));
        QCOMPARE(FilesIn(t.path, "*.tst"), QStringList());
        QVERIFY(ReadAll(t.ctx->LogFile).endsWith("\r\nAbbruch...\r\n" + kVersionLine));

        // With no file written every delete fails: text 8 after the retries, and no log file.
        Idle none;
        none.ctx->Txt1Text = QStringLiteral("0");
        StartSingle(*none.ctx);
        QCOMPARE(none.ctx->LogTextLines().last(), QStringLiteral("Kann Testdateien nicht löschen!"));
        QCOMPARE(none.ctx->Pumps, 1 + 32000);
        QVERIFY(!QFile::exists(none.ctx->LogFile) && none.AtRest());
    }

    void multipleRunDeletesOnlyItsNumberedFiles()
    {
        Idle t;
        auto &ctx = t.ctx;
        QFile(t.path + "other.tst").open(QIODevice::WriteOnly);
        QFile(t.path + "7.tst").open(QIODevice::WriteOnly);
        ctx->Txt1Text = QStringLiteral("3");
        // During the read phase 2.tst becomes a folder that cannot be deleted; the open file still reads.
        ctx->Pump = [&](bool) {
            if (ctx->Log.text().contains(QStringLiteral("Lese 3MB")) && !QFileInfo(t.path + "2.tst").isDir())
                QVERIFY(QFile::rename(t.path + "2.tst", t.path + "moved") && QDir(t.path).mkpath("2.tst/inner"));
        };
        StartMultiple(*ctx);
        QVERIFY(ctx->Log.text().endsWith(
            QStringLiteral("\r\n1,95822454308094 MB/s\r\nKann Testdatei 2.tst nicht löschen!\r\n")));
        QCOMPARE(FilesIn(t.path, "*.tst"), QStringList({"7.tst", "other.tst"}));
        QVERIFY(ctx->LogFile.startsWith(t.path + "Multiple_VeltaroLog_") &&
                ReadAll(ctx->LogFile).endsWith(kVersionLine));
        QVERIFY(t.AtRest());
    }

    void runOutOfDescriptorsAndSixteenBitCleanUp()
    {
        // The write phase stops after some 200 files either way; the clean-up reads the count as
        // 16 bits: 32768 does not fit, so it deletes nothing and the files stay.
        for (const QString count : {"32767", "32768"}) {
            Idle t;
            t.ctx->Txt1Text = count;
            t.ctx->Chk11 = false;
            QCOMPARE(LeakedUnderFileLimit(200, [&] { StartMultiple(*t.ctx); }), 0);
            MATCH_LINES(
                t.ctx->LogTextLines(),
                QStringList({"Teststart: <time>", "Erstelle " + count + " Dateien (" + count + " MB)", t.Denied()}));
            const qsizetype left = FilesIn(t.path).size();
            QVERIFY2(count == "32767" ? left == 0 : left > 150 && left < 205, qPrintable(QString::number(left)));
        }
    }

    void englishRun()
    {
        UseEnglish();
        Idle t;
        t.ctx->Drive1Text = t.dir.path();
        t.ctx->Txt1Text = QStringLiteral("1.9"); // read as 1
        StartMultiple(*t.ctx);
        const QString file = QString::fromUtf8(ReadAll(t.ctx->LogFile));
        QVERIFY(file.startsWith(kRule + "\r\n# Veltaro on: " + t.dir.path() + "\r\n"));
        QVERIFY(file.contains(QStringLiteral("\r\nWrite time: 1.532 sec.\r\n0.652741514360313 MB/s\r\n")));
        QVERIFY(file.endsWith("\r\nCreated with Veltaro version " + ProgramVersion() + "\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestRunDrivers)
#include "tst_run_drivers.moc"
