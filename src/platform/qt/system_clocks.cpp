#include "platform/qt/system_clocks.h"

#include <QDateTime>
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

ClockReading readSystemClocks()
{
    ClockReading reading;
#ifdef __linux__
    timespec boot{};
    clock_gettime(CLOCK_BOOTTIME, &boot);
    reading.monotonicMs = std::int64_t{boot.tv_sec} * 1000 + boot.tv_nsec / 1000000;
#else
    using namespace std::chrono;
    reading.monotonicMs =
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
#endif
    reading.wallMs = QDateTime::currentMSecsSinceEpoch();
    return reading;
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
