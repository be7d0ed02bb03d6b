#include "platform/qt/system_clocks.h"

#include <QSocketNotifier>

#include <chrono>
#include <ctime>
#include <limits>

#ifdef __linux__
#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#endif

namespace vemo {

namespace {

#ifdef __linux__
std::int64_t readMs(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return std::int64_t{now.tv_sec} * 1000 + now.tv_nsec / 1000000;
}
#endif

} // namespace

ClockReading readSystemClocks()
{
#ifdef __linux__
    // The wall clock read on both sides of the monotonic one: a thread preempted between the
    // two readings would make a wall clock that runs look stepped. A few tries find a pair
    // read within 2 ms of each other.
    ClockReading best;
    std::int64_t bestBracket = std::numeric_limits<std::int64_t>::max();
    for (int attempt = 0; attempt < 4 && bestBracket > 2; ++attempt) {
        const std::int64_t before = readMs(CLOCK_REALTIME);
        const std::int64_t monotonic = readMs(CLOCK_BOOTTIME);
        const std::int64_t after = readMs(CLOCK_REALTIME);
        if (after - before >= 0 && after - before < bestBracket) {
            bestBracket = after - before;
            best = {monotonic, before + (after - before) / 2};
        }
    }
    if (bestBracket == std::numeric_limits<std::int64_t>::max()) // stepped back in between
        best = {readMs(CLOCK_BOOTTIME), readMs(CLOCK_REALTIME)};
    return best;
#else
    using namespace std::chrono;
    return {duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count(),
            duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count()};
#endif
}

ClockChangeNotifier::ClockChangeNotifier(std::function<void()> changed, QObject *parent)
    : QObject(parent), changed_(std::move(changed))
{
#ifdef __linux__
    // A timer on the wall clock, due at the end of time, that the kernel cancels whenever the
    // wall clock is set or the machine resumes; the cancel makes the descriptor readable.
    fd_ = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (fd_ < 0)
        return;
    arm();
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { onReadable(); });
#endif
}

ClockChangeNotifier::~ClockChangeNotifier()
{
#ifdef __linux__
    if (fd_ >= 0)
        close(fd_);
#endif
}

void ClockChangeNotifier::arm()
{
#ifdef __linux__
    itimerspec never{};
    never.it_value.tv_sec = std::numeric_limits<time_t>::max() / 2;
    timerfd_settime(fd_, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &never, nullptr);
#endif
}

void ClockChangeNotifier::onReadable()
{
#ifdef __linux__
    std::uint64_t expirations = 0;
    const bool cancelled = read(fd_, &expirations, sizeof expirations) < 0 && errno == ECANCELED;
    arm();
    if (cancelled)
        changed_();
#endif
}

} // namespace vemo
