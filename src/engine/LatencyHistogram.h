#pragma once

#include <QJsonObject>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

// Block durations on a fixed log scale: eight buckets per power of two from 64 ns up, so a
// percentile lies within an eighth of an octave (under 10 %) of the true value. Recording costs a
// few instructions, allocates nothing and takes no lock, so it can sit on the per-block path.
class LatencyHistogram {
public:
    static constexpr int kBucketsPerOctave = 8;
    static constexpr int kFirstOctave = 6; // 64 ns; anything faster lands in the first bucket
    static constexpr int kOctaves = 32;    // the last bucket ends near 275 s and takes all above
    static constexpr int kBuckets = kBucketsPerOctave * kOctaves;

    static constexpr int bucketOf(uint64_t ns) noexcept
    {
        if (ns < (uint64_t(1) << kFirstOctave))
            return 0;
        const int octave = 63 - __builtin_clzll(ns);
        const int sub = int(ns >> (octave - 3)) & (kBucketsPerOctave - 1);
        const int index = (octave - kFirstOctave) * kBucketsPerOctave + sub;
        return index < kBuckets ? index : kBuckets - 1;
    }
    // The bucket's edges in ns: [lower, upper). The first bucket starts at 0.
    static uint64_t bucketLowerNs(int index) noexcept;
    static uint64_t bucketUpperNs(int index) noexcept;

    void record(uint64_t ns) noexcept
    {
        ++m_counts[bucketOf(ns)];
        ++m_count;
        m_sumNs += ns;
        if (ns > m_maxNs)
            m_maxNs = ns;
        if (ns < m_minNs)
            m_minNs = ns;
    }
    void merge(const LatencyHistogram &other) noexcept;
    void clear() noexcept { *this = LatencyHistogram(); }

    uint64_t count() const noexcept { return m_count; }
    uint64_t bucketCount(int index) const noexcept { return m_counts[index]; }
    uint64_t minNs() const noexcept { return m_count ? m_minNs : 0; }
    uint64_t maxNs() const noexcept { return m_maxNs; }
    uint64_t sumNs() const noexcept { return m_sumNs; }

    // The duration in microseconds that a share q (0 to 1) of the samples do not exceed: the upper
    // edge of the bucket holding that rank, never above the largest sample. 0 when empty.
    double percentileUs(double q) const noexcept;

    // {"unit":"ns", "buckets_per_octave", "count", "min_ns", "max_ns", "sum_ns",
    //  "buckets": [[lower_ns, upper_ns, count], ...]} with the empty buckets left out.
    QJsonObject toJson() const;
    static std::optional<LatencyHistogram> fromJson(const QJsonObject &json, QString *error = nullptr);

    bool operator==(const LatencyHistogram &other) const = default;

private:
    std::array<uint64_t, kBuckets> m_counts{};
    uint64_t m_count = 0;
    uint64_t m_sumNs = 0;
    uint64_t m_maxNs = 0;
    uint64_t m_minNs = UINT64_MAX;
};

// The figures a reader wants of a histogram, in microseconds.
struct LatencySummary {
    uint64_t count = 0;
    double p50Us = 0;
    double p90Us = 0;
    double p99Us = 0;
    double p999Us = 0;
    double maxUs = 0;

    static LatencySummary of(const LatencyHistogram &histogram);
    QJsonObject toJson() const;
    static std::optional<LatencySummary> fromJson(const QJsonObject &json, QString *error = nullptr);
    bool operator==(const LatencySummary &other) const = default;
};
