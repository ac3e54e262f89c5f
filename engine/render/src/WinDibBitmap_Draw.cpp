// Whole-image draws of the software bitmap: Draw, DrawOpaque with flips, FastDraw, StretchDraw.
#include <algorithm>
#include <cstdint>

#include "Pixel565.h"
#include "Pixel565Rows.h"
#include "render/WinDibBitmap.h"

using namespace render_detail;

void CWinDibBitmap::Draw(IDibBitmap* dst, int x, int y, int w, int h, int /*flags*/, int alphaOffset) {
    if (PixelsForDrawing() == nullptr) {
        return;
    }
    if (w == 0 && h == 0) {
        w = m_Width;
        h = m_Height;
    }
    // Through the virtual blit, which does its own orientation conversion.
    BitBlt(dst, x, y, w, h, 0, 0, alphaOffset);
}

void CWinDibBitmap::DrawOpaque(IDibBitmap* dst, int x, int y, int w, int h, int flags) {
    if (dst == nullptr) {
        return;
    }
    ConvertDrawPosition(dst, x, y, flags);
    Draw565(dst, x, y, w, h, flags, 0);
}

void CWinDibBitmap::Draw565(IDibBitmap* dst, int x, int y, int w, int h, int flags, int alphaOffset) {
    const unsigned char* bits = PixelsForDrawing();
    if (bits == nullptr || alphaOffset < -255) {
        return;
    }
    const unsigned char* alpha = AlphaForDrawing();
    if (alpha == nullptr) {
        DrawWithoutAlpha_16Bits(dst, x, y, w, h, flags);
        return;
    }
    const TDestination d = DestinationOf(dst);
    if (d.pixels == nullptr) {
        return;
    }
    const TClipped c = ClipPlaneDraw(x, y, w, h, m_StoredWidth, m_StoredHeight, d);
    if (c.Empty()) {
        return;
    }
    const auto* src = reinterpret_cast<const std::uint16_t*>(bits);
    for (int row = 0; row < c.h; ++row) {
        const int sr = (flags & kFlipVertical) ? h - 1 - (c.sy + row) : c.sy + row;
        std::uint16_t* out = d.pixels + (c.y + row) * d.stride + c.x;
        if (!(flags & kFlipHorizontal)) {
            const std::size_t index = static_cast<std::size_t>(sr) * m_StoredWidth + c.sx;
            BlendRowByAlpha(out, src + index, alpha + index, c.w, TAlphaRule{alphaOffset, 0, 255},
                            BlendFormula::Difference);
            continue;
        }
        for (int i = 0; i < c.w; ++i) {
            const int sc = (flags & kFlipHorizontal) ? w - 1 - (c.sx + i) : c.sx + i;
            const std::size_t index = static_cast<std::size_t>(sr) * m_StoredWidth + sc;
            const int sa = alpha[index];
            const int a = sa + alphaOffset;
            if (sa == 0 || a < 1) {
                continue;
            }
            out[i] = a < 255 ? Blend565(out[i], src[index], a) : src[index];
        }
    }
}

void CWinDibBitmap::DrawWithoutAlpha_16Bits(IDibBitmap* dst, int x, int y, int w, int h, int flags) {
    const unsigned char* bits = PixelsForDrawing();
    const TDestination d = DestinationOf(dst);
    if (bits == nullptr || d.pixels == nullptr) {
        return;
    }
    const TClipped c = ClipPlaneDraw(x, y, w, h, m_StoredWidth, m_StoredHeight, d);
    if (c.Empty()) {
        return;
    }
    const auto* src = reinterpret_cast<const std::uint16_t*>(bits);
    for (int row = 0; row < c.h; ++row) {
        const int sr = (flags & kFlipVertical) ? h - 1 - (c.sy + row) : c.sy + row;
        const std::uint16_t* s = src + static_cast<std::size_t>(sr) * m_StoredWidth;
        std::uint16_t* out = d.pixels + (c.y + row) * d.stride + c.x;
        if (flags & kFlipHorizontal) {
            for (int i = 0; i < c.w; ++i) {
                out[i] = s[w - 1 - (c.sx + i)];
            }
        } else {
            std::copy(s + c.sx, s + c.sx + c.w, out);
        }
    }
}

void CWinDibBitmap::FastDraw(IDibBitmap* dst, int x, int y) {
    if (dst == nullptr) {
        return;
    }
    int flags = 0;
    ConvertDrawPosition(dst, x, y, flags);
    FastDraw565(dst, x, y);
}

