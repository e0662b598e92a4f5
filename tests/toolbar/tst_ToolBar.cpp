#include "controls/PropertyBag.h"
#include "platform/ui/Colors.h"
#include "toolbar/McToolBar.h"

#include <QAccessible>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPalette>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <set>

namespace {

// Three 60 x 20 cells "A", "B", "C" on white; text unsmoothed, so its pixels have the pen colour.
void Setup(McToolBar &bar)
{
    bar.ReadProperties(PropertyBag::fromText(QStringLiteral(
        "button_count=3\nbuttoncaption0=A\nbuttoncaption1=B\nbuttoncaption2=C\nwarpsize=0\nautosize=0\n"
        "buttonswidth=60\nbuttonsheight=20\nbackcolor=16777215\nbordercolor=8421504\nhovercolor=255\n")));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    font.setStyleStrategy(QFont::NoAntialias);
    bar.setFont(font);
    bar.resize(180, 20);
}

std::set<QRgb> ColoursIn(const McToolBar &bar, int left)
{
    std::set<QRgb> colours;
    for (int y = 0; y < 20; ++y)
        for (int x = left; x < left + 60; ++x)
            if (bar.Surface().pixel(x, y) != qRgb(255, 255, 255))
                colours.insert(bar.Surface().pixel(x, y));
    return colours;
}

void Expect(const McToolBar &bar, std::initializer_list<std::pair<QPoint, QColor>> pixels)
{
    for (const auto &[at, colour] : pixels)
        QCOMPARE(bar.Surface().pixelColor(at), colour);
}

QStringList Captions(McToolBar &bar)
{
    QStringList captions;
    for (int i = 0; i < bar.Button_Count(); ++i) {
        bar.setButton_Index(i);
        captions << bar.ButtonCaption();
    }
    return captions;
}

// The main window's toolbar design in a 400 x 100 window, the pointer off the bar.
struct Host {
    QWidget window;
    McToolBar *bar = new McToolBar(&window);
    QStringList events;

