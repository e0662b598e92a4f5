// Device identity and drive kind from sample mountinfo and sysfs trees.
#include "common/SystemSupport.h"
#include "platform/DeviceIdentity.h"
#include "platform/DriveType.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace DriveType;

namespace {

// Every field but the mount point, "-" for an empty one, so a mismatch shows which field it is.
QString Describe(const DeviceIdentity &id)
{
    const auto text = [](const auto &value) -> QString {
        if (!value)
            return QStringLiteral("-");
        if constexpr (std::is_same_v<std::decay_t<decltype(*value)>, QString>)
            return *value;
        else
            return QString::number(*value);
    };
    QStringList fields{text(id.fileSystem), text(id.mountSource), text(id.mountOptions), id.deviceChain.join(u',')};
    fields << text(id.blockDevice) << text(id.model) << text(id.vendor) << text(id.serial) << text(id.sizeBytes);
    fields << text(id.rotational) << text(id.logicalBlockBytes) << text(id.physicalBlockBytes) << text(id.scheduler);
    return (fields << (id.freeBytes > 0 ? QStringLiteral("free") : text(id.freeBytes))).join(u'|');
}

} // namespace

class TestDeviceIdentity : public QObject {
    Q_OBJECT
    QTemporaryDir m_root;    // proc/ and sys/ samples
    QTemporaryDir m_drives;  // the same for the drive kinds
    QTemporaryDir m_targets; // real folders the sample mounts sit on

