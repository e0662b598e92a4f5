#pragma once

#include "platform/DirectIoProbe.h"
#include "platform/FolderLock.h"

#include <QString>

// What is settled before a run touches its target: that no other run works in the folder, and
// that the disabled cache can really be bypassed there.
namespace RunGuard {

enum class Verdict {
    Go,             // run as asked
    FolderBusy,     // another run holds the folder: touch nothing
    BypassRefused,  // the device cannot take 1 KiB writes past the cache: ask, or refuse
};

struct Check {
    Verdict verdict = Verdict::Go;
    DirectIoProbe::Result probe;
    bool probed = false;
};

// Takes the folder's lock (kept in lock for the run) and, when disableCaching, probes the
// bypass. A target that does not exist or is of a refused kind is left to the run's own check.
Check Before(const QString &path, bool targetAccepted, bool disableCaching, FolderLock &lock);

} // namespace RunGuard
