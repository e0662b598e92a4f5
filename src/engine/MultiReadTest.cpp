#include "engine/DeviceRead.h"
#include "engine/PhaseSupport.h"
#include "engine/Phases.h"
#include "platform/SignalStop.h"
#include "platform/TimerComponent.h"
#include "platform/modFile.h"

#include <vector>

using namespace PhaseSupport;

bool MultiReadTest(RunContext &ctx, int32_t count, int32_t sizeMB, const QString &path)
{
    constexpr TestPhase phase = TestPhase::MultiRead;
    RunEvents &events = ctx.Events();
    const auto fail = [&] { return Fail(ctx, FailReason::AccessFailed, path); };
    int32_t counter = 0;

    // Unlike the single read phase, a file that does not open ends the phase.
    std::vector<modFile::RawFile> files;
    for (int32_t f = 1; f <= count; ++f) {
        files.emplace_back(DeviceRead::OpenForRead(ctx, TestFileName(path, f)));
        if (!files.back())
            return fail();
    }
    const std::optional<int32_t> totalMB = Mul(count, sizeMB);
    if (!totalMB)
        return fail();
    events.phaseSized(phase, count, *totalMB);
    std::vector<BlockTally> tallies(files.size());
    for (size_t i = 0; i < files.size(); ++i)
        ReadState(files[i].get(), TestFileName(path, int32_t(i + 1))).applyTo(tallies[i]);

    TimerComponent *timer = ctx.Timer();
    int32_t t0 = 0;
    if (!timer || !timer->Time(t0))
        return fail();

    modFile::RawBlock buffer;
    if (!buffer.valid())
        return fail();
    const std::optional<BlockPattern::Generator> pattern = Pattern(ctx);
    std::vector<VerifyTally> verify(pattern ? files.size() : 0);
    if (pattern)
        ctx.Results().FailedBlocks = 0;
    const std::optional<int32_t> overallDenominator = Mul(sizeMB, 2);
    modFile::RawFile *first = files.data();
    modFile::RawFile *last = first + files.size();
    const uint64_t start = MonotonicNs();
    BlockClock clock;
    int64_t index = 0;
    for (int32_t m = 1; m <= sizeMB; ++m) {
        for (int b = 0; b < 1024; ++b, ++index) {
            BlockTally *tally = tallies.data();
            for (modFile::RawFile *h = first; h != last; ++h, ++tally) {
                const int32_t n = h->readBlock(buffer, 1024);
                tally->add(1024, n, clock.lap());
                const auto file = static_cast<int32_t>(h - first) + 1;
                if (n != 1024) {
                    events.shortRead(phase, file, index, n < 0 ? 0 : n);
                    clock.restart();
                }
                if (pattern) {
                    verify[static_cast<size_t>(file - 1)].add(
                        pattern->Verify(buffer.data(), n, static_cast<uint32_t>(file), static_cast<uint64_t>(index)),
                        index);
                    clock.restart();
                }
            }
            // A stop signal is seen after every block step, not only at the pump checks.
            const Pump pump = PumpCheck(ctx, counter);
            if (pump == Pump::Stop || SignalStop::Caught())
                return Stopped(ctx, phase, {1, tallies});
            if (pump == Pump::Pumped) {
                ctx.FileProgress(m * 100.0 / sizeMB);
                const std::optional<double> overall = Percent(Add(sizeMB, m), overallDenominator);
                if (!overall)
                    return Fail(ctx, FailReason::AccessFailed, path, phase, {1, tallies});
                ctx.OverallProgress(*overall);
                clock.restart();
            }
        }
    }

    int32_t t1 = 0;
    if (!timer->Time(t1))
        return Fail(ctx, FailReason::AccessFailed, path, phase, {1, tallies});
    const int64_t us = static_cast<int64_t>(MonotonicNs() - start) / 1000;
    const int32_t d = TimerDifference(t1, t0);
    ReportSpan(events, phase, d, us, tallies);
    for (size_t i = 0; i < verify.size(); ++i)
        ReportVerified(ctx, phase, static_cast<int32_t>(i + 1), verify[i]);
    files.clear();

    return FinishPhase(ctx, phase, d, count, sizeMB, FailReason::AccessFailed, path);
}
