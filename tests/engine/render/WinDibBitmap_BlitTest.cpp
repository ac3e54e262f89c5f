// Blits of the software bitmap: clipping, the alpha, fast, keyed, additive and tinted rules, the
// draw variants with flips, and stretching. Expected pixels come from the rules written out here.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "SoftBitmapFixtures.h"

using namespace soft_test;

namespace {

constexpr int kDstW = 24, kDstH = 18;

std::uint16_t Background(int x, int y) { return Rgb((x + 2 * y) & 31, (3 * x + y) & 63, (x * y) & 31); }

// Compares every destination pixel with expected(x, y, before).
void ExpectCanvas(IDibBitmap* dst, const std::vector<std::uint16_t>& before,
                  const std::function<std::uint16_t(int, int, std::uint16_t)>& expected, const std::string& why) {
    int mismatches = 0;
    for (int y = 0; y < kDstH; ++y) {
        for (int x = 0; x < kDstW; ++x) {
            const std::uint16_t want = expected(x, y, before[y * kDstW + x]);
            const std::uint16_t got = PixelAt(dst, x, y);
            if (want != got && ++mismatches <= 5) {
                ADD_FAILURE() << why << ": pixel (" << x << ", " << y << ") is " << got << ", expected " << want;
            }
        }
    }
}

std::vector<std::uint16_t> Snapshot(IDibBitmap* dst) {
    std::vector<std::uint16_t> v(kDstW * kDstH);
    for (int y = 0; y < kDstH; ++y) {
        for (int x = 0; x < kDstW; ++x) {
            v[y * kDstW + x] = PixelAt(dst, x, y);
        }
    }
    return v;
}

std::unique_ptr<CWinDibBitmap> Canvas() { return MakeBitmap(kDstW, kDstH, Background); }

// Thresholds are exercised by an alpha that walks through every interesting value.
int AlphaRamp(int x, int y) {
    static const int values[] = {0, 5, 9, 10, 11, 12, 100, 128, 200, 238, 239, 240, 244, 245, 250, 254, 255};
    return values[(x + 3 * y) % 17];
}

// What a blit leaves at a pixel that was `old`, for source pixel s without an alpha plane and
// alpha offset `offset`: a copy down to -10, a blend of weight 255 + offset down to -245, nothing
// below.
std::uint16_t OpaqueBlitRule(std::uint16_t old, std::uint16_t s, int offset) {
    if (offset >= -10) return s;
    if (offset >= -245) return RefBlend(old, s, 255 + offset);
    return old;
}

// The same for a source pixel with alpha sa: without an offset the packed blend between the
// thresholds 10 and 239; with one, the exact blend of sa + offset up to 244; below -255 nothing.
std::uint16_t AlphaBlitRule(std::uint16_t old, std::uint16_t s, int sa, int offset) {
    if (offset < -255) return old;
    if (offset == 0) {
        if (sa > 239) return s;
        if (sa <= 10) return old;
        return RefPackedBlend(old, s, static_cast<unsigned>(sa));
    }
    const int a = sa + offset;
    if (sa <= 10 || a <= 10) return old;
    return a < 245 ? RefBlend(old, s, a) : s;
}

}  // namespace

struct TClipCase {
    int x, y, w, h, sx, sy;
    const char* why;
};

class BitBltClipping : public ::testing::TestWithParam<TClipCase> {};

