#include "app/form1.h"

#include "clock/dial.h"
#include "platform/errors.h"
#include "platform/text.h"

#include <array>

namespace vemo {

namespace {

constexpr double kAlarmHandRadius = 3600; // twips

// Points the alarm hand from the dial centre at `degrees`, like an hour hand on the 12-hour
// dial: 30 degrees an hour, 6 degrees for each 12-minute step.
void pointAlarmHand(Line &hand, double degrees, const Form1 &form)
{
    hand.X2 = toSingle(dialX(form.CenterX1.number(), kAlarmHandRadius, degrees));
    hand.Y2 = toSingle(dialY(form.CenterY1.number(), kAlarmHandRadius, degrees));
}

void anchorAlarmHand(Line &hand, const Form1 &form)
{
    hand.X1 = toSingle(form.CenterX1.number());
    hand.Y1 = toSingle(form.CenterY1.number());
}

} // namespace

void Form1::Image1_Click()
{
    // Open or collapsed: close, and keep closed until the next tick sets PanelFlag back to 1.
    if (Line5.Visible) {
        Line5.Visible = false;
        PanelFlag = 0;
        Text1.Visible = false;
        Tuş(0).Visible = false;
        Tuş(1).Visible = false;
        Tuş(0).Enabled = false;
        Tuş(1).Enabled = false;
    }
    if (PanelFlag == 1) {
        Tuş(0).Enabled = true;
        Tuş(1).Enabled = true;
        Text1.Locked = true;
        AlarmHour = 0.0;
        AlarmStep = 0.0;
        Line5.Visible = true;
        Text1.Visible = true;
        Tuş(0).Visible = true;
        Tuş(1).Visible = true;
        anchorAlarmHand(Line5, *this);
        Text1.Text = "00:00";
        pointAlarmHand(Line5, -90, *this);
    }
    AlarmAngle = -90.0;
}

void Form1::Tuş_Click(const std::int16_t &Index)
{
    const std::array<const char *, 24> HourTexts{"00", "01", "02", "03", "04", "05", "06", "07",
                                                 "08", "09", "10", "11", "12", "13", "14", "15",
                                                 "16", "17", "18", "19", "20", "21", "22", "23"};
    const std::array<const char *, 5> StepTexts{"00", "12", "24", "36", "48"};

    if (Index == 1) {
        AlarmHour = val(AlarmHour.text());
        AlarmHour = AlarmHour + 1.0;
        AlarmAngle = AlarmAngle + 30.0;
    }
    if (Index == 0) {
        AlarmStep = val(AlarmStep.text());
        AlarmStep = AlarmStep + 1.0;
        AlarmAngle = AlarmAngle + 6.0;
        // Five steps of 6 degrees make the hour's 30: the angle gets nothing extra here.
        if (AlarmStep.number() > 4) {
            AlarmStep = 0.0;
            AlarmHour = AlarmHour + 1.0;
        }
    }
    // The hour wraps; the angle goes on growing.
    if (AlarmHour.number() > 23)
        AlarmHour = 0.0;

    anchorAlarmHand(Line5, *this);
    pointAlarmHand(Line5, AlarmAngle.number(), *this);
    Text1.Text = std::string(tableEntry(HourTexts, AlarmHour.number())) + ":" +
                 tableEntry(StepTexts, AlarmStep.number());
}

} // namespace vemo
