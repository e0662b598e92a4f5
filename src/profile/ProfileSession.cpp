#include "profile/ProfileSession.h"

#include "platform/DirectIoProbe.h"
#include "profile/ProfileText.h"

namespace Profiles {

QList<ProfileOutcome> Session::run()
{
    started = QDateTime::currentDateTimeUtc();
    QList<ProfileOutcome> outcomes;
    QList<ProfileSpec> checked;
    for (ProfileSpec spec : specs) {
        if (spec.fileSize <= 0)
            spec.fileSize = fileSize();
        ProfileError e = Validate(spec);
        if (!e && spec.fileSize <= 0)
            e = {ProfileError::FileSize, QString::number(spec.fileSize)};
        if (e) {
            log(ProfileText::Error(e));
            return outcomes;
        }
        checked << spec;
    }
    // A target that will not bypass the cache is told before any test file is made.
    if (options.directIo && !checked.isEmpty()) {
        const DirectIoProbe::Result probe = DirectIoProbe::Probe(folder, nullptr);
        if (probe.verdict == DirectIoProbe::Verdict::Refused) {
            ProfileOutcome refused;
            refused.spec = checked.first();
            refused.error = {ProfileError::NoDirectIo, folder, probe.error};
            log(ProfileText::Error(refused.error));
            return {refused};
        }
    }
    bool engineTold = false;
    for (const ProfileSpec &spec : checked) {
        ProfileRunner runner(folder, options, poll);
        ProfileOutcome o = runner.run(spec);
        if (!o.engine.isEmpty() && !engineTold) {
            const bool refused = o.engine == QLatin1String("threads") && options.engine != EngineChoice::Threads;
            log(refused ? ProfileText::Fallback(o.uringErrno) : ProfileText::Engine(o.engine));
            engineTold = true;
        }
        if (!o.passes.isEmpty() && !o.stopped)
            log(ProfileText::Result(o));
        if (o.error)
            log(ProfileText::Error(o.error));
        if (o.stopped)
            log(ProfileText::Stopped());
        outcomes << o;
        if (o.error || o.stopped)
            break;
        if (finished)
            finished();
    }
    return outcomes;
}

} // namespace Profiles
