// Whole-image draws of the software bitmap: Draw, DrawOpaque with flips, FastDraw.
#include <algorithm>
#include <cstdint>

#include "Pixel565.h"
#include "Pixel565Rows.h"
#include "render/WinDibBitmap.h"

using namespace render_detail;

void CWinDibBitmap::Draw(IDibBitmap* dst, int x, int y, int w, int h, int /*flags*/, int alphaOffset) {
    if (PixelsToRead() == nullptr) {
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
    const unsigned char* bits = PixelsToRead();
    if (bits == nullptr || alphaOffset < -255) {
        return;
    }
    const unsigned char* alpha = AlphaToRead();
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
    const unsigned char* bits = PixelsToRead();
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
    const unsigned char* bits = PixelsToRead();
    const unsigned char* alpha = AlphaToRead();
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
