#include "app/form1.h"

#include "clock/dial.h"
#include "platform/errors.h"
#include "platform/text.h"

namespace vemo {

namespace {

// The window's outer size on the screen, in twips, that centring allows for in both directions.
constexpr double kWindowSpan = 11085;

// Dial mark radii, twips from the centre.
constexpr double kMarkOuterRadius = 4080;
constexpr double kMarkInnerRadius = 3800;
constexpr Colour kMarkColour = 0x004080;     // dark orange-brown, the thin marks
constexpr Colour kFiveMarkColour = 0xFF0000; // blue, every fifth mark

} // namespace

void Form1::Form_Load()
{
    // The round window: an ellipse given in pixels of the outer window, frame included, so that
    // it cuts the frame and title bar away. Left and top are fixed; right and bottom follow the
    // screen's pixel size.
    Screen &screen = services_.screen;
    const int regionRight = toInt32(divide(10920, screen.twipsPerPixelX()));
    const int regionBottom = toInt32(divide(11320, screen.twipsPerPixelY()));
    const EllipticRegion region =
        services_.region.CreateEllipticRgn(16, 43, regionRight, regionBottom);
    services_.region.SetWindowRgn(hWnd, region, -1);

    UserName = services_.input.inputBox("Adınızı giriniz...", "Vemo ?");
    UserName = properCase(UserName);
    Label2.Caption = UserName;

    Timer1.Interval = 1000;

    Line5.Visible = false;
    PanelFlag = 1;
    Text1.Visible = false;
    Tuş(0).Visible = false;
    Tuş(1).Visible = false;

    // Centred across, and 3/8 of the free height from the top.
    Form.Left = toSingle(floorToWhole(divide(checked(screen.width() - kWindowSpan), 2)));
    Form.Top = toSingle(floorToWhole(divide(checked(checked(screen.height() - kWindowSpan) * 3), 8)));

    // One reading of the time for each number.
    const double h = val(left(clock().timeText(), 2));
    const double m = val(mid(clock().timeText(), 4, 2));
    const double s = val(right(clock().timeText(), 2));

    const HandAngles angles = handAnglesAt(h, m, s);
    SecondAngle = angles.second;
    MinuteAngle = angles.minute;
    HourAngle = angles.hour;

    CenterX1 = 5527.0;
    CenterX2 = 5527.0;
    CenterY1 = 5527.0;
    CenterY2 = 5527.0;
    HideCounter = 0.0;

    // The 61 dial marks, 6 degrees apart clockwise from 3 o'clock. With 22/7 for pi mark 60 ends
    // some 10 twips below mark 0 instead of on it.
    for (AlarmAngle = 0.0; AlarmAngle.number() <= 60; AlarmAngle = AlarmAngle + 1.0) {
        Line &mark = Line4(toInt16(AlarmAngle.number()));
        const double degrees = checked(AlarmAngle.number() * 6);
        mark.X1 = toSingle(dialX(CenterX1.number(), kMarkOuterRadius, degrees));
        mark.Y1 = toSingle(dialY(CenterY1.number(), kMarkOuterRadius, degrees));
        mark.X2 = toSingle(dialX(CenterX1.number(), kMarkInnerRadius, degrees));
        mark.Y2 = toSingle(dialY(CenterY1.number(), kMarkInnerRadius, degrees));
        mark.BorderColor = kMarkColour;
        mark.BorderWidth = 1;
        if (toInt32(AlarmAngle.number()) % 5 == 0) {
            mark.BorderWidth = 3;
            mark.BorderColor = kFiveMarkColour;
        }
    }
}

void Form1::Label5_Click() { services_.programEnd.end(); }

void Form1::playSound(const char *path)
{
    // The Windows path goes to the sound service in the system's 8-bit code page; the result of
    // the call is of no interest.
    services_.sound.sndPlaySoundA(toCodePage(path), Sound::SND_ASYNC);
}

} // namespace vemo
