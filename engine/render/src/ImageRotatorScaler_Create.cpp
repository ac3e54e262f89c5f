// CreateRotatedBitmap: renders a rotated, scaled copy of a bitmap into a new bitmap.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "Pixel565.h"
#include "render/ImageRotatorScaler.h"
#include "render/RenderHost.h"
#include "render/WinDibBitmap.h"

using namespace render_detail;

IDibBitmap* CQuorvanImageRotatorScaler::CreateRotatedBitmap(IDibBitmap* src, FIXED_FLOAT angle, FIXED_FLOAT scale) {
    if (src == nullptr || scale <= 15 || m_pSin256 == nullptr) {
        return nullptr;
    }
    const unsigned char* srcBits = src->GetBits();
    const unsigned char* srcAlpha = src->GetAlphaBits();
    int stride = src->m_BufferWidth;
    if (auto* soft = dynamic_cast<CWinDibBitmap*>(src)) {
        srcBits = soft->PixelsToRead();
        srcAlpha = soft->AlphaToRead();
        stride = soft->GetStoredWidth();
    }
    const int sw = std::min(src->m_BufferWidth, stride);
    const int sh = src->m_BufferHeight;
    if ((srcBits == nullptr && srcAlpha == nullptr) || sw <= 0 || sh <= 0) {
        return nullptr;
    }
    const int index = GetLookupIndex(angle);
    const std::int64_t sn = m_pSin256[index];
    const std::int64_t cs = m_pCos256[index];

    // Bounding box of the turned corners, 24.8 about the centre.
    std::int64_t hw = static_cast<std::int64_t>(sw) * 128;
    std::int64_t hh = static_cast<std::int64_t>(sh) * 128;
    if (scale != 256) {
        hw = (hw * scale) >> 8;
        hh = (hh * scale) >> 8;
    }
    std::int64_t maxX = 0, maxY = 0;
    const std::int64_t cx[4] = {-hw, hw, hw, -hw};
    const std::int64_t cy[4] = {-hh, -hh, hh, hh};
    for (int i = 0; i < 4; ++i) {
        maxX = std::max(maxX, std::abs((cx[i] * cs - cy[i] * sn) >> 8));
        maxY = std::max(maxY, std::abs((cx[i] * sn + cy[i] * cs) >> 8));
    }
    const int w = static_cast<int>(std::max<std::int64_t>((2 * maxX + 255) >> 8, 1));
    const int h = static_cast<int>(std::max<std::int64_t>((2 * maxY + 255) >> 8, 1));

    IDibBitmap* out = CreateRendererBitmap(m_pGame);
    if (out == nullptr) {
        return nullptr;
    }
    const std::size_t count = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
    std::uint16_t* pixels = nullptr;
    unsigned char* alpha = nullptr;
    if (srcBits != nullptr) {
        pixels = static_cast<std::uint16_t*>(std::calloc(count, sizeof(std::uint16_t)));
    }
    if (srcAlpha != nullptr) {
        alpha = static_cast<unsigned char*>(std::calloc(count, 1));
    }
    if ((srcBits != nullptr && pixels == nullptr) || (srcAlpha != nullptr && alpha == nullptr)) {
        std::free(pixels);
        std::free(alpha);
        delete out;
        return nullptr;
    }

    const auto* sp = reinterpret_cast<const std::uint16_t*>(srcBits);
    // Source position (16.16) of destination (i, j): the offset from the new bitmap's centre,
    // turned back by the angle and divided by the scale, from the source's centre.
    const std::int64_t centreX = static_cast<std::int64_t>(w) << 7;
    const std::int64_t centreY = static_cast<std::int64_t>(h) << 7;
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
            const std::int64_t dx = (static_cast<std::int64_t>(i) << 8) - centreX;
            const std::int64_t dy = (static_cast<std::int64_t>(j) << 8) - centreY;
            const std::int64_t u = (((dx * cs + dy * sn) << 8) / scale) + (static_cast<std::int64_t>(sw) << 15);
            const std::int64_t v = (((dy * cs - dx * sn) << 8) / scale) + (static_cast<std::int64_t>(sh) << 15);
            if (u < 0 || v < 0 || (u >> 16) >= sw || (v >> 16) >= sh) {
                continue;
            }
            const int col = static_cast<int>(u >> 16), row = static_cast<int>(v >> 16);
            const int fx = static_cast<int>((u >> 8) & 255), fy = static_cast<int>((v >> 8) & 255);
            const int gx = 255 - fx, gy = 255 - fy;
            const int gxy = (gx * gy) >> 8;
            int weights[4];
            weights[0] = (gx * gy) >> 12;
            weights[1] = (gy - gxy) >> 4;
            weights[2] = (gx - gxy) >> 4;
            weights[3] = 16 - weights[0] - weights[1] - weights[2];
            // Neighbours beyond the last column or row repeat the edge pixel.
            const int c1 = std::min(col + 1, sw - 1), r1 = std::min(row + 1, sh - 1);
            const std::size_t idx[4] = {
                static_cast<std::size_t>(row) * stride + col, static_cast<std::size_t>(row) * stride + c1,
                static_cast<std::size_t>(r1) * stride + col, static_cast<std::size_t>(r1) * stride + c1};
            const std::size_t o = static_cast<std::size_t>(j) * w + i;
            if (pixels != nullptr) {
                int r = 0, g = 0, b = 0;
                for (int k = 0; k < 4; ++k) {
                    r += Red5(sp[idx[k]]) * weights[k];
                    g += Green6(sp[idx[k]]) * weights[k];
                    b += Blue5(sp[idx[k]]) * weights[k];
                }
                pixels[o] = static_cast<std::uint16_t>(((r >> 4) << 11) | ((g >> 4) << 5) | (b >> 4));
            }
            if (alpha != nullptr) {
                int a = 0;
                for (int k = 0; k < 4; ++k) {
                    a += srcAlpha[idx[k]] * weights[k];
                }
                alpha[o] = static_cast<unsigned char>(a >> 4);
            }
        }
    }
    // The planes were filled in stored order; a turned bitmap takes them as seen, so hand over
    // the seen size to keep w stored columns.
    const bool turned =
        out->GetOrientationMode() == kOrientationTurned1 || out->GetOrientationMode() == kOrientationTurned2;
    const int givenW = turned ? h : w;
    const int givenH = turned ? w : h;
    if (pixels != nullptr) {
        out->SetBits(reinterpret_cast<unsigned char*>(pixels), givenW, givenH);
    } else {
        out->DestroyBits();
    }
    if (alpha != nullptr) {
        out->SetAlphaBits(alpha, givenW, givenH);
    } else {
        out->DestroyAlpha();
    }
    return out;
}
