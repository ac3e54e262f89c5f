// A formatted block drawn in scaled text (TextOutF over a CQuorvanTextFormat) on a headless GL
// screen: line placement by alignment and scale against positions worked out here, the colour,
// alpha, effect and clip handed on, and the block against the format's own integer TextOut.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "FontFixtures.h"
#include "render/GlesGlobals.h"
#include "text/BitmapFont.h"
#include "text/QuorvanTextFormat.h"
#include "text/TextFormatDraw.h"

using namespace mediatest;
using namespace fonttest;

namespace {

constexpr int kW = 320;
constexpr int kH = 160;
// Odd, so that halving it in whole pixels loses a half.
constexpr int kBoxWidth = 201;
const char* const kLines[] = {"Hi", "Wide line", "", "End"};

int Differing(const TImage& a, const TImage& b, int tolerance) {
    int n = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            for (int c = 0; c < 3; ++c)
                if (std::abs(a.At(x, y)[c] - b.At(x, y)[c]) > tolerance) {
                    ++n;
                    break;
                }
    return n;
}

int Inked(const TImage& img) {
    int n = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) n += img.At(x, y)[0] != 20 || img.At(x, y)[1] != 20 || img.At(x, y)[2] != 60;
    return n;
}

class TextFormatDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!gl.IsValid()) GTEST_SKIP() << "no headless EGL / GLES1 here";
        screen = game.MakeGlScreen(kW, kH);
        game.SetPak(FontMembers(Bake(16), "Images\\sans", fontbaker::EForm::RgbaPng));
        font = std::make_unique<CBitmapFontText>(&game);
        ASSERT_EQ(font->LoadFont("Images\\sans.jpg"), 1);
        font->m_nLetterSpacing = 1;  // mixes odd and even line lengths
        for (const char* line : kLines) ASSERT_EQ(format.AddString(line), 1);
        format.m_nWidth = kBoxWidth;
    }
    void Clear() { screen->FillRectangle(0, 0, kW, kH, 20, 20, 60); }

    // Where line i must start, worked out from the placement rule with the line's length in whole
    // pixels: left at x; right so that the scaled line ends at x + box width; centred so that it is
    // halved about x + box width / 2 (whole pixels), its scaled half kept in 16.16.
    FIXED_FLOAT_16 ExpectedLineX(int alignment, FIXED_FLOAT_16 x, FIXED_FLOAT_16 scale, const char* text) const {
        const long long scaled = static_cast<long long>(font->Length2(text)) * scale;
        if (alignment == 2) return static_cast<FIXED_FLOAT_16>(x + (static_cast<long long>(kBoxWidth) << 16) - scaled);
        if (alignment == 1)
            return static_cast<FIXED_FLOAT_16>(x + (static_cast<long long>(kBoxWidth / 2) << 16) - scaled / 2);
        return x;
    }

    CHeadlessGl gl{kW, kH};
    CMediaTestGame game;
    CWinDibBitmapOGLES* screen = nullptr;
    std::unique_ptr<CBitmapFontText> font;
    CQuorvanTextFormat format;
};

}  // namespace

TEST_F(TextFormatDrawTest, LinesArePlacedByAlignmentAndScaleWithAnUnscaledLineStep) {
    struct TCase {
        int alignment;
        FIXED_FLOAT_16 scale;
        const char* why;
    };
    const TCase cases[] = {
        {0, 0x10000, "left: every line starts at x"},
        {2, 0x10000, "right: every line ends at the box's right edge"},
        {1, 0x10000, "centred on the box's middle"},
        {2, 0x20000, "right at double size: the scaled length comes off, lines still step by the unscaled height"},
        {1, 0x18000, "centred at 1.5: the scaled half length keeps its fraction"},
        {7, 0x10000, "an unknown alignment places the lines as left"},
    };
    const FIXED_FLOAT_16 x = (10 << 16) + 0x8000, y = 12 << 16;
    const int step = font->GetCharHeight();
    ASSERT_GT(step, 0);
    bool oddLength = false;
    for (const char* line : kLines) oddLength |= font->Length2(line) % 2 == 1;
    ASSERT_TRUE(oddLength) << "a line of odd length shows whether its scaled half keeps the fraction";
    std::vector<TImage> drawn;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        format.m_nAlignment = c.alignment;
        Clear();
        TextOutF(screen, &format, font.get(), x, y, c.scale, c.scale, 240, 230, 90, kTextEffectNone, 255, nullptr);
        const TImage got = gl.Read();

        Clear();
        for (int i = 0; i < static_cast<int>(std::size(kLines)); ++i) {
            if (kLines[i][0] == '\0') continue;
            font->TextOutF(screen, kLines[i], ExpectedLineX(c.alignment, x, c.scale, kLines[i]), y + ((i * step) << 16),
                           c.scale, c.scale, 0, 240, 230, 90, kTextEffectNone, 255, nullptr);
        }
        const TImage want = gl.Read();
        EXPECT_GT(Inked(want), 200) << "the lines are on the screen";
        EXPECT_EQ(Differing(got, want, 0), 0);
        drawn.push_back(got);
    }
    EXPECT_GT(Differing(drawn[0], drawn[1], 0), 0) << "left and right placements differ with this box";
    EXPECT_GT(Differing(drawn[1], drawn[2], 0), 0) << "right and centred placements differ with this box";
}

