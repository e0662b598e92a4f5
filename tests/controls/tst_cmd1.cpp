#include "common/Pointer.h"
#include "controls/Cmd1.h"
#include "controls/PropertyBag.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTest>

namespace {

QImage Render(const Cmd1 &button)
{
    QImage image(button.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    button.paint(painter);
    return image;
}

int CountColor(const QImage &image, QRgb color)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += (image.pixel(x, y) & 0xFFFFFF) == (color & 0xFFFFFF);
    return n;
}

} // namespace

class TestCmd1 : public QObject {
    Q_OBJECT
    QWidget *m_host = nullptr;
    Cmd1 *m_button = nullptr;
    QWidget *m_cover = nullptr;

private slots:
    void init()
    {
        m_host = new QWidget;
        m_host->resize(400, 200);
        m_button = new Cmd1(m_host);
        m_button->setGeometry(50, 50, 100, 30);
        m_button->setCaption(QStringLiteral("Start"));
        m_cover = new QWidget(m_host); // another window over the button's right end
        m_cover->setGeometry(130, 40, 40, 50);
        m_cover->raise();
        m_host->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_host));
        Pointer::MoveTo(m_host, QPoint(5, 5));
    }
    void cleanup()
    {
        delete m_host;
        m_host = nullptr;
    }

    void clickNeedsReleaseOverTheButton()
    {
        QSignalSpy clicks(m_button, &Cmd1::Click);
        const QRectF rest = m_button->CaptionRect();

        Pointer::MoveTo(m_button, QPoint(20, 15));
        QVERIFY(m_button->IsHot());
        QCOMPARE(QWidget::mouseGrabber(), m_button);
        QCOMPARE(m_button->TopLeftEdgeColor(), 0x80000014u);
        QCOMPARE(m_button->BottomRightEdgeColor(), 0x80000010u);

        Pointer::Press(m_button, QPoint(20, 15));
        QVERIFY(m_button->IsPressed());
        QCOMPARE(m_button->TopLeftEdgeColor(), 0x80000010u); // sunken
        QCOMPARE(m_button->CaptionRect().topLeft(), rest.topLeft() + QPointF(20, 20));
        Pointer::Release(m_button, QPoint(22, 16));
        QCOMPARE(clicks.count(), 1);
        QVERIFY(!m_button->IsPressed());
        QCOMPARE(m_button->CaptionRect().topLeft(), rest.topLeft());

        // Dragged out: the capture goes, the look turns cold, a release outside is no click.
        Pointer::Press(m_button, QPoint(20, 15));
        Pointer::MoveTo(m_button, QPoint(20, 60));
        QVERIFY(!m_button->IsHot());
        QVERIFY(!m_button->IsPressed());
        QVERIFY(QWidget::mouseGrabber() != m_button);
        Pointer::Release(m_button, QPoint(20, 60));
        QCOMPARE(clicks.count(), 1);

        // Back in with the button still held: hot, not pressed, and no click on release.
        Pointer::MoveTo(m_host, QPoint(5, 5));
        Pointer::Press(m_button, QPoint(20, 15));
        Pointer::MoveTo(m_button, QPoint(-30, 15));
        Pointer::MoveTo(m_button, QPoint(25, 15));
        QVERIFY(m_button->IsHot());
        QVERIFY(!m_button->IsPressed());
        QCOMPARE(m_button->TopLeftEdgeColor(), 0x80000014u);
        Pointer::Release(m_button, QPoint(25, 15));
        QCOMPARE(clicks.count(), 1);

        // Released over the window that covers the button's end: no click, still hot.
        Pointer::Press(m_button, QPoint(20, 15));
        Pointer::Release(m_button, QPoint(90, 15));
        QCOMPARE(clicks.count(), 1);
        QVERIFY(m_button->IsHot());
        QVERIFY(!m_button->IsPressed());
    }

    void releaseOnThePicture()
    {
        // A picture in the middle; the caption at the top, clear of it.
        QVERIFY(m_button->setPicture(StdPicture::FromFile(QStringLiteral(":/cmd13.png"))));
        QVERIFY(m_button->setPicSize(3));
        QVERIFY(m_button->setTextAlign(6));
        const QRectF caption = m_button->CaptionRect();
        QSignalSpy clicks(m_button, &Cmd1::Click);
        QSignalSpy downs(m_button, &Cmd1::MouseDown);
        Pointer::MoveTo(m_button, QPoint(50, 20));
        Pointer::Press(m_button, QPoint(50, 20));
        QCOMPARE(downs.count(), 0); // only a press on the surface itself raises MouseDown
        Pointer::Release(m_button, QPoint(50, 20));
        QCOMPARE(clicks.count(), 1);
        // No second arrangement on this path: the caption keeps the pressed shift for now.
        QCOMPARE(m_button->CaptionRect().topLeft(), caption.topLeft() + QPointF(20, 20));
        QVERIFY(m_button->ArrangeContent());
        QCOMPARE(m_button->CaptionRect().topLeft(), caption.topLeft());

        Pointer::Press(m_button, QPoint(5, 25)); // the bare surface
        QCOMPARE(downs.count(), 1);
        Pointer::Release(m_button, QPoint(5, 25));
        QCOMPARE(clicks.count(), 2);
    }

    void keyboardClicks()
    {
        QSignalSpy clicks(m_button, &Cmd1::Click);
        QList<int> order;
        connect(m_button, &Cmd1::KeyPress, this, [&](qint16 &) { order << 1; });
        connect(m_button, &Cmd1::Click, this, [&] { order << 2; });
        QTest::keyClick(m_button, Qt::Key_Return);
        QCOMPARE(order, QList<int>({1, 2}));
        QTest::keyClick(m_button, Qt::Key_Space);
        QTest::keyClick(m_button, Qt::Key_A);
        QCOMPARE(clicks.count(), 2);

        auto veto = connect(m_button, &Cmd1::KeyPress, this, [](qint16 &keyAscii) { keyAscii = 0; });
        QTest::keyClick(m_button, Qt::Key_Return);
        QCOMPARE(clicks.count(), 2);
        disconnect(veto);
        QSignalSpy keyDown(m_button, &Cmd1::KeyDown);
        QTest::keyClick(m_button, Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(keyDown.count(), 2); // Shift, then the arrow with Shift held
        QCOMPARE(keyDown.at(1).at(0).toInt(), 38);
        QCOMPARE(keyDown.at(1).at(1).toInt(), 1);
    }

    void disabledCaptionIsEtchedAndRestored()
    {
        m_button->setForeColor(0x0000FF); // red
        QVERIFY(CountColor(Render(*m_button), qRgb(255, 0, 0)) > 0);
        m_button->setEnabled(false);
        QVERIFY(m_button->ShadowVisible());
        QCOMPARE(m_button->ShadowRect().topLeft(), m_button->CaptionRect().topLeft() + QPointF(10, 10));
        QCOMPARE(m_button->ForeColor(), 0x80000011u);
        const QImage disabled = Render(*m_button);
        QCOMPARE(CountColor(disabled, qRgb(255, 0, 0)), 0);
        QVERIFY(CountColor(disabled, ControlColor(0x80000011).rgb()) > 0);
        QVERIFY(CountColor(disabled, ControlColor(0x80000014).rgb()) > 0);
        // A later arrangement keeps the colour from before the look began.
        QVERIFY(m_button->ArrangeContent());
        m_button->setEnabled(true);
        QVERIFY(!m_button->ShadowVisible());
        QCOMPARE(m_button->ForeColor(), 0x0000FFu);
        // Disabling through the parent gives the same look.
        m_host->setEnabled(false);
        QVERIFY(m_button->ShadowVisible());
        m_host->setEnabled(true);
        QCOMPARE(m_button->ForeColor(), 0x0000FFu);
    }

    void focusRectangleIsDottedAndInset()
    {
        m_button->setCaption(QString());
        m_button->clearFocus();
        QVERIFY(!m_button->HasFocus());
        const QImage plain = Render(*m_button);
        m_button->setFocus();
        QVERIFY(m_button->HasFocus());
        const QImage focused = Render(*m_button);
        const QRgb face = plain.pixel(4, 2);
        QVERIFY(focused.pixel(4, 2) != face);
        QCOMPARE(focused.pixel(5, 2), face);
        QVERIFY(focused.pixel(6, 2) != face);
        QVERIFY(focused.pixel(95, 27) != face);           // right - 5, bottom - 3
        QCOMPARE(focused.pixel(3, 2), plain.pixel(3, 2)); // outside the rectangle
        QCOMPARE(focused.pixel(4, 1), plain.pixel(4, 1));
        QCOMPARE(focused.pixel(96, 27), plain.pixel(96, 27));
        m_button->clearFocus();
        QVERIFY(!m_button->HasFocus());
        QCOMPARE(Render(*m_button), plain);
    }

    void arrangement()
    {
        // A caption wider than the button is narrowed to the surface minus both margins and wraps.
        const QRectF oneLine = m_button->CaptionRect();
        m_button->setCaption(QStringLiteral("A caption with many words that cannot fit on one line"));
        QCOMPARE(m_button->CaptionRect().width(), 1500.0 - 80);
        QVERIFY(m_button->CaptionRect().height() > oneLine.height());
        QCOMPARE(m_button->TextWidth(), 1420);

        QVERIFY(m_button->setPicture(StdPicture::FromFile(QStringLiteral(":/cmd13.png"))));
        QVERIFY(!m_button->Picture().isNull());
        QVERIFY(m_button->setPicSize(3));
        QCOMPARE(m_button->PictureRect().size(), QSizeF(m_button->Picture().Image.size()) * 15);
        QVERIFY(m_button->setPicSize(32));
        QCOMPARE(m_button->PictureRect().size(), QSizeF(320, 320));
        QVERIFY(m_button->setPicSize(0));
        QCOMPARE(m_button->PictureRect().size(), QSizeF(0, 0));
        QVERIFY(m_button->setPicSize(-4)); // no negative size: the box keeps its size
        QCOMPARE(m_button->PictureRect().size(), QSizeF(0, 0));
        QVERIFY(!m_button->setPicSize(300000000)); // ten times that overflows 32 bits
        QVERIFY(m_button->setPicSize(2));
        QVERIFY(m_button->setPicAlign(7));
        QCOMPARE(m_button->PictureRect().bottom(), 450.0 - 40);
        QVERIFY(m_button->setPicDistToEdge(200));
        QCOMPARE(m_button->PictureRect().bottom(), 450.0 - 40);
        QVERIFY(m_button->setPicAlign(0));
        QCOMPARE(m_button->PictureRect().topLeft(), QPointF(200, 200));
        QVERIFY(m_button->setPicAlign(12)); // outside the rows: stays
        QCOMPARE(m_button->PictureRect().topLeft(), QPointF(200, 200));

        QVERIFY(m_button->setCaption(QStringLiteral("Go")));
        QVERIFY(m_button->setTextDistToEdge(100));
        QVERIFY(m_button->setTextAlign(7));
        QCOMPARE(m_button->CaptionRect().bottom(), 450.0 - 40);
        QVERIFY(m_button->setTextAlign(2));
        QCOMPARE(m_button->CaptionRect().bottom(), 450.0 - 100);
        QCOMPARE(m_button->CaptionRect().left(), 100.0);
        QVERIFY(!m_button->setTextDistToEdge(20000)); // twice that overflows 16 bits
        QVERIFY(m_button->setTextDistToEdge(40));
    }

    void highColorsWaitForTheNextChange()
    {
        Pointer::MoveTo(m_button, QPoint(20, 15));
        QVERIFY(m_button->IsHot());
        m_button->setHighColor1(0x00FF00);
        m_button->setHighColor2(0x0000FF);
        Pointer::MoveTo(m_button, QPoint(21, 16));
        QCOMPARE(m_button->TopLeftEdgeColor(), 0x80000014u);
        Pointer::MoveTo(m_host, QPoint(5, 5));
        Pointer::MoveTo(m_button, QPoint(20, 15));
        QCOMPARE(m_button->TopLeftEdgeColor(), 0x00FF00u);
        QCOMPARE(m_button->BottomRightEdgeColor(), 0x0000FFu);
        const QImage hot = Render(*m_button);
        QCOMPARE(hot.pixel(10, 0), qRgb(0, 255, 0));
        QCOMPARE(hot.pixel(10, 29), qRgb(255, 0, 0));
        QCOMPARE(hot.pixel(99, 10), qRgb(255, 0, 0));
    }

    void persistence()
    {
        Cmd1 source(m_host);
        source.resize(100, 30);
        source.setCaption(QStringLiteral("Start Single"));
        source.setWordWrap(false);
        source.setForeColor(0x00800000);
        source.setHighColor1(0x00C0C0C0);
        source.setTextAlign(4);
        source.setPicSize(2);
        source.setPicWidth(240);
        source.setToolTipText(QStringLiteral("tip"));
        PropertyBag bag;
        source.WriteProperties(bag);
        QCOMPARE(bag.ReadProperty(QStringLiteral("checkcaption"), QString()).toString(),
                 QStringLiteral("Start Single"));
        QCOMPARE(bag.ReadProperty(QStringLiteral("caption"), QString()).toString(), QStringLiteral("Start Single"));
        // Word wrap is written with both defaults, so either value stays in the store.
        QVERIFY(bag.contains(QStringLiteral("WordWrap")));
        QCOMPARE(bag.ReadProperty(QStringLiteral("WordWrap"), true).toBool(), false);
        QVERIFY(!bag.contains(QStringLiteral("PicHeight")));

        Cmd1 copy(m_host);
        copy.resize(100, 30);
        QVERIFY(copy.ReadProperties(bag));
        QCOMPARE(copy.Caption(), QStringLiteral("Start Single"));
        QCOMPARE(copy.WordWrap(), false);
        QCOMPARE(copy.ForeColor(), 0x00800000u);
        QCOMPARE(copy.HighColor1(), 0x00C0C0C0u);
        QCOMPARE(copy.TextAlign(), 4);
        QCOMPARE(copy.PicWidth(), 240);
        QCOMPARE(copy.ToolTipText(), QStringLiteral("tip"));
        PropertyBag again;
        copy.WriteProperties(again);
        QCOMPARE(again, bag);

        // Word wrap on survives through the key written with the default False.
        source.setWordWrap(true);
        PropertyBag wrapped;
        source.WriteProperties(wrapped);
        QCOMPARE(wrapped.ReadProperty(QStringLiteral("wordwrap"), false).toBool(), true);
        QVERIFY(copy.ReadProperties(wrapped));
        QVERIFY(copy.WordWrap());

        // Only "checkcaption": the caption ends as the "Caption" default; no "WordWrap" loads False.
        const PropertyBag onlyCheck = PropertyBag::fromText(QStringLiteral("checkcaption=Hello\n"));
        QVERIFY(copy.ReadProperties(onlyCheck));
        QCOMPARE(copy.Caption(), QStringLiteral("Command"));
        QCOMPARE(copy.WordWrap(), false);
        QCOMPARE(copy.ForeColor(), 0x80000012u);
    }

    void badStoredValuesFailOnlyTheirStep()
    {
        Cmd1 button(m_host);
        button.resize(100, 30);
        QVERIFY(!button.ReadProperties(PropertyBag::fromText(
            QStringLiteral("caption=Go\ntextdisttoedge=20000\ntextalign=0\nbackstyle=1\nbackcolor=255\n"))));
        QCOMPARE(button.Caption(), QStringLiteral("Go"));
        QCOMPARE(button.TextDistToEdge(), 20000);
        QCOMPARE(button.TextAlign(), 0);
        QCOMPARE(button.BackColor(), 0xFFu);
        QCOMPARE(Render(button).pixel(95, 25), qRgb(255, 0, 0));

        QVERIFY(!button.ReadProperties(PropertyBag::fromText(QStringLiteral("picheight=40000\ncaption=Fine\n"))));
        QCOMPARE(button.Caption(), QStringLiteral("Fine"));
        QCOMPARE(button.PicHeight(), 320);
        QVERIFY(!button.ReadProperties(PropertyBag::fromText(QStringLiteral("picsize=300000000\n"))));
        // Steps that arrange before "PicSize" is read still meet the old value; the end recovers.
        button.ReadProperties(PropertyBag::fromText(QStringLiteral("picsize=99\n")));
        QCOMPARE(button.PictureRect().size(), QSizeF(990, 990));
    }
};

QTEST_MAIN(TestCmd1)
#include "tst_cmd1.moc"
