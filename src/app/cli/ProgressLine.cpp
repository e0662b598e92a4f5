#include "app/cli/ProgressLine.h"

#include <cmath>

namespace {

// Back to the line's start, and erase to its end: a shorter line leaves nothing of the last.
const QByteArray kReturn = QByteArrayLiteral("\r");
const QByteArray kEraseToEnd = QByteArrayLiteral("\x1b[K");

QString Minutes(double seconds)
{
    const qint64 s = std::llround(seconds);
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

ProgressLine::ProgressLine(Writer writer, qint64 intervalMs) : m_writer(std::move(writer)), m_intervalMs(intervalMs) {}

QString ProgressLine::Format(const ProgressState &s, double mbPerSecond, double secondsLeft)
{
    const QString where =
        s.multiple ? QStringLiteral("%1 files").arg(s.files) : QStringLiteral("file %1 of %2").arg(s.file).arg(s.files);
    const QString rate =
        mbPerSecond < 0 ? QStringLiteral("-- MB/s") : QStringLiteral("%1 MB/s").arg(mbPerSecond, 0, 'f', 1);
    const QString left =
        secondsLeft < 0 ? QStringLiteral("--:-- left") : Minutes(secondsLeft) + QStringLiteral(" left");
    return QStringLiteral("%1  %2  %3 of %4 MB  %5  %6")
        .arg(s.phase, where)
        .arg(s.mbDone, 0, 'f', 0)
        .arg(s.mbTotal, 0, 'f', 0)
        .arg(rate, left);
}

void ProgressLine::update(const ProgressState &s, qint64 nowMs)
{
    const bool newPhase = s.phase != m_phase;
    if (!newPhase && m_shown && nowMs - m_lastDrawMs < m_intervalMs)
        return;
    if (newPhase) {
        m_phase = s.phase;
        m_phaseStartMs = nowMs;
        m_lastDrawMs = nowMs;
        m_lastMb = s.mbDone;
    }
    // The current rate is that of the last interval; the time left follows the phase's average.
    const double interval = (nowMs - m_lastDrawMs) / 1000.0;
    const double elapsed = (nowMs - m_phaseStartMs) / 1000.0;
    const double rate = interval > 0 ? (s.mbDone - m_lastMb) / interval : -1;
    const double average = elapsed > 0 ? s.mbDone / elapsed : 0;
    const double left = average > 0 ? (s.mbTotal - s.mbDone) / average : -1;
    m_writer(kReturn + Format(s, rate, left).toUtf8() + kEraseToEnd);
    m_shown = true;
    m_lastDrawMs = nowMs;
    m_lastMb = s.mbDone;
}

void ProgressLine::clear()
{
    if (!m_shown)
        return;
    m_writer(kReturn + kEraseToEnd);
    m_shown = false;
}
