#include "platform/pulse/pulse_sound.h"

#include "platform/sound/sound_synth.h"
#include "platform/sound/sound_tones.h"

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
    explicit LoopLock(pa_threaded_mainloop *loop) : loop_(loop) { pa_threaded_mainloop_lock(loop); }
    ~LoopLock() { pa_threaded_mainloop_unlock(loop_); }
    LoopLock(const LoopLock &) = delete;
    LoopLock &operator=(const LoopLock &) = delete;

private:
    pa_threaded_mainloop *loop_;
};

} // namespace

PulseSound::PulseSound(std::vector<fs::path> mediaFolders)
    : log_(SoundLog::fromEnvironment()),
      files_(
          std::move(mediaFolders), [] { return synthesise(tones::ding); },
          [](const std::string &message) { std::cerr << warningText(message) << '\n'; })
{
    thread_ = std::thread([this] { run(); });
}

PulseSound::~PulseSound()
{
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
        ++generation_;
    }
    wake_.notify_one();
    thread_.join();
}

int PulseSound::sndPlaySoundA(const std::string &path, unsigned flags)
{
    SoundFiles::Resolved resolved;
    if (!path.empty()) {
        std::lock_guard lock(filesMutex_);
        resolved = files_.resolve(path, !(flags & SND_NODEFAULT));
    }
    if (log_)
        log_->record(path.empty() ? "stop" : resolved.logName);
    if (!path.empty() && !resolved.clip)
        return 0;
    // Without a sound server the playback thread is left asleep, every second, until it is due
    // to try again.
    if (std::chrono::steady_clock::now().time_since_epoch().count() <
        silentUntil_.load(std::memory_order_relaxed))
        return 1;
    {
        std::lock_guard lock(mutex_);
        pending_ = resolved.clip;
        hasRequest_ = true;
        ++generation_;
    }
    wake_.notify_one();
    return 1;
}

void PulseSound::warnOnce(const std::string &message)
{
    std::lock_guard lock(warnMutex_);
    if (warned_)
        return;
    warned_ = true;
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
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return quit_ || hasRequest_; });
            if (quit_)
                break;
            clip = std::move(pending_);
            pending_.reset();
            hasRequest_ = false;
            generation = generation_;
        }
        if (clip && ensureConnected())
            play(*clip, generation);
    }
    disconnect();
}

bool PulseSound::ensureConnected()
{
    if (context_)
        return true;
    const auto now = std::chrono::steady_clock::now();
    if (triedConnecting_ && now - lastAttempt_ < retryInterval)
        return false;
    triedConnecting_ = true;
    lastAttempt_ = now;

    loop_ = pa_threaded_mainloop_new();
    if (!loop_ || pa_threaded_mainloop_start(loop_) < 0) {
        warnOnce("ses sistemi başlatılamadı; saat sessiz çalışacak.");
        if (loop_)
            pa_threaded_mainloop_free(loop_);
        loop_ = nullptr;
        silentUntil_ = (lastAttempt_ + retryInterval).time_since_epoch().count();
        return false;
    }
    int error = PA_ERR_CONNECTIONREFUSED;
    {
        LoopLock lock(loop_);
        context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "vemo2");
        if (context_) {
            pa_context_set_state_callback(context_, wakeOnContext, loop_);
            if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOFLAGS, nullptr) >= 0) {
                for (;;) {
                    const pa_context_state_t state = pa_context_get_state(context_);
                    if (state == PA_CONTEXT_READY) {
                        silentUntil_ = 0;
                        return true;
                    }
                    if (!PA_CONTEXT_IS_GOOD(state))
                        break;
                    pa_threaded_mainloop_wait(loop_);
                }
            }
            error = pa_context_errno(context_);
        }
    }
    disconnect();
    silentUntil_ = (lastAttempt_ + retryInterval).time_since_epoch().count();
    warnOnce(std::string("ses sunucusuna bağlanılamadı (") + pa_strerror(error) +
             "); saat sessiz çalışacak.");
    return false;
}

void PulseSound::disconnect()
{
    if (!loop_)
        return;
    if (context_) {
        LoopLock lock(loop_);
        pa_context_set_state_callback(context_, nullptr, nullptr);
        pa_context_disconnect(context_);
        pa_context_unref(context_);
        context_ = nullptr;
    }
    pa_threaded_mainloop_stop(loop_);
    pa_threaded_mainloop_free(loop_);
    loop_ = nullptr;
}

void PulseSound::lost(int error)
{
    warnOnce(std::string("ses sunucusuyla bağlantı koptu (") + pa_strerror(error) + ").");
    disconnect();
    lastAttempt_ = std::chrono::steady_clock::now();
    silentUntil_ = (lastAttempt_ + retryInterval).time_since_epoch().count();
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
        error = pa_context_errno(context_);
    };
    {
        LoopLock lock(loop_);
        pa_stream *stream = pa_stream_new(context_, "Saat sesleri", &format, nullptr);
        if (!stream) {
            fail();
        } else {
            pa_stream_set_state_callback(stream, wakeOnStream, loop_);
            pa_stream_set_write_callback(stream, wakeOnSpace, loop_);
            // Whether the stream and the connection are still up.
            const auto good = [&] {
                if (!PA_STREAM_IS_GOOD(pa_stream_get_state(stream)) ||
                    !PA_CONTEXT_IS_GOOD(pa_context_get_state(context_)))
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
                    pa_threaded_mainloop_wait(loop_);
                // Written as fast as the server asks; an interruption closes the stream, and
                // what is still queued at the server goes with it, unheard.
                while (!failed && at < total && generation_ == generation) {
                    const std::size_t space = pa_stream_writable_size(stream);
                    if (space == static_cast<std::size_t>(-1)) {
                        fail();
                    } else if (space == 0) {
                        pa_threaded_mainloop_wait(loop_);
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
                    if (pa_operation *drain = pa_stream_drain(stream, wakeOnDone, loop_)) {
                        while (good() && pa_operation_get_state(drain) == PA_OPERATION_RUNNING)
                            pa_threaded_mainloop_wait(loop_);
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
