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

} // namespace vemo
