// Storage, life cycle and the orientation wrappers of the software bitmap.
#include "render/WinDibBitmap.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include "SpriteRuns.h"
#include "render/RenderHost.h"

namespace {

// Modes 1 and 2 store the image turned by 90 degrees: its seen width is the stored height.
bool IsTurned(int mode) { return mode == kOrientationTurned1 || mode == kOrientationTurned2; }

// The device screen's bits per pixel; 16 without a host.
int HostBitsPerPixel(IRenderHost* host) {
    if (host == nullptr) {
        return 16;
    }
    DisplayProperties props{};
    host->GetDeviceScreenProperties(&props);
    return props.bitsPerPixel;
}

// Removes the bitmap from the host's list of created bitmaps when the host keeps that list.
void ForgetCreatedBitmap(IRenderHost* host, IDibBitmap* bitmap) {
    if (host == nullptr || !host->Screen().m_bTrackBitmaps) {
        return;
    }
    CQuorvanArray<IDibBitmap*>& list = host->Screen().m_CreatedBitmaps;
    for (int i = 0; i < list.count; ++i) {
        if (list.data[i] == bitmap) {
            list.RemoveAt(i);
            return;
        }
    }
}

}  // namespace

CWinDibBitmap::CWinDibBitmap(IRenderHost* game) : m_pGame(game) {
    m_BitsPerPixel = HostBitsPerPixel(game);
    m_BytesPerPixel = 2;
    m_PixelFormat = kPixelFormat565;
    m_OrientationMode = ScreenOf(game).m_nOrientationMode;
    UpdateWidthAndHeight();
}

CWinDibBitmap::~CWinDibBitmap() {
    ForgetCreatedBitmap(m_pGame, this);
    // Not the virtual Destroy: a derived bitmap has released its own part by now.
    CWinDibBitmap::Destroy();
}

void CWinDibBitmap::SetOrientaionMode(int mode) {
    PlanesMayChange();
    m_OrientationMode = mode;
}

int CWinDibBitmap::GetOrientationMode() { return m_OrientationMode; }

void CWinDibBitmap::UpdateWidthAndHeight() {
    const bool turned = IsTurned(m_OrientationMode);
    m_Width = turned ? m_StoredHeight : m_StoredWidth;
    m_Height = turned ? m_StoredWidth : m_StoredHeight;
    m_BufferWidth = m_StoredWidth;
    m_BufferHeight = m_StoredHeight;
    if (m_Is2xImage && RenderSwitchesOf(m_pGame).m_bDoubleResolution) {
        m_Width >>= 1;
        m_Height >>= 1;
        m_BufferWidth >>= 1;
        m_BufferHeight >>= 1;
    }
}

int CWinDibBitmap::Create(int w, int h) {
    Destroy();
    if (w <= 0 || h <= 0) {
        return 0;
    }
    const std::size_t count = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
    m_Bits = static_cast<unsigned char*>(std::malloc(count * static_cast<std::size_t>(m_BytesPerPixel)));
    if (m_Bits == nullptr) {
        return 0;
    }
    m_BitsExternal = false;
    m_PixelsValid = true;
    m_StoredWidth = w;
    m_StoredHeight = h;
    if (m_BytesPerPixel <= 3) {
        m_AlphaBits = static_cast<unsigned char*>(std::malloc(count));
        if (m_AlphaBits == nullptr) {
            UpdateWidthAndHeight();
            return 0;
        }
        std::memset(m_AlphaBits, 255, count);
    } else {
        std::memset(m_Bits, 0, count * static_cast<std::size_t>(m_BytesPerPixel));
        m_AlphaBits = m_Bits;
    }
    m_AlphaExternal = false;
    m_AlphaValid = true;
    UpdateWidthAndHeight();
    return 1;
}

int CWinDibBitmap::SetBits(unsigned char* pixels, int w, int h) {
    DestroyBits();
    m_Bits = pixels;
    m_BitsExternal = false;
    m_PixelsValid = true;
    m_StoredWidth = IsTurned(m_OrientationMode) ? h : w;
    m_StoredHeight = IsTurned(m_OrientationMode) ? w : h;
    UpdateWidthAndHeight();
    return 1;
}

int CWinDibBitmap::SetAlphaBits(unsigned char* alpha, int w, int h) {
    DestroyAlpha();
    m_AlphaBits = alpha;
    m_AlphaValid = true;
    m_StoredWidth = IsTurned(m_OrientationMode) ? h : w;
    m_StoredHeight = IsTurned(m_OrientationMode) ? w : h;
    UpdateWidthAndHeight();
    return 1;
}

int CWinDibBitmap::SetExternalBits(unsigned char* pixels, int w, int h) {
    DestroyBits();
    m_Bits = pixels;
    m_BitsExternal = true;
    m_PixelsValid = true;
    m_StoredWidth = w;
    m_StoredHeight = h;
    UpdateWidthAndHeight();
    return 1;
}

