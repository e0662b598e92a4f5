// Verified runs: the block pattern itself, and test files changed between the write and the read
// phase reported block by block, in the log, the record and the summary.
#include "common/EngineTestSupport.h"
#include "engine/BlockPattern.h"
#include "engine/RunDriver.h"
#include "report/HeadlessRun.h"

#include <QtTest>
#include <cstring>
#include <functional>
#include <utility>

using namespace EngineTest;
using BlockPattern::Check;
using BlockPattern::Crc32c;
using BlockPattern::Crc32cPortable;
using BlockPattern::kBlockBytes;
using BlockPattern::kChecksumOffset;
using BlockPattern::Verdict;

namespace {

constexpr qint64 kBlock = kBlockBytes;
constexpr uint64_t kRun = 0x1234'5678'9abc'def0ull;

QByteArray PatternBlock(uint32_t file, uint64_t number, uint64_t run = kRun)
{
    QByteArray b(kBlockBytes, '\0');
    BlockPattern::Generator(run).Fill(b.data(), file, number);
    return b;
}

Check Checked(const QByteArray &b, uint32_t file, uint64_t number, int bytes = kBlockBytes)
{
    return BlockPattern::Generator(kRun).Verify(b.constData(), bytes, file, number);
}

QByteArray ReadBlockAt(const QString &path, qint64 block)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || !f.seek(block * kBlock))
        return {};
    return f.read(kBlock);
}

bool WriteBlockAt(const QString &path, qint64 block, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::ReadWrite) && f.seek(block * kBlock) && f.write(bytes) == bytes.size();
}

bool Swap(const QString &a, const QString &b)
{
    const QString aside = a + ".aside";
    return QFile::rename(a, aside) && QFile::rename(b, a) && QFile::rename(aside, b);
}

// Three files of 1 MB (1024 blocks each), the cache left on, data verified.
struct VerifiedTarget : Target {
    explicit VerifiedTarget(bool multiple) : multiple(multiple)
    {
        ctx->Txt1Text = "3";
        ctx->Txt2Text = "1";
        ctx->chkDisableCaching = false;
        ctx->chkVerifyData = true;
        // The write phase's end line comes before the read phase opens a file.
        ctx->OnLog = [this](const QString &line) {
            if (line.startsWith("Testende") && change)
                std::exchange(change, nullptr)();
        };
    }
    QString file(int n) const { return path + QString::number(n) + ".tst"; }
    void run() { multiple ? StartMultiple(*ctx) : StartSingle(*ctx); }
    QStringList verifyLines() const
    {
        return ctx->LogTextLines().filter(QRegularExpression("^Prüfung Datei |^Daten geprüft"));
    }
    bool multiple;
    std::function<void()> change; // once, between the phases
};

} // namespace

struct Expected {
    int file;
    qint64 bad;
    qint64 misplaced;
    qint64 firstOffset;
    int originFile = 0; // of the first misplaced block
    int originBlock = 0;
};
Q_DECLARE_METATYPE(Expected)

class TestVerify : public QObject {
    Q_OBJECT
private slots:
    void init() { UseGerman(); }

    void crc32cKnownValues()
    {
        // The check values of the Castagnoli CRC, also across a split input and the unaligned tail.
        QCOMPARE(Crc32c("123456789", 9), 0xE3069283u);
        QCOMPARE(Crc32c("", 0), 0u);
        const QByteArray zeros(32, '\0');
        QCOMPARE(Crc32c(zeros.constData(), 32), 0x8A9136AAu);
        const QByteArray text = QByteArrayLiteral("The quick brown fox jumps over the lazy dog");
        QCOMPARE(Crc32c(text.constData() + 10, text.size() - 10, Crc32c(text.constData(), 10)),
                 Crc32c(text.constData(), text.size()));
        for (int length : {0, 1, 7, 8, 9, 1020, 1023}) {
            const QByteArray b = PatternBlock(1, uint64_t(length)).left(length);
            QCOMPARE(Crc32cPortable(b.constData(), b.size()), Crc32c(b.constData(), b.size()));
        }

        // A block's stored checksum is the one a plain pass over its bytes gives.
        for (uint64_t run : {kRun, uint64_t(0), ~uint64_t(0)})
            for (uint32_t file : {1u, 32000u})
                for (uint64_t n : {0ull, 5ull, 32767ull * 1024}) {
                    const QByteArray b = PatternBlock(file, n, run);
                    uint32_t stored;
                    std::memcpy(&stored, b.constData() + kChecksumOffset, 4);
                    QCOMPARE(stored, Crc32cPortable(b.constData(), kChecksumOffset));
                }
    }

