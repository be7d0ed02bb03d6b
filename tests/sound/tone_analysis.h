#pragma once

// Measurements on 16-bit mono sound shared by the file tests and the listening test: where a
// sound is audible, and which tones it holds.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vemo::test {

// Sample indices, end excluded.
struct Extent
{
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t length() const { return end - begin; }
};

// Louder than this counts as heard: 1% of full scale, -40 dBFS.
inline constexpr int audibleLevel = 328;

// The stretches where some sample reaches `level`; quieter gaps shorter than `bridgeSeconds`
// (zero crossings, beats) do not split a stretch.
std::vector<Extent> audibleExtents(std::span<const std::int16_t> samples, unsigned rate,
                                   int level = audibleLevel, double bridgeSeconds = 0.020);

// From the first to the last audible sample; empty for silence.
Extent audibleExtent(std::span<const std::int16_t> samples, int level = audibleLevel);

// Amplitude (fraction of full scale) of the sine at `hz` in the samples, Hann-windowed so that
// nearby tones leak little into it.
double toneAmplitude(std::span<const std::int16_t> samples, unsigned rate, double hz);

// The frequency between lowHz and highHz at which toneAmplitude is largest, to within 0.5 Hz.
double dominantFrequency(std::span<const std::int16_t> samples, unsigned rate, double lowHz,
                         double highHz);

double toSeconds(std::size_t samples, unsigned rate);
std::size_t toSamples(double seconds, unsigned rate);

// A sound shorter than any of the clock's, to show that a sound that short is heard whole, to
// its end (PipeWire's server leaves a last part of a stream's data that falls short of a graph
// cycle unplayed): 10 ms at 2500 Hz, 48 kHz mono, with 2 ms raised-cosine ends.
inline constexpr double shortToneHz = 2500.0;
std::vector<std::int16_t> shortTone();
// Writes samples as a 48 kHz 16-bit mono WAV file; false when it cannot.
bool writeWav(const char *file, std::span<const std::int16_t> samples);

} // namespace vemo::test
