// The main window's life: start-up with its controls' designs and close against a settings store of its
// own, about window, busy animation, and the File, Edit and Help menus.
#include "common/EngineTestSupport.h"
#include "common/SystemSupport.h"
#include "controls/Chk1.h"
#include "controls/Cmd1.h"
#include "controls/PPB.h"
#include "controls/Txt.h"
#include "lang/modLang.h"
#include "platform/SettingsStore.h"
#include "platform/Version.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/SaveFileDialog.h"
#include "shell/BusyAnimation.h"
#include "shell/frmAbout.h"
#include "shell/frmMain.h"
#include "toolbar/McToolBar.h"

#include <QtTest>
#include <QtWidgets>

// The two number fields, the target list and its current index.
static QString Fields(const frmMain &w)
{
    QStringList items{w.Txt1->Text() + u'/' + w.Txt2->Text()};
    for (int i = 0; i < w.Drive1->count(); ++i)
        items << w.Drive1->itemText(i);
    return items.join(u'|') + QStringLiteral(" @%1").arg(w.Drive1->currentIndex());
}

// Replaces the store's contents with "key=value" pairs separated by "|".
static void Seed(const QString &pairs)
{
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tavrin"));
    s.clear();
    for (const QString &pair : pairs.split(u'|', Qt::SkipEmptyParts))
        s.setValue(QStringLiteral("Veltaro/") + pair.section(u'=', 0, 0), pair.section(u'=', 1));
}

// The stored values, joined by "|".
static QString Stored()
{
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tavrin"));
    QStringList values;
    for (const char *key : {"NrFiles", "NrMBytes", "NrPrevPath", "PrevPath1", "PrevPath2", "PrevPathSelected"})
        values << s.value(QStringLiteral("Veltaro/") + key, QStringLiteral("<absent>")).toString();
    return values.join(u'|');
}

class TestMainWindow : public QObject {
    Q_OBJECT
    QTemporaryDir m_workDir;
    QStringList boxes; // "style|title|prompt"
    QString chosenFile;
    int dialogs = 0;

