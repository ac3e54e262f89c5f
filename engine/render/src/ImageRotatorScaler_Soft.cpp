// The software rotate-and-scale family: inverse mapping of every destination pixel of the rotated
// bounding box into the source, one member per blend and quality level.
#include <algorithm>
#include <cstdint>

#include "Pixel565.h"
#include "render/ImageRotatorScaler.h"
#include "render/WinDibBitmap.h"

using namespace render_detail;

namespace {

// The planes of a source as the software path may read them.
struct TSource {
    const std::uint16_t* pixels = nullptr;
    const unsigned char* alpha = nullptr;
    int width = 0;  // sampled extent (buffer size)
    int height = 0;
    int stride = 0;  // stored columns
};

TSource SourceOf(IDibBitmap* src) {
    TSource s;
    if (auto* soft = dynamic_cast<CWinDibBitmap*>(src)) {
        s.pixels = reinterpret_cast<const std::uint16_t*>(soft->PixelsToRead());
        s.alpha = soft->AlphaToRead();
        s.stride = soft->GetStoredWidth();
    } else {
        s.pixels = reinterpret_cast<const std::uint16_t*>(src->GetBits());
        s.alpha = src->GetAlphaBits();
        s.stride = src->m_BufferWidth;
    }
    s.width = std::min(src->m_BufferWidth, s.stride);
    s.height = src->m_BufferHeight;
    return s;
}

// Where the rotated source lands and how a destination pixel maps back into it.
struct TFrame {
    int x0 = 0, y0 = 0, x1 = -1, y1 = -1;  // destination box, inclusive
    std::int64_t rowU = 0, rowV = 0;       // source position (16.16) of (x0, y0)
    std::int64_t du = 0, dv = 0;           // per destination column
    std::int64_t duRow = 0, dvRow = 0;     // per destination row
    bool mirror = false;
    std::int64_t mirrorWidth = 0;  // source width in 16.16
};

bool SetupFrame(const int* sin256, const int* cos256, int index, const TSource& s, const TDestination& d, FIXED_FLOAT x,
                FIXED_FLOAT y, FIXED_FLOAT_16 scale, int flags, TFrame& f) {
    const std::int64_t sn = sin256[index];
    const std::int64_t cs = cos256[index];
    const std::int64_t hw = static_cast<std::int64_t>(s.width) * 128;
    const std::int64_t hh = static_cast<std::int64_t>(s.height) * 128;
    const std::int64_t cornersX[4] = {-hw, hw, hw, -hw};
    const std::int64_t cornersY[4] = {-hh, -hh, hh, hh};
    std::int64_t minX = INT64_MAX, minY = INT64_MAX, maxX = INT64_MIN, maxY = INT64_MIN;
    for (int i = 0; i < 4; ++i) {
        std::int64_t cx = cornersX[i], cy = cornersY[i];
        if (scale != 0x10000) {
            cx = (cx * scale) >> 16;
            cy = (cy * scale) >> 16;
        }
        const std::int64_t rx = ((cx * cs - cy * sn) >> 8) + x;
        const std::int64_t ry = ((cx * sn + cy * cs) >> 8) + y;
        minX = std::min(minX, rx);
        maxX = std::max(maxX, rx);
        minY = std::min(minY, ry);
        maxY = std::max(maxY, ry);
    }
    f.x0 = static_cast<int>(std::max<std::int64_t>(minX >> 8, 0));
    f.y0 = static_cast<int>(std::max<std::int64_t>(minY >> 8, 0));
    f.x1 = static_cast<int>(std::min<std::int64_t>((maxX + 512) >> 8, d.width - 1));
    f.y1 = static_cast<int>(std::min<std::int64_t>((maxY + 512) >> 8, d.height - 1));
    if (f.x0 > f.x1 || f.y0 > f.y1) {
        return false;
    }
    const std::int64_t inv = (0x40000000LL / scale) * 4;
    const std::int64_t dx = (static_cast<std::int64_t>(f.x0) << 8) - x;
    const std::int64_t dy = (static_cast<std::int64_t>(f.y0) << 8) - y;
    f.rowU = (((dx * cs + dy * sn) * inv) >> 16) + (static_cast<std::int64_t>(s.width) << 15);
    f.rowV = (((dy * cs - dx * sn) * inv) >> 16) + (static_cast<std::int64_t>(s.height) << 15);
    f.du = (cs * inv) >> 8;
    f.dv = (-sn * inv) >> 8;
    f.duRow = (sn * inv) >> 8;
    f.dvRow = (cs * inv) >> 8;
    f.mirror = (flags & kFlipHorizontal) != 0;
    f.mirrorWidth = static_cast<std::int64_t>(s.width) << 16;
    return true;
}

// Calls fn(destination pixel, u, v) for every pixel of the box.
template <typename Fn>
void ForEachPixel(const TFrame& f, const TDestination& d, Fn&& fn) {
    std::int64_t rowU = f.rowU, rowV = f.rowV;
    for (int py = f.y0; py <= f.y1; ++py) {
        std::int64_t u = rowU, v = rowV;
        std::uint16_t* out = d.pixels + py * d.stride;
        for (int px = f.x0; px <= f.x1; ++px) {
            fn(out[px], f.mirror ? f.mirrorWidth - u : u, v);
            u += f.du;
            v += f.dv;
        }
        rowU += f.duRow;
        rowV += f.dvRow;
    }
}

// Nearest sampling: the source column must be below width - 1 and the row below height - 1.
inline bool InsideNearest(const TSource& s, std::int64_t u, std::int64_t v, std::size_t& index) {
    if (u < 0 || v < 0) {
        return false;
    }
    const std::int64_t col = u >> 16, row = v >> 16;
    if (col >= s.width - 1 || row >= s.height - 1) {
        return false;
    }
    index = static_cast<std::size_t>(row) * s.stride + static_cast<std::size_t>(col);
    return true;
}

inline std::uint32_t Widen(std::uint16_t p) { return (p * 0x10001u) & 0x07C0F81Fu; }
inline std::uint16_t Narrow(std::uint32_t w) { return static_cast<std::uint16_t>(w | (w >> 16)); }
// p + ((w x (q - p)) >> 4) on the widened form, w a 4-bit weight.
inline std::uint32_t LerpWide(std::uint32_t p, std::uint32_t q, std::uint32_t w) {
    return (p + ((w * (q - p)) >> 4)) & 0x07C0F81Fu;
}

// The four-pixel filter with 8-bit fractions. Samples outside the source carry no weight; the
// colour is divided by the weights that remain, so an unturned, unscaled draw reproduces the
// source exactly instead of losing a step to the truncated weights.
struct TBilinear {
    int r = 0, g = 0, b = 0;  // filtered 565 fields
    int weightSum = 0;        // of the samples inside the source
    int alphaSum = 0;         // plain sum of the four alphas (outside ones count 0)
    int alphaWeighted = 0;    // weighted alpha sum >> 8
    bool anyOutside = false;
};

inline bool SampleBilinear(const TSource& s, std::int64_t u, std::int64_t v, TBilinear& out) {
    const std::int64_t col = u >> 16, row = v >> 16;
    if (col < -1 || row < -1 || col > s.width - 1 || row > s.height - 1) {
        return false;
    }
    const int fx = static_cast<int>((u >> 8) & 255), fy = static_cast<int>((v >> 8) & 255);
    const int gx = 255 - fx, gy = 255 - fy;
    const int weights[4] = {(gx * gy) >> 8, (fx * gy) >> 8, (gx * fy) >> 8, (fx * fy) >> 8};
    const int cols[4] = {static_cast<int>(col), static_cast<int>(col) + 1, static_cast<int>(col),
                         static_cast<int>(col) + 1};
    const int rows[4] = {static_cast<int>(row), static_cast<int>(row), static_cast<int>(row) + 1,
                         static_cast<int>(row) + 1};
    int r = 0, g = 0, b = 0, wsum = 0, asum = 0, aw = 0;
    bool outside = false;
    for (int i = 0; i < 4; ++i) {
        if (cols[i] < 0 || rows[i] < 0 || cols[i] >= s.width || rows[i] >= s.height) {
            outside = true;
            continue;
        }
        const std::size_t index = static_cast<std::size_t>(rows[i]) * s.stride + cols[i];
        const std::uint16_t p = s.pixels[index];
        const int w = weights[i];
        r += Red5(p) * w;
        g += Green6(p) * w;
        b += Blue5(p) * w;
        wsum += w;
        if (s.alpha != nullptr) {
            asum += s.alpha[index];
            aw += s.alpha[index] * w;
        }
    }
    if (wsum == 0) {
        return false;
    }
    // One division per pixel: a reciprocal rounded up keeps exact multiples exact (so an
    // unturned draw is still pixel for pixel) and errs by less than a quarter step elsewhere.
    const std::uint64_t reciprocal = ((1ull << 24) + static_cast<unsigned>(wsum) - 1) / static_cast<unsigned>(wsum);
    out.r = static_cast<int>((static_cast<std::uint64_t>(r) * reciprocal) >> 24);
    out.g = static_cast<int>((static_cast<std::uint64_t>(g) * reciprocal) >> 24);
    out.b = static_cast<int>((static_cast<std::uint64_t>(b) * reciprocal) >> 24);
    out.weightSum = wsum;
    out.alphaSum = asum;
    out.alphaWeighted = aw >> 8;
    out.anyOutside = outside;
    return true;
}

// The alpha coverage rule of the filtered members; 0 means skip.
inline int AlphaCoverage(const TBilinear& t) {
    int sum = t.alphaSum;
    if (sum <= 8) {
        return 0;
    }
    if (t.anyOutside) {
        sum >>= 1;
    }
    const int coverage = sum >= 1000 ? sum >> 2 : t.alphaWeighted;
    return coverage <= 8 ? 0 : coverage;
}

// AlphaCoverage after the caller's alpha offset; 0 means skip.
inline int OffsetCoverage(const TBilinear& t, int offset) {
    const int coverage = AlphaCoverage(t);
    const int a = coverage + offset;
    return coverage == 0 || a <= 8 ? 0 : a;
}

// The additive members: the 565 fields tinted by 5/6/5-bit factors, weakened by a below 245,
// added with saturation.
inline std::uint16_t AddTinted565(std::uint16_t out, int r5, int g6, int b5, int tr, int tg, int tb, int a) {
    int cr = (r5 * tr) >> 5, cg = (g6 * tg) >> 6, cb = (b5 * tb) >> 5;
    if (a < 245) {
        cr = (cr * a) >> 8;
        cg = (cg * a) >> 8;
        cb = (cb * a) >> 8;
    }
    return AddSaturate565(out, cr, cg, cb);
}

inline std::uint16_t Pack(int r5, int g6, int b5) { return static_cast<std::uint16_t>((r5 << 11) | (g6 << 5) | b5); }

// Everything a member needs before its loop; false when it must draw nothing.
struct TSetup {
    TSource s;
    TDestination d;
    TFrame f;
};

bool Prepare(const int* sin256, const int* cos256, int index, IDibBitmap* src, IDibBitmap* dst, FIXED_FLOAT x,
             FIXED_FLOAT y, FIXED_FLOAT_16 scale, int flags, bool needAlpha, int minScale, TSetup& out) {
    if (src == nullptr || sin256 == nullptr || scale <= 0 || scale < minScale) {
        return false;
    }
    out.s = SourceOf(src);
    out.d = DestinationOf(dst);
    if (out.s.pixels == nullptr || out.d.pixels == nullptr || out.s.width <= 0 || out.s.height <= 0 ||
        (needAlpha && out.s.alpha == nullptr)) {
        return false;
    }
    return SetupFrame(sin256, cos256, index, out.s, out.d, x, y, scale, flags, out.f);
}

constexpr int kMinScale = 4096;  // below 1/16 the fast members draw nothing

}  // namespace

