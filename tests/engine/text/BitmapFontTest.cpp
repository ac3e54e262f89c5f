// Bitmap fonts: the ".fdb" reader, the glyph layout, measuring, loading the baked forms, and
// drawing into software bitmaps.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>

#include "FontFixtures.h"
#include "render/WinDibBitmap.h"
#include "text/BitmapFont.h"

using namespace mediatest;
using namespace fonttest;

namespace {

class BitmapFontTest : public ::testing::Test {
protected:
    // Loads "Images\font.jpg" from a pak of a W x H transparent "_rgba.png" and the given metrics.
    std::unique_ptr<CBitmapFontText> LoadWithImage(int w, int h, const Bytes& fdb) {
        game.SetPak(
            {{"Images\\font_rgba.png", EncodePng(MakeImage(w, h, {255, 255, 255, 0}))}, {"Images\\font.fdb", fdb}});
        auto font = std::make_unique<CBitmapFontText>(&game);
        EXPECT_EQ(font->LoadFont("Images\\font.jpg"), 1);
        return font;
    }
    CMediaTestGame game;
};

}  // namespace

TEST(FdbDecode, SizeRulesGlyphListFormsAndCountLimits) {
    TFdb base;
    for (int c = 32; c < 256; ++c) base.Set(c, c, static_cast<std::uint32_t>(c * 2), -c);
    Bytes full = base.Encode();  // 2692 bytes: ABC block and V
    ASSERT_EQ(full.size(), 2692u);

    struct TCase {
        Bytes bytes;
        EFdbResult result;
        bool inset;
        int glyphs;
        const char* why;
    };
    auto withList = [&](std::int32_t count, std::vector<std::uint8_t> codes) {
        TFdb f = base;
        f.inset = 12;
        f.withCount = true;
        f.count = count;
        f.codes = std::move(codes);
        return f.Encode();
    };
    std::vector<std::uint8_t> all;
    for (int c = 32; c < 256; ++c) all.push_back(static_cast<std::uint8_t>(c));
    const TCase cases[] = {
        {Bytes(full.begin(), full.begin() + 2688), EFdbResult::Ok, false, 0, "ABC block only"},
        {full, EFdbResult::Ok, true, 0, "with the inset"},
        {Bytes(full.begin(), full.begin() + 2690), EFdbResult::Ok, false, 0, "a cut inset is absent"},
        {[&] {
             Bytes b = full;
             b.insert(b.end(), {5, 0});
             return b;
         }(),
         EFdbResult::Ok, true, 0, "a cut glyph count is absent, not a list of 5"},
        {withList(10, {65, 66, 67, 68, 69, 70, 71, 72, 73, 74}), EFdbResult::Ok, true, 10, "ten codes"},
        {withList(224, all), EFdbResult::Ok, true, 224, "the largest list"},
        {withList(0, {}), EFdbResult::BadGlyphCount, true, 0, "zero codes"},
        {withList(225, all), EFdbResult::BadGlyphCount, true, 0, "one code too many"},
        {withList(-1, {}), EFdbResult::BadGlyphCount, true, 0, "negative count"},
        {withList(3, {65, 66}), EFdbResult::ShortGlyphList, true, 0, "the list is cut short"},
    };
    for (const TCase& c : cases) {
        TFdbData out;
        EXPECT_EQ(DecodeFdb(c.bytes, "t.fdb", out), c.result) << c.why;
        EXPECT_EQ(out.hasInset, c.inset) << c.why;
        if (c.result == EFdbResult::Ok) {
            EXPECT_EQ(out.glyphCount, c.glyphs) << c.why;
        }
        EXPECT_EQ(out.abc[255].C, -255) << c.why;
    }
    TFdbData out;
    ASSERT_EQ(DecodeFdb(withList(10, {65, 66, 67, 68, 69, 70, 71, 72, 73, 74}), "t.fdb", out), EFdbResult::Ok);
    EXPECT_EQ(out.verticalInset, 12);
    EXPECT_EQ(out.glyphs[9], 74);
}

TEST(FdbDecode, AFileEndingInsideTheAbcBlockKeepsWhatWasRead) {
    TFdb f;
    for (int c = 32; c < 256; ++c) f.Set(c, 0x01020304, 0x0A0B0C0D, 7);
    const Bytes bytes = f.Encode();
    // Records 32..39 whole (96 bytes), then two bytes of code 40's A.
    TFdbData out;
    ASSERT_EQ(DecodeFdb(std::span<const std::uint8_t>(bytes.data(), 98), "t.fdb", out), EFdbResult::Ok);
    EXPECT_EQ(out.abc[39].A, 0x01020304);
    EXPECT_EQ(out.abc[39].B, 0x0A0B0C0Du);
    EXPECT_EQ(out.abc[40].A, 0x0304) << "the bytes read, high bytes 0";
    EXPECT_EQ(out.abc[40].B, 0u);
    EXPECT_EQ(out.abc[41].A, 0);
    EXPECT_FALSE(out.hasInset);
    ASSERT_EQ(DecodeFdb({}, "empty.fdb", out), EFdbResult::Ok);
    EXPECT_EQ(out.abc[32].B, 0u);
}

