// Software blits, the stretch and the rotator against SDL2's software blitter and SDL2_gfx on
// the same work in the same run (see RatioTimer.h for the counters). Every target is wider than
// the image, as a screen is, so no blit collapses into one block copy. The SDL surfaces hold the
// same pixels in the layouts SDL blends fastest into a 16-bit screen: RGB565 for the opaque,
// keyed and stretched cases, ARGB8888 for per-pixel alpha.
#include <SDL.h>
#include <SDL2_rotozoom.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <memory>

#include "RatioTimer.h"
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

// Alpha: none, partial everywhere, or none but a quarter of the pixels equal to the key colour.
enum class Fill { Opaque, PartialAlpha, Keyed };

std::unique_ptr<CWinDibBitmap> MakeImage(int w, int h, Fill fill) {
    auto b = std::make_unique<CWinDibBitmap>(nullptr);
    b->Create(w, h);
    auto* px = reinterpret_cast<std::uint16_t*>(b->GetBits());
    unsigned char* al = b->GetAlphaBits();
    for (int i = 0; i < w * h; ++i) {
        px[i] = PixelAt(i) == kKey ? 0 : PixelAt(i);
        al[i] = fill == Fill::Keyed ? (i % 4 == 1 ? 0 : 255) : PartialAlphaAt(i);
    }
    if (fill == Fill::Keyed) {
        // The transparent quarter becomes the key colour (magenta without a game).
        b->ReplaceAlphaWithTransparentColor();
    } else if (fill == Fill::Opaque) {
        b->DestroyAlpha();
    }
    return b;
}

std::unique_ptr<CWinDibBitmap> MakeScreen() { return MakeImage(kScreenW, kScreenH, Fill::Opaque); }

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

void BlitAgainstSdl(benchmark::State& state, double goal, Fill fill, int alphaOffset) {
    auto src = MakeImage(kSide, kSide, fill);
    auto dst = MakeScreen();
    auto srcSurface = SurfaceOf(*src, fill == Fill::PartialAlpha ? SDL_PIXELFORMAT_ARGB8888 : SDL_PIXELFORMAT_RGB565);
    auto dstSurface = SurfaceOf(*dst, SDL_PIXELFORMAT_RGB565);
    if (fill == Fill::Keyed) {
        SDL_SetColorKey(srcSurface.get(), SDL_TRUE, src->GetTransparentColor());
    } else if (fill == Fill::Opaque) {
        SDL_SetSurfaceBlendMode(srcSurface.get(), SDL_BLENDMODE_NONE);
    }
    if (alphaOffset != 0) SDL_SetSurfaceAlphaMod(srcSurface.get(), static_cast<Uint8>(255 + alphaOffset));
    SDL_Rect at{96, 64, kSide, kSide};
    bench::RunAgainst(
        state, goal,
        [&] {
            src->BitBlt(dst.get(), at.x, at.y, 0, 0, 0, 0, alphaOffset);
            benchmark::DoNotOptimize(dst->GetBits());
        },
        [&] {
            SDL_Rect r = at;
            SDL_BlitSurface(srcSurface.get(), nullptr, dstSurface.get(), &r);
            benchmark::DoNotOptimize(dstSurface->pixels);
        });
    state.SetBytesProcessed(state.iterations() * kSide * kSide * 2);
}

void BM_OpaqueBlitIntoScreen_vs_SDL(benchmark::State& state) { BlitAgainstSdl(state, 1.0, Fill::Opaque, 0); }
BENCHMARK(BM_OpaqueBlitIntoScreen_vs_SDL)->MinTime(1.0);

// The worst case of the alpha blit: every pixel blends. SDL blends an ARGB8888 source into 565.
void BM_AlphaBlitAllPartial_vs_SDL(benchmark::State& state) { BlitAgainstSdl(state, 1.0 / 3.0, Fill::PartialAlpha, 0); }
BENCHMARK(BM_AlphaBlitAllPartial_vs_SDL)->MinTime(1.0);

// The same with a fade (an alpha offset; SDL: the surface's alpha modulation).
void BM_AlphaBlitAllPartialFaded_vs_SDL(benchmark::State& state) {
    BlitAgainstSdl(state, 1.0 / 3.0, Fill::PartialAlpha, -40);
}
BENCHMARK(BM_AlphaBlitAllPartialFaded_vs_SDL)->MinTime(1.0);

void BM_ColourKeyBlit_vs_SDL(benchmark::State& state) { BlitAgainstSdl(state, 0.9, Fill::Keyed, 0); }
BENCHMARK(BM_ColourKeyBlit_vs_SDL)->MinTime(1.0);

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
