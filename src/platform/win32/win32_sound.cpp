#include "platform/win32/win32_sound.h"

#include "platform/sound/sound_name.h"
#include "platform/sound/sound_tones.h"
#include "platform/win32/wide.h"

#include <windows.h>

#include <mmsystem.h>

#include <array>

namespace vemo {

namespace {

// The resources of assets/vemo2.rc, by the file name each stands in for.
struct OwnSound
{
    const tones::SoundDesign &design;
    const wchar_t *resource;
};
const std::array<OwnSound, 4> ownSounds{{{tones::tick, L"TICK"},
                                         {tones::ringin, L"RINGIN"},
                                         {tones::ringout, L"RINGOUT"},
                                         {tones::ding, L"DEFAULT"}}};

// Whether the system's call finds a file for the path: as named, or with ".wav" appended to a
// name without an extension, as the system itself looks.
bool soundFileExists(const std::string &path)
{
    char found[MAX_PATH];
    const DWORD length = SearchPathA(nullptr, path.c_str(), ".wav", MAX_PATH, found, nullptr);
    if (length == 0 || length >= MAX_PATH)
        return false;
    const DWORD attributes = GetFileAttributesA(found);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The program's own sound for the file name the path stands for, compared as Windows compares
// file names, without regard to case; the ding for any other name.
const wchar_t *ownSoundFor(const std::string &path)
{
    const std::wstring name = widen(soundFileName(path));
    for (const OwnSound &own : ownSounds)
        if (CompareStringEx(LOCALE_NAME_INVARIANT, NORM_IGNORECASE, name.c_str(), -1,
                            widen(own.design.fileName).c_str(), -1, nullptr, nullptr,
                            0) == CSTR_EQUAL)
            return own.resource;
    return ownSounds.back().resource;
}

} // namespace

int Win32Sound::sndPlaySoundA(const std::string &path, unsigned flags)
{
    // The path is already in the system's 8-bit code page; the empty path stops the sound.
    BOOL played = FALSE;
    if (path.empty())
        played = ::sndPlaySoundA(nullptr, flags);
    else if (soundFileExists(path))
        played = ::sndPlaySoundA(path.c_str(), flags);
    else
        played = PlaySoundW(ownSoundFor(path), GetModuleHandleW(nullptr),
                            flags | SND_RESOURCE | SND_NODEFAULT);
    return played ? 1 : 0;
}

} // namespace vemo
