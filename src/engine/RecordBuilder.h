#pragma once

#include "engine/RunEvents.h"
#include "engine/RunRecord.h"

// Collects one run's events into its record. A run that ends early keeps what it measured so
// far and the reason.
class RecordBuilder final : public RunEvents {
public:
    const RunRecord &record() const { return m_record; }
    // True from runBegins until runEnded.
    bool running() const { return m_running; }

    void runBegins(bool multiple) override;
    void runStarted(const RunStarted &e) override;
    void phaseStarted(TestPhase phase, const QDateTime &) override { phaseOf(phase); }
    void phaseSized(TestPhase phase, int32_t, int32_t) override { phaseOf(phase); }
    void blocksStarted(TestPhase) override {}
    void fileStarted(TestPhase phase, int32_t file) override;
    void fileTimed(const FileTimed &e) override;
    void shortRead(TestPhase, int32_t, int64_t, int32_t) override {}
    void phaseFinished(TestPhase phase, double averageSeconds, double rateMBps, const QDateTime &) override;
    void stopped(TestPhase phase) override;
    void failed(FailReason reason, const QString &path) override;
    void runSummary(double, double, double, double) override {}
    void cleanupFailed(int32_t) override {}
    void cleanupDone(bool allDeleted) override { m_record.testFilesDeleted = allDeleted; }
    void resultLogWritten(const QString &fileName, bool written) override;
    // The end time, and a complete outcome when no failure or stop was reported.
    void runEnded() override;

private:
    PhaseRecord &phaseOf(TestPhase phase);
    FileRecord &fileOf(PhaseRecord &phase, int32_t number);

    RunRecord m_record;
    bool m_running = false;
    bool m_ended = false; // stopped or failed
};

QString toString(FailReason reason);