    void write(const QString &relative, const QByteArray &contents)
    {
        QVERIFY(SystemTest::WriteFile(m_root.filePath(relative), contents));
    }
    void link(const QString &target, const QString &linkName)
    {
        QVERIFY(QDir().mkpath(QFileInfo(m_root.filePath(linkName)).path()));
        QVERIFY(QFile::link(m_root.filePath(target), m_root.filePath(linkName)));
    }
    // A disk's queue attributes; an empty value leaves the file out.
    void queue(const QString &disk, const QByteArray &rotational, const QByteArray &logical, const QByteArray &physical,
               const QByteArray &scheduler)
    {
        const std::pair<const char *, QByteArray> files[] = {{"rotational", rotational},
                                                             {"logical_block_size", logical},
                                                             {"physical_block_size", physical},
                                                             {"scheduler", scheduler}};
        for (const auto &[name, value] : files)
            if (!value.isEmpty())
                write(disk + "/queue/" + name, value);
    }
    // A block device in sysfs: its folder under devices/, linked from dev/block/<maj:min> and class/block/.
    // A partition's removable flag is its disk's.
    void device(const QString &majMin, const QString &devicePath, const char *removable, bool partition = true)
    {
        const QString dir = m_drives.filePath("sys/devices/" + devicePath);
        QVERIFY(SystemTest::WriteFile(
            m_drives.filePath("sys/devices/" + (partition ? QFileInfo(devicePath).path() : devicePath) + "/removable"),
            removable));
        if (partition)
            QVERIFY(SystemTest::WriteFile(dir + "/partition", "1\n"));
        QVERIFY(QFile::link(dir, m_drives.filePath("sys/dev/block/" + majMin)));
        QVERIFY(QFile::link(dir, m_drives.filePath("sys/class/block/" + QFileInfo(dir).fileName())));
    }
    QString target(const char *name) const { return QFileInfo(m_targets.filePath(name)).canonicalFilePath(); }

private slots:
    void initTestCase()
    {
        const char *names[] = {"nvme", "crypt", "raid", "ram", "btrfs", "nosys", "with space"};
        for (const char *name : names)
            QVERIFY(QDir(m_targets.path()).mkpath(name));

        // NVMe: model and serial on the controller, the mount on partition 2.
        const QString nvme = "sys/devices/pci0000:00/nvme/nvme0/nvme0n1";
        write(nvme + "/size", "1000215216\n");
        queue(nvme, "0\n", "512\n", "4096\n", "[none] mq-deadline kyber\n");
        write(nvme + "/device/model", "WD Blue SN570 1TB                       \n");
        write(nvme + "/device/serial", "  22123X800123  \n");
        write(nvme + "/nvme0n1p2/partition", "2\n");
        write(nvme + "/nvme0n1p3/partition", "3\n");
        link(nvme + "/nvme0n1p2", "sys/dev/block/259:2");

        // dm-crypt over partition 3 of the same disk.
        write("sys/devices/virtual/block/dm-0/size", "4096\n");
        queue("sys/devices/virtual/block/dm-0", "0\n", "4096\n", "4096\n", "none\n");
        link(nvme + "/nvme0n1p3", "sys/devices/virtual/block/dm-0/slaves/nvme0n1p3");
        link("sys/devices/virtual/block/dm-0", "sys/dev/block/253:0");

        // md RAID over two disks: no single disk below it.
        write("sys/devices/virtual/block/md0/size", "2048\n");
        link(nvme, "sys/devices/virtual/block/md0/slaves/nvme0n1");
        link("sys/devices/virtual/block/dm-0", "sys/devices/virtual/block/md0/slaves/dm-0");
        link("sys/devices/virtual/block/md0", "sys/dev/block/9:0");

        // A SATA disk: padded vendor and model, the serial only in VPD page 0x80; rotational.
        const QString sda = "sys/devices/pci0000:00/ata1/host0/target0:0:0/0:0:0:0/block/sda";
        write(sda + "/size", "3907029168\n");
        queue(sda, "1\n", "512\n", "", "mq-deadline [bfq] none\n");
        write(sda + "/device/vendor", "ATA     \n");
        write(sda + "/device/model", "ST2000DM008-2FR1\n");
        write(sda + "/device/vpd_pg80", QByteArray("\x00\x80\x00\x08ZFL1ABCD", 12));
        write(sda + "/sda1/partition", "1\n");
        link(sda + "/sda1", "sys/class/block/sda1");

        write("proc/self/mountinfo",
              QStringLiteral("27 1 8:1 / / rw,relatime - ext4 /dev/sda1 rw\n"
                             "40 27 259:2 / %1 rw,noatime - ext4 /dev/nvme0n1p2 rw,discard\n"
                             "41 27 253:0 / %2 rw - xfs /dev/mapper/home rw,attr2\n"
                             "42 27 9:0 / %3 rw - ext4 /dev/md0 rw\n"
                             "43 27 0:51 / %4 rw,nosuid - tmpfs tmpfs rw,size=10m\n"
                             "44 27 0:45 / %5 rw - btrfs /dev/sda1 rw,space_cache=v2\n"
                             "45 27 8:99 / %6 rw - ext4 /dev/sdz9 rw\n"
                             "46 27 0:52 / %7 ro - vfat /dev/sdb1 ro\n"
                             "47 27 0:53 / %8 ro - vfat /dev/sda1 ro\n")
                  .arg(target("nvme"), target("crypt"), target("raid"), target("ram"), target("btrfs"), target("nosys"),
                       target("nosys"), QString(target("with space")).replace(" ", "\\040"))
                  .toUtf8());

        QVERIFY(QDir(m_drives.path()).mkpath("sys/dev/block"));
        QVERIFY(QDir(m_drives.path()).mkpath("sys/class/block"));
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

    void readsTheChainDownToTheDisk()
    {
        // Mounted twice, "nosys" shows the later mount, whose source has no sysfs entry.
        // clang-format off
        const std::pair<const char *, const char *> rows[] = {
            {"nvme", "ext4|/dev/nvme0n1p2|rw,noatime,rw,discard|nvme0n1p2,nvme0n1|nvme0n1|WD Blue SN570 1TB|-|"
                     "22123X800123|512110190592|0|512|4096|none|free"},
            {"crypt", "xfs|/dev/mapper/home|rw,rw,attr2|dm-0,nvme0n1p3,nvme0n1|nvme0n1|WD Blue SN570 1TB|-|"
                      "22123X800123|512110190592|0|512|4096|none|free"},
            {"raid", "ext4|/dev/md0|rw,rw|md0|md0|-|-|-|1048576|-|-|-|-|free"},
            {"ram", "tmpfs|tmpfs|rw,nosuid,rw,size=10m||-|-|-|-|-|-|-|-|-|free"},
            {"btrfs", "btrfs|/dev/sda1|rw,rw,space_cache=v2|sda1,sda|sda|ST2000DM008-2FR1|ATA|ZFL1ABCD|"
                      "2000398934016|1|512|-|bfq|free"},
            {"nosys", "vfat|/dev/sdb1|ro,ro||-|-|-|-|-|-|-|-|-|free"},
            {"with space", "vfat|/dev/sda1|ro,ro|sda1,sda|sda|ST2000DM008-2FR1|ATA|ZFL1ABCD|2000398934016|1|512|-|"
                           "bfq|free"},
            {"does-not-exist", "-|-|-||-|-|-|-|-|-|-|-|-|-"}};
        // clang-format on
        for (const auto &[folder, expected] : rows) {
            const DeviceIdentity id = DeviceIdentity::Read(m_targets.filePath(folder) + "/", m_root.path());
            QCOMPARE(id.mountPoint.value_or(QString()), target(folder));
            QCOMPARE(Describe(id), QString::fromUtf8(expected));
        }
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
            QVERIFY2(Classify(Mount{"/m", fs, source, major, minor}, m_drives.filePath(QStringLiteral("sys"))) == code,
                     qPrintable(QStringLiteral("%1 %2").arg(fs, source)));
        for (const auto &[code, accepted] : {std::pair{Removable, true},
                                             {Fixed, true},
                                             {Remote, true},
                                             {RamDisk, true},
                                             {CdRom, false},
                                             {Unknown, false}})
            QCOMPARE(Accepted(code), accepted);
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
        QVERIFY(SystemTest::WriteFile(m_drives.filePath("proc/self/mountinfo"), sample.toUtf8()));
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
            QVERIFY2(Query(t + QLatin1String(path), m_drives.path() + u'/') == code, path);
        QTemporaryDir empty; // without mountinfo nothing can be said
        QCOMPARE(Query(t, empty.path()), Unknown);
        QCOMPARE(Query(QStringLiteral("/proc/self/")), Unknown); // the running system's /proc takes no test files
    }
};

QTEST_GUILESS_MAIN(TestDeviceIdentity)
#include "tst_deviceidentity.moc"
