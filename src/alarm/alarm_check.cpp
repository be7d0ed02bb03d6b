#include "app/form1.h"

#include "platform/text.h"

namespace vemo {

namespace {

constexpr const char *kAlarmChime = "C:\\WINDOWS\\Media\\ringin";
constexpr int kTicksBeforeHiding = 20;

} // namespace

void Form1::autoHidePanel()
{
    // Counts from start-up, whatever the panel does: every 20th tick takes the text box and the
    // buttons away. The alarm hand and the buttons' Enabled stay as they are.
    if (PanelFlag == 1) {
        HideCounter = HideCounter + 1.0;
        if (HideCounter.number() == kTicksBeforeHiding) {
            Text1.Visible = false;
            Tuş(0).Visible = false;
            Tuş(1).Visible = false;
            HideCounter = 0.0;
        }
    }
}

void Form1::checkAlarm()
{
    // The alarm lives in Text1's text, HH:MM, and is compared with the time label as text. It
    // has no condition on the seconds, so the chime restarts on every tick of the alarm minute,
    // every day, whether the panel is open, collapsed or closed.
    const std::string T = Label3(0).Caption;
    const std::string A = Text1.Text;
    const bool minuteMatch = mid(T, 4, 2) == right(A, 2);
    const bool hourMatch = left(T, 2) == left(A, 2);
    if (minuteMatch && hourMatch)
        playSound(kAlarmChime);
}

} // namespace vemo
