// Text drawn through OpenGL ES on a headless surfaceless context (llvmpipe), compared pixel by
// pixel with the baked glyph image; TextOutF, the scissor clip, and the picture of baked text
// and a sprite strip written for people to look at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "FontFixtures.h"
#include "render/GlesGlobals.h"
#include "render/WinDibBitmap.h"
#include "sprites/SpriteSet.h"
#include "text/BitmapFont.h"

using namespace mediatest;
using namespace fonttest;

namespace {

constexpr int kW = 240;
constexpr int kH = 120;

class BitmapFontGlTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!gl.IsValid()) GTEST_SKIP() << "no headless EGL / GLES1 here";
        screen = game.MakeGlScreen(kW, kH);
        baked = Bake(16);
        game.SetPak(FontMembers(baked, "Images\\sans", fontbaker::EForm::RgbaPng));
        font = std::make_unique<CBitmapFontText>(&game);
        ASSERT_EQ(font->LoadFont("Images\\sans.jpg"), 1);
    }
    void Clear(std::uint8_t r, std::uint8_t g, std::uint8_t b) { screen->FillRectangle(0, 0, kW, kH, r, g, b); }
    int BakedAlpha(int x, int y) const { return baked.rgba[(static_cast<std::size_t>(y) * baked.width + x) * 4 + 3]; }
    // A texel of glyph c with full alpha whose lower-right neighbour is empty, in glyph coordinates.
    bool FindShadowEdge(char c, int& gx, int& gy) const {
        const TGlyphRect& r = font->GetGlyphRect(c);
        for (int y = r.top; y + 1 < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (BakedAlpha(x, y) == 255 && BakedAlpha(x + 1, y + 1) == 0) {
                    gx = x - r.left;
                    gy = y - r.top;
                    return true;
                }
        return false;
    }

    CHeadlessGl gl{kW, kH};
    CMediaTestGame game;
    CWinDibBitmapOGLES* screen = nullptr;
    fontbaker::TBakedFont baked;
    std::unique_ptr<CBitmapFontText> font;
};

}  // namespace

TEST_F(BitmapFontGlTest, GlyphsOnTheScreenAreTheGlyphImageTintedAndBlended) {
    Clear(0, 0, 0);
    font->TextOut(screen, 10, 20, "H", 0, 255, 0, kTextEffectNone, 255, nullptr);
    const TImage frame = gl.Read();
    const TGlyphRect& r = font->GetGlyphRect('H');
    int A = 0, B = 0, C = 0;
    font->GetABCWidth('H', A, B, C);
    const int x0 = 10 + (A >> 2);
    int inked = 0;
    for (int y = 0; y < r.bottom - r.top; ++y) {
        for (int x = 0; x <= r.right - r.left; ++x) {
            const int a = BakedAlpha(r.left + x, r.top + y);
            inked += a == 255;
            // Glyph images with alpha go up as RGBA 4444 textures: 4 bits of alpha, a4 x 17.
            ASSERT_TRUE(Near(frame.At(x0 + x, 20 + y), 0, (a >> 4) * 17, 0, 3))
                << "texel " << x << "," << y << " alpha " << a;
        }
    }
    EXPECT_GT(inked, 10) << "the glyph has solid strokes";
    EXPECT_TRUE(Near(frame.At(x0 - 1, 25), 0, 0, 0, 0));
    EXPECT_TRUE(Near(frame.At(5, 5), 0, 0, 0, 0));
}

