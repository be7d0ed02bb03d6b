// Renders the clock's icon for installation: a 48 x 48 PNG for the hicolor theme, and the
// Windows icon file with 16, 32 and 48 pixel pictures of 256 colours (8 bits per pixel, no
// transparent pixels). Qt writes icon files only in 32 bits, so the ICO container is written
// here.
//
//   vemo_render_icon <out.png> <out.ico>
//
// Runs without a display: QT_QPA_PLATFORM=offscreen.

#include "platform/qt/pictures.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

void put16(std::vector<char> &out, unsigned value)
{
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void put32(std::vector<char> &out, std::uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// One icon picture as the icon file stores it: a BITMAPINFOHEADER with twice the height, the
// 256-entry palette, the colour rows bottom-up, then the 1-bit mask rows (all zero: opaque).
std::vector<char> iconImage(const QImage &picture)
{
    const QImage image = picture.format() == QImage::Format_Indexed8
                             ? picture
                             : picture.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    const int size = image.width();
    const int colourRow = (size + 3) / 4 * 4;       // bytes, padded to 32 bits
    const int maskRow = ((size + 31) / 32) * 4;     // bytes, 1 bit a pixel
    std::vector<char> out;
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(size));
    put32(out, static_cast<std::uint32_t>(size * 2));
    put16(out, 1); // planes
    put16(out, 8); // bits per pixel
    put32(out, 0); // no compression
    put32(out, static_cast<std::uint32_t>((colourRow + maskRow) * size));
    put32(out, 0);
    put32(out, 0);
    put32(out, 256); // colours used
    put32(out, 0);
    const QList<QRgb> table = image.colorTable();
    for (int i = 0; i < 256; ++i) {
        const QRgb rgb = i < table.size() ? table[i] : qRgb(0, 0, 0);
        out.push_back(static_cast<char>(qBlue(rgb)));
        out.push_back(static_cast<char>(qGreen(rgb)));
        out.push_back(static_cast<char>(qRed(rgb)));
        out.push_back(0);
    }
    for (int y = size - 1; y >= 0; --y) {
        const uchar *line = image.constScanLine(y);
        for (int x = 0; x < colourRow; ++x)
            out.push_back(x < size ? static_cast<char>(line[x]) : 0);
    }
    out.insert(out.end(), static_cast<std::size_t>(maskRow * size), 0);
    return out;
}

std::vector<char> iconFile(const std::vector<QImage> &pictures)
{
    std::vector<char> out;
    put16(out, 0);
    put16(out, 1); // an icon, not a cursor
    put16(out, static_cast<unsigned>(pictures.size()));
    std::vector<std::vector<char>> images;
    for (const QImage &picture : pictures)
        images.push_back(iconImage(picture));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * pictures.size());
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const int size = pictures[i].width();
        out.push_back(static_cast<char>(size >= 256 ? 0 : size));
        out.push_back(static_cast<char>(size >= 256 ? 0 : size));
        out.push_back(0); // 0: 256 colours
        out.push_back(0);
        put16(out, 1); // planes
        put16(out, 8); // bits per pixel
        put32(out, static_cast<std::uint32_t>(images[i].size()));
        put32(out, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const auto &image : images)
        out.insert(out.end(), image.begin(), image.end());
    return out;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <out.png> <out.ico>\n", argv[0]);
        return 2;
    }
    QGuiApplication app(argc, argv);

    // The theme's picture in full colour, antialiased.
    QImage png(48, 48, QImage::Format_RGB32);
    {
        QPainter painter(&png);
        vemo::drawClockIcon(painter, QRectF(0, 0, 48, 48));
    }
    if (!png.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }

    const std::vector<char> ico = iconFile(
        {vemo::clockIconPicture(16), vemo::clockIconPicture(32), vemo::clockIconPicture(48)});
    QFile file(QString::fromLocal8Bit(argv[2]));
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(ico.data(), static_cast<qint64>(ico.size())) != static_cast<qint64>(ico.size())) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
        return 1;
    }
    return 0;
}
