// CBitmapFontText: drawing strings at integer pixels, through GL on the screen target and by
// the target's pixel format in memory.
#include <algorithm>
#include <cstdint>

#include "render/DibBitmap.h"
#include "render/RenderHost.h"
#include "render/WinDibBitmap.h"
#include "text/BitmapFont.h"

namespace {

struct TOffset {
    int dx, dy;
};

constexpr TOffset kShadow[] = {{1, 1}};
constexpr TOffset kDiagonals[] = {{1, -1}, {-1, -1}, {-1, 1}, {1, 1}};
constexpr TOffset kGlow[] = {{2, -2}, {-2, -2}, {-2, 2}, {2, 2}, {2, 0}, {0, -2}, {0, 2}, {-2, 0}};
constexpr TOffset kRing[] = {{-1, -1}, {-1, 0}, {-1, 1}, {0, -1}, {0, 1}, {1, -1}, {1, 0}, {1, 1}};

// The copies an effect draws before the coloured text.
struct TEffectCopies {
    const TOffset* offsets = nullptr;
    int count = 0;
    unsigned char shade = 0;  // 0 black, 255 white
    unsigned char alpha = 0;
};

// False for effect numbers outside 0..6.
bool EffectCopies(int effect, unsigned char alpha, TEffectCopies& out) {
    out = TEffectCopies();
    switch (effect) {
        case kTextEffectNone:
            return true;
        case kTextEffectShadow:
            out = {kShadow, 1, 0, alpha};
            return true;
        case kTextEffectBorder:
            out = {kDiagonals, 4, 0, alpha};
            return true;
        case kTextEffectGlow:
            out = {kGlow, 8, 0, static_cast<unsigned char>(alpha < 224 ? 0 : alpha - 224)};
            return true;
        case kTextEffectWhiteBorder:
            out = {kRing, 8, 255, static_cast<unsigned char>(alpha / 2)};
            return true;
        case kTextEffectBorder2:
            out = {kRing, 8, 0, static_cast<unsigned char>(alpha / 2)};
            return true;
        case kTextEffectWhiteBorder2:
            out = {kRing, 8, 255, static_cast<unsigned char>(alpha / 2)};
            return true;
        default:
            return false;
    }
}

// The engine's own bitmap with its pixels in RAM, and its size as seen derived from the stored
// size, so every index computed from it stays inside the buffer.
struct TTarget {
    unsigned char* pixels = nullptr;
    int storedW = 0, storedH = 0;
    int seenW = 0, seenH = 0;
    int mode = 0;
    int bytesPerPixel = 0;

    // Byte offset of the seen pixel (x, y).
    long long Offset(int x, int y) const {
        long long index = 0;
        if (mode == kOrientationTurned1) {
            index = static_cast<long long>(seenW - 1 - x) * storedW + y;
        } else if (mode == kOrientationTurned2) {
            index = static_cast<long long>(x) * storedW + (seenH - 1 - y);
        } else {
            index = static_cast<long long>(y) * storedW + x;
        }
        return index * bytesPerPixel;
    }
};

bool TargetOf(IDibBitmap* dst, TTarget& t) {
    auto* soft = dynamic_cast<CWinDibBitmap*>(dst);
    if (soft == nullptr || soft->PixelsForDrawing() == nullptr) {
        return false;
    }
    t.pixels = soft->PixelsForDrawing();
    t.storedW = soft->GetStoredWidth();
    t.storedH = soft->GetStoredHeight();
    t.mode = soft->GetOrientationMode();
    const bool turned = t.mode == kOrientationTurned1 || t.mode == kOrientationTurned2;
    t.seenW = turned ? t.storedH : t.storedW;
    t.seenH = turned ? t.storedW : t.storedH;
    t.bytesPerPixel = soft->GetBytesPerPixel();
    return t.storedW > 0 && t.storedH > 0;
}

std::uint16_t Load16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
void Store16(unsigned char* p, std::uint16_t v) {
    p[0] = static_cast<unsigned char>(v & 0xFF);
    p[1] = static_cast<unsigned char>(v >> 8);
}

// Channel layout of the in-memory formats of the per-format family.
struct TChannels {
    int shift[3];  // red, green, blue bit positions (16-bit formats) or byte index (24/32)
    int bits;      // channel width (16-bit formats); 8 for byte formats
    bool bytes;
};

TChannels ChannelsOf(int format) {
    switch (format) {
        case kPixelFormat444:
            return {{8, 4, 0}, 4, false};
        case kPixelFormat555:
            return {{10, 5, 0}, 5, false};
        default:
            return {{2, 1, 0}, 8, true};  // blue, green, red bytes
    }
}

// Damaged metrics can push the pen arbitrarily far; past this nothing can be on any bitmap and
// the pen's arithmetic would overflow.
bool InPixelRange(long long pen) { return pen > -(1LL << 30) && pen < (1LL << 30); }

}  // namespace

