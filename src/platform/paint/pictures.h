#pragma once

// The two pictures of the program, drawn as paths on a 32 x 32 grid scaled into `target`, so
// that they stay sharp at any pixel density.

#include "platform/paint/canvas.h"

namespace vemo {

// The bell on the dial: a red bell, black at its mouth, on a pale yellow ground (0xAAFFFF).
void drawBell(Canvas &canvas, const RectF &target);

// The window's icon: a cream dial on a dark red ground with a blue, a black and a dark red hand.
void drawClockIcon(Canvas &canvas, const RectF &target);

// The bell's own size, pixels.
inline constexpr double kPictureSize = 32;

} // namespace vemo
