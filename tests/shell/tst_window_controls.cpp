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
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());
        QDir::setCurrent(m_dir.path());
    }

    void designsAreLoaded()
    {
        frmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        for (Txt *box : {w.Txt1, w.Txt2}) {
            QCOMPARE(box->Style(), 2);
            QCOMPARE(box->ShownBox(), box->Text2());
            QVERIFY(box->Hooks().FindHookIndex(box, false) >= 0);
        }
        // At most ten characters in each number field.
        w.Txt1->Text2()->selectAll();
        QTest::keyClicks(w.Txt1->Text2(), QStringLiteral("123456789012"));
        QCOMPARE(w.Txt1->Text(), QStringLiteral("1234567890"));

        QVERIFY(w.chkDisableCaching->Checked());
        for (Chk1 *box : {w.Chk11, w.ChkDoEvents, w.chkEnableWriteThrough})
            QVERIFY(!box->Checked());
        for (Chk1 *box : {w.Chk11, w.ChkDoEvents, w.chkDisableCaching, w.chkEnableWriteThrough})
            QVERIFY(box->Hooks().FindHookIndex(box, false) >= 0);

        QVERIFY(!w.Cmd13->Picture().isNull());
        QVERIFY(w.Cmd13->Caption().isEmpty());
        QCOMPARE(w.Cmd13->PictureRect().size(), QSizeF(16 * 15, 16 * 15));
        for (Cmd1 *button : {w.Cmd11, w.Cmd12})
            QVERIFY(!button->Caption().isEmpty() && button->Caption() != QStringLiteral("Command"));

        for (PPB *bar : {w.Progress1, w.OverallProgress}) {
            QCOMPARE(bar->Picture().Image.size(), QSize(591, 39));
            QVERIFY(!bar->ShowBorder());
            QVERIFY(bar->isEnabled());
        }
        QVERIFY(!w.Progress1->ShowLabel());
        QVERIFY(w.OverallProgress->ShowLabel());
    }
};

QTEST_MAIN(TestWindowControls)
#include "tst_window_controls.moc"
