#pragma once

// Where a window last painted each of its drawn controls, as rectangles of whole pixels, and each
// one's place in the back-to-front order: what the window needs to repaint a control an event
// wrote, where it was and where it is now.

#include "app/window/window_description.h"
#include "platform/paint/geometry.h"
#include "platform/paint/painter.h"

#include <cstddef>
#include <optional>
#include <unordered_map>
#include <vector>

namespace vemo {

class PaintedControls
{
public:
    struct Move
    {
        std::vector<RectF> was; // where it was last painted (controlFootprint)
        std::vector<RectF> now; // where it is to be painted now
        std::size_t place;      // in the back-to-front order
    };

    // Every drawn control of `window`, taken as painted where it is.
    PaintedControls(const WindowDescription &window, double twipsPerPixel);

    // For a drawn control an event wrote: where it was painted and where it is now, which is
    // taken as painted from here on. Nothing for a control the window does not draw, nor for a
    // line drawn as it was (its ends moved less than a pixel).
    std::optional<Move> moved(const Control &control);

    // Every drawn control taken as painted where it is, at a new scale.
    void rescale(double twipsPerPixel);

private:
    // What of a line shows: a line with the same look needs no repaint.
    struct LineLook
    {
        LineEnds ends;
        Colour colour = 0;
        int width = 0;
        bool visible = false;

        bool operator==(const LineLook &) const = default;
    };
    static std::optional<LineLook> lookOf(const DrawnControl &control, double twipsPerPixel);

    struct Painted
    {
        DrawnControl control;
        std::size_t place;
        std::vector<RectF> footprint;
        std::optional<LineLook> look; // lines only
    };

    double twipsPerPixel_;
    std::unordered_map<const Control *, Painted> painted_;
};

} // namespace vemo
