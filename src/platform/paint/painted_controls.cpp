#include "platform/paint/painted_controls.h"

#include "platform/paint/painter.h"

#include <variant>

namespace vemo {

PaintedControls::PaintedControls(const WindowDescription &window, double twipsPerPixel)
    : twipsPerPixel_(twipsPerPixel)
{
    for (const DrawnControl &control : window.backToFront()) {
        const Control *c = std::visit([](const auto *p) -> const Control * { return p; }, control);
        painted_.emplace(c,
                         Painted{control, painted_.size(), controlFootprint(control, twipsPerPixel),
                                 lookOf(control, twipsPerPixel)});
    }
}

std::optional<PaintedControls::Move> PaintedControls::moved(const Control &control)
{
    const auto found = painted_.find(&control);
    if (found == painted_.end())
        return std::nullopt;
    Painted &painted = found->second;
    std::optional<LineLook> look = lookOf(painted.control, twipsPerPixel_);
    if (look && look == painted.look)
        return std::nullopt;
    painted.look = std::move(look);
    std::vector<RectF> was = std::move(painted.footprint);
    painted.footprint = controlFootprint(painted.control, twipsPerPixel_);
    return Move{std::move(was), painted.footprint, painted.place};
}

std::optional<PaintedControls::LineLook> PaintedControls::lookOf(const DrawnControl &control,
                                                                 double twipsPerPixel)
{
    const auto *const *line = std::get_if<const Line *>(&control);
    if (!line)
        return std::nullopt;
    return LineLook{lineEnds(**line, twipsPerPixel), (*line)->BorderColor, (*line)->BorderWidth,
                    (*line)->Visible};
}

void PaintedControls::rescale(double twipsPerPixel)
{
    twipsPerPixel_ = twipsPerPixel;
    for (auto &[control, painted] : painted_) {
        painted.footprint = controlFootprint(painted.control, twipsPerPixel);
        painted.look = lookOf(painted.control, twipsPerPixel);
    }
}

} // namespace vemo
