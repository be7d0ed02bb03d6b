#pragma once

#include "app/window/window_description.h"

#include <QRegion>

#include <cstddef>
#include <limits>

class QPainter;

namespace vemo {

// Paints the window with the one painter (platform/paint/painter.h) through a Qt canvas,
// clipped to `exposed`: the background, then every visible drawn control from back to front.
// Coordinates are the window's logical pixels, twips divided by `twipsPerPixel`. Only the
// controls at places [first, last) of the back-to-front order are painted, and the background
// only when `first` is 0: the rest is taken as painted already.
void paintControls(QPainter &painter, const WindowDescription &window, double twipsPerPixel,
                   const QRegion &exposed, std::size_t first = 0,
                   std::size_t last = std::numeric_limits<std::size_t>::max());

} // namespace vemo