void CQuorvanImageRotatorScaler::SW565_DrawRotatedBitmapHighest(IDibBitmap* src, IDibBitmap* dst, FIXED_FLOAT x,
                                                                FIXED_FLOAT y, FIXED_FLOAT angle, FIXED_FLOAT_16 scale,
                                                                int flags) {
    if (src == nullptr) {
        return;
    }
    const TSource probe = SourceOf(src);
    if (probe.alpha == nullptr) {
        SW565_DrawRotatedBitmapHighest_NoAlpha(src, dst, x, y, angle, scale, flags);
        return;
    }
    if (m_nQuality == 1) {
        SW565_DrawRotatedBitmapHigh(src, dst, x, y, angle, scale, flags);
        return;
    }
    if (m_nQuality == 0) {
        SW565_DrawRotatedBitmapLowest(src, dst, x, y, angle, scale, flags);
        return;
    }
    TSetup st;
    if (!Prepare(m_pSin256, m_pCos256, GetLookupIndex(angle), src, dst, x, y, scale, flags, true, 0, st)) {
        return;
    }
    ForEachPixel(st.f, st.d, [&](std::uint16_t& out, std::int64_t u, std::int64_t v) {
        TBilinear t;
        if (!SampleBilinear(st.s, u, v, t)) {
            return;
        }
        const int a = AlphaCoverage(t);
        if (a == 0) {
            return;
        }
        const std::uint16_t c = Pack(t.r, t.g, t.b);
        out = a > 254 ? c : Blend565(out, c, a);
    });
}