TEST_F(BitmapFontTest, FullGridLayoutAndMeasuring) {
    TFdb f;
    f.Set(' ', 0, 8, 4);            // advance 3
    f.Set('_', 4, 20, 4);           // advance 6: the space width
    f.Set('A', 8, 28, 4);           // lead 2, advance 8
    f.Set('B', -4, 24, 0);          // lead -1, advance 6
    f.Set('C', 2000, 4, 4);         // A too large: takes the space's 0
    f.Set('D', 4, 0xFFFFFFF0u, 8);  // B negative, so above 1000 unsigned: takes the space's 8
    f.inset = 8;
    auto font = LoadWithImage(160, 140, f.Encode());
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->GetCharWidth(), 10);
    EXPECT_EQ(font->GetCellHeight(), 10);
    // 'A' is cell 33: column 1, row 2.
    const TGlyphRect& a = font->GetGlyphRect('A');
    EXPECT_EQ(a.left, 10);
    EXPECT_EQ(a.top, 20);
    EXPECT_EQ(a.right, 10 + (8 + 28) / 4);
    EXPECT_EQ(a.bottom, 30);
    EXPECT_EQ(font->GetAdvance('A'), 8);
    EXPECT_EQ(font->GetSpaceWidth(), 6);
    int A = 0, B = 0, C = 0;
    font->GetABCWidth('C', A, B, C);
    EXPECT_EQ(A, 0) << "clamped values are written back";
    font->GetABCWidth('D', A, B, C);
    EXPECT_EQ(B, 8);
    EXPECT_EQ(font->GetAdvance('D'), 4);
    EXPECT_EQ(font->GetGlyphRect(10).right, 0) << "codes below 32 have no glyph";

    EXPECT_EQ(font->CharLength2('A'), 8 + 2);
    EXPECT_EQ(font->CharLength2('B'), 6 - 1);
    font->m_nLetterSpacing = 3;
    EXPECT_EQ(font->Length2("ABA"), (10 + 3) + (5 + 3) + (10 + 3)) << "spacing follows every letter";
    EXPECT_EQ(font->Length2("   "), 18);
    EXPECT_EQ(font->Length2("A B"), 13 + 6 + 8);
    EXPECT_EQ(font->Length2(""), 0);
    EXPECT_EQ(font->Length2(nullptr), 0);

    font->m_nHeightAdjustment = 5;
    EXPECT_EQ(font->GetCharHeight(), 10 + 5 - 4) << "V = 8 takes 4 off the line height";

    font->SetSpaceWidthAsCharABC('A');
    EXPECT_EQ(font->GetSpaceWidth(), 10);
    font->SetSpaceWidthAsCharBC('A');
    EXPECT_EQ(font->GetSpaceWidth(), 8);
    font->SetSpaceWidthAsInt(4);
    EXPECT_EQ(font->GetSpaceWidth(), 4);
    font->SetABCWidth('A', 8, -7, 0);
    EXPECT_EQ(font->GetAdvance('A'), -1) << "signed division by 4";
    EXPECT_EQ(font->GetGlyphRect('A').right, 10 + 0);
}

