#include "platform/ProcessCommandLine.h"

#include <QCoreApplication>
#include <QStringList>

QString ProcessCommandLine()
{
    if (!QCoreApplication::instance())
        return QString();
    return QCoreApplication::arguments().mid(1).join(u' ');
}
