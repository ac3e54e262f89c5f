// Drawing helpers, stretched drawing, fills, GL lines and the rotator's GL path.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "render/DrawLine.h"
#include "render/DrawingHelpers.h"
#include "render/DrawingUtils.h"
#include "render/GlesRotatorPath.h"
#include "render/ImageRotatorScaler.h"
#include "render/WinDibBitmap.h"
#include "testsupport/GlTestGame.h"
#include "testsupport/GlesTestContext.h"

namespace {

std::uint16_t Rgb565(int r, int g, int b) {
    return static_cast<std::uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
}

std::uint16_t At(IDibBitmap* b, int x, int y) {
    std::uint16_t p;
    std::memcpy(&p, b->GetBits() + (static_cast<std::size_t>(y) * b->m_BufferWidth + x) * 2, 2);
    return p;
}

// A software bitmap of w x h, each pixel from f(x, y).
template <typename F>
std::unique_ptr<CWinDibBitmap> SoftBitmap(IRenderHost* game, int w, int h, F f) {
    auto b = std::make_unique<CWinDibBitmap>(game);
    b->Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint16_t v = f(x, y);
            std::memcpy(b->GetBits() + (static_cast<std::size_t>(y) * w + x) * 2, &v, 2);
        }
    b->DestroyAlpha();
    return b;
}

TEST(FormatWithCommasTest, GroupsOfThreeWithTheSignInFront) {
    const struct {
        int n;
        const char* text;
    } cases[] = {{0, "0"},
                 {12, "12"},
                 {1000, "1,000"},
                 {1234, "1,234"},
                 {123456, "123,456"},
                 {1234567, "1,234,567"},
                 {-123, "-123"},
                 {-1234, "-1,234"},
                 {-123456, "-123,456"},
                 {INT_MIN, "-2,147,483,648"}};
    for (const auto& c : cases) EXPECT_EQ(FormatWithCommas(c.n), CommonString(c.text)) << c.n;
}

TEST(EaseAndGeometryTest, CurvesAnglesAndDistances) {
    CQuorvanImageRotatorScaler rotator(nullptr, 36000);
    ASSERT_EQ(rotator.Initialize(), 1);
    EXPECT_EQ(SCurve(0, &rotator), 0);
    EXPECT_NEAR(SCurve(128, &rotator), 128, 1);
    EXPECT_EQ(SCurve(256, &rotator), 256);
    EXPECT_EQ(SCurve16(0x8000, nullptr), 0x8000);
    // (1 - cos(pi t)) / 2 of the way from `from` to `to`, at t = (value - from) / (to - from).
    const struct {
        double from, value, to, eased;
    } curve[] = {{10.0, 10.0, 20.0, 10.0},
                 {10.0, 12.5, 20.0, 10.0 + 10.0 * (1.0 - std::cos(0.25 * std::numbers::pi)) / 2},
                 {10.0, 15.0, 20.0, 15.0},
                 {10.0, 17.5, 20.0, 10.0 + 10.0 * (1.0 - std::cos(0.75 * std::numbers::pi)) / 2},
                 {10.0, 20.0, 20.0, 20.0},
                 {-2.0, -1.0, 2.0, -2.0 + 4.0 * (1.0 - std::cos(0.25 * std::numbers::pi)) / 2},
                 {20.0, 12.5, 10.0, 20.0 - 10.0 * (1.0 - std::cos(0.75 * std::numbers::pi)) / 2},
                 {3.0, 7.0, 3.0, 3.0}};
    for (const auto& c : curve)
        EXPECT_NEAR(GetSCurvedValue(nullptr, c.from, c.value, c.to), c.eased, 1e-3) << c.from << " " << c.value;
    EXPECT_NEAR(atan2_degree_360(-1, 0), 270.0, 1e-6);
    EXPECT_NEAR(atan2_degree_360(1, 1), 45.0, 1e-6);
    TRect2D a{0, 0, 10 << 8, 10 << 8}, overlapping{5 << 8, 5 << 8, 10 << 8, 10 << 8};
    TRect2D beside{13 << 8, 2 << 8, 4 << 8, 4 << 8}, diagonal{13 << 8, 14 << 8, 2 << 8, 2 << 8};
    EXPECT_EQ(GetDistanceBetweenRects(a, overlapping), 0);
    EXPECT_EQ(GetDistanceBetweenRects(a, beside), 3 << 8);
    EXPECT_EQ(GetDistanceBetweenRects(a, diagonal), 5 << 8) << "3-4-5 between the nearest corners";
}

