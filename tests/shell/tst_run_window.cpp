// "Start Single" and "Start Multiple" through the real window, offscreen.
#include "common/EngineTestSupport.h"
#include "controls/Chk1.h"
#include "controls/Cmd1.h"
#include "controls/Txt.h"
#include "platform/Version.h"
#include "shell/frmMain.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
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

    void singleRunFromTheButton()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + u'/';
        QFile other(path + "other.tst");
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.close();

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
        emit w.Cmd11->Click();

        QVERIFY(lockedDuringRun);
        QVERIFY(w.StopRequested);
        QVERIFY(w.Cmd11->isEnabled() && w.Cmd12->isEnabled() && w.Drive1->isEnabled() && w.Chk11->isEnabled());
        QCOMPARE(FilesIn(path, QStringLiteral("*.tst")), QStringList());
        QVERIFY(w.Results.SingleWriteRate > 0 && w.Results.SingleReadRate > 0);
        QVERIFY(w.Label3->text().startsWith(QStringLiteral("Ergebnis:\nSchreibzeit: ")));

        QVERIFY(w.LogFileName.startsWith(path + "Single_VeltaroLog_"));
        QString text = QString::fromUtf8(ReadAll(w.LogFileName));
        QVERIFY(text.endsWith("\r\nErstellt mit Veltaro v." + ProgramVersion() + "\r\n"));
        QStringList lines = text.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.mid(0, 4),
                 QStringList({QString(43, u'#'), "# Veltaro auf: " + dir.path(), QString(43, u'#'), ""}));
        QCOMPARE(text.mid(text.indexOf(QStringLiteral("Teststart"))),
                 w.LogText + "\r\nErstellt mit Veltaro v." + ProgramVersion() + "\r\n");
        const QStringList logged = w.LogText.split(QStringLiteral("\r\n"));
        COMPARE_LINES(logged.mid(0, 3), QStringList({"Teststart: <time>", "Erstelle 2 Dateien (2 MB)", "Datei  1..."}));
        QVERIFY2(
            QRegularExpression(QStringLiteral("^Zeit: \\d*,\\d* Sekunden \\(\\d+ ms\\)$")).match(logged[3]).hasMatch(),
            qPrintable(logged[3]));
        QVERIFY(w.LogText.contains(QStringLiteral("\r\nLese Datei  2\r\n")));
    }

    void closeDuringARunStopsIt()
    {
        QTemporaryDir dir;
        frmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.Drive1->setEditText(dir.path());
        w.Txt1->setText(QStringLiteral("3"));
        w.Txt2->setText(QStringLiteral("50"));
        w.chkDisableCaching->setChecked(false);
        bool closedDuringRun = true;
        QTimer::singleShot(0, &w, [&] { closedDuringRun = w.close(); });
        QElapsedTimer clock;
        clock.start();
        emit w.Cmd12->Click();

        QVERIFY(!closedDuringRun);
        QVERIFY(w.isVisible());
        QVERIFY(clock.elapsed() < 5000);
        QVERIFY(w.LogText.endsWith(QStringLiteral("Abbruch...\r\n")));
        QCOMPARE(FilesIn(dir.path()), QStringList());
        QVERIFY(w.StopRequested);
        QVERIFY(w.close()); // the second close ends the window
    }
};

QTEST_MAIN(TestRunWindow)
#include "tst_run_window.moc"
