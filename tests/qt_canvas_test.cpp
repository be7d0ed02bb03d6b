// The Qt canvas draws a hand's round ends as discs beside a flat-capped line: the pixels must be
// those of a round-capped pen, whatever the slant and width.

#include "platform/qt/qt_canvas.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <tuple>

namespace vemo::testing {
namespace {

constexpr Colour kNavy = 0x800000; // 0x00BBGGRR

QImage blank()
{
    QImage image(200, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

int largestChannelDifference(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

class RoundEndsTest : public ::testing::TestWithParam<std::tuple<double, double>>
{
};

TEST_P(RoundEndsTest, LineLooksLikeARoundCappedPen)
{
    const auto [degrees, width] = GetParam();
    const double a = degrees * std::numbers::pi / 180;
    // Off the pixel grid, as a hand's ends are.
    const QPointF from(100.3, 99.6);
    const QPointF to(from.x() + 70 * std::cos(a), from.y() + 70 * std::sin(a));

    QImage drawn = blank();
    {
        QPainter painter(&drawn);
        QtCanvas canvas(painter);
        canvas.drawLine({from.x(), from.y()}, {to.x(), to.y()}, kNavy, width);
    }
    QImage pen = blank();
    {
        QPainter painter(&pen);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(0, 0, 0x80), width, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(from, to);
    }

    int worst = 0, apart = 0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x) {
            const int d = largestChannelDifference(drawn.pixel(x, y), pen.pixel(x, y));
            worst = std::max(worst, d);
            apart += d > 24;
        }
    // Where a disc's rim crosses the line's edge, two antialiased edges overlap; elsewhere the
    // pixels are the pen's. A missing disc leaves a half-disc of white at an end.
    EXPECT_LE(worst, 64);
    EXPECT_LE(apart, 12);
    // Each end's cap is covered: a quarter of a pen width beyond the end is dark.
    const QPointF along((to - from) / 70);
    for (const QPointF end : {from - along * width * 0.25, to + along * width * 0.25})
        EXPECT_LT(drawn.pixelColor(int(std::floor(end.x())), int(std::floor(end.y()))).red(), 128)
            << end.x() << "," << end.y();
}

INSTANTIATE_TEST_SUITE_P(HandsAndWidths, RoundEndsTest,
                         ::testing::Combine(::testing::Values(0, 17, 45, 90, 133, 200, 271, 330),
                                            ::testing::Values(4, 10, 14)));

} // namespace
} // namespace vemo::testing