TEST(SoftwareFillsTest, ClippedBlitFillsAndStretch) {
    CGlTestGame game;
    auto src = SoftBitmap(&game, 8, 1, [](int x, int) { return static_cast<std::uint16_t>(x + 1); });
    auto dst = SoftBitmap(&game, 8, 1, [](int, int) { return std::uint16_t{0}; });
    BitBlt_Clipped(dst.get(), src.get(), 0, 0, 0, 0, 0, 0, 0, TCoordRect2D{-20, 0, 10, 1}, 0);
    EXPECT_EQ(At(dst.get(), 0, 0), 0) << "clip wholly left of the target";
    BitBlt_Clipped(dst.get(), src.get(), 0, 0, 0, 0, 0, 0, 0, TCoordRect2D{3, 0, 4, 1}, 0);
    EXPECT_EQ(At(dst.get(), 2, 0), 0);
    EXPECT_EQ(At(dst.get(), 3, 0), 4) << "the source origin moves with the clip";
    EXPECT_EQ(At(dst.get(), 6, 0), 7);
    EXPECT_EQ(At(dst.get(), 7, 0), 0);

    auto canvas = SoftBitmap(&game, 16, 4, [](int, int) { return std::uint16_t{0}; });
    FillRectangle_Transparent(&game, canvas.get(), 10, 0, -3, 2, 255, 255, 255, 128);
    EXPECT_EQ(At(canvas.get(), 7, 0), 0);
    EXPECT_EQ(At(canvas.get(), 8, 0) >> 11, 15) << "a negative width covers x + w + 1 .. x";
    EXPECT_EQ(At(canvas.get(), 10, 1) >> 11, 15);
    EXPECT_EQ(At(canvas.get(), 11, 0), 0);
    auto opaque = SoftBitmap(&game, 16, 4, [](int, int) { return std::uint16_t{0}; });
    auto reference = SoftBitmap(&game, 16, 4, [](int, int) { return std::uint16_t{0}; });
    FillRectangle_Transparent(&game, opaque.get(), 2, 1, 5, 2, 10, 200, 30, 255);
    reference->FillRectangle(2, 1, 5, 2, 10, 200, 30);
    EXPECT_EQ(std::memcmp(opaque->GetBits(), reference->GetBits(), 16 * 4 * 2), 0) << "a = 255 is the opaque fill";
    FillRectangle_Additive(&game, canvas.get(), 0, 2, 16, 2, 255, 0, 0);
    EXPECT_EQ(At(canvas.get(), 5, 3) >> 11, 31);
    EXPECT_EQ(At(canvas.get(), 5, 3) & 0x7FF, 0);

    auto small = SoftBitmap(&game, 2, 2, [](int x, int y) { return static_cast<std::uint16_t>(1 + x + 2 * y); });
    auto big = SoftBitmap(&game, 6, 6, [](int, int) { return std::uint16_t{0}; });
    Bitmap_StretchDraw(big.get(), small.get(), 1, 1, 4, 4, 0, 0, 0, 0);
    EXPECT_EQ(At(big.get(), 1, 1), 1);
    EXPECT_EQ(At(big.get(), 2, 2), 1) << "nearest texel, two pixels per texel";
    EXPECT_EQ(At(big.get(), 3, 1), 2);
    EXPECT_EQ(At(big.get(), 4, 4), 4);
    EXPECT_EQ(At(big.get(), 5, 5), 0);
}

class GlHelpersTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!ctx.IsValid()) GTEST_SKIP() << "no headless EGL context";
        game.m_RenderSwitches.m_nRendererKind = kRendererGLES;
        screen = game.MakeScreen(64, 64);
        screen->FillRectangle(0, 0, 64, 64, 0, 0, 0);
        // The game's rotator, drawing onto the GL screen through its hardware path.
        ASSERT_EQ(rotator.Initialize(), 1);
        rotator.SetHardwarePath(&rotatorPath);
    }
    void TearDown() override {
        SetDrawLineHardwarePath(nullptr);
        GLES_ResetStateCache();
    }
    // A GL bitmap of w x h from f(x, y) (RGB565), with an alpha plane from alpha(x, y) when one
    // is given; both planes go up in one upload.
    template <typename F>
    std::unique_ptr<CWinDibBitmapOGLES> GlBitmap(int w, int h, F f, int (*alpha)(int x, int y) = nullptr) {
        auto b = std::make_unique<CWinDibBitmapOGLES>(&game);
        auto* px = static_cast<std::uint16_t*>(std::malloc(static_cast<std::size_t>(w) * h * 2));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) px[y * w + x] = f(x, y);
        game.m_RenderSwitches.m_bImmediateUpload = false;
        b->SetBits(reinterpret_cast<unsigned char*>(px), w, h);
        if (alpha) {
            auto* a = static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(w) * h));
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) a[y * w + x] = static_cast<unsigned char>(alpha(x, y));
            b->SetAlphaBits(a, w, h);
        }
        game.m_RenderSwitches.m_bImmediateUpload = true;
        EXPECT_EQ(b->HWUpdateTexture(), 1);
        return b;
    }

    // The same from a double-resolution image: w x h stored texels drawn at half that size.
    template <typename F>
    std::unique_ptr<CWinDibBitmapOGLES> GlBitmap2x(int w, int h, F f) {
        auto b = std::make_unique<CWinDibBitmapOGLES>(&game);
        b->Set2xImage(true);  // as the image loader marks a file from the 2x directory
        auto* px = static_cast<std::uint16_t*>(std::malloc(static_cast<std::size_t>(w) * h * 2));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) px[y * w + x] = f(x, y);
        EXPECT_EQ(b->SetBits(reinterpret_cast<unsigned char*>(px), w, h), 1);
        return b;
    }
    void Clear() {
        screen->FillRectangle(0, 0, 64, 64, 0, 0, 0);
        GLES_FlushBuffer();
    }
    std::vector<std::uint8_t> Frame() {
        GLES_FlushBuffer();
        return ctx.ReadFrame();
    }

    CGlesTestContext ctx{64, 64};
    CGlTestGame game;
    CWinDibBitmapOGLES* screen = nullptr;
    CQuorvanImageRotatorScaler rotator{&game, 36000};
    CGlesRotatorPath rotatorPath{&game, &rotator};
};

std::uint16_t Quadrants(int x, int y) {
    if (y < 4) return x < 4 ? Rgb565(255, 0, 0) : Rgb565(0, 255, 0);
    return x < 4 ? Rgb565(0, 0, 255) : Rgb565(255, 255, 255);
}

TEST_F(GlHelpersTest, RotatedDrawAtAngleZeroEqualsThePlainBlit) {
    auto src = GlBitmap(8, 8, Quadrants);
    src->BitBlt(screen, 20, 12, 0, 0, 0, 0, 0);
    GLES_FlushBuffer();
    const auto plain = ctx.ReadFrame();
    screen->FillRectangle(0, 0, 64, 64, 0, 0, 0);
    rotator.DrawRotatedBitmap(src.get(), screen, 24 << 8, 16 << 8, 0, 0x10000, 0);
    GLES_FlushBuffer();
    EXPECT_EQ(ctx.ReadFrame(), plain);
}

// Quadrants of a 2x image stored 32 x 32, standing 16 x 16 in the layout.
std::uint16_t Quadrants2x(int x, int y) { return Quadrants(x / 4, y / 4); }