    explicit Host(const QString &design = QStringLiteral(":/design/McToolBar1.props"))
    {
        window.resize(400, 100);
        bar->setGeometry(0, 0, 320, 20);
        bar->ReadProperties(design.startsWith(u':') ? PropertyBag::load(design) : PropertyBag::fromText(design));
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
    ~Host() { delete bar; } // before the event log it writes to
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

class tst_ToolBar : public QObject {
    Q_OBJECT
private slots:
    void colourArithmetic() // the colours every control paints with
    {
        const QPalette p = QGuiApplication::palette();
        QCOMPARE(TranslateColor(0x01123456), 0x00123456u); // palette-index flag ignored
        QCOMPARE(ToQColor(TranslateColor(SystemColor::ButtonFace)), p.color(QPalette::Button).toRgb());
        QCOMPARE(ToQColor(TranslateColor(SystemColor::GrayText)), p.color(QPalette::Disabled, QPalette::Text).toRgb());
        QCOMPARE(FromQColor(QColor(1, 0x80, 0xFF)), 0x00FF8001u);
        // Channels stay apart and round to nearest: 200 * 100 / 255 = 78.43, 200 * 155 / 255 = 121.57.
        QCOMPARE(BlendColor(0x000000C8, 0x00C80000, 100), 0x007A004Eu);
        QCOMPARE(BlendColor(SystemColor::ButtonFace, 0, 255), TranslateColor(SystemColor::ButtonFace));
    }

    void faces()
    {
        McToolBar bar;
        Setup(bar);
        const QColor white(Qt::white), light(220, 220, 220), dark(35, 35, 35), outline(250, 0, 0);
        bar.setButtonsStyle(2);
        bar.setButton_Index(1);
        // Style 2 hovered: the blended fill with a darker outline, no frame.
        Expect(bar, {{{62, 3}, {255, 155, 155}}, {{60, 10}, outline}, {{119, 10}, outline}, {{70, 19}, outline}});
        Expect(bar, {{{120, 10}, white}});
        // Other styles: the hover colour inside a raised frame, one pixel in.
        bar.setButtonsStyle(0);
        Expect(bar, {{{64, 4}, Qt::red}, {{70, 1}, light}});
        // Latched: sunken even when hovered, and no hover fill.
        bar.HighlightButton(1);
        Expect(bar, {{{70, 1}, dark}, {{61, 10}, dark}, {{118, 10}, light}, {{70, 18}, light}, {{65, 5}, white}});
        bar.UnHighlightButton(1);
        Expect(bar, {{{65, 5}, Qt::red}});
        // A disabled button's text is grey; the control's own Enabled greys every button.
        bar.setButtonEnabled(false);
        bar.setButton_Index(-1);
        const QRgb grey = ToQColor(TranslateColor(SystemColor::GrayText)).rgb();
        QVERIFY(grey != qRgb(255, 255, 255));
        QVERIFY(ColoursIn(bar, 0) == std::set<QRgb>{qRgb(0, 0, 0)});
        QCOMPARE(ColoursIn(bar, 60), std::set<QRgb>{grey});
        bar.setEnabledLook(false);
        QCOMPARE(ColoursIn(bar, 0), std::set<QRgb>{grey});
        bar.setEnabledLook(true); // the background gradients, first and last columns
        bar.setBackColor(0x0000FF);
        bar.setBackGradientCol(0xFF0000);
        const QColor r(Qt::red), b(Qt::blue);
        const std::tuple<int, QPoint, QColor, QPoint, QColor> rows[] = {
            {1, {0, 19}, r, {179, 19}, b},  {1, {90, 19}, QColor(127, 0, 128), {90, 0}, QColor(127, 0, 128)},
            {2, {0, 19}, r, {89, 19}, b},   {2, {179, 19}, r, {179, 0}, r},
            {3, {0, 0}, r, {0, 19}, b},     {4, {0, 9}, b, {0, 19}, r},
            {5, {0, 0}, r, {179, 19}, b},   {6, {179, 0}, r, {0, 19}, b},
            {7, {179, 19}, r, {179, 19}, r}};
        for (const auto &[gradient, at1, colour1, at2, colour2] : rows) {
            bar.setBackGradient(gradient);
            Expect(bar, {{at1, colour1}, {at2, colour2}});
        }
    }

    void storedDesigns()
    {
        McToolBar placed, loaded;
        QCOMPARE(placed.TooTipStyle(), 0);
        QCOMPARE(Captions(placed), QStringList{"Button 0"});
        loaded.ReadProperties(PropertyBag::fromText(QStringLiteral("button_count=2\n")));
        // Run mode: nothing hovered.
        QCOMPARE(loaded.TooTipStyle(), 2);
        QCOMPARE(loaded.BackColor(), SystemColor::ButtonFace);
        QCOMPARE(loaded.Button_Index(), -1);
        QCOMPARE(Captions(loaded), (QStringList{"Button ", "Button "}));
        // Designs are saved at design time, where loading selects the first button.
        McToolBar bar;
        bar.setDesignMode(true);
        Setup(bar);
        bar.setTooTipStyle(1);
        bar.setButton_Index(2);
        bar.setButtonMoveTo(0); // exchanged, not shifted
        bar.setButton_Index(1);
        bar.setButtonCaption(QStringLiteral("Zwei = 2\nZeilen"));
        bar.setButtonEnabled(false);
        bar.setButtonPressed(true);
        bar.setButton_Index(0);
        PropertyBag first, second;
        bar.WriteProperties(first);
        QVERIFY(!first.contains(QStringLiteral("Appearance"))); // equal to its default
        McToolBar again;
        again.setDesignMode(true);
        again.ReadProperties(PropertyBag::fromText(first.toText()));
        again.WriteProperties(second);
        QCOMPARE(second.toText().split(u'\n'), first.toText().split(u'\n'));
        QCOMPARE(Captions(again), (QStringList{"C", "Zwei = 2\nZeilen", "A"}));
    }

    void hoverClickAndLeave()
    {
        Host h; // the main window's own design: style 2 and automatic widths
        QVERIFY(h.bar->GetButtonWidth(0) < h.bar->GetButtonWidth(1));
        h.moveTo(h.centre(1));
        QCOMPARE(h.bar->Button_Index(), 1);
        QCOMPARE(h.events, QStringList({"hover 1", "redraw"}));
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

    void pressWithoutMoveBefore()
    {
        // A jump straight onto a button, then a press and a release: the first touch already clicks it.
        for (const QString i : {"0", "1", "2"}) {
            Host h;
            QTest::mouseClick(h.bar, Qt::LeftButton, Qt::NoModifier, h.centre(i.toInt()));
            h.events.removeAll(QStringLiteral("redraw"));
            QCOMPARE(h.events, (QStringList{"hover " + i, "down " + i, "up " + i, "click " + i}));
        }
    }

    void markedCaptionIsLaidOutAsShown()
    {
        // A language file may mark the mnemonic: the "&" takes no width and is no place to break the line.
        Host plain, marked;
        for (auto [h, caption] : {std::pair{&plain, "Bearbeiten"}, std::pair{&marked, "B&earbeiten"}}) {
            h->bar->setButton_Index(1);
            h->bar->setButtonCaption(QString::fromLatin1(caption));
            h->bar->setButton_Index(-1);
        }
        QCOMPARE(marked.bar->GetButtonWidth(1), plain.bar->GetButtonWidth(1));
        // Only the underline differs, and it lies below the middle of the button.
        const QRect upper(plain.bar->GetButtonLeft(1), 0, plain.bar->GetButtonWidth(1), plain.bar->height() / 2);
        QCOMPARE(marked.bar->Surface().copy(upper), plain.bar->Surface().copy(upper));
        QVERIFY(marked.bar->Surface() != plain.bar->Surface());
        QCOMPARE(QAccessible::queryAccessibleInterface(marked.bar)->child(1)->text(QAccessible::Name), "Bearbeiten");
        QCOMPARE(ShownCaption(QStringLiteral("Save && &Quit&")), QStringLiteral("Save & Quit"));
    }

    // A screen reader sees each button as a menu item with its name and the Alt letter that opens it.
    void keyboardAndScreenReaderReachEveryButton()
    {
        Host h;
        QSignalSpy clicks(h.bar, &McToolBar::Click);
        const auto opened = [&] { return clicks.isEmpty() ? -2 : clicks.takeFirst().at(0).toInt(); };
        QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(h.bar);
        QCOMPARE(bar->childCount(), 3);
        QStringList names;
        for (int i = 0; i < bar->childCount(); ++i) {
            QAccessibleInterface *item = bar->child(i);
            QCOMPARE(item->role(), QAccessible::MenuItem);
            QCOMPARE(bar->indexOfChild(item), i);
            QVERIFY(item->state().hasPopup);
            names << item->text(QAccessible::Name) + u'|' + item->text(QAccessible::Accelerator);
            QTest::keySequence(&h.window, QKeySequence(item->text(QAccessible::Accelerator)));
            QCOMPARE(opened(), i);
            QVERIFY(h.bar->hasFocus());
            h.bar->clearFocus();
        }
        QCOMPARE(names, (QStringList{"Datei|Alt+D", "Bearbeiten|Alt+B", "Hilfe|Alt+H"}));
        QTest::keySequence(&h.window, QKeySequence(Qt::ALT | Qt::Key_X));
        QCOMPARE(opened(), -2);
        QVERIFY(!h.bar->hasFocus());
        bar->child(2)->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
        QCOMPARE(opened(), 2);
        QVERIFY(bar->child(2)->state().focused);
        // "&&" is an ampersand, no mark.
        QCOMPARE(McToolBar::Mnemonic(QStringLiteral("&&1 x")), QChar(u'1'));
        QCOMPARE(McToolBar::Mnemonic(QStringLiteral("A&&B&c")), QChar(u'C'));
        // F10 marks the first button; the arrows move the mark, wrapping, past disabled buttons.
        h.bar->clearFocus();
        h.bar->setButton_Index(-1);
        QTest::keyClick(&h.window, Qt::Key_F10);
        QVERIFY(h.bar->hasFocus());
        QCOMPARE(h.bar->Button_Index(), 0);
        QTest::keyClick(h.bar, Qt::Key_Left);
        QCOMPARE(h.bar->Button_Index(), 2);
        h.bar->setButtonEnabled(false);
        h.bar->setButton_Index(0);
        QTest::keyClick(h.bar, Qt::Key_Right);
        QTest::keyClick(h.bar, Qt::Key_Right);
        QCOMPARE(h.bar->Button_Index(), 0);
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Space, Qt::Key_Down}) {
            QTest::keyClick(h.bar, key);
            QCOMPARE(opened(), 0);
        }
        // Tab reaches the bar with its first button marked; leaving by Tab takes the mark away.
        auto *other = new QWidget(&h.window);
        other->setFocusPolicy(Qt::StrongFocus);
        other->show();
        other->setFocus();
        h.bar->setButton_Index(-1);
        QWidget::setTabOrder(other, h.bar);
        QTest::keyClick(other, Qt::Key_Tab);
        QVERIFY(h.bar->hasFocus());
        QCOMPARE(h.bar->Button_Index(), 0);
        QTest::keyClick(h.bar, Qt::Key_Tab);
        QVERIFY(!h.bar->hasFocus());
        QCOMPARE(h.bar->Button_Index(), -1);
    }

    void firstLettersGiveWayToMarkedOnes()
    {
        // Two shortcuts on one key both stop working: a caption's first letter gives way to a letter
        // another control marks, here a label's for its field and a button's; a marked caption keeps its own.
        Host h;
        h.bar->setButton_Index(0);
        h.bar->setButtonCaption(QStringLiteral("&Hilfe"));
        h.bar->setButton_Index(-1);
        // Added while the window is hidden: the bar learns of their letters as it shows again.
        h.window.hide();
        auto *field = new QLineEdit(&h.window);
        auto *label = new QLabel(QStringLiteral("&Hinweis"), &h.window);
        label->setBuddy(field);
        auto *button = new QPushButton(QStringLiteral("&Bild"), &h.window);
        h.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&h.window));
        QSignalSpy clicks(h.bar, &McToolBar::Click);
        QSignalSpy pressed(button, &QPushButton::clicked);
        QCOMPARE(h.bar->ShortcutLetter(1), QChar());
        QCOMPARE(h.bar->ShortcutLetter(2), QChar());
        QTest::keySequence(&h.window, QKeySequence(Qt::ALT | Qt::Key_B));
        QTRY_COMPARE(pressed.count(), 1); // a button's letter clicks it after a moment
        QVERIFY(clicks.isEmpty());
        QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(h.bar);
        QCOMPARE(bar->child(1)->text(QAccessible::Accelerator), QString());
        QCOMPARE(bar->child(0)->text(QAccessible::Accelerator), QStringLiteral("Alt+H"));
        // A caption that no longer clashes gets its letter back; a first letter also gives way to
        // a later button's mark.
        h.bar->setButton_Index(1);
        h.bar->setButtonCaption(QStringLiteral("Ansicht"));
        h.bar->setButton_Index(2);
        h.bar->setButtonCaption(QStringLiteral("Hilfe &Anleitung"));
        h.bar->setButton_Index(-1);
        QCOMPARE(h.bar->ShortcutLetter(1), QChar());
        QTest::keySequence(&h.window, QKeySequence(Qt::ALT | Qt::Key_A));
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(clicks.at(0).at(0).toInt(), 2);
        h.bar->setButton_Index(2);
        h.bar->setButtonCaption(QStringLiteral("Hilfe"));
        h.bar->setButton_Index(-1);
        QCOMPARE(h.bar->ShortcutLetter(1), QChar(u'A'));
    }

