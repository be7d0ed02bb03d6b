#pragma once

// When the sound service tries to reach the sound server. While connected every request is
// served at once. While a server it has reached is away, it tries again at most once a second,
// each try a connect on the server's local socket that fails at once; while it has never
// reached one, and so knows no socket to try, once a minute, each try a whole connection
// set-up. A try is made only for a request: without sounds asked for, nothing wakes.

#include <algorithm>
#include <chrono>
#include <optional>

namespace vemo {

class ReconnectSchedule
{
public:
    using Clock = std::chrono::steady_clock;

    static constexpr Clock::duration awayInterval = std::chrono::seconds(1);
    static constexpr Clock::duration unknownInterval = std::chrono::minutes(1);
    // Ticks come a second apart, give or take the scheduler's jitter: a request this little
    // before a try is due waits for it, so that a tick a millisecond early does not put the
    // try off by a whole second.
    static constexpr Clock::duration lead = std::chrono::milliseconds(500);

    bool connected() const { return connected_; }

    // When a request made at `asked` is served: at once while connected; while not, at the
    // next try to reach the server when that is due within `lead`; else never.
    std::optional<Clock::time_point> serveAt(Clock::time_point asked) const
    {
        if (connected_)
            return asked;
        if (asked + lead < next_)
            return std::nullopt;
        return std::max(asked, next_);
    }

    void reached() { connected_ = true; }
    // The connection broke at `at`: the next request tries again at once.
    void lost(Clock::time_point at)
    {
        connected_ = false;
        next_ = at;
    }
    // The try begun at `at` failed; `socketKnown` whether a server was reached before, so that
    // the next try is a cheap look at its socket.
    void failed(Clock::time_point at, bool socketKnown)
    {
        connected_ = false;
        next_ = at + (socketKnown ? awayInterval : unknownInterval);
    }

private:
    bool connected_ = false;
    Clock::time_point next_{}; // the earliest next try
};

} // namespace vemo
