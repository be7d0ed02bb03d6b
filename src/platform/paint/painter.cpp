#include "platform/paint/painter.h"

#include "platform/paint/pictures.h"

#include <algorithm>
#include <cmath>
#include <variant>

namespace vemo {

namespace {

// The circle of a shape: the smaller side of the box, centred in it.
RectF circleOf(const Shape &shape, double twipsPerPixel)
{
    const RectF box = toPixels(shape.box, twipsPerPixel);
    const double diameter = std::min(box.width, box.height);
    const PointF centre = box.centre();
    return {centre.x - diameter / 2, centre.y - diameter / 2, diameter, diameter};
}

PointF pointOf(double xTwips, double yTwips, double twipsPerPixel)
{
    return {xTwips / twipsPerPixel, yTwips / twipsPerPixel};
}

// Line widths of 0 draw as 1 pixel, as the toolkit's pens do.
double penWidth(const Line &line)
{
    return std::max<int>(1, line.BorderWidth);
}

RectF pictureBox(const Image &image, double twipsPerPixel)
{
    return {image.box.left / twipsPerPixel, image.box.top / twipsPerPixel, kPictureSize,
            kPictureSize};
}

void draw(Canvas &canvas, const Shape &shape, double twipsPerPixel)
{
    const RectF circle = circleOf(shape, twipsPerPixel);
    canvas.fillEllipse(circle, shape.fillColor);
    if (shape.outline)
        canvas.outlineEllipse(circle, shape.outline->colour, shape.outline->width);
}

void draw(Canvas &canvas, const Line &line, double twipsPerPixel)
{
    if (!line.Visible)
        return;
    canvas.drawLine(pointOf(line.X1, line.Y1, twipsPerPixel),
                    pointOf(line.X2, line.Y2, twipsPerPixel), line.BorderColor, penWidth(line));
}

void draw(Canvas &canvas, const Label &label, double twipsPerPixel)
{
    const RectF box = toPixels(label.box, twipsPerPixel);
    if (label.backColor)
        canvas.fillRect(box, *label.backColor);
    if (label.Caption.get().empty())
        return;
    canvas.setFont(label.font);
    drawCaption(canvas, box, label.Caption, label.foreColor);
}

void draw(Canvas &canvas, const Image &image, double twipsPerPixel)
{
    drawBell(canvas, pictureBox(image, twipsPerPixel));
}

bool isBlank(char c)
{
    return c == ' ';
}

// The text without its trailing blanks.
std::string_view trimmedRight(std::string_view text)
{
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

RectF toPixels(const Box &box, double twipsPerPixel)
{
    return {box.left / twipsPerPixel, box.top / twipsPerPixel, box.width / twipsPerPixel,
            box.height / twipsPerPixel};
}

RectF controlBounds(const DrawnControl &control, double twipsPerPixel)
{
    struct Bounds
    {
        double tpp;
        RectF operator()(const Shape *shape) const
        {
            const double pen = shape->outline ? shape->outline->width : 0;
            return circleOf(*shape, tpp).adjusted(-pen - 1, -pen - 1, pen + 1, pen + 1);
        }
        RectF operator()(const Line *line) const
        {
            const double reach = penWidth(*line) / 2.0 + 1;
            return RectF::spanning(pointOf(line->X1, line->Y1, tpp),
                                   pointOf(line->X2, line->Y2, tpp))
                .adjusted(-reach, -reach, reach, reach);
        }
        RectF operator()(const Label *label) const { return toPixels(label->box, tpp); }
        RectF operator()(const Image *image) const { return pictureBox(*image, tpp); }
    };
    return std::visit(Bounds{twipsPerPixel}, control);
}

void paintFocusMark(Canvas &canvas, const RectF &bounds)
{
    const RectF frame = bounds.adjusted(-2, -2, 2, 2);
    Path path;
    path.moveTo({frame.left, frame.top});
    path.lineTo({frame.right(), frame.top});
    path.lineTo({frame.right(), frame.bottom()});
    path.lineTo({frame.left, frame.bottom()});
    path.close();
    canvas.outlinePath(path, 0x000000, 2);
}

RectF focusMarkBounds(const RectF &bounds)
{
    return bounds.adjusted(-4, -4, 4, 4).aligned();
}

std::vector<std::string> breakLines(Canvas &canvas, const std::string &caption, double width)
{
    // Words with the blanks in front of them; the first keeps its leading blanks.
    std::vector<std::string> lines;
    std::string line;
    std::size_t at = 0;
    while (at < caption.size()) {
        std::size_t wordStart = at;
        while (wordStart < caption.size() && isBlank(caption[wordStart]))
            ++wordStart;
        std::size_t wordEnd = wordStart;
        while (wordEnd < caption.size() && !isBlank(caption[wordEnd]))
            ++wordEnd;
        const std::string_view blanks(caption.data() + at, wordStart - at);
        const std::string_view word(caption.data() + wordStart, wordEnd - wordStart);
        std::string longer = line;
        longer.append(blanks).append(word);
        if (line.empty() || word.empty() || canvas.textWidth(longer) <= width) {
            line = std::move(longer);
        } else {
            lines.push_back(std::move(line));
            line = std::string(word);
        }
        at = wordEnd;
    }
    lines.push_back(std::move(line));
    return lines;
}

void drawCaption(Canvas &canvas, const RectF &box, const std::string &caption, Colour colour)
{
    const FontMetrics metrics = canvas.fontMetrics();
    canvas.pushClip(box);
    // Lines follow one leading apart, each starting on a whole pixel below the box's top.
    double offset = 0;
    bool first = true;
    for (const std::string &line : breakLines(canvas, caption, box.width)) {
        if (!first)
            offset = std::ceil(offset + metrics.leading);
        first = false;
        if (offset >= box.height)
            break;
        const double lineWidth = canvas.textWidth(trimmedRight(line));
        canvas.drawText({box.left + (box.width - lineWidth) / 2, box.top + offset}, line, colour);
        offset += metrics.ascent + metrics.descent;
    }
    canvas.popClip();
}

void paintControls(Canvas &canvas, const WindowDescription &window, double twipsPerPixel,
                   const std::vector<RectF> &exposed, std::size_t first, std::size_t last)
{
    if (first == 0)
        for (const RectF &rect : exposed)
            canvas.fillRect(rect, window.Form.backColor);
    const auto &order = window.backToFront();
    last = std::min(last, order.size());
    for (std::size_t i = first; i < last; ++i) {
        const DrawnControl &control = order[i];
        const RectF bounds = controlBounds(control, twipsPerPixel).aligned();
        if (std::none_of(exposed.begin(), exposed.end(),
                         [&](const RectF &rect) { return rect.intersects(bounds); }))
            continue;
        std::visit([&](const auto *c) { draw(canvas, *c, twipsPerPixel); }, control);
    }
}

} // namespace vemo