TEST_F(BitmapFontGlTest, EffectsAndAlphaOnTheScreen) {
    int gx = 0, gy = 0;
    ASSERT_TRUE(FindShadowEdge('H', gx, gy));
    int A = 0, B = 0, C = 0;
    font->GetABCWidth('H', A, B, C);
    const int sx = 10 + (A >> 2) + gx, sy = 20 + gy;  // a solid texel on the screen

    Clear(0, 0, 200);
    font->TextOut(screen, 10, 20, "H", 255, 255, 255, kTextEffectShadow, 255, nullptr);
    TImage frame = gl.Read();
    EXPECT_TRUE(Near(frame.At(sx, sy), 255, 255, 255, 8)) << "the text itself";
    EXPECT_TRUE(Near(frame.At(sx + 1, sy + 1), 0, 0, 0, 3)) << "the shadow below and right";

    Clear(0, 0, 200);
    font->TextOut(screen, 10, 20, "H", 255, 255, 255, kTextEffectNone, 128, nullptr);
    frame = gl.Read();
    EXPECT_TRUE(Near(frame.At(sx, sy), 128, 128, 200 + (255 - 200) * 128 / 255, 4)) << "half alpha";
    EXPECT_TRUE(Near(frame.At(sx + 1, sy + 1), 0, 0, 200, 0)) << "no shadow without the effect";

    Clear(0, 0, 200);
    font->TextOut(screen, 10, 20, "H", 255, 255, 255, 7, 255, nullptr);
    frame = gl.Read();
    EXPECT_TRUE(Near(frame.At(sx, sy), 0, 0, 200, 0)) << "effect 7 draws nothing";
}

TEST_F(BitmapFontGlTest, TextOutFUnscaledMatchesTextOutAndScalesAndClips) {
    const char* text = "Ag Wy";
    Clear(30, 30, 30);
    font->TextOut(screen, 12, 30, text, 250, 220, 40, kTextEffectShadow, 255, nullptr);
    const TImage plain = gl.Read();
    Clear(30, 30, 30);
    font->TextOutF(screen, text, 12 << 16, 30 << 16, 65536, 65536, 0, 250, 220, 40, kTextEffectShadow, 255, nullptr);
    const TImage scaled1 = gl.Read();
    int differing = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            differing += !Near(plain.At(x, y), scaled1.At(x, y)[0], scaled1.At(x, y)[1], scaled1.At(x, y)[2], 2);
    EXPECT_EQ(differing, 0) << "unscaled and unturned, both paths put every texel on the same pixel";

    Clear(30, 30, 30);
    font->TextOutF(screen, text, 12 << 16, 30 << 16, 65536, 65536, 0, 250, 220, 40, 7, 255, nullptr);
    const TImage unknown = gl.Read();
    Clear(30, 30, 30);
    font->TextOutF(screen, text, 12 << 16, 30 << 16, 65536, 65536, 0, 250, 220, 40, kTextEffectNone, 255, nullptr);
    const TImage none = gl.Read();
    EXPECT_EQ(unknown.rgba, none.rgba) << "an unknown effect draws the plain text";

    // Ink extent of the text at scale 1 and 2.
    auto inkSpan = [](const TImage& img) {
        int lo = kW, hi = -1;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                if (!Near(img.At(x, y), 30, 30, 30, 10)) lo = std::min(lo, x), hi = std::max(hi, x);
        return hi - lo + 1;
    };
    Clear(30, 30, 30);
    font->TextOutF(screen, "HH", 12 << 16, 10 << 16, 2 * 65536, 2 * 65536, 0, 255, 255, 255, kTextEffectNone, 255,
                   nullptr);
    const int wide = inkSpan(gl.Read());
    Clear(30, 30, 30);
    font->TextOutF(screen, "HH", 12 << 16, 10 << 16, 65536, 65536, 0, 255, 255, 255, kTextEffectNone, 255, nullptr);
    const int single = inkSpan(gl.Read());
    EXPECT_NEAR(wide, 2 * single, 3);

    // The clip rectangle goes through the scissor test and is switched off afterwards.
    Clear(30, 30, 30);
    TCoordRect2D clip{0, 0, 40, kH};
    font->TextOutF(screen, text, 12 << 16, 30 << 16, 65536, 65536, 0, 250, 220, 40, kTextEffectShadow, 255, &clip);
    const TImage clipped = gl.Read();
    EXPECT_EQ(glIsEnabled(GL_SCISSOR_TEST), GL_FALSE);
    int inside = 0;
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            if (x < 40) {
                inside += !Near(plain.At(x, y), 30, 30, 30, 0);
                ASSERT_TRUE(Near(clipped.At(x, y), plain.At(x, y)[0], plain.At(x, y)[1], plain.At(x, y)[2], 2));
            } else {
                ASSERT_TRUE(Near(clipped.At(x, y), 30, 30, 30, 0)) << "outside the clip at " << x << "," << y;
            }
        }
    }
    EXPECT_GT(inside, 0) << "some of the text lies inside the clip";
}

