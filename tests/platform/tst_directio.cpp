// The cache bypass probe, the page-cache share and the folder lock, on real file systems, and what
// a run's record discloses about the cache: direct I/O and cached share per file, refused writes.
#include "common/EngineTestSupport.h"
#include "common/FaultSupport.h"
#include "common/SystemSupport.h"
#include "platform/DirectIoProbe.h"
#include "platform/FolderLock.h"
#include "platform/PageCacheState.h"
#include "platform/modFile.h"
#include "report/RunWarnings.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

using EngineTest::Target;
using FaultTest::TestTarget;

namespace {

// Two files of 1 MB on folder, taken whatever kind of drive it is on.
void Run(Target &t, const QString &folder, bool multiple)
{
    t.ctx->Drive1Text = folder;
    t.ctx->Txt1Text = QStringLiteral("2");
    t.ctx->Txt2Text = QStringLiteral("1");
    t.ctx->AcceptTarget = [](const QString &) { return true; };
    multiple ? StartMultiple(*t.ctx) : StartSingle(*t.ctx);
}

bool FillFolder(const QString &folder)
{
    QFile filler(folder + QStringLiteral("/filler"));
    if (!filler.open(QIODevice::WriteOnly))
        return false;
    const QByteArray chunk(4096, 'f');
    while (filler.write(chunk) == chunk.size() && filler.flush()) {
    }
    return true;
}

QStringList Entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

} // namespace

