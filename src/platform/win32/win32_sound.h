#pragma once

// The sound service on Windows: the system call itself, which finds the files by their Windows
// paths and plays one sound at a time.

#include "platform/services.h"

namespace vemo {

class Win32Sound : public Sound
{
public:
    int sndPlaySoundA(const std::string &path, unsigned flags) override;
};

} // namespace vemo
