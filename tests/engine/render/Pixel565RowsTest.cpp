// The row forms of the software bitmap's blits and stretch, through the public draws: every
// alpha value and offset they cover gives the pixels of the per-pixel rules written out here
// (the references of SoftBitmapFixtures.h), in every orientation mode; and the stretch's exact
// source mapping.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "SoftBitmapFixtures.h"

using namespace soft_test;

namespace {

// 259 columns: every alpha 0..255 once per row, plus a few so each row ends in a part group.
constexpr int kW = 259, kH = 3;

std::uint16_t Source(int x, int y) { return static_cast<std::uint16_t>((x * 40503u + y * 9973u + 12345u) >> 1); }
std::uint16_t Ground(int x, int y) { return static_cast<std::uint16_t>(x * 7919u + y * 104729u + 777u); }
// Each row walks through all 256 alpha values from another start.
int AllAlphas(int x, int y) { return (x + 85 * y) & 255; }

// The per-pixel rule of a draw: the pixel drawn over `old` by source s of source alpha sa.
using TRule = std::function<std::uint16_t(std::uint16_t old, std::uint16_t s, int sa)>;

struct TPathCase {
    const char* why;
    bool withAlpha;
    std::function<void(CWinDibBitmap& src, CWinDibBitmap& dst)> draw;
    TRule rule;
};

// Skip at or below `skip`, copy from `copy`, else the exact per-field blend with e = sa + offset.
TRule Thresholds(int offset, int skip, int copy) {
    return [=](std::uint16_t old, std::uint16_t s, int sa) -> std::uint16_t {
        const int e = sa + offset;
        if (sa <= skip || e <= skip) return old;
        return e >= copy ? s : RefBlend(old, s, e);
    };
}

std::uint16_t StretchBlend(std::uint16_t d, std::uint16_t s, int a) {
    auto ch = [a](int dc, int sc) { return dc + (sc * a >> 8) - (dc * a >> 8); };
    return Rgb(ch(R5(d), R5(s)), ch(G6(d), G6(s)), ch(B5(d), B5(s)));
}

std::vector<TPathCase> PathCases() {
    std::vector<TPathCase> cases;
    cases.push_back({"alpha blit, offset 0: skip to 10, packed blend, copy from 240", true,
                     [](CWinDibBitmap& s, CWinDibBitmap& d) { s.BitBlt(&d, 0, 0, 0, 0, 0, 0, 0); },
                     [](std::uint16_t old, std::uint16_t s, int sa) -> std::uint16_t {
                         if (sa > 239) return s;
                         if (sa <= 10) return old;
                         return RefPackedBlend(old, s, static_cast<unsigned>(sa));
                     }});
    for (int offset : {-1, -40, -200, -254, 9, 30, 300}) {
        cases.push_back({"alpha blit with an offset", true,
                         [offset](CWinDibBitmap& s, CWinDibBitmap& d) { s.BitBlt(&d, 0, 0, 0, 0, 0, 0, offset); },
                         Thresholds(offset, 10, 245)});
    }
    // Without an alpha plane every offset below -10 blends with one weight, 10 .. 244.
    for (int offset = -245; offset <= -11; ++offset) {
        cases.push_back({"opaque blit faded", false,
                         [offset](CWinDibBitmap& s, CWinDibBitmap& d) { s.BitBlt(&d, 0, 0, 0, 0, 0, 0, offset); },
                         [offset](std::uint16_t old, std::uint16_t s, int) {
                             return 255 + offset <= 9 ? old : RefBlend(old, s, 255 + offset);
                         }});
    }
    cases.push_back({"fast draw: skip to 9, copy from 245", true,
                     [](CWinDibBitmap& s, CWinDibBitmap& d) { s.FastDraw(&d, 0, 0); }, Thresholds(0, 9, 245)});
    cases.push_back({"opaque draw: skip 0, copy 255", true,
                     [](CWinDibBitmap& s, CWinDibBitmap& d) { s.DrawOpaque(&d, 0, 0, 0, 0, 0); },
                     Thresholds(0, 0, 255)});
    for (int offset : {0, -1, -100, -254, 40}) {
        cases.push_back(
            {"one-to-one stretch: separately rounded products", true,
             [offset](CWinDibBitmap& s, CWinDibBitmap& d) { s.StretchDraw(&d, 0, 0, kW, kH, 0, 0, kW, kH, 0, offset); },
             [offset](std::uint16_t old, std::uint16_t s, int sa) -> std::uint16_t {
                 const int e = sa + offset;
                 if (sa == 0 || e <= 0) return old;
                 return e > 254 ? s : StretchBlend(old, s, e);
             }});
    }
    for (int offset : {0, -1, -30, -128, -244}) {
        cases.push_back(
            {"opaque stretch faded", false,
             [offset](CWinDibBitmap& s, CWinDibBitmap& d) { s.StretchDraw(&d, 0, 0, kW, kH, 0, 0, kW, kH, 0, offset); },
             [offset](std::uint16_t old, std::uint16_t s, int) {
                 const int e = 255 + offset;
                 return e > 254 ? s : StretchBlend(old, s, e);
             }});
    }
    return cases;
}

TEST(BlitRows, EveryAlphaValueGivesThePerPixelRule) {
    for (const TPathCase& c : PathCases()) {
        auto src = c.withAlpha ? MakeBitmap(kW, kH, Source, AllAlphas) : MakeBitmap(kW, kH, Source);
        auto dst = MakeBitmap(kW + 5, kH, Ground);
        c.draw(*src, *dst);
        int bad = 0;
        for (int y = 0; y < kH; ++y) {
            for (int x = 0; x < kW + 5; ++x) {
                const std::uint16_t want = x < kW ? c.rule(Ground(x, y), Source(x, y), AllAlphas(x, y)) : Ground(x, y);
                if (PixelAt(dst.get(), x, y) != want && ++bad <= 3) {
                    ADD_FAILURE() << c.why << ": (" << x << ", " << y << ") alpha " << AllAlphas(x, y) << " is "
                                  << PixelAt(dst.get(), x, y) << ", expected " << want;
                }
            }
        }
    }
}

TEST(BlitRows, ColourKeySkipsTheKeyAndCopiesOrFadesTheRest) {
    const std::uint16_t key = PackRGB565(255, 0, 255);
    auto keyedAt = [](int x, int y) { return (x * 5 + y) % 7 == 3; };
    for (int offset = -245; offset <= 0; ++offset) {
        auto src = MakeBitmap(kW, kH, Source, [&](int x, int y) { return keyedAt(x, y) ? 0 : 255; });
        src->ReplaceAlphaWithTransparentColor();
        auto dst = MakeBitmap(kW, kH, Ground);
        src->BitBlt(dst.get(), 0, 0, 0, 0, 0, 0, offset);
        const int a = 255 + offset;
        for (int y = 0; y < kH; ++y) {
            for (int x = 0; x < kW; ++x) {
                std::uint16_t want = Source(x, y);
                if (keyedAt(x, y) || want == key || (offset != 0 && a < 11)) {
                    want = Ground(x, y);
                } else if (offset != 0 && a < 245) {
                    want = RefBlend(Ground(x, y), want, a);
                }
                ASSERT_EQ(PixelAt(dst.get(), x, y), want) << "offset " << offset << " at (" << x << ", " << y << ")";
            }
        }
    }
}

// A bitmap seen as w x h, stored turned by its orientation mode.
std::unique_ptr<CWinDibBitmap> MakeSeen(int mode, int w, int h, const std::function<std::uint16_t(int, int)>& pixel,
                                        const std::function<int(int, int)>& alpha) {
    const bool turned = mode != 0;
    const int sw = turned ? h : w, sh = turned ? w : h;
    // Stored (column, row) of seen (x, y), as the orientation modes define it.
    auto storedAt = [&](int x, int y) {
        if (mode == 1) return std::pair{y, sh - 1 - x};
        if (mode == 2) return std::pair{sw - 1 - y, x};
        return std::pair{x, y};
    };
    auto bmp = std::make_unique<CWinDibBitmap>(nullptr);
    bmp->SetOrientaionMode(mode);
    auto* px = static_cast<std::uint16_t*>(std::malloc(sizeof(std::uint16_t) * w * h));
    auto* al = static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(w) * h));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const auto [c, r] = storedAt(x, y);
            px[r * sw + c] = pixel(x, y);
            al[r * sw + c] = static_cast<unsigned char>(alpha ? alpha(x, y) : 255);
        }
    }
    // SetBits takes the seen size and stores it turned.
    bmp->SetBits(reinterpret_cast<unsigned char*>(px), w, h);
    if (alpha) {
        bmp->SetAlphaBits(al, w, h);
    } else {
        std::free(al);
    }
    return bmp;
}

