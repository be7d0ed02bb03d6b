// The cost of one tick's logic: Timer1_Timer over the fake platform, the time of day moving on
// by a second each tick as on a running clock.

#include "app/form1.h"
#include "fakes/fake_platform.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

void oneTick(benchmark::State &state)
{
    vemo::testing::FakePlatform platform;
    vemo::Form1 form(platform.services());
    platform.setTime("10:15:30");
    form.Form_Load();
    int second = 0;
    char time[16]; // room for any int, though the clock only needs "HH:MM:SS"
    for (auto _ : state) {
        second = (second + 1) % 3600;
        std::snprintf(time, sizeof time, "10:%02d:%02d", second / 60, second % 60);
        platform.setTime(time);
        form.Timer1_Timer();
        platform.sounds.clear();
    }
}
BENCHMARK(oneTick);

} // namespace

BENCHMARK_MAIN();
