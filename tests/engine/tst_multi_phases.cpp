// The multiple test's write and read phases: interleaved blocks, one timed span, short reads.
#include "common/EngineTestSupport.h"
#include "engine/Phases.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/resource.h>

using namespace EngineTest;

class TestMultiPhases : public QObject {
    Q_OBJECT
private slots:
    void init() { UseGerman(); }
    void cleanupTestCase() { UseGerman(); }

    void blocksInterleaveAcrossTheFiles()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + u'/';
        auto ctx = MakeContext(path);
        // At every check each file holds the same number of blocks: one per file per round.
        QList<qint64> sizesAtFirstPump;
        ctx->Pump = [&](bool) {
            QList<qint64> sizes;
            for (int f = 1; f <= 3; ++f)
                sizes << QFileInfo(path + QString::number(f) + ".tst").size();
            if (sizesAtFirstPump.isEmpty())
                sizesAtFirstPump = sizes;
            QVERIFY(sizes[0] == sizes[1] && sizes[1] == sizes[2]);
        };
        QVERIFY(MultiWriteTest(*ctx, 3, 1, path));
        QCOMPARE(sizesAtFirstPump, QList<qint64>({2048, 2048, 2048}));
        COMPARE_LINES(ctx->LogTextLines(), QStringList({
                                               "Teststart: <time>",
                                               "Erstelle 3 Dateien (3 MB)",
                                               "Schreibe... ",
                                               "Zeit: 1,53 Sekunden (1532 ms)",
                                               "Durchschnitt: ,51 Sek.",
                                               "Durchschnitt: 1,96 MB/s",
                                               "Testende: <time>",
                                               "",
                                           }));
        QCOMPARE(ctx->Figures.MultiWriteTime, 1.532 / 3);
        QCOMPARE(ctx->Pumps, 11); // 1024 rounds
        QCOMPARE(ctx->OverallBar, 50.0);
        for (int f = 1; f <= 3; ++f)
            QVERIFY(ReadAll(path + QString::number(f) + ".tst") == Block().repeated(1024));

