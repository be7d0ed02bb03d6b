#pragma once

// The sound service on Linux: plays the clock's WAV files through PulseAudio (or PipeWire's
// PulseAudio server) over one connection for the whole program, from a thread of its own.

#include "platform/services.h"
#include "platform/sound_lookup.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <map>
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
    using Clip = std::shared_ptr<const PcmSound>;
    struct Resolved
    {
        Clip clip;           // null: nothing to play
        std::string logName; // the file name, or "default"
    };

    Resolved resolve(const std::string &path, unsigned flags);
    Clip load(const std::filesystem::path &file);
    // The default sound synthesised in memory, for when no default.wav can be read.
    Clip builtInDefault();
    // The one warning of the whole run about the sound server being out of reach, so that a
    // clock without sound does not fill its log one tick at a time.
    void warnOnce(const std::string &message);

    void run();
    bool ensureConnected();
    void disconnect();
    // The connection broke: says so once and waits a while before connecting again.
    void lost(int error);
    void play(const PcmSound &clip, std::uint64_t generation);

    const std::vector<std::filesystem::path> m_folders;
    std::unique_ptr<SoundLog> m_log;

    // Decoded files by the path asked for, filled on the calling thread.
    std::mutex m_cacheMutex;
    std::map<std::string, Resolved> m_cache;
    std::map<std::filesystem::path, Clip> m_decoded;
    Clip m_builtInDefault;

    // The request handed to the playback thread. Each request (a sound or a stop) bumps the
    // generation, which the playback thread checks between blocks to notice an interruption.
    std::mutex m_mutex;
    std::condition_variable m_wake;
    Clip m_pending;
    bool m_hasRequest = false;
    bool m_quit = false;
    std::atomic<std::uint64_t> m_generation{0};
    // Until this steady-clock time (in its own ticks) the playback thread makes no attempt to
    // reach the sound server, so a request has nothing to play or stop and need not wake it;
    // zero while connected or not yet tried.
    std::atomic<std::int64_t> m_silentUntil{0};

    // Owned by the playback thread. The connection is kept; each sound gets a stream of its own
    // on it, closed when the sound ends. A stream kept open between sounds holds the server at
    // its short latency, waking it every few milliseconds all the time.
    pa_threaded_mainloop *m_loop = nullptr;
    pa_context *m_context = nullptr;
    bool m_triedConnecting = false;
    std::chrono::steady_clock::time_point m_lastAttempt;

    std::mutex m_warnMutex;
    bool m_warned = false;

    std::thread m_thread;
};

} // namespace vemo
