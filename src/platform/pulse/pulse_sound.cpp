#include "platform/pulse/pulse_sound.h"

#include "platform/pulse/sound_synth.h"
#include "platform/pulse/sound_tones.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <algorithm>
#include <iostream>

namespace vemo {

namespace fs = std::filesystem;

namespace {

// Target latency of the stream. Small, so that a new sound cuts the old one within a few tens
// of milliseconds; the server keeps this much queued ahead of the speaker.
constexpr unsigned targetLatencyUs = 40'000;
// Each write to the server is this long; the playback thread looks for a new request between
// writes.
constexpr unsigned blockUs = 10'000;
// After failing to reach the sound server, do not try again for this long.
constexpr auto retryInterval = std::chrono::minutes(1);

std::string warningText(const std::string &what)
{
    return "vemo2: " + what;
}

} // namespace

PulseSound::PulseSound(std::vector<fs::path> mediaFolders)
    : m_folders(std::move(mediaFolders)), m_log(SoundLog::fromEnvironment())
{
    m_thread = std::thread([this] { run(); });
}

PulseSound::~PulseSound()
{
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
        ++m_generation;
    }
    m_wake.notify_one();
    m_thread.join();
}

int PulseSound::sndPlaySoundA(const std::string &path, unsigned flags)
{
    Resolved resolved;
    if (!path.empty())
        resolved = resolve(path, flags);
    if (m_log)
        m_log->record(path.empty() ? "stop" : resolved.logName);
    if (!path.empty() && !resolved.clip)
        return 0;
    {
        std::lock_guard lock(m_mutex);
        m_pending = resolved.clip;
        m_hasRequest = true;
        ++m_generation;
    }
    m_wake.notify_one();
    return 1;
}

PulseSound::Resolved PulseSound::resolve(const std::string &path, unsigned flags)
{
    const std::string key = path + '\0' + std::to_string(flags & SND_NODEFAULT);
    std::lock_guard lock(m_cacheMutex);
    if (auto it = m_cache.find(key); it != m_cache.end())
        return it->second;

    Resolved resolved;
    std::optional<fs::path> file;
    try {
        file = findSoundFile(path, m_folders);
    } catch (const std::exception &e) {
        // A path that is no text in code page 1254 names no file; it is treated as missing.
        std::cerr << warningText(std::string("ses dosyasının adı çevrilemedi: ") + e.what())
                  << '\n';
    }
    if (file) {
        resolved.clip = load(*file);
        const std::u8string name = file->filename().u8string();
        resolved.logName.assign(name.begin(), name.end());
    }
    if (!resolved.clip && !(flags & SND_NODEFAULT)) {
        if (const auto fallback = defaultSoundFile(m_folders))
            resolved.clip = load(*fallback);
        // Without a readable default.wav (no media folder at all, say) the clock still has its
        // own ding, as a desktop always has a default sound.
        if (!resolved.clip)
            resolved.clip = builtInDefault();
        resolved.logName = "default";
    }
    if (!resolved.clip)
        resolved.logName = "none";
    m_cache.emplace(key, resolved);
    return resolved;
}

PulseSound::Clip PulseSound::load(const fs::path &file)
{
    if (auto it = m_decoded.find(file); it != m_decoded.end())
        return it->second;
    WavResult wav = readWav(file);
    Clip clip;
    if (wav)
        clip = std::make_shared<const PcmSound>(std::move(*wav.sound));
    else
        std::cerr << warningText("ses dosyası okunamadı: " + file.string() + ": " + wav.error)
                  << '\n';
    m_decoded.emplace(file, clip);
    return clip;
}

PulseSound::Clip PulseSound::builtInDefault()
{
    if (!m_builtInDefault)
        m_builtInDefault = std::make_shared<const PcmSound>(synthesise(tones::ding));
    return m_builtInDefault;
}

void PulseSound::warnOnce(const std::string &message)
{
    std::lock_guard lock(m_warnMutex);
    if (m_warned)
        return;
    m_warned = true;
    std::cerr << warningText(message) << '\n';
}

void PulseSound::run()
{
    // Connecting early spares the first sound the set-up time.
    ensureStream(PcmSound{unsigned(tones::sampleRate), 1, {}});
    for (;;) {
        Clip clip;
        std::uint64_t generation = 0;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_quit || m_hasRequest; });
            if (m_quit)
                break;
            clip = std::move(m_pending);
            m_pending.reset();
            m_hasRequest = false;
            generation = m_generation;
        }
        if (clip && ensureStream(*clip))
            play(*clip, generation);
    }
    closeStream();
}

bool PulseSound::ensureStream(const PcmSound &format)
{
    if (m_stream && m_streamRate == format.sampleRate && m_streamChannels == format.channels)
        return true;
    closeStream();

    const auto now = std::chrono::steady_clock::now();
    if (m_triedConnecting && now - m_lastAttempt < retryInterval)
        return false;
    m_triedConnecting = true;
    m_lastAttempt = now;

    pa_sample_spec sampleFormat{};
    sampleFormat.format = PA_SAMPLE_S16LE;
    sampleFormat.rate = format.sampleRate;
    sampleFormat.channels = static_cast<std::uint8_t>(format.channels);

    // A short target length keeps interruptions quick. The prebuffer stays at its default (the
    // target length): a sound shorter than that is started by the drain after its last block.
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.tlength = static_cast<std::uint32_t>(pa_usec_to_bytes(targetLatencyUs, &sampleFormat));
    attr.prebuf = static_cast<std::uint32_t>(-1);
    attr.minreq = static_cast<std::uint32_t>(-1);
    attr.fragsize = static_cast<std::uint32_t>(-1);

    int error = 0;
    m_stream = pa_simple_new(nullptr, "vemo2", PA_STREAM_PLAYBACK, nullptr, "Saat sesleri", &sampleFormat,
                             nullptr, &attr, &error);
    if (!m_stream) {
        warnOnce(std::string("ses sunucusuna bağlanılamadı (") + pa_strerror(error) +
                 "); saat sessiz çalışacak.");
        return false;
    }
    m_streamRate = format.sampleRate;
    m_streamChannels = format.channels;
    return true;
}

void PulseSound::closeStream()
{
    if (m_stream)
        pa_simple_free(m_stream);
    m_stream = nullptr;
    m_streamRate = 0;
    m_streamChannels = 0;
}

void PulseSound::play(const PcmSound &clip, std::uint64_t generation)
{
    const std::size_t blockFrames =
        std::max<std::size_t>(1, std::size_t(clip.sampleRate) * blockUs / 1'000'000);
    const std::size_t frames = clip.frames();
    int error = 0;
    const auto lost = [&] {
        warnOnce(std::string("ses sunucusuyla bağlantı koptu (") + pa_strerror(error) + ").");
        closeStream();
        m_lastAttempt = std::chrono::steady_clock::now();
    };

    for (std::size_t at = 0; at < frames; at += blockFrames) {
        if (m_generation != generation) {
            // Interrupted: what is still queued at the server is dropped, not heard.
            if (pa_simple_flush(m_stream, &error) < 0)
                lost();
            return;
        }
        const std::size_t n = std::min(blockFrames, frames - at);
        if (pa_simple_write(m_stream, clip.samples.data() + at * clip.channels,
                            n * clip.channels * sizeof(std::int16_t), &error) < 0) {
            lost();
            return;
        }
    }
    // Waits until the last block has been heard; this also starts a sound shorter than the
    // prebuffer, which the server would otherwise hold back.
    if (pa_simple_drain(m_stream, &error) < 0)
        lost();
}

} // namespace vemo
