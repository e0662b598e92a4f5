// The four test phases and "Start Single" and "Start Multiple" made of them, headless on real folders:
// their log lines, the files, the clean-up and the result log file.
#include "common/EngineTestSupport.h"
#include "engine/Phases.h"
#include "engine/RunDriver.h"
#include "platform/Version.h"

#include <QtTest>

using namespace EngineTest;

namespace {

// An idle window's inputs on a temporary folder: two files of 1 MB through the cache, a log file.
struct Idle : Target {
    explicit Idle(int32_t stepMs = 1532) : Target(stepMs)
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

class TestPhasesAndRuns : public QObject {
    Q_OBJECT
private slots:
    void init() { UseGerman(); }

    void singleInGerman()
    {
        Target t;
        auto &ctx = t.ctx;
        QVERIFY(SingleWriteTest(*ctx, 2, 1, t.path));
        // The panel was cleared before the averages.
        QVERIFY(
            ctx->Caption.startsWith(QStringLiteral("Durchschnitt: 1,53 Sek.\r\nDurchschnitt: ,65 MB/s\r\nTestende")));
        // Two files of 1024 steps: checks after step 2, then every 100th; the bars move per MB.
        QCOMPARE(ctx->Pumps, 21);
        QCOMPARE(ctx->OverallBar, 50.0);
        QCOMPARE(ctx->OverallBarChanges, 2);
        // Written with the system cache off (O_DIRECT), every byte is there.
        for (const char *name : {"1.tst", "2.tst"})
            QVERIFY(ReadAll(t.path + name) == Block().repeated(1024));

        QVERIFY(SingleReadTest(*ctx, 2, 1, t.path));
        QCOMPARE(ctx->Pumps, 42);
        QCOMPARE(ctx->OverallBar, 100.0); // moved at the checks only, the last in the last MB
    }

    void multipleInGerman()
    {
        Target t;
        auto &ctx = t.ctx;
        // At every check each file holds the same number of blocks: one per file per round.
        QList<qint64> first;
        ctx->Pump = [&](bool) {
            QList<qint64> sizes;
            for (const char *name : {"1.tst", "2.tst", "3.tst"})
                sizes << QFileInfo(t.path + name).size();
            QVERIFY(sizes[0] == sizes[1]);
            QVERIFY(sizes[1] == sizes[2]);
            if (first.isEmpty())
                first = sizes;
        };
        QVERIFY(MultiWriteTest(*ctx, 3, 1, t.path));
        QCOMPARE(first, QList<qint64>({2048, 2048, 2048}));
        QCOMPARE(ctx->Pumps, 11); // 1024 rounds
        QCOMPARE(ctx->Figures.MultiWriteTime, 1.532 / 3);
        for (const char *name : {"1.tst", "2.tst", "3.tst"})
            QVERIFY(ReadAll(t.path + name) == Block().repeated(1024));
        QVERIFY(MultiReadTest(*ctx, 3, 1, t.path));
        MATCH_LINES(ctx->LogTextLines(), MultiWrite(3, 1, ",51", "1,96") + MultiRead(3, 1, ",51", "1,96"));
        QCOMPARE(ctx->OverallBar, 100.0);
    }

    void englishTextsAndNumbers()
    {
        UseEnglish();
        Target t(2000);
        t.ctx->chkDisableCaching = false;
        QVERIFY(SingleWriteTest(*t.ctx, 1, 2, t.path));
        QVERIFY(SingleReadTest(*t.ctx, 1, 2, t.path));
        MATCH_LINES(t.ctx->LogTextLines(),
                    QStringList({"Test start: <time>", "Creating 1 files (2 MB)", "File  1...",
                                 "Time: 2. seconds (2000 ms)", "", "Average: 2. sec.", "Average: 1. MB/s",
                                 "Test end: <time>", "", "Reading 2MB", "Reading file  1", "Time: 2. seconds (2000 ms)",
                                 "Average: 2. sec.", "Average: 1. MB/s", "Test end: <time>", ""}));
        // A whole run with its result log; the multiple write phase groups its seconds with two decimals.
        Idle m(1234500);
        m.ctx->Drive1Text = m.dir.path();
        StartMultiple(*m.ctx);
        const QString rate = QStringLiteral("0.00162008910490077 MB/s");
        MATCH_LINES(m.ctx->LogTextLines(),
                    QStringList({"Test start: <time>", "Creating 2 files (2 MB)", "Writing... ",
                                 "Time: 1,234.50 seconds (1234500 ms)", "Average: 617.25 sec.", "Average: . MB/s",
                                 "Test end: <time>", "", "Reading 2MB", "Time: 1234.5 seconds (1234500 ms)",
                                 "Average: 617.25 sec.", "Average: . MB/s", "Test end: <time>", "",
                                 "Result:", "Write time: 617.25 sec.", rate, "Read time: 617.25 sec.", rate}));
        const QString file = QString::fromUtf8(ReadAll(m.ctx->LogFile));
        QVERIFY(file.startsWith(kRule + "\r\n# Veltaro on: " + m.dir.path() + "\r\n"));
        QVERIFY(file.endsWith("\r\nCreated with Veltaro version " + ProgramVersion() + "\r\n"));
    }