    void leftAndRightMoveBetweenOpenMenus()
    {
        Host h;
        QMenu menus[3];
        for (QMenu &menu : menus)
            menu.addAction(QStringLiteral("item"));
        QObject::connect(h.bar, &McToolBar::Click, h.bar, [&](int i) {
            if (i >= 0)
                menus[i].popup(h.bar->mapToGlobal(QPoint(h.bar->GetButtonLeft(i), 20)));
        });
        const auto open = [&] {
            for (int i = 0; i < 3; ++i)
                if (menus[i].isVisible())
                    return i;
            return -1;
        };
        h.click(h.centre(0)); // opened with the mouse as with the keyboard
        QTRY_COMPARE(open(), 0);
        // The menu open after each key: to the right, wrapping, and back.
        for (const auto &[key, expected] : {std::pair{Qt::Key_Right, 1},
                                            {Qt::Key_Right, 2},
                                            {Qt::Key_Right, 0},
                                            {Qt::Key_Left, 2},
                                            {Qt::Key_Down, 2}}) {
            QTest::keyClick(&menus[open()], key);
            QTRY_COMPARE(open(), expected);
            QCOMPARE(h.bar->Button_Index(), expected);
        }
        // A disabled button is passed over; once a menu is closed the keys move nothing.
        h.bar->setButton_Index(1);
        h.bar->setButtonEnabled(false);
        for (const int expected : {0, 2}) {
            QTest::keyClick(&menus[open()], Qt::Key_Left);
            QTRY_COMPARE(open(), expected);
        }
        QTest::keyClick(&menus[2], Qt::Key_Escape);
        QTRY_COMPARE(open(), -1);
        QTest::keyClick(&menus[2], Qt::Key_Right);
        QCOMPARE(open(), -1);
    }

