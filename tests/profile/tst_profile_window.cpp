// "Start Profile" through the real window, offscreen: a run to its end with its result log, and
// stops by Escape and close.
#include "common/EngineTestSupport.h"
#include "controls/Chk1.h"
#include "controls/Cmd1.h"
#include "controls/Txt.h"
#include "engine/RunDriver.h"
#include "platform/Version.h"
#include "profile/UserProfiles.h"
#include "shell/frmMain.h"

#include <QComboBox>
#include <QtTest>

using namespace EngineTest;

class TestProfileWindow : public QObject {
    Q_OBJECT
    QTemporaryDir config;

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        UseGerman();
        QVERIFY(!UserProfiles::Save(QStringLiteral("quick"), QStringLiteral("seq,write,64k,qd2,200ms,passes1")));
    }

    // A run to its end, and the result log it writes beside the target when asked to: the log
    // panel's lines between the classic header and version line, or a line saying it could not.
    void runsTheChosenProfile_data()
    {
        QTest::addColumn<bool>("writeLog");
        QTest::addColumn<bool>("logBlocked");
        QTest::newRow("no result log") << false << false;
        QTest::newRow("result log") << true << false;
        QTest::newRow("result log name taken by a folder") << true << true;
    }
    void runsTheChosenProfile()
    {
        QFETCH(bool, writeLog);
        QFETCH(bool, logBlocked);
        QTemporaryDir dir;
        frmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.Cmd14->Caption(), QStringLiteral("Start Profile")); // captions default to English
        w.cboProfile->setCurrentText(QStringLiteral("quick"));
        w.Drive1->setEditText(dir.path());
        w.Txt1->setText(QStringLiteral("2"));
        w.Txt2->setText(QStringLiteral("2"));
        w.Chk11->setChecked(writeLog);
        QStringList blocked; // this minute's name and the next, so a minute turning over cannot slip past
        for (int minute = 0; logBlocked && minute < 2; ++minute) {
            blocked << dir.filePath("Profile_VeltaroLog_" +
                                    RunDriver::LogStamp(QDateTime::currentDateTime().addSecs(60 * minute)) + ".log");
            QVERIFY(QDir().mkdir(blocked.last()));
        }
        QSignalSpy finished(&w, &frmMain::runFinished);
        bool lockedDuringRun = false;
        QTimer::singleShot(0, &w, [&] {
            lockedDuringRun =
                !w.Cmd11->isEnabled() && !w.cboProfile->isEnabled() && w.RunActive && !w.Cmd15->isEnabled();
        });
        emit w.Cmd14->Click();
        QVERIFY(lockedDuringRun);
        QVERIFY(w.StopRequested);
        QVERIFY(w.Cmd14->isEnabled());
        QVERIFY(w.Txt1->isEnabled());
        QVERIFY(!w.RunActive);
        QStringList lines = w.LogText.lines();
        if (logBlocked) {
            QVERIFY(blocked.contains(w.LogFileName));
            QCOMPARE(lines.takeLast(), "Kann auf " + w.LogFileName + " nicht zugreifen!");
        }
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].startsWith(QStringLiteral("E/A-Verfahren: ")));
        QVERIFY2(QRegularExpression(QStringLiteral("^quick: [0-9,.]+ MB/s, [0-9,.]+ IOPS$")).match(lines[1]).hasMatch(),
                 qPrintable(lines[1]));
        QCOMPARE(w.ProfileResults.value(0).spec.fileSize, 4 << 20); // count x size MB
        // The test files are gone; only a result log asked for stays.
        QStringList left = blocked;
        if (writeLog && !logBlocked)
            left << w.LogFileName;
        left.sort();
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name),
                 left.replaceInStrings(dir.path() + u'/', QString()));
        if (writeLog && !logBlocked) {
            const QStringList file = QString::fromUtf8(ReadAll(w.LogFileName)).split(QStringLiteral("\r\n"));
            const QStringList expected =
                QStringList{QString(43, u'#'), "# Veltaro auf: " + w.Drive1->currentText(), QString(43, u'#'),
                            QString()} +
                lines + QStringList{QString(), "Erstellt mit Veltaro v." + ProgramVersion(), QString()};
            QCOMPARE(file, expected);
        }
        // The results window learns of it as of the classic runs.
        QCOMPARE(finished.size(), 1);
        const RunRecord &record = w.LastRecord();
        QVERIFY(record.outcome.status == RunStatus::Complete);
        QCOMPARE(record.profiles.size(), size_t(1));
        QCOMPARE(record.profiles[0].name, QStringLiteral("quick"));
        QCOMPARE(record.profiles[0].passes.size(), size_t(1));
        QCOMPARE(record.options.writeLogFile, writeLog);
        QCOMPARE(record.resultLogPath, writeLog ? w.LogFileName : QString());
        QCOMPARE(record.resultLogWritten, writeLog && !logBlocked);
    }

    void stopsAtOnce_data()
    {
        QTest::addColumn<bool>("byEscape");
        QTest::newRow("Escape") << true;
        QTest::newRow("close") << false;
    }
    void stopsAtOnce()
    {
        QFETCH(bool, byEscape);
        QTemporaryDir dir;
        frmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.cboProfile->setCurrentText(QStringLiteral("standard"));
        w.Drive1->setEditText(dir.path());
        w.Txt1->setText(QStringLiteral("1"));
        w.Txt2->setText(QStringLiteral("8"));
        bool closed = true;
        QTimer::singleShot(400, &w, [&] {
            if (byEscape)
                QTest::keyClick(&w, Qt::Key_Escape);
            else
                closed = w.close();
        });
        QElapsedTimer clock;
        clock.start();
        emit w.Cmd14->Click();
        QVERIFY(clock.elapsed() < 2000); // the first standard profile alone runs for 11 s
        QCOMPARE(w.LogText.lines().last(), QStringLiteral("Abbruch..."));
        QVERIFY(w.LastRecord().outcome.status == RunStatus::Stopped);
        QVERIFY(byEscape || (!closed && w.isVisible()));
        QVERIFY(QDir(dir.path()).isEmpty());
    }
};

QTEST_MAIN(TestProfileWindow)
#include "tst_profile_window.moc"
