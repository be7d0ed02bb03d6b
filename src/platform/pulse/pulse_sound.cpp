#include "platform/pulse/pulse_sound.h"

#include "platform/pulse/sound_synth.h"
#include "platform/pulse/sound_tones.h"

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/stream.h>
#include <pulse/thread-mainloop.h>

#include <pthread.h>

#include <algorithm>
#include <iostream>

namespace vemo {

namespace fs = std::filesystem;

namespace {

// Target latency of a stream: the server keeps this much queued ahead of the speaker, and
// asks for more a quarter of it at a time. Small, so that the playback thread, which looks for
// a new request between writes, cuts a sound off within about ten milliseconds.
constexpr unsigned targetLatencyUs = 40'000;
// After failing to reach the sound server, do not try again for this long.
constexpr auto retryInterval = std::chrono::minutes(1);

std::string warningText(const std::string &what)
{
    return "vemo2: " + what;
}

// Every callback only wakes the playback thread, which waits in pa_threaded_mainloop_wait and
// looks at the states itself.
void wakeOnContext(pa_context *, void *loop)
{
    pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop *>(loop), 0);
}
void wakeOnStream(pa_stream *, void *loop)
{
    pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop *>(loop), 0);
}
void wakeOnSpace(pa_stream *, std::size_t, void *loop)
{
    pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop *>(loop), 0);
}
void wakeOnDone(pa_stream *, int, void *loop)
{
    pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop *>(loop), 0);
}

class LoopLock
{
public:
    explicit LoopLock(pa_threaded_mainloop *loop) : m_loop(loop)
    {
        pa_threaded_mainloop_lock(loop);
    }
    ~LoopLock() { pa_threaded_mainloop_unlock(m_loop); }
    LoopLock(const LoopLock &) = delete;
    LoopLock &operator=(const LoopLock &) = delete;

private:
    pa_threaded_mainloop *m_loop;
};

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
    // Without a sound server the playback thread is left asleep, every second, until it is due
    // to try again.
    if (std::chrono::steady_clock::now().time_since_epoch().count() <
        m_silentUntil.load(std::memory_order_relaxed))
        return 1;
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
    // Named so that the playback thread can be told apart when the clock is measured.
    pthread_setname_np(pthread_self(), "vemo2-sound");
    // Connecting early spares the first sound the set-up time.
    ensureConnected();
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
        if (clip && ensureConnected())
            play(*clip, generation);
    }
    disconnect();
}

bool PulseSound::ensureConnected()
{
    if (m_context)
        return true;
    const auto now = std::chrono::steady_clock::now();
    if (m_triedConnecting && now - m_lastAttempt < retryInterval)
        return false;
    m_triedConnecting = true;
    m_lastAttempt = now;

    m_loop = pa_threaded_mainloop_new();
    if (!m_loop || pa_threaded_mainloop_start(m_loop) < 0) {
        warnOnce("ses sistemi başlatılamadı; saat sessiz çalışacak.");
        if (m_loop)
            pa_threaded_mainloop_free(m_loop);
        m_loop = nullptr;
        m_silentUntil = (m_lastAttempt + retryInterval).time_since_epoch().count();
        return false;
    }
    int error = PA_ERR_CONNECTIONREFUSED;
    {
        LoopLock lock(m_loop);
        m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "vemo2");
        if (m_context) {
            pa_context_set_state_callback(m_context, wakeOnContext, m_loop);
            if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOFLAGS, nullptr) >= 0) {
                for (;;) {
                    const pa_context_state_t state = pa_context_get_state(m_context);
                    if (state == PA_CONTEXT_READY) {
                        m_silentUntil = 0;
                        return true;
                    }
                    if (!PA_CONTEXT_IS_GOOD(state))
                        break;
                    pa_threaded_mainloop_wait(m_loop);
                }
            }
            error = pa_context_errno(m_context);
        }
    }
    disconnect();
    m_silentUntil = (m_lastAttempt + retryInterval).time_since_epoch().count();
    warnOnce(std::string("ses sunucusuna bağlanılamadı (") + pa_strerror(error) +
             "); saat sessiz çalışacak.");
    return false;
}

