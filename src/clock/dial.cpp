#include "clock/dial.h"

#include "platform/errors.h"

#include <cmath>

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

} // namespace vemo
