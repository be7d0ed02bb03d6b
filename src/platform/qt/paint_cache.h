#pragma once

#include "app/window/window_description.h"

#include <QImage>
#include <QRect>
#include <QRegion>

#include <cstddef>
#include <functional>
#include <limits>
#include <vector>

class QPainter;

namespace vemo {

// The region of many rectangles, made in pairs: adding rectangles to a region one at a time
// costs each as much as the region has rectangles already.
QRegion regionOf(std::vector<QRect> rects);

// Two paintings of the window's drawn controls kept between repaints, each pixel for pixel what a
// painting from scratch gives:
//
// - the dial: the controls behind the back-most one that ever changed, painted once;
// - the still picture: the controls behind the front-most one that ever changed, painted again
//   only where a control in it changed, from the dial and the controls in front of it.
//
// A repaint copies the still picture and paints the controls from its depth on over it: once the
// clock ticks, the second hand alone. The first change of a control moves the depths, and the
// pictures are painted anew.
class PaintCache
{
public:
    static constexpr std::size_t kAll = std::numeric_limits<std::size_t>::max();

    // `finish` is applied to each picture after its controls are painted, under the clip of what
    // was painted (the clearing of what lies outside a round window on an alpha surface).
    PaintCache(const WindowDescription &window, QImage::Format format,
               std::function<void(QPainter &)> finish);

    // The control at `place` in the back-to-front order changed within `rect` (logical pixels).
    void changed(const QRect &rect, std::size_t place);
    // Everything is painted anew before the next use.
    void clear();

    // The still picture for a window of `size` logical pixels at `pixelRatio` device pixels a
    // pixel and `twipsPerPixel`, brought up to date.
    const QImage &still(QSize size, qreal pixelRatio, double twipsPerPixel);
    // The controls in the still picture: the places [0, stillDepth()).
    std::size_t stillDepth() const { return stillDepth_; }

private:
    void paint(QImage &picture, const QRegion &where, std::size_t first, std::size_t last,
               double twipsPerPixel) const;

    const WindowDescription &window_;
    const QImage::Format format_;
    const std::function<void(QPainter &)> finish_;
    QImage dial_;
    std::size_t dialDepth_ = kAll;
    QImage still_;
    std::size_t stillDepth_ = kAll;
    std::vector<QRect> stillDirty_; // where the still picture is out of date
    bool used_ = false; // painted from at least once: changes from here on move the depths
};

} // namespace vemo
