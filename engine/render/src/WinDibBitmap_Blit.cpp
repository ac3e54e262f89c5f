// The blits of the software bitmap: alpha, fast, colour-keyed, additive and tinted.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "Pixel565.h"
#include "Pixel565Lanes.h"
#include "Pixel565Rows.h"
#include "SpriteRuns.h"
#include "render/WinDibBitmap.h"

using namespace render_detail;

namespace {

// Tint of the multiplying blit: each 565 field scaled by its 8-bit tint reduced to the field width.
inline std::uint16_t Tint565(std::uint16_t s, int r, int g, int b) {
    const int tr = (Red5(s) * (r >> 3)) >> 5;
    const int tg = (Green6(s) * (g >> 2)) >> 6;
    const int tb = (Blue5(s) * (b >> 3)) >> 5;
    return static_cast<std::uint16_t>(((tr & 31) << 11) | ((tg & 63) << 5) | (tb & 31));
}

// n pixels, at least one word's worth, as two words, the second overlapping the first.
template <class Word>
inline void CopyAsTwoWords(std::uint16_t* out, const std::uint16_t* src, int n) {
    constexpr int kPixels = sizeof(Word) / sizeof(std::uint16_t);
    Word first, last;
    std::memcpy(&first, src, sizeof first);
    std::memcpy(&last, src + n - kPixels, sizeof last);
    std::memcpy(out, &first, sizeof first);
    std::memcpy(out + n - kPixels, &last, sizeof last);
}

// A copy of n pixels for the runs of sprites, inline: sprite runs are mostly tens of pixels, where
// a call into the library's copy and its size dispatch cost as much as the copy. Eight pixels at a
// time, the last group overlapping the one before; shorter runs in two overlapping halves.
inline void CopyRun(std::uint16_t* out, const std::uint16_t* src, int n) {
    if (n >= lanes::kLanes) {
        int i = 0;
        for (; i + lanes::kLanes < n; i += lanes::kLanes) {
            lanes::Store(out + i, lanes::Load(src + i));
        }
        lanes::Store(out + n - lanes::kLanes, lanes::Load(src + n - lanes::kLanes));
    } else if (n >= 4) {
        CopyAsTwoWords<std::uint64_t>(out, src, n);
    } else if (n >= 2) {
        CopyAsTwoWords<std::uint32_t>(out, src, n);
    } else if (n == 1) {
        out[0] = src[0];
    }
}

// One row of a blit through a run table: skip runs are passed over, whole runs copied (weight 256
// or more) or blended with one weight, mixed runs drawn by `mixed(offset, length)`. A mixed run is
// drawn in whole groups of eight pixels where the row allows (the row kernels take any pixel
// exactly, and eight at once cost less than a few one by one); the whole run after it then starts
// where the group ended, so no pixel is drawn twice. A run of one or two pixels, the usual soft
// edge of a sprite, is drawn alone: a group would cost more than its pixels one by one.
template <class Mixed>
void DrawRowByRuns(const CRunTable& runs, int row, int sx, int n, std::uint16_t* out, const std::uint16_t* src,
                   int wholeWeight, Mixed&& mixed) {
    constexpr int kGroup = 8;
    constexpr int kAlone = 3;
    int done = 0;
    runs.ForEachSpan(row, sx, n, [&](int mixedAt, int mixedLength, int wholeAt, int wholeLength) {
        if (mixedLength > 0) {
            const int from = std::max(mixedAt, done);
            const int end = mixedAt + mixedLength;
            if (from < end) {
                done = end - from < kAlone ? end : std::min(n, from + (end - from + kGroup - 1) / kGroup * kGroup);
                mixed(from, done - from);
            }
        }
        const int from = std::max(wholeAt, done);
        const int length = wholeAt + wholeLength - from;
        if (length <= 0) {
            return;
        }
        if (wholeWeight >= 256) {
            CopyRun(out + from, src + from, length);
        } else if (wholeWeight > 0) {
            BlendRowConstant(out + from, src + from, length, wholeWeight);
        }
    });
}

}  // namespace

