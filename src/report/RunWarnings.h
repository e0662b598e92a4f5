#pragma once

#include "engine/RunRecord.h"

#include <QString>

// What a finished run must tell beside its figures, from its record.
namespace RunWarnings {

struct FailedWrites {
    int64_t calls = 0; // refused and short writes of every write phase
    int firstErrno = 0;
};

FailedWrites CountFailedWrites(const RunRecord &record);

// "n writes failed (reason). The figures shown do not measure the device." Empty when none failed.
QString FailedWritesText(const RunRecord &record);

} // namespace RunWarnings
