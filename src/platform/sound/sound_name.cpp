#include "platform/sound/sound_name.h"

#include "platform/text.h"

namespace vemo {

namespace {

bool endsWithWav(const std::string &name)
{
    if (name.size() < 4)
        return false;
    std::string tail = name.substr(name.size() - 4);
    for (char &c : tail)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return tail == ".wav";
}

} // namespace

std::string soundFileName(const std::string &windowsPath1254)
{
    const std::string utf8 = fromCodePage(windowsPath1254);
    const std::size_t cut = utf8.find_last_of("\\/");
    std::string name = cut == std::string::npos ? utf8 : utf8.substr(cut + 1);
    if (name.empty())
        return name;
    if (!endsWithWav(name))
        name += ".wav";
    return name;
}

} // namespace vemo
