#include "app/form1.h"

#include "clock/dial.h"
#include "platform/errors.h"
#include "platform/text.h"

#include <array>
#include <cmath>

namespace vemo {

namespace {

constexpr const char *kTickSound = "C:\\WINDOWS\\Media\\Windows XP Menü Komutu";
constexpr const char *kFullHourChime = "C:\\WINDOWS\\Media\\ringin";
constexpr const char *kHalfHourChime = "C:\\WINDOWS\\Media\\ringout";

// How far, in degrees of its drawn direction, a hand may stray from where the time puts it
// before a tick sets it there: a twelfth of a minute mark. One tick a second keeps the second
// hand on the time; the minute and hour hands run ahead only by what 22/7 adds to each of
// their turns (0.145 degrees a turn), and are set back every few hours or days. A skipped
// second puts the second hand 6 degrees off; a set clock, a wake-up or a change of zone or
// summer time can put any hand anywhere.
constexpr double kHandTolerance = 0.5;

// Writes a hand's end points in the order X2, Y2, X1, Y1. The tip's two radii differ only for
// the hour hand, whose tip runs on an ellipse.
void placeHand(Line &hand, const Variant &angle, double tipRadiusX, double tipRadiusY,
               double tailRadius, const Form1 &form)
{
    hand.X2 = toSingle(dialX(form.CenterX2.number(), tipRadiusX, angle.number()));
    hand.Y2 = toSingle(dialY(form.CenterY2.number(), tipRadiusY, angle.number()));
    hand.X1 = toSingle(tailX(form.CenterX1.number(), tailRadius, angle.number()));
    hand.Y1 = toSingle(tailY(form.CenterY1.number(), tailRadius, angle.number()));
}

} // namespace

void Form1::Timer1_Timer()
{
    // The hands count ticks: each tick steps the angles, and the second hand goes back to 12 on
    // the tick that reads second 0. A hand that has strayed from the time is then set to it.
    const Variant Minutes = val(mid(clock().timeText(), 4, 2));
    const std::string secondsReading = clock().timeText();
    const Variant Seconds = val(right(secondsReading, 2));
    SecondAngle = SecondAngle + 6.0;
    MinuteAngle = MinuteAngle + divide(6, 60);
    HourAngle = checked(HourAngle + divide(1, 120));
    if (Seconds.number() == 0)
        SecondAngle = -90.0;
    keepHandsOnTime(secondsReading, Seconds.number());

    moveHands();
    playSound(kTickSound);
    Label3(0).Caption = clock().timeText();
    PanelFlag = 1;

    showDate();
    showWeekday();
    playChimes(Minutes, Seconds);

    autoHidePanel();
    checkAlarm();
}

void Form1::keepHandsOnTime(const std::string &reading, double seconds)
{
    // The hour and minutes come from the reading whose `seconds` set the second hand back, one
    // whole time: two readings could fall on either side of a minute and put the minute hand
    // off for a tick.
    const HandAngles time = handAnglesAt(val(left(reading, 2)), val(mid(reading, 4, 2)), seconds);
    if (std::abs(drawnApart(SecondAngle.number(), time.second)) > kHandTolerance)
        SecondAngle = time.second;
    if (std::abs(drawnApart(MinuteAngle.number(), time.minute)) > kHandTolerance)
        MinuteAngle = time.minute;
    if (std::abs(drawnApart(HourAngle, time.hour)) > kHandTolerance)
        HourAngle = time.hour;
}

void Form1::moveHands()
{
    placeHand(Line1, SecondAngle, 5000, 5000, 1000, *this);
    placeHand(Line2, MinuteAngle, 4000, 4000, 900, *this);
    placeHand(Line3, HourAngle, 2700, 2500, 800, *this);
}

void Form1::showDate()
{
    const std::array<const char *, 12> MonthNames{"Ocak",  "Şubat",   "Mart",   "Nisan",
                                                  "Mayıs", "Haziran", "Temmuz", "Ağustos",
                                                  "Eylül", "Ekim",    "Kasım",  "Aralık"};
    // Three separate readings: across midnight they may join the old day to the new month.
    const std::string D1 = clock().dateText();
    const std::string D2 = clock().dateText();
    const std::string D3 = clock().dateText();
    const double monthIndex = checked(textToNumber(mid(D2, 4, 2)) - 1);
    Label3(1).Caption =
        left(D1, 2) + " " + tableEntry(MonthNames, monthIndex) + " " + mid(D3, 7, 4);
}

void Form1::showWeekday()
{
    DayNames = std::vector<std::string>{"Pazar",    "Pazartesi", "Salı",     "Çarşamba",
                                        "Perşembe", "Cuma",      "Cumartesi"};
    Label3(2).Caption = DayNames.element(weekday(clock().dateText()) - 1);
}

void Form1::playChimes(const Variant &Minutes, const Variant &Seconds)
{
    // Every hour of the day and night, midnight included, and every half hour.
    if (Minutes.number() == 0 && Seconds.number() == 0)
        playSound(kFullHourChime);
    if (Minutes.number() == 30 && Seconds.number() == 0)
        playSound(kHalfHourChime);
}

} // namespace vemo
