#include "platform/Colors.h"
#include "toolbar/McToolBar.h"

#include <QTest>
#include <set>

namespace {

// Three 60 x 20 cells in one row on white, captions "A", "B", "C", text drawn without smoothing so
// text pixels have exactly the pen colour.
void Setup(McToolBar &bar)
{
    bar.setWarpSize(false);
    bar.setAutoSize(false);
    bar.setButtonsWidth(60);
    bar.setButtonsHeight(20);
    bar.setButton_Count(3);
    bar.setBackColor(0xFFFFFF);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    font.setStyleStrategy(QFont::NoAntialias);
    bar.setFont(font);
    for (int i = 0; i < 3; ++i) {
        bar.setButton_Index(i);
        bar.setButtonCaption(QString(QChar(u'A' + i)));
    }
    bar.setButton_Index(-1);
    bar.resize(180, 20);
    bar.RedrawControl();
}

QColor Pixel(const McToolBar &bar, int x, int y)
{
    return bar.Surface().pixelColor(x, y);
}

QColor Colour(quint32 value)
{
    return ToQColor(TranslateColor(value));
}

std::set<QRgb> ColoursIn(const McToolBar &bar, const QRect &area, QRgb background)
{
    std::set<QRgb> colours;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (bar.Surface().pixel(x, y) != background)
                colours.insert(bar.Surface().pixel(x, y));
    return colours;
}

StdPicture Square(QRgb colour, int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(colour);
    StdPicture picture;
    picture.Type = StdPicture::Bitmap;
    picture.Image = image;
    picture.Data = "x";
    return picture;
}

} // namespace

class tst_ToolBarRender : public QObject {
    Q_OBJECT
private slots:
    void hoveredFaces()
    {
        McToolBar bar;
        Setup(bar);
        bar.setButtonsStyle(2);
        bar.setHoverColor(0x0000FF);
        bar.setButton_Index(1);
        QCOMPARE(bar.Surface().size(), QSize(180, 20));
        // Style 2: no inset, no frame, the blended fill with a darker outline.
        QCOMPARE(Pixel(bar, 62, 3), QColor(255, 155, 155));
        QCOMPARE(Pixel(bar, 60, 10), QColor(250, 0, 0));
        QCOMPARE(Pixel(bar, 119, 10), QColor(250, 0, 0));
        QCOMPARE(Pixel(bar, 70, 19), QColor(250, 0, 0));
        QCOMPARE(Pixel(bar, 120, 10), QColor(Qt::white));
        QCOMPARE(Pixel(bar, 2, 3), QColor(Qt::white));

        // Other styles: the hover colour inside a raised frame, one pixel in.
        bar.setButtonsStyle(0);
        bar.setBorderColor(0x808080);
        QCOMPARE(Pixel(bar, 64, 4), QColor(Qt::red));
        QCOMPARE(Pixel(bar, 70, 1), QColor(220, 220, 220));
        QCOMPARE(Pixel(bar, 60, 10), QColor(Qt::white));

        // Style 1 frames every enabled idle button, raised.
        bar.setButtonsStyle(1);
        bar.setButton_Index(-1);
        QCOMPARE(Pixel(bar, 10, 1), QColor(220, 220, 220));
        QCOMPARE(Pixel(bar, 1, 10), QColor(220, 220, 220));
        QCOMPARE(Pixel(bar, 10, 18), QColor(35, 35, 35));
    }

    void latchedButtonIsSunkenEvenWhenHovered()
    {
        McToolBar bar;
        Setup(bar);
        bar.setBorderColor(0x808080);
        bar.setHoverColor(0x0000FF);
        bar.HighlightButton(0);
        bar.setButton_Index(0);
        QCOMPARE(Pixel(bar, 10, 1), QColor(35, 35, 35));     // dark top
        QCOMPARE(Pixel(bar, 1, 10), QColor(35, 35, 35));     // dark left
        QCOMPARE(Pixel(bar, 58, 10), QColor(220, 220, 220)); // light right
        QCOMPARE(Pixel(bar, 10, 18), QColor(220, 220, 220)); // light bottom
        QCOMPARE(Pixel(bar, 5, 5), QColor(Qt::white));       // no hover fill
        bar.UnHighlightButton(0);
        QCOMPARE(Pixel(bar, 5, 5), QColor(Qt::red));
    }

