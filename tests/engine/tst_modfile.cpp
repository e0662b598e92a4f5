// The raw file layer, the timer and the clean-up file operations, on real files.
#include "common/EngineTestSupport.h"
#include "platform/FileOps.h"
#include "platform/TimerComponent.h"
#include "platform/modFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <fcntl.h>

using namespace modFile;

namespace {

// The open flags the kernel holds for a handle, from /proc/self/fdinfo.
int KernelFlags(int32_t handle)
{
    QFile info(QStringLiteral("/proc/self/fdinfo/%1").arg(handle - 1));
    if (!info.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : info.readAll().split('\n'))
        if (line.startsWith("flags:"))
            return line.mid(6).trimmed().toInt(nullptr, 8);
    return -1;
}

} // namespace

class TestModFile : public QObject {
    Q_OBJECT
private slots:
    void writeSizeIsThePowerOfTwoAtLeast256()
    {
        QCOMPARE(RawBlock::WriteSize(1022), 1024);
        QCOMPARE(RawBlock::WriteSize(1024), 1024);
        QCOMPARE(RawBlock::WriteSize(1025), 2048);
        QCOMPARE(RawBlock::WriteSize(10), 256);
        QCOMPARE(RawBlock::WriteSize(0), 256);
        RawBlock block;
        QVERIFY(block.SetText(QString(1022, u'x')));
        QCOMPARE(block.size(), 1024);
        QCOMPARE(QByteArray(block.data(), block.size()), EngineTest::Block());
        QCOMPARE(reinterpret_cast<quintptr>(block.data()) % 4096, quintptr(0));
        QVERIFY(!block.SetText(QString(5000, u'x')));
    }

    void handleZeroIsNoFile()
    {
        RawBlock block;
        block.SetText(QStringLiteral("abc"));
        block.setSize(77);
        QCOMPARE(ReadBlock(0, block, 1024), -1);
        QCOMPARE(block.size(), 77);
        QVERIFY(!WriteBlock(0, block));
        QVERIFY(!CloseRawFile(0, true));
        QVERIFY(!CloseRawFile(0, false));
    }

    void openFailuresGiveZero()
    {
        QTemporaryDir dir;
        QCOMPARE(OpenRawFile(dir.path() + "/missing/1.tst", GENERIC_WRITE, 0, CREATE_ALWAYS, 0), 0);
        QCOMPARE(OpenFileForRead(dir.path() + "/missing.tst", OF_READ), 0);

        // The read record holds 128 characters of path; a longer one does not open.
        const QString base = dir.path() + u'/';
        const QString fits = base + QString(128 - base.size(), u'a');
        const QString tooLong = base + QString(129 - base.size(), u'b');
        for (const QString &p : {fits, tooLong}) {
            QFile f(p);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        const int32_t h = OpenFileForRead(fits, OF_READ);
        QVERIFY(h != 0);
        QVERIFY(CloseRawFile(h, false));
        QCOMPARE(OpenFileForRead(tooLong, OF_READ), 0);
    }

    void cachingFlagsReachTheKernel()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + "/1.tst";
        struct Case {
            uint32_t flags;
            int expected;
        };
        for (const Case c : {Case{0, O_WRONLY}, Case{FILE_FLAG_NO_BUFFERING, O_WRONLY | O_DIRECT},
                             Case{FILE_FLAG_WRITE_THROUGH, O_WRONLY | O_DSYNC},
                             Case{FILE_FLAG_NO_BUFFERING + FILE_FLAG_WRITE_THROUGH, O_WRONLY | O_DIRECT | O_DSYNC}}) {
            const int32_t h = OpenRawFile(path, GENERIC_WRITE, 0, CREATE_ALWAYS, c.flags);
            QVERIFY(h != 0);
            QCOMPARE(KernelFlags(h) & (O_ACCMODE | O_DIRECT | O_DSYNC), c.expected);
            QVERIFY(CloseRawFile(h, true));
        }
        const int32_t r = OpenFileForRead(path, OF_READ);
        QCOMPARE(KernelFlags(r) & (O_ACCMODE | O_DIRECT | O_DSYNC), O_RDONLY);
        CloseRawFile(r, false);
    }

