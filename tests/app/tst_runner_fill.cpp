// veltaro-cli --fill --verify on whole devices: an honest loop device is filled and reads back
// sound; a device whose upper half maps onto its lower half, as counterfeit cards are made, is
// caught by its misplaced blocks. Both need root; the second also device-mapper.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <array>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

struct Result {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Result Run(const QString &program, const QStringList &args, int timeoutMs = 120000)
{
    QProcess p;
    p.start(program, args);
    Result r;
    if (!p.waitForFinished(timeoutMs) || p.exitStatus() != QProcess::NormalExit) {
        p.kill();
        p.waitForFinished();
        r.err = "did not finish: " + program.toUtf8();
        return r;
    }
    r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

bool Ok(const QString &program, const QStringList &args, QString *why)
{
    const Result r = Run(program, args);
    if (r.exitCode == 0)
        return true;
    *why = program + ' ' + args.join(' ') + ": " + QString::fromLocal8Bit(r.err.trimmed());
    return false;
}

// A loop device over an image file, optionally seen through a device-mapper table, formatted and
// mounted; everything undone in reverse order.
class ScratchDevice {
public:
    ScratchDevice(const QString &folder, qint64 bytes, bool counterfeit) : m_mount(folder + "/mnt")
    {
        const QString image = folder + "/image";
        QFile f(image);
        if (!f.open(QIODevice::WriteOnly) || !f.resize(bytes)) {
            m_error = "cannot make " + image;
            return;
        }
        f.close();
        const Result loop = Run("losetup", {"--find", "--show", image});
        if (loop.exitCode != 0) {
            m_error = "losetup: " + QString::fromLocal8Bit(loop.err.trimmed());
            return;
        }
        m_loop = QString::fromLocal8Bit(loop.out.trimmed());
        QString device = m_loop;
        if (counterfeit) {
            // Two linear segments over the same lower half: writes to the upper half land below.
            const qint64 half = bytes / 512 / 2;
            const QString table = QString("0 %1 linear %2 0\n%1 %1 linear %2 0").arg(half).arg(m_loop);
            m_mapped = QString("veltaro-counterfeit-%1").arg(getpid());
            if (!Ok("dmsetup", {"create", m_mapped, "--table", table}, &m_error)) {
                m_mapped.clear();
                return;
            }
            device = "/dev/mapper/" + m_mapped;
        }
        // No journal: all metadata stays in the lower half, so the mount survives the aliasing
        // long enough for the run.
        if (!Ok("mkfs.ext4", {"-q", "-F", "-O", "^has_journal", "-E", "nodiscard", device}, &m_error))
            return;
        QDir().mkpath(m_mount);
        m_mounted = Ok("mount", {device, m_mount}, &m_error);
    }
    ~ScratchDevice()
    {
        QString ignored;
        if (m_mounted && !Ok("umount", {m_mount}, &ignored))
            Ok("umount", {"-l", m_mount}, &ignored);
        if (!m_mapped.isEmpty())
            Ok("dmsetup", {"remove", "--retry", m_mapped}, &ignored);
        if (!m_loop.isEmpty())
            Ok("losetup", {"-d", m_loop}, &ignored);
    }
    QString error() const { return m_error; }
    QString mountPoint() const { return m_mount; }
    qint64 freeMB() const
    {
        struct statvfs st {};
        if (statvfs(QFile::encodeName(m_mount).constData(), &st) != 0)
            return -1;
        return qint64(st.f_bavail) * qint64(st.f_frsize) / 1048576;
    }

private:
    QString m_mount;
    QString m_loop;
    QString m_mapped;
    QString m_error;
    bool m_mounted = false;
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

QString Runner()
{
    return QCoreApplication::applicationDirPath() + "/veltaro-cli";
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
        QTemporaryDir dir;
        ScratchDevice device(dir.path(), 64 * 1048576, false);
        if (!device.error().isEmpty())
            QSKIP(qPrintable("no scratch device here: " + device.error()));
        const qint64 freeMB = device.freeMB();
        const Result r = Run(Runner(), {"--fill", "--verify", "--json", device.mountPoint()});
        QVERIFY2(r.exitCode == 0, r.err.right(2000).constData());
        const QJsonObject record = QJsonDocument::fromJson(r.out).object();
        const qint64 filled = record["file_count"].toInteger() * record["file_size_mb"].toInteger();
        // The window's proposal leaves less than a file's size and the rounding of the chain.
        QVERIFY2(filled <= freeMB && filled >= freeMB * 9 / 10,
                 qPrintable(QString("%1 MB written of %2 MB free").arg(filled).arg(freeMB)));
        const auto [bad, misplaced, files] = ReadCounts(record);
        QCOMPARE(files, record["file_count"].toInteger());
        QCOMPARE(bad + misplaced, 0);
        QVERIFY(r.err.contains("Daten geprüft: alle Blöcke richtig."));
        QVERIFY(QDir(device.mountPoint()).entryList({"*.tst"}, QDir::Files).isEmpty());
    }

    void counterfeitDeviceShowsMisplacedBlocks()
    {
        SkipUnlessRoot();
        if (QStandardPaths::findExecutable("dmsetup", {"/sbin", "/usr/sbin"}).isEmpty())
            QSKIP("dmsetup is not installed");
        if (Run("dmsetup", {"version"}).exitCode != 0)
            QSKIP("device-mapper is not available in this kernel");
        QTemporaryDir dir;
        ScratchDevice device(dir.path(), 64 * 1048576, true);
        QVERIFY2(device.error().isEmpty(), qPrintable(device.error()));
        const Result r = Run(Runner(), {"--fill", "--verify", "--json", device.mountPoint()});
        QCOMPARE(r.exitCode, 1);
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