    void stopRequestedFromInsideThePump()
    {
        // The first check (after step 2) pumps; the close request it delivers is seen at the next.
        Target t;
        auto &ctx = t.ctx;
        const auto again = [&] { ctx->Log.clear(), ctx->Stop = false; };
        ctx->Pump = [&ctx](bool full) { ctx->Stop = full; };
        ctx->Figures.SingleWriteRate = 99;
        QVERIFY(!SingleWriteTest(*ctx, 2, 1, t.path));
        MATCH_LINES(ctx->LogTextLines(), Begin(2, 1) << "Datei  1..."
                                                     << "Abbruch...");
        QCOMPARE(QFileInfo(t.path + "1.tst").size(), 102 * 1024);
        QCOMPARE(ctx->Figures.SingleWriteRate, 99.0);
        // "Increase test priority" asks for the light pump.
        again();
        ctx->ChkDoEvents = true;
        ctx->Pump = [&ctx](bool full) { ctx->Stop = !full; };
        QVERIFY(QFile::resize(t.path + "1.tst", 1024 * 1024));
        QVERIFY(!SingleReadTest(*ctx, 1, 1, t.path));
        QCOMPARE(ctx->LogTextLines(), QStringList({"Lese 1MB", "Lese Datei  1", "Abbruch..."}));

        // The multiple phases close every file they opened.
        again();
        QCOMPARE(LeakedUnderFileLimit(100, [&] { QVERIFY(!MultiWriteTest(*ctx, 2, 1, t.path)); }), 0);
        QCOMPARE(ctx->LogTextLines().mid(2), QStringList({"Schreibe... ", "Abbruch..."}));
        QCOMPARE(QFileInfo(t.path + "2.tst").size(), 102 * 1024);
        QVERIFY(QFile::resize(t.path + "1.tst", 1024 * 1024));
        QVERIFY(QFile::resize(t.path + "2.tst", 1024 * 1024));
        again();
        QCOMPARE(LeakedUnderFileLimit(100, [&] { QVERIFY(!MultiReadTest(*ctx, 2, 1, t.path)); }), 0);
        QCOMPARE(ctx->LogTextLines(), QStringList({"Lese 2MB", "Abbruch..."}));
    }

    void failures()
    {
        // Write and read both fail. Step -1: no clock; -2: a clock that fails after t0. "<denied>"
        // is the access text with the folder; the write's lines follow its start line.
        const QString t7 = "Werte dürfen nicht größer als 32000 sein!", zero = "Zeit: , Sekunden (0 ms)",
                      t41 = "Fehler bei der Kommunikation der Timerkomponente!", c2 = "Erstelle 2 Dateien (2 MB)",
                      d = "<denied>", d1 = "Datei  1...", r1 = "Lese Datei  1";
        const struct {
            bool multi;
            int step, count, size;
            QStringList write, read;
        } cases[] = {
            {false, -1, 2, 1, {c2, d1, t41}, {"Lese 2MB", r1, d}},
            {false, -2, 1, 1, {"Erstelle 1 Dateien (1 MB)", d1, t7}, {"Lese 1MB", r1, d}},
            {false, 0, 2, 1, {c2, d1, zero, "Datei  2...", zero, t7}, {"Lese 2MB", r1, zero, "Lese Datei  2", zero, d}},
            {false, 1532, 65536, 65536, {d}, {d}},
            {false, 1532, 0, 5, {"Erstelle 0 Dateien (0 MB)", d}, {"Lese 0MB", d}},
            {true, -1, 2, 1, {c2, "Schreibe... ", t41}, {"Lese 2MB", d}},
            {true, 0, 2, 1, {c2, "Schreibe... ", "Zeit: 0,00 Sekunden (0 ms)", t7}, {"Lese 2MB", zero, d}},
            {true, 1532, 65536, 65536, {d}, {d}},
        };
        for (auto c : cases) {
            Target t(c.step);
            t.ctx->chkDisableCaching = false;
            if (c.step == -2)
                t.ctx->CreateTimer = [calls = std::make_shared<int>(0)] {
                    return TimerComponent::Create(
                        [calls] { return ++*calls > 2 ? std::nullopt : std::optional<int64_t>(5); });
                };
            QVERIFY(!(c.multi ? MultiWriteTest : SingleWriteTest)(*t.ctx, c.count, c.size, t.path));
            MATCH_LINES(t.ctx->LogTextLines(),
                        QStringList("Teststart: <time>") + c.write.replaceInStrings(d, t.Denied()));
            t.ctx->Log.clear();
            QVERIFY(!(c.multi ? MultiReadTest : SingleReadTest)(*t.ctx, c.count, c.size, t.path));
            QCOMPARE(t.ctx->LogTextLines(), c.read.replaceInStrings(d, t.Denied()));
            QCOMPARE(t.ctx->Figures.SingleWriteTime + t.ctx->Figures.MultiWriteTime, 0.0);
        }
    }

