// The runner under SIGTERM, SIGHUP, SIGINT, SIGPIPE and SIGXFSZ: each stop cleans up before the exit.
#include "common/EngineTestSupport.h"
#include "common/SystemSupport.h"
#include "engine/RunRecord.h"

#include <QtTest>
#include <csignal>
#include <sys/resource.h>

using namespace SystemTest;

class TestRunnerSignals : public QObject {
    Q_OBJECT
private slots:
    void stopSignalInEachPhase_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("multiple");
        QTest::addColumn<QString>("trigger"); // the line that shows the phase has begun
        for (const int sig : {SIGTERM, SIGHUP, SIGINT}) {
            const QByteArray name = sig == SIGTERM ? "TERM" : sig == SIGHUP ? "HUP" : "INT";
            QTest::newRow(name + " single write") << sig << false << QStringLiteral("Datei  1...");
            QTest::newRow(name + " single read") << sig << false << QStringLiteral("Lese Datei  1");
            QTest::newRow(name + " multiple write") << sig << true << QStringLiteral("Schreibe... ");
            QTest::newRow(name + " multiple read") << sig << true << QStringLiteral("Lese 30MB");
        }
    }

    void stopSignalInEachPhase()
    {
        QFETCH(int, signal);
        QFETCH(bool, multiple);
        QFETCH(QString, trigger);
        QTemporaryDir dir;
        QStringList args{dir.path(), "--json", "-n", "3", "-s", "10"};
        if (multiple)
            args << QStringLiteral("--multiple");
        // 30 MB read from the cache can be over before the signal lands; from the device it lasts.
        if (trigger.startsWith(u"Lese"))
            args << QStringLiteral("--read-uncached");
        QProcess runner;
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
        QCOMPARE(runner.exitCode(), 128 + signal);
        QCOMPARE(EngineTest::FilesIn(dir.path(), QStringLiteral("*.tst")), QStringList());
        QVERIFY2(out.contains("Abbruch..."), out.constData());
        QVERIFY2(!out.contains("Ergebnis:"), out.constData());
        QString error;
        const std::optional<RunRecord> rec = RunRecord::fromJsonBytes(runner.readAllStandardOutput(), &error);
        QVERIFY2(rec, qPrintable(error));
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

QTEST_GUILESS_MAIN(TestRunnerSignals)
#include "tst_runner_signals.moc"