        ctx->Log.clear();
        QVERIFY(MultiReadTest(*ctx, 3, 1, path));
        COMPARE_LINES(ctx->LogTextLines(), QStringList({
                                               "Lese 3MB",
                                               "Zeit: 1,53 Sekunden (1532 ms)",
                                               "Durchschnitt: ,51 Sek.",
                                               "Durchschnitt: 1,96 MB/s",
                                               "Testende: <time>",
                                               "",
                                           }));
        QCOMPARE(ctx->Figures.MultiReadRate, 3 / 1.532);
        QCOMPARE(ctx->OverallBar, 100.0);
    }

    void groupedSecondsInEnglish()
    {
        UseEnglish();
        QTemporaryDir dir;
        const QString path = dir.path() + u'/';
        auto ctx = MakeContext(path);
        ctx->CreateTimer = [] { return SteppingTimer(1234500); };
        ctx->chkDisableCaching = false;
        QVERIFY(MultiWriteTest(*ctx, 2, 1, path));
        QVERIFY(MultiReadTest(*ctx, 2, 1, path));
        COMPARE_LINES(ctx->LogTextLines(), QStringList({
                                               "Test start: <time>",
                                               "Creating 2 files (2 MB)",
                                               "Writing... ",
                                               "Time: 1,234.50 seconds (1234500 ms)",
                                               "Average: 617.25 sec.",
                                               "Average: . MB/s",
                                               "Test end: <time>",
                                               "",
                                               "Reading 2MB",
                                               "Time: 1234.5 seconds (1234500 ms)",
                                               "Average: 617.25 sec.",
                                               "Average: . MB/s",
                                               "Test end: <time>",
                                               "",
                                           }));
    }

    void truncatedAndMissingFiles()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + u'/';
        auto ctx = MakeContext(path);
        ctx->chkDisableCaching = false;
        QVERIFY(MultiWriteTest(*ctx, 3, 1, path));

        // 2.tst cut to 1000 blocks: its last 24 reads return nothing.
        QVERIFY(QFile::resize(path + "2.tst", 1000 * 1024));
        ctx->Log.clear();
        QVERIFY(MultiReadTest(*ctx, 3, 1, path));
        const QStringList lines = ctx->LogTextLines();
        QCOMPARE(lines.count(QStringLiteral("Checksum Error! (0)")), 24);
        QCOMPARE(lines.indexOf(QStringLiteral("Checksum Error! (0)")), 1);

        // A block cut in half reads short once.
        QVERIFY(QFile::resize(path + "3.tst", 1023 * 1024 + 100));
        ctx->Log.clear();
        QVERIFY(MultiReadTest(*ctx, 3, 1, path));
        QCOMPARE(ctx->LogTextLines().count(QStringLiteral("Checksum Error! (100)")), 1);
        QCOMPARE(ctx->LogTextLines().count(QStringLiteral("Checksum Error! (0)")), 24);

        // A missing file ends the phase before its first line.
        const int before = OpenDescriptors();
        QVERIFY(QFile::remove(path + "2.tst"));
        ctx->Log.clear();
        QVERIFY(!MultiReadTest(*ctx, 3, 1, path));
        QCOMPARE(ctx->LogTextLines(), QStringList({"Kann auf " + path + " nicht zugreifen!"}));
        QCOMPARE(OpenDescriptors(), before);
    }

    void aFileThatCannotBeCreated()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + u'/';
        QVERIFY(QDir(path).mkdir(QStringLiteral("3.tst")));
        auto ctx = MakeContext(path);
        const int before = OpenDescriptors();
        QVERIFY(!MultiWriteTest(*ctx, 4, 1, path));
        COMPARE_LINES(ctx->LogTextLines(), QStringList({"Teststart: <time>", "Erstelle 4 Dateien (4 MB)",
                                                        "Kann auf " + path + " nicht zugreifen!"}));
        QCOMPARE(QFileInfo(path + "1.tst").size(), 0);
        QCOMPARE(QFileInfo(path + "2.tst").size(), 0);
        QVERIFY(!QFile::exists(path + "4.tst"));
        QCOMPARE(OpenDescriptors(), before);
    }

    void runningOutOfDescriptors()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + u'/';
        rlimit old{};
        QVERIFY(::getrlimit(RLIMIT_NOFILE, &old) == 0);
        const int before = OpenDescriptors();
        rlimit low = old;
        low.rlim_cur = static_cast<rlim_t>(before + 40);
        QVERIFY(::setrlimit(RLIMIT_NOFILE, &low) == 0);
        auto ctx = MakeContext(path);
        ctx->chkDisableCaching = false;
        const bool ok = MultiWriteTest(*ctx, 500, 1, path);
        const int after = OpenDescriptors();
        ::setrlimit(RLIMIT_NOFILE, &old);

        QVERIFY(!ok);
        QCOMPARE(ctx->LogTextLines().last(), "Kann auf " + path + " nicht zugreifen!");
        QCOMPARE(after, before);
        const int created = static_cast<int>(FilesIn(path, QStringLiteral("*.tst")).size());
        QVERIFY2(created > 30 && created < 45, qPrintable(QString::number(created)));
    }

    void stopRequestedFromInsideThePump()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + u'/';
        auto ctx = MakeContext(path);
        ctx->chkDisableCaching = false;
        ctx->Pump = [&ctx](bool) { ctx->Stop = true; };
        const int before = OpenDescriptors();
        QVERIFY(!MultiWriteTest(*ctx, 2, 1, path));
        COMPARE_LINES(ctx->LogTextLines(),
                      QStringList({"Teststart: <time>", "Erstelle 2 Dateien (2 MB)", "Schreibe... ", "Abbruch..."}));
        QCOMPARE(QFileInfo(path + "2.tst").size(), 102 * 1024);
        QCOMPARE(OpenDescriptors(), before);

        QVERIFY(QFile::resize(path + "1.tst", 1024 * 1024));
        QVERIFY(QFile::resize(path + "2.tst", 1024 * 1024));
        ctx->Stop = false;
        ctx->Log.clear();
        QVERIFY(!MultiReadTest(*ctx, 2, 1, path));
        QCOMPARE(ctx->LogTextLines(), QStringList({"Lese 2MB", "Abbruch..."}));
        QCOMPARE(OpenDescriptors(), before);
    }

    void failuresByPlace()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + u'/';
        const QString denied = "Kann auf " + path + " nicht zugreifen!";
        auto ctx = MakeContext(path);
        ctx->chkDisableCaching = false;
        ctx->CreateTimer = [] { return std::unique_ptr<TimerComponent>(); };
        QVERIFY(!MultiWriteTest(*ctx, 2, 1, path));
        QCOMPARE(ctx->LogTextLines().mid(2),
                 QStringList({"Schreibe... ", "Fehler bei der Kommunikation der Timerkomponente!"}));
        ctx->Log.clear();
        QVERIFY(!MultiReadTest(*ctx, 2, 1, path));
        QCOMPARE(ctx->LogTextLines(), QStringList({"Lese 2MB", denied}));

        auto still = MakeContext(path);
        still->chkDisableCaching = false;
        still->CreateTimer = [] { return SteppingTimer(0); };
        QVERIFY(!MultiWriteTest(*still, 2, 1, path));
        QCOMPARE(still->LogTextLines().mid(3),
                 QStringList({"Zeit: 0,00 Sekunden (0 ms)", "Werte dürfen nicht größer als 32000 sein!"}));
        still->Log.clear();
        QVERIFY(!MultiReadTest(*still, 2, 1, path));
        QCOMPARE(still->LogTextLines(), QStringList({"Lese 2MB", "Zeit: , Sekunden (0 ms)", denied}));

        still->Log.clear();
        QVERIFY(!MultiWriteTest(*still, 65536, 65536, path));
        COMPARE_LINES(still->LogTextLines(), QStringList({"Teststart: <time>", denied}));
    }
};

QTEST_GUILESS_MAIN(TestMultiPhases)
#include "tst_multi_phases.moc"
