#pragma once

#include "engine/LatencyHistogram.h"
#include "engine/RunContext.h"
#include "engine/RunEvents.h"

#include <QString>
#include <cerrno>
#include <cstdint>
#include <optional>
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

FileTimed Timed(TestPhase phase, int32_t file, int32_t ms, int64_t us, const BlockTally &tally);

// The multiple test's one timed span (file 0, the files' figures summed), then each file's
// figures untimed.
void ReportSpan(RunEvents &events, TestPhase phase, int32_t ms, int64_t us, const std::vector<BlockTally> &tallies);

// average = (total / 1000) / count and rate = sizeMB / average; false on a division by zero.
bool Averages(int64_t totalMs, int32_t count, int32_t sizeMB, double &average, double &rate);

// After the block loop: the averages into the run's figures and the phase's end reported; false,
// with onFail reported, when no average can be formed.
bool FinishPhase(RunContext &ctx, TestPhase phase, int64_t totalMs, int32_t count, int32_t sizeMB, FailReason onFail,
                 const QString &path);

// Reports the failure and returns false; open files close as their handles go out of scope.
bool Fail(RunContext &ctx, FailReason reason, const QString &path);
bool Stopped(RunContext &ctx, TestPhase phase);

QString TestFileName(const QString &path, int32_t number);

// The caching flags of the write phases from the two check boxes.
uint32_t CacheFlags(const RunContext &ctx);

} // namespace PhaseSupport
