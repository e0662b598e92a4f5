#include "report/RunWarnings.h"

#include "report/LogFormatter.h"

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
    return f.calls ? LogFormatter::FailedWrites(f.calls, f.firstErrno) : QString();
}

} // namespace RunWarnings
