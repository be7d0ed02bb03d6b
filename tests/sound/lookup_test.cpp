#include "platform/sound/sound_lookup.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;
using vemo::findSoundFile;

namespace {

fs::path utf8Path(const std::string &s)
{
    return fs::path(std::u8string(s.begin(), s.end()));
}

struct NameCase
{
    std::string windowsPath; // code page 1254 bytes
    std::string fileName;    // UTF-8

    friend void PrintTo(const NameCase &c, std::ostream *os) { *os << c.fileName; }
};

class SoundFileName : public testing::TestWithParam<NameCase>
{
};

TEST_P(SoundFileName, IsTheLastComponentAsUtf8WithWavAppended)
{
    EXPECT_EQ(vemo::soundFileName(GetParam().windowsPath), GetParam().fileName);
}

INSTANTIATE_TEST_SUITE_P(Paths, SoundFileName,
                         testing::Values(NameCase{"C:\\WINDOWS\\Media\\Windows XP Men\xFC Komutu",
                                                  "Windows XP Menü Komutu.wav"},
                                         NameCase{"C:\\WINDOWS\\Media\\ringin", "ringin.wav"},
                                         NameCase{"C:\\WINDOWS\\Media\\ringout", "ringout.wav"},
                                         NameCase{"ringin", "ringin.wav"},
                                         NameCase{"C:/WINDOWS/Media/ringin", "ringin.wav"},
                                         NameCase{"C:\\Sesler\\\xDD\xFE\xF0\xFD\xE7\xF6",
                                                  "İşğıçö.wav"},
                                         NameCase{"C:\\WINDOWS\\Media\\chimes.WAV", "chimes.WAV"},
                                         NameCase{"C:\\WINDOWS\\Media\\", ""}, NameCase{"", ""}));

class MediaFolders : public testing::Test
{
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() /
               ("vemo-lookup-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        installed = root / "share" / "vemo2" / "media";
        build = root / "bin" / "media";
        fs::create_directories(installed);
        fs::create_directories(build);
    }
    void TearDown() override { fs::remove_all(root); }

    static fs::path touch(const fs::path &folder, const std::string &utf8Name)
    {
        const fs::path file = folder / utf8Path(utf8Name);
        std::ofstream(file) << "x";
        return file;
    }
    std::vector<fs::path> folders() const { return {installed, build}; }

    fs::path root, installed, build;
};

TEST_F(MediaFolders, CodePageNameFindsTheUtf8File)
{
    const fs::path tick = touch(build, "Windows XP Menü Komutu.wav");
    EXPECT_EQ(findSoundFile("C:\\WINDOWS\\Media\\Windows XP Men\xFC Komutu", folders()), tick);
}

TEST_F(MediaFolders, MissingFileIsNotFoundAndTheDefaultIs)
{
    const fs::path ding = touch(build, "default.wav");
    touch(build, "ringin.wav");
    EXPECT_EQ(findSoundFile("C:\\WINDOWS\\Media\\ringout", folders()), std::nullopt);
    EXPECT_EQ(vemo::defaultSoundFile(folders()), ding);
}

TEST_F(MediaFolders, NoDefaultAnywhere)
{
    EXPECT_EQ(vemo::defaultSoundFile(folders()), std::nullopt);
}

TEST_F(MediaFolders, InstalledFolderIsPreferredOverTheBuildFolder)
{
    const fs::path inInstalled = touch(installed, "ringin.wav");
    const fs::path inBuild = touch(build, "ringin.wav");
    const fs::path defaultInBuild = touch(build, "default.wav");
    EXPECT_EQ(findSoundFile("C:\\WINDOWS\\Media\\ringin", folders()), inInstalled);
    EXPECT_EQ(findSoundFile("C:\\WINDOWS\\Media\\ringin", {build, installed}), inBuild);
    const fs::path defaultInInstalled = touch(installed, "default.wav");
    EXPECT_EQ(vemo::defaultSoundFile(folders()), defaultInInstalled);
}

TEST_F(MediaFolders, BuildFolderServesWhatIsNotInstalled)
{
    touch(installed, "ringin.wav");
    const fs::path ringout = touch(build, "ringout.wav");
    EXPECT_EQ(findSoundFile("C:\\WINDOWS\\Media\\ringout", folders()), ringout);
}

TEST_F(MediaFolders, FolderOfTheSameNameIsNoSound)
{
    fs::create_directory(installed / "ringin.wav");
    const fs::path real = touch(build, "ringin.wav");
    EXPECT_EQ(findSoundFile("C:\\WINDOWS\\Media\\ringin", folders()), real);
}

TEST_F(MediaFolders, FoldersOfTheProgramAreInstalledThenBuildTree)
{
    const std::vector<fs::path> expected{root / "share" / "vemo2" / "media",
                                         root / "bin" / "media"};
    EXPECT_EQ(vemo::mediaFolders(root / "bin"), expected);
    // The folders the program computes are the ones the files were put in above.
    const fs::path ringin = touch(installed, "ringin.wav");
    EXPECT_EQ(findSoundFile("ringin", vemo::mediaFolders(root / "bin")), ringin);
}

} // namespace
