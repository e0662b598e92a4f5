#pragma once

#include <QElapsedTimer>

// Lets pending window events through while a test runs on the user-interface thread.
class clsDoEvents {
public:
    // A pump closer than this to the last one only looks at the clock: events then wait at most
    // this long, and a pump check with nothing to do stays a few nanoseconds. A pump that paints
    // costs about half a millisecond (the progress bars, then the backing store waits for the
    // display server): at 5 ms apart that was a tenth of a buffered write phase; at 40 ms (25
    // pictures a second, and input still answered well under the tenth of a second a user notices)
    // it is nearer one per cent.
    static constexpr int kMinIntervalMs = 40;

    // Full pump: dispatcher passes until nothing is pending, input and paint included. Light pump:
    // a single pass, so a run is disturbed less and the window reacts later. Input is never held
    // back: a click queued until after a run would land on buttons that are enabled again.
    void fDoEvents(bool bDoOriginalDoEvents = false);

    int PumpsDone() const { return m_pumps; }

private:
    QElapsedTimer m_last;
    int m_pumps = 0;
};
