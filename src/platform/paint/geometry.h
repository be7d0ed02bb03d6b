#pragma once

// Points and rectangles of the painter, in pixels of the window's client area (fractions
// allowed: a dial centre of 5527.5 twips is pixel 368.5 at 15 twips a pixel).

#include <algorithm>
#include <cmath>

namespace vemo {

struct PointF
{
    double x = 0;
    double y = 0;

    bool operator==(const PointF &) const = default;
};

struct RectF
{
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;

    double right() const { return left + width; }
    double bottom() const { return top + height; }
    PointF centre() const { return {left + width / 2, top + height / 2}; }
    bool isEmpty() const { return width <= 0 || height <= 0; }

    bool contains(PointF p) const
    {
        return p.x >= left && p.x < right() && p.y >= top && p.y < bottom();
    }
    bool intersects(const RectF &other) const
    {
        return left < other.right() && other.left < right() && top < other.bottom() &&
               other.top < bottom();
    }
    RectF adjusted(double dLeft, double dTop, double dRight, double dBottom) const
    {
        return {left + dLeft, top + dTop, width - dLeft + dRight, height - dTop + dBottom};
    }
    // The smallest rectangle of whole pixels that holds this one.
    RectF aligned() const
    {
        const double l = std::floor(left), t = std::floor(top);
        return {l, t, std::ceil(right()) - l, std::ceil(bottom()) - t};
    }
    // The rectangle spanned by two corners in any order.
    static RectF spanning(PointF a, PointF b)
    {
        return {std::min(a.x, b.x), std::min(a.y, b.y), std::abs(b.x - a.x), std::abs(b.y - a.y)};
    }
};

} // namespace vemo
