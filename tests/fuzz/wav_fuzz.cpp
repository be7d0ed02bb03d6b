// Any bytes as a sound file in the media folder. The reader takes them or says why not, never
// reading past them nor making more samples than they hold; and a request for the sound plays
// what the clock promises: the file itself, else default.wav, else the built-in ding.

#include "fuzz_support.h"
#include "platform/sound/sound_lookup.h"

#include <unistd.h>

#include <fstream>

namespace {

namespace fs = std::filesystem;
using vemo::fuzz::require;

// The smallest file that holds a sound: the RIFF and WAVE tags, a 16-byte format chunk and a
// data chunk header.
constexpr std::size_t kSmallestWav = 44;

// A short mono sound at 8 kHz, as a file and as the reader should see it.
const std::string kGoodWav("RIFF\x28\x00\x00\x00WAVEfmt \x10\x00\x00\x00\x01\x00\x01\x00"
                           "\x40\x1F\x00\x00\x80\x3E\x00\x00\x02\x00\x10\x00"
                           "data\x04\x00\x00\x00\x01\x00\xFF\xFF",
                           48);
const std::vector<std::int16_t> kGoodSamples{1, -1};
// The built-in sound stands out by its rate.
const vemo::PcmSound kBuiltIn{11025, 1, {7}};

// A new file each time: a file cut short and written again waits for the disk on ext4.
void write(const fs::path &file, std::string_view bytes)
{
    std::error_code absent;
    fs::remove(file, absent);
    std::ofstream(file, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Two media folders of this process's own: one with a good default.wav, one for the bytes as
// default.wav itself.
struct Folders
{
    Folders()
    {
        withDefault = root / "with-default";
        defaultOnly = root / "default-only";
        fs::create_directories(withDefault);
        fs::create_directories(defaultOnly);
        write(withDefault / "default.wav", kGoodWav);
    }
    ~Folders()
    {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    const fs::path root = fs::temp_directory_path() / ("vemo-wav-fuzz-" + std::to_string(getpid()));
    fs::path withDefault;
    fs::path defaultOnly;
};

vemo::SoundFiles::Resolved resolve(const fs::path &folder, const std::string &path)
{
    vemo::SoundFiles files(
        {folder}, [] { return kBuiltIn; }, [](const std::string &) {});
    return files.resolve(path, true);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const vemo::WavResult read = vemo::parseWav(bytes);
    if (read) {
        const vemo::PcmSound &sound = *read.sound;
        require(sound.channels >= 1 && sound.channels <= 8, "1 to 8 channels");
        require(sound.sampleRate >= 8000 && sound.sampleRate <= 192000, "8 to 192 kHz");
        require(sound.samples.size() % sound.channels == 0, "whole frames only");
        require(kSmallestWav + 2 * sound.samples.size() <= size, "no more samples than bytes");
    } else {
        require(!read.error.empty(), "a refusal says why");
    }

    static const Folders folders;
    // The bytes as the alarm chime, beside a good default.wav.
    write(folders.withDefault / "ringin.wav", bytes);
    const auto chime = resolve(folders.withDefault, "C:\\WINDOWS\\Media\\ringin");
    require(chime.clip != nullptr, "a request always plays something");
    if (read)
        require(chime.logName == "ringin.wav" && chime.clip->samples == read.sound->samples,
                "a readable file plays itself");
    else
        require(chime.logName == "default" && chime.clip->samples == kGoodSamples,
                "default.wav plays in place of an unreadable file");

    // The bytes as default.wav, asked for in place of a missing sound.
    write(folders.defaultOnly / "default.wav", bytes);
    const auto fallback = resolve(folders.defaultOnly, "C:\\WINDOWS\\Media\\tada");
    require(fallback.clip != nullptr && fallback.logName == "default",
            "a missing sound plays the default");
    if (read)
        require(fallback.clip->samples == read.sound->samples, "a readable default.wav plays");
    else
        require(fallback.clip->sampleRate == kBuiltIn.sampleRate,
                "the built-in ding plays in place of an unreadable default.wav");
    return 0;
}
