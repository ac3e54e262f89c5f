// Reading the image table: a fixture of good lines, and one bad line per refusal.
#include <gtest/gtest.h>

#include "imagegen/ImageTable.h"

using namespace imagegen;

namespace {

bool OnlyPill(std::string_view name) { return name == "pill" || name == "coin"; }

}  // namespace

TEST(ImageTable, ReadsPathsLayoutsKindsRecipesAndArguments) {
    const std::string text =
        "# a comment line\n"
        "\n"
        "sprites\\ui\\btn_green_m   124x40  2/2  rgba  pill colour=green   # trailing comment\n"
        "ui\\startmenu\\menubg_1   320x230 1/1  rgb   coin\n"
        "particles\\p_star        16x16   4/4  neutral coin label=\"two words\" tint=#FFC107\n";
    std::vector<TImageSpec> specs;
    std::string error;
    ASSERT_TRUE(ParseImageTable(text, "t.txt", specs, error, OnlyPill)) << error;
    ASSERT_EQ(specs.size(), 3u);
    EXPECT_EQ(specs[0].path, "sprites\\ui\\btn_green_m");
    EXPECT_EQ(specs[0].layout.frameWidth, 124);
    EXPECT_EQ(specs[0].layout.frameHeight, 40);
    EXPECT_EQ(specs[0].layout.frames, 2);
    EXPECT_EQ(specs[0].layout.perRow, 2);
    EXPECT_EQ(specs[0].recipe, "pill");
    EXPECT_EQ(specs[0].args.at("colour"), "green");
    EXPECT_EQ(specs[0].args.size(), 1u) << "the comment is not an argument";
    EXPECT_EQ(specs[0].line, 3);
    EXPECT_EQ(specs[1].kind, EImageKind::Rgb);
    EXPECT_EQ(specs[2].kind, EImageKind::Neutral);
    EXPECT_EQ(specs[2].args.at("label"), "two words");
    EXPECT_EQ(specs[2].args.at("tint"), "#FFC107") << "a '#' inside a word is not a comment";
    EXPECT_EQ(ImageFileName(specs[1]), "ui/startmenu/menubg_1.png");
}

TEST(ImageTable, RefusesMalformedLinesWithTheirLineNumber) {
    struct TCase {
        const char* why;
        const char* line;
    };
    const TCase cases[] = {
        {"too few words", "a\\b 10x10 1/1 rgba"},
        {"bad frame size", "a\\b 10by10 1/1 rgba pill"},
        {"zero width", "a\\b 0x10 1/1 rgba pill"},
        {"bad layout", "a\\b 10x10 2 rgba pill"},
        {"more per row than frames", "a\\b 10x10 2/3 rgba pill"},
        {"unknown kind", "a\\b 10x10 1/1 rgb565 pill"},
        {"unknown recipe", "a\\b 10x10 1/1 rgba teapot"},
        {"argument without a value", "a\\b 10x10 1/1 rgba pill colour"},
        {"unclosed quote", "a\\b 10x10 1/1 rgba pill label=\"open"},
    };
    for (const TCase& c : cases) {
        std::vector<TImageSpec> specs;
        std::string error;
        const std::string text = std::string("ok\\one 4x4 1/1 rgba pill\n") + c.line + "\n";
        EXPECT_FALSE(ParseImageTable(text, "t.txt", specs, error, OnlyPill)) << c.why;
        EXPECT_EQ(error.rfind("t.txt:2: ", 0), 0u) << c.why << ": " << error;
    }
}

TEST(ImageTable, RefusesAPathListedTwiceInEitherSlash) {
    std::vector<TImageSpec> specs;
    std::string error;
    EXPECT_FALSE(ParseImageTable("a\\b 4x4 1/1 rgba pill\na/b 4x4 1/1 rgba coin\n", "t.txt", specs, error, OnlyPill));
    EXPECT_NE(error.find("twice"), std::string::npos) << error;
    // Names are case-sensitive, as in the pak.
    EXPECT_TRUE(ParseImageTable("a\\b 4x4 1/1 rgba pill\nA\\b 4x4 1/1 rgba pill\n", "t.txt", specs, error, OnlyPill));
    EXPECT_EQ(NormalisedImagePath("sprites/ui/x.png"), "sprites\\ui\\x");
}
