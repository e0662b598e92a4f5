#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

// File systems made for one test as root: ramfs, a size-limited or read-only tmpfs, and ext4 on a
// loop device with 4096-byte logical sectors. Everything is undone when the object goes.
class DeviceMount {
public:
    static std::unique_ptr<DeviceMount> Ramfs(const QString &mountPoint);
    static std::unique_ptr<DeviceMount> Tmpfs(const QString &mountPoint, const QString &options);
    static std::unique_ptr<DeviceMount> Ext4OnSectors4k(const QString &mountPoint, const QString &image, int megabytes);
    ~DeviceMount();
    DeviceMount(const DeviceMount &) = delete;
    DeviceMount &operator=(const DeviceMount &) = delete;

    // Empty when the file system is mounted.
    QString Error() const { return m_error; }

private:
    explicit DeviceMount(const QString &mountPoint) : m_mountPoint(mountPoint) {}
    bool Step(const QString &program, const QStringList &args, QString *output = nullptr);

    QString m_mountPoint;
    QString m_loopDevice;
    QString m_error;
    bool m_mounted = false;
};

// A folder to run on, of the kind a test asks for: a plain temporary folder, or one with a file
// system mounted on it. A test that cannot have it (not root, no loop device) skips with Skip().
class TestTarget {
public:
    enum Kind {
        Folder,    // the temporary folder's own file system
        Ramfs,     // refuses O_DIRECT
        Tmpfs,     // 64 MB, takes 1 KiB direct writes
        Small,     // tmpfs of 2 MB: a run's writes fail once it is full
        Full,      // tmpfs of 4 KiB: hardly anything fits
        ReadOnly,  // tmpfs mounted read-only
        Sectors4k, // ext4 on 4096-byte sectors: refuses 1 KiB direct writes
    };
    explicit TestTarget(Kind kind);

    const QString &Path() const { return m_path; }
    // Why there is no folder; empty when there is.
    const QString &Skip() const { return m_skip; }

private:
    QTemporaryDir m_dir;
    QString m_path;
    QString m_skip;
    std::unique_ptr<DeviceMount> m_mount; // unmounted before the folder goes
};
