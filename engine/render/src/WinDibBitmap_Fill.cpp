// Alpha-shape fills, rectangles, straight lines and clearing of the software bitmap.
#include <algorithm>
#include <cstdint>
#include <utility>

#include "Pixel565.h"
#include "render/WinDibBitmap.h"

using namespace render_detail;

void CWinDibBitmap::FillAlphaNoStretch(IDibBitmap* dst, unsigned char r, unsigned char g, unsigned char b, int x, int y,
                                       int w, int h, int flags, int alphaOffset) {
    if (dst == nullptr || alphaOffset < -255) {
        return;
    }
    ConvertDrawPosition(dst, x, y, flags);
    const TDestination d = DestinationOf(dst);
    if (d.pixels == nullptr) {
        return;
    }
    const int r5 = r >> 3, g6 = g >> 2, b5 = b >> 3;
    const std::uint16_t packed = PackRGB565(r, g, b);

    if (m_UseTransparentColor) {
        // The keyed shape is every pixel that is not the key, over the whole stored image.
        const unsigned char* bits = PixelsToRead();
        if (bits == nullptr || alphaOffset == -255) {
            return;
        }
        const int a = 255 + alphaOffset;
        const TClipped c =
            ClipBlit(x, y, m_StoredWidth, m_StoredHeight, 0, 0, m_StoredWidth, m_StoredHeight, d.width, d.height);
        if (c.Empty()) {
            return;
        }
        const auto* src = reinterpret_cast<const std::uint16_t*>(bits);
        for (int row = 0; row < c.h; ++row) {
            const std::uint16_t* s = src + (c.sy + row) * m_StoredWidth + c.sx;
            std::uint16_t* out = d.pixels + (c.y + row) * d.stride + c.x;
            for (int i = 0; i < c.w; ++i) {
                if (s[i] != m_TransparentColor) {
                    out[i] = a < 245 ? BlendFields565(out[i], r5, g6, b5, a) : packed;
                }
            }
        }
        return;
    }

    const unsigned char* alpha = AlphaToRead();
    if (alpha == nullptr) {
        return;
    }
    const TClipped c = ClipPlaneDraw(x, y, w, h, m_StoredWidth, m_StoredHeight, d);
    if (c.Empty()) {
        return;
    }
    for (int row = 0; row < c.h; ++row) {
        const int sr = (flags & kFlipVertical) ? h - 1 - (c.sy + row) : c.sy + row;
        const unsigned char* al = alpha + static_cast<std::size_t>(sr) * m_StoredWidth;
        std::uint16_t* out = d.pixels + (c.y + row) * d.stride + c.x;
        for (int i = 0; i < c.w; ++i) {
            const int sc = (flags & kFlipHorizontal) ? w - 1 - (c.sx + i) : c.sx + i;
            const int sa = al[sc];
            const int a = sa + alphaOffset;
            if (sa == 0 || a <= 0) {
                continue;
            }
            out[i] = a < 255 ? BlendFields565(out[i], r5, g6, b5, a) : packed;
        }
    }
}

