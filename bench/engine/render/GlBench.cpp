// The GL renderer and the image loader against references in the same run:
// - the same 2,000 sprites drawn by our GL renderer and by SDL2's GLES2 renderer, each on its own
//   headless context, alternately (see RatioTimer.h);
// - decoding a 1024 x 1024 PNG through DecodePng against libpng alone reading the same rows with
//   the same transformations (the difference is our conversion into the bitmap's planes);
// - 2,000 alpha-blended 32 x 32 sprites per frame through the quad batcher against one draw call
//   per sprite, on llvmpipe with one thread (LP_NUM_THREADS=1, set here before GL starts).
#include <benchmark/benchmark.h>

#include <png.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "HeadlessGl.h"
#include "RatioTimer.h"
#include "SdlGlesScene.h"
#include "render/GlesGlobals.h"
#include "render/ImageDecode.h"
#include "render/WinDibBitmapOGLES.h"
#include "testsupport/GlTestGame.h"
#include "testsupport/GlesTestContext.h"
#include "testsupport/ImageFixtures.h"

namespace {

const std::vector<std::uint8_t>& TestPng() {
    static const std::vector<std::uint8_t> png = [] {
        const int n = 1024;
        std::vector<std::uint8_t> rgba(static_cast<std::size_t>(n) * n * 4);
        std::uint32_t seed = 12345;
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                seed = seed * 1664525u + 1013904223u;
                std::uint8_t* p = &rgba[(static_cast<std::size_t>(y) * n + x) * 4];
                p[0] = static_cast<std::uint8_t>(x / 4 + (seed >> 29));
                p[1] = static_cast<std::uint8_t>(y / 4 + (seed >> 30));
                p[2] = static_cast<std::uint8_t>((x + y) / 8);
                p[3] = static_cast<std::uint8_t>(x < 512 ? 255 : 128 + (y & 127));
            }
        return MakePng(n, n, rgba, PNG_COLOR_TYPE_RGB_ALPHA);
    }();
    return png;
}

void BM_PngDecode_Ours(benchmark::State& state) {
    const auto& png = TestPng();
    for (auto _ : state) {
        CDecodedImage img;
        if (!DecodePng(png, "bench.png", {}, &img)) state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(img.pixels);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 1024 * 1024 * 4);
}

struct TCursor {
    const std::vector<std::uint8_t>* bytes;
    std::size_t offset;
};

void ReadFromCursor(png_structp png, png_bytep data, png_size_t length) {
    auto* c = static_cast<TCursor*>(png_get_io_ptr(png));
    if (length > c->bytes->size() - c->offset) png_error(png, "truncated");
    std::memcpy(data, c->bytes->data() + c->offset, length);
    c->offset += length;
}

// libpng alone: the same transformations, every row read into one full RGBA image.
void BM_PngDecode_LibpngAlone(benchmark::State& state) {
    const auto& bytes = TestPng();
    std::vector<std::uint8_t> image(1024 * 1024 * 4);
    for (auto _ : state) {
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        if (setjmp(png_jmpbuf(png))) {
            png_destroy_read_struct(&png, &info, nullptr);
            state.SkipWithError("libpng failed");
            break;
        }
        TCursor cursor{&bytes, 0};
        png_set_read_fn(png, &cursor, ReadFromCursor);
        png_read_info(png, info);
        png_set_strip_16(png);
        png_set_expand(png);
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
        png_set_gray_to_rgb(png);
        png_set_bgr(png);
        png_read_update_info(png, info);
        for (int y = 0; y < 1024; ++y) {
            png_bytep row = &image[static_cast<std::size_t>(y) * 1024 * 4];
            png_read_rows(png, &row, nullptr, 1);
        }
        png_read_end(png, nullptr);
        png_destroy_read_struct(&png, &info, nullptr);
        benchmark::DoNotOptimize(image.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 1024 * 1024 * 4);
}

BENCHMARK(BM_PngDecode_LibpngAlone)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngDecode_Ours)->Unit(benchmark::kMillisecond);

constexpr int kSprites = 2000;
constexpr int kScreenW = 320, kScreenH = 480;

int g_DrawCalls = 0;
void (*g_RealDrawElements)(GLenum, GLsizei, GLenum, const void*) = nullptr;

// The sprite's two planes (malloc'ed; the bitmap adopts them) and where the 2,000 copies go.
struct TSpriteScene {
    std::uint16_t* pixels = static_cast<std::uint16_t*>(std::malloc(32 * 32 * 2));
    unsigned char* alpha = static_cast<unsigned char*>(std::malloc(32 * 32));
    std::vector<std::pair<int, int>> positions;
    bool adopted = false;

