#include "platform/qt/qt_canvas.h"

#include "platform/qt/fonts.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

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
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(qtColour(colour));
    painter_.drawEllipse(vemo::toQt(bounds));
}

void QtCanvas::outlineEllipse(const RectF &bounds, Colour colour, double width)
{
    painter_.setPen(QPen(qtColour(colour), width));
    painter_.setBrush(Qt::NoBrush);
    painter_.drawEllipse(vemo::toQt(bounds));
}

void QtCanvas::drawLine(PointF from, PointF to, Colour colour, double width)
{
    // The same shape as a round-capped pen: a flat-capped line with a dot of the pen's width
    // on each end. Qt strokes a round cap as a general outline, which costs a hand several
    // times what the flat line, drawn by a fast line rasterizer, and two small discs cost.
    const QColor ink = qtColour(colour);
    painter_.setPen(QPen(ink, width, Qt::SolidLine, Qt::FlatCap));
    painter_.drawLine(toQt(from), toQt(to));
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(ink);
    const double radius = width / 2;
    painter_.drawEllipse(toQt(from), radius, radius);
    painter_.drawEllipse(toQt(to), radius, radius);
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
}

FontMetrics QtCanvas::fontMetrics()
{
    const QFontMetricsF metrics(painter_.font(), painter_.device());
    return {metrics.ascent(), metrics.descent(), std::max<qreal>(0, metrics.leading())};
}

double QtCanvas::textWidth(std::string_view text)
{
    return QFontMetricsF(painter_.font(), painter_.device()).horizontalAdvance(displayed(text));
}

void QtCanvas::drawText(PointF topLeft, std::string_view text, Colour colour)
{
    const QFontMetricsF metrics(painter_.font(), painter_.device());
    painter_.setPen(qtColour(colour));
    painter_.drawText(QPointF(topLeft.x, topLeft.y + metrics.ascent()), displayed(text));
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
