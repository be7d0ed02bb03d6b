#pragma once

// Where a window last painted each of its drawn controls, in whole pixels, and each one's place
// in the back-to-front order: what the window needs to repaint a control an event wrote, where
// it was and where it is now.

#include "app/window/window_description.h"
#include "platform/paint/geometry.h"

#include <cstddef>
#include <optional>
#include <unordered_map>

namespace vemo {

class PaintedControls
{
public:
    struct Move
    {
        RectF was;         // where it was last painted
        RectF now;         // where it is to be painted now
        std::size_t place; // in the back-to-front order
    };

    // Every drawn control of `window`, taken as painted where it is.
    PaintedControls(const WindowDescription &window, double twipsPerPixel);

    // For a drawn control: where it was painted and where it is now, which is taken as painted
    // from here on. Nothing for a control the window does not draw.
    std::optional<Move> moved(const Control &control);

    // Every drawn control taken as painted where it is, at a new scale.
    void rescale(double twipsPerPixel);

private:
    struct Painted
    {
        DrawnControl control;
        std::size_t place;
        RectF bounds;
    };

    double twipsPerPixel_;
    std::unordered_map<const Control *, Painted> painted_;
};

} // namespace vemo
