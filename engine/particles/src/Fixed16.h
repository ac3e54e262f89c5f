#pragma once
// 16.16 arithmetic of the particle code. Effect files may hold any number, so every product is
// taken in 64 bits and every result wraps to 32 bits the way the phone's integer unit did,
// instead of being undefined behaviour.

#include <cstdint>

#include "core/Common.h"

namespace particles {

inline std::int32_t Wrap32(std::int64_t v) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(v)));
}
inline FIXED_FLOAT_16 Add(FIXED_FLOAT_16 a, FIXED_FLOAT_16 b) { return Wrap32(static_cast<std::int64_t>(a) + b); }
inline FIXED_FLOAT_16 Sub(FIXED_FLOAT_16 a, FIXED_FLOAT_16 b) { return Wrap32(static_cast<std::int64_t>(a) - b); }
// a x b of two 16.16 values: the 64-bit product shifted right 16.
inline FIXED_FLOAT_16 Mul(FIXED_FLOAT_16 a, FIXED_FLOAT_16 b) {
    return Wrap32((static_cast<std::int64_t>(a) * b) >> 16);
}
// Plain integer product, wrapped.
inline std::int32_t IMul(std::int32_t a, std::int32_t b) { return Wrap32(static_cast<std::int64_t>(a) * b); }
inline std::int32_t Shl16(std::int32_t a) {
    return Wrap32(static_cast<std::int64_t>(static_cast<std::uint32_t>(a)) << 16);
}
// The engine's fixed-point division num / den as ((num x 16) / (den >> 8)) x 16; den >> 8
// must not be 0 (callers decide what a too-short divisor means).
inline FIXED_FLOAT_16 Div(FIXED_FLOAT_16 num, FIXED_FLOAT_16 den) {
    const std::int64_t d = den >> 8;
    return Wrap32((static_cast<std::int64_t>(num) * 16 / d) * 16);
}
// An angle in 16.16 degrees wrapped into [0, 360).
inline FIXED_FLOAT_16 WrapDegrees(FIXED_FLOAT_16 a) {
    constexpr std::int64_t kTurn = 360LL * 65536;
    std::int64_t v = a % kTurn;
    if (v < 0) v += kTurn;
    return static_cast<FIXED_FLOAT_16>(v);
}

}  // namespace particles
