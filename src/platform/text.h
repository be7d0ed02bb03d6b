#pragma once

// The text and number conversions of the form runtime: fixed rules, independent of the user's
// locale. All texts are UTF-8; positions and lengths count characters (code points), 1-based
// as the procedures write them.

#include "platform/errors.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vemo {

// The first `length` characters of `text` (all of it when shorter).
std::string left(std::string_view text, std::size_t length);
// The last `length` characters of `text`.
std::string right(std::string_view text, std::size_t length);
// `length` characters starting at character `start` (1-based).
std::string mid(std::string_view text, std::size_t start, std::size_t length);

// Numeric parse: skips leading blanks and reads the longest leading number (sign, digits,
// decimal point, exponent); stops at the first other character. "07" gives 7, "09:30" gives 9,
// "" gives 0. Never fails: a number beyond the largest double gives an infinity of its sign,
// which the first checked arithmetic on it reports as an overflow; one below the smallest, 0.
double val(std::string_view text);

// A text met by arithmetic: the whole text, blanks around it aside, must be a number, else a
// type mismatch is raised; a number beyond the largest double overflows. "07" gives 7.
double textToNumber(std::string_view text);

// The first letter of each word upper case, the rest lower case, by Turkish rules:
// "ilker ışık" gives "İlker Işık".
std::string properCase(std::string_view text);

// Conversion to a 32-bit integer: rounds half to even; a value out of range overflows.
std::int32_t toInt32(double value);
// Conversion to a 16-bit integer, rounding the same way.
std::int16_t toInt16(double value);
// Truncation to a whole number towards minus infinity (2137.5 gives 2137, -781.875 gives -782).
double floorToWhole(double value);
// Conversion to single precision, as line coordinates are held; out of range overflows.
float toSingle(double value);

// The system's 8-bit code page (Windows-1254, Turkish) to and from UTF-8. "ü" is the byte 0xFC.
std::string toCodePage(std::string_view utf8);
std::string fromCodePage(std::string_view bytes);

// Weekday of a date text DD.MM.YYYY, 1 for Sunday to 7 for Saturday. A text that is no valid
// date raises a type mismatch.
int weekday(std::string_view dateText);

// Entry `index` of a fixed table of texts; an index outside it raises "subscript out of range".
template <std::size_t N>
const char *tableEntry(const std::array<const char *, N> &table, double index)
{
    const std::int32_t i = toInt32(index);
    if (i < 0 || static_cast<std::size_t>(i) >= N)
        throw RuntimeError(RuntimeError::Code::SubscriptOutOfRange, std::to_string(i));
    return table[static_cast<std::size_t>(i)];
}

} // namespace vemo
