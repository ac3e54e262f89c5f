#pragma once
// Checks of what a scripted run of the program left: the frames it dumped (how many pixels of a
// rectangle pass a colour test, which must lie in a range, so that a frame shows what a player
// would see there) and the player data it saved.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "game/progress/ApplicationData.h"
#include "testsupport/PngRead.h"

namespace runchecks {

// Logical pixels of the 320 x 533 screen of a 768 x 1280 display, as display pixels.
inline int D(double logical) { return static_cast<int>(logical * 2.4 + 0.5); }

using TPixelTest = std::function<bool(const std::vector<int>&)>;

inline bool Teal(const std::vector<int>& p) { return p[0] < 120 && p[1] > 120 && p[2] > 120; }
inline bool White(const std::vector<int>& p) { return p[0] > 200 && p[1] > 200 && p[2] > 200; }
inline bool Green(const std::vector<int>& p) { return p[1] > 150 && p[0] < 150 && p[2] < 100; }
inline bool TitleYellow(const std::vector<int>& p) { return p[0] > 200 && p[1] > 170 && p[2] < 90; }
inline bool PureYellow(const std::vector<int>& p) { return p[0] > 240 && p[1] > 240 && p[2] < 30; }
inline bool Red(const std::vector<int>& p) { return p[0] > 180 && p[1] < 100 && p[2] < 100; }
// The blue of the boosts' buttons and bars, as lit on a screen.
inline bool ButtonBlue(const std::vector<int>& p) { return p[2] > 150 && p[0] < 90 && p[1] > 60 && p[1] < 170; }

struct TPixelCheck {
    const char* dump;
    int x0, y0, x1, y1;  // display pixels
    TPixelTest test;
    int atLeast, below;  // the count of passing pixels lies in [atLeast, below)
    const char* what;
};

// A check of a rectangle given in logical pixels.
inline TPixelCheck Logical(const char* dump, double x0, double y0, double x1, double y1, TPixelTest test, int atLeast,
                           int below, const char* what) {
    return {dump, D(x0), D(y0), D(x1), D(y1), std::move(test), atLeast, below, what};
}

// An input script written line by line; touches are given in logical pixels.
struct TScript {
    std::string text;
    void Line(int frame, const std::string& what) { text += std::to_string(frame) + " " + what + "\n"; }
    void Touch(int frame, const char* kind, double x, double y) {
        Line(frame, std::string("touch ") + kind + " " + std::to_string(D(x)) + " " + std::to_string(D(y)));
    }
    void Tap(int frame, double x, double y) {
        Touch(frame, "down", x, y);
        Touch(frame + 2, "up", x, y);
    }
    void Dump(int frame, const char* name) { Line(frame, std::string("dump ") + name); }
};

inline int Count(const TPngPixels& png, const TPixelCheck& c) {
    int n = 0;
    for (int y = c.y0; y < c.y1; ++y)
        for (int x = c.x0; x < c.x1; ++x) n += c.test(png.At(x, y)) ? 1 : 0;
    return n;
}

// Each check on its dump in the folder, which must be width x height; output is the run's, shown
// when a dump is missing.
inline void ExpectPixels(const std::filesystem::path& folder, std::span<const TPixelCheck> checks, int width,
                         int height, const std::string& output) {
    for (const TPixelCheck& c : checks) {
        const TPngPixels png = ReadPngFile((folder / c.dump).string());
        ASSERT_TRUE(png.ok) << c.dump << " was not written\n" << output;
        ASSERT_EQ(png.width, width);
        ASSERT_EQ(png.height, height);
        const int n = Count(png, c);
        EXPECT_GE(n, c.atLeast) << c.dump << ": " << c.what;
        EXPECT_LT(n, c.below) << c.dump << ": " << c.what;
    }
}

// Reads the global.opt the run saved in the folder into data; fails the test when it is missing or
// does not read.
inline void ReadSavedPlayerData(const std::filesystem::path& saves, CApplicationData& data) {
    std::ifstream in(saves / "global.opt", std::ios::binary);
    ASSERT_TRUE(in.good()) << "no global.opt in " << saves;
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(data.ReadAppDataFromBytes(bytes, "global.opt"), 1);
}

}  // namespace runchecks
