#include "shell/modCmd.h"

#include <cstddef>
#include <cstdint>

// The first byte picks the flags, the text up to the first NUL is the key, the rest the line.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), static_cast<qsizetype>(size - 1));
    const qsizetype nul = bytes.indexOf('\0');
    QString key = QString::fromLatin1(nul < 0 ? QByteArray("lang=") : bytes.left(nul));
    QString commandLine = QString::fromLatin1(nul < 0 ? bytes : bytes.mid(nul + 1));
    const QString separator = (data[0] & 4) ? QStringLiteral(" ") : QString();
    (void)GetCommandParam(key, commandLine, data[0] & 1, data[0] & 2, QStringLiteral("deutsch.lng"), separator);
    return 0;
}
