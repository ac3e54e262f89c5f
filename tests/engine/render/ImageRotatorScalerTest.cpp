// The rotator's tables and index, its entry points and the software rotate-and-scale family.
#include "render/ImageRotatorScaler.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "SoftBitmapFixtures.h"

using namespace soft_test;

namespace {

constexpr int kCanvas = 24;

std::uint16_t Ground(int x, int y) { return Rgb((x * 7 + y) & 31, (x + y * 5) & 63, (x ^ y) & 31); }

std::vector<std::uint16_t> Snap(IDibBitmap* b) {
    auto* s = static_cast<CWinDibBitmap*>(b);
    const auto* p = reinterpret_cast<const std::uint16_t*>(b->GetBits());
    return std::vector<std::uint16_t>(p, p + s->StoredPixelCount());
}

class RotatorTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(rot.Initialize(), 1); }

    // The centre that puts a w x h source's top-left corner on pixel (x0, y0) at angle 0, scale 1.
    static FIXED_FLOAT CentreFor(int x0, int w) { return (x0 << 8) + w * 128; }

    // Every pixel of the canvas against expected(x, y, before).
    static void ExpectCanvas(IDibBitmap* dst, const std::vector<std::uint16_t>& before,
                             const std::function<std::uint16_t(int, int, std::uint16_t)>& expected,
                             const std::string& why) {
        int bad = 0;
        for (int y = 0; y < kCanvas; ++y) {
            for (int x = 0; x < kCanvas; ++x) {
                const std::uint16_t want = expected(x, y, before[y * kCanvas + x]);
                const std::uint16_t got = PixelAt(dst, x, y);
                if (want != got && ++bad <= 4) {
                    ADD_FAILURE() << why << " at (" << x << ", " << y << "): " << got << " != " << want;
                }
            }
        }
    }

    CQuorvanImageRotatorScaler rot{nullptr, 36000};
};

}  // namespace

TEST(RotatorTables, EntriesAtTheQuarterTurns) {
    CQuorvanImageRotatorScaler rot(nullptr, 36000);
    ASSERT_EQ(rot.Initialize(), 1);
    struct TCase {
        int index, sin256, cos256, sin65536, cos65536;
    };
    // 30 degrees: sin 0.5, cos 0.8660254 (x 256 = 221.70, x 65536 = 56755.84).
    for (const TCase c :
         {TCase{0, 0, 256, 0, 65536}, TCase{9000, 256, 0, 65536, 0}, TCase{3000, 128, 222, 32768, 56756},
          TCase{18000, 0, -256, 0, -65536}, TCase{27000, -256, 0, -65536, 0}}) {
        EXPECT_EQ(rot.GetSin256()[c.index], c.sin256) << c.index;
        EXPECT_EQ(rot.GetCos256()[c.index], c.cos256) << c.index;
        EXPECT_EQ(rot.GetSin65536()[c.index], c.sin65536) << c.index;
        EXPECT_EQ(rot.GetCos65536()[c.index], c.cos65536) << c.index;
    }
}

TEST(RotatorTables, LookupIndexWrapsEveryAngleIntoTheTable) {
    CQuorvanImageRotatorScaler rot(nullptr, 36000);
    struct TCase {
        FIXED_FLOAT angle;
        int index;
        const char* why;
    };
    for (const TCase c : {TCase{0, 0, "zero"}, TCase{23040, 9000, "90 degrees"},
                          TCase{92159, 35999, "largest in range never reaches N"}, TCase{92160, 0, "a full turn"},
                          TCase{92160 + 23040, 9000, "beyond a turn"}, TCase{-23040, 27000, "negative"},
                          TCase{-92160 * 3 - 1, 35999, "far negative"}, TCase{128, 50, "half a degree"}}) {
        EXPECT_EQ(rot.GetLookupIndex(c.angle), c.index) << c.why;
    }
}

