// Deterministic randomness for the recipes: an integer hash, a small generator for scattering
// things, and value noise (grass, stone, wood grain). Nothing depends on the standard library's
// distributions, whose output may differ between library versions.
#pragma once

#include <cstdint>

namespace imagegen {

// A well-mixed 32-bit hash of a lattice point and a seed.
std::uint32_t Hash(std::int32_t x, std::int32_t y, std::uint32_t seed);

// A small PCG-style generator with a fixed sequence per seed.
class CRandom {
public:
    explicit CRandom(std::uint64_t seed);
    std::uint32_t Next();
    // Uniform in [lo, hi).
    float Range(float lo, float hi);
    // Uniform integer in [lo, hi].
    int Int(int lo, int hi);

private:
    std::uint64_t m_state;
};

// Value noise: random values 0..1 on the integer lattice, smoothly interpolated between.
class CValueNoise {
public:
    explicit CValueNoise(std::uint32_t seed) : m_seed(seed) {}
    // In 0..1; equals the lattice value at integer points.
    float At(float x, float y) const;
    // Fractal sum of `octaves` layers, each at twice the frequency and half the weight; 0..1.
    float Fbm(float x, float y, int octaves) const;
    // As At, with the lattice wrapping every periodX cells across and periodY cells down, so the
    // noise repeats exactly (for tiles that must meet without a seam).
    float Periodic(float x, float y, int periodX, int periodY) const;
    float Lattice(std::int32_t x, std::int32_t y) const;

private:
    std::uint32_t m_seed;
};

}  // namespace imagegen
