// The verified block: its checksum is CRC32C, every place gets its own incompressible content, and
// the check tells a damaged block from one that belongs elsewhere.
#include "engine/BlockPattern.h"

#include <QByteArray>
#include <QSet>
#include <QtTest>
#include <cstring>

using namespace BlockPattern;

namespace {
constexpr uint64_t kRun = 0x1234'5678'9abc'def0ull;

QByteArray block(uint32_t file, uint64_t number, uint64_t run = kRun)
{
    QByteArray b(kBlockBytes, '\0');
    Generator(run).Fill(b.data(), file, number);
    return b;
}

Check check(const QByteArray &b, uint32_t file, uint64_t number, int bytes = kBlockBytes)
{
    return Generator(kRun).Verify(b.constData(), bytes, file, number);
}
} // namespace

class TestBlockPattern : public QObject {
    Q_OBJECT
private slots:
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
            const QByteArray b = block(1, uint64_t(length)).left(length);
            QCOMPARE(Crc32cPortable(b.constData(), b.size()), Crc32c(b.constData(), b.size()));
        }
        QCOMPARE(Crc32cPortable("123456789", 9), 0xE3069283u);
    }

    void checksumOfTheWholeBlock()
    {
        // The checksum made from tables is the one a plain pass over the bytes gives.
        for (uint64_t run : {kRun, uint64_t(0), ~uint64_t(0)})
            for (uint32_t file : {1u, 32000u})
                for (uint64_t n : {0ull, 5ull, 32767ull * 1024})
                {
                    const QByteArray b = block(file, n, run);
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
                seen.insert(block(file, n));
        seen.insert(block(1, 0, kRun + 1));
        QCOMPARE(seen.size(), 9);
        QCOMPARE(block(7, 9), block(7, 9)); // the read phase can make it again

        // Incompressible: the payloads of a run of neighbours do not shrink under zlib, and the
        // whole blocks by no more than their headers.
        QByteArray blocks, payloads;
        for (uint64_t n = 0; n < 64; ++n) {
            const QByteArray b = block(1, n);
            blocks += b;
            payloads += b.mid(20, kChecksumOffset - 20);
        }
        QVERIFY(qCompress(payloads, 9).size() > payloads.size());
        QVERIFY(qCompress(blocks, 9).size() > blocks.size() * 98 / 100);
    }

    void verdicts()
    {
        const QByteArray good = block(2, 5);
        QCOMPARE(check(good, 2, 5).verdict, Verdict::Good);

        const Check moved = check(good, 1, 9);
        QCOMPARE(moved.verdict, Verdict::Misplaced);
        QCOMPARE(moved.originFile, 2u);
        QCOMPARE(moved.originBlock, uint64_t(5));

        QCOMPARE(check(good, 2, 5, 1000).verdict, Verdict::Bad); // short read
        QCOMPARE(check(QByteArray(kBlockBytes, 'x'), 2, 5).verdict, Verdict::Bad);
        QCOMPARE(check(QByteArray(kBlockBytes, '\0'), 2, 5).verdict, Verdict::Bad);
        QCOMPARE(check(block(2, 5, kRun + 1), 2, 5).verdict, Verdict::Bad); // an earlier run's block

        for (int at : {0, 9, 15, 500, kChecksumOffset, kBlockBytes - 1}) {
            QByteArray flipped = good;
            flipped[at] = char(flipped[at] ^ 0x10);
            QVERIFY2(check(flipped, 2, 5).verdict == Verdict::Bad, qPrintable(QString::number(at)));
        }

        // Payload rewritten with a checksum made to match: the content check still sees it.
        QByteArray forged = good;
        forged[100] = char(forged[100] ^ 1);
        const uint32_t crc = Crc32c(forged.constData(), kChecksumOffset);
        std::memcpy(forged.data() + kChecksumOffset, &crc, 4);
        QCOMPARE(check(forged, 2, 5).verdict, Verdict::Bad);
    }
};

QTEST_GUILESS_MAIN(TestBlockPattern)
#include "tst_blockpattern.moc"