TEST(RotatorOrientation, PointsTurnWithTheDestination) {
    auto dst = MakeCanvas(10, 6, 0);  // stored 10 columns x 6 rows
    FIXED_FLOAT x = 3 << 8, y = 2 << 8;
    SetCoordsAccordingToOrientationModeF(dst.get(), x, y);
    EXPECT_EQ(x, 3 << 8);
    dst->SetOrientaionMode(1);
    x = 3 << 8;
    y = 2 << 8;
    SetCoordsAccordingToOrientationModeF(dst.get(), x, y);
    EXPECT_EQ(x, 2 << 8);
    EXPECT_EQ(y, (6 << 8) - (3 << 8) - 256);
    dst->SetOrientaionMode(2);
    x = 3 << 8;
    y = 2 << 8;
    SetCoordsAccordingToOrientationModeF(dst.get(), x, y);
    EXPECT_EQ(x, (10 << 8) - (2 << 8) - 256);
    EXPECT_EQ(y, 3 << 8);
}

TEST_F(RotatorTest, UnturnedUnscaledDrawReproducesTheSourcePerMember) {
    const int W = 8, H = 6, X0 = 5, Y0 = 7;
    const FIXED_FLOAT cx = CentreFor(X0, W), cy = CentreFor(Y0, H);
    auto opaque = MakeBitmap(W, H, Pattern, [](int, int) { return 255; });
    auto noAlpha = MakeBitmap(W, H, Pattern);
    const int tintR = 128, tintG = 255, tintB = 64;
    struct TCase {
        const char* why;
        std::function<void(IDibBitmap*)> draw;
        bool lastColumnAndRow;  // whether the last column and row are reproduced too
        std::function<std::uint16_t(std::uint16_t src, std::uint16_t old)> expect;
    };
    auto same = [](std::uint16_t s, std::uint16_t) { return s; };
    const TCase cases[] = {
        {"lowest (nearest)",
         [&](IDibBitmap* d) { rot.SW565_DrawRotatedBitmapLowest(opaque.get(), d, cx, cy, 0, 0x10000, 0); }, false,
         same},
        {"high (packed filter drops the lowest green bit)",
         [&](IDibBitmap* d) { rot.SW565_DrawRotatedBitmapHigh(opaque.get(), d, cx, cy, 0, 0x10000, 0); }, false,
         [](std::uint16_t s, std::uint16_t) { return static_cast<std::uint16_t>(s & ~0x20); }},
        {"highest", [&](IDibBitmap* d) { rot.SW565_DrawRotatedBitmapHighest(opaque.get(), d, cx, cy, 0, 0x10000, 0); },
         false, same},
        {"highest without alpha",
         [&](IDibBitmap* d) { rot.SW565_DrawRotatedBitmapHighest_NoAlpha(noAlpha.get(), d, cx, cy, 0, 0x10000, 0); },
         true, same},
        {"transparent",
         [&](IDibBitmap* d) {
             rot.SW565_DrawRotatedBitmapTransparentHighest(opaque.get(), d, cx, cy, 0, 0x10000, -5, 0);
         },
         false, same},
        {"multiply",
         [&](IDibBitmap* d) {
             rot.SW565_DrawRotatedBitmapMultiplyHighest(opaque.get(), d, cx, cy, 0, 0x10000, tintR, tintG, tintB, 0, 0);
         },
         false,
         [&](std::uint16_t s, std::uint16_t) {
             return Rgb(R5(s) * tintR >> 8, G6(s) * tintG >> 8, B5(s) * tintB >> 8);
         }},
        {"alpha channel",
         [&](IDibBitmap* d) {
             rot.SW565_DrawRotatedBitmapAlphaChannelHighest(opaque.get(), d, cx, cy, 0, 0x10000, 255, 0, 255, 0, 0);
         },
         false, [](std::uint16_t, std::uint16_t) { return Rgb(31, 0, 31); }},
        {"additive",
         [&](IDibBitmap* d) {
             rot.SW565_DrawRotatedBitmapAdditiveHighest(opaque.get(), d, cx, cy, 0, 0x10000, 255, 255, 255, 0, 0);
         },
         false,
         [](std::uint16_t s, std::uint16_t o) {
             return Rgb(std::min(R5(o) + (R5(s) * 31 >> 5), 31), std::min(G6(o) + (G6(s) * 63 >> 6), 63),
                        std::min(B5(o) + (B5(s) * 31 >> 5), 31));
         }},
        {"additive without alpha (filtered)",
         [&](IDibBitmap* d) {
             rot.SW565_DrawRotatedBitmapAdditiveHighest_NoAlpha(noAlpha.get(), d, cx, cy, 0, 0x10000, 255, 255, 255, 0,
                                                                0);
         },
         false,
         [](std::uint16_t s, std::uint16_t o) {
             return Rgb(std::min(R5(o) + (R5(s) * 31 >> 5), 31), std::min(G6(o) + (G6(s) * 63 >> 6), 63),
                        std::min(B5(o) + (B5(s) * 31 >> 5), 31));
         }},
        {"additive without alpha (nearest)",
         [&](IDibBitmap* d) {
             rot.SW565_DrawRotatedBitmapAdditiveLowest_NoAlpha(noAlpha.get(), d, cx, cy, 0, 0x10000, 255, 255, 255, 0,
                                                               0);
         },
         false,
         [](std::uint16_t s, std::uint16_t o) {
             return Rgb(std::min(R5(o) + (R5(s) * 31 >> 5), 31), std::min(G6(o) + (G6(s) * 63 >> 6), 63),
                        std::min(B5(o) + (B5(s) * 31 >> 5), 31));
         }},
    };
    for (const TCase& c : cases) {
        auto dst = MakeBitmap(kCanvas, kCanvas, Ground);
        const auto before = Snap(dst.get());
        c.draw(dst.get());
        for (int v = 0; v < H; ++v) {
            for (int u = 0; u < W; ++u) {
                const bool edge = u == W - 1 || v == H - 1;
                if (edge && !c.lastColumnAndRow) {
                    continue;
                }
                const int X = X0 + u, Y = Y0 + v;
                EXPECT_EQ(PixelAt(dst.get(), X, Y), c.expect(Pattern(u, v), before[Y * kCanvas + X]))
                    << c.why << " at source " << u << "," << v;
            }
        }
        // Nothing outside the image and the two-pixel margin of its box.
        for (int y = 0; y < kCanvas; ++y) {
            for (int x = 0; x < kCanvas; ++x) {
                if (x < X0 || y < Y0 || x > X0 + W + 1 || y > Y0 + H + 1) {
                    EXPECT_EQ(PixelAt(dst.get(), x, y), before[y * kCanvas + x])
                        << c.why << " outside " << x << "," << y;
                }
            }
        }
    }
}

