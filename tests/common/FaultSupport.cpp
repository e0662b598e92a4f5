#include "common/FaultSupport.h"

#include "common/SystemSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <sys/statvfs.h>
#include <unistd.h>

namespace FaultTest {

bool IsRoot()
{
    return ::geteuid() == 0;
}

int Run(const QString &program, const QStringList &args, QString *output, int timeoutMs)
{
    const SystemTest::Result r = SystemTest::Run(program, args, QDir::tempPath(), timeoutMs);
    if (output)
        *output = QString::fromLocal8Bit(r.out + r.err);
    return r.code;
}

std::unique_ptr<ScratchMount> ScratchMount::Mount(const QString &mountPoint, const QStringList &args)
{
    std::unique_ptr<ScratchMount> m(new ScratchMount(mountPoint));
    m->Attach(QStringLiteral("mount"), args + QStringList{mountPoint});
    return m;
}

std::unique_ptr<ScratchMount> ScratchMount::FatImage(const QString &mountPoint, const QString &image, int megabytes)
{
    std::unique_ptr<ScratchMount> m(new ScratchMount(mountPoint));
    m->m_fuse = true;
    QFile file(image);
    QString output;
    if (!file.open(QIODevice::WriteOnly) || !file.resize(qint64(megabytes) << 20))
        m->m_error = QStringLiteral("cannot make the image ") + image;
    else if (Run(QStringLiteral("mkfs.vfat"), {image}, &output) != 0)
        m->m_error = QStringLiteral("mkfs.vfat failed: ") + output;
    else
        m->Attach(QStringLiteral("fusefat"), {"-o", "rw+", image, mountPoint});
    return m;
}

std::unique_ptr<ScratchMount> ScratchMount::Ext4OnLoop(const QString &mountPoint, const QString &image, int megabytes,
                                                       Loop loop)
{
    std::unique_ptr<ScratchMount> m(new ScratchMount(mountPoint));
    QFile file(image);
    if (!file.open(QIODevice::WriteOnly) || !file.resize(qint64(megabytes) << 20)) {
        m->m_error = QStringLiteral("cannot make the image ") + image;
        return m;
    }
    QString device;
    const QStringList sectors = loop == Loop::Sectors4k ? QStringList{"-b", "4096"} : QStringList{};
    if (Run(QStringLiteral("losetup"), QStringList{"-f", "--show"} + sectors + QStringList{image}, &device) != 0) {
        m->m_error = QStringLiteral("losetup refused: ") + device.trimmed();
        return m;
    }
    m->m_loopDevice = device = device.section(u'\n', 0, 0).trimmed(); // the device's name, without what Run adds
    QString output;
    if (loop == Loop::Counterfeit) {
        // Two linear segments over the same lower half: writes to the upper half land below.
        const QString name = QStringLiteral("veltaro-counterfeit-%1").arg(::getpid());
        const QString table =
            QStringLiteral("0 %1 linear %2 0\n%1 %1 linear %2 0").arg((qint64(megabytes) << 20) / 512 / 2).arg(device);
        if (Run(QStringLiteral("dmsetup"), {"create", name, "--table", table}, &output) != 0) {
            m->m_error = QStringLiteral("dmsetup refused: ") + output.trimmed();
            return m;
        }
        m->m_mapped = name;
        device = QStringLiteral("/dev/mapper/") + name;
    }
    // Without a journal all metadata stays in the lower half, so the counterfeit's mount survives
    // the aliasing long enough for a run.
    const QStringList mkfs = loop == Loop::Sectors4k ? QStringList{"-q", "-F"}
                                                     : QStringList{"-q", "-F", "-O", "^has_journal", "-E", "nodiscard"};
    if (Run(QStringLiteral("mkfs.ext4"), mkfs + QStringList{device}, &output) != 0)
        m->m_error = QStringLiteral("mkfs.ext4 failed: ") + output;
    else
        m->Attach(QStringLiteral("mount"), {device, mountPoint});
    return m;
}

void ScratchMount::Attach(const QString &program, const QStringList &args)
{
    QString output;
    if (Run(program, args, &output) != 0)
        m_error = program + u' ' + args.join(u' ') + QStringLiteral(" refused: ") + output.trimmed();
    m_mounted = m_error.isEmpty();
}

ScratchMount::~ScratchMount()
{
    // A lazy detach as the last resort: a mount left behind would outlive the test run.
    if (m_mounted && m_fuse) {
        if (Run(QStringLiteral("fusermount"), {"-u", m_mountPoint}) != 0)
            Run(QStringLiteral("fusermount"), {"-uz", m_mountPoint});
    } else if (m_mounted && Run(QStringLiteral("umount"), {m_mountPoint}) != 0) {
        Run(QStringLiteral("umount"), {"-l", m_mountPoint});
    }
    if (!m_mapped.isEmpty())
        Run(QStringLiteral("dmsetup"), {"remove", "--retry", m_mapped});
    if (!m_loopDevice.isEmpty())
        Run(QStringLiteral("losetup"), {"-d", m_loopDevice});
}

TestTarget::TestTarget(Kind kind) : m_path(m_dir.path())
{
    if (kind == Folder)
        return;
    if (!IsRoot()) {
        m_skip = QStringLiteral("needs root to mount");
        return;
    }
    m_path = m_dir.filePath(QStringLiteral("mnt"));
    QDir().mkpath(m_path);
    const auto tmpfs = [](const char *options) { return QStringList{"-t", "tmpfs", "-o", options, "tmpfs"}; };
    static const QMap<Kind, QStringList> args{{Ramfs, {"-t", "ramfs", "ramfs"}},
                                              {Tmpfs, tmpfs("size=64m")},
                                              {Small, tmpfs("size=2m")},
                                              {Full, tmpfs("size=4k")},
                                              {ReadOnly, tmpfs("ro,size=1m")}};
    m_mount = kind == Sectors4k ? ScratchMount::Ext4OnLoop(m_path, m_dir.filePath(QStringLiteral("img")), 64,
                                                           ScratchMount::Loop::Sectors4k)
                                : ScratchMount::Mount(m_path, args.value(kind));
    m_skip = m_mount->Error();
}

bool ScratchMount::RemountReadOnly()
{
    return Run(QStringLiteral("mount"), {"-o", "remount,ro", m_mountPoint}) == 0;
}

qint64 ScratchMount::FreeBytes() const
{
    struct statvfs st {};
    if (::statvfs(QFile::encodeName(m_mountPoint).constData(), &st) != 0)
        return -1;
    return qint64(st.f_bavail) * qint64(st.f_frsize);
}

Snapshot TakeSnapshot(const QString &folder)
{
    Snapshot snapshot;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        QString description = QStringLiteral("%1 %2 bytes, mode %3, changed %4")
                                  .arg(info.isSymLink() ? u'l'
                                       : info.isDir()   ? u'd'
                                                        : u'f')
                                  .arg(info.size())
                                  .arg(int(info.permissions()), 0, 16)
                                  .arg(info.lastModified().toMSecsSinceEpoch());
        if (info.isFile() && !info.isSymLink()) {
            QFile file(info.filePath());
            QCryptographicHash hash(QCryptographicHash::Sha1);
            if (file.open(QIODevice::ReadOnly) && hash.addData(&file))
                description += QStringLiteral(", content ") + QString::fromLatin1(hash.result().toHex());
        }
        snapshot.insert(QDir(folder).relativeFilePath(info.filePath()), description);
    }
    return snapshot;
}

QString Difference(const Snapshot &before, const Snapshot &after)
{
    QStringList lines;
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (!after.contains(it.key()))
            lines << QStringLiteral("gone: ") + it.key();
        else if (after.value(it.key()) != it.value())
            lines << QStringLiteral("changed: %1 (%2 -> %3)").arg(it.key(), it.value(), after.value(it.key()));
    }
    for (auto it = after.cbegin(); it != after.cend(); ++it)
        if (!before.contains(it.key()))
            lines << QStringLiteral("new: ") + it.key();
    return lines.join(u'\n');
}

} // namespace FaultTest
