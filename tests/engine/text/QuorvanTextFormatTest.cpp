// Text formatting: wrapping, stored lines, height and aligned drawing.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "FontFixtures.h"
#include "render/WinDibBitmap.h"
#include "text/BitmapFont.h"
#include "text/QuorvanTextFormat.h"

using namespace mediatest;
using namespace fonttest;

namespace {

// Every letter measures 4 (advance 4, no lead) plus the letter spacing 2: 6 per letter; the
// space is 5 wide (from '_'), so Length2(" ") = 5 is the gap of the fit test.
class TextFormatTest : public ::testing::Test {
protected:
    void SetUp() override {
        TFdb f;
        for (int c = 33; c < 256; ++c) f.Set(c, 0, 16, 0);
        f.Set('_', 0, 16, 4);
        game.SetPak({{"Images\\f_rgba.png", EncodePng(MakeImage(160, 140, {255, 255, 255, 255}))},
                     {"Images\\f.fdb", f.Encode()}});
        ASSERT_EQ(font.LoadFont("Images\\f.jpg"), 1);
        ASSERT_EQ(font.Length2("a"), 6);
        ASSERT_EQ(font.Length2(" "), 5);
    }
    std::vector<std::string> Lines(const CQuorvanTextFormat& f) const {
        std::vector<std::string> out;
        for (int i = 0; i < f.GetNumStrings(); ++i) {
            const char* s = f.GetString(i)->GetDataConst();
            out.emplace_back(s ? s : "");
        }
        return out;
    }
    CMediaTestGame game;
    CBitmapFontText font{&game};
};

using TLines = std::vector<std::string>;

}  // namespace

TEST_F(TextFormatTest, WrappingTable) {
    struct TCase {
        int width;
        const char* text;
        int result;
        TLines lines;
        const char* why;
    } const cases[] = {
        // "ab" and "cd" measure 12 each: 12 + 5 + 12 = 29 fits a width of 30, not of 29.
        {30, "ab cd", 1, {"ab cd"}, "two words that fit share a line"},
        {29, "ab cd", 1, {"ab", "cd"}, "the fit test is strict"},
        {100, "a\nb", 1, {"a", "b"}, "line feed"},
        {100, "a\\nb", 1, {"a", "b"}, "backslash and n count as one break"},
        {100, "\r", 1, {}, "only a carriage return: no line"},
        {100, "a\r\nb", 1, {"a", "b"}, "carriage returns are dropped"},
        {100, "ab  cd", 1, {"ab  cd"}, "two spaces stay two"},
        {100, "ab\n", 1, {"ab", ""}, "a final line feed leaves an empty last line"},
        {10, "abcdef gh", 1, {"abcdef", "gh"}, "a word wider than the width stands alone"},
        {10, "abcdef\ngh", 1, {"abcdef", "gh"}, "an unfitting word before a break is its own line"},
        {100, "", 0, {}, "empty text"},
    };
    for (const TCase& c : cases) {
        CQuorvanTextFormat format;
        EXPECT_EQ(format.FormatText(c.width, &font, c.text), c.result) << c.why;
        EXPECT_EQ(Lines(format), c.lines) << c.why;
    }
    CQuorvanTextFormat format;
    EXPECT_EQ(format.FormatText(100, &font, nullptr), 0);
    ASSERT_EQ(format.FormatText(100, &font, "one"), 1);
    ASSERT_EQ(format.FormatText(100, &font, "two"), 1);
    EXPECT_EQ(Lines(format), (TLines{"one", "two"})) << "lines are appended";
    format.Clear();
    EXPECT_EQ(format.GetNumStrings(), 0);
    EXPECT_EQ(format.GetString(0), nullptr);
}

TEST_F(TextFormatTest, HeightAndDefaults) {
    CQuorvanTextFormat format;
    EXPECT_EQ(format.m_nAlignment, 1);
    EXPECT_EQ(format.m_nWidth, 100);
    EXPECT_EQ(format.CalcFormatHeight(&font, 3), 0);
    ASSERT_EQ(format.AddString("x"), 1);
    ASSERT_EQ(format.AddString("y"), 1);
    EXPECT_EQ(format.CalcFormatHeight(&font, 3), 2 * (font.GetCharHeight() + 3));
}

TEST_F(TextFormatTest, AlignmentPlacesEachLineInTheBox) {
    // "aaa" measures 18 and "aaaaaaa" 42; a box 41 wide at x 10.
    struct TCase {
        int alignment;
        int firstX;   // where "aaa" starts
        int secondX;  // where "aaaaaaa" starts
        const char* why;
    } const cases[] = {
        {0, 10, 10, "left"},
        {1, 10 + 20 - 9, 10 + 20 - 21, "centred with halves rounded down; a wide line starts left of x"},
        {2, 10 + 41 - 18, 10 + 41 - 42, "right"},
    };
    for (const TCase& c : cases) {
        CQuorvanTextFormat format;
        format.m_nAlignment = c.alignment;
        format.m_nWidth = 41;
        ASSERT_EQ(format.AddString("aaa"), 1);
        ASSERT_EQ(format.AddString("aaaaaaa"), 1);
        CWinDibBitmap canvas(&game);
        ASSERT_EQ(canvas.Create(80, 40), 1);
        canvas.ClearBitmap(0, 0, 0);
        format.TextOut(&canvas, 10, 1, &font, 255, 255, 255, kTextEffectNone, 255, 2, nullptr);
        const int lineHeight = font.GetCharHeight() + 2;
        auto firstLit = [&](int y) {
            const auto* px = reinterpret_cast<const std::uint16_t*>(canvas.GetBits());
            for (int x = 0; x < 80; ++x)
                if (px[y * 80 + x] != 0) return x;
            return -1;
        };
        EXPECT_EQ(firstLit(2), c.firstX) << c.why;
        EXPECT_EQ(firstLit(2 + lineHeight), c.secondX) << c.why;
    }
    CQuorvanTextFormat other;
    other.m_nAlignment = 3;
    ASSERT_EQ(other.AddString("aaa"), 1);
    CWinDibBitmap canvas(&game);
    ASSERT_EQ(canvas.Create(80, 40), 1);
    canvas.ClearBitmap(0, 0, 0);
    other.TextOut(&canvas, 10, 1, &font, 255, 255, 255, kTextEffectNone, 255, 2, nullptr);
    const auto* px = reinterpret_cast<const std::uint16_t*>(canvas.GetBits());
    for (int i = 0; i < 80 * 40; ++i) ASSERT_EQ(px[i], 0) << "alignment 3 draws nothing";
}
