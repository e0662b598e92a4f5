#include "controls/PropertyBag.h"
#include "platform/Colors.h"
#include "toolbar/McToolBar.h"

#include <QTest>
#include <set>

namespace {

// Three 60 x 20 cells in one row on white, captions "A", "B", "C", text drawn without smoothing so
// text pixels have exactly the pen colour.
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

} // namespace

class tst_ToolBar : public QObject {
    Q_OBJECT
private slots:
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
        QVERIFY(grey != qRgb(255, 255, 255) && grey != qRgb(0, 0, 0));
        QCOMPARE(ColoursIn(bar, 0), std::set<QRgb>{qRgb(0, 0, 0)});
        QCOMPARE(ColoursIn(bar, 60), std::set<QRgb>{grey});
        bar.setEnabled(false);
        QCOMPARE(ColoursIn(bar, 0), std::set<QRgb>{grey});
    }

    void gradients()
    {
        McToolBar bar;
        Setup(bar);
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

    void newControlAndStoredDefaultsDiffer()
    {
        McToolBar placed;
        QCOMPARE(placed.TooTipStyle(), 0);
        QCOMPARE(Captions(placed), QStringList{"Button 0"});
        McToolBar loaded;
        loaded.ReadProperties(PropertyBag::fromText(QStringLiteral("button_count=2\n")));
        QCOMPARE(loaded.TooTipStyle(), 2);
        QCOMPARE(loaded.Button_Index(), -1); // run mode: nothing hovered
        QCOMPARE(Captions(loaded), (QStringList{"Button ", "Button "}));
        QCOMPARE(loaded.BackColor(), 0x8000000Fu);

        bool ok = false;
        McToolBar main; // the main window's own design
        main.ReadProperties(PropertyBag::load(QStringLiteral(":/design/McToolBar1.props"), &ok));
        QVERIFY(ok);
        QCOMPARE(main.Button_Index(), -1);
        QCOMPARE(Captions(main), (QStringList{"Datei", "Bearbeiten", "Hilfe"}));
        QVERIFY(main.ButtonsStyle() == 2 && main.AutoSizeButtons() && main.TooTipStyle() == 0);
        QCOMPARE(main.HoverColor(), 0x8000000Fu);
    }

    void saveLoadSaveKeepsTheStore()
    {
        // Designs are saved at design time, where loading selects the first button.
        McToolBar bar;
        bar.setDesignMode(true);
        Setup(bar);
        bar.setButtonsStyle(1);
        bar.setBackGradient(4);
        bar.setTooTipStyle(1);
        bar.setButton_Index(2);
        bar.setButtonMoveTo(0); // exchanged, not shifted
        bar.setButton_Index(1);
        bar.setButtonCaption(QStringLiteral("Zwei = 2\nZeilen"));
        bar.setButtonEnabled(false);
        bar.setButtonPressed(true);
        bar.setButton_Index(0);
        PropertyBag first;
        bar.WriteProperties(first);
        QCOMPARE(first.ReadProperty(QStringLiteral("buttoncaption0"), QString()).toString(), QStringLiteral("C"));
        QVERIFY(!first.contains(QStringLiteral("Appearance"))); // equal to its default
        McToolBar again;
        again.setDesignMode(true);
        again.ReadProperties(PropertyBag::fromText(first.toText()));
        PropertyBag second;
        again.WriteProperties(second);
        QCOMPARE(second.toText().split(u'\n'), first.toText().split(u'\n'));
        QCOMPARE(Captions(again), (QStringList{"C", "Zwei = 2\nZeilen", "A"}));
    }
};

QTEST_MAIN(tst_ToolBar)
#include "tst_ToolBar.moc"
