#pragma once

// Loads a screenshot: a picture file QImage reads, or a copy of Xvfb's framebuffer file (-fbdir),
// which is an XWD image of the screen, 32 bits a pixel.

#include <QFile>
#include <QImage>
#include <QString>

#include <cstdint>
#include <cstring>

namespace vemo::test {

inline QImage loadScreenshot(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = file.readAll();
    // The XWD header: 25 big-endian 32-bit fields; version 7, ZPixmap, the window name after it.
    const auto field = [&](int i) -> std::uint32_t {
        const auto *p = reinterpret_cast<const unsigned char *>(data.constData()) + 4 * i;
        return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 |
               p[3];
    };
    if (data.size() < 100 || field(1) != 7 || field(2) != 2)
        return QImage::fromData(data);
    const std::uint32_t headerSize = field(0), width = field(4), height = field(5),
                        lsbFirst = field(7) == 0, bitsPerPixel = field(11),
                        bytesPerLine = field(12), colours = field(19);
    const std::size_t pixels = headerSize + std::size_t{colours} * 12;
    if (bitsPerPixel != 32 || !lsbFirst ||
        pixels + std::size_t{bytesPerLine} * height > std::size_t(data.size()))
        return {};
    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    for (std::uint32_t y = 0; y < height; ++y)
        std::memcpy(image.scanLine(static_cast<int>(y)),
                    data.constData() + pixels + std::size_t{y} * bytesPerLine,
                    std::size_t{width} * 4);
    return image;
}

} // namespace vemo::test
