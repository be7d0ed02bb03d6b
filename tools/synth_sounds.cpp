// Writes the clock's sounds as 48 kHz 16-bit mono WAV files into the folder given as the only
// argument. The sounds are described in platform/sound/sound_tones.h.

#include "platform/sound/sound_synth.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

namespace {

using vemo::tones::SoundDesign;

void putLe(std::string &bytes, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::string wavBytes(const vemo::PcmSound &sound)
{
    const std::uint32_t channels = 1;
    const std::uint32_t rate = vemo::tones::sampleRate;
    const auto dataSize = static_cast<std::uint32_t>(sound.samples.size() * 2);
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
    for (std::int16_t s : sound.samples)
        putLe(b, static_cast<std::uint32_t>(s) & 0xFFFF, 2);
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
                const std::string bytes = wavBytes(vemo::synthesise(*design));
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
