// The single test's write and read phases, headless on real folders, their log lines compared.
#include "common/EngineTestSupport.h"
#include "engine/Phases.h"

#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/wait.h>
#include <unistd.h>

using namespace EngineTest;

class TestSinglePhases : public QObject {
    Q_OBJECT
private slots:
    void init() { UseGerman(); }
    void cleanupTestCase() { UseGerman(); }

    void writeThenReadInGerman()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + u'/';
        auto ctx = MakeContext(path);
        QVERIFY(ctx->DisableCaching());

        QVERIFY(SingleWriteTest(*ctx, 2, 1, path));
        COMPARE_LINES(ctx->LogTextLines(), QStringList({
                                               "Teststart: <time>",
                                               "Erstelle 2 Dateien (2 MB)",
                                               "Datei  1...",
                                               "Zeit: 1,53 Sekunden (1532 ms)",
                                               "Datei  2...",
                                               "Zeit: 1,53 Sekunden (1532 ms)",
                                               "",
                                               "Durchschnitt: 1,53 Sek.",
                                               "Durchschnitt: ,65 MB/s",
                                               "Testende: <time>",
                                               "",
                                           }));
        // The panel was cleared before the averages.
        QVERIFY(ctx->Caption.startsWith(QStringLiteral("Durchschnitt: 1,53 Sek.\r\nDurchschnitt: ,65 MB/s\r\n")));
        QCOMPARE(ctx->Caption.count(QStringLiteral("\r\n")), 3);
        QCOMPARE(ctx->Figures.SingleWriteTime, 1.532);
        QCOMPARE(ctx->Figures.SingleWriteRate, 1 / 1.532);
        // Two files of 1024 steps: checks after step 2, then every 100th step.
        QCOMPARE(ctx->Pumps, 21);
        QCOMPARE(ctx->FileBar, 100.0);
        QCOMPARE(ctx->OverallBar, 50.0);
        QCOMPARE(ctx->OverallBarChanges, 2);

        // Written with the system cache off, every byte is there.
        for (const char *name : {"1.tst", "2.tst"})
            QVERIFY(ReadAll(path + name) == Block().repeated(1024));