void CWinDibBitmap::FastDraw565(IDibBitmap* dst, int x, int y) {
    const unsigned char* bits = PixelsForDrawing();
    const unsigned char* alpha = AlphaForDrawing();
    const TDestination d = DestinationOf(dst);
    if (bits == nullptr || alpha == nullptr || d.pixels == nullptr) {
        return;
    }
    const TClipped c =
        ClipBlit(x, y, m_StoredWidth, m_StoredHeight, 0, 0, m_StoredWidth, m_StoredHeight, d.width, d.height);
    if (c.Empty()) {
        return;
    }
    const auto* src = reinterpret_cast<const std::uint16_t*>(bits);
    for (int row = 0; row < c.h; ++row) {
        const std::size_t srcIndex = static_cast<std::size_t>(c.sy + row) * m_StoredWidth + c.sx;
        BlendRowByAlpha(d.pixels + (c.y + row) * d.stride + c.x, src + srcIndex, alpha + srcIndex, c.w,
                        TAlphaRule{0, 9, 245}, BlendFormula::Difference);
    }
}

void CWinDibBitmap::StretchDraw(IDibBitmap* dst, int x, int y, int dw, int dh, int sx, int sy, int sw, int sh,
                                int flags, int alphaOffset) {
    if (dst == nullptr) {
        return;
    }
    ConvertDrawPosition(dst, x, y, flags);
    StretchDraw565(dst, x, y, dw, dh, sx, sy, sw, sh, flags, alphaOffset);
}

void CWinDibBitmap::StretchDraw565(IDibBitmap* dst, int x, int y, int dw, int dh, int sx, int sy, int sw, int sh,
                                   int flags, int alphaOffset) {
    const unsigned char* bits = PixelsForDrawing();
    const TDestination d = DestinationOf(dst);
    if (bits == nullptr || d.pixels == nullptr || alphaOffset < -255) {
        return;
    }
    dw = dw == 0 ? m_BufferWidth : dw;
    dh = dh == 0 ? m_BufferHeight : dh;
    sw = sw == 0 ? m_BufferWidth : sw;
    sh = sh == 0 ? m_BufferHeight : sh;
    // The source rectangle is cut to what is stored, so no read leaves the buffers.
    if (sx < 0) {
        sw += sx;
        sx = 0;
    }
    if (sy < 0) {
        sh += sy;
        sy = 0;
    }
    sw = std::min(sw, m_StoredWidth - sx);
    sh = std::min(sh, m_StoredHeight - sy);
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) {
        return;
    }
    if (x >= d.width || y >= d.height || x + dw < 0 || y + dh < 0) {
        return;
    }
    const int stepX = (sw << 12) / (dw * 16);
    const int stepY = (sh << 12) / (dh * 16);
    const int x0 = std::max(x, 0);
    const int y0 = std::max(y, 0);
    const int x1 = std::min(x + dw, d.width);
    const int y1 = std::min(y + dh, d.height);
    const int startU = (x0 - x) * stepX;
    const int startV = (y0 - y) * stepY;
    const auto* src = reinterpret_cast<const std::uint16_t*>(bits);
    const unsigned char* alpha = AlphaForDrawing();
    for (int row = 0; row < y1 - y0; ++row) {
        int sr = (startV + row * stepY) >> 8;
        // Mirroring stays inside the source rectangle, not the whole stored image.
        sr = (flags & kFlipVertical) ? sy + sh - 1 - sr : sy + sr;
        std::uint16_t* out = d.pixels + (y0 + row) * d.stride + x0;
        for (int i = 0; i < x1 - x0; ++i) {
            int sc = (startU + i * stepX) >> 8;
            sc = (flags & kFlipHorizontal) ? sx + sw - 1 - sc : sx + sc;
            const std::size_t index = static_cast<std::size_t>(sr) * m_StoredWidth + sc;
            const int sa = alpha != nullptr ? alpha[index] : 255;
            const int a = sa + alphaOffset;
            if (sa == 0 || a <= 0) {
                continue;
            }
            if (a > 254) {
                out[i] = src[index];
                continue;
            }
            const std::uint16_t s = src[index];
            const std::uint16_t dp = out[i];
            const int r = Red5(dp) + ((Red5(s) * a) >> 8) - ((Red5(dp) * a) >> 8);
            const int g = Green6(dp) + ((Green6(s) * a) >> 8) - ((Green6(dp) * a) >> 8);
            const int b = Blue5(dp) + ((Blue5(s) * a) >> 8) - ((Blue5(dp) * a) >> 8);
            out[i] = static_cast<std::uint16_t>((r << 11) | (g << 5) | b);
        }
    }
}