    void disabledTextIsGrey()
    {
        McToolBar bar;
        Setup(bar);
        bar.setButton_Index(1);
        bar.setButtonEnabled(false);
        bar.setButton_Index(-1);
        const QRgb white = qRgb(255, 255, 255);
        const QRgb grey = Colour(SystemColor::GrayText).rgb();
        QVERIFY(grey != white && grey != qRgb(0, 0, 0));
        QCOMPARE(ColoursIn(bar, QRect(0, 0, 60, 20), white), std::set<QRgb>{qRgb(0, 0, 0)});
        QCOMPARE(ColoursIn(bar, QRect(60, 0, 60, 20), white), std::set<QRgb>{grey});
        // The control's own Enabled greys every button.
        bar.setEnabled(false);
        QCOMPARE(ColoursIn(bar, QRect(0, 0, 60, 20), white), std::set<QRgb>{grey});
    }

    void gradients()
    {
        McToolBar bar;
        Setup(bar);
        bar.setBackColor(0x0000FF);
        bar.setBackGradientCol(0xFF0000);
        bar.setBackGradient(1);
        QCOMPARE(Pixel(bar, 0, 19), QColor(255, 0, 0));
        QCOMPARE(Pixel(bar, 179, 19), QColor(0, 0, 255));
        QCOMPARE(Pixel(bar, 90, 19), QColor(127, 0, 128)); // 255 - 255 * 90 / 179 in whole numbers
        bar.setBackGradient(2);
        QCOMPARE(Pixel(bar, 0, 19), QColor(255, 0, 0));
        QCOMPARE(Pixel(bar, 89, 19), QColor(0, 0, 255));
        QCOMPARE(Pixel(bar, 179, 19), QColor(255, 0, 0));
        bar.setBackGradient(3);
        QCOMPARE(Pixel(bar, 0, 0), QColor(255, 0, 0));
        QCOMPARE(Pixel(bar, 0, 19), QColor(0, 0, 255));
        bar.setBackGradient(4);
        QCOMPARE(Pixel(bar, 0, 9), QColor(0, 0, 255));
        QCOMPARE(Pixel(bar, 0, 19), QColor(255, 0, 0));
        bar.setBackGradient(5);
        QCOMPARE(Pixel(bar, 0, 0), QColor(255, 0, 0));
        QCOMPARE(Pixel(bar, 179, 19), QColor(0, 0, 255));
        bar.setBackGradient(6);
        QCOMPARE(Pixel(bar, 179, 0), QColor(255, 0, 0));
        QCOMPARE(Pixel(bar, 0, 19), QColor(0, 0, 255));
        bar.setBackGradient(7);
        QCOMPARE(Pixel(bar, 179, 19), QColor(255, 0, 0));
    }

    void backgroundTilesOnlyBitmaps()
    {
        McToolBar bar;
        Setup(bar);
        QImage tile(2, 2, QImage::Format_ARGB32);
        tile.setPixel(0, 0, qRgb(1, 2, 3));
        tile.setPixel(1, 0, qRgb(4, 5, 6));
        tile.setPixel(0, 1, qRgb(7, 8, 9));
        tile.setPixel(1, 1, qRgb(10, 11, 12));
        StdPicture picture;
        picture.Type = StdPicture::Bitmap;
        picture.Image = tile;
        picture.Data = "x";
        bar.setBackGround(picture);
        QCOMPARE(Pixel(bar, 0, 19), QColor(7, 8, 9));
        QCOMPARE(Pixel(bar, 179, 19), QColor(10, 11, 12));
        bar.setBackGradient(1); // a gradient replaces the picture
        QCOMPARE(Pixel(bar, 179, 19), Colour(0xC0C0FF));
        bar.setBackGradient(0);
        picture.Type = StdPicture::Icon;
        bar.setBackGround(picture);
        QCOMPARE(Pixel(bar, 0, 19), QColor(Qt::white));
    }

    void iconsAndSilhouettes()
    {
        McToolBar bar;
        Setup(bar);
        bar.setButton_Index(0);
        bar.setButtonCaption(QString());
        bar.setButtonIcon(Square(qRgb(0, 200, 0), 8));
        bar.setButton_Index(-1);
        // An icon without a caption sits in the middle of its cell.
        QCOMPARE(Pixel(bar, 26, 6), QColor(0, 200, 0));
        QCOMPARE(Pixel(bar, 33, 13), QColor(0, 200, 0));
        QCOMPARE(Pixel(bar, 25, 6), QColor(Qt::white));
        QCOMPARE(Pixel(bar, 34, 14), QColor(Qt::white));
        bar.setButton_Index(0);
        bar.setButtonEnabled(false);
        QCOMPARE(Pixel(bar, 26, 6), QColor(128, 128, 128));

        // Icon left of the caption: the icon area is the icon width plus 10, the text to its right.
        bar.setButtonEnabled(true);
        bar.setButtonCaption(QStringLiteral("A"));
        bar.setButtonIconAllignment(2);
        bar.setButton_Index(-1);
        QCOMPARE(Pixel(bar, 5, 6), QColor(0, 200, 0));
        QCOMPARE(Pixel(bar, 4, 6), QColor(Qt::white));
    }

