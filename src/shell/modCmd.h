#pragma once

#include <QString>

namespace modCmd {

// Looks up a switch on the command line. key and commandLine are lower-cased in place when
// caseSensitive is false; an empty commandLine is filled from the process command line.
// With wantValue the text after key + separator is returned, up to the blank before the
// next "/"; otherwise "1" when key occurs at all.
QString GetCommandParam(QString &key, QString &commandLine, bool wantValue, bool caseSensitive,
                        const QString &defaultValue, const QString &separator);

} // namespace modCmd

using modCmd::GetCommandParam;