TEST_F(GlHelpersTest, DoubleResolutionImageDrawsAtItsLayoutSizeThroughEveryTexturedPath) {
    auto src = GlBitmap2x(32, 32, Quadrants2x);
    ASSERT_EQ(src->m_Width, 16);
    ASSERT_FALSE(src->ArePixelsValid()) << "the game's configuration: RAM pixels released";
    src->BitBlt(screen, 20, 12, 0, 0, 0, 0, 0);
    const auto plain = Frame();
    ASSERT_EQ(ctx.Pixel(27, 13)[0], 255) << "the plain blit: red over the left 8 columns";
    ASSERT_EQ(ctx.Pixel(28, 13)[1], 255) << "green from column 8";

    struct TCase {
        const char* why;
        void (*draw)(CQuorvanImageRotatorScaler& r, IRenderHost* g, IDibBitmap* src, IDibBitmap* dst);
    } const cases[] = {
        {"rotator, plain", [](CQuorvanImageRotatorScaler& r, IRenderHost*, IDibBitmap* s,
                              IDibBitmap* d) { r.DrawRotatedBitmap(s, d, 28 << 8, 20 << 8, 0, 0x10000, 0); }},
        {"rotator, transparent",
         [](CQuorvanImageRotatorScaler& r, IRenderHost*, IDibBitmap* s, IDibBitmap* d) {
             Renderer_SetBlendMode(Renderer_BlendMode_Opaque, nullptr);
             r.DrawRotatedBitmapTransparent(s, d, 28 << 8, 20 << 8, 0, 0x10000, 0, 0);
         }},
        {"rotator, multiplied by white (particles)",
         [](CQuorvanImageRotatorScaler& r, IRenderHost*, IDibBitmap* s, IDibBitmap* d) {
             r.DrawRotatedBitmapMultiply(s, d, 28 << 8, 20 << 8, 0, 0x10000, 255, 255, 255, 0, 0);
         }},
        {"rotator about the source's top-left corner",
         [](CQuorvanImageRotatorScaler& r, IRenderHost*, IDibBitmap* s, IDibBitmap* d) {
             r.DrawRotatedBitmapWithSourceOriginWithBlendMode(s, d, 20 << 8, 12 << 8, 0, 0, 0, 0x10000, 0, 0, 255, 255,
                                                              255, 0);
         }},
        {"sheared sprite with no shear",
         [](CQuorvanImageRotatorScaler&, IRenderHost* g, IDibBitmap* s, IDibBitmap* d) {
             Renderer_SetBlendMode(Renderer_BlendMode_Opaque, nullptr);
             DrawShifted(g, d, s, 20 << 16, 12 << 16, 0, 0, 0, 0, 0, 255);
         }},
        {"stretched sprite at scale 1",
         [](CQuorvanImageRotatorScaler&, IRenderHost* g, IDibBitmap* s, IDibBitmap* d) {
             Renderer_SetBlendMode(Renderer_BlendMode_Opaque, nullptr);
             DrawStretched(g, d, s, 20 << 16, 12 << 16, 0, 0, 0x10000, 0x10000, 0, 255, 0, 0, 0, 0, 255, 255, 255);
         }},
    };
    for (const TCase& c : cases) {
        Clear();
        c.draw(rotator, &game, src.get(), screen);
        EXPECT_EQ(Frame(), plain) << c.why;
    }
}

TEST_F(GlHelpersTest, DoubleResolutionImageTurnsAndScalesAboutItsCentre) {
    auto src = GlBitmap2x(32, 32, Quadrants2x);
    auto rgb = [&](int x, int y) {
        const auto p = ctx.Pixel(x, y);
        return std::array<int, 3>{p[0], p[1], p[2]};
    };
    const std::array<int, 3> red{255, 0, 0}, green{0, 255, 0}, blue{0, 0, 255}, white{255, 255, 255}, black{0, 0, 0};
    // A quarter turn clockwise about (32, 32): the 16 x 16 square keeps its place, red goes to
    // the top-right, green to the bottom-right, white to the bottom-left, blue to the top-left.
    Clear();
    rotator.DrawRotatedBitmap(src.get(), screen, 32 << 8, 32 << 8, 90 << 8, 0x10000, 0);
    Frame();
    EXPECT_EQ(rgb(36, 28), red);
    EXPECT_EQ(rgb(36, 36), green);
    EXPECT_EQ(rgb(28, 36), white);
    EXPECT_EQ(rgb(28, 28), blue);
    EXPECT_EQ(rgb(23, 28), black) << "nothing left of the 16-pixel square";
    EXPECT_EQ(rgb(40, 36), black) << "nor right of it";
    // Unturned at scale 2: 32 x 32 from (16, 16), each quadrant 16 x 16.
    Clear();
    rotator.DrawRotatedBitmap(src.get(), screen, 32 << 8, 32 << 8, 0, 0x20000, 0);
    Frame();
    EXPECT_EQ(rgb(17, 17), red);
    EXPECT_EQ(rgb(30, 30), red);
    EXPECT_EQ(rgb(33, 17), green);
    EXPECT_EQ(rgb(17, 46), blue);
    EXPECT_EQ(rgb(46, 46), white);
    EXPECT_EQ(rgb(15, 17), black);
    EXPECT_EQ(rgb(48, 46), black);
}

