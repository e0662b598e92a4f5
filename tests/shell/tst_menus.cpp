// The File, Edit and Help menus of the main window.
#include "common/EngineTestSupport.h"
#include "controls/Chk1.h"
#include "controls/Cmd1.h"
#include "controls/Txt.h"
#include "platform/SettingsStore.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/SaveFileDialog.h"
#include "shell/frmMain.h"
#include "toolbar/McToolBar.h"

#include <QtTest>
#include <QtWidgets>

class tst_menus : public QObject {
    Q_OBJECT
    QTemporaryDir config;
    QStringList boxes; // "style|title|prompt"
    QString chosenFile;
    int dialogs = 0;

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        SetMsgBoxHandler([this](const QString &prompt, int style, const QString &title) {
            boxes << QStringLiteral("%1|%2|%3").arg(style).arg(title, prompt);
            return MsgBoxResult::Ok;
        });
        SetSaveFileNameHandler([this](const QString &filter) {
            dialogs += filter == u"*.txt";
            return chosenFile;
        });
    }

    void toolbarOpensTheMenusEnabledByTheLogPanel()
    {
        frmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QList<QMenu *> menus{w.mnuFile, w.mnuEdit, w.mnuHelp};
        QStringList items;
        for (const QMenu *menu : menus)
            for (const QAction *a : menu->actions())
                items << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(items.join(u'|'), QStringLiteral("Save As...|-|Exit|Copy|-|Results...|Check for update|-|About..."));
        // Each menu opens under its button, alone, and decides what it enables from the panel, not the kept log.
        const auto open = [&](int i) {
            emit w.McToolBar1->Click(i);
            QTRY_VERIFY(menus[i]->isVisible());
            QCOMPARE(menus[i]->pos(),
                     w.McToolBar1->mapToGlobal(QPoint(w.McToolBar1->GetButtonLeft(i), w.McToolBar1->height())));
            for (QMenu *other : menus)
                QCOMPARE(other->isVisible(), other == menus[i]);
            menus[i]->hide();
        };
        const auto enabled = [&] {
            return w.mnuFileSaveAs->isEnabled() * 100 + w.mnuEditCopy->isEnabled() * 10 + w.mnuFileExit->isEnabled();
        };
        open(0), open(1), open(2);
        QCOMPARE(enabled(), 1);
        w.Label3->setText(QStringLiteral("Teststart: 20:20 05.12.26"));
        open(0);
        QCOMPARE(enabled(), 101);
        open(1);
        QCOMPARE(enabled(), 111);
        w.LogText.setText(QStringLiteral("kept\r\n"));
        w.Label3->clear();
        open(0), open(1);
        QCOMPARE(enabled(), 1);
    }

    void saveAsAndCopy()
    {
        frmMain w;
        QTemporaryDir dir;
        chosenFile = dir.filePath(QStringLiteral("run.txt"));
        w.LogText.setText(
            QStringLiteral("Teststart: 20:20 05.12.26\r\nSchreibe... 10 Dateien\r\n2\r\n3\r\n4\r\n5\r\n"));
        w.mnuFileSaveAs->trigger();
        w.LogText.setText(QStringLiteral(u"Größe\r\n")); // saving again replaces the file
        w.mnuFileSaveAs->trigger();
        chosenFile.clear(); // cancel writes nothing
        w.mnuFileSaveAs->trigger();
        QCOMPARE(dialogs, 3);
        QVERIFY(boxes.isEmpty());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"run.txt"});
        QCOMPARE(EngineTest::ReadAll(dir.filePath("run.txt")), QStringLiteral(u"Größe\r\n\r\n").toUtf8());
        // A missing folder, then the folder itself: one error box naming the file each, and nothing written.
        QTemporaryDir empty;
        for (const QString &name : {QStringLiteral("missing/run.txt"), QString()}) {
            chosenFile = empty.filePath(name);
            w.mnuFileSaveAs->trigger();
            QCOMPARE(boxes.size(), 1);
            QVERIFY2(boxes[0].startsWith(QStringLiteral("16|Veltaro|")), qPrintable(boxes[0]));
            QVERIFY2(boxes[0].contains(QDir::toNativeSeparators(chosenFile)), qPrintable(boxes[0]));
            boxes.clear();
        }
        QVERIFY(QDir(empty.path()).isEmpty());
        // Copy takes the whole log, not the panel's last lines.
        QGuiApplication::clipboard()->setText(QStringLiteral("something else"));
        w.LogText.setText(QStringLiteral("Datei 1: 0.25 Sek.\r\n").repeated(12));
        w.Label3->setText(QStringLiteral("only the last six lines"));
        w.mnuEditCopy->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), w.LogText.text());
    }

    // Last: it ends the application's event loop.
    void exitDuringARunStopsItSavesAndEnds()
    {
        QGuiApplication::setQuitOnLastWindowClosed(false); // only Exit itself may end the program
        QTemporaryDir target;
        frmMain w;
        w.show();
        w.Drive1->setEditText(target.path());
        w.Txt1->setText(QStringLiteral("50"));
        w.Txt2->setText(QStringLiteral("20"));
        w.chkDisableCaching->setChecked(false); // the temporary folder may not take direct I/O
        bool runningBefore = false;
        QTimer::singleShot(0, this, [&] {
            QTimer::singleShot(100, this, [&] {
                runningBefore = !w.StopRequested;
                w.mnuFileExit->trigger();
            });
            emit w.Cmd11->Click(); // returns when the run has stopped
        });
        QTimer::singleShot(30000, this, [] { QCoreApplication::exit(1); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(runningBefore);
        QVERIFY(w.StopRequested);
        QVERIFY(!w.isVisible());
        QVERIFY(w.LogText.text().contains(QStringLiteral("Abbruch...")));
        QCOMPARE(EngineTest::FilesIn(target.path() + u'/', QStringLiteral("*.tst")), QStringList());
        QCOMPARE(SettingsStore::GetSetting("Tavrin", "Veltaro", "NrFiles"), QStringLiteral("50"));
    }
};

QTEST_MAIN(tst_menus)
#include "tst_menus.moc"
