// "Start Single" and "Start Multiple" through the real window, offscreen.
#include "common/EngineTestSupport.h"
#include "controls/Chk1.h"
#include "controls/Cmd1.h"
#include "controls/Txt.h"
#include "platform/Version.h"
#include "shell/frmMain.h"

#include <QComboBox>
#include <QLabel>
#include <QtTest>

using namespace EngineTest;

class TestRunWindow : public QObject {
    Q_OBJECT
    QTemporaryDir config;

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        UseGerman();
    }

    void singleRunThenCloseDuringAMultipleRun()
    {
        QTemporaryDir dir;
        QFile(dir.path() + "/other.tst").open(QIODevice::WriteOnly);
        frmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.Drive1->setEditText(dir.path());
        w.Txt1->setText(QStringLiteral("2"));
        w.Txt2->setText(QStringLiteral("1"));
        w.Chk11->setChecked(true);
        // While the run pumps, the inputs are locked.
        bool lockedDuringRun = false;
        QTimer::singleShot(0, &w, [&] { lockedDuringRun = !w.Cmd11->isEnabled() && !w.Txt1->isEnabled(); });
        QSignalSpy finished(&w, &frmMain::runFinished);
        emit w.Cmd11->Click();
        // The window keeps the run's record and hands it out once the command returns.
        QCOMPARE(finished.size(), 1);
        QVERIFY(w.LastRecord().outcome.status == RunStatus::Complete);
        QCOMPARE(w.LastRecord().phases.size(), size_t(2));
        QCOMPARE(w.LastRecord().resultLogPath, w.LogFileName);
        QCOMPARE(finished.at(0).at(0).value<RunRecord>().runId, w.LastRecord().runId);
        QVERIFY(lockedDuringRun && w.StopRequested);
        QVERIFY(w.Cmd11->isEnabled() && w.Cmd12->isEnabled() && w.Drive1->isEnabled() && w.Chk11->isEnabled());
        QCOMPARE(FilesIn(dir.path(), QStringLiteral("*.tst")), QStringList());
        QVERIFY(w.Label3->text().startsWith(QStringLiteral("Ergebnis:\nSchreibzeit: ")));
        QVERIFY(w.LogFileName.startsWith(dir.path() + "/Single_VeltaroLog_"));
        QCOMPARE(QString::fromUtf8(ReadAll(w.LogFileName)),
                 QString(43, u'#') + "\r\n# Veltaro auf: " + dir.path() + "\r\n" + QString(43, u'#') + "\r\n\r\n" +
                     w.LogText.text() + "\r\nErstellt mit Veltaro v." + ProgramVersion() + "\r\n");

        // A close request during a run stops it instead; the second close ends the window.
        w.Txt1->setText(QStringLiteral("3"));
        w.Txt2->setText(QStringLiteral("50"));
        w.chkDisableCaching->setChecked(false);
        bool closedDuringRun = true;
        QTimer::singleShot(0, &w, [&] { closedDuringRun = w.close(); });
        emit w.Cmd12->Click();
        QVERIFY(!closedDuringRun && w.isVisible() && w.StopRequested);
        QCOMPARE(finished.size(), 2);
        QVERIFY(w.LastRecord().outcome.status == RunStatus::Stopped);
        QVERIFY(w.LastRecord().kind == RunKind::Multiple);
        QVERIFY(w.LogText.text().endsWith(QStringLiteral("Abbruch...\r\n")));
        QCOMPARE(FilesIn(dir.path(), QStringLiteral("*.tst")), QStringList());
        QVERIFY(w.close());
    }
};

QTEST_MAIN(TestRunWindow)
#include "tst_run_window.moc"
