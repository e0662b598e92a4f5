// Both start buttons of the real window against targets that fail under the run, and a close in every
// phase: the log, the files left, a sibling untouched and a second run that works. Mounts need root.
// And what a user can type into the two number fields and the target box: every case ends in the
// program's own message or a run, within seconds, and touches nothing but the target.
#include "common/EngineTestSupport.h"
#include "common/FaultSupport.h"
#include "common/SystemSupport.h"
#include "controls/Chk1.h"
#include "controls/Cmd1.h"
#include "controls/Txt.h"
#include "platform/Version.h"
#include "platform/ui/MsgBox.h"
#include "shell/frmMain.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QtTest>
#include <sys/resource.h>
#include <sys/statvfs.h>

using namespace EngineTest;
using namespace FaultTest;

namespace {

enum class Start { Single, Multiple };

// A folder in memory when the system has one, so that big test files cost little. Containers often
// give /dev/shm only 64 MB; the runs here need a few hundred.
QString FastTempRoot()
{
    struct statvfs st {};
    const bool roomy = ::statvfs("/dev/shm", &st) == 0 && qint64(st.f_bavail) * qint64(st.f_frsize) > (512ll << 20);
    return roomy && QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm") : QDir::tempPath();
}

// A base folder holding the target and, beside it, a sibling with things a run must leave alone:
// test files, a result log, a sub-folder and a plain file.
struct Bench {
    QTemporaryDir base{FastTempRoot() + QStringLiteral("/veltaro-faults-XXXXXX")};
    QString target = base.path() + QStringLiteral("/target");
    QString sibling = base.path() + QStringLiteral("/sibling");
    Snapshot siblingBefore;
    QStringList baseBefore;

    Bench()
    {
        QDir().mkpath(target);
        for (const char *name : {"1.tst", "2.tst", "sub/3.tst", "Single_VeltaroLog_01_02_26_03_04.log", "keep.txt"})
            SystemTest::WriteFile(sibling + u'/' + QLatin1String(name), Block().repeated(3));
        siblingBefore = TakeSnapshot(sibling);
        baseBefore = Names();
    }
    QString Path() const { return target + u'/'; }
    QStringList Names() const
    {
        QStringList names = QDir(base.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        names.removeAll(QStringLiteral("target"));
        return names.filter(QRegularExpression(QStringLiteral("^(?!.*\\.img$)"))); // the device images change
    }
    // What changed outside the target folder; empty when nothing did.
    QString OutsideChanges() const
    {
        QString changes = Difference(siblingBefore, TakeSnapshot(sibling));
        if (Names() != baseBefore)
            changes += QStringLiteral("\nbase folder now holds ") + Names().join(u' ');
        return changes;
    }
};

// Done to the target or the window before or during a run; false when it could not be done.
using Change = std::function<bool(const Bench &, frmMain &)>;

QStringList TestFiles(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("*.tst")}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// The files the run's clean-up leaves besides test files: result logs, lost+found.
QStringList OtherFiles(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &tst : TestFiles(folder))
        names.removeAll(tst);
    names.removeAll(QStringLiteral("lost+found"));
    return names;
}

// The inputs are usable again and no run is going on.
bool Idle(const frmMain &w)
{
    return w.StopRequested && w.Cmd11->isEnabled() && w.Cmd12->isEnabled() && w.Cmd13->isEnabled() &&
           w.Drive1->isEnabled() && w.Txt1->isEnabled() && w.Txt2->isEnabled() && w.Chk11->isEnabled() &&
           w.ChkDoEvents->isEnabled() && w.chkDisableCaching->isEnabled() && w.chkEnableWriteThrough->isEnabled();
}

// Puts the target into Drive1, types the two values and presses the start button. Returns when the
// run is over.
void RunTest(frmMain &w, Start which, const QString &drive, const QString &count, const QString &size)
{
    w.Drive1->setEditText(drive);
    w.Txt1->setText(count);
    w.Txt2->setText(size);
    emit(which == Start::Single ? w.Cmd11 : w.Cmd12)->Click();
}

// Calls an action at every pump of a running test until it returns true: the test's way to act
// on the files or the window while the run is inside a phase.
std::unique_ptr<QTimer> PumpHook(std::function<bool()> action)
{
    auto timer = std::make_unique<QTimer>();
    QObject::connect(timer.get(), &QTimer::timeout, [t = timer.get(), action = std::move(action)] {
        if (t->isActive() && action())
            t->stop();
    });
    timer->start(0);
    return timer;
}

bool MakeFifo(const QString &path)
{
    return Run(QStringLiteral("mkfifo"), {path}) == 0;
}

const QString kText54 = QStringLiteral("Translation Error!"); // text 54 has no built-in wording

// Runs of 2 files of 1 MB that measured both phases without a failure.
const QStringList kSingle2x1 = SingleRun(2, 1, ",65", "0,652741514360313");
const QStringList kMultiple2x1 = MultiRun(2, 1, ",77", "0,766", "1,31", "1,30548302872063");

// 300 characters in three levels.
QString LongFolder()
{
    return QString(120, u'a') + u'/' + QString(120, u'b') + u'/' + QString(40, u'c');
}

// Macros, as QSKIP returns from where it stands.
#define REQUIRE_ROOT()                                                                                                 \
    if (!IsRoot())                                                                                                     \
    QSKIP("needs root to mount the target file system; run the test as root for this row")
#define REQUIRE_MOUNT(mount)                                                                                           \
    if (!(mount).Error().isEmpty())                                                                                    \
    QSKIP(qPrintable(QStringLiteral("the system refused the mount: ") + (mount).Error()))

} // namespace