TEST_F(BitmapFontTest, GlyphListsLayOutOneOrMoreRows) {
    TFdb f;
    for (int c = 32; c < 256; ++c) f.Set(c, 4, 16, 4);
    f.withCount = true;
    f.count = 10;
    f.codes = {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'};
    auto ten = LoadWithImage(160, 140, f.Encode());
    EXPECT_EQ(ten->GetCharWidth(), 16);
    EXPECT_EQ(ten->GetCellHeight(), 140);
    EXPECT_EQ(ten->GetGlyphRect('9').left, 144);
    EXPECT_EQ(ten->GetGlyphRect('9').bottom, 140);
    EXPECT_EQ(ten->GetGlyphRect('A').right, 0) << "a code outside the list has no rectangle";
    EXPECT_EQ(ten->GetAdvance('A'), 0);
    EXPECT_EQ(ten->CharLength2('A'), 1) << "it still measures A / 4";
    EXPECT_EQ(ten->Length2("A"), 1 + 2);

    f.count = 17;
    f.codes = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm', 'n', 'o', 'p', 'q'};
    auto seventeen = LoadWithImage(160, 140, f.Encode());
    EXPECT_EQ(seventeen->GetCharWidth(), 10);
    EXPECT_EQ(seventeen->GetCellHeight(), 70);
    EXPECT_EQ(seventeen->GetGlyphRect('p').left, 150);
    EXPECT_EQ(seventeen->GetGlyphRect('q').left, 0);
    EXPECT_EQ(seventeen->GetGlyphRect('q').top, 70);
}

TEST_F(BitmapFontTest, ReloadingForgetsTheInsetAndGlyphListOfTheFontBefore) {
    TFdb listed;
    listed.inset = 8;
    listed.withCount = true;
    listed.count = 2;
    listed.codes = {'x', 'y'};
    auto font = LoadWithImage(160, 140, listed.Encode());
    ASSERT_EQ(font->GetGlyphCount(), 2);
    TFdb plain;
    plain.withInset = false;
    game.SetPak({{"Images\\font_rgba.png", EncodePng(MakeImage(160, 140, {0, 0, 0, 0}))},
                 {"Images\\font.fdb", plain.Encode()}});
    ASSERT_EQ(font->LoadFont("Images\\font.jpg"), 1);
    EXPECT_EQ(font->GetGlyphCount(), 0);
    EXPECT_EQ(font->GetVerticalInset(), 0);
    EXPECT_EQ(font->GetCellHeight(), 10);
}

TEST_F(BitmapFontTest, LoadFailures) {
    TFdb f;
    auto font = std::make_unique<CBitmapFontText>(&game);
    game.SetPak({{"Images\\font.fdb", f.Encode()}});
    EXPECT_EQ(font->LoadFont("Images\\font.jpg"), 0) << "no glyph image";
    EXPECT_EQ(font->GetGlyphImage(), nullptr);

    game.SetPak({{"Images\\font_rgba.png", EncodePng(MakeImage(16, 14, {0, 0, 0, 0}))}});
    EXPECT_EQ(font->LoadFont("Images\\font.jpg"), 0) << "no metrics";
    EXPECT_NE(font->GetGlyphImage(), nullptr) << "the glyph image stays loaded";

    // A reload whose glyph list is malformed keeps nothing of the font loaded before.
    TFdb good;
    good.Set('A', 4, 24, 4);
    good.Set('_', 0, 16, 0);
    game.SetPak(
        {{"Images\\font_rgba.png", EncodePng(MakeImage(160, 140, {0, 0, 0, 0}))}, {"Images\\font.fdb", good.Encode()}});
    ASSERT_EQ(font->LoadFont("Images\\font.jpg"), 1);
    ASSERT_EQ(font->GetAdvance('A'), 7);
    ASSERT_EQ(font->GetGlyphRect('A').right, 10 + 7);
    TFdb bad;
    bad.Set('A', 4, 24, 4);
    bad.withCount = true;
    bad.count = 300;
    game.SetPak(
        {{"Images\\font_rgba.png", EncodePng(MakeImage(16, 14, {0, 0, 0, 0}))}, {"Images\\font.fdb", bad.Encode()}});
    EXPECT_EQ(font->LoadFont("Images\\font.jpg"), 0) << "glyph count out of range";
    EXPECT_EQ(font->GetAdvance('A'), 0) << "no advance of the font before";
    EXPECT_EQ(font->GetGlyphRect('A').right, 0) << "no cell of the font before over the 16 x 14 image";
    EXPECT_EQ(font->GetSpaceWidth(), 0);

    // The metrics next to the full path win over those next to the base name.
    TFdb first, second;
    first.inset = 4;
    second.inset = 12;
    game.SetPak({{"Images\\font_rgba.png", EncodePng(MakeImage(16, 14, {0, 0, 0, 0}))},
                 {"Images\\font.jpg.fdb", first.Encode()},
                 {"Images\\font.fdb", second.Encode()}});
    ASSERT_EQ(font->LoadFont("Images\\font.jpg"), 1);
    EXPECT_EQ(font->GetVerticalInset(), 4);
}

TEST_F(BitmapFontTest, EveryBakedFormLoadsWithTheBakedMetrics) {
    const fontbaker::TBakedFont baked = Bake(14);
    struct TCase {
        fontbaker::EForm form;
        bool pixels;
        int alphaTolerance;
        const char* why;
    } const cases[] = {
        {fontbaker::EForm::RgbaPng, true, 0, "_rgba.png"},
        {fontbaker::EForm::RgbaJpeg, true, 40, "_rgba.jpg with _rgba_a.jpg"},
        {fontbaker::EForm::AlphaJpeg, false, 40, "alpha JPEG only"},
        {fontbaker::EForm::AlphaJpegWithColour, true, 40, "alpha JPEG with _eff.jpg"},
    };
    for (const TCase& c : cases) {
        game.SetPak(FontMembers(baked, "Images\\sans", c.form));
        CBitmapFontText font(&game);
        ASSERT_EQ(font.LoadFont("Images\\sans.jpg"), 1) << c.why;
        EXPECT_EQ(font.GetImageWidth(), baked.width) << c.why;
        EXPECT_EQ(font.GetImageHeight(), baked.height) << c.why;
        EXPECT_EQ(font.GetCharWidth(), baked.cellWidth) << c.why;
        EXPECT_EQ(font.GetCellHeight(), baked.cellHeight) << c.why;
        for (int code : {int{'A'}, int{'g'}, int{'W'}, int{'_'}, 0xE9}) {
            const fontbaker::TAbc& abc = baked.abc[code];
            EXPECT_EQ(font.CharLength2(static_cast<char>(code)),
                      static_cast<int>((abc.b + static_cast<std::uint32_t>(abc.c)) >> 2) + (abc.a >> 2))
                << c.why << " code " << code;
        }
        IDibBitmap* image = font.GetGlyphImage();
        EXPECT_EQ(image->GetBits() != nullptr, c.pixels) << c.why;
        ASSERT_NE(image->GetAlphaBits(), nullptr) << c.why;
        int worst = 0;
        for (std::size_t i = 0; i < static_cast<std::size_t>(baked.width) * baked.height; ++i)
            worst = std::max(worst, std::abs(image->GetAlphaBits()[i] - baked.rgba[i * 4 + 3]));
        EXPECT_LE(worst, c.alphaTolerance) << c.why;
    }
}

namespace {

// Draws into a fresh 40 x 20 software bitmap of grey (100, 100, 100) and returns it.
struct TCanvas {
    explicit TCanvas(IRenderHost* game) : bitmap(game) {
        EXPECT_EQ(bitmap.Create(40, 20), 1);
        bitmap.ClearBitmap(100, 100, 100);
    }
    std::uint16_t At(int x, int y) {
        const unsigned char* p = bitmap.GetBits() + (static_cast<std::size_t>(y) * 40 + x) * 2;
        return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
    }
    CWinDibBitmap bitmap;
};

// The alpha-only blend into RGB565 with full alpha, worked per channel as the font draws it.
std::uint16_t BlendFullAlpha(std::uint16_t d, int r, int g, int b, int a) {
    if (a <= 15) return d;
    if (a >= 241) return PackRGB565(r, g, b);
    const int k = a >> 4;
    const int dr = d >> 11, dg = (d >> 5) & 63, db = d & 31;
    const int cr = r >> 3, cg = g >> 2, cb = b >> 3;
    return static_cast<std::uint16_t>(((dr + (cr - dr) * k / 16) << 11) | ((dg + (cg - dg) * k / 16) << 5) |
                                      (db + (cb - db) * k / 16));
}

}  // namespace

class BitmapFontSoftwareTest : public BitmapFontTest {
protected:
    void SetUp() override {
        // 'A' solid, 'B' half covered, the rest empty; both with a lead of one pixel, 6 wide.
        const fontbaker::TBakedFont cells = FlatCells([](int code) {
            return code == 'A' ? 255 : code == 'B' ? 128 : 0;
        });
        TFdb f;
        f.Set('A', 4, 24, 4);
        f.Set('B', 4, 24, 4);
        f.Set('_', 0, 8, 4);
        auto members = fontbaker::EncodeFiles(cells, "Images\\flat", fontbaker::EForm::AlphaJpeg, 100);
        std::vector<std::pair<std::string, Bytes>> pak;
        pak.emplace_back(members[0].first, members[0].second);
        pak.emplace_back("Images\\flat.fdb", f.Encode());
        game.SetPak(pak);
        ASSERT_EQ(font.LoadFont("Images\\flat.jpg"), 1);
        ASSERT_EQ(font.GetGlyphImage()->GetBits(), nullptr) << "an alpha-only font";
        alpha = font.GetGlyphImage()->GetAlphaBits();
        ASSERT_NE(alpha, nullptr);
    }
    int AlphaOf(int code) const {
        const int i = code - 32;
        return alpha[((i / 16) * 8 + 3) * 128 + (i % 16) * 8 + 3];
    }
    CBitmapFontText font{&game};
    const unsigned char* alpha = nullptr;
};

TEST_F(BitmapFontSoftwareTest, AlphaOnlyGlyphsBlendIntoRgb565) {
    TCanvas canvas(&game);
    const std::uint16_t grey = canvas.At(0, 0);
    font.TextOut(&canvas.bitmap, 2, 3, "AB", 255, 0, 0, kTextEffectNone, 255, nullptr);
    // 'A' at 2 + lead 1, 8 wide ((A + B) / 4 + 1) and 8 high; 'B' after advance 7 + lead 1 + spacing 2.
    EXPECT_EQ(canvas.At(2, 3), grey);
    EXPECT_EQ(canvas.At(3, 3), PackRGB565(255, 0, 0));
    EXPECT_EQ(canvas.At(9, 10), PackRGB565(255, 0, 0));
    EXPECT_EQ(canvas.At(3, 11), grey);
    const int bx = 2 + 8 + 2 + 1;
    EXPECT_EQ(canvas.At(bx - 1, 5), grey);
    EXPECT_EQ(canvas.At(bx, 5), BlendFullAlpha(grey, 255, 0, 0, AlphaOf('B')));
    EXPECT_EQ(canvas.At(bx + 6, 10), BlendFullAlpha(grey, 255, 0, 0, AlphaOf('B')));
    EXPECT_EQ(canvas.At(bx + 7, 10), BlendFullAlpha(grey, 255, 0, 0, AlphaOf('B')));
    EXPECT_EQ(canvas.At(bx + 8, 10), grey);
}

TEST_F(BitmapFontSoftwareTest, EffectsAlphaAndClipping) {
    struct TCase {
        int effect;
        unsigned char alpha;
        int x, y;
        std::uint16_t expected;  // 0xFFFF: the grey background
        const char* why;
    } const cases[] = {
        {kTextEffectNone, 0, 3, 3, 0xFFFF, "alpha 0 draws nothing"},
        {7, 255, 3, 3, 0xFFFF, "an unknown effect draws nothing at all"},
        {kTextEffectShadow, 255, 10, 11, PackRGB565(0, 0, 0), "shadow one down and right"},
        {kTextEffectShadow, 255, 2, 2, 0xFFFF, "no shadow up and left"},
        {kTextEffectBorder, 255, 2, 2, PackRGB565(0, 0, 0), "border on the diagonals"},
        {kTextEffectGlow, 200, 1, 1, 0xFFFF, "glow copies of alpha 200 - 224 are invisible"},
        {kTextEffectWhiteBorder, 255, 2, 2, 0xFFFF - 1, "white ring at half alpha"},
    };
    for (const TCase& c : cases) {
        TCanvas canvas(&game);
        const std::uint16_t grey = canvas.At(0, 0);
        font.TextOut(&canvas.bitmap, 2, 3, "A", 255, 0, 0, c.effect, c.alpha, nullptr);
        if (c.expected == 0xFFFF) {
            EXPECT_EQ(canvas.At(c.x, c.y), grey) << c.why;
        } else if (c.expected == 0xFFFF - 1) {
            // Alpha 127 over a full glyph texel: a' = 127, below 241, so each channel moves by
            // (white - grey) x 127 >> 8. Only the (-1, -1) copy covers (2, 2).
            const int k = 127;
            const int dr = grey >> 11, dg = (grey >> 5) & 63, db = grey & 31;
            const std::uint16_t want = static_cast<std::uint16_t>(
                ((dr + ((31 - dr) * k >> 8)) << 11) | ((dg + ((63 - dg) * k >> 8)) << 5) | (db + ((31 - db) * k >> 8)));
            EXPECT_EQ(canvas.At(c.x, c.y), want) << c.why;
        } else {
            EXPECT_EQ(canvas.At(c.x, c.y), c.expected) << c.why;
        }
        if (c.alpha == 255 && c.effect >= 0 && c.effect <= 6) {
            EXPECT_EQ(canvas.At(5, 5), PackRGB565(255, 0, 0)) << c.why << ": the coloured pass comes last";
        }
    }
}

TEST_F(BitmapFontSoftwareTest, ClippedGlyphsStillMoveThePen) {
    TCanvas whole(&game), clipped(&game);
    const std::uint16_t grey = whole.At(0, 0);
    font.TextOut(&whole.bitmap, 2, 3, "AA", 255, 0, 0, kTextEffectNone, 255, nullptr);
    TCoordRect2D clip{12, 0, 28, 20};  // excludes the first 'A' (x 3..9)
    font.TextOut(&clipped.bitmap, 2, 3, "AA", 255, 0, 0, kTextEffectNone, 255, &clip);
    for (int x = 0; x < 40; ++x) {
        const std::uint16_t want = x < 12 ? grey : whole.At(x, 6);
        EXPECT_EQ(clipped.At(x, 6), want) << "x " << x;
    }
    EXPECT_EQ(clipped.At(13, 6), PackRGB565(255, 0, 0)) << "the second glyph is where it was";
    // A glyph partly inside the clip is cut at the clip's edge.
    TCanvas part(&game);
    TCoordRect2D half{0, 0, 6, 20};
    font.TextOut(&part.bitmap, 2, 3, "A", 255, 0, 0, kTextEffectNone, 255, &half);
    EXPECT_EQ(part.At(5, 6), PackRGB565(255, 0, 0));
    EXPECT_EQ(part.At(6, 6), grey);
}

TEST_F(BitmapFontSoftwareTest, ClipRectangleReachingPastTheBitmapDrawsAsNoClipDoes) {
    // Glyphs hanging over each edge, once unclipped and once with a clip far larger than the
    // canvas: the canvas must come out the same. A glyph left of x 0 must not wrap into the row
    // above, nor one above y 0 land before the pixel buffer.
    TCoordRect2D wide{-50, -50, 200, 200};
    struct TCase {
        int x, y;
        int effect;
        const char* why;
    } const cases[] = {
        {-4, 5, kTextEffectNone, "over the left edge"},
        {-4, -3, kTextEffectBorder2, "over the top-left corner, with an outline"},
        {34, 16, kTextEffectShadow, "over the bottom-right corner"},
    };
    for (const TCase& c : cases) {
        TCanvas plain(&game), clipped(&game);
        font.TextOut(&plain.bitmap, c.x, c.y, "AB", 255, 0, 0, c.effect, 255, nullptr);
        font.TextOut(&clipped.bitmap, c.x, c.y, "AB", 255, 0, 0, c.effect, 255, &wide);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 40; ++x)
                ASSERT_EQ(clipped.At(x, y), plain.At(x, y)) << c.why << " at " << x << "," << y;
    }
    // The first case puts red on the canvas at all, so the comparison is not of two blanks.
    TCanvas shown(&game);
    font.TextOut(&shown.bitmap, -4, 5, "A", 255, 0, 0, kTextEffectNone, 255, &wide);
    EXPECT_EQ(shown.At(0, 6), PackRGB565(255, 0, 0));
    EXPECT_EQ(shown.At(39, 4), PackRGB565(100, 100, 100)) << "nothing wrapped into the row above";
}

