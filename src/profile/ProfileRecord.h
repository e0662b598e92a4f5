#pragma once

#include "engine/RunRecord.h"
#include "profile/ProfileRunner.h"

namespace Profiles {

// A profile's outcome as the run record keeps it.
ProfileRecord RecordOf(const ProfileOutcome &outcome);

// The record of a profile run: kind "profile", the file size of the session, one entry per
// profile that started, and the run's outcome from the last of them.
RunRecord RunRecordOf(const QList<ProfileOutcome> &outcomes, int profilesAsked, const QString &folder,
                      int64_t fileSize, const ProfileOptions &options);

} // namespace Profiles
