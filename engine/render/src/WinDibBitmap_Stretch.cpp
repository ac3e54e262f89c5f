// The software bitmap's nearest-sample stretch. Source columns come from a table built once per
// draw (in strips, so no allocation), rows from the same exact mapping; an opaque copy gathers
// each source row once and copies the rows a stretch repeats, and every other case gathers a
// strip and blends it with the row kernel.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "Pixel565.h"
#include "Pixel565Rows.h"
#include "render/WinDibBitmap.h"

using namespace render_detail;

namespace {

constexpr int kStrip = 512;

// Absolute source columns for destination columns first .. first + n - 1 of a dw-wide stretch
// of the sw columns starting at sx: StretchSourceIndex stepped without a division per column.
void FillSourceColumns(int* columns, int n, std::int64_t first, int sx, int sw, int dw, bool mirror) {
    std::int64_t q = first * sw / dw;
    std::int64_t r = first * sw % dw;
    const int whole = sw / dw, part = sw % dw;
    for (int i = 0; i < n; ++i) {
        const int column = static_cast<int>(q);
        columns[i] = mirror ? sx + sw - 1 - column : sx + column;
        q += whole;
        r += part;
        if (r >= dw) {
            r -= dw;
            ++q;
        }
    }
}

// out[i] = row[columns[i]]; four pixels go out in one 64-bit store.
void GatherRow(std::uint16_t* out, const std::uint16_t* row, const int* columns, int n) {
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const std::uint64_t four = row[columns[i]] | (static_cast<std::uint64_t>(row[columns[i + 1]]) << 16) |
                                   (static_cast<std::uint64_t>(row[columns[i + 2]]) << 32) |
                                   (static_cast<std::uint64_t>(row[columns[i + 3]]) << 48);
        std::memcpy(out + i, &four, sizeof four);
    }
    for (; i < n; ++i) {
        out[i] = row[columns[i]];
    }
}

}  // namespace

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
    const unsigned char* bits = PixelsToRead();
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
    const std::int64_t right = static_cast<std::int64_t>(x) + dw, bottom = static_cast<std::int64_t>(y) + dh;
    if (x >= d.width || y >= d.height || right < 0 || bottom < 0) {
        return;
    }
    const unsigned char* alpha = AlphaToRead();
    // Without an alpha plane every pixel has alpha 255, so the offset alone decides.
    if (alpha == nullptr && 255 + alphaOffset <= 0) {
        return;
    }
    const bool copyAll = alpha == nullptr && 255 + alphaOffset > 254;
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = static_cast<int>(std::min<std::int64_t>(right, d.width));
    const int y1 = static_cast<int>(std::min<std::int64_t>(bottom, d.height));
    const auto* src = reinterpret_cast<const std::uint16_t*>(bits);
    const TAlphaRule rule{alphaOffset, 0, 255};

    int columns[kStrip];
    std::uint16_t stripPixels[kStrip];
    unsigned char stripAlpha[kStrip];
    for (int c0 = x0; c0 < x1; c0 += kStrip) {
        const int n = std::min(kStrip, x1 - c0);
        FillSourceColumns(columns, n, c0 - static_cast<std::int64_t>(x), sx, sw, dw, (flags & kFlipHorizontal) != 0);
        if (alpha == nullptr) {
            std::fill_n(stripAlpha, n, static_cast<unsigned char>(255));
        }
        int previousRow = -1;
        const std::uint16_t* previousOut = nullptr;
        for (int yy = y0; yy < y1; ++yy) {
            int sr = StretchSourceIndex(yy - static_cast<std::int64_t>(y), sh, dh);
            // Mirroring stays inside the source rectangle, not the whole stored image.
            sr = (flags & kFlipVertical) ? sy + sh - 1 - sr : sy + sr;
            const std::size_t rowStart = static_cast<std::size_t>(sr) * m_StoredWidth;
            std::uint16_t* out = d.pixels + static_cast<std::size_t>(yy) * d.stride + c0;
            if (copyAll) {
                if (sr == previousRow) {
                    std::memcpy(out, previousOut, static_cast<std::size_t>(n) * sizeof(std::uint16_t));
                } else {
                    GatherRow(out, src + rowStart, columns, n);
                }
                previousRow = sr;
                previousOut = out;
                continue;
            }
            GatherRow(stripPixels, src + rowStart, columns, n);
            if (alpha != nullptr) {
                for (int i = 0; i < n; ++i) {
                    stripAlpha[i] = alpha[rowStart + columns[i]];
                }
            }
            BlendRowByAlpha(out, stripPixels, stripAlpha, n, rule, BlendFormula::SeparateProducts);
        }
    }
}
