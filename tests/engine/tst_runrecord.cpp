// The run record and its latency histogram: JSON out and back without loss, clear errors for
// what is not a record, percentiles of known durations.
#include "engine/RunRecord.h"
#include "platform/Version.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

namespace {

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

class TestRunRecord : public QObject {
    Q_OBJECT
private slots:
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
    }

    void unitsInFieldNames()
    {
        const QJsonObject json = fullRecord().toJson();
        QCOMPARE(json.value("bytes_per_mb").toInt(), 1048576);
        const QJsonObject phase = json.value("phases").toArray().first().toObject();
        for (const char *key : {"ms", "us", "average_s", "rate_mb_per_s", "bytes_requested"})
            QVERIFY2(phase.contains(key), key);
        const QJsonObject latency = phase.value("latency").toObject();
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
            QVERIFY2(LatencyHistogram::bucketLowerNs(i) <= v && v < LatencyHistogram::bucketUpperNs(i),
                     qPrintable(QString::number(v)));
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
            QVERIFY2(got >= truth && got <= truth * 1.125, qPrintable(QStringLiteral("%1 for %2").arg(got).arg(truth)));
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
        QVERIFY(*LatencyHistogram::fromJson(merged.toJson()) == merged);
    }
};

QTEST_GUILESS_MAIN(TestRunRecord)
#include "tst_runrecord.moc"
