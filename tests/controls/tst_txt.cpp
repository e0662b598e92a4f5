#include "common/Pointer.h"
#include "controls/PropertyBag.h"
#include "controls/Txt.h"

#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

namespace {

QImage Render(const Txt &box)
{
    QImage image(box.size(), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    box.paint(painter);
    return image;
}

PropertyBag Design(const QString &text)
{
    return PropertyBag::fromText(text);
}

} // namespace

class TestTxt : public QObject {
    Q_OBJECT
    QWidget *m_host = nullptr;
    Txt *m_box = nullptr;
    QLineEdit *m_other = nullptr;

    void place(const QString &design)
    {
        m_box = new Txt(m_host);
        m_box->setGeometry(20, 20, 133, 17);
        QVERIFY(m_box->ReadProperties(Design(design)));
        m_box->show();
    }

private slots:
    void init()
    {
        m_host = new QWidget;
        m_host->resize(300, 120);
        m_other = new QLineEdit(m_host);
        m_other->setGeometry(20, 80, 100, 20);
        m_host->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_host));
        Pointer::MoveTo(m_host, QPoint(290, 110));
    }
    void cleanup() { delete m_host; }

    void mirroringPerStyle()
    {
        // Style 1: the multi-line box is shown; the single-line one holds the same text and is read.
        place(QStringLiteral("style=1\ntext=\n"));
        QCOMPARE(m_box->Text1()->toPlainText(), QStringLiteral("TextMultiline\n")); // its design text
        m_box->Text1()->clear();
        QSignalSpy changes(m_box, &Txt::Change);
        QCOMPARE(m_box->ShownBox(), m_box->Text1());
        QVERIFY(m_box->Text2()->isHidden());
        QTest::keyClicks(m_box->Text1(), QStringLiteral("42"));
        QCOMPARE(changes.count(), 2);
        QCOMPARE(m_box->Text2()->text(), QStringLiteral("42"));
        QCOMPARE(m_box->Text(), QStringLiteral("42"));
        delete m_box;

        // Style 0: the single-line box is shown; each keystroke reaches the multi-line target.
        place(QStringLiteral("style=0\ntext=\n"));
        QSignalSpy changes0(m_box, &Txt::Change);
        QCOMPARE(m_box->ShownBox(), m_box->Text2());
        QCOMPARE(m_box->TargetBox(), m_box->Text1());
        QTest::keyClicks(m_box->Text2(), QStringLiteral("123"));
        QCOMPARE(changes0.count(), 3);
        QCOMPARE(m_box->Text1()->toPlainText(), QStringLiteral("123"));
        QCOMPARE(m_box->Text(), QStringLiteral("123"));
        QCOMPARE(m_box->StoredText(), QStringLiteral("123"));
        delete m_box;

        // Style 2, as a new box: shown and target are the single-line box, and typing raises nothing.
        place(QStringLiteral("style=2\ntext=\n"));
        QSignalSpy changes2(m_box, &Txt::Change);
        QTest::keyClicks(m_box->Text2(), QStringLiteral("77"));
        QCOMPARE(changes2.count(), 0);
        QCOMPARE(m_box->Text(), QStringLiteral("77"));
        m_box->setText(QStringLiteral("20"));
        QCOMPARE(m_box->Text2()->text(), QStringLiteral("20"));
    }

    void frameFollowsHoverAndFocus()
    {
        place(QStringLiteral("style=2\n"));
        const QRgb face = ControlColor(0x8000000F).rgb();
        QVERIFY(!m_box->FrameShown());
        QCOMPARE(Render(*m_box).pixel(0, 0), face);

        Pointer::MoveTo(m_box, QPoint(60, 8)); // over the inner box
        QVERIFY(m_box->IsInside());
        QVERIFY(m_box->FrameShown());
        const QImage sunken = Render(*m_box);
        QCOMPARE(sunken.pixel(0, 0), qRgb(0x80, 0x80, 0x80));
        QCOMPARE(sunken.pixel(60, 0), qRgb(0x80, 0x80, 0x80));
        QCOMPARE(sunken.pixel(132, 16), qRgb(0xE0, 0xE0, 0xE0));
        QCOMPARE(sunken.pixel(132, 8), qRgb(0xE0, 0xE0, 0xE0));
        Pointer::MoveTo(m_host, QPoint(290, 110));
        QVERIFY(!m_box->FrameShown());

        // With the focus, leaving keeps the frame; losing the focus to another control removes it.
        m_box->setFocus();
        QVERIFY(m_box->Text2()->hasFocus());
        QVERIFY(m_box->FrameShown());
        Pointer::MoveTo(m_box, QPoint(70, 8));
        Pointer::MoveTo(m_host, QPoint(290, 110));
        QVERIFY(m_box->FrameShown());
        m_other->setFocus();
        QVERIFY(!m_box->HasFocus());
        QVERIFY(!m_box->FrameShown());
    }

    void maxLengthRefusesTyping()
    {
        place(QStringLiteral("style=2\nmaxlength=10\ntext=\n"));
        QTest::keyClicks(m_box->Text2(), QStringLiteral("123456789012"));
        QCOMPARE(m_box->Text(), QStringLiteral("1234567890"));
        delete m_box;

        // The member works on the multi-line box; the design's value went to the target.
        place(QStringLiteral("style=1\nmaxlength=3\ntext=\n"));
        QCOMPARE(m_box->Text2()->maxLength(), 3);
        m_box->Text1()->clear();
        m_box->setMaxLength(3);
        QTest::keyClicks(m_box->Text1(), QStringLiteral("abcdef"));
        QCOMPARE(m_box->Text1()->toPlainText(), QStringLiteral("abc"));
        QCOMPARE(m_box->MaxLength(), 3);

        // A KeyPress handler that zeroes the key drops it.
        connect(m_box, &Txt::KeyPress, this, [](qint16 &keyAscii) { keyAscii = 0; });
        QTest::keyClick(m_box->Text1(), Qt::Key_Backspace);
        QCOMPARE(m_box->Text1()->toPlainText(), QStringLiteral("abc"));
    }

    void lookMembersWorkOnTheMultiLineBox()
    {
        place(QStringLiteral("style=2\n"));
        m_box->setFontName(QStringLiteral("DejaVu Serif"));
        QCOMPARE(m_box->Text1()->font().family(), QStringLiteral("DejaVu Serif"));
        QVERIFY(m_box->Text2()->font().family() != QStringLiteral("DejaVu Serif"));
        QVERIFY(!m_box->setFontSize(0));
        QVERIFY(m_box->setFontSize(12));
        QCOMPARE(m_box->FontSize(), 12.0f);
        m_box->setAlignment(1);
        QVERIFY(m_box->Text2()->alignment() & Qt::AlignRight);
        QCOMPARE(m_box->Alignment(), 1); // read from the target, the single-line box
    }

    void persistence()
    {
        place(QStringLiteral("style=0\ntext=\n"));
        m_box->setText(QStringLiteral("abc"));
        m_box->setLocked(true);
        m_box->setMaxLength(8);
        m_box->setForeColor(0x00FF0000);
        m_box->setToolTipText(QStringLiteral("tip"));
        PropertyBag bag;
        m_box->WriteProperties(bag);
        QCOMPARE(bag.ReadProperty(QStringLiteral("text"), QString()).toString(), QStringLiteral("abc"));

        Txt copy(m_host);
        copy.resize(133, 17);
        QVERIFY(copy.ReadProperties(bag));
        QCOMPARE(copy.Style(), 0);
        QCOMPARE(copy.Text(), QStringLiteral("abc"));
        QCOMPARE(copy.Text2()->text(), QStringLiteral("abc"));
        QVERIFY(copy.Locked());
        QCOMPARE(copy.MaxLength(), 8);
        QCOMPARE(copy.ForeColor(), 0x00FF0000u);
        QCOMPARE(copy.ToolTipText(), QStringLiteral("tip"));
        QVERIFY(!copy.FrameShown());
        PropertyBag again;
        copy.WriteProperties(again);
        QCOMPARE(again, bag);

        // No "Text": the target box shows "Text"; no "Style" is Style 0.
        Txt plain(m_host);
        QVERIFY(plain.ReadProperties(PropertyBag()));
        QCOMPARE(plain.Style(), 0);
        QCOMPARE(plain.Text(), QStringLiteral("Text"));
        QVERIFY(!plain.ReadProperties(Design(QStringLiteral("style=big\nmaxlength=9999999999\n"))));
    }
};

QTEST_MAIN(TestTxt)
#include "tst_txt.moc"