    void useLanguageFile(const QByteArray &contents)
    {
        const QString file = m_workDir.filePath(QStringLiteral("deutsch.lng"));
        QFile::remove(file);
        QVERIFY(contents.isNull() || SystemTest::WriteFile(file, contents));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QDir::setCurrent(m_workDir.path()));
        SetMsgBoxHandler([this](const QString &prompt, int style, const QString &title) {
            boxes << QStringLiteral("%1|%2|%3").arg(style).arg(title, prompt);
            return MsgBoxResult::Ok;
        });
        SetSaveFileNameHandler([this](const QString &filter) {
            dialogs += filter == u"*.txt";
            return chosenFile;
        });
    }

    void firstStartShowsDefaultsAndSavesThem()
    {
        Seed(QString());
        useLanguageFile(QByteArray());
        frmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.windowTitle(), QStringLiteral("Veltaro v.") + ProgramVersion());
        const QString home = QDir::homePath() + (QDir::homePath().endsWith(u'/') ? "" : "/");
        QCOMPARE(Fields(w), QStringLiteral("20/10|%1|Translation Error! @0").arg(home));
        // The controls take their stored designs: only the cache starts switched off, the number
        // fields take ten characters, the bars have no border and only the overall one a label.
        for (Chk1 *box : {w.Chk11, w.ChkDoEvents, w.chkDisableCaching, w.chkEnableWriteThrough})
            QCOMPARE(box->Checked(), box == w.chkDisableCaching);
        w.Txt1->Text2()->selectAll();
        QTest::keyClicks(w.Txt1->Text2(), QStringLiteral("123456789012"));
        QCOMPARE(w.Txt1->Text(), QStringLiteral("1234567890"));
        QVERIFY(w.Cmd13->Caption().isEmpty());
        for (PPB *bar : {w.Progress1, w.OverallProgress}) {
            QVERIFY(!bar->ShowBorder());
            QVERIFY(bar->isEnabled());
            QCOMPARE(bar->ShowLabel(), bar == w.OverallProgress);
        }
        QVERIFY(w.close());
        QCOMPARE(Stored(), QStringLiteral("1234567890|10|1|%1|<absent>|0").arg(home));
    }

    void restoresStoredValuesAndWritesThemBack()
    {
        // The empty path is dropped, so the paths are numbered anew on close.
        Seed(QStringLiteral(
            "NrFiles=12x|NrMBytes=abc|NrPrevPath=3|PrevPath1=/a/|PrevPath2=|PrevPath3=/c d/|PrevPathSelected=1"));
        useLanguageFile("[Translation By: T]\r\n27=Anzahl:\r\n53=<Suchen>\r\n");
        frmMain w;
        w.show();
        QCOMPARE(Fields(w), QStringLiteral("12/0|/a/|/c d/|<Suchen> @1"));
        QCOMPARE(w.Label1->text() + w.Label2->text(), QStringLiteral("Anzahl:Size of files (MB):"));
        // A close during a run only asks it to stop; the settings are kept at the close that follows.
        w.Txt1->setText(QStringLiteral("7"));
        w.StopRequested = false;
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());
        QVERIFY(w.StopRequested);
        QCOMPARE(Stored().section(u'|', 0, 0), QStringLiteral("12x"));
        QVERIFY(w.close());
        QCOMPARE(Stored(), QStringLiteral("7|0|2|/a/|/c d/|1"));
        // A typed target that is no list item is no selection; the list's spelling of one is.
        for (const auto &[typed, selected] : {std::pair{"/elsewhere/", "-1"}, {"/a/", "0"}}) {
            w.show();
            w.Drive1->setEditText(QString::fromUtf8(typed));
            QVERIFY(w.close());
            QCOMPARE(Stored().section(u'|', 5), QString::fromUtf8(selected));
        }
        // The store is INI text with the group [Veltaro], read back as text by the next process.
        QVERIFY(EngineTest::ReadAll(qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Tavrin.conf"))
                    .contains("[Veltaro]\nNrFiles=7\n"));
        // Bad values fall back.
        Seed(QStringLiteral("NrFiles=-2.5|NrMBytes=1e3|NrPrevPath=99999999999|PrevPath1=/x/|PrevPathSelected=99"));
        useLanguageFile(QByteArray(1024, '\xff'));
        QCOMPARE(Fields(frmMain()), QStringLiteral("-3/1000|/x/|Translation Error! @0"));
        Seed(QStringLiteral("PrevPathSelected=-1|NrPrevPath=abc"));
        QCOMPARE(Fields(frmMain()), QStringLiteral("20/10|%1/|Translation Error! @0").arg(QDir::homePath()));
    }

    // A new modal window for each showing, filled from the table as it is then, and gone after OK.
    void aboutTextsAndLife()
    {
        frmMain w;
        QStringList seen;
        for (const char *language : {"", "deutsch.lng"}) {
            if (*language)
                LoadLanguageFile(qEnvironmentVariable("VELTARO_SOURCE_DIR") + "/lang/" + QLatin1String(language));
            QTimer::singleShot(0, [&] {
                auto *about = dynamic_cast<frmAbout *>(QApplication::activeModalWidget());
                QVERIFY(about);
                QVERIFY(!about->Image1->pixmap().isNull());
                QVERIFY(!about->lblDisclaimer->text().isEmpty());
                seen << about->windowTitle() << about->lblVersion->text() << about->lblDescription->text();
                QTest::mouseClick(about->cmdOK, Qt::LeftButton);
            });
            w.ShowAbout();
            QVERIFY(w.findChildren<frmAbout *>().isEmpty());
        }
        const QString version = QStringLiteral("v. ") + ProgramVersion();
        // Without a file the built-in text stays; the shipped file describes the program instead.
        QCOMPARE(seen,
                 (QStringList{"About...", version,
                              "No language files found. Please ensure that the *.lng files exist in the folder "
                              "where this program is running from!",
                              "Über...", version,
                              "Veltaro misst, wie schnell ein Laufwerk oder Ordner Dateien schreibt und liest. Es "
                              "schreibt Testdateien in 1024-Byte-Blöcken, liest sie zurück und zeigt Zeiten und "
                              "MB/s im Protokoll."}));
        modLang::state() = modLang::LanguageState{};
    }

    void busyAnimationAlternatesPictures()
    {
        frmMain w;
        // The frame, the picture shown as the window icon, and which of the two lies on top in the window.
        const auto shown = [&] {
            QWidget *top = w.iIcon[0]->parentWidget()->childAt(w.iIcon[0]->geometry().center());
            const QList<qint64> icons{0, w.Busy->Icon(1).cacheKey(), w.Busy->Icon(2).cacheKey()};
            return w.Busy->Frame() * 100 + icons.indexOf(w.windowIcon().cacheKey()) * 10 +
                   QList<QWidget *>{nullptr, w.iIcon[0], w.iIcon[1]}.indexOf(top);
        };
        w.StartBusyAnimation();
        QVERIFY(w.IconAnimation->isActive());
        QVERIFY(w.Busy->Icon(1).pixmap(32).toImage() != w.Busy->Icon(2).pixmap(32).toImage());
        for (int expected : {111, 222, 111, 222}) { // the first tick after start-up shows frame 1
            w.Busy->Tick();
            QCOMPARE(shown(), expected);
        }
        const int before = w.Busy->Frame(); // the timer itself drives it
        QTRY_VERIFY_WITH_TIMEOUT(w.Busy->Frame() != before, 1000);
        w.StopBusyAnimation();
        QVERIFY(!w.IconAnimation->isActive());
        QCOMPARE(shown() % 100, 11);
        // The counter carries over into the next run.
        const int last = w.Busy->Frame();
        w.StartBusyAnimation();
        w.Busy->Tick();
        QCOMPARE(w.Busy->Frame(), last == 1 ? 2 : 1);
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

    void markedCaptionsKeepTheirLettersFromTheMenuBar()
    {
        // A language file that marks a control's letter takes it from the menu button that only
        // has it as its first letter.
        useLanguageFile("56=&Enable write through\r\n");
        frmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QObject::disconnect(w.chkEnableWriteThrough, &Chk1::Click, nullptr, nullptr);
        const bool checked = w.chkEnableWriteThrough->Checked();
        QTest::keySequence(&w, QKeySequence(Qt::ALT | Qt::Key_E));
        QCOMPARE(w.chkEnableWriteThrough->Checked(), !checked);
        QVERIFY(!w.mnuEdit->isVisible());
        QTest::keySequence(&w, QKeySequence(Qt::ALT | Qt::Key_H));
        QTRY_VERIFY(w.mnuHelp->isVisible());
        w.mnuHelp->close();
        useLanguageFile(QByteArray());
        modLang::state() = modLang::LanguageState{};
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
        chosenFile.clear(); // cancel writes nothing; Ctrl+S asks as the menu does
        w.Label3->setText(QStringLiteral("a log"));
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
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

int main(int argc, char *argv[])
{
    // The store's folder is fixed at the first settings access, so it is set before anything runs.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QApplication app(argc, argv);
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
