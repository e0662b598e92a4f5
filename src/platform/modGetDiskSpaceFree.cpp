#include "platform/modGetDiskSpaceFree.h"

#include "platform/DiskSpace.h"

#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace modGetDiskSpaceFree {

namespace {

// Fixed point with four decimals in 64 bits, the range the chain's values live in.
constexpr std::int64_t kScale = 10000;

bool ParseFixed(const QString &text, std::int64_t &scaled)
{
    static const QRegularExpression number(QStringLiteral("^\\s*(-?)(\\d+)(?:\\.(\\d{0,4})\\d*)?\\s*$"));
    const QRegularExpressionMatch m = number.match(text);
    if (!m.hasMatch())
        return false;
    bool ok = false;
    const qint64 whole = m.captured(2).toLongLong(&ok);
    if (!ok || whole > std::numeric_limits<std::int64_t>::max() / kScale)
        return false;
    const QString fraction = m.captured(3).leftJustified(4, u'0');
    scaled = whole * kScale + fraction.toLongLong();
    if (!m.captured(1).isEmpty())
        scaled = -scaled;
    return true;
}

} // namespace

bool HasFreeSpaceEx()
{
    return DiskSpace::ExtendedQueryAvailable();
}

std::int32_t FallbackFreeBytes(std::uint32_t bytesPerSector, std::uint32_t sectorsPerCluster,
                               std::uint32_t freeClusters)
{
    // Computed wide so that the cap, not a wrap, decides a volume beyond 2 GB.
    const long double product = static_cast<long double>(bytesPerSector) * sectorsPerCluster * freeClusters;
    if (product > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(product);
}

QString FreeSpaceBytes(const QString &path)
{
    // A failing query leaves its counts at 0, and 0 is what the chain then reports.
    if (HasFreeSpaceEx()) {
        std::uint64_t available = 0;
        DiskSpace::GetDiskFreeSpaceEx(path, available);
        return QString::number(available);
    }
    std::uint32_t bytesPerSector = 0, sectorsPerCluster = 0, freeClusters = 0;
    DiskSpace::GetDiskFreeSpace(path, bytesPerSector, sectorsPerCluster, freeClusters);
    return QString::number(FallbackFreeBytes(bytesPerSector, sectorsPerCluster, freeClusters));
}

QString DivideBy1024(const QString &value)
{
    std::int64_t scaled = 0;
    if (!ParseFixed(value, scaled))
        return {};
    if (scaled == 0)
        return QStringLiteral("0");
    // Whole and fraction apart, so byte counts up to the range's end stay exact in a double.
    const double number = static_cast<double>(scaled / kScale) + static_cast<double>(scaled % kScale) / kScale;
    const double quotient = number / 1024.0;
    // Rounded to four decimals (halves to even, the default rounding mode), then truncated.
    const double rounded = std::nearbyint(quotient * kScale);
    const auto fourDecimals = static_cast<std::int64_t>(rounded);
    return QString::number(fourDecimals / kScale);
}

QString FreeSpaceKB(const QString &path)
{
    return DivideBy1024(FreeSpaceBytes(path));
}

QString FreeSpaceMB(const QString &path)
{
    return DivideBy1024(FreeSpaceKB(path));
}

} // namespace modGetDiskSpaceFree