class TestDirectIo : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { EngineTest::UseGerman(); }

    void probe_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("verdict");
        QTest::addColumn<int>("error");
        using V = DirectIoProbe::Verdict;
        // Targets that take the probe are the run window's and the runner's tests.
        QTest::newRow("ramfs refuses the open") << int(TestTarget::Ramfs) << int(V::Refused) << EINVAL;
        QTest::newRow("4096-byte sectors refuse 1 KiB") << int(TestTarget::Sectors4k) << int(V::Refused) << EINVAL;
        QTest::newRow("read-only decides nothing") << int(TestTarget::ReadOnly) << int(V::Undecided) << EROFS;
        QTest::newRow("full decides nothing") << int(TestTarget::Full) << int(V::Undecided) << ENOSPC;
    }
    void probe()
    {
        QFETCH(int, kind);
        QFETCH(int, verdict);
        QFETCH(int, error);
        TEST_TARGET_OR_SKIP(target, TestTarget::Kind(kind));
        if (TestTarget::Kind(kind) == TestTarget::Full)
            QVERIFY(FillFolder(target.Path()));
        const QStringList before = Entries(target.Path());

        modFile::RawBlock block;
        QVERIFY(block.SetText(QString(1022, u'x')));
        const DirectIoProbe::Result r = DirectIoProbe::Probe(target.Path(), block.data());
        QCOMPARE(int(r.verdict), verdict);
        QCOMPARE(r.error, error);
        QCOMPARE(Entries(target.Path()), before); // the scratch file never stays
    }

    // Both ways must see the same thing: fully cached after a buffered write, and, where the
    // cache is not the storage itself, nothing after the flush and drop.
    void cachedShare_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<double>("afterDrop");
        QTest::newRow("ext4 folder") << int(TestTarget::Folder) << 0.0;
        QTest::newRow("tmpfs keeps its pages") << int(TestTarget::Tmpfs) << 1.0;
    }
    void cachedShare()
    {
        QFETCH(int, kind);
        QFETCH(double, afterDrop);
        TEST_TARGET_OR_SKIP(target, TestTarget::Kind(kind));
        const QString path = target.Path() + QStringLiteral("/1.tst");
        QVERIFY(SystemTest::WriteFile(path, QByteArray(1 << 20, 'x')));

        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
        QVERIFY(fd >= 0);
        const PageCacheState::Share viaCachestat = PageCacheState::ByCachestat(fd);
        const PageCacheState::Share viaMincore = PageCacheState::ByMincore(fd);
        QVERIFY(viaMincore.known);
        QCOMPARE(viaMincore.fraction, 1.0);
        if (viaCachestat.known)
            QCOMPARE(viaCachestat.fraction, 1.0);

        const bool dropped = PageCacheState::FlushAndDrop(path);
        QVERIFY(dropped);
        QCOMPARE(PageCacheState::ByMincore(fd).fraction, afterDrop);
        const PageCacheState::Share chosen = PageCacheState::OfDescriptor(fd);
        QVERIFY(chosen.known);
        QCOMPARE(chosen.fraction, afterDrop);
        QCOMPARE(int(chosen.method),
                 int(viaCachestat.known ? PageCacheState::Method::Cachestat : PageCacheState::Method::Mincore));
        ::close(fd);
    }

    void cachedShareOfNothing()
    {
        QTemporaryDir dir;
        QVERIFY(SystemTest::WriteFile(dir.filePath(QStringLiteral("empty"))));
        const PageCacheState::Share share = PageCacheState::OfFile(dir.filePath(QStringLiteral("empty")));
        QVERIFY(share.known);
        QCOMPARE(share.fraction, 0.0);
        QVERIFY(!PageCacheState::OfFile(dir.filePath(QStringLiteral("missing"))).known);
        QVERIFY(!PageCacheState::FlushAndDrop(dir.filePath(QStringLiteral("missing"))));
    }

    // Another process's lock refusing a run, and the release with the run, are the runners' own tests.
    void folderLock()
    {
        QTemporaryDir dir;
        FolderLock first, second;
        QCOMPARE(first.Take(dir.path()), FolderLock::State::Held);
        QCOMPARE(second.Take(dir.path()), FolderLock::State::Busy);
        QCOMPARE(second.error(), EWOULDBLOCK);
        // No folder to lock: the run goes on to its own check, and the lock taken before is let go.
        QCOMPARE(first.Take(dir.filePath(QStringLiteral("missing"))), FolderLock::State::Unlocked);
        QCOMPARE(first.error(), ENOENT);
        QCOMPARE(second.Take(dir.path()), FolderLock::State::Held);
    }

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
        t.ctx->chkReadFromDevice = readFromDevice;
        t.ctx->chkDisableCaching = disableCaching;
        Run(t, t.path, multiple);

        const RunRecord &r = t.ctx->Record();
        QVERIFY2(t.ctx->Log.text().contains(QStringLiteral("Ergebnis:")), qPrintable(t.ctx->Log.text()));
        QCOMPARE(r.options.readUncached, readFromDevice);
        QVERIFY(!r.directIoRefused);
        const PhaseRecord *write = r.phase(PhaseKind::Write);
        const PhaseRecord *read = r.phase(PhaseKind::Read);
        QVERIFY(write);
        QVERIFY(read);
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
    void refusedWritesAreCounted()
    {
        TEST_TARGET_OR_SKIP(sectors4k, TestTarget::Sectors4k);
        for (bool multiple : {false, true}) {
            Target t;
            Run(t, sectors4k.Path(), multiple);
            const PhaseRecord *write = t.ctx->Record().phase(PhaseKind::Write);
            QVERIFY(write);
            QCOMPARE(write->failedCalls, int64_t(2 * 1024));
            QCOMPARE(write->firstErrno, EINVAL);
            QCOMPARE(write->bytesTransferred, int64_t(0));
            for (const FileRecord &f : write->files)
                QCOMPARE(f.directIo, std::optional<bool>(true));
            const QString warning = RunWarnings::FailedWritesText(t.ctx->Record());
            QVERIFY2(warning.startsWith(QStringLiteral("2048 Schreibzugriffe sind fehlgeschlagen (")),
                     qPrintable(warning));
            // The log lines stay as they were: no word of the failures in them.
            QVERIFY(!t.ctx->Log.text().contains(QStringLiteral("fehlgeschlagen")));
        }
    }
};

QTEST_GUILESS_MAIN(TestDirectIo)
#include "tst_directio.moc"
