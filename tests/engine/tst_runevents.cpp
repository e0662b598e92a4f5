// The events of real runs on temporary folders, the record they fill and the lines made of them.
#include "common/EngineTestSupport.h"
#include "common/SystemSupport.h"
#include "engine/Phases.h"
#include "engine/RecordBuilder.h"
#include "engine/RunDriver.h"
#include "report/LogFormatter.h"

#include <QtTest>
#include <csignal>
#include <sys/resource.h>

using namespace EngineTest;

namespace {

const char *PhaseName(TestPhase p)
{
    static const char *names[] = {"SW", "SR", "MW", "MR"};
    return names[static_cast<int>(p)];
}

// Each event as a short line, so a stream compares as a list.
class EventLog final : public RunEvents {
public:
    QStringList events;
    void runBegins(bool multiple) override { add(multiple ? "begins multiple" : "begins single"); }
    void runStarted(const RunStarted &e) override
    {
        add(QString("started %1x%2 uncached=%3").arg(e.count).arg(e.sizeMB).arg(e.disableCaching));
    }
    void phaseStarted(TestPhase p, const QDateTime &) override { add(QString("phase %1").arg(PhaseName(p))); }
    void phaseSized(TestPhase p, int32_t count, int32_t totalMB) override
    {
        add(QString("sized %1 %2 %3").arg(PhaseName(p)).arg(count).arg(totalMB));
    }
    void blocksStarted(TestPhase p) override { add(QString("blocks %1").arg(PhaseName(p))); }
    void fileStarted(TestPhase p, int32_t file) override { add(QString("file %1 %2").arg(PhaseName(p)).arg(file)); }
    void fileTimed(const FileTimed &e) override
    {
        add(QString("%1 %2 %3 %4").arg(e.timed ? "timed" : "counted", PhaseName(e.phase)).arg(e.file).arg(e.ms));
    }
    void shortRead(TestPhase p, int32_t file, int64_t block, int32_t bytes) override
    {
        add(QString("short %1 %2 %3 %4").arg(PhaseName(p)).arg(file).arg(block).arg(bytes));
    }
    void phaseFinished(TestPhase p, double, double, const QDateTime &) override
    {
        add(QString("finished %1").arg(PhaseName(p)));
    }
    void stopped(TestPhase p) override { add(QString("stopped %1").arg(PhaseName(p))); }
    void failed(FailReason reason, const QString &) override { add("failed " + toString(reason)); }
    void runSummary(double, double, double, double) override { add("summary"); }
    void cleanupFailed(int32_t file) override { add(QString("cleanup failed %1").arg(file)); }
    void cleanupDone(bool all) override { add(QString("cleanup %1").arg(all)); }
    void resultLogWritten(const QString &, bool written) override { add(QString("result log %1").arg(written)); }
    void runEnded() override { add("ended"); }

private:
    void add(const QString &line) { events << line; }
};

// Formatted lines with the panel's instruction kept apart, as the formatter hands them out.
struct Lines final : LogOutput {
    QStringList lines;
    void LogPrint(const QString &line) override { lines << line; }
    void ClearPanel() override { lines << "[clear]"; }
};

struct Watched : Target {
    Watched()
    {
        ctx->Txt1Text = "2";
        ctx->Txt2Text = "1";
        ctx->chkDisableCaching = false;
        ctx->SetWatcher(&log);
    }
    EventLog log;
};

constexpr int64_t kMB = 1048576;

} // namespace

class TestRunEvents : public QObject {
    Q_OBJECT
private slots:
    void init() { UseGerman(); }

    void singleRunStreamAndRecord()
    {
        Watched t;
        t.ctx->Chk11 = true;
        StartSingle(*t.ctx);
        QCOMPARE(t.log.events,
                 QStringList({"begins single", "started 2x1 uncached=0", "phase SW", "sized SW 2 2", "file SW 1",
                              "timed SW 1 1532", "file SW 2", "timed SW 2 1532", "finished SW", "sized SR 2 2",
                              "file SR 1", "timed SR 1 1532", "file SR 2", "timed SR 2 1532", "finished SR", "summary",
                              "cleanup 1", "result log 1", "ended"}));

        const RunRecord &r = t.ctx->Record();
        QVERIFY(r.kind == RunKind::Single);
        QVERIFY(r.outcome.status == RunStatus::Complete);
        QCOMPARE(r.target, t.path);
        QCOMPARE(r.fileCount, 2);
        QVERIFY(r.testFilesDeleted && r.resultLogWritten);
        QCOMPARE(r.resultLogPath, t.ctx->LogFile);
        QVERIFY(r.startedUtc.isValid() && r.endedUtc >= r.startedUtc);
        QVERIFY(r.device && r.device->mountPoint == QStorageInfo(t.path).rootPath());
        QCOMPARE(r.phases.size(), size_t(2));
        for (const PhaseRecord &p : r.phases) {
            QVERIFY(p.completed);
            QCOMPARE(p.ms, 3064); // the sum of the files' spans
            QCOMPARE(*p.averageSeconds, 1.532);
            QCOMPARE(p.bytesRequested, 2 * kMB);
            QCOMPARE(p.bytesTransferred, 2 * kMB);
            QCOMPARE(p.failedCalls + p.shortCalls, 0);
            QCOMPARE(p.latency.count(), uint64_t(2048)); // one sample per block call
            QCOMPARE(p.files.size(), size_t(2));
            for (const FileRecord &f : p.files) {
                QVERIFY(f.timed);
                QCOMPARE(f.ms, 1532);
                QVERIFY(f.us > 0); // from the monotonic clock, not the stepping one
                QCOMPARE(f.latency->count, uint64_t(1024));
            }
        }
    }

