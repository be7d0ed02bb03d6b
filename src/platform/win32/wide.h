#pragma once

// UTF-8, as the logic holds its texts, to and from the UTF-16 of the Windows calls.

#include <string>
#include <string_view>

namespace vemo {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

} // namespace vemo
