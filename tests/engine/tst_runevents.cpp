// The events of real runs on temporary folders and the record they fill; the record's JSON out and
// back without loss, clear errors for what is not a record, percentiles of known durations.
#include "common/EngineTestSupport.h"
#include "common/SystemSupport.h"
#include "engine/Phases.h"
#include "engine/RecordBuilder.h"
#include "engine/RunDriver.h"
#include "engine/RunRecord.h"
#include "platform/SignalStop.h"
#include "platform/Version.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>

using namespace EngineTest;

namespace {

template <typename T> QString Word(const T &w)
{
    if constexpr (std::is_same_v<T, TestPhase>)
        return QStringList{"SW", "SR", "MW", "MR"}[static_cast<int>(w)];
    else if constexpr (std::is_arithmetic_v<T>)
        return QString::number(w);
    else
        return QString(w);
}

// Each event as a short line, so a stream compares as a list.
class EventLog final : public RunEvents {
public:
    QStringList events;
    void runBegins(bool multiple) override { add("begins", multiple ? "multiple" : "single"); }
    void runStarted(const RunStarted &e) override
    {
        add("started", QString("%1x%2").arg(e.count).arg(e.sizeMB), "uncached=" + Word(e.disableCaching));
    }
    void phaseStarted(TestPhase p, const QDateTime &) override { add("phase", p); }
    void phaseSized(TestPhase p, int32_t count, int32_t totalMB) override { add("sized", p, count, totalMB); }
    void blocksStarted(TestPhase p) override { add("blocks", p); }
    void fileStarted(TestPhase p, int32_t file) override { add("file", p, file); }
    void fileTimed(const FileTimed &e) override { add(e.timed ? "timed" : "counted", e.phase, e.file, e.ms); }
    void shortRead(TestPhase p, int32_t file, int64_t block, int32_t bytes) override
    {
        add("short", p, file, block, bytes);
    }
    void phaseFinished(TestPhase p, double, double, const QDateTime &) override { add("finished", p); }
    void stopped(TestPhase p) override { add("stopped", p); }
    void failed(FailReason reason, const QString &) override { add("failed", toString(reason)); }
    void runSummary(double, double, double, double) override { add("summary"); }
    void cleanupFailed(int32_t file) override { add("cleanup failed", file); }
    void cleanupDone(bool all) override { add("cleanup", all); }
    void resultLogWritten(const QString &, bool written) override { add("result log", written); }
    void runEnded() override { add("ended"); }

private:
    template <typename... A> void add(const A &...words) { events << QStringList{Word(words)...}.join(u' '); }
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

// A record with every field set to a value other than its default.
RunRecord fullRecord()
{
    RunRecord r = RunRecord::begin(RunKind::Multiple);
    r.endedUtc = r.startedUtc.addMSecs(12345);
    r.target = QStringLiteral("/tmp/ü ber/");
    r.fileCount = 2;
    r.fileSizeMB = 3;
    r.options = {true, true, true, true, true, true};
    r.directIoRefused = true;
    DeviceIdentity d;
    d.fileSystem = QStringLiteral("ext4");
    d.blockDevice = QStringLiteral("sda");
    d.sizeBytes = int64_t(1) << 40;
    d.rotational = false;
    d.logicalBlockBytes = 4096;
    d.freeBytes = 123456789;
    d.mountPoint = QStringLiteral("/tmp");
    d.deviceChain = QStringList{QStringLiteral("sda1"), QStringLiteral("sda")};
    r.device = d;
    r.fioCommands = {
        {PhaseKind::Write, {QStringLiteral("fio"), QStringLiteral("--name=a b")}, QStringLiteral("fio '--name=a b'")},
        {PhaseKind::Read, {QStringLiteral("fio")}, QStringLiteral("fio")}};
    for (PhaseKind kind : {PhaseKind::Write, PhaseKind::Read}) {
        PhaseRecord p;
        p.kind = kind;
        p.completed = kind == PhaseKind::Write;
        p.ms = 1500;
        p.us = 1500123;
        p.averageSeconds = 0.75;
        p.rateMBps = 1.0 / 3.0;
        p.bytesRequested = 6 * RunUnits::kBytesPerMB;
        p.bytesTransferred = p.bytesRequested - 17;
        p.failedCalls = 3;
        p.shortCalls = 1;
        p.firstErrno = 22;
        p.readUncached = kind == PhaseKind::Read;
        for (uint64_t ns : {50ull, 900ull, 1500ull, 1500ull, 2000000ull, 400000000000ull})
            p.latency.record(ns);
        for (int32_t n = 1; n <= 2; ++n) {
            FileRecord f;
            f.number = n;
            f.timed = n == 1;
            f.ms = 700 + n;
            f.us = 700123 + n;
            f.bytesRequested = 3 * RunUnits::kBytesPerMB;
            f.bytesTransferred = f.bytesRequested - n;
            f.failedCalls = n;
            f.shortCalls = 2 * n;
            f.firstErrno = n == 2 ? 5 : 0;
            f.directIo = n == 1;
            f.cachedShare = 0.25 * n;
            f.latency = LatencySummary::of(p.latency);
            f.verify = VerifyCounts{n, 2, n == 1 ? std::optional<int64_t>(4096) : std::nullopt};
            p.files.push_back(f);
        }
        r.phases.push_back(p);
    }
    r.outcome = {RunStatus::Stopped, QStringLiteral("stopped"), QStringLiteral("/tmp/x")};
    r.testFilesDeleted = true;
    r.resultLogPath = QStringLiteral("/tmp/ü ber/Multiple_VeltaroLog_12_07_26_00_30.log");
    r.resultLogWritten = true;
    r.extensions = QJsonObject{{QStringLiteral("profile"), QJsonArray{1, 2}}};
    return r;
}

QByteArray edited(const std::function<void(QJsonObject &)> &edit)
{
    QJsonObject json = fullRecord().toJson();
    edit(json);
    return QJsonDocument(json).toJson();
}

// The record with one phase's histogram edited.
QByteArray editedHistogram(int phase, const std::function<void(QJsonObject &)> &edit)
{
    return edited([&](QJsonObject &j) {
        QJsonArray phases = j["phases"].toArray();
        QJsonObject p = phases[phase].toObject();
        QJsonObject h = p["histogram"].toObject();
        edit(h);
        p["histogram"] = h;
        phases[phase] = p;
        j["phases"] = phases;
    });
}

} // namespace

class TestRunEvents : public QObject {
    Q_OBJECT
private slots:
    void init() { UseGerman(); }