bool CBitmapFontText::IsGles() const { return IsGlesRenderer(m_pGame); }

bool CBitmapFontText::IsScreenTarget(IDibBitmap* dst) const {
    return IsGles() && dst != nullptr && dst == m_pGame->Screen().m_pDrawTarget;
}

const std::uint8_t* CBitmapFontText::AlphaPlane() const {
    auto* soft = dynamic_cast<CWinDibBitmap*>(m_pGlyphImage);
    if (soft == nullptr || soft->GetStoredWidth() != m_nStoredWidth || soft->GetStoredHeight() != m_nStoredHeight) {
        return nullptr;
    }
    return soft->AlphaForDrawing();
}

const std::uint8_t* CBitmapFontText::PixelPlane() const {
    auto* soft = dynamic_cast<CWinDibBitmap*>(m_pGlyphImage);
    if (soft == nullptr || soft->GetStoredWidth() != m_nStoredWidth || soft->GetStoredHeight() != m_nStoredHeight ||
        soft->GetBytesPerPixel() != 2) {
        return nullptr;
    }
    return soft->PixelsForDrawing();
}

bool CBitmapFontText::PlaceGlyph(IDibBitmap* dst, int x, int y, unsigned char c, unsigned char alpha,
                                 TCoordRect2D* clip, TGlyphBox& box) const {
    const TGlyphRect& rect = m_GlyphRects[c];
    long long w = static_cast<long long>(rect.right) + 1 - rect.left;
    long long h = static_cast<long long>(rect.bottom) - rect.top;
    if (w <= 0 || h <= 0 || dst == nullptr || m_pGlyphImage == nullptr) {
        return false;
    }
    long long sx = rect.left, sy = rect.top;
    long long gx = static_cast<long long>(x) + (m_ABC[c].A >> 2);
    long long gy = y;
    // Metrics come from a file: a rectangle reaching past the glyph image is cut to it.
    w = std::min(w, static_cast<long long>(m_nImageWidth) - sx);
    h = std::min(h, static_cast<long long>(m_nImageHeight) - sy);
    long long x0 = gx, y0 = gy, x1 = gx + w, y1 = gy + h;
    if (clip != nullptr) {
        x0 = std::max<long long>(x0, clip->x);
        y0 = std::max<long long>(y0, clip->y);
        x1 = std::min<long long>(x1, static_cast<long long>(clip->x) + clip->width);
        y1 = std::min<long long>(y1, static_cast<long long>(clip->y) + clip->height);
    }
    // A bitmap in memory is also cut to its own edges: a clip rectangle reaching past them
    // would otherwise have the blend write outside the pixel buffer (GL clips the screen).
    if (!IsScreenTarget(dst)) {
        x0 = std::max<long long>(x0, 0);
        y0 = std::max<long long>(y0, 0);
        x1 = std::min<long long>(x1, dst->m_Width);
        y1 = std::min<long long>(y1, dst->m_Height);
    }
    if (x1 <= x0 || y1 <= y0 || alpha == 0) {
        return false;
    }
    box.x = static_cast<int>(x0);
    box.y = static_cast<int>(y0);
    box.w = static_cast<int>(x1 - x0);
    box.h = static_cast<int>(y1 - y0);
    box.sx = static_cast<int>(sx + (x0 - gx));
    box.sy = static_cast<int>(sy + (y0 - gy));
    return true;
}

