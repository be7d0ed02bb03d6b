// Checks recordings of a private sound server's null sink (raw s16le, 48 kHz, mono).
//
//   listen_check <recording.raw> <media folder>
//       The sound driver's "listen" programme (tests/sound/listen_test.sh) against the sound
//       files: five whole ticks a second apart, the whole ringin chime, which stops the tick
//       asked for just before it, ringout cut off by a whole tick 300 ms after it began, and the
//       whole 10 ms sound a second later.
//   listen_check ticks <recording.raw> <media folder> <return, ms into it>
//       The driver's ticks around a restart of the sound server: only whole ticks, a second
//       apart after the first, and the first within two seconds of the server's return (below
//       zero: before the recording began).
//   listen_check clock <recording.raw> <noon, ms into it> <pitch> <default Hz>
//       The Windows clock under Wine up to noon and past it (tests/windows/run_wine.sh): before
//       noon only ticks, a second apart, each of the tick's tone; from noon the full-hour chime,
//       its three notes; and nowhere the default sound's tone. <pitch> scales every tone of the
//       clock's sounds: 1 for the program's own, 44100/48000 for copies declared at 44.1 kHz.
//   listen_check tone <file.wav> <Hz>
//       Writes the stand-in for the system's default sound: 0.6 s of a pure tone.
//
// Prints what it measured; exits 1 when something is off.

#include "platform/sound/sound_lookup.h"
#include "platform/sound/sound_tones.h"
#include "tone_analysis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <iostream>
#include <iterator>
#include <numbers>
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

// The tone at `loudHz` plays in `window`, and the tones of `quietHz` are silent beside it.
void checkSilenced(std::span<const std::int16_t> rec, Extent window, double loudHz,
                   std::initializer_list<double> quietHz, const std::string &what)
{
    const auto heard = rec.subspan(window.begin, window.length());
    const double loud = toneAmplitude(heard, rate, loudHz);
    double quiet = 0.0;
    for (double hz : quietHz)
        quiet = std::max(quiet, toneAmplitude(heard, rate, hz));
    check(quiet < 0.05 * loud,
          what + fmt(": %.1f dB below", 20.0 * std::log10(loud / std::max(quiet, 1e-9))));
}

std::vector<std::int16_t> readRecording(const char *file)
{
    std::ifstream in(file, std::ios::binary);
    const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::int16_t> samples(raw.size() / 2);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(static_cast<unsigned char>(raw[2 * i]) |
                                               (static_cast<unsigned char>(raw[2 * i + 1]) << 8));
    return samples;
}

int checkDriver(std::span<const std::int16_t> rec, const fs::path &media)
{

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
    checkSilenced(rec, {chime.begin + toSamples(0.020, rate), chime.begin + toSamples(0.070, rate)},
                  tones::ringin.notes[0], {tones::tick.notes[0]},
                  "the tick asked for with ringin silent under it");
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
    checkSilenced(
        rec, {cut + toSamples(0.005, rate), cut + std::min(toSamples(0.050, rate), last.end - cut)},
        tones::tick.notes[0],
        {tones::ringout.notes[0], tones::ringout.notes[1], tones::ringout.notes[2]},
        "ringout silent once the tick plays");

    const Extent &brief = heard[7];
    const std::vector<std::int16_t> briefFile = shortTone();
    const std::size_t briefLength = audibleExtent(briefFile).length();
    check(std::abs(ms(brief.length()) - ms(briefLength)) <= 5.0,
          fmt("short sound heard for %.1f ms, the file for %.1f ms", ms(brief.length()),
              ms(briefLength)));
    check(std::abs(ms(brief.begin - cut) - 1000.0) <= 25.0,
          fmt("short sound starts %.1f ms after the tick", ms(brief.begin - cut)));
    checkTone(rec, brief, shortToneHz, "short sound");

    return failures;
}

int checkTicks(std::span<const std::int16_t> rec, const fs::path &media, double returnMs)
{
    const std::size_t tickLength = audibleLength(media, tones::tick);
    const std::vector<Extent> heard = audibleExtents(rec, rate);
    std::cout << "recording: " << fmt("%.2f s", toSeconds(rec.size(), rate)) << ", " << heard.size()
              << " sounds heard\n";
    check(heard.size() >= 3, "three ticks or more");
    if (heard.empty())
        return 1;
    int broken = 0;
    double shortest = 1e9, longest = 0.0;
    // The recording may open or end inside a tick: whole ones only are judged, by their tone
    // from this far in.
    const std::size_t edge = toSamples(0.005, rate);
    for (std::size_t i = 0; i < heard.size(); ++i) {
        const Extent &t = heard[i];
        if (t.begin >= edge && t.end + edge <= rec.size()) {
            const double hz = dominantFrequency(rec.subspan(t.begin + edge, toSamples(0.020, rate)),
                                                rate, 200.0, 6000.0);
            if (std::abs(ms(t.length()) - ms(tickLength)) > 10.0 ||
                std::abs(hz - tones::tick.notes[0]) > tones::tick.notes[0] * 0.01) {
                std::cout << fmt("  at %.1f ms for %.1f ms: %.1f Hz\n", ms(t.begin), ms(t.length()),
                                 hz);
                ++broken;
            }
        }
        // The first tick after the server's return comes as soon as it is reached, the rest on
        // the second.
        if (i >= 2) {
            const double gap = ms(t.begin - heard[i - 1].begin);
            shortest = std::min(shortest, gap);
            longest = std::max(longest, gap);
        }
    }
    check(broken == 0, fmt("%.0f of %.0f sounds not a whole tick", broken, double(heard.size())));
    check(std::abs(shortest - 1000.0) <= 25.0 && std::abs(longest - 1000.0) <= 25.0,
          fmt("a second apart: from %.1f to %.1f ms", shortest, longest));
    const double silence = ms(heard.front().begin) - returnMs;
    check(silence <= 2000.0, fmt("the first tick %.0f ms after the server was up", silence));
    return failures;
}

