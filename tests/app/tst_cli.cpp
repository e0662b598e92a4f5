// The runner's parts: strict arguments, the fio commands, the progress line and the CSV rows.
#include "app/cli/CliContext.h"
#include "app/cli/CliOptions.h"
#include "app/cli/CliRun.h"
#include "app/cli/CsvWriter.h"
#include "app/cli/FioCommand.h"
#include "app/cli/ProgressLine.h"
#include "common/SystemSupport.h"
#include "platform/SignalStop.h"

#include <QTemporaryDir>
#include <QtTest>
#include <csignal>

class TestCli : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString dir() const { return m_dir.path(); }

private slots:
    void rejectsBadArguments()
    {
        QVERIFY(QDir(dir()).mkpath("blank "));
        const QString missing = dir() + "/missing";
        // clang-format off
        const std::pair<QStringList, const char *> rows[] = {
            {{"-n", "12abc", dir()}, "count \"12abc\""}, {{"-n", "1.6", dir()}, "count \"1.6\""},
            {{"-n", "-3", dir()}, "count \"-3\""}, {{"-n", "32001", dir()}, "count \"32001\""},
            {{"-n", "0", dir()}, "count \"0\""}, {{"-n", "", dir()}, "count \"\""}, {{"-n", " 5", dir()}, "count \" 5\""},
            {{"-n", "+5", dir()}, "count \"+5\""}, {{"-s", "5 ", dir()}, "size \"5 \""},
            {{"-s", "1e3", dir()}, "size \"1e3\""}, {{"--size=99999999999", dir()}, "size"},
            {{"--json", "--csv", dir()}, "--json and --csv"}, {{"--bogus", dir()}, "Unknown option 'bogus'"},
            {{"--json=1", dir()}, "Unexpected value"}, {{"-n"}, "Missing value"}, {{}, "no folder"},
            {{dir(), dir()}, "one folder only"}, {{missing}, "does not exist"}, {{dir() + "/blank"}, "does not exist"},
            {{"--json", "-o", missing + "/r.json", dir()}, "folder of --output"},
            {{"--json", "-o", dir(), dir()}, "no file name"}, {{"-o", dir() + "/r.json", dir()}, "needs --json or --csv"},
            {{"--fio", "--csv", dir()}, "--fio"}, {{"-n", "3", "--count", "4", dir()}, "--count is given more than once"},
            {{"--json", "--json", dir()}, "--json is given more than once"},
            {{"--fill", "-n", "3", dir()}, "--fill sizes the files"}, {{"--fill", "-s", "3", dir()}, "--fill sizes"},
        };
        // clang-format on
        for (const auto &[args, problem] : rows) {
            const CliParse p = CliArgs::Parse(args);
            QVERIFY2(p.error.contains(QLatin1String(problem)), qPrintable(args.join('|') + " -> " + p.error));
        }
    }

    void fioJobsRepeatThePhases()
    {
        const QList<FioJob> single = FioCommand::Jobs({false, 3, 2, "/data", true, false});
        QCOMPARE(single.size(), 2);
        const QStringList &w = single[0].argv;
        QCOMPARE(single[0].phase, "write");
        for (const char *arg : {"--directory=/data", "--filename=1.tst:2.tst:3.tst", "--rw=write", "--bs=1k",
                                "--ioengine=sync", "--filesize=2M", "--size=6M", "--file_service_type=sequential",
                                "--openfiles=1", "--create_on_open=1", "--direct=1"})
            QVERIFY2(w.contains(arg), arg);
        QVERIFY(!w.join(' ').contains("--sync"));
        const QStringList &r = single[1].argv;
        QCOMPARE(single[1].phase, "read");
        for (const char *arg : {"--rw=read", "--direct=0", "--invalidate=0", "--unlink=1", "--filesize=2M"})
            QVERIFY2(r.contains(arg), arg);

        const QList<FioJob> multiple = FioCommand::Jobs({true, 2, 5, "/data", false, true});
        QVERIFY(multiple[0].argv.contains("--file_service_type=roundrobin"));
        QVERIFY(!multiple[0].argv.contains("--openfiles=1"));
        QVERIFY(multiple[0].argv.contains("--direct=0"));
        QVERIFY(multiple[0].argv.contains("--sync=dsync"));
        QVERIFY(multiple[1].argv.contains("--file_service_type=roundrobin"));

        // --read-uncached: O_DIRECT reads when the cache is bypassed, else reads after dropped pages.
        const QStringList direct = FioCommand::Jobs({false, 1, 1, "/d", true, false, true})[1].argv;
        QVERIFY(direct.contains("--direct=1") && direct.contains("--invalidate=0"));
        const QStringList dropped = FioCommand::Jobs({false, 1, 1, "/d", false, false, true})[1].argv;
        QVERIFY(dropped.contains("--direct=0") && dropped.contains("--invalidate=1"));

        // fio splits at colons; the shell must see one word.
        const QList<FioJob> odd = FioCommand::Jobs({false, 1, 1, "/mnt/a:b c", true, false});
        QVERIFY(odd[0].argv.contains("--directory=/mnt/a\\:b c"));
        QVERIFY(odd[0].shellLine().contains("'--directory=/mnt/a\\:b c'"));

        // One argument holds at most 128 KiB of names.
        QCOMPARE(FioCommand::Jobs({false, 10000, 1, "/d", true, false}).size(), 2);
        QVERIFY(FioCommand::Jobs({false, 32000, 1, "/d", true, false}).isEmpty());
        QVERIFY(FioCommand::Jobs({false, 0, 1, "/d", true, false}).isEmpty());
    }

    void shellQuotingSurvivesTheShell()
    {
        const QStringList words{"plain", "two words", "it's", "$HOME", "a\\:b", "`x`", "*", "", "ü"};
        QStringList quoted;
        for (const QString &w : words)
            quoted.append(FioCommand::ShellQuote(w));
        const SystemTest::Result sh = SystemTest::Run("/bin/sh", {"-c", "printf '%s\\n' " + quoted.join(' ')});
        QCOMPARE(QString::fromUtf8(sh.out), words.join('\n') + '\n');
        QCOMPARE(FioCommand::ShellQuote("--size=6M"), "--size=6M");
    }

    void progressLineFormatsAndThrottles()
    {
        QCOMPARE(ProgressLine::Format({"write", false, 3, 20, 25, 200}, 112.44, 125.4),
                 "write  file 3 of 20  25 of 200 MB  112.4 MB/s  2:05 left");
        QCOMPARE(ProgressLine::Format({"read", true, 0, 20, 0, 200}, -1, -1),
                 "read  20 files  0 of 200 MB  -- MB/s  --:-- left");

        QList<QByteArray> out;
        ProgressLine line([&](const QByteArray &b) { out.append(b); }, 250);
        line.clear();
        QVERIFY(out.isEmpty()); // nothing shown, nothing to erase
        line.update({"write", false, 1, 4, 0, 40}, 1000);
        line.update({"write", false, 1, 4, 5, 40}, 1100); // too soon
        line.update({"write", false, 2, 4, 10, 40}, 1500);
        QCOMPARE(out.size(), 2);
        QVERIFY(out[0].startsWith('\r'));
        QVERIFY(out[0].endsWith("\x1b[K"));
        // 10 MB in the half second since the last drawing; 30 MB left at 20 MB/s.
        QVERIFY2(out[1].contains("file 2 of 4  10 of 40 MB  20.0 MB/s  0:02 left"), out[1]);
        line.update({"read", false, 1, 4, 0, 40}, 1510); // a new phase draws at once
        QCOMPARE(out.size(), 3);
        QVERIFY(out[2].contains("read  file 1 of 4"));
        line.clear();
        QCOMPARE(out.last(), QByteArray("\r\x1b[K"));
        line.clear();
        QCOMPARE(out.size(), 4);
    }

    // Each option reaches the input the window would hold for it, and the folder stays as typed.
    void goodArgumentsReachTheContext()
    {
        QVERIFY(QDir(dir()).mkpath("blank "));
        SignalStop stop;
        const auto parse = [](const QStringList &args) {
            const CliParse p = CliArgs::Parse(args);
            [&] { QVERIFY2(p.error.isEmpty(), qPrintable(p.error)); }();
            return p.options;
        };
        const auto context = [&](const QStringList &args) {
            return std::make_unique<CliContext>(CliRun::HeadlessOptionsOf(parse(args), stop));
        };
        // The defaults the help names.
        const auto plain = context({dir() + "/blank "});
        QCOMPARE(plain->TargetPath(), dir() + "/blank /");
        QCOMPARE(plain->CountText(), "20");
        QCOMPARE(plain->SizeText(), "10");
        QVERIFY(plain->DisableCaching());
        QVERIFY(!plain->WriteThrough());
        QVERIFY(!plain->LightPump());
        QVERIFY(!plain->WriteLogFile());
        QVERIFY(!plain->ReadFromDevice());
        QVERIFY(!plain->VerifyData());
        const auto all = context({"-n", "32000", "--size=007", "--cache", "--write-through", "--light-pump", "--log",
                                  "--read-uncached", "--verify", dir() + "/"});
        QCOMPARE(all->TargetPath(), dir() + "/");
        QCOMPARE(all->CountText(), "32000");
        QCOMPARE(all->SizeText(), "7");
        QVERIFY(!all->DisableCaching());
        QVERIFY(all->WriteThrough());
        QVERIFY(all->LightPump());
        QVERIFY(all->WriteLogFile());
        QVERIFY(all->ReadFromDevice());
        QVERIFY(all->VerifyData());
        all->SetStopRequested(false); // no signal received: nothing else asks to stop
        QVERIFY(!all->StopRequested());

        // The switches the runner itself reads.
        const CliOptions o = parse({"--multiple", "--csv", "-o", dir() + "/r.csv", "-q", dir()});
        QVERIFY(o.multiple);
        QVERIFY(o.quiet);
        QVERIFY(o.format == OutputFormat::Csv);
        QCOMPARE(o.output, dir() + "/r.csv");
        QVERIFY(!parse({dir()}).fill);
        QVERIFY(parse({"--verify", "--fill", dir()}).fill);
    }

    // A signal caught before the run starts (during the cache probe) still ends in a stopped run.
    void signalBeforeTheRun()
    {
        const QString target = dir() + "/early";
        const QString out = dir() + "/early.json";
        QVERIFY(QDir().mkpath(target));
        const CliParse p = CliArgs::Parse({"--json", "-q", "--no-history", "-o", out, "-n", "2", "-s", "4", target});
        QVERIFY2(p.error.isEmpty(), qPrintable(p.error));
        SignalStop stop;
        ::raise(SIGTERM);
        QTRY_COMPARE(stop.received(), SIGTERM);
        QCOMPARE(CliRun::Run(p.options, stop), 128 + SIGTERM);
        QFile file(out);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const std::optional<RunRecord> rec = RunRecord::fromJsonBytes(file.readAll());
        QVERIFY(rec);
        QVERIFY(rec->outcome.status == RunStatus::Stopped);
        QVERIFY(rec->testFilesDeleted);
        QCOMPARE(SystemTest::Entries(target), QStringList());

        // A signal that lands after the run ended (during its clean-up) does not change its status.
        RunRecord ended = *rec;
        ended.outcome.status = RunStatus::Complete;
        QCOMPARE(CliRun::ExitCodeOf(ended, SIGTERM), 0);
        ended.outcome.status = RunStatus::Failed;
        QCOMPARE(CliRun::ExitCodeOf(ended, SIGHUP), 1);
    }

    void contextReadsTheBars()
    {
        const auto options = [](int count, int sizeMB, bool multiple) {
            HeadlessRunOptions o;
            o.count = QString::number(count);
            o.sizeMB = QString::number(sizeMB);
            o.multiple = multiple;
            return o;
        };
        CliContext ctx(options(4, 10, false));
        // clang-format off
        const std::tuple<double, const char *, int, double> rows[] = {
            {0, "write", 1, 0}, {25, "write", 3, 20}, {50, "write", 4, 40}, {62.5, "read", 2, 10}, {100, "read", 4, 40}};
        // clang-format on
        for (const auto &[overall, phase, file, done] : rows) {
            ctx.OverallProgress(overall);
            const ProgressState s = ctx.StateAt(overall);
            QCOMPARE(s.phase, phase);
            QCOMPARE(s.file, file);
            QCOMPARE(s.mbDone, done);
            QCOMPARE(s.mbTotal, 40.0);
        }
        QCOMPARE(CliContext(options(4, 10, true)).StateAt(25).file, 0); // all files at once
    }

    void csvRowsPerFileAndPhase()
    {
        RunRecord r = RunRecord::begin(RunKind::Single);
        for (PhaseKind kind : {PhaseKind::Write, PhaseKind::Read}) {
            PhaseRecord p;
            p.kind = kind;
            p.completed = kind == PhaseKind::Write;
            p.ms = 1500;
            p.rateMBps = 1.3333333;
            p.bytesTransferred = 2 * RunUnits::kBytesPerMB;
            p.shortCalls = 4;
            p.failedCalls = 3;
            for (int n = 1; n <= 2; ++n) {
                FileRecord f;
                f.number = n;
                f.timed = n == 1 || kind == PhaseKind::Write;
                f.ms = 500 * n;
                f.bytesTransferred = RunUnits::kBytesPerMB;
                f.shortCalls = n;
                f.failedCalls = 3 * n;
                p.files.push_back(f);
            }
            r.phases.push_back(p);
        }
        // A header, three rows a phase; a file stopped before its time was taken has no time nor rate.
        QCOMPARE(QString::fromUtf8(CsvWriter::Rows(r)).split('\n'),
                 QStringList({"kind,file,phase,bytes,milliseconds,mb_per_s,short_reads,failed_writes",
                              "single,1,write,1048576,500,2.000,0,3", "single,2,write,1048576,1000,1.000,0,6",
                              "single,all,write,2097152,1500,1.333,0,3", "single,1,read,1048576,500,2.000,1,0",
                              "single,2,read,1048576,,,2,0", "single,all,read,2097152,,1.333,4,0", ""}));

        // A profile run: its own header, a row per pass, and one for a profile that measured nothing.
        RunRecord run = RunRecord::begin(RunKind::Profile);
        run.profiles.resize(2);
        ProfileRecord &p = run.profiles[0];
        std::tie(p.name, p.spec, p.engine, p.status) =
            std::tuple("q", "rnd,read,4k,qd1", "threads", RunStatus::Complete);
        p.passes.resize(2);
        std::tie(p.passes[0].bytes, p.passes[0].ios, p.passes[0].us, p.passes[0].rateMBps, p.passes[0].iops) =
            std::tuple(8192, 2, 1000, 7.8, 2000);
        p.passes[0].latency.record(500000);
        std::tie(p.passes[1].bytes, p.passes[1].ios, p.passes[1].us, p.passes[1].rateMBps, p.passes[1].iops,
                 p.passes[1].failedCalls) = std::tuple(4096, 1, 2000, 1.953, 500, 1);
        std::tie(run.profiles[1].spec, run.profiles[1].engine, run.profiles[1].reason) =
            std::tuple("seq,write,1m", "io_uring", "no_space");
        const QStringList rows = QString::fromUtf8(CsvWriter::Rows(run)).split('\n');
        QCOMPARE(rows.value(0), "kind,profile,spec,engine,status,reason,pass,bytes,ios,microseconds,mb_per_s,iops,"
                                "failed_calls,p50_us,p99_us,max_us");
        QVERIFY2(
            rows.value(1).startsWith("profile,q,\"rnd,read,4k,qd1\",threads,complete,,1,8192,2,1000,7.800,2000,0,"),
            qPrintable(rows.value(1)));
        QCOMPARE(rows.value(2), "profile,q,\"rnd,read,4k,qd1\",threads,complete,,2,4096,1,2000,1.953,500,1,,,");
        QCOMPARE(rows.value(3), "profile,,\"seq,write,1m\",io_uring,failed,no_space,,,,,,,,,,");
        QCOMPARE(rows.size(), 5);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
