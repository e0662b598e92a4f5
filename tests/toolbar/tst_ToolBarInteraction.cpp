#include "controls/PropertyBag.h"
#include "platform/Colors.h"
#include "platform/MouseTracking.h"
#include "toolbar/McToolBar.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// The main window's toolbar design in a 400 x 100 window, the pointer off the bar.
struct Host {
    QWidget window;
    McToolBar *bar = new McToolBar(&window);
    QStringList events;

    explicit Host(const QString &extra = QString())
    {
        window.resize(400, 100);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(11);
        window.setFont(font);
        bar->setGeometry(0, 0, 320, 20);
        bar->ReadProperties(PropertyBag::fromText(
            QStringLiteral(
                "button_count=3\nbuttoncaption0=Datei\nbuttoncaption1=Bearbeiten\nbuttoncaption2=Hilfe\n"
                "buttonsstyle=2\nautosizebuttons=-1\nbuttonsheight=20\ntootipstyle=0\nbackcolor=16777215\n") +
            extra));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        moveTo(QPoint(390, 90));
        const auto log = [this](const char *what) {
            return [this, what](int i) { events << QStringLiteral("%1 %2").arg(what).arg(i); };
        };
        QObject::connect(bar, &McToolBar::MouseDown, bar, log("down"));
        QObject::connect(bar, &McToolBar::MouseUp, bar, log("up"));
        QObject::connect(bar, &McToolBar::Click, bar, log("click"));
        QObject::connect(bar, &McToolBar::OnButtonHover, bar, log("hover"));
        QObject::connect(bar, &McToolBar::MouseLeave, bar, [this] { events << QStringLiteral("leave"); });
        QObject::connect(bar, &McToolBar::Redrawing, bar, [this] { events << QStringLiteral("redraw"); });
    }
    QPoint centre(int index) const { return QPoint(bar->GetButtonLeft(index) + bar->GetButtonWidth(index) / 2, 10); }
    void moveTo(const QPoint &pos) { QTest::mouseMove(window.windowHandle(), pos); }
    void click(const QPoint &pos)
    {
        moveTo(pos);
        events.clear();
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, pos);
        events.removeAll(QStringLiteral("redraw"));
    }
    QColor face(int index) const { return bar->Surface().pixelColor(bar->GetButtonLeft(index) + 2, 2); }
};

} // namespace

class tst_ToolBarInteraction : public QObject {
    Q_OBJECT
private slots:
    void init() { SetMouseTrackingAvailable(true); }

    void hoverClickAndLeave()
    {
        Host h;
        h.moveTo(h.centre(1));
        QCOMPARE(h.bar->Button_Index(), 1);
        QCOMPARE(h.events, (QStringList{"hover 1", "redraw"}));
        // The hovered face of style 2 is the button face blended towards white.
        QCOMPARE(h.face(1), ToQColor(BlendColor(SystemColor::ButtonFace, 0xFFFFFF, 100)));
        h.events.clear();
        h.moveTo(h.centre(1) + QPoint(2, 1)); // within the button: no hover change, no redraw
        QVERIFY(h.events.isEmpty());
        h.click(h.centre(0));
        QCOMPARE(h.events, (QStringList{"down 0", "up 0", "click 0"}));
        QCOMPARE(h.face(1), QColor(Qt::white));
        h.click(QPoint(265, 10)); // past the last button, still on the bar: only the click, with -1
        QCOMPARE(h.events, (QStringList{"click -1"}));
        QCOMPARE(h.bar->Button_Index(), -1);
        // A disabled button is never hovered, so it clicks as empty space.
        h.bar->setButton_Index(2);
        h.bar->setButtonEnabled(false);
        h.click(h.centre(2));
        QCOMPARE(h.events, (QStringList{"click -1"}));
        h.moveTo(h.centre(0));
        h.events.clear();
        h.moveTo(QPoint(100, 80));
        QCOMPARE(h.events, (QStringList{"redraw", "leave"}));
        QCOMPARE(h.bar->Button_Index(), -1);
        QCOMPARE(h.face(0), QColor(Qt::white));
    }

    void toolTipAfterTheMouseRests()
    {
        Host h(QStringLiteral("buttontooltiptext1=Alles zum Bearbeiten\ntooltipbackcol=255\n"));
        h.moveTo(h.centre(1));
        QTRY_VERIFY(h.bar->ToolTipWindow());
        QCOMPARE(h.bar->TickCount(), 5);
        const ToolBarToolTip *tip = h.bar->ToolTipWindow();
        QCOMPARE(tip->Title(), QStringLiteral("Bearbeiten"));
        QCOMPARE(tip->Text(), QStringLiteral("Alles zum Bearbeiten"));
        QCOMPARE(tip->BackColor(), QColor(Qt::red));
        QVERIFY(tip->isVisible() && tip->Balloon());
        // Never under the pointer, or its appearing would count as the pointer leaving the bar.
        QVERIFY(!tip->geometry().contains(h.bar->mapToGlobal(h.centre(1))));
        // A move hides it and starts the count again; no text, no tip; leaving hides it.
        h.moveTo(h.centre(1) + QPoint(1, 0));
        QVERIFY(!h.bar->ToolTipWindow() && h.bar->TickCount() < 5);
        QTRY_VERIFY(h.bar->ToolTipWindow());
        h.moveTo(h.centre(0));
        QTRY_COMPARE(h.bar->TickCount(), 5);
        QVERIFY(!h.bar->ToolTipWindow());
        h.moveTo(h.centre(1));
        QTRY_VERIFY(h.bar->ToolTipWindow());
        h.moveTo(QPoint(100, 80));
        QVERIFY(!h.bar->ToolTipWindow());
    }

    void damagedDesignsDoNotCrash()
    {
        for (const char *design :
             {"button_count=0\n", "button_count=100000\n", "buttonswidth=-90\n", "buttonsheight=0\n",
              "buttonsheight=-5\nautosize=0\n", "buttonsperrow=0\nautosize=0\nwarpsize=0\n",
              "buttonswidth=0\nautosize=0\nwarpsize=0\n", "backgradient=99\nbackgradientcol=-1\n",
              "buttonpicture0=////AAAA\nbackground=%%%\n",
              "buttoniconallignment0=9\nbuttonpicture0=\nbuttoncaption0=\n",
              "button_index=77\nbuttonsstyle=-4\nborderstyle=9\n", "buttonpicture0=bm9pc2U=\n"}) {
            Host h(QString::fromLatin1(design));
            h.moveTo(QPoint(5, 5));
            h.moveTo(QPoint(50, 10));
            h.click(QPoint(2, 2));
            h.bar->RedrawControl();
            QVERIFY2(h.bar->Button_Count() >= 0 && h.bar->Button_Count() <= 1000, design);
        }
    }
};

QTEST_MAIN(tst_ToolBarInteraction)
#include "tst_ToolBarInteraction.moc"
