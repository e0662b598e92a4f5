#pragma once

#include "profile/ProfileRunner.h"

#include <functional>

namespace Profiles {

// Several profiles one after the other in one folder, as the window and the runner start them:
// each profile without its own file size takes fileSize. Every profile is checked before the
// first file is written; a bad one ends the session with its message and nothing written.
struct Session {
    QString folder;
    QList<ProfileSpec> specs;
    ProfileOptions options;
    int64_t fileSize = 0;
    std::function<void(const QString &line)> log;
    ProfileRunner::Poll poll;
    std::function<void()> finished; // after each profile that ran to its end

    // The outcomes of the profiles run; stops after the first that was stopped or failed.
    QList<ProfileOutcome> run();
};

} // namespace Profiles
