#include "platform/sound/sound_synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace vemo {

namespace {

std::vector<double> waveform(const tones::SoundDesign &design)
{
    const double rate = tones::sampleRate;
    const auto frames = static_cast<std::size_t>(std::lround(design.seconds * rate));
    std::vector<double> out(frames, 0.0);

    for (std::size_t note = 0; note < design.noteCount(); ++note) {
        const auto onset = static_cast<std::size_t>(std::lround(note * design.noteSpacing * rate));
        const double f = design.notes[note];
        for (std::size_t i = onset; i < frames; ++i) {
            const double t = static_cast<double>(i - onset) / rate;
            const double rise = t < design.attack
                                    ? 0.5 - 0.5 * std::cos(std::numbers::pi * t / design.attack)
                                    : 1.0;
            double v = 0.0;
            for (std::size_t h = 0; h < tones::harmonicLevels.size(); ++h) {
                const double decay = design.decay / tones::harmonicDecayFactor[h];
                v += tones::harmonicLevels[h] * std::exp(-t / decay) *
                     std::sin(2.0 * std::numbers::pi * f * static_cast<double>(h + 1) * t);
            }
            out[i] += rise * v;
        }
    }

    // The last sample is exactly zero, so the end of the sound is no step.
    const auto fadeFrames = static_cast<std::size_t>(std::lround(design.fadeOut * rate));
    for (std::size_t k = 0; k < fadeFrames && k < frames; ++k) {
        const double x = static_cast<double>(k) / static_cast<double>(fadeFrames);
        out[frames - 1 - k] *= 0.5 - 0.5 * std::cos(std::numbers::pi * x);
    }

    double peak = 0.0;
    for (double v : out)
        peak = std::max(peak, std::abs(v));
    if (peak > 0.0)
        for (double &v : out)
            v *= design.peak / peak;
    return out;
}

} // namespace

PcmSound synthesise(const tones::SoundDesign &design)
{
    PcmSound sound;
    sound.sampleRate = tones::sampleRate;
    sound.channels = 1;
    const std::vector<double> wave = waveform(design);
    sound.samples.reserve(wave.size());
    for (double v : wave)
        sound.samples.push_back(
            static_cast<std::int16_t>(std::clamp(std::lround(v * 32767.0), -32768L, 32767L)));
    return sound;
}

} // namespace vemo