    void layoutAndSize()
    {
        McToolBar bar;
        bar.resize(320, 20);
        bar.setButton_Count(3);
        bar.setButtonsHeight(20);
        bar.setAutoSizeButtons(true);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(11);
        bar.setFont(font);
        const QStringList captions{"Datei", "Bearbeiten", "Hilfe"};
        for (int i = 0; i < 3; ++i) {
            bar.setButton_Index(i);
            bar.setButtonCaption(captions[i]);
        }
        QImage probe(1, 1, QImage::Format_RGB32);
        const QFontMetricsF fm(font, &probe);
        QCOMPARE(bar.GetButtonWidth(0), RoundEven(fm.horizontalAdvance(QStringLiteral("Datei")) + 11));
        QCOMPARE(bar.GetButtonLeft(1), bar.GetButtonWidth(0));
        QCOMPARE(bar.GetButtonLeft(2), bar.GetButtonWidth(0) + bar.GetButtonWidth(1));
        QCOMPARE(bar.GetButtonHeight(2), 20);
        // WarpSize: three columns of 90, one row of 20.
        QCOMPARE(bar.size(), QSize(270, 20));
        QCOMPARE(bar.ButtonsPerRow(), 3);

        bar.setButton_Count(5);
        QCOMPARE(bar.size(), QSize(270, 40));
        QCOMPARE(bar.GetButtonTop(3), 20);
        QCOMPARE(bar.GetButtonLeft(3), 0);

        // Docked at the top, the width is the container's.
        bar.setAlign(1);
        bar.resize(400, 10);
        bar.RedrawControl();
        QCOMPARE(bar.size(), QSize(400, 40));
        QCOMPARE(bar.ButtonsPerRow(), 4);
    }

    void designTimeShowsIndexes()
    {
        McToolBar bar;
        Setup(bar);
        const QRect corner(62, 2, 12, 14); // where button 1's index goes; its caption is centred
        QVERIFY(ColoursIn(bar, corner, qRgb(255, 255, 255)).empty());
        bar.setDesignMode(true);
        bar.RedrawControl();
        QVERIFY(!ColoursIn(bar, corner, qRgb(255, 255, 255)).empty());
    }

    void wordWrap()
    {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(11);
        QImage probe(1, 1, QImage::Format_RGB32);
        const QFontMetricsF fm(font, &probe);
        const double fits = fm.horizontalAdvance(QStringLiteral("Hello ")) + 1;
        QCOMPARE(SplitToLines(QStringLiteral("Hello World "), fits, true, fm), (QStringList{"Hello", "World"}));
        QCOMPARE(SplitToLines(QStringLiteral("ab\r\ncd"), 1000, true, fm), QStringList{"abcd"});
        QCOMPARE(SplitToLines(QStringLiteral("ab\r\ncd"), 1000, false, fm), QStringList{"ab\r\ncd"});
        // No delimiter: cut where the width runs out, every line narrower than the limit.
        const double narrow = fm.horizontalAdvance(QStringLiteral("Abc")) + 0.5;
        const QStringList pieces = SplitToLines(QStringLiteral("Abcdefghij"), narrow, true, fm);
        QVERIFY(pieces.size() > 2);
        QCOMPARE(pieces.join(QString()), QStringLiteral("Abcdefghij"));
        for (const QString &line : pieces)
            QVERIFY(fm.horizontalAdvance(line) < narrow);
        // Digits and punctuation are delimiters; umlauts too.
        QVERIFY(IsDelim(u'1') && IsDelim(u'.') && IsDelim(u' ') && IsDelim(QChar(0xE4)));
        QVERIFY(!IsDelim(u'a') && !IsDelim(u'Z') && !IsDelim(u'_'));
        QCOMPARE(SplitToLines(QStringLiteral("abc"), -5, true, fm), (QStringList{"a", "b", "c"}));

        // A wrapped caption is centred as a block in its cell.
        McToolBar bar;
        Setup(bar);
        bar.setButton_Index(0);
        bar.setButtonCaption(QStringLiteral("Ab Cd Ef Gh"));
        bar.setButton_Index(-1);
        bar.setButtonsHeight(60);
        bar.resize(180, 60);
        bar.RedrawControl();
        const std::set<QRgb> top = ColoursIn(bar, QRect(0, 0, 60, 8), qRgb(255, 255, 255));
        const std::set<QRgb> middle = ColoursIn(bar, QRect(0, 20, 60, 20), qRgb(255, 255, 255));
        QVERIFY(top.empty());
        QVERIFY(!middle.empty());
    }
};

QTEST_MAIN(tst_ToolBarRender)
#include "tst_ToolBarRender.moc"
