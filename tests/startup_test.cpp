#include "form_fixture.h"

#include <cmath>
#include <set>

namespace vemo::testing {
namespace {

struct StartCase
{
    const char *time;
    double second;
    double minute;
    double hour;
};

class StartAngles : public FormTest, public ::testing::WithParamInterface<StartCase>
{
};

TEST_P(StartAngles, FollowTheTimeOfDay)
{
    startAt(GetParam().time);
    EXPECT_DOUBLE_EQ(form.SecondAngle.number(), GetParam().second);
    EXPECT_DOUBLE_EQ(form.MinuteAngle.number(), GetParam().minute);
    EXPECT_DOUBLE_EQ(form.HourAngle, GetParam().hour);
}

INSTANTIATE_TEST_SUITE_P(
    TimesOfDay, StartAngles,
    ::testing::Values(StartCase{"00:00:00", -90, -90, -90},
                      StartCase{"23:59:59", 264, 269.9, 600 + 3599.0 / 120},
                      StartCase{"06:30:00", -90, 90, 105}, StartCase{"10:15:30", 90, 3, 217.75},
                      StartCase{"14:00:00", -90, -90, 330}, StartCase{"02:00:00", -90, -90, -30},
                      StartCase{"12:07:00", -90, -48, 273.5}));

TEST_F(FormTest, EachNumberComesFromItsOwnReadingOfTheTime)
{
    // Readings straddling 10:00: the hour of the first, the minutes and seconds of the others.
    platform.scriptTimes({"09:59:59", "10:00:00", "10:00:00"});
    form.Form_Load();
    EXPECT_EQ(platform.timeReadings, 3);
    EXPECT_DOUBLE_EQ(form.HourAngle, 180); // 9 o'clock for the whole run
    EXPECT_DOUBLE_EQ(form.MinuteAngle.number(), -90);
    EXPECT_DOUBLE_EQ(form.SecondAngle.number(), -90);
}

TEST_F(FormTest, StateAfterStartUp)
{
    platform.typedName = "ilker ışık";
    startAt("06:30:00");
    EXPECT_EQ(platform.prompts, std::vector<std::string>{"Adınızı giriniz...|Vemo ?"});
    EXPECT_EQ(form.UserName, "İlker Işık");
    EXPECT_EQ(form.Label2.Caption.get(), "İlker Işık");
    EXPECT_EQ(form.Timer1.Interval, 1000);
    EXPECT_FALSE(form.Line5.Visible);
    EXPECT_FALSE(form.Text1.Visible);
    EXPECT_FALSE(form.Tuş(0).Visible);
    EXPECT_FALSE(form.Tuş(1).Visible);
    EXPECT_TRUE(form.Tuş(0).Enabled); // start-up hides the buttons but leaves them enabled
    EXPECT_TRUE(form.Tuş(1).Enabled);
    EXPECT_EQ(form.PanelFlag, 1);
    EXPECT_EQ(form.HideCounter.number(), 0);
    EXPECT_FALSE(form.HideCounter.isEmpty());
    EXPECT_EQ(form.AlarmAngle.number(), 61);
    EXPECT_TRUE(form.AlarmHour.isEmpty());
    EXPECT_TRUE(form.AlarmStep.isEmpty());
    EXPECT_TRUE(form.DayNames.isEmpty());
    for (const Variant *centre : {&form.CenterX1, &form.CenterX2, &form.CenterY1, &form.CenterY2})
        EXPECT_EQ(centre->number(), 5527);
    EXPECT_EQ(platform.sounds.size(), 0u);
    EXPECT_EQ(platform.endCalls, 0);
}

TEST_F(FormTest, HandsStayUprightAndLabelsEmptyUntilTheFirstTick)
{
    startAt("16:47:23");
    EXPECT_EQ(form.Line1.X1, 5520);
    EXPECT_EQ(form.Line1.Y1, 6240);
    EXPECT_EQ(form.Line1.X2, 5520);
    EXPECT_EQ(form.Line1.Y2, 480);
    EXPECT_EQ(form.Line2.Y2, 1440);
    EXPECT_EQ(form.Line3.Y2, 2640);
    EXPECT_EQ(form.Line3.Y1, 6360);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(form.Label3(i).Caption.get(), "");
}

TEST_F(FormTest, CancelledPromptLeavesTheNameEmpty)
{
    platform.typedName = "";
    startAt("12:00:00");
    EXPECT_EQ(form.UserName, "");
    EXPECT_EQ(form.Label2.Caption.get(), "");
    EXPECT_EQ(form.Timer1.Interval, 1000);
}

struct Placement
{
    double widthPixels;
    double heightPixels;
    float left;
    float top;
};

class WindowPlacement : public FormTest, public ::testing::WithParamInterface<Placement>
{
};

TEST_P(WindowPlacement, CentresAcrossAndThreeEighthsDown)
{
    platform.screenWidthPixels = GetParam().widthPixels;
    platform.screenHeightPixels = GetParam().heightPixels;
    startAt("12:00:00");
    EXPECT_EQ(form.Form.Left, GetParam().left);
    EXPECT_EQ(form.Form.Top, GetParam().top);
}

// The top on 800 x 600 rounds towards minus infinity, above the screen's edge.
INSTANTIATE_TEST_SUITE_P(Screens, WindowPlacement,
                         ::testing::Values(Placement{1024, 768, 2137, 163},
                                           Placement{800, 600, 457, -782},
                                           Placement{1920, 1080, 8857, 1918}));

struct RegionCase
{
    double twipsPerPixel;
    EllipticRegion region;
};

class WindowRegionSize : public FormTest, public ::testing::WithParamInterface<RegionCase>
{
};

TEST_P(WindowRegionSize, FollowsTheScreensPixelSize)
{
    platform.twipsPerPixel = GetParam().twipsPerPixel;
    form.hWnd = 77;
    startAt("12:00:00");
    ASSERT_EQ(platform.regionsSet.size(), 1u);
    EXPECT_EQ(platform.regionsSet[0], GetParam().region);
    EXPECT_EQ(platform.regionWindow, 77u);
    EXPECT_EQ(platform.regionRedraw, -1);
}

// At 16 twips per pixel 682.5 and 707.5 go to the even neighbour.
INSTANTIATE_TEST_SUITE_P(TwipsPerPixel, WindowRegionSize,
                         ::testing::Values(RegionCase{15, {16, 43, 728, 755}},
                                           RegionCase{12, {16, 43, 910, 943}},
                                           RegionCase{16, {16, 43, 682, 708}}));

TEST_F(FormTest, DialMarksUseTwentyTwoSeventhsForPi)
{
    startAt("12:00:00");
    const Line &mark0 = form.Line4(0);
    EXPECT_FLOAT_EQ(mark0.X1, 9607);
    EXPECT_FLOAT_EQ(mark0.Y1, 5527);
    EXPECT_FLOAT_EQ(mark0.X2, 9327);
    EXPECT_FLOAT_EQ(mark0.Y2, 5527);

    // With the exact pi mark 15 would stand straight below the centre at x 5527.
    const Line &mark15 = form.Line4(15);
    EXPECT_NEAR(mark15.X1, 5524.42, 0.01);
    EXPECT_NEAR(mark15.Y1, 9607.00, 0.01);
    EXPECT_NEAR(mark15.X2, 5524.60, 0.01);
    EXPECT_NEAR(mark15.Y2, 9327.00, 0.01);

    // Mark 60 misses mark 0 by some 10 twips.
    const Line &mark60 = form.Line4(60);
    EXPECT_NEAR(mark60.X1, 9606.99, 0.01);
    EXPECT_NEAR(mark60.Y1, 5537.32, 0.01);
}

TEST_F(FormTest, EveryFifthMarkIsThickAndBlue)
{
    startAt("12:00:00");
    int thick = 0;
    for (const Line &mark : form.Line4) {
        const bool fifth = mark.index() % 5 == 0;
        thick += fifth;
        EXPECT_EQ(mark.BorderWidth, fifth ? 3 : 1) << mark.displayName();
        EXPECT_EQ(mark.BorderColor, fifth ? 0xFF0000u : 0x004080u) << mark.displayName();
        const double dx = mark.X1 - 5527.0, dy = mark.Y1 - 5527.0;
        EXPECT_NEAR(std::hypot(dx, dy), 4080, 0.01) << mark.displayName();
    }
    EXPECT_EQ(thick, 13);
}

TEST_F(FormTest, MarkWritesComeInOrder)
{
    std::vector<std::string> writes;
    form.changes.setObserver([&](const Control &control, std::string_view property) {
        if (control.displayName() == "Line4(5)" || control.displayName() == "Line4(6)")
            writes.push_back(control.displayName() + "." + std::string(property));
    });
    startAt("12:00:00");
    EXPECT_EQ(writes, (std::vector<std::string>{
                          "Line4(5).X1", "Line4(5).Y1", "Line4(5).X2", "Line4(5).Y2",
                          "Line4(5).BorderColor", "Line4(5).BorderWidth", "Line4(5).BorderWidth",
                          "Line4(5).BorderColor", "Line4(6).X1", "Line4(6).Y1", "Line4(6).X2",
                          "Line4(6).Y2", "Line4(6).BorderColor", "Line4(6).BorderWidth"}));
}

TEST_F(FormTest, CloseLabelEndsTheProgram)
{
    startAt("12:00:00");
    form.Image1_Click(); // also with the panel open
    form.Label5_Click();
    EXPECT_EQ(platform.endCalls, 1);
}

TEST(WindowDescriptionTest, HoldsOneHundredAndSixControls)
{
    FakePlatform platform;
    Form1 form(platform.services());
    std::set<std::string> names;
    for (const DrawnControl &control : form.backToFront())
        std::visit([&](const auto *c) { names.insert(c->displayName()); }, control);
    // The drawn ones, plus the text box, the two buttons and the timer.
    EXPECT_EQ(names.size() + 4, 106u);
    EXPECT_EQ(form.backToFront().size(), names.size());
    // The dial marks wait below the client area, which is 11190 twips high.
    for (const Line &mark : form.Line4) {
        EXPECT_GT(mark.Y1, 11190);
        EXPECT_EQ(mark.X1, 360 + 120 * mark.index());
    }
    EXPECT_EQ(form.Line4(0).BorderColor, 0xFF0000u);
    EXPECT_EQ(form.Line4(1).BorderColor, 0x000000u);
    EXPECT_EQ(form.Label4.Caption.get(), "VEMO2 1.00");
    EXPECT_EQ(form.Timer1.Interval, 0);
    EXPECT_THROW(form.Line4(61), RuntimeError);
    EXPECT_THROW(form.Tuş(2), RuntimeError);
}

TEST(WindowDescriptionTest, StackingPutsHandsOnTheirHubs)
{
    FakePlatform platform;
    Form1 form(platform.services());
    const auto position = [&](const Control &wanted) {
        const auto &order = form.backToFront();
        for (std::size_t i = 0; i < order.size(); ++i)
            if (std::visit([&](const auto *c) { return c == &wanted; }, order[i]))
                return i;
        return order.size();
    };
    EXPECT_EQ(position(form.Shape1(0)), 0u);
    EXPECT_EQ(position(form.Shape2), 1u);
    EXPECT_LT(position(form.Shape1(1)), position(form.Line3));
    EXPECT_LT(position(form.Line3), position(form.Shape1(2)));
    EXPECT_LT(position(form.Shape1(2)), position(form.Line2));
    EXPECT_LT(position(form.Line2), position(form.Shape1(3)));
    EXPECT_LT(position(form.Shape1(3)), position(form.Line1));
    EXPECT_EQ(position(form.Line1), form.backToFront().size() - 1); // the second hand is in front
    EXPECT_LT(position(form.Label2), position(form.Line3));        // the name lies under the hands
    EXPECT_LT(position(form.Line2), position(form.Label5));        // "Kapat" over the minute hand
    EXPECT_LT(position(form.Line2), position(form.Label1(20)));
    EXPECT_LT(position(form.Label1(19)), position(form.Line2));
}

} // namespace
} // namespace vemo::testing

namespace vemo::testing {
namespace {

TEST(ChangeLogTest, OnlyWritesThatChangeAValueAskForARepaint)
{
    FakePlatform platform;
    Form1 form(platform.services());
    int writes = 0;
    form.changes.setObserver([&](const Control &, std::string_view) { ++writes; });
    form.Label5.Caption = "Kapat"; // as created
    form.Line1.X1 = 5520;
    EXPECT_TRUE(form.changes.takeChanged().empty());
    form.Line1.X1 = 5521;
    form.Line1.Y1 = 1;
    form.Label3(0).Caption = "07:05:09";
    const auto changed = form.changes.takeChanged();
    ASSERT_EQ(changed.size(), 2u);
    EXPECT_EQ(changed[0], &form.Line1);
    EXPECT_EQ(changed[1], &form.Label3(0));
    EXPECT_TRUE(form.changes.takeChanged().empty());
    EXPECT_EQ(writes, 5); // every write is still seen
}

} // namespace
} // namespace vemo::testing
