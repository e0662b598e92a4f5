#pragma once

#include "app/cli/ProgressLine.h"
#include "report/HeadlessContext.h"
#include "report/HeadlessRun.h"

#include <QElapsedTimer>
#include <optional>

// The runner's run context: the folder exactly as typed, and a progress line fed at the pump
// checks from the bar values the phases already report.
class CliContext : public HeadlessContext {
public:
    explicit CliContext(const HeadlessRunOptions &options);

    void ShowProgress(ProgressLine *line) { m_progress = line; }

    QString TargetPath() override;
    void OverallProgress(double value) override;
    void fDoEvents(bool bDoOriginalDoEvents) override;

    // Where the run stands after the overall bar's value (0 to 50 writing, 50 to 100 reading).
    ProgressState StateAt(double overall) const;

private:
    int m_count;
    int m_sizeMB;
    bool m_multiple;
    bool m_reading = false;
    ProgressLine *m_progress = nullptr;
    QElapsedTimer m_clock;
};
