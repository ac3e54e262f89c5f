// Private to engine/render: the per-pixel arithmetic shared by the software bitmap and the
// software rotator, and the clipping of a blit rectangle.
#pragma once

#include <algorithm>
#include <cstdint>

#include "render/DibBitmap.h"
#include "render/WinDibBitmap.h"

namespace render_detail {

// d + ((s - d) x a >> 8) on each 565 field, with a signed product and an arithmetic shift.
// a above 255 acts as 255, so a positive alpha offset never overshoots the source.
inline std::uint16_t Blend565(std::uint16_t d, std::uint16_t s, int a) {
    if (a > 255) {
        a = 255;
    }
    const int dr = Red5(d), dg = Green6(d), db = Blue5(d);
    const int r = dr + (((Red5(s) - dr) * a) >> 8);
    const int g = dg + (((Green6(s) - dg) * a) >> 8);
    const int b = db + (((Blue5(s) - db) * a) >> 8);
    return static_cast<std::uint16_t>((r << 11) | (g << 5) | b);
}

// Blend of a colour given as 565 fields into a destination pixel.
inline std::uint16_t BlendFields565(std::uint16_t d, int r5, int g6, int b5, int a) {
    return Blend565(d, static_cast<std::uint16_t>((r5 << 11) | (g6 << 5) | b5), a);
}

// The source sample a nearest-sample stretch of m source samples onto n takes for destination
// sample i (0 <= i < n): floor(i x m / n), exact, so the last destination sample takes the last
// source sample whenever m <= n, and an integer ratio repeats each source sample alike.
inline int StretchSourceIndex(std::int64_t i, int m, int n) { return static_cast<int>(i * m / n); }

// Saturated add of 565 fields.
inline std::uint16_t AddSaturate565(std::uint16_t d, int r5, int g6, int b5) {
    const int r = std::min(Red5(d) + r5, 31);
    const int g = std::min(Green6(d) + g6, 63);
    const int b = std::min(Blue5(d) + b5, 31);
    return static_cast<std::uint16_t>((r << 11) | (g << 5) | b);
}

// What a software path may draw into: null when dst is missing, has no pixels, or holds only a
// placeholder left after a texture upload. The row stride is the stored column count, which is
// the buffer width for every bitmap that is not a halved 2x image.
struct TDestination {
    std::uint16_t* pixels = nullptr;
    int width = 0;   // clip width (buffer width)
    int height = 0;  // clip height (buffer height)
    int stride = 0;  // pixels between rows
};

inline TDestination DestinationOf(IDibBitmap* dst) {
    TDestination d;
    if (dst == nullptr) {
        return d;
    }
    unsigned char* bits = nullptr;
    if (auto* soft = dynamic_cast<CWinDibBitmap*>(dst)) {
        bits = soft->PixelsForDrawing();
        d.stride = soft->GetStoredWidth();
    } else {
        bits = dst->GetBits();
        d.stride = dst->m_BufferWidth;
    }
    d.pixels = reinterpret_cast<std::uint16_t*>(bits);
    d.width = std::min(dst->m_BufferWidth, d.stride);
    d.height = dst->m_BufferHeight;
    if (d.pixels == nullptr || d.width <= 0 || d.height <= 0) {
        d.pixels = nullptr;
    }
    return d;
}

// A blit rectangle after clipping: draw w x h pixels from source (sx, sy) to destination (x, y).
struct TClipped {
    int x, y, w, h, sx, sy;
    bool Empty() const { return w <= 0 || h <= 0; }
};

// Cuts the source rectangle to the stored size (a negative start moves the destination along
// with it, so the picture stays in place) and the destination rectangle to the clip size.
inline TClipped ClipBlit(int x, int y, int w, int h, int sx, int sy, int srcW, int srcH, int dstW, int dstH) {
    if (sx < 0) {
        x -= sx;
        w += sx;
        sx = 0;
    }
    if (sy < 0) {
        y -= sy;
        h += sy;
        sy = 0;
    }
    w = std::min(w, srcW - sx);
    h = std::min(h, srcH - sy);
    if (x < 0) {
        sx -= x;
        w += x;
        x = 0;
    }
    if (y < 0) {
        sy -= y;
        h += y;
        y = 0;
    }
    w = std::min(w, dstW - x);
    h = std::min(h, dstH - y);
    return TClipped{x, y, w, h, sx, sy};
}

// A blit from a stored plane of planeW x planeH: a width or height of 0 takes the plane's.
inline TClipped ClipPlaneBlit(int x, int y, int w, int h, int sx, int sy, int planeW, int planeH,
                              const TDestination& d) {
    return ClipBlit(x, y, w == 0 ? planeW : w, h == 0 ? planeH : h, sx, sy, planeW, planeH, d.width, d.height);
}

// A draw of the top-left w x h of a stored plane at (x, y): 0 takes the plane's extent and more
// is cut to it. w and h come back as drawn before clipping, the extent the flips mirror within.
inline TClipped ClipPlaneDraw(int x, int y, int& w, int& h, int planeW, int planeH, const TDestination& d) {
    w = w == 0 ? planeW : std::min(w, planeW);
    h = h == 0 ? planeH : std::min(h, planeH);
    return ClipBlit(x, y, w, h, 0, 0, planeW, planeH, d.width, d.height);
}

}  // namespace render_detail
