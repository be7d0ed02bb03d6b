#pragma once

#include "platform/paint/canvas.h"

#include <QBrush>
#include <QFont>
#include <QFontMetricsF>
#include <QPen>
#include <QRectF>

#include <optional>

class QPainter;

namespace vemo {

// The painter's canvas over a QPainter: antialiased shapes and text, the window description's
// faces mapped to the free faces installed with the program (fonts.h).
class QtCanvas : public Canvas
{
public:
    explicit QtCanvas(QPainter &painter);

    bool antialiasesShapes() const override { return true; }
    void fillRect(const RectF &rect, Colour colour) override;
    void fillEllipse(const RectF &bounds, Colour colour) override;
    void outlineEllipse(const RectF &bounds, Colour colour, double width) override;
    void drawLine(PointF from, PointF to, Colour colour, double width) override;
    void fillPath(const Path &path, Colour colour) override;
    void outlinePath(const Path &path, Colour colour, double width) override;
    void setFont(const Font &font) override;
    FontMetrics fontMetrics() override;
    double textWidth(std::string_view text) override;
    void drawText(PointF topLeft, std::string_view text, Colour colour) override;
    void pushClip(const RectF &rect) override;
    void popClip() override;

private:
    QString displayed(std::string_view text) const;
    void drawEllipse(const QRectF &bounds, const QPen &pen, const QBrush &brush);

    QPainter &painter_;
    Font font_;
    std::optional<QFontMetricsF> metrics_; // of the current font on the painter's device
    QString fontKey_;                      // the font and its size there, for kept widths
};

inline QRectF toQt(const RectF &rect)
{
    return QRectF(rect.left, rect.top, rect.width, rect.height);
}

} // namespace vemo
