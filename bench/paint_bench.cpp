// Painting one tick's changes against painting the whole window, on Qt's offscreen platform at
// 96 dpi: what the clock costs each second on a desktop.

#include "fakes/fake_platform.h"
#include "platform/qt/clock_window.h"
#include "platform/qt/qt_services.h"

#include <QApplication>
#include <QImage>
#include <QTime>

#include <array>
#include <string>

#include <benchmark/benchmark.h>

namespace {

// Steady ticks at times of day that lay the hands differently: two of them upright or level
// (10:15), all of them slanted (01:37, 07:53).
constexpr std::array<const char *, 3> kTimes{"10:15:32", "01:37:52", "07:53:27"};

std::string secondBefore(const char *time, int seconds)
{
    return QTime::fromString(time, "HH:mm:ss").addSecs(-seconds).toString("HH:mm:ss").toStdString();
}

struct Clock
{
    explicit Clock(const char *time)
    {
        platform.setTime(secondBefore(time, 2));
        window.load(form, 15);
        // The first tick moves the hands from upright to the time; the second is a steady one.
        for (const std::string &now : {secondBefore(time, 1), std::string(time)}) {
            platform.setTime(now);
            window.dispatch([this] { form.Timer1_Timer(); });
        }
    }

    vemo::testing::FakePlatform platform;
    vemo::ClockWindow window;
    vemo::QtWindowRegion region{window};
    vemo::QtProgramEnd programEnd{window};
    vemo::Form1 form{{platform, platform, platform, platform, region, programEnd}};
};

void paint(benchmark::State &state, bool wholeWindow)
{
    const char *time = kTimes.at(static_cast<std::size_t>(state.range(0)));
    Clock clock(time);
    QImage image(clock.window.size(), QImage::Format_RGB32);
    const QRegion region = wholeWindow ? QRegion(clock.window.rect()) : clock.window.lastRepaint();
    for (auto _ : state)
        clock.window.render(&image, region.boundingRect().topLeft(), region);
    int pixels = 0;
    for (const QRect &rect : region)
        pixels += rect.width() * rect.height();
    state.SetLabel(time);
    state.counters["pixels"] = pixels;
    state.counters["rects"] = region.rectCount();
}

void paintOneTicksChanges(benchmark::State &state) { paint(state, false); }
void paintWholeWindow(benchmark::State &state) { paint(state, true); }
// The raster engine hands large fills to Qt's worker threads: CPU is the whole process's.
BENCHMARK(paintOneTicksChanges)
    ->DenseRange(0, kTimes.size() - 1)
    ->Unit(benchmark::kMicrosecond)
    ->MeasureProcessCPUTime();
BENCHMARK(paintWholeWindow)->Arg(0)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
