#pragma once

// Where the clock's sounds live on this machine, and how they are read. The clock names its
// sounds by Windows paths in code page 1254 ("C:\WINDOWS\Media\ringin"); only the file name after
// the last backslash counts, looked up with ".wav" in the program's own media folders.

#include "platform/sound/sound_name.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vemo {

// The first existing regular file named soundFileName(windowsPath1254) in `mediaFolders`, in
// their order.
std::optional<std::filesystem::path>
findSoundFile(const std::string &windowsPath1254,
              const std::vector<std::filesystem::path> &mediaFolders);

// The first existing default.wav in `mediaFolders`.
std::optional<std::filesystem::path>
defaultSoundFile(const std::vector<std::filesystem::path> &mediaFolders);

// The folders to look in, best first, for a program in `executableDir`: the installed data
// folder <exeDir>/../share/vemo2/media, then the build tree's <exeDir>/media.
std::vector<std::filesystem::path> mediaFolders(const std::filesystem::path &executableDir);

// Decoded 16-bit PCM; samples interleaved by channel.
struct PcmSound
{
    unsigned sampleRate = 0; // Hz
    unsigned channels = 0;
    std::vector<std::int16_t> samples;

    std::size_t frames() const { return channels ? samples.size() / channels : 0; }
    double seconds() const { return sampleRate ? double(frames()) / sampleRate : 0.0; }
};

// Either the sound or why it could not be read.
struct WavResult
{
    std::optional<PcmSound> sound;
    std::string error;

    explicit operator bool() const { return sound.has_value(); }
};

// Reads a RIFF WAVE file of 16-bit integer PCM (plain or WAVE_FORMAT_EXTENSIBLE), 1 to 8
// channels, 8 to 192 kHz. Anything else, and any truncated or inconsistent file, gives an error.
WavResult parseWav(std::string_view bytes);
WavResult readWav(const std::filesystem::path &file);

// What a request for a sound plays: the named file when it reads as a sound, else default.wav,
// else the built-in sound. Each path is resolved, and each file read, once.
class SoundFiles
{
public:
    using Clip = std::shared_ptr<const PcmSound>;
    struct Resolved
    {
        Clip clip;           // null: nothing to play
        std::string logName; // the file name, "default", or "none"
    };

    // `builtInDefault` makes the sound for when no default.wav can be read; `warn` hears of
    // every file that cannot be named or read.
    SoundFiles(std::vector<std::filesystem::path> mediaFolders,
               std::function<PcmSound()> builtInDefault,
               std::function<void(const std::string &)> warn);

    // With `useDefault` false a missing or unreadable sound resolves to nothing.
    Resolved resolve(const std::string &windowsPath1254, bool useDefault);

private:
    Clip load(const std::filesystem::path &file);

    const std::vector<std::filesystem::path> folders_;
    const std::function<PcmSound()> makeBuiltInDefault_;
    const std::function<void(const std::string &)> warn_;
    std::map<std::string, Resolved> resolved_; // by the path asked for and useDefault
    std::map<std::filesystem::path, Clip> decoded_;
    Clip builtInDefault_;
};

// The test hook: with VEMO_SOUND_LOG naming a file, each request is appended to it as one line
// "<unix time in ms> <file name or default>", flushed at once.
class SoundLog
{
public:
    // Null when VEMO_SOUND_LOG is unset or empty.
    static std::unique_ptr<SoundLog> fromEnvironment();

    explicit SoundLog(const std::filesystem::path &file);
    void record(std::string_view resolvedName);

private:
    std::mutex mutex_;
    std::ofstream out_;
};

} // namespace vemo
