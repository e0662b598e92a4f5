#include "engine/PhaseSupport.h"
#include "engine/Phases.h"
#include "platform/SignalStop.h"
#include "platform/TimerComponent.h"
#include "platform/modFile.h"

#include <QDateTime>
#include <vector>

using namespace PhaseSupport;

bool MultiWriteTest(RunContext &ctx, int32_t count, int32_t sizeMB, const QString &path)
{
    constexpr TestPhase phase = TestPhase::MultiWrite;
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
    const uint32_t flags = CacheFlags(ctx);

    // Every file exists before the first block; the handles grow as they open, so a count far
    // beyond what can be opened costs nothing up front.
    std::vector<modFile::RawFile> files;
    for (int32_t f = 1; f <= count; ++f) {
        files.emplace_back(
            modFile::OpenRawFile(TestFileName(path, f), modFile::GENERIC_WRITE, 0, modFile::CREATE_ALWAYS, flags));
        if (!files.back())
            return Fail(ctx, FailReason::AccessFailed, path);
    }
    events.blocksStarted(phase);
    std::vector<BlockTally> tallies(files.size());
    for (size_t i = 0; i < files.size(); ++i)
        WriteState(files[i].get()).applyTo(tallies[i]);

    TimerComponent *timer = ctx.Timer();
    int32_t t0 = 0;
    if (!timer || !timer->Time(t0))
        return Fail(ctx, FailReason::TimerFailed, path);

    const std::optional<BlockPattern::Generator> pattern = Pattern(ctx);
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
                if (pattern) {
                    pattern->Fill(block.data(), static_cast<uint32_t>(h - first) + 1, static_cast<uint64_t>(index));
                    clock.restart();
                }
                const int32_t n = h->writeBlock(block);
                tally->add(blockSize, n, clock.lap());
            }
            // A stop signal is seen after every block step, not only at the pump checks.
            const Pump pump = PumpCheck(ctx, counter);
            if (pump == Pump::Stop || SignalStop::Caught())
                return Stopped(ctx, phase, {1, tallies});
            if (pump == Pump::Pumped)
                clock.restart();
        }
        ctx.FileProgress(m * 100.0 / sizeMB);
        const std::optional<double> overall = Percent(m, overallDenominator);
        if (!overall)
            return Fail(ctx, FailReason::ValueOverflow, path, phase, {1, tallies});
        ctx.OverallProgress(*overall);
        clock.restart();
    }

    int32_t t1 = 0;
    if (!timer->Time(t1))
        return Fail(ctx, FailReason::ValueOverflow, path, phase, {1, tallies});
    const int64_t us = static_cast<int64_t>(MonotonicNs() - start) / 1000;
    const int32_t d = TimerDifference(t1, t0);
    ReportSpan(events, phase, d, us, tallies);
    files.clear();

    return FinishPhase(ctx, phase, d, count, sizeMB, FailReason::ValueOverflow, path);
}
