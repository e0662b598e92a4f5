#include "platform/ui/MouseTracking.h"

#include <QLibrary>

namespace {
bool g_trackingAvailable = true;
} // namespace

bool IsFunctionExported(const QString &sFunction, const QString &sModule)
{
    const QString function = sFunction.toLower();
    const QString module = sModule.toLower();
    if ((function == u"trackmouseevent" && module == u"user32") ||
        (function == u"_trackmouseevent" && module == u"comctl32"))
        return g_trackingAvailable;
    // QLibrary loads the module when needed and unloads it again once the last user is gone.
    QLibrary library(sModule);
    if (!library.load())
        return false;
    const bool found = library.resolve(sFunction.toLatin1().constData()) != nullptr;
    library.unload();
    return found;
}

void SetMouseTrackingAvailable(bool available)
{
    g_trackingAvailable = available;
}
