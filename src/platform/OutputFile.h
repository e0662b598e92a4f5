#pragma once

#include <QByteArray>
#include <QString>

// Writing a whole result to a name the user gave.
namespace OutputFile {

// A new name or a regular file gets the bytes through a temporary file that replaces it only when
// complete, so a reader never sees half a file. A FIFO, device or socket already there is written
// into as it is; one that nobody reads fails at once instead of waiting. An empty text on success,
// else the reason.
QString Write(const QString &path, const QByteArray &bytes);

} // namespace OutputFile
