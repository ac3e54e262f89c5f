// Software blits, the stretch and the rotator against SDL2's software blitter and SDL2_gfx on
// the same work in the same run (see RatioTimer.h for the counters). Every target is wider than
// the image, as a screen is, so no blit collapses into one block copy. The SDL surfaces hold the
// same pixels in the layouts SDL blends fastest into a 16-bit screen: RGB565 for the opaque,
// keyed and stretched cases, ARGB8888 for per-pixel alpha.
//
// The alpha and colour-key blits run over three images: every pixel partial (the worst case), a
// sprite-shaped one (birds drawn as outlines: about 55 % clear, 35 % opaque, 10 % soft edge) and
// a real sprite sheet of the pak; each against SDL with run-length acceleration on (SDL_RLEACCEL,
// SDL at its fastest on sprites) and off. Before timing, each pair of blits is compared: SDL's
// picture must be within 2 steps of ours in every 565 field ("max_step" counter).
#include <SDL.h>
#include <SDL2_rotozoom.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "RatioTimer.h"
#include "render/ImageDecode.h"
#include "render/ImageRotatorScaler.h"
#include "render/WinDibBitmap.h"

namespace {

constexpr int kSide = 512;
constexpr int kScreenW = 800;  // a screen row is not an image row
constexpr int kScreenH = 800;
constexpr std::uint16_t kKey = 0xF81F;

std::uint16_t PixelAt(int i) { return static_cast<std::uint16_t>(i * 2654435761u >> 16); }
// Every pixel partly transparent: the blending path, the expensive one, for all of them.
unsigned char PartialAlphaAt(int i) { return static_cast<unsigned char>(16 + (i * 7) % 224); }

// The images of the blits.
enum class Fill {
    Opaque,        // no alpha
    PartialAlpha,  // every pixel partial
    Sprites,       // sprite outlines
    Sheet,         // the pak's award icon sheet
    KeyedScatter,  // no alpha, a scattered quarter of the pixels keyed (the colour key's worst case)
};

// Sixteen birds in a 4 x 4 grid of 128-pixel cells, each of its own size, pose and colours: a
// body and a head (ellipses), a wing cut out and an eye hole, opaque inside, an edge that fades
// over 4 pixels, clear around. Returns the alpha; the colours shade with the position.
std::vector<unsigned char> SpriteAlpha(int w, int h) {
    std::vector<unsigned char> alpha(static_cast<std::size_t>(w) * h);
    std::uint32_t seed = 77;
    auto next = [&seed](double lo, double hi) {
        seed = seed * 1664525u + 1013904223u;
        return lo + (hi - lo) * ((seed >> 8) & 0xFFFF) / 65535.0;
    };
    struct TBird {
        double bx, by, brx, bry, hx, hy, hr, wx, wy, wr;
    };
    std::vector<TBird> birds;
    for (int cy = 0; cy < h / 128; ++cy) {
        for (int cx = 0; cx < w / 128; ++cx) {
            const double ox = cx * 128, oy = cy * 128;
            TBird b{};
            b.bx = ox + next(54, 62);
            b.by = oy + next(74, 82);
            b.brx = next(42, 54);
            b.bry = next(31, 38);
            b.hx = b.bx + next(30, 38);
            b.hy = b.by - next(32, 40);
            b.hr = next(17, 23);
            b.wx = b.bx - next(0, 12);
            b.wy = b.by - next(2, 8);
            b.wr = next(8, 13);
            birds.push_back(b);
        }
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const TBird& b = birds[static_cast<std::size_t>((y / 128) * (w / 128) + x / 128)];
            const double px = x + 0.5, py = y + 0.5;
            // Signed distances in pixels, negative inside.
            const double body = (std::hypot((px - b.bx) / b.brx, (py - b.by) / b.bry) - 1) * std::min(b.brx, b.bry);
            const double head = std::hypot(px - b.hx, py - b.hy) - b.hr;
            const double wing = b.wr - std::hypot(px - b.wx, py - b.wy);
            const double eye = 3 - std::hypot(px - b.hx - b.hr / 3, py - b.hy - 2);
            const double d = std::max({std::min(body, head), eye, 0.4 * wing - 3});
            const double a = std::clamp(0.5 - d / 4, 0.0, 1.0);
            alpha[static_cast<std::size_t>(y) * w + x] = static_cast<unsigned char>(std::lround(a * 255));
        }
    }
    return alpha;
}

