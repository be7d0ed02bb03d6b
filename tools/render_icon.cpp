// Renders the clock's icon for installation: a 48 x 48 PNG for the hicolor theme, and the
// Windows icon file with 16, 32 and 48 pixel pictures of 256 colours (8 bits per pixel, no
// transparent pixels). Qt writes icon files only in 32 bits, so the ICO container is written
// by icon_file.h.
//
//   vemo_render_icon <out.png> <out.ico>
//
// Runs without a display: QT_QPA_PLATFORM=offscreen.

#include "icon_file.h"
#include "platform/qt/pictures.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

// A picture of the program's in the icon file's terms: its palette and its palette indices.
vemo::icon::Picture iconPicture(const QImage &picture)
{
    const QImage image = picture.format() == QImage::Format_Indexed8
                             ? picture
                             : picture.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    vemo::icon::Picture icon;
    icon.size = image.width();
    for (const QRgb rgb : image.colorTable())
        icon.palette.push_back(rgb & 0xFFFFFF);
    for (int y = 0; y < image.height(); ++y)
        icon.pixels.insert(icon.pixels.end(), image.constScanLine(y),
                           image.constScanLine(y) + image.width());
    return icon;
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

    const std::vector<char> ico = vemo::icon::iconFile({iconPicture(vemo::clockIconPicture(16)),
                                                        iconPicture(vemo::clockIconPicture(32)),
                                                        iconPicture(vemo::clockIconPicture(48))});
    QFile file(QString::fromLocal8Bit(argv[2]));
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(ico.data(), static_cast<qint64>(ico.size())) != static_cast<qint64>(ico.size())) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
        return 1;
    }
    return 0;
}
