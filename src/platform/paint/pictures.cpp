#include "platform/paint/pictures.h"

#include <cmath>

namespace vemo {

namespace {

// Both pictures are designed on a 32 x 32 grid and scaled into their target.
class Grid
{
public:
    explicit Grid(const RectF &target)
        : target_(target), scaleX_(target.width / 32), scaleY_(target.height / 32)
    {
    }

    PointF at(double x, double y) const
    {
        return {target_.left + x * scaleX_, target_.top + y * scaleY_};
    }
    RectF rect(double x, double y, double width, double height) const
    {
        return {target_.left + x * scaleX_, target_.top + y * scaleY_, width * scaleX_,
                height * scaleY_};
    }
    RectF circle(double cx, double cy, double radius) const
    {
        return rect(cx - radius, cy - radius, 2 * radius, 2 * radius);
    }
    double width(double w) const { return w * (scaleX_ + scaleY_) / 2; }

private:
    RectF target_;
    double scaleX_;
    double scaleY_;
};

constexpr Colour kBellGround = 0xAAFFFF; // pale yellow
constexpr Colour kBellRim = 0x000090;
constexpr Colour kBellRed = 0x1010E0;
constexpr Colour kBellHighlight = 0x8090FF;
constexpr Colour kBellLoop = 0x0000C0;
constexpr Colour kBlack = 0x000000;

constexpr Colour kIconGround = 0x000080; // dark red
constexpr Colour kIconRim = 0xC0FFFF;
constexpr Colour kIconDial = 0xD0F5FF; // cream
constexpr Colour kIconMarks = 0x002040;
constexpr Colour kIconHourHand = 0x800000; // navy blue
constexpr Colour kIconSecondHand = 0x000080;

} // namespace

void drawBell(Canvas &canvas, const RectF &target)
{
    const Grid grid(target);
    canvas.fillRect(grid.rect(0, 0, 32, 32), kBellGround);

    Path body;
    body.moveTo(grid.at(16, 5.5));
    body.cubicTo(grid.at(10.5, 5.5), grid.at(9, 10), grid.at(9, 15));
    body.cubicTo(grid.at(9, 19), grid.at(7.5, 21.5), grid.at(5, 23.5));
    body.lineTo(grid.at(5, 25.5));
    body.lineTo(grid.at(27, 25.5));
    body.lineTo(grid.at(27, 23.5));
    body.cubicTo(grid.at(24.5, 21.5), grid.at(23, 19), grid.at(23, 15));
    body.cubicTo(grid.at(23, 10), grid.at(21.5, 5.5), grid.at(16, 5.5));
    canvas.fillPath(body, kBellRed);
    canvas.outlinePath(body, kBellRim, grid.width(1));

    canvas.drawLine(grid.at(11.5, 11), grid.at(11, 18), kBellHighlight, grid.width(1.5));
    canvas.fillEllipse(grid.circle(16, 4.5, 2.2), kBellLoop); // the loop on top
    canvas.fillEllipse(grid.rect(6, 23.5, 20, 3.5), kBlack);  // the mouth
    canvas.fillEllipse(grid.circle(16, 27.5, 2.5), kBlack);   // the clapper
}

void drawClockIcon(Canvas &canvas, const RectF &target)
{
    const Grid grid(target);
    canvas.fillRect(grid.rect(0, 0, 32, 32), kIconGround);
    canvas.fillEllipse(grid.circle(16, 16, 14), kIconDial);
    canvas.outlineEllipse(grid.circle(16, 16, 14), kIconRim, grid.width(1));

    for (int hour = 0; hour < 12; ++hour) {
        const double a = hour * M_PI / 6;
        canvas.drawLine(grid.at(16 + 11 * std::cos(a), 16 + 11 * std::sin(a)),
                        grid.at(16 + 13 * std::cos(a), 16 + 13 * std::sin(a)), kIconMarks,
                        grid.width(1.2));
    }
    const auto hand = [&](Colour colour, double width, double degrees, double length) {
        const double a = degrees * M_PI / 180;
        canvas.drawLine(grid.at(16 - 2 * std::cos(a), 16 - 2 * std::sin(a)),
                        grid.at(16 + length * std::cos(a), 16 + length * std::sin(a)), colour,
                        grid.width(width));
    };
    hand(kIconHourHand, 3, -30 - 90 + 300, 7.5); // hour hand at ten
    hand(kBlack, 2, -90 + 60, 11);               // minute hand at ten past
    hand(kIconSecondHand, 1, 90 + 20, 12);       // second hand
    canvas.fillEllipse(grid.circle(16, 16, 1.6), kIconSecondHand);
}

} // namespace vemo
