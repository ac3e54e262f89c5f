#include "Pixel565Rows.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "Pixel565Lanes.h"

namespace render_detail {

namespace {

using namespace lanes;

// Sixteen alpha bytes, compared as unsigned bytes.
using VU8x16 = std::uint8_t __attribute__((vector_size(16)));
using VI8x16 = std::int8_t __attribute__((vector_size(16)));
constexpr int kGroup = 16;

VU8x16 LoadAlpha16(const unsigned char* p) {
    VU8x16 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <class V>
bool AllLanes(V mask) {
    return std::bit_cast<unsigned __int128>(mask) == ~static_cast<unsigned __int128>(0);
}

template <class V>
bool NoLane(V mask) {
    return std::bit_cast<unsigned __int128>(mask) == 0;
}

template <BlendFormula F>
void BlendRowByAlphaWith(std::uint16_t* out, const std::uint16_t* src, const unsigned char* alpha, int n,
                         TAlphaRule rule) {
    // Offsets past what any alpha can reach act alike; the clamp keeps e inside a 16-bit lane.
    const int offset = std::clamp(rule.offset, -256, 256);
    const VI16 vOffset = VI16{} + static_cast<std::int16_t>(offset);
    const VI16 vSkip = VI16{} + static_cast<std::int16_t>(rule.skipAtOrBelow);
    const VI16 vCopy = VI16{} + static_cast<std::int16_t>(rule.copyFrom);
    // The rule on source alpha alone: a pixel is skipped when sa <= skipBelowOrAt (sa itself, or
    // e = sa + offset, at or below the threshold), and copied when it is not skipped and
    // sa >= copyAtOrAbove. Sixteen pixels alike cost one compare of their alpha bytes: a clear
    // run is passed over without touching its pixels, an opaque run is copied, and only groups
    // that hold a partial pixel are blended (lane by lane, exactly as before).
    const int skipBelowOrAt = rule.skipAtOrBelow + std::max(0, -offset);
    const int copyAtOrAbove = std::max(rule.copyFrom - offset, skipBelowOrAt + 1);
    if (skipBelowOrAt >= 255) {
        return;
    }
    const bool canCopy = copyAtOrAbove <= 255;
    const auto skipByte = static_cast<std::uint8_t>(std::max(skipBelowOrAt, 0));
    const auto copyByte = static_cast<std::uint8_t>(canCopy ? copyAtOrAbove : 255);
    const VU8x16 vSkipBytes = VU8x16{} + skipByte;
    const VU8x16 vCopyBytes = VU8x16{} + copyByte;
    const bool anySkip = skipBelowOrAt >= 0;
    int i = 0;
    for (; i + kGroup <= n; i += kGroup) {
        const VU8x16 sa = LoadAlpha16(alpha + i);
        if (anySkip && AllLanes(sa <= vSkipBytes)) {
            continue;
        }
        if (canCopy && AllLanes(sa >= vCopyBytes)) {
            std::memcpy(out + i, src + i, kGroup * sizeof(std::uint16_t));
            continue;
        }
        BlendLanesByAlpha<F>(out + i, src + i, alpha + i, vOffset, vSkip, vCopy);
        BlendLanesByAlpha<F>(out + i + kLanes, src + i + kLanes, alpha + i + kLanes, vOffset, vSkip, vCopy);
    }
    for (; i + kLanes <= n; i += kLanes) {
        BlendLanesByAlpha<F>(out + i, src + i, alpha + i, vOffset, vSkip, vCopy);
    }
    for (; i < n; ++i) {
        const int sa = alpha[i];
        const int e = sa + offset;
        if (sa <= rule.skipAtOrBelow || e <= rule.skipAtOrBelow) {
            continue;
        }
        out[i] = e >= rule.copyFrom ? src[i] : BlendOne<F>(out[i], src[i], e);
    }
}

}  // namespace

void BlendRowByAlpha(std::uint16_t* out, const std::uint16_t* src, const unsigned char* alpha, int n, TAlphaRule rule,
                     BlendFormula formula) {
    if (formula == BlendFormula::Difference) {
        BlendRowByAlphaWith<BlendFormula::Difference>(out, src, alpha, n, rule);
    } else {
        BlendRowByAlphaWith<BlendFormula::SeparateProducts>(out, src, alpha, n, rule);
    }
}

void BlendRowConstant(std::uint16_t* out, const std::uint16_t* src, int n, int a) {
    a = std::clamp(a, 0, 255);
    const VI16 va = VI16{} + static_cast<std::int16_t>(a);
    int i = 0;
    for (; i + kLanes <= n; i += kLanes) {
        Store(out + i, BlendLanes<BlendFormula::Difference>(Load(out + i), Load(src + i), va));
    }
    for (; i < n; ++i) {
        out[i] = BlendOne<BlendFormula::Difference>(out[i], src[i], a);
    }
}

void DrawRowSkippingKey(std::uint16_t* out, const std::uint16_t* src, int n, std::uint16_t key, int a) {
    const bool copy = a >= 256;
    const VI16 va = VI16{} + static_cast<std::int16_t>(std::clamp(a, 0, 255));
    const VU16 vKey = VU16{} + key;
    int i = 0;
    // Eight keyed pixels in a row are passed over, eight unkeyed ones copied whole when the draw
    // copies; only groups that mix the two take the lane select.
    for (; i + kLanes <= n; i += kLanes) {
        const VU16 s = Load(src + i);
        const VI16 keyed = s == vKey;
        if (AllLanes(keyed)) {
            continue;
        }
        if (copy && NoLane(keyed)) {
            Store(out + i, s);
            continue;
        }
        const VU16 d = Load(out + i);
        const VU16 drawn = copy ? s : BlendLanes<BlendFormula::Difference>(d, s, va);
        Store(out + i, Select(keyed, d, drawn));
    }
    for (; i < n; ++i) {
        if (src[i] != key) {
            out[i] = copy ? src[i] : BlendOne<BlendFormula::Difference>(out[i], src[i], a);
        }
    }
}

}  // namespace render_detail
