#pragma once

#include "platform/tick_scheduler.h"

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace vemo {

// The monotonic clock (counting a suspend too) and the wall clock, read together.
ClockReading readSystemClocks();

// Calls back when the system's wall clock is set, or the machine resumes from a suspend: the
// moments a sleeping one-second timer would otherwise miss. Where the system cannot tell
// (outside Linux), it never calls.
class ClockChangeNotifier : public QObject
{
public:
    ClockChangeNotifier(std::function<void()> changed, QObject *parent);
    ~ClockChangeNotifier() override;

private:
    void arm();
    void onReadable();

    std::function<void()> changed_;
    int fd_ = -1;
    QSocketNotifier *notifier_ = nullptr;
};

} // namespace vemo
