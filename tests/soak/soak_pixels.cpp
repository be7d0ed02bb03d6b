// Counts pixels of one of the clock's text colours in a box of a screenshot.
//
//   soak_pixels count <png> <left> <top> <right> <bottom> <colour>
//       pixels of <colour> in the box (screen pixels, right and bottom exclusive)
//   soak_pixels diff <left> <top> <right> <bottom> <colour> <a.png[,a2.png...]> <b.png[,...]>
//       pixels of <colour> in one group's shots and not in the other's, either way round. A
//       pixel counts as the colour when any shot of its group has it there. The hands move over
//       the labels (near midnight the minute and hour hands lie across the date): a pixel that
//       is dark in any shot of either group, or next to one that is, is left out.
//
// Colours: purple (date and weekday labels, RGB 192,0,192), orange (the name, 255,128,0).

#include <QColor>
#include <QImage>

#include "harness/screenshot.h"
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Box
{
    int left, top, right, bottom;
};

bool near(QRgb pixel, QRgb colour)
{
    // Anti-aliased edges blend with the pale yellow face; 48 keeps their cores and leaves the
    // face, the hands and the other labels' colours out.
    const int dr = qRed(pixel) - qRed(colour);
    const int dg = qGreen(pixel) - qGreen(colour);
    const int db = qBlue(pixel) - qBlue(colour);
    return dr * dr + dg * dg + db * db < 48 * 48;
}

bool colourNamed(const std::string &name, QRgb &colour)
{
    if (name == "purple")
        colour = qRgb(192, 0, 192);
    else if (name == "orange")
        colour = qRgb(255, 128, 0);
    else
        return false;
    return true;
}

QImage load(const QString &file)
{
    QImage image = vemo::test::loadScreenshot(file);
    if (image.isNull()) {
        std::fprintf(stderr, "soak_pixels: cannot read %s\n", qPrintable(file));
        std::exit(2);
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

// The hands' colours (black, navy, maroon) and their anti-aliased edges over the face and the
// labels: no channel as bright as the labels' own.
bool dark(QRgb pixel)
{
    return std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)}) < 160;
}

// One flag a pixel of the box: set where any of the shots shows the colour, or with `dark`,
// where any shot has a dark pixel at it or next to it.
std::vector<bool> mask(const QStringList &files, const Box &box, QRgb colour, bool dark = false)
{
    const int w = box.right - box.left, h = box.bottom - box.top;
    std::vector<bool> flags(std::size_t(w) * std::size_t(h), false);
    for (const QString &file : files) {
        const QImage image = load(file);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int sx = box.left + x, sy = box.top + y;
                if (sx < 0 || sy < 0 || sx >= image.width() || sy >= image.height())
                    continue;
                if (!dark && near(image.pixel(sx, sy), colour))
                    flags[std::size_t(y) * std::size_t(w) + std::size_t(x)] = true;
                if (dark && ::dark(image.pixel(sx, sy)))
                    for (int dy = -1; dy <= 1; ++dy)
                        for (int dx = -1; dx <= 1; ++dx)
                            if (x + dx >= 0 && x + dx < w && y + dy >= 0 && y + dy < h)
                                flags[std::size_t(y + dy) * std::size_t(w) + std::size_t(x + dx)] =
                                    true;
            }
    }
    return flags;
}

int usage()
{
    std::fprintf(stderr, "usage: soak_pixels count <png> <l> <t> <r> <b> <colour>\n"
                         "       soak_pixels diff <l> <t> <r> <b> <colour> <a,...> <b,...>\n");
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2)
        return usage();
    const std::string command = argv[1];
    QRgb colour = 0;
    if (command == "count" && argc == 8) {
        const Box box{std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]),
                      std::atoi(argv[6])};
        if (!colourNamed(argv[7], colour) || box.right <= box.left || box.bottom <= box.top)
            return usage();
        std::size_t n = 0;
        for (bool flag : mask({QString::fromLocal8Bit(argv[2])}, box, colour))
            n += flag;
        std::printf("%zu\n", n);
        return 0;
    }
    if (command == "diff" && argc == 9) {
        const Box box{std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]),
                      std::atoi(argv[5])};
        if (!colourNamed(argv[6], colour) || box.right <= box.left || box.bottom <= box.top)
            return usage();
        const QStringList groupA = QString::fromLocal8Bit(argv[7]).split(',');
        const QStringList groupB = QString::fromLocal8Bit(argv[8]).split(',');
        const auto a = mask(groupA, box, colour);
        const auto b = mask(groupB, box, colour);
        const auto handA = mask(groupA, box, colour, true);
        const auto handB = mask(groupB, box, colour, true);
        std::size_t n = 0, inA = 0, inB = 0;
        for (std::size_t i = 0; i < a.size(); ++i) {
            n += a[i] != b[i] && !handA[i] && !handB[i];
            inA += a[i];
            inB += b[i];
        }
        std::printf("%zu %zu %zu\n", n, inA, inB);
        return 0;
    }
    return usage();
}
