#include "platform/pulse/pulse_sound.h"

#include "platform/sound/sound_synth.h"
#include "platform/sound/sound_tones.h"
#include "platform/text.h"

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/introspect.h>
#include <pulse/mainloop.h>
#include <pulse/stream.h>

#include <pthread.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <iostream>

namespace vemo {

namespace fs = std::filesystem;

namespace {

// What each playback stream holds: every sound of the clock's own is written at once. A longer
// sound of the user's is written on as the server makes room.
constexpr double streamSeconds = 2.0;
// Silence written after each sound. PipeWire's PulseAudio server plays a stream's data a graph
// cycle at a time and leaves a last part shorter than a cycle (up to 2048 frames) unplayed:
// after this, that part is silence.
constexpr double trailingSilence = 0.050; // seconds
// How much longer than its own length a sound may still be heard after it was written: what
// the server holds queued ahead of the speaker. A new sound empties the stream only while the one
// before may still be heard; a tick a second after the last has nothing to stop.
constexpr auto tailLatency = std::chrono::milliseconds(250);
// How long connecting, opening a stream or room for a long sound may take before the server
// counts as out of reach.
constexpr auto answerTimeout = std::chrono::seconds(5);
// A request older than this when the server is reached again is not played: its moment has
// passed.
constexpr auto staleAfter = std::chrono::milliseconds(500);

std::string warningText(const std::string &what)
{
    return "vemo2: " + what;
}

// Whether a server may listen at `server`, as libpulse names the server it reached: for a
// local socket, a connect that fails at once when nobody listens and wakes no process; any
// other address only a whole connection can tell.
bool mayListen(const std::string &server)
{
    std::string path = server;
    if (path.starts_with("unix:"))
        path.erase(0, 5);
    sockaddr_un address{};
    if (!path.starts_with('/') || path.size() >= sizeof address.sun_path)
        return true;
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, path.size());
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return true;
    // A full backlog (EAGAIN) still means someone listens.
    const bool listening =
        connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0 ||
        errno == EAGAIN || errno == EINPROGRESS;
    close(fd);
    return listening;
}

std::size_t bytesOf(const PcmSound &sound)
{
    return sound.samples.size() * sizeof(std::int16_t);
}

std::size_t bytesOf(double seconds, unsigned rate, unsigned channels)
{
    return static_cast<std::size_t>(seconds * rate) * channels * sizeof(std::int16_t);
}

std::chrono::steady_clock::duration lengthOf(const PcmSound &sound)
{
    return std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(sound.seconds()));
}

} // namespace

PulseSound::PulseSound(std::vector<fs::path> mediaFolders)
    : log_(SoundLog::fromEnvironment()),
      files_(
          std::move(mediaFolders), [] { return synthesise(tones::ding); },
          [](const std::string &message) { std::cerr << warningText(message) << '\n'; }),
      loop_(pa_mainloop_new())
{
    thread_ = std::thread([this] { run(); });
}