TEST_F(TextFormatDrawTest, ColourAlphaEffectAndClipReachEveryLine) {
    format.m_nAlignment = 0;
    TCoordRect2D clip{0, 0, 60, kH};
    const FIXED_FLOAT_16 x = 8 << 16, y = 6 << 16;
    Clear();
    // Only the low bytes of the colour and alpha count.
    TextOutF(screen, &format, font.get(), x, y, 0x10000, 0x10000, 0x100 + 250, 0x200 + 40, 0x300 + 40,
             kTextEffectShadow, 0x100 + 160, &clip);
    const TImage got = gl.Read();
    EXPECT_EQ(glIsEnabled(GL_SCISSOR_TEST), GL_FALSE);

    Clear();
    const int step = font->GetCharHeight();
    for (int i = 0; i < static_cast<int>(std::size(kLines)); ++i) {
        if (kLines[i][0] == '\0') continue;
        font->TextOutF(screen, kLines[i], x, y + ((i * step) << 16), 0x10000, 0x10000, 0, 250, 40, 40,
                       kTextEffectShadow, 160, &clip);
    }
    const TImage want = gl.Read();
    EXPECT_EQ(Differing(got, want, 0), 0);
    for (int py = 0; py < kH; ++py)
        for (int px = 60; px < kW; ++px) ASSERT_EQ(got.At(px, py)[2], 60) << "outside the clip at " << px << "," << py;
    EXPECT_GT(Inked(got), 50) << "the clipped block still shows inside the clip";
}

TEST_F(TextFormatDrawTest, UnscaledBlockMatchesTheFormatsIntegerTextOut) {
    CQuorvanTextFormat wrapped;
    ASSERT_EQ(wrapped.FormatText(90, font.get(), "one two three four five"), 1);
    ASSERT_GE(wrapped.GetNumStrings(), 3);
    wrapped.m_nWidth = 150;
    for (int alignment : {0, 2}) {
        SCOPED_TRACE(alignment);
        wrapped.m_nAlignment = alignment;
        Clear();
        wrapped.TextOut(screen, 30, 10, font.get(), 255, 255, 255, kTextEffectNone, 255, 0, nullptr);
        const TImage integer = gl.Read();
        Clear();
        TextOutF(screen, &wrapped, font.get(), 30 << 16, 10 << 16, 0x10000, 0x10000, 255, 255, 255, kTextEffectNone,
                 255, nullptr);
        const TImage scaled = gl.Read();
        EXPECT_GT(Inked(integer), 300);
        // The two glyph paths agree to the rounding of the texture blend.
        EXPECT_EQ(Differing(integer, scaled, 2), 0);
    }
}

TEST_F(TextFormatDrawTest, NothingIsDrawnWithoutTargetFormatOrFont) {
    Clear();
    const TImage before = gl.Read();
    CQuorvanTextFormat empty;
    TextOutF(nullptr, &format, font.get(), 0, 0, 0x10000, 0x10000, 255, 255, 255, 0, 255, nullptr);
    TextOutF(screen, nullptr, font.get(), 0, 0, 0x10000, 0x10000, 255, 255, 255, 0, 255, nullptr);
    TextOutF(screen, &format, nullptr, 0, 0, 0x10000, 0x10000, 255, 255, 255, 0, 255, nullptr);
    TextOutF(screen, &empty, font.get(), 0, 0, 0x10000, 0x10000, 255, 255, 255, 0, 255, nullptr);
    EXPECT_EQ(Differing(gl.Read(), before, 0), 0);
}
