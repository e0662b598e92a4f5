#include "platform/HugePages.h"

#include <QFile>

namespace HugePages {

int64_t KbAt(const void *address)
{
    QFile smaps(QStringLiteral("/proc/self/smaps"));
    if (!smaps.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    const auto at = quintptr(address);
    bool inside = false;
    // Each mapping starts with "start-end perms offset ...", followed by "Key: value" lines. The file
    // reports no size, so it is read whole rather than line by line up to its end.
    for (const QByteArray &line : smaps.readAll().split('\n')) {
        const QByteArray range = line.left(line.indexOf(' '));
        const int dash = range.indexOf('-');
        if (dash > 0 && !range.endsWith(':')) {
            bool startOk = false;
            bool endOk = false;
            const quintptr start = range.left(dash).toULongLong(&startOk, 16);
            const quintptr end = range.mid(dash + 1).toULongLong(&endOk, 16);
            inside = startOk && endOk && start <= at && at < end;
        } else if (inside && line.startsWith("AnonHugePages:")) {
            return line.mid(14).trimmed().split(' ').first().toLongLong();
        }
    }
    return -1;
}

} // namespace HugePages
