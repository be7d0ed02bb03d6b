#pragma once

// Points on the dial. An angle in degrees becomes radians as (degrees x p) / 180, the product
// first, where p is 22/7: the clock's hands and marks have always been laid out with that value
// rather than the exact pi, so a hand shows its angle x 1.0004 (22/7 over pi). p is divided out
// afresh for every coordinate.

namespace vemo {

double dialRadians(double degrees);

// The point at `radius` from the centre, in the direction of `degrees`.
double dialX(double centre, double radius, double degrees);
double dialY(double centre, double radius, double degrees);

// The point at `radius` on the opposite side of the centre, where a hand's tail ends.
double tailX(double centre, double radius, double degrees);
double tailY(double centre, double radius, double degrees);

// The hand angles, degrees, that the time of day h:m:s (h from 0 to 23) gives: the second hand
// by the second, the minute hand by the minute and its seconds, the hour hand by the hour and
// its minutes and seconds. Afternoon hour angles lie one turn above the morning ones.
struct HandAngles
{
    double second;
    double minute;
    double hour;
};
HandAngles handAnglesAt(double h, double m, double s);

// The angle, in degrees from -180 to 180, between the directions in which hands at `angle` and
// at `target` are drawn: 22/7 included, whole turns left out.
double drawnApart(double angle, double target);

} // namespace vemo