void CQuorvanImageRotatorScaler::SW565_DrawRotatedBitmapHighest_NoAlpha(IDibBitmap* src, IDibBitmap* dst, FIXED_FLOAT x,
                                                                        FIXED_FLOAT y, FIXED_FLOAT angle,
                                                                        FIXED_FLOAT_16 scale, int flags) {
    TSetup st;
    if (!Prepare(m_pSin256, m_pCos256, GetLookupIndex(angle), src, dst, x, y, scale, flags, false, kMinScale, st)) {
        return;
    }
    ForEachPixel(st.f, st.d, [&](std::uint16_t& out, std::int64_t u, std::int64_t v) {
        TBilinear t;
        if (!SampleBilinear(st.s, u, v, t)) {
            return;
        }
        const int a = (t.weightSum * 255) >> 8;
        if (a < 9) {
            return;
        }
        const std::uint16_t c = Pack(t.r, t.g, t.b);
        out = a <= 244 ? Blend565(out, c, a) : c;
    });
}

void CQuorvanImageRotatorScaler::SW565_DrawRotatedBitmapHigh(IDibBitmap* src, IDibBitmap* dst, FIXED_FLOAT x,
                                                             FIXED_FLOAT y, FIXED_FLOAT angle, FIXED_FLOAT_16 scale,
                                                             int flags) {
    if (src == nullptr) {
        return;
    }
    if (SourceOf(src).alpha == nullptr) {
        SW565_DrawRotatedBitmapHighest_NoAlpha(src, dst, x, y, angle, scale, flags);
        return;
    }
    TSetup st;
    if (!Prepare(m_pSin256, m_pCos256, GetLookupIndex(angle), src, dst, x, y, scale, flags, true, kMinScale, st)) {
        return;
    }
    const TSource& s = st.s;
    ForEachPixel(st.f, st.d, [&](std::uint16_t& out, std::int64_t u, std::int64_t v) {
        std::size_t i = 0;
        if (!InsideNearest(s, u, v, i)) {
            return;
        }
        const unsigned a = s.alpha[i];
        if (a <= 8) {
            return;
        }
        const std::uint32_t fx = static_cast<std::uint32_t>((u >> 12) & 15);
        const std::uint32_t fy = static_cast<std::uint32_t>((v >> 12) & 15);
        const std::uint32_t top = LerpWide(Widen(s.pixels[i]), Widen(s.pixels[i + 1]), fx);
        const std::uint32_t bottom = LerpWide(Widen(s.pixels[i + s.stride]), Widen(s.pixels[i + s.stride + 1]), fx);
        const std::uint32_t filtered = LerpWide(top, bottom, fy);
        out = a < 245 ? Narrow(LerpWide(Widen(out), filtered, a >> 4)) : Narrow(filtered);
    });
}

