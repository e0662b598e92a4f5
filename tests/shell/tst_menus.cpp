#include "common/EngineTestSupport.h"
#include "common/HttpTestServer.h"
#include "controls/Chk1.h"
#include "controls/Cmd1.h"
#include "controls/Txt.h"
#include "platform/InetTransfer.h"
#include "platform/MsgBox.h"
#include "platform/SaveFileDialog.h"
#include "platform/SettingsStore.h"
#include "shell/frmMain.h"
#include "shell/modDl.h"
#include "toolbar/McToolBar.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList Items(const QMenu *menu)
{
    QStringList items;
    for (const QAction *a : menu->actions())
        items << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return items;
}

} // namespace

class tst_menus : public QObject {
    Q_OBJECT

    QTemporaryDir config;
    QStringList boxes; // "style|title|prompt"
    QString chosenFile;
    QStringList filters;

private slots:
    void initTestCase()
    {
        QVERIFY(config.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        SetMsgBoxHandler([this](const QString &prompt, int style, const QString &title) {
            boxes << QStringLiteral("%1|%2|%3").arg(style).arg(title, prompt);
            return MsgBoxResult::Ok;
        });
        SetSaveFileNameHandler([this](const QString &filter) {
            filters << filter;
            return chosenFile;
        });
    }

    void init()
    {
        boxes.clear();
        filters.clear();
        chosenFile.clear();
    }

    void toolbarOpensTheMenus()
    {
        frmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(Items(w.mnuFile),
                 (QStringList{QStringLiteral("Save As..."), QStringLiteral("-"), QStringLiteral("Exit")}));
        QCOMPARE(Items(w.mnuEdit), QStringList{QStringLiteral("Copy")});
        QCOMPARE(Items(w.mnuHelp),
                 (QStringList{QStringLiteral("Check for update"), QStringLiteral("-"), QStringLiteral("About...")}));

        const QList<QMenu *> menus{w.mnuFile, w.mnuEdit, w.mnuHelp};
        for (int i = 0; i < menus.size(); ++i) {
            emit w.McToolBar1->Click(i);
            QTRY_VERIFY(menus[i]->isVisible());
            const QPoint underButton(w.McToolBar1->GetButtonLeft(i), w.McToolBar1->height());
            QCOMPARE(menus[i]->pos(), w.McToolBar1->mapToGlobal(underButton));
            for (QMenu *other : menus)
                QCOMPARE(other->isVisible(), other == menus[i]);
            menus[i]->hide();
        }
        for (int index : {3, -1}) {
            emit w.McToolBar1->Click(index);
            QTest::qWait(20);
            for (QMenu *menu : menus)
                QVERIFY(!menu->isVisible());
        }
    }

    void saveAndCopyNeedALoggedPanel()
    {
        frmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const auto openAndClose = [&](int index, QMenu *menu) {
            emit w.McToolBar1->Click(index);
            QTRY_VERIFY(menu->isVisible());
            menu->hide();
        };
        openAndClose(0, w.mnuFile);
        openAndClose(1, w.mnuEdit);
        QVERIFY(!w.mnuFileSaveAs->isEnabled());
        QVERIFY(!w.mnuEditCopy->isEnabled());
        QVERIFY(w.mnuFileExit->isEnabled());

        w.Label3->setText(QStringLiteral("Teststart: 20:20 05.12.26"));
        openAndClose(0, w.mnuFile);
        QVERIFY(w.mnuFileSaveAs->isEnabled());
        QVERIFY(!w.mnuEditCopy->isEnabled()); // decided when its own menu opens
        openAndClose(1, w.mnuEdit);
        QVERIFY(w.mnuEditCopy->isEnabled());

        // The panel decides, not the kept log: a cleared panel disables both again.
        w.LogText = QStringLiteral("kept\r\n");
        w.Label3->clear();
        openAndClose(0, w.mnuFile);
        openAndClose(1, w.mnuEdit);
        QVERIFY(!w.mnuFileSaveAs->isEnabled());
        QVERIFY(!w.mnuEditCopy->isEnabled());
    }

    void saveAsWritesTheWholeLog()
    {
        frmMain w;
        QTemporaryDir dir;
        chosenFile = dir.filePath(QStringLiteral("run.txt"));
        w.LogText = QStringLiteral(
            "Teststart: 20:20 05.12.26\r\nSchreibe... 10 Dateien\r\nGröße 1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n");
        w.mnuFileSaveAs->trigger();
        QCOMPARE(filters, QStringList{QStringLiteral("*.txt")});
        QCOMPARE(ReadAll(chosenFile), (w.LogText + QStringLiteral("\r\n")).toUtf8());

        // Saving again replaces the file rather than adding to it.
        w.LogText = QStringLiteral("short\r\n");
        w.mnuFileSaveAs->trigger();
        QCOMPARE(ReadAll(chosenFile), QByteArray("short\r\n\r\n"));
        QVERIFY(boxes.isEmpty());

        // Cancel writes nothing.
        w.LogText = QStringLiteral("other\r\n");
        chosenFile.clear();
        w.mnuFileSaveAs->trigger();
        QCOMPARE(filters.size(), 3);
        QCOMPARE(ReadAll(dir.filePath(QStringLiteral("run.txt"))), QByteArray("short\r\n\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("run.txt")});
        QVERIFY(boxes.isEmpty());
    }

    void saveAsReportsAFileItCannotWrite()
    {
        frmMain w;
        QTemporaryDir dir;
        w.LogText = QStringLiteral("line\r\n");
        for (const QString &name : {QStringLiteral("missing/run.txt"), QString()}) {
            boxes.clear();
            chosenFile = dir.filePath(name); // a missing folder, then the folder itself
            w.mnuFileSaveAs->trigger();
            QCOMPARE(boxes.size(), 1);
            QVERIFY2(boxes[0].startsWith(QStringLiteral("16|Veltaro|")), qPrintable(boxes[0]));
            QVERIFY2(boxes[0].contains(QDir::toNativeSeparators(chosenFile)), qPrintable(boxes[0]));
        }
        QVERIFY(QFileInfo(dir.path()).isDir());
        QVERIFY(QDir(dir.path()).isEmpty());
    }

    void copyPutsTheWholeLogOnTheClipboard()
    {
        frmMain w;
        QGuiApplication::clipboard()->setText(QStringLiteral("something else"));
        QString log;
        for (int i = 1; i <= 12; ++i)
            log += QStringLiteral("Datei %1: 0.25 Sek.\r\n").arg(i);
        w.LogText = log;
        w.Label3->setText(QStringLiteral("only the last six lines"));
        w.mnuEditCopy->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), log);
    }

    void checkForUpdateFromTheMenu()
    {
        HttpTestServer server;
        server.respondBody("Current Version=1.0.14\r\nDownload=http://127.0.0.1/x\r\n");
        frmMain w;
        QCOMPARE(w.UpdateUrl, modDl::kUpdateUrl);
        w.UpdateUrl = server.url();
        w.mnuHelpCheckUpdate->trigger();
        QCOMPARE(server.requests(), 1);
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].startsWith(QStringLiteral("64|")), qPrintable(boxes[0]));
        QVERIFY(!QFile::exists(modDl::UpdateTempFile(QCoreApplication::applicationDirPath())));
    }

    // Last: it ends the application's event loop.
    void exitDuringARunStopsItSavesAndEnds()
    {
        QGuiApplication::setQuitOnLastWindowClosed(false); // only Exit itself may end the program
        QTemporaryDir target;
        frmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
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
        QTimer giveUp;
        giveUp.setSingleShot(true);
        connect(&giveUp, &QTimer::timeout, this, [] { QCoreApplication::exit(1); });
        giveUp.start(30000);
        QCOMPARE(QCoreApplication::exec(), 0);

        QVERIFY(runningBefore);
        QVERIFY(w.StopRequested);
        QVERIFY(w.LogText.contains(QStringLiteral("Abbruch...")));
        QVERIFY(!w.isVisible());
        QCOMPARE(EngineTest::FilesIn(target.path() + u'/', QStringLiteral("*.tst")), QStringList());
        QCOMPARE(
            SettingsStore::GetSetting(QStringLiteral("Tavrin"), QStringLiteral("Veltaro"), QStringLiteral("NrFiles")),
            QStringLiteral("50"));
    }
};

QTEST_MAIN(tst_menus)
#include "tst_menus.moc"
