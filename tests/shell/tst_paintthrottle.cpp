// The window's paints during a run's pumps: held to one per interval, never lost; input and
// paints outside a pump pass at once.
#include "shell/PaintThrottle.h"

#include <QtTest>

namespace {

class CountingWindow : public QWidget {
public:
    int paints = 0;
    int keys = 0;

protected:
    void paintEvent(QPaintEvent *) override { ++paints; }
    void keyPressEvent(QKeyEvent *) override { ++keys; }
};

void Pump()
{
    QCoreApplication::processEvents();
}

} // namespace

class TestPaintThrottle : public QObject {
    Q_OBJECT
    static constexpr int kInterval = 50;

    static void show(CountingWindow &w)
    {
        w.resize(200, 100);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_VERIFY(w.paints > 0);
        Pump();
        w.paints = 0;
    }

private slots:
    void pumpsPaintOncePerIntervalAndTheLastChangeFollows()
    {
        CountingWindow w;
        show(w);
        PaintThrottle throttle(&w, kInterval);
        QElapsedTimer clock;
        clock.start();
        int pumps = 0;
        while (clock.elapsed() < 6 * kInterval) {
            w.update();
            throttle.During(Pump);
            ++pumps;
            QThread::usleep(500);
        }
        QVERIFY(pumps > 100);
        // The first paint passes, then one per interval: 6 or 7, whatever the machine's pace.
        QVERIFY2(w.paints >= 3, qPrintable(QString::number(w.paints)));
        QVERIFY2(w.paints <= 8, qPrintable(QString::number(w.paints)));
        QVERIFY(throttle.PaintsHeld() > 0);

        // A change just after a paint is held, and a later pump paints it with no new update asked for.
        w.update();
        throttle.During(Pump);
        const int before = w.paints;
        clock.restart();
        while (clock.elapsed() < 2 * kInterval)
            throttle.During(Pump);
        QCOMPARE(w.paints, before + 1);
    }

    void inputPassesAndHeldPaintsAreMadeOutsideAPump()
    {
        CountingWindow w;
        show(w);
        {
            PaintThrottle throttle(&w, 10 * 1000);
            w.update();
            throttle.During(Pump);
            QCOMPARE(w.paints, 1);
            w.update();
            throttle.During(Pump);
            QCOMPARE(w.paints, 1);
            QCoreApplication::postEvent(&w, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
            throttle.During(Pump);
            QCOMPARE(w.keys, 1);
        }
        // A paint held when the run ends is made.
        QTRY_COMPARE(w.paints, 2);

        // The log panel paints between phases with repaint(): at once, held change included.
        PaintThrottle throttle(&w, 10 * 1000);
        w.update();
        throttle.During(Pump);
        w.update();
        throttle.During(Pump);
        QCOMPARE(w.paints, 3);
        w.repaint();
        QCOMPARE(w.paints, 4);
    }
};

QTEST_MAIN(TestPaintThrottle)
#include "tst_paintthrottle.moc"
