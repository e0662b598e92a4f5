#include "controls/PropertyBag.h"
#include "toolbar/McToolBar.h"

#include <QBuffer>
#include <QSignalSpy>
#include <QTest>

namespace {

QStringList Captions(McToolBar &bar)
{
    QStringList captions;
    const int keep = bar.Button_Index();
    for (int i = 0; i < bar.Button_Count(); ++i) {
        bar.setButton_Index(i);
        captions << bar.ButtonCaption();
    }
    bar.setButton_Index(keep);
    return captions;
}

StdPicture SmallPicture(const char *format)
{
    QImage image(4, 3, QImage::Format_ARGB32);
    image.fill(qRgb(10, 20, 30));
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return StdPicture::FromData(data);
}

} // namespace

class tst_ToolBarModel : public QObject {
    Q_OBJECT
private slots:
    void newControlAndStoredDefaultsDiffer()
    {
        McToolBar placed;
        QCOMPARE(placed.TooTipStyle(), 0);
        QCOMPARE(placed.Button_Count(), 1);
        QCOMPARE(Captions(placed), QStringList{"Button 0"});

        McToolBar loaded;
        loaded.ReadProperties(PropertyBag::fromText(QStringLiteral("button_count=2\n")));
        QCOMPARE(loaded.TooTipStyle(), 2);
        QCOMPARE(loaded.Button_Index(), -1); // run mode: nothing hovered
        QCOMPARE(Captions(loaded), (QStringList{"Button ", "Button "}));
        QCOMPARE(loaded.ButtonsWidth(), 90);
        QCOMPARE(loaded.BackColor(), 0x8000000Fu);

        McToolBar designed;
        designed.setDesignMode(true);
        designed.ReadProperties(PropertyBag::fromText(QStringLiteral("button_count=2\nbutton_index=1\n")));
        QCOMPARE(designed.Button_Index(), 0);
    }

    void editingTheButtonList()
    {
        McToolBar bar;
        QSignalSpy redraws(&bar, &McToolBar::Redrawing);
        bar.setButton_Count(3);
        QVERIFY(redraws.count() > 0);
        bar.setButton_Count(5);
        QCOMPARE(Captions(bar), (QStringList{"Button 0", "Button 1", "Button 2", "Button 3", "Button 4"}));
        bar.setButton_Count(0);
        bar.setButton_Count(-3);
        QCOMPARE(bar.Button_Count(), 5);
        bar.setButton_Count(2);
        QCOMPARE(Captions(bar), (QStringList{"Button 0", "Button 1"}));

        bar.setButton_Index(99);
        QCOMPARE(bar.Button_Index(), 1);
        bar.setButton_Index(-7);
        QCOMPARE(bar.Button_Index(), -1);
        // Nothing selected: setters do nothing, getters give the empty values.
        bar.setButtonCaption(QStringLiteral("lost"));
        bar.setButtonEnabled(false);
        QCOMPARE(bar.ButtonCaption(), QString());
        QVERIFY(!bar.ButtonEnabled());
        QCOMPARE(Captions(bar), (QStringList{"Button 0", "Button 1"}));

        // Exchange, not shift.
        bar.setButton_Count(3);
        for (int i = 0; i < 3; ++i) {
            bar.setButton_Index(i);
            bar.setButtonCaption(QString(QChar(u'A' + i)));
        }
        bar.setButton_Index(2);
        bar.setButtonMoveTo(0);
        QCOMPARE(Captions(bar), (QStringList{"C", "B", "A"}));
        QCOMPARE(bar.Button_Index(), 0);
        bar.setButtonMoveTo(50);
        QCOMPARE(Captions(bar), (QStringList{"A", "B", "C"}));
        QCOMPARE(bar.Button_Index(), 2);
        QCOMPARE(bar.ButtonMoveTo(), -1);

        // Removing the selected last button selects the new last one; a single button stays.
        bar.setButtonRemove(0);
        QCOMPARE(Captions(bar), (QStringList{"A", "B"}));
        QCOMPARE(bar.Button_Index(), 1);
        bar.setButton_Index(0);
        bar.setButtonRemove(0);
        QCOMPARE(Captions(bar), QStringList{"B"});
        bar.setButtonRemove(0);
        QCOMPARE(bar.Button_Count(), 1);

        bar.HighlightButton(0);
        QVERIFY(bar.ButtonPressed());
        bar.UnHighlightButton(0);
        QVERIFY(!bar.ButtonPressed());
        bar.HighlightButton(5); // out of range: nothing
        QCOMPARE(bar.GetButtonLeft(-1), 0);
        QCOMPARE(bar.GetButtonLeft(bar.Button_Count()), 0);
        QCOMPARE(bar.GetButtonWidth(0), 90);
    }

