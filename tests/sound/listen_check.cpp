// Checks a recording of the sound driver's "listen" programme (raw s16le, 48 kHz, mono, from
// the null sink's monitor) against the sound files: five whole ticks a second apart, the whole
// ringin chime, ringout cut off by a whole tick 300 ms after it began, and the whole 10 ms
// sound a second later.
//
//   listen_check <recording.raw> <media folder>
//
// Prints what it measured; exits 1 when something is off.

#include "platform/pulse/sound_tones.h"
#include "platform/sound_lookup.h"
#include "tone_analysis.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;
namespace tones = vemo::tones;
using namespace vemo::test;

constexpr unsigned rate = 48000;

int failures = 0;

void check(bool ok, const std::string &what)
{
    std::cout << (ok ? "  ok    " : "  FAIL  ") << what << '\n';
    if (!ok)
        ++failures;
}

double ms(std::size_t samples)
{
    return 1000.0 * toSeconds(samples, rate);
}

std::string fmt(const char *format, double a, double b = 0.0, double c = 0.0)
{
    char buf[200];
    std::snprintf(buf, sizeof buf, format, a, b, c);
    return buf;
}

// Length of the audible part of a sound file, measured as the recording is.
std::size_t audibleLength(const fs::path &folder, const tones::SoundDesign &design)
{
    const std::string name = design.fileName;
    const vemo::WavResult wav =
        vemo::readWav(folder / fs::path(std::u8string(name.begin(), name.end())));
    if (!wav || wav.sound->sampleRate != rate || wav.sound->channels != 1) {
        std::cerr << "listen_check: cannot use " << name << ": " << wav.error << '\n';
        std::exit(2);
    }
    return audibleExtent(wav.sound->samples).length();
}

void checkTone(std::span<const std::int16_t> rec, Extent window, double expectedHz,
               const std::string &what)
{
    const double heard =
        dominantFrequency(rec.subspan(window.begin, window.length()), rate, 200.0, 6000.0);
    check(std::abs(heard - expectedHz) < expectedHz * 0.01,
          what + fmt(": %.1f Hz heard, %.1f Hz expected", heard, expectedHz));
}

