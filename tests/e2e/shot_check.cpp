// Checks pixel facts on a screenshot of the running clock.
//
//   shot_check <shot.png> <client-x> <client-y> <twips-per-pixel> <fact>...
//
// The client origin is the clock window's top-left on the screen, in screen pixels; twips are
// client coordinates of the window description (15 twips a pixel at 96 dpi). Colours are
// names (maroon black navy red orange paleyellow white blue) or #rrggbb. Facts:
//
//   along:<hand>:<degrees>:<colour>:<min share>[:<max share>][:<box>]
//       Points along the hand's segment (tail to tip, one a pixel): those inside <box> =
//       left,top,width,height in twips when given, else the middle 10 %..90 %; the share whose
//       pixel has the colour must lie in [min, max]. <hand>: second minute hour alarm.
//   box:<left,top,width,height>:<colour>:<min share>[:<max share>]
//       The share of the box's pixels that have the colour.
//   clock:<h>:<m>:<s lowest>:<s highest>
//       The second hand stands on the second of some s in the range (found as the one whose
//       line is most maroon), and the minute and hour hands where h:m:s puts them.
//   name:<text>:<min IoU>[:<worse text>|...]
//       The orange pixels of the name label against a rendering of <text> in the label's font;
//       each worse text must match less well.
//   time:<HH.MM.SS>:<min IoU>[:<worse>|...]
//       The same for the time label's green, the time written with dots.
//   circle:<root.png>:<left>:<top>:<right>:<bottom>:<tolerance px>
//       Pixels that differ from the root window's screenshot have this bounding box (screen
//       pixels, right and bottom exclusive); outside the inscribed circle nothing differs.
//       With a last field "size", black pixels count as unchanged and only the box is checked.
//   edge:<x,y>:<dx,dy>:<length px>:<colour A>:<colour B>:<max blend px>
//       Walking from the twips point in the pixel direction, colour A gives way to colour B
//       (and maybe back) with at most <max blend px> pixels of neither on each crossing.
//
// Prints one line per fact; exits 1 when any fails.

#include "harness/screenshot.h"
#include "platform/qt/fonts.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QStringList>

#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>

