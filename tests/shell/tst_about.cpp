// The about window's texts and life, and the busy animation of the main window.
#include "shell/BusyAnimation.h"
#include "shell/frmAbout.h"
#include "shell/frmMain.h"
#include "shell/lang/modLang.h"

#include <QtTest>
#include <QtWidgets>

class TestAbout : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());
        QDir::setCurrent(m_dir.path());
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
                QVERIFY(about && !about->Image1->pixmap().isNull() && !about->lblDisclaimer->text().isEmpty());
                seen << about->windowTitle() << about->lblVersion->text() << about->lblDescription->text();
                QTest::mouseClick(about->cmdOK, Qt::LeftButton);
            });
            w.ShowAbout();
            QVERIFY(w.findChildren<frmAbout *>().isEmpty());
        }
        QCOMPARE(seen, (QStringList{"About...", "v. 1.0.14",
                                    "No language files found. Please ensure that the *.lng files exist in the folder "
                                    "where this program is running from!",
                                    "Über...", "v. 1.0.14",
                                    "Keine Sprachdateien gefunden. Bitte stellen Sie sicher, dass die *.lng-Dateien "
                                    "im Programmordner liegen!"}));
        modLang::state() = modLang::LanguageState{};
    }

    void busyAnimationAlternatesPictures()
    {
        frmMain w;
        // Which picture is shown as the window icon, and which of the two lies on top in the window.
        const auto shown = [&] {
            QWidget *top = w.iIcon[0]->parentWidget()->childAt(w.iIcon[0]->geometry().center());
            const QList<qint64> icons{0, w.Busy->Icon(1).cacheKey(), w.Busy->Icon(2).cacheKey()};
            return QPair<int, int>(icons.indexOf(w.windowIcon().cacheKey()),
                                   QList<QWidget *>{nullptr, w.iIcon[0], w.iIcon[1]}.indexOf(top));
        };
        QVERIFY(!w.IconAnimation->isActive());
        w.StartBusyAnimation();
        QVERIFY(w.IconAnimation->isActive() && w.IconAnimation->interval() == 100);
        QVERIFY(w.Busy->Icon(1).pixmap(32).toImage() != w.Busy->Icon(2).pixmap(32).toImage());
        for (int expected : {1, 2, 1, 2}) { // the first tick after start-up shows frame 1
            w.Busy->Tick();
            QCOMPARE(w.Busy->Frame(), expected);
            QCOMPARE(shown(), QPair(expected, expected));
        }
        const int before = w.Busy->Frame(); // the timer itself drives it
        QTRY_VERIFY_WITH_TIMEOUT(w.Busy->Frame() != before, 1000);
        w.StopBusyAnimation();
        QVERIFY(!w.IconAnimation->isActive());
        QCOMPARE(shown(), QPair(1, 1));
        // The counter carries over into the next run.
        const int last = w.Busy->Frame();
        w.StartBusyAnimation();
        w.Busy->Tick();
        QCOMPARE(w.Busy->Frame(), last == 1 ? 2 : 1);
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