    void everyPlaceItsOwnContent()
    {
        QSet<QByteArray> seen;
        for (uint32_t file : {1u, 2u})
            for (uint64_t n : {0ull, 1ull, 1023ull, 1ull << 33})
                seen.insert(PatternBlock(file, n));
        seen.insert(PatternBlock(1, 0, kRun + 1));
        QCOMPARE(seen.size(), 9);
        QCOMPARE(PatternBlock(7, 9), PatternBlock(7, 9)); // the read phase can make it again

        // Incompressible: the payloads of a run of neighbours do not shrink under zlib, and the
        // whole blocks by no more than their headers.
        QByteArray blocks, payloads;
        for (uint64_t n = 0; n < 64; ++n) {
            const QByteArray b = PatternBlock(1, n);
            blocks += b;
            payloads += b.mid(20, kChecksumOffset - 20);
        }
        QVERIFY(qCompress(payloads, 9).size() > payloads.size());
        QVERIFY(qCompress(blocks, 9).size() > blocks.size() * 98 / 100);
    }

    void verdicts()
    {
        const QByteArray good = PatternBlock(2, 5);
        QCOMPARE(Checked(good, 2, 5).verdict, Verdict::Good);

        const Check moved = Checked(good, 1, 9);
        QCOMPARE(moved.verdict, Verdict::Misplaced);
        QCOMPARE(moved.originFile, 2u);
        QCOMPARE(moved.originBlock, uint64_t(5));

        QCOMPARE(Checked(good, 2, 5, 1000).verdict, Verdict::Bad); // short read
        QCOMPARE(Checked(QByteArray(kBlockBytes, 'x'), 2, 5).verdict, Verdict::Bad);
        QCOMPARE(Checked(QByteArray(kBlockBytes, '\0'), 2, 5).verdict, Verdict::Bad);
        QCOMPARE(Checked(PatternBlock(2, 5, kRun + 1), 2, 5).verdict, Verdict::Bad); // an earlier run's block

        for (int at : {0, 9, 15, 500, kChecksumOffset, kBlockBytes - 1}) {
            QByteArray flipped = good;
            flipped[at] = char(flipped[at] ^ 0x10);
            QVERIFY2(Checked(flipped, 2, 5).verdict == Verdict::Bad, qPrintable(QString::number(at)));
        }

        // Payload rewritten with a checksum made to match: the content check still sees it.
        QByteArray forged = good;
        forged[100] = char(forged[100] ^ 1);
        const uint32_t crc = Crc32c(forged.constData(), kChecksumOffset);
        std::memcpy(forged.data() + kChecksumOffset, &crc, 4);
        QCOMPARE(Checked(forged, 2, 5).verdict, Verdict::Bad);
    }

    void changedFilesAreReportedExactly_data()
    {
        QTest::addColumn<bool>("multiple");
        QTest::addColumn<int>("fault");
        QTest::addColumn<QList<Expected>>("expected"); // the files with failed blocks

        enum { None, Overwritten, CopiedWithin, CopiedAcross, CutShort, Swapped, Missing };
        for (bool multiple : {false, true}) {
            const char *kind = multiple ? "multiple" : "single";
            QTest::addRow("%s sound", kind) << multiple << int(None) << QList<Expected>{};
            QTest::addRow("%s overwritten", kind)
                << multiple << int(Overwritten) << QList<Expected>{{2, 1, 0, 5 * kBlock}};
            QTest::addRow("%s copied within a file", kind)
                << multiple << int(CopiedWithin) << QList<Expected>{{2, 0, 1, 300 * kBlock, 2, 7}};
            QTest::addRow("%s copied from another file", kind)
                << multiple << int(CopiedAcross) << QList<Expected>{{3, 0, 1, 10 * kBlock, 1, 9}};
            QTest::addRow("%s cut short", kind)
                << multiple << int(CutShort) << QList<Expected>{{2, 24, 0, 1000 * kBlock}};
            QTest::addRow("%s two files swapped", kind)
                << multiple << int(Swapped) << QList<Expected>{{1, 0, 1024, 0, 3, 0}, {3, 0, 1024, 0, 1, 0}};
        }
        // The single read phase passes over a file that does not open; all its blocks failed.
        QTest::newRow("single missing file") << false << int(Missing) << QList<Expected>{{2, 1024, 0, 0}};
    }

