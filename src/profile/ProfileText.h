#pragma once

#include "profile/ProfileRunner.h"

#include <QString>

// The profile test's lines in the log, through the language table (entries 220 to 249).
namespace ProfileText {

QString StartCaption(); // the window's third start command
QString Error(const ProfileError &error);
QString Engine(const QString &name); // which I/O engine ran
QString Fallback(int uringErrno);    // io_uring refused, threads used
QString Stopped();
// One line per profile: its name (or spec), the best pass's MB/s and IOPS.
QString Result(const Profiles::ProfileOutcome &outcome);

} // namespace ProfileText
