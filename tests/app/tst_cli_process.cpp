// veltaro-cli as a script sees it: exit codes, what goes to which stream, clean folders, the
// progress line on a terminal only, fio repeating the printed commands, the refusals before a run
// (a folder that refuses the cache bypass, a folder another run holds) that touch nothing, and
// stop signals in every phase, each cleaning up before the exit.
#include "common/EngineTestSupport.h"
#include "common/FaultSupport.h"
#include "common/SystemSupport.h"
#include "engine/RunRecord.h"
#include "platform/FolderLock.h"
#include "platform/Version.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <sys/stat.h>

using FaultTest::TestTarget;
using namespace SystemTest;

class TestCliProcess : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    Result cli(const QStringList &args) { return RunCli(args, m_dir.path()); }
    QString folder(const QString &name)
    {
        const QString path = m_dir.filePath(name);
        QDir().mkpath(path);
        return path;
    }

private slots:
    void exitCodesAndStreams()
    {
        const QString target = folder("codes");
        // clang-format off
        const std::tuple<QStringList, int, const char *, const char *> rows[] = {
            {{"--help"}, 0, "Exit codes:", ""},
            {{"--version"}, 0, "veltaro-cli ", ""},
            // Each refused argument ends the same way; the parser's test has the other messages.
            {{"-n", "12abc", target}, 2, "", "veltaro-cli: count \"12abc\" is not a whole number from 1 to 32000\n"},
            {{target + "/missing"}, 2, "", "does not exist"},
            // A profile that cannot run is a usage error too, told also under --quiet.
            {{"-q", "--profile", "nosuch", target}, 2, "", "veltaro-cli: Unbekanntes Profil: nosuch\n"},
            {{"--profile-spec", "bogus", target}, 2, "", "bogus\n"},
            {{"-n", "1", "-s", "1", "--profile-spec", "seq,read,8m,qd1,jobs1,1s", target}, 2, "", "Testdatei"},
            // Not a disk: the target is refused, a failed run.
            {{"-n", "1", "-s", "1", "/proc"}, 1, "Translation Error!", ""},
        };
        // clang-format on
        for (const auto &[args, code, out, err] : rows) {
            const Result r = cli(args);
            const QByteArray name = args.join(' ').toUtf8();
            QVERIFY2(r.code == code, name + " gave " + QByteArray::number(r.code));
            QVERIFY2(r.out.contains(out), name + ": " + r.out);
            QVERIFY2(*out || r.out.isEmpty(), name + ": " + r.out);
            QVERIFY2(r.err.contains(err), name + ": " + r.err);
            QVERIFY2(*err || r.err.isEmpty(), name + ": " + r.err);
        }
        // A name that is not UTF-8 is refused as such, not looked for under another name.
        const Result raw = Run("/bin/sh", {"-c", "exec \"$0\" \"$1$(printf '\\377')\"", Cli(), target});
        QCOMPARE(raw.code, 2);
        QVERIFY2(raw.err.contains("is not valid UTF-8"), raw.err);
        QCOMPARE(cli({"--version"}).out, "veltaro-cli " + ProgramVersion().toUtf8() + "\n");
        QVERIFY(Entries(target).isEmpty()); // no run left anything, and no output file was begun
    }

    // "/x " is a folder of its own: the run tests and cleans it, never its sibling "/x".
    void folderAsTypedIsTestedAndCleaned()
    {
        const QString sibling = folder("plain");
        const QString blank = folder("plain ");
        QVERIFY(WriteFile(sibling + "/7.tst", "keep"));

        const Result r = cli({"-n", "2", "-s", "4", "--cache", blank});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.contains("Ergebnis:"), r.out);
        QVERIFY2(r.out.contains(" MB/s\n"), r.out);
        QVERIFY2(r.err.isEmpty(), r.err); // no terminal: no progress line
        QVERIFY(Entries(blank).isEmpty());
        QCOMPARE(Entries(sibling), QStringList{"7.tst"});

        const Result quiet = cli({"-q", "-n", "2", "-s", "4", "--cache", "--multiple", blank});
        QCOMPARE(quiet.code, 0);
        QVERIFY(quiet.out.isEmpty());
        QVERIFY(quiet.err.isEmpty());
        QVERIFY(Entries(blank).isEmpty());
    }

    void progressOnlyOnATerminal()
    {
        const QString script = QStandardPaths::findExecutable("script");
        if (script.isEmpty())
            QSKIP("script(1) is not installed");
        const QString target = folder("progress");
        // script gives the runner a pseudo-terminal for both streams.
        const QString command = QStringLiteral("'%1' -n 2 -s 4 --cache --json -o '%2/r.json' '%2'").arg(Cli(), target);
        const Result tty = Run(script, {"-qec", command, "/dev/null"}, m_dir.path());
        QCOMPARE(tty.code, 0);
        QVERIFY2(tty.out.contains("\rwrite  file 1 of 2  "), tty.out);
        QVERIFY2(tty.out.contains("\rread  file "), tty.out);
        QVERIFY2(tty.out.contains(" MB/s  "), tty.out);
        QVERIFY2(tty.out.contains(" left\x1b[K"), tty.out);
        // Erased after its last drawing, before a log line or the end.
        const qsizetype last = tty.out.lastIndexOf(" left\x1b[K");
        QVERIFY2(tty.out.indexOf("\r\x1b[K", last) > last, tty.out.mid(last));
        // Without a terminal: folderAsTypedIsTestedAndCleaned.
    }

    // The record goes to standard output, the log to standard error, and its timed figures add up.
    void jsonRecordAddsUp()
    {
        for (const bool multiple : {false, true}) {
            const QString target = folder(multiple ? "json multiple" : "json single");
            QStringList args{"--json", "-n", "3", "-s", "4", "--cache", target};
            if (multiple)
                args.prepend("--multiple");
            const Result r = cli(args);
            QCOMPARE(r.code, 0);
            QVERIFY2(r.err.contains("Ergebnis:"), r.err);
            QString error;
            const std::optional<RunRecord> rec = RunRecord::fromJsonBytes(r.out, &error);
            QVERIFY2(rec, qPrintable(error));
            QCOMPARE(toString(rec->outcome.status), "complete");
            QCOMPARE(toString(rec->kind), multiple ? "multiple" : "single");
            QCOMPARE(rec->target, target + "/");
            QVERIFY(Entries(target).isEmpty());
            QCOMPARE(rec->phases.size(), size_t(2));
            for (const PhaseRecord &p : rec->phases) {
                QVERIFY(p.averageSeconds);
                QVERIFY(p.rateMBps);
                QCOMPARE(*p.averageSeconds, p.ms / 1000.0 / 3);
                QCOMPARE(*p.rateMBps, 4 / *p.averageSeconds);
            }
            QCOMPARE(rec->fioCommands.size(), size_t(2));
            QVERIFY(rec->fioCommands[0].argv.contains("--filename=1.tst:2.tst:3.tst"));
            QVERIFY(rec->fioCommands[1].command.startsWith("fio --name=veltaro-"));
        }
    }

    void csvAndOutputFile()
    {
        const QString target = folder("csv");
        const QString file = m_dir.filePath("rows.csv");
        const Result r = cli({"--csv", "-o", file, "-n", "3", "-s", "4", "--cache", target});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.isEmpty());
        QFile csv(file);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QList<QByteArray> rows = csv.readAll().trimmed().split('\n');
        QCOMPARE(rows.size(), 1 + 2 * 4);
        // The rows' form is the writer's test; here they reach the file, three files and a total a phase.
        QVERIFY2(rows[4].startsWith("single,all,write,12582912,"), rows[4]);
        QVERIFY2(rows[8].startsWith("single,all,read,12582912,"), rows[8]);

        // A refused target is a failed run; its record still goes out, whole.
        const QString failed = m_dir.filePath("failed.json");
        QCOMPARE(cli({"--json", "-o", failed, "/proc"}).code, 1);
        QFile json(failed);
        QVERIFY(json.open(QIODevice::ReadOnly));
        const std::optional<RunRecord> rec = RunRecord::fromJsonBytes(json.readAll());
        QVERIFY(rec);
        QVERIFY(rec->outcome.status == RunStatus::Failed);
        QCOMPARE(rec->outcome.reason, "target_refused");

        // A record the disk cannot take whole leaves the earlier file as it was: 2 KiB (four blocks of
        // 512 bytes) is less than any record and less than the buffer of the temporary file.
        QVERIFY(WriteFile(failed, "earlier"));
        const Result full = Run("/bin/sh", {"-c", "ulimit -f 4; exec \"$0\" \"$@\"", Cli(), "--json", "-o", failed,
                                            "-n", "1", "-s", "1", "--cache", folder("full")});
        QCOMPARE(full.code, 1);
        QVERIFY2(full.err.contains("cannot write"), full.err);
        QFile kept(failed);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("earlier"));
        QCOMPARE(Entries(m_dir.path()), QStringList({"failed.json", "rows.csv"}));

        // A FIFO, or the pipe behind /dev/stdout, is written into and stays what it was.
        const QString fifo = folder("fifo") + "/r.json";
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QStringList run{"--json", "-q", "-n", "1", "-s", "8", "--cache", folder("through")};
        const Result unread = cli(QStringList{"-o", fifo} + run);
        QCOMPARE(unread.code, 1);
        QVERIFY2(unread.err.contains("nothing reads from the FIFO"), unread.err);
        const Result read = Run("/bin/sh", QStringList{"-c", "cat \"$1\" & \"$0\" -o \"$@\"; wait", Cli(), fifo} + run);
        QCOMPARE(read.code, 0);
        QVERIFY2(RunRecord::fromJsonBytes(read.out), read.out);
        struct stat st {};
        QVERIFY(::stat(QFile::encodeName(fifo).constData(), &st) == 0 && S_ISFIFO(st.st_mode));
        const Result piped = cli(QStringList{"-o", "/dev/stdout"} + run);
        QCOMPARE(piped.code, 0);
        QVERIFY2(RunRecord::fromJsonBytes(piped.out), piped.out);
    }

    // The printed fio commands write the same files with the same sizes, and leave nothing.
    void fioRepeatsTheFiles()
    {
        if (QStandardPaths::findExecutable("fio").isEmpty())
            QSKIP("fio is not installed");
        for (const char *kind : {"--single", "--multiple"}) {
            const QString target = folder(QStringLiteral("fio %1").arg(kind));
            QStringList args{"--fio", "-n", "3", "-s", "1", "--cache", target};
            if (QByteArray(kind) == "--multiple")
                args.prepend(kind);
            const Result printed = cli(args);
            QCOMPARE(printed.code, 0);
            const QList<QByteArray> lines = printed.out.trimmed().split('\n');
            QCOMPARE(lines.size(), 2);

            const Result write = Run("/bin/sh", {"-c", QString::fromUtf8(lines[0])}, m_dir.path());
            QVERIFY2(write.code == 0, write.err);
            QCOMPARE(Entries(target), (QStringList{"1.tst", "2.tst", "3.tst"}));
            for (const QString &name : Entries(target))
                QCOMPARE(QFileInfo(target + "/" + name).size(), 1048576);
            const Result read = Run("/bin/sh", {"-c", QString::fromUtf8(lines[1])}, m_dir.path());
            QVERIFY2(read.code == 0, read.err);
            QVERIFY(read.out.contains("io=3072KiB"));
            QVERIFY(Entries(target).isEmpty());
        }
    }

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
        // Big enough that a cached phase never takes 0 ms, which the program counts as a failure.
        const QStringList args{"-n", "2", "-s", "8", target};

        const Result plain = cli(args);
        QCOMPARE(plain.code, refuses ? 1 : 0);
        if (refuses) {
            QCOMPARE(plain.out, QByteArray());
            QCOMPARE(plain.err.count('\n'), 1);
            QVERIFY2(plain.err.contains("1 KB"), plain.err.constData());
            QVERIFY2(plain.err.contains("--allow-cache"), plain.err.constData());
            QCOMPARE(FaultTest::Difference(before, FaultTest::TakeSnapshot(target)), QByteArray());
            const std::optional<RunRecord> rec = RunRecord::fromJsonBytes(cli(QStringList{"--json"} + args).out);
            QVERIFY(rec && rec->outcome.reason == "bypass_refused");
        }
        const Result allowed = cli(QStringList{"--allow-cache", "--json"} + args);
        QCOMPARE(allowed.code, 0);
        QVERIFY2(allowed.err.contains("Ergebnis:"), (allowed.out + allowed.err).constData());
        QVERIFY(!allowed.err.contains("Checksum Error!"));
        const QJsonObject record = QJsonDocument::fromJson(allowed.out).object();
        QCOMPARE(record.value("direct_io_refused").toBool(), refuses);
        const QJsonArray writeJob = record.value("fio_commands")[0]["argv"].toArray();
        QVERIFY(writeJob.contains(refuses ? "--direct=0" : "--direct=1"));
        QCOMPARE(FaultTest::Difference(before, FaultTest::TakeSnapshot(target)), QByteArray());
    }

    void failedWritesExitOne()
    {
        TEST_TARGET_OR_SKIP(small, TestTarget::Small);
        const Result o = cli({"-n", "2", "-s", "4", small.Path()});
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
            const Result o = cli({which, "-n", "2", "-s", "1", dir.path()});
            QCOMPARE(o.code, 1);
            QCOMPARE(o.out, QByteArray());
            QCOMPARE(o.err.count('\n'), 1);
            QVERIFY2(o.err.contains(dir.path().toUtf8()), o.err.constData());
            QCOMPARE(FaultTest::Difference(before, FaultTest::TakeSnapshot(dir.path())), QByteArray());
        }
        // With --json the refusal is still a record on standard output, for the profile test too.
        for (const QStringList &args : {QStringList{}, QStringList{"--profile", "seq1m-qd1-read"}}) {
            const Result o = cli(QStringList{"--json", "-n", "2", "-s", "1", dir.path()} + args);
            QCOMPARE(o.code, 1);
            const std::optional<RunRecord> rec = RunRecord::fromJsonBytes(o.out);
            QVERIFY2(rec, o.out.constData());
            QCOMPARE(rec->outcome.reason, "folder_busy");
            QCOMPARE(rec->outcome.path, dir.path() + "/");
        }
        otherRun.Release();
        QCOMPARE(cli({"-n", "1", "-s", "1", dir.path()}).code, 0);
    }

    void stopSignalInEachPhase_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("multiple");
        QTest::addColumn<QString>("trigger"); // the line that shows the phase has begun
        QTest::addColumn<bool>("ignored");    // as nohup leaves it: the signal must not stop the run
        for (const int sig : {SIGTERM, SIGHUP, SIGINT}) {
            const QByteArray name = sig == SIGTERM ? "TERM" : sig == SIGHUP ? "HUP" : "INT";
            QTest::newRow(name + " single write") << sig << false << QStringLiteral("Datei  1...") << false;
            QTest::newRow(name + " single read") << sig << false << QStringLiteral("Lese Datei  1") << false;
            QTest::newRow(name + " multiple write") << sig << true << QStringLiteral("Schreibe... ") << false;
            QTest::newRow(name + " multiple read") << sig << true << QStringLiteral("Lese 30MB") << false;
        }
        QTest::newRow("HUP ignored") << int(SIGHUP) << false << QStringLiteral("Datei  1...") << true;
    }

    void stopSignalInEachPhase()
    {
        QFETCH(int, signal);
        QFETCH(bool, multiple);
        QFETCH(QString, trigger);
        QFETCH(bool, ignored);
        QTemporaryDir dir;
        QStringList args{dir.path(), "--json", "-n", "3", "-s", "10"};
        if (multiple)
            args << QStringLiteral("--multiple");
        // 30 MB read from the cache can be over before the signal lands; from the device it lasts.
        if (trigger.startsWith(u"Lese"))
            args << QStringLiteral("--read-uncached");
        QProcess runner;
        if (ignored)
            runner.start("/bin/sh", QStringList{"-c", "trap '' HUP; exec \"$0\" \"$@\"", Cli()} + args);
        else
            runner.start(Cli(), args);
        QVERIFY(runner.waitForStarted());
        // With --json the log goes to standard error and the record to standard output.
        runner.setReadChannel(QProcess::StandardError);
        QByteArray out;
        while (!out.contains(trigger.toUtf8()) && runner.state() == QProcess::Running) {
            runner.waitForReadyRead(50);
            out += runner.readAllStandardError();
        }
        QVERIFY2(runner.state() == QProcess::Running, out.constData());
        ::kill(static_cast<pid_t>(runner.processId()), signal);
        QVERIFY(runner.waitForFinished(20000));
        out += runner.readAllStandardError();

        QCOMPARE(runner.exitStatus(), QProcess::NormalExit);
        QCOMPARE(EngineTest::FilesIn(dir.path(), QStringLiteral("*.tst")), QStringList());
        QString error;
        const std::optional<RunRecord> rec = RunRecord::fromJsonBytes(runner.readAllStandardOutput(), &error);
        QVERIFY2(rec, qPrintable(error));
        if (ignored) {
            QCOMPARE(runner.exitCode(), 0);
            QVERIFY(rec->outcome.status == RunStatus::Complete);
            return;
        }
        QCOMPARE(runner.exitCode(), 128 + signal);
        QVERIFY2(out.contains("Abbruch..."), out.constData());
        QVERIFY2(!out.contains("Ergebnis:"), out.constData());
        QVERIFY(rec->outcome.status == RunStatus::Stopped);
        QVERIFY(rec->testFilesDeleted);
        QVERIFY(!rec->phases.empty());
        QVERIFY(!rec->phases.back().completed);
    }

    // The window takes the same way out as its Exit command: settings saved, then 128 + signal.
    void windowEndsOnSignal()
    {
        QTemporaryDir config;
        QProcess window;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        window.setProcessEnvironment(env);
        window.setWorkingDirectory(config.path());
        window.start(QCoreApplication::applicationDirPath() + QStringLiteral("/veltaro"), {});
        QVERIFY(window.waitForStarted());
        QTest::qWait(1500);
        ::kill(static_cast<pid_t>(window.processId()), SIGHUP);
        QVERIFY(window.waitForFinished(10000));
        QCOMPARE(window.exitStatus(), QProcess::NormalExit);
        QCOMPARE(window.exitCode(), 128 + SIGHUP);
        QVERIFY(QFileInfo::exists(config.filePath(QStringLiteral("Tavrin.conf"))));
    }

    // A closed output pipe and a file size limit make writes fail; neither may kill the runner.
    void pipeAndFileSizeSignalsIgnored()
    {
        QTemporaryDir dir;
        // The limit (in 1 KB units for ulimit) is below one test file, so every file is cut short.
        const QString limited = QStringLiteral("ulimit -f 1024; \"$0\" \"$1\" -n 2 -s 2 ");
        QCOMPARE(Run("/bin/sh", {"-c", limited + "| head -c 1", Cli(), dir.path()}).code, 0); // head's status
        QCOMPARE(EngineTest::FilesIn(dir.path(), QStringLiteral("*.tst")), QStringList());
        // The refused writes make it a failed run (1), not a death by SIGXFSZ (153).
        QCOMPARE(Run("/bin/sh", {"-c", limited + ">/dev/null; echo $?", Cli(), dir.path()}).out.trimmed(), "1");
        QCOMPARE(EngineTest::FilesIn(dir.path(), QStringLiteral("*.tst")), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestCliProcess)
#include "tst_cli_process.moc"
