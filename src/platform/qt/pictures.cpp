#include "platform/qt/pictures.h"

#include "platform/paint/pictures.h"
#include "platform/qt/qt_canvas.h"

#include <QPainter>

namespace vemo {

namespace {

RectF fromQt(const QRectF &rect)
{
    return {rect.x(), rect.y(), rect.width(), rect.height()};
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
    painter.save();
    QtCanvas canvas(painter);
    drawBell(canvas, fromQt(target));
    painter.restore();
}

void drawClockIcon(QPainter &painter, const QRectF &target)
{
    painter.save();
    QtCanvas canvas(painter);
    drawClockIcon(canvas, fromQt(target));
    painter.restore();
}

QImage bellPicture(int size)
{
    return render(size, drawBell);
}

QImage clockIconPicture(int size)
{
    return render(size, drawClockIcon);
}

} // namespace vemo