std::uint16_t SeenPixel(CWinDibBitmap& b, int mode, int x, int y) {
    const int sw = b.GetStoredWidth(), sh = b.GetStoredHeight();
    if (mode == 1) return PixelAt(&b, y, sh - 1 - x);
    if (mode == 2) return PixelAt(&b, sw - 1 - y, x);
    return PixelAt(&b, x, y);
}

// (The stretch is left out: it passes its sizes on unturned and samples from the stored corner, so
// a turned stretch is a different picture by design.)
TEST(BlitRows, TurnedBitmapsShowTheSamePicture) {
    constexpr int kSeenW = 40, kSeenH = 26, kCanvasW = 64, kCanvasH = 48;
    auto small = [](int x, int y) { return Source(x * 3, y * 5); };
    auto alpha = [](int x, int y) { return (x * 9 + y * 31) & 255; };
    const std::vector<std::pair<const char*, std::function<void(CWinDibBitmap&, CWinDibBitmap&)>>> draws = {
        {"alpha blit offset 0", [](CWinDibBitmap& s, CWinDibBitmap& d) { s.BitBlt(&d, 7, 5, 0, 0, 0, 0, 0); }},
        {"alpha blit offset -40", [](CWinDibBitmap& s, CWinDibBitmap& d) { s.BitBlt(&d, 7, 5, 0, 0, 0, 0, -40); }},
        {"fast draw", [](CWinDibBitmap& s, CWinDibBitmap& d) { s.FastDraw(&d, 3, 9); }},
        {"alpha blit offset -100, cut on the left",
         [](CWinDibBitmap& s, CWinDibBitmap& d) { s.BitBlt(&d, -3, 4, 0, 0, 0, 0, -100); }},
    };
    for (const auto& [why, draw] : draws) {
        std::vector<std::uint16_t> seen[3];
        for (int mode = 0; mode < 3; ++mode) {
            auto src = MakeSeen(mode, kSeenW, kSeenH, small, alpha);
            auto dst = MakeSeen(mode, kCanvasW, kCanvasH, Ground, nullptr);
            draw(*src, *dst);
            for (int y = 0; y < kCanvasH; ++y) {
                for (int x = 0; x < kCanvasW; ++x) {
                    seen[mode].push_back(SeenPixel(*dst, mode, x, y));
                }
            }
        }
        EXPECT_EQ(seen[1], seen[0]) << why << ": mode 1";
        EXPECT_EQ(seen[2], seen[0]) << why << ": mode 2";
    }
}

