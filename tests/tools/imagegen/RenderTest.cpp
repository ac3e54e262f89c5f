// Rendering an image of the table: exact sheet sizes, and the refusals that keep a wrong line
// from reaching the pak.
#include <gtest/gtest.h>

#include "imagegen/Recipe.h"

using namespace imagegen;

namespace {

TImageSpec Spec(const std::string& line) {
    std::vector<TImageSpec> specs;
    std::string error;
    EXPECT_TRUE(ParseImageTable(line, "t", specs, error, IsRecipe)) << error;
    return specs.empty() ? TImageSpec() : specs[0];
}

}  // namespace

TEST(Render, SheetsComeOutAtTheirExactSize) {
    CImage image;
    std::string error;
    ASSERT_TRUE(RenderImage(Spec("a\\pill 124x40 2/2 rgba pill colour=blue"), image, error)) << error;
    EXPECT_EQ(image.Width(), 248);
    EXPECT_EQ(image.Height(), 40);
    ASSERT_TRUE(RenderImage(Spec("a\\bar 150x14 4/1 rgba upgrade_bar"), image, error)) << error;
    EXPECT_EQ(image.Width(), 150);
    EXPECT_EQ(image.Height(), 56);
    ASSERT_TRUE(RenderImage(Spec("a\\bg 32x48 1/1 rgb dialog_background"), image, error)) << error;
    EXPECT_TRUE(IsOpaque(image));
    // The two frames of a button differ: the pressed one is darker.
    ASSERT_TRUE(RenderImage(Spec("a\\pill 60x30 2/2 rgba pill colour=green"), image, error)) << error;
    EXPECT_GT(image.At(30, 12)[1], image.At(90, 13)[1]);
}

TEST(Render, RefusesLinesThatCannotBeRight) {
    struct TCase {
        const char* why;
        const char* line;
        const char* expect;
    };
    const TCase cases[] = {
        {"an argument the recipe never reads", "a\\b 40x20 2/2 rgba pill colour=green colur=red", "colur"},
        {"a value the recipe does not know", "a\\b 40x20 2/2 rgba pill colour=plaid", "plaid"},
        {"a malformed number", "a\\b 40x20 2/2 rgba pill radius=big", "not a number"},
        {"an opaque image with holes", "a\\b 8x8 1/1 rgb clear", "transparent"},
        {"a neutral image in colour", "a\\b 24x24 1/1 neutral coin", "coloured"},
    };
    for (const TCase& c : cases) {
        CImage image;
        std::string error;
        EXPECT_FALSE(RenderImage(Spec(c.line), image, error)) << c.why;
        EXPECT_NE(error.find(c.expect), std::string::npos) << c.why << ": " << error;
        EXPECT_NE(error.find("(line 1)"), std::string::npos) << c.why;
    }
}

TEST(Render, TheSameLineGivesTheSameBytes) {
    CImage a, b;
    std::string error;
    ASSERT_TRUE(RenderImage(Spec("a\\t 276x92 1/1 rgba title text=Cobblebrooks"), a, error)) << error;
    ASSERT_TRUE(RenderImage(Spec("a\\t 276x92 1/1 rgba title text=Cobblebrooks"), b, error)) << error;
    EXPECT_EQ(EncodeForKind(a, EImageKind::Rgba), EncodeForKind(b, EImageKind::Rgba));
}
