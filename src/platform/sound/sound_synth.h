#pragma once

// The clock's own sounds, synthesised from their designs: the build writes them into the media
// folder, and the sound service keeps the default one in memory for a machine without it.

#include "platform/sound/sound_lookup.h"
#include "platform/sound/sound_tones.h"

namespace vemo {

// The design's samples, 48 kHz 16-bit mono, peak at design.peak of full scale.
PcmSound synthesise(const tones::SoundDesign &design);

} // namespace vemo
