// Raw copies between bitmaps, colour keying and the two colour adjustments of the software bitmap.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "Pixel565.h"
#include "render/ColorConversion.h"
#include "render/RenderHost.h"
#include "render/WinDibBitmap.h"

using namespace render_detail;

namespace {

// Alpha plane of a destination as the software paths may write it, with its stride.
unsigned char* DestinationAlpha(IDibBitmap* dst, int& stride) {
    if (auto* soft = dynamic_cast<CWinDibBitmap*>(dst)) {
        stride = soft->GetStoredWidth();
        return soft->AlphaForDrawing();
    }
    stride = dst->m_BufferWidth;
    return dst->GetAlphaBits();
}

// Writes n samples of sampleBytes each into a plane of storedWidth columns and planePixels samples,
// from column x of row y on. Callers keep within the plane; a write past it is refused rather
// than done.
void WriteRun(unsigned char* plane, std::size_t sampleBytes, int storedWidth, std::size_t planePixels, int x, int y,
              const unsigned char* data, int n) {
    if (plane == nullptr || data == nullptr || n <= 0) {
        return;
    }
    const std::size_t index = static_cast<std::size_t>(x) + static_cast<std::size_t>(storedWidth) * y;
    if (x < 0 || y < 0 || index + static_cast<std::size_t>(n) > planePixels) {
        return;
    }
    std::memcpy(plane + index * sampleBytes, data, static_cast<std::size_t>(n) * sampleBytes);
}

}  // namespace

void CWinDibBitmap::CopyBitmap(IDibBitmap* dst, int x, int y, int w, int h) {
    const unsigned char* bits = PixelsToRead();
    if (bits == nullptr || dst == nullptr) {
        return;
    }
    auto* soft = dynamic_cast<CWinDibBitmap*>(dst);
    unsigned char* out = soft != nullptr ? soft->PixelsForDrawing() : dst->GetBits();
    if (out == nullptr) {
        return;
    }
    // Rows are addressed in this bitmap's pixel size on both sides, so the two must agree.
    if (soft != nullptr && soft->GetBytesPerPixel() != m_BytesPerPixel) {
        return;
    }
    const int stride = soft != nullptr ? soft->GetStoredWidth() : dst->m_BufferWidth;
    const int clipW = std::min(dst->m_BufferWidth, stride);
    const TClipped c = ClipBlit(x, y, w < 1 ? m_StoredWidth : w, h < 1 ? m_StoredHeight : h, 0, 0, m_StoredWidth,
                                m_StoredHeight, clipW, dst->m_BufferHeight);
    if (c.Empty()) {
        return;
    }
    const std::size_t bpp = static_cast<std::size_t>(m_BytesPerPixel);
    for (int row = 0; row < c.h; ++row) {
        const unsigned char* s = bits + (static_cast<std::size_t>(c.sy + row) * m_StoredWidth + c.sx) * bpp;
        unsigned char* o = out + (static_cast<std::size_t>(c.y + row) * stride + c.x) * bpp;
        if (m_PixelFormat == kPixelFormat32) {
            // The destination's own alpha byte stays.
            for (int i = 0; i < c.w; ++i) {
                std::memcpy(o + i * 4, s + i * 4, 3);
            }
        } else {
            std::memcpy(o, s, static_cast<std::size_t>(c.w) * bpp);
        }
    }
}

