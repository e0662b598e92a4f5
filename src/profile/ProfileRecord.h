#pragma once

#include "engine/RunRecord.h"
#include "profile/ProfileSession.h"

namespace Profiles {

// A profile's outcome as the run record keeps it.
ProfileRecord RecordOf(const ProfileOutcome &outcome);

// The record of a session's run: kind "profile", its start, file count and size, one entry per
// profile that started, and the run's outcome from the last of them.
RunRecord RunRecordOf(const Session &session, const QList<ProfileOutcome> &outcomes);

} // namespace Profiles
