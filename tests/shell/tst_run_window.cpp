// "Start Single" through the real window, offscreen, with and without checking the data read back.
#include "common/EngineTestSupport.h"
#include "common/FaultSupport.h"
#include "controls/Chk1.h"
#include "controls/Cmd1.h"
#include "controls/Txt.h"
#include "shell/frmMain.h"

#include <QComboBox>
#include <QLabel>
#include <QtTest>

using namespace EngineTest;

class TestRunWindow : public QObject {
    Q_OBJECT
    QTemporaryDir config;

    // A shown window set for a run on folder.
    static void prepare(frmMain &w, const QString &folder, const char *count, const char *size)
    {
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.Drive1->setEditText(folder);
        w.Txt1->setText(QLatin1String(count));
        w.Txt2->setText(QLatin1String(size));
    }

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        UseGerman();
    }

    void singleRunLocksTheInputsAndKeepsItsRecordAndLog()
    {
        QTemporaryDir dir;
        QFile(dir.path() + "/other.tst").open(QIODevice::WriteOnly);
        frmMain w;
        prepare(w, dir.path(), "2", "1");
        w.Chk11->setChecked(true);
        // While the run pumps, the inputs are locked.
        bool buttonLocked = false, fieldLocked = false;
        QTimer::singleShot(0, &w, [&] {
            buttonLocked = !w.Cmd11->isEnabled();
            fieldLocked = !w.Txt1->isEnabled();
        });
        QSignalSpy finished(&w, &frmMain::runFinished);
        emit w.Cmd11->Click();
        QVERIFY(buttonLocked);
        QVERIFY(fieldLocked);
        QVERIFY(FaultTest::Idle(w));
        // The window keeps the run's record and hands it out once the command returns.
        QCOMPARE(finished.size(), 1);
        QVERIFY(w.LastRecord().outcome.status == RunStatus::Complete);
        QCOMPARE(w.LastRecord().phases.size(), size_t(2));
        QCOMPARE(w.LastRecord().resultLogPath, w.LogFileName);
        QCOMPARE(finished.at(0).at(0).value<RunRecord>().runId, w.LastRecord().runId);
        QCOMPARE(FilesIn(dir.path(), QStringLiteral("*.tst")), QStringList());
        QVERIFY(w.Label3->text().startsWith(QStringLiteral("Ergebnis:\nSchreibzeit: ")));
        QVERIFY(w.LogFileName.startsWith(dir.path() + "/Single_VeltaroLog_"));
        QVERIFY(ReadAll(w.LogFileName).contains("\r\n# Veltaro auf: " + QFile::encodeName(dir.path()) + "\r\n"));
    }

    // A block overwritten while the window pumps between the writes of later files is found; the
    // option is locked during the run and kept in the settings store.
    void verifiedRunFindsABlockChangedDuringTheRun()
    {
        QTemporaryDir dir;
        {
            frmMain w;
            prepare(w, dir.path(), "3", "8");
            QVERIFY(!w.chkVerifyData->Checked());
            w.chkVerifyData->setChecked(true);
            w.chkDisableCaching->setChecked(false);
            // 1.tst is complete once 2.tst is written; the pumps are at most 5 ms apart, and the
            // 16 384 writes of the later files take longer than that.
            bool changed = false, locked = false;
            QTimer poll;
            connect(&poll, &QTimer::timeout, &w, [&] {
                const QStringList lines = w.LogText.lines();
                if (changed || !lines.contains(QStringLiteral("Datei  2...")) || lines.contains("Lese 24MB"))
                    return;
                locked = !w.chkVerifyData->isEnabled();
                QFile f(dir.path() + "/1.tst");
                changed = f.open(QIODevice::ReadWrite) && f.seek(5 * 1024) && f.write(QByteArray(1024, 'U')) == 1024;
            });
            poll.start(0);
            emit w.Cmd11->Click();
            QVERIFY(changed);
            QVERIFY(locked);
            QVERIFY(w.chkVerifyData->isEnabled());
            // The panel's six lines: the summary and the verdict.
            QVERIFY(w.Label3->text().startsWith(QStringLiteral("Ergebnis:\n")));
            QVERIFY2(w.Label3->text().endsWith(QStringLiteral(" MB/s\nDaten geprüft: 1 Blöcke fehlerhaft!\n")),
                     qPrintable(w.Label3->text()));
            QVERIFY(w.close());
        }
        frmMain again;
        QVERIFY(again.chkVerifyData->Checked());
        again.chkVerifyData->setChecked(false);
        QVERIFY(again.close());
    }
};

QTEST_MAIN(TestRunWindow)
#include "tst_run_window.moc"
