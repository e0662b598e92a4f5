#pragma once

#include "engine/LogFormatter.h"
#include "engine/RunEvents.h"

#include <QString>

class TimerComponent;

// Figures of the last run, kept by the window.
struct RunResults {
    double SingleWriteTime = 0;
    double SingleWriteRate = 0;
    double SingleReadTime = 0;
    double SingleReadRate = 0;
    double MultiWriteTime = 0;
    double MultiWriteRate = 0;
    double MultiReadTime = 0;
    double MultiReadRate = 0;
};

// All a test phase sees of the window: implemented by frmMain and by the headless runner.
class RunContext : public LogOutput {
public:
    virtual ~RunContext() = default;

    virtual bool DisableCaching() const = 0; // chkDisableCaching
    virtual bool WriteThrough() const = 0;   // chkEnableWriteThrough
    virtual bool LightPump() const = 0;      // ChkDoEvents: one message per pump check
    virtual bool StopRequested() const = 0;

    // Where the phases report; the run's log is made from these events.
    virtual RunEvents &Events() = 0;
    virtual void FileProgress(double value) = 0;    // Progress1.ValueChange
    virtual void OverallProgress(double value) = 0; // OverallProgress.ValueChange
    virtual void fDoEvents(bool bDoOriginalDoEvents) = 0;

    // The window's one timer, created on first use; nullptr when it cannot be created.
    virtual TimerComponent *Timer() = 0;
    virtual RunResults &Results() = 0;
};
