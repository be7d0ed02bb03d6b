#include "platform/phase_lock.h"

namespace vemo {

namespace {

constexpr std::int64_t kSecondMs = 1000;

// The first second boundary strictly after `ms`, floor division for times before 1970 as well.
std::int64_t nextBoundary(std::int64_t ms)
{
    const std::int64_t second = ms >= 0 ? ms / kSecondMs : -((-ms + kSecondMs - 1) / kSecondMs);
    return (second + 1) * kSecondMs;
}

std::int64_t boundaryAtOrAfter(std::int64_t ms) { return nextBoundary(ms - 1); }

} // namespace

PhaseLock::PhaseLock(std::int64_t startMs)
    : dueMs_(boundaryAtOrAfter(startMs + kSecondMs) + kMarginMs)
{
}

std::int64_t PhaseLock::delayFrom(std::int64_t nowMs) const
{
    return nowMs >= dueMs_ ? 0 : dueMs_ - nowMs;
}

bool PhaseLock::fire(std::int64_t nowMs)
{
    if (nowMs < dueMs_)
        return false;
    dueMs_ = nextBoundary(nowMs) + kMarginMs;
    return true;
}

} // namespace vemo
