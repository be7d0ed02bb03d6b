#pragma once

// The sound service on Linux: plays the clock's WAV files through PulseAudio (or PipeWire's
// PulseAudio server) over one connection for the whole program, from a thread of its own.

#include "platform/services.h"
#include "platform/sound/sound_lookup.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct pa_context;
struct pa_threaded_mainloop;

namespace vemo {

class PulseSound : public Sound
{
public:
    // Besides SND_ASYNC: play nothing when the file is missing, instead of the default sound.
    static constexpr unsigned SND_NODEFAULT = 0x0002;

    // Sounds are looked up in `mediaFolders`, best first. Connects to the sound server at once,
    // on the playback thread; without one the clock stays silent.
    explicit PulseSound(std::vector<std::filesystem::path> mediaFolders);
    ~PulseSound() override;

    PulseSound(const PulseSound &) = delete;
    PulseSound &operator=(const PulseSound &) = delete;

    // Stops the sound still playing and starts `path` (or the default sound when it is missing
    // or unreadable: default.wav from the media folders, else a built-in ding);
    // returns at once. The empty path only stops. Returns 1 when a sound was started, else 0.
    int sndPlaySoundA(const std::string &path, unsigned flags) override;

private:
    using Clip = SoundFiles::Clip;

    // The one warning of the whole run about the sound server being out of reach, so that a
    // clock without sound does not fill its log one tick at a time.
    void warnOnce(const std::string &message);

    void run();
    bool ensureConnected();
    void disconnect();
    // The connection broke: says so once and waits a while before connecting again.
    void lost(int error);
    void play(const PcmSound &clip, std::uint64_t generation);

    std::unique_ptr<SoundLog> log_;

    // The sounds by the path asked for, resolved and decoded on the calling thread.
    std::mutex filesMutex_;
    SoundFiles files_;

    // The request handed to the playback thread. Each request (a sound or a stop) bumps the
    // generation, which the playback thread checks between blocks to notice an interruption.
    std::mutex mutex_;
    std::condition_variable wake_;
    Clip pending_;
    bool hasRequest_ = false;
    bool quit_ = false;
    std::atomic<std::uint64_t> generation_{0};
    // Until this steady-clock time (in its own ticks) the playback thread makes no attempt to
    // reach the sound server, so a request has nothing to play or stop and need not wake it;
    // zero while connected or not yet tried.
    std::atomic<std::int64_t> silentUntil_{0};

    // Owned by the playback thread. The connection is kept; each sound gets a stream of its own
    // on it, closed when the sound ends. A stream kept open between sounds holds the server at
    // its short latency, waking it every few milliseconds all the time.
    pa_threaded_mainloop *loop_ = nullptr;
    pa_context *context_ = nullptr;
    bool triedConnecting_ = false;
    std::chrono::steady_clock::time_point lastAttempt_;

    std::mutex warnMutex_;
    bool warned_ = false;

    std::thread thread_;
};

} // namespace vemo