void CWinDibBitmap::FillAlphaNoStretchAdditive(IDibBitmap* dst, unsigned char r, unsigned char g, unsigned char b,
                                               int x, int y, int w, int h, int flags, int alphaOffset) {
    if (dst == nullptr || alphaOffset < -255) {
        return;
    }
    ConvertDrawPosition(dst, x, y, flags);
    const unsigned char* alpha = AlphaToRead();
    const TDestination d = DestinationOf(dst);
    if (alpha == nullptr || d.pixels == nullptr) {
        return;
    }
    const TClipped c = ClipPlaneDraw(x, y, w, h, m_StoredWidth, m_StoredHeight, d);
    if (c.Empty()) {
        return;
    }
    // Three 5-bit channels ten bits apart, so the weighted sum of each cannot reach the next and
    // an overflow shows as a carry into bit 5 of its own field. Green keeps only its upper five
    // bits in this form.
    const std::uint32_t colour = static_cast<std::uint32_t>(b >> 3) | (static_cast<std::uint32_t>(g >> 3) << 10) |
                                 (static_cast<std::uint32_t>(r >> 3) << 20);
    for (int row = 0; row < c.h; ++row) {
        const int sr = (flags & kFlipVertical) ? h - 1 - (c.sy + row) : c.sy + row;
        const unsigned char* al = alpha + static_cast<std::size_t>(sr) * m_StoredWidth;
        std::uint16_t* out = d.pixels + (c.y + row) * d.stride + c.x;
        for (int i = 0; i < c.w; ++i) {
            const int sc = (flags & kFlipHorizontal) ? w - 1 - (c.sx + i) : c.sx + i;
            const int sa = al[sc];
            // Above 255 the weight would outgrow the carry test; it acts as 255.
            const int a = std::min(sa + alphaOffset, 255);
            if (sa == 0 || a <= 0) {
                continue;
            }
            const std::uint16_t p = out[i];
            const std::uint32_t dest = static_cast<std::uint32_t>(p & 31) |
                                       (static_cast<std::uint32_t>((p >> 6) & 31) << 10) |
                                       (static_cast<std::uint32_t>(p >> 11) << 20);
            const std::uint32_t sum = dest + ((static_cast<std::uint32_t>(a >> 4) * colour) >> 4);
            const std::uint32_t nb = (sum & (1u << 5)) ? 31 : (sum & 31);
            const std::uint32_t ng = (sum & (1u << 15)) ? 31 : ((sum >> 10) & 31);
            const std::uint32_t nr = (sum & (1u << 25)) ? 31 : ((sum >> 20) & 31);
            out[i] = static_cast<std::uint16_t>((nr << 11) | (ng << 6) | nb);
        }
    }
}

namespace {

// A rectangle given as seen turned into stored corners, ordered, end exclusive.
struct TStoredRect {
    int x0, y0, x1, y1;
};

TStoredRect StoredRect(int mode, int storedW, int storedH, int x, int y, int w, int h) {
    TStoredRect s{x, y, x + w, y + h};
    // Seen column x lands on stored row storedH - 1 - x (mode 1) or stored column storedW - 1 - y
    // (mode 2), so a span of w seen columns starting at x covers storedH - x - w .. storedH - x.
    if (mode == kOrientationTurned1) {
        s = TStoredRect{y, storedH - x - w, y + h, storedH - x};
    } else if (mode == kOrientationTurned2) {
        s = TStoredRect{storedW - y - h, x, storedW - y, x + w};
    }
    if (s.x0 > s.x1) {
        std::swap(s.x0, s.x1);
    }
    if (s.y0 > s.y1) {
        std::swap(s.y0, s.y1);
    }
    return s;
}

}  // namespace

void CWinDibBitmap::FillRectangle(int x, int y, int w, int h, unsigned char r, unsigned char g, unsigned char b) {
    unsigned char* bits = PixelsForDrawing();
    if (bits == nullptr) {
        return;
    }
    TStoredRect s = StoredRect(m_OrientationMode, m_StoredWidth, m_StoredHeight, x, y, w, h);
    if (s.x0 >= m_StoredWidth || s.y0 >= m_StoredHeight || s.x1 < 0 || s.y1 < 0) {
        return;
    }
    s.x0 = std::max(s.x0, 0);
    s.y0 = std::max(s.y0, 0);
    s.x1 = std::min(s.x1, m_StoredWidth);
    s.y1 = std::min(s.y1, m_StoredHeight);
    std::uint16_t packed = 0;
    switch (m_PixelFormat) {
        case kPixelFormat444:
            packed = static_cast<std::uint16_t>(((r & 0xF0) << 4) | (g & 0xF0) | (b >> 4));
            break;
        case kPixelFormat555:
            packed = static_cast<std::uint16_t>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
            break;
        case kPixelFormat565:
            packed = PackRGB565(r, g, b);
            break;
        case kPixelFormat24:
            if (m_BytesPerPixel != 3) {
                return;
            }
            for (int row = s.y0; row < s.y1; ++row) {
                unsigned char* p = bits + (static_cast<std::size_t>(row) * m_StoredWidth + s.x0) * 3;
                for (int col = s.x0; col < s.x1; ++col, p += 3) {
                    p[0] = b;
                    p[1] = g;
                    p[2] = r;
                }
            }
            return;
        default:
            return;
    }
    if (m_BytesPerPixel != 2) {
        return;
    }
    auto* px = reinterpret_cast<std::uint16_t*>(bits);
    for (int row = s.y0; row < s.y1; ++row) {
        std::fill(px + row * m_StoredWidth + s.x0, px + row * m_StoredWidth + s.x1, packed);
    }
}

