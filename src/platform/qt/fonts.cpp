#include "platform/qt/fonts.h"

#include <QColor>
#include <QFontDatabase>

#include <algorithm>
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

namespace {

// A script face that only comes in italic is italic without being asked. Asking would also
// make the fallback for the letters it lacks (Arabic, say) an italic face, and where the
// machine has none with those letters they are drawn as nothing at all.
bool italicOnly(const QString &family)
{
    static std::map<QString, bool> known;
    const auto found = known.find(family);
    if (found != known.end())
        return found->second;
    const QStringList styles = QFontDatabase::styles(family);
    const bool only = !styles.isEmpty() && std::all_of(styles.begin(), styles.end(),
                                                       [&](const QString &style) {
                                                           return QFontDatabase::italic(family,
                                                                                        style);
                                                       });
    return known.emplace(family, only).first->second;
}

} // namespace

QFont qtFont(const Font &font)
{
    const QString family = substituteFamily(font.name);
    QFont qt(family);
    qt.setPointSizeF(font.size);
    qt.setWeight(static_cast<QFont::Weight>(font.weight));
    qt.setItalic(font.italic && !italicOnly(family));
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
