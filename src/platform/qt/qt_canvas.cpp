#include "platform/qt/qt_canvas.h"

#include "platform/qt/fonts.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <algorithm>
#include <list>
#include <utility>

namespace vemo {

namespace {

QPointF toQt(PointF p)
{
    return QPointF(p.x, p.y);
}

QPainterPath toQt(const Path &path)
{
    QPainterPath qt;
    for (const Path::Element &e : path.elements()) {
        switch (e.verb) {
        case Path::Verb::MoveTo:
            qt.moveTo(toQt(e.points[0]));
            break;
        case Path::Verb::LineTo:
            qt.lineTo(toQt(e.points[0]));
            break;
        case Path::Verb::CubicTo:
            qt.cubicTo(toQt(e.points[0]), toQt(e.points[1]), toQt(e.points[2]));
            break;
        case Path::Verb::Close:
            qt.closeSubpath();
            break;
        }
    }
    return qt;
}

// The values last made, the most recently used first, found by key; beyond `size` the least
// recently used goes. A search along a few dozen keys costs less than hashing a pen or a font.
template <typename Key, typename Value, std::size_t size> class KeptValues
{
public:
    template <typename Make> const Value &get(const Key &key, Make make)
    {
        auto found = std::find_if(kept_.begin(), kept_.end(),
                                  [&](const auto &entry) { return entry.first == key; });
        if (found == kept_.end()) {
            if (kept_.size() == size)
                kept_.pop_back();
            kept_.emplace_front(key, make());
        } else if (found != kept_.begin()) {
            kept_.splice(kept_.begin(), kept_, found);
        }
        return kept_.front().second;
    }

private:
    std::list<std::pair<Key, Value>> kept_;
};

// Small discs and rings, a hub or a hand's round end, drawn once each into a picture of their own
// and copied from there: Qt strokes an ellipse's outline as a general path, which costs a hub
// more than the hand that turns over it. A picture is kept by where the ellipse falls within a
// pixel, so that the same ellipse at another whole pixel copies the same picture; the last few
// dozen are kept.
class SmallEllipses
{
public:
    static constexpr double kLargest = 64; // pixels across

    // The picture of the ellipse in `bounds` filled with `brush` and outlined with `pen`, and
    // where its top-left corner goes.
    std::pair<const QImage *, QPoint> picture(const QRectF &bounds, const QPen &pen,
                                              const QBrush &brush)
    {
        const QPoint anchor(qFloor(bounds.left()), qFloor(bounds.top()));
        const int margin = qCeil(pen.style() == Qt::NoPen ? 0 : pen.widthF() / 2) + 1;
        const Key key{bounds.translated(-anchor), pen, brush};
        const QImage &picture = kept_.get(key, [&] { return draw(key, margin); });
        return {&picture, anchor - QPoint(margin, margin)};
    }

private:
    struct Key
    {
        QRectF bounds; // within the picture's first pixel
        QPen pen;
        QBrush brush;

        bool operator==(const Key &) const = default;
    };

