#include "platform/DriveType.h"
#include "platform/MountField.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <array>
#include <string_view>

namespace DriveType {

namespace {

enum class Family { Disk, Network, Optical, Ram };

struct FsEntry {
    std::string_view type;
    Family family;
};

// Every file system type the classifier knows. A type not listed is Unknown.
constexpr std::array kFileSystems{
    FsEntry{"ext2", Family::Disk},
    FsEntry{"ext3", Family::Disk},
    FsEntry{"ext4", Family::Disk},
    FsEntry{"xfs", Family::Disk},
    FsEntry{"btrfs", Family::Disk},
    FsEntry{"f2fs", Family::Disk},
    FsEntry{"vfat", Family::Disk},
    FsEntry{"msdos", Family::Disk},
    FsEntry{"exfat", Family::Disk},
    FsEntry{"ntfs", Family::Disk},
    FsEntry{"ntfs3", Family::Disk},
    FsEntry{"fuseblk", Family::Disk},
    // FUSE drivers of local disk formats (kernels without the native driver use them).
    FsEntry{"fuse.fusefat", Family::Disk},
    FsEntry{"fuse.exfat", Family::Disk},
    FsEntry{"fuse.fuse2fs", Family::Disk},
    FsEntry{"jfs", Family::Disk},
    FsEntry{"reiserfs", Family::Disk},
    FsEntry{"zfs", Family::Disk},
    FsEntry{"bcachefs", Family::Disk},
    FsEntry{"nilfs2", Family::Disk},
    FsEntry{"hfsplus", Family::Disk},
    FsEntry{"overlay", Family::Disk},
    FsEntry{"ecryptfs", Family::Disk},
    FsEntry{"udf", Family::Disk}, // on /dev/sr* it is optical, see Classify
    FsEntry{"nfs", Family::Network},
    FsEntry{"nfs4", Family::Network},
    FsEntry{"cifs", Family::Network},
    FsEntry{"smb3", Family::Network},
    FsEntry{"smbfs", Family::Network},
    FsEntry{"9p", Family::Network},
    FsEntry{"ceph", Family::Network},
    FsEntry{"glusterfs", Family::Network},
    FsEntry{"afs", Family::Network},
    FsEntry{"virtiofs", Family::Network},
    FsEntry{"fuse.sshfs", Family::Network},
    FsEntry{"fuse.glusterfs", Family::Network},
    FsEntry{"fuse.ceph", Family::Network},
    FsEntry{"fuse.rclone", Family::Network},
    FsEntry{"fuse.s3fs", Family::Network},
    FsEntry{"fuse.davfs2", Family::Network},
    FsEntry{"fuse.gvfsd-fuse", Family::Network},
    FsEntry{"iso9660", Family::Optical},
    FsEntry{"tmpfs", Family::Ram},
    FsEntry{"ramfs", Family::Ram},
};

const FsEntry *FindFs(const QString &type)
{
    const QByteArray t = type.toLatin1();
    for (const FsEntry &entry : kFileSystems)
        if (std::string_view(t.constData(), static_cast<size_t>(t.size())) == entry.type)
            return &entry;
    return nullptr;
}

QString ReadLine(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(f.readLine()).trimmed();
}

// What sysfs tells about the block device behind a mount.
struct BlockInfo {
    QString diskName; // "sdb", "sr0", "zram0", "mmcblk0"
    bool removable = false;
    bool usbOrMmc = false;
};

BlockInfo ReadBlock(const Mount &mount, const QString &sysRoot)
{
    BlockInfo info;
    // Mounts of btrfs and a few others carry an anonymous device number: fall back to the source.
    QString entry;
    if (mount.major != 0)
        entry = sysRoot + QStringLiteral("/dev/block/%1:%2").arg(mount.major).arg(mount.minor);
    else if (mount.source.startsWith(QStringLiteral("/dev/")))
        entry = sysRoot + QStringLiteral("/class/block/") + QFileInfo(mount.source).fileName();
    if (entry.isEmpty())
        return info;
    QString device = QFileInfo(entry).canonicalFilePath();
    if (device.isEmpty())
        return info;
    // A partition's flags live on its disk, one folder up.
    if (QFileInfo::exists(device + QStringLiteral("/partition")))
        device = QFileInfo(device).path();
    info.diskName = QFileInfo(device).fileName();
    info.removable = ReadLine(device + QStringLiteral("/removable")) == QStringLiteral("1");
    info.usbOrMmc = device.contains(QStringLiteral("/usb")) || device.contains(QStringLiteral("/mmc")) ||
                    info.diskName.startsWith(QStringLiteral("mmcblk"));
    return info;
}

QString DiskNameFromSource(const QString &source)
{
    return source.startsWith(QStringLiteral("/dev/")) ? QFileInfo(source).fileName() : QString();
}

} // namespace

QList<Mount> ParseMountInfo(const QString &text)
{
    QList<Mount> mounts;
    const QStringList lines = text.split(u'\n', Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        const QStringList f = line.split(u' ', Qt::SkipEmptyParts);
        const qsizetype dash = f.indexOf(QStringLiteral("-"));
        if (f.size() < 7 || dash < 6 || dash + 2 >= f.size())
            continue;
        Mount m;
        const QStringList dev = f[2].split(u':');
        if (dev.size() != 2)
            continue;
        m.major = dev[0].toInt();
        m.minor = dev[1].toInt();
        m.mountPoint = UnescapeMountField(f[4]);
        m.fsType = f[dash + 1];
        m.source = UnescapeMountField(f[dash + 2]);
        mounts.append(m);
    }
    return mounts;
}

const Mount *MountOf(const QList<Mount> &mounts, const QString &canonicalPath)
{
    const Mount *best = nullptr;
    for (const Mount &m : mounts) {
        const QString &mp = m.mountPoint;
        const bool holds = mp == QStringLiteral("/") || canonicalPath == mp || canonicalPath.startsWith(mp + u'/');
        if (holds && (!best || mp.size() >= best->mountPoint.size()))
            best = &m;
    }
    return best;
}

Code Classify(const Mount &mount, const QString &sysRoot)
{
    const FsEntry *fs = FindFs(mount.fsType);
    const BlockInfo block = ReadBlock(mount, sysRoot);
    const QString disk = block.diskName.isEmpty() ? DiskNameFromSource(mount.source) : block.diskName;

    if (disk.startsWith(QStringLiteral("sr")))
        return CdRom;
    if (disk.startsWith(QStringLiteral("zram")))
        return RamDisk;
    if (!fs) {
        // Network FUSE file systems are named for their program; their source names the
        // remote side as "host:path" or "remote:".
        if (mount.fsType.startsWith(QStringLiteral("fuse.")) && mount.source.contains(u':'))
            return Remote;
        return Unknown;
    }
    switch (fs->family) {
    case Family::Network:
        return Remote;
    case Family::Optical:
        return CdRom;
    case Family::Ram:
        return RamDisk;
    case Family::Disk:
        return (block.removable || block.usbOrMmc) ? Removable : Fixed;
    }
    return Unknown;
}

Code Query(const QString &path, const QString &root)
{
    // Only a folder can be a target; a file or a missing path has no drive kind.
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    if (canonical.isEmpty() || !info.isDir())
        return Unknown;
    const QString base = root.endsWith(u'/') ? root : root + u'/';
    QFile file(base + QStringLiteral("proc/self/mountinfo"));
    if (!file.open(QIODevice::ReadOnly))
        return Unknown;
    const QList<Mount> mounts = ParseMountInfo(QString::fromUtf8(file.readAll()));
    const Mount *mount = MountOf(mounts, canonical);
    return mount ? Classify(*mount, base + QStringLiteral("sys")) : Unknown;
}

bool Accepted(Code code)
{
    return code == Removable || code == Fixed || code == Remote || code == RamDisk;
}

} // namespace DriveType