    void multipleRunCountsEachFile()
    {
        Watched t;
        t.ctx->Txt1Text = "3";
        StartMultiple(*t.ctx);
        QCOMPARE(t.log.events,
                 QStringList({"begins multiple", "started 3x1 uncached=0", "phase MW", "sized MW 3 3", "blocks MW",
                              "timed MW 0 1532", "counted MW 1 0", "counted MW 2 0", "counted MW 3 0", "finished MW",
                              "sized MR 3 3", "timed MR 0 1532", "counted MR 1 0", "counted MR 2 0", "counted MR 3 0",
                              "finished MR", "summary", "cleanup 1", "ended"}));
        const RunRecord &r = t.ctx->Record();
        QVERIFY(r.kind == RunKind::Multiple);
        QVERIFY(r.outcome.status == RunStatus::Complete);
        const PhaseRecord *read = r.phase(PhaseKind::Read);
        QVERIFY(read && read->completed);
        QCOMPARE(read->ms, 1532); // one span for all files, not a sum
        QVERIFY(read->us > 0);
        QCOMPARE(read->bytesTransferred, 3 * kMB);
        QCOMPARE(read->latency.count(), uint64_t(3 * 1024));
        for (const FileRecord &f : read->files) {
            QVERIFY(!f.timed);
            QCOMPARE(f.bytesTransferred, kMB);
            QCOMPARE(f.latency->count, uint64_t(1024));
        }
    }

    // A block's duration is the span since the previous clock read; what the loop does between
    // blocks (here a pump that sleeps) must not land in it.
    void blockLatencyLeavesOutThePump_data()
    {
        QTest::addColumn<bool>("multiple");
        QTest::newRow("single") << false;
        QTest::newRow("multiple") << true;
    }
    void blockLatencyLeavesOutThePump()
    {
        QFETCH(bool, multiple);
        constexpr int64_t kSleepNs = 2'000'000;
        Watched t;
        int loopPumps = 0;
        t.ctx->Pump = [&](bool) {
            const QString last = t.log.events.isEmpty() ? QString() : t.log.events.last();
            if (!last.startsWith("file ") && !last.startsWith("blocks ") && !last.startsWith("sized MR"))
                return;
            ++loopPumps;
            QThread::usleep(kSleepNs / 1000);
        };
        multiple ? StartMultiple(*t.ctx) : StartSingle(*t.ctx);
        const RunRecord &r = t.ctx->Record();
        QVERIFY(r.outcome.status == RunStatus::Complete);
        QVERIFY(loopPumps >= 2 * 2 * 1024 / 100 / (multiple ? 2 : 1));
        int64_t spansNs = 0, blocksNs = 0;
        for (const PhaseRecord &p : r.phases) {
            spansNs += (p.us + int64_t(p.files.size())) * 1000; // each span is cut to whole µs
            blocksNs += int64_t(p.latency.sumNs());
        }
        QVERIFY2(blocksNs <= spansNs - loopPumps * kSleepNs,
                 qPrintable(QString("blocks %1 ns, spans %2 ns, %3 pumps").arg(blocksNs).arg(spansNs).arg(loopPumps)));
    }

    void endedEarly_data()
    {
        QTest::addColumn<bool>("multiple");
        QTest::addColumn<QString>("blocker"); // a folder where this test file would go
        QTest::addColumn<bool>("stop");
        QTest::addColumn<RunStatus>("status");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<int>("timedFiles");
        QTest::addColumn<QString>("lastEvent");
        QTest::newRow("single stopped") << false << "" << true << RunStatus::Stopped << "stopped" << 0 << "stopped SW";
        QTest::newRow("multiple stopped") << true << "" << true << RunStatus::Stopped << "stopped" << 0 << "stopped MW";
        QTest::newRow("first file refused")
            << false << "1.tst" << false << RunStatus::Failed << "access_failed" << 0 << "failed access_failed";
        QTest::newRow("later file refused")
            << false << "2.tst" << false << RunStatus::Failed << "create_failed" << 1 << "failed create_failed";
        QTest::newRow("multiple file refused")
            << true << "2.tst" << false << RunStatus::Failed << "access_failed" << 0 << "failed access_failed";
    }

