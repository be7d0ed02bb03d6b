#pragma once

// The clock names its sounds by Windows paths in code page 1254 ("C:\WINDOWS\Media\ringin").
// The sound service of each platform finds its file, or its own sound, by the file name alone.

#include <string>

namespace vemo {

// The UTF-8 file name a Windows path in code page 1254 stands for: the part after the last
// backslash (or slash) with ".wav" appended unless already there. Empty for a path that ends in
// a separator or is empty.
std::string soundFileName(const std::string &windowsPath1254);

} // namespace vemo