TEST_F(BitmapFontSoftwareTest, TurnedTargetsShowTheGlyphsWhereAnUnturnedOneDoes) {
    // Seen (x, y) of a 40 x 20 target turned by mode: mode 1 stores it at column y, row
    // 39 - x of a 20 x 40 plane; mode 2 at column 19 - y, row x.
    auto seen = [](CWinDibBitmap& b, int mode, int x, int y) {
        const int index = mode == kOrientationTurned1 ? (39 - x) * 20 + y : x * 20 + (19 - y);
        const unsigned char* p = b.GetBits() + static_cast<std::size_t>(index) * 2;
        return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
    };
    TCanvas flat(&game);
    font.TextOut(&flat.bitmap, 2, 3, "AB", 255, 0, 0, kTextEffectShadow, 200, nullptr);
    for (int mode : {kOrientationTurned1, kOrientationTurned2}) {
        CWinDibBitmap turned(&game);
        turned.SetOrientaionMode(mode);
        ASSERT_EQ(turned.Create(20, 40), 1);
        ASSERT_EQ(turned.m_Width, 40);
        ASSERT_EQ(turned.m_Height, 20);
        turned.ClearBitmap(100, 100, 100);
        font.TextOut(&turned, 2, 3, "AB", 255, 0, 0, kTextEffectShadow, 200, nullptr);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 40; ++x)
                ASSERT_EQ(seen(turned, mode, x, y), flat.At(x, y)) << "mode " << mode << " at " << x << "," << y;
    }

    // A font with a colour plane is tinted texel by texel on turned targets: each channel of the
    // white glyph times the text colour, shifted by the channel's width, then blended by
    // (tinted - dst) x a >> 8.
    const fontbaker::TBakedFont cells = FlatCells([](int code) { return code == 'A' ? 255 : 0; });
    TFdb f;
    f.Set('A', 4, 24, 4);
    std::vector<std::pair<std::string, Bytes>> pak;
    for (auto& [name, bytes] : fontbaker::EncodeFiles(cells, "Images\\colour", fontbaker::EForm::RgbaPng))
        if (name.find(".fdb") == std::string::npos) pak.emplace_back(name, bytes);
    pak.emplace_back("Images\\colour.fdb", f.Encode());
    game.SetPak(pak);
    CBitmapFontText colour(&game);
    ASSERT_EQ(colour.LoadFont("Images\\colour.jpg"), 1);
    ASSERT_NE(colour.GetGlyphImage()->GetBits(), nullptr);
    CWinDibBitmap turned(&game);
    turned.SetOrientaionMode(kOrientationTurned1);
    ASSERT_EQ(turned.Create(20, 40), 1);
    turned.ClearBitmap(100, 100, 100);
    colour.TextOut(&turned, 2, 3, "A", 255, 128, 0, kTextEffectNone, 255, nullptr);
    const int dr = 100 >> 3, dg = 100 >> 2, db = 100 >> 3;
    const int tr = (31 * (255 >> 3)) >> 5, tg = (63 * (128 >> 2)) >> 6, tb = 0;
    const std::uint16_t want =
        static_cast<std::uint16_t>(((dr + (((tr - dr) * 255) >> 8)) << 11) | ((dg + (((tg - dg) * 255) >> 8)) << 5) |
                                   (db + (((tb - db) * 255) >> 8)));
    EXPECT_EQ(seen(turned, kOrientationTurned1, 5, 6), want);
    EXPECT_EQ(seen(turned, kOrientationTurned1, 2, 6), PackRGB565(100, 100, 100)) << "left of the glyph";
}

