#include "engine/DeviceRead.h"
#include "engine/EngineFormat.h"
#include "engine/PhaseSupport.h"
#include "engine/Phases.h"
#include "platform/TimerComponent.h"
#include "platform/modFile.h"
#include "shell/lang/modLang.h"

using namespace PhaseSupport;

bool SingleReadTest(RunContext &ctx, int32_t count, int32_t sizeMB, const QString &path)
{
    int32_t handle = 0;
    // Every failure but a short read has the one text of this phase.
    const auto fail = [&] { return FailClosing(ctx, handle, AccessFailed(path)); };

    const std::optional<int32_t> totalMB = Mul(count, sizeMB);
    if (!totalMB)
        return fail();
    ctx.LogPrint(Text(19) + QString::number(*totalMB) + LangText(18, false, false, false, QStringLiteral("MB")));

    modFile::RawBlock buffer;
    int32_t counter = 0;
    int64_t totalMs = 0;
    const std::optional<int32_t> overallDenominator = Mul(*totalMB, 2);
    const QString fileText = LangText(26, false, true, false, QStringLiteral("Lese Datei "));
    const QString checksumError = QStringLiteral("Checksum Error!");

    for (int32_t f = 1; f <= count; ++f) {
        handle = DeviceRead::OpenForRead(ctx, TestFileName(path, f));
        if (handle == 0)
            continue; // a file that does not open is passed over in silence
        ctx.LogPrint(fileText + EngineFormat::Signed(f));

        TimerComponent *timer = ctx.Timer();
        int32_t t0 = 0;
        if (!timer || !timer->Time(t0))
            return fail();

        for (int32_t m = 1; m <= sizeMB; ++m) {
            for (int b = 0; b < 1024; ++b) {
                if (modFile::ReadBlock(handle, buffer, 1024) != 1024)
                    ctx.LogPrint(checksumError);
                const Pump pump = PumpCheck(ctx, counter);
                if (pump == Pump::Stop)
                    return FailClosing(ctx, handle, Text(11));
                if (pump == Pump::Pumped) {
                    ctx.FileProgress(m * 100.0 / sizeMB);
                    const std::optional<int32_t> before = Add(count, f - 1);
                    const std::optional<int32_t> done = before ? Mul(*before, sizeMB) : std::nullopt;
                    const std::optional<double> overall =
                        Percent(done ? Add(*done, m) : std::nullopt, overallDenominator);
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
        totalMs += d;
        modFile::CloseRawFile(handle, true);
        handle = 0;
    }

    // Skipped files still count: the total is divided by count.
    double average = 0, rate = 0;
    if (!Averages(totalMs, count, sizeMB, average, rate))
        return fail();
    ctx.Results().SingleReadTime = average;
    ctx.Results().SingleReadRate = rate;

    ctx.LogPrint(QStringLiteral("<clear>"));
    LogAverages(ctx, average, rate);
    ctx.LogPrint(EndLine());
    ctx.LogPrint(QString());
    return true;
}
