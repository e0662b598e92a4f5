#pragma once

#include <QString>
#include <functional>
#include <vector>

// The full log of a run: every line logged, in order, each followed by CR LF in its text. A run of
// identical consecutive lines is held once with its count, so a phase that logs the same error for
// every block of every file costs memory for one line, while readers still get every line.
class RunLog {
public:
    void clear();
    void append(const QString &line);
    // Replaces the log with the lines of text, split at CR LF (a last line without one counts too).
    void setText(const QString &text);

    bool isEmpty() const { return m_lines == 0; }
    qint64 lineCount() const { return m_lines; }
    // Entries held: one per run of identical lines.
    qsizetype heldEntries() const { return static_cast<qsizetype>(m_runs.size()); }

    // The text in order, as pieces of bounded size; the sink returns false to stop early. False when
    // the sink stopped.
    bool stream(const std::function<bool(const QString &piece)> &sink) const;
    // The whole text at once (the clipboard wants one string).
    QString text() const;
    QStringList lines() const;

private:
    struct Run {
        QString line;
        qint64 count;
    };
    std::vector<Run> m_runs;
    qint64 m_lines = 0;
};