TEST_F(BitmapFontSoftwareTest, OtherPixelFormatsUseTheirChannelWidths) {
    // A 24-bit target stores blue, green, red bytes; the blend is c + ((255 - a') (d - c) >> 8).
    CWinDibBitmap rgb(&game);
    rgb.SetBitsPerPixel(24);
    ASSERT_EQ(rgb.GetBytesPerPixel(), 3);
    ASSERT_EQ(rgb.Create(20, 12), 1);
    std::memset(rgb.GetBits(), 100, 20 * 12 * 3);
    font.TextOut(&rgb, 2, 2, "AB", 200, 50, 0, kTextEffectNone, 255, nullptr);
    const unsigned char* solid = rgb.GetBits() + (4 * 20 + 3) * 3;
    EXPECT_EQ(solid[0], 0 + ((0 * (100 - 0)) >> 8));
    EXPECT_EQ(solid[2], 200);
    const int a = AlphaOf('B');
    const unsigned char* half = rgb.GetBits() + (4 * 20 + 13) * 3;
    EXPECT_EQ(half[2], 200 + (((255 - a) * (100 - 200)) >> 8));
    EXPECT_EQ(half[1], 50 + (((255 - a) * (100 - 50)) >> 8));

    // A 32-bit depth over a buffer of three bytes a pixel would be written past its end.
    CWinDibBitmap odd(&game);
    odd.SetBitsPerPixel(32);
    ASSERT_EQ(odd.Create(20, 12), 1);
    const std::size_t bytes = 20 * 12 * static_cast<std::size_t>(odd.GetBytesPerPixel());
    std::vector<unsigned char> before(odd.GetBits(), odd.GetBits() + bytes);
    font.TextOut(&odd, 2, 2, "AB", 200, 50, 0, kTextEffectNone, 255, nullptr);
    EXPECT_EQ(std::memcmp(before.data(), odd.GetBits(), bytes), 0);
}

