#pragma once

#include "controls/PropertyBag.h"

// The window's stored design of one control, compiled in as ":/design/<name>.props";
// an empty store (every property at its default) when the control has none.
PropertyBag StoredDesign(const QString &controlName);
