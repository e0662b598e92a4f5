// Verified runs: test files changed between the write and the read phase are reported block by
// block, in the log, the record and the summary, by the single and the multiple test.
#include "common/EngineTestSupport.h"
#include "engine/BlockPattern.h"
#include "engine/RunDriver.h"
#include "report/HeadlessRun.h"

#include <QtTest>
#include <functional>
#include <utility>

using namespace EngineTest;

namespace {

constexpr qint64 kBlock = 1024;

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
};
Q_DECLARE_METATYPE(Expected)

class TestVerify : public QObject {
    Q_OBJECT
private slots:
    void init() { UseGerman(); }

    void changedFilesAreReportedExactly_data()
    {
        QTest::addColumn<bool>("multiple");
        QTest::addColumn<int>("fault");
        QTest::addColumn<QList<Expected>>("expected"); // the files with failed blocks
        QTest::addColumn<QStringList>("lines");

        enum { None, Overwritten, CopiedWithin, CopiedAcross, CutShort, Swapped, Missing };
        for (bool multiple : {false, true}) {
            const char *kind = multiple ? "multiple" : "single";
            QTest::addRow("%s sound", kind)
                << multiple << int(None) << QList<Expected>{} << QStringList{"Daten geprüft: alle Blöcke richtig."};
            QTest::addRow("%s overwritten", kind)
                << multiple << int(Overwritten) << QList<Expected>{{2, 1, 0, 5 * kBlock}}
                << QStringList{"Prüfung Datei 2: beschädigt 1, vertauscht 0, erster Fehler bei Byte 5120",
                               "Daten geprüft: 1 Blöcke fehlerhaft!"};
            QTest::addRow("%s copied within a file", kind)
                << multiple << int(CopiedWithin) << QList<Expected>{{2, 0, 1, 300 * kBlock}}
                << QStringList{"Prüfung Datei 2: beschädigt 0, vertauscht 1, erster Fehler bei Byte 307200, der erste "
                               "vertauschte aus Datei 2, Block 7",
                               "Daten geprüft: 1 Blöcke fehlerhaft!"};
            QTest::addRow("%s copied from another file", kind)
                << multiple << int(CopiedAcross) << QList<Expected>{{3, 0, 1, 10 * kBlock}}
                << QStringList{"Prüfung Datei 3: beschädigt 0, vertauscht 1, erster Fehler bei Byte 10240, der erste "
                               "vertauschte aus Datei 1, Block 9",
                               "Daten geprüft: 1 Blöcke fehlerhaft!"};
            QTest::addRow("%s cut short", kind)
                << multiple << int(CutShort) << QList<Expected>{{2, 24, 0, 1000 * kBlock}}
                << QStringList{"Prüfung Datei 2: beschädigt 24, vertauscht 0, erster Fehler bei Byte 1024000",
                               "Daten geprüft: 24 Blöcke fehlerhaft!"};
            QTest::addRow("%s two files swapped", kind)
                << multiple << int(Swapped) << QList<Expected>{{1, 0, 1024, 0}, {3, 0, 1024, 0}}
                << QStringList{"Prüfung Datei 1: beschädigt 0, vertauscht 1024, erster Fehler bei Byte 0, der erste "
                               "vertauschte aus Datei 3, Block 0",
                               "Prüfung Datei 3: beschädigt 0, vertauscht 1024, erster Fehler bei Byte 0, der erste "
                               "vertauschte aus Datei 1, Block 0",
                               "Daten geprüft: 2048 Blöcke fehlerhaft!"};
        }
        // The single read phase passes over a file that does not open; all its blocks failed.
        QTest::newRow("single missing file")
            << false << int(Missing) << QList<Expected>{{2, 1024, 0, 0}}
            << QStringList{"Prüfung Datei 2: beschädigt 1024, vertauscht 0, erster Fehler bei Byte 0",
                           "Daten geprüft: 1024 Blöcke fehlerhaft!"};
    }

    void changedFilesAreReportedExactly()
    {
        QFETCH(bool, multiple);
        QFETCH(int, fault);
        QFETCH(QList<Expected>, expected);
        QFETCH(QStringList, lines);

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
        QCOMPARE(t.verifyLines(), lines);
        qint64 failed = 0;
        for (const Expected &e : expected)
            failed += e.bad + e.misplaced;
        QCOMPARE(t.ctx->Figures.FailedBlocks, failed);
        // A short read is still reported as before, once per block.
        const qsizetype shortReads = t.ctx->LogTextLines().filter(QRegularExpression("^Checksum Error!")).size();
        QCOMPARE(shortReads, fault == 4 ? 24 : 0);

        const RunRecord &r = t.ctx->Record();
        QVERIFY(r.options.verifyData);
        QVERIFY(r.outcome.status == RunStatus::Complete);
        QVERIFY(r.testFilesDeleted);
        QVERIFY(FilesIn(t.path, "*.tst").isEmpty());
        const PhaseRecord *read = r.phase(PhaseKind::Read);
        QVERIFY(read);
        QCOMPARE(read->files.size(), size_t(3));
        for (const FileRecord &f : read->files) {
            QVERIFY2(f.verify, qPrintable(QString("file %1 has no counts").arg(f.number)));
            VerifyCounts want;
            for (const Expected &e : expected)
                if (e.file == f.number)
                    want = {e.bad, e.misplaced, e.firstOffset};
            // want.firstBadOffset stays empty for a file without failed blocks
            QCOMPARE(f.verify->badBlocks, want.badBlocks);
            QCOMPARE(f.verify->misplacedBlocks, want.misplacedBlocks);
            QCOMPARE(f.verify->firstBadOffset, want.firstBadOffset);
        }
        for (const FileRecord &f : r.phase(PhaseKind::Write)->files)
            QVERIFY(!f.verify);
        QCOMPARE(RunPassed(r), expected.isEmpty()); // the runner's exit status
    }

    // Each block names its run, file and place; no two blocks of a run are alike.
    void writtenBlocksCarryThePattern()
    {
        for (bool multiple : {false, true}) {
            VerifiedTarget t(multiple);
            QByteArray first, second, other;
            t.change = [&] {
                first = ReadBlockAt(t.file(2), 0);
                second = ReadBlockAt(t.file(2), 1);
                other = ReadBlockAt(t.file(3), 0);
            };
            t.run();
            const BlockPattern::Generator gen(t.ctx->Record().runId.toULongLong(nullptr, 16));
            QVERIFY(gen.Verify(first.constData(), int(first.size()), 2, 0).verdict == BlockPattern::Verdict::Good);
            QVERIFY(gen.Verify(second.constData(), int(second.size()), 2, 1).verdict == BlockPattern::Verdict::Good);
            QVERIFY(gen.Verify(other.constData(), int(other.size()), 3, 0).verdict == BlockPattern::Verdict::Good);
            QVERIFY(first != second && first != other);
        }
    }

    // Off, the files hold the classic block and the log has no verification line.
    void offLeavesTheRunAsItWas()
    {
        for (bool multiple : {false, true}) {
            VerifiedTarget t(multiple);
            t.ctx->chkVerifyData = false;
            QByteArray block;
            t.change = [&] { block = ReadBlockAt(t.file(3), 1023); };
            t.run();
            QCOMPARE(block, Block());
            QVERIFY(t.verifyLines().isEmpty());
            QVERIFY(t.ctx->LogTextLines().last().endsWith(" MB/s")); // the summary ends as it always did
        }
    }
};

QTEST_MAIN(TestVerify)
#include "tst_verify.moc"