TEST_F(BitmapFontSoftwareTest, TwelveAndFifteenBitTargetsBlendInTheirOwnChannels) {
    // Each channel becomes c + ((255 - a') (d - c) >> 8), with c the colour cut to the channel's
    // width; 'A' is solid (a' = 255, the colour itself), 'B' half covered.
    struct TCase {
        int bits;
        int shift[3];  // red, green, blue
        int width;     // bits per channel
        std::uint16_t background;
        const char* why;
    } const cases[] = {
        {12, {8, 4, 0}, 4, static_cast<std::uint16_t>((9 << 8) | (6 << 4) | 3), "4:4:4"},
        {15, {10, 5, 0}, 5, static_cast<std::uint16_t>(0x8000 | (20 << 10) | (10 << 5) | 5), "5:5:5, top bit kept"},
    };
    const int colour[3] = {200, 50, 0};
    for (const TCase& c : cases) {
        CWinDibBitmap target(&game);
        target.SetBitsPerPixel(c.bits);
        ASSERT_EQ(target.Create(20, 12), 1);
        auto* words = reinterpret_cast<std::uint16_t*>(target.GetBits());
        std::fill(words, words + 20 * 12, c.background);
        font.TextOut(&target, 2, 2, "AB", 200, 50, 0, kTextEffectNone, 255, nullptr);
        auto expected = [&](int a) {
            const int mask = (1 << c.width) - 1;
            int word = c.background & 0x8000;
            for (int i = 0; i < 3; ++i) {
                const int cv = colour[i] >> (8 - c.width);
                const int d = (c.background >> c.shift[i]) & mask;
                word |= (cv + (((255 - a) * (d - cv)) >> 8)) << c.shift[i];
            }
            return static_cast<std::uint16_t>(word);
        };
        EXPECT_EQ(words[4 * 20 + 3], expected(255)) << c.why << ": solid";
        EXPECT_EQ(words[4 * 20 + 13], expected(AlphaOf('B'))) << c.why << ": half covered";
        EXPECT_EQ(words[4 * 20 + 1], c.background) << c.why << ": left of the text";
    }
}