void CWinDibBitmap::CopyAlpha(IDibBitmap* dst, int x, int y, int w, int h) {
    const unsigned char* alpha = AlphaToRead();
    if (alpha == nullptr || dst == nullptr) {
        return;
    }
    int stride = 0;
    unsigned char* out = DestinationAlpha(dst, stride);
    if (out == nullptr) {
        return;
    }
    const int clipW = std::min(dst->m_BufferWidth, stride);
    const TClipped c = ClipBlit(x, y, w < 1 ? m_StoredWidth : w, h < 1 ? m_StoredHeight : h, 0, 0, m_StoredWidth,
                                m_StoredHeight, clipW, dst->m_BufferHeight);
    if (c.Empty()) {
        return;
    }
    const bool inPixels = m_PixelFormat == kPixelFormat32;
    for (int row = 0; row < c.h; ++row) {
        const std::size_t si = static_cast<std::size_t>(c.sy + row) * m_StoredWidth + c.sx;
        const std::size_t di = static_cast<std::size_t>(c.y + row) * stride + c.x;
        if (inPixels) {
            for (int i = 0; i < c.w; ++i) {
                out[(di + i) * 4 + 3] = alpha[(si + i) * 4 + 3];
            }
        } else {
            std::memcpy(out + di, alpha + si, static_cast<std::size_t>(c.w));
        }
    }
}

void CWinDibBitmap::FastCopy(IDibBitmap* dst, int from, int to, int n) {
    const unsigned char* bits = PixelsToRead();
    unsigned char* out = dst != nullptr ? dst->GetBits() : nullptr;
    if (bits == nullptr || out == nullptr || n <= 0) {
        return;
    }
    const std::size_t bpp = static_cast<std::size_t>(m_BytesPerPixel);
    std::memmove(out + static_cast<std::size_t>(to) * bpp, bits + static_cast<std::size_t>(from) * bpp,
                 static_cast<std::size_t>(n) * bpp);
}

void CWinDibBitmap::WriteBits(int x, int y, unsigned char* data, int n) {
    PlanesMayChange();
    WriteRun(m_Bits, 2, m_StoredWidth, StoredPixelCount(), x, y, data, n);
}

void CWinDibBitmap::WriteAlphaBits(int x, int y, unsigned char* data, int n) {
    PlanesMayChange();
    WriteRun(m_AlphaBits, 1, m_StoredWidth, StoredPixelCount(), x, y, data, n);
}

void CWinDibBitmap::ReplaceAlphaWithTransparentColor() {
    unsigned char* bits = PixelsForDrawing();
    const unsigned char* alpha = AlphaToRead();
    if (bits == nullptr || alpha == nullptr) {
        return;
    }
    const TRenderSwitches& switches = RenderSwitchesOf(m_pGame);
    const int threshold = switches.m_nAlphaThreshold;
    const int r = switches.m_nTransparentR, g = switches.m_nTransparentG, b = switches.m_nTransparentB;
    std::uint16_t key = 1;
    if (m_BitsPerPixel == 16) {
        key = PackRGB565(static_cast<unsigned>(r), static_cast<unsigned>(g), static_cast<unsigned>(b));
    } else if (m_BitsPerPixel == 12) {
        key = static_cast<std::uint16_t>((g & 0xF0) | ((r >> 4) << 8) | (b >> 4));
    }
    if (m_BytesPerPixel == 2) {
        auto* px = reinterpret_cast<std::uint16_t*>(bits);
        const std::size_t count = static_cast<std::size_t>(m_StoredWidth) * m_StoredHeight;
        for (std::size_t i = 0; i < count; ++i) {
            if (alpha[i] < threshold) {
                px[i] = key;
            }
        }
    }
    DestroyAlpha();
    m_TransparentColor = key;
    m_UseTransparentColor = true;
}