void CWinDibBitmap::DrawRectangle(int x, int y, int w, int h, unsigned char r, unsigned char g, unsigned char b) {
    const TStoredRect s = StoredRect(m_OrientationMode, m_StoredWidth, m_StoredHeight, x, y, w, h);
    DrawLineH(s.x0, s.x1, s.y0, r, g, b, 255);
    DrawLineH(s.x0, s.x1, s.y1 - 1, r, g, b, 255);
    DrawLineV(s.x0, s.y0, s.y1, r, g, b, 255);
    DrawLineV(s.x1 - 1, s.y0, s.y1, r, g, b, 255);
}

namespace {

// One pixel of a straight line in format 0 (4-bit fields) or 2 (565 fields).
inline std::uint16_t LinePixel(int format, std::uint16_t d, unsigned char r, unsigned char g, unsigned char b, int a) {
    if (format == kPixelFormat565) {
        return a == 255 ? PackRGB565(r, g, b) : BlendFields565(d, r >> 3, g >> 2, b >> 3, a);
    }
    const int cr = r >> 4, cg = g >> 4, cb = b >> 4;
    if (a == 255) {
        return static_cast<std::uint16_t>((cr << 8) | (cg << 4) | cb);
    }
    const int dr = (d >> 8) & 15, dg = (d >> 4) & 15, db = d & 15;
    const int nr = dr + (((cr - dr) * a) >> 8);
    const int ng = dg + (((cg - dg) * a) >> 8);
    const int nb = db + (((cb - db) * a) >> 8);
    return static_cast<std::uint16_t>((nr << 8) | (ng << 4) | nb);
}

}  // namespace

void CWinDibBitmap::DrawLineV(int x, int y0, int y1, unsigned char r, unsigned char g, unsigned char b,
                              unsigned char a) {
    unsigned char* bits = PixelsForDrawing();
    if (bits == nullptr || a == 0 || x < 0 || x > m_BufferWidth - 1) {
        return;
    }
    if (m_PixelFormat != kPixelFormat444 && m_PixelFormat != kPixelFormat565) {
        return;
    }
    y0 = std::clamp(y0, 0, m_BufferHeight);
    y1 = std::clamp(y1, 0, m_BufferHeight);
    auto* px = reinterpret_cast<std::uint16_t*>(bits);
    for (int row = y0; row < y1; ++row) {
        std::uint16_t& p = px[row * m_StoredWidth + x];
        p = LinePixel(m_PixelFormat, p, r, g, b, a);
    }
}

void CWinDibBitmap::DrawLineH(int x0, int x1, int y, unsigned char r, unsigned char g, unsigned char b,
                              unsigned char a) {
    unsigned char* bits = PixelsForDrawing();
    if (bits == nullptr || a == 0 || y < 0 || y > m_BufferHeight - 1) {
        return;
    }
    if (m_PixelFormat != kPixelFormat444 && m_PixelFormat != kPixelFormat565) {
        return;
    }
    x0 = std::clamp(x0, 0, m_BufferWidth);
    x1 = std::clamp(x1, 0, m_BufferWidth);
    auto* px = reinterpret_cast<std::uint16_t*>(bits) + y * m_StoredWidth;
    for (int col = x0; col < x1; ++col) {
        px[col] = LinePixel(m_PixelFormat, px[col], r, g, b, a);
    }
}

void CWinDibBitmap::ClearBitmap(unsigned char r, unsigned char g, unsigned char b) {
    unsigned char* bits = PixelsForDrawing();
    if (bits == nullptr) {
        return;
    }
    auto* px = reinterpret_cast<std::uint16_t*>(bits);
    std::fill(px, px + static_cast<std::size_t>(m_StoredWidth) * m_StoredHeight, PackRGB565(r, g, b));
}
