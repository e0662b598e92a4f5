#include "profile/ProfileRecord.h"

#include <QDir>

namespace Profiles {

namespace {

// Short codes for the reasons, as the record's outcome names them.
QString ReasonCode(ProfileError::Code code)
{
    switch (code) {
    case ProfileError::NoDirectIo:
        return QStringLiteral("direct_io_refused");
    case ProfileError::NoSpace:
        return QStringLiteral("no_space");
    case ProfileError::CreateFailed:
        return QStringLiteral("create_failed");
    case ProfileError::IoFailed:
        return QStringLiteral("io_failed");
    case ProfileError::None:
        return QString();
    default:
        return QStringLiteral("bad_profile");
    }
}

} // namespace

ProfileRecord RecordOf(const ProfileOutcome &o)
{
    ProfileRecord r;
    r.name = o.spec.name;
    r.spec = Format(o.spec);
    r.engine = o.engine;
    r.hugePageBuffers = o.hugePageBuffers;
    r.fileSizeBytes = o.spec.fileSize;
    r.status = o.stopped ? RunStatus::Stopped : o.error ? RunStatus::Failed : RunStatus::Complete;
    r.reason = ReasonCode(o.error.code);
    r.bestMBps = o.bestMbps();
    r.meanMBps = o.meanMbps();
    r.bestIops = o.bestIops();
    r.meanIops = o.meanIops();
    for (const PassFigures &p : o.passes) {
        r.passes.push_back(
            {p.bytes, p.ios, int64_t(p.seconds * 1e6), p.mbps, p.iops, p.failures, p.firstErrno, p.latency});
    }
    return r;
}

RunRecord RunRecordOf(const Session &session, const QList<ProfileOutcome> &outcomes)
{
    const ProfileOptions &options = session.options;
    RunRecord record = RunRecord::begin(RunKind::Profile);
    if (session.started.isValid())
        record.startedUtc = session.started;
    // Absolute, as the classic tests record theirs: a relative folder means nothing in the history.
    const QString absolute = QDir(session.folder).absolutePath();
    record.target = absolute.endsWith(QLatin1Char('/')) ? absolute : absolute + QLatin1Char('/');
    record.fileCount = session.fileCount;
    record.fileSizeMB = session.fileSizeMB;
    record.options.disableCaching = options.directIo;
    record.options.writeThrough = options.writeThrough;
    for (const ProfileOutcome &o : outcomes)
        record.profiles.push_back(RecordOf(o));
    record.outcome.status = RunStatus::Complete;
    if (!outcomes.isEmpty() && record.profiles.back().status != RunStatus::Complete) {
        record.outcome.status = record.profiles.back().status;
        record.outcome.reason = record.profiles.back().reason;
        record.directIoRefused = outcomes.back().error.code == ProfileError::NoDirectIo;
        record.outcome.path = outcomes.back().error.value;
    } else if (outcomes.size() < session.specs.size()) {
        record.outcome = {RunStatus::Failed, QStringLiteral("bad_profile"), QString()};
    }
    // The runner deletes every file it created, also after a failure or a stop.
    record.testFilesDeleted = !options.keepFiles;
    record.endedUtc = QDateTime::currentDateTimeUtc();
    return record;
}

} // namespace Profiles
