// What a user can type into the two number fields and the target box, run through both start
// buttons of the real window: every case ends in the program's own message or a run, within
// seconds, and touches nothing but the target.
#include "common/FaultSupport.h"
#include "controls/Cmd1.h"
#include "controls/Txt.h"
#include "shell/frmMain.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/resource.h>

using namespace FaultTest;

namespace {

const QString kTime = QStringLiteral("Zeit: 1,53 Sekunden (1532 ms)");
const QString kText7 = QStringLiteral("Werte dürfen nicht größer als 32000 sein!");
const QString kText8 = QStringLiteral("Kann Testdateien nicht löschen!");
const QString kText54 = QStringLiteral("Translation Error!"); // text 54 has no built-in wording
const QString kDenied = QStringLiteral("Kann auf <target>/ nicht zugreifen!");

// The logs of a whole run of one file of 1 MB, every span 1532 ms.
QStringList WholeSingleRun()
{
    return {"Teststart: <time>",
            "Erstelle 1 Dateien (1 MB)",
            "Datei  1...",
            kTime,
            "",
            "Durchschnitt: 1,53 Sek.",
            "Durchschnitt: ,65 MB/s",
            "Testende: <time>",
            "",
            "Lese 1MB",
            "Lese Datei  1",
            kTime,
            "Durchschnitt: 1,53 Sek.",
            "Durchschnitt: ,65 MB/s",
            "Testende: <time>",
            "",
            "Ergebnis:",
            "Schreibzeit: 1,532 Sek.",
            "0,652741514360313 MB/s",
            "Lesezeit: 1,532 Sek.",
            "0,652741514360313 MB/s"};
}

QStringList WholeMultipleRun()
{
    QStringList lines = WholeSingleRun();
    lines.removeAll(QStringLiteral("Lese Datei  1"));
    lines.replace(2, QStringLiteral("Schreibe... "));
    lines.removeAt(4); // no empty line before the averages
    return lines;
}

} // namespace

