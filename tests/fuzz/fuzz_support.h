#pragma once

// What the fuzz targets share: a property that fails aborts the run, naming the property, so
// that libFuzzer keeps the input (and the corpus replay names the file).

#include <unicode/utf8.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vemo::fuzz {

inline void require(bool holds, const char *property)
{
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", property);
        std::abort();
    }
}

// The code points of well-formed UTF-8, nothing for any other bytes.
inline std::optional<std::u32string> codePoints(std::string_view text)
{
    std::u32string points;
    const auto *bytes = reinterpret_cast<const std::uint8_t *>(text.data());
    const auto length = static_cast<std::int32_t>(text.size());
    for (std::int32_t i = 0; i < length;) {
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        if (c < 0)
            return std::nullopt;
        points.push_back(static_cast<char32_t>(c));
    }
    return points;
}

// The input cut at each line feed, the last part as it stands.
inline std::vector<std::string_view> lines(std::string_view input)
{
    std::vector<std::string_view> parts;
    for (std::size_t cut; (cut = input.find('\n')) != std::string_view::npos;) {
        parts.push_back(input.substr(0, cut));
        input.remove_prefix(cut + 1);
    }
    parts.push_back(input);
    return parts;
}

} // namespace vemo::fuzz