void CWinDibBitmap::BitBlt(IDibBitmap* dst, int x, int y, int w, int h, int sx, int sy, int alphaOffset) {
    if (dst == nullptr) {
        return;
    }
    SetBitBltCoordsAccordingToOrientationMode(dst, x, y, w, h, sx, sy);
    if (m_UseTransparentColor) {
        BitBlt_TransparentColor(dst, x, y, w, h, sx, sy, alphaOffset);
    } else {
        BitBlt565(dst, x, y, w, h, sx, sy, alphaOffset);
    }
}

void CWinDibBitmap::BitBlt565(IDibBitmap* dst, int x, int y, int w, int h, int sx, int sy, int alphaOffset) {
    const unsigned char* bits = PixelsToRead();
    if (bits == nullptr || alphaOffset < -255) {
        return;
    }
    const unsigned char* alpha = AlphaToRead();
    if (alphaOffset == 0 || (alpha == nullptr && alphaOffset >= -10)) {
        BitBlt565_Fast(dst, x, y, w, h, sx, sy);
        return;
    }
    const TDestination d = DestinationOf(dst);
    if (d.pixels == nullptr) {
        return;
    }
    const TClipped c = ClipPlaneBlit(x, y, w, h, sx, sy, m_StoredWidth, m_StoredHeight, d);
    if (c.Empty()) {
        return;
    }
    const auto* src = reinterpret_cast<const std::uint16_t*>(bits);
    if (alpha == nullptr) {
        const int a = 255 + alphaOffset;
        if (a <= 9) {
            return;
        }
        for (int row = 0; row < c.h; ++row) {
            BlendRowConstant(d.pixels + (c.y + row) * d.stride + c.x, src + (c.sy + row) * m_StoredWidth + c.sx, c.w,
                             a);
        }
        return;
    }
    const TAlphaRule rule{alphaOffset, 10, 245};
    // Under the rule an opaque pixel is skipped, copied or blended with one weight: 255 + offset.
    const int e = 255 + alphaOffset;
    const int wholeWeight = e <= rule.skipAtOrBelow ? 0 : e >= rule.copyFrom ? 256 : e;
    const CRunTable* runs = AlphaRuns(false);
    const lanes::CAlphaLanes<BlendFormula::Difference> mixed(rule);
    for (int row = 0; row < c.h; ++row) {
        const std::size_t srcIndex = static_cast<std::size_t>(c.sy + row) * m_StoredWidth + c.sx;
        std::uint16_t* out = d.pixels + (c.y + row) * d.stride + c.x;
        if (runs == nullptr) {
            BlendRowByAlpha(out, src + srcIndex, alpha + srcIndex, c.w, rule, BlendFormula::Difference);
            continue;
        }
        DrawRowByRuns(*runs, c.sy + row, c.sx, c.w, out, src + srcIndex, wholeWeight, [&](int at, int length) {
            mixed.Draw(out + at, src + srcIndex + at, alpha + srcIndex + at, length);
        });
    }
}

