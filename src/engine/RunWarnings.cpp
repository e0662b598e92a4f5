#include "engine/RunWarnings.h"

#include "lang/modLang.h"

#include <cstring>

namespace RunWarnings {

FailedWrites CountFailedWrites(const RunRecord &record)
{
    FailedWrites f;
    for (const PhaseRecord &phase : record.phases) {
        if (phase.kind != PhaseKind::Write)
            continue;
        f.calls += phase.failedCalls + phase.shortCalls;
        if (f.firstErrno == 0)
            f.firstErrno = phase.firstErrno;
    }
    return f;
}

QString FailedWritesText(const RunRecord &record)
{
    const FailedWrites f = CountFailedWrites(record);
    if (f.calls == 0)
        return QString();
    // A short write has no errno of its own.
    const QString reason = f.firstErrno ? QString::fromLocal8Bit(std::strerror(f.firstErrno))
                                        : LangText(133, false, false, false, QStringLiteral("unvollständiger Schreibzugriff"));
    return LangText(136, false, false, false,
                    QStringLiteral("%1 Schreibzugriffe sind fehlgeschlagen (%2). Die angezeigten Werte messen nicht "
                                   "das Gerät."))
        .arg(f.calls)
        .arg(reason);
}

} // namespace RunWarnings
