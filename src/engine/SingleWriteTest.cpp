#include "engine/EngineFormat.h"
#include "engine/PhaseSupport.h"
#include "engine/Phases.h"
#include "platform/TimerComponent.h"
#include "platform/modFile.h"
#include "shell/lang/modLang.h"

using namespace PhaseSupport;

bool SingleWriteTest(RunContext &ctx, int32_t count, int32_t sizeMB, const QString &path)
{
    int32_t handle = 0;
    ctx.LogPrint(StartLine());
    const std::optional<int32_t> totalMB = Mul(count, sizeMB);
    if (!totalMB)
        return FailClosing(ctx, handle, AccessFailed(path));
    ctx.LogPrint(CreateLine(count, *totalMB));

    modFile::RawBlock block;
    if (!block.valid())
        return FailClosing(ctx, handle, AccessFailed(path));
    block.SetText(QString(1022, u'x'));
    int32_t counter = 0;
    int64_t totalMs = 0;
    bool timed = false;
    const std::optional<int32_t> overallDenominator = Mul(*totalMB, 2);
    const QString fileText = LangText(40, false, true, false, QStringLiteral("Datei "));

    for (int32_t f = 1; f <= count; ++f) {
        handle = modFile::OpenRawFile(TestFileName(path, f), modFile::GENERIC_WRITE, 0, modFile::CREATE_ALWAYS,
                                      CacheFlags(ctx));
        // Once a file has been timed, a file that cannot be created is no longer an access failure.
        if (handle == 0)
            return FailClosing(ctx, handle, timed ? Text(7) : AccessFailed(path));
        ctx.LogPrint(fileText + EngineFormat::Signed(f) + QStringLiteral("..."));

        TimerComponent *timer = ctx.Timer();
        int32_t t0 = 0;
        if (!timer || !timer->Time(t0))
            return FailClosing(ctx, handle, Text(41));
        timed = true;

        for (int32_t m = 1; m <= sizeMB; ++m) {
            for (int b = 0; b < 1024; ++b) {
                modFile::WriteBlock(handle, block);
                if (PumpCheck(ctx, counter) == Pump::Stop)
                    return FailClosing(ctx, handle, Text(11));
            }
            ctx.FileProgress(m * 100.0 / sizeMB);
            const std::optional<int32_t> done = Mul(f - 1, sizeMB);
            const std::optional<double> overall = Percent(done ? Add(*done, m) : std::nullopt, overallDenominator);
            if (!overall)
                return FailClosing(ctx, handle, Text(7));
            ctx.OverallProgress(*overall);
        }

        int32_t t1 = 0;
        if (!timer->Time(t1))
            return FailClosing(ctx, handle, Text(7));
        const int32_t d = TimerDifference(t1, t0);
        ctx.LogPrint(TimeLine(EngineFormat::Seconds(d / 1000.0), d));
        totalMs += d;
        modFile::CloseRawFile(handle, true);
        handle = 0;
    }

    double average = 0, rate = 0;
    if (!Averages(totalMs, count, sizeMB, average, rate))
        return FailClosing(ctx, handle, timed ? Text(7) : AccessFailed(path));
    ctx.Results().SingleWriteTime = average;
    ctx.Results().SingleWriteRate = rate;

    ctx.LogPrint(QString());
    ctx.LogPrint(QStringLiteral("<clear>"));
    LogAverages(ctx, average, rate);
    ctx.LogPrint(EndLine());
    ctx.LogPrint(QString());
    return true;
}
