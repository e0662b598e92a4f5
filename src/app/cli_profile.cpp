// veltaro-cli's profile test.
#include "app/cli_profile.h"

#include "engine/RunDriver.h"
#include "profile/ProfileRecord.h"
#include "profile/ProfileSession.h"
#include "profile/ProfileText.h"
#include "profile/UserProfiles.h"

#include <QCoreApplication>
#include <QTextStream>

int RunProfiles(const QStringList &names, const QStringList &specs, bool threads, const HeadlessRunOptions &options,
                const std::function<void(const QString &)> &onLine, RunRecord &record)
{
    Profiles::Session session;
    session.log = onLine;
    session.folder = options.folder.trimmed();
    // A usage error, told on standard error as the others are, also under --quiet.
    const auto refuse = [&](const ProfileError &e) {
        QTextStream(stderr) << "veltaro-cli: " << ProfileText::Error(e) << Qt::endl;
        record = Profiles::RunRecordOf(session, {});
        record.outcome = {RunStatus::Failed, QStringLiteral("bad_profile"), e.value};
        return 2;
    };
    const QList<ProfileSpec> user = UserProfiles::Load();
    for (const QString &name : names) {
        if (const ProfileError e = Profiles::Find(name, user, session.specs))
            return refuse(e);
    }
    for (const QString &text : specs) {
        ProfileSpec spec;
        if (const ProfileError e = Profiles::Parse(text, spec))
            return refuse(e);
        session.specs << spec;
    }
    int32_t count = 0;
    int32_t sizeMB = 0;
    if (!RunDriver::ReadWholeNumber(options.count, count) || !RunDriver::ReadWholeNumber(options.sizeMB, sizeMB) ||
        count <= 0 || sizeMB <= 0)
        return refuse({ProfileError::FileSize, options.count + QLatin1Char('x') + options.sizeMB});
    session.fileCount = count;
    session.fileSizeMB = sizeMB;
    // Checked as the session would, so a profile whose block does not fit the file is refused like a bad name.
    for (ProfileSpec spec : session.specs) {
        if (spec.fileSize <= 0)
            spec.fileSize = session.fileSize();
        if (const ProfileError e = Profiles::Validate(spec))
            return refuse(e);
    }
    session.options.directIo = options.disableCaching;
    session.options.writeThrough = options.writeThrough;
    // The signal handler's stop arrives through the event loop.
    session.poll = [&options] {
        QCoreApplication::processEvents();
        return options.stopRequested && options.stopRequested();
    };
    if (threads)
        session.options.engine = Profiles::EngineChoice::Threads;
    const QList<Profiles::ProfileOutcome> outcomes = session.run();
    record = Profiles::RunRecordOf(session, outcomes);
    if (record.outcome.reason == QLatin1String("bad_profile") && outcomes.isEmpty())
        return 2;
    return record.outcome.status == RunStatus::Complete ? 0 : 1;
}

int SaveUserProfile(const QString &nameAndSpec)
{
    const ProfileError e =
        UserProfiles::Save(nameAndSpec.section(QLatin1Char('='), 0, 0), nameAndSpec.section(QLatin1Char('='), 1));
    if (!e)
        return 0;
    QTextStream(stderr) << ProfileText::Error(e) << Qt::endl;
    return e.code == ProfileError::NotStored ? 1 : 2;
}