TEST_F(BitmapFontGlTest, ScissorBoxIsTheClipFlippedToABottomLeftOriginAndScaledToTheDevice) {
    // The box is read back after drawing (the test is switched off, the box stays set). The
    // logical screen is scaled to the device in 2x mode or with the screen-scaling switch.
    struct TCase {
        bool doubleResolution;
        bool scaling;
        int deviceW, deviceH;
        TCoordRect2D clip;
        GLint box[4];  // left, bottom, width, height
        const char* why;
    } const cases[] = {
        {false, false, 0, 0, {10, 20, 30, 15}, {10, kH - 20 - 15, 30, 15}, "1x: y counted from the bottom"},
        {true,
         false,
         2 * kW,
         2 * kH,
         {10, 20, 30, 15},
         {20, 2 * (kH - 20 - 15), 60, 30},
         "2x: a device twice the size"},
        {false, true, kW / 2, kH, {10, 20, 30, 15}, {5, kH - 20 - 15, 15, 15}, "scaling: half the width only"},
    };
    for (const TCase& c : cases) {
        game.m_RenderSwitches.m_bDoubleResolution = c.doubleResolution;
        game.m_RenderSwitches.m_bScreenScaling = c.scaling;
        game.m_Screen.m_nDeviceWidth = c.deviceW;
        game.m_Screen.m_nDeviceHeight = c.deviceH;
        TCoordRect2D clip = c.clip;
        font->TextOutF(screen, "H", 0, 0, 65536, 65536, 0, 255, 255, 255, kTextEffectNone, 255, &clip);
        GLint box[4] = {-1, -1, -1, -1};
        glGetIntegerv(GL_SCISSOR_BOX, box);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(box[i], c.box[i]) << c.why << ", value " << i;
    }
    game.m_RenderSwitches.m_bDoubleResolution = true;
    game.m_RenderSwitches.m_bScreenScaling = false;
    game.m_Screen.m_nDeviceWidth = kW;
    game.m_Screen.m_nDeviceHeight = kH;

    // On the screen a band of four rows lets through only the text inside it.
    Clear(30, 30, 30);
    font->TextOutF(screen, "HHHH", 4 << 16, 30 << 16, 65536, 65536, 0, 255, 255, 255, kTextEffectNone, 255, nullptr);
    const TImage whole = gl.Read();
    int top = kH, bottom = -1;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            if (!Near(whole.At(x, y), 30, 30, 30, 0)) top = std::min(top, y), bottom = std::max(bottom, y);
    ASSERT_LT(top + 4, bottom) << "the text is taller than the band";
    const int band = top + 2;
    Clear(30, 30, 30);
    TCoordRect2D clip{0, band, kW, 4};
    font->TextOutF(screen, "HHHH", 4 << 16, 30 << 16, 65536, 65536, 0, 255, 255, 255, kTextEffectNone, 255, &clip);
    const TImage banded = gl.Read();
    int inside = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            if (y >= band && y < band + 4) {
                inside += !Near(banded.At(x, y), 30, 30, 30, 0);
                ASSERT_TRUE(Near(banded.At(x, y), whole.At(x, y)[0], whole.At(x, y)[1], whole.At(x, y)[2], 0));
            } else {
                ASSERT_TRUE(Near(banded.At(x, y), 30, 30, 30, 0)) << "outside the band at " << x << "," << y;
            }
        }
    EXPECT_GT(inside, 0);
}

