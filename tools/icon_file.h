#pragma once

// The Windows icon file (.ico) for pictures of 256 colours: one BITMAPINFOHEADER picture each,
// 8 bits a pixel with its palette, and an all-zero mask (no transparent pixels). Written here
// because neither Qt nor GDI+ writes icons of 256 colours.

#include <cstdint>
#include <vector>

namespace vemo::icon {

struct Picture
{
    int size = 0;                       // pixels, square
    std::vector<std::uint32_t> palette; // 0x00RRGGBB, at most 256
    std::vector<std::uint8_t> pixels;   // palette indices, rows from the top
};

inline void put16(std::vector<char> &out, unsigned value)
{
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

inline void put32(std::vector<char> &out, std::uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// One picture as the icon file stores it: a BITMAPINFOHEADER with twice the height, the
// 256-entry palette, the colour rows bottom-up, then the 1-bit mask rows (all zero: opaque).
inline std::vector<char> iconImage(const Picture &picture)
{
    const int size = picture.size;
    const int colourRow = (size + 3) / 4 * 4;   // bytes, padded to 32 bits
    const int maskRow = ((size + 31) / 32) * 4; // bytes, 1 bit a pixel
    std::vector<char> out;
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(size));
    put32(out, static_cast<std::uint32_t>(size * 2));
    put16(out, 1); // planes
    put16(out, 8); // bits per pixel
    put32(out, 0); // no compression
    put32(out, static_cast<std::uint32_t>((colourRow + maskRow) * size));
    put32(out, 0);
    put32(out, 0);
    put32(out, 256); // colours used
    put32(out, 0);
    for (std::size_t i = 0; i < 256; ++i) {
        const std::uint32_t rgb = i < picture.palette.size() ? picture.palette[i] : 0;
        out.push_back(static_cast<char>(rgb & 0xFF));         // blue
        out.push_back(static_cast<char>((rgb >> 8) & 0xFF));  // green
        out.push_back(static_cast<char>((rgb >> 16) & 0xFF)); // red
        out.push_back(0);
    }
    for (int y = size - 1; y >= 0; --y)
        for (int x = 0; x < colourRow; ++x)
            out.push_back(
                x < size ? static_cast<char>(picture.pixels[static_cast<std::size_t>(y * size + x)])
                         : 0);
    out.insert(out.end(), static_cast<std::size_t>(maskRow * size), 0);
    return out;
}

inline std::vector<char> iconFile(const std::vector<Picture> &pictures)
{
    std::vector<char> out;
    put16(out, 0);
    put16(out, 1); // an icon, not a cursor
    put16(out, static_cast<unsigned>(pictures.size()));
    std::vector<std::vector<char>> images;
    for (const Picture &picture : pictures)
        images.push_back(iconImage(picture));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * pictures.size());
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const int size = pictures[i].size;
        out.push_back(static_cast<char>(size >= 256 ? 0 : size));
        out.push_back(static_cast<char>(size >= 256 ? 0 : size));
        out.push_back(0); // 0: 256 colours
        out.push_back(0);
        put16(out, 1); // planes
        put16(out, 8); // bits per pixel
        put32(out, static_cast<std::uint32_t>(images[i].size()));
        put32(out, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const auto &image : images)
        out.insert(out.end(), image.begin(), image.end());
    return out;
}

} // namespace vemo::icon
