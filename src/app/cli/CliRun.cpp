#include "app/cli/CliRun.h"

#include "app/cli/CliContext.h"
#include "app/cli/CsvWriter.h"
#include "app/cli/ResultOutput.h"
#include "app/cli_profile.h"
#include "engine/RunGuard.h"
#include "engine/ValueProposal.h"
#include "history/RunHistory.h"
#include "lang/modLang.h"
#include "platform/FolderLock.h"
#include "platform/InstallPaths.h"
#include "platform/SignalStop.h"
#include "report/HeadlessRun.h"
#include "report/LogFormatter.h"
#include "report/RunWarnings.h"

#include <QCoreApplication>
#include <QDateTime>
#include <cstdio>
#include <optional>
#include <unistd.h>

namespace CliRun {

namespace {

void WriteTo(FILE *stream, const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

// A run refused before it starts: the reason on standard error and, with --json or --csv, a failed
// record saying why, so a script that keeps the output does not keep an empty file. Nothing ran,
// so nothing goes into the history.
int Refuse(const CliOptions &o, RunKind kind, const QString &path, const QString &reason, const QString &message)
{
    WriteTo(stderr, "veltaro-cli: " + message.toLocal8Bit() + '\n');
    if (o.format == OutputFormat::Log)
        return ExitFailed;
    RunRecord record = RunRecord::begin(kind);
    record.target = path;
    record.fileCount = o.count;
    record.fileSizeMB = o.sizeMB;
    record.options = {o.resultLog, !o.cache, o.writeThrough, o.lightPump, o.readUncached, o.verify};
    record.directIoRefused = reason == QLatin1String("bypass_refused");
    record.outcome = {RunStatus::Failed, reason, path};
    record.endedUtc = QDateTime::currentDateTimeUtc();
    const QByteArray bytes = o.format == OutputFormat::Json ? record.toJsonBytes() : CsvWriter::Rows(record);
    const QString problem = ResultOutput::Write(bytes, o.output);
    if (!problem.isEmpty())
        WriteTo(stderr, "veltaro-cli: " + problem.toLocal8Bit() + '\n');
    return ExitFailed;
}

} // namespace

int ExitCodeOf(const RunRecord &record, int signal)
{
    switch (record.outcome.status) {
    case RunStatus::Complete:
        return ExitComplete;
    case RunStatus::Stopped:
        return signal != 0 ? SignalStop::ExitCode(signal) : ExitFailed;
    default:
        return ExitFailed;
    }
}

FioSetup FioSetupOf(const CliOptions &o, bool directIoRefused)
{
    FioSetup s{o.multiple, o.count, o.sizeMB, o.folder, !o.cache && !directIoRefused, o.writeThrough};
    s.readUncached = o.readUncached;
    return s;
}

std::vector<FioCommandRecord> FioRecords(const FioSetup &setup)
{
    std::vector<FioCommandRecord> records;
    for (const FioJob &job : FioCommand::Jobs(setup))
        records.push_back(
            {job.phase == QStringLiteral("read") ? PhaseKind::Read : PhaseKind::Write, job.argv, job.shellLine()});
    return records;
}

HeadlessRunOptions HeadlessOptionsOf(const CliOptions &o, const SignalStop &stop)
{
    HeadlessRunOptions h;
    h.folder = o.folder;
    h.multiple = o.multiple;
    h.count = QString::number(o.count);
    h.sizeMB = QString::number(o.sizeMB);
    h.disableCaching = !o.cache;
    h.writeThrough = o.writeThrough;
    h.lightPump = o.lightPump;
    h.writeLogFile = o.resultLog;
    h.readUncached = o.readUncached;
    h.verifyData = o.verify;
    // Seen by the running phase at its next pump check; the clean-up then runs as after any stop.
    h.stopRequested = [&stop] { return stop.received() != 0; };
    return h;
}

int PrintFio(const CliOptions &o)
{
    const QList<FioJob> jobs = FioCommand::Jobs(FioSetupOf(o));
    if (jobs.isEmpty()) {
        WriteTo(stderr, "veltaro-cli: the names of that many files do not fit into one fio argument\n");
        return ExitFailed;
    }
    QByteArray out;
    for (const FioJob &job : jobs)
        out += job.shellLine().toLocal8Bit() + '\n';
    WriteTo(stdout, out);
    return ExitComplete;
}

int Run(const CliOptions &given, const SignalStop &stop)
{
    CliOptions o = given;
    if (o.fill) {
        const modTest::Proposal proposal = modTest::ProposeValuesFor(o.folder);
        o.count = proposal.files;
        o.sizeMB = proposal.megabytes;
    }
    if (o.lang.size() > 4)
        modLang::LoadLanguageFile(InstallPaths::LanguageFile(o.lang));

    // Results alone go to standard output; with --json or --csv the log moves to standard error.
    FILE *logStream = o.quiet ? nullptr : o.format == OutputFormat::Log ? stdout : stderr;
    std::optional<ProgressLine> progress;
    if (!o.quiet && ::isatty(STDERR_FILENO))
        progress.emplace([](const QByteArray &bytes) { WriteTo(stderr, bytes); });

    const HeadlessRunOptions options = HeadlessOptionsOf(o, stop);
    CliContext ctx(options);
    ctx.ShowProgress(progress ? &*progress : nullptr);
    ctx.OnLog = [&](const QString &line) {
        if (!logStream)
            return;
        if (progress)
            progress->clear();
        WriteTo(logStream, line.toLocal8Bit() + '\n');
    };

    // Held until the run ends: one run per folder. The probe tells before anything is written whether
    // the cache bypass asked for is honoured.
    FolderLock lock;
    const QString path = ctx.TargetPath();
    const RunGuard::Check check = RunGuard::Before(path, HeadlessTargetAccepted(path), !o.cache, lock);
    const RunKind kind = o.multiple ? RunKind::Multiple : RunKind::Single;
    if (check.verdict == RunGuard::Verdict::FolderBusy)
        return Refuse(o, kind, path, QStringLiteral("folder_busy"), LogFormatter::FolderBusy(path));
    if (check.verdict == RunGuard::Verdict::BypassRefused) {
        if (!o.allowCache)
            return Refuse(o, kind, path, QStringLiteral("bypass_refused"),
                          LogFormatter::BypassRefused(check.probe.error) + u' ' + LogFormatter::AllowCacheHint());
        ctx.directIoRefused = true;
    }

    // A signal caught during the probe stops the run at its first pump check, so it ends as any
    // stopped run: cleaned up, recorded and kept.
    QCoreApplication::processEvents();
    Start(options, ctx);
    if (progress)
        progress->clear();
    QCoreApplication::processEvents();

    RunRecord record = ctx.Record();
    record.fioCommands = FioRecords(FioSetupOf(o, ctx.directIoRefused));
    const QString failedWrites = RunWarnings::FailedWritesText(record);
    if (!failedWrites.isEmpty())
        WriteTo(stderr, "veltaro-cli: " + failedWrites.toLocal8Bit() + '\n');
    return Deliver(o, record, ExitCodeOf(record, stop.received()));
}

int RunProfileTest(const CliOptions &o, const SignalStop &stop)
{
    if (o.lang.size() > 4)
        modLang::LoadLanguageFile(InstallPaths::LanguageFile(o.lang));
    FILE *logStream = o.quiet ? nullptr : o.format == OutputFormat::Log ? stdout : stderr;
    const HeadlessRunOptions options = HeadlessOptionsOf(o, stop);

    FolderLock lock;
    const QString path = HeadlessTargetPath(o.folder);
    if (lock.Take(path) == FolderLock::State::Busy)
        return Refuse(o, RunKind::Profile, path, QStringLiteral("folder_busy"), LogFormatter::FolderBusy(path));
    RunRecord record;
    const int code = RunProfiles(
        o.profiles, o.profileSpecs, o.threads, options,
        [logStream](const QString &line) {
            if (logStream)
                WriteTo(logStream, line.toLocal8Bit() + '\n');
        },
        record);
    // A bad name or spec wrote nothing: there is no run to keep or to report.
    return code == ExitUsage ? code : Deliver(o, record, ExitCodeOf(record, stop.received()));
}

int Deliver(const CliOptions &o, const RunRecord &record, int code)
{
    // A history that cannot be written is told but changes neither the output nor the exit status.
    HistoryProblem problem;
    if (!o.noHistory && !RunHistory::Keep(record, HistoryStore::DefaultPath(), &problem))
        WriteTo(stderr, "veltaro-cli: the run was not kept in the history: " +
                            RunHistory::Describe(problem).toLocal8Bit() + '\n');

    if (o.format != OutputFormat::Log) {
        const QByteArray bytes = o.format == OutputFormat::Json ? record.toJsonBytes() : CsvWriter::Rows(record);
        const QString problem = ResultOutput::Write(bytes, o.output);
        if (!problem.isEmpty()) {
            WriteTo(stderr, "veltaro-cli: " + problem.toLocal8Bit() + '\n');
            code = ExitFailed;
        }
    }
    return code;
}

} // namespace CliRun