TEST_P(BitBltClipping, OpaqueCopyLandsWhereTheSourceRectangleSaysAndNowhereElse) {
    const TClipCase c = GetParam();
    auto src = MakeBitmap(12, 10, Pattern);
    auto dst = Canvas();
    const auto before = Snapshot(dst.get());
    src->BitBlt(dst.get(), c.x, c.y, c.w, c.h, c.sx, c.sy, 0);
    const int w = c.w == 0 ? 12 : c.w, h = c.h == 0 ? 10 : c.h;
    ExpectCanvas(
        dst.get(), before,
        [&](int X, int Y, std::uint16_t old) -> std::uint16_t {
            const int u = X - c.x + c.sx, v = Y - c.y + c.sy;
            const bool inRect = u >= std::max(c.sx, 0) && u < c.sx + w && v >= std::max(c.sy, 0) && v < c.sy + h;
            const bool inSource = u >= 0 && u < 12 && v >= 0 && v < 10;
            return inRect && inSource ? Pattern(u, v) : old;
        },
        c.why);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, BitBltClipping,
    ::testing::Values(TClipCase{3, 4, 0, 0, 0, 0, "inside"},
                      TClipCase{-10, -8, 0, 0, 0, 0, "top-left corner shows the bottom-right part"},
                      TClipCase{-4, 5, 0, 0, 0, 0, "left edge"}, TClipCase{5, -3, 0, 0, 0, 0, "top edge"},
                      TClipCase{kDstW - 5, 2, 0, 0, 0, 0, "right edge"},
                      TClipCase{2, kDstH - 4, 0, 0, 0, 0, "bottom edge"},
                      TClipCase{kDstW - 3, kDstH - 2, 0, 0, 0, 0, "bottom-right corner"},
                      TClipCase{kDstW, 0, 0, 0, 0, 0, "wholly right"}, TClipCase{0, -10, 0, 0, 0, 0, "wholly above"},
                      TClipCase{-12, 0, 0, 0, 0, 0, "wholly left"}, TClipCase{1, 1, 5, 4, 3, 2, "source rectangle"},
                      TClipCase{1, 1, 8, 8, 7, 6, "source rectangle cut to the stored size"},
                      TClipCase{4, 4, 6, 6, -3, -2, "negative source start moves the picture along"},
                      TClipCase{-2, -2, 5, 5, 9, 8, "both cuts at once"},
                      TClipCase{0, 0, 0, 0, 12, 0, "source start beyond the source"}));

TEST(BitBlt, OpaqueSourceOffsetsCopyBlendOrVanish) {
    struct TCase {
        int offset;
        int blendWith;  // 0 = copy, -1 = nothing, else the weight
        const char* why;
    };
    const TCase cases[] = {{0, 0, "fast copy"},
                           {-5, 0, "small fade still copies"},
                           {-10, 0, "last copying offset"},
                           {-11, 244, "first blending offset"},
                           {-128, 127, "half"},
                           {-245, 10, "weakest blend"},
                           {-246, -1, "too faint"},
                           {-250, -1, "too faint"},
                           {-255, -1, "hidden"},
                           {-256, -1, "below hidden draws nothing"}};
    for (const TCase& c : cases) {
        auto src = MakeBitmap(12, 10, Pattern);
        auto dst = Canvas();
        const auto before = Snapshot(dst.get());
        src->BitBlt(dst.get(), 2, 3, 0, 0, 0, 0, c.offset);
        ExpectCanvas(
            dst.get(), before,
            [&](int X, int Y, std::uint16_t old) -> std::uint16_t {
                const int u = X - 2, v = Y - 3;
                if (u < 0 || v < 0 || u >= 12 || v >= 10) return old;
                EXPECT_EQ(OpaqueBlitRule(old, Pattern(u, v), c.offset), c.blendWith < 0 ? old
                                                                        : c.blendWith == 0
                                                                            ? Pattern(u, v)
                                                                            : RefBlend(old, Pattern(u, v), c.blendWith))
                    << "the rule agrees with the table";
                return OpaqueBlitRule(old, Pattern(u, v), c.offset);
            },
            c.why);
    }
}

TEST(BitBlt, AlphaPlaneThresholdsPerOffset) {
    for (int offset : {0, -1, -40, -200, 30, -255, -256}) {
        auto src = MakeBitmap(12, 10, Pattern, AlphaRamp);
        auto dst = Canvas();
        const auto before = Snapshot(dst.get());
        src->BitBlt(dst.get(), 5, 4, 0, 0, 0, 0, offset);
        ExpectCanvas(
            dst.get(), before,
            [&](int X, int Y, std::uint16_t old) -> std::uint16_t {
                const int u = X - 5, v = Y - 4;
                if (u < 0 || v < 0 || u >= 12 || v >= 10) return old;
                return AlphaBlitRule(old, Pattern(u, v), AlphaRamp(u, v), offset);
            },
            "offset " + std::to_string(offset));
    }
}

