// Watches the machine beside a running clock, so that a test can tell a second the clock lost
// from a second the machine took from it.
//
//   stall_watch <sound log> <clock pid> <X server pid>
//
// Every 2 ms of real time it reads how long the threads of each of the two processes have
// waited on a run queue (the run-queue delay of /proc/<pid>/task/<tid>/schedstat: runnable, or
// preempted, but not running), and how late its own sleep ended. It prints, in ms of the real
// monotonic clock:
//
//   L <ms> <line>                  a line of the sound log appeared (written since the last look)
//   P <ms> <own> <clock> <server> <clock ran>
//                                  since the watch started: ms it overslept, ms the clock and the
//                                  X server waited to run, ms the clock ran; whenever one of
//                                  them has grown by 1 ms since the last such line
//
// It ends when the clock ends, or on SIGTERM.

#include <dirent.h>
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr double kLookMs = 2;

double monotonicMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The time a process's main thread has waited on a run queue, in ms, from its schedstat file
// kept open; negative once the process is gone.
// A thread's time on the processor and waiting for it, in ms, from its schedstat file kept open.
class SchedStat
{
public:
    explicit SchedStat(const std::string &path) : fd_(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~SchedStat()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    SchedStat(const SchedStat &) = delete;
    SchedStat &operator=(const SchedStat &) = delete;

    // False once the thread is gone.
    bool read(double &ranMs, double &waitedMs) const
    {
        char text[128];
        const ssize_t size = fd_ < 0 ? -1 : pread(fd_, text, sizeof text - 1, 0);
        if (size <= 0)
            return false;
        text[size] = '\0';
        unsigned long long ran = 0, waited = 0;
        if (std::sscanf(text, "%llu %llu", &ran, &waited) != 2)
            return false;
        ranMs = static_cast<double>(ran) / 1e6;
        waitedMs = static_cast<double>(waited) / 1e6;
        return true;
    }

private:
    int fd_;
};

// The times of all of a process's threads added up: the clock's main thread may wait on one of
// its other threads (the X connection's reader holds the connection's lock). A thread's times
// count from when it is first seen; the threads are looked up again every 100 looks.
class ProcessStat
{
public:
    explicit ProcessStat(std::string pid) : pid_(std::move(pid)) { rescan(); }

    // False once the process is gone.
    bool read(double &ranMs, double &waitedMs)
    {
        if (++looks_ % 100 == 0)
            rescan();
        double ran = 0, waited = 0;
        bool alive = false;
        for (auto &[tid, thread] : threads_) {
            double r = 0, w = 0;
            if (!thread.stat->read(r, w))
                continue;
            thread.ran = r;
            thread.waited = w;
            alive = alive || tid == pid_;
        }
        for (const auto &[tid, thread] : threads_) {
            ran += thread.ran - thread.ran0;
            waited += thread.waited - thread.waited0;
        }
        ranMs = ran;
        waitedMs = waited;
        return alive;
    }

private:
    struct Thread
    {
        std::unique_ptr<SchedStat> stat;
        double ran0 = 0, waited0 = 0, ran = 0, waited = 0;
    };

    void rescan()
    {
        DIR *tasks = opendir(("/proc/" + pid_ + "/task").c_str());
        if (!tasks)
            return;
        while (const dirent *entry = readdir(tasks)) {
            const std::string tid = entry->d_name;
            if (tid == "." || tid == ".." || threads_.count(tid))
                continue;
            Thread thread;
            thread.stat =
                std::make_unique<SchedStat>("/proc/" + pid_ + "/task/" + tid + "/schedstat");
            if (thread.stat->read(thread.ran0, thread.waited0)) {
                thread.ran = thread.ran0;
                thread.waited = thread.waited0;
                threads_.emplace(tid, std::move(thread));
            }
        }
        closedir(tasks);
    }

    std::string pid_;
    std::map<std::string, Thread> threads_;
    long looks_ = 0;
};

} // namespace

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: stall_watch <sound log> <clock pid> <server pid>\n");
        return 2;
    }
    ProcessStat clock(argv[2]), server(argv[3]);
    double ran = 0, waited = 0;
    if (!clock.read(ran, waited))
        return 1;

    double last = monotonicMs();
    double own = 0;
    double printed[4] = {0, 0, 0, 0};
    std::FILE *log = nullptr;
    std::string pending;
    char buffer[4096];
    const timespec look{0, static_cast<long>(kLookMs * 1e6)};
    for (;;) {
        nanosleep(&look, nullptr);
        const double now = monotonicMs();
        own += now - last - kLookMs;
        last = now;

        double clockRan = 0, clockWaited = 0, serverRan = 0, serverWaited = 0;
        if (!clock.read(clockRan, clockWaited))
            break;
        server.read(serverRan, serverWaited);
        const double totals[4] = {own, clockWaited, serverWaited, clockRan};
        bool grown = false;
        for (int i = 0; i < 4; ++i)
            grown = grown || totals[i] - printed[i] >= 1;
        if (grown) {
            std::printf("P %.1f %.1f %.1f %.1f %.1f\n", now, totals[0], totals[1], totals[2],
                        totals[3]);
            std::copy(totals, totals + 4, printed);
        }

        // Kept open, and read on from where it ended: only what the clock appended is read.
        if (!log)
            log = std::fopen(argv[1], "r");
        if (log) {
            while (std::fgets(buffer, sizeof buffer, log)) {
                pending += buffer;
                if (pending.back() != '\n')
                    continue; // the rest of the line is still to be written
                pending.pop_back();
                std::printf("L %.1f %s\n", now, pending.c_str());
                pending.clear();
            }
            std::clearerr(log);
        }
    }
    return 0;
}