    void runStreamAndRecord_data()
    {
        QTest::addColumn<bool>("multiple");
        QTest::addColumn<QString>("events");
        QTest::newRow("single") << false
                                << "begins single, started 2x1 uncached=0, phase SW, sized SW 2 2, file SW 1, "
                                   "timed SW 1 1532, file SW 2, timed SW 2 1532, finished SW, sized SR 2 2, file SR 1, "
                                   "timed SR 1 1532, file SR 2, timed SR 2 1532, finished SR, summary, cleanup 1, "
                                   "result log 1, ended";
        // The multiple test times all files in one span and counts each file's bytes untimed.
        QTest::newRow("multiple") << true
                                  << "begins multiple, started 2x1 uncached=0, phase MW, sized MW 2 2, blocks MW, "
                                     "timed MW 0 1532, counted MW 1 0, counted MW 2 0, finished MW, sized MR 2 2, "
                                     "timed MR 0 1532, counted MR 1 0, counted MR 2 0, finished MR, summary, "
                                     "cleanup 1, result log 1, ended";
    }

    void runStreamAndRecord()
    {
        QFETCH(bool, multiple);
        QFETCH(QString, events);
        Watched t;
        t.ctx->Chk11 = true;
        multiple ? StartMultiple(*t.ctx) : StartSingle(*t.ctx);
        QCOMPARE(t.log.events.join(", "), events);

        const RunRecord &r = t.ctx->Record();
        QVERIFY(r.kind == (multiple ? RunKind::Multiple : RunKind::Single));
        QVERIFY(r.outcome.status == RunStatus::Complete);
        QCOMPARE(r.target, t.path);
        QCOMPARE(r.fileCount, 2);
        QVERIFY(r.testFilesDeleted);
        QVERIFY(r.resultLogWritten);
        QCOMPARE(r.resultLogPath, t.ctx->LogFile);
        QVERIFY(r.startedUtc.isValid());
        QVERIFY(r.endedUtc >= r.startedUtc);
        QVERIFY(r.device);
        QVERIFY(r.device->mountPoint == QStorageInfo(t.path).rootPath());
        QCOMPARE(r.phases.size(), size_t(2));
        for (const PhaseRecord &p : r.phases) {
            QVERIFY(p.completed);
            QCOMPARE(p.ms, multiple ? 1532 : 3064); // one span for all files, or the sum of the files' spans
            QCOMPARE(*p.averageSeconds, multiple ? 0.766 : 1.532);
            QCOMPARE(p.bytesRequested, 2 * kMB);
            QCOMPARE(p.bytesTransferred, 2 * kMB);
            QCOMPARE(p.failedCalls + p.shortCalls, 0);
            QCOMPARE(p.latency.count(), uint64_t(2048)); // one sample per block call
            QCOMPARE(p.files.size(), size_t(2));
            for (const FileRecord &f : p.files) {
                QCOMPARE(f.timed, !multiple);
                QCOMPARE(f.ms, multiple ? 0 : 1532);
                QCOMPARE(f.us > 0, !multiple); // from the monotonic clock, not the stepping one
                QCOMPARE(f.bytesTransferred, kMB);
                QCOMPARE(f.latency->count, uint64_t(1024));
            }
        }
    }