// Where the tick begins within a stretch that opens with another sound: the first millisecond
// at which the tick's tone rises to half its greatest level in a 5 ms window.
std::size_t tickOnset(std::span<const std::int16_t> rec, Extent stretch)
{
    const std::size_t window = toSamples(0.005, rate), hop = toSamples(0.001, rate);
    std::vector<double> level;
    for (std::size_t at = stretch.begin; at + window <= stretch.end; at += hop)
        level.push_back(toneAmplitude(rec.subspan(at, window), rate, tones::tick.notes[0]));
    double top = 0.0;
    for (double l : level)
        top = std::max(top, l);
    for (std::size_t i = 0; i < level.size(); ++i)
        if (level[i] >= 0.5 * top)
            return stretch.begin + i * hop + window / 2;
    return stretch.end;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::cerr << "usage: listen_check <recording.raw> <media folder>\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::int16_t> samples(raw.size() / 2);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(static_cast<unsigned char>(raw[2 * i]) |
                                               (static_cast<unsigned char>(raw[2 * i + 1]) << 8));
    const std::span<const std::int16_t> rec(samples);
    const fs::path media = argv[2];

    const std::size_t tickLength = audibleLength(media, tones::tick);
    const std::size_t ringinLength = audibleLength(media, tones::ringin);

    const std::vector<Extent> heard = audibleExtents(rec, rate);
    std::cout << "recording: " << fmt("%.2f s", toSeconds(rec.size(), rate)) << ", " << heard.size()
              << " sounds heard\n";
    for (const Extent &e : heard)
        std::cout << "  " << fmt("at %9.1f ms for %7.1f ms", ms(e.begin), ms(e.length())) << '\n';
    // Five ticks, ringin, ringout running straight into a tick, and the short sound.
    check(heard.size() == 8, "eight sounds heard");
    if (heard.size() != 8)
        return 1;

    for (int i = 0; i < 5; ++i) {
        const Extent &t = heard[i];
        const double error = ms(t.length()) - ms(tickLength);
        check(std::abs(error) <= 10.0, fmt("tick %.0f heard for %.1f ms, the file for %.1f ms",
                                           i + 1, ms(t.length()), ms(tickLength)));
        checkTone(rec, {t.begin + toSamples(0.005, rate), t.end - toSamples(0.010, rate)},
                  tones::tick.notes[0], fmt("tick %.0f tone", i + 1));
        if (i > 0) {
            const double gap = ms(t.begin - heard[i - 1].begin);
            check(std::abs(gap - 1000.0) <= 25.0,
                  fmt("tick %.0f starts %.1f ms after the one before", i + 1, gap));
        }
    }

    const Extent &chime = heard[5];
    check(std::abs(ms(chime.length()) - ms(ringinLength)) <= 20.0,
          fmt("ringin heard for %.1f ms, the file for %.1f ms", ms(chime.length()),
              ms(ringinLength)));
    check(std::abs(ms(chime.begin - heard[4].begin) - 1000.0) <= 25.0,
          fmt("ringin starts %.1f ms after the last tick", ms(chime.begin - heard[4].begin)));
    for (std::size_t n = 0; n < 3; ++n) {
        const double from = n * tones::ringin.noteSpacing + 0.020;
        const double to = n < 2 ? from + tones::ringin.noteSpacing - 0.040 : from + 0.300;
        checkTone(rec, {chime.begin + toSamples(from, rate), chime.begin + toSamples(to, rate)},
                  tones::ringin.notes[n], fmt("ringin note %.0f", double(n + 1)));
    }

    const Extent &last = heard[6];
    const std::size_t cut = tickOnset(rec, last);
    const double ringoutHeard = ms(cut - last.begin);
    std::cout << fmt("ringout starts %.1f ms after ringin; the tick cuts in after %.1f ms\n",
                     ms(last.begin - chime.begin), ringoutHeard);
    check(std::abs(ms(last.begin - chime.begin) - 1500.0) <= 25.0, "ringout starts on time");
    check(std::abs(ringoutHeard - 300.0) <= 50.0,
          fmt("ringout cut after %.1f ms, interrupted after 300 ms", ringoutHeard));
    checkTone(rec, {last.begin + toSamples(0.020, rate), cut - toSamples(0.020, rate)},
              tones::ringout.notes[0], "ringout first note");
    check(std::abs(ms(last.end - cut) - ms(tickLength)) <= 10.0,
          fmt("interrupting tick heard for %.1f ms, the file for %.1f ms", ms(last.end - cut),
              ms(tickLength)));
    const auto afterCut =
        rec.subspan(cut + toSamples(0.005, rate), std::min(toSamples(0.050, rate), last.end - cut));
    const double tickLevel = toneAmplitude(afterCut, rate, tones::tick.notes[0]);
    double ringoutLevel = 0.0;
    for (std::size_t n = 0; n < 3; ++n)
        ringoutLevel =
            std::max(ringoutLevel, toneAmplitude(afterCut, rate, tones::ringout.notes[n]));
    check(ringoutLevel < 0.05 * tickLevel,
          fmt("ringout silent once the tick plays: %.1f dB below the tick",
              20.0 * std::log10(tickLevel / std::max(ringoutLevel, 1e-9))));

    const Extent &brief = heard[7];
    const std::vector<std::int16_t> briefFile = shortTone();
    const std::size_t briefLength = audibleExtent(briefFile).length();
    check(std::abs(ms(brief.length()) - ms(briefLength)) <= 5.0,
          fmt("short sound heard for %.1f ms, the file for %.1f ms", ms(brief.length()),
              ms(briefLength)));
    check(std::abs(ms(brief.begin - cut) - 1000.0) <= 25.0,
          fmt("short sound starts %.1f ms after the tick", ms(brief.begin - cut)));
    checkTone(rec, brief, shortToneHz, "short sound");

    std::cout << (failures ? "listening test failed\n" : "listening test passed\n");
    return failures ? 1 : 0;
}