void CWinDibBitmap::BitBlt565_Fast(IDibBitmap* dst, int x, int y, int w, int h, int sx, int sy) {
    const unsigned char* bits = PixelsToRead();
    const TDestination d = DestinationOf(dst);
    if (bits == nullptr || d.pixels == nullptr) {
        return;
    }
    const TClipped c = ClipPlaneBlit(x, y, w, h, sx, sy, m_StoredWidth, m_StoredHeight, d);
    if (c.Empty()) {
        return;
    }
    const auto* src = reinterpret_cast<const std::uint16_t*>(bits);
    const unsigned char* alpha = AlphaToRead();
    if (alpha == nullptr) {
        // Whole rows on both sides with no gap: the rectangle is one block.
        if (c.w == m_StoredWidth && c.w == d.stride) {
            std::memcpy(d.pixels + c.y * d.stride, src + c.sy * m_StoredWidth,
                        static_cast<std::size_t>(c.w) * c.h * sizeof(std::uint16_t));
            return;
        }
        for (int row = 0; row < c.h; ++row) {
            std::memcpy(d.pixels + (c.y + row) * d.stride + c.x, src + (c.sy + row) * m_StoredWidth + c.sx,
                        static_cast<std::size_t>(c.w) * sizeof(std::uint16_t));
        }
        return;
    }
    // The packed red-and-blue blend gives the per-field blend's pixels for every alpha up to 255
    // (a blue borrow never reaches red), so the row form of the per-field blend serves here.
    const TAlphaRule rule{0, 10, 240};
    const CRunTable* runs = AlphaRuns(true);
    const lanes::CAlphaLanes<BlendFormula::Difference> mixed(rule);
    for (int row = 0; row < c.h; ++row) {
        const std::size_t srcIndex = static_cast<std::size_t>(c.sy + row) * m_StoredWidth + c.sx;
        std::uint16_t* out = d.pixels + (c.y + row) * d.stride + c.x;
        if (runs == nullptr) {
            BlendRowByAlpha(out, src + srcIndex, alpha + srcIndex, c.w, rule, BlendFormula::Difference);
            continue;
        }
        DrawRowByRuns(*runs, c.sy + row, c.sx, c.w, out, src + srcIndex, 256, [&](int at, int length) {
            mixed.Draw(out + at, src + srcIndex + at, alpha + srcIndex + at, length);
        });
    }
}

void CWinDibBitmap::BitBlt_TransparentColor(IDibBitmap* dst, int x, int y, int w, int h, int sx, int sy,
                                            int alphaOffset) {
    const TDestination d = DestinationOf(dst);
    const unsigned char* bits = PixelsToRead();
    if (bits == nullptr || d.pixels == nullptr || alphaOffset < -255) {
        return;
    }
    const int a = 255 + alphaOffset;
    if (alphaOffset != 0 && a < 11) {
        return;
    }
    const TClipped c = ClipPlaneBlit(x, y, w, h, sx, sy, m_StoredWidth, m_StoredHeight, d);
    if (c.Empty()) {
        return;
    }
    const auto* src = reinterpret_cast<const std::uint16_t*>(bits);
    const int weight = alphaOffset == 0 || a >= 245 ? 256 : a;
    const std::uint16_t key = m_TransparentColor;
    const CKeyRunTable* runs = KeyRuns();
    const bool wholeRows = c.sx == 0 && c.w == m_StoredWidth;
    for (int row = 0; row < c.h; ++row) {
        std::uint16_t* out = d.pixels + (c.y + row) * d.stride + c.x;
        if (runs == nullptr) {
            DrawRowSkippingKey(out, src + (c.sy + row) * m_StoredWidth + c.sx, c.w, key, weight);
            continue;
        }
        if (weight >= 256 && wholeRows) {
            // Whole rows need no cutting: the runs' own pixels, copied one run after the other.
            const std::uint16_t* const last = runs->RowEnd(c.sy + row);
            for (const std::uint16_t* p = runs->RowBegin(c.sy + row); p != last;) {
                out += p[0];
                const int count = p[1];
                CopyRun(out, p + 2, count);
                out += count;
                p += 2 + count;
            }
            continue;
        }
        runs->ForEachRun(c.sy + row, c.sx, c.w, [&](int at, int length, const std::uint16_t* pixels) {
            if (weight >= 256) {
                CopyRun(out + at, pixels, length);
            } else {
                BlendRowConstant(out + at, pixels, length, weight);
            }
        });
    }
}

void CWinDibBitmap::BitBltAdditive(IDibBitmap* dst, int x, int y, int w, int h, int sx, int sy, int alphaOffset) {
    if (dst == nullptr) {
        return;
    }
    SetBitBltCoordsAccordingToOrientationMode(dst, x, y, w, h, sx, sy);
    BitBltAdditive565(dst, x, y, w, h, sx, sy, alphaOffset);
}

