// Writes the clock's sounds as 48 kHz 16-bit mono WAV files into the folder given as the only
// argument. The sounds are described in platform/pulse/sound_tones.h.

#include "platform/pulse/sound_tones.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <numbers>
#include <string>
#include <vector>

namespace {

using vemo::tones::SoundDesign;

std::vector<double> synthesise(const SoundDesign &design)
{
    const double rate = vemo::tones::sampleRate;
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
            for (std::size_t h = 0; h < vemo::tones::harmonicLevels.size(); ++h) {
                const double decay = design.decay / vemo::tones::harmonicDecayFactor[h];
                v += vemo::tones::harmonicLevels[h] * std::exp(-t / decay) *
                     std::sin(2.0 * std::numbers::pi * f * static_cast<double>(h + 1) * t);
            }
            out[i] += rise * v;
        }
    }

    // The last sample is exactly zero, so the end of the file is no step.
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

void putLe(std::string &bytes, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::string wavBytes(const std::vector<double> &samples)
{
    const std::uint32_t channels = 1;
    const std::uint32_t rate = vemo::tones::sampleRate;
    const auto dataSize = static_cast<std::uint32_t>(samples.size() * 2 * channels);
    std::string b;
    b += "RIFF";
    putLe(b, 36 + dataSize, 4);
    b += "WAVEfmt ";
    putLe(b, 16, 4);
    putLe(b, 1, 2); // integer PCM
    putLe(b, channels, 2);
    putLe(b, rate, 4);
    putLe(b, rate * channels * 2, 4);
    putLe(b, channels * 2, 2);
    putLe(b, 16, 2);
    b += "data";
    putLe(b, dataSize, 4);
    for (double v : samples) {
        const long s = std::clamp(std::lround(v * 32767.0), -32768L, 32767L);
        putLe(b, static_cast<std::uint32_t>(static_cast<std::int16_t>(s)) & 0xFFFF, 2);
    }
    return b;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::cerr << "usage: synth_sounds <output folder>\n";
        return 2;
    }
    namespace fs = std::filesystem;
    const fs::path folder = argv[1];
    try {
        fs::create_directories(folder);
        for (const SoundDesign *design : vemo::tones::all) {
            const std::string name = design->fileName;
            const fs::path target = folder / fs::path(std::u8string(name.begin(), name.end()));
            fs::path partial = target;
            partial += ".part";
            {
                std::ofstream out(partial, std::ios::binary | std::ios::trunc);
                const std::string bytes = wavBytes(synthesise(*design));
                out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
                if (!out.flush())
                    throw std::runtime_error("cannot write " + partial.string());
            }
            // Renamed into place so that an interrupted build never leaves a short file.
            fs::rename(partial, target);
        }
    } catch (const std::exception &e) {
        std::cerr << "synth_sounds: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
