#include "platform/qt/control_painter.h"

#include "platform/qt/fonts.h"
#include "platform/qt/pictures.h"

#include <QPainter>

#include <algorithm>

namespace vemo {

namespace {

constexpr double kPictureSize = 32; // pixels, the bell's own size

// The circle of a shape: the smaller side of the box, centred in it.
QRectF circleOf(const Shape &shape, double twipsPerPixel)
{
    const QRectF box = toPixels(shape.box, twipsPerPixel);
    const double diameter = std::min(box.width(), box.height());
    return QRectF(box.center().x() - diameter / 2, box.center().y() - diameter / 2, diameter,
                  diameter);
}

QLineF segmentOf(const Line &line, double twipsPerPixel)
{
    return QLineF(line.X1 / twipsPerPixel, line.Y1 / twipsPerPixel, line.X2 / twipsPerPixel,
                  line.Y2 / twipsPerPixel);
}

void draw(QPainter &painter, const Shape &shape, double twipsPerPixel)
{
    if (shape.outline)
        painter.setPen(QPen(qtColour(shape.outline->colour), shape.outline->width));
    else
        painter.setPen(Qt::NoPen);
    painter.setBrush(qtColour(shape.fillColor));
    painter.drawEllipse(circleOf(shape, twipsPerPixel));
}

void draw(QPainter &painter, const Line &line, double twipsPerPixel)
{
    if (!line.Visible)
        return;
    painter.setPen(QPen(qtColour(line.BorderColor), std::max<int>(1, line.BorderWidth),
                        Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(segmentOf(line, twipsPerPixel));
}

void draw(QPainter &painter, const Label &label, double twipsPerPixel)
{
    const QRectF box = toPixels(label.box, twipsPerPixel);
    if (label.backColor)
        painter.fillRect(box, qtColour(*label.backColor));
    if (label.Caption.get().empty())
        return;
    painter.save();
    painter.setClipRect(box, Qt::IntersectClip);
    painter.setFont(qtFont(label.font));
    painter.setPen(qtColour(label.foreColor));
    painter.drawText(box, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                     displayCaption(label.font, label.Caption));
    painter.restore();
}

void draw(QPainter &painter, const Image &image, double twipsPerPixel)
{
    const QRectF box(image.box.left / twipsPerPixel, image.box.top / twipsPerPixel, kPictureSize,
                     kPictureSize);
    drawBell(painter, box);
}

} // namespace

QRectF toPixels(const Box &box, double twipsPerPixel)
{
    return QRectF(box.left / twipsPerPixel, box.top / twipsPerPixel, box.width / twipsPerPixel,
                  box.height / twipsPerPixel);
}

QRectF controlBounds(const DrawnControl &control, double twipsPerPixel)
{
    struct Bounds
    {
        double tpp;
        QRectF operator()(const Shape *shape) const
        {
            const double pen = shape->outline ? shape->outline->width : 0;
            return circleOf(*shape, tpp).adjusted(-pen - 1, -pen - 1, pen + 1, pen + 1);
        }
        QRectF operator()(const Line *line) const
        {
            const double reach = std::max<int>(1, line->BorderWidth) / 2.0 + 1;
            const QLineF segment = segmentOf(*line, tpp);
            return QRectF(segment.p1(), segment.p2())
                .normalized()
                .adjusted(-reach, -reach, reach, reach);
        }
        QRectF operator()(const Label *label) const { return toPixels(label->box, tpp); }
        QRectF operator()(const Image *image) const
        {
            return QRectF(image->box.left / tpp, image->box.top / tpp, kPictureSize,
                          kPictureSize);
        }
    };
    return std::visit(Bounds{twipsPerPixel}, control);
}

void paintControls(QPainter &painter, const WindowDescription &window, double twipsPerPixel,
                   const QRegion &exposed, std::size_t first, std::size_t last)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setClipRegion(exposed);
    if (first == 0)
        for (const QRect &rect : exposed)
            painter.fillRect(rect, qtColour(window.Form.backColor));
    const auto &order = window.backToFront();
    last = std::min(last, order.size());
    for (std::size_t i = first; i < last; ++i) {
        const DrawnControl &control = order[i];
        if (!exposed.intersects(controlBounds(control, twipsPerPixel).toAlignedRect()))
            continue;
        std::visit([&](const auto *c) { draw(painter, *c, twipsPerPixel); }, control);
    }
}

} // namespace vemo