TEST_F(GlHelpersTest, RotationTurnsClockwiseAndScales) {
    auto src = GlBitmap(8, 8, Quadrants);
    rotator.DrawRotatedBitmap(src.get(), screen, 32 << 8, 32 << 8, 90 << 8, 0x20000, 0);
    GLES_FlushBuffer();
    // Turned a quarter clockwise and doubled: the red top-left quadrant is now top-right.
    EXPECT_EQ(ctx.Pixel(36, 26)[0], 255);
    EXPECT_EQ(ctx.Pixel(36, 26)[1], 0);
    EXPECT_EQ(ctx.Pixel(26, 26)[2], 255) << "blue bottom-left went to top-left";
    EXPECT_EQ(ctx.Pixel(17, 32)[0], 0) << "16 x 16 after doubling: nothing beyond";
    GLES_FlushBuffer();
    rotator.DrawRotatedBitmapAdditive(src.get(), screen, 8 << 8, 8 << 8, 0, 0x10000, 255, 255, 255, -255, 0);
    EXPECT_EQ(g_GLES_NumIndexesUsed, 0) << "additive with offset -255 draws nothing";
    rotator.DrawRotatedBitmapAdditive(src.get(), screen, 8 << 8, 8 << 8, 0, 0x10000, 255, 255, 255, 20, 0);
    EXPECT_GT(g_GLES_NumIndexesUsed, 0);
    EXPECT_EQ(g_GLES_Colors[3], 255) << "positive offsets clamp at 255";
}

TEST_F(GlHelpersTest, StretchedDrawAlphaAndCoordinates) {
    auto src = GlBitmap(4, 4, [](int, int) { return Rgb565(255, 255, 255); });
    GLES_FlushBuffer();
    Bitmap_StretchDrawF16_Transparent(&game, screen, src.get(), 0, 0, 8 << 16, 8 << 16, 0, 0, 4 << 16, 4 << 16, -255,
                                      Renderer_BlendMode_Normal);
    EXPECT_EQ(g_GLES_NumIndexesUsed, 0) << "offset -255 draws nothing";
    Bitmap_StretchDrawF_Transparent(&game, screen, src.get(), 10, 0, 8 << 8, 8 << 8, 0, 0, 4 << 8, 4 << 8, 0,
                                    Renderer_BlendMode_Normal);
    EXPECT_EQ(g_globalQuorvanVertex_2_3[0].x, 2560) << "24.8 becomes 16.16";
    EXPECT_EQ(g_globalQuorvanVertex_2_3[0].a, 255);
    GLES_FlushBuffer();
    Bitmap_StretchDrawF16(&game, screen, src.get(), 20 << 16, 20 << 16, 12 << 16, 6 << 16, 0, 0, 4 << 16, 4 << 16,
                          Renderer_BlendMode_Opaque);
    GLES_FlushBuffer();
    EXPECT_EQ(ctx.Pixel(20, 20)[0], 255);
    EXPECT_EQ(ctx.Pixel(31, 25)[0], 255);
    EXPECT_EQ(ctx.Pixel(32, 25)[0], 0);
    EXPECT_EQ(ctx.Pixel(31, 26)[0], 0);
}

