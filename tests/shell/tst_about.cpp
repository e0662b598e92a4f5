// The about window's texts and life, and the busy animation of the main window.
#include "shell/BusyAnimation.h"
#include "shell/frmAbout.h"
#include "shell/frmMain.h"
#include "shell/lang/modLang.h"

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

class TestAbout : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    static void loadLanguage(const QString &name)
    {
        QFile f(qEnvironmentVariable("VELTARO_SOURCE_DIR") + QStringLiteral("/lang/") + name);
        QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(f.fileName()));
        modLang::LoadLanguageData(f.readAll());
    }

    // Which of the two animation pictures lies on top on the window.
    static int PictureOnTop(const frmMain &w)
    {
        QWidget *top = w.iIcon[0]->parentWidget()->childAt(w.iIcon[0]->geometry().center());
        return top == w.iIcon[0] ? 1 : top == w.iIcon[1] ? 2 : 0;
    }

    static int IconShown(const frmMain &w)
    {
        const qint64 key = w.windowIcon().cacheKey();
        return key == w.Busy->Icon(1).cacheKey() ? 1 : key == w.Busy->Icon(2).cacheKey() ? 2 : 0;
    }

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());
        QDir::setCurrent(m_dir.path());
    }

    void cleanup() { modLang::state() = modLang::LanguageState{}; }

    void aboutTexts()
    {
        {
            frmAbout about;
            QVERIFY(about.isModal());
            QCOMPARE(about.windowTitle(), QStringLiteral("About..."));
            QCOMPARE(about.lblVersion->text(), QStringLiteral("v. 1.0.14"));
            QCOMPARE(about.lblDescription->text(),
                     QStringLiteral("No language files found. Please ensure that the *.lng files exist in the "
                                    "folder where this program is running from!"));
            QVERIFY(!about.lblDisclaimer->text().isEmpty());
            QVERIFY(!about.Image1->pixmap().isNull());
        }
        loadLanguage(QStringLiteral("deutsch.lng"));
        frmAbout about;
        QCOMPARE(about.windowTitle(), LangText(61, false, false, false, QString()));
        QVERIFY(about.lblDescription->text().startsWith(QStringLiteral("Keine Sprachdateien gefunden")));
        QCOMPARE(about.lblVersion->text(), QStringLiteral("v. 1.0.14"));
    }

    void aboutIsNewForEachShowingAndGoneAfterOk()
    {
        frmMain w;
        QList<QWidget *> shown;
        QStringList titles;
        const auto answer = [&] {
            QTimer::singleShot(0, [&] {
                auto *about = dynamic_cast<frmAbout *>(QApplication::activeModalWidget());
                QVERIFY(about);
                shown << about;
                titles << about->windowTitle();
                QTest::mouseClick(about->cmdOK, Qt::LeftButton);
            });
        };
        answer();
        w.ShowAbout();
        QCOMPARE(shown.size(), 1);
        QVERIFY(w.findChildren<frmAbout *>().isEmpty());

        loadLanguage(QStringLiteral("deutsch.lng"));
        answer();
        w.ShowAbout();
        QCOMPARE(shown.size(), 2);
        // A new window each time, loaded with the table as it is now.
        QCOMPARE(titles, (QStringList{QStringLiteral("About..."), QStringLiteral("Über...")}));
        QVERIFY(w.findChildren<frmAbout *>().isEmpty());
    }

    void busyAnimationAlternatesPictures()
    {
        frmMain w;
        QVERIFY(!w.IconAnimation->isActive());
        w.StartBusyAnimation();
        QVERIFY(w.IconAnimation->isActive());
        QCOMPARE(w.IconAnimation->interval(), 100);
        QVERIFY(w.Busy->Icon(1).pixmap(32).toImage() != w.Busy->Icon(2).pixmap(32).toImage());

        // The first tick after start-up shows frame 1, then 2, 1, 2 ...
        for (int expected : {1, 2, 1, 2}) {
            w.Busy->Tick();
            QCOMPARE(w.Busy->Frame(), expected);
            QCOMPARE(IconShown(w), expected);
            QCOMPARE(PictureOnTop(w), expected);
        }
        // The timer itself drives it.
        const int before = w.Busy->Frame();
        QTRY_VERIFY_WITH_TIMEOUT(w.Busy->Frame() != before, 1000);

        w.StopBusyAnimation();
        QVERIFY(!w.IconAnimation->isActive());
        QCOMPARE(IconShown(w), 1);
        QCOMPARE(PictureOnTop(w), 1);

        // The counter carries over into the next run.
        const int last = w.Busy->Frame();
        w.StartBusyAnimation();
        w.Busy->Tick();
        QCOMPARE(w.Busy->Frame(), last == 1 ? 2 : 1);
        w.StopBusyAnimation();
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
