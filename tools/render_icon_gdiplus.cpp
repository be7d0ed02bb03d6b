// Renders the clock's icon for the Windows program's resources with the GDI+ canvas: the icon
// file with 16, 32 and 48 pixel pictures of 256 colours (8 bits per pixel, no transparent
// pixels). Run at build time, natively or under Wine when cross-building.
//
//   vemo_render_icon_gdiplus <out.ico>

#include "icon_file.h"
#include "platform/paint/pictures.h"
#include "platform/win32/gdiplus_canvas.h"

#include <windows.h>

#include <gdiplus.h>

#include <cstdio>
#include <fstream>
#include <map>

namespace {

// The picture's colours as a palette: exact when it has 256 or fewer (shapes with hard edges),
// else the nearest of a 6 x 7 x 6 colour cube.
vemo::icon::Picture quantised(Gdiplus::Bitmap &bitmap, int size)
{
    std::vector<std::uint32_t> rgb;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            Gdiplus::Color colour;
            bitmap.GetPixel(x, y, &colour);
            rgb.push_back(colour.GetValue() & 0xFFFFFF);
        }
    vemo::icon::Picture picture;
    picture.size = size;
    std::map<std::uint32_t, std::uint8_t> index;
    for (std::uint32_t c : rgb)
        if (!index.count(c) && index.size() < 257)
            index.emplace(c, 0);
    if (index.size() <= 256) {
        for (auto &[colour, i] : index) {
            i = static_cast<std::uint8_t>(picture.palette.size());
            picture.palette.push_back(colour);
        }
        for (std::uint32_t c : rgb)
            picture.pixels.push_back(index[c]);
        return picture;
    }
    const auto level = [](std::uint32_t v, int steps) {
        return static_cast<int>((v * (steps - 1) + 127) / 255);
    };
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 7; ++g)
            for (int b = 0; b < 6; ++b)
                picture.palette.push_back(static_cast<std::uint32_t>(r * 255 / 5) << 16 |
                                          static_cast<std::uint32_t>(g * 255 / 6) << 8 |
                                          static_cast<std::uint32_t>(b * 255 / 5));
    for (std::uint32_t c : rgb)
        picture.pixels.push_back(static_cast<std::uint8_t>(
            level(c >> 16 & 0xFF, 6) * 42 + level(c >> 8 & 0xFF, 7) * 6 + level(c & 0xFF, 6)));
    return picture;
}

vemo::icon::Picture render(int size)
{
    Gdiplus::Bitmap bitmap(size, size, PixelFormat32bppRGB);
    {
        Gdiplus::Graphics graphics(&bitmap);
        vemo::GdiplusFonts fonts;
        vemo::GdiplusCanvas canvas(graphics, fonts, 96);
        vemo::drawClockIcon(canvas, vemo::RectF{0, 0, double(size), double(size)});
    }
    return quantised(bitmap, size);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <out.ico>\n", argv[0]);
        return 2;
    }
    Gdiplus::GdiplusStartupInput startup;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &startup, nullptr) != Gdiplus::Ok) {
        std::fprintf(stderr, "%s: GDI+ does not start\n", argv[0]);
        return 1;
    }
    const std::vector<char> ico = vemo::icon::iconFile({render(16), render(32), render(48)});
    Gdiplus::GdiplusShutdown(token);

    std::ofstream file(argv[1], std::ios::binary);
    file.write(ico.data(), static_cast<std::streamsize>(ico.size()));
    if (!file) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
