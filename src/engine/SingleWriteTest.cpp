#include "engine/PhaseSupport.h"
#include "engine/Phases.h"
#include "platform/TimerComponent.h"
#include "platform/modFile.h"

#include <QDateTime>

using namespace PhaseSupport;

bool SingleWriteTest(RunContext &ctx, int32_t count, int32_t sizeMB, const QString &path)
{
    constexpr TestPhase phase = TestPhase::SingleWrite;
    RunEvents &events = ctx.Events();
    events.phaseStarted(phase, QDateTime::currentDateTime());
    const std::optional<int32_t> totalMB = Mul(count, sizeMB);
    if (!totalMB)
        return Fail(ctx, FailReason::AccessFailed, path);
    events.phaseSized(phase, count, *totalMB);

    modFile::RawBlock block;
    if (!block.valid())
        return Fail(ctx, FailReason::AccessFailed, path);
    block.SetText(QString(1022, u'x'));
    const int32_t blockSize = block.size();
    int32_t counter = 0;
    int64_t totalMs = 0;
    bool timed = false;
    const std::optional<int32_t> overallDenominator = Mul(*totalMB, 2);
    BlockTally tally;
    const std::optional<BlockPattern::Generator> pattern = Pattern(ctx);

    for (int32_t f = 1; f <= count; ++f) {
        modFile::RawFile file(modFile::OpenRawFile(TestFileName(path, f), modFile::GENERIC_WRITE, 0,
                                                   modFile::CREATE_ALWAYS, CacheFlags(ctx)));
        // Once a file has been timed, a file that cannot be created is no longer an access failure.
        if (!file)
            return Fail(ctx, timed ? FailReason::LateCreateFailed : FailReason::AccessFailed, path);
        events.fileStarted(phase, f);
        const FileCacheState state = WriteState(file.get());

        TimerComponent *timer = ctx.Timer();
        int32_t t0 = 0;
        if (!timer || !timer->Time(t0))
            return Fail(ctx, FailReason::TimerFailed, path);
        timed = true;
        tally = BlockTally();
        state.applyTo(tally);
        const uint64_t start = MonotonicNs();
        BlockClock clock;
        int64_t index = 0;

        for (int32_t m = 1; m <= sizeMB; ++m) {
            for (int b = 0; b < 1024; ++b, ++index) {
                // The block is made outside the call's span: the clock starts again after it.
                if (pattern) {
                    pattern->Fill(block.data(), static_cast<uint32_t>(f), static_cast<uint64_t>(index));
                    clock.restart();
                }
                const int32_t n = file.writeBlock(block);
                tally.add(blockSize, n, clock.lap());
                const Pump pump = PumpCheck(ctx, counter);
                if (pump == Pump::Stop)
                    return Stopped(ctx, phase, {f, {&tally, 1}});
                if (pump == Pump::Pumped)
                    clock.restart();
            }
            ctx.FileProgress(m * 100.0 / sizeMB);
            const std::optional<int32_t> done = Mul(f - 1, sizeMB);
            const std::optional<double> overall = Percent(done ? Add(*done, m) : std::nullopt, overallDenominator);
            if (!overall)
                return Fail(ctx, FailReason::ValueOverflow, path, phase, {f, {&tally, 1}});
            ctx.OverallProgress(*overall);
            clock.restart();
        }

        int32_t t1 = 0;
        if (!timer->Time(t1))
            return Fail(ctx, FailReason::ValueOverflow, path, phase, {f, {&tally, 1}});
        const int64_t us = static_cast<int64_t>(MonotonicNs() - start) / 1000;
        const int32_t d = TimerDifference(t1, t0);
        events.fileTimed(Timed(phase, f, d, us, tally));
        totalMs += d;
    }

    return FinishPhase(ctx, phase, totalMs, count, sizeMB, timed ? FailReason::ValueOverflow : FailReason::AccessFailed,
                       path);
}