// The award banner's icon sheet (eleven 36-pixel frames), decoded as the game decodes it.
std::unique_ptr<CWinDibBitmap> SheetImage() {
    std::ifstream in(SPRITE_SHEET_PNG, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    CDecodedImage decoded;
    if (bytes.empty() || !DecodePng(bytes, SPRITE_SHEET_PNG, {}, &decoded) || decoded.alpha == nullptr) {
        return nullptr;
    }
    auto b = std::make_unique<CWinDibBitmap>(nullptr);
    const int w = decoded.width, h = decoded.height;
    b->SetBits(decoded.ReleasePixels(), w, h);
    b->SetAlphaBits(decoded.ReleaseAlpha(), w, h);
    return b;
}

std::unique_ptr<CWinDibBitmap> MakeImage(int w, int h, Fill fill, bool keyed = false) {
    auto b = fill == Fill::Sheet ? SheetImage() : std::make_unique<CWinDibBitmap>(nullptr);
    if (b == nullptr) {
        return nullptr;
    }
    if (fill != Fill::Sheet) {
        b->Create(w, h);
        auto* px = reinterpret_cast<std::uint16_t*>(b->GetBits());
        unsigned char* al = b->GetAlphaBits();
        const std::vector<unsigned char> sprites =
            fill == Fill::Sprites ? SpriteAlpha(w, h) : std::vector<unsigned char>{};
        for (int i = 0; i < w * h; ++i) {
            px[i] = PixelAt(i) == kKey ? 0 : PixelAt(i);
            if (fill == Fill::Sprites) {
                // Smooth colours inside the outline, as drawn art has.
                const int x = i % w, y = i / w;
                px[i] = static_cast<std::uint16_t>(((x / 20 + 8) & 31) << 11 | ((y / 9 + 20) & 63) << 5 |
                                                   ((x + y) / 40 & 31));
                al[i] = sprites[static_cast<std::size_t>(i)];
            } else {
                al[i] = fill == Fill::KeyedScatter ? (i % 4 == 1 ? 0 : 255) : PartialAlphaAt(i);
            }
        }
    }
    if (keyed || fill == Fill::KeyedScatter) {
        // The mask (alpha below 128) becomes the key colour (magenta without a game).
        b->ReplaceAlphaWithTransparentColor();
    } else if (fill == Fill::Opaque) {
        b->DestroyAlpha();
    }
    return b;
}

std::unique_ptr<CWinDibBitmap> MakeScreen(int w = kScreenW) { return MakeImage(w, kScreenH, Fill::Opaque); }

struct TSurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, TSurfaceDeleter>;

// The SDL twin of one of our bitmaps: the same pixels, and for ARGB the same alpha.
SurfacePtr SurfaceOf(CWinDibBitmap& b, Uint32 format) {
    const int w = b.GetStoredWidth(), h = b.GetStoredHeight();
    SurfacePtr s(SDL_CreateRGBSurfaceWithFormat(0, w, h, SDL_BITSPERPIXEL(format), format));
    const auto* px = reinterpret_cast<const std::uint16_t*>(b.GetBits());
    const unsigned char* al = b.GetAlphaBits();
    for (int y = 0; y < h; ++y) {
        auto* row = static_cast<unsigned char*>(s->pixels) + static_cast<std::size_t>(y) * s->pitch;
        for (int x = 0; x < w; ++x) {
            const std::uint16_t p = px[y * w + x];
            if (format == SDL_PIXELFORMAT_RGB565) {
                std::memcpy(row + x * 2, &p, 2);
                continue;
            }
            const Uint32 r = ((p >> 11) & 31) << 3, g = ((p >> 5) & 63) << 2, bl = (p & 31) << 3;
            const Uint32 a = al ? al[y * w + x] : 255;
            const Uint32 v = (a << 24) | (r << 16) | (g << 8) | bl;
            std::memcpy(row + x * 4, &v, 4);
        }
    }
    return s;
}

// The largest difference of one 565 field between our screen and SDL's, over the pixels where
// `compared` holds. (Where the two blitters' rules differ by design it is left out: ours passes
// alpha 1..10 over and copies from 240 or 245 on, and fades by subtracting from alpha where SDL
// multiplies; SDL blends all of those.)
int MaxFieldStep(CWinDibBitmap& ours, SDL_Surface* theirs, const std::vector<bool>& compared) {
    const int w = ours.GetStoredWidth(), h = ours.GetStoredHeight();
    const auto* a = reinterpret_cast<const std::uint16_t*>(ours.GetBits());
    int worst = 0;
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const std::uint16_t*>(static_cast<const unsigned char*>(theirs->pixels) +
                                                                 static_cast<std::size_t>(y) * theirs->pitch);
        for (int x = 0; x < w; ++x) {
            if (!compared[static_cast<std::size_t>(y) * w + x]) continue;
            const int p = a[y * w + x], q = row[x];
            worst = std::max({worst, std::abs((p >> 11) - (q >> 11)), std::abs(((p >> 5) & 63) - ((q >> 5) & 63)),
                              std::abs((p & 31) - (q & 31))});
        }
    }
    return worst;
}

