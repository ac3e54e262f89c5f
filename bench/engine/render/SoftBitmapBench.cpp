// Software blits and the rotator measured against memcpy of the same bytes, so the figures read
// as ratios that hold on any machine: compare bytes_per_second of each blit with BM_Memcpy512.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "render/ImageRotatorScaler.h"
#include "render/WinDibBitmap.h"

namespace {

constexpr int kSide = 512;
constexpr std::size_t kBytes = static_cast<std::size_t>(kSide) * kSide * 2;

std::unique_ptr<CWinDibBitmap> MakeImage(int side, bool withAlpha) {
    auto b = std::make_unique<CWinDibBitmap>(nullptr);
    b->Create(side, side);
    auto* px = reinterpret_cast<std::uint16_t*>(b->GetBits());
    unsigned char* al = b->GetAlphaBits();
    for (int i = 0; i < side * side; ++i) {
        px[i] = static_cast<std::uint16_t>(i * 2654435761u >> 16);
        // Mostly partial alpha: the blending path is the expensive one.
        al[i] = static_cast<unsigned char>(16 + (i * 7) % 224);
    }
    if (!withAlpha) {
        b->DestroyAlpha();
    }
    return b;
}

// The whole 512 x 512 source blitted to (x, 0) of dst, per iteration.
void TimeBlit(benchmark::State& state, CWinDibBitmap& src, CWinDibBitmap& dst, int x) {
    for (auto _ : state) {
        src.BitBlt(&dst, x, 0, 0, 0, 0, 0, 0);
        benchmark::DoNotOptimize(dst.GetBits());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kBytes);
}

void BM_Memcpy512(benchmark::State& state) {
    std::vector<std::uint16_t> src(kBytes / 2, 0x1234), dst(kBytes / 2);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), kBytes);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kBytes);
}
BENCHMARK(BM_Memcpy512);

void BM_OpaqueBlit512(benchmark::State& state) {
    auto src = MakeImage(kSide, false);
    auto dst = MakeImage(kSide, false);
    TimeBlit(state, *src, *dst, 0);
}
BENCHMARK(BM_OpaqueBlit512);

// The same blit into a wider screen: rows are no longer one block, so each is copied alone.
void BM_OpaqueBlit512IntoWider(benchmark::State& state) {
    auto src = MakeImage(kSide, false);
    auto dst = std::make_unique<CWinDibBitmap>(nullptr);
    dst->Create(640, kSide);
    dst->DestroyAlpha();
    TimeBlit(state, *src, *dst, 64);
}
BENCHMARK(BM_OpaqueBlit512IntoWider);

void BM_AlphaBlit512(benchmark::State& state) {
    auto src = MakeImage(kSide, true);
    auto dst = MakeImage(kSide, false);
    TimeBlit(state, *src, *dst, 0);
}
BENCHMARK(BM_AlphaBlit512);

// A rotator with its tables at the given quality; null, the benchmark marked failed, when the
// tables cannot be made.
std::unique_ptr<CQuorvanImageRotatorScaler> MakeRotator(benchmark::State& state, int quality) {
    auto rot = std::make_unique<CQuorvanImageRotatorScaler>(nullptr, 36000);
    if (rot->Initialize() != 1) {
        state.SkipWithError("rotator tables");
        return nullptr;
    }
    rot->SetQuality(quality);
    return rot;
}

// A 256 x 256 image turned by 30 degrees at scale 1 onto a 512 x 512 target, per quality.
void BM_RotateScale256(benchmark::State& state) {
    auto src = MakeImage(256, true);
    auto dst = MakeImage(kSide, false);
    const auto rot = MakeRotator(state, static_cast<int>(state.range(0)));
    if (!rot) {
        return;
    }
    for (auto _ : state) {
        rot->DrawRotatedBitmap(src.get(), dst.get(), 256 << 8, 256 << 8, 30 * 256, 0x10000, 0);
        benchmark::DoNotOptimize(dst->GetBits());
        benchmark::ClobberMemory();
    }
    // Bytes of the source image handled per draw, to set beside memcpy.
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 256 * 256 * 2);
}
BENCHMARK(BM_RotateScale256)->Arg(0)->Arg(1)->Arg(2);

// The additive draw of the same turn: Arg(0) whether the source has alpha, Arg(1) the quality
// (a source without alpha at quality 0 takes the nearest-sample path).
void BM_RotateAdditive256(benchmark::State& state) {
    auto src = MakeImage(256, state.range(0) != 0);
    auto dst = MakeImage(kSide, false);
    const auto rot = MakeRotator(state, static_cast<int>(state.range(1)));
    if (!rot) {
        return;
    }
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
