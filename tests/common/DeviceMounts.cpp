#include "common/DeviceMounts.h"

#include "common/FaultSupport.h"

#include <QDir>
#include <QFile>

bool DeviceMount::Step(const QString &program, const QStringList &args, QString *output)
{
    QString text;
    if (FaultTest::Run(program, args, &text) == 0) {
        if (output) // the first line: the process's own words, without what the runner adds
            *output = text.section(u'\n', 0, 0).trimmed();
        return true;
    }
    m_error = program + u' ' + args.join(u' ') + QStringLiteral(": ") + text.trimmed();
    return false;
}

std::unique_ptr<DeviceMount> DeviceMount::Ramfs(const QString &mountPoint)
{
    std::unique_ptr<DeviceMount> m(new DeviceMount(mountPoint));
    m->m_mounted = m->Step(QStringLiteral("mount"), {"-t", "ramfs", "ramfs", mountPoint});
    return m;
}

std::unique_ptr<DeviceMount> DeviceMount::Tmpfs(const QString &mountPoint, const QString &options)
{
    std::unique_ptr<DeviceMount> m(new DeviceMount(mountPoint));
    m->m_mounted = m->Step(QStringLiteral("mount"), {"-t", "tmpfs", "-o", options, "tmpfs", mountPoint});
    return m;
}

std::unique_ptr<DeviceMount> DeviceMount::Ext4OnSectors4k(const QString &mountPoint, const QString &image,
                                                          int megabytes)
{
    std::unique_ptr<DeviceMount> m(new DeviceMount(mountPoint));
    QFile file(image);
    if (!file.open(QIODevice::WriteOnly) || !file.resize(qint64(megabytes) << 20)) {
        m->m_error = QStringLiteral("cannot make the image ") + image;
        return m;
    }
    file.close();
    QString device;
    if (!m->Step(QStringLiteral("losetup"), {"-f", "--show", "-b", "4096", image}, &device))
        return m;
    m->m_loopDevice = device;
    if (m->Step(QStringLiteral("mkfs.ext4"), {"-q", "-F", device}))
        m->m_mounted = m->Step(QStringLiteral("mount"), {device, mountPoint});
    return m;
}

TestTarget::TestTarget(Kind kind) : m_path(m_dir.path())
{
    if (kind == Folder)
        return;
    if (!FaultTest::IsRoot()) {
        m_skip = QStringLiteral("needs root to mount");
        return;
    }
    m_path = m_dir.filePath(QStringLiteral("mnt"));
    QDir().mkpath(m_path);
    const auto tmpfs = [this](const char *options) { return DeviceMount::Tmpfs(m_path, QLatin1String(options)); };
    switch (kind) {
    case Ramfs:
        m_mount = DeviceMount::Ramfs(m_path);
        break;
    case Tmpfs:
        m_mount = tmpfs("size=64m");
        break;
    case Small:
        m_mount = tmpfs("size=2m");
        break;
    case Full:
        m_mount = tmpfs("size=4k");
        break;
    case ReadOnly:
        m_mount = tmpfs("ro,size=1m");
        break;
    default:
        m_mount = DeviceMount::Ext4OnSectors4k(m_path, m_dir.filePath(QStringLiteral("img")), 64);
        break;
    }
    m_skip = m_mount->Error();
}

DeviceMount::~DeviceMount()
{
    if (m_mounted && FaultTest::Run(QStringLiteral("umount"), {m_mountPoint}) != 0)
        FaultTest::Run(QStringLiteral("umount"), {"-l", m_mountPoint});
    if (!m_loopDevice.isEmpty())
        FaultTest::Run(QStringLiteral("losetup"), {"-d", m_loopDevice});
}
