#include "platform/qt/control_painter.h"

#include "platform/paint/painter.h"
#include "platform/qt/qt_canvas.h"

#include <QPainter>

#include <vector>

namespace vemo {

void paintControls(QPainter &painter, const WindowDescription &window, double twipsPerPixel,
                   const QRegion &exposed, std::size_t first, std::size_t last)
{
    painter.setClipRegion(exposed);
    std::vector<RectF> rects;
    for (const QRect &rect : exposed)
        rects.push_back(
            {double(rect.x()), double(rect.y()), double(rect.width()), double(rect.height())});
    QtCanvas canvas(painter);
    paintControls(canvas, window, twipsPerPixel, rects, first, last);
}

} // namespace vemo
