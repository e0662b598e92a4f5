#pragma once

#include <QElapsedTimer>

// Lets pending window events through while a test runs on the user-interface thread.
class clsDoEvents {
public:
    // A pump closer than this to the last one only looks at the clock: events then wait at most
    // this long, and a pump check with nothing to do stays a few nanoseconds.
    static constexpr int kMinIntervalMs = 5;

    // Full pump: every pending event, input and paint included. Light pump: one pass of the event
    // dispatcher that leaves mouse and key input queued for later, so a run is disturbed less and
    // the window reacts later; close requests, timers and painting still get through.
    void fDoEvents(bool bDoOriginalDoEvents = false);

    int PumpsDone() const { return m_pumps; }

private:
    QElapsedTimer m_last;
    int m_pumps = 0;
};