    // A block's duration is the span since the previous clock read; what the loop does between
    // blocks (here a pump that sleeps) must not land in it.
    void blockLatencyLeavesOutThePump()
    {
        constexpr int64_t kSleepNs = 2'000'000;
        for (bool multiple : {false, true}) {
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
            const QString what = QString("multiple %1: blocks %2 ns, spans %3 ns, %4 pumps").arg(multiple);
            QVERIFY2(blocksNs <= spansNs - loopPumps * kSleepNs,
                     qPrintable(what.arg(blocksNs).arg(spansNs).arg(loopPumps)));
        }
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
        QVERIFY(write);
        QVERIFY(!write->completed);
        QVERIFY(!r.phase(PhaseKind::Read));
        QCOMPARE(std::count_if(write->files.begin(), write->files.end(), [](const FileRecord &f) { return f.timed; }),
                 timedFiles);
        // The first pump asks to stop, the check after 100 more block steps sees it: what reached the
        // files by then is kept, untimed.
        if (stop) {
            const int64_t bytes = (multiple ? 2 : 1) * 102 * 1024;
            QCOMPARE(write->bytesTransferred, bytes);
            QCOMPARE(write->latency.count(), uint64_t(bytes / 1024));
            QCOMPARE(write->files.at(0).bytesTransferred, 102 * 1024);
        }
    }

    // A stop signal ends the multiple test after the block step it came in, not at the next pump
    // check a hundred steps on.
    void signalStopsTheMultipleTestAtTheNextStep()
    {
        Watched t;
        SignalStop stop;
        t.ctx->Pump = [](bool) { std::raise(SIGTERM); }; // during the first pump, after step 2
        StartMultiple(*t.ctx);
        const RunRecord &r = t.ctx->Record();
        QVERIFY(r.outcome.status == RunStatus::Stopped);
        QCOMPARE(r.phase(PhaseKind::Write)->bytesTransferred, 2 * 2 * 1024);
        QVERIFY(FilesIn(t.path, "*.tst").isEmpty());
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

    void jsonRoundTrip()
    {
        const RunRecord full = fullRecord();
        QString error;
        const std::optional<RunRecord> back = RunRecord::fromJsonBytes(full.toJsonBytes(), &error);
        QVERIFY2(back, qPrintable(error));
        QVERIFY(*back == full);
        QCOMPARE(back->toJsonBytes(), full.toJsonBytes());

        // A fresh record of nothing but defaults survives too, and says who wrote it.
        const RunRecord empty = RunRecord::begin(RunKind::Single);
        QCOMPARE(empty.runId.size(), 16);
        QVERIFY(empty.runId != RunRecord::begin(RunKind::Single).runId);
        const std::optional<RunRecord> emptyBack = RunRecord::fromJsonBytes(empty.toJsonBytes(), &error);
        QVERIFY2(emptyBack, qPrintable(error));
        QVERIFY(*emptyBack == empty);
        QCOMPARE(emptyBack->programVersion, ProgramVersion());

        // Latencies are written in microseconds, as their names say.
        const QJsonObject latency = full.toJson()["phases"][0]["latency"].toObject();
        QCOMPARE(latency.value("count").toInt(), 6);
        QCOMPARE(latency.value("max_us").toDouble(), 400'000'000.0);
    }

    void badInput_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        const QByteArray whole = fullRecord().toJsonBytes();
        QTest::newRow("truncated") << whole.left(whole.size() / 2) << "not JSON";
        QTest::newRow("empty") << QByteArray() << "not JSON";
        QTest::newRow("array") << QByteArray("[1,2]") << "not a JSON object";
        QTest::newRow("other program") << edited([](QJsonObject &j) { j["program"] = "fio"; }) << "not a record";
        QTest::newRow("newer schema") << edited([](QJsonObject &j) { j["schema_version"] = 2; }) << "schema version 2";
        QTest::newRow("missing field") << edited([](QJsonObject &j) { j.remove("target"); }) << "\"target\" is missing";
        QTest::newRow("wrong type") << edited([](QJsonObject &j) { j["file_count"] = "2"; })
                                    << "\"file_count\" is not a number";
        QTest::newRow("fraction") << edited([](QJsonObject &j) { j["file_size_mb"] = 1.5; }) << "not a whole number";
        QTest::newRow("beyond 32 bits") << edited([](QJsonObject &j) {
            QJsonArray phases = j["phases"].toArray();
            QJsonObject phase = phases[0].toObject();
            phase["ms"] = 1e15;
            phases[0] = phase;
            j["phases"] = phases;
        }) << "\"ms\" is out of range";
        QTest::newRow("unknown kind") << edited([](QJsonObject &j) { j["kind"] = "triple"; })
                                      << "unknown value \"triple\"";
        QTest::newRow("bad time") << edited([](QJsonObject &j) { j["started_utc"] = "yesterday"; }) << "ISO 8601";
        QTest::newRow("histogram off scale") << editedHistogram(0, [](QJsonObject &h) {
            h["buckets"] = QJsonArray{QJsonArray{100, 200, 6}};
        }) << "edges";
        QTest::newRow("histogram count") << editedHistogram(1, [](QJsonObject &h) { h["count"] = 7; }) << "add up";
    }
    void badInput()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QString error;
        QVERIFY(!RunRecord::fromJsonBytes(bytes, &error));
        QVERIFY2(error.contains(expected), qPrintable(error));
        QVERIFY(!RunRecord::fromJsonBytes(bytes)); // no error text asked for
    }

