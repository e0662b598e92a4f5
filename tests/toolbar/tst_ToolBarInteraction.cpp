#include "controls/PropertyBag.h"
#include "platform/Colors.h"
#include "platform/MouseTracking.h"
#include "toolbar/McToolBar.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTest>

namespace {

// The main window's toolbar design in a 400 x 100 window.
struct Host {
    QWidget window;
    McToolBar *bar;

    explicit Host(const QString &extra = QString())
    {
        window.resize(400, 100);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(11);
        window.setFont(font);
        bar = new McToolBar(&window);
        bar->setGeometry(0, 0, 320, 20);
        bar->ReadProperties(PropertyBag::fromText(
            QStringLiteral(
                "button_count=3\nbuttoncaption0=Datei\nbuttoncaption1=Bearbeiten\nbuttoncaption2=Hilfe\n"
                "buttonsstyle=2\nautosizebuttons=-1\nbuttonsheight=20\ntootipstyle=0\nbackcolor=16777215\n") +
            extra));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // Start off the bar: a move to where the pointer already is would not be a move.
        moveTo(QPoint(390, 90));
    }

    QPoint centre(int index) const { return QPoint(bar->GetButtonLeft(index) + bar->GetButtonWidth(index) / 2, 10); }
    void moveTo(const QPoint &pos) { QTest::mouseMove(window.windowHandle(), pos); }
};

} // namespace

class tst_ToolBarInteraction : public QObject {
    Q_OBJECT
private slots:
    void init() { SetMouseTrackingAvailable(true); }

    void hoverFollowsTheMouse()
    {
        Host h;
        QSignalSpy hover(h.bar, &McToolBar::OnButtonHover);
        QSignalSpy moves(h.bar, &McToolBar::MouseMove);
        QSignalSpy redraws(h.bar, &McToolBar::Redrawing);
        h.moveTo(h.centre(1));
        QCOMPARE(h.bar->Button_Index(), 1);
        QCOMPARE(hover.count(), 1);
        QCOMPARE(hover.last().at(0).toInt(), 1);
        // The hovered face of style 2 is the button face blended towards white.
        const QColor face = ToQColor(BlendColor(SystemColor::ButtonFace, 0xFFFFFF, 100));
        QCOMPARE(h.bar->Surface().pixelColor(h.bar->GetButtonLeft(1) + 2, 2), face);

        // Within the button: a move event, no hover change, no redraw.
        const int redrawsBefore = redraws.count();
        const int movesBefore = moves.count();
        h.moveTo(h.centre(1) + QPoint(2, 1));
        QCOMPARE(hover.count(), 1);
        QCOMPARE(redraws.count(), redrawsBefore);
        QCOMPARE(moves.count(), movesBefore + 1);
        QCOMPARE(moves.last().at(0).toInt(), 1);

        h.moveTo(h.centre(0));
        QCOMPARE(hover.count(), 2);
        QCOMPARE(h.bar->Surface().pixelColor(h.bar->GetButtonLeft(1) + 2, 2), QColor(Qt::white));
        // Past the last button, still on the bar.
        QCOMPARE(h.bar->width(), 270);
        h.moveTo(QPoint(265, 10));
        QCOMPARE(h.bar->Button_Index(), -1);
        QCOMPARE(hover.last().at(0).toInt(), -1);
    }

