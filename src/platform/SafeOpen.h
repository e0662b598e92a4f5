#pragma once

#include <QByteArray>
#include <QString>

// Opening files whose names someone else may have placed: a final symbolic link is not followed,
// a FIFO or device does not block the open, and only a regular file is kept.
namespace SafeOpen {

// A descriptor of the regular file at path, opened with flags (O_* of open(2)), or -1 with errno
// set: ELOOP for a symbolic link, EISDIR for a folder, ENXIO for any other kind of file.
int OpenRegular(const QString &path, int flags, unsigned mode = 0644);

// Reads up to limit bytes of the regular file at path; false when it cannot be opened as one.
// truncated tells whether the file held more than limit bytes.
bool ReadRegular(const QString &path, qint64 limit, QByteArray &data, bool *truncated = nullptr);

// True when nothing is at path or a regular file is (a link is not followed).
bool AbsentOrRegular(const QString &path);

} // namespace SafeOpen
