// The contact sheet's text follows the game's bitmap-font rules: a hand-made font with known
// metrics and glyph cells.
#include <gtest/gtest.h>

#include "imagegen/ContactSheet.h"

using namespace imagegen;

namespace {

// A font whose glyph image has 16 x 14 cells of 4 x 5 pixels; 'A' (cell 33) is solid white in
// its first 2 columns, 'B' (cell 34) in its first 3.
TBakedFontView HandMadeFont() {
    TBakedFontView font;
    font.glyphs = CImage(16 * 4, 14 * 5);
    const auto fillCell = [&](int code, int columns) {
        const int i = code - 32, x0 = (i % 16) * 4, y0 = (i / 16) * 5;
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < columns; ++x) {
                std::uint8_t* p = font.glyphs.At(x0 + x, y0 + y);
                p[0] = p[1] = p[2] = p[3] = 255;
            }
    };
    fillCell('A', 2);
    fillCell('B', 3);
    // Quarter pixels: A draws 2 columns 1 pixel after the pen and advances 4; B draws 3 columns at
    // the pen and advances 3.
    font.a['A'] = 4, font.b['A'] = 8, font.c['A'] = 4;
    font.a['B'] = 0, font.b['B'] = 12, font.c['B'] = 0;
    font.spaceWidth = 5;
    return font;
}

}  // namespace

TEST(ContactSheet, BakedTextUsesTheGamesAdvanceRule) {
    TBakedFontView font = HandMadeFont();
    // (B + C) / 4 + A / 4 per character, the space width for a blank.
    EXPECT_EQ(TextWidth(font, "AB"), 4 + 3);
    EXPECT_EQ(TextWidth(font, "A B"), 4 + 5 + 3);
    font.letterSpacing = 2;
    EXPECT_EQ(TextWidth(font, "AB"), 4 + 2 + 3 + 2);
}

TEST(ContactSheet, BakedGlyphsLandAfterTheirLeadAndTakeTheTint) {
    const TBakedFontView font = HandMadeFont();
    CImage canvas(20, 8);
    const std::uint8_t red[3] = {255, 0, 0};
    DrawBakedText(canvas, font, "AB", 2, 1, red, 0);
    // A: columns 3..4 (pen 2 + lead 1); B: pen 6, columns 6..8.
    EXPECT_EQ(canvas.At(2, 2)[3], 0);
    EXPECT_EQ(canvas.At(3, 2)[3], 255);
    EXPECT_EQ(canvas.At(4, 2)[0], 255);
    EXPECT_EQ(canvas.At(4, 2)[1], 0);
    EXPECT_EQ(canvas.At(5, 2)[3], 0);
    EXPECT_EQ(canvas.At(6, 2)[3], 255);
    EXPECT_EQ(canvas.At(8, 2)[3], 255);
    EXPECT_EQ(canvas.At(9, 2)[3], 0);
    EXPECT_EQ(canvas.At(3, 0)[3], 0) << "drawn from y = 1 down";

    CImage shadowed(20, 8);
    DrawBakedText(shadowed, font, "A", 2, 1, red, 1);
    EXPECT_EQ(shadowed.At(5, 6)[0], 0) << "the shadow copy is black, one pixel right and down";
    EXPECT_EQ(shadowed.At(5, 6)[3], 255);
}

TEST(ContactSheet, ShortMetricsAreRefused) {
    TBakedFontView font;
    std::string error;
    EXPECT_FALSE(ReadFdb(std::vector<std::uint8_t>(2687, 0), font, error));
    std::vector<std::uint8_t> bytes(2692, 0);
    bytes[(65 - 32) * 12 + 4] = 40;  // B of 'A'
    ASSERT_TRUE(ReadFdb(bytes, font, error)) << error;
    EXPECT_EQ(font.b['A'], 40);
}