namespace {

// The clock places its hands with 22/7 for pi; so does this check.
constexpr double kP = 22.0 / 7.0;
constexpr double kCentre = 5527; // twips, both axes

QImage shot;
double originX = 0, originY = 0, tpp = 15;

QColor colourNamed(const QString &name)
{
    static const std::map<QString, QColor> names{
        {"maroon", QColor(128, 0, 0)},    {"black", QColor(0, 0, 0)},
        {"navy", QColor(0, 0, 128)},      {"red", QColor(255, 0, 0)},
        {"orange", QColor(255, 128, 0)},  {"paleyellow", QColor(255, 255, 128)},
        {"white", QColor(255, 255, 255)}, {"blue", QColor(0, 0, 255)},
        {"olive", QColor(192, 192, 0)},
    };
    const auto found = names.find(name);
    return found != names.end() ? found->second : QColor(name);
}

bool near(QColor a, QColor b, int tolerance = 40)
{
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

// The screenshot's pixel under a client point in twips.
std::optional<QColor> pixelAtTwips(double x, double y)
{
    const QPoint p(static_cast<int>(std::floor(originX + x / tpp)),
                   static_cast<int>(std::floor(originY + y / tpp)));
    if (!shot.rect().contains(p))
        return std::nullopt;
    return shot.pixelColor(p);
}

struct Hand
{
    double tipX, tipY, tail; // twips
};

std::optional<Hand> handNamed(const QString &name)
{
    if (name == "second")
        return Hand{5000, 5000, 1000};
    if (name == "minute")
        return Hand{4000, 4000, 900};
    if (name == "hour")
        return Hand{2700, 2500, 800};
    if (name == "alarm")
        return Hand{3600, 3600, 0};
    return std::nullopt;
}

QRectF boxOf(const QString &text)
{
    const QStringList v = text.split(',');
    if (v.size() != 4)
        return {};
    return QRectF(v[0].toDouble(), v[1].toDouble(), v[2].toDouble(), v[3].toDouble());
}

// The share of points along the hand's middle whose pixel has the colour; -1 for no points.
double shareAlong(const Hand &hand, double degrees, const QColor &colour, const QRectF &box)
{
    const double a = degrees * kP / 180;
    const QPointF tail(kCentre - hand.tail * std::cos(a), kCentre - hand.tail * std::sin(a));
    const QPointF tip(kCentre + hand.tipX * std::cos(a), kCentre + hand.tipY * std::sin(a));
    const double lengthPx = std::hypot(tip.x() - tail.x(), tip.y() - tail.y()) / tpp;
    int hits = 0, samples = 0;
    // With a box, the whole segment; else its middle, away from the centre's crossings.
    const double from = box.isNull() ? 0.1 : 0, to = box.isNull() ? 0.9 : 1;
    for (double f = from; f <= to; f += 1.0 / lengthPx) {
        const QPointF p = tail + f * (tip - tail);
        if (!box.isNull() && !box.contains(p))
            continue;
        const auto pixel = pixelAtTwips(p.x(), p.y());
        if (!pixel)
            continue;
        ++samples;
        hits += near(*pixel, colour);
    }
    return samples ? static_cast<double>(hits) / samples : -1;
}

bool report(bool ok, const QString &fact, const QString &detail)
{
    std::printf("%s %s: %s\n", ok ? "ok  " : "FAIL", qPrintable(fact), qPrintable(detail));
    return ok;
}

bool checkAlong(const QStringList &f, const QString &fact)
{
    const auto hand = handNamed(f.value(1));
    if (f.size() < 5 || !hand)
        return report(false, fact, "malformed");
    const double min = f[4].toDouble();
    const double max = f.size() > 5 && !f[5].isEmpty() ? f[5].toDouble() : 1.0;
    const QRectF box = f.size() > 6 ? boxOf(f[6]) : QRectF();
    const double share = shareAlong(*hand, f[2].toDouble(), colourNamed(f[3]), box);
    return report(share >= min && share <= max, fact, QString("share %1").arg(share, 0, 'f', 3));
}

bool checkBox(const QStringList &f, const QString &fact)
{
    const QRectF box = boxOf(f.value(1));
    if (f.size() < 4 || box.isNull())
        return report(false, fact, "malformed");
    const QColor colour = colourNamed(f[2]);
    int hits = 0, samples = 0;
    for (double y = box.top() + tpp / 2; y < box.bottom(); y += tpp)
        for (double x = box.left() + tpp / 2; x < box.right(); x += tpp) {
            const auto pixel = pixelAtTwips(x, y);
            ++samples;
            hits += pixel && near(*pixel, colour);
        }
    const double share = samples ? double(hits) / samples : 0;
    const double max = f.size() > 4 ? f[4].toDouble() : 1.0;
    return report(share >= f[3].toDouble() && share <= max, fact,
                  QString("share %1").arg(share, 0, 'f', 3));
}

bool checkClock(const QStringList &f, const QString &fact)
{
    if (f.size() != 5)
        return report(false, fact, "malformed");
    const double h = f[1].toDouble(), m = f[2].toDouble();
    const QColor maroon = colourNamed("maroon");
    int best = -1;
    double bestShare = -1;
    for (int s = 0; s < 60; ++s) {
        const double share = shareAlong(*handNamed("second"), s * 6 - 90, maroon, {});
        if (share > bestShare) {
            bestShare = share;
            best = s;
        }
    }
    bool ok = report(best >= f[3].toInt() && best <= f[4].toInt() && bestShare >= 0.8, fact,
                     QString("second hand on second %1, share %2").arg(best).arg(bestShare));
    // Away from the centre, where the hands cross one another.
    const double minute = m * 6 - 90 + best / 10.0;
    const double hour = h * 30 - 90 + (m * 60 + best) / 120.0;
    const double minuteShare = shareAlong(*handNamed("minute"), minute, colourNamed("black"), {});
    const double hourShare = shareAlong(*handNamed("hour"), hour, colourNamed("navy"), {});
    ok &= report(minuteShare >= 0.6, fact,
                 QString("minute hand at %1 degrees, share %2").arg(minute).arg(minuteShare));
    ok &= report(hourShare >= 0.65, fact,
                 QString("hour hand at %1 degrees, share %2").arg(hour).arg(hourShare));
    // A hand off by a quarter of an hour's worth of its own travel would not match.
    const double wrongHour = shareAlong(*handNamed("hour"), hour + 15, colourNamed("navy"), {});
    ok &= report(wrongHour < 0.3, fact,
                 QString("no hour hand at %1 degrees, share %2").arg(hour + 15).arg(wrongHour));
    return ok;
}

// A label's text as the clock draws it: its box in twips, its face and its colour. The text is
// checked by the pixels of the label's colour, against a rendering of the text in the face;
// pixels where the screenshot has a dark hand over the label count in neither picture.
struct LabelText
{
    QRectF box; // twips
    vemo::Font font;
    QColor colour;
    QColor background;
};

const LabelText kNameLabel{{1920, 6240, 7215, 1215},
                           {"Monotype Corsiva", 48, 400, true},
                           QColor(255, 128, 0),
                           QColor(255, 255, 128)};
const LabelText kTimeLabel{
    {4320, 2520, 2415, 495}, {"Tahoma", 18, 700, false}, QColor(0, 192, 0), QColor(255, 255, 128)};

bool inked(QColor c, QColor ink)
{
    return near(c, ink, 60);
}
bool dark(QColor c)
{
    return c.red() < 120 && c.green() < 120;
}

double iou(const QImage &rendered, const QImage &seen, QColor ink)
{
    int both = 0, either = 0;
    for (int y = 0; y < seen.height(); ++y)
        for (int x = 0; x < seen.width(); ++x) {
            const QColor s = seen.pixelColor(x, y);
            if (dark(s))
                continue;
            const bool a = inked(rendered.pixelColor(x, y), ink), b = inked(s, ink);
            both += a && b;
            either += a || b;
        }
    return either ? double(both) / either : 0;
}

QImage renderText(const LabelText &label, const QString &text, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(label.background);
    QPainter painter(&image);
    painter.setFont(vemo::qtFont(label.font));
    painter.setPen(label.colour);
    painter.drawText(QRectF(QPointF(0, 0), size),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, text);
    return image;
}

// <label>:<text>:<min IoU>[:<worse text>|...]
bool checkText(const LabelText &label, const QStringList &f, const QString &fact)
{
    if (f.size() < 3)
        return report(false, fact, "malformed");
    const QRect box(static_cast<int>(std::round(originX + label.box.x() / tpp)),
                    static_cast<int>(std::round(originY + label.box.y() / tpp)),
                    static_cast<int>(std::round(label.box.width() / tpp)),
                    static_cast<int>(std::round(label.box.height() / tpp)));
    const QImage seen = shot.copy(box);
    const double expected = iou(renderText(label, f[1], box.size()), seen, label.colour);
    bool ok = report(expected >= f[2].toDouble(), fact, QString("IoU %1").arg(expected, 0, 'f', 3));
    if (f.size() > 3)
        for (const QString &worse : f[3].split('|', Qt::SkipEmptyParts)) {
            const double other = iou(renderText(label, worse, box.size()), seen, label.colour);
            ok &= report(other < expected, fact,
                         QString("\"%1\" matches worse: IoU %2").arg(worse).arg(other, 0, 'f', 3));
        }
    return ok;
}

bool checkName(const QStringList &f, const QString &fact)
{
    return checkText(kNameLabel, f, fact);
}

// The time is written with colons, which also separate a fact's fields: HH.MM.SS here.
bool checkTime(QStringList f, const QString &fact)
{
    for (int i = 1; i < f.size(); ++i)
        if (i != 2)
            f[i].replace('.', ':');
    return checkText(kTimeLabel, f, fact);
}

bool checkCircle(const QStringList &f, const QString &fact)
{
    if (f.size() != 7 && f.size() != 8)
        return report(false, fact, "malformed");
    // "size": only the circle's size and place; black pixels count as the root's.
    const bool sizeOnly = f.size() == 8 && f[7] == "size";
    const QImage root = vemo::test::loadScreenshot(f[1]).convertToFormat(QImage::Format_RGB32);
    if (root.size() != shot.size())
        return report(false, fact, "root screenshot missing or of another size");
    QRect changed;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (shot.pixel(x, y) != root.pixel(x, y) && !(sizeOnly && qGray(shot.pixel(x, y)) < 8))
                changed |= QRect(x, y, 1, 1);
    const int tolerance = f[6].toInt();
    const QRect expected(QPoint(f[2].toInt(), f[3].toInt()),
                         QPoint(f[4].toInt() - 1, f[5].toInt() - 1));
    const auto close = [&](int a, int b) { return std::abs(a - b) <= tolerance; };
    bool ok = report(
        close(changed.left(), expected.left()) && close(changed.top(), expected.top()) &&
            close(changed.right(), expected.right()) && close(changed.bottom(), expected.bottom()),
        fact,
        QString("changed pixels span (%1,%2)-(%3,%4)")
            .arg(changed.left())
            .arg(changed.top())
            .arg(changed.right() + 1)
            .arg(changed.bottom() + 1));
    if (sizeOnly)
        return ok;
    // Round, not square: the bounding box's corners, beyond the circle, are the root's, and
    // nearly all of the inside is the clock's.
    const QPointF c = QRectF(expected).center();
    const double r = expected.width() / 2.0;
    int outsideChanged = 0, inside = 0, insideChanged = 0;
    for (int y = expected.top(); y <= expected.bottom(); ++y)
        for (int x = expected.left(); x <= expected.right(); ++x) {
            const double d = std::hypot(x + 0.5 - c.x(), y + 0.5 - c.y());
            const bool differs = shot.pixel(x, y) != root.pixel(x, y);
            if (d > r + tolerance)
                outsideChanged += differs;
            else if (d < r - tolerance) {
                ++inside;
                insideChanged += differs;
            }
        }
    ok &= report(outsideChanged == 0, fact,
                 QString("%1 changed pixels outside the circle").arg(outsideChanged));
    ok &= report(insideChanged > 0.97 * inside, fact,
                 QString("%1 of %2 pixels inside changed").arg(insideChanged).arg(inside));
    return ok;
}

bool checkEdge(const QStringList &f, const QString &fact)
{
    if (f.size() != 7)
        return report(false, fact, "malformed");
    const QStringList from = f[1].split(','), step = f[2].split(',');
    const QColor a = colourNamed(f[4]), b = colourNamed(f[5]);
    const int maxBlend = f[6].toInt();
    QPointF p(originX + from.value(0).toDouble() / tpp, originY + from.value(1).toDouble() / tpp);
    const QPointF d(step.value(0).toDouble(), step.value(1).toDouble());
    QString trace;
    int blend = 0, worstBlend = 0, crossings = 0, run = 0, longestB = 0;
    int last = -1; // 0: A, 1: B
    for (int i = 0; i < f[3].toInt(); ++i, p += d) {
        const QColor c = shot.pixelColor(QPoint(int(std::floor(p.x())), int(std::floor(p.y()))));
        const int kind = near(c, a, 24) ? 0 : near(c, b, 24) ? 1 : 2;
        trace += QString("0AB?")[kind + 1];
        if (kind == 2) {
            ++blend;
            continue;
        }
        if (last != -1 && kind != last) {
            ++crossings;
            worstBlend = std::max(worstBlend, blend);
        }
        run = kind == 1 ? (last == 1 ? run + 1 : 1) : 0;
        longestB = std::max(longestB, run);
        blend = 0;
        last = kind;
    }
    return report(
        crossings >= 1 && worstBlend <= maxBlend && longestB >= 2, fact,
        QString("%1 (%2 crossings, widest blend %3 px)").arg(trace).arg(crossings).arg(worstBlend));
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 6) {
        std::fprintf(stderr,
                     "usage: %s <shot.png> <client-x> <client-y> <twips-per-pixel> <fact>...\n",
                     argv[0]);
        return 2;
    }
    QGuiApplication app(argc, argv); // fonts for the name's rendering
    shot = vemo::test::loadScreenshot(QString::fromLocal8Bit(argv[1]))
               .convertToFormat(QImage::Format_RGB32);
    if (shot.isNull()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    originX = std::atof(argv[2]);
    originY = std::atof(argv[3]);
    tpp = std::atof(argv[4]);

    const std::map<QString, std::function<bool(const QStringList &, const QString &)>> checks{
        {"along", checkAlong}, {"box", checkBox},       {"clock", checkClock}, {"name", checkName},
        {"time", checkTime},   {"circle", checkCircle}, {"edge", checkEdge},
    };
    bool ok = true;
    for (int i = 5; i < argc; ++i) {
        const QString fact = QString::fromUtf8(argv[i]);
        const QStringList fields = fact.split(':');
        const auto check = checks.find(fields.value(0));
        ok &= check != checks.end() ? check->second(fields, fact)
                                    : report(false, fact, "unknown fact");
    }
    return ok ? 0 : 1;
}