    void directWritesHoldExactlyTheBlocks()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + "/1.tst";
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(5000, 'o')); // CREATE_ALWAYS truncates what was there
        old.close();

        RawBlock block;
        block.SetText(QString(1022, u'x'));
        const int32_t h = OpenRawFile(path, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_FLAG_NO_BUFFERING);
        QVERIFY(h != 0);
        for (int i = 0; i < 3; ++i)
            QVERIFY(WriteBlock(h, block));
        QVERIFY(CloseRawFile(h, true));
        QCOMPARE(EngineTest::ReadAll(path), EngineTest::Block().repeated(3));

        // Reads give full blocks, then what is left, then 0 at the end.
        QFile tail(path);
        QVERIFY(tail.open(QIODevice::Append));
        tail.write("yz");
        tail.close();
        RawBlock in;
        const int32_t r = OpenFileForRead(path, OF_READ);
        QVERIFY(r != 0);
        QCOMPARE(ReadBlock(r, in, 1024), 1024);
        QCOMPARE(QByteArray(in.data(), in.size()), EngineTest::Block());
        QCOMPARE(ReadBlock(r, in, 1024), 1024);
        QCOMPARE(ReadBlock(r, in, 1024), 1024);
        QCOMPARE(ReadBlock(r, in, 1024), 2);
        QCOMPARE(QByteArray(in.data(), in.size()), QByteArray("yz"));
        QCOMPARE(ReadBlock(r, in, 1024), 0);
        QVERIFY(CloseRawFile(r, false));
        QVERIFY(!CloseRawFile(r, false)); // already closed
    }

    void timerReadsAndFails()
    {
        const auto timer = TimerComponent::Create();
        QVERIFY(timer);
        int32_t a = 0, b = 0;
        QVERIFY(timer->Time(a));
        QTest::qWait(20);
        QVERIFY(timer->Time(b));
        QVERIFY(TimerDifference(b, a) >= 15);
        QVERIFY(TimerDifference(b, a) < 5000);

        QVERIFY(!TimerComponent::Create([] { return std::optional<int64_t>(); }));
        int calls = 0;
        const auto flaky = TimerComponent::Create([&calls]() -> std::optional<int64_t> {
            if (++calls > 2)
                return std::nullopt;
            return 7;
        });
        QVERIFY(flaky);
        QVERIFY(flaky->Time(a));
        QVERIFY(!flaky->Time(a));

        // Readings are 32 bits and wrap; the difference stays right across the wrap.
        const auto high = TimerComponent::Create([] { return std::optional<int64_t>(0x7FFFFFFFLL + 6); });
        QVERIFY(high->Time(a));
        QCOMPARE(a, std::numeric_limits<int32_t>::min() + 5);
        QCOMPARE(TimerDifference(a, std::numeric_limits<int32_t>::max() - 4), 10);
    }

    void deletesByPatternAndByName()
    {
        QTemporaryDir dir;
        const QString d = dir.path() + u'/';
        QVERIFY(!FileOps::DeleteFiles(d, QStringLiteral("*.tst"))); // nothing to delete fails
        for (const char *name : {"1.tst", "other.tst", "keep.txt", "x.TST"}) {
            QFile f(d + name);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QVERIFY(QDir(d).mkdir(QStringLiteral("folder.tst")));
        QVERIFY(FileOps::DeleteFiles(d, QStringLiteral("*.tst")));
        QCOMPARE(EngineTest::FilesIn(d), QStringList({"keep.txt", "x.TST"}));
        QVERIFY(QDir(d + "folder.tst").exists());

        QCOMPARE(FileOps::DeleteFile(d + "keep.txt"), FileOps::DeleteResult::Deleted);
        QCOMPARE(FileOps::DeleteFile(d + "keep.txt"), FileOps::DeleteResult::Missing);
        QVERIFY(QFile::copy(d + "x.TST", d + "folder.tst/inner"));
        QCOMPARE(FileOps::DeleteFile(d + "folder.tst"), FileOps::DeleteResult::Failed);

        QVERIFY(FileOps::PathFileExists(d));
        QVERIFY(!FileOps::PathFileExists(d + "nothing/"));
        QVERIFY(!FileOps::PathFileExists(QString()));
    }

    void appendsTextAsUtf8()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + "/a.log";
        QVERIFY(FileOps::AppendTextFile(path, QStringLiteral("größer\r\n")));
        QVERIFY(FileOps::AppendTextFile(path, QStringLiteral("b\r\n")));
        QCOMPARE(EngineTest::ReadAll(path), QByteArray("gr\xc3\xb6\xc3\x9f"
                                                       "er\r\nb\r\n"));
        QVERIFY(!FileOps::AppendTextFile(dir.path() + "/no/a.log", QStringLiteral("x")));
    }
};

QTEST_GUILESS_MAIN(TestModFile)
#include "tst_modfile.moc"
