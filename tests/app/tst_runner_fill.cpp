// veltaro-cli --fill --verify on whole devices: an honest loop device is filled and reads back
// sound; a device whose upper half maps onto its lower half, as counterfeit cards are made, is
// caught by its misplaced blocks. Both need root; the second also device-mapper.
#include "common/FaultSupport.h"
#include "common/SystemSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <array>
#include <unistd.h>

using FaultTest::ScratchMount;
using namespace SystemTest;

namespace {

// A 64 MB loop device of the kind asked for, mounted in a temporary folder; destroyed in reverse.
struct Device {
    explicit Device(ScratchMount::Loop loop)
        : mountPoint(dir.filePath("mnt")),
          mount((QDir().mkpath(mountPoint), ScratchMount::Ext4OnLoop(mountPoint, dir.filePath("image"), 64, loop)))
    {
    }
    QTemporaryDir dir;
    QString mountPoint;
    std::unique_ptr<ScratchMount> mount;
};

// Failed blocks of the record's read phase, and how many files it verified.
std::array<qint64, 3> ReadCounts(const QJsonObject &record)
{
    std::array<qint64, 3> c{}; // bad, misplaced, files
    for (const QJsonValue &phase : record["phases"].toArray())
        for (const QJsonValue &file : phase["files"].toArray())
            if (const QJsonObject v = file["verify"].toObject(); phase["phase"] == "read" && !v.isEmpty())
                c = {c[0] + v["bad_blocks"].toInteger(), c[1] + v["misplaced_blocks"].toInteger(), c[2] + 1};
    return c;
}

void SkipUnlessRoot()
{
    if (geteuid() != 0)
        QSKIP("needs root for loop devices and mounts");
    for (const char *tool : {"losetup", "mkfs.ext4", "mount"})
        if (QStandardPaths::findExecutable(tool).isEmpty() &&
            QStandardPaths::findExecutable(tool, {"/sbin", "/usr/sbin"}).isEmpty())
            QSKIP(qPrintable(QString("%1 is not installed").arg(tool)));
}

} // namespace

class TestRunnerFill : public QObject {
    Q_OBJECT
private slots:
    void honestDeviceIsFilledAndReadsBackSound()
    {
        SkipUnlessRoot();
        const Device device(ScratchMount::Loop::Plain);
        if (!device.mount->Error().isEmpty())
            QSKIP(qPrintable("no scratch device here: " + device.mount->Error()));
        const qint64 freeMB = device.mount->FreeBytes() / 1048576;
        const Result r = RunCli({"--fill", "--verify", "--json", device.mountPoint});
        QVERIFY2(r.code == 0, r.err.right(2000).constData());
        const QJsonObject record = QJsonDocument::fromJson(r.out).object();
        const qint64 filled = record["file_count"].toInteger() * record["file_size_mb"].toInteger();
        // The window's proposal leaves less than a file's size and the rounding of the chain.
        QVERIFY2(filled <= freeMB, qPrintable(QString("%1 MB written of %2 MB free").arg(filled).arg(freeMB)));
        QVERIFY2(filled >= freeMB * 9 / 10, qPrintable(QString("%1 MB written of %2 MB free").arg(filled).arg(freeMB)));
        const auto [bad, misplaced, files] = ReadCounts(record);
        QCOMPARE(files, record["file_count"].toInteger());
        QCOMPARE(bad + misplaced, 0);
        QVERIFY(r.err.contains("Daten geprüft: alle Blöcke richtig."));
        QVERIFY(QDir(device.mountPoint).entryList({"*.tst"}, QDir::Files).isEmpty());
    }

    void counterfeitDeviceShowsMisplacedBlocks()
    {
        SkipUnlessRoot();
        if (QStandardPaths::findExecutable("dmsetup", {"/sbin", "/usr/sbin"}).isEmpty())
            QSKIP("dmsetup is not installed");
        if (Run("dmsetup", {"version"}).code != 0)
            QSKIP("device-mapper is not available in this kernel");
        const Device device(ScratchMount::Loop::Counterfeit);
        QVERIFY2(device.mount->Error().isEmpty(), qPrintable(device.mount->Error()));
        const Result r = RunCli({"--fill", "--verify", "--json", device.mountPoint});
        QCOMPARE(r.code, 1);
        const QJsonObject record = QJsonDocument::fromJson(r.out).object();
        const auto [bad, misplaced, files] = ReadCounts(record);
        QVERIFY2(misplaced > 0,
                 qPrintable(QString("bad %1, misplaced %2 in %3 files").arg(bad).arg(misplaced).arg(files)));
        QVERIFY(r.err.contains(", vertauscht "));
        QVERIFY(r.err.contains("Blöcke fehlerhaft!"));
    }
};

QTEST_MAIN(TestRunnerFill)
#include "tst_runner_fill.moc"
