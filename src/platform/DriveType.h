#pragma once

#include <QString>

// The kind of drive that holds a folder, with the classic codes the test runs check.
namespace DriveType {

enum Code : int {
    Unknown = 0,   // unknown file system, or the path is no existing folder
    Removable = 1, // removable flag, USB or MMC
    Fixed = 2,     // a local disk
    Remote = 3,    // a network file system
    CdRom = 4,     // optical media
    RamDisk = 5,   // tmpfs, ramfs, zram
};

// One mount as /proc/self/mountinfo lists it.
struct Mount {
    QString mountPoint;
    QString fsType;
    QString source;
    int major = 0;
    int minor = 0;
};

// Parses mountinfo text; malformed lines are skipped. Mount points are unescaped (\040 ...).
QList<Mount> ParseMountInfo(const QString &text);

// The mount that holds an absolute, symlink-free path: the last listed of the longest matches,
// since a later mount over the same point hides the earlier one.
const Mount *MountOf(const QList<Mount> &mounts, const QString &canonicalPath);

// Classifies one mount; sysfs is read below sysRoot (normally "/sys").
Code Classify(const Mount &mount, const QString &sysRoot);

// The kind of the file system holding the folder path, reading <root>proc/self/mountinfo and <root>sys.
// root is "/" on a running system; tests hand in a folder of samples.
Code Query(const QString &path, const QString &root = QStringLiteral("/"));

// True for the kinds a test may run on: removable, fixed, remote and RAM disk.
bool Accepted(Code code);

} // namespace DriveType
