#include "common/Pointer.h"
#include "controls/Cmd1.h"
#include "controls/PropertyBag.h"

#include <QSignalSpy>

class TestCmd1 : public QObject {
    Q_OBJECT
    QWidget *m_host = nullptr;
    Cmd1 *m_button = nullptr;

private slots:
    void init()
    {
        m_host = new QWidget;
        m_host->resize(400, 200);
        m_button = new Cmd1(m_host);
        m_button->setGeometry(50, 50, 100, 30);
        m_button->setCaption(QStringLiteral("Start"));
        (new QWidget(m_host))->setGeometry(130, 40, 40, 50); // another window over the button's right end
        m_host->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_host));
        Pointer::MoveTo(m_host, QPoint(5, 5));
    }
    void cleanup() { delete m_host; }

    void mouseAndKeyboardClicks()
    {
        QSignalSpy clicks(m_button, &Cmd1::Click);
        const QRectF rest = m_button->CaptionRect();
        Pointer::MoveTo(m_button, QPoint(20, 15));
        QVERIFY(m_button->IsHot());
        QCOMPARE(QWidget::mouseGrabber(), m_button);
        QCOMPARE(m_button->TopLeftEdgeColor(), SystemColor::ButtonHighlight);
        Pointer::Press(m_button, QPoint(20, 15));
        QCOMPARE(m_button->TopLeftEdgeColor(), SystemColor::ButtonShadow); // sunken
        QCOMPARE(m_button->CaptionRect().topLeft(), rest.topLeft() + QPointF(20, 20));
        Pointer::Release(m_button, QPoint(22, 16));
        QCOMPARE(clicks.count(), 1);
        QVERIFY(m_button->CaptionRect().topLeft() == rest.topLeft());
        // Dragged out: the capture goes, the look turns cold, a release outside is no click.
        Pointer::Press(m_button, QPoint(20, 15));
        Pointer::MoveTo(m_button, QPoint(20, 60));
        QVERIFY(!m_button->IsHot());
        QVERIFY(!m_button->IsPressed());
        QVERIFY(QWidget::mouseGrabber() != m_button);
        Pointer::Release(m_button, QPoint(20, 60));
        // Back in with the button still held: hot, not pressed, and no click on release.
        Pointer::MoveTo(m_host, QPoint(5, 5));
        Pointer::Press(m_button, QPoint(20, 15));
        Pointer::MoveTo(m_button, QPoint(-30, 15));
        Pointer::MoveTo(m_button, QPoint(25, 15));
        QVERIFY(m_button->IsHot());
        QVERIFY(!m_button->IsPressed());
        Pointer::Release(m_button, QPoint(25, 15));
        // Released over the window that covers the button's end: no click, still hot.
        Pointer::Press(m_button, QPoint(20, 15));
        Pointer::Release(m_button, QPoint(90, 15));
        QVERIFY(m_button->IsHot());
        QVERIFY(!m_button->IsPressed());
        QCOMPARE(clicks.count(), 1);
        QList<int> order; // keyboard clicks
        connect(m_button, &Cmd1::KeyPress, this, [&](qint16 &) { order << 1; });
        connect(m_button, &Cmd1::Click, this, [&] { order << 2; });
        QTest::keyClick(m_button, Qt::Key_Return);
        QTest::keyClick(m_button, Qt::Key_Space);
        QTest::keyClick(m_button, Qt::Key_A);
        QCOMPARE(order, QList<int>({1, 2, 1, 2, 1}));
        connect(m_button, &Cmd1::KeyPress, this, [](qint16 &keyAscii) { keyAscii = 0; });
        QTest::keyClick(m_button, Qt::Key_Return);
        QCOMPARE(order.count(2), 2); // vetoed
        QSignalSpy keyDown(m_button, &Cmd1::KeyDown);
        QTest::keyClick(m_button, Qt::Key_Up, Qt::ShiftModifier);
        // Shift, then the arrow with Shift held.
        QCOMPARE(keyDown.count(), 2);
        QCOMPARE(keyDown.at(1), QVariantList({qint16(38), qint16(1)}));
    }

    void pressWithoutMoveBefore()
    {
        // The pointer jumps (a pen, a touch screen): press and release arrive with no move and the
        // cursor still elsewhere. Over the caption, the picture-free surface and the covered end.
        QSignalSpy clicks(m_button, &Cmd1::Click);
        QWindow *window = m_host->windowHandle();
        const QList<std::pair<QPoint, int>> rows{{{50, 15}, 1}, {{3, 3}, 1}, {{90, 15}, 0}};
        for (const auto &[at, expected] : rows) {
            clicks.clear();
            const QPoint inWindow = window->mapFromGlobal(m_button->mapToGlobal(at));
            QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, inWindow);
            QVERIFY(m_button->IsPressed() || expected == 0);
            QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, inWindow);
            QCOMPARE(clicks.count(), expected);
            QTest::mouseMove(window, window->mapFromGlobal(m_host->mapToGlobal(QPoint(5, 5))));
        }
    }

    void disabledCaptionAndFocusRectangle()
    {
        m_button->setForeColor(0x0000FF); // red
        QVERIFY(HasColor(Render(*m_button), qRgb(255, 0, 0)));
        m_button->setEnabled(false);
        QVERIFY(m_button->ShadowVisible());
        const QImage disabled = Render(*m_button);
        QVERIFY(!HasColor(disabled, qRgb(255, 0, 0)));
        QVERIFY(HasColor(disabled, ControlColor(SystemColor::GrayText).rgb()));
        QVERIFY(HasColor(disabled, ControlColor(SystemColor::ButtonHighlight).rgb()));
        QVERIFY(m_button->ArrangeContent()); // a later arrangement keeps the colour from before
        m_button->setEnabled(true);
        QVERIFY(!m_button->ShadowVisible());
        QCOMPARE(m_button->ForeColor(), 0x0000FFu);
        m_host->setEnabled(false); // through the parent: the same look
        QVERIFY(m_button->ShadowVisible());
        m_host->setEnabled(true);
        m_button->setCaption(QString());
        m_button->clearFocus();
        const QImage plain = Render(*m_button);
        m_button->setFocus();
        const QImage focused = Render(*m_button);
        const QRgb face = plain.pixel(4, 2);
        // Dotted, inset 4 x 2 from the top left and 5 x 3 from the bottom right.
        QVERIFY(focused.pixel(4, 2) != face);
        QVERIFY(focused.pixel(95, 27) != face);
        QCOMPARE(focused.pixel(5, 2), face);
        for (const QPoint outside : {QPoint(3, 2), QPoint(4, 1), QPoint(96, 27)})
            QCOMPARE(focused.pixel(outside), plain.pixel(outside));
        m_button->clearFocus();
        QCOMPARE(Render(*m_button), plain);
    }

    // Only "checkcaption": the caption ends as the "Caption" default; no "WordWrap" loads False.
    void designDefaults()
    {
        m_button->setWordWrap(true);
        m_button->setForeColor(0x00800000);
        QVERIFY(m_button->ReadProperties(PropertyBag::fromText(QStringLiteral("checkcaption=Hello\n"))));
        QCOMPARE(m_button->Caption(), QStringLiteral("Command"));
        QVERIFY(!m_button->WordWrap());
        QCOMPARE(m_button->ForeColor(), SystemColor::ButtonText);
    }
};

QTEST_MAIN(TestCmd1)
#include "tst_cmd1.moc"