    void saveLoadSaveKeepsTheStore()
    {
        // Designs are saved at design time, where loading selects the first button.
        McToolBar bar;
        bar.setDesignMode(true);
        bar.setButton_Count(3);
        bar.setButtonsStyle(1);
        bar.setBackColor(0x00FFFFFF);
        bar.setBorderColor(0x80000010);
        bar.setBackGradient(4);
        bar.setAutoSizeButtons(true);
        bar.setTooTipStyle(1);
        bar.setHoverIconShadow(false);
        QFont font(QStringLiteral("DejaVu Serif"));
        font.setPointSize(11);
        bar.setFont(font);
        bar.setBackGround(SmallPicture("png"));
        bar.setButton_Index(1);
        bar.setButtonCaption(QStringLiteral("Zwei = 2\nZeilen"));
        bar.setButtonIcon(SmallPicture("ico"));
        bar.setButtonToolTip(QStringLiteral("Hilfe"));
        bar.setButtonToolTipIcon(3);
        bar.setButtonEnabled(false);
        bar.setButtonPressed(true);
        bar.setButtonIconAllignment(2);
        bar.setButton_Index(0);

        PropertyBag first;
        bar.WriteProperties(first);
        QCOMPARE(first.ReadProperty(QStringLiteral("buttoncaption0"), QString()).toString(),
                 QStringLiteral("Button 0"));
        QVERIFY(!first.contains(QStringLiteral("Appearance"))); // equal to its default
        QVERIFY(first.contains(QStringLiteral("TooTipStyle")));

        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("bar.props"));
        QVERIFY(first.save(file));
        McToolBar again;
        again.setDesignMode(true);
        again.ReadProperties(PropertyBag::load(file));
        PropertyBag second;
        again.WriteProperties(second);
        QCOMPARE(second.toText().split(u'\n'), first.toText().split(u'\n'));

        QCOMPARE(again.Font().family(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(again.BorderColor(), 0x80000010u);
        QCOMPARE(again.BackGround().Type, int(StdPicture::Bitmap));
        again.setButton_Index(1);
        QCOMPARE(again.ButtonIcon().Type, int(StdPicture::Icon));
        QCOMPARE(again.ButtonCaption(), QStringLiteral("Zwei = 2\nZeilen"));
        QCOMPARE(again.ButtonToolTipIcon(), 3);
        QVERIFY(again.ButtonPressed() && !again.ButtonEnabled());
        QCOMPARE(again.ButtonIconAllignment(), 2);
    }

    void propertyBagColoursPicturesFonts()
    {
        const PropertyBag bag = PropertyBag::fromText(QStringLiteral(
            "a=-2147483633\nb=&H8000000F&\nc=0xC0C0FF\nd=16777215\ne=purple\nf=99999999999\npic=bm90IGFuIGltYWdl\n"));
        QCOMPARE(bag.ReadColor(QStringLiteral("a"), 0), 0x8000000Fu);
        QCOMPARE(bag.ReadColor(QStringLiteral("B"), 0), 0x8000000Fu);
        QCOMPARE(bag.ReadColor(QStringLiteral("c"), 0), 0xC0C0FFu);
        QCOMPARE(bag.ReadColor(QStringLiteral("d"), 0), 0xFFFFFFu);
        QCOMPARE(bag.ReadColor(QStringLiteral("e"), 7), 7u);
        QCOMPARE(bag.ReadColor(QStringLiteral("f"), 7), 7u);
        QVERIFY(bag.ReadPicture(QStringLiteral("pic")).isNull()); // "not an image"
        QVERIFY(bag.ReadPicture(QStringLiteral("missing")).isNull());
        const QFont fallback(QStringLiteral("DejaVu Sans"));
        QCOMPARE(bag.ReadFont(QStringLiteral("missing"), fallback), fallback);
    }

    void theMainWindowsStoredDesign()
    {
        bool ok = false;
        const PropertyBag design = PropertyBag::load(QStringLiteral(":/design/McToolBar1.props"), &ok);
        QVERIFY(ok);
        McToolBar bar;
        bar.ReadProperties(design);
        QCOMPARE(Captions(bar), (QStringList{"Datei", "Bearbeiten", "Hilfe"}));
        QCOMPARE(bar.ButtonsStyle(), 2);
        QVERIFY(bar.AutoSizeButtons());
        QCOMPARE(bar.ButtonsHeight(), 20);
        QCOMPARE(bar.TooTipStyle(), 0);
        QCOMPARE(bar.BackColor(), 0x00FFFFFFu);
        QCOMPARE(bar.HoverColor(), 0x8000000Fu);
        QCOMPARE(bar.Button_Index(), -1);
    }
};

QTEST_MAIN(tst_ToolBarModel)
#include "tst_ToolBarModel.moc"
