#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// Where a run stands, as the engine last reported it at a pump check.
struct ProgressState {
    QString phase; // "write" or "read"
    bool multiple = false;
    int file = 0; // the file being worked on, 1-based; the multiple test works on all at once
    int files = 0;
    double mbDone = 0; // in this phase
    double mbTotal = 0;
};

// The one-line progress display on a terminal: redrawn at most every interval, erased at the end.
// It only formats and writes; the caller hands it the time, so a test can drive it.
class ProgressLine {
public:
    using Writer = std::function<void(const QByteArray &bytes)>;

    explicit ProgressLine(Writer writer, qint64 intervalMs = 250);

    // Draws when the interval has passed since the last drawing or a new phase began.
    void update(const ProgressState &state, qint64 nowMs);
    // Erases the line, if one is shown.
    void clear();

    // "write  file 3 of 20  25 of 200 MB  112.4 MB/s  0:02 left"; a negative rate or time is unknown.
    static QString Format(const ProgressState &state, double mbPerSecond, double secondsLeft);

private:
    Writer m_writer;
    qint64 m_intervalMs;
    bool m_shown = false;
    QString m_phase;
    qint64 m_phaseStartMs = 0;
    qint64 m_lastDrawMs = 0;
    double m_lastMb = 0;
};
