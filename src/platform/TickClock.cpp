#include "platform/TickClock.h"

#include <QFile>

namespace {

// The counter is used only where the kernel's monotonic clock is made from it: clock source "tsc"
// (found steady and in step on every processor), or a virtual machine's "kvm-clock" where the
// counter runs at a constant rate, also in sleep states, and the hypervisor marks it reliable.
bool KernelClockIsCounter()
{
    QFile source(QStringLiteral("/sys/devices/system/clocksource/clocksource0/current_clocksource"));
    if (!source.open(QIODevice::ReadOnly))
        return false;
    const QByteArray name = source.readAll().trimmed();
    if (name == "tsc")
        return true;
    if (name != "kvm-clock")
        return false;
    QFile cpuinfo(QStringLiteral("/proc/cpuinfo"));
    if (!cpuinfo.open(QIODevice::ReadOnly))
        return false;
    // A file of /proc tells no size, so atEnd() would hold from the start.
    for (QByteArray line = cpuinfo.readLine(); !line.isEmpty(); line = cpuinfo.readLine()) {
        if (line.startsWith("flags")) {
            const QList<QByteArray> flags = line.mid(line.indexOf(':') + 1).simplified().split(' ');
            return flags.contains("constant_tsc") && flags.contains("nonstop_tsc") && flags.contains("tsc_reliable");
        }
    }
    return false;
}

struct Reading {
    uint64_t ticks = 0;
    uint64_t ns = 0;
};

// A counter reading paired with a clock reading: the tightest of eight pairs, so that nothing
// which came between two reads skews the scale.
Reading PairedReading(const TickClock &counter)
{
    Reading best;
    uint64_t spread = UINT64_MAX;
    for (int i = 0; i < 8; ++i) {
        const uint64_t before = counter.now();
        const uint64_t ns = MonotonicNs();
        const uint64_t after = counter.now();
        if (after - before < spread) {
            spread = after - before;
            best = {before + (after - before) / 2, ns};
        }
    }
    return best;
}

} // namespace

TickClock TickClock::counter(uint64_t calibrationNs)
{
    TickClock clock;
#if defined(__x86_64__)
    if (!KernelClockIsCounter())
        return clock;
    TickClock raw;
    raw.m_counter = true;
    const Reading first = PairedReading(raw);
    while (MonotonicNs() - first.ns < calibrationNs) {
    }
    const Reading last = PairedReading(raw);
    const uint64_t ticks = last.ticks - first.ticks;
    const uint64_t ns = last.ns - first.ns;
    // A rate outside 100 MHz to 20 GHz is no counter to trust.
    if (ticks == 0 || ticks < ns / 10 || ticks > ns * 20)
        return clock;
    clock.m_counter = true;
    clock.m_nsPerTickQ32 = static_cast<uint64_t>((static_cast<unsigned __int128>(ns) << 32) / ticks);
#else
    (void)calibrationNs;
#endif
    return clock;
}

const TickClock &TickClock::instance()
{
    static const TickClock clock = counter(2'000'000);
    return clock;
}
