#include "form_fixture.h"

#include <cmath>

namespace vemo::testing {
namespace {

const std::string kRingIn = "C:\\WINDOWS\\Media\\ringin";

class AlarmTest : public FormTest
{
protected:
    void SetUp() override { startAt("12:00:05"); }

    void pressHour(int times = 1) { press(1, times); }
    void pressMinute(int times = 1) { press(0, times); }
    void press(std::int16_t index, int times)
    {
        for (int i = 0; i < times; ++i)
            form.Tuş_Click(index);
    }

    std::string alarmText() const { return form.Text1.Text; }
    bool panelOpen() const
    {
        return form.Line5.Visible && form.Text1.Visible && form.Tuş(0).Visible &&
               form.Tuş(1).Visible;
    }
    bool panelCollapsed() const
    {
        return form.Line5.Visible && !form.Text1.Visible && !form.Tuş(0).Visible &&
               !form.Tuş(1).Visible;
    }
    bool panelClosed() const
    {
        return !form.Line5.Visible && !form.Text1.Visible && !form.Tuş(0).Visible &&
               !form.Tuş(1).Visible;
    }
    // How many times the tick at `time` started the alarm chime (ringin off the full hour).
    int alarmChimesAt(const std::string &time)
    {
        platform.sounds.clear();
        tickAt(time);
        int chimes = 0;
        for (const auto &call : platform.sounds)
            chimes += call.path == kRingIn;
        return chimes;
    }
};

TEST_F(AlarmTest, OpeningShowsMidnightWithTheHandUp)
{
    form.Image1_Click();
    EXPECT_TRUE(panelOpen());
    EXPECT_EQ(alarmText(), "00:00");
    EXPECT_TRUE(form.Text1.Locked);
    EXPECT_TRUE(form.Tuş(0).Enabled && form.Tuş(1).Enabled);
    EXPECT_EQ(form.AlarmAngle.number(), -90);
    EXPECT_EQ(form.AlarmHour.number(), 0);
    EXPECT_EQ(form.AlarmStep.number(), 0);
    EXPECT_FLOAT_EQ(form.Line5.X1, 5527);
    EXPECT_FLOAT_EQ(form.Line5.Y1, 5527);
    EXPECT_NEAR(form.Line5.X2, 5524.72, 0.01);
    EXPECT_NEAR(form.Line5.Y2, 1927.00, 0.01);

    // Whatever was set before, a new opening starts from 00:00 again.
    pressHour(7);
    pressMinute(2);
    form.Image1_Click();
    tickAt("12:00:06");
    form.Image1_Click();
    EXPECT_EQ(alarmText(), "00:00");
    EXPECT_EQ(form.AlarmAngle.number(), -90);
    EXPECT_NEAR(form.Line5.X2, 5524.72, 0.01);
}

TEST_F(AlarmTest, FiveMinuteStepsMakeAnHour)
{
    form.Image1_Click();
    for (const char *expected : {"00:12", "00:24", "00:36", "00:48", "01:00"}) {
        pressMinute();
        EXPECT_EQ(alarmText(), expected);
    }
    EXPECT_EQ(form.AlarmAngle.number(), -60);
    EXPECT_EQ(form.AlarmHour.number(), 1);
    EXPECT_EQ(form.AlarmStep.number(), 0);
    // The one o'clock direction.
    EXPECT_NEAR(std::atan2(form.Line5.Y2 - 5527.0, form.Line5.X2 - 5527.0) * 180 / M_PI,
                -60 * (22.0 / 7) / M_PI, 0.01);
}

TEST_F(AlarmTest, TwelveHourStepsTurnTheHandOnceAroundWithTheDrift)
{
    form.Image1_Click();
    pressHour(12);
    EXPECT_EQ(alarmText(), "12:00");
    EXPECT_EQ(form.AlarmAngle.number(), 270);
    EXPECT_NEAR(form.Line5.X2, 5533.83, 0.01);
    EXPECT_NEAR(form.Line5.Y2, 1927.01, 0.01);
}

TEST_F(AlarmTest, HoursWrapButTheAngleGrows)
{
    form.Image1_Click();
    pressHour(23);
    pressMinute(3);
    ASSERT_EQ(alarmText(), "23:36");
    pressHour();
    EXPECT_EQ(alarmText(), "00:36");
    EXPECT_EQ(form.AlarmAngle.number(), -90 + 24 * 30 + 3 * 6);

    form.Image1_Click();
    tickAt("12:00:06");
    form.Image1_Click();
    pressHour(23);
    pressMinute(4);
    ASSERT_EQ(alarmText(), "23:48");
    EXPECT_EQ(form.AlarmAngle.number(), 624);
    pressMinute();
    EXPECT_EQ(alarmText(), "00:00");
    EXPECT_EQ(form.AlarmAngle.number(), 630);
}

TEST_F(AlarmTest, MinuteStepIntoTheNextHourTurnsSixDegrees)
{
    form.Image1_Click();
    pressHour(7);
    pressMinute(4);
    ASSERT_EQ(alarmText(), "07:48");
    const double before = form.AlarmAngle.number();
    pressMinute();
    EXPECT_EQ(alarmText(), "08:00");
    EXPECT_EQ(form.AlarmAngle.number() - before, 6);
}

TEST_F(AlarmTest, WritesOfAnOpeningComeInOrder)
{
    std::vector<std::string> writes;
    form.changes.setObserver([&](const Control &control, std::string_view property) {
        writes.push_back(control.displayName() + "." + std::string(property));
    });
    form.Image1_Click();
    EXPECT_EQ(writes, (std::vector<std::string>{
                          "Tuş(0).Enabled", "Tuş(1).Enabled", "Text1.Locked", "Line5.Visible",
                          "Text1.Visible", "Tuş(0).Visible", "Tuş(1).Visible", "Line5.X1",
                          "Line5.Y1", "Text1.Text", "Line5.X2", "Line5.Y2"}));
    writes.clear();
    form.Image1_Click();
    EXPECT_EQ(writes, (std::vector<std::string>{"Line5.Visible", "Text1.Visible", "Tuş(0).Visible",
                                                "Tuş(1).Visible", "Tuş(0).Enabled",
                                                "Tuş(1).Enabled"}));
}

TEST_F(AlarmTest, TwoClicksWithinOneTickCloseAndKeepClosed)
{
    form.Image1_Click();
    ASSERT_TRUE(panelOpen());
    form.Image1_Click();
    EXPECT_TRUE(panelClosed());
    EXPECT_EQ(form.PanelFlag, 0);
    form.Image1_Click(); // before the next tick: stays closed
    EXPECT_TRUE(panelClosed());
    EXPECT_EQ(form.AlarmAngle.number(), -90);
    EXPECT_FALSE(form.Tuş(0).Enabled);
    tickAt("12:00:06");
    form.Image1_Click();
    EXPECT_TRUE(panelOpen());
}

TEST_F(AlarmTest, CollapsedPanelClosesOnAClickAndReopensAfterATick)
{
    form.Image1_Click();
    pressHour(5);
    for (int i = 0; i < 20; ++i)
        tickAt("05:10:10");
    ASSERT_TRUE(panelCollapsed());
    EXPECT_TRUE(form.Tuş(0).Enabled); // still enabled while collapsed
    form.Image1_Click();
    EXPECT_TRUE(panelClosed());
    form.Image1_Click();
    EXPECT_TRUE(panelClosed());
    tickAt("05:10:11");
    form.Image1_Click();
    EXPECT_TRUE(panelOpen());
    EXPECT_EQ(alarmText(), "00:00");
}

TEST_F(AlarmTest, EveryTwentiethTickHidesTheTextBoxAndButtons)
{
    // The count runs from start-up, not from the opening.
    form.Image1_Click();
    for (int tick = 1; tick < 20; ++tick) {
        tickAt("12:00:10");
        ASSERT_TRUE(panelOpen()) << "tick " << tick;
    }
    tickAt("12:00:10");
    EXPECT_TRUE(panelCollapsed());
    EXPECT_EQ(form.HideCounter.number(), 0);

    form.Image1_Click();
    tickAt("12:00:10"); // the 21st
    form.Image1_Click();
    for (int tick = 22; tick < 40; ++tick) {
        tickAt("12:00:10");
        ASSERT_TRUE(panelOpen()) << "tick " << tick;
    }
    tickAt("12:00:10");
    EXPECT_TRUE(panelCollapsed());
    EXPECT_TRUE(form.Tuş(0).Enabled && form.Tuş(1).Enabled);
}

TEST_F(AlarmTest, APanelOpenedJustBeforeTheTwentiethTickCollapsesAtOnce)
{
    for (int i = 0; i < 19; ++i)
        tickAt("12:00:10");
    form.Image1_Click();
    ASSERT_TRUE(panelOpen());
    tickAt("12:00:10");
    EXPECT_TRUE(panelCollapsed());
    form.Image1_Click();
    tickAt("12:00:10");
    form.Image1_Click(); // opened just after the 20th: open until the 40th
    for (int i = 21; i < 40; ++i) {
        ASSERT_TRUE(panelOpen()) << "before tick " << i;
        tickAt("12:00:10");
    }
    EXPECT_TRUE(panelCollapsed());
}

TEST_F(AlarmTest, HidingLeavesAClosedPanelClosed)
{
    for (int i = 0; i < 20; ++i)
        tickAt("12:00:10");
    EXPECT_TRUE(panelClosed());
    EXPECT_TRUE(form.Tuş(0).Enabled); // as start-up left them
}

TEST_F(AlarmTest, AlarmChimesEveryTickOfItsMinuteEveryDay)
{
    form.Image1_Click();
    pressHour(7);
    pressMinute(2);
    ASSERT_EQ(alarmText(), "07:24");
    form.Image1_Click(); // closed: the alarm stays set
    for (const char *day : {"08.12.2026", "09.12.2026"}) {
        platform.setDate(day);
        EXPECT_EQ(alarmChimesAt("07:23:59"), 0) << day;
        for (int s = 0; s < 60; ++s) {
            char time[9];
            std::snprintf(time, sizeof time, "07:24:%02d", s);
            EXPECT_EQ(alarmChimesAt(time), 1) << time;
        }
        EXPECT_EQ(alarmChimesAt("07:25:00"), 0) << day;
    }
}

TEST_F(AlarmTest, AlarmChimeIsTheLastSoundOfItsTick)
{
    form.Image1_Click();
    pressHour(12);
    ASSERT_EQ(alarmText(), "12:00");
    platform.sounds.clear();
    tickAt("12:00:00");
    ASSERT_EQ(platform.sounds.size(), 3u); // the tick, the full-hour chime, the alarm
    EXPECT_EQ(platform.sounds[1].path, kRingIn);
    EXPECT_EQ(platform.sounds[2].path, kRingIn);
}

TEST_F(AlarmTest, AlarmComparesHoursAsText)
{
    form.Image1_Click();
    pressHour(19);
    pressMinute(4);
    ASSERT_EQ(alarmText(), "19:48");
    EXPECT_EQ(alarmChimesAt("07:48:00"), 0);
    EXPECT_EQ(alarmChimesAt("19:47:59"), 0);
    EXPECT_EQ(alarmChimesAt("19:48:30"), 1);
}

TEST_F(AlarmTest, FreshOpeningArmsMidnight)
{
    form.Image1_Click();
    EXPECT_EQ(alarmChimesAt("00:00:00"), 2); // the full-hour chime and the alarm
    EXPECT_EQ(alarmChimesAt("00:00:59"), 1);
    EXPECT_EQ(alarmChimesAt("00:01:00"), 0);
}

TEST_F(AlarmTest, AlarmSoundsWhenTheClosedOrCollapsed)
{
    form.Image1_Click();
    pressHour(9);
    for (int i = 0; i < 20; ++i)
        tickAt("08:59:00");
    ASSERT_TRUE(panelCollapsed());
    EXPECT_EQ(alarmChimesAt("09:00:05"), 1);
    form.Image1_Click();
    ASSERT_TRUE(panelClosed());
    EXPECT_EQ(alarmChimesAt("09:00:06"), 1);
}

TEST_F(AlarmTest, OpeningDuringTheAlarmMinuteStopsIt)
{
    form.Image1_Click();
    pressHour(9);
    form.Image1_Click();
    EXPECT_EQ(alarmChimesAt("09:00:10"), 1);
    tickAt("09:00:11");
    form.Image1_Click(); // the alarm text is 00:00 again
    EXPECT_EQ(alarmChimesAt("09:00:12"), 0);
}

TEST_F(AlarmTest, NoAlarmBeforeTheFirstOpening)
{
    for (const char *time : {"00:00:00", "00:00:30", "12:00:00", "07:24:00"})
        EXPECT_EQ(alarmChimesAt(time), std::string(time).ends_with(":00:00") ? 1 : 0) << time;
}

} // namespace
} // namespace vemo::testing