void CQuorvanImageRotatorScaler::SW565_DrawRotatedBitmapLowest(IDibBitmap* src, IDibBitmap* dst, FIXED_FLOAT x,
                                                               FIXED_FLOAT y, FIXED_FLOAT angle, FIXED_FLOAT_16 scale,
                                                               int flags) {
    if (src == nullptr) {
        return;
    }
    if (SourceOf(src).alpha == nullptr) {
        SW565_DrawRotatedBitmapHighest_NoAlpha(src, dst, x, y, angle, scale, flags);
        return;
    }
    TSetup st;
    if (!Prepare(m_pSin256, m_pCos256, GetLookupIndex(angle), src, dst, x, y, scale, flags, true, kMinScale, st)) {
        return;
    }
    const TSource& s = st.s;
    ForEachPixel(st.f, st.d, [&](std::uint16_t& out, std::int64_t u, std::int64_t v) {
        std::size_t i = 0;
        if (!InsideNearest(s, u, v, i)) {
            return;
        }
        const unsigned a = s.alpha[i];
        if (a <= 8) {
            return;
        }
        out = a < 245 ? Narrow(LerpWide(Widen(out), Widen(s.pixels[i]), a >> 4)) : s.pixels[i];
    });
}

void CQuorvanImageRotatorScaler::SW565_DrawRotatedBitmapTransparentHighest(IDibBitmap* src, IDibBitmap* dst,
                                                                           FIXED_FLOAT x, FIXED_FLOAT y,
                                                                           FIXED_FLOAT angle, FIXED_FLOAT_16 scale,
                                                                           int alphaOffset, int flags) {
    if (src == nullptr || alphaOffset < -254 || SourceOf(src).alpha == nullptr) {
        return;
    }
    if (alphaOffset >= 0) {
        SW565_DrawRotatedBitmapHighest(src, dst, x, y, angle, scale, flags);
        return;
    }
    TSetup st;
    if (!Prepare(m_pSin256, m_pCos256, GetLookupIndex(angle), src, dst, x, y, scale, flags, true, kMinScale, st)) {
        return;
    }
    ForEachPixel(st.f, st.d, [&](std::uint16_t& out, std::int64_t u, std::int64_t v) {
        TBilinear t;
        if (!SampleBilinear(st.s, u, v, t)) {
            return;
        }
        const int a = OffsetCoverage(t, alphaOffset);
        if (a == 0) {
            return;
        }
        const std::uint16_t c = Pack(t.r, t.g, t.b);
        out = a < 245 ? Blend565(out, c, a) : c;
    });
}

