// Fixed-point arithmetic of the marble game: the vector lengths every gameplay object measures
// with, and 32-bit arithmetic that wraps instead of overflowing. Values read from a saved round
// may hold anything, so the objects that run them add, multiply and convert through these.
// No state; any thread.
#pragma once

#include <cstdint>

#include "core/Common.h"

namespace gameplay {

// a + b in 32 bits, wrapping on overflow.
inline std::int32_t WrapAdd(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
inline std::int32_t WrapSub(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}
// The 16.16 product of two 16.16 values, taken in 64 bits and cut back to 32.
inline std::int32_t Mul16(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>((static_cast<std::int64_t>(a) * b) >> 16);
}
// |a|, with the most negative value mapping onto the largest positive one.
inline std::int32_t Abs32(std::int32_t a) {
    if (a >= 0) return a;
    return a == INT32_MIN ? INT32_MAX : -a;
}
// A 64-bit value held to the 32-bit range.
inline std::int32_t Clamp32(std::int64_t v) {
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<std::int32_t>(v);
}
// A double held to the 32-bit range and cut towards zero; 0 for NaN.
std::int32_t TruncToInt32(double v);
// A double rounded half away from zero, held to the 32-bit range; 0 for NaN.
std::int32_t RoundToInt32(double v);

// Length in pixels of a FIXED_FLOAT vector, the way path pieces are measured: the squares are
// taken of the 24.8 components shifted down by 8, and when |dx| + |dy| reaches 46337 (just over
// 181 pixels) the components are first divided by 128 (towards zero) and the length multiplied
// by 128 again, the precision the game has always measured its paths with.
double PathLengthPx(std::int64_t dx, std::int64_t dy);

// Length of a 16.16 vector in 16.16 units by the same two ranges: above 181 pixels in |dx| + |dy|
// the components are divided by 128 first and the length multiplied back.
double VectorLength16(std::int64_t dx, std::int64_t dy);

// The unit vector (16.16) along a 16.16 vector, its length measured as VectorLength16 measures
// (components divided by 128 first above 181 pixels) and each component cut towards zero; a
// vector of length 0 stays as it is.
TVector2D_16 UnitVector16(std::int64_t dx, std::int64_t dy);

// An angle in FIXED_FLOAT degrees wrapped into 0 .. 360 degrees (0 .. 92159).
FIXED_FLOAT WrapDegrees(std::int64_t angle);

}  // namespace gameplay
