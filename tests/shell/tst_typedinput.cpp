// What a user can type into the two number fields and the target box, run through both start
// buttons of the real window: every case ends in the program's own message or a run, within
// seconds, and touches nothing but the target.
#include "common/FaultBench.h"
#include "controls/Cmd1.h"
#include "controls/Txt.h"
#include "shell/frmMain.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QtTest>
#include <sys/resource.h>

using namespace EngineTest;
using namespace FaultTest;

namespace {

const QString kText54 = QStringLiteral("Translation Error!"); // text 54 has no built-in wording

// 300 characters in three levels.
QString LongFolder()
{
    return QString(120, u'a') + u'/' + QString(120, u'b') + u'/' + QString(40, u'c');
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

        const auto w = OpenWindow();
        QVERIFY(w);
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

QTEST_MAIN(TestTypedInput)
#include "tst_typedinput.moc"
