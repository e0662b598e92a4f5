#pragma once

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
    int64_t FailedBlocks = 0; // of the last read phase that verified its data
};

// All a test phase sees of the window: implemented by frmMain and by the headless runner.
class RunContext {
public:
    virtual ~RunContext() = default;

    virtual bool DisableCaching() const = 0; // chkDisableCaching
    virtual bool WriteThrough() const = 0;   // chkEnableWriteThrough
    virtual bool LightPump() const = 0;      // ChkDoEvents: one message per pump check
    virtual bool StopRequested() const = 0;
    // Flush and drop the test files between the phases, and read past the cache where it is off.
    virtual bool ReadFromDevice() const { return false; }
    // The cache was to be disabled, but the target refused the bypass: the run goes through it.
    virtual bool DirectIoRefused() const { return false; }
    // Blocks carry a pattern of their place and the read phases check it.
    virtual bool VerifyData() const { return false; }
    // The run under way's random id (16 hex digits): the pattern's seed.
    virtual QByteArray RunId() const { return {}; }

    // Where the phases report; the run's log is made from these events.
    virtual RunEvents &Events() = 0;
    virtual void FileProgress(double value) = 0;    // Progress1.ValueChange
    virtual void OverallProgress(double value) = 0; // OverallProgress.ValueChange
    virtual void fDoEvents(bool bDoOriginalDoEvents) = 0;

    // The window's one timer, created on first use; nullptr when it cannot be created.
    virtual TimerComponent *Timer() = 0;
    virtual RunResults &Results() = 0;
};