void CBitmapFontText::TextOut(IDibBitmap* dst, int x, int y, const char* text, unsigned char r, unsigned char g,
                              unsigned char b, int effect, unsigned char alpha, TCoordRect2D* clip) {
    if (dst == nullptr || text == nullptr) {
        return;
    }
    TEffectCopies copies;
    if (!EffectCopies(effect, alpha, copies)) {
        return;
    }
    const int drawY = y - (m_nVerticalInset >> 2);
    const int bits = dst->GetBitsPerPixel();
    if (IsGles() || bits == 16) {
        for (int i = 0; i < copies.count; ++i) {
            TextOut_565bpp(dst, x + copies.offsets[i].dx, drawY + copies.offsets[i].dy, text, copies.shade,
                           copies.shade, copies.shade, copies.alpha, clip);
        }
        TextOut_565bpp(dst, x, drawY, text, r, g, b, alpha, clip);
        return;
    }
    switch (bits) {
        case 12:
            TextOut_444bpp(dst, x, drawY, text, r, g, b, effect, alpha, clip);
            break;
        case 15:
            TextOut_555bpp(dst, x, drawY, text, r, g, b, effect, alpha, clip);
            break;
        case 24:
            TextOut_24bpp(dst, x, drawY, text, r, g, b, effect, alpha, clip);
            break;
        case 32:
            TextOut_32bpp(dst, x, drawY, text, r, g, b, effect, alpha, clip);
            break;
        default:
            break;
    }
}

void CBitmapFontText::TextOut_565bpp(IDibBitmap* dst, int x, int y, const char* text, unsigned char r, unsigned char g,
                                     unsigned char b, unsigned char alpha, TCoordRect2D* clip) {
    if (text == nullptr) {
        return;
    }
    long long pen = x;
    const int glyphY = y + m_nHeightAdjustment / 2;
    for (const char* p = text; *p != '\0' && InPixelRange(pen); ++p) {
        if (*p == ' ') {
            pen += m_nSpaceWidth;
            continue;
        }
        pen += static_cast<long long>(DrawChar_565bpp(dst, static_cast<int>(pen), glyphY, *p, r, g, b, alpha, clip)) +
               m_nLetterSpacing;
    }
}

int CBitmapFontText::DrawChar(IDibBitmap* dst, int x, int y, char c, unsigned char r, unsigned char g, unsigned char b,
                              unsigned char alpha, TCoordRect2D* clip) {
    if (dst == nullptr) {
        return 0;
    }
    const int bits = dst->GetBitsPerPixel();
    if (IsGles() || bits == 16) {
        return DrawChar_565bpp(dst, x, y, c, r, g, b, alpha, clip);
    }
    switch (bits) {
        case 12:
            return DrawChar_444bpp(dst, x, y, c, r, g, b, alpha, clip);
        case 15:
            return DrawChar_555bpp(dst, x, y, c, r, g, b, alpha, clip);
        case 24:
            return DrawChar_24bpp(dst, x, y, c, r, g, b, alpha, clip);
        case 32:
            return DrawChar_32bpp(dst, x, y, c, r, g, b, alpha, clip);
        default:
            return 0;
    }
}

int CBitmapFontText::DrawChar_565bpp(IDibBitmap* dst, int x, int y, char c, unsigned char r, unsigned char g,
                                     unsigned char b, unsigned char alpha, TCoordRect2D* clip) {
    const int advance = CharLength2(c);
    TGlyphBox box;
    if (!PlaceGlyph(dst, x, y, static_cast<unsigned char>(c), alpha, clip, box)) {
        return advance;
    }
    const std::uint8_t* pixels = PixelPlane();
    const bool screen = IsScreenTarget(dst);
    if (screen || (pixels != nullptr && dst->GetOrientationMode() == kOrientationNormal)) {
        m_pGlyphImage->BitBltMultiply(dst, r, g, b, box.x, box.y, box.w, box.h, box.sx, box.sy, alpha - 255);
        return advance;
    }
    const std::uint8_t* alphas = AlphaPlane();
    TTarget t;
    if (alphas == nullptr || !TargetOf(dst, t) || t.bytesPerPixel != 2) {
        return advance;
    }
    const int x1 = std::min(box.x + box.w, t.seenW);
    const int y1 = std::min(box.y + box.h, t.seenH);
    const int cr = r >> 3, cg = g >> 2, cb = b >> 3;
    const std::uint16_t solid = PackRGB565(r, g, b);
    for (int dy = box.y; dy < y1; ++dy) {
        const int srow = box.sy + (dy - box.y);
        for (int dx = box.x; dx < x1; ++dx) {
            const int scol = box.sx + (dx - box.x);
            const long long src = static_cast<long long>(srow) * m_nStoredWidth + scol;
            const int a = alphas[src];
            if (a <= 15) {
                continue;
            }
            unsigned char* out = t.pixels + t.Offset(dx, dy);
            const std::uint16_t d = Load16(out);
            const int dr = Red5(d), dg = Green6(d), db = Blue5(d);
            if (pixels != nullptr) {
                // A colour glyph on a turned target: tinted texel by texel, then blended.
                const std::uint16_t s = Load16(pixels + src * 2);
                const int tr = (Red5(s) * cr) >> 5, tg = (Green6(s) * cg) >> 6, tb = (Blue5(s) * cb) >> 5;
                const int k = alpha == 255 ? a : (a >= 240 ? alpha : (a * alpha) >> 8);
                Store16(out, static_cast<std::uint16_t>(((dr + (((tr - dr) * k) >> 8)) << 11) |
                                                        ((dg + (((tg - dg) * k) >> 8)) << 5) |
                                                        (db + (((tb - db) * k) >> 8))));
                continue;
            }
            if (alpha == 255) {
                if (a >= 241) {
                    Store16(out, solid);
                    continue;
                }
                const int k = a >> 4;
                Store16(out, static_cast<std::uint16_t>(((dr + (cr - dr) * k / 16) << 11) |
                                                        ((dg + (cg - dg) * k / 16) << 5) | (db + (cb - db) * k / 16)));
                continue;
            }
            const int k = a >= 240 ? alpha : (a * alpha) >> 8;
            if (k >= 241) {
                Store16(out, solid);
                continue;
            }
            Store16(out,
                    static_cast<std::uint16_t>(((dr + (((cr - dr) * k) >> 8)) << 11) |
                                               ((dg + (((cg - dg) * k) >> 8)) << 5) | (db + (((cb - db) * k) >> 8))));
        }
    }
    return advance;
}

