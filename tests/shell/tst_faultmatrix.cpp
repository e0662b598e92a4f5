// "Start Single" and "Start Multiple" on the real window against targets that fail: full, read-only,
// not writable, changed or removed under the run, FAT, and a close request in every phase. Each row
// checks the log, the test files left, a sibling folder untouched and a second run that works.
// Mounting needs root; without it those rows are skipped.
#include "common/EngineTestSupport.h"
#include "common/FaultSupport.h"
#include "controls/Chk1.h"
#include "shell/frmMain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace FaultTest;

namespace {

const QString kTime = QStringLiteral("Zeit: 1,53 Sekunden (1532 ms)"); // every span of the stepping clock
const QString kText7 = QStringLiteral("Werte dürfen nicht größer als 32000 sein!");
const QString kText8 = QStringLiteral("Kann Testdateien nicht löschen!");

// The single write phase of count files, every one timed 1532 ms.
QStringList SingleWriteLines(int count, int sizeMB, const QString &rate)
{
    QStringList lines{QStringLiteral("Teststart: <time>"),
                      QStringLiteral("Erstelle %1 Dateien (%2 MB)").arg(count).arg(count * sizeMB)};
    for (int f = 1; f <= count; ++f)
        lines << QStringLiteral("Datei  %1...").arg(f) << kTime;
    return lines << QString() << QStringLiteral("Durchschnitt: 1,53 Sek.") << "Durchschnitt: " + rate + " MB/s"
                 << QStringLiteral("Testende: <time>") << QString();
}

QStringList MultiWriteLines(int count, int sizeMB, const QString &average, const QString &rate)
{
    return {QStringLiteral("Teststart: <time>"),
            QStringLiteral("Erstelle %1 Dateien (%2 MB)").arg(count).arg(count * sizeMB),
            QStringLiteral("Schreibe... "),
            kTime,
            "Durchschnitt: " + average + " Sek.",
            "Durchschnitt: " + rate + " MB/s",
            QStringLiteral("Testende: <time>"),
            QString()};
}

QStringList Summary(const QString &writeTime, const QString &writeRate, const QString &readTime,
                    const QString &readRate)
{
    return {QStringLiteral("Ergebnis:"), "Schreibzeit: " + writeTime + " Sek.", writeRate + " MB/s",
            "Lesezeit: " + readTime + " Sek.", readRate + " MB/s"};
}

// A base folder holding the target and, beside it, a sibling with things a run must leave alone:
// test files, a result log and a sub-folder.
struct Bench {
    QTemporaryDir base{FastTempRoot() + QStringLiteral("/veltaro-faults-XXXXXX")};
    QString target = base.path() + QStringLiteral("/target");
    QString sibling = base.path() + QStringLiteral("/sibling");
    Snapshot siblingBefore;
    QStringList baseBefore;

    Bench()
    {
        QDir().mkpath(target);
        QDir().mkpath(sibling + QStringLiteral("/sub"));
        const QByteArray block = EngineTest::Block();
        for (const char *name : {"1.tst", "2.tst", "sub/3.tst", "Single_VeltaroLog_01_02_26_03_04.log", "keep.txt"}) {
            QFile file(sibling + u'/' + QLatin1String(name));
            if (file.open(QIODevice::WriteOnly))
                file.write(block.repeated(3));
        }
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

// The files the run's clean-up leaves besides test files: result logs, lost+found.
QStringList OtherFiles(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &tst : TestFiles(folder))
        names.removeAll(tst);
    names.removeAll(QStringLiteral("lost+found"));
    return names;
}

// Skips the row (from the test function itself, as QSKIP returns from where it stands).
#define REQUIRE_ROOT()                                                                                                 \
    if (!IsRoot())                                                                                                     \
    QSKIP("needs root to mount the target file system; run the test as root for this row")
#define REQUIRE_MOUNT(mount)                                                                                           \
    if (!(mount).Error().isEmpty())                                                                                    \
    QSKIP(qPrintable(QStringLiteral("the system refused the mount: ") + (mount).Error()))

QString Row(const char *what, qint64 ms)
{
    return QStringLiteral("%1: %2 ms").arg(QLatin1String(what)).arg(ms);
}

} // namespace

class TestFaultMatrix : public QObject {
    Q_OBJECT
    QTemporaryDir config;
    std::unique_ptr<frmMain> w;