    void clicksReportTheButton()
    {
        Host h;
        QStringList order;
        connect(h.bar, &McToolBar::MouseDown, this, [&](int i) { order << QStringLiteral("down %1").arg(i); });
        connect(h.bar, &McToolBar::MouseUp, this, [&](int i) { order << QStringLiteral("up %1").arg(i); });
        connect(h.bar, &McToolBar::Click, this, [&](int i) { order << QStringLiteral("click %1").arg(i); });
        h.moveTo(h.centre(0));
        QTest::mousePress(h.bar, Qt::LeftButton, Qt::NoModifier, h.centre(0));
        QVERIFY(h.bar->IsMouseDown());
        QTest::mouseRelease(h.bar, Qt::LeftButton, Qt::NoModifier, h.centre(0));
        QVERIFY(!h.bar->IsMouseDown());
        QCOMPARE(order, (QStringList{"down 0", "up 0", "click 0"}));

        // Empty space: only the click, with -1.
        order.clear();
        h.moveTo(QPoint(265, 10));
        QTest::mouseClick(h.bar, Qt::LeftButton, Qt::NoModifier, QPoint(265, 10));
        QCOMPARE(order, QStringList{"click -1"});

        // A disabled button is never hovered, so it clicks as empty space.
        h.bar->setButton_Index(2);
        h.bar->setButtonEnabled(false);
        h.moveTo(h.centre(2));
        QCOMPARE(h.bar->Button_Index(), -1);
        order.clear();
        QTest::mouseClick(h.bar, Qt::LeftButton, Qt::NoModifier, h.centre(2));
        QCOMPARE(order, QStringList{"click -1"});

        // The control's own Enabled only greys the drawing.
        h.bar->setEnabled(false);
        h.moveTo(h.centre(1));
        QCOMPARE(h.bar->Button_Index(), 1);
        order.clear();
        QTest::mouseClick(h.bar, Qt::LeftButton, Qt::NoModifier, h.centre(1));
        QCOMPARE(order, (QStringList{"down 1", "up 1", "click 1"}));

        QSignalSpy doubles(h.bar, &McToolBar::DblClick);
        QTest::mouseDClick(h.bar, Qt::LeftButton, Qt::NoModifier, h.centre(1));
        QCOMPARE(doubles.count(), 1);
        QCOMPARE(doubles.last().at(0).toInt(), 1);
    }

    void keysGiveThePressedState()
    {
        Host h;
        QSignalSpy down(h.bar, &McToolBar::KeyDown);
        QSignalSpy up(h.bar, &McToolBar::KeyUp);
        h.moveTo(h.centre(2));
        QTest::keyPress(h.bar, Qt::Key_A, Qt::ShiftModifier);
        QVERIFY(h.bar->IsMouseDown());
        QCOMPARE(down.last(), (QVariantList{2, qint16(0x41), qint16(1)}));
        QTest::keyRelease(h.bar, Qt::Key_Return, Qt::NoModifier);
        QVERIFY(!h.bar->IsMouseDown());
        QCOMPARE(up.last(), (QVariantList{2, qint16(0x0D), qint16(0)}));
    }

    void enterAndLeave()
    {
        Host h;
        QStringList order;
        connect(h.bar, &McToolBar::MouseEnter, this, [&] { order << QStringLiteral("enter"); });
        connect(h.bar, &McToolBar::MouseLeave, this, [&] { order << QStringLiteral("leave"); });
        connect(h.bar, &McToolBar::Redrawing, this, [&] { order << QStringLiteral("redraw"); });
        h.moveTo(h.centre(1));
        h.moveTo(h.centre(0));
        QCOMPARE(order.count(QStringLiteral("enter")), 1);
        order.clear();
        h.moveTo(QPoint(100, 80));
        QCOMPARE(order, (QStringList{"redraw", "leave"}));
        QCOMPARE(h.bar->Button_Index(), -1);
        QCOMPARE(h.bar->Surface().pixelColor(h.bar->GetButtonLeft(0) + 2, 2), QColor(Qt::white));
        // Coming back is a new entry.
        h.moveTo(h.centre(2));
        QCOMPARE(order.count(QStringLiteral("enter")), 1);
    }

    void toolTipAfterTheMouseRests()
    {
        Host h(QStringLiteral("buttontooltiptext1=Alles zum Bearbeiten\nbuttontooltipicon1=1\n"
                              "tooltipbackcol=255\ntooltipforecol=16711680\n"));
        h.moveTo(h.centre(1));
        QTRY_VERIFY(h.bar->ToolTipWindow());
        QCOMPARE(h.bar->TickCount(), 5);
        const ToolBarToolTip *tip = h.bar->ToolTipWindow();
        QCOMPARE(tip->Title(), QStringLiteral("Bearbeiten"));
        QCOMPARE(tip->Text(), QStringLiteral("Alles zum Bearbeiten"));
        QCOMPARE(tip->TitleIcon(), 1);
        QVERIFY(tip->Balloon());
        QCOMPARE(tip->BackColor(), QColor(Qt::red));
        QCOMPARE(tip->ForeColor(), QColor(Qt::blue));
        QVERIFY(tip->isVisible());
        // Never under the pointer, or its appearing would count as the pointer leaving the bar.
        QVERIFY(!tip->geometry().contains(h.bar->mapToGlobal(h.centre(1))));
        // Painted in its two colours: the body in the back colour, the text in the fore colour.
        QImage painted(tip->size(), QImage::Format_RGB32);
        painted.fill(Qt::white);
        {
            QPainter p(&painted);
            tip->paint(p);
        }
        QCOMPARE(painted.pixelColor(painted.width() - 3, painted.height() / 2 + 6), QColor(Qt::red));
        bool blueText = false;
        for (int y = 0; y < painted.height() && !blueText; ++y)
            for (int x = 0; x < painted.width() && !blueText; ++x)
                blueText = painted.pixelColor(x, y) == QColor(Qt::blue);
        QVERIFY(blueText);

        // A move hides it and starts the count again; the next rest shows it again.
        h.moveTo(h.centre(1) + QPoint(1, 0));
        QVERIFY(!h.bar->ToolTipWindow());
        QVERIFY(h.bar->TickCount() < 5);
        QTRY_VERIFY(h.bar->ToolTipWindow());

        // Rectangular with style 1.
        h.bar->setTooTipStyle(1);
        h.moveTo(h.centre(1) + QPoint(2, 0));
        QTRY_VERIFY(h.bar->ToolTipWindow());
        QVERIFY(!h.bar->ToolTipWindow()->Balloon());

        // No text, no tip; leaving hides it.
        h.moveTo(h.centre(0));
        QTRY_COMPARE(h.bar->TickCount(), 5);
        QVERIFY(!h.bar->ToolTipWindow());
        h.moveTo(h.centre(1));
        QTRY_VERIFY(h.bar->ToolTipWindow());
        h.moveTo(QPoint(100, 80));
        QVERIFY(!h.bar->ToolTipWindow());
    }

