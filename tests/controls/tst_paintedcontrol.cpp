#include "common/Pointer.h"
#include "controls/Chk1.h"
#include "controls/Cmd1.h"
#include "controls/PPB.h"
#include "controls/PropertyBag.h"
#include "controls/Txt.h"

#include <QSignalSpy>
#include <array>

namespace {

// The back colour, tooltip and back style every painted control shares: reported, and painted as the
// style says.
template <class Control> void CheckSharedProperties(qint16 defaultBackStyle)
{
    QWidget host;
    Control control(&host);
    control.resize(80, 24);
    if constexpr (std::is_same_v<Control, PPB>)
        control.ValueChange(0); // an empty bar, so its back shows
    QCOMPARE(control.BackStyle(), defaultBackStyle);
    QSignalSpy reported(&control, &PaintedControl::PropertyChanged);
    control.setBackColor(0x00FF00);
    control.setToolTipText(QStringLiteral("tip"));
    control.setBackStyle(2);
    QStringList keys;
    for (const QList<QVariant> &signal : std::as_const(reported))
        keys << signal.at(0).toString();
    QCOMPARE(keys, QStringList({"BackColor", "ToolTipText", "BackStyle"}));
    QVERIFY(HasColor(Render(control), qRgb(0, 255, 0)));

    control.setBackStyle(0); // transparent: what lies below shows
    QVERIFY(!HasColor(Render(control), qRgb(0, 255, 0)));
}

// A design read, written, read by a second control and written again: each of its lines is written
// as it was read, and both texts are the same.
template <class Control> void CheckDesign(const QString &design)
{
    QWidget host;
    Control first(&host), second(&host);
    PropertyBag bag, again;
    QVERIFY(first.ReadProperties(PropertyBag::fromText(design)));
    first.WriteProperties(bag);
    for (const QString &line : design.split(u'\n', Qt::SkipEmptyParts))
        QVERIFY2(("\n" + bag.toText()).contains(u'\n' + line + u'\n'), qPrintable(line));
    QVERIFY(second.ReadProperties(bag));
    second.WriteProperties(again);
    QCOMPARE(again.toText(), bag.toText());
}

// One control of each kind, laid out one below the other.
struct Controls {
    QWidget host;
    Cmd1 *button = new Cmd1(&host);
    Chk1 *box = new Chk1(&host);
    PPB *bar = new PPB(&host);
    Txt *text = new Txt(&host);
    const std::array<PaintedControl *, 4> all{button, box, bar, text};

    Controls()
    {
        host.resize(300, 160);
        button->setGeometry(0, 0, 200, 60);
        button->setCaption(QStringLiteral("Start"));
        box->setGeometry(0, 60, 150, 16);
        box->setCaption(QStringLiteral("Option"));
        bar->setGeometry(0, 80, 200, 40);
        bar->ValueChange(50);
        text->setGeometry(0, 125, 100, 20);
    }
};

} // namespace

class TestPaintedControl : public QObject {
    Q_OBJECT
private slots:
    void sharedProperties()
    {
        CheckSharedProperties<Cmd1>(1);
        CheckSharedProperties<Chk1>(0);
        CheckSharedProperties<PPB>(1);
    }

    void designsSurviveWriteAndRead()
    {
        QFile picture(QStringLiteral(":/ppb_bar.png"));
        QVERIFY(picture.open(QIODevice::ReadOnly));
        const QString shared = QStringLiteral("backcolor=65280\ntooltiptext=tip\nbackstyle=2\n");
        // The caption goes under two keys, and word wrap under two defaults.
        CheckDesign<Cmd1>(shared + "caption=Start Single\ncheckcaption=Start Single\nforecolor=8388608\nwordwrap=0\n");
        CheckDesign<Cmd1>(QStringLiteral("wordwrap=-1\n"));
        CheckDesign<Chk1>(shared + "style=3\nchecked=-1\nforecolor=1193046\nanimation=-1\n");
        // A bar without "Enabled" is disabled, so it is written enabled too.
        CheckDesign<PPB>(shared + "ispercent=0\nshowborder=0\nenabled=-1\npicture=" + picture.readAll().toBase64() +
                         '\n');
        CheckDesign<Txt>(QStringLiteral("text=abc\nmaxlength=8\nbackcolor=255\nforecolor=65280\nalignment=1\n"));
    }

