#include "engine/RecordBuilder.h"

#include <algorithm>

void RecordBuilder::runBegins(bool multiple)
{
    m_record = RunRecord::begin(multiple ? RunKind::Multiple : RunKind::Single);
    m_running = true;
    m_ended = false;
}

void RecordBuilder::runStarted(const RunStarted &e)
{
    m_record.target = e.target;
    m_record.fileCount = e.count;
    m_record.fileSizeMB = e.sizeMB;
    m_record.options.writeLogFile = e.writeLogFile;
    m_record.options.disableCaching = e.disableCaching;
    m_record.options.writeThrough = e.writeThrough;
    m_record.options.lightPump = e.lightPump;
    m_record.options.readUncached = e.readUncached;
    m_record.directIoRefused = e.directIoRefused;
    m_record.options.verifyData = e.verifyData;
    m_record.device = e.device;
}

PhaseRecord &RecordBuilder::phaseOf(TestPhase phase)
{
    const PhaseKind kind = IsWritePhase(phase) ? PhaseKind::Write : PhaseKind::Read;
    if (PhaseRecord *p = m_record.phase(kind))
        return *p;
    PhaseRecord p;
    p.kind = kind;
    p.readUncached = kind == PhaseKind::Read && m_record.options.readUncached;
    m_record.phases.push_back(p);
    return m_record.phases.back();
}

FileRecord &RecordBuilder::fileOf(PhaseRecord &phase, int32_t number)
{
    const auto found = std::find_if(phase.files.begin(), phase.files.end(),
                                    [number](const FileRecord &f) { return f.number == number; });
    if (found != phase.files.end())
        return *found;
    FileRecord f;
    f.number = number;
    phase.files.push_back(f);
    return phase.files.back();
}

void RecordBuilder::fileStarted(TestPhase phase, int32_t file)
{
    fileOf(phaseOf(phase), file);
}

void RecordBuilder::fileTimed(const FileTimed &e)
{
    PhaseRecord &p = phaseOf(e.phase);
    // The multiple test's one span is the phase's; its files' figures follow one by one.
    if (e.file == 0) {
        p.ms = e.ms;
        p.us = e.us;
        return;
    }
    FileRecord &f = fileOf(p, e.file);
    f.timed = e.timed;
    f.ms = e.ms;
    f.us = e.us;
    f.bytesRequested = e.bytesRequested;
    f.bytesTransferred = e.bytesTransferred;
    f.failedCalls = e.failedCalls;
    f.shortCalls = e.shortCalls;
    f.firstErrno = e.firstErrno;
    f.directIo = e.directIo;
    f.cachedShare = e.cachedShare;
    if (e.timed) {
        p.ms += e.ms;
        p.us += e.us;
    }
    p.bytesRequested += e.bytesRequested;
    p.bytesTransferred += e.bytesTransferred;
    p.failedCalls += e.failedCalls;
    p.shortCalls += e.shortCalls;
    if (p.firstErrno == 0)
        p.firstErrno = e.firstErrno;
    if (e.latency) {
        f.latency = LatencySummary::of(*e.latency);
        p.latency.merge(*e.latency);
    }
}

void RecordBuilder::phaseFinished(TestPhase phase, double averageSeconds, double rateMBps, const QDateTime &)
{
    PhaseRecord &p = phaseOf(phase);
    p.completed = true;
    p.averageSeconds = averageSeconds;
    p.rateMBps = rateMBps;
}

void RecordBuilder::stopped(TestPhase phase)
{
    phaseOf(phase);
    m_record.outcome = {RunStatus::Stopped, QStringLiteral("stopped"), QString()};
    m_ended = true;
}

void RecordBuilder::failed(FailReason reason, const QString &path)
{
    m_record.outcome = {RunStatus::Failed, toString(reason), path};
    m_ended = true;
}

void RecordBuilder::resultLogWritten(const QString &fileName, bool written)
{
    m_record.resultLogPath = fileName;
    m_record.resultLogWritten = written;
}

namespace {

// A run that went to its end has still failed when its figures do not measure the device: writes
// the system refused or cut short, or blocks that did not read back as written.
RunOutcome EndOutcome(const RunRecord &r)
{
    for (const PhaseRecord &p : r.phases)
        if (p.kind == PhaseKind::Write && p.failedCalls + p.shortCalls > 0)
            return {RunStatus::Failed, QStringLiteral("write_failed"), QString()};
    for (const PhaseRecord &p : r.phases)
        for (const FileRecord &f : p.files)
            if (f.verify && f.verify->badBlocks + f.verify->misplacedBlocks > 0)
                return {RunStatus::Failed, QStringLiteral("verify_failed"), QString()};
    return {RunStatus::Complete, QString(), QString()};
}

} // namespace

void RecordBuilder::runEnded()
{
    if (!m_running)
        return;
    m_running = false;
    m_record.endedUtc = QDateTime::currentDateTimeUtc();
    if (!m_ended)
        m_record.outcome = EndOutcome(m_record);
}

QString toString(FailReason reason)
{
    switch (reason) {
    case FailReason::AccessFailed:
        return QStringLiteral("access_failed");
    case FailReason::ValueOverflow:
        return QStringLiteral("value_overflow");
    case FailReason::TimerFailed:
        return QStringLiteral("timer_failed");
    case FailReason::LateCreateFailed:
        return QStringLiteral("create_failed");
    case FailReason::TargetRefused:
        return QStringLiteral("target_refused");
    case FailReason::BadValues:
        return QStringLiteral("bad_values");
    }
    return QString();
}

void RecordBuilder::fileVerified(const FileVerified &e)
{
    fileOf(phaseOf(e.phase), e.file).verify = e.counts;
}
