#include "engine/clsDoEvents.h"

#include <QCoreApplication>

void clsDoEvents::fDoEvents(bool bDoOriginalDoEvents)
{
    if (m_last.isValid() && m_last.elapsed() < kMinIntervalMs)
        return;
    if (!QCoreApplication::instance())
        return;
    if (bDoOriginalDoEvents)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    else
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    ++m_pumps;
    m_last.start();
}
