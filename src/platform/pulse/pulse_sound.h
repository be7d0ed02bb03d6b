#pragma once

// The sound service on Linux: plays the clock's sounds through PulseAudio (or PipeWire's
// PulseAudio server) over one connection and one playback stream kept for the whole run. Between
// sounds the stream runs dry and plays silence, which costs the server less than a stream or a
// sample played anew each second; a new sound empties what is still queued and takes its place,
// so that it stops the one still playing. The caller's thread writes a sound itself; a thread of
// the service's own connects, opens the stream, and writes what must wait for the server (a
// sound longer than the stream holds). Between sounds no thread wakes.

#include "platform/pulse/reconnect_schedule.h"
#include "platform/services.h"
#include "platform/sound/sound_lookup.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct pa_context;
struct pa_mainloop;
struct pa_stream;

namespace vemo {

class PulseSound : public Sound
{
public:
    // Besides SND_ASYNC: play nothing when the file is missing, instead of the default sound.
    static constexpr unsigned SND_NODEFAULT = 0x0002;

    // Sounds are looked up in `mediaFolders`, best first, and read once, as the service starts.
    // Connects to the sound server at once, on the service's thread; without one the clock stays
    // silent.
    explicit PulseSound(std::vector<std::filesystem::path> mediaFolders);
    ~PulseSound() override;

    PulseSound(const PulseSound &) = delete;
    PulseSound &operator=(const PulseSound &) = delete;

    // Stops the sound still playing and starts `path` (or the default sound when it is missing
    // or unreadable: default.wav from the media folders, else a built-in ding);
    // returns at once. The empty path only stops. Returns 1 when a sound was started, else 0.
    int sndPlaySoundA(const std::string &path, unsigned flags) override;

private:
    using Clock = ReconnectSchedule::Clock;
    using Clip = SoundFiles::Clip;

    // A request handed to the service's thread; a null clip only stops.
    struct Request
    {
        Clip clip;
        Clock::time_point asked;
    };
    // A playback stream kept for the sounds of one sample format: the clock's own sounds share
    // one; a sound of the user's in another format gets its own.
    struct Channel
    {
        unsigned rate = 0; // Hz
        unsigned channels = 0;
        pa_stream *stream = nullptr;
        std::size_t capacity = 0;          // bytes the stream holds
        std::vector<std::uint8_t> silence; // written after each sound
        Clock::time_point heardUntil;      // the sound written last has surely ended after this
        Clip feeding;                      // the sound being written, while not all of it is
        std::size_t written = 0;           // bytes of it
    };

    // The one warning of the whole run about the sound server being out of reach, so that a
    // clock without sound does not fill its log one tick at a time.
    void warnOnce(const std::string &message);

    void run();
    // Connects and opens the streams for the clock's own sounds; says so once when it fails.
    bool reach();
    bool connect();
    Channel *open(const PcmSound &sound);
    void disconnect();
    // The connection broke: says so once.
    void lose();
    Channel *channelFor(const PcmSound &sound);
    // Plays the request on the service's thread, waiting for the server where need be; false
    // when the connection broke.
    bool serve(const Request &request);
    // Plays the request on the calling thread where that needs no waiting; false when the
    // service's thread must take it.
    bool sendAtOnce(const Request &request);
    // Empties the stream whose sound may still be heard and writes the request's sound, as much
    // of it as the stream holds; false when the connection broke.
    bool send(const Request &request, Channel *channel);
    // Writes up to `room` bytes more of the sound being written, from where the stream reads or
    // on from the last write, and the silence after it once it is all written; false when the
    // connection broke.
    bool writeOn(Channel &channel, std::size_t room, bool fromReadIndex);
    // Writes more of a long sound as the server makes room, until it is all written or another
    // request comes; false when the connection broke.
    bool feed(Channel &channel);
    // Runs the connection's events until `done`; false when the connection breaks, the service
    // ends or the server takes too long.
    bool waitFor(const std::function<bool()> &done);
    // Sends what is queued and takes what has come, without waiting; false when the connection
    // broke.
    bool exchange();
    // Whether a newer request, or the end of the service, waits.
    bool requestWaiting();

    std::unique_ptr<SoundLog> log_;

    // The sounds by the path asked for, resolved and decoded on the calling thread, or at start.
    std::mutex filesMutex_;
    SoundFiles files_;

    // The request handed to the service's thread, the newest only, and when it is served.
    std::mutex mutex_;
    std::condition_variable wake_;
    Request pending_;
    bool hasRequest_ = false;
    ReconnectSchedule schedule_;
    std::atomic<bool> quit_ = false;

    // The connection, held by the thread that talks to the server: the service's own, or the
    // caller's where a request needs no waiting. The loop lives as long as the service, so that
    // a request or the destructor can wake the service's thread from a wait on the server.
    std::mutex connectionMutex_;
    pa_mainloop *loop_ = nullptr;
    pa_context *context_ = nullptr;
    bool triedConnecting_ = false;
    std::string server_; // the address of the server last reached
    bool onPipeWire_ = false; // whether that server is PipeWire's
    std::vector<Clip> clockSounds_;
    std::vector<Channel> channels_;

    std::mutex warnMutex_;
    bool warned_ = false;

    std::thread thread_;
};

} // namespace vemo
