#include "platform/win32/gdiplus_canvas.h"

#include "platform/win32/wide.h"

#include <array>

namespace vemo {

using namespace Gdiplus;

namespace {

Gdiplus::RectF toGdiplus(const vemo::RectF &r)
{
    return Gdiplus::RectF(static_cast<REAL>(r.left), static_cast<REAL>(r.top),
                          static_cast<REAL>(r.width), static_cast<REAL>(r.height));
}

Gdiplus::PointF toGdiplus(vemo::PointF p)
{
    return Gdiplus::PointF(static_cast<REAL>(p.x), static_cast<REAL>(p.y));
}

void addTo(GraphicsPath &gdiplus, const Path &path)
{
    vemo::PointF current{};
    for (const Path::Element &e : path.elements()) {
        switch (e.verb) {
        case Path::Verb::MoveTo:
            gdiplus.StartFigure();
            current = e.points[0];
            break;
        case Path::Verb::LineTo:
            gdiplus.AddLine(toGdiplus(current), toGdiplus(e.points[0]));
            current = e.points[0];
            break;
        case Path::Verb::CubicTo:
            gdiplus.AddBezier(toGdiplus(current), toGdiplus(e.points[0]), toGdiplus(e.points[1]),
                              toGdiplus(e.points[2]));
            current = e.points[2];
            break;
        case Path::Verb::Close:
            gdiplus.CloseFigure();
            break;
        }
    }
}

// The system's font mapper's choice for a face name: the TrueType face it would draw with.
std::wstring mappedFace(const std::wstring &name)
{
    LOGFONTW logFont{};
    logFont.lfHeight = -16;
    logFont.lfCharSet = TURKISH_CHARSET;
    logFont.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    lstrcpynW(logFont.lfFaceName, name.c_str(), LF_FACESIZE);
    HFONT font = CreateFontIndirectW(&logFont);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    std::array<wchar_t, LF_FACESIZE> face{};
    GetTextFaceW(dc, static_cast<int>(face.size()), face.data());
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(font);
    return face.data();
}

} // namespace

Color gdiplusColour(Colour colour)
{
    return Color(255, static_cast<BYTE>(colour & 0xFF), static_cast<BYTE>((colour >> 8) & 0xFF),
                 static_cast<BYTE>((colour >> 16) & 0xFF));
}

const FontFamily &GdiplusFonts::family(const std::string &name)
{
    auto &found = families_[name];
    if (!found) {
        const std::wstring wide = widen(name);
        found = std::make_unique<FontFamily>(wide.c_str());
        if (found->GetLastStatus() != Ok)
            found = std::make_unique<FontFamily>(mappedFace(wide).c_str());
        if (found->GetLastStatus() != Ok)
            found.reset(FontFamily::GenericSansSerif()->Clone());
    }
    return *found;
}

GdiplusCanvas::GdiplusCanvas(Graphics &graphics, GdiplusFonts &fonts, double dpi)
    : graphics_(graphics), fonts_(fonts), dpi_(dpi)
{
    graphics_.SetSmoothingMode(SmoothingModeAntiAlias);
    // Pixel centres at half-integer coordinates: the pixel (0, 0) covers [0, 1) x [0, 1).
    graphics_.SetPixelOffsetMode(PixelOffsetModeHalf);
    graphics_.SetTextRenderingHint(TextRenderingHintAntiAlias);
    // Measuring and drawing without GDI+'s padding of a sixth of an em on either side, trailing
    // blanks counted: advances as the painter needs them.
    format_.reset(StringFormat::GenericTypographic()->Clone());
    format_->SetFormatFlags(format_->GetFormatFlags() | StringFormatFlagsMeasureTrailingSpaces |
                            StringFormatFlagsNoWrap | StringFormatFlagsNoClip);
}

bool GdiplusCanvas::antialiasesShapes() const
{
    // Wine's GDI+ takes the mode but draws shapes and lines with hard edges.
    static const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version");
    return !wine;
}

void GdiplusCanvas::fillRect(const vemo::RectF &rect, Colour colour)
{
    SolidBrush brush(gdiplusColour(colour));
    graphics_.FillRectangle(&brush, toGdiplus(rect));
}

void GdiplusCanvas::fillEllipse(const vemo::RectF &bounds, Colour colour)
{
    SolidBrush brush(gdiplusColour(colour));
    graphics_.FillEllipse(&brush, toGdiplus(bounds));
}

void GdiplusCanvas::outlineEllipse(const vemo::RectF &bounds, Colour colour, double width)
{
    Pen pen(gdiplusColour(colour), static_cast<REAL>(width));
    graphics_.DrawEllipse(&pen, toGdiplus(bounds));
}

void GdiplusCanvas::drawLine(vemo::PointF from, vemo::PointF to, Colour colour, double width)
{
    Pen pen(gdiplusColour(colour), static_cast<REAL>(width));
    pen.SetLineCap(LineCapRound, LineCapRound, DashCapRound);
    graphics_.DrawLine(&pen, toGdiplus(from), toGdiplus(to));
}

void GdiplusCanvas::fillPath(const Path &path, Colour colour)
{
    SolidBrush brush(gdiplusColour(colour));
    GraphicsPath gdiplus;
    addTo(gdiplus, path);
    graphics_.FillPath(&brush, &gdiplus);
}

void GdiplusCanvas::outlinePath(const Path &path, Colour colour, double width)
{
    Pen pen(gdiplusColour(colour), static_cast<REAL>(width));
    GraphicsPath gdiplus;
    addTo(gdiplus, path);
    graphics_.DrawPath(&pen, &gdiplus);
}

void GdiplusCanvas::setFont(const Font &font)
{
    family_ = &fonts_.family(font.name);
    // Points to pixels at the surface's resolution.
    const REAL pixels = static_cast<REAL>(font.size * dpi_ / 72);
    const int wanted =
        (font.weight >= 600 ? FontStyleBold : 0) | (font.italic ? FontStyleItalic : 0);
    // A face without the style asked for (a script face that is only italic) is taken in the
    // nearest style it has.
    for (int style :
         {wanted, wanted & FontStyleBold, wanted & FontStyleItalic, int(FontStyleRegular),
          int(FontStyleItalic), int(FontStyleBold), int(FontStyleBoldItalic)}) {
        style_ = style;
        font_ = std::make_unique<Gdiplus::Font>(family_, pixels, style_, UnitPixel);
        if (font_->GetLastStatus() == Ok)
            break;
    }
}

FontMetrics GdiplusCanvas::fontMetrics()
{
    const double em = family_->GetEmHeight(style_);
    const double scale = font_->GetSize() / em;
    const double ascent = family_->GetCellAscent(style_) * scale;
    const double descent = family_->GetCellDescent(style_) * scale;
    const double spacing = family_->GetLineSpacing(style_) * scale;
    return {ascent, descent, std::max(0.0, spacing - ascent - descent)};
}

double GdiplusCanvas::textWidth(std::string_view text)
{
    if (text.empty())
        return 0;
    const std::wstring wide = widen(text);
    Gdiplus::RectF bounds;
    graphics_.MeasureString(wide.c_str(), static_cast<INT>(wide.size()), font_.get(),
                            Gdiplus::PointF(0, 0), format_.get(), &bounds);
    return bounds.Width;
}

void GdiplusCanvas::drawText(vemo::PointF topLeft, std::string_view text, Colour colour)
{
    const std::wstring wide = widen(text);
    SolidBrush brush(gdiplusColour(colour));
    graphics_.DrawString(wide.c_str(), static_cast<INT>(wide.size()), font_.get(),
                         toGdiplus(topLeft), format_.get(), &brush);
}

void GdiplusCanvas::pushClip(const vemo::RectF &rect)
{
    saved_.push_back(graphics_.Save());
    graphics_.IntersectClip(toGdiplus(rect));
}

void GdiplusCanvas::popClip()
{
    graphics_.Restore(saved_.back());
    saved_.pop_back();
}

} // namespace vemo
