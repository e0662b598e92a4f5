#include "shell/PaintThrottle.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <utility>

PaintThrottle::PaintThrottle(QWidget *window, int intervalMs) : m_window(window), m_intervalMs(intervalMs)
{
    m_release.setSingleShot(true);
    m_release.setTimerType(Qt::PreciseTimer);
    connect(&m_release, &QTimer::timeout, this, &PaintThrottle::Release);
    m_window->installEventFilter(this);
}

PaintThrottle::~PaintThrottle()
{
    m_window->removeEventFilter(this);
    Release();
}

bool PaintThrottle::eventFilter(QObject *watched, QEvent *event)
{
    // The window's repaint manager asks for its paint with one UpdateRequest to the top-level widget
    // and asks no more until that one is handled, so a request held here keeps the dirty region
    // growing until Release() asks again.
    if (watched != m_window || event->type() != QEvent::UpdateRequest)
        return false;
    if (m_holding && m_lastPaint.isValid() && m_lastPaint.elapsed() < m_intervalMs) {
        if (!m_held) {
            m_held = true;
            ++m_heldCount;
            m_release.start(int(m_intervalMs - m_lastPaint.elapsed()));
        }
        return true;
    }
    m_lastPaint.start();
    m_held = false;
    m_release.stop();
    return false;
}

void PaintThrottle::Release()
{
    if (!std::exchange(m_held, false))
        return;
    QCoreApplication::postEvent(m_window, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
}
