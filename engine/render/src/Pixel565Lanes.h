// Private to engine/render: the lane arithmetic of the row kernels (Pixel565Rows.h), inline so
// that the blits' run loops can draw the short mixed runs of a sprite without a call per run.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "Pixel565Rows.h"

namespace render_detail::lanes {

// Eight pixels in 16-bit lanes. GCC and Clang lower these to SSE2 on x86-64 and NEON on ARM; every
// product below stays inside a signed 16-bit lane (at most 63 x 255).
using VU16 = std::uint16_t __attribute__((vector_size(16)));
using VI16 = std::int16_t __attribute__((vector_size(16)));
using VU8 = std::uint8_t __attribute__((vector_size(8)));
constexpr int kLanes = 8;

inline VU16 Load(const std::uint16_t* p) {
    VU16 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Eight alpha bytes widened to lanes: the bytes interleaved with zeros (one unpack; the
// compilers' widening conversion of an 8-byte vector takes a detour through both halves).
inline VI16 LoadAlpha(const unsigned char* p) {
    using VU8x16 = std::uint8_t __attribute__((vector_size(16)));
    using VU64x2 = std::uint64_t __attribute__((vector_size(16)));
    std::uint64_t bytes;
    std::memcpy(&bytes, p, sizeof bytes);
    const auto v = std::bit_cast<VU8x16>(VU64x2{bytes, 0});
    const VU8x16 zero{};
    return std::bit_cast<VI16>(
        __builtin_shufflevector(v, zero, 0, 16, 1, 17, 2, 18, 3, 19, 4, 20, 5, 21, 6, 22, 7, 23));
}

inline void Store(std::uint16_t* p, VU16 v) { std::memcpy(p, &v, sizeof v); }

inline VI16 Signed(VU16 v) { return std::bit_cast<VI16>(v); }
inline VU16 Unsigned(VI16 v) { return std::bit_cast<VU16>(v); }

inline VU16 Select(VI16 mask, VU16 ifSet, VU16 ifClear) {
    const VU16 m = Unsigned(mask);
    return (ifSet & m) | (ifClear & ~m);
}

inline VU16 Pack(VI16 r, VI16 g, VI16 b) { return (Unsigned(r) << 11) | (Unsigned(g) << 5) | Unsigned(b); }

// One field in lanes: d + ((s - d) x a >> 8), the shift arithmetic.
inline VI16 DifferenceField(VI16 d, VI16 s, VI16 a) { return d + (((s - d) * a) >> 8); }
// One field in lanes: d + (s x a >> 8) - (d x a >> 8).
inline VI16 SeparateField(VI16 d, VI16 s, VI16 a) { return d + ((s * a) >> 8) - ((d * a) >> 8); }

template <BlendFormula F>
VU16 BlendLanes(VU16 d, VU16 s, VI16 a) {
    const VI16 dr = Signed(d >> 11), sr = Signed(s >> 11);
    const VI16 dg = Signed((d >> 5) & 63), sg = Signed((s >> 5) & 63);
    const VI16 db = Signed(d & 31), sb = Signed(s & 31);
    if constexpr (F == BlendFormula::Difference) {
        return Pack(DifferenceField(dr, sr, a), DifferenceField(dg, sg, a), DifferenceField(db, sb, a));
    } else {
        return Pack(SeparateField(dr, sr, a), SeparateField(dg, sg, a), SeparateField(db, sb, a));
    }
}

// The same arithmetic for one pixel, for the ends of rows shorter than a lane group.
template <BlendFormula F>
std::uint16_t BlendOne(std::uint16_t d, std::uint16_t s, int a) {
    auto field = [a](int dc, int sc) {
        if constexpr (F == BlendFormula::Difference) {
            return dc + (((sc - dc) * a) >> 8);
        } else {
            return dc + ((sc * a) >> 8) - ((dc * a) >> 8);
        }
    };
    const int r = field(d >> 11, s >> 11);
    const int g = field((d >> 5) & 63, (s >> 5) & 63);
    const int b = field(d & 31, s & 31);
    return static_cast<std::uint16_t>((r << 11) | (g << 5) | b);
}

// Eight pixels of a row by the rule, every lane as the per-pixel rule has it. Without an offset
// the effective alpha is the source's own, already in 0..255.
template <BlendFormula F, bool NoOffset>
void BlendLanesByAlpha(std::uint16_t* out, const std::uint16_t* src, const unsigned char* alpha, VI16 vOffset,
                       VI16 vSkip, VI16 vCopy) {
    const VI16 sa = LoadAlpha(alpha);
    const VU16 s = Load(src), d = Load(out);
    if constexpr (NoOffset) {
        const VU16 drawn = Select(sa >= vCopy, s, BlendLanes<F>(d, s, sa));
        Store(out, Select(sa <= vSkip, d, drawn));
        return;
    }
    const VI16 vZero = VI16{}, vMax = VI16{} + 255;
    const VI16 e = sa + vOffset;
    // The weight is only used where 0 < e < copyFrom; elsewhere it is clamped so no product
    // leaves its lane.
    VI16 a = e > vMax ? vMax : e;
    a = a < vZero ? vZero : a;
    const VI16 skip = (sa <= vSkip) | (e <= vSkip);
    const VI16 copy = e >= vCopy;
    const VU16 drawn = Select(copy, s, BlendLanes<F>(d, s, a));
    Store(out, Select(skip, d, drawn));
}

// A row rule's lane constants, made once per blit: the 8-lane groups and the one-by-one tail of a
// run, drawn exactly as BlendRowByAlpha draws them.
template <BlendFormula F>
class CAlphaLanes {
public:
    explicit CAlphaLanes(TAlphaRule rule)
        : m_Rule(rule),
          m_Offset(std::clamp(rule.offset, -256, 256)),
          m_VOffset(VI16{} + static_cast<std::int16_t>(m_Offset)),
          m_VSkip(VI16{} + static_cast<std::int16_t>(rule.skipAtOrBelow)),
          m_VCopy(VI16{} + static_cast<std::int16_t>(rule.copyFrom)) {}

    void Draw(std::uint16_t* out, const std::uint16_t* src, const unsigned char* alpha, int n) const {
        int i = 0;
        if (m_Offset == 0) {
            for (; i + kLanes <= n; i += kLanes) {
                BlendLanesByAlpha<F, true>(out + i, src + i, alpha + i, m_VOffset, m_VSkip, m_VCopy);
            }
        } else {
            for (; i + kLanes <= n; i += kLanes) {
                BlendLanesByAlpha<F, false>(out + i, src + i, alpha + i, m_VOffset, m_VSkip, m_VCopy);
            }
        }
        for (; i < n; ++i) {
            const int sa = alpha[i];
            const int e = sa + m_Offset;
            if (sa <= m_Rule.skipAtOrBelow || e <= m_Rule.skipAtOrBelow) {
                continue;
            }
            out[i] = e >= m_Rule.copyFrom ? src[i] : BlendOne<F>(out[i], src[i], e);
        }
    }

private:
    TAlphaRule m_Rule;
    int m_Offset;
    VI16 m_VOffset, m_VSkip, m_VCopy;
};

// Colour keying in lanes with one weight (256 or more copies), as DrawRowSkippingKey draws.
class CKeyLanes {
public:
    CKeyLanes(std::uint16_t key, int a)
        : m_Key(key),
          m_A(a),
          m_Copy(a >= 256),
          m_VA(VI16{} + static_cast<std::int16_t>(std::clamp(a, 0, 255))),
          m_VKey(VU16{} + key) {}

    void Draw(std::uint16_t* out, const std::uint16_t* src, int n) const {
        int i = 0;
        for (; i + kLanes <= n; i += kLanes) {
            const VU16 s = Load(src + i), d = Load(out + i);
            const VI16 keyed = s == m_VKey;
            const VU16 drawn = m_Copy ? s : BlendLanes<BlendFormula::Difference>(d, s, m_VA);
            Store(out + i, Select(keyed, d, drawn));
        }
        for (; i < n; ++i) {
            if (src[i] != m_Key) {
                out[i] = m_Copy ? src[i] : BlendOne<BlendFormula::Difference>(out[i], src[i], m_A);
            }
        }
    }

private:
    std::uint16_t m_Key;
    int m_A;
    bool m_Copy;
    VI16 m_VA;
    VU16 m_VKey;
};

}  // namespace render_detail::lanes