    // The checks every row ends with: nothing outside the target touched, the window idle again
    // and able to run once more.
    void checkAfterRun(const Bench &bench, Start which)
    {
        QVERIFY2(bench.OutsideChanges().isEmpty(), qPrintable(bench.OutsideChanges()));
        QVERIFY(Idle(*w));
        QVERIFY(w->isVisible());
        const QString problem = SecondRunProblem(*w, which);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        if (!IsRoot())
            qInfo("not root: the rows that mount a file system are skipped");
    }

    void init()
    {
        w = OpenWindow();
        QVERIFY(w);
        w->Chk11->setChecked(true);
    }

    void cleanup() { w.reset(); }

    // A target that fills up in the write phase: the failed writes go unnoticed there, and the read
    // phase reports every block that is missing.
    void fullTarget_data()
    {
        QTest::addColumn<bool>("ext4");
        QTest::addColumn<Start>("which");
        QTest::newRow("tmpfs 2 MB, single") << false << Start::Single;
        QTest::newRow("tmpfs 2 MB, multiple") << false << Start::Multiple;
        QTest::newRow("ext4 image 4 MB, single") << true << Start::Single;
        QTest::newRow("ext4 image 4 MB, multiple") << true << Start::Multiple;
    }
    void fullTarget()
    {
        QFETCH(bool, ext4);
        QFETCH(Start, which);
        REQUIRE_ROOT();
        Bench bench;
        const auto mount = ext4 ? ScratchMount::Ext4Image(bench.target, bench.base.path() + "/disk.img", 4)
                                : ScratchMount::Tmpfs(bench.target, QStringLiteral("size=2m"));
        REQUIRE_MOUNT(*mount);
        const qint64 freeBlocks = mount->FreeBytes() / 1024;
        const int count = 2, sizeMB = 4, blocks = count * sizeMB * 1024;

        // The blocks that really are on the disk, counted once the read phase runs.
        qint64 stored = -1;
        PumpHook hook([&] {
            if (!w->LogText.text().contains(QStringLiteral("\r\nLese ")))
                return false;
            stored = 0;
            for (int f = 1; f <= count; ++f)
                stored += QFileInfo(bench.Path() + QString::number(f) + ".tst").size() / 1024;
            return true;
        });
        qInfo() << Row(QTest::currentDataTag(), RunTest(*w, which, bench.target, "2", "4"));

        static const QRegularExpression checksum(QStringLiteral("^Checksum Error!( \\(\\d+\\))?$"));
        QStringList lines = LoggedLines(*w);
        const qsizetype errors = lines.size();
        lines.removeIf([](const QString &line) { return checksum.match(line).hasMatch(); });
        const qsizetype missing = errors - lines.size();
        const QStringList expected =
            which == Start::Single
                ? SingleWriteLines(count, sizeMB, "2,61") +
                      QStringList{"Lese 8MB",
                                  "Lese Datei  1",
                                  kTime,
                                  "Lese Datei  2",
                                  kTime,
                                  "Durchschnitt: 1,53 Sek.",
                                  "Durchschnitt: 2,61 MB/s",
                                  "Testende: <time>",
                                  ""} +
                      Summary("1,532", "2,61096605744125", "1,532", "2,61096605744125")
                : MultiWriteLines(count, sizeMB, ",77", "5,22") +
                      QStringList{"Lese 8MB",         kTime, "Durchschnitt: ,77 Sek.", "Durchschnitt: 5,22 MB/s",
                                  "Testende: <time>", ""} +
                      Summary("0,766", "5,22193211488251", "0,766", "5,22193211488251");
        MATCH_LINES(lines, expected);
        // Writes that never reached the disk are reported, one line per missing block.
        if (stored >= 0) {
            QCOMPARE(missing, blocks - stored);
        } else {
            qInfo("no pump in the read phase: the missing blocks are checked against the free space");
            QVERIFY2(missing >= blocks - freeBlocks && missing < blocks, qPrintable(QString::number(missing)));
        }
        QVERIFY(missing > 0);
        // The test files went; the result log found room once they had.
        QCOMPARE(TestFiles(bench.target), QStringList());
        QCOMPARE(OtherFiles(bench.target), QStringList{QFileInfo(w->LogFileName).fileName()});
        checkAfterRun(bench, which);
    }

