#include "engine/clsDoEvents.h"

#include <QAbstractEventDispatcher>

namespace {

// Enough passes to drain what a few milliseconds bring; a flood of events cannot hold a test.
constexpr int kMaxFullPasses = 16;

} // namespace

void clsDoEvents::fDoEvents(bool bDoOriginalDoEvents)
{
    if (m_last.isValid() && m_last.elapsed() < kMinIntervalMs)
        return;
    QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance();
    if (!dispatcher)
        return;
    if (bDoOriginalDoEvents) {
        for (int pass = 0; pass < kMaxFullPasses && dispatcher->processEvents(QEventLoop::AllEvents); ++pass) {
        }
    } else {
        dispatcher->processEvents(QEventLoop::AllEvents);
    }
    ++m_pumps;
    m_last.start();
}