void PulseSound::disconnect()
{
    if (!m_loop)
        return;
    if (m_context) {
        LoopLock lock(m_loop);
        pa_context_set_state_callback(m_context, nullptr, nullptr);
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
        m_context = nullptr;
    }
    pa_threaded_mainloop_stop(m_loop);
    pa_threaded_mainloop_free(m_loop);
    m_loop = nullptr;
}

void PulseSound::lost(int error)
{
    warnOnce(std::string("ses sunucusuyla bağlantı koptu (") + pa_strerror(error) + ").");
    disconnect();
    m_lastAttempt = std::chrono::steady_clock::now();
    m_silentUntil = (m_lastAttempt + retryInterval).time_since_epoch().count();
}

void PulseSound::play(const PcmSound &clip, std::uint64_t generation)
{
    pa_sample_spec format{};
    format.format = PA_SAMPLE_S16LE;
    format.rate = clip.sampleRate;
    format.channels = static_cast<std::uint8_t>(clip.channels);
    // The prebuffer stays at its default, the target length: a sound shorter than that is
    // started by the drain after its last write.
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.tlength = static_cast<std::uint32_t>(pa_usec_to_bytes(targetLatencyUs, &format));
    attr.prebuf = static_cast<std::uint32_t>(-1);
    attr.minreq = static_cast<std::uint32_t>(-1);
    attr.fragsize = static_cast<std::uint32_t>(-1);

    bool failed = false;
    int error = 0;
    const auto fail = [&] {
        failed = true;
        error = pa_context_errno(m_context);
    };
    {
        LoopLock lock(m_loop);
        pa_stream *stream = pa_stream_new(m_context, "Saat sesleri", &format, nullptr);
        if (!stream) {
            fail();
        } else {
            pa_stream_set_state_callback(stream, wakeOnStream, m_loop);
            pa_stream_set_write_callback(stream, wakeOnSpace, m_loop);
            // Whether the stream and the connection are still up.
            const auto good = [&] {
                if (!PA_STREAM_IS_GOOD(pa_stream_get_state(stream)) ||
                    !PA_CONTEXT_IS_GOOD(pa_context_get_state(m_context)))
                    fail();
                return !failed;
            };
            const auto *bytes = reinterpret_cast<const std::uint8_t *>(clip.samples.data());
            const std::size_t total = clip.samples.size() * sizeof(std::int16_t);
            std::size_t at = 0;
            if (pa_stream_connect_playback(stream, nullptr, &attr, PA_STREAM_ADJUST_LATENCY,
                                           nullptr, nullptr) < 0) {
                fail();
            } else {
                while (good() && pa_stream_get_state(stream) != PA_STREAM_READY)
                    pa_threaded_mainloop_wait(m_loop);
                // Written as fast as the server asks; an interruption closes the stream, and
                // what is still queued at the server goes with it, unheard.
                while (!failed && at < total && m_generation == generation) {
                    const std::size_t space = pa_stream_writable_size(stream);
                    if (space == static_cast<std::size_t>(-1)) {
                        fail();
                    } else if (space == 0) {
                        pa_threaded_mainloop_wait(m_loop);
                        good();
                    } else {
                        const std::size_t n = std::min(space, total - at);
                        if (pa_stream_write(stream, bytes + at, n, nullptr, 0, PA_SEEK_RELATIVE) <
                            0)
                            fail();
                        at += n;
                    }
                }
                // Waits until the last sample has been heard; this also starts a sound shorter
                // than the prebuffer, which the server would otherwise hold back.
                if (!failed && at == total) {
                    if (pa_operation *drain = pa_stream_drain(stream, wakeOnDone, m_loop)) {
                        while (good() && pa_operation_get_state(drain) == PA_OPERATION_RUNNING)
                            pa_threaded_mainloop_wait(m_loop);
                        pa_operation_unref(drain);
                    } else {
                        fail();
                    }
                }
                pa_stream_disconnect(stream);
            }
            pa_stream_set_state_callback(stream, nullptr, nullptr);
            pa_stream_set_write_callback(stream, nullptr, nullptr);
            pa_stream_unref(stream);
        }
    }
    if (failed)
        lost(error ? error : PA_ERR_UNKNOWN);
}

} // namespace vemo
