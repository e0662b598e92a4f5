// Drive kinds from mountinfo and sysfs samples laid out in a folder of their own.
#include "platform/DriveType.h"
#include "platform/LikeMatch.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace DriveType;

class TestDriveType : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;    // holds proc/ and sys/ samples
    QTemporaryDir m_targets; // real folders the sample mounts sit on
    QString m_t;             // canonical path of m_targets

    void write(const QString &relative, const QByteArray &contents)
    {
        const QString path = m_root.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(contents);
    }

    // A block device in sysfs: its folder under devices/, and the dev/block/<maj:min> link to it.
    void device(const QString &majMin, const QString &devicePath, const char *removable, bool partition)
    {
        const QString dir = QStringLiteral("sys/devices/") + devicePath;
        QDir().mkpath(m_root.filePath(dir));
        if (partition) {
            write(dir + QStringLiteral("/partition"), "1\n");
            write(QFileInfo(dir).path() + QStringLiteral("/removable"), removable);
        } else {
            write(dir + QStringLiteral("/removable"), removable);
        }
        QDir().mkpath(m_root.filePath(QStringLiteral("sys/dev/block")));
        QVERIFY(QFile::link(m_root.filePath(dir), m_root.filePath(QStringLiteral("sys/dev/block/") + majMin)));
        const QString name = QFileInfo(dir).fileName();
        QDir().mkpath(m_root.filePath(QStringLiteral("sys/class/block")));
        QFile::link(m_root.filePath(dir), m_root.filePath(QStringLiteral("sys/class/block/") + name));
    }

    QString sys() const { return m_root.filePath(QStringLiteral("sys")); }

    static Mount M(const char *fs, const char *source, int major = 0, int minor = 0)
    {
        return Mount{QStringLiteral("/m"), QString::fromLatin1(fs), QString::fromLatin1(source), major, minor};
    }

