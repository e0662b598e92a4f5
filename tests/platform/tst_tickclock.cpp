// The per-block clock: the processor's counter scaled to the monotonic clock's nanoseconds.
#include "platform/TickClock.h"

#include <QtTest>
#include <thread>

class TestTickClock : public QObject {
    Q_OBJECT
private slots:
    void spansAgreeWithTheMonotonicClock()
    {
        // Where the kernel keeps time otherwise, the ticks are the monotonic clock's own nanoseconds.
        const TickClock clock = TickClock::counter(2'000'000);
        const uint64_t ns0 = MonotonicNs();
        const uint64_t t0 = clock.now();
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        const uint64_t t1 = clock.now();
        const uint64_t ns1 = MonotonicNs();
        const double measured = double(clock.toNs(t1 - t0));
        const double reference = double(ns1 - ns0);
        QVERIFY2(qAbs(measured / reference - 1) < 0.002,
                 qPrintable(QStringLiteral("counter %1: %2 ns against %3 ns")
                                .arg(clock.usesCounter())
                                .arg(measured)
                                .arg(reference)));
    }

    void longSpansDoNotOverflow()
    {
        const TickClock clock = TickClock::counter(1'000'000);
        if (!clock.usesCounter())
            QSKIP("the kernel does not keep time with the processor's counter here");
        // About five days of ticks: the scaling must stay linear far past 64-bit products.
        const uint64_t ticks = uint64_t(1) << 50;
        const uint64_t ns = clock.toNs(ticks);
        QVERIFY(ns > ticks / 20 && ns < ticks * 10);
        QVERIFY(qAbs(qint64(clock.toNs(ticks * 2) - 2 * ns)) <= 2);
        QVERIFY(qAbs(qint64(clock.toNs(ticks / 1024) * 1024 - ns)) <= 1024);
    }
};

QTEST_GUILESS_MAIN(TestTickClock)
#include "tst_tickclock.moc"
