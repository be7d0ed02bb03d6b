#pragma once

#include "app/window/controls.h"

#include <QFont>
#include <QString>

namespace vemo {

// The free face that stands in for a face named by the window description; every one of them
// draws Ç Ş ş ğ ı İ ü ö.
QString substituteFamily(const std::string &family);

// The Qt font for a control's font; its point size maps to pixels by the device's resolution.
QFont qtFont(const Font &font);

// The caption as the substitute face must draw it: the symbol font's "6" is a black
// down-pointing triangle.
QString displayCaption(const Font &font, const std::string &caption);

// The control model's 0x00BBGGRR colour.
QColor qtColour(Colour colour);

} // namespace vemo
