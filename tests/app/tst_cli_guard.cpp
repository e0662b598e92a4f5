// The runner's answers before a run: a folder that refuses the cache bypass, a folder another run
// holds. Exit code, one line on standard error, and nothing touched.
#include "common/FaultSupport.h"
#include "platform/FolderLock.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

using FaultTest::TestTarget;

namespace {

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

Outcome Runner(const QStringList &args)
{
    QProcess p;
    p.setWorkingDirectory(QDir::tempPath()); // no language file: the built-in texts
    p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/veltaro-cli"), args);
    Outcome o;
    if (p.waitForStarted() && p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit)
        o.exitCode = p.exitCode();
    o.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    o.err = QString::fromLocal8Bit(p.readAllStandardError());
    return o;
}

} // namespace

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
        const TestTarget scratch{TestTarget::Kind(kind)};
        if (!scratch.Skip().isEmpty())
            QSKIP(qPrintable(scratch.Skip()));
        const QString target = scratch.Path();
        const FaultTest::Snapshot before = FaultTest::TakeSnapshot(target);
        // Big enough that a cached phase never takes 0 ms, which the seed counts as a failure.
        const QStringList args{"-n", "2", "-s", "8", target};

        const Outcome plain = Runner(args);
        QCOMPARE(plain.exitCode, refuses ? 1 : 0);
        if (refuses) {
            QCOMPARE(plain.out, QString());
            QCOMPARE(plain.err.count(u'\n'), 1);
            QVERIFY2(plain.err.contains(QStringLiteral("1 KB")) && plain.err.contains(QStringLiteral("--allow-cache")),
                     qPrintable(plain.err));
            QCOMPARE(FaultTest::Difference(before, FaultTest::TakeSnapshot(target)), QString());
        }
        const Outcome allowed = Runner(QStringList{"--allow-cache", "--json"} + args);
        QCOMPARE(allowed.exitCode, 0);
        QVERIFY2(allowed.err.contains(QStringLiteral("Ergebnis:")), qPrintable(allowed.out + allowed.err));
        QVERIFY(!allowed.err.contains(QStringLiteral("Checksum Error!")));
        const QJsonObject record = QJsonDocument::fromJson(allowed.out.toUtf8()).object();
        QCOMPARE(record.value(QStringLiteral("direct_io_refused")).toBool(), refuses);
        QCOMPARE(FaultTest::Difference(before, FaultTest::TakeSnapshot(target)), QString());
    }

    void failedWritesExitOne()
    {
        const TestTarget small(TestTarget::Small);
        if (!small.Skip().isEmpty())
            QSKIP(qPrintable(small.Skip()));
        const Outcome o = Runner({"-n", "2", "-s", "4", small.Path()});
        QCOMPARE(o.exitCode, 1);
        QVERIFY2(o.out.contains(QStringLiteral("Ergebnis:")), qPrintable(o.out)); // the log as it was
        QCOMPARE(o.err.count(u'\n'), 1);
        QVERIFY2(o.err.contains(QStringLiteral("Schreibzugriffe sind fehlgeschlagen")), qPrintable(o.err));
    }

    void heldFolderIsRefusedUntouched()
    {
        QTemporaryDir dir;
        QFile(dir.filePath(QStringLiteral("1.tst"))).open(QIODevice::WriteOnly); // the other run's file
        const FaultTest::Snapshot before = FaultTest::TakeSnapshot(dir.path());
        FolderLock otherRun;
        QCOMPARE(otherRun.Take(dir.path()), FolderLock::State::Held);
        for (const QString &which : {QStringLiteral("--multiple"), QStringLiteral("--cache")}) {
            const Outcome o = Runner({which, "-n", "2", "-s", "1", dir.path()});
            QCOMPARE(o.exitCode, 1);
            QCOMPARE(o.out, QString());
            QCOMPARE(o.err.count(u'\n'), 1);
            QVERIFY2(o.err.contains(dir.path()), qPrintable(o.err));
            QCOMPARE(FaultTest::Difference(before, FaultTest::TakeSnapshot(dir.path())), QString());
        }
        otherRun.Release();
        QCOMPARE(Runner({"-n", "1", "-s", "1", dir.path()}).exitCode, 0);
    }
};

QTEST_GUILESS_MAIN(TestCliGuard)
#include "tst_cli_guard.moc"
