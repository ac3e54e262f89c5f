// Cross-checks between the table and the files that cut its sheets: a description fixture in
// the game's data-file syntax, and one fault per mismatch.
#include <gtest/gtest.h>

#include "imagegen/Checks.h"

using namespace imagegen;

namespace {

std::vector<TImageSpec> Table() {
    std::vector<TImageSpec> specs;
    std::string error;
    EXPECT_TRUE(
        ParseImageTable("sprites\\ui\\coin   24x24 1/1  rgba pill\n"
                        "sprites\\ui\\lock   40x44 6/6  rgba pill\n"
                        "sprites\\ui\\bar    150x14 4/1 rgba pill\n"
                        "particles\\p_star   16x16 4/4  neutral pill\n"
                        "particles\\p_wide   16x16 4/2  neutral pill\n",
                        "table", specs, error))
        << error;
    return specs;
}

const char* kSets =
    "// a description file\n"
    "set = HudCoin            // one image: no numbers\n"
    "    file = \"sprites\\ui\\coin\"\n"
    "    group = ui\n"
    "end\n"
    "set = \"level_lock\"\n"
    "    file = \"sprites\\ui\\lock\", 6, 6\n"
    "end\n"
    "not_a_set = 3\n"
    "set = bar\n"
    "    file = sprites\\ui\\bar, 4, 1\n"
    "end\n";

}  // namespace

TEST(Checks, ReadsSetBlocksAsTheGameDoes) {
    std::vector<TSetUse> sets;
    std::string error;
    ASSERT_TRUE(ReadSpriteSets(kSets, "ui.txt", sets, error)) << error;
    ASSERT_EQ(sets.size(), 3u);
    EXPECT_EQ(sets[0].name, "HudCoin");
    EXPECT_EQ(sets[0].file, "sprites\\ui\\coin");
    EXPECT_EQ(sets[0].frames, 1);
    EXPECT_EQ(sets[0].perRow, 1);
    EXPECT_EQ(sets[1].name, "level_lock") << "quotes removed";
    EXPECT_EQ(sets[1].frames, 6);
    EXPECT_EQ(sets[2].perRow, 1);
    EXPECT_EQ(sets[2].where, "ui.txt:10");
    EXPECT_TRUE(CheckUses(Table(), sets, {}, error)) << error;

    // One frame count given: a one-row sheet of that many frames.
    ASSERT_TRUE(ReadSpriteSets("set = s\n file = \"sprites\\ui\\lock\", 6\nend\n", "x", sets, error));
    EXPECT_EQ(sets[0].perRow, 6);
}

TEST(Checks, RefusesDescriptionsItCannotVouchFor) {
    std::vector<TSetUse> sets;
    std::string error;
    EXPECT_FALSE(ReadSpriteSets("set = a multi\n file = \"x%d\", 3\nend\n", "x", sets, error)) << "a per-frame kind";
    EXPECT_FALSE(ReadSpriteSets("set = a\n group = ui\nend\n", "x", sets, error)) << "no file";
    EXPECT_FALSE(ReadSpriteSets("set = a\n file = \"x\"\n", "x", sets, error)) << "not closed";
}

TEST(Checks, EachMismatchIsReported) {
    struct TCase {
        const char* why;
        std::vector<TSetUse> sets;
        std::vector<TStripUse> strips;
        const char* expect;  // part of the message
    };
    const TCase cases[] = {
        {"image not drawn", {{"Gone", "sprites\\ui\\gone", 1, 1, "f:1"}}, {}, "does not draw"},
        {"frame count differs", {{"Lock", "sprites\\ui\\lock", 5, 5, "f:2"}}, {}, "into 5 frames"},
        {"row length differs", {{"Bar", "sprites\\ui\\bar", 4, 2, "f:3"}}, {}, "2 per row"},
        {"set declared twice",
         {{"A", "sprites\\ui\\coin", 1, 1, "f:1"}, {"A", "sprites\\ui\\coin", 1, 1, "g:7"}},
         {},
         "already declared at f:1"},
        {"strip of two rows", {}, {{"particles\\p_wide", 4, 2, "Effects\\x.pfd"}}, "one row"},
        {"strip missing", {}, {{"particles\\p_none", 1, 1, "Effects\\y.pfd"}}, "does not draw"},
    };
    for (const TCase& c : cases) {
        std::string error;
        EXPECT_FALSE(CheckUses(Table(), c.sets, c.strips, error)) << c.why;
        EXPECT_NE(error.find(c.expect), std::string::npos) << c.why << ": " << error;
    }
}

TEST(Checks, ReadsTheStripOfAnEffectFile) {
    TStripUse strip;
    std::string error;
    ASSERT_TRUE(
        ReadEffectStrip("// sparkles\nParticleSprites = particles\\p_star\nParticleNumSprites = 4\n"
                        "ParticleNumSpritesPerRow = 4\nAdditiveBlend = 1\n",
                        "Effects\\s.pfd", strip, error))
        << error;
    EXPECT_EQ(strip.file, "particles\\p_star");
    EXPECT_EQ(strip.frames, 4);
    EXPECT_TRUE(CheckUses(Table(), {}, {strip}, error)) << error;
    EXPECT_FALSE(ReadEffectStrip("ParticleSprites = particles\\p_star\n", "Effects\\t.pfd", strip, error));
}