void CQuorvanImageRotatorScaler::SW565_DrawRotatedBitmapMultiplyHighest(IDibBitmap* src, IDibBitmap* dst, FIXED_FLOAT x,
                                                                        FIXED_FLOAT y, FIXED_FLOAT angle,
                                                                        FIXED_FLOAT_16 scale, int r, int g, int b,
                                                                        int alphaOffset, int flags) {
    if (alphaOffset < -254) {
        return;
    }
    const int offset = std::min(alphaOffset, 0);
    TSetup st;
    if (!Prepare(m_pSin256, m_pCos256, GetLookupIndex(angle), src, dst, x, y, scale, flags, true, kMinScale, st)) {
        return;
    }
    ForEachPixel(st.f, st.d, [&](std::uint16_t& out, std::int64_t u, std::int64_t v) {
        TBilinear t;
        if (!SampleBilinear(st.s, u, v, t)) {
            return;
        }
        const int a = OffsetCoverage(t, offset);
        if (a == 0) {
            return;
        }
        const std::uint16_t c = Pack(((t.r * r) >> 8) & 31, ((t.g * g) >> 8) & 63, ((t.b * b) >> 8) & 31);
        out = a < 245 ? Blend565(out, c, a) : c;
    });
}

void CQuorvanImageRotatorScaler::SW565_DrawRotatedBitmapAlphaChannelHighest(IDibBitmap* src, IDibBitmap* dst,
                                                                            FIXED_FLOAT x, FIXED_FLOAT y,
                                                                            FIXED_FLOAT angle, FIXED_FLOAT_16 scale,
                                                                            int r, int g, int b, int alphaOffset,
                                                                            int flags) {
    if (src == nullptr || scale <= 0 || m_pSin256 == nullptr) {
        return;
    }
    // Only the alpha shape is read, so a source without colour pixels still draws.
    TSource s = SourceOf(src);
    const TDestination d = DestinationOf(dst);
    if (s.alpha == nullptr || d.pixels == nullptr || s.width <= 0 || s.height <= 0) {
        return;
    }
    TFrame f;
    if (!SetupFrame(m_pSin256, m_pCos256, GetLookupIndex(angle), s, d, x, y, scale, flags, f)) {
        return;
    }
    const int offset = std::min(alphaOffset, 0);
    const int r5 = (r >> 3) & 31, g6 = (g >> 2) & 63, b5 = (b >> 3) & 31;
    const std::uint16_t packed = Pack(r5, g6, b5);
    ForEachPixel(f, d, [&](std::uint16_t& out, std::int64_t u, std::int64_t v) {
        const std::int64_t col = u >> 16, row = v >> 16;
        if (col < -1 || row < -1 || col > s.width - 1 || row > s.height - 1) {
            return;
        }
        const int fx = static_cast<int>((u >> 8) & 255), fy = static_cast<int>((v >> 8) & 255);
        const int gx = 255 - fx, gy = 255 - fy;
        const int weights[4] = {(gx * gy) >> 8, (fx * gy) >> 8, (gx * fy) >> 8, (fx * fy) >> 8};
        TBilinear t;
        for (int i = 0; i < 4; ++i) {
            const int c = static_cast<int>(col) + (i & 1), rr = static_cast<int>(row) + (i >> 1);
            if (c < 0 || rr < 0 || c >= s.width || rr >= s.height) {
                t.anyOutside = true;
                continue;
            }
            const int av = s.alpha[static_cast<std::size_t>(rr) * s.stride + c];
            t.alphaSum += av;
            t.alphaWeighted += av * weights[i];
        }
        t.alphaWeighted >>= 8;
        const int a = OffsetCoverage(t, offset);
        if (a == 0) {
            return;
        }
        out = a < 245 ? BlendFields565(out, r5, g6, b5, a) : packed;
    });
}

