#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

// Targets that are full, read-only, refuse direct I/O or lie about their size.
namespace FaultTest {

bool IsRoot();

// Runs a program to its end; its exit code, or -1 when it did not start or did not end in time.
int Run(const QString &program, const QStringList &args, QString *output = nullptr, int timeoutMs = 60000);

// A file system mounted on an empty folder for one test, unmounted when it goes, also when the
// test failed half-way. Error() is empty when the mount worked.
class ScratchMount {
public:
    // mount with args and the mount point.
    static std::unique_ptr<ScratchMount> Mount(const QString &mountPoint, const QStringList &args);
    static std::unique_ptr<ScratchMount> Tmpfs(const QString &mountPoint, const QString &options)
    {
        return Mount(mountPoint, {"-t", "tmpfs", "-o", options, "tmpfs"});
    }
    // An image file formatted as FAT and mounted through fusefat.
    static std::unique_ptr<ScratchMount> FatImage(const QString &mountPoint, const QString &image, int megabytes);
    // ext4 on a loop device: with 4096-byte logical sectors, with 512-byte ones, or seen through a
    // device-mapper table whose upper half maps onto its lower half, as counterfeit cards are made.
    enum class Loop { Sectors4k, Plain, Counterfeit };
    static std::unique_ptr<ScratchMount> Ext4OnLoop(const QString &mountPoint, const QString &image, int megabytes,
                                                    Loop loop);
    ~ScratchMount();
    ScratchMount(const ScratchMount &) = delete;
    ScratchMount &operator=(const ScratchMount &) = delete;

    QString Error() const { return m_error; }
    bool RemountReadOnly();
    // Bytes a file may still take (statvfs of the mounted file system).
    qint64 FreeBytes() const;

private:
    explicit ScratchMount(const QString &mountPoint) : m_mountPoint(mountPoint) {}
    void Attach(const QString &program, const QStringList &args);

    QString m_mountPoint;
    QString m_loopDevice;
    QString m_mapped; // device-mapper name
    QString m_error;
    bool m_fuse = false;
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
    std::unique_ptr<ScratchMount> m_mount; // unmounted before the folder goes
};

// What a folder holds, recursively: relative path → kind, size, mode, time stamp, content hash.
using Snapshot = QMap<QString, QString>;
Snapshot TakeSnapshot(const QString &folder);
// How two snapshots differ, one line per entry; empty when they are the same.
QString Difference(const Snapshot &before, const Snapshot &after);

} // namespace FaultTest

// A TestTarget of the kind, or the test skipped where it cannot have one.
#define TEST_TARGET_OR_SKIP(name, kind)                                                                                \
    const FaultTest::TestTarget name{kind};                                                                            \
    if (!name.Skip().isEmpty())                                                                                        \
    QSKIP(qPrintable(name.Skip()))