TEST_F(BitmapFontGlTest, TextOutFTurnsTheStringAboutItsPen) {
    // A quarter turn takes +x to +y (y down): "HH" then runs down the screen from the pen, its
    // glyphs left of it, and its ink box is the unturned one transposed.
    struct TBox {
        int left = kW, top = kH, right = -1, bottom = -1;
    };
    auto inkBox = [&](const TImage& img) {
        TBox b;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                if (!Near(img.At(x, y), 30, 30, 30, 40)) {
                    b.left = std::min(b.left, x), b.right = std::max(b.right, x);
                    b.top = std::min(b.top, y), b.bottom = std::max(b.bottom, y);
                }
        return b;
    };
    Clear(30, 30, 30);
    font->TextOutF(screen, "HH", 120 << 16, 40 << 16, 65536, 65536, 0, 255, 255, 255, kTextEffectNone, 255, nullptr);
    const TBox flat = inkBox(gl.Read());
    Clear(30, 30, 30);
    font->TextOutF(screen, "HH", 120 << 16, 40 << 16, 65536, 65536, 90 << 16, 255, 255, 255, kTextEffectNone, 255,
                   nullptr);
    const TBox turned = inkBox(gl.Read());
    ASSERT_GT(flat.right, flat.left);
    ASSERT_GT(turned.right, turned.left) << "the turned text is on the screen";
    EXPECT_NEAR(turned.right - turned.left, flat.bottom - flat.top, 2);
    EXPECT_NEAR(turned.bottom - turned.top, flat.right - flat.left, 2) << "the second H went below the first";
    EXPECT_LE(turned.right, 120) << "glyph tops face +x after the turn, so the ink is left of the pen";
    EXPECT_GE(turned.top, 40 + (flat.left - 120) - 1) << "the lead before the first H is now above it";
}

TEST_F(BitmapFontGlTest, TextOutFDrawsNothingWithoutTextOrOutsideGl) {
    Clear(30, 30, 30);
    TCoordRect2D clip{0, 0, 40, 40};
    font->TextOutF(screen, nullptr, 0, 0, 65536, 65536, 0, 255, 255, 255, kTextEffectNone, 255, &clip);
    EXPECT_EQ(glIsEnabled(GL_SCISSOR_TEST), GL_FALSE) << "no text: the scissor is not touched";
    game.m_RenderSwitches.m_nRendererKind = kRendererSoftware;
    font->TextOutF(screen, "Hi", 4 << 16, 4 << 16, 65536, 65536, 0, 255, 255, 255, kTextEffectNone, 255, &clip);
    game.m_RenderSwitches.m_nRendererKind = kRendererGLES;
    EXPECT_EQ(glIsEnabled(GL_SCISSOR_TEST), GL_FALSE);
    const TImage frame = gl.Read();
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) ASSERT_TRUE(Near(frame.At(x, y), 30, 30, 30, 0));
}

TEST_F(BitmapFontGlTest, ReleasedGlyphPixelsDrawNothingInMemoryButStillOnTheScreen) {
    CBitmapFontText released(&game);  // the game's configuration: planes released after upload
    ASSERT_EQ(released.LoadFont("Images\\sans.jpg"), 1);
    game.m_RenderSwitches.m_bReleasePixelsAfterUpload = false;
    CBitmapFontText kept(&game);
    ASSERT_EQ(kept.LoadFont("Images\\sans.jpg"), 1);

    CWinDibBitmap memory(&game);
    ASSERT_EQ(memory.Create(60, 30), 1);
    memory.ClearBitmap(10, 20, 30);
    std::vector<unsigned char> before(memory.GetBits(), memory.GetBits() + 60 * 30 * 2);
    released.TextOut(&memory, 2, 2, "Hello", 255, 255, 255, kTextEffectBorder, 255, nullptr);
    EXPECT_EQ(std::vector<unsigned char>(memory.GetBits(), memory.GetBits() + 60 * 30 * 2), before)
        << "the planes were released after the upload: nothing to read";

    // The same font with its pixels kept draws into memory.
    kept.TextOut(&memory, 2, 2, "Hello", 255, 255, 255, kTextEffectNone, 255, nullptr);
    EXPECT_NE(std::vector<unsigned char>(memory.GetBits(), memory.GetBits() + 60 * 30 * 2), before);

    Clear(0, 0, 0);
    released.TextOut(screen, 10, 20, "H", 255, 255, 255, kTextEffectNone, 255, nullptr);
    const TImage frame = gl.Read();
    int lit = 0;
    for (int y = 20; y < 40; ++y)
        for (int x = 10; x < 30; ++x) lit += frame.At(x, y)[0] > 200;
    EXPECT_GT(lit, 10) << "the texture still draws";
}