void CQuorvanImageRotatorScaler::SW565_DrawRotatedBitmapAdditiveHighest(IDibBitmap* src, IDibBitmap* dst, FIXED_FLOAT x,
                                                                        FIXED_FLOAT y, FIXED_FLOAT angle,
                                                                        FIXED_FLOAT_16 scale, int r, int g, int b,
                                                                        int alphaOffset, int flags) {
    if (src == nullptr) {
        return;
    }
    if (SourceOf(src).alpha == nullptr) {
        SW565_DrawRotatedBitmapAdditiveHighest_NoAlpha(src, dst, x, y, angle, scale, r, g, b, alphaOffset, flags);
        return;
    }
    if (alphaOffset < -254) {
        return;
    }
    const int offset = std::min(alphaOffset, 0);
    TSetup st;
    if (!Prepare(m_pSin256, m_pCos256, GetLookupIndex(angle), src, dst, x, y, scale, flags, true, kMinScale, st)) {
        return;
    }
    const int tr = r >> 3, tg = g >> 2, tb = b >> 3;
    ForEachPixel(st.f, st.d, [&](std::uint16_t& out, std::int64_t u, std::int64_t v) {
        TBilinear t;
        if (!SampleBilinear(st.s, u, v, t)) {
            return;
        }
        const int a = OffsetCoverage(t, offset);
        if (a == 0) {
            return;
        }
        out = AddTinted565(out, t.r, t.g, t.b, tr, tg, tb, a);
    });
}

void CQuorvanImageRotatorScaler::SW565_DrawRotatedBitmapAdditiveHighest_NoAlpha(IDibBitmap* src, IDibBitmap* dst,
                                                                                FIXED_FLOAT x, FIXED_FLOAT y,
                                                                                FIXED_FLOAT angle, FIXED_FLOAT_16 scale,
                                                                                int r, int g, int b, int alphaOffset,
                                                                                int flags) {
    if (m_nQuality == 0) {
        SW565_DrawRotatedBitmapAdditiveLowest_NoAlpha(src, dst, x, y, angle, scale, r, g, b, alphaOffset, flags);
        return;
    }
    if (alphaOffset < -254) {
        return;
    }
    const int a = 255 + std::min(alphaOffset, 0);
    TSetup st;
    if (!Prepare(m_pSin256, m_pCos256, GetLookupIndex(angle), src, dst, x, y, scale, flags, false, kMinScale, st)) {
        return;
    }
    const int tr = r >> 3, tg = g >> 2, tb = b >> 3;
    ForEachPixel(st.f, st.d, [&](std::uint16_t& out, std::int64_t u, std::int64_t v) {
        TBilinear t;
        if (!SampleBilinear(st.s, u, v, t) || (t.r == 0 && t.g == 0 && t.b == 0)) {
            return;
        }
        out = AddTinted565(out, t.r, t.g, t.b, tr, tg, tb, a);
    });
}

void CQuorvanImageRotatorScaler::SW565_DrawRotatedBitmapAdditiveLowest_NoAlpha(IDibBitmap* src, IDibBitmap* dst,
                                                                               FIXED_FLOAT x, FIXED_FLOAT y,
                                                                               FIXED_FLOAT angle, FIXED_FLOAT_16 scale,
                                                                               int r, int g, int b, int alphaOffset,
                                                                               int flags) {
    if (alphaOffset < -254) {
        return;
    }
    const int a = 255 + std::min(alphaOffset, 0);
    TSetup st;
    if (!Prepare(m_pSin256, m_pCos256, GetLookupIndex(angle), src, dst, x, y, scale, flags, false, kMinScale, st)) {
        return;
    }
    const TSource& s = st.s;
    const int tr = r >> 3, tg = g >> 2, tb = b >> 3;
    ForEachPixel(st.f, st.d, [&](std::uint16_t& out, std::int64_t u, std::int64_t v) {
        std::size_t i = 0;
        if (!InsideNearest(s, u, v, i) || s.pixels[i] == 0) {
            return;
        }
        const std::uint16_t p = s.pixels[i];
        out = AddTinted565(out, Red5(p), Green6(p), Blue5(p), tr, tg, tb, a);
    });
}
