#include "app/cli/ResultOutput.h"

#include "platform/OutputFile.h"

#include <cstdio>

namespace ResultOutput {

QString Write(const QByteArray &bytes, const QString &path)
{
    if (path.isEmpty()) {
        const bool ok = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size()) &&
                        std::fflush(stdout) == 0;
        return ok ? QString() : QStringLiteral("cannot write the result to standard output");
    }
    const QString problem = OutputFile::Write(path, bytes);
    return problem.isEmpty() ? QString() : QStringLiteral("cannot write \"%1\": %2").arg(path, problem);
}

} // namespace ResultOutput
