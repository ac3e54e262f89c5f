// The effect recipes and the tables that name them: every file the game's tables name has a
// recipe, every recipe comes out at its level without offset, one-shots start and end silent,
// and loops wrap without a jump. The tables are read from the content sources.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "soundgen/Dsp.h"
#include "soundgen/Effects.h"
#include "soundgen/SoundTables.h"

namespace {

using namespace soundgen;

std::string ReadSource(const char* relative) {
    std::ifstream in(std::string(COBBLE_SOURCE_DIR) + "/" + relative, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

TEST(SoundFilesOfTable, ReadsTheKeysValuesLikeTheGamesParser) {
    const std::string text =
        "// a comment line\n"
        "sfx = A\n"
        "file = a.wav   // trailing comment\n"
        "end\n"
        "sfx = B\n"
        "file: \"sub\\b.wav\"\n"
        "File = ignored.wav\n"
        "end\n"
        "sfx = C\n"
        "file = a.wav\n"
        "end\n";
    EXPECT_EQ(SoundFilesOfTable(text, {"file"}, ""), (std::vector<std::string>{"a.wav", "sub/b.wav"}));
    EXPECT_EQ(SoundFilesOfTable("bird = b1\n eat = x.wav\n tap = y.wav\n eat = x.wav\nend\n", {"eat", "tap"}, "Birds/"),
              (std::vector<std::string>{"Birds/x.wav", "Birds/y.wav"}));
}

TEST(Effects, EveryFileTheGamesTablesNameHasARecipe) {
    const auto sfx = SoundFilesOfTable(ReadSource("content/audio/sfx.txt"), {"file"}, "");
    const auto birds = SoundFilesOfTable(ReadSource("content/audio/bird_sounds.txt"),
                                         {"eat", "drink", "question", "tap", "tap_spin"}, "");
    ASSERT_EQ(sfx.size(), 28u) << "one file per effect of the table";
    ASSERT_EQ(birds.size(), 17u) << "the distinct bird calls";
    Samples s;
    for (const auto& list : {sfx, birds})
        for (const std::string& file : list) EXPECT_TRUE(MakeEffect(file, s)) << file;
    EXPECT_FALSE(MakeEffect("sfx_missing.wav", s));
}

TEST(Effects, EachComesOutAtItsLevelCleanAtBothEnds) {
    for (const TEffectInfo& info : ListEffects()) {
        Samples s;
        ASSERT_TRUE(MakeEffect(info.name, s)) << info.name;
        ASSERT_GT(s.size(), SamplesOf(0.02)) << info.name;
        EXPECT_LE(info.peakDb, -3.0) << info.name << ": headroom for the mixer";
        EXPECT_NEAR(Peak(s), std::pow(10.0, info.peakDb / 20.0), 1e-5) << info.name;
        EXPECT_LT(std::abs(Mean(s)), 0.003) << info.name << ": offset";
        EXPECT_GT(Rms(s), 0.01) << info.name << ": audible";
        if (info.loop) {
            float largest = 0.0f;
            for (std::size_t i = 1; i < s.size(); ++i) largest = std::max(largest, std::abs(s[i] - s[i - 1]));
            EXPECT_LE(std::abs(s.front() - s.back()), largest) << info.name << ": the wrap jumps";
        } else {
            EXPECT_EQ(s.front(), 0.0f) << info.name;
            EXPECT_EQ(s.back(), 0.0f) << info.name;
            // A 5 ms fade: nothing loud right at either edge.
            EXPECT_LT(std::abs(s[5]), 0.05f) << info.name;
            EXPECT_LT(std::abs(s[s.size() - 6]), 0.05f) << info.name;
        }
    }
}

TEST(Effects, TimedSoundsLastWhatTheGameExpects) {
    struct TCase {
        const char* name;
        double seconds;
        const char* why;
    } cases[] = {{"sfx_count.wav", 0.75, "one counting section of the statistics (22 frames)"},
                 {"sfx_roll_loop.wav", 1.0, "a whole number of its 7 Hz pulses"},
                 {"sfx_button.wav", 0.025, "a click"}};
    for (const auto& c : cases) {
        Samples s;
        ASSERT_TRUE(MakeEffect(c.name, s));
        EXPECT_EQ(s.size(), SamplesOf(c.seconds)) << c.why;
    }
}

TEST(Effects, TheSameRecipeGivesTheSameSound) {
    Samples a, b;
    ASSERT_TRUE(MakeEffect("sfx_applause.wav", a));
    ASSERT_TRUE(MakeEffect("sfx_applause.wav", b));
    EXPECT_EQ(a, b);
}

}  // namespace
