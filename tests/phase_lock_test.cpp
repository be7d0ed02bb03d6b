#include "platform/phase_lock.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace vemo {
namespace {

constexpr std::int64_t kDay = 1796688000000; // 2026-12-08 00:00:00 UTC, in ms

TEST(PhaseLockTest, FirstTickAtTheFirstBoundaryASecondAfterStart)
{
    for (std::int64_t offset : {0, 1, 4, 5, 500, 995, 999}) {
        const PhaseLock lock(kDay + offset);
        const std::int64_t due = lock.due();
        EXPECT_GE(due - (kDay + offset), 1000) << offset;
        EXPECT_LT(due - (kDay + offset), 2000 + PhaseLock::kMarginMs) << offset;
        EXPECT_EQ((due - PhaseLock::kMarginMs) % 1000, 0) << offset;
    }
}

TEST(PhaseLockTest, EarlyWakeSleepsAgainAndLateWakeTicksOnce)
{
    PhaseLock lock(kDay + 300);
    const std::int64_t due = lock.due();
    EXPECT_FALSE(lock.fire(due - 3)); // a coarse timer woke early
    EXPECT_EQ(lock.delayFrom(due - 3), 3);
    EXPECT_TRUE(lock.fire(due + 1));
    EXPECT_EQ(lock.due(), due + 1000);
    // Woken a second and a half late: one tick, then the next boundary.
    EXPECT_TRUE(lock.fire(due + 2500));
    EXPECT_EQ(lock.due(), due + 3000);
    EXPECT_FALSE(lock.fire(due + 2600));
}

// A simulated timer that wakes anywhere from 15 ms early to 30 ms late: every tick lands after
// its second's boundary, and no second gets two.
TEST(PhaseLockTest, TicksStayLockedToTheSecondsUnderJitter)
{
    std::mt19937 random(42);
    std::uniform_int_distribution<int> jitter(-15, 30);
    std::int64_t now = kDay + 123;
    PhaseLock lock(now);
    std::set<std::int64_t> secondsTicked;
    int ticks = 0;
    while (now < kDay + 3600 * 1000) {
        now += lock.delayFrom(now) + jitter(random);
        if (!lock.fire(now))
            continue;
        ++ticks;
        const std::int64_t intoSecond = now % 1000;
        EXPECT_GE(intoSecond, 0);
        EXPECT_LE(intoSecond, PhaseLock::kMarginMs + 30);
        EXPECT_TRUE(secondsTicked.insert(now / 1000).second) << "two ticks in second " << now / 1000;
    }
    EXPECT_GE(ticks, 3598);
}

} // namespace
} // namespace vemo
