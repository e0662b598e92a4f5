#include "common/Pointer.h"
#include "controls/PPB.h"
#include "controls/PropertyBag.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

class TestPPB : public QObject {
    Q_OBJECT
    QWidget m_host;
    PPB *m_bar = new PPB(&m_host);

private slots:
    void fillWidthAndLabel()
    {
        m_bar->setGeometry(0, 0, 281, 21); // 4215 x 315 twips, as the window's overall bar
        m_bar->setShowBorder(false);
        m_bar->setBackColor(0x00FFFFFF);
        QSignalSpy changes(m_bar, &PPB::Change);
        // value, fill width in twips (2107.5 to even), last filled column, label
        for (const auto &[value, width, lastFilled, label] :
             {std::tuple{0.0, 0.0, -1, "0%"}, {50.0, 2108.0, 140, "50%"}, {100.0, 4215.0, 280, "100%"}}) {
            m_bar->ValueChange(value);
            QCOMPARE(m_bar->FillRect().width(), width);
            QCOMPARE(m_bar->LabelText(), QString::fromLatin1(label));
            QCOMPARE(m_bar->LabelRect().center().x(), width / 2);
            const QImage image = Render(*m_bar);
            for (int x = 0; x < image.width(); ++x)
                QVERIFY2((image.pixel(x, 1) != qRgb(255, 255, 255)) == (x <= lastFilled),
                         qPrintable(QString::number(x)));
        }
        m_bar->setShowBorder(true);
        QCOMPARE(m_bar->FillRect(), QRectF(20, 10, 4215 - 20, 315 - 30));
        m_bar->setShowBorder(false);
        for (const auto &[value, label] : {std::pair{50.5, "50%"}, {51.5, "52%"}}) { // half to even
            m_bar->ValueChange(value);
            QCOMPARE(m_bar->LabelText(), QString::fromLatin1(label));
        }
        QCOMPARE(changes.count(), 5);
        const QRectF fill = m_bar->FillRect();
        for (const double ignored : {52.0, 101.0, -1.0, 100.6, 1e9}) // same text, or out of range
            m_bar->ValueChange(ignored);
        QCOMPARE(m_bar->FillRect(), fill);
        QCOMPARE(changes.count(), 5);
        m_bar->setIsPercent(false);
        m_bar->ValueChange(7);
        QCOMPARE(m_bar->LabelText(), QStringLiteral("7"));
        m_bar->SetCustomCaption(QStringLiteral("ignored")); // until UseCustomCaption
        QCOMPARE(m_bar->LabelText(), QStringLiteral("7"));
        m_bar->setUseCustomCaption(true);
        m_bar->SetCustomCaption(QStringLiteral("Writing"));
        m_bar->ValueChange(80);
        QCOMPARE(m_bar->LabelText(), QStringLiteral("Writing"));
    }

    // The run reports the same value at every pump; only a change may cost a paint.
    void repaintsOnlyWhatChanged()
    {
        QWidget host;
        PPB *bar = new PPB(&host);
        bar->setGeometry(0, 0, 281, 21);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        struct PaintCounter : QObject {
            int paints = 0;
            bool eventFilter(QObject *, QEvent *e) override { return paints += e->type() == QEvent::Paint, false; }
        } counter;
        bar->installEventFilter(&counter);
        // value given, whether the bar is painted again
        for (const auto &[value, painted] : {std::pair{40.0, true},
                                             {40.0, false},
                                             {40.4, false},
                                             {41.0, true},
                                             {41.0, false},
                                             {200.0, false},
                                             {0.0, true}}) {
            counter.paints = 0;
            bar->ValueChange(value);
            QCoreApplication::processEvents();
            QCOMPARE(counter.paints > 0, painted);
        }
        bar->setIsPercent(false); // same fill, another label
        QCoreApplication::processEvents();
        counter.paints = 0;
        bar->ValueChange(0);
        QCoreApplication::processEvents();
        QCOMPARE(bar->LabelText(), QStringLiteral("0"));
        QVERIFY(counter.paints > 0);
    }

    // "Picture" is read after "Image" and decides; a design without "Enabled" is disabled.
    void designDefaults()
    {
        QFile file(QStringLiteral(":/ppb_bar.png"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        m_bar->setShowBorder(false);
        QVERIFY(m_bar->ReadProperties(PropertyBag::fromText("image=" + file.readAll().toBase64() + '\n')));
        QVERIFY(m_bar->Picture().isNull());
        QVERIFY(!m_bar->isEnabled());
        QVERIFY(m_bar->ShowBorder());
    }
};

QTEST_MAIN(TestPPB)
#include "tst_ppb.moc"
