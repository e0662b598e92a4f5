#pragma once

#include <QByteArray>
#include <QString>

namespace ResultOutput {

// Writes the whole result to standard output, or to path as OutputFile::Write does. An empty text
// on success, else the problem in one line.
QString Write(const QByteArray &bytes, const QString &path);

} // namespace ResultOutput