    void sharpAtTwiceTheScale()
    {
        McToolBar bar;
        Setup(bar);
        bar.setButton_Index(1);
        const QImage one = bar.RenderSurface(1), two = bar.RenderSurface(2);
        QCOMPARE(two.size(), one.size() * 2);
        QCOMPARE(two.deviceIndependentSize(), QSizeF(180, 20));
        // Drawn at its own resolution, not enlarged: the text has about four times the pixels, in other places.
        const auto inked = [](const QImage &image) {
            int n = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    n += image.pixel(x, y) == qRgb(0, 0, 0);
            return n;
        };
        QVERIFY(inked(one) > 0);
        QVERIFY2(inked(two) > 3 * inked(one), qPrintable(QString::number(inked(two))));
        QVERIFY2(inked(two) < 5 * inked(one), qPrintable(QString::number(inked(two))));
        QVERIFY(two != one.scaled(two.size()));
        QCOMPARE(bar.Surface().size(), one.size()); // the widget's own surface follows its screen
    }

    void toolTipAfterTheMouseRests()
    {
        Host h;
        h.bar->setButton_Index(1);
        h.bar->setButtonToolTip(QStringLiteral("Alles zum Bearbeiten"));
        h.moveTo(h.centre(1));
        QTRY_VERIFY(h.bar->ToolTipWindow());
        QCOMPARE(h.bar->TickCount(), 5);
        const ToolBarToolTip *tip = h.bar->ToolTipWindow();
        QCOMPARE(tip->Title() + u':' + tip->Text(), QStringLiteral("Bearbeiten:Alles zum Bearbeiten"));
        QVERIFY(tip->isVisible());
        QVERIFY(tip->Balloon());
        // Never under the pointer, or its appearing would count as the pointer leaving the bar.
        QVERIFY(!tip->geometry().contains(h.bar->mapToGlobal(h.centre(1))));
        // A move hides it and starts the count again; no text, no tip; leaving hides it.
        h.moveTo(h.centre(1) + QPoint(1, 0));
        QVERIFY(!h.bar->ToolTipWindow());
        QVERIFY(h.bar->TickCount() < 5);
        QTRY_VERIFY(h.bar->ToolTipWindow());
        h.moveTo(h.centre(0));
        QTRY_COMPARE(h.bar->TickCount(), 5);
        QVERIFY(!h.bar->ToolTipWindow());
        h.moveTo(h.centre(1));
        QTRY_VERIFY(h.bar->ToolTipWindow());
        h.moveTo(QPoint(100, 80));
        QVERIFY(!h.bar->ToolTipWindow());
    }

