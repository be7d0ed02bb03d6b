#include "platform/text.h"

#include "platform/errors.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <limits>

namespace vemo {

namespace {

bool isContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// A character begins at the first byte and at every byte that is no UTF-8 continuation byte, so
// that continuation bytes out of place stay with the character before them, or make the first.
bool beginsCharacter(std::string_view text, std::size_t offset)
{
    return offset == 0 || !isContinuationByte(text[offset]);
}

// Byte offset of the character with the 0-based number `n`, or the text's size past its end.
std::size_t offsetOfCharacter(std::string_view text, std::size_t n)
{
    std::size_t offset = 0;
    for (std::size_t seen = 0; offset < text.size(); ++offset) {
        if (beginsCharacter(text, offset) && seen++ == n)
            return offset;
    }
    return text.size();
}

std::size_t characterCount(std::string_view text)
{
    std::size_t count = 0;
    for (std::size_t offset = 0; offset < text.size(); ++offset)
        count += beginsCharacter(text, offset) ? 1 : 0;
    return count;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t skipDigits(std::string_view text, std::size_t i)
{
    while (i < text.size() && isDigit(text[i]))
        ++i;
    return i;
}

// Length of the longest number at the start of `text`: sign, digits, point, exponent.
std::size_t numberPrefixLength(std::string_view text)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    const std::size_t integerStart = i;
    i = skipDigits(text, i);
    bool digits = i > integerStart;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fractionEnd = skipDigits(text, i + 1);
        digits = digits || fractionEnd > i + 1;
        i = fractionEnd;
    }
    if (!digits)
        return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        const std::size_t exponentEnd = skipDigits(text, j);
        if (exponentEnd > j)
            i = exponentEnd;
    }
    return i;
}

// Whether a number that no double holds lies beyond the largest rather than below the smallest:
// whether its first significant digit stands at a positive power of ten. `number` is one that
// numberPrefixLength found, unsigned.
bool beyondLargest(std::string_view number)
{
    const std::size_t mark = number.find_first_of("eE");
    const std::string_view mantissa = number.substr(0, mark);
    const std::size_t significant = mantissa.find_first_of("123456789");
    if (significant == std::string_view::npos)
        return false; // zero
    const auto point = static_cast<long long>(std::min(mantissa.find('.'), mantissa.size()));
    const auto first = static_cast<long long>(significant);
    const long long power = first < point ? point - first - 1 : point - first;

    long long exponent = 0;
    if (mark != std::string_view::npos) {
        std::string_view digits = number.substr(mark + 1);
        const bool negative = digits.front() == '-';
        if (digits.front() == '-' || digits.front() == '+')
            digits.remove_prefix(1);
        // Far past any double's exponent the count stops; the side is what matters.
        for (const char digit : digits)
            exponent = std::min(exponent * 10 + (digit - '0'), 1'000'000LL);
        if (negative)
            exponent = -exponent;
    }
    return power + exponent > 0;
}

// Reads a complete number (as numberPrefixLength found it), independent of the C locale. As in
// IEEE arithmetic, a number beyond the largest double reads as an infinity, and one below the
// smallest as a zero, of its sign.
double parseNumber(std::string_view number)
{
    if (!number.empty() && number.front() == '+')
        number.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error == std::errc::result_out_of_range) {
        const bool negative = number.front() == '-';
        if (negative)
            number.remove_prefix(1);
        const double magnitude = beyondLargest(number) ? HUGE_VAL : 0.0;
        return negative ? -magnitude : magnitude;
    }
    return value;
}

} // namespace

std::string left(std::string_view text, std::size_t length)
{
    return std::string(text.substr(0, offsetOfCharacter(text, length)));
}

std::string right(std::string_view text, std::size_t length)
{
    const std::size_t count = characterCount(text);
    return std::string(text.substr(offsetOfCharacter(text, count > length ? count - length : 0)));
}

std::string mid(std::string_view text, std::size_t start, std::size_t length)
{
    const std::size_t from = offsetOfCharacter(text, start > 0 ? start - 1 : 0);
    const std::size_t to = offsetOfCharacter(text, (start > 0 ? start - 1 : 0) + length);
    return std::string(text.substr(from, to - from));
}

double val(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    text.remove_prefix(i);
    return parseNumber(text.substr(0, numberPrefixLength(text)));
}

double textToNumber(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    const std::size_t length = numberPrefixLength(text);
    if (length == 0 || length != text.size())
        throw RuntimeError(RuntimeError::Code::TypeMismatch, "\"" + std::string(text) + "\"");
    const double value = parseNumber(text);
    if (std::isinf(value))
        throw RuntimeError(RuntimeError::Code::Overflow, std::string(text));
    return value;
}

std::int32_t toInt32(double value)
{
    const double rounded = std::nearbyint(checked(value)); // the default mode: half to even
    if (rounded < std::numeric_limits<std::int32_t>::min() ||
        rounded > std::numeric_limits<std::int32_t>::max())
        throw RuntimeError(RuntimeError::Code::Overflow, std::to_string(value));
    return static_cast<std::int32_t>(rounded);
}

std::int16_t toInt16(double value)
{
    const double rounded = std::nearbyint(checked(value));
    if (rounded < std::numeric_limits<std::int16_t>::min() ||
        rounded > std::numeric_limits<std::int16_t>::max())
        throw RuntimeError(RuntimeError::Code::Overflow, std::to_string(value));
    return static_cast<std::int16_t>(rounded);
}

double floorToWhole(double value) { return std::floor(checked(value)); }

float toSingle(double value)
{
    if (std::fabs(checked(value)) > std::numeric_limits<float>::max())
        throw RuntimeError(RuntimeError::Code::Overflow, std::to_string(value));
    return static_cast<float>(value);
}

int weekday(std::string_view dateText)
{
    using namespace std::chrono;
    const auto noDate = [&] {
        return RuntimeError(RuntimeError::Code::TypeMismatch, "\"" + std::string(dateText) + "\"");
    };
    // Each part a whole number within the calendar's years (which hold any day and month).
    const auto number = [&](std::size_t start, std::size_t length) {
        const double value = textToNumber(mid(dateText, start, length));
        if (value != std::floor(value) || std::fabs(value) > int(year::max()))
            throw noDate();
        return static_cast<int>(value);
    };
    const year_month_day date{year{number(7, 4)}, month{static_cast<unsigned>(number(4, 2))},
                              day{static_cast<unsigned>(number(1, 2))}};
    if (!date.ok())
        throw noDate();
    return static_cast<int>(std::chrono::weekday{sys_days{date}}.c_encoding()) + 1;
}

} // namespace vemo
