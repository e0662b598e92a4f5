#include "platform/TimerComponent.h"

#include <ctime>

namespace {

std::optional<int64_t> MonotonicMs()
{
    timespec ts{};
    if (::clock_gettime(CLOCK_MONOTONIC, &ts) != 0)
        return std::nullopt;
    return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

} // namespace

std::unique_ptr<TimerComponent> TimerComponent::Create()
{
    return Create(&MonotonicMs);
}

std::unique_ptr<TimerComponent> TimerComponent::Create(Source source)
{
    if (!source || !source())
        return nullptr;
    return std::unique_ptr<TimerComponent>(new TimerComponent(std::move(source)));
}

bool TimerComponent::Time(int32_t &ms) const
{
    const std::optional<int64_t> now = m_source();
    if (!now)
        return false;
    ms = static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(*now)));
    return true;
}