TEST_F(RotatorTest, QuarterTurnIsClockwise) {
    const int N = 6, X0 = 4, Y0 = 3;
    auto src = MakeBitmap(N, N, Pattern, [](int, int) { return 255; });
    auto dst = MakeBitmap(kCanvas, kCanvas, Ground);
    const auto before = Snap(dst.get());
    rot.SW565_DrawRotatedBitmapLowest(src.get(), dst.get(), CentreFor(X0, N), CentreFor(Y0, N), 23040, 0x10000, 0);
    // Turning the source clockwise by 90 degrees about its centre: the sampled source column is
    // the destination row and the source row counts back from the destination column.
    ExpectCanvas(
        dst.get(), before,
        [&](int x, int y, std::uint16_t old) -> std::uint16_t {
            const int col = y - Y0, row = N - (x - X0);
            if (col < 0 || row < 0 || col >= N - 1 || row >= N - 1) return old;
            return Pattern(col, row);
        },
        "90 degrees");
}

TEST_F(RotatorTest, HorizontalFlagMirrorsWithinTheSourceWidthAndVerticalIsIgnored) {
    const int W = 7, H = 5, X0 = 4, Y0 = 3;
    auto src = MakeBitmap(W, H, Pattern, [](int, int) { return 255; });
    for (const int flags : {int{kFlipHorizontal}, kFlipHorizontal | kFlipVertical}) {
        auto dst = MakeBitmap(kCanvas, kCanvas, Ground);
        const auto before = Snap(dst.get());
        rot.SW565_DrawRotatedBitmapLowest(src.get(), dst.get(), CentreFor(X0, W), CentreFor(Y0, H), 0, 0x10000, flags);
        // u becomes (width << 16) - u: destination column X0 + k reads source column W - k, and
        // nearest sampling keeps columns and rows below the last.
        ExpectCanvas(
            dst.get(), before,
            [&](int x, int y, std::uint16_t old) -> std::uint16_t {
                const int col = W - (x - X0), row = y - Y0;
                if (x < X0 || col < 0 || row < 0 || col >= W - 1 || row >= H - 1) return old;
                return Pattern(col, row);
            },
            flags == kFlipHorizontal ? "mirrored" : "bit 1 is not applied");
    }
}

