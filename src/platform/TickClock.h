#pragma once

#include "platform/TimerComponent.h"

#include <cstdint>

#if defined(__x86_64__)
#include <x86intrin.h>
#endif

// The clock the per-block path reads. A buffered 1 KiB write takes half a microsecond to two, and
// the vDSO's clock_gettime costs 24 to 40 ns of it where the processor's time-stamp counter costs
// about 10. The counter is read only where the kernel's monotonic clock is made from it (see
// KernelClockIsCounter), scaled once against that clock; anywhere else the ticks are the monotonic
// clock's nanoseconds.
class TickClock {
public:
    // The program's clock, calibrated on first use (a 2 ms wait when the counter is used).
    static const TickClock &instance();
    // Scaled against the monotonic clock over calibrationNs; the monotonic clock when the counter
    // cannot be read here.
    static TickClock counter(uint64_t calibrationNs);

    bool usesCounter() const { return m_counter; }

    uint64_t now() const
    {
#if defined(__x86_64__)
        if (m_counter)
            return __rdtsc();
#endif
        return MonotonicNs();
    }
    uint64_t toNs(uint64_t ticks) const
    {
        return m_counter ? static_cast<uint64_t>(static_cast<unsigned __int128>(ticks) * m_nsPerTickQ32 >> 32)
                         : ticks;
    }

private:
    TickClock() = default;

    bool m_counter = false;
    uint64_t m_nsPerTickQ32 = uint64_t(1) << 32; // nanoseconds per tick, 32 bits after the point
};