int CBitmapFontText::DrawCharGeneric(IDibBitmap* dst, int x, int y, char c, unsigned char r, unsigned char g,
                                     unsigned char b, unsigned char alpha, TCoordRect2D* clip, int format) {
    const int advance = CharLength2(c);
    TGlyphBox box;
    if (!PlaceGlyph(dst, x, y, static_cast<unsigned char>(c), alpha, clip, box)) {
        return advance;
    }
    const std::uint8_t* pixels = PixelPlane();
    if (pixels != nullptr && format == kPixelFormat444) {
        m_pGlyphImage->BitBltMultiply(dst, r, g, b, box.x, box.y, box.w, box.h, box.sx, box.sy, alpha - 255);
        return advance;
    }
    const std::uint8_t* alphas = AlphaPlane();
    TTarget t;
    const int wantBytes = format == kPixelFormat24 ? 3 : (format == kPixelFormat32 ? 4 : 2);
    // A buffer of another pixel size than the depth claims would be written past its end.
    if (alphas == nullptr || !TargetOf(dst, t) || t.bytesPerPixel != wantBytes) {
        return advance;
    }
    const TChannels ch = ChannelsOf(format);
    const int colour[3] = {r, g, b};
    const int x1 = std::min(box.x + box.w, t.seenW);
    const int y1 = std::min(box.y + box.h, t.seenH);
    for (int dy = box.y; dy < y1; ++dy) {
        const int srow = box.sy + (dy - box.y);
        for (int dx = box.x; dx < x1; ++dx) {
            const long long src = static_cast<long long>(srow) * m_nStoredWidth + box.sx + (dx - box.x);
            const int a = alphas[src];
            if (a <= 15) {
                continue;
            }
            const int k = alpha == 255 ? a : (a * alpha) >> 8;
            int tint[3] = {colour[0], colour[1], colour[2]};
            if (pixels != nullptr) {
                const std::uint16_t s = Load16(pixels + src * 2);
                const int s8[3] = {Red5(s) * 255 / 31, Green6(s) * 255 / 63, Blue5(s) * 255 / 31};
                for (int i = 0; i < 3; ++i) {
                    tint[i] = s8[i] * colour[i] / 255;
                }
            }
            unsigned char* out = t.pixels + t.Offset(dx, dy);
            if (ch.bytes) {
                for (int i = 0; i < 3; ++i) {
                    const int cv = tint[i];
                    const int d = out[ch.shift[i]];
                    out[ch.shift[i]] = static_cast<unsigned char>(cv + (((255 - k) * (d - cv)) >> 8));
                }
                continue;
            }
            const std::uint16_t word = Load16(out);
            const int mask = (1 << ch.bits) - 1;
            std::uint16_t result = static_cast<std::uint16_t>(word & 0x8000);
            for (int i = 0; i < 3; ++i) {
                const int cv = tint[i] >> (8 - ch.bits);
                const int d = (word >> ch.shift[i]) & mask;
                result = static_cast<std::uint16_t>(result | ((cv + (((255 - k) * (d - cv)) >> 8)) << ch.shift[i]));
            }
            Store16(out, result);
        }
    }
    return advance;
}

