#include "engine/DeviceRead.h"
#include "engine/PhaseSupport.h"
#include "engine/Phases.h"
#include "engine/RunDriver.h"
#include "platform/DeviceIdentity.h"
#include "platform/FileOps.h"
#include "platform/TickClock.h"

#include <QDateTime>

using RunDriver::ReadWholeNumber;

namespace {

constexpr int kMaxRetries = 32000;

using Phase = bool (*)(RunContext &, int32_t, int32_t, const QString &);

struct DriverKind {
    bool multiple;
    const char *logStem;
    Phase write;
    Phase read;
    double RunResults::*writeTime;
    double RunResults::*writeRate;
    double RunResults::*readTime;
    double RunResults::*readRate;
};

const DriverKind kSingle{false,
                      "Single_VeltaroLog_",
                      &SingleWriteTest,
                      &SingleReadTest,
                      &RunResults::SingleWriteTime,
                      &RunResults::SingleWriteRate,
                      &RunResults::SingleReadTime,
                      &RunResults::SingleReadRate};
const DriverKind kMultiple{true,
                        "Multiple_VeltaroLog_",
                        &MultiWriteTest,
                        &MultiReadTest,
                        &RunResults::MultiWriteTime,
                        &RunResults::MultiWriteRate,
                        &RunResults::MultiReadTime,
                        &RunResults::MultiReadRate};

void PumpOnce(DriverContext &ctx)
{
    ctx.fDoEvents(!ctx.LightPump());
}

// The run goes back to idle: a window left locked could never start another run.
void BackToIdle(DriverContext &ctx)
{
    ctx.SetStopRequested(true);
    ctx.LockInputs(false);
    ctx.StopBusy();
}

void ReportSummary(DriverContext &ctx, const DriverKind &kind)
{
    const RunResults &r = ctx.Results();
    ctx.Events().runSummary(r.*kind.writeTime, r.*kind.writeRate, r.*kind.readTime, r.*kind.readRate);
    if (ctx.VerifyData())
        ctx.Events().dataVerified(r.FailedBlocks);
}

bool WriteResultLog(DriverContext &ctx)
{
    return RunDriver::AppendResultLog(ctx.LogFileName(), ctx.LogFileText().Header(ctx.DriveText()), ctx.LogText(),
                                      ctx.LogFileText().Trailer());
}

// Steps up to the summary; false when the run ended early (target refused, bad values), in which
// case nothing is left to clean up.
bool RunPhases(DriverContext &ctx, const DriverKind &kind, QString &path)
{
    RunEvents &events = ctx.Events();
    events.runBegins(kind.multiple);
    ctx.StartBusy();
    path = ctx.TargetPath();
    if (!FileOps::PathFileExists(path) || !ctx.TargetAccepted(path)) {
        events.failed(FailReason::TargetRefused, path);
        ctx.StopBusy();
        return false;
    }
    ctx.LockInputs(true);
    TickClock::instance(); // scaled once, before any span is timed
    ctx.LogFileName() =
        path + QLatin1String(kind.logStem) + RunDriver::LogStamp(QDateTime::currentDateTime()) + QStringLiteral(".log");
    ctx.LogText().clear();
    ctx.SetStopRequested(false);

    const auto readValues = [&](int32_t &count, int32_t &sizeMB) {
        if (ReadWholeNumber(ctx.CountText(), count) && ReadWholeNumber(ctx.SizeText(), sizeMB)) {
            path = ctx.TargetPath();
            return true;
        }
        events.failed(FailReason::BadValues, path);
        BackToIdle(ctx);
        return false;
    };

    int32_t count = 0, sizeMB = 0;
    if (!readValues(count, sizeMB))
        return false;
    RunStarted started;
    started.multiple = kind.multiple;
    started.target = path;
    started.count = count;
    started.sizeMB = sizeMB;
    started.writeLogFile = ctx.WriteLogFile();
    // What was asked; directIoRefused tells that the run went through the cache all the same.
    started.disableCaching = ctx.DisableCaching() || ctx.DirectIoRefused();
    started.readUncached = ctx.ReadFromDevice();
    started.directIoRefused = ctx.DirectIoRefused();
    started.writeThrough = ctx.WriteThrough();
    started.lightPump = ctx.LightPump();
    started.verifyData = ctx.VerifyData();
    started.time = QDateTime::currentDateTime();
    started.device = DeviceIdentity::Read(path);
    events.runStarted(started);
    bool ok = kind.write(ctx, count, sizeMB, path);
    if (ok && !ctx.StopRequested()) {
        if (ctx.ReadFromDevice())
            DeviceRead::DropTestFiles(path, count);
        if (!readValues(count, sizeMB))
            return false;
        ok = kind.read(ctx, count, sizeMB, path);
    }
    if (ok && !ctx.StopRequested())
        ReportSummary(ctx, kind);
    return true;
}

void RunSingle(DriverContext &ctx)
{
    QString path;
    if (!RunPhases(ctx, kSingle, path))
        return;
    ctx.SetStopRequested(true);

    // A failed clean-up step is tried again, pumping in between, so the window stays alive.
    int retries = 0;
    const auto retry = [&] {
        if (++retries > kMaxRetries) {
            ctx.Events().cleanupFailed(0);
            BackToIdle(ctx);
            return false;
        }
        PumpOnce(ctx);
        return true;
    };

    PumpOnce(ctx);
    while (!FileOps::DeleteFiles(path, QStringLiteral("*.tst")))
        if (!retry())
            return;
    ctx.Events().cleanupDone(true);
    ctx.LockInputs(false);
    ctx.StopBusy();
    if (ctx.WriteLogFile()) {
        while (!WriteResultLog(ctx))
            if (!retry())
                return;
        ctx.Events().resultLogWritten(ctx.LogFileName(), true);
    }
}

void RunMultiple(DriverContext &ctx)
{
    QString path;
    if (!RunPhases(ctx, kMultiple, path))
        return;
    ctx.SetStopRequested(true);

    // Only the numbered files go, each after one pump; a missing one is no failure.
    const int n = RunDriver::ReadCount16(ctx.CountText());
    bool allDeleted = true;
    for (int i = 1; i <= n; ++i) {
        PumpOnce(ctx);
        if (FileOps::DeleteFile(path + QString::number(i) + QStringLiteral(".tst")) == FileOps::DeleteResult::Failed) {
            ctx.Events().cleanupFailed(i);
            allDeleted = false;
        }
    }
    ctx.Events().cleanupDone(allDeleted);
    ctx.LockInputs(false);
    ctx.StopBusy();
    if (ctx.WriteLogFile())
        ctx.Events().resultLogWritten(ctx.LogFileName(), WriteResultLog(ctx));
}

} // namespace

void StartSingle(DriverContext &ctx)
{
    RunSingle(ctx);
    ctx.Events().runEnded();
}

void StartMultiple(DriverContext &ctx)
{
    RunMultiple(ctx);
    ctx.Events().runEnded();
}
