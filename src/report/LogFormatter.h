#pragma once

#include "engine/ResultLogText.h"
#include "engine/RunEvents.h"

#include <QString>

// Where the formatter's text goes: the log (and with it the panel and the result log file).
class LogOutput {
public:
    virtual ~LogOutput() = default;
    virtual void LogPrint(const QString &line) = 0;
    // Empties the panel only; the run's log keeps its lines.
    virtual void ClearPanel() = 0;
};

// The one place a run's events become its log lines, in the loaded language.
class LogFormatter final : public RunEvents, public ResultLogText {
public:
    explicit LogFormatter(LogOutput &out) : m_out(out) {}

    QString Header(const QString &driveText) const override;
    QString Trailer() const override;

    // Said beside the log, never in it: by the window in a box, by the runner on standard error.
    static QString BypassRefused(int error); // error 0: a short write
    static QString RunWithCacheQuestion();
    static QString AllowCacheHint();
    static QString FolderBusy(const QString &path);
    static QString FailedWrites(int64_t calls, int firstErrno);

    void runBegins(bool multiple) override;
    void runStarted(const RunStarted &) override {}
    void phaseStarted(TestPhase phase, const QDateTime &time) override;
    void phaseSized(TestPhase phase, int32_t count, int32_t totalMB) override;
    void blocksStarted(TestPhase phase) override;
    void fileStarted(TestPhase phase, int32_t file) override;
    void fileTimed(const FileTimed &e) override;
    void shortRead(TestPhase phase, int32_t file, int64_t block, int32_t bytes) override;
    void phaseFinished(TestPhase phase, double averageSeconds, double rateMBps, const QDateTime &time) override;
    void stopped(TestPhase phase) override;
    void failed(FailReason reason, const QString &path) override;
    void runSummary(double writeSeconds, double writeRate, double readSeconds, double readRate) override;
    void cleanupFailed(int32_t file) override;
    void cleanupDone(bool) override {}
    void resultLogWritten(const QString &, bool) override {}
    void runEnded() override {}
    void fileVerified(const FileVerified &e) override;
    void dataVerified(int64_t failedBlocks) override;

private:
    LogOutput &m_out;
};