TEST_F(GlHelpersTest, ShiftedSpriteMirrorsWithoutMovingCorners) {
    auto src = GlBitmap(8, 8, Quadrants);
    Renderer_SetBlendMode(Renderer_BlendMode_Opaque, nullptr);
    DrawShifted(&game, screen, src.get(), 10 << 16, 10 << 16, 0, 0, 0, 0, 1, 255);
    GLES_FlushBuffer();
    EXPECT_EQ(ctx.Pixel(11, 11)[1], 255) << "green (top-right) now on the left";
    EXPECT_EQ(ctx.Pixel(11, 11)[0], 0);
    EXPECT_EQ(ctx.Pixel(16, 11)[0], 255) << "red on the right";
    EXPECT_EQ(ctx.Pixel(18, 11)[0], 0) << "the quad keeps its place";
    // A shear of the top edge by 4 pixels moves the top row, not the bottom one.
    screen->FillRectangle(0, 0, 64, 64, 0, 0, 0);
    DrawShifted(&game, screen, src.get(), 30 << 16, 30 << 16, 0, 0, 4 << 16, 0, 0, 255);
    GLES_FlushBuffer();
    EXPECT_EQ(ctx.Pixel(31, 30)[0], 0) << "top row starts 4 pixels right";
    EXPECT_EQ(ctx.Pixel(31, 37)[2], 255) << "bottom row stays";
}

TEST_F(GlHelpersTest, StretchedSpriteScalesAboutItsAnchorAndTints) {
    auto src = GlBitmap(8, 8, Quadrants);
    Renderer_SetBlendMode(Renderer_BlendMode_Opaque, nullptr);
    // Doubled about the anchor (4, 0): the 16 x 16 quad starts at x = 20 - 2 x 4 = 12.
    DrawStretched(&game, screen, src.get(), 20 << 16, 10 << 16, 4 << 16, 0, 0x20000, 0x20000, 0, 255, 0, 0, 0, 0, 255,
                  255, 0);
    GLES_FlushBuffer();
    auto rgb = [&](int x, int y) {
        const auto p = ctx.Pixel(x, y);
        return std::array<int, 3>{p[0], p[1], p[2]};
    };
    EXPECT_EQ(rgb(13, 11), (std::array<int, 3>{255, 0, 0})) << "red stays red under a yellow tint";
    EXPECT_EQ(rgb(26, 24), (std::array<int, 3>{255, 255, 0})) << "white becomes the tint";
    EXPECT_EQ(rgb(13, 24), (std::array<int, 3>{0, 0, 0})) << "blue has nothing the tint lets through";
    EXPECT_EQ(rgb(11, 11), (std::array<int, 3>{0, 0, 0})) << "left of the quad";
    EXPECT_EQ(rgb(28, 11), (std::array<int, 3>{0, 0, 0})) << "right of the quad";
    // A top-right corner shift of 4 (scaled by kx to 8) widens only the top edge.
    screen->FillRectangle(0, 0, 64, 64, 0, 0, 0);
    DrawStretched(&game, screen, src.get(), 10 << 16, 40 << 16, 0, 0, 0x10000, 0x10000, 0, 255, 0, 4 << 16, 0, 0, 255,
                  255, 255);
    GLES_FlushBuffer();
    EXPECT_GT(rgb(19, 40)[1], 0) << "the top edge reaches past the sprite's width";
    EXPECT_EQ(rgb(19, 47)[1], 0) << "the bottom edge does not";
}

