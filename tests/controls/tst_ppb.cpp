#include "controls/PPB.h"
#include "controls/PropertyBag.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTest>

namespace {

QImage Render(const PPB &bar)
{
    QImage image(bar.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    bar.paint(painter);
    return image;
}

const QString BarPicture = QStringLiteral(":/ppb_bar.png");

} // namespace

class TestPPB : public QObject {
    Q_OBJECT
    QWidget *m_host = nullptr;
    PPB *m_bar = nullptr;

private slots:
    void init()
    {
        m_host = new QWidget;
        m_bar = new PPB(m_host);
        m_bar->setGeometry(0, 0, 281, 21); // 4215 x 315 twips, as the window's overall bar
        m_bar->setShowBorder(false);
        m_bar->setBackColor(0x00FFFFFF);
    }
    void cleanup() { delete m_host; }

    void fillWidthFollowsTheValue()
    {
        const QRgb back = qRgb(255, 255, 255);
        m_bar->ValueChange(0);
        QCOMPARE(m_bar->FillRect().width(), 0.0);
        const QImage empty = Render(*m_bar);
        for (int x = 0; x < empty.width(); ++x)
            QCOMPARE(empty.pixel(x, 10), back);

        m_bar->ValueChange(50); // 4215 * 50 / 100 = 2107.5, to even 2108
        QCOMPARE(m_bar->FillRect().width(), 2108.0);
        const QImage half = Render(*m_bar);
        QVERIFY(half.pixel(140, 1) != back);
        QCOMPARE(half.pixel(141, 1), back);
        QCOMPARE(half.pixel(280, 10), back);

        m_bar->ValueChange(100);
        QCOMPARE(m_bar->FillRect().width(), 4215.0);
        const QImage full = Render(*m_bar);
        for (int x = 0; x < full.width(); ++x)
            QVERIFY(full.pixel(x, 1) != back);
    }

    void pictureIsRevealedNotSqueezed()
    {
        m_bar->setPicture(StdPicture::FromFile(BarPicture));
        QVERIFY(!m_bar->Picture().isNull());
        m_bar->setShowLabel(false);
        m_bar->ValueChange(100);
        const QImage full = Render(*m_bar);
        m_bar->ValueChange(30);
        const QImage part = Render(*m_bar);
        QCOMPARE(m_bar->PictureRect().width(), 4215.0);
        for (int x = 0; x < 80; ++x)
            QCOMPARE(part.pixel(x, 10), full.pixel(x, 10));
        QVERIFY(full.pixel(5, 10) != full.pixel(75, 10)); // the picture does change along its length
    }

    void labelTextAndChange()
    {
        QSignalSpy changes(m_bar, &PPB::Change);
        m_bar->ValueChange(50.5); // half to even
        QCOMPARE(m_bar->LabelText(), QStringLiteral("50%"));
        m_bar->ValueChange(51.5);
        QCOMPARE(m_bar->LabelText(), QStringLiteral("52%"));
        QCOMPARE(changes.count(), 2);
        m_bar->ValueChange(52);
        QCOMPARE(changes.count(), 2); // same text, no change

        const QRectF fill = m_bar->FillRect();
        QCOMPARE(m_bar->LabelRect().center().x(), fill.width() / 2);
        m_bar->ValueChange(101);
        m_bar->ValueChange(-1);
        m_bar->ValueChange(100.6);
        m_bar->ValueChange(1e9);
        QCOMPARE(m_bar->FillRect(), fill);
        QCOMPARE(changes.count(), 2);

        m_bar->setIsPercent(false); // the setter shows "100" whatever the value
        QCOMPARE(m_bar->LabelText(), QStringLiteral("100"));
        m_bar->ValueChange(7);
        QCOMPARE(m_bar->LabelText(), QStringLiteral("7"));

        m_bar->SetCustomCaption(QStringLiteral("ignored"));
        QCOMPARE(m_bar->LabelText(), QStringLiteral("7"));
        m_bar->setUseCustomCaption(true);
        m_bar->SetCustomCaption(QStringLiteral("Writing"));
        QCOMPARE(m_bar->LabelText(), QStringLiteral("Writing"));
        const int before = changes.count();
        m_bar->SetCustomCaption(QStringLiteral("Writing"));
        m_bar->ValueChange(80);
        QCOMPARE(m_bar->LabelText(), QStringLiteral("Writing"));
        QCOMPARE(changes.count(), before);
        QCOMPARE(m_bar->LabelRect().center().x(), m_bar->FillRect().width() / 2);
    }

    void borderAndResize()
    {
        m_bar->setShowBorder(true);
        QCOMPARE(m_bar->FillRect(), QRectF(20, 10, 4215 - 20, 315 - 30));
        m_bar->setShowBorder(false);
        QCOMPARE(m_bar->FillRect().topLeft(), QPointF(0, 0));
        m_bar->ValueChange(10);
        m_host->show();
        m_bar->resize(200, 21);
        QCOMPARE(m_bar->FillRect().width(), 3000.0); // full again after a resize
    }

    void persistence()
    {
        m_bar->setPicture(StdPicture::FromFile(BarPicture));
        m_bar->setIsPercent(false);
        m_bar->setToolTipText(QStringLiteral("tip"));
        m_bar->setBorderColor(0x00112233);
        PropertyBag bag;
        m_bar->WriteProperties(bag);
        const StdPicture bar = StdPicture::FromFile(BarPicture);
        QCOMPARE(bag.ReadPicture(QStringLiteral("Image")), bar);
        QCOMPARE(bag.ReadPicture(QStringLiteral("Picture")), bar);
        QVERIFY(bag.contains(QStringLiteral("ShowLabel")));
        QVERIFY(bag.contains(QStringLiteral("ShowBorder")));
        QVERIFY(bag.contains(QStringLiteral("Enabled")));
        QVERIFY(!bag.contains(QStringLiteral("BackStyle")));

        PPB copy(m_host);
        copy.resize(281, 21);
        QVERIFY(copy.ReadProperties(bag));
        QVERIFY(copy.isEnabled());
        QVERIFY(!copy.IsPercent());
        QVERIFY(!copy.ShowBorder());
        QCOMPARE(copy.Picture(), bar);
        QCOMPARE(copy.ToolTipText(), QStringLiteral("tip"));
        QCOMPARE(copy.BorderColor(), 0x00112233u);
        PropertyBag again;
        copy.WriteProperties(again);
        QCOMPARE(again, bag);

        // "Picture" is read after "Image" and decides; a design without "Enabled" is disabled.
        const QString barText = QString::fromLatin1(bar.Data.toBase64());
        const StdPicture icon = StdPicture::FromFile(QStringLiteral(":/cmd13.png"));
        QVERIFY(copy.ReadProperties(PropertyBag::fromText(
            QStringLiteral("image=%1\npicture=%2\n").arg(QString::fromLatin1(icon.Data.toBase64()), barText))));
        QCOMPARE(copy.Picture(), bar);
        QVERIFY(!copy.isEnabled());
        QVERIFY(copy.ShowBorder());
        QVERIFY(copy.ReadProperties(PropertyBag::fromText(QStringLiteral("image=%1\n").arg(barText))));
        QVERIFY(copy.Picture().isNull());
        QVERIFY(!copy.ReadProperties(PropertyBag::fromText(QStringLiteral("backstyle=70000\n"))));
    }
};

QTEST_MAIN(TestPPB)
#include "tst_ppb.moc"
