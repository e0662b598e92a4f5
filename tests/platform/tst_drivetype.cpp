// Drive kinds from mountinfo and sysfs samples laid out in a folder of their own.
#include "common/SystemSupport.h"
#include "platform/DriveType.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace DriveType;

class TestDriveType : public QObject {
    Q_OBJECT
    QTemporaryDir m_root;    // holds proc/ and sys/ samples
    QTemporaryDir m_targets; // real folders the sample mounts sit on

    void write(const QString &relative, const QByteArray &contents)
    {
        QVERIFY(SystemTest::WriteFile(m_root.filePath(relative), contents));
    }

    // A block device in sysfs: its folder under devices/, linked from dev/block/<maj:min> and class/block/.
    // A partition's removable flag is its disk's.
    void device(const QString &majMin, const QString &devicePath, const char *removable, bool partition = true)
    {
        const QString dir = m_root.filePath(QStringLiteral("sys/devices/") + devicePath);
        write(QStringLiteral("sys/devices/") + (partition ? QFileInfo(devicePath).path() : devicePath) + "/removable",
              removable);
        if (partition)
            write(QStringLiteral("sys/devices/") + devicePath + "/partition", "1\n");
        QVERIFY(QFile::link(dir, m_root.filePath(QStringLiteral("sys/dev/block/") + majMin)));
        QVERIFY(QFile::link(dir, m_root.filePath(QStringLiteral("sys/class/block/") + QFileInfo(dir).fileName())));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QDir(m_root.path()).mkpath("sys/dev/block") && QDir(m_root.path()).mkpath("sys/class/block"));
        device("8:1", "pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0/block/sda/sda1", "0\n");
        device("8:17", "pci0000:00/0000:00:14.0/usb1/1-1/1-1:1.0/host2/target2:0:0/2:0:0:0/block/sdb/sdb1", "1\n");
        // A USB hard disk that does not call itself removable.
        device("8:33", "pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host3/target3:0:0/3:0:0:0/block/sdc/sdc1", "0\n");
        // A disk on a SATA bay that calls itself removable: only the flag tells.
        device("8:49", "pci0000:00/0000:00:17.0/ata3/host4/target4:0:0/4:0:0:0/block/sdd/sdd1", "1\n");
        device("179:1", "platform/fe340000.mmc/mmc_host/mmc0/mmc0:aaaa/block/mmcblk0/mmcblk0p1", "0\n");
        device("11:0", "pci0000:00/0000:00:17.0/ata2/host1/target1:0:0/1:0:0:0/block/sr0", "1\n", false);
        device("252:0", "virtual/block/zram0", "0\n", false);
        device("259:1", "pci0000:00/0000:00:1d.0/0000:03:00.0/nvme/nvme0/nvme0n1/nvme0n1p1", "0\n");
    }

    void classifiesByTypeAndDevice()
    {
        // btrfs has an anonymous device number: the source leads to sysfs. No sysfs entry: not removable.
        // clang-format off
        const std::tuple<const char *, const char *, int, int, Code> cases[] = {
            {"ext4", "/dev/sda1", 8, 1, Fixed}, {"xfs", "/dev/nvme0n1p1", 259, 1, Fixed},
            {"udf", "/dev/sda1", 8, 1, Fixed}, {"ext4", "/dev/sdz9", 8, 200, Fixed}, {"overlay", "o", 0, 0, Fixed},
            {"fuse.fusefat", "fusefat", 0, 40, Fixed}, {"vfat", "/dev/sdb1", 8, 17, Removable},
            {"exfat", "/dev/sdc1", 8, 33, Removable}, {"vfat", "/dev/sdd1", 8, 49, Removable}, {"ext4", "/dev/mmcblk0p1", 179, 1, Removable},
            {"btrfs", "/dev/sdb1", 0, 45, Removable}, {"btrfs", "/dev/sda1", 0, 46, Fixed},
            {"iso9660", "/dev/sr0", 11, 0, CdRom}, {"udf", "/dev/sr0", 11, 0, CdRom},
            {"ext4", "/dev/zram0", 252, 0, RamDisk}, {"tmpfs", "t", 0, 0, RamDisk}, {"ramfs", "none", 0, 0, RamDisk},
            {"nfs4", "srv:/export", 0, 0, Remote}, {"cifs", "//srv/share", 0, 0, Remote}, {"9p", "h", 0, 0, Remote},
            {"fuse.sshfs", "me@h:/x", 0, 0, Remote}, {"fuse.rclone", "drive:", 0, 0, Remote},
            {"fuse.portal", "p", 0, 0, Unknown}, {"proc", "p", 0, 0, Unknown}, {"sysfs", "s", 0, 0, Unknown}};
        // clang-format on
        for (const auto &[fs, source, major, minor, code] : cases)
            QVERIFY2(Classify(Mount{"/m", fs, source, major, minor}, m_root.filePath(QStringLiteral("sys"))) == code,
                     qPrintable(QStringLiteral("%1 %2").arg(fs, source)));
        QVERIFY(Accepted(Removable) && Accepted(Fixed) && Accepted(Remote) && Accepted(RamDisk));
        QVERIFY(!Accepted(CdRom) && !Accepted(Unknown));
    }

    void findsTheMountHoldingAPath()
    {
        const QString t = QFileInfo(m_targets.path()).canonicalFilePath();
        // clang-format off
        const QString sample = QStringLiteral(
            "22 27 0:21 / /proc rw,relatime - proc proc rw\n27 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
            "40 27 8:17 / %1/usb rw,nosuid master:4 - vfat /dev/sdb1 rw\n41 27 0:50 / %1/net rw - nfs4 srv:/x rw\n"
            "42 27 0:51 / %1/ram rw - tmpfs tmpfs rw\n43 27 0:52 / %1/with\\040space rw - cifs //srv/s rw\n"
            "44 27 11:0 / %1/cd ro - iso9660 /dev/sr0 ro\n45 40 0:53 / %1/usb/over rw - tmpfs tmpfs rw\n"
            "46 27 0:54 / %1/twice rw - ext4 /dev/sdb1 rw\n47 27 0:55 / %1/twice rw - nfs srv:/y rw\ngarbage\n").arg(t);
        // clang-format on
        write(QStringLiteral("proc/self/mountinfo"), sample.toUtf8());
        for (const char *d : {"usb/sub", "usbx", "net/a", "ram", "with space", "cd", "usb/over", "twice"})
            QVERIFY(QDir(t).mkpath(QString::fromLatin1(d)));
        QVERIFY(QFile::link(t + QStringLiteral("/net/a"), t + QStringLiteral("/link")));
        QVERIFY(SystemTest::WriteFile(t + QStringLiteral("/net/file.tst")));
        QCOMPARE(ParseMountInfo(sample).size(), 10);
        // A name sharing a prefix is not inside; links are followed; the deeper and the later mount win.
        // clang-format off
        const std::pair<const char *, Code> cases[] = {
            {"/usb/sub/", Removable}, {"/usb", Removable}, {"/usbx/", Fixed}, {"/net/a/", Remote}, {"/link/", Remote},
            {"/ram/", RamDisk}, {"/with space/", Remote}, {"/cd/", CdRom}, {"/usb/over/", RamDisk}, {"/twice/", Remote},
            {"/", Fixed}, {"/missing/", Unknown}, {"/net/file.tst", Unknown}, {"/net/file.tst/", Unknown}};
        // clang-format on
        for (const auto &[path, code] : cases)
            QVERIFY2(Query(t + QLatin1String(path), m_root.path() + u'/') == code, path);
        QTemporaryDir empty; // without mountinfo nothing can be said
        QCOMPARE(Query(t, empty.path()), Unknown);
        QCOMPARE(Query(QStringLiteral("/proc/self/")), Unknown); // the running system's /proc takes no test files
    }
};

QTEST_MAIN(TestDriveType)
#include "tst_drivetype.moc"
