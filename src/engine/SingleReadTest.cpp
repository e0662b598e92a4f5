#include "engine/DeviceRead.h"
#include "engine/PhaseSupport.h"
#include "engine/Phases.h"
#include "platform/TimerComponent.h"
#include "platform/modFile.h"

using namespace PhaseSupport;

bool SingleReadTest(RunContext &ctx, int32_t count, int32_t sizeMB, const QString &path)
{
    constexpr TestPhase phase = TestPhase::SingleRead;
    RunEvents &events = ctx.Events();
    // Every failure but a short read has the one text of this phase.
    const auto fail = [&] { return Fail(ctx, FailReason::AccessFailed, path); };

    const std::optional<int32_t> totalMB = Mul(count, sizeMB);
    if (!totalMB)
        return fail();
    events.phaseSized(phase, count, *totalMB);

    modFile::RawBlock buffer;
    if (!buffer.valid())
        return fail();
    int32_t counter = 0;
    int64_t totalMs = 0;
    const std::optional<int32_t> overallDenominator = Mul(*totalMB, 2);
    BlockTally tally;
    const std::optional<BlockPattern::Generator> pattern = Pattern(ctx);
    VerifyTally verify;
    if (pattern)
        ctx.Results().FailedBlocks = 0;

    for (int32_t f = 1; f <= count; ++f) {
        modFile::RawFile file(DeviceRead::OpenForRead(ctx, TestFileName(path, f)));
        if (!file) {
            // A file that does not open is passed over in silence; verified, none of it read back.
            if (pattern)
                ReportUnreadable(ctx, phase, f, sizeMB);
            continue;
        }
        events.fileStarted(phase, f);
        const FileCacheState state = ReadState(file.get(), TestFileName(path, f));

        TimerComponent *timer = ctx.Timer();
        int32_t t0 = 0;
        if (!timer || !timer->Time(t0))
            return fail();
        tally = BlockTally();
        state.applyTo(tally);
        verify = VerifyTally();
        const uint64_t start = MonotonicNs();
        BlockClock clock;
        int64_t index = 0;

        for (int32_t m = 1; m <= sizeMB; ++m) {
            for (int b = 0; b < 1024; ++b, ++index) {
                const int32_t n = file.readBlock(buffer, 1024);
                tally.add(1024, n, clock.lap());
                if (n != 1024) {
                    events.shortRead(phase, f, index, n < 0 ? 0 : n);
                    clock.restart();
                }
                // Checked outside the next call's span: the clock starts again after it.
                if (pattern) {
                    verify.add(
                        pattern->Verify(buffer.data(), n, static_cast<uint32_t>(f), static_cast<uint64_t>(index)),
                        index);
                    clock.restart();
                }
                const Pump pump = PumpCheck(ctx, counter);
                if (pump == Pump::Stop)
                    return Stopped(ctx, phase, {f, {&tally, 1}});
                if (pump == Pump::Pumped) {
                    ctx.FileProgress(m * 100.0 / sizeMB);
                    const std::optional<int32_t> before = Add(count, f - 1);
                    const std::optional<int32_t> done = before ? Mul(*before, sizeMB) : std::nullopt;
                    const std::optional<double> overall =
                        Percent(done ? Add(*done, m) : std::nullopt, overallDenominator);
                    if (!overall)
                        return Fail(ctx, FailReason::AccessFailed, path, phase, {f, {&tally, 1}});
                    ctx.OverallProgress(*overall);
                    clock.restart();
                }
            }
        }

        int32_t t1 = 0;
        if (!timer->Time(t1))
            return Fail(ctx, FailReason::AccessFailed, path, phase, {f, {&tally, 1}});
        const int64_t us = static_cast<int64_t>(MonotonicNs() - start) / 1000;
        const int32_t d = TimerDifference(t1, t0);
        events.fileTimed(Timed(phase, f, d, us, tally));
        if (pattern)
            ReportVerified(ctx, phase, f, verify);
        totalMs += d;
    }

    // Skipped files still count: the total is divided by count.
    return FinishPhase(ctx, phase, totalMs, count, sizeMB, FailReason::AccessFailed, path);
}
