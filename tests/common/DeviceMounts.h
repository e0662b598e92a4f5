#pragma once

#include <QString>
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
