#pragma once

#include <cstdint>

namespace vemo {

// Keeps a one-second tick just after each true second boundary of the wall clock, so the time
// label changes when the second does. Times are milliseconds of the wall clock. A timer that
// wakes early is sent back to sleep; one that wakes late ticks once and goes on from the next
// boundary, so there is never more than one tick in a second.
class PhaseLock
{
public:
    static constexpr std::int64_t kMarginMs = 4; // after the boundary, for the clock to turn

    // The first tick comes at the first boundary at least a second after `startMs`.
    explicit PhaseLock(std::int64_t startMs);

    // How long to sleep from `nowMs` until the next tick is due; 0 when it is due.
    std::int64_t delayFrom(std::int64_t nowMs) const;

    // Called when the timer wakes: true when a tick is to run now, and then the next one is due
    // at the boundary after `nowMs`.
    bool fire(std::int64_t nowMs);

    std::int64_t due() const { return dueMs_; }

private:
    std::int64_t dueMs_;
};

} // namespace vemo