    void endedEarly()
    {
        QFETCH(bool, multiple);
        QFETCH(QString, blocker);
        QFETCH(bool, stop);
        Watched t;
        if (!blocker.isEmpty())
            QVERIFY(QDir(t.path).mkdir(blocker));
        if (stop)
            t.ctx->Pump = [&](bool) { t.ctx->Stop = true; };
        multiple ? StartMultiple(*t.ctx) : StartSingle(*t.ctx);

        QFETCH(QString, lastEvent);
        const QStringList &events = t.log.events;
        QVERIFY2(events.contains(lastEvent), qPrintable(events.join(", ")));
        QVERIFY(!events.contains("summary"));
        QCOMPARE(events.last(), QString("ended"));
        const RunRecord &r = t.ctx->Record();
        QFETCH(RunStatus, status);
        QFETCH(QString, reason);
        QFETCH(int, timedFiles);
        QVERIFY(r.outcome.status == status);
        QCOMPARE(r.outcome.reason, reason);
        QCOMPARE(r.outcome.path, stop ? QString() : t.path);
        const PhaseRecord *write = r.phase(PhaseKind::Write);
        QVERIFY(write && !write->completed);
        QVERIFY(!r.phase(PhaseKind::Read));
        QCOMPARE(std::count_if(write->files.begin(), write->files.end(), [](const FileRecord &f) { return f.timed; }),
                 timedFiles);
    }

    void refusedTargetEndsAtOnce()
    {
        Watched t;
        t.ctx->Drive1Text = t.path + "missing";
        StartSingle(*t.ctx);
        QCOMPARE(t.log.events, QStringList({"begins single", "failed target_refused", "ended"}));
        QCOMPARE(t.ctx->Record().outcome.reason, QString("target_refused"));
        QVERIFY(t.ctx->Record().phases.empty());
    }

    void shortReadsAreCountedAndLogged()
    {
        Watched t;
        QVERIFY(SystemTest::WriteFile(t.path + "1.tst", QByteArray(1500, 'x')));
        QVERIFY(SingleReadTest(*t.ctx, 1, 1, t.path));
        QCOMPARE(t.log.events.mid(2, 3), QStringList({"short SR 1 1 476", "short SR 1 2 0", "short SR 1 3 0"}));
        const FileRecord &f = t.ctx->Record().phases.at(0).files.at(0);
        QCOMPARE(f.bytesRequested, kMB);
        QCOMPARE(f.bytesTransferred, 1500);
        QCOMPARE(f.shortCalls, 1023);
        QCOMPARE(f.failedCalls, 0);
        QCOMPARE(t.ctx->LogTextLines().mid(2, 2), QStringList({"Checksum Error!", "Checksum Error!"}));
    }

    void refusedWritesKeepTheirErrno()
    {
        // A file size limit makes write(2) fail with EFBIG after four blocks.
        Watched t;
        const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
        rlimit small = old;
        small.rlim_cur = 4096;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool ok = SingleWriteTest(*t.ctx, 1, 1, t.path);
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldSignal);
        QVERIFY(ok); // the phase ignores each write's result, as it always has
        const FileRecord &f = t.ctx->Record().phases.at(0).files.at(0);
        QCOMPARE(f.bytesTransferred, 4096);
        QCOMPARE(f.failedCalls, 1020);
        QCOMPARE(f.firstErrno, EFBIG);
    }

    // The formatter alone, fed a stream, makes the lines the window shows; the panel's clearing is
    // an instruction, never a line.
    void formatterLines()
    {
        for (bool english : {false, true}) {
            english ? UseEnglish() : UseGerman();
            Lines out;
            LogFormatter f(out);
            const QDateTime when(QDate(2026, 3, 4), QTime(5, 6));
            f.runBegins(true);
            f.phaseStarted(TestPhase::MultiWrite, when);
            f.phaseSized(TestPhase::MultiWrite, 3, 30);
            f.blocksStarted(TestPhase::MultiWrite);
            FileTimed span;
            span.phase = TestPhase::MultiWrite;
            span.ms = 1234567;
            f.fileTimed(span);
            span.timed = false;
            f.fileTimed(span);
            f.phaseFinished(TestPhase::MultiWrite, 2.5, 12, when);
            f.shortRead(TestPhase::MultiRead, 2, 7, 12);
            f.failed(FailReason::TimerFailed, QString());
            f.cleanupFailed(4);
            const QStringList german = {"[clear]",
                                        "Teststart: 05:06 04.03.26",
                                        "Erstelle 3 Dateien (30 MB)",
                                        "Schreibe... ",
                                        "Zeit: 1.234,57 Sekunden (1234567 ms)",
                                        "[clear]",
                                        "Durchschnitt: 2,5 Sek.",
                                        "Durchschnitt: 12, MB/s",
                                        "Testende: 05:06 04.03.26",
                                        "",
                                        "Checksum Error! (12)",
                                        "Fehler bei der Kommunikation der Timerkomponente!",
                                        "Kann Testdatei 4.tst nicht löschen!"};
            if (!english) {
                QCOMPARE(out.lines, german);
                continue;
            }
            QCOMPARE(out.lines.size(), german.size());
            QCOMPARE(out.lines.at(4), QString("Time: 1,234.57 seconds (1234567 ms)"));
            QVERIFY(!out.lines.contains("Durchschnitt: 2,5 Sek."));
        }
        UseGerman();
    }
};

QTEST_GUILESS_MAIN(TestRunEvents)
#include "tst_runevents.moc"
