#pragma once

#include "profile/ProfileSpec.h"

// The user's own profiles, kept in the per-user settings store beside the window's settings under
// the key "Profiles" as "name=spec;name=spec".
namespace UserProfiles {

QList<ProfileSpec> Load(); // entries that no longer parse are left out
// Adds or replaces one; a bad name or spec writes nothing, and NotStored tells a settings file
// that could not be written. A name is letters, digits, "-", "_"
// and "." and must not be a standard profile's.
ProfileError Save(const QString &name, const QString &specText);
bool Remove(const QString &name); // false when not there or not written

} // namespace UserProfiles
