// Where the game's relative pak and save paths land on this machine.
#include "platform/GamePaths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "PlatformFixture.h"

namespace {

struct TDefaultCase {
    const char* xdg;
    const char* home;
    const char* expected;
    const char* why;
};

TEST(GamePaths, DefaultSaveFolderFollowsTheXdgRule) {
    const TDefaultCase cases[] = {
        {"/srv/share", "/home/ann", "/srv/share/cobblebrooks/data/", "XDG_DATA_HOME wins"},
        {"/srv/share/", "/home/ann", "/srv/share/cobblebrooks/data/", "no doubled slash"},
        {"share", "/home/ann", "/home/ann/.local/share/cobblebrooks/data/", "a relative XDG value is ignored"},
        {"", "/home/ann", "/home/ann/.local/share/cobblebrooks/data/", "an empty XDG value is ignored"},
        {nullptr, "/home/ann/", "/home/ann/.local/share/cobblebrooks/data/", "HOME with its slash"},
        {nullptr, "", "data/", "no home: the working directory"},
        {nullptr, nullptr, "data/", "nothing set"},
    };
    for (const TDefaultCase& c : cases) EXPECT_EQ(platform::DefaultSaveDirectory(c.xdg, c.home), c.expected) << c.why;
}

class GamePathsTest : public PlatformTest {
protected:
    void UseSaveDir(const std::string& dir) {
        platform::TPlatformSettings s = Headless();
        s.saveDir = dir;
        platform::UseSettings(s);
    }
};

TEST_F(GamePathsTest, SaveFolderPathsMoveIntoTheSettingsFolder) {
    UseSaveDir("/tmp/cobble-saves");
    EXPECT_EQ(platform::SaveDirectory(), "/tmp/cobble-saves/");
    EXPECT_EQ(platform::ResolveSavePath("data/"), "/tmp/cobble-saves/");
    EXPECT_EQ(platform::ResolveSavePath("data/global.opt"), "/tmp/cobble-saves/global.opt");
    EXPECT_EQ(platform::ResolveSavePath("data/saveresume.dat"), "/tmp/cobble-saves/saveresume.dat");
    // Only the game's save folder moves: other paths, and "data" elsewhere in a path, stay.
    EXPECT_EQ(platform::ResolveSavePath("database/x"), "database/x");
    EXPECT_EQ(platform::ResolveSavePath("/var/data/x"), "/var/data/x");
    EXPECT_EQ(platform::ResolveSavePath("i_vga\\data/x"), "i_vga\\data/x");
}

TEST_F(GamePathsTest, ResourcePathsLieBesideTheProgram) {
    // The test program is built into tests/platform/ of the build tree.
    const std::filesystem::path expected =
        std::filesystem::canonical(std::filesystem::path(COBBLE_BINARY_DIR) / "tests" / "platform");
    const std::string& folder = platform::ProgramDirectory();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_EQ(std::filesystem::canonical(folder), expected);
    EXPECT_EQ(platform::ResolveResourcePath("app/native/assets/_game_bb.pak"),
              folder + "app/native/assets/_game_bb.pak");
    EXPECT_EQ(platform::ResolveResourcePath("/opt/game.pak"), "/opt/game.pak");
}

}  // namespace