        ctx->Log.clear();
        QVERIFY(SingleReadTest(*ctx, 2, 1, path));
        COMPARE_LINES(ctx->LogTextLines(), QStringList({
                                               "Lese 2MB",
                                               "Lese Datei  1",
                                               "Zeit: 1,53 Sekunden (1532 ms)",
                                               "Lese Datei  2",
                                               "Zeit: 1,53 Sekunden (1532 ms)",
                                               "Durchschnitt: 1,53 Sek.",
                                               "Durchschnitt: ,65 MB/s",
                                               "Testende: <time>",
                                               "",
                                           }));
        QCOMPARE(ctx->Figures.SingleReadRate, 1 / 1.532);
        QCOMPARE(ctx->Pumps, 42);
        // The read phase moves the bars at its checks only: the last one, after step 2002 of
        // 2048, was in the last MB of the last file.
        QCOMPARE(ctx->OverallBar, ((2 + 2 - 1) * 1 + 1) * 100.0 / 4);
        QCOMPARE(ctx->FileBar, 100.0);
    }

    void englishTextsAndNumbers()
    {
        UseEnglish();
        QTemporaryDir dir;
        const QString path = dir.path() + u'/';
        auto ctx = MakeContext(path);
        ctx->CreateTimer = [] { return SteppingTimer(2000); };
        ctx->chkDisableCaching = false; // through the cache the content is the same

        QVERIFY(SingleWriteTest(*ctx, 1, 2, path));
        QVERIFY(SingleReadTest(*ctx, 1, 2, path));
        COMPARE_LINES(ctx->LogTextLines(), QStringList({
                                               "Test start: <time>",
                                               "Creating 1 files (2 MB)",
                                               "File  1...",
                                               "Time: 2. seconds (2000 ms)",
                                               "",
                                               "Average: 2. sec.",
                                               "Average: 1. MB/s",
                                               "Test end: <time>",
                                               "",
                                               "Reading 2MB",
                                               "Reading file  1",
                                               "Time: 2. seconds (2000 ms)",
                                               "Average: 2. sec.",
                                               "Average: 1. MB/s",
                                               "Test end: <time>",
                                               "",
                                           }));
        QVERIFY(ReadAll(path + "1.tst") == Block().repeated(2048));
    }

    void stopRequestedFromInsideThePump()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + u'/';
        auto ctx = MakeContext(path);
        // The first check (after step 2) pumps; the close request it delivers is seen at the next.
        ctx->Pump = [&ctx](bool full) {
            QVERIFY(full);
            ctx->Stop = true;
        };
        ctx->Figures.SingleWriteRate = 99;
        QVERIFY(!SingleWriteTest(*ctx, 2, 1, path));
        QCOMPARE(ctx->LogTextLines().last(), QStringLiteral("Abbruch..."));
        QCOMPARE(ctx->LogTextLines().size(), 4);
        QCOMPARE(QFileInfo(path + "1.tst").size(), 102 * 1024);
        QVERIFY(!QFile::exists(path + "2.tst"));
        QCOMPARE(ctx->Figures.SingleWriteRate, 99.0);

        // The light pump is asked for when "increase test priority" is checked.
        ctx->Log.clear();
        ctx->Stop = false;
        ctx->ChkDoEvents = true;
        ctx->Pump = [&ctx](bool full) {
            QVERIFY(!full);
            ctx->Stop = true;
        };
        QFile::resize(path + "1.tst", 1024 * 1024);
        QVERIFY(!SingleReadTest(*ctx, 1, 1, path));
        QCOMPARE(ctx->LogTextLines(), QStringList({"Lese 1MB", "Lese Datei  1", "Abbruch..."}));
    }

    void timerFailuresByPlace()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + u'/';
        auto ctx = MakeContext(path);
        ctx->CreateTimer = [] { return std::unique_ptr<TimerComponent>(); };
        QVERIFY(!SingleWriteTest(*ctx, 2, 1, path));
        COMPARE_LINES(ctx->LogTextLines(), QStringList({"Teststart: <time>", "Erstelle 2 Dateien (2 MB)", "Datei  1...",
                                                        "Fehler bei der Kommunikation der Timerkomponente!"}));
        QFile::resize(path + "1.tst", 1024 * 1024);
        ctx->Log.clear();
        QVERIFY(!SingleReadTest(*ctx, 1, 1, path));
        QCOMPARE(ctx->LogTextLines(),
                 QStringList({"Lese 1MB", "Lese Datei  1", "Kann auf " + path + " nicht zugreifen!"}));

        // A clock that fails after t0: from then on the write phase's text is 7.
        auto calls = std::make_shared<int>(0);
        auto failing = MakeContext(path);
        failing->CreateTimer = [calls] {
            return TimerComponent::Create([calls]() -> std::optional<int64_t> {
                return ++*calls > 2 ? std::nullopt : std::optional<int64_t>(5);
            });
        };
        QVERIFY(!SingleWriteTest(*failing, 1, 1, path));
        QCOMPARE(failing->LogTextLines().last(), QStringLiteral("Werte dürfen nicht größer als 32000 sein!"));
    }

    void zeroMillisecondsFails()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + u'/';
        auto ctx = MakeContext(path);
        ctx->CreateTimer = [] { return SteppingTimer(0); };
        QVERIFY(!SingleWriteTest(*ctx, 2, 1, path));
        COMPARE_LINES(
            ctx->LogTextLines(),
            QStringList({"Teststart: <time>", "Erstelle 2 Dateien (2 MB)", "Datei  1...", "Zeit: , Sekunden (0 ms)",
                         "Datei  2...", "Zeit: , Sekunden (0 ms)", "Werte dürfen nicht größer als 32000 sein!"}));
        ctx->Log.clear();
        QVERIFY(!SingleReadTest(*ctx, 2, 1, path));
        QCOMPARE(ctx->LogTextLines().last(), "Kann auf " + path + " nicht zugreifen!");
        QCOMPARE(ctx->Figures.SingleWriteTime, 0.0);
    }

    void overflowAndEmptyCounts()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + u'/';
        auto ctx = MakeContext(path);
        const QString denied = "Kann auf " + path + " nicht zugreifen!";
        // count × size beyond 32 bits fails before any file is touched.
        QVERIFY(!SingleWriteTest(*ctx, 65536, 65536, path));
        COMPARE_LINES(ctx->LogTextLines(), QStringList({"Teststart: <time>", denied}));
        ctx->Log.clear();
        QVERIFY(!SingleReadTest(*ctx, 65536, 65536, path));
        QCOMPARE(ctx->LogTextLines(), QStringList({denied}));

        // No file at all: nothing was timed, so the average fails before t0's text 7 could apply.
        ctx->Log.clear();
        QVERIFY(!SingleWriteTest(*ctx, 0, 5, path));
        COMPARE_LINES(ctx->LogTextLines(), QStringList({"Teststart: <time>", "Erstelle 0 Dateien (0 MB)", denied}));
        QVERIFY(FilesIn(path).isEmpty());
        ctx->Log.clear();
        QVERIFY(!SingleReadTest(*ctx, 3, 1, path));
        QCOMPARE(ctx->LogTextLines(), QStringList({"Lese 3MB", denied}));
    }

    void shortReadsAndSkippedFiles()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + u'/';
        auto ctx = MakeContext(path);
        QVERIFY(SingleWriteTest(*ctx, 3, 1, path));
        // Half of 1.tst and all of 2.tst are gone: one checksum error per missing block, and the
        // missing file is passed over while the average still divides by three.
        QVERIFY(QFile::resize(path + "1.tst", 512 * 1024 + 100));
        QVERIFY(QFile::remove(path + "2.tst"));
        ctx->Log.clear();
        QVERIFY(SingleReadTest(*ctx, 3, 1, path));
        const QStringList lines = ctx->LogTextLines();
        QCOMPARE(lines.count(QStringLiteral("Checksum Error!")), 512);
        QCOMPARE(lines.indexOf(QStringLiteral("Checksum Error!")), 2);
        QVERIFY(!lines.contains(QStringLiteral("Lese Datei  2")));
        QVERIFY(lines.contains(QStringLiteral("Lese Datei  3")));
        QCOMPARE(ctx->Figures.SingleReadTime, 2 * 1.532 / 3);
    }

    void longPathsAreWrittenButNotRead()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + u'/' + QString(130, u'd') + u'/';
        QVERIFY(QDir().mkpath(path));
        auto ctx = MakeContext(path);
        QVERIFY(SingleWriteTest(*ctx, 1, 1, path));
        QCOMPARE(QFileInfo(path + "1.tst").size(), 1024 * 1024);
        ctx->Log.clear();
        QVERIFY(!SingleReadTest(*ctx, 1, 1, path));
        QCOMPARE(ctx->LogTextLines(), QStringList({"Lese 1MB", "Kann auf " + path + " nicht zugreifen!"}));
    }

    void targetThatFillsUp()
    {
        if (::geteuid() != 0)
            QSKIP("mounting a small tmpfs needs root");
        QTemporaryDir dir;
        const QString path = dir.path() + u'/';
        if (QProcess::execute(QStringLiteral("mount"), {"-t", "tmpfs", "-o", "size=2m", "veltaro-test", dir.path()}) !=
            0)
            QSKIP("cannot mount a tmpfs here");
        const auto unmount = qScopeGuard([&] { QProcess::execute(QStringLiteral("umount"), {dir.path()}); });

        // Writes that find no space fail unnoticed: the phase ends as usual.
        auto ctx = MakeContext(path);
        QVERIFY(SingleWriteTest(*ctx, 2, 2, path));
        const qint64 held = QFileInfo(path + "1.tst").size() + QFileInfo(path + "2.tst").size();
        QVERIFY2(held < 4 * 1024 * 1024 && held % 1024 == 0, qPrintable(QString::number(held)));
        QCOMPARE(ctx->LogTextLines().count(QStringLiteral("Zeit: 1,53 Sekunden (1532 ms)")), 2);

        // Every block that is not there reads short.
        ctx->Log.clear();
        QVERIFY(SingleReadTest(*ctx, 2, 2, path));
        QCOMPARE(ctx->LogTextLines().count(QStringLiteral("Checksum Error!")), 4096 - held / 1024);
    }

    void folderWithoutWritePermission()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + u'/';
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                              QFileDevice::ExeOther | QFileDevice::ReadGroup | QFileDevice::ExeGroup);
        int fds[2];
        QVERIFY(::pipe(fds) == 0);
        const pid_t child = ::fork();
        if (child == 0) {
            // Root ignores permissions: the phase runs as nobody, and its log comes back by pipe.
            ::close(fds[0]);
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
                ::_exit(3);
            auto ctx = MakeContext(path);
            const bool ok = SingleWriteTest(*ctx, 2, 1, path);
            const QByteArray log = ctx->Log.toUtf8();
            [[maybe_unused]] const auto written = ::write(fds[1], log.constData(), log.size());
            ::_exit(ok ? 1 : 0);
        }
        ::close(fds[1]);
        QByteArray log;
        char buf[4096];
        for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;)
            log.append(buf, n);
        ::close(fds[0]);
        int status = 0;
        ::waitpid(child, &status, 0);
        if (WIFEXITED(status) && WEXITSTATUS(status) == 3)
            QSKIP("cannot switch to an unprivileged user here");
        QCOMPARE(WEXITSTATUS(status), 0);
        QStringList lines = QString::fromUtf8(log).split(QStringLiteral("\r\n"));
        lines.removeLast();
        COMPARE_LINES(lines, QStringList({"Teststart: <time>", "Erstelle 2 Dateien (2 MB)",
                                          "Kann auf " + path + " nicht zugreifen!"}));
        QVERIFY(FilesIn(path).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSinglePhases)
#include "tst_single_phases.moc"
