// veltaro-cli's profile test: the named and typed profiles on the folder, one line each.
#include "app/cli_profile.h"

#include "engine/RunDriver.h"
#include "profile/ProfileSession.h"
#include "profile/ProfileText.h"
#include "profile/UserProfiles.h"

#include <QTextStream>
#include <algorithm>

int RunProfiles(const QCommandLineParser &parser, const QCommandLineOption &names, const QCommandLineOption &specs,
                const QCommandLineOption &threads, HeadlessContext &ctx)
{
    QTextStream out(stdout);
    Profiles::Session session;
    session.log = [&out](const QString &line) { out << line << Qt::endl; };
    const QList<ProfileSpec> user = UserProfiles::Load();
    for (const QString &name : parser.values(names)) {
        if (const ProfileError e = Profiles::Find(name, user, session.specs)) {
            session.log(ProfileText::Error(e));
            return 2;
        }
    }
    for (const QString &text : parser.values(specs)) {
        ProfileSpec spec;
        if (const ProfileError e = Profiles::Parse(text, spec)) {
            session.log(ProfileText::Error(e));
            return 2;
        }
        session.specs << spec;
    }
    int32_t count = 0;
    int32_t sizeMB = 0;
    if (!RunDriver::ReadWholeNumber(ctx.Txt1Text, count) || !RunDriver::ReadWholeNumber(ctx.Txt2Text, sizeMB) ||
        count <= 0 || sizeMB <= 0) {
        session.log(ProfileText::Error({ProfileError::FileSize, ctx.Txt1Text + QLatin1Char('x') + ctx.Txt2Text}));
        return 2;
    }
    session.folder = ctx.Drive1Text.trimmed();
    session.fileSize = int64_t(count) * sizeMB * 1048576;
    session.options.directIo = ctx.chkDisableCaching;
    session.options.writeThrough = ctx.chkEnableWriteThrough;
    if (parser.isSet(threads))
        session.options.engine = Profiles::EngineChoice::Threads;
    const QList<Profiles::ProfileOutcome> outcomes = session.run();
    const bool complete = outcomes.size() == session.specs.size() &&
                          std::all_of(outcomes.begin(), outcomes.end(),
                                      [](const auto &o) { return !o.error && !o.stopped; });
    return complete ? 0 : 1;
}