    void fontThroughAnyPointer()
    {
        Controls c;
        const double buttonCaption = c.button->CaptionRect().height(), boxCaption = c.box->CaptionRect().height();
        QFont big(QStringLiteral("DejaVu Sans"));
        big.setPixelSize(30);
        // Set through a QWidget pointer, the font is the control's stored Font, reported once.
        for (PaintedControl *control : c.all) {
            QSignalSpy reports(control, &PaintedControl::PropertyChanged);
            static_cast<QWidget *>(control)->setFont(big);
            QCOMPARE(control->Font(), big);
            QCOMPARE(reports.count(), 1);
            QCOMPARE(reports.at(0).at(0).toString(), QStringLiteral("Font"));
        }
        QVERIFY(c.button->CaptionRect().height() > buttonCaption);
        QVERIFY(c.box->CaptionRect().height() > boxCaption);
        // The bar measures its label again in the new font.
        QCOMPARE(c.bar->LabelRect().height(), QFontMetrics(big).height() * 15.0);
        QCOMPARE(c.bar->LabelRect().width(), QFontMetrics(big).horizontalAdvance(c.bar->LabelText()) * 15.0);
        // A container's font reaches a control without one of its own, and is not its stored Font.
        QWidget container;
        auto *inherits = new Cmd1(&container);
        inherits->resize(200, 60);
        QSignalSpy reports(inherits, &PaintedControl::PropertyChanged);
        container.setFont(big);
        QCOMPARE(inherits->Font(), big);
        QCOMPARE(inherits->CaptionRect().height(), c.button->CaptionRect().height());
        QVERIFY(reports.isEmpty());
    }

    void picturesAtTwiceThePixelRatio()
    {
        Controls c;
        for (const PaintedControl *control : c.all) {
            const QImage one = control->picture(1, Qt::magenta), two = control->picture(2, Qt::magenta);
            QCOMPARE(two.size(), control->size() * 2);
            QCOMPARE(two.deviceIndependentSize(), QSizeF(control->size()));
            // Text is painted at the finer resolution, not enlarged; the text box paints only its frame.
            if (control != c.text)
                QVERIFY2(two != one.scaled(two.size()), control->metaObject()->className());
        }
    }

    void writeReadAndConvert()
    {
        PropertyBag bag;
        bag.WriteProperty(QStringLiteral("Caption"), QStringLiteral("Start"), QStringLiteral("Command"));
        bag.WriteProperty(QStringLiteral("Enabled"), true, true);
        bag.WriteProperty(QStringLiteral("Text"), QStringLiteral("two\r\nlines = a\\b"), QString());
        bag.WriteProperty(QStringLiteral("BackColor"), 0x8000000F, 0);
        QVERIFY(!bag.contains(QStringLiteral("enabled"))); // a default is not written
        // Writing the default again is skipped: the value written before stays.
        bag.WriteProperty(QStringLiteral("caption"), QStringLiteral("Command"), QStringLiteral("Command"));
        const PropertyBag again = PropertyBag::fromText(bag.toText());
        QCOMPARE(again.toText(), bag.toText());
        QCOMPARE(again.ReadProperty(QStringLiteral("caption"), QString()).toString(), QStringLiteral("Start"));
        QCOMPARE(again.ReadProperty(QStringLiteral("text"), QString()).toString(),
                 QStringLiteral("two\r\nlines = a\\b"));
        QCOMPARE(again.ReadColor(QStringLiteral("backcolor"), 0), 0x8000000Fu);
        // Values convert by the default's type; what does not convert gives the default.
        const PropertyBag read = PropertyBag::fromText(QStringLiteral(
            "flag=-1\nword=True\nsize=abc\nspeed=0.08\nbig=4294967295\nb=&H8000000F&\nc=0xC0C0FF\ne=purple\n"));
        QVERIFY(read.ReadProperty(QStringLiteral("flag"), false).toBool());
        QVERIFY(read.ReadProperty(QStringLiteral("word"), false).toBool());
        QCOMPARE(read.ReadProperty(QStringLiteral("size"), 13).toInt(), 13);
        QCOMPARE(read.ReadProperty(QStringLiteral("speed"), 1.0).toDouble(), 0.08);
        QCOMPARE(read.ReadProperty(QStringLiteral("big"), 0u).toUInt(), 4294967295u);
        QCOMPARE(read.ReadProperty(QStringLiteral("big"), 0).toInt(), 0);
        QCOMPARE(read.ReadColor(QStringLiteral("B"), 0), 0x8000000Fu);
        QCOMPARE(read.ReadColor(QStringLiteral("c"), 0), 0xC0C0FFu);
        QCOMPARE(read.ReadColor(QStringLiteral("e"), 7), 7u);
    }
};

QTEST_MAIN(TestPaintedControl)
#include "tst_paintedcontrol.moc"
