#include "platform/DeviceIdentity.h"

#include "platform/MountField.h"

#include "platform/DiskSpace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

struct MountLine {
    int major = 0;
    int minor = 0;
    QString mountPoint;
    QString options;
    QString fsType;
    QString source;
    QString superOptions;
};

// The mount holding the path: the last listed of the longest matches, since a later mount over
// the same point hides the earlier one.
std::optional<MountLine> FindMount(const QString &mountInfo, const QString &canonicalPath)
{
    std::optional<MountLine> best;
    for (const QString &line : mountInfo.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList f = line.split(u' ', Qt::SkipEmptyParts);
        const qsizetype dash = f.indexOf(QStringLiteral("-"));
        const QStringList dev = f.size() > 2 ? f[2].split(u':') : QStringList();
        if (dash < 6 || dash + 2 >= f.size() || dev.size() != 2)
            continue;
        const QString mp = UnescapeMountField(f[4]);
        const bool holds = mp == QStringLiteral("/") || canonicalPath == mp || canonicalPath.startsWith(mp + u'/');
        if (!holds || (best && mp.size() < best->mountPoint.size()))
            continue;
        best = MountLine{dev[0].toInt(),
                         dev[1].toInt(),
                         mp,
                         f[5],
                         f[dash + 1],
                         UnescapeMountField(f[dash + 2]),
                         dash + 3 < f.size() ? f[dash + 3] : QString()};
    }
    return best;
}

QByteArray ReadAll(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A sysfs text attribute; padding and an empty value count as unreadable.
std::optional<QString> Text(const QString &file)
{
    const QString value = QString::fromUtf8(ReadAll(file)).trimmed();
    return value.isEmpty() ? std::nullopt : std::optional<QString>(value);
}

std::optional<qint64> Number(const QString &file)
{
    bool ok = false;
    const std::optional<QString> text = Text(file);
    const qint64 value = text ? text->toLongLong(&ok) : 0;
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

std::optional<QString> FirstText(const QStringList &files)
{
    for (const QString &file : files)
        if (std::optional<QString> value = Text(file))
            return value;
    return std::nullopt;
}

// SCSI disks keep their serial only in the unit serial number page: a 4-byte header, then text.
std::optional<QString> VpdSerial(const QString &file)
{
    const QByteArray page = ReadAll(file);
    if (page.size() < 5 || static_cast<unsigned char>(page[1]) != 0x80)
        return std::nullopt;
    const QString serial = QString::fromLatin1(page.mid(4, static_cast<unsigned char>(page[3]))).trimmed();
    return serial.isEmpty() ? std::nullopt : std::optional<QString>(serial);
}

std::optional<QString> ActiveScheduler(const QString &file)
{
    const std::optional<QString> text = Text(file);
    if (!text)
        return std::nullopt;
    static const QRegularExpression active(QStringLiteral("\\[([^\\]]+)\\]"));
    const QRegularExpressionMatch m = active.match(*text);
    if (m.hasMatch())
        return m.captured(1);
    // A queue without a choice lists the one it has ("none") without brackets.
    return text->contains(u' ') ? std::nullopt : text;
}

// Down from the mounted device: a partition to its disk, a device-mapper or md device with one
// slave to that slave. Several slaves (a RAID, a spanned volume) have no one disk: stop there.
QString WalkToDisk(QString dir, QStringList &chain)
{
    for (int depth = 0; depth < 16; ++depth) {
        chain.append(QFileInfo(dir).fileName());
        if (QFileInfo::exists(dir + QStringLiteral("/partition"))) {
            dir = QFileInfo(dir).path();
            continue;
        }
        const QStringList slaves =
            QDir(dir + QStringLiteral("/slaves")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
        if (slaves.size() != 1)
            break;
        const QString next = QFileInfo(dir + QStringLiteral("/slaves/") + slaves.first()).canonicalFilePath();
        if (next.isEmpty())
            break;
        dir = next;
    }
    return dir;
}

} // namespace

DeviceIdentity DeviceIdentity::Read(const QString &folder, const QString &root)
{
    DeviceIdentity id;
    std::uint64_t free = 0;
    if (DiskSpace::GetDiskFreeSpaceEx(folder, free))
        id.freeBytes = static_cast<qint64>(free);

    const QString canonical = QFileInfo(folder).canonicalFilePath();
    const QString base = root.endsWith(u'/') ? root : root + u'/';
    const std::optional<MountLine> mount =
        canonical.isEmpty()
            ? std::nullopt
            : FindMount(QString::fromUtf8(ReadAll(base + QStringLiteral("proc/self/mountinfo"))), canonical);
    if (!mount)
        return id;
    id.mountPoint = mount->mountPoint;
    id.fileSystem = mount->fsType;
    id.mountSource = mount->source;
    id.mountOptions = mount->superOptions.isEmpty() ? mount->options : mount->options + u',' + mount->superOptions;

    // btrfs and a few others carry an anonymous device number: the source names the device then.
    const QString sys = base + QStringLiteral("sys");
    QString entry;
    if (mount->major != 0)
        entry = sys + QStringLiteral("/dev/block/%1:%2").arg(mount->major).arg(mount->minor);
    else if (mount->source.startsWith(QStringLiteral("/dev/")))
        entry = sys + QStringLiteral("/class/block/") + QFileInfo(mount->source).fileName();
    const QString device = entry.isEmpty() ? QString() : QFileInfo(entry).canonicalFilePath();
    if (device.isEmpty())
        return id;

    const QString disk = WalkToDisk(device, id.deviceChain);
    id.blockDevice = QFileInfo(disk).fileName();
    // NVMe and MMC keep model and serial on the controller; MMC calls its model "name".
    id.model = FirstText({disk + QStringLiteral("/device/model"), disk + QStringLiteral("/device/name")});
    id.vendor = Text(disk + QStringLiteral("/device/vendor"));
    id.serial = FirstText({disk + QStringLiteral("/serial"), disk + QStringLiteral("/device/serial")});
    if (!id.serial)
        id.serial = VpdSerial(disk + QStringLiteral("/device/vpd_pg80"));
    if (const std::optional<qint64> sectors = Number(disk + QStringLiteral("/size")))
        id.sizeBytes = *sectors * 512; // sysfs counts 512-byte sectors whatever the device's own size
    if (const std::optional<qint64> rotational = Number(disk + QStringLiteral("/queue/rotational")))
        id.rotational = *rotational != 0;
    if (const std::optional<qint64> logical = Number(disk + QStringLiteral("/queue/logical_block_size")))
        id.logicalBlockBytes = static_cast<int>(*logical);
    if (const std::optional<qint64> physical = Number(disk + QStringLiteral("/queue/physical_block_size")))
        id.physicalBlockBytes = static_cast<int>(*physical);
    id.scheduler = ActiveScheduler(disk + QStringLiteral("/queue/scheduler"));
    return id;
}
