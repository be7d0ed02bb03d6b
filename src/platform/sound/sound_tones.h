#pragma once

// The clock's four sounds, as the generator synthesises them and as the tests expect to hear
// them. Each sound is a few bell-like notes: a sine fundamental with two weaker harmonics, a
// short raised-cosine attack, an exponential decay and a raised-cosine fade at the very end, so
// that it starts and stops without a click. The fundamentals are chosen so that no sound's
// fundamental is a second or third harmonic of another's; a test can tell them apart by
// frequency alone.

#include <array>
#include <cstddef>

namespace vemo::tones {

inline constexpr int sampleRate = 48000; // Hz; 16-bit mono PCM

struct SoundDesign
{
    const char *fileName;        // UTF-8, as in the media folder
    double seconds;              // whole length, fade included
    std::array<double, 3> notes; // fundamentals in Hz, in playing order; 0 ends the list
    double noteSpacing;          // seconds from one note's onset to the next
    double attack;               // seconds of the rise of each note
    double decay;                // time constant of each note's exponential decay, seconds
    double fadeOut;              // seconds of the final fade to silence
    double peak;                 // peak amplitude after normalising, fraction of full scale

    constexpr std::size_t noteCount() const
    {
        std::size_t n = 0;
        while (n < notes.size() && notes[n] > 0.0)
            ++n;
        return n;
    }
};

// clang-format off
// The tick every second: one soft, short note.
inline constexpr SoundDesign tick{
    "Windows XP Menü Komutu.wav", 0.080, {1850.0, 0.0, 0.0}, 0.000, 0.002, 0.035, 0.010, 0.35};

// The full hour, and the alarm: C5 E5 G5 rising.
inline constexpr SoundDesign ringin{
    "ringin.wav", 1.000, {523.25, 659.26, 783.99}, 0.300, 0.005, 0.350, 0.040, 0.50};

// The half hour: A5 F5 D5 falling.
inline constexpr SoundDesign ringout{
    "ringout.wav", 1.000, {880.00, 698.46, 587.33}, 0.300, 0.005, 0.350, 0.040, 0.50};

// Played when a requested sound cannot be found: one E-flat-6 ding.
inline constexpr SoundDesign ding{
    "default.wav", 0.500, {1244.51, 0.0, 0.0}, 0.000, 0.003, 0.150, 0.030, 0.50};
// clang-format on

inline constexpr std::array<const SoundDesign *, 4> all{&tick, &ringin, &ringout, &ding};

// Relative amplitudes of the harmonics 1, 2 and 3 of every note, and how much faster than the
// fundamental the upper ones die away.
inline constexpr std::array<double, 3> harmonicLevels{1.0, 0.25, 0.10};
inline constexpr std::array<double, 3> harmonicDecayFactor{1.0, 1.8, 2.6};

} // namespace vemo::tones