int CBitmapFontText::DrawChar_444bpp(IDibBitmap* dst, int x, int y, char c, unsigned char r, unsigned char g,
                                     unsigned char b, unsigned char alpha, TCoordRect2D* clip) {
    return DrawCharGeneric(dst, x, y, c, r, g, b, alpha, clip, kPixelFormat444);
}

int CBitmapFontText::DrawChar_555bpp(IDibBitmap* dst, int x, int y, char c, unsigned char r, unsigned char g,
                                     unsigned char b, unsigned char alpha, TCoordRect2D* clip) {
    return DrawCharGeneric(dst, x, y, c, r, g, b, alpha, clip, kPixelFormat555);
}

int CBitmapFontText::DrawChar_24bpp(IDibBitmap* dst, int x, int y, char c, unsigned char r, unsigned char g,
                                    unsigned char b, unsigned char alpha, TCoordRect2D* clip) {
    return DrawCharGeneric(dst, x, y, c, r, g, b, alpha, clip, kPixelFormat24);
}

int CBitmapFontText::DrawChar_32bpp(IDibBitmap* dst, int x, int y, char c, unsigned char r, unsigned char g,
                                    unsigned char b, unsigned char alpha, TCoordRect2D* clip) {
    return DrawCharGeneric(dst, x, y, c, r, g, b, alpha, clip, kPixelFormat32);
}

void CBitmapFontText::TextOutGeneric(IDibBitmap* dst, int x, int y, const char* text, unsigned char r, unsigned char g,
                                     unsigned char b, int effect, unsigned char alpha, TCoordRect2D* clip, int format) {
    TEffectCopies copies;
    if (text == nullptr || !EffectCopies(effect, alpha, copies)) {
        return;
    }
    long long pen = x;
    const int glyphY = y + m_nHeightAdjustment / 2;
    for (const char* p = text; *p != '\0' && InPixelRange(pen); ++p) {
        if (*p == ' ') {
            pen += m_nSpaceWidth;
            continue;
        }
        const int at = static_cast<int>(pen);
        // Here each character carries its own outline, drawn right before it.
        for (int i = 0; i < copies.count; ++i) {
            (void)DrawCharGeneric(dst, at + copies.offsets[i].dx, glyphY + copies.offsets[i].dy, *p, copies.shade,
                                  copies.shade, copies.shade, copies.alpha, clip, format);
        }
        pen += static_cast<long long>(DrawCharGeneric(dst, at, glyphY, *p, r, g, b, alpha, clip, format)) +
               m_nLetterSpacing;
    }
}

void CBitmapFontText::TextOut_444bpp(IDibBitmap* dst, int x, int y, const char* text, unsigned char r, unsigned char g,
                                     unsigned char b, int effect, unsigned char alpha, TCoordRect2D* clip) {
    TextOutGeneric(dst, x, y, text, r, g, b, effect, alpha, clip, kPixelFormat444);
}

void CBitmapFontText::TextOut_555bpp(IDibBitmap* dst, int x, int y, const char* text, unsigned char r, unsigned char g,
                                     unsigned char b, int effect, unsigned char alpha, TCoordRect2D* clip) {
    TextOutGeneric(dst, x, y, text, r, g, b, effect, alpha, clip, kPixelFormat555);
}

void CBitmapFontText::TextOut_24bpp(IDibBitmap* dst, int x, int y, const char* text, unsigned char r, unsigned char g,
                                    unsigned char b, int effect, unsigned char alpha, TCoordRect2D* clip) {
    TextOutGeneric(dst, x, y, text, r, g, b, effect, alpha, clip, kPixelFormat24);
}

void CBitmapFontText::TextOut_32bpp(IDibBitmap* dst, int x, int y, const char* text, unsigned char r, unsigned char g,
                                    unsigned char b, int effect, unsigned char alpha, TCoordRect2D* clip) {
    TextOutGeneric(dst, x, y, text, r, g, b, effect, alpha, clip, kPixelFormat32);
}
