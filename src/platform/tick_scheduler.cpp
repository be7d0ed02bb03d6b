#include "platform/tick_scheduler.h"

#include <cstdlib>

namespace vemo {

namespace {

// The wall second that `ms` falls in; floor division, for times before 1970 as well.
std::int64_t secondOf(std::int64_t ms)
{
    const std::int64_t second = ms / TickScheduler::kIntervalMs;
    return ms % TickScheduler::kIntervalMs < 0 ? second - 1 : second;
}

// The first second boundary strictly after `ms`.
std::int64_t nextBoundary(std::int64_t ms)
{
    return (secondOf(ms) + 1) * TickScheduler::kIntervalMs;
}

} // namespace

TickScheduler::TickScheduler(ClockReading start) : reference_(start)
{
    const std::int64_t firstWall = nextBoundary(start.wallMs + kIntervalMs - 1) + kMarginMs;
    dueMs_ = start.monotonicMs + (firstWall - start.wallMs);
    plannedMs_ = dueMs_;
}

bool TickScheduler::wallRunsSince(const ClockReading &reference, const ClockReading &now) const
{
    const std::int64_t span = now.monotonicMs - reference.monotonicMs;
    const std::int64_t drift = (now.wallMs - reference.wallMs) - span;
    return span >= kMinSpanMs && std::llabs(drift) <= kToleranceMs;
}

void TickScheduler::lockTo(const ClockReading &now)
{
    dueMs_ = now.monotonicMs + (nextBoundary(now.wallMs) + kMarginMs - now.wallMs);
    plannedMs_ = dueMs_;
}

bool TickScheduler::fire(ClockReading now)
{
    if (now.monotonicMs < dueMs_) {
        // Woken early: by a coarse timer, or because the wall clock was set. After a step the
        // wall clock is judged from here on, so that the next tick can already lock to it.
        const std::int64_t drift =
            (now.wallMs - reference_.wallMs) - (now.monotonicMs - reference_.monotonicMs);
        if (std::llabs(drift) > kToleranceMs)
            reference_ = now;
        return false;
    }
    const std::int64_t intoSecond = now.wallMs - secondOf(now.wallMs) * kIntervalMs;
    if (!deferred_ && intoSecond >= kIntervalMs - kMarginMs) {
        // Just before a boundary (a tick not yet locked after a step) the procedures' own
        // readings of the time would fall on both sides of it: wait for the boundary, once, as a
        // wall clock standing still there would never pass it.
        deferred_ = true;
        dueMs_ = now.monotonicMs + (kIntervalMs - intoSecond + kMarginMs);
        return false;
    }
    const bool running = wallRunsSince(reference_, now);
    if (running && ticked_ && secondOf(now.wallMs) == lastTickSecond_) {
        // The wall clock is a little behind the monotonic one (a slew, a small correction):
        // this second has had its tick, so the next one waits for the boundary.
        lockTo(now);
        return false;
    }
    if (running) {
        lockTo(now);
    } else {
        // Stepped or standing still: a second by the monotonic clock from when this tick was
        // due, with no catch-up after a late wake.
        dueMs_ = plannedMs_ + kIntervalMs;
        if (dueMs_ <= now.monotonicMs)
            dueMs_ = now.monotonicMs + kIntervalMs;
    }
    plannedMs_ = dueMs_;
    deferred_ = false;
    reference_ = now;
    lastTickSecond_ = secondOf(now.wallMs);
    ticked_ = true;
    return true;
}

std::int64_t TickScheduler::delayFrom(ClockReading now) const
{
    return now.monotonicMs >= dueMs_ ? 0 : dueMs_ - now.monotonicMs;
}

} // namespace vemo
