#pragma once

#include "app/window/window_description.h"

#include <QRectF>
#include <QRegion>
#include <QRegion>

class QPainter;

namespace vemo {

// Paints the window as the toolkit would: the background, then every visible drawn control
// from back to front. Coordinates are the window's logical pixels, twips divided by
// `twipsPerPixel`; controls that do not touch `exposed` are skipped.
void paintControls(QPainter &painter, const WindowDescription &window, double twipsPerPixel,
                   const QRegion &exposed);

// The pixels a drawn control can touch, its pen and antialiasing included.
QRectF controlBounds(const DrawnControl &control, double twipsPerPixel);

// Twips to logical pixels.
QRectF toPixels(const Box &box, double twipsPerPixel);

} // namespace vemo
