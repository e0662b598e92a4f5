#include "engine/DeviceRead.h"
#include "engine/EngineFormat.h"
#include "engine/Phases.h"
#include "engine/RunDriver.h"
#include "platform/FileOps.h"
#include "shell/lang/modLang.h"

#include <QDateTime>

using RunDriver::ReadWholeNumber;

namespace {

constexpr int kMaxRetries = 32000;

using Phase = bool (*)(RunContext &, int32_t, int32_t, const QString &);

struct RunKind {
    const char *logStem;
    Phase write;
    Phase read;
    double RunResults::*writeTime;
    double RunResults::*writeRate;
    double RunResults::*readTime;
    double RunResults::*readRate;
};

const RunKind kSingle{"Single_VeltaroLog_",
                      &SingleWriteTest,
                      &SingleReadTest,
                      &RunResults::SingleWriteTime,
                      &RunResults::SingleWriteRate,
                      &RunResults::SingleReadTime,
                      &RunResults::SingleReadRate};
const RunKind kMultiple{"Multiple_VeltaroLog_",
                        &MultiWriteTest,
                        &MultiReadTest,
                        &RunResults::MultiWriteTime,
                        &RunResults::MultiWriteRate,
                        &RunResults::MultiReadTime,
                        &RunResults::MultiReadRate};

void Pump(DriverContext &ctx)
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

void LogSummary(DriverContext &ctx, const RunKind &kind)
{
    const RunResults &r = ctx.Results();
    const QString seconds = LangText(17, true, false, false, QStringLiteral(" Sek."));
    const QString rate = LangText(16, true, false, false, QStringLiteral(" MB/s"));
    ctx.LogPrint(QStringLiteral("<clear>"));
    ctx.LogPrint(LangText(2, false, false, false, QStringLiteral("Ergebnis:")));
    ctx.LogPrint(LangText(3, false, true, false, QStringLiteral("Schreibzeit: ")) +
                 EngineFormat::General(r.*kind.writeTime) + seconds);
    ctx.LogPrint(EngineFormat::General(r.*kind.writeRate) + rate);
    ctx.LogPrint(LangText(4, false, true, false, QStringLiteral("Lesezeit: ")) +
                 EngineFormat::General(r.*kind.readTime) + seconds);
    ctx.LogPrint(EngineFormat::General(r.*kind.readRate) + rate);
}

// Steps up to the summary; false when the run ended early (target refused, bad values), in which
// case nothing is left to clean up.
bool RunPhases(DriverContext &ctx, const RunKind &kind, QString &path)
{
    ctx.LogPrint(QStringLiteral("<clear>"));
    ctx.StartBusy();
    path = ctx.TargetPath();
    if (!FileOps::PathFileExists(path) || !ctx.TargetAccepted(path)) {
        ctx.LogPrint(LangText(54, false, false, false, QString()));
        ctx.StopBusy();
        return false;
    }
    ctx.LockInputs(true);
    ctx.LogFileName() = path + QLatin1String(kind.logStem) + EngineFormat::LogStamp(QDateTime::currentDateTime()) +
                        QStringLiteral(".log");
    ctx.LogText().clear();
    ctx.SetStopRequested(false);

    const auto readValues = [&](int32_t &count, int32_t &sizeMB) {
        if (ReadWholeNumber(ctx.CountText(), count) && ReadWholeNumber(ctx.SizeText(), sizeMB)) {
            path = ctx.TargetPath();
            return true;
        }
        ctx.LogPrint(LangText(7, false, false, false, QStringLiteral("Werte dürfen nicht größer als 32000 sein!")));
        BackToIdle(ctx);
        return false;
    };

    int32_t count = 0, sizeMB = 0;
    if (!readValues(count, sizeMB))
        return false;
    bool ok = kind.write(ctx, count, sizeMB, path);
    if (ok && !ctx.StopRequested()) {
        if (ctx.ReadFromDevice())
            DeviceRead::DropTestFiles(path, count);
        if (!readValues(count, sizeMB))
            return false;
        ok = kind.read(ctx, count, sizeMB, path);
    }
    if (ok && !ctx.StopRequested())
        LogSummary(ctx, kind);
    return true;
}

} // namespace

void StartSingle(DriverContext &ctx)
{
    QString path;
    if (!RunPhases(ctx, kSingle, path))
        return;
    ctx.SetStopRequested(true);

    // A failed clean-up step is tried again, pumping in between, so the window stays alive.
    int retries = 0;
    const auto retry = [&] {
        if (++retries > kMaxRetries) {
            ctx.LogPrint(LangText(8, false, true, false, QStringLiteral("Kann Testdateien nicht löschen!")));
            BackToIdle(ctx);
            return false;
        }
        Pump(ctx);
        return true;
    };

    Pump(ctx);
    while (!FileOps::DeleteFiles(path, QStringLiteral("*.tst")))
        if (!retry())
            return;
    ctx.LockInputs(false);
    ctx.StopBusy();
    if (ctx.WriteLogFile()) {
        while (!FileOps::AppendTextFile(ctx.LogFileName(), RunDriver::ResultLog(ctx.DriveText(), ctx.LogText())))
            if (!retry())
                return;
    }
}

void StartMultiple(DriverContext &ctx)
{
    QString path;
    if (!RunPhases(ctx, kMultiple, path))
        return;
    ctx.SetStopRequested(true);

    // Only the numbered files go, each after one pump; a missing one is no failure.
    const int n = RunDriver::ReadCount16(ctx.CountText());
    for (int i = 1; i <= n; ++i) {
        Pump(ctx);
        if (FileOps::DeleteFile(path + QString::number(i) + QStringLiteral(".tst")) == FileOps::DeleteResult::Failed)
            ctx.LogPrint(LangText(9, false, true, false, QStringLiteral("Kann Testdatei ")) + QString::number(i) +
                         LangText(10, false, false, false, QStringLiteral(".tst nicht löschen!")));
    }
    ctx.LockInputs(false);
    ctx.StopBusy();
    if (ctx.WriteLogFile())
        FileOps::AppendTextFile(ctx.LogFileName(), RunDriver::ResultLog(ctx.DriveText(), ctx.LogText()));
}
