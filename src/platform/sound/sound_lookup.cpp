#include "platform/sound/sound_lookup.h"

#include "platform/text.h"

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <system_error>

namespace vemo {

namespace fs = std::filesystem;

namespace {

fs::path fromUtf8(const std::string &utf8)
{
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

bool isRegularFile(const fs::path &p)
{
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

std::optional<fs::path> firstExisting(const std::string &name, const std::vector<fs::path> &folders)
{
    if (name.empty())
        return std::nullopt;
    const fs::path file = fromUtf8(name);
    for (const fs::path &folder : folders) {
        fs::path candidate = folder / file;
        if (isRegularFile(candidate))
            return candidate;
    }
    return std::nullopt;
}

std::uint32_t le(std::string_view b, std::size_t at, int size)
{
    std::uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    return v;
}

WavResult failure(std::string why)
{
    return WavResult{std::nullopt, std::move(why)};
}

// Files above this size are no clock sound; refusing them keeps a stray file from eating memory.
constexpr std::uintmax_t maxWavBytes = 64u * 1024u * 1024u;

} // namespace

std::optional<fs::path> findSoundFile(const std::string &windowsPath1254,
                                      const std::vector<fs::path> &mediaFolders)
{
    return firstExisting(soundFileName(windowsPath1254), mediaFolders);
}

std::optional<fs::path> defaultSoundFile(const std::vector<fs::path> &mediaFolders)
{
    return firstExisting("default.wav", mediaFolders);
}

std::vector<fs::path> mediaFolders(const fs::path &executableDir)
{
    return {(executableDir / ".." / "share" / "vemo2" / "media").lexically_normal(),
            (executableDir / "media").lexically_normal()};
}

WavResult parseWav(std::string_view b)
{
    if (b.size() < 12 || b.substr(0, 4) != "RIFF" || b.substr(8, 4) != "WAVE")
        return failure("no RIFF WAVE header");

    std::optional<PcmSound> format;
    std::size_t at = 12;
    while (at + 8 <= b.size()) {
        const std::string_view id = b.substr(at, 4);
        const std::size_t size = le(b, at + 4, 4);
        const std::size_t body = at + 8;
        if (size > b.size() - body)
            return failure("chunk '" + std::string(id) + "' runs past the end of the file");

        if (id == "fmt ") {
            if (size < 16)
                return failure("format chunk too short");
            unsigned tag = le(b, body, 2);
            const unsigned channels = le(b, body + 2, 2);
            const std::uint32_t rate = le(b, body + 4, 4);
            const std::uint32_t byteRate = le(b, body + 8, 4);
            const unsigned blockAlign = le(b, body + 12, 2);
            const unsigned bits = le(b, body + 14, 2);
            if (tag == 0xFFFE) {
                // WAVE_FORMAT_EXTENSIBLE: the real format tag opens the sub-format GUID.
                if (size < 40)
                    return failure("extensible format chunk too short");
                tag = le(b, body + 24, 2);
            }
            if (tag != 1)
                return failure("not integer PCM (format " + std::to_string(tag) + ")");
            if (bits != 16)
                return failure(std::to_string(bits) + "-bit samples are not supported");
            if (channels < 1 || channels > 8)
                return failure("unsupported channel count " + std::to_string(channels));
            if (rate < 8000 || rate > 192000)
                return failure("unsupported sample rate " + std::to_string(rate));
            if (blockAlign != channels * 2 || byteRate != rate * blockAlign)
                return failure("inconsistent format chunk");
            format = PcmSound{rate, channels, {}};
        } else if (id == "data") {
            if (!format)
                return failure("data before format");
            const std::size_t frameBytes = format->channels * 2u;
            if (size % frameBytes != 0)
                return failure("data ends inside a frame");
            format->samples.resize(size / 2);
            for (std::size_t i = 0; i < format->samples.size(); ++i)
                format->samples[i] = static_cast<std::int16_t>(le(b, body + 2 * i, 2));
            return WavResult{std::move(format), {}};
        }
        // Chunks are padded to an even length.
        at = body + size + (size & 1u);
    }
    return failure(format ? "no data chunk" : "no format chunk");
}

WavResult readWav(const fs::path &file)
{
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(file, ec);
    if (ec)
        return failure(ec.message());
    if (size > maxWavBytes)
        return failure("file too large for a sound");
    std::ifstream in(file, std::ios::binary);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size())))
        return failure("cannot read the file");
    return parseWav(bytes);
}

SoundFiles::SoundFiles(std::vector<fs::path> mediaFolders, std::function<PcmSound()> builtInDefault,
                       std::function<void(const std::string &)> warn)
    : folders_(std::move(mediaFolders)), makeBuiltInDefault_(std::move(builtInDefault)),
      warn_(std::move(warn))
{
}

SoundFiles::Resolved SoundFiles::resolve(const std::string &windowsPath1254, bool useDefault)
{
    const std::string key = windowsPath1254 + '\0' + (useDefault ? '1' : '0');
    if (auto it = resolved_.find(key); it != resolved_.end())
        return it->second;

    Resolved resolved;
    std::optional<fs::path> file;
    try {
        file = findSoundFile(windowsPath1254, folders_);
    } catch (const std::exception &e) {
        // A path that is no text in code page 1254 names no file; it is treated as missing.
        warn_(std::string("ses dosyasının adı çevrilemedi: ") + e.what());
    }
    if (file) {
        resolved.clip = load(*file);
        const std::u8string name = file->filename().u8string();
        resolved.logName.assign(name.begin(), name.end());
    }
    if (!resolved.clip && useDefault) {
        if (const auto fallback = defaultSoundFile(folders_))
            resolved.clip = load(*fallback);
        // Without a readable default.wav (no media folder at all, say) the clock still has its
        // own ding, as a desktop always has a default sound.
        if (!resolved.clip) {
            if (!builtInDefault_)
                builtInDefault_ = std::make_shared<const PcmSound>(makeBuiltInDefault_());
            resolved.clip = builtInDefault_;
        }
        resolved.logName = "default";
    }
    if (!resolved.clip)
        resolved.logName = "none";
    resolved_.emplace(key, resolved);
    return resolved;
}

SoundFiles::Clip SoundFiles::load(const fs::path &file)
{
    if (auto it = decoded_.find(file); it != decoded_.end())
        return it->second;
    WavResult wav = readWav(file);
    Clip clip;
    if (wav)
        clip = std::make_shared<const PcmSound>(std::move(*wav.sound));
    else
        warn_("ses dosyası okunamadı: " + file.string() + ": " + wav.error);
    decoded_.emplace(file, clip);
    return clip;
}

std::unique_ptr<SoundLog> SoundLog::fromEnvironment()
{
    const char *file = std::getenv("VEMO_SOUND_LOG");
    if (!file || !*file)
        return nullptr;
    return std::make_unique<SoundLog>(fs::path(file));
}

SoundLog::SoundLog(const fs::path &file) : out_(file, std::ios::app)
{
    if (!out_)
        std::cerr << "vemo2: ses günlüğü açılamadı: " << file.string() << '\n';
}

void SoundLog::record(std::string_view resolvedName)
{
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::system_clock::now().time_since_epoch())
                        .count();
    std::lock_guard lock(mutex_);
    out_ << ms << ' ' << resolvedName << '\n';
    out_.flush();
}

} // namespace vemo