PulseSound::~PulseSound()
{
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_one();
    if (loop_)
        pa_mainloop_wakeup(loop_);
    thread_.join();
    if (loop_)
        pa_mainloop_free(loop_);
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
    const Request request{resolved.clip, Clock::now()};
    {
        std::lock_guard lock(mutex_);
        // Without a sound server the service's thread is left asleep until a try to reach one is
        // due.
        if (!schedule_.serveAt(request.asked))
            return 1;
        // While connected, with the service's thread idle, the request is written from here, and
        // no thread wakes for it.
        if (schedule_.connected() && !hasRequest_) {
            std::unique_lock connection(connectionMutex_, std::try_to_lock);
            if (connection && sendAtOnce(request))
                return 1;
        }
        pending_ = request;
        hasRequest_ = true;
    }
    wake_.notify_one();
    // The service's thread may be waiting on the server, writing a long sound.
    if (loop_)
        pa_mainloop_wakeup(loop_);
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
    // Named so that the service's thread can be told apart when the clock is measured.
    pthread_setname_np(pthread_self(), "vemo2-sound");
    {
        // The clock's own sounds, whose streams each connection opens at once. The files are
        // read here, once.
        std::lock_guard lock(filesMutex_);
        for (const tones::SoundDesign *design : tones::all)
            if (Clip clip = files_.resolve(toCodePage(design->fileName), true).clip;
                std::find(clockSounds_.begin(), clockSounds_.end(), clip) == clockSounds_.end())
                clockSounds_.push_back(clip);
    }
    // Connecting early spares the first sound the set-up time.
    reach();

    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return quit_ || hasRequest_; });
        if (quit_)
            break;
        Request request = std::move(pending_);
        hasRequest_ = false;
        if (schedule_.connected()) {
            lock.unlock();
            const bool served = serve(request);
            lock.lock();
            if (served)
                continue;
        }
        const std::optional<Clock::time_point> at = schedule_.serveAt(request.asked);
        if (!at)
            continue;
        if (wake_.wait_until(lock, *at, [this] { return quit_.load(); }))
            break;
        if (hasRequest_) {
            request = std::move(pending_);
            hasRequest_ = false;
        }
        lock.unlock();
        if (reach() && Clock::now() - request.asked <= staleAfter)
            serve(request);
        lock.lock();
    }
    lock.unlock();
    // The program ends, and the sound still playing with it.
    std::lock_guard connection(connectionMutex_);
    if (context_)
        send(Request{}, nullptr);
    disconnect();
}

bool PulseSound::reach()
{
    std::lock_guard connection(connectionMutex_);
    const Clock::time_point start = Clock::now();
    // Where a server was reached before, a look at its socket tells whether it is back.
    bool reached = (server_.empty() || mayListen(server_)) && connect();
    if (reached) {
        for (const Clip &clip : clockSounds_)
            if (!channelFor(*clip) && !open(*clip))
                break;
        reached = PA_CONTEXT_IS_GOOD(pa_context_get_state(context_));
    }
    if (!reached) {
        if (!quit_) {
            const int error = context_ ? pa_context_errno(context_) : PA_ERR_CONNECTIONREFUSED;
            warnOnce(std::string("ses sunucusuna bağlanılamadı (") +
                     pa_strerror(error ? error : PA_ERR_TIMEOUT) + "); saat sessiz çalışacak.");
        }
        disconnect();
    }
    std::lock_guard lock(mutex_);
    if (reached)
        schedule_.reached();
    else
        schedule_.failed(start, !server_.empty());
    return reached;
}

bool PulseSound::connect()
{
    if (!loop_)
        return false;
    context_ = pa_context_new(pa_mainloop_get_api(loop_), "vemo2");
    if (!context_)
        return false;
    // Only the first try may have libpulse start a server, where it is set up to: the tries
    // while one is away must not start another beside it.
    const pa_context_flags_t flags = triedConnecting_ ? PA_CONTEXT_NOAUTOSPAWN : PA_CONTEXT_NOFLAGS;
    triedConnecting_ = true;
    if (pa_context_connect(context_, nullptr, flags, nullptr) < 0 ||
        !waitFor([this] { return pa_context_get_state(context_) == PA_CONTEXT_READY; }))
        return false;
    if (const char *server = pa_context_get_server(context_))
        server_ = server;
    // PipeWire's PulseAudio server names itself "PulseAudio (on PipeWire x.y.z)".
    std::string name;
    pa_operation *info = pa_context_get_server_info(
        context_,
        [](pa_context *, const pa_server_info *server, void *out) {
            if (server && server->server_name)
                *static_cast<std::string *>(out) = server->server_name;
        },
        &name);
    if (!info)
        return false;
    const bool answered =
        waitFor([info] { return pa_operation_get_state(info) != PA_OPERATION_RUNNING; });
    pa_operation_unref(info);
    onPipeWire_ = name.find("PipeWire") != std::string::npos;
    return answered;
}