class TestFaultMatrix : public QObject {
    Q_OBJECT
    QTemporaryDir config;
    QString startDir;
    std::unique_ptr<frmMain> w;
    QStringList boxes; // the message boxes shown since the window opened, as "style|title|prompt"

    // The main window as a user starts it, on German texts, with a clock that moves 1532 ms with
    // every reading so that every time line of a run is known.
    bool openWindow()
    {
        UseGerman();
        boxes.clear();
        w = std::make_unique<frmMain>();
        w->show();
        w->TimerInstance = SteppingTimer(1532);
        return QTest::qWaitForWindowExposed(w.get());
    }

    // Every row ends with nothing outside the target touched and the window able to run again, on a
    // fresh folder: both phases measured and no test file left.
    void checkAfterRun(const Bench &bench, Start which)
    {
        QVERIFY2(bench.OutsideChanges().isEmpty(), qPrintable(bench.OutsideChanges()));
        QVERIFY(Idle(*w));
        QVERIFY(w->isVisible());
        QTemporaryDir healthy(FastTempRoot() + QStringLiteral("/veltaro-healthy-XXXXXX"));
        RunTest(*w, which, healthy.path(), QStringLiteral("2"), QStringLiteral("1"));
        MATCH_LINES(w->LogText.lines(), which == Start::Single ? kSingle2x1 : kMultiple2x1);
        QCOMPARE(TestFiles(healthy.path()), QStringList());
        QVERIFY(Idle(*w));
    }

