#include "engine/DeviceRead.h"
#include "engine/EngineFormat.h"
#include "engine/PhaseSupport.h"
#include "engine/Phases.h"
#include "platform/TimerComponent.h"
#include "platform/modFile.h"
#include "shell/lang/modLang.h"

using namespace PhaseSupport;

bool MultiReadTest(RunContext &ctx, int32_t count, int32_t sizeMB, const QString &path)
{
    std::vector<int32_t> handles;
    const auto fail = [&] { return FailClosingAll(ctx, handles, AccessFailed(path)); };
    int32_t counter = 0;

    // Unlike the single read phase, a file that does not open ends the phase.
    for (int32_t f = 1; f <= count; ++f) {
        const int32_t handle = DeviceRead::OpenForRead(ctx, TestFileName(path, f));
        if (handle == 0)
            return fail();
        handles.push_back(handle);
    }
    const std::optional<int32_t> totalMB = Mul(count, sizeMB);
    if (!totalMB)
        return fail();
    ctx.LogPrint(Text(19) + QString::number(*totalMB) + LangText(18, false, false, false, QStringLiteral("MB")));

    TimerComponent *timer = ctx.Timer();
    int32_t t0 = 0;
    if (!timer || !timer->Time(t0))
        return fail();

    modFile::RawBlock buffer;
    const std::optional<int32_t> overallDenominator = Mul(sizeMB, 2);
    const int32_t *first = handles.data();
    const int32_t *last = first + handles.size();
    for (int32_t m = 1; m <= sizeMB; ++m) {
        for (int b = 0; b < 1024; ++b) {
            for (const int32_t *h = first; h != last; ++h) {
                const int32_t n = modFile::ReadBlock(*h, buffer, 1024);
                if (n != 1024)
                    ctx.LogPrint(QStringLiteral("Checksum Error! (") + QString::number(n) + QStringLiteral(")"));
            }
            const Pump pump = PumpCheck(ctx, counter);
            if (pump == Pump::Stop)
                return FailClosingAll(ctx, handles, Text(11));
            if (pump == Pump::Pumped) {
                ctx.FileProgress(m * 100.0 / sizeMB);
                const std::optional<double> overall = Percent(Add(sizeMB, m), overallDenominator);
                if (!overall)
                    return fail();
                ctx.OverallProgress(*overall);
            }
        }
    }

    int32_t t1 = 0;
    if (!timer->Time(t1))
        return fail();
    const int32_t d = TimerDifference(t1, t0);
    ctx.LogPrint(TimeLine(EngineFormat::Seconds(d / 1000.0), d));
    CloseAll(handles);

    double average = 0, rate = 0;
    if (!Averages(d, count, sizeMB, average, rate))
        return fail();
    ctx.Results().MultiReadTime = average;
    ctx.Results().MultiReadRate = rate;

    ctx.LogPrint(QStringLiteral("<clear>"));
    LogAverages(ctx, average, rate);
    ctx.LogPrint(EndLine());
    ctx.LogPrint(QString());
    return true;
}
