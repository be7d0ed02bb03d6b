// The icon files rendered at build time hold the program's own drawing of the clock face.

#include "platform/qt/pictures.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

std::uint32_t le32(const QByteArray &bytes, int at)
{
    return std::uint32_t(std::uint8_t(bytes[at])) | std::uint32_t(std::uint8_t(bytes[at + 1])) << 8 |
           std::uint32_t(std::uint8_t(bytes[at + 2])) << 16 |
           std::uint32_t(std::uint8_t(bytes[at + 3])) << 24;
}

TEST(IconFiles, ThemePngIsTheDrawnIcon)
{
    const QImage png(QStringLiteral(VEMO_ICON_PNG));
    ASSERT_FALSE(png.isNull());
    EXPECT_EQ(png.size(), QSize(48, 48));
    QImage drawn(48, 48, QImage::Format_RGB32);
    {
        QPainter painter(&drawn);
        vemo::drawClockIcon(painter, QRectF(0, 0, 48, 48));
    }
    EXPECT_EQ(png.convertToFormat(QImage::Format_RGB32), drawn);
}

TEST(IconFiles, WindowsIconHasThreeOpaque256ColourPictures)
{
    QFile file(QStringLiteral(VEMO_ICON_ICO));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_GE(bytes.size(), 6 + 3 * 16);
    EXPECT_EQ(bytes[0], 0);
    EXPECT_EQ(bytes[2], 1); // an icon
    ASSERT_EQ(bytes[4], 3);
    const int sizes[] = {16, 32, 48};
    for (int i = 0; i < 3; ++i) {
        const int entry = 6 + 16 * i;
        EXPECT_EQ(std::uint8_t(bytes[entry]), sizes[i]);
        EXPECT_EQ(bytes[entry + 6], 8); // bits per pixel
        const std::uint32_t length = le32(bytes, entry + 8), offset = le32(bytes, entry + 12);
        ASSERT_LE(offset + length, std::uint32_t(bytes.size()));
        EXPECT_EQ(le32(bytes, int(offset)), 40u);                  // BITMAPINFOHEADER
        EXPECT_EQ(le32(bytes, int(offset) + 8), 2u * sizes[i]);    // colour and mask rows
        EXPECT_EQ(std::uint8_t(bytes[int(offset) + 14]), 8);
        // The mask, after the header, the palette and the colour rows, is all opaque.
        const int maskStart = int(offset) + 40 + 1024 + (sizes[i] + 3) / 4 * 4 * sizes[i];
        for (int at = maskStart; at < int(offset + length); ++at)
            ASSERT_EQ(bytes[at], 0) << "transparent pixels in the " << sizes[i] << " px picture";
    }

    // Qt reads it back as the program's own 256-colour pictures, pixel for pixel.
    QImageReader reader(QStringLiteral(VEMO_ICON_ICO), "ico");
    ASSERT_TRUE(reader.canRead()) << reader.errorString().toStdString();
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(reader.jumpToImage(i));
        const QImage read = reader.read();
        ASSERT_FALSE(read.isNull()) << reader.errorString().toStdString();
        const QImage expected = vemo::clockIconPicture(read.width());
        EXPECT_EQ(expected.colorCount() <= 256, true);
        EXPECT_EQ(read.convertToFormat(QImage::Format_RGB32),
                  expected.convertToFormat(QImage::Format_RGB32))
            << read.width() << " px picture";
    }
}

} // namespace
