#pragma once

#include "platform/paint/canvas.h"

// <gdiplus.h> wants <windows.h> first, and min and max unharmed.
#include <windows.h>

#include <gdiplus.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vemo {

// GDI+ font families by the names the window description gives, each found once: the face of
// that name, else the face the system's font mapper puts in its place, else the generic sans
// serif face. Lives shorter than GDI+ itself.
class GdiplusFonts
{
public:
    const Gdiplus::FontFamily &family(const std::string &name);

private:
    std::map<std::string, std::unique_ptr<Gdiplus::FontFamily>> families_;
};

// The painter's canvas over a GDI+ surface, at `dpi` pixels per inch for font sizes. Shapes,
// lines and text are antialiased where GDI+ does it (Wine's GDI+ draws shapes hard).
class GdiplusCanvas : public Canvas
{
public:
    GdiplusCanvas(Gdiplus::Graphics &graphics, GdiplusFonts &fonts, double dpi);

    bool antialiasesShapes() const override;
    void fillRect(const RectF &rect, Colour colour) override;
    void fillEllipse(const RectF &bounds, Colour colour) override;
    void outlineEllipse(const RectF &bounds, Colour colour, double width) override;
    void drawLine(PointF from, PointF to, Colour colour, double width) override;
    void fillPath(const Path &path, Colour colour) override;
    void outlinePath(const Path &path, Colour colour, double width) override;
    void setFont(const Font &font) override;
    FontMetrics fontMetrics() override;
    double textWidth(std::string_view text) override;
    void drawText(PointF topLeft, std::string_view text, Colour colour) override;
    void pushClip(const RectF &rect) override;
    void popClip() override;

private:
    Gdiplus::Graphics &graphics_;
    GdiplusFonts &fonts_;
    double dpi_;
    std::unique_ptr<Gdiplus::StringFormat> format_;
    std::unique_ptr<Gdiplus::Font> font_;
    const Gdiplus::FontFamily *family_ = nullptr;
    int style_ = Gdiplus::FontStyleRegular;
    std::vector<Gdiplus::GraphicsState> saved_;
};

// The control model's 0x00BBGGRR colour, opaque.
Gdiplus::Color gdiplusColour(Colour colour);

} // namespace vemo
