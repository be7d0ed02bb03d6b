#include "platform/paint/painted_controls.h"

#include "platform/paint/painter.h"

#include <variant>

namespace vemo {

PaintedControls::PaintedControls(const WindowDescription &window, double twipsPerPixel)
    : twipsPerPixel_(twipsPerPixel)
{
    for (const DrawnControl &control : window.backToFront()) {
        const Control *c = std::visit([](const auto *p) -> const Control * { return p; }, control);
        painted_.emplace(c, Painted{control, painted_.size(),
                                    controlBounds(control, twipsPerPixel).aligned()});
    }
}

std::optional<PaintedControls::Move> PaintedControls::moved(const Control &control)
{
    const auto found = painted_.find(&control);
    if (found == painted_.end())
        return std::nullopt;
    Painted &painted = found->second;
    const RectF was = painted.bounds;
    painted.bounds = controlBounds(painted.control, twipsPerPixel_).aligned();
    return Move{was, painted.bounds, painted.place};
}

void PaintedControls::rescale(double twipsPerPixel)
{
    twipsPerPixel_ = twipsPerPixel;
    for (auto &[control, painted] : painted_)
        painted.bounds = controlBounds(painted.control, twipsPerPixel).aligned();
}

} // namespace vemo