    static QImage draw(const Key &key, int margin)
    {
        QImage image(qCeil(key.bounds.right()) + 2 * margin,
                     qCeil(key.bounds.bottom()) + 2 * margin, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(key.pen);
        painter.setBrush(key.brush);
        painter.drawEllipse(key.bounds.translated(margin, margin));
        return image;
    }

    KeptValues<Key, QImage, 48> kept_;
};

} // namespace

QtCanvas::QtCanvas(QPainter &painter) : painter_(painter)
{
    painter_.setRenderHint(QPainter::Antialiasing);
    painter_.setRenderHint(QPainter::TextAntialiasing);
}

void QtCanvas::fillRect(const RectF &rect, Colour colour)
{
    painter_.fillRect(vemo::toQt(rect), qtColour(colour));
}

void QtCanvas::fillEllipse(const RectF &bounds, Colour colour)
{
    drawEllipse(vemo::toQt(bounds), Qt::NoPen, qtColour(colour));
}

void QtCanvas::outlineEllipse(const RectF &bounds, Colour colour, double width)
{
    drawEllipse(vemo::toQt(bounds), QPen(qtColour(colour), width), Qt::NoBrush);
}

void QtCanvas::drawEllipse(const QRectF &bounds, const QPen &pen, const QBrush &brush)
{
    // Pictures are kept at the screen's own pixels only.
    if (painter_.deviceTransform().isIdentity() && bounds.width() <= SmallEllipses::kLargest &&
        bounds.height() <= SmallEllipses::kLargest) {
        static SmallEllipses kept;
        const auto [picture, at] = kept.picture(bounds, pen, brush);
        painter_.drawImage(at, *picture);
        return;
    }
    painter_.setPen(pen);
    painter_.setBrush(brush);
    painter_.drawEllipse(bounds);
}

void QtCanvas::drawLine(PointF from, PointF to, Colour colour, double width)
{
    // Qt's line rasterizer starts a line where the clip's bounding rectangle cuts it, and a line
    // drawn from there comes out a shade unlike the same line drawn whole. Two single pixels
    // beyond the line's ends, out of its reach, widen the clip's bounds to hold all of it: the
    // part of the line inside the clip is then the whole line's.
    const QRectF reach =
        QRectF(toQt(from), toQt(to))
            .normalized()
            .adjusted(-width / 2 - 2, -width / 2 - 2, width / 2 + 2, width / 2 + 2);
    const bool cut = painter_.hasClipping() && !painter_.clipBoundingRect().contains(reach);
    if (cut) {
        painter_.save();
        painter_.setClipRegion(painter_.clipRegion() +
                               QRect(reach.topLeft().toPoint(), QSize(1, 1)) +
                               QRect(reach.bottomRight().toPoint(), QSize(1, 1)));
    }
    // The same shape as a round-capped pen: a flat-capped line with a dot of the pen's width
    // on each end. Qt strokes a round cap as a general outline, which costs a hand several
    // times what the flat line, drawn by a fast line rasterizer, and two small discs cost.
    const QColor ink = qtColour(colour);
    painter_.setPen(QPen(ink, width, Qt::SolidLine, Qt::FlatCap));
    painter_.drawLine(toQt(from), toQt(to));
    const QPointF radius(width / 2, width / 2);
    for (const PointF end : {from, to})
        drawEllipse(QRectF(toQt(end) - radius, toQt(end) + radius), Qt::NoPen, ink);
    if (cut)
        painter_.restore();
}

void QtCanvas::fillPath(const Path &path, Colour colour)
{
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(qtColour(colour));
    painter_.drawPath(toQt(path));
}

void QtCanvas::outlinePath(const Path &path, Colour colour, double width)
{
    painter_.setPen(QPen(qtColour(colour), width));
    painter_.setBrush(Qt::NoBrush);
    painter_.drawPath(toQt(path));
}

void QtCanvas::setFont(const Font &font)
{
    font_ = font;
    painter_.setFont(qtFont(font));
    metrics_.emplace(painter_.font(), painter_.device());
    fontKey_ = painter_.font().key() + QString::number(metrics_->height());
}

FontMetrics QtCanvas::fontMetrics()
{
    return {metrics_->ascent(), metrics_->descent(), std::max<qreal>(0, metrics_->leading())};
}

double QtCanvas::textWidth(std::string_view text)
{
    // A caption is measured word by word and line by line at every paint, and the same few
    // captions are painted again and again: each width is kept (the last few hundred).
    static KeptValues<std::pair<QString, std::string>, double, 256> kept;
    return kept.get({fontKey_, std::string(text)},
                    [&] { return metrics_->horizontalAdvance(displayed(text)); });
}

void QtCanvas::drawText(PointF topLeft, std::string_view text, Colour colour)
{
    painter_.setPen(qtColour(colour));
    painter_.drawText(QPointF(topLeft.x, topLeft.y + metrics_->ascent()), displayed(text));
}

void QtCanvas::pushClip(const RectF &rect)
{
    painter_.save();
    painter_.setClipRect(vemo::toQt(rect), Qt::IntersectClip);
}

void QtCanvas::popClip()
{
    painter_.restore();
}

QString QtCanvas::displayed(std::string_view text) const
{
    return displayCaption(font_, std::string(text));
}

} // namespace vemo
