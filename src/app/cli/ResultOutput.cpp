#include "app/cli/ResultOutput.h"

#include <QSaveFile>
#include <cstdio>

namespace ResultOutput {

QString Write(const QByteArray &bytes, const QString &path)
{
    if (path.isEmpty()) {
        const bool ok = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size()) &&
                        std::fflush(stdout) == 0;
        return ok ? QString() : QStringLiteral("cannot write the result to standard output");
    }
    // Unbuffered: a write the disk refuses fails here, where commit() would still rename the
    // temporary file into place after a failed flush of its buffer.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || file.write(bytes) != bytes.size() ||
        !file.commit())
        return QStringLiteral("cannot write \"%1\": %2").arg(path, file.errorString());
    return {};
}

} // namespace ResultOutput
