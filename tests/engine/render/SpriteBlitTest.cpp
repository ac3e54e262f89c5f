// The alpha and colour-key blits over images shaped as the game's are: one whose every pixel is
// partly transparent, a sprite outline (clear around it, opaque inside, a soft edge between) and,
// where the content is built, a real sprite sheet of the pak. The row kernels pass clear runs over
// and copy opaque runs whole; every pixel must still be the one the per-pixel rule gives, at
// several source offsets, clip rectangles and fades, wherever a run begins or ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "SoftBitmapFixtures.h"
#include "render/ImageDecode.h"

using namespace soft_test;

namespace {

struct TImage {
    std::string name;
    int w = 0, h = 0;
    std::vector<std::uint16_t> pixels;
    std::vector<unsigned char> alpha;
};

TImage AllPartial() {
    TImage im{"every pixel partial", 203, 61, {}, {}};
    for (int y = 0; y < im.h; ++y) {
        for (int x = 0; x < im.w; ++x) {
            im.pixels.push_back(Pattern(x, y));
            im.alpha.push_back(static_cast<unsigned char>(11 + (x * 7 + y * 3) % 229));
        }
    }
    return im;
}

// A bird-like outline: a body and a head (two ellipses) with a hole for the eye, opaque inside, a
// soft edge two pixels wide, clear outside; the kind of picture a sprite is.
TImage SpriteOutline() {
    TImage im{"sprite outline", 150, 97, {}, {}};
    auto inside = [](double x, double y) {
        const double body = std::hypot((x - 62) / 48, (y - 56) / 34) - 1;
        const double head = std::hypot((x - 112) / 22, (y - 32) / 20) - 1;
        const double eye = 1 - std::hypot((x - 118) / 4, (y - 28) / 4);
        return std::max(std::min(body * 34, head * 20), eye * 4);  // negative inside, in pixels
    };
    for (int y = 0; y < im.h; ++y) {
        for (int x = 0; x < im.w; ++x) {
            const double d = inside(x + 0.5, y + 0.5);
            const double a = std::clamp(0.5 - d / 2, 0.0, 1.0);
            im.pixels.push_back(Pattern(x * 3, y));
            im.alpha.push_back(static_cast<unsigned char>(std::lround(a * 255)));
        }
    }
    return im;
}

// Bands of one alpha each, at and beside the values where the blits' rules change (skipped up to
// 10, copied from 240 unfaded and from 245 after a fade), each band wide enough to be a run of its
// own; every row starts them a little further along, so bands begin at every offset of a group.
TImage ThresholdBands() {
    static constexpr unsigned char kValues[] = {0, 1, 10, 11, 128, 239, 240, 244, 245, 254, 255, 10, 240, 0, 255};
    TImage im{"bands at the thresholds", 181, 40, {}, {}};
    for (int y = 0; y < im.h; ++y) {
        for (int x = 0; x < im.w; ++x) {
            const int band = (x + 3 * y) / 11;
            im.pixels.push_back(Pattern(x, y * 5));
            im.alpha.push_back(kValues[band % std::size(kValues)]);
        }
    }
    return im;
}

std::vector<std::uint8_t> FileBytes(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::unique_ptr<CWinDibBitmap> BitmapOf(const TImage& im, bool withAlpha) {
    return MakeBitmap(
        im.w, im.h, [&](int x, int y) { return im.pixels[y * im.w + x]; },
        withAlpha ? std::function<int(int, int)>([&](int x, int y) { return im.alpha[y * im.w + x]; }) : nullptr);
}

// One blit: BitBlt(dst, x, y, w, h, sx, sy, offset) on a canvas of kCanvasW x kCanvasH.
struct TBlit {
    int x, y, w, h, sx, sy;
    const char* why;
};

constexpr int kCanvasW = 230, kCanvasH = 120;

const std::vector<TBlit>& Blits() {
    static const std::vector<TBlit> blits = {
        {0, 0, 0, 0, 0, 0, "whole image at the corner"},
        {5, 3, 0, 0, 0, 0, "whole image, odd place"},
        {-13, -7, 0, 0, 0, 0, "cut on the left and top"},
        {kCanvasW - 97, kCanvasH - 40, 0, 0, 0, 0, "cut on the right and bottom"},
        {9, 11, 77, 29, 17, 9, "a window of the source from an odd offset"},
        {31, 2, 41, 60, 3, 1, "a narrow window, rows not a multiple of 8 wide"},
        {-4, 6, 150, 50, 21, 30, "window and clip together"},
        {1, 1, 5, 90, 100, 2, "a sliver narrower than one group"},
    };
    return blits;
}

// The source pixel the blit puts at canvas (cx, cy), or false where it leaves the canvas alone:
// the window [sx, sx + w) x [sy, sy + h) of the source, placed at (x, y), inside both planes.
bool SourceOf(const TBlit& b, int srcW, int srcH, int cx, int cy, int& px, int& py) {
    const int w = b.w == 0 ? srcW : b.w, h = b.h == 0 ? srcH : b.h;
    const int dx = cx - b.x, dy = cy - b.y;
    if (dx < 0 || dy < 0 || dx >= w || dy >= h) return false;
    px = b.sx + dx;
    py = b.sy + dy;
    return px < srcW && py < srcH;
}

std::uint16_t Ground(int x, int y) { return static_cast<std::uint16_t>(x * 7919u + y * 104729u + 777u); }

// The per-pixel rule of the alpha blit for an offset (the fast blit's at offset 0).
std::uint16_t AlphaRule(int offset, std::uint16_t old, std::uint16_t s, int sa) {
    if (offset == 0) {
        if (sa > 239) return s;
        if (sa <= 10) return old;
        return RefPackedBlend(old, s, static_cast<unsigned>(sa));
    }
    const int e = sa + offset;
    if (sa <= 10 || e <= 10) return old;
    return e >= 245 ? s : RefBlend(old, s, e);
}

// The colour-key blit's rule: the key is left out, the rest copied, or faded by 255 + offset.
std::uint16_t KeyRule(int offset, std::uint16_t key, std::uint16_t old, std::uint16_t s) {
    const int a = 255 + offset;
    if (s == key || (offset != 0 && a < 11)) return old;
    return offset != 0 && a < 245 ? RefBlend(old, s, a) : s;
}

// Draws `im` every way of Blits() with each offset and compares every canvas pixel with `rule`
// applied to what the canvas held (`keyed`: as a colour-keyed bitmap made from its alpha).
void ExpectEveryBlitFollowsTheRule(const TImage& im, bool keyed, const std::vector<int>& offsets) {
    auto src = BitmapOf(im, true);
    std::uint16_t key = 0;
    std::vector<std::uint16_t> keyedPixels = im.pixels;
    if (keyed) {
        src->ReplaceAlphaWithTransparentColor();
        key = static_cast<std::uint16_t>(src->GetTransparentColor());
        // The mask: alpha below the threshold of 128 becomes the key.
        for (std::size_t i = 0; i < keyedPixels.size(); ++i) {
            if (im.alpha[i] < 128) keyedPixels[i] = key;
        }
    }
    for (int offset : offsets) {
        for (const TBlit& b : Blits()) {
            auto canvas = MakeBitmap(kCanvasW, kCanvasH, Ground);
            src->BitBlt(canvas.get(), b.x, b.y, b.w, b.h, b.sx, b.sy, offset);
            int bad = 0;
            for (int cy = 0; cy < kCanvasH; ++cy) {
                for (int cx = 0; cx < kCanvasW; ++cx) {
                    int px = 0, py = 0;
                    std::uint16_t want = Ground(cx, cy);
                    if (SourceOf(b, im.w, im.h, cx, cy, px, py)) {
                        const std::size_t i = static_cast<std::size_t>(py) * im.w + px;
                        want = keyed ? KeyRule(offset, key, want, keyedPixels[i])
                                     : AlphaRule(offset, want, im.pixels[i], im.alpha[i]);
                    }
                    if (PixelAt(canvas.get(), cx, cy) != want && ++bad <= 3) {
                        ADD_FAILURE() << im.name << (keyed ? ", keyed" : "") << ", offset " << offset << ", " << b.why
                                      << ": canvas (" << cx << ", " << cy << ") is " << PixelAt(canvas.get(), cx, cy)
                                      << ", expected " << want;
                    }
                }
            }
        }
    }
}

const std::vector<int> kAlphaOffsets = {0, -1, -40, -128, -240, 12};
const std::vector<int> kKeyOffsets = {0, -10, -40, -200, -245};

TEST(SpriteBlit, EveryPixelPartialFollowsThePerPixelRule) {
    ExpectEveryBlitFollowsTheRule(AllPartial(), false, kAlphaOffsets);
}

TEST(SpriteBlit, SpriteOutlineFollowsThePerPixelRule) {
    const TImage im = SpriteOutline();
    // The outline has all three kinds of pixel, in runs longer than a group.
    int clear = 0, opaque = 0;
    for (unsigned char a : im.alpha) {
        clear += a == 0;
        opaque += a == 255;
    }
    ASSERT_GT(clear, im.w * im.h / 3);
    ASSERT_GT(opaque, im.w * im.h / 4);
    ExpectEveryBlitFollowsTheRule(im, false, kAlphaOffsets);
}

TEST(SpriteBlit, BandsAtTheRulesThresholdsFollowTheRule) {
    ExpectEveryBlitFollowsTheRule(ThresholdBands(), false, kAlphaOffsets);
    ExpectEveryBlitFollowsTheRule(ThresholdBands(), true, kKeyOffsets);
}

TEST(SpriteBlit, ColourKeyOnASpriteMaskFollowsTheRule) {
    ExpectEveryBlitFollowsTheRule(SpriteOutline(), true, kKeyOffsets);
}

// Masks of a colour-keyed bitmap (alpha 0 is keyed, 255 drawn), each with runs long enough on
// average that the bitmap keeps its own packed copy of the drawn runs: keys and drawn pixels at
// the row ends, lone drawn pixels, rows wholly keyed or wholly drawn, an edge that moves along the
// rows. Every blit of Blits() (windows, clipping on all four sides) at every fade must still give
// the plain colour-key rule's pixels.
std::vector<TImage> KeyMasks() {
    constexpr int kW = 150, kH = 97;
    const std::vector<std::pair<const char*, std::function<bool(int, int)>>> masks = {
        {"key at both row ends", [](int x, int) { return x < 7 || x >= kW - 5; }},
        {"drawn at both row ends, key between", [](int x, int) { return x >= 9 && x < kW - 3; }},
        {"a lone drawn pixel at each row end", [](int x, int) { return x != 0 && x != kW - 1; }},
        {"bands of rows wholly keyed and wholly drawn", [](int, int y) { return (y / 5) % 2 == 0; }},
        {"an edge moving along the rows", [](int x, int y) { return x < (y * 13) % kW; }},
        {"two shapes a row, their edges at every offset",
         [](int x, int y) { return !((x >= y % 17 && x < 40 + y % 23) || (x >= 70 + y % 11 && x < 131 + y % 19)); }},
        {"no key at all", [](int, int) { return false; }},
    };
    std::vector<TImage> images;
    for (const auto& [name, keyed] : masks) {
        TImage im{name, kW, kH, {}, {}};
        for (int y = 0; y < kH; ++y) {
            for (int x = 0; x < kW; ++x) {
                im.pixels.push_back(Pattern(x * 3, y));
                im.alpha.push_back(keyed(x, y) ? 0 : 255);
            }
        }
        images.push_back(im);
    }
    return images;
}

TEST(SpriteBlit, ColourKeyMasksFollowTheRule) {
    for (const TImage& im : KeyMasks()) ExpectEveryBlitFollowsTheRule(im, true, kKeyOffsets);
}

// Rows longer than the table's 16-bit counts: a key run and a drawn run of 70,000 pixels each.
TEST(SpriteBlit, ColourKeyRunsLongerThanSixteenBitsAreDrawnWhole) {
    constexpr int kW = 140000, kH = 2;
    const auto drawn = [](int x, int y) { return y == 0 ? x >= 70000 : x < 70000; };
    auto src = MakeBitmap(
        kW, kH, [](int x, int y) { return Pattern(x, y); }, [&](int x, int y) { return drawn(x, y) ? 255 : 0; });
    src->ReplaceAlphaWithTransparentColor();
    const std::uint16_t key = src->GetTransparentColor();
    struct TCase {
        int x, sx, w, offset;
    };
    // Whole rows (the first blits build the table), a window over the split of the counts, a fade.
    for (const TCase c :
         {TCase{0, 0, 0, 0}, TCase{0, 0, 0, 0}, TCase{0, 0, 0, 0}, TCase{3, 65530, 9000, 0}, TCase{-2, 0, 0, -40}}) {
        auto canvas = MakeBitmap(kW, kH, Ground);
        src->BitBlt(canvas.get(), c.x, 0, c.w, 0, c.sx, 0, c.offset);
        int bad = 0;
        for (int y = 0; y < kH; ++y) {
            for (int cx = 0; cx < kW; ++cx) {
                const int px = cx - c.x + c.sx;
                std::uint16_t want = Ground(cx, y);
                if (px >= c.sx && px < kW && (c.w == 0 || px < c.sx + c.w)) {
                    want = KeyRule(c.offset, key, want, drawn(px, y) ? Pattern(px, y) : key);
                }
                if (PixelAt(canvas.get(), cx, y) != want && ++bad <= 3) {
                    ADD_FAILURE() << "blit at " << c.x << " from " << c.sx << " offset " << c.offset << ": canvas ("
                                  << cx << ", " << y << ") is " << PixelAt(canvas.get(), cx, y) << ", expected "
                                  << want;
                }
            }
        }
    }
}

// A bitmap drawn more than once keeps a table of its runs; every way of changing its planes must
// be seen by the next blit. Each case blits a sprite three times (the table exists from the
// second), changes it, and checks the next blit against the rule over the changed planes.
struct TChangeCase {
    const char* why;
    bool keyed;
    // Changes the bitmap and the same way the expected planes (pixels, alpha).
    std::function<void(CWinDibBitmap&, TImage&)> change;
};

std::vector<TChangeCase> ChangeCases() {
    // A band across the outline: clear pixels become opaque and opaque ones partial.
    auto band = [](TImage& im, auto&& set) {
        for (int y = 40; y < 50; ++y) {
            for (int x = 0; x < im.w; ++x) set(x, y, static_cast<std::size_t>(y) * im.w + x);
        }
    };
    std::vector<TChangeCase> cases;
    cases.push_back({"alpha written through GetAlphaBits", false, [band](CWinDibBitmap& b, TImage& im) {
                         unsigned char* al = b.GetAlphaBits();
                         band(im, [&](int x, int, std::size_t i) {
                             im.alpha[i] = im.alpha[i] == 0 ? 255 : static_cast<unsigned char>(60 + x % 100);
                             al[i] = im.alpha[i];
                         });
                     }});
    cases.push_back({"alpha written with WriteAlphaBits", false, [](CWinDibBitmap& b, TImage& im) {
                         std::vector<unsigned char> row(static_cast<std::size_t>(im.w), 255);
                         for (int y = 10; y < 20; ++y) {
                             b.WriteAlphaBits(0, y, row.data(), im.w);
                             std::fill_n(im.alpha.begin() + static_cast<std::ptrdiff_t>(y) * im.w, im.w, 255);
                         }
                     }});
    cases.push_back({"a new alpha plane", false, [](CWinDibBitmap& b, TImage& im) {
                         auto* al = static_cast<unsigned char*>(std::malloc(im.alpha.size()));
                         for (std::size_t i = 0; i < im.alpha.size(); ++i) {
                             im.alpha[i] = static_cast<unsigned char>(255 - im.alpha[i]);
                             al[i] = im.alpha[i];
                         }
                         b.SetAlphaBits(al, im.w, im.h);
                     }});
    cases.push_back({"pixels written through GetBits", true, [band](CWinDibBitmap& b, TImage& im) {
                         auto* px = reinterpret_cast<std::uint16_t*>(b.GetBits());
                         const std::uint16_t key = b.GetTransparentColor();
                         band(im, [&](int x, int, std::size_t i) {
                             im.pixels[i] = im.pixels[i] == key ? Pattern(x, 7) : key;
                             px[i] = im.pixels[i];
                         });
                     }});
    cases.push_back({"another bitmap drawn into it", true, [](CWinDibBitmap& b, TImage& im) {
                         auto patch = MakeBitmap(30, 60, [](int x, int y) { return Pattern(x + 5, y); });
                         patch->BitBlt(&b, 100, 5, 0, 0, 0, 0, 0);
                         for (int y = 5; y < std::min(65, im.h); ++y) {
                             for (int x = 100; x < std::min(130, im.w); ++x) {
                                 im.pixels[static_cast<std::size_t>(y) * im.w + x] = Pattern(x - 100 + 5, y - 5);
                             }
                         }
                     }});
    cases.push_back({"new pixels given with SetBits", true, [](CWinDibBitmap& b, TImage& im) {
                         const std::uint16_t key = b.GetTransparentColor();
                         auto* px = static_cast<std::uint16_t*>(std::malloc(im.pixels.size() * sizeof(std::uint16_t)));
                         for (std::size_t i = 0; i < im.pixels.size(); ++i) {
                             // The key moves: what was keyed is drawn, the right half of each row keyed.
                             const int x = static_cast<int>(i % static_cast<std::size_t>(im.w));
                             im.pixels[i] = x >= im.w / 2 ? key : Pattern(x, 3);
                             px[i] = im.pixels[i];
                         }
                         b.SetBits(reinterpret_cast<unsigned char*>(px), im.w, im.h);
                     }});
    cases.push_back({"pixels written with WriteBits", true, [](CWinDibBitmap& b, TImage& im) {
                         std::vector<std::uint16_t> row(static_cast<std::size_t>(im.w));
                         for (int x = 0; x < im.w; ++x) row[static_cast<std::size_t>(x)] = Pattern(x, 11);
                         for (int y = 0; y < 6; ++y) {
                             b.WriteBits(0, y, reinterpret_cast<unsigned char*>(row.data()), im.w);
                             std::copy(row.begin(), row.end(),
                                       im.pixels.begin() + static_cast<std::ptrdiff_t>(y) * im.w);
                         }
                     }});
    cases.push_back({"a rectangle filled on it", true, [](CWinDibBitmap& b, TImage& im) {
                         b.FillRectangle(3, 60, 50, 20, 255, 255, 255);
                         for (int y = 60; y < 80; ++y) {
                             for (int x = 3; x < 53; ++x) im.pixels[static_cast<std::size_t>(y) * im.w + x] = 0xFFFF;
                         }
                     }});
    return cases;
}

TEST(SpriteBlit, AChangedBitmapIsDrawnAsItIsNow) {
    for (const TChangeCase& c : ChangeCases()) {
        TImage im = SpriteOutline();
        auto src = BitmapOf(im, true);
        std::uint16_t key = 0;
        if (c.keyed) {
            src->ReplaceAlphaWithTransparentColor();
            key = src->GetTransparentColor();
            for (std::size_t i = 0; i < im.pixels.size(); ++i) {
                if (im.alpha[i] < 128) im.pixels[i] = key;
            }
        }
        for (int i = 0; i < 3; ++i) {
            auto warm = MakeBitmap(kCanvasW, kCanvasH, Ground);
            src->BitBlt(warm.get(), 4, 4, 0, 0, 0, 0, 0);
        }
        c.change(*src, im);
        for (int offset : {0, -40}) {
            auto canvas = MakeBitmap(kCanvasW, kCanvasH, Ground);
            src->BitBlt(canvas.get(), 4, 4, 0, 0, 0, 0, offset);
            int bad = 0;
            for (int cy = 0; cy < kCanvasH; ++cy) {
                for (int cx = 0; cx < kCanvasW; ++cx) {
                    std::uint16_t want = Ground(cx, cy);
                    const int px = cx - 4, py = cy - 4;
                    if (px >= 0 && py >= 0 && px < im.w && py < im.h) {
                        const std::size_t i = static_cast<std::size_t>(py) * im.w + px;
                        want = c.keyed ? KeyRule(offset, key, want, im.pixels[i])
                                       : AlphaRule(offset, want, im.pixels[i], im.alpha[i]);
                    }
                    if (PixelAt(canvas.get(), cx, cy) != want && ++bad <= 3) {
                        ADD_FAILURE() << c.why << ", offset " << offset << ": canvas (" << cx << ", " << cy << ") is "
                                      << PixelAt(canvas.get(), cx, cy) << ", expected " << want;
                    }
                }
            }
        }
    }
}

#ifdef COBBLE_SPRITE_SHEET_PNG
// The award banner's icon sheet, eleven frames in a row, as the content build makes it.
TImage RealSheet() {
    const std::vector<std::uint8_t> bytes = FileBytes(COBBLE_SPRITE_SHEET_PNG);
    TImage im;
    im.name = "real sprite sheet";
    CDecodedImage decoded;
    TDecodeOptions options;
    if (bytes.empty() || !DecodePng(bytes, COBBLE_SPRITE_SHEET_PNG, options, &decoded) || decoded.alpha == nullptr) {
        return im;
    }
    im.w = decoded.width;
    im.h = decoded.height;
    const auto* px = reinterpret_cast<const std::uint16_t*>(decoded.pixels);
    im.pixels.assign(px, px + static_cast<std::size_t>(im.w) * im.h);
    im.alpha.assign(decoded.alpha, decoded.alpha + static_cast<std::size_t>(im.w) * im.h);
    return im;
}

TEST(SpriteBlit, RealSpriteSheetFollowsTheRule) {
    const TImage im = RealSheet();
    ASSERT_GT(im.w, 0) << "could not read " << COBBLE_SPRITE_SHEET_PNG;
    ExpectEveryBlitFollowsTheRule(im, false, kAlphaOffsets);
    ExpectEveryBlitFollowsTheRule(im, true, kKeyOffsets);
}
#endif

}  // namespace