private slots:
    void initTestCase()
    {
        m_t = QFileInfo(m_targets.path()).canonicalFilePath();
        device("8:1", "pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0/block/sda/sda1", "0\n", true);
        device("8:17", "pci0000:00/0000:00:14.0/usb1/1-1/1-1:1.0/host2/target2:0:0/2:0:0:0/block/sdb/sdb1", "1\n",
               true);
        // A USB hard disk that does not call itself removable.
        device("8:33", "pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host3/target3:0:0/3:0:0:0/block/sdc/sdc1", "0\n",
               true);
        device("179:1", "platform/fe340000.mmc/mmc_host/mmc0/mmc0:aaaa/block/mmcblk0/mmcblk0p1", "0\n", true);
        device("11:0", "pci0000:00/0000:00:17.0/ata2/host1/target1:0:0/1:0:0:0/block/sr0", "1\n", false);
        device("252:0", "virtual/block/zram0", "0\n", false);
        device("259:1", "pci0000:00/0000:00:1d.0/0000:03:00.0/nvme/nvme0/nvme0n1/nvme0n1p1", "0\n", true);
    }

    void classifiesByTypeAndDevice()
    {
        const QList<std::pair<Mount, Code>> cases{
            {M("ext4", "/dev/sda1", 8, 1), Fixed},
            {M("xfs", "/dev/nvme0n1p1", 259, 1), Fixed},
            {M("vfat", "/dev/sdb1", 8, 17), Removable},
            {M("exfat", "/dev/sdc1", 8, 33), Removable},
            {M("ext4", "/dev/mmcblk0p1", 179, 1), Removable},
            {M("iso9660", "/dev/sr0", 11, 0), CdRom},
            {M("udf", "/dev/sr0", 11, 0), CdRom},
            {M("udf", "/dev/sda1", 8, 1), Fixed},
            {M("ext4", "/dev/zram0", 252, 0), RamDisk},
            {M("tmpfs", "tmpfs"), RamDisk},
            {M("ramfs", "none"), RamDisk},
            // btrfs has an anonymous device number: the source leads to sysfs.
            {M("btrfs", "/dev/sdb1", 0, 45), Removable},
            {M("btrfs", "/dev/sda1", 0, 46), Fixed},
            {M("overlay", "overlay"), Fixed},
            {M("nfs4", "server:/export"), Remote},
            {M("cifs", "//server/share"), Remote},
            {M("9p", "hostshare"), Remote},
            {M("fuse.sshfs", "me@host:/home/me"), Remote},
            {M("fuse.rclone", "drive:"), Remote},
            {M("fuse.fusefat", "fusefat", 0, 40), Fixed},
            {M("fuse.portal", "portal"), Unknown},
            {M("proc", "proc"), Unknown},
            {M("sysfs", "sysfs"), Unknown},
            {M("ext4", "/dev/sdz9", 8, 200), Fixed}, // no sysfs entry: not removable
        };
        for (const auto &[mount, code] : cases)
            QVERIFY2(Classify(mount, sys()) == code, qPrintable(mount.fsType + u' ' + mount.source));

        for (Code c : {Removable, Fixed, Remote, RamDisk})
            QVERIFY(Accepted(c));
        QVERIFY(!Accepted(CdRom));
        QVERIFY(!Accepted(Unknown));
    }

    void findsTheMountHoldingAPath()
    {
        const QString sample = QStringLiteral("22 27 0:21 / /proc rw,relatime - proc proc rw\n"
                                              "27 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
                                              "40 27 8:17 / %1/usb rw,nosuid master:4 - vfat /dev/sdb1 rw\n"
                                              "41 27 0:50 / %1/net rw - nfs4 srv:/x rw\n"
                                              "42 27 0:51 / %1/ram rw - tmpfs tmpfs rw\n"
                                              "43 27 0:52 / %1/with\\040space rw - cifs //srv/s rw\n"
                                              "44 27 11:0 / %1/cd ro - iso9660 /dev/sr0 ro\n"
                                              "45 40 0:53 / %1/usb/over rw - tmpfs tmpfs rw\n"
                                              "46 27 0:54 / %1/twice rw - ext4 /dev/sdb1 rw\n"
                                              "47 27 0:55 / %1/twice rw - nfs srv:/y rw\n"
                                              "garbage line\n")
                                   .arg(m_t);
        write(QStringLiteral("proc/self/mountinfo"), sample.toUtf8());
        for (const char *d : {"usb/sub", "usbx", "net/a", "ram", "with space", "cd", "usb/over", "twice"})
            QVERIFY(QDir(m_t).mkpath(QString::fromLatin1(d)));
        QVERIFY(QFile::link(m_t + QStringLiteral("/net/a"), m_t + QStringLiteral("/link")));
        QFile file(m_t + QStringLiteral("/net/file.tst"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();

        const QList<Mount> mounts = ParseMountInfo(sample);
        QCOMPARE(mounts.size(), 10);
        QCOMPARE(mounts[5].mountPoint, m_t + QStringLiteral("/with space"));
        QCOMPARE(mounts[2].major, 8);
        QCOMPARE(mounts[2].minor, 17);

        const QString root = m_root.path() + u'/';
        const QList<std::pair<QString, Code>> cases{
            {m_t + QStringLiteral("/usb/sub/"), Removable},
            {m_t + QStringLiteral("/usb"), Removable},
            {m_t + QStringLiteral("/usbx/"), Fixed}, // a name sharing the prefix is not inside
            {m_t + QStringLiteral("/net/a/"), Remote},
            {m_t + QStringLiteral("/link/"), Remote}, // followed to where it points
            {m_t + QStringLiteral("/ram/"), RamDisk},
            {m_t + QStringLiteral("/with space/"), Remote},
            {m_t + QStringLiteral("/cd/"), CdRom},
            {m_t + QStringLiteral("/usb/over/"), RamDisk}, // the deeper mount wins
            {m_t + QStringLiteral("/twice/"), Remote},     // the later mount hides the earlier
            {m_t + QStringLiteral("/"), Fixed},
            {m_t + QStringLiteral("/missing/"), Unknown},
            {m_t + QStringLiteral("/net/file.tst"), Unknown}, // a file is no target
            {m_t + QStringLiteral("/net/file.tst/"), Unknown},
            {QString(), Unknown},
        };
        for (const auto &[path, code] : cases)
            QVERIFY2(Query(path, root) == code, qPrintable(path));

        // Without mountinfo nothing can be said.
        QTemporaryDir empty;
        QCOMPARE(Query(m_t, empty.path()), Unknown);
        // The running system: /proc is no place for test files.
        QCOMPARE(Query(QStringLiteral("/proc/self/")), Unknown);
    }

    void likePatterns()
    {
        const QList<std::tuple<const char *, const char *, bool>> cases{
            {"ABC", "ABC", true},        {"ABC", "AB", false},   {"ABC", "A?C", true},    {"ABC", "A*", true},
            {"A", "A*", true},           {"ABC", "*C", true},    {"ABCBC", "A*BC", true}, {"ABCBD", "A*BC", false},
            {"A1", "A#", true},          {"AX", "A#", false},    {"B", "[ABC]", true},    {"D", "[A-C]", false},
            {"D", "[!A-C]", true},       {"B", "[!A-C]", false}, {"-", "[-A]", true},     {"AB", "A[]B", true},
            {"A[", "A[", false},         {"A[B", "A[[]B", true}, {"", "*", true},         {"", "?", false},
            {"/MNT/X/", "/MNT/*", true},
        };
        for (const auto &[text, pattern, expected] : cases)
            QVERIFY2(LikeMatch(QString::fromLatin1(text), QString::fromLatin1(pattern)) == expected,
                     qPrintable(QStringLiteral("%1 like %2").arg(text, pattern)));
    }
};

QTEST_MAIN(TestDriveType)
#include "tst_drivetype.moc"