    // A read-only target that holds a user's 2.tst: nothing can be created, and nothing deleted.
    void readOnlyTarget_data()
    {
        QTest::addColumn<Start>("which");
        QTest::addColumn<QStringList>("expected");
        const QStringList start{"Teststart: <time>", "Erstelle 2 Dateien (2 MB)", "Kann auf <path> nicht zugreifen!"};
        QTest::newRow("single") << Start::Single << start + QStringList{kText8};
        // 1.tst never existed, so only 2.tst is reported.
        QTest::newRow("multiple") << Start::Multiple << start + QStringList{"Kann Testdatei 2.tst nicht löschen!"};
    }
    void readOnlyTarget()
    {
        QFETCH(Start, which);
        QFETCH(QStringList, expected);
        REQUIRE_ROOT();
        Bench bench;
        const auto mount = ScratchMount::Tmpfs(bench.target, QStringLiteral("size=1m"));
        REQUIRE_MOUNT(*mount);
        QFile users(bench.Path() + "2.tst");
        QVERIFY(users.open(QIODevice::WriteOnly) && users.write("the user's own file") > 0);
        users.close();
        QVERIFY(mount->RemountReadOnly());

        qInfo() << Row(QTest::currentDataTag(), RunTest(*w, which, bench.target, "2", "1"));
        expected.replaceInStrings(QStringLiteral("<path>"), bench.Path());
        MATCH_LINES(LoggedLines(*w), expected);
        QCOMPARE(EngineTest::ReadAll(bench.Path() + "2.tst"), QByteArray("the user's own file"));
        QCOMPARE(OtherFiles(bench.target), QStringList());
        checkAfterRun(bench, which);
    }

