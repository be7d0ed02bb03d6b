#pragma once

// The one painter of the clock window, for every platform: the background, then every visible
// drawn control from back to front, over a Canvas. Coordinates are the window's pixels, twips
// divided by `twipsPerPixel`.

#include "app/window/window_description.h"
#include "platform/paint/canvas.h"

#include <cstddef>
#include <limits>
#include <string>
#include <vector>

namespace vemo {

// Paints the controls at places [first, last) of the back-to-front order that touch one of the
// `exposed` rectangles, and the background there when `first` is 0: the rest is taken as painted
// already. The canvas is expected to clip to `exposed` itself, and the rectangles not to
// overlap.
void paintControls(Canvas &canvas, const WindowDescription &window, double twipsPerPixel,
                   const std::vector<RectF> &exposed, std::size_t first = 0,
                   std::size_t last = std::numeric_limits<std::size_t>::max());

// The ends of a line as it is drawn, in pixels.
struct LineEnds
{
    PointF from; // X1, Y1
    PointF to;   // X2, Y2

    bool operator==(const LineEnds &) const = default;
};
LineEnds lineEnds(const Line &line, double twipsPerPixel);

// The pixels a drawn control can touch, its pen and antialiasing included.
RectF controlBounds(const DrawnControl &control, double twipsPerPixel);

// Rectangles of whole pixels that together hold every pixel a drawn control can touch: its
// bounds, or for a slanted line a chain of small ones along it, which leave out most of its
// bounding box.
std::vector<RectF> controlFootprint(const DrawnControl &control, double twipsPerPixel);

// The keyboard focus mark round a control's `bounds`: a black frame 2 pixels wide, a pixel
// off its edges. focusMarkBounds gives the pixels it can touch.
void paintFocusMark(Canvas &canvas, const RectF &bounds);
RectF focusMarkBounds(const RectF &bounds);

// Twips to pixels.
RectF toPixels(const Box &box, double twipsPerPixel);

// A caption broken into lines for a box `width` pixels wide, in the canvas's current font:
// between words, each line as wide as fits; a word wider than the box gets a line of its own
// and runs over. The blanks where a line breaks are dropped.
std::vector<std::string> breakLines(Canvas &canvas, const std::string &caption, double width);

// A caption in a box: each line centred across (trailing blanks not counted), lines from the
// top edge down, all of it cut off at the box's edges.
void drawCaption(Canvas &canvas, const RectF &box, const std::string &caption, Colour colour);

} // namespace vemo
