#include "platform/win32/win32_sound.h"

#include <windows.h>

#include <mmsystem.h>

namespace vemo {

int Win32Sound::sndPlaySoundA(const std::string &path, unsigned flags)
{
    // The path is already in the system's 8-bit code page; the empty path stops the sound.
    return ::sndPlaySoundA(path.empty() ? nullptr : path.c_str(), static_cast<UINT>(flags)) ? 1 : 0;
}

} // namespace vemo