// A frame of a sprite sheet is a source rectangle away from (0, 0): it must blend its own pixels
// with its own alpha, however it is faded.
TEST(BitBlt, SpriteSheetFramesBlendTheirOwnPixelsAndAlpha) {
    struct TFrame {
        int sx, sy, w, h;
        const char* why;
    };
    const TFrame frames[] = {{4, 3, 5, 4, "a frame inside the sheet"},
                             {8, 6, 6, 6, "a frame cut by the sheet's edges"},
                             {1, 5, 11, 5, "a frame of the bottom row, x and y apart"}};
    for (const bool withAlpha : {false, true}) {
        for (const int offset : {0, -40, -200}) {
            for (const TFrame& f : frames) {
                auto src = withAlpha ? MakeBitmap(12, 10, Pattern, AlphaRamp) : MakeBitmap(12, 10, Pattern);
                auto dst = Canvas();
                const auto before = Snapshot(dst.get());
                src->BitBlt(dst.get(), 6, 5, f.w, f.h, f.sx, f.sy, offset);
                ExpectCanvas(
                    dst.get(), before,
                    [&](int X, int Y, std::uint16_t old) -> std::uint16_t {
                        const int u = X - 6 + f.sx, v = Y - 5 + f.sy;
                        const bool inFrame = u >= f.sx && u < f.sx + f.w && v >= f.sy && v < f.sy + f.h;
                        if (!inFrame || u >= 12 || v >= 10) return old;
                        return withAlpha ? AlphaBlitRule(old, Pattern(u, v), AlphaRamp(u, v), offset)
                                         : OpaqueBlitRule(old, Pattern(u, v), offset);
                    },
                    std::string(f.why) + (withAlpha ? ", alpha" : ", opaque") + ", offset " + std::to_string(offset));
            }
        }
    }
}

