#include "engine/LatencyHistogram.h"

#include <QJsonArray>
#include <cmath>

uint64_t LatencyHistogram::bucketLowerNs(int index) noexcept
{
    if (index <= 0)
        return 0;
    const int octave = index / kBucketsPerOctave + kFirstOctave;
    const uint64_t sub = index % kBucketsPerOctave;
    return (kBucketsPerOctave + sub) << (octave - 3);
}

uint64_t LatencyHistogram::bucketUpperNs(int index) noexcept
{
    const int octave = index / kBucketsPerOctave + kFirstOctave;
    const uint64_t sub = index % kBucketsPerOctave;
    return (kBucketsPerOctave + sub + 1) << (octave - 3);
}

void LatencyHistogram::merge(const LatencyHistogram &other) noexcept
{
    for (int i = 0; i < kBuckets; ++i)
        m_counts[i] += other.m_counts[i];
    m_count += other.m_count;
    m_sumNs += other.m_sumNs;
    m_maxNs = std::max(m_maxNs, other.m_maxNs);
    m_minNs = std::min(m_minNs, other.m_minNs);
}

double LatencyHistogram::percentileUs(double q) const noexcept
{
    if (m_count == 0)
        return 0;
    const uint64_t rank = std::max<uint64_t>(1, uint64_t(std::ceil(std::clamp(q, 0.0, 1.0) * double(m_count))));
    uint64_t seen = 0;
    for (int i = 0; i < kBuckets; ++i) {
        seen += m_counts[i];
        if (seen >= rank)
            return double(std::min(bucketUpperNs(i), m_maxNs)) / 1000.0;
    }
    return double(m_maxNs) / 1000.0;
}

QJsonObject LatencyHistogram::toJson() const
{
    QJsonArray buckets;
    for (int i = 0; i < kBuckets; ++i) {
        if (m_counts[i])
            buckets.append(QJsonArray{qint64(bucketLowerNs(i)), qint64(bucketUpperNs(i)), qint64(m_counts[i])});
    }
    return QJsonObject{{QStringLiteral("unit"), QStringLiteral("ns")},
                       {QStringLiteral("buckets_per_octave"), kBucketsPerOctave},
                       {QStringLiteral("count"), qint64(m_count)},
                       {QStringLiteral("min_ns"), qint64(minNs())},
                       {QStringLiteral("max_ns"), qint64(m_maxNs)},
                       {QStringLiteral("sum_ns"), qint64(m_sumNs)},
                       {QStringLiteral("buckets"), buckets}};
}

namespace {

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

// A whole, non-negative number; JSON keeps them as doubles.
bool readCount(const QJsonObject &json, const char *key, uint64_t &out, QString *error)
{
    const QJsonValue value = json.value(QLatin1String(key));
    const double d = value.toDouble(-1);
    if (!value.isDouble() || d < 0 || d != std::floor(d))
        return fail(error, QStringLiteral("histogram: \"%1\" is not a whole number").arg(QLatin1String(key)));
    out = uint64_t(d);
    return true;
}

} // namespace

std::optional<LatencyHistogram> LatencyHistogram::fromJson(const QJsonObject &json, QString *error)
{
    if (json.value(QStringLiteral("unit")).toString() != QStringLiteral("ns") ||
        json.value(QStringLiteral("buckets_per_octave")).toInt() != kBucketsPerOctave) {
        fail(error, QStringLiteral("histogram: another unit or scale"));
        return std::nullopt;
    }
    LatencyHistogram h;
    uint64_t minNs = 0;
    if (!readCount(json, "count", h.m_count, error) || !readCount(json, "min_ns", minNs, error) ||
        !readCount(json, "max_ns", h.m_maxNs, error) || !readCount(json, "sum_ns", h.m_sumNs, error))
        return std::nullopt;
    h.m_minNs = h.m_count ? minNs : UINT64_MAX;

    uint64_t total = 0;
    for (const QJsonValue &entry : json.value(QStringLiteral("buckets")).toArray()) {
        const QJsonArray row = entry.toArray();
        if (row.size() != 3 || row[2].toDouble(-1) < 1) {
            fail(error, QStringLiteral("histogram: a bucket is not [lower, upper, count]"));
            return std::nullopt;
        }
        const int index = bucketOf(uint64_t(row[0].toDouble()));
        if (bucketLowerNs(index) != uint64_t(row[0].toDouble()) || bucketUpperNs(index) != uint64_t(row[1].toDouble())) {
            fail(error, QStringLiteral("histogram: a bucket's edges are not on the scale"));
            return std::nullopt;
        }
        h.m_counts[index] = uint64_t(row[2].toDouble());
        total += h.m_counts[index];
    }
    if (total != h.m_count) {
        fail(error, QStringLiteral("histogram: the buckets do not add up to the count"));
        return std::nullopt;
    }
    return h;
}

LatencySummary LatencySummary::of(const LatencyHistogram &h)
{
    return {h.count(),          h.percentileUs(0.5),   h.percentileUs(0.9),
            h.percentileUs(0.99), h.percentileUs(0.999), double(h.maxNs()) / 1000.0};
}

QJsonObject LatencySummary::toJson() const
{
    return QJsonObject{{QStringLiteral("count"), qint64(count)}, {QStringLiteral("p50_us"), p50Us},
                       {QStringLiteral("p90_us"), p90Us},        {QStringLiteral("p99_us"), p99Us},
                       {QStringLiteral("p99_9_us"), p999Us},     {QStringLiteral("max_us"), maxUs}};
}

std::optional<LatencySummary> LatencySummary::fromJson(const QJsonObject &json, QString *error)
{
    LatencySummary s;
    if (!readCount(json, "count", s.count, error))
        return std::nullopt;
    const std::pair<const char *, double *> fields[] = {
        {"p50_us", &s.p50Us}, {"p90_us", &s.p90Us}, {"p99_us", &s.p99Us}, {"p99_9_us", &s.p999Us}, {"max_us", &s.maxUs}};
    for (const auto &[key, out] : fields) {
        const QJsonValue value = json.value(QLatin1String(key));
        if (!value.isDouble()) {
            fail(error, QStringLiteral("latency: \"%1\" is missing").arg(QLatin1String(key)));
            return std::nullopt;
        }
        *out = value.toDouble();
    }
    return s;
}
