// Hashing, the scatter generator and value noise.
#include "imagegen/Noise.h"

#include <cmath>

namespace imagegen {

std::uint32_t Hash(std::int32_t x, std::int32_t y, std::uint32_t seed) {
    std::uint32_t h = seed * 0x9E3779B9u;
    h ^= static_cast<std::uint32_t>(x) * 0x85EBCA6Bu;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<std::uint32_t>(y) * 0xC2B2AE35u;
    // The finaliser of MurmurHash3: every input bit reaches every output bit.
    h ^= h >> 16;
    h *= 0x85EBCA6Bu;
    h ^= h >> 13;
    h *= 0xC2B2AE35u;
    h ^= h >> 16;
    return h;
}

CRandom::CRandom(std::uint64_t seed) : m_state(seed * 6364136223846793005ull + 1442695040888963407ull) {}

std::uint32_t CRandom::Next() {
    const std::uint64_t old = m_state;
    m_state = old * 6364136223846793005ull + 1442695040888963407ull;
    const auto xorshifted = static_cast<std::uint32_t>(((old >> 18u) ^ old) >> 27u);
    const auto rot = static_cast<std::uint32_t>(old >> 59u);
    return (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
}

float CRandom::Range(float lo, float hi) {
    // 24 bits give every float step in [0, 1) without rounding up to 1.
    const float u = static_cast<float>(Next() >> 8) / 16777216.0f;
    return lo + (hi - lo) * u;
}

int CRandom::Int(int lo, int hi) {
    if (hi <= lo) return lo;
    const auto span = static_cast<std::uint32_t>(hi - lo + 1);
    return lo + static_cast<int>(Next() % span);
}

float CValueNoise::Lattice(std::int32_t x, std::int32_t y) const {
    return static_cast<float>(Hash(x, y, m_seed) >> 8) / 16777215.0f;
}

namespace {

// Quintic fade: the value and its first two derivatives are continuous across cells.
float Fade(float t) { return t * t * t * (t * (t * 6 - 15) + 10); }

std::int32_t Wrap(std::int32_t v, int period) {
    if (period <= 0) return v;
    const std::int32_t m = v % period;
    return m < 0 ? m + period : m;
}

}  // namespace

float CValueNoise::At(float x, float y) const { return Periodic(x, y, 0, 0); }

float CValueNoise::Periodic(float x, float y, int periodX, int periodY) const {
    const float fx = std::floor(x), fy = std::floor(y);
    const auto ix = static_cast<std::int32_t>(fx), iy = static_cast<std::int32_t>(fy);
    const float ux = Fade(x - fx), uy = Fade(y - fy);
    const std::int32_t x0 = Wrap(ix, periodX), x1 = Wrap(ix + 1, periodX);
    const std::int32_t y0 = Wrap(iy, periodY), y1 = Wrap(iy + 1, periodY);
    const float a = Lattice(x0, y0), b = Lattice(x1, y0);
    const float c = Lattice(x0, y1), d = Lattice(x1, y1);
    const float top = a + (b - a) * ux, bottom = c + (d - c) * ux;
    return top + (bottom - top) * uy;
}

float CValueNoise::Fbm(float x, float y, int octaves) const {
    float sum = 0, weight = 1, total = 0, scale = 1;
    for (int i = 0; i < octaves; ++i) {
        // Each octave is shifted so the lattices of the layers do not line up.
        sum += weight * At(x * scale + static_cast<float>(i) * 17.31f, y * scale + static_cast<float>(i) * 9.73f);
        total += weight;
        weight *= 0.5f;
        scale *= 2.0f;
    }
    return total > 0 ? sum / total : 0.0f;
}

}  // namespace imagegen
