#pragma once

#include <QString>

// A field of /proc/self/mountinfo with its octal escapes ("\040" for a blank) undone.
QString UnescapeMountField(const QString &field);
