#include "platform/qt/fonts.h"

#include <QColor>

#include <map>

namespace vemo {

QString substituteFamily(const std::string &family)
{
    // Metric-compatible where a free face exists (Arial), else the closest in shape.
    static const std::map<std::string, QString> substitutes{
        {"Arial", "Liberation Sans"},         {"MS Sans Serif", "Liberation Sans"},
        {"Tahoma", "DejaVu Sans"},            {"Century Gothic", "URW Gothic"},
        {"Monotype Corsiva", "Z003"},         {"Webdings", "DejaVu Sans"},
    };
    const auto found = substitutes.find(family);
    return found != substitutes.end() ? found->second : QString::fromStdString(family);
}

QFont qtFont(const Font &font)
{
    QFont qt(substituteFamily(font.name));
    qt.setPointSizeF(font.size);
    qt.setWeight(static_cast<QFont::Weight>(font.weight));
    qt.setItalic(font.italic);
    qt.setStyleHint(QFont::SansSerif);
    return qt;
}

QString displayCaption(const Font &font, const std::string &caption)
{
    if (font.name == "Webdings" && caption == "6")
        return QStringLiteral("\u25BC");
    return QString::fromStdString(caption);
}

QColor qtColour(Colour colour)
{
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

} // namespace vemo