void CWinDibBitmap::SetExternalAlpha(unsigned char* alpha) {
    PlanesMayChange();
    if (m_BytesPerPixel <= 3) {
        DestroyAlpha();
        m_AlphaBits = alpha;
        m_AlphaExternal = true;
        m_AlphaValid = true;
        return;
    }
    // The 32-bit format keeps alpha inside its pixels: take byte 3 of each given pixel.
    if (m_Bits != nullptr && alpha != nullptr) {
        const std::size_t count = static_cast<std::size_t>(m_StoredWidth) * m_StoredHeight;
        for (std::size_t i = 0; i < count; ++i) {
            m_Bits[i * 4 + 3] = alpha[i * 4 + 3];
        }
        // The values were copied into our own buffer, so unlike the 16-bit case nothing here
        // is owned elsewhere; flagging it external would leak the buffer.
        m_AlphaBits = m_Bits;
        m_AlphaExternal = false;
    }
}

int CWinDibBitmap::DestroyBits() {
    PlanesMayChange();
    if (m_BytesPerPixel == 4) {
        // The 32-bit format shares one buffer: while the alpha plane uses it, it owns it.
        if (m_AlphaBits != m_Bits && !m_BitsExternal) {
            std::free(m_Bits);
        }
        m_Bits = nullptr;
        return 1;
    }
    if (!m_BitsExternal) {
        std::free(m_Bits);
        m_Bits = nullptr;
    }
    return 1;
}

int CWinDibBitmap::DestroyAlpha() {
    PlanesMayChange();
    // A plane shared with the pixels (32-bit format) stays with the pixels.
    if (!m_AlphaExternal && m_AlphaBits != m_Bits) {
        std::free(m_AlphaBits);
    }
    m_AlphaBits = nullptr;
    m_AlphaExternal = false;
    return 1;
}

int CWinDibBitmap::Destroy() {
    DestroyBits();
    DestroyAlpha();
    return 1;
}

unsigned char* CWinDibBitmap::GetBits() {
    PlanesMayChange();
    return m_Bits;
}

unsigned char* CWinDibBitmap::GetAlphaBits() {
    PlanesMayChange();
    return m_AlphaBits;
}

bool CWinDibBitmap::IsAlphaExternal() { return m_AlphaExternal; }

void CWinDibBitmap::SetBitsPerPixel(int bits) {
    PlanesMayChange();
    m_BitsPerPixel = bits;
    m_BytesPerPixel = bits < 24 ? 2 : 3;
}

int CWinDibBitmap::GetBitsPerPixel() { return m_BitsPerPixel; }

void CWinDibBitmap::DrawToDeviceScreen() {}

void CWinDibBitmap::DrawToDeviceScreen(int, int) {}

void CWinDibBitmap::BitBltMultiplyAdditive(IDibBitmap*, int, int, int, int, int, int, int, int, int, int) {
    // Only the GL bitmap has a tinted additive blend; the software renderer never asks for it.
}

void CWinDibBitmap::SetRectAccordingToOrientationMode(IDibBitmap* ref, int& x, int& y, int& w, int& h) {
    if (m_OrientationMode == kOrientationTurned1) {
        const int nx = y;
        const int ny = ref->m_BufferHeight - w - x;
        x = nx;
        y = ny;
    } else if (m_OrientationMode == kOrientationTurned2) {
        const int nx = ref->m_Height - h - y;
        const int ny = x;
        x = nx;
        y = ny;
    } else {
        return;
    }
    std::swap(w, h);
}

void CWinDibBitmap::SetBitBltCoordsAccordingToOrientationMode(IDibBitmap* dst, int& x, int& y, int& w, int& h, int& sx,
                                                              int& sy) {
    if (w == 0) {
        w = m_Width;
    }
    if (h == 0) {
        h = m_Height;
    }
    if (!IsTurned(m_OrientationMode)) {
        return;
    }
    int dw = w, dh = h;
    SetRectAccordingToOrientationMode(this, sx, sy, w, h);
    SetRectAccordingToOrientationMode(dst, x, y, dw, dh);
}

void CWinDibBitmap::ConvertDrawPosition(IDibBitmap* dst, int& x, int& y, int& flags) {
    if (!IsTurned(m_OrientationMode)) {
        return;
    }
    if (m_OrientationMode == kOrientationTurned1) {
        const int nx = y;
        const int ny = dst->m_BufferHeight - m_Width - x;
        x = nx;
        y = ny;
    } else {
        const int nx = dst->m_Height - m_Height - y;
        const int ny = x;
        x = nx;
        y = ny;
    }
    // Turned storage: a mirror across the screen is a mirror along the other stored axis.
    flags = ((flags & kFlipHorizontal) ? kFlipVertical : 0) | ((flags & kFlipVertical) ? kFlipHorizontal : 0);
}
