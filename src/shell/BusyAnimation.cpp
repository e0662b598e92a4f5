#include "shell/BusyAnimation.h"

#include <QLabel>
#include <QTimer>
#include <QWidget>

BusyAnimation::BusyAnimation(QWidget *window, QTimer *timer, const std::array<QLabel *, 2> &pictures)
    : QObject(window), m_window(window), m_timer(timer),
      m_pictures(pictures), m_icons{QIcon(QStringLiteral(":/icon1.png")), QIcon(QStringLiteral(":/icon2.png"))}
{
    // Both frames lie on top of each other; the one raised last is the one seen. Each is drawn from
    // its icon at the screen's pixel ratio, so it stays sharp at any scale.
    for (size_t i = 0; i < m_pictures.size(); ++i) {
        m_pictures[i]->setPixmap(m_icons[i].pixmap(m_pictures[i]->size(), m_pictures[i]->devicePixelRatioF()));
        m_pictures[i]->show();
    }
    m_pictures[0]->raise();
    connect(m_timer, &QTimer::timeout, this, &BusyAnimation::Tick);
}

void BusyAnimation::Start()
{
    m_timer->start();
}

void BusyAnimation::Stop()
{
    m_timer->stop();
    Show(1);
}

void BusyAnimation::Tick()
{
    m_frame = static_cast<qint16>(m_frame + 1);
    if (m_frame > 2)
        m_frame = 1;
    Show(m_frame);
}

void BusyAnimation::Show(int frame)
{
    m_window->setWindowIcon(Icon(frame));
    m_pictures[static_cast<size_t>(frame - 1)]->raise();
}
