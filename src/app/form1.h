#pragma once

#include "app/window/window_description.h"
#include "platform/services.h"
#include "platform/variant.h"

#include <cstdint>
#include <string>

namespace vemo {

// The clock window: its controls (from the window description), the state its event procedures
// share, and the procedures themselves. Procedures only set and read control properties; the
// toolkit paints what changed. None of them catches an error: an error raised in a procedure
// leaves it at that step, for the event dispatch to report.
class Form1 : public WindowDescription
{
public:
    explicit Form1(const Services &services) : services_(services) {}

    // Start-up, once, before the window is first shown.
    void Form_Load();
    // A click on "Kapat": the program ends at once.
    void Label5_Click();
    // Every 1000 ms while Timer1's interval is above 0.
    void Timer1_Timer();
    // A click on the bell opens or closes the alarm panel.
    void Image1_Click();
    // A click on a panel button steps the alarm: index 1 by an hour, index 0 by 12 minutes.
    void Tuş_Click(const std::int16_t &Index);

    // The form's window handle, given by the toolkit when it creates the window.
    WindowHandle hWnd = 0;

    // The form state. Angles are degrees, 0 at 3 o'clock and growing clockwise (y grows
    // downwards); they are never reduced modulo 360. Coordinates are twips.
    Variant HideCounter;   // ticks towards the panel's auto-hide, 0..19 between ticks
    Variant AlarmHour;     // alarm hour, 0..23
    Variant AlarmStep;     // alarm minute step, 0..4, for minute 12 x step
    Variant AlarmAngle;    // alarm hand; first the dial marks' loop counter, left at 61
    Variant DayNames;      // the Turkish weekday names, Sunday first, rebuilt every tick
    Variant CenterX1;      // dial centre for the tails of the hands, the alarm hand and the marks
    Variant CenterX2;      // dial centre for the tips of the hands
    Variant CenterY1;
    Variant CenterY2;
    std::int16_t PanelFlag = 0; // 0 from a click that closes the panel until the next tick
    Variant SecondAngle;   // +6 a tick, back to -90 on a tick that reads second 0
    Variant MinuteAngle;   // +6/60 a tick
    double HourAngle = 0;  // +1/120 a tick
    std::string UserName;  // the typed name, in proper case

private:
    // Parts of the tick, in the order it runs them.
    void keepHandsOnTime(const std::string &reading, double seconds);
    void moveHands();
    void showDate();
    void showWeekday();
    void playChimes(const Variant &Minutes, const Variant &Seconds);
    void autoHidePanel();
    void checkAlarm();

    void playSound(const char *path);
    Clock &clock() const { return services_.clock; }

    Services services_;
};

} // namespace vemo
