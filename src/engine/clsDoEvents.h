#pragma once

#include <QElapsedTimer>

// Lets pending window events through while a test runs on the user-interface thread.
class clsDoEvents {
public:
    // A pump closer than this to the last one only looks at the clock: events then wait at most
    // this long, and a pump check with nothing to do stays a few nanoseconds. Not longer: a close
    // must stop even a short cached read at its next check, and a pump that paints costs about half
    // a millisecond (the backing store waits for the display server), which the window's figures
    // carry (see bench/bench.py --window).
    static constexpr int kMinIntervalMs = 5;

    // Full pump: dispatcher passes until nothing is pending, input and paint included. Light pump:
    // a single pass, so a run is disturbed less and the window reacts later. Input is never held
    // back: a click queued until after a run would land on buttons that are enabled again.
    void fDoEvents(bool bDoOriginalDoEvents = false);

    int PumpsDone() const { return m_pumps; }

private:
    QElapsedTimer m_last;
    int m_pumps = 0;
};