class TestTypedInput : public QObject {
    Q_OBJECT
    QTemporaryDir config;
    QString startDir;

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        startDir = QDir::currentPath();
        // The multiple test opens every file before it writes; a desktop session's usual limit
        // keeps a count of a thousand million from opening tens of thousands of files here.
        rlimit limit{};
        getrlimit(RLIMIT_NOFILE, &limit);
        limit.rlim_cur = std::min<rlim_t>(limit.rlim_cur, 1024);
        setrlimit(RLIMIT_NOFILE, &limit);
    }
    void cleanup() { QDir::setCurrent(startDir); }

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
             {"Teststart: <time>", "Erstelle 1000000000 Dateien (1000000000 MB)", "Datei  1...", "<...>", "Abbruch..."},
             {"Teststart: <time>", "Erstelle 1000000000 Dateien (1000000000 MB)", kDenied}, "Datei  1...", {}, true);
        // 1e9 files of 10 MB overflow 32 bits before the first file.
        both("count \"1e9\", size 10", target, "1e9", "10", {"Teststart: <time>", kDenied, kText8},
             {"Teststart: <time>", kDenied});
        both("size \"1e9\"", target, "1", "1e9",
             {"Teststart: <time>", "Erstelle 1 Dateien (1000000000 MB)", "Datei  1...", "Abbruch..."},
             {"Teststart: <time>", "Erstelle 1 Dateien (1000000000 MB)", "Schreibe... ", "Abbruch..."}, "Datei  1...",
             "Schreibe... ");

        // Negative values are whole numbers: no file is timed for a negative count, and a
        // negative size times empty files.
        both("count \"-5\"", target, "-5", "1", {"Teststart: <time>", "Erstelle -5 Dateien (-5 MB)", kDenied, kText8},
             {"Teststart: <time>", "Erstelle -5 Dateien (-5 MB)", "Schreibe... ", kTime, "Durchschnitt: -,31 Sek.",
              "Durchschnitt: -3,26 MB/s", "Testende: <time>", "", "Lese -5MB", kTime, "Durchschnitt: -,31 Sek.",
              "Durchschnitt: -3,26 MB/s", "Testende: <time>", "", "Ergebnis:", "Schreibzeit: -0,3064 Sek.",
              "-3,26370757180157 MB/s", "Lesezeit: -0,3064 Sek.", "-3,26370757180157 MB/s"});
        QStringList negativeSingle = WholeSingleRun();
        negativeSingle.replaceInStrings(QStringLiteral("(1 MB)"), QStringLiteral("(-5 MB)"))
            .replaceInStrings(QStringLiteral("Lese 1MB"), QStringLiteral("Lese -5MB"))
            .replaceInStrings(QStringLiteral("0,652741514360313"), QStringLiteral("-3,26370757180157"))
            .replaceInStrings(QStringLiteral(",65"), QStringLiteral("-3,26"));
        QStringList negativeMultiple = WholeMultipleRun();
        negativeMultiple.replaceInStrings(QStringLiteral("(1 MB)"), QStringLiteral("(-5 MB)"))
            .replaceInStrings(QStringLiteral("Lese 1MB"), QStringLiteral("Lese -5MB"))
            .replaceInStrings(QStringLiteral("0,652741514360313"), QStringLiteral("-3,26370757180157"))
            .replaceInStrings(QStringLiteral(",65"), QStringLiteral("-3,26"));
        both("size \"-5\"", target, "1", "-5", negativeSingle, negativeMultiple);
        // Blanks around a number are no part of it.
        both("count \" 1 \"", target, " 1 ", "1", WholeSingleRun(), WholeMultipleRun());

        // Targets. A file, a device, "~" (no shell expands it) and a missing folder are refused
        // with text 54; blanks around a folder are trimmed; a relative folder is taken from the
        // current folder. A 300-character folder can be written, but its test files have names
        // too long to be opened for reading.
        both("target a file", "<dir>/file.txt", "1", "1", {kText54}, {kText54});
        both("target /dev/null", "/dev/null", "1", "1", {kText54}, {kText54});
        both("target ~", "~", "1", "1", {kText54}, {kText54});
        both("target with blanks", "  <dir>/target ", "1", "1", WholeSingleRun(), WholeMultipleRun());
        both("target relative", "target", "1", "1", WholeSingleRun(), WholeMultipleRun());
        const QString longTarget = "<dir>/" + QString(120, u'a') + u'/' + QString(120, u'b') + u'/' + QString(40, u'c');
        both("target 300 characters missing", longTarget + "x", "1", "1", {kText54}, {kText54});
        QStringList longSingle = WholeSingleRun().mid(0, 10);
        longSingle << "Kann auf <long>/ nicht zugreifen!";
        const QStringList longMultiple{"Teststart: <time>",
                                       "Erstelle 1 Dateien (1 MB)",
                                       "Schreibe... ",
                                       kTime,
                                       "Durchschnitt: 1,53 Sek.",
                                       "Durchschnitt: ,65 MB/s",
                                       "Testende: <time>",
                                       "",
                                       "Kann auf <long>/ nicht zugreifen!"};
        both("target 300 characters", longTarget, "1", "1", longSingle, longMultiple);
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

        QTemporaryDir base(FastTempRoot() + QStringLiteral("/veltaro-typed-XXXXXX"));
        const QString dir = base.path();
        const QString target = dir + QStringLiteral("/target");
        const QString longTarget =
            dir + u'/' + QString(120, u'a') + u'/' + QString(120, u'b') + u'/' + QString(40, u'c');
        QVERIFY(QDir().mkpath(target) && QDir().mkpath(longTarget));
        QFile file(dir + QStringLiteral("/file.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("not a folder") > 0);
        file.close();
        QVERIFY(QDir::setCurrent(dir));
        const Snapshot before = TakeSnapshot(dir);

        const auto w = OpenWindow();
        QVERIFY(w);
        w->Drive1->setEditText(QString(drive).replace(QStringLiteral("<dir>"), dir));
        // Typed key by key, as far as the field takes them.
        for (Txt *box : {w->Txt1, w->Txt2}) {
            const QString text = box == w->Txt1 ? count : size;
            box->setText(QString());
            // Any character, as a keyboard layout or input method hands it over.
            for (const QChar c : text)
                QTest::sendKeyEvent(QTest::Click, box->ShownBox(), Qt::Key_unknown, QString(c), Qt::NoModifier);
            QCOMPARE(box->Text(), text);
        }
        PumpHook closer([&] { return !closeOn.isEmpty() && w->LogText.text().contains(closeOn) && !w->close(); });

        QElapsedTimer clock;
        clock.start();
        emit(which == Start::Single ? w->Cmd11 : w->Cmd12)->Click();
        QVERIFY2(clock.elapsed() < 10000, qPrintable(QStringLiteral("the run took %1 ms").arg(clock.elapsed())));
        expected.replaceInStrings(QStringLiteral("<target>"), target)
            .replaceInStrings(QStringLiteral("<long>"), longTarget);
        MATCH_LINES(LoggedLines(*w), expected);
        QVERIFY(Idle(*w));
        QVERIFY(w->isVisible());

        // Only test files and result logs come and go, and only in the folder tested.
        for (const QString &folder : {target, longTarget}) {
            const QStringList left = TestFiles(folder);
            if (!filesLeft)
                QCOMPARE(left, QStringList());
            for (qsizetype i = 0; i < left.size(); ++i)
                QVERIFY(QFile::remove(folder + u'/' + left[i]));
        }
        // The folders tested themselves change their time stamps.
        const auto outside = [&](Snapshot snapshot) {
            for (const QString &folder : {target, longTarget})
                snapshot.remove(QDir(dir).relativeFilePath(folder));
            return snapshot;
        };
        const QString changes = Difference(outside(before), outside(TakeSnapshot(dir)));
        QVERIFY2(changes.isEmpty(), qPrintable(changes));
    }
};

QTEST_MAIN(TestTypedInput)
#include "tst_typedinput.moc"
