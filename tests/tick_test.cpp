#include "form_fixture.h"

#include "platform/text.h"

#include <cmath>

namespace vemo::testing {
namespace {

const std::string kTick = toCodePage("C:\\WINDOWS\\Media\\Windows XP Menü Komutu");
const std::string kRingIn = "C:\\WINDOWS\\Media\\ringin";
const std::string kRingOut = "C:\\WINDOWS\\Media\\ringout";

std::vector<std::string> paths(const FakePlatform &platform)
{
    std::vector<std::string> result;
    for (const auto &call : platform.sounds)
        result.push_back(call.path);
    return result;
}

TEST_F(FormTest, SecondHandStepsSixDegreesAndReturnsToTwelveOnSecondZero)
{
    startAt("12:00:58");
    ASSERT_EQ(form.SecondAngle.number(), 258);
    tickAt("12:00:59");
    EXPECT_EQ(form.SecondAngle.number(), 264);
    tickAt("12:01:00");
    EXPECT_EQ(form.SecondAngle.number(), -90);
    tickAt("12:01:01");
    EXPECT_EQ(form.SecondAngle.number(), -84);
}

TEST_F(FormTest, SecondZeroResetsWhateverTheAngleWas)
{
    startAt("12:00:30");
    for (double before : {264.0, 270.0, 1000.0, -90.0, -400.0}) {
        form.SecondAngle = before;
        tickAt("08:15:00");
        EXPECT_EQ(form.SecondAngle.number(), -90) << "from " << before;
    }
}

TEST_F(FormTest, HandsStepByTicks)
{
    startAt("10:15:30");
    EXPECT_EQ(form.SecondAngle.number(), 90);
    tickAt("10:15:31");
    EXPECT_EQ(form.SecondAngle.number(), 96);
    EXPECT_DOUBLE_EQ(form.MinuteAngle.number(), 3 + 0.1);
    EXPECT_DOUBLE_EQ(form.HourAngle, 217.75 + 1.0 / 120);
}

// Ticks one second apart on a day that repeats: "HH:MM:SS" of the given second of the day.
std::string timeOfDay(long second)
{
    second = ((second % 86400) + 86400) % 86400;
    char text[9];
    std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld", second / 3600, second / 60 % 60,
                  second % 60);
    return text;
}

long secondOfDay(const std::string &time)
{
    return std::stol(time.substr(0, 2)) * 3600 + std::stol(time.substr(3, 2)) * 60 +
           std::stol(time.substr(6, 2));
}

TEST_F(FormTest, AngleStepsAddUpOverAnHour)
{
    // Normal running: one tick a second never sets a hand, and the angles grow past a turn.
    startAt("00:00:00");
    for (long i = 1; i <= 3600; ++i)
        tickAt(timeOfDay(i));
    EXPECT_NEAR(form.MinuteAngle.number(), 270, 1e-9);
    EXPECT_NEAR(form.HourAngle, -60, 1e-9);
    EXPECT_EQ(form.SecondAngle.number(), -90);
}

// What the clock read over a run: from `start`, `ticks` ticks `step` seconds apart.
struct TickRun
{
    const char *start;
    long ticks;
    long step = 1;
};

struct TimeEvent
{
    const char *name;
    const char *startUp;
    std::vector<TickRun> runs;
};

void PrintTo(const TimeEvent &event, std::ostream *out)
{
    *out << event.name;
}

class HandsAfter : public FormTest, public ::testing::WithParamInterface<TimeEvent>
{
};

// Direction of a line's tip from the dial centre, degrees clockwise from 3 o'clock.
double tipDirection(const Line &line)
{
    return std::atan2(line.Y2 - 5527.0, line.X2 - 5527.0) * 180 / M_PI;
}

// Where a hand at `angle` is drawn, by the dial rule with 22/7, on a tip ellipse rx by ry.
double drawnDirection(double angle, double rx, double ry)
{
    const double t = angle * (22.0 / 7.0) / 180;
    return std::atan2(ry * std::sin(t), rx * std::cos(t)) * 180 / M_PI;
}

// After any event, the first tick points every hand where start-up would at the time it read.
TEST_P(HandsAfter, PointAtTheTimeRead)
{
    const TimeEvent &event = GetParam();
    startAt(event.startUp);
    std::string last;
    for (const TickRun &run : event.runs) {
        const long from = secondOfDay(run.start);
        for (long i = 0; i < run.ticks; ++i) {
            last = timeOfDay(from + i * run.step);
            tickAt(last);
            platform.sounds.clear();
        }
    }
    const double h = secondOfDay(last) / 3600, m = secondOfDay(last) / 60 % 60,
                 s = secondOfDay(last) % 60;
    const struct
    {
        const Line &line;
        double angle, rx, ry;
    } hands[] = {{form.Line1, s * 6 - 90, 5000, 5000},
                 {form.Line2, m * 6 - 90 + s / 10, 4000, 4000},
                 {form.Line3, h * 30 - 90 + (m * 60 + s) / 120, 2700, 2500}};
    for (const auto &hand : hands)
        EXPECT_NEAR(
            std::remainder(tipDirection(hand.line) - drawnDirection(hand.angle, hand.rx, hand.ry),
                           360),
            0, 0.55)
            << hand.line.displayName() << " at " << last;
    EXPECT_EQ(form.Label3(0).Caption.get(), last);
}

INSTANTIATE_TEST_SUITE_P(
    Events, HandsAfter,
    ::testing::Values(TimeEvent{"ClockSetForward", "06:30:00", {{"06:30:01", 3}, {"09:10:00", 1}}},
                      TimeEvent{"ClockSetBack", "06:30:00", {{"06:30:01", 3}, {"05:10:02", 1}}},
                      TimeEvent{
                          "AnHourWithoutTicks", "10:00:00", {{"10:00:01", 2}, {"11:00:03", 1}}},
                      TimeEvent{"SkippedSecond", "12:00:10", {{"12:00:11", 2, 2}}},
                      TimeEvent{"ClockStandsStill", "12:00:05", {{"12:00:05", 5, 0}}},
                      TimeEvent{"SummerTimeBegins", "01:59:57", {{"01:59:58", 2}, {"03:00:00", 2}}},
                      TimeEvent{"SummerTimeEnds", "02:59:57", {{"02:59:58", 2}, {"02:00:00", 2}}},
                      TimeEvent{"SevenDays", "00:00:00", {{"00:00:01", 7 * 86400}}}),
    [](const auto &info) { return info.param.name; });

struct HandCase
{
    const char *name;
    const char *time; // a time of day that puts the hand at `angle`
    double angle;
    float x2, y2, x1, y1;
};

class HandEnds : public FormTest, public ::testing::WithParamInterface<HandCase>
{
};

// Expected ends from the dial rule with 22/7 for pi; the exact pi, a swapped sign or a swapped
// radius would move them by several twips.
TEST_P(HandEnds, FollowTheDialRule)
{
    startAt("12:00:00");
    const HandCase &c = GetParam();
    const std::string hand = c.name;
    // Set the angle so that after one tick's step it equals c.angle.
    if (hand == "Line1")
        form.SecondAngle = c.angle - 6;
    if (hand == "Line2")
        form.MinuteAngle = c.angle - 6.0 / 60;
    if (hand == "Line3")
        form.HourAngle = c.angle - 1.0 / 120;
    tickAt(c.time);
    const Line &line = hand == "Line1" ? form.Line1 : hand == "Line2" ? form.Line2 : form.Line3;
    EXPECT_NEAR(line.X2, c.x2, 0.05);
    EXPECT_NEAR(line.Y2, c.y2, 0.05);
    EXPECT_NEAR(line.X1, c.x1, 0.05);
    EXPECT_NEAR(line.Y1, c.y1, 0.05);
}

INSTANTIATE_TEST_SUITE_P(
    Angles, HandEnds,
    ::testing::Values(HandCase{"Line3", "03:00:00", 0, 8227, 5527, 4727, 5527},
                      HandCase{"Line3", "00:00:00", -90, 5525.29, 3027.0, 5527.51, 6327.0},
                      HandCase{"Line3", "06:00:00", 90, 5525.29, 8027.0, 5527.51, 4727.0},
                      HandCase{"Line1", "12:00:00", -90, 5523.84, 527.0, 5527.63, 6527.0},
                      HandCase{"Line1", "12:00:15", 0, 10527, 5527, 4527, 5527},
                      HandCase{"Line2", "12:45:00", 180, 1527.0, 5521.94, 6427.0, 5528.14},
                      HandCase{"Line2", "12:30:00", 90, 5524.47, 9527.0, 5527.57, 4627.0}));

TEST_F(FormTest, HandWritesComeTipFirstInHandOrder)
{
    startAt("12:00:00");
    std::vector<std::string> writes;
    form.changes.setObserver([&](const Control &control, std::string_view property) {
        const std::string name = control.displayName();
        if (name == "Line1" || name == "Line2" || name == "Line3")
            writes.push_back(name + "." + std::string(property));
    });
    tickAt("12:00:01");
    std::vector<std::string> expected;
    for (const char *hand : {"Line1", "Line2", "Line3"})
        for (const char *end : {"X2", "Y2", "X1", "Y1"})
            expected.push_back(std::string(hand) + "." + end);
    EXPECT_EQ(writes, expected);
}

TEST_F(FormTest, OneTickInOrder)
{
    startAt("12:00:00");
    std::vector<std::string> journal;
    const auto note = [&](const std::string &event) {
        if (journal.empty() || journal.back() != event)
            journal.push_back(event);
    };
    form.changes.setObserver([&](const Control &control, std::string_view property) {
        note(control.kind() == ControlKind::Line
                 ? "hands"
                 : control.displayName() + "." + std::string(property));
    });
    platform.onSound = [&](const std::string &path) { note(path == kTick ? "tick" : "chime"); };
    tickAt("12:00:00");
    EXPECT_EQ(journal,
              (std::vector<std::string>{"hands", "tick", "Label3(0).Caption", "Label3(1).Caption",
                                        "Label3(2).Caption", "chime"}));
    // Two readings for the numbers and one for the label; three dates and one for the weekday.
    EXPECT_EQ(platform.timeReadings, 3 + 3);
    EXPECT_EQ(platform.dateReadings, 4);
    EXPECT_EQ(form.PanelFlag, 1);
    for (const auto &call : platform.sounds)
        EXPECT_EQ(call.flags, Sound::SND_ASYNC);
}

TEST_F(FormTest, TimeLabelIsReadAfresh)
{
    startAt("07:05:08");
    platform.scriptTimes({"07:05:09", "07:05:09", "07:05:10"});
    form.Timer1_Timer();
    EXPECT_EQ(form.Label3(0).Caption.get(), "07:05:10");
    EXPECT_EQ(form.SecondAngle.number(), -36); // stepped from the start, not from the label
}

TEST_F(FormTest, TickSoundPathIsInTheEightBitCodePage)
{
    startAt("12:00:00");
    tickAt("12:00:05");
    ASSERT_EQ(platform.sounds.size(), 1u);
    EXPECT_EQ(platform.sounds[0].path, "C:\\WINDOWS\\Media\\Windows XP Men\xFC Komutu");
}

struct ChimeCase
{
    const char *time;
    std::vector<std::string> sounds;
};

class Chimes : public FormTest, public ::testing::WithParamInterface<ChimeCase>
{
};

TEST_P(Chimes, PlayOnTheFullAndTheHalfHour)
{
    startAt("11:59:00");
    tickAt(GetParam().time);
    EXPECT_EQ(paths(platform), GetParam().sounds) << GetParam().time;
}

INSTANTIATE_TEST_SUITE_P(Times, Chimes,
                         ::testing::Values(ChimeCase{"12:00:00", {kTick, kRingIn}},
                                           ChimeCase{"00:00:00", {kTick, kRingIn}},
                                           ChimeCase{"03:00:00", {kTick, kRingIn}},
                                           ChimeCase{"12:30:00", {kTick, kRingOut}},
                                           ChimeCase{"23:30:00", {kTick, kRingOut}},
                                           ChimeCase{"12:00:01", {kTick}},
                                           ChimeCase{"12:15:00", {kTick}},
                                           ChimeCase{"12:30:01", {kTick}},
                                           ChimeCase{"12:01:00", {kTick}}));

TEST_F(FormTest, ReadingsAcrossTheFullHourMissTheChime)
{
    startAt("11:59:58");
    platform.scriptTimes({"11:59:59", "12:00:00", "12:00:00"});
    platform.setDate("08.12.2026");
    form.Timer1_Timer();
    EXPECT_EQ(paths(platform), std::vector<std::string>{kTick});
    EXPECT_EQ(form.SecondAngle.number(), -90);
    // The minutes of the first reading do not take the minute hand a minute back.
    EXPECT_NEAR(form.MinuteAngle.number(), 269.9, 1e-9);
    tickAt("12:00:01");
    EXPECT_EQ(paths(platform), (std::vector<std::string>{kTick, kTick}));
}

struct DateCase
{
    const char *date;
    const char *label;
    const char *weekday;
};

class CalendarLabels : public FormTest, public ::testing::WithParamInterface<DateCase>
{
};

TEST_P(CalendarLabels, ShowTheTurkishMonthAndWeekday)
{
    startAt("12:00:00");
    tickAt("12:00:01", GetParam().date);
    EXPECT_EQ(form.Label3(1).Caption.get(), GetParam().label);
    EXPECT_EQ(form.Label3(2).Caption.get(), GetParam().weekday);
}

INSTANTIATE_TEST_SUITE_P(Dates, CalendarLabels,
                         ::testing::Values(DateCase{"07.12.2026", "07 Aralık 2026", "Pazartesi"},
                                           DateCase{"08.12.2026", "08 Aralık 2026", "Salı"},
                                           DateCase{"01.01.2027", "01 Ocak 2027", "Cuma"},
                                           DateCase{"29.02.2028", "29 Şubat 2028", "Salı"},
                                           DateCase{"06.12.2026", "06 Aralık 2026", "Pazar"},
                                           DateCase{"12.12.2026", "12 Aralık 2026", "Cumartesi"},
                                           DateCase{"16.12.2026", "16 Aralık 2026", "Çarşamba"},
                                           DateCase{"17.12.2026", "17 Aralık 2026", "Perşembe"},
                                           DateCase{"15.08.2027", "15 Ağustos 2027", "Pazar"},
                                           DateCase{"09.05.2029", "09 Mayıs 2029", "Çarşamba"},
                                           DateCase{"30.09.2030", "30 Eylül 2030", "Pazartesi"},
                                           DateCase{"10.11.2031", "10 Kasım 2031", "Pazartesi"}));

TEST_F(FormTest, DateReadingsAcrossMidnightJoinTwoDates)
{
    startAt("23:59:59");
    platform.setTime("00:00:00");
    platform.scriptDates({"31.12.2026", "01.01.2027", "01.01.2027", "01.01.2027"});
    form.Timer1_Timer();
    EXPECT_EQ(form.Label3(1).Caption.get(), "31 Ocak 2027");
    EXPECT_EQ(form.Label3(2).Caption.get(), "Cuma");
    tickAt("00:00:01", "01.01.2027");
    EXPECT_EQ(form.Label3(1).Caption.get(), "01 Ocak 2027");
}

TEST_F(FormTest, DayNamesAreKeptInTheFormState)
{
    startAt("12:00:00");
    tickAt("12:00:01");
    EXPECT_EQ(form.DayNames.element(0), "Pazar");
    EXPECT_EQ(form.DayNames.element(6), "Cumartesi");
}

TEST_F(FormTest, AMonthThatIsNoNumberStopsTheTickBeforeTheDateLabel)
{
    startAt("12:00:00");
    tickAt("12:00:01");
    for (const char *bad : {"08.xx.2026", "08.13.2026", "08.00.2026"}) {
        platform.setDate(bad);
        platform.setTime("12:00:02");
        EXPECT_THROW(form.Timer1_Timer(), RuntimeError) << bad;
        EXPECT_EQ(form.Label3(1).Caption.get(), "08 Aralık 2026") << bad;
        EXPECT_EQ(form.Label3(0).Caption.get(), "12:00:02");
    }
}

} // namespace
} // namespace vemo::testing