TEST_F(BitmapFontSoftwareTest, DamagedMetricsNeverReachPastTheGlyphImageOrOverflowThePen) {
    TFdb damaged;
    for (int c = 32; c < 256; ++c) damaged.Set(c, INT32_MIN, 0xFFFFFFFFu, INT32_MAX);
    damaged.Set('A', 900, 1000, INT32_MAX);  // a glyph far wider than its cell, and a huge advance
    ASSERT_EQ(font.LoadMetricsFromBytes(damaged.Encode(), "damaged.fdb"), 1);
    EXPECT_EQ(font.Length2("AAAAAAAA"), INT32_MAX) << "the measure saturates";
    TCanvas canvas(&game);
    font.TextOut(&canvas.bitmap, 0, 0, "AAAA BBBB", 255, 255, 255, kTextEffectBorder2, 255, nullptr);
    font.TextOut(&canvas.bitmap, -30, 0, "BA", 255, 255, 255, kTextEffectNone, 255, nullptr);
    // 'A' lands 225 pixels right of the pen and every other glyph 2^29 pixels left of it: off
    // the canvas, so nothing shows. The sanitizer builds check that no byte outside the planes
    // was touched on the way.
    const std::uint16_t grey = PackRGB565(100, 100, 100);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_EQ(canvas.At(x, y), grey) << x << "," << y;
}

