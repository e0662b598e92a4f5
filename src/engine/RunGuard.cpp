#include "engine/RunGuard.h"

#include "platform/FileOps.h"
#include "platform/modFile.h"
#include "lang/modLang.h"

#include <cstring>

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

QString BypassRefusedText(const DirectIoProbe::Result &probe)
{
    const QString reason = probe.error ? QString::fromLocal8Bit(std::strerror(probe.error))
                                       : LangText(133, false, false, false, QStringLiteral("unvollständiger Schreibzugriff"));
    return LangText(132, false, false, false,
                    QStringLiteral("Dieses Gerät oder Dateisystem nimmt keine Schreibzugriffe von 1 KB am "
                                   "Systemcache vorbei an (%1)."))
        .arg(reason);
}

QString FolderBusyText(const QString &path)
{
    return LangText(135, false, false, false,
                    QStringLiteral("In %1 läuft bereits ein Test. Es wurde nichts verändert."))
        .arg(path);
}

} // namespace RunGuard