// Where the blits land: the 512-pixel images once, the small sheet stacked down the screen
// (twenty copies, the work of a column of sprites).
std::vector<SDL_Rect> Places(const CWinDibBitmap& src) {
    const int w = src.GetStoredWidth(), h = src.GetStoredHeight();
    std::vector<SDL_Rect> at;
    if (h >= kSide) {
        at.push_back({96, 64, w, h});
        return at;
    }
    for (int i = 0; i < 20 && 24 + (i + 1) * h <= kScreenH; ++i) at.push_back({40 + (i % 3) * 7, 24 + i * h, w, h});
    return at;
}

struct TBlitCase {
    Fill fill;
    bool keyed;  // drawn by colour key (the image's mask, alpha below 128, keyed)
    bool rle;    // SDL with SDL_RLEACCEL
    int alphaOffset;
    int screenW;
};

void BlitAgainstSdl(benchmark::State& state, double goal, TBlitCase c) {
    auto src = MakeImage(kSide, kSide, c.fill, c.keyed);
    if (src == nullptr) {
        state.SkipWithError("the sprite sheet could not be read");
        return;
    }
    auto dst = MakeScreen(c.screenW);
    const bool perPixelAlpha = !src->IsColorKeyed() && src->GetAlphaBits() != nullptr;
    auto srcSurface = SurfaceOf(*src, perPixelAlpha ? SDL_PIXELFORMAT_ARGB8888 : SDL_PIXELFORMAT_RGB565);
    auto dstSurface = SurfaceOf(*dst, SDL_PIXELFORMAT_RGB565);
    if (!perPixelAlpha && src->IsColorKeyed()) {
        SDL_SetColorKey(srcSurface.get(), SDL_TRUE, src->GetTransparentColor());
    } else if (!perPixelAlpha) {
        SDL_SetSurfaceBlendMode(srcSurface.get(), SDL_BLENDMODE_NONE);
    }
    if (c.alphaOffset != 0) SDL_SetSurfaceAlphaMod(srcSurface.get(), static_cast<Uint8>(255 + c.alphaOffset));
    SDL_SetSurfaceRLE(srcSurface.get(), c.rle ? 1 : 0);
    const std::vector<SDL_Rect> places = Places(*src);
    auto ours = [&] {
        for (const SDL_Rect& at : places) src->BitBlt(dst.get(), at.x, at.y, 0, 0, 0, 0, c.alphaOffset);
        benchmark::DoNotOptimize(dst->GetBits());
    };
    auto theirs = [&] {
        for (const SDL_Rect& at : places) {
            SDL_Rect r = at;
            SDL_BlitSurface(srcSurface.get(), nullptr, dstSurface.get(), &r);
        }
        benchmark::DoNotOptimize(dstSurface->pixels);
    };
    // One blit each onto the same screen: the pictures must agree before their times mean anything.
    std::vector<bool> compared(static_cast<std::size_t>(c.screenW) * kScreenH, true);
    if (const unsigned char* al = src->GetAlphaBits(); al != nullptr) {
        const int w = src->GetStoredWidth();
        for (const SDL_Rect& at : places) {
            for (int y = 0; y < at.h; ++y) {
                for (int x = 0; x < at.w; ++x) {
                    const int sa = al[y * w + x];
                    compared[static_cast<std::size_t>(at.y + y) * c.screenW + at.x + x] =
                        sa == 0 || sa == 255 || (c.alphaOffset == 0 && sa > 10 && sa < 240);
                }
            }
        }
    }
    ours();
    theirs();
    const int step = MaxFieldStep(*dst, dstSurface.get(), compared);
    if (step > 2) {
        state.SkipWithError("SDL's picture differs from ours by more than 2 colour steps");
        return;
    }
    if (c.rle && (srcSurface->flags & SDL_RLEACCEL) == 0) {
        state.SkipWithError("SDL did not encode the source as runs");
        return;
    }
    bench::RunAgainst(state, goal, ours, theirs);
    state.counters["max_step"] = step;
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(places.size()) * src->GetStoredWidth() *
                            src->GetStoredHeight() * 2);
}