TEST_F(RotatorTest, SmallScalesDrawASixteenthOrNothing) {
    auto src = MakeBitmap(32, 32, Pattern, [](int, int) { return 255; });
    auto dst = MakeBitmap(kCanvas, kCanvas, Ground);
    const auto before = Snap(dst.get());
    rot.SW565_DrawRotatedBitmapLowest(src.get(), dst.get(), 10 << 8, 10 << 8, 0, 2048, 0);
    EXPECT_EQ(Snap(dst.get()), before);
    rot.SW565_DrawRotatedBitmapLowest(src.get(), dst.get(), 10 << 8, 10 << 8, 0, 4096, 0);
    // One destination pixel spans 16 source pixels: columns 9 and 10 read source columns 0 and
    // 16 (32 would be past the last column but one).
    ExpectCanvas(
        dst.get(), before,
        [&](int x, int y, std::uint16_t old) -> std::uint16_t {
            if (x < 9 || x > 10 || y < 9 || y > 10) return old;
            return Pattern((x - 9) * 16, (y - 9) * 16);
        },
        "sixteenth");
}

TEST_F(RotatorTest, QualityPicksTheMember) {
    auto alpha = MakeBitmap(8, 8, Pattern, [](int x, int y) { return 120 + 16 * ((x + y) % 8); });
    auto opaque = MakeBitmap(8, 8, Pattern);
    const FIXED_FLOAT x = 11 << 8, y = 12 << 8, angle = 30 * 256 + 77;
    auto run = [&](const std::function<void(IDibBitmap*)>& f) {
        auto d = MakeBitmap(kCanvas, kCanvas, Ground);
        f(d.get());
        return Snap(d.get());
    };
    struct TCase {
        int quality;
        IDibBitmap* src;
        std::function<void(IDibBitmap*)> member;
        const char* why;
    };
    const TCase cases[] = {
        {0, alpha.get(),
         [&](IDibBitmap* d) { rot.SW565_DrawRotatedBitmapLowest(alpha.get(), d, x, y, angle, 0x10000, 0); },
         "0 with alpha: nearest"},
        {1, alpha.get(),
         [&](IDibBitmap* d) { rot.SW565_DrawRotatedBitmapHigh(alpha.get(), d, x, y, angle, 0x10000, 0); },
         "1 with alpha: packed filter"},
        {0, opaque.get(),
         [&](IDibBitmap* d) { rot.SW565_DrawRotatedBitmapHighest_NoAlpha(opaque.get(), d, x, y, angle, 0x10000, 0); },
         "0 opaque: still filtered"},
    };
    for (const TCase& c : cases) {
        rot.SetQuality(c.quality);
        const auto viaEntry = run([&](IDibBitmap* d) { rot.DrawRotatedBitmap(c.src, d, x, y, angle, 0x10000, 0); });
        EXPECT_EQ(viaEntry, run(c.member)) << c.why;
    }
    rot.SetQuality(2);
    const auto highest = run([&](IDibBitmap* d) { rot.DrawRotatedBitmap(alpha.get(), d, x, y, angle, 0x10000, 0); });
    rot.SetQuality(0);
    const auto lowest = run([&](IDibBitmap* d) { rot.DrawRotatedBitmap(alpha.get(), d, x, y, angle, 0x10000, 0); });
    EXPECT_NE(highest, lowest) << "quality 2 filters where quality 0 samples";
}

