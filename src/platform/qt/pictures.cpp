#include "platform/qt/pictures.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <functional>

namespace vemo {

namespace {

// Both pictures are designed on a 32 x 32 grid and scaled into their target.
void onGrid(QPainter &painter, const QRectF &target, const std::function<void()> &draw)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(target.topLeft());
    painter.scale(target.width() / 32.0, target.height() / 32.0);
    draw();
    painter.restore();
}

QImage render(int size, void (*draw)(QPainter &, const QRectF &))
{
    QImage image(size, size, QImage::Format_RGB32);
    QPainter painter(&image);
    draw(painter, QRectF(0, 0, size, size));
    painter.end();
    return image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
}

} // namespace

void drawBell(QPainter &painter, const QRectF &target)
{
    onGrid(painter, target, [&] {
        painter.fillRect(QRectF(0, 0, 32, 32), QColor(0xFF, 0xFF, 0xAA));

        QPainterPath body;
        body.moveTo(16, 5.5);
        body.cubicTo(10.5, 5.5, 9, 10, 9, 15);
        body.cubicTo(9, 19, 7.5, 21.5, 5, 23.5);
        body.lineTo(5, 25.5);
        body.lineTo(27, 25.5);
        body.lineTo(27, 23.5);
        body.cubicTo(24.5, 21.5, 23, 19, 23, 15);
        body.cubicTo(23, 10, 21.5, 5.5, 16, 5.5);
        painter.setPen(QPen(QColor(0x90, 0, 0), 1));
        painter.setBrush(QColor(0xE0, 0x10, 0x10));
        painter.drawPath(body);

        painter.setPen(QPen(QColor(0xFF, 0x90, 0x80), 1.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(11.5, 11), QPointF(11, 18)); // highlight

        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0xC0, 0, 0));
        painter.drawEllipse(QPointF(16, 4.5), 2.2, 2.2); // the loop on top

        painter.setBrush(Qt::black);
        painter.drawEllipse(QRectF(6, 23.5, 20, 3.5)); // the mouth
        painter.drawEllipse(QPointF(16, 27.5), 2.5, 2.5); // the clapper
    });
}

void drawClockIcon(QPainter &painter, const QRectF &target)
{
    onGrid(painter, target, [&] {
        painter.fillRect(QRectF(0, 0, 32, 32), QColor(0x80, 0, 0));
        painter.setPen(QPen(QColor(0xFF, 0xFF, 0xC0), 1));
        painter.setBrush(QColor(0xFF, 0xF5, 0xD0));
        painter.drawEllipse(QPointF(16, 16), 14, 14);

        painter.setPen(QPen(QColor(0x40, 0x20, 0x00), 1.2, Qt::SolidLine, Qt::RoundCap));
        for (int hour = 0; hour < 12; ++hour) {
            const double a = hour * M_PI / 6;
            painter.drawLine(QPointF(16 + 11 * std::cos(a), 16 + 11 * std::sin(a)),
                             QPointF(16 + 13 * std::cos(a), 16 + 13 * std::sin(a)));
        }
        const auto hand = [&](QColor colour, double width, double degrees, double length) {
            const double a = degrees * M_PI / 180;
            painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(QPointF(16 - 2 * std::cos(a), 16 - 2 * std::sin(a)),
                             QPointF(16 + length * std::cos(a), 16 + length * std::sin(a)));
        };
        hand(QColor(0, 0, 0x80), 3, -30 - 90 + 300, 7.5); // hour hand at ten
        hand(Qt::black, 2, -90 + 60, 11);                 // minute hand at ten past
        hand(QColor(0x80, 0, 0), 1, 90 + 20, 12);         // second hand
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x80, 0, 0));
        painter.drawEllipse(QPointF(16, 16), 1.6, 1.6);
    });
}

QImage bellPicture(int size) { return render(size, drawBell); }

QImage clockIconPicture(int size) { return render(size, drawClockIcon); }

} // namespace vemo