void BM_OpaqueBlitIntoScreen_vs_SDL(benchmark::State& state) {
    BlitAgainstSdl(state, 0.8, {Fill::Opaque, false, false, 0, static_cast<int>(state.range(0))});
}
// Screen widths: 800 and 1024 (a row of 2 KiB, where source and target rows meet the same cache sets).
BENCHMARK(BM_OpaqueBlitIntoScreen_vs_SDL)->Arg(800)->Arg(1024)->MinTime(1.0);

// Per-pixel alpha; SDL blends an ARGB8888 source into 565. Args: image, SDL with RLE.
// Goals against SDL at its fastest, which is with runs on every image (its run-length form keeps
// translucent pixels packed too, so even the all-partial image blits faster so): every pixel
// partial, 1/3 of that; sprites and the sheet, no slower than it. Without runs: at most 0.35 of
// SDL on sprites and the sheet, and for information on the all-partial image.
double AlphaGoal(Fill fill, bool rle) {
    if (fill == Fill::PartialAlpha) return rle ? 1.0 / 3.0 : 0.0;
    return rle ? 1.0 : 0.35;
}

void BM_AlphaBlit_vs_SDL(benchmark::State& state) {
    const auto fill = static_cast<Fill>(state.range(0));
    const bool rle = state.range(1) != 0;
    BlitAgainstSdl(state, AlphaGoal(fill, rle), {fill, false, rle, 0, kScreenW});
}
BENCHMARK(BM_AlphaBlit_vs_SDL)
    ->ArgNames({"image", "rle"})
    ->ArgsProduct({{static_cast<int>(Fill::PartialAlpha), static_cast<int>(Fill::Sprites),
                    static_cast<int>(Fill::Sheet)},
                   {0, 1}})
    ->MinTime(1.0);

// The same with a fade (an alpha offset; SDL: the surface's alpha modulation, which its run-length
// blitter does not take, so SDL without runs is the peer).
void BM_AlphaBlitFaded_vs_SDL(benchmark::State& state) {
    const auto fill = static_cast<Fill>(state.range(0));
    BlitAgainstSdl(state, fill == Fill::PartialAlpha ? 1.0 / 3.0 : 0.35, {fill, false, false, -40, kScreenW});
}
BENCHMARK(BM_AlphaBlitFaded_vs_SDL)
    ->ArgName("image")
    ->Arg(static_cast<int>(Fill::PartialAlpha))
    ->Arg(static_cast<int>(Fill::Sprites))
    ->Arg(static_cast<int>(Fill::Sheet))
    ->MinTime(1.0);

// Colour key: a scattered quarter of the pixels keyed (the worst case), the sprites' mask and the
// sheet's mask. Args: image, SDL with RLE.
void BM_ColourKeyBlit_vs_SDL(benchmark::State& state) {
    const auto fill = static_cast<Fill>(state.range(0));
    const bool rle = state.range(1) != 0;
    const double goal = fill == Fill::KeyedScatter ? (rle ? 0.0 : 0.9) : (rle ? 1.0 : 0.35);
    BlitAgainstSdl(state, goal, {fill, fill != Fill::KeyedScatter, rle, 0, kScreenW});
}
BENCHMARK(BM_ColourKeyBlit_vs_SDL)
    ->ArgNames({"image", "rle"})
    ->ArgsProduct({{static_cast<int>(Fill::KeyedScatter), static_cast<int>(Fill::Sprites),
                    static_cast<int>(Fill::Sheet)},
                   {0, 1}})
    ->MinTime(1.0);

// The share of clear, opaque and edge pixels of the sprite-shaped image, for the record.
void BM_SpriteImageMix(benchmark::State& state) {
    const std::vector<unsigned char> alpha = SpriteAlpha(kSide, kSide);
    double clear = 0, opaque = 0;
    for (auto _ : state) {
        clear = static_cast<double>(std::count(alpha.begin(), alpha.end(), 0));
        opaque = static_cast<double>(std::count(alpha.begin(), alpha.end(), 255));
    }
    state.counters["clear_pct"] = 100.0 * clear / static_cast<double>(alpha.size());
    state.counters["opaque_pct"] = 100.0 * opaque / static_cast<double>(alpha.size());
    state.counters["edge_pct"] = 100.0 - state.counters["clear_pct"] - state.counters["opaque_pct"];
}
BENCHMARK(BM_SpriteImageMix)->Iterations(1);

