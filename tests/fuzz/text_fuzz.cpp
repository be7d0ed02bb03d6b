// The runtime's text rules over any bytes: the numeric parse never fails, text in arithmetic
// fails only with its run-time errors, Left, Right and Mid cut where characters begin, proper
// case and code page 1254 give well-formed text both ways, and a date text gives a weekday or
// a run-time error.

#include "fuzz_support.h"
#include "platform/errors.h"
#include "platform/text.h"
#include "platform/variant.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace {

using namespace vemo;
using fuzz::require;

constexpr std::size_t kAll = std::numeric_limits<std::size_t>::max();
// Left, Right and Mid are tried at every length up to the text's, so on its first bytes only.
constexpr std::size_t kCutBytes = 256;

// The same double, the sign of a zero included.
bool same(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

void checkNumbers(std::string_view text)
{
    double parsed = 0;
    try {
        parsed = val(text);
    } catch (const RuntimeError &) {
        require(false, "the numeric parse never fails");
    }
    require(!std::isnan(parsed), "the numeric parse gives a number");
    require(same(val(std::string(text) + "x"), parsed), "the parse stops where the number does");
    require(same(val(" \t" + std::string(text)), parsed), "the parse skips leading blanks");

    try {
        const double whole = textToNumber(text);
        require(same(whole, parsed), "arithmetic reads a number as the parse does");
        require(same(Variant(std::string(text)).number(), whole), "a text variant reads the same");
    } catch (const RuntimeError &error) {
        require(error.code() == RuntimeError::Code::TypeMismatch ||
                    error.code() == RuntimeError::Code::Overflow,
                "a text is no number, or too large a one");
    }

    if (std::isfinite(parsed)) {
        // A number's text has 15 significant digits, and reads back to within them.
        const double back = textToNumber(Variant(parsed).text());
        require(std::fabs(back - parsed) <= 1e-14 * std::fabs(parsed),
                "a number's text reads back as the number");
    }
}

void checkCuts(std::string_view text)
{
    // The byte offsets Left stops at, for 0 characters and on: where characters begin.
    std::vector<std::size_t> starts;
    for (std::size_t n = 0; n <= text.size() + 1; ++n) {
        const std::string cut = left(text, n);
        require(text.starts_with(cut), "Left is a beginning of the text");
        require(starts.empty() || cut.size() >= starts.back(), "Left grows with its length");
        starts.push_back(cut.size());
    }
    require(starts.front() == 0, "Left of no characters is empty");
    require(left(text, kAll) == text, "Left of every character is the whole text");
    const auto begins = [&](std::size_t at) {
        return std::find(starts.begin(), starts.end(), at) != starts.end();
    };

    for (std::size_t n = 0; n <= text.size() + 1; ++n) {
        const std::string cut = right(text, n);
        require(text.ends_with(cut), "Right is an end of the text");
        require(begins(text.size() - cut.size()), "Right starts where a character does");
    }
    require(right(text, 0).empty(), "Right of no characters is empty");
    require(right(text, kAll) == text, "Right of every character is the whole text");

    // Mid(start, length) is what Left(start - 1 + length) adds to Left(start - 1).
    for (std::size_t start : {std::size_t{1}, std::size_t{2}, std::size_t{4}, std::size_t{7},
                              std::max<std::size_t>(text.size(), 1), kAll}) {
        for (std::size_t length :
             {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{4}, kAll - 1, kAll}) {
            const std::string piece = mid(text, start, length);
            const std::string before = left(text, start - 1);
            const std::size_t end = start - 1 > kAll - length ? kAll : start - 1 + length;
            require(before + piece == left(text, end), "Mid cuts between two characters");
        }
    }

    // In well-formed UTF-8 a character is a code point.
    if (const auto points = fuzz::codePoints(text)) {
        for (std::size_t n = 1; n <= points->size(); ++n)
            require(starts[n] > starts[n - 1], "each code point is a character");
        require(starts[points->size()] == text.size(), "the code points are all the characters");
    }
}

void checkCase(std::string_view text)
{
    const std::string proper = properCase(text);
    require(fuzz::codePoints(proper).has_value(), "proper case gives well-formed UTF-8");
    require(properCase(proper) == proper, "proper case leaves proper case as it is");
}

void checkCodePage(std::string_view bytes)
{
    const std::string unicode = fromCodePage(bytes);
    const auto points = fuzz::codePoints(unicode);
    require(points && points->size() == bytes.size(), "each byte of the code page is a character");
    require(toCodePage(unicode) == bytes, "the code page's text converts back to its bytes");

    const std::string back = toCodePage(bytes);
    if (const auto typed = fuzz::codePoints(bytes))
        require(back.size() == typed->size(), "each character becomes one byte");
    else
        require(back.size() <= bytes.size(), "bytes that are no UTF-8 become no more bytes");
}

void checkWeekday(std::string_view text)
{
    try {
        const int day = weekday(text);
        require(day >= 1 && day <= 7, "a weekday is 1 to 7");
    } catch (const RuntimeError &) {
        // No date: the tick reports it.
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    checkNumbers(text);
    checkCuts(text.substr(0, kCutBytes));
    checkCase(text);
    checkCodePage(text);
    checkWeekday(text);
    return 0;
}