int writeTone(const char *file, double hz)
{
    std::vector<std::int16_t> samples(toSamples(0.6, rate));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(
            16000.0 * std::sin(2.0 * std::numbers::pi * hz * double(i) / rate));
    return writeWav(file, samples) ? 0 : 2;
}

int checkClock(std::span<const std::int16_t> rec, double noonMs, double pitch, double defaultHz)
{
    const std::size_t noon = toSamples(noonMs / 1000.0, rate);
    // A sound that the machine's load splits with a stretch of silence is still one sound.
    const std::vector<Extent> heard = audibleExtents(rec, rate, audibleLevel, 0.2);
    std::cout << "recording: "
              << fmt("%.2f s, noon at %.0f ms", toSeconds(rec.size(), rate), noonMs) << ", "
              << heard.size() << " sounds heard\n";

    // Before noon, ticks; a sound that starts within a quarter second of noon is the chime.
    const std::size_t chimeFrom = noon - std::min(noon, toSamples(0.25, rate));
    const double tickHz = tones::tick.notes[0] * pitch;
    std::vector<Extent> ticks;
    int offTone = 0;
    for (const Extent &e : heard) {
        if (e.begin >= chimeFrom)
            break;
        ticks.push_back(e);
        // The recording may open inside a tick: judge whole ones only, long enough to tell.
        if (e.begin == 0 || e.length() < toSamples(0.015, rate))
            continue;
        const double hz = dominantFrequency(
            rec.subspan(e.begin + toSamples(0.005, rate),
                        std::min(e.length(), toSamples(0.025, rate)) - toSamples(0.005, rate)),
            rate, 200.0, 6000.0);
        if (std::abs(hz - tickHz) > tickHz * 0.01) {
            std::cout << fmt("  at %.1f ms for %.1f ms: %.1f Hz\n", ms(e.begin), ms(e.length()),
                             hz);
            ++offTone;
        }
    }
    double shortest = 1e9, longest = 0.0;
    for (std::size_t i = 1; i < ticks.size(); ++i) {
        const double gap = ms(ticks[i].begin - ticks[i - 1].begin);
        shortest = std::min(shortest, gap);
        longest = std::max(longest, gap);
    }
    check(ticks.size() >= 3 && offTone == 0,
          fmt("%.0f sounds before noon, %.0f of them not the tick's %.1f Hz", double(ticks.size()),
              offTone, tickHz));
    check(ticks.size() >= 3 && shortest > 700.0 && longest < 1300.0 &&
              ms(noon - ticks.back().begin) < 1300.0,
          fmt("a second apart: from %.0f to %.0f ms, the last %.0f ms before noon", shortest,
              longest, ticks.empty() ? 0.0 : ms(noon - ticks.back().begin)));

    // From noon, the full-hour chime until the next tick cuts it off.
    const Extent *chime = ticks.size() < heard.size() ? &heard[ticks.size()] : nullptr;
    check(chime && chime->begin < noon + toSamples(0.25, rate),
          chime ? fmt("a sound %+.0f ms from noon", ms(chime->begin) - noonMs)
                : "no sound from noon");
    if (chime) {
        const double spacing = tones::ringin.noteSpacing / pitch;
        for (std::size_t n = 0; n < 3; ++n)
            checkTone(rec,
                      {chime->begin + toSamples(n * spacing + 0.020, rate),
                       chime->begin + toSamples((n + 1) * spacing - 0.020, rate)},
                      tones::ringin.notes[n] * pitch, fmt("chime note %.0f", double(n + 1)));
    }

    // Nowhere the default sound, whose tone lies below every tone of the clock's sounds.
    const std::size_t window = toSamples(0.100, rate);
    double loudest = 0.0, at = 0.0;
    for (std::size_t i = 0; i + window <= rec.size(); i += window / 2) {
        const double level = toneAmplitude(rec.subspan(i, window), rate, defaultHz);
        if (level > loudest)
            loudest = level, at = ms(i);
    }
    check(loudest < 0.01, fmt("the default sound's %.1f Hz at most %.1f dBFS (at %.0f ms)",
                              defaultHz, 20.0 * std::log10(std::max(loudest, 1e-6)), at));
    return failures;
}

} // namespace

int main(int argc, char **argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "tone" && argc == 4)
        return writeTone(argv[2], std::stod(argv[3]));
    int failed = 0;
    if (mode == "clock" && argc == 6) {
        failed = checkClock(readRecording(argv[2]), std::stod(argv[3]), std::stod(argv[4]),
                            std::stod(argv[5]));
    } else if (mode == "ticks" && argc == 5) {
        failed = checkTicks(readRecording(argv[2]), argv[3], std::stod(argv[4]));
    } else if (argc == 3) {
        failed = checkDriver(readRecording(argv[1]), argv[2]);
    } else {
        std::cerr << "usage: listen_check <recording.raw> <media folder>\n"
                     "       listen_check ticks <recording.raw> <media folder> <return ms>\n"
                     "       listen_check clock <recording.raw> <noon ms> <pitch> <default Hz>\n"
                     "       listen_check tone <file.wav> <Hz>\n";
        return 2;
    }
    std::cout << (failed ? "listening test failed\n" : "listening test passed\n");
    return failed ? 1 : 0;
}
