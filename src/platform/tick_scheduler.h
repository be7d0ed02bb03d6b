#pragma once

#include <cstdint>

namespace vemo {

// The two clocks a tick is timed by, read together, in milliseconds.
struct ClockReading
{
    // Time that never steps and counts a suspend as well (CLOCK_BOOTTIME, GetTickCount64).
    std::int64_t monotonicMs = 0;
    // The wall clock, unix time: it may be stepped back or forward, stand still or slew.
    std::int64_t wallMs = 0;
};

// Says when the one-second tick is due. Ticks come 1000 ms apart by the monotonic clock; while
// the wall clock runs along with it, each tick is moved to just after a second boundary of the
// wall clock, so that the time label changes when the second does, and no wall second gets two
// ticks. When the wall clock is stepped or stands still, the ticks go on 1000 ms apart and lock
// to its seconds again once it has run along with the monotonic clock for one tick.
//
// The window arms a one-shot timer for delayFrom() and calls fire() whenever it wakes: from
// the timer, or early, when the system says its clock was set or it has resumed from a suspend.
class TickScheduler
{
public:
    static constexpr std::int64_t kIntervalMs = 1000;
    // After the wall clock's boundary, for the second to have turned in every reading of it.
    static constexpr std::int64_t kMarginMs = 4;
    // The wall clock runs along with the monotonic one when, over a span of at least
    // kMinSpanMs, they move apart by no more than this: far above a slew (0.5 ms a second at
    // 500 ppm) and the time between the two readings, far below a step.
    static constexpr std::int64_t kToleranceMs = 25;
    static constexpr std::int64_t kMinSpanMs = 100;

    // The first tick comes at the first wall boundary at least a second after `start`.
    explicit TickScheduler(ClockReading start);

    // True when a tick is to run now; the next one is then scheduled.
    bool fire(ClockReading now);

    // How long to sleep from `now` until the next tick is due, in ms of the monotonic clock; 0
    // when it is due.
    std::int64_t delayFrom(ClockReading now) const;

    // The monotonic time the next tick is due at.
    std::int64_t due() const { return dueMs_; }

private:
    bool wallRunsSince(const ClockReading &reference, const ClockReading &now) const;
    // Due at the wall's next second boundary after `now`, plus the margin.
    void lockTo(const ClockReading &now);

    std::int64_t dueMs_ = 0;     // monotonic
    std::int64_t plannedMs_ = 0; // the due time before any wait for a boundary
    bool deferred_ = false;      // this tick has waited for a boundary once
    // The reading at the last tick, or at start; moved to the last clock step seen between.
    ClockReading reference_;
    std::int64_t lastTickSecond_ = 0; // the wall second of the last tick
    bool ticked_ = false;
};

} // namespace vemo
