// What a run's record discloses about the cache: direct I/O per file, the cached share before
// each read, reads from the device, and writes the device refused.
#include "common/EngineTestSupport.h"
#include "common/FaultSupport.h"
#include "report/RunWarnings.h"

#include <QtTest>
#include <cerrno>

using FaultTest::TestTarget;

using namespace EngineTest;

namespace {

void Run(HeadlessContext &ctx, bool multiple)
{
    ctx.AcceptTarget = [](const QString &) { return true; };
    if (multiple)
        StartMultiple(ctx);
    else
        StartSingle(ctx);
}

} // namespace

class TestDeviceRead : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { UseGerman(); }

    void cacheStateOfEveryFile_data()
    {
        QTest::addColumn<bool>("multiple");
        QTest::addColumn<bool>("readFromDevice");
        QTest::addColumn<bool>("disableCaching");
        QTest::addColumn<bool>("directRead");
        QTest::addColumn<double>("cachedAtRead");
        QTest::newRow("cached write, classic read") << false << false << false << false << 1.0;
        // Direct writes leave nothing cached; the classic read then fills the cache itself.
        QTest::newRow("direct write, classic read") << false << false << true << false << 0.0;
        QTest::newRow("cached write, read from the device") << false << true << false << false << 0.0;
        QTest::newRow("direct write, read from the device") << false << true << true << true << 0.0;
        QTest::newRow("multiple, cached, from the device") << true << true << false << false << 0.0;
        QTest::newRow("multiple, direct, from the device") << true << true << true << true << 0.0;
    }
    void cacheStateOfEveryFile()
    {
        QFETCH(bool, multiple);
        QFETCH(bool, readFromDevice);
        QFETCH(bool, disableCaching);
        QFETCH(bool, directRead);
        QFETCH(double, cachedAtRead);
        Target t; // the temporary folder's own file system, ext4 here
        t.ctx->Txt1Text = QStringLiteral("2");
        t.ctx->Txt2Text = QStringLiteral("1");
        t.ctx->chkReadFromDevice = readFromDevice;
        t.ctx->chkDisableCaching = disableCaching;
        Run(*t.ctx, multiple);

        const RunRecord &r = t.ctx->Record();
        QVERIFY2(t.ctx->Log.text().contains(QStringLiteral("Ergebnis:")), qPrintable(t.ctx->Log.text()));
        QCOMPARE(r.options.readUncached, readFromDevice);
        QVERIFY(!r.directIoRefused);
        const PhaseRecord *write = r.phase(PhaseKind::Write);
        const PhaseRecord *read = r.phase(PhaseKind::Read);
        QVERIFY(write && read);
        QCOMPARE(read->readUncached, readFromDevice);
        QCOMPARE(write->files.size(), size_t(2));
        QCOMPARE(read->files.size(), size_t(2));
        for (const FileRecord &f : write->files) {
            QCOMPARE(f.directIo, std::optional<bool>(disableCaching));
            QVERIFY(!f.cachedShare);
        }
        for (const FileRecord &f : read->files) {
            QCOMPARE(f.directIo, std::optional<bool>(directRead));
            QCOMPARE(f.cachedShare, std::optional<double>(cachedAtRead));
        }
        QCOMPARE(RunWarnings::FailedWritesText(r), QString());
    }

    // The device refuses every 1 KiB direct write: counted, named, and said after the run.
    void refusedWritesAreCounted_data()
    {
        QTest::addColumn<bool>("multiple");
        QTest::newRow("single") << false;
        QTest::newRow("multiple") << true;
    }
    void refusedWritesAreCounted()
    {
        QFETCH(bool, multiple);
        TEST_TARGET_OR_SKIP(sectors4k, TestTarget::Sectors4k);
        Target t;
        t.ctx->Drive1Text = sectors4k.Path();
        t.ctx->Txt1Text = QStringLiteral("2");
        t.ctx->Txt2Text = QStringLiteral("1");
        Run(*t.ctx, multiple);

        const PhaseRecord *write = t.ctx->Record().phase(PhaseKind::Write);
        QVERIFY(write);
        QCOMPARE(write->failedCalls, int64_t(2 * 1024));
        QCOMPARE(write->firstErrno, EINVAL);
        QCOMPARE(write->bytesTransferred, int64_t(0));
        for (const FileRecord &f : write->files)
            QCOMPARE(f.directIo, std::optional<bool>(true));
        const QString warning = RunWarnings::FailedWritesText(t.ctx->Record());
        QVERIFY2(warning.startsWith(QStringLiteral("2048 Schreibzugriffe sind fehlgeschlagen (")), qPrintable(warning));
        // The seed's log lines stay as they were: no word of the failures in them.
        QVERIFY(!t.ctx->Log.text().contains(QStringLiteral("fehlgeschlagen")));
    }
};

QTEST_GUILESS_MAIN(TestDeviceRead)
#include "tst_device_read.moc"
