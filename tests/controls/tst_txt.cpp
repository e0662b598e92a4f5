#include "common/Pointer.h"
#include "controls/PropertyBag.h"
#include "controls/Txt.h"

#include <QLineEdit>
#include <QSignalSpy>

class TestTxt : public QObject {
    Q_OBJECT
    QWidget *m_host = nullptr;
    QLineEdit *m_other = nullptr;
    const QPoint m_away{290, 110};

    Txt *place(const QString &design)
    {
        auto *box = new Txt(m_host);
        box->setGeometry(20, 20, 133, 17);
        box->ReadProperties(PropertyBag::fromText(design));
        box->show();
        return box;
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
        Pointer::MoveTo(m_host, m_away);
    }
    void cleanup() { delete m_host; }

    void mirroringPerStyle()
    {
        // Style 1 shows the multi-line box (with its design text); the single-line one mirrors it.
        Txt *box = place(QStringLiteral("style=1\ntext=\n"));
        QCOMPARE(box->Text1()->toPlainText(), QStringLiteral("TextMultiline\n"));
        box->Text1()->clear();
        QSignalSpy changes1(box, &Txt::Change);
        QVERIFY(box->ShownBox() == box->Text1());
        QVERIFY(box->Text2()->isHidden());
        QTest::keyClicks(box->Text1(), QStringLiteral("42"));
        QCOMPARE(changes1.count(), 2);
        QCOMPARE(box->Text2()->text(), QStringLiteral("42"));
        QCOMPARE(box->Text(), QStringLiteral("42"));
        // Style 0 shows the single-line box; each keystroke reaches the multi-line target.
        box = place(QStringLiteral("style=0\ntext=\n"));
        QSignalSpy changes0(box, &Txt::Change);
        QVERIFY(box->ShownBox() == box->Text2());
        QVERIFY(box->TargetBox() == box->Text1());
        QTest::keyClicks(box->Text2(), QStringLiteral("123"));
        QCOMPARE(changes0.count(), 3);
        QCOMPARE(box->Text1()->toPlainText(), QStringLiteral("123"));
        QCOMPARE(box->StoredText(), QStringLiteral("123"));
        // Style 2: shown and target are the single-line box, and typing raises nothing.
        box = place(QStringLiteral("style=2\ntext=\nmaxlength=10\n"));
        QSignalSpy changes2(box, &Txt::Change);
        QTest::keyClicks(box->Text2(), QStringLiteral("123456789012"));
        QVERIFY(changes2.isEmpty());
        QCOMPARE(box->Text(), QStringLiteral("1234567890"));
        // The MaxLength member works on the multi-line box, whatever the Style.
        box->setMaxLength(3);
        box->Text1()->clear();
        connect(box, &Txt::KeyPress, this, [](qint16 &keyAscii) { keyAscii = keyAscii == 'x' ? 0 : keyAscii; });
        QTest::keyClicks(box->Text1(), QStringLiteral("axbcdef")); // a zeroed key is dropped
        QCOMPARE(box->Text1()->toPlainText(), QStringLiteral("abc"));
    }

    void frameFollowsHoverAndFocus()
    {
        Txt *box = place(QStringLiteral("style=2\n"));
        QCOMPARE(Render(*box).pixel(0, 0), ControlColor(SystemColor::ButtonFace).rgb());
        Pointer::MoveTo(box, QPoint(60, 8)); // over the inner box
        QVERIFY(box->FrameShown());
        const QImage sunken = Render(*box);
        QCOMPARE(sunken.pixel(0, 0), qRgb(0x80, 0x80, 0x80));
        QCOMPARE(sunken.pixel(132, 16), qRgb(0xE0, 0xE0, 0xE0));
        Pointer::MoveTo(m_host, m_away);
        QVERIFY(!box->FrameShown());
        // With the focus, leaving keeps the frame; losing the focus to another control removes it.
        box->setFocus();
        QVERIFY(box->Text2()->hasFocus());
        QVERIFY(box->FrameShown());
        Pointer::MoveTo(box, QPoint(70, 8));
        Pointer::MoveTo(m_host, m_away);
        QVERIFY(box->FrameShown());
        m_other->setFocus();
        QVERIFY(!box->FrameShown());
    }

    void colorsAndDesignDefaults()
    {
        Txt *box = place(QStringLiteral("style=0\ntext=\nforecolor=65280\n"));
        QCOMPARE(box->Text1()->palette().color(QPalette::Text), QColor(Qt::green));
        box->setBackColor(0x0000FF);
        QCOMPARE(box->Text1()->palette().color(QPalette::Base), QColor(Qt::red));
        // No "Text": the target box shows "Text"; no "Style" is Style 0; bad numbers fail the load.
        box = place(QStringLiteral("style=2\n"));
        QVERIFY(box->ReadProperties(PropertyBag()));
        QCOMPARE(box->Style(), 0);
        QCOMPARE(box->Text(), QStringLiteral("Text"));
        QVERIFY(!box->ReadProperties(PropertyBag::fromText(QStringLiteral("style=big\nmaxlength=9999999999\n"))));
    }
};

QTEST_MAIN(TestTxt)
#include "tst_txt.moc"