void CWinDibBitmap::AdjustHSL(short dh, short ds, short dl) {
    unsigned char* bits = PixelsForDrawing();
    if (bits == nullptr || m_PixelFormat == kPixelFormat32) {
        return;
    }
    // The loops below step by the format's own pixel size; a buffer of another size is left alone.
    if (m_BytesPerPixel != (m_PixelFormat == kPixelFormat24 ? 3 : 2)) {
        return;
    }
    const std::size_t count = static_cast<std::size_t>(m_StoredWidth) * m_StoredHeight;
    auto adjust = [&](rgbcolor c) {
        hslcolor hsl = rgb2hsl(c);
        // The hue goes round; saturation and lightness are clamped by hsl2rgb's results.
        hsl.h = WrapHue(hsl.h + dh);
        hsl.s += ds;
        hsl.l += dl;
        return hsl2rgb(hsl);
    };
    if (m_PixelFormat == kPixelFormat24) {
        for (std::size_t i = 0; i < count; ++i) {
            unsigned char* p = bits + i * 3;
            const rgbcolor c = adjust(rgbcolor{p[2], p[1], p[0]});
            p[0] = static_cast<unsigned char>(c.b);
            p[1] = static_cast<unsigned char>(c.g);
            p[2] = static_cast<unsigned char>(c.r);
        }
        return;
    }
    auto* px = reinterpret_cast<std::uint16_t*>(bits);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint16_t p = px[i];
        if (m_PixelFormat == kPixelFormat565) {
            const rgbcolor c = adjust(rgbcolor{Red5(p) << 3, (p >> 3) & 0xFC, Blue5(p) << 3});
            px[i] = PackRGB565(static_cast<unsigned>(c.r), static_cast<unsigned>(c.g), static_cast<unsigned>(c.b));
        } else if (m_PixelFormat == kPixelFormat555) {
            const rgbcolor c = adjust(rgbcolor{((p >> 10) & 31) << 3, ((p >> 5) & 31) << 3, (p & 31) << 3});
            px[i] = static_cast<std::uint16_t>(((c.r >> 3) << 10) | ((c.g >> 3) << 5) | (c.b >> 3));
        } else {
            const rgbcolor c = adjust(rgbcolor{((p >> 8) & 15) << 4, ((p >> 4) & 15) << 4, (p & 15) << 4});
            px[i] = static_cast<std::uint16_t>(((c.r >> 4) << 8) | ((c.g >> 4) << 4) | (c.b >> 4));
        }
    }
}

void CWinDibBitmap::AddBrightness(short delta) {
    unsigned char* bits = PixelsForDrawing();
    if (delta < 0 || bits == nullptr) {
        return;
    }
    // Over the public buffer size, which is the stored size for every bitmap but a halved 2x image.
    if (m_BytesPerPixel != 2) {
        return;
    }
    const std::size_t count = static_cast<std::size_t>(m_BufferWidth) * m_BufferHeight;
    auto* px = reinterpret_cast<std::uint16_t*>(bits);
    if (m_PixelFormat == kPixelFormat565 && ScreenOf(m_pGame).m_pBackBuffer == this) {
        const int k = 256 + delta;
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint16_t p = px[i];
            const int r = std::min((Red5(p) * k) >> 8, 31);
            const int g = std::min((Green6(p) * k) >> 8, 63);
            const int b = std::min((Blue5(p) * k) >> 8, 31);
            px[i] = static_cast<std::uint16_t>((r << 11) | (g << 5) | b);
        }
    } else if (m_PixelFormat == kPixelFormat565) {
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint16_t p = px[i];
            int r = Red5(p) << 3, g = (p >> 3) & 0xFC, b = (p << 3) & 0xFF;
            r = std::min(r + ((r * delta) >> 8), 255);
            g = std::min(g + ((g * delta) >> 8), 255);
            b = std::min(b + ((b * delta) >> 8), 255);
            px[i] = PackRGB565(static_cast<unsigned>(r), static_cast<unsigned>(g), static_cast<unsigned>(b));
        }
    } else if (m_PixelFormat == kPixelFormat444) {
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint16_t p = px[i];
            int r = ((p >> 8) & 15) << 4, g = ((p >> 4) & 15) << 4, b = (p & 15) << 4;
            r = std::min(r + ((r * delta) >> 8), 255);
            g = std::min(g + ((g * delta) >> 8), 255);
            b = std::min(b + ((b * delta) >> 8), 255);
            px[i] = static_cast<std::uint16_t>(((r >> 4) << 8) | ((g >> 4) << 4) | (b >> 4));
        }
    }
}