TEST(BitmapFontRotate, TurnsAboutTheCentreAndRoundsHalvesAwayFromZero) {
    struct TCase {
        FIXED_FLOAT_16 cx, cy, x, y, angle;
        FIXED_FLOAT_16 outX, outY;
        const char* why;
    } const cases[] = {
        {0, 0, 65536, 0, 0, 65536, 0, "no turn"},
        {0, 0, 65536, 0, 90 << 16, 0, 65536, "a quarter turn takes +x to +y (y down on screen)"},
        {10 << 16, 20 << 16, 65536, 0, 180 << 16, 9 << 16, 20 << 16, "a half turn about the centre"},
        {0, 0, 65536, 0, 45 << 16, 46341, 46341, "65536 x 0.7071068 = 46340.95"},
        {0, 0, -65536, 0, 45 << 16, -46341, -46341, "negative halves round away from zero"},
        {0, 0, 3, 0, 180 << 16, -3, 0, "small values"},
    };
    for (const TCase& c : cases) {
        FIXED_FLOAT_16 x = 0, y = 0;
        RotatePointInternal_CBitmapFontText(c.cx, c.cy, c.x, c.y, c.angle, x, y);
        EXPECT_EQ(x, c.outX) << c.why;
        EXPECT_EQ(y, c.outY) << c.why;
    }
}

TEST_F(BitmapFontSoftwareTest, DrawCharPicksTheRoutineByDepthAndAlwaysReturnsTheAdvance) {
    TCanvas canvas(&game);
    EXPECT_EQ(font.DrawChar(&canvas.bitmap, 2, 2, 'A', 255, 0, 0, 255, nullptr), font.CharLength2('A'));
    EXPECT_EQ(canvas.At(3, 3), PackRGB565(255, 0, 0));
    TCoordRect2D nowhere{100, 100, 5, 5};
    EXPECT_EQ(font.DrawChar(&canvas.bitmap, 2, 2, 'B', 0, 0, 255, 255, &nowhere), font.CharLength2('B'))
        << "a glyph clipped away still moves the pen";
    EXPECT_EQ(font.DrawChar(&canvas.bitmap, 2, 2, 'B', 0, 0, 255, 0, nullptr), font.CharLength2('B'))
        << "alpha 0 draws nothing but moves the pen";
    EXPECT_EQ(canvas.At(14, 5), PackRGB565(100, 100, 100));
    CWinDibBitmap eight(&game);
    eight.SetBitsPerPixel(8);
    ASSERT_EQ(eight.Create(8, 8), 1);
    EXPECT_EQ(font.DrawChar(&eight, 0, 0, 'A', 255, 0, 0, 255, nullptr), 0) << "no routine for 8 bits";
}