    // A folder the user may not write. Root may write anywhere, so as root the row runs in a child
    // process as the unprivileged user 65534.
    void noWritePermission()
    {
        if (IsRoot()) {
            const ChildRow child = RunRowInChild(QStringLiteral("noWritePermission"),
                                                 {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
            if (!child.started)
                QSKIP("setpriv is missing: cannot run the row as an unprivileged user");
            QVERIFY2(child.passed, qPrintable(child.output));
            return;
        }
        Bench bench;
        QVERIFY(QFile::setPermissions(bench.target, QFile::ReadOwner | QFile::ExeOwner));
        const QString denied = "Kann auf " + bench.Path() + " nicht zugreifen!";

        qInfo() << Row("single", RunTest(*w, Start::Single, bench.target, "2", "1"));
        MATCH_LINES(LoggedLines(*w), QStringList({"Teststart: <time>", "Erstelle 2 Dateien (2 MB)", denied, kText8}));
        checkAfterRun(bench, Start::Single);

        qInfo() << Row("multiple", RunTest(*w, Start::Multiple, bench.target, "2", "1"));
        MATCH_LINES(LoggedLines(*w), QStringList({"Teststart: <time>", "Erstelle 2 Dateien (2 MB)", denied}));
        QCOMPARE(OtherFiles(bench.target), QStringList());
        checkAfterRun(bench, Start::Multiple);
        QFile::setPermissions(bench.target, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // Test files deleted or cut short after they were written and before they are read. The single
    // read phase opens each file when it comes to it, so acting while it reads 1.tst is acting
    // between the phases for 2.tst and 3.tst. The multiple read phase opens every file first, so a
    // file cut while it reads is read short; a file deleted during the write phase has no name left
    // when the read phase opens it.
    void filesChangedBetweenPhases_data()
    {
        QTest::addColumn<Start>("which");
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<bool>("deleteSecond");
        QTest::addColumn<bool>("cutThird");
        QTest::addColumn<QStringList>("expected");
        const QStringList singleWrite = SingleWriteLines(3, 16, "10,44");
        const QStringList multiWrite = MultiWriteLines(3, 16, ",51", "31,33");
        QTest::newRow("single: 2.tst deleted, 3.tst cut by 10 blocks")
            << Start::Single << "\r\nLese Datei  1\r\n"
            << true << true
            << singleWrite +
                   QStringList{"Lese 48MB", "Lese Datei  1", kTime, "Lese Datei  3", "<10> × Checksum Error!", kTime,
                               // the total of two files is divided by three
                               "Durchschnitt: 1,02 Sek.", "Durchschnitt: 15,67 MB/s", "Testende: <time>", ""} +
                   Summary("1,532", "10,443864229765", "1,02133333333333", "15,6657963446475");
        QTest::newRow("multiple: 3.tst cut by 10 blocks")
            << Start::Multiple << "\r\nLese 48MB\r\n"
            << false << true
            << multiWrite +
                   QStringList{"Lese 48MB",
                               "<10> × Checksum Error! (0)",
                               kTime,
                               "Durchschnitt: ,51 Sek.",
                               "Durchschnitt: 31,33 MB/s",
                               "Testende: <time>",
                               ""} +
                   Summary("0,510666666666667", "31,331592689295", "0,510666666666667", "31,331592689295");
        QTest::newRow("multiple: 2.tst deleted")
            << Start::Multiple << "\r\nSchreibe... \r\n"
            << true << false << multiWrite + QStringList{"Kann auf <path> nicht zugreifen!"};
    }
    void filesChangedBetweenPhases()
    {
        QFETCH(Start, which);
        QFETCH(QString, trigger);
        QFETCH(bool, deleteSecond);
        QFETCH(bool, cutThird);
        QFETCH(QStringList, expected);
        Bench bench;
        w->chkDisableCaching->setChecked(false);
        bool changed = false;
        PumpHook hook([&] {
            if (!w->LogText.text().contains(trigger))
                return false;
            if (deleteSecond)
                changed = QFile::remove(bench.Path() + "2.tst");
            if (cutThird)
                changed = QFile::resize(bench.Path() + "3.tst", 16 * 1048576 - 10 * 1024);
            return true;
        });
        qInfo() << Row(QTest::currentDataTag(), RunTest(*w, which, bench.target, "3", "16"));
        QVERIFY2(changed, "the files were not changed during the run: no pump came at the right moment");
        expected.replaceInStrings(QStringLiteral("<path>"), bench.Path());
        MATCH_LINES(LoggedLines(*w), expected);
        QCOMPARE(TestFiles(bench.target), QStringList());
        checkAfterRun(bench, which);
    }

    // The target folder goes while the first file is written. The single run cannot open the next
    // file and finds nothing to delete; the multiple run writes on into the open files and cannot
    // open them for reading. Nothing may create the folder again.
    void targetRemovedDuringRun_data()
    {
        QTest::addColumn<Start>("which");
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("single")
            << Start::Single << "Datei  1..."
            << QStringList{"Teststart: <time>", "Erstelle 2 Dateien (32 MB)", "Datei  1...", kTime, kText7, kText8};
        QTest::newRow("multiple") << Start::Multiple << "Schreibe... "
                                  << MultiWriteLines(2, 16, ",77", "20,89") +
                                         QStringList{"Kann auf <path> nicht zugreifen!"};
    }
    void targetRemovedDuringRun()
    {
        QFETCH(Start, which);
        QFETCH(QString, trigger);
        QFETCH(QStringList, expected);
        Bench bench;
        w->chkDisableCaching->setChecked(false);
        bool removed = false;
        PumpHook hook(
            [&] { return w->LogText.text().contains(trigger) && (removed = QDir(bench.target).removeRecursively()); });
        qInfo() << Row(QTest::currentDataTag(), RunTest(*w, which, bench.target, "2", "16"));
        QVERIFY2(removed, "the folder was not removed during the run: no pump came at the right moment");
        expected.replaceInStrings(QStringLiteral("<path>"), bench.Path());
        MATCH_LINES(LoggedLines(*w), expected);
        QVERIFY(!QFileInfo::exists(bench.target));
        checkAfterRun(bench, which);
    }

    // A test file name taken by a symbolic link to a file outside the target: the run must not
    // write through it. The first file cannot be created, and the clean-up removes the link only.
    void testFileLinkedOutside_data()
    {
        QTest::addColumn<Start>("which");
        QTest::newRow("single") << Start::Single;
        QTest::newRow("multiple") << Start::Multiple;
    }
    void testFileLinkedOutside()
    {
        QFETCH(Start, which);
        Bench bench;
        QVERIFY(QFile::link(bench.sibling + "/keep.txt", bench.Path() + "1.tst"));
        qInfo() << Row(QTest::currentDataTag(), RunTest(*w, which, bench.target, "2", "1"));
        MATCH_LINES(LoggedLines(*w), QStringList({"Teststart: <time>", "Erstelle 2 Dateien (2 MB)",
                                                  "Kann auf " + bench.Path() + " nicht zugreifen!"}));
        QCOMPARE(TestFiles(bench.target), QStringList());
        checkAfterRun(bench, which);
    }

    // A FIFO under a test file's name, there before the run or put in place of 2.tst between the
    // phases: opening it must not wait for a writer or reader that never comes. Each row runs in a
    // child process so that a run that hangs is ended and reported.
    void fifoNamedAsTestFile_data()
    {
        QTest::addColumn<Start>("which");
        QTest::addColumn<bool>("beforeRun");
        QTest::newRow("single, 1.tst before the run") << Start::Single << true;
        QTest::newRow("multiple, 1.tst before the run") << Start::Multiple << true;
        QTest::newRow("single, 2.tst between the phases") << Start::Single << false;
    }
    void fifoNamedAsTestFile()
    {
        QFETCH(Start, which);
        QFETCH(bool, beforeRun);
        if (!InChildRow()) {
            const ChildRow child =
                RunRowInChild(QStringLiteral("fifoNamedAsTestFile:") + QLatin1String(QTest::currentDataTag()));
            QVERIFY2(child.ended, "the run hung on the FIFO for 20 s");
            QVERIFY2(child.passed, qPrintable(child.output));
            return;
        }
        Bench bench;
        const auto makeFifo = [&](const char *name) {
            return Run(QStringLiteral("mkfifo"), {bench.Path() + QLatin1String(name)}) == 0;
        };
        QStringList expected{"Teststart: <time>", "Erstelle 2 Dateien (2 MB)",
                             "Kann auf " + bench.Path() + " nicht zugreifen!"};
        bool replaced = beforeRun;
        std::unique_ptr<PumpHook> hook;
        if (beforeRun) {
            QVERIFY(makeFifo("1.tst"));
        } else {
            // The single read phase passes over a test file that does not open.
            w->chkDisableCaching->setChecked(false);
            hook = std::make_unique<PumpHook>([&] {
                return w->LogText.text().contains("Lese Datei  1") &&
                       (replaced = QFile::remove(bench.Path() + "2.tst") && makeFifo("2.tst"));
            });
            expected = SingleWriteLines(2, 16, "10,44") + QStringList{"Lese 32MB",
                                                                      "Lese Datei  1",
                                                                      kTime,
                                                                      "Durchschnitt: ,77 Sek.",
                                                                      "Durchschnitt: 20,89 MB/s",
                                                                      "Testende: <time>",
                                                                      ""} +
                       Summary("1,532", "10,443864229765", "0,766", "20,88772845953");
        }
        qInfo() << Row(QTest::currentDataTag(), RunTest(*w, which, bench.target, "2", beforeRun ? "1" : "16"));
        QVERIFY(replaced);
        MATCH_LINES(LoggedLines(*w), expected);
        QCOMPARE(TestFiles(bench.target), QStringList());
        checkAfterRun(bench, which);
    }

    // FAT through fusefat: direct I/O and 1 KiB writes go through FUSE, and file names are long
    // names on a FAT16 volume. A whole run must work and clean up.
    void fatTarget_data()
    {
        QTest::addColumn<Start>("which");
        QTest::addColumn<bool>("disableCaching");
        QTest::addColumn<bool>("writeThrough");
        QTest::addColumn<QStringList>("expected");
        const QStringList singleRead{"Lese 2MB",
                                     "Lese Datei  1",
                                     kTime,
                                     "Lese Datei  2",
                                     kTime,
                                     "Durchschnitt: 1,53 Sek.",
                                     "Durchschnitt: ,65 MB/s",
                                     "Testende: <time>",
                                     ""};
        const QStringList multiRead{"Lese 2MB",         kTime, "Durchschnitt: ,77 Sek.", "Durchschnitt: 1,31 MB/s",
                                    "Testende: <time>", ""};
        const QStringList single = SingleWriteLines(2, 1, ",65") + singleRead +
                                   Summary("1,532", "0,652741514360313", "1,532", "0,652741514360313");
        const QStringList multiple = MultiWriteLines(2, 1, ",77", "1,31") + multiRead +
                                     Summary("0,766", "1,30548302872063", "0,766", "1,30548302872063");
        QTest::newRow("single, cache off") << Start::Single << true << false << single;
        QTest::newRow("single, cache on, write-through") << Start::Single << false << true << single;
        QTest::newRow("multiple, cache off, write-through") << Start::Multiple << true << true << multiple;
        QTest::newRow("multiple, cache on") << Start::Multiple << false << false << multiple;
    }
    void fatTarget()
    {
        QFETCH(Start, which);
        QFETCH(bool, disableCaching);
        QFETCH(bool, writeThrough);
        QFETCH(QStringList, expected);
        REQUIRE_ROOT();
        Bench bench;
        const auto mount = ScratchMount::FatImage(bench.target, bench.base.path() + "/fat.img", 16);
        REQUIRE_MOUNT(*mount);
        w->chkDisableCaching->setChecked(disableCaching);
        w->chkEnableWriteThrough->setChecked(writeThrough);

        qInfo() << Row(QTest::currentDataTag(), RunTest(*w, which, bench.target, "2", "1"));
        MATCH_LINES(LoggedLines(*w), expected);
        QCOMPARE(TestFiles(bench.target), QStringList());
        QCOMPARE(OtherFiles(bench.target), QStringList{QFileInfo(w->LogFileName).fileName()});
        QVERIFY(EngineTest::ReadAll(w->LogFileName).contains("\r\nErgebnis:\r\n"));
        checkAfterRun(bench, which);
    }

    // A close request refused in the middle of each phase: the phase stops, the clean-up and the
    // result log still happen, and the window closes on the next request.
    void closeInEachPhase_data()
    {
        QTest::addColumn<Start>("which");
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QStringList>("expected");
        const QStringList start{"Teststart: <time>", "Erstelle 2 Dateien (64 MB)"};
        QTest::newRow("single write") << Start::Single << "Datei  1..."
                                      << start + QStringList{"Datei  1...", "Abbruch..."};
        QTest::newRow("single read") << Start::Single << "Lese Datei  1"
                                     << SingleWriteLines(2, 32, "20,89") +
                                            QStringList{"Lese 64MB", "Lese Datei  1", "Abbruch..."};
        QTest::newRow("multiple write") << Start::Multiple << "Schreibe... "
                                        << start + QStringList{"Schreibe... ", "Abbruch..."};
        QTest::newRow("multiple read") << Start::Multiple << "\r\nLese 64MB"
                                       << MultiWriteLines(2, 32, ",77", "41,78") +
                                              QStringList{"Lese 64MB", "Abbruch..."};
    }
    void closeInEachPhase()
    {
        QFETCH(Start, which);
        QFETCH(QString, trigger);
        QFETCH(QStringList, expected);
        Bench bench;
        w->chkDisableCaching->setChecked(false);
        int requests = 0;
        bool closed = false;
        PumpHook hook([&] {
            if (!w->LogText.text().contains(trigger))
                return false;
            ++requests;
            closed = w->close();
            return true;
        });
        qInfo() << Row(QTest::currentDataTag(), RunTest(*w, which, bench.target, "2", "32"));
        QCOMPARE(requests, 1);
        QVERIFY(!closed);
        MATCH_LINES(LoggedLines(*w), expected);
        QCOMPARE(TestFiles(bench.target), QStringList());
        QVERIFY(EngineTest::ReadAll(w->LogFileName).contains("\r\nAbbruch...\r\n\r\nErstellt mit Veltaro v."));
        checkAfterRun(bench, which);
        QVERIFY(w->close());
    }
};

QTEST_MAIN(TestFaultMatrix)
#include "tst_faultmatrix.moc"
