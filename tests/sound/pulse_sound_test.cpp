// The service's bookkeeping, with no sound server reachable: what each request resolves to,
// what it returns, and that it stays silent and well-behaved; and when it tries to reach a
// server again, on a clock of the test's own. The sounds themselves are heard by the listening
// test.

#include "platform/pulse/pulse_sound.h"
#include "platform/pulse/reconnect_schedule.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

namespace {

namespace fs = std::filesystem;

const std::string tickPath = "C:\\WINDOWS\\Media\\Windows XP Men\xFC Komutu";
const std::string ringinPath = "C:\\WINDOWS\\Media\\ringin";
const std::string missingPath = "C:\\WINDOWS\\Media\\tada";

class PulseSoundWithoutServer : public testing::Test
{
protected:
    void SetUp() override
    {
        // Whatever the machine has, this test talks to no server.
        ::setenv("PULSE_SERVER", "unix:/nonexistent/vemo-test/native", 1);
        ::unsetenv("VEMO_SOUND_LOG");
        folder = fs::temp_directory_path() /
                 (std::string("vemo-pulse-") +
                  testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        logFile = folder / "requests.log";
    }
    void TearDown() override
    {
        ::unsetenv("VEMO_SOUND_LOG");
        fs::remove_all(folder);
    }

    void copyMedia(const std::string &utf8Name) const
    {
        const fs::path name(std::u8string(utf8Name.begin(), utf8Name.end()));
        fs::copy_file(fs::path(VEMO_MEDIA_DIR) / name, folder / name);
    }
    void writeFile(const std::string &name, const std::string &bytes) const
    {
        std::ofstream(folder / name, std::ios::binary) << bytes;
    }
    void logRequests() const { ::setenv("VEMO_SOUND_LOG", logFile.c_str(), 1); }

    struct Line
    {
        long long ms;
        std::string name;
    };
    std::vector<Line> loggedLines() const
    {
        std::ifstream in(logFile);
        std::vector<Line> lines;
        const std::regex form("([0-9]+) (.+)");
        for (std::string line; std::getline(in, line);) {
            std::smatch m;
            EXPECT_TRUE(std::regex_match(line, m, form)) << line;
            if (!m.empty())
                lines.push_back({std::stoll(m[1]), m[2]});
        }
        return lines;
    }
    static long long nowMs()
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::system_clock::now().time_since_epoch())
            .count();
    }

    fs::path folder;
    fs::path logFile;
};

TEST_F(PulseSoundWithoutServer, LogsTheFileEachRequestResolvedTo)
{
    copyMedia("Windows XP Menü Komutu.wav");
    copyMedia("ringin.wav");
    copyMedia("default.wav");
    logRequests();
    const long long before = nowMs();
    {
        vemo::PulseSound sound({folder});
        EXPECT_EQ(sound.sndPlaySoundA(tickPath, 1), 1);
        EXPECT_EQ(sound.sndPlaySoundA(missingPath, 1), 1);
        EXPECT_EQ(sound.sndPlaySoundA(ringinPath, 1), 1);
        EXPECT_EQ(sound.sndPlaySoundA(tickPath, 1), 1); // from the cache, logged all the same
    }
    const long long after = nowMs();

    const std::vector<Line> lines = loggedLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].name, "Windows XP Menü Komutu.wav");
    EXPECT_EQ(lines[1].name, "default");
    EXPECT_EQ(lines[2].name, "ringin.wav");
    EXPECT_EQ(lines[3].name, "Windows XP Menü Komutu.wav");
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_GE(lines[i].ms, before);
        EXPECT_LE(lines[i].ms, after);
        if (i > 0) {
            EXPECT_GE(lines[i].ms, lines[i - 1].ms);
        }
    }
}

TEST_F(PulseSoundWithoutServer, AppendsToAnExistingLog)
{
    copyMedia("ringin.wav");
    writeFile("requests.log", "1 earlier.wav\n");
    logRequests();
    vemo::PulseSound(std::vector<fs::path>{folder}).sndPlaySoundA(ringinPath, 1);
    const std::vector<Line> lines = loggedLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].name, "earlier.wav");
    EXPECT_EQ(lines[1].name, "ringin.wav");
}

