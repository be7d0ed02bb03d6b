#pragma once

// The handful of drawing calls the painter needs of a platform: the Qt canvas on Linux, the
// GDI+ canvas on Windows. Coordinates are pixels of the surface (geometry.h), colours are the
// control model's 0x00BBGGRR, widths are pixels.

#include "app/window/controls.h"
#include "platform/paint/geometry.h"

#include <string_view>
#include <vector>

namespace vemo {

// An outline of straight and cubic Bézier segments.
class Path
{
public:
    enum class Verb
    {
        MoveTo,
        LineTo,
        CubicTo,
        Close
    };
    struct Element
    {
        Verb verb;
        PointF points[3]; // MoveTo and LineTo use the first; CubicTo: two controls, then the end
    };

    void moveTo(PointF p) { elements_.push_back({Verb::MoveTo, {p, {}, {}}}); }
    void lineTo(PointF p) { elements_.push_back({Verb::LineTo, {p, {}, {}}}); }
    void cubicTo(PointF c1, PointF c2, PointF end)
    {
        elements_.push_back({Verb::CubicTo, {c1, c2, end}});
    }
    void close() { elements_.push_back({Verb::Close, {}}); }

    const std::vector<Element> &elements() const { return elements_; }

private:
    std::vector<Element> elements_;
};

// Vertical measures of the current font, pixels: a line of text is ascent + descent high, and
// lines follow each other `leading` apart.
struct FontMetrics
{
    double ascent = 0;
    double descent = 0;
    double leading = 0;

    double lineSpacing() const { return ascent + descent + leading; }
};

class Canvas
{
public:
    virtual ~Canvas() = default;

    // Whether shapes and lines get soft, antialiased edges. Wine's GDI+ draws them hard (its
    // text is antialiased all the same); the painter draws the same calls either way.
    virtual bool antialiasesShapes() const = 0;

    virtual void fillRect(const RectF &rect, Colour colour) = 0;
    virtual void fillEllipse(const RectF &bounds, Colour colour) = 0;
    // A circle line of `width` centred on the ellipse's edge.
    virtual void outlineEllipse(const RectF &bounds, Colour colour, double width) = 0;
    // A straight line with round ends, as a geometric pen draws it.
    virtual void drawLine(PointF from, PointF to, Colour colour, double width) = 0;
    virtual void fillPath(const Path &path, Colour colour) = 0;
    virtual void outlinePath(const Path &path, Colour colour, double width) = 0;

    // Text, in the face named by `font` or the platform's stand-in for it. Texts are UTF-8.
    virtual void setFont(const Font &font) = 0;
    virtual FontMetrics fontMetrics() = 0;
    // The advance of `text`: where a following text would start.
    virtual double textWidth(std::string_view text) = 0;
    // One line of text whose line box has its top-left corner at `topLeft`.
    virtual void drawText(PointF topLeft, std::string_view text, Colour colour) = 0;

    // Clipping to a rectangle, within the clip already set; pops restore the one before.
    virtual void pushClip(const RectF &rect) = 0;
    virtual void popClip() = 0;
};

} // namespace vemo