TEST_F(BitmapFontGlTest, PictureOfBakedTextAndASpriteStrip) {
    // A strip of five 8 x 8 frames, two per row: the last row holds one frame, so the rows are
    // rounded up to three.
    const std::array<std::uint8_t, 4> colours[5] = {
        {255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 0, 255}, {255, 0, 255, 255}};
    TImage strip = MakeImage(16, 24, {0, 0, 0, 0});
    for (int i = 0; i < 5; ++i)
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) strip.Set((i % 2) * 8 + x, (i / 2) * 8 + y, colours[i]);
    auto members = FontMembers(baked, "Images\\sans", fontbaker::EForm::RgbaPng);
    const fontbaker::TBakedFont outlined = Bake(20, fontbaker::EEffect::Outline, 255, 210, 60);
    for (auto& m : FontMembers(outlined, "Images\\title", fontbaker::EForm::RgbaPng)) members.push_back(m);
    members.emplace_back("Images\\strip.png", EncodePng(strip));
    game.SetPak(members);
    CBitmapFontText title(&game);
    ASSERT_EQ(title.LoadFont("Images\\title.jpg"), 1);
    ASSERT_EQ(game.m_Manager->AddSpriteSetSingle("strip", "strip.png", "", 5, 2, false, false), 1);
    CSpriteSet* set = game.m_Manager->GetLastSpriteSet();
    set->m_force_atlas = 1;
    ASSERT_EQ(set->AddReference(), 1);
    ASSERT_EQ(set->GetNumFrames(), 5);
    ASSERT_NE(set->m_pForcedAtlasSource, nullptr) << "drawn as views of one texture";

    Clear(24, 40, 72);
    title.TextOut(screen, 8, 4, "Cobblebrooks", 255, 255, 255, kTextEffectNone, 255, nullptr);
    font->TextOut(screen, 8, 34, "Bitmap fonts, baked.", 255, 255, 255, kTextEffectShadow, 255, nullptr);
    font->TextOutF(screen, "Scaled 1.5x", 8 << 16, 56 << 16, 98304, 98304, 0, 120, 255, 160, kTextEffectBorder, 255,
                   nullptr);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(set->GetFrame(i)->m_Width, 8) << i;
        EXPECT_EQ(set->GetFrame(i)->m_Height, 8) << i;
        set->GetFrame(i)->Draw(screen, 8 + i * 12, 96, 0, 0, 0, 0);
    }
    const TImage frame = gl.Read();

    const std::filesystem::path dir = std::filesystem::path(COBBLE_BINARY_DIR) / "pictures";
    std::filesystem::create_directories(dir);
    const std::filesystem::path file = dir / "fonts_text_and_sprites.png";
    {
        const Bytes png = EncodePng(frame);
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    }
    EXPECT_GT(std::filesystem::file_size(file), 1000u) << file;

    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(Near(frame.At(8 + i * 12 + 4, 100), colours[i][0], colours[i][1], colours[i][2], 8))
            << "frame " << i << " is its own cell of the strip";
    EXPECT_TRUE(Near(frame.At(8 + 4 * 12 + 9, 100), 24, 40, 72, 0)) << "frames are 8 wide";
    auto countInk = [&](int y0, int y1, auto pred) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < kW; ++x) n += pred(frame.At(x, y));
        return n;
    };
    EXPECT_GT(countInk(4, 30, [](auto p) { return Near(p, 255, 210, 60, 12); }), 50) << "the title's ink";
    EXPECT_GT(countInk(4, 30, [](auto p) { return Near(p, 0, 0, 0, 6); }), 50) << "its baked outline";
    EXPECT_GT(countInk(34, 54, [](auto p) { return Near(p, 255, 255, 255, 8); }), 50) << "the plain line";
    EXPECT_GT(countInk(56, 90, [](auto p) { return p[1] > 200 && p[0] < 170 && p[0] > 70; }), 50)
        << "the scaled line (filtered, so only its hue is checked)";
}