TEST_F(PulseSoundWithoutServer, LogsNothingWhenNotAsked)
{
    copyMedia("ringin.wav");
    {
        vemo::PulseSound sound({folder});
        sound.sndPlaySoundA(ringinPath, 1);
    }
    EXPECT_FALSE(fs::exists(logFile));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

struct Outcome
{
    const char *what;
    std::vector<std::string> files; // copied from the build's media, or "broken:<name>"
    std::string path;
    unsigned flags;
    int result;
    std::string logged;

    friend void PrintTo(const Outcome &o, std::ostream *os) { *os << o.what; }
};

class PulseSoundOutcome : public PulseSoundWithoutServer,
                          public testing::WithParamInterface<Outcome>
{
};

TEST_P(PulseSoundOutcome, ReturnsAndLogs)
{
    for (const std::string &f : GetParam().files) {
        if (f.starts_with("broken:"))
            writeFile(f.substr(7), std::string("RIFF\x04\x00\x00\x00WAVEjunk", 16));
        else
            copyMedia(f);
    }
    logRequests();
    {
        vemo::PulseSound sound({folder});
        EXPECT_EQ(sound.sndPlaySoundA(GetParam().path, GetParam().flags), GetParam().result);
    }
    const std::vector<Line> lines = loggedLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].name, GetParam().logged);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, PulseSoundOutcome,
    testing::Values(Outcome{"Found", {"ringin.wav", "default.wav"}, ringinPath, 1, 1, "ringin.wav"},
                    Outcome{"MissingPlaysDefault", {"default.wav"}, ringinPath, 1, 1, "default"},
                    Outcome{"MissingWithoutDefaultFlag", {"default.wav"}, ringinPath, 3, 0, "none"},
                    Outcome{"MissingAndNoDefaultPlaysTheBuiltIn", {}, ringinPath, 1, 1, "default"},
                    Outcome{"MissingAndNoDefaultWithoutDefaultFlag", {}, ringinPath, 3, 0, "none"},
                    Outcome{"BrokenPlaysDefault",
                            {"broken:ringin.wav", "default.wav"},
                            ringinPath,
                            1,
                            1,
                            "default"},
                    Outcome{"BrokenAndBrokenDefaultPlaysTheBuiltIn",
                            {"broken:ringin.wav", "broken:default.wav"},
                            ringinPath,
                            1,
                            1,
                            "default"},
                    Outcome{"EmptyPathStops", {"ringin.wav"}, "", 1, 1, "stop"}),
    [](const testing::TestParamInfo<Outcome> &info) { return std::string(info.param.what); });

TEST_F(PulseSoundWithoutServer, WarnsOnceHoweverManySounds)
{
    copyMedia("Windows XP Menü Komutu.wav");
    copyMedia("default.wav");
    testing::internal::CaptureStderr();
    {
        vemo::PulseSound sound({folder});
        for (int i = 0; i < 50; ++i)
            sound.sndPlaySoundA(i % 2 ? tickPath : missingPath, 1);
    }
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_LE(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

using Clock = vemo::ReconnectSchedule::Clock;

// Seconds on a steady clock of the test's own.
Clock::time_point at(double seconds)
{
    using namespace std::chrono;
    return Clock::time_point(hours(1)) + duration_cast<Clock::duration>(duration<double>(seconds));
}

// The clock's requests from `first` to `last` s, a tick every second, a few milliseconds off the
// second as the scheduler lets the clock run, and every fifth second a chime just after the tick;
// served as the service's thread serves them, with a try to reach the server at the time the
// schedule gives, which succeeds from `returns` s on. When the tries were made.
std::vector<Clock::time_point> tries(vemo::ReconnectSchedule &schedule, int first, int last,
                                     double returns, bool socketKnown)
{
    std::vector<Clock::time_point> tried;
    for (int k = first; k <= last; ++k) {
        const double tick = k + 0.004 * ((k * 7919) % 11 - 5) / 5.0;
        for (double asked : {tick, tick + (k % 5 == 0 ? 0.0001 : 0.0)}) {
            const auto serve = schedule.serveAt(at(asked));
            if (!serve || schedule.connected())
                continue;
            EXPECT_GE(*serve, at(asked));
            tried.push_back(*serve);
            if (*serve >= at(returns))
                schedule.reached();
            else
                schedule.failed(*serve, socketKnown);
        }
    }
    return tried;
}

TEST(ReconnectSchedule, WhileAServerIsAwayEveryTickTriesAndTriesAreASecondApart)
{
    vemo::ReconnectSchedule schedule;
    schedule.reached();
    // The server goes, which the tick at 3 s finds out, and is back at 9.3 s.
    schedule.lost(at(3.0));
    const std::vector<Clock::time_point> tried = tries(schedule, 3, 20, 9.3, true);
    ASSERT_EQ(tried.size(), 8u) << "a try for each tick from 3 s to 10 s";
    for (std::size_t i = 1; i < tried.size(); ++i)
        EXPECT_GE(tried[i] - tried[i - 1], std::chrono::seconds(1)) << "try " << i;
    EXPECT_LT(tried.back() - at(9.3), std::chrono::milliseconds(1010))
        << "the server reached again within a second";
    EXPECT_TRUE(schedule.connected());
}

TEST(ReconnectSchedule, WithoutAServerEverReachedItTriesOnceAMinute)
{
    vemo::ReconnectSchedule schedule;
    schedule.failed(at(0.0), false);
    const std::vector<Clock::time_point> tried = tries(schedule, 1, 200, 1e9, false);
    ASSERT_EQ(tried.size(), 3u);
    for (std::size_t i = 0; i < tried.size(); ++i) {
        EXPECT_GE(tried[i], at(60.0 * double(i + 1)));
        EXPECT_LT(tried[i], at(60.0 * double(i + 1) + 0.005));
    }
}

} // namespace
