#include "common/Pointer.h"
#include "controls/Chk1.h"
#include "controls/PropertyBag.h"

#include <QSignalSpy>
#include <QTimer>

class TestChk1 : public QObject {
    Q_OBJECT
    QWidget *m_host = nullptr;
    Chk1 *m_box = nullptr;
    const QPoint m_away{390, 90}, m_over{100, 8};

private slots:
    void init()
    {
        m_host = new QWidget;
        m_host->resize(400, 100);
        m_box = new Chk1(m_host);
        m_box->setGeometry(20, 20, 280, 16);
        QVERIFY(m_box->ReadProperties(PropertyBag::fromText(
            QStringLiteral("caption=Write logfile\nhighcolor=16711680\nforecolor=1\nanim_duration=0\n"))));
        m_host->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_host));
        Pointer::MoveTo(m_host, m_away);
        m_box->clearFocus();
    }
    void cleanup() { delete m_host; }

    void markPerStyle()
    {
        // Inked (1) or not (0) at the box's left edge, the middle, the check's low point, up-left.
        const QPoint probes[] = {{10, 30}, {30, 30}, {27, 40}, {21, 21}};
        const std::pair<Chk1::Mark, const char *> rows[] = {
            {Chk1::Mark::Empty, "1000"}, {Chk1::Mark::Cross, "1101"}, {Chk1::Mark::Check, "1?10"}};
        for (const auto &[mark, inked] : rows) {
            QImage image(60, 60, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::white);
            QPainter painter(&image);
            Chk1::paintMark(painter, QRectF(0, 0, 60, 60), mark, Qt::black);
            for (int i = 0; i < 4; ++i)
                QVERIFY(inked[i] == '?' || (qGray(image.pixel(probes[i])) < 128) == (inked[i] == '1'));
        }
        QCOMPARE(m_box->ShownMark(), Chk1::Mark::Empty);
        m_box->setChecked(true);
        QCOMPARE(m_box->ShownMark(), Chk1::Mark::Cross); // the default Style
        m_box->setStyle(2);
        m_box->setStyle(0); // the check stays
        QCOMPARE(m_box->ShownMark(), Chk1::Mark::Check);
    }

    // The caption is sized as it is drawn, on one line: a "&" mark takes no room, a line break
    // (a "|" in a language file) shows as a space, and the last letter is not cut off.
    void captionIsSizedAsDrawn()
    {
        const auto width = [this](const QString &caption) {
            m_box->setCaption(caption);
            return m_box->CaptionRect().width();
        };
        const double plain = width(QStringLiteral("Write logfile"));
        QCOMPARE(width(QStringLiteral("Write &logfile")), plain);
        QVERIFY(width(QStringLiteral("Write\r\nlogfile")) >= plain);
    }

    void mouseAndKeyboardToggle()
    {
        QSignalSpy clicks(m_box, &Chk1::Click);
        Pointer::MoveTo(m_box, m_over);
        QCOMPARE(m_box->CaptionColor(), 0xFF0000u);
        QVERIFY(m_box->CaptionUnderlined());
        Pointer::Press(m_box, m_over);
        QVERIFY(m_box->Checked());
        Pointer::Release(m_box, m_over);
        QCOMPARE(clicks.count(), 1); // the press toggles, the release does nothing
        // The press gave the focus, so the underline stays when the mouse leaves.
        Pointer::MoveTo(m_host, m_away);
        QCOMPARE(m_box->CaptionColor(), 1);
        QCOMPARE(m_box->MarkColor(), 1);
        QVERIFY(m_box->CaptionUnderlined());
        m_box->clearFocus();
        QVERIFY(!m_box->CaptionUnderlined());
        m_box->setChecked(false);
        m_box->setFocus();
        QStringList order;
        connect(m_box, &Chk1::KeyPress, this, [&](qint16 &) { order << QStringLiteral("press"); });
        connect(m_box, &Chk1::Click, this, [&] { order << (m_box->Checked() ? "click on" : "click off"); });
        QTest::keyClick(m_box, Qt::Key_Return); // the key toggles with two clicks
        QCOMPARE(order, QStringList({"press", "click on", "click on"}));
        QCOMPARE(m_box->setDoExternalChange(true), 0);
        order.clear();
        QTest::keyClick(m_box, Qt::Key_Space);
        QCOMPARE(order, QStringList({"press", "click off"}));
        // A vetoed key does nothing; from code while DoExternalChange holds: the mark changes, no Click.
        connect(m_box, &Chk1::KeyPress, this, [](qint16 &keyAscii) { keyAscii = 0; });
        QTest::keyClick(m_box, Qt::Key_Space);
        m_box->setChecked(true);
        QCOMPARE(order, QStringList({"press", "click off", "press"}));
        QCOMPARE(m_box->ShownMark(), Chk1::Mark::Cross);
        // A box locked for a run takes no click.
        m_box->setEnabled(false);
        const int before = clicks.count();
        Pointer::Press(m_box, m_over);
        Pointer::Release(m_box, m_over);
        QVERIFY(m_box->Checked());
        QCOMPARE(clicks.count(), before);
    }

    void animationFlashesTheMark()
    {
        m_box->setAnimColor1(0x0000FF);
        m_box->setAnimColor2(0x00FF00);
        m_box->setAnim_Duration(2);
        QList<quint32> seen;
        QTimer sampler;
        connect(&sampler, &QTimer::timeout, this, [&] {
            if (seen.isEmpty() || seen.last() != m_box->MarkColor())
                seen << m_box->MarkColor();
        });
        sampler.start(5);
        const QTime start = QTime::currentTime();
        Pointer::Press(m_box, m_over); // the animation runs inside the press
        QVERIFY2(start.msecsTo(QTime::currentTime()) >= 300, qPrintable(start.toString()));
        sampler.stop();
        QVERIFY(m_box->Checked());
        // Two cycles; between them the labels take HighColor only for an instant.
        QCOMPARE(seen.mid(seen.indexOf(0x0000FFu), 4), (QList<quint32>{0x0000FF, 0x00FF00, 0x0000FF, 0x00FF00}));
        // Still over the box: both labels end in HighColor, and the mark is painted in it.
        QCOMPARE(m_box->CaptionColor(), 0xFF0000u);
        const QRectF mark = m_box->MarkRect();
        QVERIFY(HasColor(Render(*m_box).copy(QRectF(mark.topLeft() / 15, mark.size() / 15).toRect()), 0xFF));
        Pointer::Release(m_box, m_over);
        Pointer::MoveTo(m_host, m_away);
        m_box->setAnim_Duration(-3); // no cycles: the mark changes, nothing flashes
        m_box->setFocus();
        QTest::keyClick(m_box, Qt::Key_Space);
        QCOMPARE(m_box->MarkColor(), 1u);
    }

    // No "Style" is the cross, no "Animation" is True; the first "ForeColor" read takes the
    // button-text colour for the caption, the later one 0 for the field.
    void designDefaults()
    {
        m_box->setStyle(3);
        QVERIFY(m_box->ReadProperties(PropertyBag::fromText(QStringLiteral("animation=0\n"))));
        QVERIFY(!m_box->Animation());
        QVERIFY(m_box->ReadProperties(PropertyBag::fromText(QStringLiteral("checked=-1\n"))));
        QVERIFY(m_box->Animation());
        QCOMPARE(m_box->ShownMark(), Chk1::Mark::Cross);
        QCOMPARE(m_box->CaptionColor(), SystemColor::ButtonText);
        QCOMPARE(m_box->ForeColor(), 0u);
    }
};

QTEST_MAIN(TestChk1)
#include "tst_chk1.moc"
