#include "platform/tick_scheduler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <set>
#include <vector>

namespace vemo {
namespace {

constexpr std::int64_t kDay = 1796688000000; // 2026-12-08 00:00:00 UTC, in ms
constexpr std::int64_t kHour = 3600 * 1000;
constexpr std::int64_t kMargin = TickScheduler::kMarginMs;

// A monotonic and a wall clock that a test moves by hand: the wall runs at `rate` times the
// monotonic clock (a slew), or stands still, and can be stepped.
struct FakeClocks
{
    std::int64_t monotonic = 5000;
    double wall = kDay + 123;
    double rate = 1.0;
    bool frozen = false;

    ClockReading now() const { return {monotonic, static_cast<std::int64_t>(std::floor(wall))}; }
    void advance(std::int64_t ms)
    {
        monotonic += ms;
        if (!frozen)
            wall += static_cast<double>(ms) * rate;
    }
};

struct Tick
{
    std::int64_t monotonic;
    std::int64_t wall;
    std::int64_t intoSecond() const { return ((wall % 1000) + 1000) % 1000; }
};

// Sleeps as the scheduler says, wakes `lateness()` ms off the due time (early wakes included),
// and records the ticks, until the monotonic clock reaches `until`.
class Driver
{
public:
    explicit Driver(FakeClocks &clocks) : clocks_(clocks), scheduler_(clocks.now()) {}

    std::vector<Tick> runUntil(
        std::int64_t until, const std::function<int()> &lateness = [] { return 0; })
    {
        std::vector<Tick> ticks;
        for (;;) {
            const std::int64_t sleep =
                std::max<std::int64_t>(scheduler_.delayFrom(clocks_.now()) + lateness(), 0);
            if (clocks_.monotonic + sleep > until) {
                clocks_.advance(until - clocks_.monotonic);
                return ticks;
            }
            clocks_.advance(sleep);
            if (scheduler_.fire(clocks_.now()))
                ticks.push_back({clocks_.monotonic, clocks_.now().wallMs});
        }
    }

