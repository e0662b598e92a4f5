#pragma once

#include "profile/ProfileRunner.h"

#include <QDateTime>
#include <functional>

namespace Profiles {

// Several profiles one after the other in one folder, as the window and the runner start them:
// each profile without its own file size takes fileCount x fileSizeMB. Every profile is checked
// before the first file is written; a bad one ends the session with its message and nothing written.
struct Session {
    QString folder;
    QList<ProfileSpec> specs;
    ProfileOptions options;
    int32_t fileCount = 0; // the two numbers as the user gave them
    int32_t fileSizeMB = 0;
    QDateTime started; // set when run() begins
    std::function<void(const QString &line)> log;
    ProfileRunner::Poll poll;
    std::function<void()> finished; // after each profile that ran to its end

    int64_t fileSize() const { return int64_t(fileCount) * fileSizeMB * 1048576; }

    // The outcomes of the profiles run; stops after the first that was stopped or failed.
    QList<ProfileOutcome> run();
};

} // namespace Profiles
