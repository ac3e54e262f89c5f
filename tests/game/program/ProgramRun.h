#pragma once
// What the tests of the real game program share: the program copied beside a pak the test
// changed (pakedit.py), a headless scripted run of it, the colours a screenshot is checked for,
// and the player data a run saved.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "core/MemFile.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/UserProfile.h"
#include "testsupport/PngRead.h"
#include "testsupport/RunCommand.h"

namespace programrun {

namespace fs = std::filesystem;

// The pak the build put beside the program.
inline fs::path BuiltPak() {
    return fs::path(COBBLE_GAME_PATH).parent_path() / "app" / "native" / "assets" / "_game_bb.pak";
}

// The program copied into dir with a pak made by pakedit.py from the built one (pakeditArgs: its
// options, already quoted for the shell) and the window icon beside it. Its path; empty when the
// pak could not be made (the reason goes to the test's failure). source: the program to copy.
inline fs::path ProgramBesideChangedPak(const fs::path& dir, const std::string& pakeditArgs,
                                        const fs::path& source = COBBLE_GAME_PATH) {
    const fs::path assets = dir / "app" / "native" / "assets";
    fs::create_directories(assets);
    const fs::path program = dir / source.filename();
    fs::copy_file(source, program, fs::copy_options::overwrite_existing);
    const fs::path icon = fs::path(COBBLE_GAME_PATH).parent_path() / "app" / "native" / "icon.png";
    if (fs::exists(icon))
        fs::copy_file(icon, dir / "app" / "native" / "icon.png", fs::copy_options::overwrite_existing);
    int status = -1;
    const std::string out =
        RunCommand("python3 '" COBBLE_SOURCE_DIR "/tests/game/program/pakedit.py' '" + BuiltPak().string() + "' '" +
                       (assets / "_game_bb.pak").string() + "' " + pakeditArgs + " 2>&1",
                   &status);
    EXPECT_EQ(status, 0) << out;
    return status == 0 ? program : fs::path();
}

// A headless run of the program on the default display with the virtual clock and a sink for
// sound: extra holds more settings (a script, a frame limit). Its output, and its status in
// *status. The timeout guards a program that stops presenting.
inline std::string RunHeadless(const fs::path& program, const fs::path& dumps, const fs::path& saves,
                               const std::string& extra, int* status) {
    return RunCommand(
        "timeout 180 env -u DISPLAY COBBLE_DISPLAY=headless COBBLE_DISPLAY_SIZE=768x1280 "
        "COBBLE_CLOCK=virtual COBBLE_SOUND=null " +
            extra + " COBBLE_DUMP_DIR='" + dumps.string() + "' COBBLE_SAVE_DIR='" + saves.string() + "' '" +
            program.string() + "' 2>&1",
        status);
}

// Colour tests for screenshot pixels (r, g, b, a).
inline bool White(const std::vector<int>& p) { return p[0] > 200 && p[1] > 200 && p[2] > 200; }
inline bool Green(const std::vector<int>& p) { return p[1] > 150 && p[0] < 150 && p[2] < 100; }
inline bool TitleYellow(const std::vector<int>& p) { return p[0] > 200 && p[1] > 170 && p[2] < 90; }
inline bool Red(const std::vector<int>& p) { return p[0] > 180 && p[1] < 100 && p[2] < 100; }
inline bool Black(const std::vector<int>& p) { return p[0] < 16 && p[1] < 16 && p[2] < 16; }
inline bool Sky(const std::vector<int>& p) { return p[2] > 150 && p[2] > p[0] + 40; }

// The pixels in [x0, x1) x [y0, y1) that pass the test.
template <class Pred>
int CountPixels(const TPngPixels& png, int x0, int y0, int x1, int y1, Pred pred) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) n += pred(png.At(x, y)) ? 1 : 0;
    return n;
}

// A count of pixels of a screenshot that pass a test, with the range it must lie in.
struct TPixelCheck {
    const char* dump;
    int x0, y0, x1, y1;  // display pixels
    std::function<bool(const std::vector<int>&)> test;
    int atLeast, below;  // the count lies in [atLeast, below)
    const char* what;
};

// Each check on its screenshot in dumps, all of the default display's size.
inline void CheckDumps(const fs::path& dumps, const std::vector<TPixelCheck>& checks, const std::string& output) {
    for (const TPixelCheck& c : checks) {
        const TPngPixels png = ReadPngFile((dumps / c.dump).string());
        ASSERT_TRUE(png.ok) << c.dump << " was not written\n" << output;
        ASSERT_EQ(png.width, 768);
        ASSERT_EQ(png.height, 1280);
        const int n = CountPixels(png, c.x0, c.y0, c.x1, c.y1, c.test);
        EXPECT_GE(n, c.atLeast) << c.dump << ": " << c.what;
        EXPECT_LT(n, c.below) << c.dump << ": " << c.what;
    }
}

// The player data a run left in saves; ok false (and the test told) when it is missing or
// unreadable.
struct TSaved {
    bool ok = false;
    int profiles = 0;
    std::string firstName;
};
inline TSaved ReadSaved(const fs::path& saves) {
    TSaved saved;
    std::ifstream in(saves / "global.opt", std::ios::binary);
    EXPECT_TRUE(in.good()) << "no global.opt in " << saves;
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    CApplicationData data;
    saved.ok = !bytes.empty() && data.ReadAppDataFromBytes(bytes, "global.opt") == 1;
    EXPECT_TRUE(saved.ok) << "global.opt does not read back";
    saved.profiles = data.m_Profiles.count;
    if (saved.profiles > 0 && data.m_Profiles.data[0]->GetName().Length() > 0)
        saved.firstName = data.m_Profiles.data[0]->GetName().GetDataConst();
    return saved;
}

// Writes saves/global.opt holding one player, "Ada", chosen, whom seed then shapes (coins, hints,
// awards), so that a run starts past the name entry with the player a test is about.
inline void WriteSeededPlayer(const fs::path& saves, const std::function<void(TUserProfile&)>& seed) {
    CApplicationData data;
    data.SetDefaultApplicationData();
    const int i = data.AddUserProfile();
    ASSERT_GE(i, 0);
    data.SetUserName(i, CommonString("Ada"));
    data.m_nCurrentProfile = i;
    seed(*data.m_Profiles.data[i]);
    CMemoryFile out;
    ASSERT_EQ(out.Create(1 << 16), 1);
    ASSERT_EQ(data.Serialize(&out, true), 1);
    fs::create_directories(saves);
    std::ofstream(saves / "global.opt", std::ios::binary)
        .write(static_cast<const char*>(out.GetBuffer()), static_cast<std::streamsize>(out.GetCurPos()));
}

// Script lines for the first start on the default display: the name entry asks for a name, "Ada"
// is typed and confirmed; the menu stands by frame 250.
inline std::string FirstStartAsAda() {
    return "180 touch down 103 643\n182 touch up 103 643\n"   // A
           "188 touch down 243 643\n190 touch up 243 643\n"   // d
           "196 touch down 103 643\n198 touch up 103 643\n"   // a
           "210 touch down 384 936\n212 touch up 384 936\n";  // OK
}

}  // namespace programrun
