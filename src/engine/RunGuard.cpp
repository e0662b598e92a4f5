#include "engine/RunGuard.h"

#include "platform/FileOps.h"
#include "platform/modFile.h"


namespace RunGuard {

Check Before(const QString &path, bool targetAccepted, bool disableCaching, FolderLock &lock)
{
    Check check;
    if (!FileOps::PathFileExists(path) || !targetAccepted)
        return check;
    if (lock.Take(path) == FolderLock::State::Busy) {
        check.verdict = Verdict::FolderBusy;
        return check;
    }
    if (!disableCaching)
        return check;
    // The phases' own kind of block: the same bytes from the same aligned buffer.
    modFile::RawBlock block;
    block.SetText(QString(1022, u'x'));
    check.probe = DirectIoProbe::Probe(path, block.data());
    check.probed = true;
    if (check.probe.verdict == DirectIoProbe::Verdict::Refused)
        check.verdict = Verdict::BypassRefused;
    return check;
}

} // namespace RunGuard
