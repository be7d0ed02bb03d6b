#include "tone_analysis.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <numbers>
#include <string>

namespace vemo::test {

std::vector<Extent> audibleExtents(std::span<const std::int16_t> samples, unsigned rate, int level,
                                   double bridgeSeconds)
{
    const std::size_t bridge = toSamples(bridgeSeconds, rate);
    std::vector<Extent> out;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (std::abs(int(samples[i])) < level)
            continue;
        if (!out.empty() && i - out.back().end <= bridge) {
            out.back().end = i + 1;
        } else {
            out.push_back({i, i + 1});
        }
    }
    return out;
}

Extent audibleExtent(std::span<const std::int16_t> samples, int level)
{
    Extent e;
    bool found = false;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (std::abs(int(samples[i])) < level)
            continue;
        if (!found)
            e.begin = i;
        found = true;
        e.end = i + 1;
    }
    return e;
}

double toneAmplitude(std::span<const std::int16_t> samples, unsigned rate, double hz)
{
    const std::size_t n = samples.size();
    if (n < 2)
        return 0.0;
    // Goertzel recurrence on the windowed samples.
    const double w = 2.0 * std::numbers::pi * hz / rate;
    const double coeff = 2.0 * std::cos(w);
    double s1 = 0.0, s2 = 0.0, windowSum = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double hann =
            0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * double(i) / double(n - 1));
        windowSum += hann;
        const double s = hann * samples[i] / 32768.0 + coeff * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    const double re = s1 - s2 * std::cos(w);
    const double im = s2 * std::sin(w);
    return 2.0 * std::sqrt(re * re + im * im) / windowSum;
}

double dominantFrequency(std::span<const std::int16_t> samples, unsigned rate, double lowHz,
                         double highHz)
{
    // A coarse scan finds the peak's lobe (a Hann lobe of a 50 ms window is 80 Hz wide), a fine
    // scan its top.
    const auto scan = [&](double from, double to, double step) {
        double best = from, bestAmp = -1.0;
        for (double f = from; f <= to; f += step) {
            const double a = toneAmplitude(samples, rate, f);
            if (a > bestAmp) {
                bestAmp = a;
                best = f;
            }
        }
        return best;
    };
    const double coarse = scan(lowHz, highHz, 5.0);
    return scan(coarse - 5.0, coarse + 5.0, 0.5);
}

double toSeconds(std::size_t samples, unsigned rate)
{
    return double(samples) / rate;
}

std::size_t toSamples(double seconds, unsigned rate)
{
    return static_cast<std::size_t>(std::lround(seconds * rate));
}

std::vector<std::int16_t> shortTone()
{
    const std::size_t n = toSamples(0.010, 48000), ramp = toSamples(0.002, 48000);
    std::vector<std::int16_t> out(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t fromEdge = std::min(i, n - 1 - i);
        const double edge = fromEdge < ramp
                                ? 0.5 - 0.5 * std::cos(std::numbers::pi * double(fromEdge) / ramp)
                                : 1.0;
        out[i] = static_cast<std::int16_t>(std::lround(
            0.4 * 32767.0 * edge * std::sin(2.0 * std::numbers::pi * shortToneHz * i / 48000.0)));
    }
    return out;
}

bool writeWav(const char *file, std::span<const std::int16_t> samples)
{
    std::string b;
    const auto le = [&b](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            b.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    const auto dataSize = static_cast<std::uint32_t>(samples.size() * 2);
    b += "RIFF";
    le(36 + dataSize, 4);
    b += "WAVEfmt ";
    le(16, 4);
    le(1, 2);
    le(1, 2);
    le(48000, 4);
    le(96000, 4);
    le(2, 2);
    le(16, 2);
    b += "data";
    le(dataSize, 4);
    for (std::int16_t s : samples)
        le(static_cast<std::uint16_t>(s), 2);
    std::ofstream out(file, std::ios::binary);
    out.write(b.data(), static_cast<std::streamsize>(b.size()));
    return bool(out.flush());
}

} // namespace vemo::test