PulseSound::Channel *PulseSound::open(const PcmSound &sound)
{
    pa_sample_spec format{};
    format.format = PA_SAMPLE_S16LE;
    format.rate = sound.sampleRate;
    format.channels = static_cast<std::uint8_t>(sound.channels);
    pa_channel_map positions;
    pa_channel_map_init_extend(&positions, sound.channels, PA_CHANNEL_MAP_DEFAULT);
    pa_stream *stream = pa_stream_new(context_, "Saat sesleri", &format, &positions);
    if (!stream)
        return nullptr;
    // A long buffer keeps the server's latency, and so its wake-ups, at their least: a sound
    // written into the dry stream is heard at once all the same, as the server renders anew what
    // it had mixed ahead. Without prebuffering the stream plays on when it runs dry rather than
    // stopping and starting again for every sound, which halves PulseAudio's wake-ups for it.
    // PipeWire's server moves a dry stream's read index on a graph cycle at a time, in a thread
    // apart from the one that places a write at that index: a sound written as it moves loses
    // its first cycle. A stream that prebuffers stands still when dry, and there a sound plays
    // whole from the next cycle; it costs PipeWire nothing more, as its graph runs on anyway.
    const std::size_t capacity = bytesOf(streamSeconds, sound.sampleRate, sound.channels);
    pa_buffer_attr buffer{};
    buffer.maxlength = static_cast<std::uint32_t>(capacity);
    buffer.tlength = buffer.maxlength;
    buffer.prebuf =
        onPipeWire_ ? static_cast<std::uint32_t>(sound.channels * sizeof(std::int16_t)) : 0;
    buffer.minreq = static_cast<std::uint32_t>(-1);
    buffer.fragsize = static_cast<std::uint32_t>(-1);
    const auto state = [stream] { return pa_stream_get_state(stream); };
    if (pa_stream_connect_playback(stream, nullptr, &buffer, PA_STREAM_NOFLAGS, nullptr, nullptr) <
            0 ||
        !waitFor([&] { return state() != PA_STREAM_CREATING; }) || state() != PA_STREAM_READY) {
        pa_stream_unref(stream);
        return nullptr;
    }
    return &channels_.emplace_back(Channel{
        sound.sampleRate,
        sound.channels,
        stream,
        capacity,
        std::vector<std::uint8_t>(bytesOf(trailingSilence, sound.sampleRate, sound.channels)),
        {},
        {},
        0});
}

void PulseSound::disconnect()
{
    if (context_)
        pa_context_disconnect(context_);
    for (Channel &channel : channels_)
        pa_stream_unref(channel.stream);
    channels_.clear();
    if (context_)
        pa_context_unref(context_);
    context_ = nullptr;
}

void PulseSound::lose()
{
    const int error = pa_context_errno(context_);
    warnOnce(std::string("ses sunucusuyla bağlantı koptu (") +
             pa_strerror(error ? error : PA_ERR_TIMEOUT) +
             "); sunucu dönünce sesler yeniden çalacak.");
    disconnect();
    std::lock_guard lock(mutex_);
    schedule_.lost(Clock::now());
}

PulseSound::Channel *PulseSound::channelFor(const PcmSound &sound)
{
    // A stream the server ended (from a mixer, say) is opened anew when next needed.
    std::erase_if(channels_, [](const Channel &channel) {
        const bool ended = pa_stream_get_state(channel.stream) != PA_STREAM_READY;
        if (ended)
            pa_stream_unref(channel.stream);
        return ended;
    });
    for (Channel &channel : channels_)
        if (channel.rate == sound.sampleRate && channel.channels == sound.channels)
            return &channel;
    return nullptr;
}

bool PulseSound::serve(const Request &request)
{
    std::lock_guard connection(connectionMutex_);
    Channel *channel = nullptr;
    // Nothing is asked of a connection already broken, whose error then says why it broke.
    bool up = PA_CONTEXT_IS_GOOD(pa_context_get_state(context_));
    if (up && request.clip && !request.clip->samples.empty()) {
        channel = channelFor(*request.clip);
        if (!channel)
            channel = open(*request.clip);
        up = PA_CONTEXT_IS_GOOD(pa_context_get_state(context_));
    }
    if (up && send(request, channel) && (!channel || feed(*channel)))
        return true;
    if (quit_)
        return true;
    lose();
    return false;
}