    TSpriteScene() : positions(kSprites) {
        for (int i = 0; i < 32 * 32; ++i) {
            pixels[i] = static_cast<std::uint16_t>(0xF800 | (i & 0x7FF));
            alpha[i] = static_cast<unsigned char>((i * 7) & 255);
        }
        std::uint32_t seed = 99;
        for (auto& p : positions) {
            seed = seed * 1664525u + 1013904223u;
            p.first = static_cast<int>(seed % (kScreenW - 32));
            seed = seed * 1664525u + 1013904223u;
            p.second = static_cast<int>(seed % (kScreenH - 32));
        }
    }
    ~TSpriteScene() {
        if (!adopted) {
            std::free(pixels);
            std::free(alpha);
        }
    }
    // Hands both planes to the sprite and uploads them once; false when the upload fails.
    bool Upload(CGlTestGame& game, CWinDibBitmapOGLES& sprite) {
        adopted = true;
        game.m_RenderSwitches.m_bImmediateUpload = false;
        sprite.SetBits(reinterpret_cast<unsigned char*>(pixels), 32, 32);
        sprite.SetAlphaBits(alpha, 32, 32);
        game.m_RenderSwitches.m_bImmediateUpload = true;
        return sprite.HWUpdateTexture();
    }
};

void SpriteFrames(benchmark::State& state, bool batched) {
    const auto ctx = bench::StartHeadlessGl(state, kScreenW, kScreenH);
    if (!ctx) return;
    CGlTestGame game;
    game.m_RenderSwitches.m_nRendererKind = kRendererGLES;
    CWinDibBitmapOGLES* screen = game.MakeScreen(kScreenW, kScreenH);
    CWinDibBitmapOGLES sprite(&game);
    TSpriteScene scene;
    if (!scene.Upload(game, sprite)) {
        state.SkipWithError("upload failed");
        return;
    }
    g_RealDrawElements = g_Gl.DrawElements;
    g_Gl.DrawElements = [](GLenum m, GLsizei c, GLenum t, const void* i) {
        ++g_DrawCalls;
        g_RealDrawElements(m, c, t, i);
    };
    g_DrawCalls = 0;
    for (auto _ : state) {
        for (const auto& p : scene.positions) {
            sprite.BitBlt(screen, p.first, p.second, 0, 0, 0, 0, -40);
            if (!batched) GLES_FlushBuffer();
        }
        GLES_FlushBuffer();
        glFinish();
    }
    g_Gl.DrawElements = g_RealDrawElements;
    state.counters["draw_calls_per_frame"] =
        benchmark::Counter(static_cast<double>(g_DrawCalls) / static_cast<double>(state.iterations()));
    GLES_ResetStateCache();
}

void BM_Sprites2000_Batched(benchmark::State& state) { SpriteFrames(state, true); }
void BM_Sprites2000_OneDrawPerSprite(benchmark::State& state) { SpriteFrames(state, false); }

BENCHMARK(BM_Sprites2000_OneDrawPerSprite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sprites2000_Batched)->Unit(benchmark::kMillisecond);

// 2,000 alpha-blended 32 x 32 sprites per frame with an alpha offset of -40, both renderers on
// llvmpipe with one thread, each frame finished before the clock stops.
void BM_Sprites2000_vs_SDL2(benchmark::State& state) {
    const auto ctx = bench::StartHeadlessGl(state, kScreenW, kScreenH);
    if (!ctx) return;
    const bench::TEglCurrent ours;
    CGlTestGame game;
    game.m_RenderSwitches.m_nRendererKind = kRendererGLES;
    CWinDibBitmapOGLES* screen = game.MakeScreen(kScreenW, kScreenH);
    CWinDibBitmapOGLES sprite(&game);
    TSpriteScene scene;
    bench::CSdlGlesScene sdl;
    const bool sdlStarted = sdl.Start(kScreenW, kScreenH, bench::Argb8888(scene.pixels, scene.alpha, 32 * 32), 32, 32);
    if (sdlStarted) SDL_SetTextureAlphaMod(sdl.Texture(), 255 - 40);  // our alpha offset of -40
    ours.MakeCurrent();
    if (!sdlStarted || !scene.Upload(game, sprite)) {
        state.SkipWithError(sdlStarted ? "upload failed" : "SDL's GLES2 renderer did not start");
        return;
    }
    bench::RunAgainst(
        state, 1.0,
        [&] {
            ours.MakeCurrent();
            for (const auto& p : scene.positions) sprite.BitBlt(screen, p.first, p.second, 0, 0, 0, 0, -40);
            GLES_FlushBuffer();
            glFinish();
        },
        [&] {
            sdl.MakeCurrent();
            for (const auto& p : scene.positions) {
                const SDL_Rect to{p.first, p.second, 32, 32};
                SDL_RenderCopy(sdl.Renderer(), sdl.Texture(), nullptr, &to);
            }
            sdl.Finish();
        },
        bench::TimeKind::Wall);  // llvmpipe rasterises on threads of its own
    ours.MakeCurrent();
    GLES_ResetStateCache();
}
BENCHMARK(BM_Sprites2000_vs_SDL2)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
