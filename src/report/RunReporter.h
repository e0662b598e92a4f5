#pragma once

#include "engine/RecordBuilder.h"
#include "report/LogFormatter.h"

// A run context's sink: each event goes to the log's formatter, then to the record, then to a
// watcher when one is set (the tests, a progress view).
class RunReporter final : public RunEvents {
public:
    explicit RunReporter(LogOutput &out) : m_formatter(out) {}

    const RunRecord &record() const { return m_builder.record(); }
    const ResultLogText &logFileText() const { return m_formatter; }
    RunEvents *watcher = nullptr;

    void runBegins(bool multiple) override { each(&RunEvents::runBegins, multiple); }
    void runStarted(const RunStarted &e) override { each(&RunEvents::runStarted, e); }
    void phaseStarted(TestPhase phase, const QDateTime &time) override { each(&RunEvents::phaseStarted, phase, time); }
    void phaseSized(TestPhase phase, int32_t count, int32_t totalMB) override
    {
        each(&RunEvents::phaseSized, phase, count, totalMB);
    }
    void blocksStarted(TestPhase phase) override { each(&RunEvents::blocksStarted, phase); }
    void fileStarted(TestPhase phase, int32_t file) override { each(&RunEvents::fileStarted, phase, file); }
    void fileTimed(const FileTimed &e) override { each(&RunEvents::fileTimed, e); }
    void shortRead(TestPhase phase, int32_t file, int64_t block, int32_t bytes) override
    {
        each(&RunEvents::shortRead, phase, file, block, bytes);
    }
    void phaseFinished(TestPhase phase, double averageSeconds, double rateMBps, const QDateTime &time) override
    {
        each(&RunEvents::phaseFinished, phase, averageSeconds, rateMBps, time);
    }
    void stopped(TestPhase phase) override { each(&RunEvents::stopped, phase); }
    void failed(FailReason reason, const QString &path) override { each(&RunEvents::failed, reason, path); }
    void runSummary(double writeSeconds, double writeRate, double readSeconds, double readRate) override
    {
        each(&RunEvents::runSummary, writeSeconds, writeRate, readSeconds, readRate);
    }
    void cleanupFailed(int32_t file) override { each(&RunEvents::cleanupFailed, file); }
    void cleanupDone(bool allDeleted) override { each(&RunEvents::cleanupDone, allDeleted); }
    void resultLogWritten(const QString &fileName, bool written) override
    {
        each(&RunEvents::resultLogWritten, fileName, written);
    }
    void runEnded() override { each(&RunEvents::runEnded); }
    void fileVerified(const FileVerified &e) override { each(&RunEvents::fileVerified, e); }
    void dataVerified(int64_t failedBlocks) override { each(&RunEvents::dataVerified, failedBlocks); }

private:
    template <typename... Params, typename... Args> void each(void (RunEvents::*event)(Params...), Args &&...args)
    {
        (m_formatter.*event)(args...);
        (m_builder.*event)(args...);
        if (watcher)
            (watcher->*event)(args...);
    }

    LogFormatter m_formatter;
    RecordBuilder m_builder;
};