    void withoutMouseTracking()
    {
        SetMouseTrackingAvailable(false);
        Host h(QStringLiteral("buttontooltiptext1=Tipp\n"));
        QSignalSpy enter(h.bar, &McToolBar::MouseEnter);
        QSignalSpy leave(h.bar, &McToolBar::MouseLeave);
        QSignalSpy clicks(h.bar, &McToolBar::Click);
        h.moveTo(h.centre(1));
        QCOMPARE(h.bar->Button_Index(), 1);
        QTest::mouseClick(h.bar, Qt::LeftButton, Qt::NoModifier, h.centre(1));
        QCOMPARE(clicks.count(), 1);
        QTest::qWait(30);
        QVERIFY(!h.bar->ToolTipWindow());
        QCOMPARE(h.bar->TickCount(), 0);
        h.moveTo(QPoint(100, 80));
        QCOMPARE(enter.count(), 0);
        QCOMPARE(leave.count(), 0);
    }

    void damagedDesignsDoNotCrash()
    {
        const QStringList designs{
            QStringLiteral("button_count=0\n"),
            QStringLiteral("button_count=100000\n"),
            QStringLiteral("buttonswidth=-90\n"),
            QStringLiteral("buttonswidth=0\n"),
            QStringLiteral("buttonsheight=0\n"),
            QStringLiteral("buttonsheight=-5\nautosize=0\n"),
            QStringLiteral("buttonsperrow=0\nautosize=0\nwarpsize=0\n"),
            QStringLiteral("buttonswidth=0\nautosize=0\nwarpsize=0\n"),
            QStringLiteral("backgradient=99\nbackgradientcol=-1\n"),
            QStringLiteral("buttonpicture0=////AAAA\nbackground=%%%\n"),
            QStringLiteral("buttoniconallignment0=9\nbuttonpicture0=\nbuttoncaption0=\n"),
            QStringLiteral("button_index=77\nbuttonsstyle=-4\nborderstyle=9\n"),
        };
        for (const QString &design : designs) {
            Host h(design);
            QSignalSpy clicks(h.bar, &McToolBar::Click);
            h.moveTo(QPoint(5, 5));
            h.moveTo(QPoint(50, 10));
            QTest::mouseClick(h.bar, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
            h.bar->RedrawControl();
            QVERIFY2(h.bar->Button_Count() >= 0 && h.bar->Button_Count() <= 1000, qPrintable(design));
        }
        Host none(QStringLiteral("button_count=0\n"));
        QSignalSpy clicks(none.bar, &McToolBar::Click);
        QTest::mouseClick(none.bar, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
        QCOMPARE(none.bar->Button_Count(), 0);
        QCOMPARE(clicks.count(), none.bar->height() > 0 ? 1 : 0);
        Host corrupt(QStringLiteral("buttonpicture0=bm9pc2U=\n"));
        corrupt.bar->setButton_Index(0);
        QVERIFY(corrupt.bar->ButtonIcon().isNull());
    }
};

QTEST_MAIN(tst_ToolBarInteraction)
#include "tst_ToolBarInteraction.moc"
