#pragma once

#include <QString>

// Whether a folder's file system takes 1 KiB writes that bypass the system cache, found out with a
// scratch file of its own name before any test file is made.
namespace DirectIoProbe {

enum class Verdict {
    Accepted,  // opened with O_DIRECT and took both writes
    Refused,   // the open or a write was refused; error holds its errno
    Undecided, // no scratch file could be made (no permission, no room): the run decides as usual
};

struct Result {
    Verdict verdict = Verdict::Undecided;
    int error = 0;
};

// The scratch file's name in folder: no test file or result log ever has it.
QString ScratchPath(const QString &folder);

// Writes 1024 bytes from block (aligned as O_DIRECT needs) at offset 0 and at offset 1024; with no
// block, only the open is tried, which is enough where every transfer is whole 4 KiB blocks. The
// scratch file is removed before this returns.
Result Probe(const QString &folder, const char *block);

} // namespace DirectIoProbe
