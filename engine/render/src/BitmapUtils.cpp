// Orientation flips, orientation-aware copies and sized creation of bitmaps.
#include "render/BitmapUtils.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

#include "render/DibBitmap.h"
#include "render/RenderHost.h"
#include "render/WinDibBitmap.h"

namespace {

bool IsTurned(int mode) { return mode == kOrientationTurned1 || mode == kOrientationTurned2; }

template <typename T>
void ReverseElements(T* data, std::size_t n) {
    std::reverse(data, data + n);
}

void ReverseBytesPerElement(unsigned char* data, std::size_t n, std::size_t size) {
    for (std::size_t i = 0, j = n - 1; i < j; ++i, --j) {
        for (std::size_t k = 0; k < size; ++k) {
            std::swap(data[i * size + k], data[j * size + k]);
        }
    }
}

}  // namespace

bool CanFlipGameOrientation(IRenderHost* game) {
    return game != nullptr && IsTurned(game->Screen().m_nOrientationMode);
}

void FlipBitmapOrientation(IDibBitmap* bitmap, int mode) {
    if (bitmap == nullptr) {
        return;
    }
    const int current = bitmap->GetOrientationMode();
    if (current == 0 || current == mode) {
        return;
    }
    const std::size_t n = static_cast<std::size_t>(std::max(bitmap->m_Width, 0)) *
                          static_cast<std::size_t>(std::max(bitmap->m_Height, 0));
    unsigned char* pixels = bitmap->GetBits();
    unsigned char* alpha = bitmap->GetAlphaBits();
    std::size_t bytesPerPixel = 2;
    bool alphaExternal = bitmap->IsAlphaExternal();
    if (auto* soft = dynamic_cast<CWinDibBitmap*>(bitmap)) {
        // A placeholder left after a texture upload holds one pixel, not the whole image.
        pixels = soft->PixelsForDrawing();
        alpha = soft->AlphaForDrawing();
        bytesPerPixel = static_cast<std::size_t>(soft->GetBytesPerPixel());
        // The 32-bit format keeps alpha inside the pixels, which are reversed already.
        if (alpha == pixels) {
            alpha = nullptr;
        }
    }
    if (n > 1) {
        if (pixels != nullptr) {
            if (bytesPerPixel == 2) {
                ReverseElements(reinterpret_cast<std::uint16_t*>(pixels), n);
            } else {
                ReverseBytesPerElement(pixels, n, bytesPerPixel);
            }
        }
        if (alpha != nullptr && !alphaExternal) {
            ReverseElements(alpha, n);
        }
    }
    bitmap->SetOrientaionMode(mode);
    (void)bitmap->HWUpdateTexture();
}

void FlipGameOrientation(IRenderHost* game, int mode) {
    TScreenState& screen = game->Screen();
    if (!CanFlipGameOrientation(game) || screen.m_nOrientationMode == mode) {
        return;
    }
    screen.m_nOrientationMode = mode;
    FlipBitmapOrientation(screen.m_pDrawTarget, mode);
    IDibBitmap* blend = game->GetBlendBuffer();
    if (blend != screen.m_pDrawTarget) {
        FlipBitmapOrientation(blend, mode);
    }
    for (int i = 0; i < screen.m_CreatedBitmaps.count; ++i) {
        FlipBitmapOrientation(screen.m_CreatedBitmaps.data[i], mode);
    }
}

namespace {

enum class CopyPlane { kPixels, kAlpha };

void CopyData(CopyPlane plane, IRenderHost* game, IDibBitmap* src, IDibBitmap* dst, int x, int y, int w, int h) {
    if (src == nullptr || dst == nullptr) {
        return;
    }
    if (w == 0) {
        w = src->m_Width;
    }
    if (h == 0) {
        h = src->m_Height;
    }
    const int mode = ScreenOf(game).m_nOrientationMode;
    int cx = x, cy = y, cw = w, ch = h;
    if (mode == kOrientationTurned1) {
        cx = y;
        cy = dst->m_BufferHeight - x - src->m_BufferHeight;
        cw = h;
        ch = w;
    } else if (mode == kOrientationTurned2) {
        cx = dst->m_BufferWidth - y - src->m_BufferWidth;
        cy = x;
        cw = h;
        ch = w;
    }
    if (plane == CopyPlane::kPixels) {
        src->CopyBitmap(dst, cx, cy, cw, ch);
    } else {
        src->CopyAlpha(dst, cx, cy, cw, ch);
    }
}

}  // namespace

void CopyBitmapData(IRenderHost* game, IDibBitmap* src, IDibBitmap* dst, int x, int y, int w, int h) {
    CopyData(CopyPlane::kPixels, game, src, dst, x, y, w, h);
}

void CopyAlphaData(IRenderHost* game, IDibBitmap* src, IDibBitmap* dst, int x, int y, int w, int h) {
    CopyData(CopyPlane::kAlpha, game, src, dst, x, y, w, h);
}

int CreateBitmap(IRenderHost* game, IDibBitmap* bitmap, int w, int h) {
    if (game == nullptr || bitmap == nullptr) {
        return 0;
    }
    return IsTurned(game->Screen().m_nOrientationMode) ? bitmap->Create(h, w) : bitmap->Create(w, h);
}

IDibBitmap* CreateBitmap(IRenderHost* game, int w, int h, bool withAlpha) {
    if (game == nullptr) {
        return nullptr;
    }
    IDibBitmap* bitmap = game->CreateBitmapObject();
    if (bitmap == nullptr) {
        return nullptr;
    }
    if (CreateBitmap(game, bitmap, w, h) == 0) {
        delete bitmap;
        return nullptr;
    }
    if (!withAlpha) {
        bitmap->DestroyAlpha();
        (void)bitmap->HWUpdateTexture();
    }
    return bitmap;
}
