#pragma once

#include <QImage>
#include <QRectF>

class QPainter;

namespace vemo {

// The bell on the dial: a red bell, black at its mouth, on a pale yellow ground (0xAAFFFF).
// Drawn as vectors into `target`, so it stays sharp at any pixel density.
void drawBell(QPainter &painter, const QRectF &target);

// The window's icon: a cream dial on a dark red ground with a blue, a black and a dark red hand.
void drawClockIcon(QPainter &painter, const QRectF &target);

// Either drawing as a picture of `size` x `size` pixels with a 256-colour palette and no
// transparent pixels.
QImage bellPicture(int size = 32);
QImage clockIconPicture(int size = 32);

} // namespace vemo