TEST_F(GlHelpersTest, TwoTextureBlitAndTheStateAfterIt) {
    auto colour = GlBitmap(8, 8, [](int, int) { return Rgb565(255, 0, 0); });
    // The alpha bitmap: white, opaque on its left half only.
    auto shape = GlBitmap(
        8, 8, [](int, int) { return Rgb565(255, 255, 255); }, [](int x, int) { return x < 4 ? 255 : 0; });
    screen->FillRectangle(0, 0, 64, 64, 0, 0, 200);
    GLES_FlushBuffer();
    // 16 wide: the second half lies beyond both textures and ends the blit.
    BitBlt_Texture1RGB_Texture2A(&game, screen, 10, 10, 16, 8, colour.get(), 0, 0, shape.get(), 0, 0, 0);
    EXPECT_EQ(ctx.Pixel(11, 12)[0], 255) << "colour from the first texture";
    EXPECT_EQ(ctx.Pixel(11, 12)[2], 0);
    EXPECT_EQ(ctx.Pixel(16, 12)[2], 200) << "alpha 0 from the second keeps the background";
    EXPECT_EQ(ctx.Pixel(20, 12)[2], 200) << "nothing beyond the textures";
    // The batch arrays are back, and texture unit 1 is off: an ordinary blit draws as usual.
    GLvoid* vertices = nullptr;
    glGetPointerv(GL_VERTEX_ARRAY_POINTER, &vertices);
    EXPECT_EQ(vertices, static_cast<GLvoid*>(g_GLES_Coords));
    glActiveTexture(GL_TEXTURE1);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    glActiveTexture(GL_TEXTURE0);
    auto green = GlBitmap(4, 4, [](int x, int) { return x < 2 ? Rgb565(0, 255, 0) : Rgb565(255, 255, 255); });
    green->BitBlt(screen, 40, 40, 0, 0, 0, 0, 0);
    GLES_FlushBuffer();
    EXPECT_EQ(ctx.Pixel(40, 41)[0], 0) << "texture coordinates still reach the batch";
    EXPECT_EQ(ctx.Pixel(43, 41)[0], 255);
    // A blit that starts beyond the textures draws nothing and still leaves the state in order.
    BitBlt_Texture1RGB_Texture2A(&game, screen, 50, 50, 4, 4, colour.get(), 8, 0, shape.get(), 8, 0, 0);
    green->BitBlt(screen, 50, 50, 0, 0, 0, 0, 0);
    GLES_FlushBuffer();
    EXPECT_EQ(ctx.Pixel(50, 51)[0], 0);
    EXPECT_EQ(ctx.Pixel(53, 51)[0], 255) << "unit 0's coordinate array stayed on";
}

TEST_F(GlHelpersTest, DebugLinesDrawAndRestoreTheCache) {
    DebugDrawLine_Start(&game);
    DebugDrawLine(&game, 0, 30, 63, 30, 255, 0, 0, 255, 255);
    DebugDrawLine_End(&game);
    EXPECT_EQ(ctx.Pixel(5, 30)[0], 255);
    EXPECT_EQ(ctx.Pixel(60, 30)[0], 255);
    EXPECT_EQ(ctx.Pixel(5, 33)[0], 0);
    auto green = GlBitmap(4, 4, [](int, int) { return Rgb565(0, 255, 0); });
    green->BitBlt(screen, 40, 40, 0, 0, 0, 0, -128);
    GLES_FlushBuffer();
    EXPECT_NEAR(ctx.Pixel(41, 41)[1], 127, 3) << "normal blending and the batch arrays after End";
}

TEST_F(GlHelpersTest, QuadsGradientsAndTheirTargets) {
    GLES_FlushBuffer();
    CGlesCallCounter calls;
    auto other = std::make_unique<CWinDibBitmapOGLES>(&game);
    const int colours[16] = {255, 0, 0, 255, 255, 0, 0, 255, 0, 0, 255, 255, 0, 0, 255, 255};
    DrawQuad(&game, other.get(), Renderer_BlendMode_Opaque, 0, 0, 8, 0, 8, 8, 0, 8, colours);
    EXPECT_EQ(calls.drawElements(), 0) << "not the draw target: nothing";
    DrawQuad(&game, screen, Renderer_BlendMode_Opaque, 0, 0, 16, 0, 16, 16, 0, 16, colours);
    EXPECT_EQ(calls.drawElements(), 1) << "drawn at once";
    FillRectangleGradientV(&game, screen, 20, 0, 8, 32, 255, 0, 0, 0, 0, 255);
    const auto top = ctx.Pixel(24, 0), middle = ctx.Pixel(24, 16), bottom = ctx.Pixel(24, 31);
    EXPECT_GT(top[0], 240);
    EXPECT_GT(bottom[2], 240);
    EXPECT_NEAR(middle[0], 128, 8);
    EXPECT_NEAR(middle[2], 128, 8);
    const auto quadBottom = ctx.Pixel(8, 15);
    EXPECT_GT(quadBottom[2], 200) << "per-corner colours are interpolated";
}

