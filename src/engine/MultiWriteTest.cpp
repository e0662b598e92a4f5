#include "engine/EngineFormat.h"
#include "engine/PhaseSupport.h"
#include "engine/Phases.h"
#include "platform/TimerComponent.h"
#include "platform/modFile.h"
#include "shell/lang/modLang.h"

using namespace PhaseSupport;

bool MultiWriteTest(RunContext &ctx, int32_t count, int32_t sizeMB, const QString &path)
{
    std::vector<int32_t> handles;
    ctx.LogPrint(StartLine());
    const std::optional<int32_t> totalMB = Mul(count, sizeMB);
    if (!totalMB)
        return FailClosingAll(ctx, handles, AccessFailed(path));
    ctx.LogPrint(CreateLine(count, *totalMB));

    modFile::RawBlock block;
    if (!block.valid())
        return FailClosingAll(ctx, handles, AccessFailed(path));
    block.SetText(QString(1022, u'x'));
    int32_t counter = 0;
    const uint32_t flags = CacheFlags(ctx);

    // Every file exists before the first block; the handles grow as they open, so a count far
    // beyond what can be opened costs nothing up front.
    for (int32_t f = 1; f <= count; ++f) {
        const int32_t handle =
            modFile::OpenRawFile(TestFileName(path, f), modFile::GENERIC_WRITE, 0, modFile::CREATE_ALWAYS, flags);
        if (handle == 0)
            return FailClosingAll(ctx, handles, AccessFailed(path));
        handles.push_back(handle);
    }
    ctx.LogPrint(LangText(20, false, false, false, QStringLiteral("Schreibe... ")));

    TimerComponent *timer = ctx.Timer();
    int32_t t0 = 0;
    if (!timer || !timer->Time(t0))
        return FailClosingAll(ctx, handles, Text(41));

    const std::optional<int32_t> overallDenominator = Mul(sizeMB, 2);
    const int32_t *first = handles.data();
    const int32_t *last = first + handles.size();
    for (int32_t m = 1; m <= sizeMB; ++m) {
        for (int b = 0; b < 1024; ++b) {
            for (const int32_t *h = first; h != last; ++h)
                modFile::WriteBlock(*h, block);
            if (PumpCheck(ctx, counter) == Pump::Stop)
                return FailClosingAll(ctx, handles, Text(11));
        }
        ctx.FileProgress(m * 100.0 / sizeMB);
        const std::optional<double> overall = Percent(m, overallDenominator);
        if (!overall)
            return FailClosingAll(ctx, handles, Text(7));
        ctx.OverallProgress(*overall);
    }

    int32_t t1 = 0;
    if (!timer->Time(t1))
        return FailClosingAll(ctx, handles, Text(7));
    const int32_t d = TimerDifference(t1, t0);
    // This phase's pattern is "#.##0.00": the seconds grouped, with exactly two decimals.
    ctx.LogPrint(TimeLine(EngineFormat::GroupedSeconds(d / 1000.0), d));
    CloseAll(handles);

    double average = 0, rate = 0;
    if (!Averages(d, count, sizeMB, average, rate))
        return FailClosingAll(ctx, handles, Text(7));
    ctx.Results().MultiWriteTime = average;
    ctx.Results().MultiWriteRate = rate;

    ctx.LogPrint(QStringLiteral("<clear>"));
    LogAverages(ctx, average, rate);
    ctx.LogPrint(EndLine());
    ctx.LogPrint(QString());
    return true;
}
