#pragma once

#include "engine/BlockPattern.h"
#include "engine/LatencyHistogram.h"
#include "engine/RunContext.h"
#include "engine/RunEvents.h"
#include "platform/TickClock.h"
#include "platform/TimerComponent.h"

#include <QString>
#include <cerrno>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// What the four phases share: 32-bit arithmetic that reports overflow, the pump check, the block
// figures and what follows the block loop.
namespace PhaseSupport {

std::optional<int32_t> Mul(int32_t a, int32_t b);
std::optional<int32_t> Add(int32_t a, int32_t b);
std::optional<int32_t> Sub(int32_t a, int32_t b);

// The value a progress bar is given: numerator × 100 / denominator in double precision, from
// 32-bit integer products; nothing when a product overflows or the denominator is 0.
std::optional<double> Percent(std::optional<int32_t> numerator, std::optional<int32_t> denominator);

enum class Pump { Skipped, Pumped, Stop };

// The pump check after each block step: the first check follows the second step, then every
// 100th. The counter starts at 0 with each phase.
inline Pump PumpCheck(RunContext &ctx, int32_t &counter)
{
    Pump result = Pump::Skipped;
    if (counter == 1) {
        if (ctx.StopRequested())
            return Pump::Stop;
        ctx.fDoEvents(!ctx.LightPump());
        result = Pump::Pumped;
    }
    if (++counter > 100)
        counter = 1;
    return result;
}

// One file's block figures, kept on the per-block path: no allocation, no system call.
struct BlockTally {
    int64_t requested = 0;
    int64_t transferred = 0;
    int64_t failedCalls = 0;
    int64_t shortCalls = 0;
    int firstErrno = 0;
    LatencyHistogram latency;
    std::optional<bool> directIo;
    std::optional<double> cachedShare;

    // result is the call's return value; errno is still the call's when it failed.
    void add(int32_t asked, int32_t result, uint64_t ns)
    {
        latency.record(ns);
        requested += asked;
        if (result < 0) {
            if (failedCalls++ == 0)
                firstErrno = errno;
            return;
        }
        transferred += result;
        if (result < asked)
            ++shortCalls;
    }
};

// Each block's duration from one clock read, the span since the previous read: a second read per
// block would cost about as much as the histogram. Whatever runs between blocks besides the loop
// itself (a pump, a progress update, an event) is left out by restarting the clock after it.
class BlockClock {
public:
    BlockClock() : m_clock(TickClock::instance()), m_last(m_clock.now()) {}
    uint64_t lap()
    {
        const uint64_t now = m_clock.now();
        // Counters of two processors may be a little apart: a move between them never wraps.
        const uint64_t span = now > m_last ? now - m_last : 0;
        m_last = now;
        return m_clock.toNs(span);
    }
    void restart() { m_last = m_clock.now(); }

private:
    const TickClock m_clock; // a copy: the per-block path reads no static
    uint64_t m_last;
};

// One read file's verification, kept on the per-block path like BlockTally.
struct VerifyTally {
    FileVerified result;

    void add(const BlockPattern::Check &check, int64_t block)
    {
        if (check.verdict == BlockPattern::Verdict::Good)
            return;
        VerifyCounts &c = result.counts;
        if (check.verdict == BlockPattern::Verdict::Bad) {
            ++c.badBlocks;
        } else if (c.misplacedBlocks++ == 0) {
            result.firstOriginFile = check.originFile;
            result.firstOriginBlock = check.originBlock;
        }
        if (!c.firstBadOffset)
            c.firstBadOffset = block * BlockPattern::kBlockBytes;
    }
    int64_t failed() const { return result.counts.badBlocks + result.counts.misplacedBlocks; }
};

// The run's pattern when it verifies its data, seeded with its id; nothing otherwise.
std::optional<BlockPattern::Generator> Pattern(const RunContext &ctx);

// Reports a read file's verification and adds its failed blocks to the run's figures.
void ReportVerified(RunContext &ctx, TestPhase phase, int32_t file, VerifyTally &tally);
// A file the single read phase could not open: none of its blocks read back.
void ReportUnreadable(RunContext &ctx, TestPhase phase, int32_t file, int32_t sizeMB);

FileTimed Timed(TestPhase phase, int32_t file, int32_t ms, int64_t us, const BlockTally &tally);

// How a file is read or written, taken before its timed span: whether O_DIRECT is in force and,
// for a read, the share of its pages already cached.
struct FileCacheState {
    std::optional<bool> directIo;
    std::optional<double> cachedShare;
    void applyTo(BlockTally &tally) const
    {
        tally.directIo = directIo;
        tally.cachedShare = cachedShare;
    }
};
FileCacheState WriteState(int32_t handle);
FileCacheState ReadState(int32_t handle, const QString &fileName);

// The multiple test's one timed span (file 0, the files' figures summed), then each file's
// figures untimed.
void ReportSpan(RunEvents &events, TestPhase phase, int32_t ms, int64_t us, const std::vector<BlockTally> &tallies);

// average = (total / 1000) / count and rate = sizeMB / average; false on a division by zero.
bool Averages(int64_t totalMs, int32_t count, int32_t sizeMB, double &average, double &rate);

// After the block loop: the averages into the run's figures and the phase's end reported; false,
// with onFail reported, when no average can be formed.
bool FinishPhase(RunContext &ctx, TestPhase phase, int64_t totalMs, int32_t count, int32_t sizeMB, FailReason onFail,
                 const QString &path);

// Files a phase leaves before their time is taken: what they transferred goes into the record
// untimed, numbered from firstFile on.
struct Untimed {
    int32_t firstFile = 0;
    std::span<const BlockTally> tallies;
};
void Report(RunEvents &events, TestPhase phase, const Untimed &files);

// Reports the failure and returns false; open files close as their handles go out of scope.
bool Fail(RunContext &ctx, FailReason reason, const QString &path);
bool Fail(RunContext &ctx, FailReason reason, const QString &path, TestPhase phase, const Untimed &files);
bool Stopped(RunContext &ctx, TestPhase phase, const Untimed &files = {});

QString TestFileName(const QString &path, int32_t number);

// The caching flags of the write phases from the two check boxes.
uint32_t CacheFlags(const RunContext &ctx);

} // namespace PhaseSupport