bool PulseSound::sendAtOnce(const Request &request)
{
    Channel *channel = nullptr;
    if (request.clip && !request.clip->samples.empty()) {
        channel = channelFor(*request.clip);
        if (!channel || bytesOf(*request.clip) + channel->silence.size() > channel->capacity)
            return false;
    }
    return send(request, channel);
}

bool PulseSound::send(const Request &request, Channel *channel)
{
    if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(context_)))
        return false;
    // A server that has not yet taken in, or answered, what was sent before is stopped or hung:
    // nothing more is queued for it, to wait in this process's memory, until it takes that.
    if (pa_context_is_pending(context_) && (!exchange() || pa_context_is_pending(context_)))
        return PA_CONTEXT_IS_GOOD(pa_context_get_state(context_));
    const Clock::time_point now = Clock::now();
    for (Channel &playing : channels_) {
        if (now < playing.heardUntil)
            if (pa_operation *flush = pa_stream_flush(playing.stream, nullptr, nullptr))
                pa_operation_unref(flush);
        playing.heardUntil = {};
        playing.feeding.reset();
    }
    if (channel) {
        channel->feeding = request.clip;
        channel->written = 0;
        channel->heardUntil = now + lengthOf(*request.clip) + tailLatency;
        // From where the stream reads: ahead of a part the server left unplayed.
        if (!writeOn(*channel, channel->capacity - channel->silence.size(), true))
            return false;
    }
    return exchange();
}

bool PulseSound::writeOn(Channel &channel, std::size_t room, bool fromReadIndex)
{
    const PcmSound &sound = *channel.feeding;
    const std::size_t bytes = std::min(room, bytesOf(sound) - channel.written);
    if (pa_stream_write(
            channel.stream,
            reinterpret_cast<const std::uint8_t *>(sound.samples.data()) + channel.written, bytes,
            nullptr, 0, fromReadIndex ? PA_SEEK_RELATIVE_ON_READ : PA_SEEK_RELATIVE) < 0)
        return false;
    channel.written += bytes;
    if (channel.written < bytesOf(sound))
        return true;
    channel.feeding.reset();
    return pa_stream_write(channel.stream, channel.silence.data(), channel.silence.size(), nullptr,
                           0, PA_SEEK_RELATIVE) == 0;
}

bool PulseSound::feed(Channel &channel)
{
    while (channel.feeding) {
        // A server that makes no room (its sink suspended, say) cuts the sound short.
        if (!waitFor([&] {
                return pa_stream_writable_size(channel.stream) > channel.silence.size() ||
                       requestWaiting();
            })) {
            channel.feeding.reset();
            return PA_CONTEXT_IS_GOOD(pa_context_get_state(context_));
        }
        // A newer request stops this sound anyway.
        if (requestWaiting())
            return true;
        if (!writeOn(channel, pa_stream_writable_size(channel.stream) - channel.silence.size(),
                     false) ||
            !exchange())
            return false;
    }
    return true;
}

bool PulseSound::waitFor(const std::function<bool()> &done)
{
    const Clock::time_point deadline = Clock::now() + answerTimeout;
    for (;;) {
        if (done())
            return true;
        if (quit_ || !PA_CONTEXT_IS_GOOD(pa_context_get_state(context_)))
            return false;
        const auto left =
            std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now()).count();
        if (left <= 0 || pa_mainloop_prepare(loop_, static_cast<int>(left)) < 0 ||
            pa_mainloop_poll(loop_) < 0 || pa_mainloop_dispatch(loop_) < 0)
            return false;
    }
}

bool PulseSound::exchange()
{
    // A message takes a pass or two of the loop: all that came since the last sound is taken in.
    int dispatched = 0;
    do
        dispatched = pa_mainloop_iterate(loop_, 0, nullptr);
    while (dispatched > 0);
    return dispatched == 0 && PA_CONTEXT_IS_GOOD(pa_context_get_state(context_));
}

bool PulseSound::requestWaiting()
{
    std::lock_guard lock(mutex_);
    return hasRequest_ || quit_;
}

} // namespace vemo
