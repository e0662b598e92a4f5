#pragma once

#include <QByteArray>
#include <QString>

// Windows-1252 bytes to text; 0x80..0x9F are the code page's letters, not C1 controls.
QString DecodeWindows1252(const QByteArray &bytes);
