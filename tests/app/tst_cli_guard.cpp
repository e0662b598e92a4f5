// The runner's answers before a run: a folder that refuses the cache bypass, a folder another run
// holds. Exit code, one line on standard error, and nothing touched.
#include "common/FaultSupport.h"
#include "common/SystemSupport.h"
#include "platform/FolderLock.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using FaultTest::TestTarget;

using namespace SystemTest;

class TestCliGuard : public QObject {
    Q_OBJECT

private slots:
    void bypassProbe_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("refuses");
        // The window's test takes the ext4 folder and ramfs.
        QTest::newRow("tmpfs") << int(TestTarget::Tmpfs) << false;
        QTest::newRow("4096-byte sectors") << int(TestTarget::Sectors4k) << true;
    }
    void bypassProbe()
    {
        QFETCH(int, kind);
        QFETCH(bool, refuses);
        TEST_TARGET_OR_SKIP(scratch, TestTarget::Kind(kind));
        const QString target = scratch.Path();
        const FaultTest::Snapshot before = FaultTest::TakeSnapshot(target);
        // Big enough that a cached phase never takes 0 ms, which the seed counts as a failure.
        const QStringList args{"-n", "2", "-s", "8", target};

        const Result plain = RunCli(args);
        QCOMPARE(plain.code, refuses ? 1 : 0);
        if (refuses) {
            QCOMPARE(plain.out, QByteArray());
            QCOMPARE(plain.err.count('\n'), 1);
            QVERIFY2(plain.err.contains("1 KB") && plain.err.contains("--allow-cache"), plain.err.constData());
            QCOMPARE(FaultTest::Difference(before, FaultTest::TakeSnapshot(target)), QByteArray());
        }
        const Result allowed = RunCli(QStringList{"--allow-cache", "--json"} + args);
        QCOMPARE(allowed.code, 0);
        QVERIFY2(allowed.err.contains("Ergebnis:"), (allowed.out + allowed.err).constData());
        QVERIFY(!allowed.err.contains("Checksum Error!"));
        const QJsonObject record = QJsonDocument::fromJson(allowed.out).object();
        QCOMPARE(record.value("direct_io_refused").toBool(), refuses);
        QCOMPARE(FaultTest::Difference(before, FaultTest::TakeSnapshot(target)), QByteArray());
    }

    void failedWritesExitOne()
    {
        TEST_TARGET_OR_SKIP(small, TestTarget::Small);
        const Result o = RunCli({"-n", "2", "-s", "4", small.Path()});
        QCOMPARE(o.code, 1);
        QVERIFY2(o.out.contains("Ergebnis:"), o.out.constData()); // the log as it was
        QCOMPARE(o.err.count('\n'), 1);
        QVERIFY2(o.err.contains("Schreibzugriffe sind fehlgeschlagen"), o.err.constData());
    }

    void heldFolderIsRefusedUntouched()
    {
        QTemporaryDir dir;
        QFile(dir.filePath("1.tst")).open(QIODevice::WriteOnly); // the other run's file
        const FaultTest::Snapshot before = FaultTest::TakeSnapshot(dir.path());
        FolderLock otherRun;
        QCOMPARE(otherRun.Take(dir.path()), FolderLock::State::Held);
        for (const char *which : {"--multiple", "--cache"}) {
            const Result o = RunCli({which, "-n", "2", "-s", "1", dir.path()});
            QCOMPARE(o.code, 1);
            QCOMPARE(o.out, QByteArray());
            QCOMPARE(o.err.count('\n'), 1);
            QVERIFY2(o.err.contains(dir.path().toUtf8()), o.err.constData());
            QCOMPARE(FaultTest::Difference(before, FaultTest::TakeSnapshot(dir.path())), QByteArray());
        }
        otherRun.Release();
        QCOMPARE(RunCli({"-n", "1", "-s", "1", dir.path()}).code, 0);
    }
};

QTEST_GUILESS_MAIN(TestCliGuard)
#include "tst_cli_guard.moc"
