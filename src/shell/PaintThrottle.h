#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QWidget;

// While a test runs, the pump lets the window's events through every few milliseconds, and each time
// a progress bar has moved it would paint and wait for the display server: about a tenth of a
// buffered write. Paints that come due during a pump are held to one per interval; the one held
// follows when the interval is over. Input is never held, and a paint asked for outside a pump
// (the log panel between phases) is made at once.
class PaintThrottle : public QObject {
public:
    // Five paints a second still move the bars smoothly. Each paint on X costs the run about a
    // millisecond: going from 25 a second to ten, then to five, cut the share of a buffered
    // 4 x 64 MB write phase spent between block calls from 3.4 % to 1.7 %, then to 0.8 %.
    static constexpr int kIntervalMs = 200;

    explicit PaintThrottle(QWidget *window, int intervalMs = kIntervalMs);
    // A paint still held is asked for again, so the window shows the run's last state.
    ~PaintThrottle() override;

    // Runs one pump with the window's paints held to the interval.
    template <typename Pump> void During(Pump &&pump)
    {
        m_holding = true;
        pump();
        m_holding = false;
    }

    int PaintsHeld() const { return m_heldCount; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Release();

    QWidget *m_window;
    int m_intervalMs;
    bool m_holding = false;
    bool m_held = false;
    int m_heldCount = 0;
    QElapsedTimer m_lastPaint;
    QTimer m_release;
};