    void shortAndMissingFiles()
    {
        // The single read phase passes over a missing file, yet divides by the count.
        Target t;
        QVERIFY(SingleWriteTest(*t.ctx, 3, 1, t.path));
        QVERIFY(QFile::remove(t.path + "2.tst"));
        QVERIFY(SingleReadTest(*t.ctx, 3, 1, t.path));
        QCOMPARE(t.ctx->Figures.SingleReadTime, 2 * 1.532 / 3);
        // The multiple one logs what a block cut short held, and a missing file ends it before
        // its first line, closing what it opened.
        QVERIFY(MultiWriteTest(*t.ctx, 3, 1, t.path));
        QVERIFY(QFile::resize(t.path + "3.tst", 1023 * 1024 + 100));
        t.ctx->Log.clear();
        QVERIFY(MultiReadTest(*t.ctx, 3, 1, t.path));
        QCOMPARE(t.ctx->LogTextLines().filter("Checksum Error!"), QStringList{"Checksum Error! (100)"});
        QVERIFY(QFile::remove(t.path + "2.tst"));
        t.ctx->Log.clear();
        QCOMPARE(LeakedUnderFileLimit(100, [&] { QVERIFY(!MultiReadTest(*t.ctx, 3, 1, t.path)); }), 0);
        QCOMPARE(t.ctx->LogTextLines(), QStringList({t.Denied()}));
    }

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

        MATCH_LINES(ctx->LogTextLines(), SingleRun(2, 1, ",65", "0,652741514360313"));
        QCOMPARE(ctx->Caption, ctx->LogTextLines().mid(ctx->LogTextLines().size() - 5).join("\r\n") + "\r\n");
        QCOMPARE(
            ReadAll(ctx->LogFile),
            (kRule + "\r\n# Veltaro auf:   " + t.dir.path() + " \r\n" + kRule + "\r\n\r\n" + ctx->Log.text()).toUtf8() +
                kVersionLine);

        // A second run in the same minute appends to the same file.
        const QString first = ctx->LogFile;
        StartSingle(*ctx);
        QVERIFY(ctx->LogFile != first || ReadAll(first).count(kRule.toUtf8()) == 4);
    }

    void refusedTargets()
    {
        Idle t;
        auto &ctx = t.ctx;
        // A missing folder or a file is no target, and the window's own check can refuse a folder.
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
        QVERIFY(!QFile::exists(none.ctx->LogFile));
        QVERIFY(none.AtRest());
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
            if (ctx->Log.text().contains(QStringLiteral("Lese 3MB")) && !QFileInfo(t.path + "2.tst").isDir()) {
                QVERIFY(QFile::rename(t.path + "2.tst", t.path + "moved"));
                QVERIFY(QDir(t.path).mkpath("2.tst/inner"));
            }
        };
        StartMultiple(*ctx);
        QVERIFY(ctx->Log.text().endsWith(
            QStringLiteral("\r\n1,95822454308094 MB/s\r\nKann Testdatei 2.tst nicht löschen!\r\n")));
        QCOMPARE(FilesIn(t.path, "*.tst"), QStringList({"7.tst", "other.tst"}));
        QVERIFY(ctx->LogFile.startsWith(t.path + "Multiple_VeltaroLog_"));
        QVERIFY(ReadAll(ctx->LogFile).endsWith(kVersionLine));
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
            MATCH_LINES(t.ctx->LogTextLines(), Begin(count.toInt(), 1) << t.Denied());
            const qsizetype left = FilesIn(t.path).size();
            QVERIFY2(count == "32767" ? left == 0 : left > 150 && left < 205, qPrintable(QString::number(left)));
        }
    }
};

QTEST_GUILESS_MAIN(TestPhasesAndRuns)
#include "tst_phases.moc"