    // Runs this row in a child process, through launcher when given (setpriv ...): a row that hangs
    // is ended there.
    static void verifyInChild(const QStringList &launcher = {})
    {
        const QString function = QLatin1String(QTest::currentTestFunction());
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VELTARO_FAULT_CHILD"), QStringLiteral("1"));
        // Another user may not use the caller's home and runtime folders.
        env.insert(QStringLiteral("HOME"), QDir::tempPath());
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        const QStringList command = launcher + QStringList{QCoreApplication::applicationFilePath(),
                                                           function + u':' + QLatin1String(QTest::currentDataTag())};
        child.start(command.first(), command.mid(1));
        if (!child.waitForStarted())
            QSKIP("the child process did not start");
        const bool ended = child.waitForFinished(20000);
        if (!ended) {
            child.kill();
            child.waitForFinished();
        }
        const QString output = QString::fromLocal8Bit(child.readAll());
        QVERIFY2(ended, qPrintable("the row hung for 20 s\n" + output));
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, qPrintable(output));
        QVERIFY2(output.contains("PASS   : TestFaultMatrix::" + function + u'('), qPrintable(output));
    }

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        if (!IsRoot())
            qInfo("not root: the rows that mount a file system are skipped");
        startDir = QDir::currentPath();
        // The multiple test opens every file before it writes; a desktop session's usual limit
        // keeps a count of a thousand million from opening tens of thousands of files here.
        rlimit limit{};
        getrlimit(RLIMIT_NOFILE, &limit);
        limit.rlim_cur = std::min<rlim_t>(limit.rlim_cur, 1024);
        setrlimit(RLIMIT_NOFILE, &limit);
        // A box would wait for a user; the rows run as a user who answers Yes.
        SetMsgBoxHandler([this](const QString &prompt, int style, const QString &title) {
            boxes << QStringLiteral("%1|%2|%3").arg(style).arg(title, prompt);
            return (style & MsgBoxStyle::YesNo) == MsgBoxStyle::YesNo ? MsgBoxResult::Yes : MsgBoxResult::Ok;
        });
    }

    void init()
    {
        QVERIFY(openWindow());
        w->Chk11->setChecked(true);
    }

    void cleanup()
    {
        w.reset();
        QDir::setCurrent(startDir);
    }

    // tmpfs and ext4 fill up: the read phase reports each missing block, one box after the run the
    // failed writes. FAT through fusefat (FUSE, long names on FAT16) must simply work.
    void mountedTarget_data()
    {
        QTest::addColumn<QString>("fs");
        QTest::addColumn<Start>("which");
        QTest::addColumn<bool>("disableCaching");
        QTest::addColumn<bool>("writeThrough");
        QTest::addColumn<QStringList>("expected"); // checksum errors left out
        const QStringList fullSingle = SingleRun(2, 4, "2,61", "2,61096605744125");
        const QStringList fullMultiple = MultiRun(2, 4, ",77", "0,766", "5,22", "5,22193211488251");
        QTest::newRow("full tmpfs 2 MB, single") << "tmpfs" << Start::Single << true << false << fullSingle;
        QTest::newRow("full tmpfs 2 MB, multiple") << "tmpfs" << Start::Multiple << true << false << fullMultiple;
        QTest::newRow("full ext4 4 MB, single") << "ext4" << Start::Single << true << false << fullSingle;
        QTest::newRow("full ext4 4 MB, multiple") << "ext4" << Start::Multiple << true << false << fullMultiple;
        QTest::newRow("FAT, single, cache off") << "fat" << Start::Single << true << false << kSingle2x1;
        QTest::newRow("FAT, single, cache on, write-through") << "fat" << Start::Single << false << true << kSingle2x1;
        QTest::newRow("FAT, multiple, cache off, write-through")
            << "fat" << Start::Multiple << true << true << kMultiple2x1;
        QTest::newRow("FAT, multiple, cache on") << "fat" << Start::Multiple << false << false << kMultiple2x1;
    }
    void mountedTarget()
    {
        QFETCH(QString, fs);
        QFETCH(Start, which);
        QFETCH(bool, disableCaching);
        QFETCH(bool, writeThrough);
        QFETCH(QStringList, expected);
        REQUIRE_ROOT();
        Bench bench;
        const auto mount = fs == u"fat"    ? ScratchMount::FatImage(bench.target, bench.base.path() + "/fat.img", 16)
                           : fs == u"ext4" ? ScratchMount::Ext4OnLoop(bench.target, bench.base.path() + "/disk.img", 4,
                                                                      ScratchMount::Loop::Plain)
                                           : ScratchMount::Tmpfs(bench.target, QStringLiteral("size=2m"));
        REQUIRE_MOUNT(*mount);
        w->chkDisableCaching->setChecked(disableCaching);
        w->chkEnableWriteThrough->setChecked(writeThrough);
        const bool full = fs != u"fat";
        const int sizeMB = full ? 4 : 1, blocks = 2 * sizeMB * 1024;
        const qint64 freeBlocks = mount->FreeBytes() / 1024;

        // The blocks that really are on the disk, counted once the read phase runs.
        qint64 stored = -1;
        const auto hook = PumpHook([&] {
            if (!w->LogText.text().contains(QStringLiteral("\r\nLese ")))
                return false;
            stored = (QFileInfo(bench.Path() + "1.tst").size() + QFileInfo(bench.Path() + "2.tst").size()) / 1024;
            return true;
        });
        RunTest(*w, which, bench.target, "2", QString::number(sizeMB));

        static const QRegularExpression checksum(QStringLiteral("^Checksum Error!( \\(\\d+\\))?$"));
        QStringList lines = w->LogText.lines();
        const qsizetype missing = lines.removeIf([](const QString &line) { return checksum.match(line).hasMatch(); });
        MATCH_LINES(lines, expected);
        // One line for every block missing on the disk, and none for a block that is there.
        QCOMPARE(missing > 0, full);
        if (stored >= 0) {
            QCOMPARE(missing, blocks - stored);
        } else { // no pump in the read phase: the missing blocks are checked against the free space
            QVERIFY2(missing >= blocks - freeBlocks, qPrintable(QString::number(missing)));
            QVERIFY2(missing < blocks, qPrintable(QString::number(missing)));
        }
        if (full) {
            const PhaseRecord *write = w->LastRecord().phase(PhaseKind::Write);
            QVERIFY(write);
            QVERIFY(write->failedCalls > 0);
            QCOMPARE(write->firstErrno, ENOSPC);
            QCOMPARE(boxes.size(), 1);
            QVERIFY2(boxes[0].startsWith(QStringLiteral("%1|Veltaro|%2 Schreibzugriffe sind fehlgeschlagen (")
                                             .arg(MsgBoxStyle::Exclamation)
                                             .arg(write->failedCalls + write->shortCalls)),
                     qPrintable(boxes[0]));
        }
        // The test files went; the result log found room once they had.
        QCOMPARE(TestFiles(bench.target), QStringList());
        QCOMPARE(OtherFiles(bench.target), QStringList{QFileInfo(w->LogFileName).fileName()});
        QVERIFY(EngineTest::ReadAll(w->LogFileName).contains("\r\nErgebnis:\r\n"));
        checkAfterRun(bench, which);
    }

    // Nothing can be created: a read-only mount holding the user's own 2.tst, or a folder without write
    // permission, tried as user 65534 in a child since root may write anywhere.
    void unwritableTarget_data()
    {
        QTest::addColumn<bool>("readOnlyMount");
        QTest::addColumn<Start>("which");
        QTest::addColumn<QStringList>("last"); // the lines after the refusal
        QTest::newRow("read-only mount, single") << true << Start::Single << QStringList{kText8};
        // 1.tst never existed, so only the user's 2.tst is reported.
        QTest::newRow("read-only mount, multiple")
            << true << Start::Multiple << QStringList{"Kann Testdatei 2.tst nicht löschen!"};
        QTest::newRow("no write permission, single") << false << Start::Single << QStringList{kText8};
        QTest::newRow("no write permission, multiple") << false << Start::Multiple << QStringList();
    }
    void unwritableTarget()
    {
        QFETCH(bool, readOnlyMount);
        QFETCH(Start, which);
        QFETCH(QStringList, last);
        if (readOnlyMount) {
            REQUIRE_ROOT();
        } else if (IsRoot()) {
            return verifyInChild({"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
        }
        Bench bench;
        std::unique_ptr<ScratchMount> mount;
        const QString users = bench.Path() + "2.tst";
        if (readOnlyMount) {
            mount = ScratchMount::Tmpfs(bench.target, QStringLiteral("size=1m"));
            REQUIRE_MOUNT(*mount);
            QVERIFY(SystemTest::WriteFile(users, "the user's own file"));
            QVERIFY(mount->RemountReadOnly());
        } else {
            QVERIFY(QFile::setPermissions(bench.target, QFile::ReadOwner | QFile::ExeOwner));
        }

        RunTest(*w, which, bench.target, "2", "1");
        MATCH_LINES(w->LogText.lines(), Begin(2, 1) << "Kann auf " + bench.Path() + " nicht zugreifen!" << last);
        if (readOnlyMount)
            QCOMPARE(EngineTest::ReadAll(users), QByteArray("the user's own file"));
        QCOMPARE(OtherFiles(bench.target), QStringList());
        checkAfterRun(bench, which);
        QFile::setPermissions(bench.target, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // The target changed or a close asked for, before or under the run. The single read phase opens
    // each file when it comes to it, the multiple one all first. A link must not be written through
    // and a FIFO must not block an open (those rows run in a child, so a hang ends). A refused close
    // stops the phase; clean-up and result log still happen.
    void targetChangedOrCloseRequested_data()
    {
        QTest::addColumn<Start>("which");
        QTest::addColumn<QString>("trigger"); // the log text after which the change comes; empty: before the run
        QTest::addColumn<Change>("change");
        QTest::addColumn<QStringList>("expected");
        const Change link = [](const Bench &b, frmMain &) {
            return QFile::link(b.sibling + "/keep.txt", b.Path() + "1.tst");
        };
        const Change fifo = [](const Bench &b, frmMain &) { return MakeFifo(b.Path() + "1.tst"); };
        const Change fifoSecond = [](const Bench &b, frmMain &) {
            return QFile::remove(b.Path() + "2.tst") && MakeFifo(b.Path() + "2.tst");
        };
        const Change removeFolder = [](const Bench &b, frmMain &) { return QDir(b.target).removeRecursively(); };
        const Change close = [](const Bench &, frmMain &w) { return !w.close(); };
        const QStringList refused = Begin(3, 16) << kDenied;
        const QStringList singleWrite = SingleWrite(3, 16, "10,44");
        const QStringList multiWrite = MultiWrite(3, 16, ",51", "31,33");
        // 1.tst and 3.tst are read; the total of two files is divided by three.
        const QStringList skipsSecond =
            singleWrite + QStringList{"Lese 48MB", "Lese Datei  1", kTime, "Lese Datei  3", kTime} +
            End("1,02", "15,67") + Summary("1,532", "10,443864229765", "1,02133333333333", "15,6657963446475");

        QTest::newRow("single, link as 1.tst before") << Start::Single << QString() << link << refused;
        QTest::newRow("multiple, link as 1.tst before") << Start::Multiple << QString() << link << refused;
        QTest::newRow("single, FIFO as 1.tst before") << Start::Single << QString() << fifo << refused;
        QTest::newRow("multiple, FIFO as 1.tst before") << Start::Multiple << QString() << fifo << refused;
        QTest::newRow("single, FIFO as 2.tst between the phases") << Start::Single << "\r\nLese Datei  1\r\n"
                                                                  << fifoSecond << skipsSecond;
        // Without the folder the single run cannot open the next file and finds nothing to delete;
        // the multiple run writes on into the open files and cannot open them for reading.
        QTest::newRow("single, folder removed while written")
            << Start::Single << "Datei  1..." << removeFolder
            << Begin(3, 16) + QStringList{"Datei  1...", kTime, kText7, kText8};
        QTest::newRow("multiple, folder removed while written")
            << Start::Multiple << "Schreibe... " << removeFolder << multiWrite + QStringList{kDenied};
        QTest::newRow("single, close while written")
            << Start::Single << "Datei  1..." << close << Begin(3, 16) + QStringList{"Datei  1...", "Abbruch..."};
        QTest::newRow("single, close while read")
            << Start::Single << "Lese Datei  1" << close
            << singleWrite + QStringList{"Lese 48MB", "Lese Datei  1", "Abbruch..."};
        QTest::newRow("multiple, close while written")
            << Start::Multiple << "Schreibe... " << close << Begin(3, 16) + QStringList{"Schreibe... ", "Abbruch..."};
        QTest::newRow("multiple, close while read")
            << Start::Multiple << "\r\nLese 48MB" << close << multiWrite + QStringList{"Lese 48MB", "Abbruch..."};
    }
    void targetChangedOrCloseRequested()
    {
        QFETCH(Start, which);
        QFETCH(QString, trigger);
        QFETCH(Change, change);
        QFETCH(QStringList, expected);
        if (QString::fromLatin1(QTest::currentDataTag()).contains(QStringLiteral("FIFO")) &&
            qEnvironmentVariableIsEmpty("VELTARO_FAULT_CHILD"))
            return verifyInChild();
        Bench bench;
        w->chkDisableCaching->setChecked(false);
        int changes = 0;
        bool changed = false, folderAfterChange = true;
        const auto apply = [&] {
            ++changes;
            changed = change(bench, *w);
            folderAfterChange = QFileInfo::exists(bench.target);
            return true;
        };
        if (trigger.isEmpty())
            apply();
        const auto hook =
            PumpHook([&] { return !trigger.isEmpty() && w->LogText.text().contains(trigger) && apply(); });
        QSignalSpy finished(w.get(), &frmMain::runFinished);
        RunTest(*w, which, bench.target, "3", "16");
        QCOMPARE(changes, 1);
        QVERIFY2(changed, "the change was not made");
        expected.replaceInStrings(QStringLiteral("<path>"), bench.Path());
        MATCH_LINES(w->LogText.lines(), expected);
        // The record says what the log does.
        QCOMPARE(finished.size(), 1);
        const RunRecord record = finished[0][0].value<RunRecord>();
        const RunStatus status = expected.last() == u"Abbruch..."  ? RunStatus::Stopped
                                 : expected.contains(u"Ergebnis:") ? RunStatus::Complete
                                                                   : RunStatus::Failed;
        QVERIFY(record.outcome.status == status);
        QVERIFY(record.kind == (which == Start::Single ? RunKind::Single : RunKind::Multiple));
        QCOMPARE(TestFiles(bench.target), QStringList());
        QCOMPARE(QFileInfo::exists(bench.target), folderAfterChange); // nothing makes the folder again
        // With the folder left, the clean-up works and the whole log goes into the result log.
        if (folderAfterChange)
            QVERIFY(EngineTest::ReadAll(w->LogFileName)
                        .endsWith(
                            (w->LogText.text() + "\r\nErstellt mit Veltaro v." + ProgramVersion() + "\r\n").toUtf8()));
        checkAfterRun(bench, which);
        QVERIFY(w->close());
    }

    void typedInput_data()
    {
        QTest::addColumn<Start>("which");
        QTest::addColumn<QString>("drive");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("closeOn"); // the log text after which the window is closed
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("filesLeft"); // test files the clean-up rules leave

        const QString target = QStringLiteral("<dir>/target");
        const auto both = [&](const QString &name, const QString &drive, const QString &count, const QString &size,
                              const QStringList &single, const QStringList &multiple, const QString &closeSingle = {},
                              const QString &closeMultiple = {}, bool multipleLeaves = false) {
            QTest::newRow(qPrintable(name + ", single"))
                << Start::Single << drive << count << size << closeSingle << single << false;
            QTest::newRow(qPrintable(name + ", multiple"))
                << Start::Multiple << drive << count << size << closeMultiple << multiple << multipleLeaves;
        };

        // Values that are no 32-bit whole number end the run with text 7, in either field.
        const QStringList notNumbers{"", "   ", "2147483648", "0x10", "12abc", "١٢", "１２", "1,5e99", "inf", "nan"};
        for (const QString &value : notNumbers) {
            both("count \"" + value + "\"", target, value, "1", {kText7}, {kText7});
            both("size \"" + value + "\"", target, "1", value, {kText7}, {kText7});
        }

        // A thousand million files of 1 MB: the single test creates file after file until the
        // window is closed; the multiple test opens files until the system refuses one, and its
        // clean-up deletes nothing, since the count does not fit 16 bits.
        both("count \"1e9\"", target, "1e9", "1",
             Begin(1000000000, 1) << "Datei  1..."
                                  << "<...>"
                                  << "Abbruch...",
             Begin(1000000000, 1) << kDenied, "Datei  1...", {}, true);
        // 1e9 files of 10 MB overflow 32 bits before the first file.
        both("count \"1e9\", size 10", target, "1e9", "10", {"Teststart: <time>", kDenied, kText8},
             {"Teststart: <time>", kDenied});
        both("size \"1e9\"", target, "1", "1e9",
             Begin(1, 1000000000) << "Datei  1..."
                                  << "Abbruch...",
             Begin(1, 1000000000) << "Schreibe... "
                                  << "Abbruch...",
             "Datei  1...", "Schreibe... ");

        // Negative values are whole numbers: no file is timed for a negative count, and a
        // negative size times empty files.
        both("count \"-5\"", target, "-5", "1", Begin(-5, 1) << kDenied << kText8,
             MultiRun(-5, 1, "-,31", "-0,3064", "-3,26", "-3,26370757180157"));
        both("size \"-5\"", target, "1", "-5", SingleRun(1, -5, "-3,26", "-3,26370757180157"),
             MultiRun(1, -5, "1,53", "1,532", "-3,26", "-3,26370757180157"));
        const QStringList single = SingleRun(1, 1, ",65", "0,652741514360313");
        const QStringList multiple = MultiRun(1, 1, "1,53", "1,532", ",65", "0,652741514360313");
        // Blanks around a number are no part of it.
        both("count \" 1 \"", target, " 1 ", "1", single, multiple);

        // Targets. A device and "~" (no shell expands it) are refused with text 54; a relative folder
        // is taken from the current folder. A 300-character folder can be written, but its test
        // files have names too long to be opened for reading.
        both("target /dev/null", "/dev/null", "1", "1", {kText54}, {kText54});
        both("target ~", "~", "1", "1", {kText54}, {kText54});
        both("target relative", "target", "1", "1", single, multiple);
        const QString longDenied = QStringLiteral("Kann auf <long>/ nicht zugreifen!");
        both("target 300 characters", "<dir>/target/" + LongFolder(), "1", "1",
             SingleWrite(1, 1, ",65") << "Lese 1MB" << longDenied, MultiWrite(1, 1, "1,53", ",65") << longDenied);
    }

    void typedInput()
    {
        QFETCH(Start, which);
        QFETCH(QString, drive);
        QFETCH(QString, count);
        QFETCH(QString, size);
        QFETCH(QString, closeOn);
        QFETCH(QStringList, expected);
        QFETCH(bool, filesLeft);

        Bench bench;
        const QString longTarget = bench.Path() + LongFolder();
        QVERIFY(QDir().mkpath(longTarget));
        QVERIFY(QDir::setCurrent(bench.base.path()));
        Snapshot before = TakeSnapshot(bench.target);

        // A fresh store, and the target's folder, which holds no language file.
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tavrin")).clear();
        QVERIFY(openWindow());
        w->Drive1->setEditText(QString(drive).replace(QStringLiteral("<dir>"), bench.base.path()));
        // Typed key by key, as far as the field takes them.
        for (Txt *box : {w->Txt1, w->Txt2}) {
            const QString text = box == w->Txt1 ? count : size;
            box->setText(QString());
            // Any character, as a keyboard layout or input method hands it over.
            for (const QChar c : text)
                QTest::sendKeyEvent(QTest::Click, box->ShownBox(), Qt::Key_unknown, QString(c), Qt::NoModifier);
            QCOMPARE(box->Text(), text);
        }
        const auto closer =
            PumpHook([&] { return !closeOn.isEmpty() && w->LogText.text().contains(closeOn) && !w->close(); });

        QElapsedTimer clock;
        clock.start();
        emit(which == Start::Single ? w->Cmd11 : w->Cmd12)->Click();
        QVERIFY2(clock.elapsed() < 10000, qPrintable(QStringLiteral("the run took %1 ms").arg(clock.elapsed())));
        expected.replaceInStrings(QStringLiteral("<path>"), bench.Path())
            .replaceInStrings(QStringLiteral("<long>"), longTarget);
        MATCH_LINES(w->LogText.lines(), expected);
        QVERIFY(Idle(*w));
        QVERIFY(w->isVisible());

        // Only test files come and go, and only in the folder tested.
        for (const QString &folder : {bench.target, longTarget}) {
            const QStringList left = TestFiles(folder);
            if (!filesLeft)
                QCOMPARE(left, QStringList());
            for (const QString &name : left)
                QVERIFY(QFile::remove(folder + u'/' + name));
        }
        Snapshot after = TakeSnapshot(bench.target);
        after.remove(LongFolder()), before.remove(LongFolder()); // its time stamps change
        QCOMPARE(Difference(before, after), QString());
        QVERIFY2(bench.OutsideChanges().isEmpty(), qPrintable(bench.OutsideChanges()));
    }
};

QTEST_MAIN(TestFaultMatrix)
#include "tst_faultmatrix.moc"
