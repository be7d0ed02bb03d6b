// One tick painted as the window paints it, the kept pictures brought up to date and the changed
// rectangle copied, against painting the whole window, on Qt's offscreen platform at 96 dpi:
// what the clock costs each second on a desktop.

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

// A minute of steady ticks from times of day that lay the hands differently: two of them upright
// or level (10:15), all of them slanted (01:37, 07:53).
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
    QTime now = QTime::fromString(time, "HH:mm:ss");
    int ticks = 0;
    double pixels = 0;
    for (auto _ : state) {
        // The same minute again and again, each second as the window paints it.
        if (!wholeWindow && ++ticks % 60 == 0)
            now = now.addSecs(-59);
        else if (!wholeWindow)
            now = now.addSecs(1);
        clock.platform.setTime(now.toString("HH:mm:ss").toStdString());
        clock.window.dispatch([&clock] { clock.form.Timer1_Timer(); });
        const QRegion region =
            wholeWindow ? QRegion(clock.window.rect()) : clock.window.lastRepaint();
        clock.window.render(&image, region.boundingRect().topLeft(), region);
        pixels += double(region.boundingRect().width()) * region.boundingRect().height();
    }
    state.SetLabel(time);
    state.counters["pixels"] = benchmark::Counter(pixels, benchmark::Counter::kAvgIterations);
}

void paintOneTicksChanges(benchmark::State &state)
{
    paint(state, false);
}
void paintWholeWindow(benchmark::State &state)
{
    paint(state, true);
}
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