    void changedFilesAreReportedExactly()
    {
        QFETCH(bool, multiple);
        QFETCH(int, fault);
        QFETCH(QList<Expected>, expected);

        VerifiedTarget t(multiple);
        bool changed = true;
        const std::function<bool()> faults[] = {
            [] { return true; },
            [&] { return WriteBlockAt(t.file(2), 5, QByteArray(kBlock, 'U')); },
            [&] { return WriteBlockAt(t.file(2), 300, ReadBlockAt(t.file(2), 7)); },
            [&] { return WriteBlockAt(t.file(3), 10, ReadBlockAt(t.file(1), 9)); },
            [&] { return QFile::resize(t.file(2), 1000 * kBlock); },
            [&] { return Swap(t.file(1), t.file(3)); },
            [&] { return QFile::remove(t.file(2)); },
        };
        t.change = [&] { changed = faults[fault](); };
        t.run();
        QVERIFY(changed);
        QStringList lines;
        qint64 failed = 0;
        for (const Expected &e : expected) {
            failed += e.bad + e.misplaced;
            const QString origin =
                QString::asprintf(", der erste vertauschte aus Datei %d, Block %d", e.originFile, e.originBlock);
            lines << QString::asprintf(
                         "Prüfung Datei %d: beschädigt %lld, vertauscht %lld, erster Fehler bei Byte %lld", e.file,
                         e.bad, e.misplaced, e.firstOffset) +
                         (e.misplaced ? origin : QString());
        }
        lines << (failed ? QString("Daten geprüft: %1 Blöcke fehlerhaft!").arg(failed)
                         : QString("Daten geprüft: alle Blöcke richtig."));
        QCOMPARE(t.verifyLines(), lines);
        QCOMPARE(t.ctx->Figures.FailedBlocks, failed);
        // A short read is still reported as before, once per block.
        const qsizetype shortReads = t.ctx->LogTextLines().filter(QRegularExpression("^Checksum Error!")).size();
        QCOMPARE(shortReads, fault == 4 ? 24 : 0);

        const RunRecord &r = t.ctx->Record();
        QVERIFY(r.options.verifyData);
        QCOMPARE(toString(r.outcome.status), expected.isEmpty() ? "complete" : "failed");
        QCOMPARE(r.outcome.reason, expected.isEmpty() ? "" : "verify_failed");
        QVERIFY(r.testFilesDeleted);
        QVERIFY(FilesIn(t.path, "*.tst").isEmpty());
        const PhaseRecord *read = r.phase(PhaseKind::Read);
        QVERIFY(read);
        QCOMPARE(read->files.size(), size_t(3));
        for (const FileRecord &f : read->files) {
            VerifyCounts want; // no offset for a file without failed blocks
            for (const Expected &e : expected)
                if (e.file == f.number)
                    want = {e.bad, e.misplaced, e.firstOffset};
            QVERIFY2(f.verify == want, qPrintable(QString("file %1").arg(f.number)));
        }
        for (const FileRecord &f : r.phase(PhaseKind::Write)->files)
            QVERIFY(!f.verify);
    }

    // Each block names its run, file and place.
    void writtenBlocks()
    {
        for (bool multiple : {false, true}) {
            VerifiedTarget t(multiple);
            QByteArray first, second, other;
            t.change = [&] {
                first = ReadBlockAt(t.file(2), 0);
                second = ReadBlockAt(t.file(2), 1);
                other = ReadBlockAt(t.file(3), 1023);
            };
            t.run();
            const BlockPattern::Generator gen(t.ctx->Record().runId.toULongLong(nullptr, 16));
            for (const auto &[block, file, number] : {std::tuple{first, 2, 0}, {second, 2, 1}, {other, 3, 1023}})
                QVERIFY(gen.Verify(block.constData(), int(block.size()), file, number).verdict ==
                        BlockPattern::Verdict::Good);
        }
    }
};

QTEST_MAIN(TestVerify)
#include "tst_verify.moc"
