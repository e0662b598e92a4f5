#pragma once

#include <QString>

// Major, minor and revision come from the CMake project version.
inline QString ProgramVersion()
{
    return QStringLiteral("%1.%2.%3").arg(VELTARO_VERSION_MAJOR).arg(VELTARO_VERSION_MINOR).arg(VELTARO_VERSION_REVISION);
}