TEST_F(RotatorTest, TransparentMemberOffsetRules) {
    auto src = MakeBitmap(8, 8, Pattern, [](int x, int) { return 30 * x; });
    auto run = [&](IDibBitmap* s, int offset, bool plain) {
        auto d = MakeBitmap(kCanvas, kCanvas, Ground);
        if (plain) {
            rot.SW565_DrawRotatedBitmapHighest(s, d.get(), 12 << 8, 12 << 8, 4000, 0x10000, 0);
        } else {
            rot.SW565_DrawRotatedBitmapTransparentHighest(s, d.get(), 12 << 8, 12 << 8, 4000, 0x10000, offset, 0);
        }
        return Snap(d.get());
    };
    const auto untouched = Snap(MakeBitmap(kCanvas, kCanvas, Ground).get());
    EXPECT_EQ(run(src.get(), 10, false), run(src.get(), 0, true)) << "+10 is the plain draw";
    EXPECT_EQ(run(src.get(), -255, false), untouched) << "below -254 nothing";
    EXPECT_NE(run(src.get(), -60, false), run(src.get(), 0, true)) << "a fade changes pixels";
    auto opaque = MakeBitmap(8, 8, Pattern);
    EXPECT_EQ(run(opaque.get(), -20, false), untouched) << "no alpha plane, nothing";
    EXPECT_EQ(run(opaque.get(), 20, false), untouched) << "no alpha plane, nothing, whatever the offset";
}

TEST_F(RotatorTest, AdditiveWithoutAlphaSkipsBlackAtLowestQuality) {
    auto src = MakeBitmap(6, 6, [](int x, int) { return x % 2 ? Rgb(10, 20, 5) : std::uint16_t{0}; });
    rot.SetQuality(0);
    auto dst = MakeBitmap(kCanvas, kCanvas, Ground);
    const auto before = Snap(dst.get());
    rot.DrawRotatedBitmapAdditive(src.get(), dst.get(), CentreFor(3, 6), CentreFor(3, 6), 0, 0x10000, 255, 255, 255,
                                  -55, 0);
    const int a = 200;
    ExpectCanvas(
        dst.get(), before,
        [&](int x, int y, std::uint16_t old) -> std::uint16_t {
            const int u = x - 3, v = y - 3;
            if (u < 0 || v < 0 || u >= 5 || v >= 5 || u % 2 == 0) return old;
            const int r = (10 * 31 >> 5) * a >> 8, g = (20 * 63 >> 6) * a >> 8, b = (5 * 31 >> 5) * a >> 8;
            return Rgb(std::min(R5(old) + r, 31), std::min(G6(old) + g, 63), std::min(B5(old) + b, 31));
        },
        "additive nearest");
}

TEST_F(RotatorTest, PivotAtTheCentreMatchesThePlainDraw) {
    auto src = MakeBitmap(8, 6, Pattern, [](int x, int y) { return 100 + 20 * ((x * y) % 8); });
    for (FIXED_FLOAT angle : {0, 5000, 23040, 70000}) {
        auto a = MakeBitmap(kCanvas, kCanvas, Ground), b = MakeBitmap(kCanvas, kCanvas, Ground);
        rot.DrawRotatedBitmap(src.get(), a.get(), 12 << 8, 11 << 8, angle, 0x10000, 0);
        rot.DrawRotatedBitmapWithSourceOriginWithBlendMode(src.get(), b.get(), 12 << 8, 11 << 8, angle, 4 << 8, 3 << 8,
                                                           0x10000, 0, 0, 255, 255, 255, 0);
        EXPECT_EQ(Snap(a.get()), Snap(b.get())) << angle;
    }
    auto c = MakeBitmap(kCanvas, kCanvas, Ground);
    const auto before = Snap(c.get());
    rot.DrawRotatedBitmapWithSourceOriginWithBlendMode(src.get(), c.get(), 12 << 8, 11 << 8, 0, 0, 0, 0x10000, 7, 0,
                                                       255, 255, 255, 0);
    EXPECT_EQ(Snap(c.get()), before) << "unknown blend mode draws nothing";
}

