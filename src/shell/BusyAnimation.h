#pragma once

#include <QIcon>
#include <QObject>
#include <array>

class QLabel;
class QTimer;
class QWidget;

// The busy display: while a test runs, the window icon and the picture on the window
// alternate between two frames every tick.
class BusyAnimation : public QObject {
public:
    BusyAnimation(QWidget *window, QTimer *timer, const std::array<QLabel *, 2> &pictures);

    void Start();
    // Stops ticking and shows frame 1 again.
    void Stop();
    // One timer tick: the next frame, 1, 2, 1, 2, ...
    void Tick();

    int Frame() const { return m_frame; }
    const QIcon &Icon(int frame) const { return m_icons[static_cast<size_t>(frame - 1)]; }

private:
    void Show(int frame);

    QWidget *m_window;
    QTimer *m_timer;
    std::array<QLabel *, 2> m_pictures;
    std::array<QIcon, 2> m_icons;
    qint16 m_frame = 0; // kept between runs
};
