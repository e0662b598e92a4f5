// Device identity from a sample mountinfo and sysfs tree, and once from the real machine.
#include "common/SystemSupport.h"
#include "platform/DeviceIdentity.h"

#include <QStorageInfo>
#include <QTemporaryDir>
#include <QtTest>

class TestDeviceIdentity : public QObject {
    Q_OBJECT
    QTemporaryDir m_root;    // proc/ and sys/ samples
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
    }

    void readsTheChainDownToTheDisk()
    {
        using S = std::optional<QString>;
        using N = std::optional<qint64>;
        using I = std::optional<int>;
        struct Row {
            const char *folder;
            S fsType, source, options;
            QStringList chain;
            S disk, model, vendor, serial;
            N size;
            std::optional<bool> rotational;
            I logical, physical;
            S scheduler;
        };
        const S none;
        // clang-format off
        const Row rows[] = {
            {"nvme", "ext4", "/dev/nvme0n1p2", "rw,noatime,rw,discard", {"nvme0n1p2", "nvme0n1"}, "nvme0n1",
             "WD Blue SN570 1TB", none, "22123X800123", 1000215216LL * 512, false, 512, 4096, "none"},
            {"crypt", "xfs", "/dev/mapper/home", "rw,rw,attr2", {"dm-0", "nvme0n1p3", "nvme0n1"}, "nvme0n1",
             "WD Blue SN570 1TB", none, "22123X800123", 1000215216LL * 512, false, 512, 4096, "none"},
            {"raid", "ext4", "/dev/md0", "rw,rw", {"md0"}, "md0", none, none, none, 2048 * 512, std::nullopt,
             std::nullopt, std::nullopt, none},
            {"ram", "tmpfs", "tmpfs", "rw,nosuid,rw,size=10m", {}, none, none, none, none, std::nullopt,
             std::nullopt, std::nullopt, std::nullopt, none},
            {"btrfs", "btrfs", "/dev/sda1", "rw,rw,space_cache=v2", {"sda1", "sda"}, "sda", "ST2000DM008-2FR1",
             "ATA", "ZFL1ABCD", 3907029168LL * 512, true, 512, std::nullopt, "bfq"},
            // Mounted twice: the later mount hides the first; its source has no sysfs entry.
            {"nosys", "vfat", "/dev/sdb1", "ro,ro", {}, none, none, none, none, std::nullopt, std::nullopt,
             std::nullopt, std::nullopt, none},
            {"with space", "vfat", "/dev/sda1", "ro,ro", {"sda1", "sda"}, "sda", "ST2000DM008-2FR1", "ATA",
             "ZFL1ABCD", 3907029168LL * 512, true, 512, std::nullopt, "bfq"},
        };
        // clang-format on
        for (const Row &r : rows) {
            const DeviceIdentity id = DeviceIdentity::Read(m_targets.filePath(r.folder) + "/", m_root.path());
            const QByteArray name = r.folder;
            QCOMPARE(id.mountPoint, S(target(r.folder)));
            QCOMPARE(id.fileSystem, r.fsType);
            QCOMPARE(id.mountSource, r.source);
            QCOMPARE(id.mountOptions, r.options);
            QVERIFY2(id.deviceChain == r.chain, name + ": " + id.deviceChain.join(',').toUtf8());
            QVERIFY2(id.blockDevice == r.disk && id.model == r.model && id.vendor == r.vendor && id.serial == r.serial,
                     name);
            QVERIFY2(id.sizeBytes == r.size && id.rotational == r.rotational, name);
            QVERIFY2(id.logicalBlockBytes == r.logical && id.physicalBlockBytes == r.physical, name);
            QVERIFY2(id.scheduler == r.scheduler, name);
            QVERIFY2(id.freeBytes && *id.freeBytes > 0, name);
        }
    }

    void unknownIsEmpty()
    {
        const DeviceIdentity id = DeviceIdentity::Read(m_targets.filePath("does-not-exist"), m_root.path());
        QVERIFY(!id.mountPoint && !id.fileSystem && !id.mountSource && !id.mountOptions && id.deviceChain.isEmpty());
        QVERIFY(!id.blockDevice && !id.model && !id.sizeBytes && !id.rotational && !id.scheduler && !id.freeBytes);
    }

    // The real machine: whatever it reads must agree with Qt's own view of the same folder.
    void smokeOnThisMachine()
    {
        const DeviceIdentity id = DeviceIdentity::Read(QDir::tempPath());
        const QStorageInfo storage(QDir::tempPath());
        QVERIFY(id.fileSystem.has_value());
        QCOMPARE(id.fileSystem->toUtf8(), storage.fileSystemType());
        QCOMPARE(id.mountPoint, std::optional<QString>(storage.rootPath()));
        QVERIFY(id.freeBytes && *id.freeBytes > 0);
        if (id.logicalBlockBytes) {
            QVERIFY(*id.logicalBlockBytes >= 512 && (*id.logicalBlockBytes & (*id.logicalBlockBytes - 1)) == 0);
            QVERIFY(id.sizeBytes && *id.sizeBytes > 0);
        }
    }
};

QTEST_GUILESS_MAIN(TestDeviceIdentity)
#include "tst_deviceidentity.moc"