// What the GL itself held at each draw: blending on or off.
std::vector<bool> g_BlendAtDraw;
void NoteBlendAndDraw(GLenum mode, GLsizei count, GLenum type, const void* indices) {
    g_BlendAtDraw.push_back(glIsEnabled(GL_BLEND) == GL_TRUE);
    glDrawElements(mode, count, type, indices);
}

TEST_F(GlHelpersTest, GradientIsDrawnWithoutBlendingAndLeavesNormalBlendingOn) {
    GLES_FlushBuffer();
    const auto saved = g_Gl.DrawElements;
    g_Gl.DrawElements = NoteBlendAndDraw;
    g_BlendAtDraw.clear();
    Renderer_SetBlendMode(Renderer_BlendMode_Normal, screen);
    FillRectangleGradientV(&game, screen, 0, 0, 64, 32, 0, 100, 200, 255, 255, 255);
    GLES_FlushBuffer();
    const auto sky = ctx.Pixel(41, 11);
    // A half-transparent stretched draw right after, as the start menu's clouds follow its sky
    // (the stretched draw takes the blend mode it finds).
    auto green = GlBitmap(4, 4, [](int, int) { return Rgb565(0, 255, 0); });
    DrawStretched(&game, screen, green.get(), 40 << 16, 10 << 16, 0, 0, 65536, 65536, 0, 128, 0, 0, 0, 0, 255, 255,
                  255);
    GLES_FlushBuffer();
    g_Gl.DrawElements = saved;
    ASSERT_EQ(g_BlendAtDraw.size(), 2u);
    EXPECT_FALSE(g_BlendAtDraw[0]) << "the opaque gradient needs no blending";
    EXPECT_TRUE(g_BlendAtDraw[1]) << "the draw after it blends as before";
    // Half of the green over half of the sky under it.
    const auto drawn = ctx.Pixel(41, 11);
    EXPECT_NEAR(drawn[0], sky[0] * 127 / 255, 4);
    EXPECT_NEAR(drawn[1], (sky[1] * 127 + 255 * 128) / 255, 4);
    // The gradient itself: the top colour at the top row, the bottom colour at the last.
    EXPECT_NEAR(ctx.Pixel(10, 0)[2], 200, 4);
    EXPECT_NEAR(ctx.Pixel(10, 31)[0], 255, 4);
}

TEST_F(GlHelpersTest, GlLinesAndTheStateAfterThem) {
    // OGLES_InitAndCreateRenderTarget installed the GL line.
    DrawLine_AA(&game, 0, 10, 63, 10, 255, 255, 255, 255, 255);
    DrawLine_AA(&game, 0, 20, 63, 20, 255, 255, 255, 0, 255);
    const auto flatL = ctx.Pixel(2, 10), flatR = ctx.Pixel(60, 10);
    EXPECT_EQ(flatL[0], 255);
    EXPECT_EQ(flatR[0], 255);
    const auto fadeL = ctx.Pixel(4, 20), fadeM = ctx.Pixel(32, 20), fadeR = ctx.Pixel(60, 20);
    EXPECT_LT(fadeL[0], fadeM[0]) << "alpha interpolated along the line";
    EXPECT_LT(fadeM[0], fadeR[0]);
    EXPECT_NEAR(fadeM[0], 128, 12);
    // The cache is restored: a quad right after uses the batch arrays and normal blending.
    auto src = GlBitmap(4, 4, [](int, int) { return Rgb565(0, 255, 0); });
    src->BitBlt(screen, 40, 40, 0, 0, 0, 0, -128);
    GLES_FlushBuffer();
    EXPECT_NEAR(ctx.Pixel(41, 41)[1], 127, 3);
}

}  // namespace
