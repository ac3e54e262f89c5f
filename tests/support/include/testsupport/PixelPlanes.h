#pragma once
// Pixel planes as bitmaps adopt them (SetBits, SetAlphaBits), for the GL bitmap tests.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// The RGB565 pixel of 8-bit channels, each cut to its top bits.
inline std::uint16_t Rgb565(int r, int g, int b) {
    return static_cast<std::uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
}

// A malloc'ed plane of n copies of v.
template <typename T>
unsigned char* Plane(std::size_t n, T v) {
    auto* p = static_cast<T*>(std::malloc(n * sizeof(T)));
    for (std::size_t i = 0; i < n; ++i) p[i] = v;
    return reinterpret_cast<unsigned char*>(p);
}
