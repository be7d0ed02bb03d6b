#include "platform/sound/sound_lookup.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>

namespace {

// A WAV file assembled field by field, so that each test can spoil one of them.
struct WavFields
{
    std::string riff = "RIFF";
    std::string wave = "WAVE";
    std::uint32_t formatTag = 1;
    std::uint32_t channels = 1;
    std::uint32_t rate = 48000;
    std::uint32_t bits = 16;
    std::int64_t blockAlign = -1; // -1: consistent with channels and bits
    std::int64_t byteRate = -1;
    bool extensible = false;
    std::string extraChunk; // placed before "fmt "
    bool dataBeforeFormat = false;
    bool withData = true;
    std::vector<std::int16_t> samples{0, 1000, -1000, 32767, -32768, 7};
    std::int64_t dataSize = -1; // -1: the real size

    std::string bytes() const
    {
        const auto le = [](std::uint64_t v, int n) {
            std::string s;
            for (int i = 0; i < n; ++i)
                s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
            return s;
        };
        const std::uint32_t align =
            blockAlign >= 0 ? std::uint32_t(blockAlign) : channels * bits / 8;
        const std::uint32_t bps = byteRate >= 0 ? std::uint32_t(byteRate) : rate * align;
        std::string fmt = "fmt ";
        std::string body = le(extensible ? 0xFFFE : formatTag, 2) + le(channels, 2) + le(rate, 4) +
                           le(bps, 4) + le(align, 2) + le(bits, 2);
        if (extensible) {
            // cbSize, valid bits, channel mask, then the sub-format GUID opening with the tag.
            body += le(22, 2) + le(bits, 2) + le(4, 4) + le(formatTag, 2) +
                    std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
        }
        fmt += le(body.size(), 4) + body;

        std::string data;
        if (withData) {
            std::string pcm;
            for (std::int16_t s : samples)
                pcm += le(static_cast<std::uint16_t>(s), 2);
            data = "data" + le(dataSize >= 0 ? std::uint64_t(dataSize) : pcm.size(), 4) + pcm;
        }
        const std::string chunks = extraChunk + (dataBeforeFormat ? data + fmt : fmt + data);
        return riff + le(4 + chunks.size(), 4) + wave + chunks;
    }
};

TEST(WavReader, ReadsPlainPcm)
{
    const WavFields wav;
    const vemo::WavResult r = vemo::parseWav(wav.bytes());
    ASSERT_TRUE(r) << r.error;
    EXPECT_EQ(r.sound->sampleRate, 48000u);
    EXPECT_EQ(r.sound->channels, 1u);
    EXPECT_EQ(r.sound->samples, wav.samples);
}

TEST(WavReader, ReadsExtensibleStereoAndSkipsOddSizedChunks)
{
    WavFields wav;
    wav.extensible = true;
    wav.channels = 2;
    wav.rate = 44100;
    // A chunk of odd size, padded to even.
    wav.extraChunk = std::string("LIST\x03\x00\x00\x00", 8) + "abc" + std::string(1, '\0');
    const vemo::WavResult r = vemo::parseWav(wav.bytes());
    ASSERT_TRUE(r) << r.error;
    EXPECT_EQ(r.sound->sampleRate, 44100u);
    EXPECT_EQ(r.sound->channels, 2u);
    EXPECT_EQ(r.sound->frames(), 3u);
    EXPECT_EQ(r.sound->samples, wav.samples);
}

struct Spoiled
{
    const char *what;
    std::function<void(WavFields &)> spoil;

    friend void PrintTo(const Spoiled &s, std::ostream *os) { *os << s.what; }
};

class WavReaderRejects : public testing::TestWithParam<Spoiled>
{
};

TEST_P(WavReaderRejects, WithAnError)
{
    WavFields wav;
    GetParam().spoil(wav);
    const vemo::WavResult r = vemo::parseWav(wav.bytes());
    EXPECT_FALSE(r);
    EXPECT_FALSE(r.error.empty());
}

INSTANTIATE_TEST_SUITE_P(
    BadFiles, WavReaderRejects,
    testing::Values(Spoiled{"NotRiff", [](WavFields &w) { w.riff = "RIFX"; }},
                    Spoiled{"NotWave", [](WavFields &w) { w.wave = "AVI "; }},
                    Spoiled{"FloatSamples", [](WavFields &w) { w.formatTag = 3; }},
                    Spoiled{"ExtensibleFloat",
                            [](WavFields &w) {
                                w.extensible = true;
                                w.formatTag = 3;
                            }},
                    Spoiled{"EightBit", [](WavFields &w) { w.bits = 8; }},
                    Spoiled{"TwentyFourBit", [](WavFields &w) { w.bits = 24; }},
                    Spoiled{"NoChannels", [](WavFields &w) { w.channels = 0; }},
                    Spoiled{"NineChannels", [](WavFields &w) { w.channels = 9; }},
                    Spoiled{"ZeroRate", [](WavFields &w) { w.rate = 0; }},
                    Spoiled{"WrongBlockAlign", [](WavFields &w) { w.blockAlign = 4; }},
                    Spoiled{"WrongByteRate", [](WavFields &w) { w.byteRate = 1; }},
                    Spoiled{"DataBeforeFormat", [](WavFields &w) { w.dataBeforeFormat = true; }},
                    Spoiled{"NoData", [](WavFields &w) { w.withData = false; }},
                    Spoiled{"DataLongerThanFile", [](WavFields &w) { w.dataSize = 14; }},
                    Spoiled{"HugeDataSize", [](WavFields &w) { w.dataSize = 0xFFFFFFFF; }},
                    Spoiled{"PartialStereoFrame",
                            [](WavFields &w) {
                                w.channels = 2;
                                w.samples.push_back(1);
                            }}),
    [](const testing::TestParamInfo<Spoiled> &info) { return std::string(info.param.what); });

TEST(WavReader, RejectsEveryTruncationOfAGoodFile)
{
    const std::string good = WavFields{}.bytes();
    for (std::size_t n = 0; n < good.size(); ++n)
        EXPECT_FALSE(vemo::parseWav(std::string_view(good).substr(0, n))) << n << " bytes";
}

TEST(WavReader, RejectsGarbage)
{
    std::string garbage;
    std::uint32_t x = 12345;
    for (int i = 0; i < 4096; ++i) {
        x = x * 1103515245u + 12345u;
        garbage.push_back(static_cast<char>(x >> 24));
    }
    EXPECT_FALSE(vemo::parseWav(garbage));
    // Garbage behind a valid header is still rejected: its chunk sizes are nonsense.
    EXPECT_FALSE(vemo::parseWav(std::string("RIFF\x10\x00\x00\x00WAVE", 12) + garbage));
}

TEST(WavReader, ReportsFilesThatCannotBeRead)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / "vemo-wav-test-folder";
    fs::create_directories(folder);
    EXPECT_FALSE(vemo::readWav(folder));
    EXPECT_FALSE(vemo::readWav(folder / "missing.wav"));
    const fs::path good = folder / "good.wav";
    {
        const std::string bytes = WavFields{}.bytes();
        std::ofstream(good, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    }
    const vemo::WavResult r = vemo::readWav(good);
    EXPECT_TRUE(r) << r.error;
    fs::remove_all(folder);
}

} // namespace
