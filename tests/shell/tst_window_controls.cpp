// The main window's own controls, as its stored design places them.
#include "controls/Chk1.h"
#include "controls/Cmd1.h"
#include "controls/PPB.h"
#include "controls/Txt.h"
#include "shell/frmMain.h"

#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

class TestWindowControls : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void designsAreLoaded()
    {
        qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());
        QDir::setCurrent(m_dir.path());
        frmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        for (Txt *box : {w.Txt1, w.Txt2}) {
            QCOMPARE(box->Style(), 2);
            QVERIFY(box->Hooks().FindHookIndex(box, false) >= 0);
        }
        w.Txt1->Text2()->selectAll(); // at most ten characters in each number field
        QTest::keyClicks(w.Txt1->Text2(), QStringLiteral("123456789012"));
        QCOMPARE(w.Txt1->Text(), QStringLiteral("1234567890"));
        for (Chk1 *box : {w.Chk11, w.ChkDoEvents, w.chkDisableCaching, w.chkEnableWriteThrough}) {
            QCOMPARE(box->Checked(), box == w.chkDisableCaching);
            QVERIFY(box->Hooks().FindHookIndex(box, false) >= 0);
        }
        QVERIFY(w.Cmd13->Caption().isEmpty());
        QCOMPARE(w.Cmd13->PictureRect().size(), QSizeF(16 * 15, 16 * 15));
        for (PPB *bar : {w.Progress1, w.OverallProgress}) {
            QCOMPARE(bar->Picture().Image.size(), QSize(591, 39));
            QVERIFY(!bar->ShowBorder());
            QVERIFY(bar->isEnabled());
            QCOMPARE(bar->ShowLabel(), bar == w.OverallProgress);
        }
    }
};

QTEST_MAIN(TestWindowControls)
#include "tst_window_controls.moc"