    void damagedDesignsDoNotCrash_data()
    {
        QTest::addColumn<QString>("design");
        for (const char *design :
             {"button_count=0\n", "button_count=100000\n", "buttonswidth=-90\n", "buttonsheight=0\n",
              "buttonsheight=-5\nautosize=0\n", "buttonsperrow=0\nautosize=0\nwarpsize=0\n",
              "buttonswidth=0\nautosize=0\nwarpsize=0\n", "backgradient=99\nbackgradientcol=-1\n",
              "buttonpicture0=////AAAA\nbackground=%%%\n",
              "buttoniconallignment0=9\nbuttonpicture0=\nbuttoncaption0=\n",
              "button_index=77\nbuttonsstyle=-4\nborderstyle=9\n", "buttonpicture0=bm9pc2U=\n"})
            QTest::newRow(design) << QString::fromLatin1(design);
    }
    void damagedDesignsDoNotCrash()
    {
        QFETCH(QString, design);
        Host h(design);
        h.moveTo(QPoint(50, 10));
        h.click(QPoint(2, 2));
        h.bar->RedrawControl();
        QVERIFY(h.bar->Button_Count() >= 0);
        QVERIFY(h.bar->Button_Count() <= 1000);
    }
};

QTEST_MAIN(tst_ToolBar)
#include "tst_ToolBar.moc"
