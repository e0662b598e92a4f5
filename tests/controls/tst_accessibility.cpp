#include "controls/Chk1.h"
#include "controls/Cmd1.h"
#include "controls/PPB.h"
#include "controls/Txt.h"
#include "shell/frmMain.h"
#include "toolbar/McToolBar.h"

#include <QAccessible>
#include <QClipboard>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

class TestAccessibility : public QObject {
    Q_OBJECT
    QTemporaryDir m_cwd;

private slots:
    // The names below are the built-in captions: no language file may be found in the folder the
    // test is started from.
    void initTestCase() { QVERIFY(m_cwd.isValid() && QDir::setCurrent(m_cwd.path())); }

    void everyControlOfTheMainWindowHasNameAndRole()
    {
        frmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QList<std::tuple<QWidget *, QAccessible::Role, QString>> rows{
            {w.McToolBar1, QAccessible::MenuBar, "Menu"},
            {w.Cmd11, QAccessible::Button, "Start Single"},
            {w.Cmd12, QAccessible::Button, "Start Multiple"},
            {w.Cmd13, QAccessible::Button, "Automatically find proper values"}, // a picture only
            {w.Chk11, QAccessible::CheckBox, "Write logfile to test device"},
            {w.ChkDoEvents, QAccessible::CheckBox, "Increase test priority"},
            {w.chkDisableCaching, QAccessible::CheckBox, "Disable system cache"},
            {w.chkEnableWriteThrough, QAccessible::CheckBox, "Enable write through"},
            {w.Progress1, QAccessible::ProgressBar, "Progress of the file"},
            {w.OverallProgress, QAccessible::ProgressBar, "Overall progress"},
            {w.Txt1, QAccessible::EditableText, "Number of files:"},
            {w.Txt2->Text2(), QAccessible::EditableText, "Size of files (MB):"},
        };
        for (const auto &[widget, role, name] : rows) {
            QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
            QVERIFY2(iface, qPrintable(name));
            QCOMPARE(iface->role(), role);
            QCOMPARE(iface->text(QAccessible::Name), name);
        }
    }

    // A language file may mark a caption's letter with "&": the mark is not drawn, the name a screen
    // reader speaks leaves it out, and Alt with the letter acts as the click or the label's box would.
    // The menus' letters are the toolbar's and the start-up test's.
    void keyboardInTheMainWindow()
    {
        frmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        // The keys are to reach the controls, not to start a run or change a setting.
        QObject::disconnect(w.Cmd11, &Cmd1::Click, nullptr, nullptr);
        const QImage plain = w.Cmd11->picture(1);
        w.Cmd11->setCaption(QStringLiteral("&Start Single"));
        w.Label1->setText(QStringLiteral("&Number of files:"));
        // Only the underline of the S differs from the unmarked caption; a drawn "&" moves every letter.
        const QImage marked = w.Cmd11->picture(1);
        QCOMPARE(marked.size(), plain.size());
        int differing = 0;
        for (int y = 0; y < plain.height(); ++y)
            for (int x = 0; x < plain.width(); ++x)
                differing += plain.pixel(x, y) != marked.pixel(x, y);
        QVERIFY2(differing > 0 && differing <= 2 * w.Cmd11->fontMetrics().horizontalAdvance(u'S'),
                 qPrintable(QString::number(differing)));
        QCOMPARE(QAccessible::queryAccessibleInterface(w.Cmd11)->text(QAccessible::Name),
                 QStringLiteral("Start Single"));
        QSignalSpy clicks(w.Cmd11, &Cmd1::Click);
        QTest::keySequence(&w, QKeySequence(Qt::ALT | Qt::Key_S));
        QCOMPARE(clicks.count(), 1);
        QTest::keySequence(&w, QKeySequence(Qt::ALT | Qt::Key_N));
        QVERIFY(w.Txt1->isAncestorOf(QApplication::focusWidget()));
        // A disabled button is not pressed by its letter; "&&" is an ampersand and marks nothing.
        w.Cmd11->setEnabled(false);
        QTest::keySequence(&w, QKeySequence(Qt::ALT | Qt::Key_S));
        w.Cmd11->setEnabled(true);
        w.Cmd11->setCaption(QStringLiteral("Start && Single"));
        QTest::keySequence(&w, QKeySequence(Qt::ALT | Qt::Key_S));
        QCOMPARE(clicks.count(), 1);
        // Ctrl+C copies the log only while the log panel has the focus.
        w.LogText.setText(QStringLiteral("line 1\r\n"));
        w.Label3->setText(QStringLiteral("line 1"));
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        w.Cmd11->setFocus();
        QTest::keySequence(&w, QKeySequence(QKeySequence::Copy));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
        w.Label3->setFocus();
        QTest::keySequence(w.Label3, QKeySequence(QKeySequence::Copy));
        QCOMPARE(QGuiApplication::clipboard()->text(), w.LogText.text());
    }

    void stateAndValueFollowTheControls()
    {
        QWidget host;
        auto *box = new Chk1(&host);
        auto *bar = new PPB(&host);
        auto *button = new Cmd1(&host);
        bar->resize(200, 10);
        QAccessibleInterface *boxIface = QAccessible::queryAccessibleInterface(box);
        QAccessibleInterface *barIface = QAccessible::queryAccessibleInterface(bar);
        QVERIFY(boxIface->state().checkable);
        QVERIFY(!boxIface->state().checked);
        box->setChecked(true);
        QVERIFY(boxIface->state().checked);
        // The check box's action toggles it as Space does.
        boxIface->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QVERIFY(!box->Checked());
        bar->ValueChange(42.4);
        QCOMPARE(barIface->valueInterface()->currentValue().toInt(), 42);
        QSignalSpy clicks(button, &Cmd1::Click);
        QAccessible::queryAccessibleInterface(button)->actionInterface()->doAction(
            QAccessibleActionInterface::pressAction());
        QCOMPARE(clicks.count(), 1);
        // Disabled through the parent: the state says so, and no stored Enabled is reported.
        QSignalSpy reports(button, &Cmd1::PropertyChanged);
        host.setEnabled(false);
        QVERIFY(QAccessible::queryAccessibleInterface(button)->state().disabled);
        QVERIFY(reports.isEmpty());
        host.setEnabled(true);
        button->setEnabled(false);
        QCOMPARE(reports.count(), 1);
        QCOMPARE(reports.at(0).at(0).toString(), QStringLiteral("Enabled"));
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
