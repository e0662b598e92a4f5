#include "common/Pointer.h"
#include "controls/Chk1.h"
#include "controls/PropertyBag.h"
#include "platform/MouseTracking.h"

#include <QElapsedTimer>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

QImage RenderMark(Chk1::Mark mark)
{
    QImage image(60, 60, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    Chk1::paintMark(painter, QRectF(0, 0, 60, 60), mark, Qt::black);
    return image;
}

bool Inked(const QImage &image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 128;
}

} // namespace

class TestChk1 : public QObject {
    Q_OBJECT
    QWidget *m_host = nullptr;
    Chk1 *m_box = nullptr;

private slots:
    void init()
    {
        SetMouseTrackingAvailable(true);
        m_host = new QWidget;
        m_host->resize(400, 100);
        m_box = new Chk1(m_host);
        m_box->setGeometry(20, 20, 280, 16);
        QVERIFY(m_box->ReadProperties(PropertyBag::fromText(
            QStringLiteral("caption=Write logfile\nhighcolor=16711680\nforecolor=1\nanim_duration=0\n"))));
        m_host->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_host));
        Pointer::MoveTo(m_host, QPoint(390, 90));
        m_box->clearFocus();
    }
    void cleanup()
    {
        delete m_host;
        SetMouseTrackingAvailable(true);
    }

    void markPerStyle()
    {
        const QImage empty = RenderMark(Chk1::Mark::Empty);
        const QImage cross = RenderMark(Chk1::Mark::Cross);
        const QImage check = RenderMark(Chk1::Mark::Check);
        // All three have the box: its left edge half way down.
        for (const QImage *image : {&empty, &cross, &check}) {
            int x = 0;
            while (x < 30 && !Inked(*image, x, 30))
                ++x;
            QVERIFY(x > 0 && x < 30);
        }
        QVERIFY(!Inked(empty, 30, 30));
        QVERIFY(Inked(cross, 30, 30));                          // the cross meets in the middle
        QVERIFY(!Inked(cross, 27, 40) && Inked(check, 27, 40)); // the check's low point
        QVERIFY(Inked(cross, 21, 21) && !Inked(check, 21, 21));

        QCOMPARE(m_box->ShownMark(), Chk1::Mark::Empty);
        m_box->setChecked(true);
        QCOMPARE(m_box->ShownMark(), Chk1::Mark::Cross);
        m_box->setStyle(2);
        QCOMPARE(m_box->ShownMark(), Chk1::Mark::Check);
        m_box->setStyle(0);
        QCOMPARE(m_box->ShownMark(), Chk1::Mark::Check);
        QVERIFY(m_box->CaptionRect().left() == m_box->MarkRect().width() + 20);
    }

    void pressTogglesAndHoverFollowsTheMouse()
    {
        QSignalSpy clicks(m_box, &Chk1::Click);
        Pointer::MoveTo(m_box, QPoint(100, 8));
        QVERIFY(m_box->IsInside());
        QCOMPARE(m_box->CaptionColor(), 0xFF0000u);
        QVERIFY(m_box->CaptionUnderlined());

        Pointer::Press(m_box, QPoint(100, 8));
        QVERIFY(m_box->Checked());
        QCOMPARE(clicks.count(), 1);
        Pointer::Release(m_box, QPoint(100, 8));
        QCOMPARE(clicks.count(), 1); // the press toggles, the release does nothing

        // The press gave the focus, so the underline stays when the mouse leaves.
        Pointer::MoveTo(m_host, QPoint(390, 90));
        QVERIFY(!m_box->IsInside());
        QCOMPARE(m_box->CaptionColor(), 1u);
        QCOMPARE(m_box->MarkColor(), 1u);
        QVERIFY(m_box->HasFocus());
        QVERIFY(m_box->CaptionUnderlined());
        m_box->clearFocus();
        QVERIFY(!m_box->CaptionUnderlined());

        // Focus underlines; entering with UnderlineOnMOver off removes it, leaving restores it.
        m_box->setFocus();
        QVERIFY(m_box->CaptionUnderlined());
        m_box->setUnderlineOnMOver(false);
        Pointer::MoveTo(m_box, QPoint(110, 8)); // a move counts only at a new position
        QVERIFY(!m_box->CaptionUnderlined());
        Pointer::MoveTo(m_host, QPoint(390, 90));
        QVERIFY(m_box->CaptionUnderlined());
    }

    void withoutMouseTrackingThereIsNoHook()
    {
        SetMouseTrackingAvailable(false);
        Chk1 box(m_host);
        box.setGeometry(20, 50, 200, 16);
        box.show();
        QVERIFY(box.ReadProperties(PropertyBag()));
        QCOMPARE(box.Hooks().FindHookIndex(&box, false), -1);
        Pointer::Press(&box, QPoint(10, 8));
        Pointer::Release(&box, QPoint(10, 8));
        QVERIFY(!box.Checked());
    }

    void animationFlashesTheMark()
    {
        m_box->setAnimColor1(0x0000FF);
        m_box->setAnimColor2(0x00FF00);
        m_box->setAnim_Duration(2);
        QList<quint32> seen;
        QList<QRgb> painted;
        QTimer sampler;
        sampler.setInterval(5);
        connect(&sampler, &QTimer::timeout, this, [&] {
            if (!seen.isEmpty() && seen.last() == m_box->MarkColor())
                return;
            seen << m_box->MarkColor();
            QImage image(m_box->size(), QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::white);
            QPainter painter(&image);
            m_box->paint(painter);
            const QRect mark = QRectF(m_box->MarkRect().topLeft() / 15, m_box->MarkRect().size() / 15).toRect();
            QRgb ink = qRgb(255, 255, 255);
            for (int y = std::max(0, mark.top());
                 y <= std::min(image.height() - 1, mark.bottom()) && ink == qRgb(255, 255, 255); ++y)
                for (int x = std::max(0, mark.left()); x <= mark.right(); ++x)
                    if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) {
                        ink = image.pixel(x, y) & 0xFFFFFF;
                        break;
                    }
            painted << (ink | 0xFF000000);
        });
        sampler.start();
        QElapsedTimer clock;
        clock.start();
        Pointer::MoveTo(m_box, QPoint(100, 8));
        Pointer::Press(m_box, QPoint(100, 8)); // the animation runs inside the press
        const qint64 took = clock.elapsed();
        sampler.stop();
        QVERIFY2(took >= 300, qPrintable(QString::number(took)));
        QVERIFY(m_box->Checked());
        // Two cycles; between them the labels take HighColor only for an instant.
        const QList<quint32> flashes{0x0000FF, 0x00FF00, 0x0000FF, 0x00FF00};
        QVERIFY(seen.contains(0x0000FFu));
        QCOMPARE(seen.mid(seen.indexOf(0x0000FFu), 4), flashes);
        QCOMPARE(painted.at(seen.indexOf(0x0000FFu)), qRgb(255, 0, 0)); // 0x0000FF is red
        // The pointer is still over the box, so both labels end in HighColor.
        QCOMPARE(m_box->MarkColor(), 0xFF0000u);
        QCOMPARE(m_box->CaptionColor(), 0xFF0000u);
        Pointer::Release(m_box, QPoint(100, 8));

        // No cycles, or a negative number: the mark changes, nothing flashes.
        Pointer::MoveTo(m_host, QPoint(390, 90));
        for (const QVariant &cycles : {QVariant(0), QVariant(-3)}) {
            m_box->setAnim_Duration(cycles);
            const quint32 before = m_box->MarkColor();
            m_box->setFocus();
            QTest::keyClick(m_box, Qt::Key_Space);
            QCOMPARE(m_box->MarkColor(), before);
        }
        m_box->setAnim_Speed(QStringLiteral("fast"));
        m_box->setAnim_Duration(1);
        QVERIFY(!m_box->ClickAnimation());
        m_box->setAnim_Duration(QStringLiteral("twice"));
        m_box->setAnim_Speed(0.01);
        QVERIFY(!m_box->ClickAnimation());
    }

    void keyboardTogglesWithTwoClicks()
    {
        m_box->setFocus();
        QStringList order;
        connect(m_box, &Chk1::KeyPress, this, [&](qint16 &) { order << QStringLiteral("press"); });
        connect(m_box, &Chk1::Click, this, [&] { order << (m_box->Checked() ? "click on" : "click off"); });
        QTest::keyClick(m_box, Qt::Key_Return);
        QCOMPARE(order, QStringList({"press", "click on", "click on"}));
        QCOMPARE(m_box->DoExternalChange(), false);
        QCOMPARE(m_box->setDoExternalChange(true), 0);
        order.clear();
        QTest::keyClick(m_box, Qt::Key_Space);
        QCOMPARE(order, QStringList({"press", "click off"}));
        auto veto = connect(m_box, &Chk1::KeyPress, this, [](qint16 &keyAscii) { keyAscii = 0; });
        QTest::keyClick(m_box, Qt::Key_Space);
        QVERIFY(!m_box->Checked());
        disconnect(veto);

        // From code while DoExternalChange holds: the mark changes, no Click.
        QSignalSpy clicks(m_box, &Chk1::Click);
        m_box->setChecked(true);
        QCOMPARE(m_box->ShownMark(), Chk1::Mark::Cross);
        QCOMPARE(clicks.count(), 0);

        Chk1 designed(m_host);
        designed.setUserMode(false);
        QCOMPARE(designed.setDoExternalChange(true), Chk1::ErrSetNotPermitted);
        QVERIFY(!designed.DoExternalChange());
    }

    void colorSets()
    {
        const quint32 caption = m_box->CaptionColor();
        m_box->setColorSet(2);
        QCOMPARE(m_box->AnimColor1(), 0xFF0000u);
        QCOMPARE(m_box->AnimColor2(), 0x800000u);
        QCOMPARE(m_box->ClickColor(), 0xFF0000u);
        QCOMPARE(m_box->HighColor(), 0xC00000u);
        QCOMPARE(m_box->ForeColor(), 0x800000u);
        QCOMPARE(m_box->CaptionColor(), caption); // not redrawn
        m_box->setColorSet(5);
        QCOMPARE(m_box->ColorSet(), 5);
        QCOMPARE(m_box->HighColor(), 0xC00000u);
        m_box->setColorSet(4);
        QCOMPARE(m_box->ForeColor(), 0x008000u);
    }

    void persistence()
    {
        m_box->setStyle(3);
        m_box->setChecked(true);
        m_box->setAnimation(true);
        m_box->setSize(11.5);
        m_box->setToolTipText(QStringLiteral("tip"));
        m_box->setForeColor(0x123456);
        PropertyBag bag;
        m_box->WriteProperties(bag);
        QVERIFY(bag.contains(QStringLiteral("animation"))); // True never equals the default 1
        QCOMPARE(bag.ReadColor(QStringLiteral("FORECOLOR"), 0), 0x123456u);

        Chk1 copy(m_host);
        copy.resize(280, 16);
        QVERIFY(copy.ReadProperties(bag));
        QCOMPARE(copy.Caption(), QStringLiteral("Write logfile"));
        QCOMPARE(copy.Style(), 3);
        QVERIFY(copy.Checked());
        QCOMPARE(copy.ShownMark(), Chk1::Mark::Check);
        QCOMPARE(copy.Size().toDouble(), 11.5);
        QCOMPARE(copy.ToolTipText(), QStringLiteral("tip"));
        QCOMPARE(copy.ForeColor(), 0x123456u);
        QCOMPARE(copy.CaptionColor(), 0x123456u);
        QCOMPARE(copy.HighColor(), 0xFF0000u);
        PropertyBag again;
        copy.WriteProperties(again);
        QCOMPARE(again, bag);

        // Defaults: no "Style" is the cross, no "Animation" is True; the first "ForeColor"
        // read takes the button-text colour for the caption, the later one 0 for the field.
        Chk1 plain(m_host);
        QVERIFY(plain.ReadProperties(PropertyBag::fromText(QStringLiteral("checked=-1\nanimation=0\n"))));
        QCOMPARE(plain.ShownMark(), Chk1::Mark::Cross);
        QVERIFY(!plain.Animation());
        QVERIFY(plain.ReadProperties(PropertyBag::fromText(QStringLiteral("checked=-1\n"))));
        QVERIFY(plain.Animation());
        QCOMPARE(plain.CaptionColor(), 0x80000012u);
        QCOMPARE(plain.ForeColor(), 0u);

        // A Size that is no number leaves the mark as it was; the load goes on.
        const QRectF mark = plain.MarkRect();
        QVERIFY(plain.ReadProperties(PropertyBag::fromText(QStringLiteral("size=big\ncaption=After\n"))));
        QCOMPARE(plain.MarkRect().size(), mark.size());
        QCOMPARE(plain.Caption(), QStringLiteral("After"));
        plain.setSize(30);
        QVERIFY(plain.MarkRect().height() > mark.height());
    }
};

QTEST_MAIN(TestChk1)
#include "tst_chk1.moc"
