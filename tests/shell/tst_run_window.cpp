// Runs through the real window, offscreen: the inputs locked and the record and log kept, the data
// read back, one run per folder, the bypass asked about, the read-back options kept, and no dialog
// while a phase is timed.
#include "common/EngineTestSupport.h"
#include "common/FaultSupport.h"
#include "controls/Chk1.h"
#include "controls/Cmd1.h"
#include "controls/Txt.h"
#include "platform/FolderLock.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/SaveFileDialog.h"
#include "shell/ViewFrame.h"
#include "shell/frmMain.h"
#include "toolbar/McToolBar.h"

#include <QtTest>
#include <QtWidgets>

using FaultTest::TestTarget;

using namespace EngineTest;

class TestRunWindow : public QObject {
    Q_OBJECT
    QTemporaryDir config;
    QStringList boxes; // "style|title|prompt"
    int answer = MsgBoxResult::No;

    std::unique_ptr<frmMain> window(const QString &target)
    {
        auto w = std::make_unique<frmMain>();
        w->show();
        [&] { QVERIFY(QTest::qWaitForWindowExposed(w.get())); }();
        w->Drive1->setEditText(target);
        w->Txt1->setText(QStringLiteral("2"));
        w->Txt2->setText(QStringLiteral("1"));
        return w;
    }

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        QVERIFY(QDir::setCurrent(config.path())); // no language file: the built-in texts
        UseGerman();
        SetMsgBoxHandler([this](const QString &prompt, int style, const QString &title) {
            boxes << QStringLiteral("%1|%2|%3").arg(style).arg(title, prompt);
            return answer;
        });
        SetSaveFileNameHandler([](const QString &) { return QString(); });
    }
    void init() { boxes.clear(); }

    // With its result log and the data check: the inputs locked while it pumps, the record and the log
    // kept, and a block overwritten between the writes of later files found.
    void singleRunLocksTheInputsKeepsItsRecordAndFindsAChangedBlock()
    {
        QTemporaryDir dir;
        QFile(dir.path() + "/other.tst").open(QIODevice::WriteOnly);
        const auto w = window(dir.path());
        w->Txt1->setText(QStringLiteral("3"));
        w->Txt2->setText(QStringLiteral("8"));
        w->Chk11->setChecked(true);
        w->chkVerifyData->setChecked(true);
        w->chkDisableCaching->setChecked(false);
        // 1.tst is complete once 2.tst is written; the pumps are at most 5 ms apart, and the
        // 16 384 writes of the later files take longer than that.
        bool changed = false;
        QString enabled; // the verify box, the start button and the count field
        QTimer poll;
        connect(&poll, &QTimer::timeout, w.get(), [&] {
            const QStringList lines = w->LogText.lines();
            if (changed || !lines.contains(QStringLiteral("Datei  2...")) || lines.contains("Lese 24MB"))
                return;
            enabled = QStringLiteral("%1%2%3")
                          .arg(w->chkVerifyData->isEnabled())
                          .arg(w->Cmd11->isEnabled())
                          .arg(w->Txt1->isEnabled());
            QFile f(dir.path() + "/1.tst");
            changed = f.open(QIODevice::ReadWrite) && f.seek(5 * 1024) && f.write(QByteArray(1024, 'U')) == 1024;
        });
        poll.start(0);
        QSignalSpy finished(w.get(), &frmMain::runFinished);
        emit w->Cmd11->Click();
        QVERIFY(changed);
        QCOMPARE(enabled, QStringLiteral("000"));
        QVERIFY(w->chkVerifyData->isEnabled());
        // The window keeps the run's record and hands it out once the command returns.
        QCOMPARE(finished.size(), 1);
        QCOMPARE(w->LastRecord().outcome.reason, QStringLiteral("verify_failed")); // ran to its end, figures damaged
        QCOMPARE(w->LastRecord().phases.size(), size_t(2));
        QCOMPARE(w->LastRecord().resultLogPath, w->LogFileName);
        QCOMPARE(finished.at(0).at(0).value<RunRecord>().runId, w->LastRecord().runId);
        QCOMPARE(FilesIn(dir.path(), QStringLiteral("*.tst")), QStringList());
        QVERIFY(w->LogFileName.startsWith(dir.path() + "/Single_VeltaroLog_"));
        QVERIFY(ReadAll(w->LogFileName).contains("\r\n# Veltaro auf: " + QFile::encodeName(dir.path()) + "\r\n"));
        // The panel's six lines: the summary and the verdict.
        QVERIFY(w->Label3->text().startsWith(QStringLiteral("Ergebnis:\nSchreibzeit: ")));
        QVERIFY2(w->Label3->text().endsWith(QStringLiteral(" MB/s\nDaten geprüft: 1 Blöcke fehlerhaft!\n")),
                 qPrintable(w->Label3->text()));
    }

    // Reading from the device is a fifth option; it and the data check are kept in the settings store.
    void readBackOptionsAreKeptInTheStore()
    {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tavrin")).clear();
        QTemporaryDir dir;
        {
            auto w = window(dir.path());
            QVERIFY(!w->chkReadFromDevice->Checked());
            QVERIFY(!w->chkVerifyData->Checked());
            // The box overlaps none of the classic controls.
            for (QWidget *other : w->frView->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
                if (other != w->chkReadFromDevice && other->isVisible())
                    QVERIFY2(!other->geometry().intersects(w->chkReadFromDevice->geometry()),
                             qPrintable(other->metaObject()->className()));
            QVERIFY(w->frView->rect().contains(w->chkReadFromDevice->geometry()));
            w->chkReadFromDevice->setChecked(true);
            w->chkVerifyData->setChecked(true);
            QVERIFY(w->close());
        }
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tavrin"));
        QCOMPARE(store.value(QStringLiteral("Veltaro/ReadFromDevice")).toString(), QStringLiteral("1"));
        auto again = window(dir.path());
        QVERIFY(again->chkReadFromDevice->Checked());
        QVERIFY(again->chkVerifyData->Checked());
        again->chkReadFromDevice->setChecked(false);
        QVERIFY(again->close());
        store.sync();
        QCOMPARE(store.value(QStringLiteral("Veltaro/ReadFromDevice")).toString(), QStringLiteral("0"));
    }

    void theFolderIsHeldAndNoDialogOpensDuringARun()
    {
        QTemporaryDir dir;
        auto w = window(dir.path());
        w->LogPrint(QStringLiteral("a line")); // Save As would be enabled by the panel
        QSignalSpy active(w.get(), &frmMain::RunActiveChanged);
        QString during;
        QElapsedTimer aboutTime;
        QTimer::singleShot(0, w.get(), [&] {
            emit w->McToolBar1->Click(0);
            during = QStringLiteral("%1%2%3%4")
                         .arg(w->mnuFileSaveAs->isEnabled())
                         .arg(w->mnuHelpAbout->isEnabled())
                         .arg(w->mnuHelpCheckUpdate->isEnabled())
                         .arg(w->mnuFileExit->isEnabled());
            w->mnuFile->hide();
            FolderLock other;
            during += other.Take(dir.path()) == FolderLock::State::Busy ? QStringLiteral(" held") : QString();
            // Even called directly, the about window does not open inside the run.
            QTimer::singleShot(300, [] {
                if (QWidget *modal = QApplication::activeModalWidget())
                    modal->close();
            });
            aboutTime.start();
            w->ShowAbout();
            during += aboutTime.elapsed() < 200 ? QStringLiteral(" no about") : QString();
            w->mnuFileSaveAs->trigger();
            w->mnuHelpCheckUpdate->trigger();
        });
        emit w->Cmd11->Click();
        QCOMPARE(during, QStringLiteral("0001 held no about"));
        QCOMPARE(active.size(), 2);
        QCOMPARE(active.at(0).at(0).toBool(), true);
        QCOMPARE(active.at(1).at(0).toBool(), false);
        emit w->McToolBar1->Click(0);
        QVERIFY(w->mnuFileSaveAs->isEnabled());
        QVERIFY(w->mnuHelpAbout->isEnabled());
        QVERIFY(w->mnuHelpCheckUpdate->isEnabled());
        w->mnuFile->hide();
        QVERIFY(boxes.isEmpty());

        // Released with the run; held by another run, the folder is not touched by either button.
        FolderLock otherRun;
        QCOMPARE(otherRun.Take(dir.path()), FolderLock::State::Held);
        QFile(dir.filePath(QStringLiteral("1.tst"))).open(QIODevice::WriteOnly); // the other run's file
        w->Chk11->setChecked(true);
        const QString panel = w->Label3->text();
        const FaultTest::Snapshot before = FaultTest::TakeSnapshot(dir.path());
        for (Cmd1 *start : {w->Cmd11, w->Cmd12}) {
            boxes.clear();
            emit start->Click();
            QCOMPARE(FaultTest::Difference(before, FaultTest::TakeSnapshot(dir.path())), QString());
            QCOMPARE(boxes.size(), 1);
            QVERIFY2(boxes[0].startsWith(QStringLiteral("16|Veltaro|")), qPrintable(boxes[0]));
            QVERIFY2(boxes[0].contains(dir.path()), qPrintable(boxes[0]));
            QCOMPARE(w->Label3->text(), panel);
            QVERIFY(w->Cmd11->isEnabled());
            QVERIFY(w->StopRequested);
            QVERIFY(!w->RunActive);
        }
    }

    // With the cache disabled, a target that refuses 1 KiB direct writes is asked about first.
    void bypassRefusedAsksBeforeWriting_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("refuses");
        // The runner's test takes tmpfs and the 4096-byte sectors.
        QTest::newRow("ext4 folder") << int(TestTarget::Folder) << false;
        QTest::newRow("ramfs") << int(TestTarget::Ramfs) << true;
    }
    void bypassRefusedAsksBeforeWriting()
    {
        QFETCH(int, kind);
        QFETCH(bool, refuses);
        TEST_TARGET_OR_SKIP(scratch, TestTarget::Kind(kind));
        const QString target = scratch.Path();
        auto w = window(target);
        w->Txt2->setText(QStringLiteral("8")); // a cached phase of 0 ms would count as a failure
        const FaultTest::Snapshot before = FaultTest::TakeSnapshot(target);

        answer = MsgBoxResult::No;
        emit w->Cmd11->Click();
        QCOMPARE(boxes.size(), refuses ? 1 : 0);
        if (!refuses) {
            QVERIFY(w->Label3->text().startsWith(QStringLiteral("Ergebnis:")));
            return;
        }
        QVERIFY2(boxes[0].startsWith(QStringLiteral("%1|Veltaro|").arg(MsgBoxStyle::YesNo | MsgBoxStyle::Information)),
                 qPrintable(boxes[0]));
        QVERIFY2(boxes[0].contains(QStringLiteral("1 KB")), qPrintable(boxes[0]));
        // No: back to the idle window, nothing written.
        QCOMPARE(FaultTest::Difference(before, FaultTest::TakeSnapshot(target)), QString());
        QVERIFY(w->Label3->text().isEmpty());
        QVERIFY(w->LogText.isEmpty());
        QVERIFY(w->Cmd11->isEnabled());

        // Yes: the run goes through the cache, measured in full, and leaves the box as it was.
        answer = MsgBoxResult::Yes;
        emit w->Cmd11->Click();
        QCOMPARE(boxes.size(), 2);
        QVERIFY2(w->Label3->text().startsWith(QStringLiteral("Ergebnis:")), qPrintable(w->LogText.text()));
        QVERIFY(!w->LogText.text().contains(QStringLiteral("Checksum Error!")));
        QVERIFY(w->chkDisableCaching->Checked());
        QVERIFY(!w->CacheForced);
        const RunRecord &r = w->LastRecord();
        QVERIFY(r.options.disableCaching);
        QVERIFY(r.directIoRefused);
        for (const PhaseRecord &phase : r.phases)
            for (const FileRecord &f : phase.files)
                QCOMPARE(f.directIo, std::optional<bool>(false));
        QCOMPARE(FaultTest::Difference(before, FaultTest::TakeSnapshot(target)), QString());
    }
};

QTEST_MAIN(TestRunWindow)
#include "tst_run_window.moc"