// Nearest-sample stretch of an opaque 512 x 512 image to 768 x 768 against SDL_BlitScaled.
void BM_OpaqueStretch512To768_vs_SDL(benchmark::State& state) {
    constexpr int kOut = 768;
    auto src = MakeImage(kSide, kSide, Fill::Opaque);
    auto dst = MakeScreen();
    auto srcSurface = SurfaceOf(*src, SDL_PIXELFORMAT_RGB565);
    auto dstSurface = SurfaceOf(*dst, SDL_PIXELFORMAT_RGB565);
    SDL_SetSurfaceBlendMode(srcSurface.get(), SDL_BLENDMODE_NONE);
    bench::RunAgainst(
        state, 1.0,
        [&] {
            src->StretchDraw(dst.get(), 16, 16, kOut, kOut, 0, 0, kSide, kSide, 0, 0);
            benchmark::DoNotOptimize(dst->GetBits());
        },
        [&] {
            SDL_Rect r{16, 16, kOut, kOut};
            SDL_BlitScaled(srcSurface.get(), nullptr, dstSurface.get(), &r);
            benchmark::DoNotOptimize(dstSurface->pixels);
        });
    state.SetBytesProcessed(state.iterations() * kOut * kOut * 2);
}
BENCHMARK(BM_OpaqueStretch512To768_vs_SDL)->MinTime(1.0);

// A 256 x 256 image with partial alpha turned by 30 degrees at scale 1, centred on the screen,
// against SDL2_gfx's rotozoomSurface (which makes the turned image) and its blit onto the screen.
// Arg: our quality (0 nearest, 2 filtered); SDL2_gfx smooths when ours does.
void BM_RotateScale256_vs_SDL2_gfx(benchmark::State& state) {
    const int quality = static_cast<int>(state.range(0));
    auto src = MakeImage(256, 256, Fill::PartialAlpha);
    auto dst = MakeScreen();
    auto rot = std::make_unique<CQuorvanImageRotatorScaler>(nullptr, 36000);
    if (rot->Initialize() != 1) {
        state.SkipWithError("rotator tables");
        return;
    }
    rot->SetQuality(quality);
    auto srcSurface = SurfaceOf(*src, SDL_PIXELFORMAT_ARGB8888);
    auto dstSurface = SurfaceOf(*dst, SDL_PIXELFORMAT_RGB565);
    const int smooth = quality > 0 ? SMOOTHING_ON : SMOOTHING_OFF;
    bench::RunAgainst(
        state, 1.0,
        [&] {
            rot->DrawRotatedBitmap(src.get(), dst.get(), 400 << 8, 400 << 8, 30 * 256, 0x10000, 0);
            benchmark::DoNotOptimize(dst->GetBits());
        },
        [&] {
            SDL_Surface* turned = rotozoomSurface(srcSurface.get(), 30.0, 1.0, smooth);
            SDL_Rect r{400 - turned->w / 2, 400 - turned->h / 2, turned->w, turned->h};
            SDL_BlitSurface(turned, nullptr, dstSurface.get(), &r);
            SDL_FreeSurface(turned);
            benchmark::DoNotOptimize(dstSurface->pixels);
        });
}
BENCHMARK(BM_RotateScale256_vs_SDL2_gfx)->Arg(0)->Arg(2)->MinTime(1.0);

// The additive turn has no SDL twin; it stays as a throughput figure (bytes of source per second).
void BM_RotateAdditive256(benchmark::State& state) {
    auto src = MakeImage(256, 256, state.range(0) != 0 ? Fill::PartialAlpha : Fill::Opaque);
    auto dst = MakeScreen();
    auto rot = std::make_unique<CQuorvanImageRotatorScaler>(nullptr, 36000);
    if (rot->Initialize() != 1) {
        state.SkipWithError("rotator tables");
        return;
    }
    rot->SetQuality(static_cast<int>(state.range(1)));
    for (auto _ : state) {
        rot->DrawRotatedBitmapAdditive(src.get(), dst.get(), 256 << 8, 256 << 8, 30 * 256, 0x10000, 200, 160, 120, -40,
                                       0);
        benchmark::DoNotOptimize(dst->GetBits());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 256 * 256 * 2);
}
BENCHMARK(BM_RotateAdditive256)->Args({1, 2})->Args({0, 2})->Args({0, 0});

}  // namespace