void CWinDibBitmap::BitBltAdditive565(IDibBitmap* dst, int x, int y, int w, int h, int sx, int sy, int alphaOffset) {
    const unsigned char* bits = PixelsToRead();
    const unsigned char* alpha = AlphaToRead();
    const TDestination d = DestinationOf(dst);
    if (bits == nullptr || alpha == nullptr || d.pixels == nullptr || alphaOffset < -255) {
        return;
    }
    const TClipped c = ClipPlaneBlit(x, y, w, h, sx, sy, m_StoredWidth, m_StoredHeight, d);
    if (c.Empty()) {
        return;
    }
    const auto* src = reinterpret_cast<const std::uint16_t*>(bits);
    for (int row = 0; row < c.h; ++row) {
        const std::size_t srcIndex = static_cast<std::size_t>(c.sy + row) * m_StoredWidth + c.sx;
        const std::uint16_t* s = src + srcIndex;
        const unsigned char* al = alpha + srcIndex;
        std::uint16_t* out = d.pixels + (c.y + row) * d.stride + c.x;
        for (int i = 0; i < c.w; ++i) {
            const int sa = al[i];
            const int a = sa + alphaOffset;
            // Offset 0 and the others share one rule: both thresholds at 11, full add from 245.
            if (sa <= 10 || a <= 10) {
                continue;
            }
            const std::uint16_t p = s[i];
            if (a >= 245) {
                out[i] = AddSaturate565(out[i], Red5(p), Green6(p), Blue5(p));
            } else {
                out[i] = AddSaturate565(out[i], (Red5(p) * a) >> 8, (Green6(p) * a) >> 8, (Blue5(p) * a) >> 8);
            }
        }
    }
}

void CWinDibBitmap::BitBltMultiply(IDibBitmap* dst, int r, int g, int b, int x, int y, int w, int h, int sx, int sy,
                                   int alphaOffset) {
    if (r == 255 && g == 255 && b == 255) {
        BitBlt(dst, x, y, w, h, sx, sy, alphaOffset);
        return;
    }
    if (dst == nullptr) {
        return;
    }
    SetBitBltCoordsAccordingToOrientationMode(dst, x, y, w, h, sx, sy);
    if (m_UseTransparentColor) {
        return;
    }
    BitBltMultiply565(dst, r, g, b, x, y, w, h, sx, sy, alphaOffset);
}

void CWinDibBitmap::BitBltMultiply565(IDibBitmap* dst, int r, int g, int b, int x, int y, int w, int h, int sx, int sy,
                                      int alphaOffset) {
    const unsigned char* bits = PixelsToRead();
    const unsigned char* alpha = AlphaToRead();
    const TDestination d = DestinationOf(dst);
    if (bits == nullptr || d.pixels == nullptr || alphaOffset < -255) {
        return;
    }
    if (alpha == nullptr && alphaOffset != 0) {
        return;
    }
    const TClipped c = ClipPlaneBlit(x, y, w, h, sx, sy, m_StoredWidth, m_StoredHeight, d);
    if (c.Empty()) {
        return;
    }
    const auto* src = reinterpret_cast<const std::uint16_t*>(bits);
    for (int row = 0; row < c.h; ++row) {
        const std::size_t srcIndex = static_cast<std::size_t>(c.sy + row) * m_StoredWidth + c.sx;
        const std::uint16_t* s = src + srcIndex;
        std::uint16_t* out = d.pixels + (c.y + row) * d.stride + c.x;
        if (alpha == nullptr) {
            for (int i = 0; i < c.w; ++i) {
                out[i] = Tint565(s[i], r, g, b);
            }
            continue;
        }
        const unsigned char* al = alpha + srcIndex;
        for (int i = 0; i < c.w; ++i) {
            const int sa = al[i];
            const int a = sa + alphaOffset;
            if (sa <= 10 || a <= 10) {
                continue;
            }
            out[i] = Blend565(out[i], Tint565(s[i], r, g, b), a);
        }
    }
}
