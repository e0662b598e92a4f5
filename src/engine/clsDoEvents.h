#pragma once

#include <QElapsedTimer>

// Lets pending window events through while a test runs on the user-interface thread.
class clsDoEvents {
public:
    // A pump closer than this to the last one only looks at the clock: events then wait at most
    // this long, and a pump check with nothing to do stays a few nanoseconds. A pump that paints
    // waits for the display server (the backing store syncs before it paints again), a few tenths
    // of a millisecond on an idle desktop: at 5 ms that was 6 % of a buffered write phase, at 20 ms
    // (50 frames a second, still well under what a user notices) it is under 2 %.
    static constexpr int kMinIntervalMs = 20;

    // Full pump: dispatcher passes until nothing is pending, input and paint included. Light pump:
    // a single pass, so a run is disturbed less and the window reacts later. Input is never held
    // back: a click queued until after a run would land on buttons that are enabled again.
    void fDoEvents(bool bDoOriginalDoEvents = false);

    int PumpsDone() const { return m_pumps; }

private:
    QElapsedTimer m_last;
    int m_pumps = 0;
};
