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

// Line widths of 0 draw as 1 pixel, as the toolkit's pens do.
double penWidth(const Line &line)
{
    return std::max<int>(1, line.BorderWidth);
}

// How far from its centre line a line's pixels reach: half its pen and a pixel of antialiasing.
double reachOf(const Line &line)
{
    return penWidth(line) / 2.0 + 1;
}

// Whether the segment from `a` to `b` passes through `rect` (Liang and Barsky's clipping: the
// part of the segment's parameter range left inside all four edges).
bool segmentCrosses(PointF a, PointF b, const RectF &rect)
{
    double enter = 0, leave = 1;
    const double dx = b.x - a.x, dy = b.y - a.y;
    const auto clip = [&](double towards, double room) {
        if (towards == 0)
            return room >= 0;
        const double t = room / towards;
        if (towards < 0)
            enter = std::max(enter, t);
        else
            leave = std::min(leave, t);
        return enter <= leave;
    };
    return clip(-dx, a.x - rect.left) && clip(dx, rect.right() - a.x) &&
           clip(-dy, a.y - rect.top) && clip(dy, rect.bottom() - a.y);
}

// A disc's pixels further inside than this from its edge (or from its outline's inner edge) are
// wholly covered, whatever the antialiasing and the curves that approximate the circle.
constexpr double kWhollyInside = 1.5;

// Whether every pixel of `rect` lies wholly inside the disc of `shape`, clear of its outline:
// there the shape paints nothing but its fill colour.
bool insideFill(const Shape &shape, const RectF &circle, const RectF &rect)
{
    const double pen = shape.outline ? shape.outline->width / 2.0 : 0;
    const double radius = circle.width / 2 - pen - kWhollyInside;
    const PointF c = circle.centre();
    const double dx = std::max(std::abs(rect.left - c.x), std::abs(rect.right() - c.x));
    const double dy = std::max(std::abs(rect.top - c.y), std::abs(rect.bottom() - c.y));
    return radius > 0 && dx * dx + dy * dy <= radius * radius;
}

RectF pictureBox(const Image &image, double twipsPerPixel)
{
    return {image.box.left / twipsPerPixel, image.box.top / twipsPerPixel, kPictureSize,
            kPictureSize};
}

// Each draw paints a control where it meets the `exposed` rectangles (those it touches).
void draw(Canvas &canvas, const Shape &shape, double twipsPerPixel,
          const std::vector<const RectF *> &exposed)
{
    const RectF circle = circleOf(shape, twipsPerPixel);
    // Within the disc a rectangle takes the fill colour, which costs far less than the whole
    // disc drawn under a clip.
    if (std::all_of(exposed.begin(), exposed.end(),
                    [&](const RectF *rect) { return insideFill(shape, circle, *rect); })) {
        for (const RectF *rect : exposed)
            canvas.fillRect(*rect, shape.fillColor);
        return;
    }
    canvas.fillEllipse(circle, shape.fillColor);
    if (shape.outline)
        canvas.outlineEllipse(circle, shape.outline->colour, shape.outline->width);
}

void draw(Canvas &canvas, const Line &line, double twipsPerPixel,
          const std::vector<const RectF *> &)
{
    if (!line.Visible)
        return;
    const LineEnds ends = lineEnds(line, twipsPerPixel);
    canvas.drawLine(ends.from, ends.to, line.BorderColor, penWidth(line));
}

void draw(Canvas &canvas, const Label &label, double twipsPerPixel,
          const std::vector<const RectF *> &)
{
    const RectF box = toPixels(label.box, twipsPerPixel);
    if (label.backColor)
        canvas.fillRect(box, *label.backColor);
    if (label.Caption.get().empty())
        return;
    canvas.setFont(label.font);
    drawCaption(canvas, box, label.Caption, label.foreColor);
}

void draw(Canvas &canvas, const Image &image, double twipsPerPixel,
          const std::vector<const RectF *> &)
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

// Whether a control's pixels can reach into `rect`, which meets its bounds: a slanted line
// passes by most of its bounding box.
bool touches(const DrawnControl &control, const RectF &rect, double twipsPerPixel)
{
    const auto *const *line = std::get_if<const Line *>(&control);
    if (!line)
        return true;
    const double reach = reachOf(**line);
    const LineEnds ends = lineEnds(**line, twipsPerPixel);
    return segmentCrosses(ends.from, ends.to, rect.adjusted(-reach, -reach, reach, reach));
}

} // namespace

// Where a line is drawn: its ends in pixels, on the grid on which a line of its width along an
// axis covers whole pixels (pixel corners for an even width, centres for an odd one). A hand
// then moves when its ends move a pixel rather than at every tick's sliver of one, and it is
// painted again only then.
LineEnds lineEnds(const Line &line, double twipsPerPixel)
{
    const double offset = static_cast<int>(penWidth(line)) % 2 ? 0.5 : 0;
    const auto onGrid = [&](double twips) {
        return std::round(twips / twipsPerPixel - offset) + offset;
    };
    return {{onGrid(line.X1), onGrid(line.Y1)}, {onGrid(line.X2), onGrid(line.Y2)}};
}

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
            const double reach = reachOf(*line);
            const LineEnds ends = lineEnds(*line, tpp);
            return RectF::spanning(ends.from, ends.to).adjusted(-reach, -reach, reach, reach);
        }
        RectF operator()(const Label *label) const { return toPixels(label->box, tpp); }
        RectF operator()(const Image *image) const { return pictureBox(*image, tpp); }
    };
    return std::visit(Bounds{twipsPerPixel}, control);
}

std::vector<RectF> controlFootprint(const DrawnControl &control, double twipsPerPixel)
{
    const auto *const *line = std::get_if<const Line *>(&control);
    if (!line)
        return {controlBounds(control, twipsPerPixel).aligned()};
    const auto [a, b] = lineEnds(**line, twipsPerPixel);
    const auto along = [&](double t) {
        return PointF{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
    };
    // A handful of pieces: each piece's box holds little besides the line, and each rectangle a
    // window repaints costs it about what a thousand of its pixels do.
    const double reach = reachOf(**line);
    const double across = std::min(std::abs(b.x - a.x), std::abs(b.y - a.y));
    const int pieces = std::clamp(static_cast<int>(std::ceil(across / 40)), 1, 8);
    std::vector<RectF> footprint;
    for (int i = 0; i < pieces; ++i)
        footprint.push_back(
            RectF::spanning(along(double(i) / pieces), along(double(i + 1) / pieces))
                .adjusted(-reach, -reach, reach, reach)
                .aligned());
    return footprint;
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
    std::vector<const RectF *> touched;
    for (std::size_t i = first; i < last; ++i) {
        const DrawnControl &control = order[i];
        const RectF bounds = controlBounds(control, twipsPerPixel).aligned();
        touched.clear();
        for (const RectF &rect : exposed)
            if (rect.intersects(bounds) && touches(control, rect, twipsPerPixel))
                touched.push_back(&rect);
        if (!touched.empty())
            std::visit([&](const auto *c) { draw(canvas, *c, twipsPerPixel, touched); }, control);
    }
}

} // namespace vemo
