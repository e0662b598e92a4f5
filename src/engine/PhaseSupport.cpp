#include "engine/PhaseSupport.h"

#include "platform/PageCacheState.h"
#include "platform/modFile.h"

#include <QDateTime>
#include <utility>

namespace PhaseSupport {

std::optional<int32_t> Mul(int32_t a, int32_t b)
{
    int32_t r = 0;
    if (__builtin_mul_overflow(a, b, &r))
        return std::nullopt;
    return r;
}

std::optional<int32_t> Add(int32_t a, int32_t b)
{
    int32_t r = 0;
    if (__builtin_add_overflow(a, b, &r))
        return std::nullopt;
    return r;
}

std::optional<int32_t> Sub(int32_t a, int32_t b)
{
    int32_t r = 0;
    if (__builtin_sub_overflow(a, b, &r))
        return std::nullopt;
    return r;
}

std::optional<double> Percent(std::optional<int32_t> numerator, std::optional<int32_t> denominator)
{
    if (!numerator || !denominator || *denominator == 0)
        return std::nullopt;
    const std::optional<int32_t> scaled = Mul(*numerator, 100);
    if (!scaled)
        return std::nullopt;
    return static_cast<double>(*scaled) / static_cast<double>(*denominator);
}

bool Averages(int64_t totalMs, int32_t count, int32_t sizeMB, double &average, double &rate)
{
    if (count == 0)
        return false;
    const double a = (static_cast<double>(totalMs) / 1000.0) / count;
    if (a == 0)
        return false;
    average = a;
    rate = sizeMB / a;
    return true;
}

QString TestFileName(const QString &path, int32_t number)
{
    return path + QString::number(number) + QStringLiteral(".tst");
}

uint32_t CacheFlags(const RunContext &ctx)
{
    uint32_t flags = 0;
    if (ctx.DisableCaching())
        flags = modFile::FILE_FLAG_NO_BUFFERING;
    if (ctx.WriteThrough())
        flags += modFile::FILE_FLAG_WRITE_THROUGH;
    return flags;
}

bool Fail(RunContext &ctx, FailReason reason, const QString &path)
{
    ctx.Events().failed(reason, path);
    return false;
}

bool Fail(RunContext &ctx, FailReason reason, const QString &path, TestPhase phase, const Untimed &files)
{
    Report(ctx.Events(), phase, files);
    return Fail(ctx, reason, path);
}

bool Stopped(RunContext &ctx, TestPhase phase, const Untimed &files)
{
    Report(ctx.Events(), phase, files);
    ctx.Events().stopped(phase);
    return false;
}

void Report(RunEvents &events, TestPhase phase, const Untimed &files)
{
    int32_t number = files.firstFile;
    for (const BlockTally &tally : files.tallies) {
        FileTimed e = Timed(phase, number++, 0, 0, tally);
        e.timed = false;
        events.fileTimed(e);
    }
}

std::optional<BlockPattern::Generator> Pattern(const RunContext &ctx)
{
    if (!ctx.VerifyData())
        return std::nullopt;
    return BlockPattern::Generator(ctx.RunId().toULongLong(nullptr, 16));
}

void ReportVerified(RunContext &ctx, TestPhase phase, int32_t file, VerifyTally &tally)
{
    tally.result.phase = phase;
    tally.result.file = file;
    ctx.Results().FailedBlocks += tally.failed();
    ctx.Events().fileVerified(tally.result);
}

void ReportUnreadable(RunContext &ctx, TestPhase phase, int32_t file, int32_t sizeMB)
{
    VerifyTally tally;
    tally.result.counts.badBlocks = static_cast<int64_t>(sizeMB) * 1024;
    if (tally.result.counts.badBlocks > 0)
        tally.result.counts.firstBadOffset = 0;
    ReportVerified(ctx, phase, file, tally);
}

FileTimed Timed(TestPhase phase, int32_t file, int32_t ms, int64_t us, const BlockTally &tally)
{
    FileTimed e;
    e.phase = phase;
    e.file = file;
    e.ms = ms;
    e.us = us;
    e.bytesRequested = tally.requested;
    e.bytesTransferred = tally.transferred;
    e.failedCalls = tally.failedCalls;
    e.shortCalls = tally.shortCalls;
    e.firstErrno = tally.firstErrno;
    e.latency = &tally.latency;
    e.directIo = tally.directIo;
    e.cachedShare = tally.cachedShare;
    return e;
}

FileCacheState WriteState(int32_t handle)
{
    return {modFile::IsDirect(handle), std::nullopt};
}

FileCacheState ReadState(int32_t handle, const QString &fileName)
{
    FileCacheState state{modFile::IsDirect(handle), std::nullopt};
    const PageCacheState::Share share = PageCacheState::OfFile(fileName);
    if (share.known)
        state.cachedShare = share.fraction;
    return state;
}

void ReportSpan(RunEvents &events, TestPhase phase, int32_t ms, int64_t us, const std::vector<BlockTally> &tallies)
{
    FileTimed span;
    span.phase = phase;
    span.ms = ms;
    span.us = us;
    for (const BlockTally &t : tallies) {
        span.bytesRequested += t.requested;
        span.bytesTransferred += t.transferred;
        span.failedCalls += t.failedCalls;
        span.shortCalls += t.shortCalls;
        if (span.firstErrno == 0)
            span.firstErrno = t.firstErrno;
    }
    events.fileTimed(span);
    Report(events, phase, {1, tallies});
}

bool FinishPhase(RunContext &ctx, TestPhase phase, int64_t totalMs, int32_t count, int32_t sizeMB, FailReason onFail,
                 const QString &path)
{
    double average = 0, rate = 0;
    if (!Averages(totalMs, count, sizeMB, average, rate))
        return Fail(ctx, onFail, path);
    RunResults &r = ctx.Results();
    static constexpr std::pair<double RunResults::*, double RunResults::*> kFigures[] = {
        {&RunResults::SingleWriteTime, &RunResults::SingleWriteRate},
        {&RunResults::SingleReadTime, &RunResults::SingleReadRate},
        {&RunResults::MultiWriteTime, &RunResults::MultiWriteRate},
        {&RunResults::MultiReadTime, &RunResults::MultiReadRate}};
    const auto &[time, speed] = kFigures[static_cast<int>(phase)];
    r.*time = average;
    r.*speed = rate;
    ctx.Events().phaseFinished(phase, average, rate, QDateTime::currentDateTime());
    return true;
}

} // namespace PhaseSupport