    void histogramBuckets()
    {
        // Every value falls in the bucket whose edges hold it, and the edges follow each other.
        for (uint64_t v : {uint64_t(0), uint64_t(63), uint64_t(64), uint64_t(71), uint64_t(72), uint64_t(1000),
                           uint64_t(1023), uint64_t(1024), uint64_t(123456789), uint64_t(1) << 37}) {
            const int i = LatencyHistogram::bucketOf(v);
            QVERIFY2(LatencyHistogram::bucketLowerNs(i) <= v, qPrintable(QString::number(v)));
            QVERIFY2(v < LatencyHistogram::bucketUpperNs(i), qPrintable(QString::number(v)));
        }
        for (int i = 1; i < LatencyHistogram::kBuckets; ++i)
            QCOMPARE(LatencyHistogram::bucketLowerNs(i), LatencyHistogram::bucketUpperNs(i - 1));
        QCOMPARE(LatencyHistogram::bucketOf(UINT64_MAX), LatencyHistogram::kBuckets - 1);
    }

    void percentiles()
    {
        LatencyHistogram h;
        QCOMPARE(h.percentileUs(0.5), 0.0);
        // 1 to 1000 us, once each: a percentile is within an eighth of an octave above the truth.
        for (uint64_t us = 1; us <= 1000; ++us)
            h.record(us * 1000);
        const LatencySummary s = LatencySummary::of(h);
        QCOMPARE(s.count, uint64_t(1000));
        for (const auto &[got, truth] :
             {std::pair{s.p50Us, 500.0}, {s.p90Us, 900.0}, {s.p99Us, 990.0}, {s.p999Us, 999.0}}) {
            QVERIFY2(got >= truth, qPrintable(QStringLiteral("%1 for %2").arg(got).arg(truth)));
            QVERIFY2(got <= truth * 1.125, qPrintable(QStringLiteral("%1 for %2").arg(got).arg(truth)));
        }
        QCOMPARE(s.maxUs, 1000.0);
        QCOMPARE(h.percentileUs(1.0), 1000.0);
        QCOMPARE(h.minNs(), uint64_t(1000));
        QCOMPARE(h.sumNs(), uint64_t(500500) * 1000);

        // One slow block among many fast ones shows only at the tail.
        LatencyHistogram tail;
        for (int i = 0; i < 999; ++i)
            tail.record(2000);
        tail.record(50'000'000);
        QVERIFY(tail.percentileUs(0.99) < 2.3);
        QCOMPARE(tail.percentileUs(0.9995), 50000.0);

        LatencyHistogram merged = h;
        merged.merge(tail);
        QCOMPARE(merged.count(), uint64_t(2000));
        QCOMPARE(merged.maxNs(), uint64_t(50'000'000));
        QCOMPARE(merged.minNs(), uint64_t(1000));
    }
};

QTEST_GUILESS_MAIN(TestRunEvents)
#include "tst_runevents.moc"
