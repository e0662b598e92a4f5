#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <time.h>

// The clock of every timed span: milliseconds as a 32-bit signed value that wraps, so only the
// difference of two readings (in 32-bit arithmetic) means anything.
class TimerComponent {
public:
    // Yields the clock in milliseconds, or nothing when the clock cannot be read.
    using Source = std::function<std::optional<int64_t>()>;

    // The monotonic clock; nullptr when it cannot be read at creation.
    static std::unique_ptr<TimerComponent> Create();
    // Over any source, so a test can make readings stand still or fail; nullptr when the first
    // reading fails.
    static std::unique_ptr<TimerComponent> Create(Source source);

    // The current reading; false when the clock cannot be read.
    bool Time(int32_t &ms) const;

private:
    explicit TimerComponent(Source source) : m_source(std::move(source)) {}
    Source m_source;
};

// 32-bit difference of two readings, correct across the wrap of the counter.
inline int32_t TimerDifference(int32_t later, int32_t earlier)
{
    return static_cast<int32_t>(static_cast<uint32_t>(later) - static_cast<uint32_t>(earlier));
}

// The monotonic clock in nanoseconds: a vDSO read, no system call, so it can bracket each block.
inline uint64_t MonotonicNs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000000000u + static_cast<uint64_t>(ts.tv_nsec);
}