namespace {

class CRecordingHardwarePath : public IRotatorHardwarePath {
public:
    bool Draw(const TRotatedDraw& draw) override {
        last = draw;
        ++calls;
        return takes;
    }
    TRotatedDraw last;
    int calls = 0;
    bool takes = true;
};

}  // namespace

TEST_F(RotatorTest, HardwarePathTakesTheDrawsItClaims) {
    CRecordingHardwarePath gl;
    rot.SetHardwarePath(&gl);
    auto src = MakeBitmap(6, 6, Pattern, [](int, int) { return 255; });
    auto dst = MakeBitmap(kCanvas, kCanvas, Ground);
    const auto before = Snap(dst.get());
    rot.DrawRotatedBitmapMultiply(src.get(), dst.get(), 1000, 2000, -23040, 0x8000, 1, 2, 3, -4, 1);
    EXPECT_EQ(gl.calls, 1);
    EXPECT_EQ(gl.last.kind, TRotatedDraw::kMultiply);
    EXPECT_EQ(gl.last.angle, -23040) << "the hardware path gets the angle as given";
    EXPECT_EQ(gl.last.g, 2);
    EXPECT_EQ(Snap(dst.get()), before);
    gl.takes = false;
    rot.DrawRotatedBitmap(src.get(), dst.get(), 12 << 8, 12 << 8, 0, 0x10000, 0);
    EXPECT_EQ(gl.calls, 2);
    EXPECT_NE(Snap(dst.get()), before) << "declined draws run in software";
}

TEST_F(RotatorTest, CreateRotatedBitmapSizesAndFiltersTheCopy) {
    EXPECT_EQ(rot.CreateRotatedBitmap(nullptr, 0, 256), nullptr);
    auto src = MakeBitmap(6, 4, Pattern, [](int x, int y) { return 40 * x + y; });
    EXPECT_EQ(rot.CreateRotatedBitmap(src.get(), 0, 15), nullptr);

    std::unique_ptr<IDibBitmap> same(rot.CreateRotatedBitmap(src.get(), 0, 256));
    ASSERT_NE(same, nullptr);
    ASSERT_EQ(same->m_Width, 6);
    ASSERT_EQ(same->m_Height, 4);
    // At integer positions the nearest pixel weighs 15 sixteenths and the diagonal one the rest.
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            const int x1 = std::min(x + 1, 5), y1 = std::min(y + 1, 3);
            const std::uint16_t p = Pattern(x, y), q = Pattern(x1, y1);
            const std::uint16_t want =
                Rgb((15 * R5(p) + R5(q)) >> 4, (15 * G6(p) + G6(q)) >> 4, (15 * B5(p) + B5(q)) >> 4);
            EXPECT_EQ(PixelAt(same.get(), x, y), want) << x << "," << y;
            EXPECT_EQ(AlphaAt(same.get(), x, y), (15 * (40 * x + y) + (40 * x1 + y1)) >> 4) << x << "," << y;
        }
    }
    std::unique_ptr<IDibBitmap> turned(rot.CreateRotatedBitmap(src.get(), 23040, 512));
    ASSERT_NE(turned, nullptr);
    EXPECT_EQ(turned->m_Width, 8);
    EXPECT_EQ(turned->m_Height, 12);

    auto alphaOnly = MakeBitmap(4, 4, Pattern, [](int, int) { return 255; });
    alphaOnly->DestroyBits();
    std::unique_ptr<IDibBitmap> shape(rot.CreateRotatedBitmap(alphaOnly.get(), 0, 256));
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->GetBits(), nullptr);
    EXPECT_NE(shape->GetAlphaBits(), nullptr);
}
