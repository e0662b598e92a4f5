#pragma once

#include "engine/LatencyHistogram.h"
#include "profile/ProfileSpec.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace Profiles {

// Monotonic clock in nanoseconds: the one clock read of the per-block path.
int64_t NowNs();

// xorshift64*: fast enough to pick every block's offset without showing in the figures.
class Rng {
public:
    explicit Rng(uint64_t seed) : m_s(seed ? seed : 0x9E3779B97F4A7C15ull) {}
    uint64_t next()
    {
        m_s ^= m_s >> 12;
        m_s ^= m_s << 25;
        m_s ^= m_s >> 27;
        return m_s * 0x2545F4914F6CDD1Dull;
    }

private:
    uint64_t m_s;
};

// What one pass of one job did; the engines fill it, the runner sums the jobs.
struct PassTally {
    int64_t startNs = 0;
    int64_t endNs = 0;
    int64_t bytesRead = 0;
    int64_t bytesWritten = 0;
    int64_t ios = 0;
    int64_t failures = 0; // calls that failed or moved less than a block
    int firstErrno = 0;
    LatencyHistogram latency;

    void complete(bool write, int64_t result, int64_t blockSize, int64_t latencyNs)
    {
        if (result > 0)
            (write ? bytesWritten : bytesRead) += result;
        if (result != blockSize) {
            ++failures;
            if (!firstErrno)
                firstErrno = result < 0 ? int(-result) : 5 /* EIO: a short transfer */;
        }
        ++ios;
        latency.record(uint64_t(latencyNs));
    }
    void add(const PassTally &o);
};

// One job of a profile: its open file, its queue slots' buffers and the choice of each next block.
// Test data: every buffer holds the same pseudo-random block (incompressible), and every 4 KiB
// sector written carries its file offset and the pass's tag in its first 16 bytes, so no two
// sectors of a file are alike and a check can tell which pass wrote what.
class IoJob {
public:
    static constexpr int64_t kSector = 4096;
    static constexpr int64_t kAlignment = 4096;

    struct Op {
        int64_t offset;
        bool write;
    };

    IoJob(const ProfileSpec &spec, int fd, int64_t fileSize);
    ~IoJob();
    IoJob(const IoJob &) = delete;
    IoJob &operator=(const IoJob &) = delete;

    bool allocate(); // false when the buffers cannot be had
    // Whether the system gave the buffers huge pages, so that a large block goes out in one request.
    bool hugePageBuffers() const;
    int fd() const { return m_fd; }
    int queueSlots() const { return m_spec.depth; }
    int64_t blockSize() const { return m_spec.blockSize; }
    char *buffer(int slot) const { return m_buffers + slot * m_spec.blockSize; }
    uint64_t seed() const { return m_seed; }

    // A new pass: its tag, and when it ends (a byte count, a deadline, or the stop flag).
    void beginPass(uint64_t tag, int64_t byteLimit, int64_t deadlineNs, const std::atomic<bool> *stop);
    // The next block for a queue slot; false when the pass must issue no more.
    bool next(Rng &rng, int64_t nowNs, Op &op)
    {
        if (nowNs >= m_deadlineNs || m_stop->load(std::memory_order_relaxed))
            return false;
        const int64_t serial = m_serial.fetch_add(1, std::memory_order_relaxed);
        if (serial >= m_issueLimit)
            return false;
        op.offset = m_spec.pattern == ProfileSpec::Pattern::Sequential ? (serial % m_blocks) * m_spec.blockSize
                                                                       : int64_t(rng.next() % m_blocks) * m_spec.blockSize;
        op.write = m_spec.access == ProfileSpec::Access::Write ||
                   (m_spec.access == ProfileSpec::Access::Mix && int(rng.next() % 100) >= m_spec.readShare);
        return true;
    }
    // Marks a block's sectors with their offset and the pass's tag before it is written.
    void stamp(char *block, int64_t offset) const { Stamp(block, m_spec.blockSize, offset, m_tag); }

    static void FillPattern(char *data, int64_t size, uint64_t seed);
    static void Stamp(char *data, int64_t size, int64_t offset, uint64_t tag);

private:
    ProfileSpec m_spec;
    int m_fd;
    int64_t m_blocks;
    uint64_t m_seed;
    char *m_buffers = nullptr;
    size_t m_bufferBytes = 0;
    uint64_t m_tag = 0;
    int64_t m_issueLimit = 0;
    int64_t m_deadlineNs = 0;
    const std::atomic<bool> *m_stop = nullptr;
    std::atomic<int64_t> m_serial{0};
};

} // namespace Profiles