// The engine's packed blend itself, on single pixels worked out by hand from the packed form:
// red and blue in one word (red at bit 16), green alone, each d + (a x (s - d)) >> 8 unsigned.
TEST(BitBlt, PackedBlendOfSinglePixelsMatchesHandWorkedValues) {
    struct TCase {
        std::uint16_t dst, src;
        int alpha;
        std::uint16_t expected;
        const char* why;
    };
    const TCase cases[] = {
        // rb: (10 << 16 | 5) + 128 x (0xA0000 - 5) >> 8 = 0xF0002; g: 640 + 128 x 640 >> 8 = 960
        {Rgb(10, 20, 5), Rgb(20, 40, 0), 128, Rgb(15, 30, 2), "half way, blue borrowing from red"},
        // rb: 0x1F001F + (11 x (2^32 - 0x1F001F) mod 2^32) >> 8 = 0x11DAB1D -> red 29, blue 29;
        // g: 2016 + (11 x (2^32 - 2016) mod 2^32) >> 8 = 16779145 -> 60
        {Rgb(31, 63, 31), Rgb(0, 0, 0), 11, Rgb(29, 60, 29), "weakest blend towards black"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        auto src = MakeBitmap(
            1, 1, [&](int, int) { return c.src; }, [&](int, int) { return c.alpha; });
        auto dst = MakeBitmap(1, 1, [&](int, int) { return c.dst; });
        src->BitBlt(dst.get(), 0, 0, 0, 0, 0, 0, 0);
        EXPECT_EQ(PixelAt(dst.get(), 0, 0), c.expected);
        EXPECT_EQ(RefPackedBlend(c.dst, c.src, static_cast<unsigned>(c.alpha)), c.expected) << "the reference agrees";
    }
}

// The blue difference borrows from red inside the packed word, but the shift drops the borrow:
// the packed rule gives the per-field blend for every alpha, which lets the blits share one
// row kernel.
TEST(BitBlt, PackedBlendEqualsThePerFieldBlendForEveryAlpha) {
    for (int s = 0; s < 65536; s += 251) {
        for (int d = 0; d < 65536; d += 257) {
            for (unsigned a = 0; a < 256; ++a) {
                ASSERT_EQ(RefPackedBlend(static_cast<std::uint16_t>(d), static_cast<std::uint16_t>(s), a),
                          RefBlend(static_cast<std::uint16_t>(d), static_cast<std::uint16_t>(s), static_cast<int>(a)))
                    << "d " << d << " s " << s << " a " << a;
            }
        }
    }
}

TEST(BitBlt, ColourKeyedSourceSkipsTheKeyAndFadesTheRest) {
    const std::uint16_t key = PackRGB565(255, 0, 255);
    for (int offset : {0, -100, -244, -245}) {
        auto src = MakeBitmap(12, 10, Pattern, [](int x, int y) { return (x + y) % 3 == 0 ? 0 : 255; });
        src->ReplaceAlphaWithTransparentColor();
        ASSERT_EQ(src->GetAlphaBits(), nullptr);
        ASSERT_FALSE(src->IsAlphaExternal());
        ASSERT_TRUE(src->IsColorKeyed());
        ASSERT_EQ(PixelAt(src.get(), 0, 0), key);
        auto dst = Canvas();
        const auto before = Snapshot(dst.get());
        src->BitBlt(dst.get(), 1, 2, 0, 0, 0, 0, offset);
        ExpectCanvas(
            dst.get(), before,
            [&](int X, int Y, std::uint16_t old) -> std::uint16_t {
                const int u = X - 1, v = Y - 2;
                if (u < 0 || v < 0 || u >= 12 || v >= 10 || (u + v) % 3 == 0) {
                    return old;
                }
                const int a = 255 + offset;
                if (offset == 0) return Pattern(u, v);
                if (a < 11) return old;
                return a < 245 ? RefBlend(old, Pattern(u, v), a) : Pattern(u, v);
            },
            "keyed offset " + std::to_string(offset));
    }
}

TEST(BitBltAdditive, AddsTheWeightedSourceWithSaturation) {
    for (int offset : {0, -60, 20}) {
        auto src = MakeBitmap(12, 10, Pattern, AlphaRamp);
        auto dst = Canvas();
        const auto before = Snapshot(dst.get());
        src->BitBltAdditive(dst.get(), -3, 2, 0, 0, 0, 0, offset);
        ExpectCanvas(
            dst.get(), before,
            [&](int X, int Y, std::uint16_t old) -> std::uint16_t {
                const int u = X + 3, v = Y - 2;
                if (u < 0 || v < 0 || u >= 12 || v >= 10) return old;
                const int sa = AlphaRamp(u, v), a = sa + offset;
                if (sa <= 10 || a <= 10) return old;
                const std::uint16_t s = Pattern(u, v);
                int r = R5(s), g = G6(s), b = B5(s);
                if (a < 245) {
                    r = r * a >> 8;
                    g = g * a >> 8;
                    b = b * a >> 8;
                }
                return Rgb(std::min(R5(old) + r, 31), std::min(G6(old) + g, 63), std::min(B5(old) + b, 31));
            },
            "additive offset " + std::to_string(offset));
    }
}

TEST(BitBltAdditive, NeedsAnAlphaPlane) {
    auto src = MakeBitmap(12, 10, Pattern);
    auto dst = Canvas();
    const auto before = Snapshot(dst.get());
    src->BitBltAdditive(dst.get(), 0, 0, 0, 0, 0, 0, 0);
    ExpectCanvas(
        dst.get(), before, [](int, int, std::uint16_t old) { return old; }, "no alpha");
}

TEST(BitBltMultiply, TintsEachChannelThenBlends) {
    const int tr = 128, tg = 64, tb = 250;
    auto tint = [&](std::uint16_t s) {
        return Rgb(R5(s) * (tr >> 3) >> 5, G6(s) * (tg >> 2) >> 6, B5(s) * (tb >> 3) >> 5);
    };
    struct TCase {
        bool alpha;
        int offset;
        const char* why;
    };
    for (const TCase c : {TCase{false, 0, "opaque source writes the tint"},
                          TCase{false, -20, "opaque source with an offset draws nothing"},
                          TCase{true, 0, "alpha blends with no copy threshold"},
                          TCase{true, -30, "offset blends with the effective alpha"}}) {
        auto src = c.alpha ? MakeBitmap(12, 10, Pattern, AlphaRamp) : MakeBitmap(12, 10, Pattern);
        auto dst = Canvas();
        const auto before = Snapshot(dst.get());
        src->BitBltMultiply(dst.get(), tr, tg, tb, 4, 4, 0, 0, 0, 0, c.offset);
        ExpectCanvas(
            dst.get(), before,
            [&](int X, int Y, std::uint16_t old) -> std::uint16_t {
                const int u = X - 4, v = Y - 4;
                if (u < 0 || v < 0 || u >= 12 || v >= 10) return old;
                if (!c.alpha) return c.offset == 0 ? tint(Pattern(u, v)) : old;
                const int sa = AlphaRamp(u, v), a = sa + c.offset;
                if (sa <= 10 || a <= 10) return old;
                return RefBlend(old, tint(Pattern(u, v)), a);
            },
            c.why);
    }
}

TEST(BitBltMultiply, WhiteTintIsExactlyBitBltAndKeyingStopsOtherTints) {
    auto keyed = MakeBitmap(12, 10, Pattern, [](int x, int) { return x < 6 ? 0 : 255; });
    keyed->ReplaceAlphaWithTransparentColor();
    auto a = Canvas(), b = Canvas();
    keyed->BitBlt(a.get(), 2, 2, 0, 0, 0, 0, -40);
    keyed->BitBltMultiply(b.get(), 255, 255, 255, 2, 2, 0, 0, 0, 0, -40);
    EXPECT_EQ(Snapshot(a.get()), Snapshot(b.get()));

    auto c = Canvas();
    const auto before = Snapshot(c.get());
    keyed->BitBltMultiply(c.get(), 200, 255, 255, 2, 2, 0, 0, 0, 0, 0);
    EXPECT_EQ(Snapshot(c.get()), before);

    auto plain = MakeBitmap(12, 10, Pattern, AlphaRamp);
    auto d = Canvas(), e = Canvas();
    plain->BitBlt(d.get(), -1, 3, 7, 5, 2, 1, 0);
    plain->BitBltMultiply(e.get(), 255, 255, 255, -1, 3, 7, 5, 2, 1, 0);
    EXPECT_EQ(Snapshot(d.get()), Snapshot(e.get()));
}

TEST(Draw, IgnoresFlipsAndIsTheBlit) {
    auto src = MakeBitmap(12, 10, Pattern, AlphaRamp);
    auto a = Canvas(), b = Canvas();
    src->Draw(a.get(), 3, -2, 0, 0, kFlipHorizontal | kFlipVertical, -20);
    src->BitBlt(b.get(), 3, -2, 0, 0, 0, 0, -20);
    EXPECT_EQ(Snapshot(a.get()), Snapshot(b.get()));
}

TEST(DrawOpaque, AppliesTheFlipsWithAndWithoutAlpha) {
    for (bool withAlpha : {false, true}) {
        for (int flags = 0; flags < 4; ++flags) {
            auto src = withAlpha ? MakeBitmap(12, 10, Pattern, AlphaRamp) : MakeBitmap(12, 10, Pattern);
            auto dst = Canvas();
            const auto before = Snapshot(dst.get());
            src->DrawOpaque(dst.get(), -2, 5, 0, 0, flags);
            ExpectCanvas(
                dst.get(), before,
                [&](int X, int Y, std::uint16_t old) -> std::uint16_t {
                    int u = X + 2, v = Y - 5;
                    if (u < 0 || v < 0 || u >= 12 || v >= 10) return old;
                    if (flags & kFlipHorizontal) u = 11 - u;
                    if (flags & kFlipVertical) v = 9 - v;
                    if (!withAlpha) return Pattern(u, v);
                    const int a = AlphaRamp(u, v);
                    if (a == 0) return old;
                    return a < 255 ? RefBlend(old, Pattern(u, v), a) : Pattern(u, v);
                },
                "flags " + std::to_string(flags) + (withAlpha ? " alpha" : " opaque"));
        }
    }
}

TEST(DrawOpaque, TurnedBitmapMirrorsAlongTheOtherStoredAxis) {
    // Mode 1 stores the image turned, so a horizontal mirror on screen is a vertical mirror of
    // the stored rows.
    auto src = MakeBitmap(6, 4, Pattern);  // stored 6 x 4 before turning is set
    src->SetOrientaionMode(1);
    src->UpdateWidthAndHeight();  // seen 4 x 6, stored 6 columns x 4 rows
    auto dst = Canvas();
    dst->SetOrientaionMode(1);
    dst->UpdateWidthAndHeight();
    const auto before = Snapshot(dst.get());
    const int x = 3, y = 2;
    src->DrawOpaque(dst.get(), x, y, 0, 0, kFlipHorizontal);
    const int sx = y, sy = kDstH - src->m_Width - x;  // stored anchor
    ExpectCanvas(
        dst.get(), before,
        [&](int X, int Y, std::uint16_t old) -> std::uint16_t {
            const int u = X - sx, v = Y - sy;
            if (u < 0 || v < 0 || u >= 6 || v >= 4) return old;
            return Pattern(u, 3 - v);
        },
        "mode 1 flip");
}

TEST(FastDraw, SkipsBelowTenBlendsToTwoFortyFourCopiesAbove) {
    auto src = MakeBitmap(12, 10, Pattern, AlphaRamp);
    auto dst = Canvas();
    const auto before = Snapshot(dst.get());
    src->FastDraw(dst.get(), 6, 7);
    ExpectCanvas(
        dst.get(), before,
        [&](int X, int Y, std::uint16_t old) -> std::uint16_t {
            const int u = X - 6, v = Y - 7;
            if (u < 0 || v < 0 || u >= 12 || v >= 10) return old;
            const int a = AlphaRamp(u, v);
            if (a <= 9) return old;
            return a <= 244 ? RefBlend(old, Pattern(u, v), a) : Pattern(u, v);
        },
        "fast draw");
}

TEST(StretchDraw, DoublingRepeatsEveryColumnAndRow) {
    auto src = MakeBitmap(10, 5, Pattern);
    auto dst = Canvas();
    const auto before = Snapshot(dst.get());
    src->StretchDraw(dst.get(), 1, 2, 20, 10, 0, 0, 0, 0, 0, 0);
    ExpectCanvas(
        dst.get(), before,
        [&](int X, int Y, std::uint16_t old) -> std::uint16_t {
            const int u = X - 1, v = Y - 2;
            if (u < 0 || v < 0 || u >= 20 || v >= 10) return old;
            return Pattern(u / 2, v / 2);
        },
        "x2");
}

TEST(StretchDraw, MirrorsInsideTheSourceRectangleAndCutsItToTheStoredSize) {
    auto src = MakeBitmap(10, 5, Pattern, [](int, int) { return 255; });
    auto dst = Canvas();
    const auto before = Snapshot(dst.get());
    // Columns 2..5, rows 1..3, mirrored both ways, drawn 1:1.
    src->StretchDraw(dst.get(), 0, 0, 4, 3, 2, 1, 4, 3, kFlipHorizontal | kFlipVertical, 0);
    ExpectCanvas(
        dst.get(), before,
        [&](int X, int Y, std::uint16_t old) -> std::uint16_t {
            if (X >= 4 || Y >= 3) return old;
            return Pattern(2 + 3 - X, 1 + 2 - Y);
        },
        "mirror in rectangle");

    // A source rectangle reaching past the image reads only what is stored.
    auto dst2 = Canvas();
    const auto before2 = Snapshot(dst2.get());
    src->StretchDraw(dst2.get(), 0, 0, 2, 5, 8, 0, 6, 5, 0, 0);
    ExpectCanvas(
        dst2.get(), before2,
        [&](int X, int Y, std::uint16_t old) -> std::uint16_t {
            if (X >= 2 || Y >= 5) return old;
            return Pattern(8 + X, Y);
        },
        "cut source");
}

TEST(StretchDraw, AlphaOffsetBlendsWithSeparatelyRoundedProducts) {
    auto src = MakeBitmap(4, 4, Pattern, AlphaRamp);
    auto dst = Canvas();
    const auto before = Snapshot(dst.get());
    src->StretchDraw(dst.get(), 0, 0, 4, 4, 0, 0, 4, 4, 0, -30);
    ExpectCanvas(
        dst.get(), before,
        [&](int X, int Y, std::uint16_t old) -> std::uint16_t {
            if (X >= 4 || Y >= 4) return old;
            const int sa = AlphaRamp(X, Y), a = sa - 30;
            if (sa == 0 || a <= 0) return old;
            const std::uint16_t s = Pattern(X, Y);
            if (a > 254) return s;
            auto ch = [a](int d, int sc) { return d + (sc * a >> 8) - (d * a >> 8); };
            return Rgb(ch(R5(old), R5(s)), ch(G6(old), G6(s)), ch(B5(old), B5(s)));
        },
        "stretch offset");
}

// A stretch samples the source rectangle cut to what is stored: a negative start shortens it and
// starts at 0, and a rectangle running past the last row or column ends there. Each destination
// pixel takes the colour and the alpha of one source pixel, floor(i * source length / drawn
// length) along each axis (mirrored inside the rectangle by the flags).
struct TStretchCutCase {
    int x, y, dw, dh, sx, sy, sw, sh, flags;
    // The source rectangle as it is after the cut.
    int cutSx, cutSy, cutSw, cutSh;
    const char* why;
};
void PrintTo(const TStretchCutCase& c, std::ostream* os) { *os << c.why; }

class StretchCut : public ::testing::TestWithParam<TStretchCutCase> {};

TEST_P(StretchCut, EachPixelTakesColourAndAlphaOfItsSourcePixel) {
    const TStretchCutCase c = GetParam();
    constexpr int kSrcW = 10, kSrcH = 5;
    auto src = MakeBitmap(kSrcW, kSrcH, Pattern, AlphaRamp);
    auto dst = Canvas();
    const auto before = Snapshot(dst.get());
    src->StretchDraw(dst.get(), c.x, c.y, c.dw, c.dh, c.sx, c.sy, c.sw, c.sh, c.flags, 0);
    ExpectCanvas(
        dst.get(), before,
        [&](int X, int Y, std::uint16_t old) -> std::uint16_t {
            const int i = X - c.x, j = Y - c.y;
            if (i < 0 || j < 0 || i >= c.dw || j >= c.dh) return old;
            int u = i * c.cutSw / c.dw, v = j * c.cutSh / c.dh;
            if (c.flags & kFlipHorizontal) u = c.cutSw - 1 - u;
            if (c.flags & kFlipVertical) v = c.cutSh - 1 - v;
            u += c.cutSx;
            v += c.cutSy;
            const int a = AlphaRamp(u, v);
            const std::uint16_t s = Pattern(u, v);
            if (a == 0) return old;
            if (a > 254) return s;
            auto ch = [a](int d, int sc) { return d + (sc * a >> 8) - (d * a >> 8); };
            return Rgb(ch(R5(old), R5(s)), ch(G6(old), G6(s)), ch(B5(old), B5(s)));
        },
        c.why);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StretchCut,
    ::testing::Values(TStretchCutCase{1, 2, 20, 10, 0, 0, 0, 0, 0, 0, 0, 10, 5,
                                      "doubled: the alpha plane doubles with the colours"},
                      TStretchCutCase{3, 1, 5, 2, 0, 1, 10, 4, kFlipHorizontal | kFlipVertical, 0, 1, 10, 4,
                                      "halved and mirrored: alpha of every other column, from the far end"},
                      TStretchCutCase{0, 0, 10, 4, 0, 3, 10, 5, 0, 0, 3, 10, 2, "height cut at the last source row"},
                      TStretchCutCase{0, 0, 4, 6, 7, 0, 6, 3, 0, 7, 0, 3, 3, "width cut at the last source column"},
                      TStretchCutCase{2, 3, 8, 4, -2, 0, 6, 5, 0, 0, 0, 4, 5, "a negative source x shortens the width"},
                      TStretchCutCase{2, 3, 10, 4, 0, -1, 10, 3, kFlipVertical, 0, 0, 10, 2,
                                      "a negative source y shortens the height"}));
