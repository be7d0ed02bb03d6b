#pragma once

#include <QImage>
#include <QRectF>

class QPainter;

namespace vemo {

// The program's two pictures (platform/paint/pictures.h) drawn with a QPainter.
void drawBell(QPainter &painter, const QRectF &target);
void drawClockIcon(QPainter &painter, const QRectF &target);

// Either drawing as a picture of `size` x `size` pixels with a 256-colour palette and no
// transparent pixels.
QImage bellPicture(int size = 32);
QImage clockIconPicture(int size = 32);

} // namespace vemo
