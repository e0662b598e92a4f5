#include "platform/DiskSpace.h"

#include <QFile>
#include <algorithm>
#include <sys/statvfs.h>

namespace DiskSpace {

namespace {

bool g_extendedAvailable = true;

bool Stat(const QString &path, struct statvfs &st)
{
    // An empty path asks about the current folder's volume.
    const QByteArray native = path.isEmpty() ? QByteArray(".") : QFile::encodeName(path);
    return ::statvfs(native.constData(), &st) == 0;
}

} // namespace

bool GetDiskFreeSpaceEx(const QString &path, std::uint64_t &bytesAvailable)
{
    bytesAvailable = 0;
    struct statvfs st {};
    if (!Stat(path, st))
        return false;
    bytesAvailable = static_cast<std::uint64_t>(st.f_bavail) * static_cast<std::uint64_t>(st.f_frsize);
    return true;
}

bool GetDiskFreeSpace(const QString &path, std::uint32_t &bytesPerSector, std::uint32_t &sectorsPerCluster,
                      std::uint32_t &freeClusters)
{
    bytesPerSector = 0;
    sectorsPerCluster = 0;
    freeClusters = 0;
    struct statvfs st {};
    if (!Stat(path, st))
        return false;
    const std::uint64_t fragment = std::max<std::uint64_t>(st.f_frsize, 1);
    bytesPerSector = static_cast<std::uint32_t>(std::min<std::uint64_t>(fragment, 512));
    sectorsPerCluster = static_cast<std::uint32_t>(std::min<std::uint64_t>(fragment / bytesPerSector, UINT32_MAX));
    freeClusters = static_cast<std::uint32_t>(std::min<std::uint64_t>(st.f_bavail, UINT32_MAX));
    return true;
}

bool ExtendedQueryAvailable()
{
    return g_extendedAvailable;
}

void SetExtendedQueryAvailable(bool available)
{
    g_extendedAvailable = available;
}

} // namespace DiskSpace