    TickScheduler &scheduler() { return scheduler_; }

private:
    FakeClocks &clocks_;
    TickScheduler scheduler_;
};

// Locked: every tick within `slack` ms after its wall second's boundary, one tick in each wall
// second from the first to the last.
void expectLocked(const std::vector<Tick> &ticks, std::int64_t slack, const char *what)
{
    ASSERT_FALSE(ticks.empty()) << what;
    std::set<std::int64_t> seconds;
    for (const Tick &tick : ticks) {
        EXPECT_LE(tick.intoSecond(), kMargin + slack) << what << " at wall " << tick.wall;
        EXPECT_GE(tick.intoSecond(), 0) << what;
        EXPECT_TRUE(seconds.insert(tick.wall / 1000).second)
            << what << ": two ticks in " << tick.wall / 1000;
    }
    EXPECT_EQ(static_cast<std::int64_t>(seconds.size()), *seconds.rbegin() - *seconds.begin() + 1)
        << what << ": a wall second without a tick";
}

void expectIntervals(const std::vector<Tick> &ticks, std::int64_t lowest, std::int64_t highest,
                     const char *what)
{
    for (std::size_t i = 1; i < ticks.size(); ++i) {
        const std::int64_t interval = ticks[i].monotonic - ticks[i - 1].monotonic;
        EXPECT_GE(interval, lowest) << what << " tick " << i;
        EXPECT_LE(interval, highest) << what << " tick " << i;
    }
}

TEST(TickSchedulerTest, FirstTickAtTheFirstBoundaryASecondAfterStart)
{
    for (std::int64_t offset : {0, 1, 4, 5, 500, 995, 999}) {
        const ClockReading start{777, kDay + offset};
        const TickScheduler scheduler(start);
        const std::int64_t dueWall = start.wallMs + scheduler.delayFrom(start);
        EXPECT_GE(dueWall - start.wallMs, 1000) << offset;
        EXPECT_LT(dueWall - start.wallMs, 2000 + kMargin) << offset;
        EXPECT_EQ(dueWall % 1000, kMargin) << offset;
    }
}

TEST(TickSchedulerTest, EarlyWakeSleepsAgainAndLateWakeTicksOnce)
{
    FakeClocks clocks;
    TickScheduler scheduler(clocks.now());
    clocks.advance(scheduler.delayFrom(clocks.now()) - 3); // a coarse timer woke early
    EXPECT_FALSE(scheduler.fire(clocks.now()));
    EXPECT_EQ(scheduler.delayFrom(clocks.now()), 3);
    clocks.advance(4);
    ASSERT_TRUE(scheduler.fire(clocks.now()));
    EXPECT_EQ(scheduler.delayFrom(clocks.now()), 999);
    // Woken 2.5 s late: one tick, then the next boundary, half a second on.
    clocks.advance(999 + 2500);
    EXPECT_TRUE(scheduler.fire(clocks.now()));
    EXPECT_FALSE(scheduler.fire(clocks.now()));
    EXPECT_EQ(scheduler.delayFrom(clocks.now()), 500);
    clocks.advance(500);
    EXPECT_TRUE(scheduler.fire(clocks.now()));
    EXPECT_EQ(clocks.now().wallMs % 1000, kMargin);
}

// A timer that wakes anywhere from 15 ms early to 30 ms late, and a wall clock slewed by up to
// 500 ppm either way: for an hour, every tick lands just after its second's boundary, once.
class TickSchedulerDriftTest : public testing::TestWithParam<double>
{
};

TEST_P(TickSchedulerDriftTest, TicksStayLockedToTheSeconds)
{
    FakeClocks clocks;
    clocks.rate = 1.0 + GetParam() * 1e-6;
    Driver driver(clocks);
    std::mt19937 random(42);
    std::uniform_int_distribution<int> jitter(-15, 30);
    const auto ticks = driver.runUntil(clocks.monotonic + kHour, [&] { return jitter(random); });
    expectLocked(ticks, 31, "jitter");
    EXPECT_GE(ticks.size(), 3596u); // an hour by the monotonic clock, 1.8 s less by a slow wall
}

INSTANTIATE_TEST_SUITE_P(Slew, TickSchedulerDriftTest, testing::Values(0.0, 500.0, -500.0));

// The wall clock stepped by `step` ms between two ticks, through a timer wake alone or with the
// system's notice of the change: the ticks go on a second apart, with no pause and no burst,
// and are locked to the new seconds from the second tick after the step on (the first, when
// the notice came). No new second gets two ticks or none, even when the first tick after the
// step would land a moment before a boundary (a step of 994 ms puts it 2 ms before one).
struct Step
{
    std::int64_t ms;
    bool notice;
};

class TickSchedulerStepTest : public testing::TestWithParam<Step>
{
};

TEST_P(TickSchedulerStepTest, TicksGoOnAndLockToTheNewSeconds)
{
    const Step step = GetParam();
    FakeClocks clocks;
    Driver driver(clocks);
    const auto before = driver.runUntil(clocks.monotonic + 10000);
    expectLocked(before, 0, "before the step");

    clocks.advance(337); // into the second: the step lands a third of a second off the phase
    clocks.wall += static_cast<double>(step.ms) + 0.5;
    if (step.notice) {
        EXPECT_FALSE(driver.scheduler().fire(clocks.now()));
    }
    const auto after = driver.runUntil(clocks.monotonic + 20000);
    ASSERT_GE(after.size(), 19u);

    const std::size_t unlocked = step.notice ? 1 : 2;
    // A tick that would land just before a boundary waits for it: up to 2 margins later.
    const auto onTime = [](std::int64_t interval) {
        return interval >= 1000 && interval <= 1000 + 2 * kMargin;
    };
    EXPECT_PRED1(onTime, after.front().monotonic - before.back().monotonic) << "a pause or a burst";
    for (std::size_t i = 1; i < unlocked; ++i)
        EXPECT_PRED1(onTime, after[i].monotonic - after[i - 1].monotonic);
    // The one interval that moves the ticks onto the new seconds, then a second each.
    const std::int64_t relock = after[unlocked].monotonic - after[unlocked - 1].monotonic;
    EXPECT_GT(relock, kMargin);
    EXPECT_LE(relock, 1000 + kMargin);
    expectLocked({after.begin() + static_cast<std::ptrdiff_t>(unlocked), after.end()}, 0, "after");
    expectIntervals({after.begin() + static_cast<std::ptrdiff_t>(unlocked), after.end()}, 1000,
                    1000, "after");
    expectLocked(after, 1000, "every new second once");
}

INSTANTIATE_TEST_SUITE_P(Steps, TickSchedulerStepTest,
                         testing::Values(Step{-kHour, false}, Step{kHour, false},
                                         Step{-kHour, true}, Step{kHour, true}, Step{-1337, false},
                                         Step{250, false}, Step{-40, false}, Step{994, false},
                                         Step{-kHour - 6, false}, Step{kHour - 4, true}));

// A wall clock that stands still for 10 s: a tick every 1000 ms by the monotonic clock all the
// while, then locked again within two ticks once it runs.
TEST(TickSchedulerTest, WallClockStandingStillTicksEverySecond)
{
    FakeClocks clocks;
    Driver driver(clocks);
    const auto before = driver.runUntil(clocks.monotonic + 5000);
    clocks.advance(200);
    clocks.frozen = true;
    const auto frozen = driver.runUntil(clocks.monotonic + 10000);
    EXPECT_EQ(frozen.size(), 10u);
    EXPECT_EQ(frozen.front().monotonic - before.back().monotonic, 1000);
    expectIntervals(frozen, 1000, 1000, "frozen");

    clocks.frozen = false;
    const auto after = driver.runUntil(clocks.monotonic + 10000);
    EXPECT_EQ(after.front().monotonic - frozen.back().monotonic, 1000);
    expectLocked({after.begin() + 2, after.end()}, 0, "running again");
    expectIntervals({after.begin() + 2, after.end()}, 1000, 1000, "running again");
}

// Standing still from the start (a clock stopped at a fixed time): the ticks come anyway.
TEST(TickSchedulerTest, WallClockStoppedFromTheStart)
{
    FakeClocks clocks;
    clocks.frozen = true;
    Driver driver(clocks);
    const auto ticks = driver.runUntil(clocks.monotonic + 30500);
    EXPECT_EQ(ticks.size(), 29u);
    expectIntervals(ticks, 1000, 1000, "frozen");
}

// A suspend: the timer does not fire while the machine sleeps; both clocks move on by an hour.
// The system's resume notice brings one tick at once, and the next is locked again.
TEST(TickSchedulerTest, ResumeTicksAtOnceThenLocked)
{
    FakeClocks clocks;
    Driver driver(clocks);
    driver.runUntil(clocks.monotonic + 5000);
    clocks.advance(300);
    clocks.advance(kHour); // asleep
    const std::int64_t resumed = clocks.monotonic;
    ASSERT_TRUE(driver.scheduler().fire(clocks.now()));
    EXPECT_FALSE(driver.scheduler().fire(clocks.now()));
    const auto after = driver.runUntil(clocks.monotonic + 5000);
    EXPECT_LE(after.front().monotonic - resumed, 1000 + kMargin);
    expectLocked(after, 0, "after the resume");
}

// A wall clock a little behind at the boundary (corrected back by 10 ms): the second that has
// had its tick gets no second one.
TEST(TickSchedulerTest, SmallCorrectionBackNeverTicksTwiceInASecond)
{
    FakeClocks clocks;
    Driver driver(clocks);
    auto ticks = driver.runUntil(clocks.monotonic + 3000);
    clocks.advance(500);
    clocks.wall -= 10;
    const auto after = driver.runUntil(clocks.monotonic + 5000);
    ticks.insert(ticks.end(), after.begin(), after.end());
    expectLocked(ticks, 0, "corrected");
}

} // namespace
} // namespace vemo
