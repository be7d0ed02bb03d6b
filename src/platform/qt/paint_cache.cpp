#include "platform/qt/paint_cache.h"

#include "platform/qt/control_painter.h"

#include <QPainter>

#include <QtMath>

#include <cmath>
#include <cstring>

namespace vemo {

namespace {

// Copies the pixels of `where` (logical pixels) from one image to another of the same size,
// format and scale, row by row. A painter would blend them through the clip's spans, split
// across Qt's worker threads, which wakes them on every tick.
void copyPixels(QImage &to, const QImage &from, const QRegion &where)
{
    const qreal ratio = from.devicePixelRatio();
    const QRect bounds = from.rect();
    const int bytesPerPixel = from.depth() / 8;
    for (const QRect &logical : where) {
        const QRect rect =
            QRect(QPoint(qFloor(logical.left() * ratio), qFloor(logical.top() * ratio)),
                  QPoint(qCeil((logical.right() + 1) * ratio) - 1,
                         qCeil((logical.bottom() + 1) * ratio) - 1)) &
            bounds;
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            std::memcpy(to.scanLine(y) + rect.left() * bytesPerPixel,
                        from.constScanLine(y) + rect.left() * bytesPerPixel,
                        static_cast<std::size_t>(rect.width() * bytesPerPixel));
    }
}

} // namespace

QRegion regionOf(std::vector<QRect> rects)
{
    if (rects.empty())
        return {};
    std::vector<QRegion> regions(rects.begin(), rects.end());
    for (std::size_t step = 1; step < regions.size(); step *= 2)
        for (std::size_t i = 0; i + step < regions.size(); i += 2 * step)
            regions[i] += regions[i + step];
    return regions.front();
}

PaintCache::PaintCache(const WindowDescription &window, QImage::Format format,
                       std::function<void(QPainter &)> finish)
    : window_(window), format_(format), finish_(std::move(finish))
{
}

void PaintCache::changed(const QRect &rect, std::size_t place)
{
    // The first painting takes every control as it is.
    if (!used_)
        return;
    if (place < dialDepth_) {
        dialDepth_ = place;
        dial_ = QImage();
        still_ = QImage();
    }
    if (stillDepth_ == kAll || place > stillDepth_) {
        stillDepth_ = place;
        still_ = QImage();
    } else if (place < stillDepth_) {
        stillDirty_.push_back(rect);
    }
}

void PaintCache::clear()
{
    dial_ = QImage();
    still_ = QImage();
}

const QImage &PaintCache::still(QSize size, qreal pixelRatio, double twipsPerPixel)
{
    used_ = true;
    const auto fits = [&](const QImage &picture) {
        return !picture.isNull() && picture.devicePixelRatio() == pixelRatio &&
               picture.size() == size * pixelRatio;
    };
    if (!fits(dial_)) {
        dial_ = QImage(size * pixelRatio, format_);
        dial_.setDevicePixelRatio(pixelRatio);
        paint(dial_, QRegion(QRect(QPoint(), size)), 0, dialDepth_, twipsPerPixel);
        still_ = QImage();
    }
    // In part only where the window's pixels fall on the screen's: at a scale of a fraction, a
    // pixel on a rectangle's edge would be painted twice or half.
    if (!fits(still_) || (!stillDirty_.empty() && pixelRatio != std::round(pixelRatio))) {
        still_ = dial_; // shared until painted on
        stillDirty_ = {QRect(QPoint(), size)};
    }
    if (!stillDirty_.empty() && dialDepth_ < stillDepth_)
        paint(still_, regionOf(std::move(stillDirty_)), dialDepth_, stillDepth_, twipsPerPixel);
    stillDirty_.clear();
    return still_;
}

void PaintCache::paint(QImage &picture, const QRegion &where, std::size_t first, std::size_t last,
                       double twipsPerPixel) const
{
    // The still picture is painted on the dial.
    if (first > 0)
        copyPixels(picture, dial_, where);
    QPainter painter(&picture);
    paintControls(painter, window_, twipsPerPixel, where, first, last);
    finish_(painter);
}

} // namespace vemo
