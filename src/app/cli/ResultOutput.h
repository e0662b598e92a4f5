#pragma once

#include <QByteArray>
#include <QString>

namespace ResultOutput {

// Writes the whole result to standard output, or to path through a temporary file that replaces
// it only when complete, so a reader never sees half a file. An empty text on failure, else the
// problem in one line.
QString Write(const QByteArray &bytes, const QString &path);

} // namespace ResultOutput
