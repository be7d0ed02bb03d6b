// The generated sounds, as the build left them in the media folder.

#include "platform/sound/sound_lookup.h"
#include "platform/sound/sound_synth.h"
#include "platform/sound/sound_tones.h"
#include "tone_analysis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

namespace {

namespace fs = std::filesystem;
using vemo::test::toSamples;
using vemo::tones::SoundDesign;

vemo::PcmSound load(const SoundDesign &design)
{
    const std::string name = design.fileName;
    const fs::path file =
        fs::path(VEMO_MEDIA_DIR) / fs::path(std::u8string(name.begin(), name.end()));
    vemo::WavResult r = vemo::readWav(file);
    if (!r)
        ADD_FAILURE() << file << ": " << r.error;
    return r ? *r.sound : vemo::PcmSound{};
}

class GeneratedSound : public testing::TestWithParam<const SoundDesign *>
{
protected:
    const SoundDesign &design = *GetParam();
    const vemo::PcmSound sound = load(design);
    std::span<const std::int16_t> samples() const { return sound.samples; }
};

// The service plays the design from memory when default.wav is gone; it must be the same sound.
TEST_P(GeneratedSound, IsWhatTheServiceSynthesisesInMemory)
{
    const vemo::PcmSound inMemory = vemo::synthesise(design);
    EXPECT_EQ(inMemory.sampleRate, sound.sampleRate);
    EXPECT_EQ(inMemory.channels, sound.channels);
    EXPECT_TRUE(inMemory.samples == sound.samples);
}

TEST_P(GeneratedSound, Is48kHzMonoOfTheDesignedLength)
{
    EXPECT_EQ(sound.sampleRate, 48000u);
    EXPECT_EQ(sound.channels, 1u);
    EXPECT_EQ(sound.frames(), toSamples(design.seconds, 48000));
}

TEST_P(GeneratedSound, IsAudibleFromStartToEnd)
{
    // Sounding over nearly the whole file: no silent lead-in delaying it, no silent tail.
    const vemo::test::Extent heard = vemo::test::audibleExtent(samples());
    EXPECT_LE(heard.begin, toSamples(0.002, 48000));
    EXPECT_GE(heard.end, sound.frames() - toSamples(design.fadeOut * 0.8, 48000));
}

TEST_P(GeneratedSound, StartsAndEndsWithoutAClick)
{
    ASSERT_GT(sound.frames(), 100u);
    EXPECT_EQ(samples().front(), 0);
    EXPECT_EQ(samples().back(), 0);
    // No jump from one sample to the next bigger than the steepest slope of the highest
    // partial at full level.
    const double highest = 3.0 * *std::max_element(design.notes.begin(), design.notes.end());
    const double maxStep = 32768.0 * design.peak * 2.0 * 3.14159265 * highest / 48000.0;
    int worst = 0;
    for (std::size_t i = 1; i < sound.samples.size(); ++i)
        worst = std::max(worst, std::abs(sound.samples[i] - sound.samples[i - 1]));
    EXPECT_LT(worst, maxStep);
}

TEST_P(GeneratedSound, PeaksAtTheDesignedLevel)
{
    int peak = 0;
    for (std::int16_t s : sound.samples)
        peak = std::max(peak, std::abs(int(s)));
    EXPECT_NEAR(peak / 32767.0, design.peak, 0.005);
}

TEST_P(GeneratedSound, EachNoteSoundsItsFundamental)
{
    ASSERT_GT(design.noteCount(), 0u);
    for (std::size_t note = 0; note < design.noteCount(); ++note) {
        const double from = note * design.noteSpacing + 0.010;
        const double to = note + 1 < design.noteCount() ? (note + 1) * design.noteSpacing - 0.010
                                                        : design.seconds - design.fadeOut;
        const auto window = samples().subspan(toSamples(from, 48000), toSamples(to - from, 48000));
        const double heard = vemo::test::dominantFrequency(window, 48000, 200.0, 6000.0);
        EXPECT_NEAR(heard, design.notes[note], design.notes[note] * 0.005)
            << "note " << note << " of " << design.fileName;
    }
}

INSTANTIATE_TEST_SUITE_P(Media, GeneratedSound, testing::ValuesIn(vemo::tones::all),
                         [](const testing::TestParamInfo<const SoundDesign *> &info) {
                             std::string name = info.param->fileName;
                             name = name.substr(0, name.find('.'));
                             std::erase_if(name, [](char c) {
                                 return !std::isalnum(static_cast<unsigned char>(c));
                             });
                             return name;
                         });

TEST(SoundTones, FundamentalsAreTellableApart)
{
    // Every fundamental differs from every other one, and from its second and third harmonics,
    // by more than 3%, so a tone heard names its sound.
    std::vector<std::pair<double, const SoundDesign *>> fundamentals;
    for (const SoundDesign *d : vemo::tones::all)
        for (std::size_t i = 0; i < d->noteCount(); ++i)
            fundamentals.emplace_back(d->notes[i], d);
    for (const auto &[f, d] : fundamentals)
        for (const auto &[g, e] : fundamentals)
            for (int h = 1; h <= 3; ++h) {
                if (d == e && h == 1)
                    continue;
                EXPECT_GT(std::abs(f - h * g), 0.03 * f)
                    << f << " Hz in " << d->fileName << ", " << g << " Hz × " << h << " in "
                    << e->fileName;
            }
}

TEST(SoundTones, ChimesRiseAndFall)
{
    using vemo::tones::ringin;
    using vemo::tones::ringout;
    ASSERT_EQ(ringin.noteCount(), 3u);
    ASSERT_EQ(ringout.noteCount(), 3u);
    EXPECT_TRUE(std::is_sorted(ringin.notes.begin(), ringin.notes.end()));
    EXPECT_TRUE(std::is_sorted(ringout.notes.rbegin(), ringout.notes.rend()));
}

} // namespace
