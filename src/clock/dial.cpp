#include "clock/dial.h"

#include "platform/errors.h"

#include <cmath>
#include <numbers>

namespace vemo {

double dialRadians(double degrees)
{
    const double p = divide(22, 7);
    return divide(checked(degrees * p), 180);
}

double dialX(double centre, double radius, double degrees)
{
    return checked(centre + checked(radius * std::cos(dialRadians(degrees))));
}

double dialY(double centre, double radius, double degrees)
{
    return checked(centre + checked(radius * std::sin(dialRadians(degrees))));
}

double tailX(double centre, double radius, double degrees)
{
    return checked(centre - checked(radius * std::cos(dialRadians(degrees))));
}

double tailY(double centre, double radius, double degrees)
{
    return checked(centre - checked(radius * std::sin(dialRadians(degrees))));
}

HandAngles handAnglesAt(double h, double m, double s)
{
    return {checked(checked(s * 6) - 90),
            checked(checked(checked(m * 6) - 90) + divide(checked(s * 6), 60)),
            checked(checked(checked(h * 30) - 90) + divide(checked(checked(m * 60) + s), 120))};
}

double drawnApart(double angle, double target)
{
    // Drawn directions repeat every 2 pi radians of the dial rule, whatever p is.
    const double radians = checked(dialRadians(angle) - dialRadians(target));
    return checked(std::remainder(radians, 2 * std::numbers::pi) * 180 / std::numbers::pi);
}

} // namespace vemo
