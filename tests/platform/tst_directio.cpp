// The cache bypass probe, the page-cache share and the folder lock, on real file systems.
#include "common/FaultSupport.h"
#include "common/SystemSupport.h"
#include "platform/DirectIoProbe.h"
#include "platform/FolderLock.h"
#include "platform/PageCacheState.h"
#include "platform/modFile.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QVersionNumber>
#include <QtTest>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

using FaultTest::TestTarget;

namespace {

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
    void probe_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("verdict");
        QTest::addColumn<int>("error");
        using V = DirectIoProbe::Verdict;
        QTest::newRow("ext4 folder") << int(TestTarget::Folder) << int(V::Accepted) << 0;
        // tmpfs takes O_DIRECT since Linux 6.6.
        QTest::newRow("tmpfs") << int(TestTarget::Tmpfs) << int(V::Accepted) << 0;
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
        if (TestTarget::Kind(kind) == TestTarget::Tmpfs &&
            QVersionNumber::fromString(QSysInfo::kernelVersion()) < QVersionNumber(6, 6))
            QSKIP("tmpfs without O_DIRECT");
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

    void folderLock()
    {
        QTemporaryDir dir;
        FolderLock first;
        QCOMPARE(first.Take(dir.path()), FolderLock::State::Held);
        {
            FolderLock second;
            QCOMPARE(second.Take(dir.path()), FolderLock::State::Busy);
            QCOMPARE(second.error(), EWOULDBLOCK);
        }
        // Another process sees the same lock: that is what keeps a second runner out.
        QCOMPARE(QProcess::execute(QStringLiteral("flock"), {"-n", dir.path(), "true"}), 1);
        QVERIFY(Entries(dir.path()).isEmpty());

        first.Release();
        QCOMPARE(QProcess::execute(QStringLiteral("flock"), {"-n", dir.path(), "true"}), 0);
        FolderLock again;
        QCOMPARE(again.Take(dir.path()), FolderLock::State::Held);
        // No folder to lock: the run goes on to its own check.
        QCOMPARE(again.Take(dir.filePath(QStringLiteral("missing"))), FolderLock::State::Unlocked);
        QCOMPARE(again.error(), ENOENT);
        QCOMPARE(QProcess::execute(QStringLiteral("flock"), {"-n", dir.path(), "true"}), 0); // released
    }
};

QTEST_GUILESS_MAIN(TestDirectIo)
#include "tst_directio.moc"
