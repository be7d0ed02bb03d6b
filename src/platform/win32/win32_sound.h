#pragma once

// The sound service on Windows. A sound whose file the system finds plays through the system
// call itself, as the clock asks. Where the file is missing, as the Media folder of today's
// Windows lacks the old sounds the clock names, the program plays its own sound of that name,
// carried in vemo2.exe as a resource, and never the system's default sound. Both go through
// the one sound channel of the system, so each new sound stops the one still playing.

#include "platform/services.h"

namespace vemo {

class Win32Sound : public Sound
{
public:
    int sndPlaySoundA(const std::string &path, unsigned flags) override;
};

} // namespace vemo