struct TStretchCase {
    int sourceLength, drawnLength, start;
    const char* why;
};

// Destination sample i of a stretch of m samples onto n takes source sample floor(i * m / n).
int ExpectedSource(long long i, int m, int n) { return static_cast<int>(i * m / n); }

class StretchMapping : public ::testing::TestWithParam<TStretchCase> {};

TEST_P(StretchMapping, EachDestinationColumnAndRowTakesItsExactSource) {
    const TStretchCase c = GetParam();
    const int m = c.sourceLength, n = c.drawnLength;
    constexpr int kCanvas = 800;
    // Columns: each pixel holds its own column number.
    auto wide = MakeBitmap(m, 1, [](int x, int) { return static_cast<std::uint16_t>(x); });
    auto canvas = MakeCanvas(kCanvas, 1, 0xFFFF);
    wide->StretchDraw(canvas.get(), c.start, 0, n, 1, 0, 0, m, 1, 0, 0);
    for (int x = 0; x < kCanvas; ++x) {
        const long long i = x - c.start;
        const int want = i >= 0 && i < n ? ExpectedSource(i, m, n) : 0xFFFF;
        ASSERT_EQ(PixelAt(canvas.get(), x, 0), want) << c.why << ": column " << x;
    }
    // Rows, the same mapping.
    auto tall = MakeBitmap(1, m, [](int, int y) { return static_cast<std::uint16_t>(y); });
    auto column = MakeCanvas(1, kCanvas, 0xFFFF);
    tall->StretchDraw(column.get(), 0, c.start, 1, n, 0, 0, 1, m, 0, 0);
    for (int y = 0; y < kCanvas; ++y) {
        const long long i = y - c.start;
        const int want = i >= 0 && i < n ? ExpectedSource(i, m, n) : 0xFFFF;
        ASSERT_EQ(PixelAt(column.get(), 0, y), want) << c.why << ": row " << y;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, StretchMapping,
                         ::testing::Values(TStretchCase{512, 768, 0, "512 to 768 reaches columns 510 and 511"},
                                           TStretchCase{10, 20, 0, "doubling repeats every column twice"},
                                           TStretchCase{767, 768, 0, "nearly one to one still reaches the last column"},
                                           TStretchCase{300, 700, -200,
                                                        "a start cut off on the left keeps the mapping"},
                                           TStretchCase{768, 512, 5, "shrinking drops columns evenly"},
                                           TStretchCase{3, 797, 0, "a large factor"}));

TEST(StretchMapping, LastSourceColumnReachesTheLastDestinationColumnMirroredOrNot) {
    auto src = MakeBitmap(512, 1, [](int x, int) { return static_cast<std::uint16_t>(x); });
    for (int flags : {0, static_cast<int>(kFlipHorizontal)}) {
        auto canvas = MakeCanvas(768, 1, 0xFFFF);
        src->StretchDraw(canvas.get(), 0, 0, 768, 1, 0, 0, 512, 1, flags, 0);
        EXPECT_EQ(PixelAt(canvas.get(), 767, 0), flags ? 0 : 511) << "flags " << flags;
        EXPECT_EQ(PixelAt(canvas.get(), 0, 0), flags ? 511 : 0) << "flags " << flags;
        std::vector<bool> seen(512);
        for (int x = 0; x < 768; ++x) seen[PixelAt(canvas.get(), x, 0)] = true;
        EXPECT_EQ(std::count(seen.begin(), seen.end(), false), 0) << "every source column is drawn";
    }
}

}  // namespace
