// The run tables of the software bitmap: when they are built and when they are dropped.
#include "SpriteRuns.h"
#include "render/WinDibBitmap.h"

using namespace render_detail;

void CWinDibBitmap::PlanesMayChange() const {
    m_AlphaRuns.reset();
    m_KeyRuns.reset();
    m_BlitsSinceChange = 0;
}

const CRunTable* CWinDibBitmap::AlphaRuns() {
    const unsigned char* alpha = AlphaToRead();
    // A plane owned elsewhere may change behind the bitmap's back; so may one of another layout.
    if (alpha == nullptr || m_AlphaExternal || m_BytesPerPixel != 2 || m_StoredWidth <= 0 || m_StoredHeight <= 0) {
        return nullptr;
    }
    if (m_AlphaRuns == nullptr && m_BlitsSinceChange < 2 && ++m_BlitsSinceChange == 2) {
        m_AlphaRuns = CRunTable::FromAlpha(alpha, m_StoredWidth, m_StoredHeight);
    }
    return m_AlphaRuns.get();
}

const CRunTable* CWinDibBitmap::KeyRuns() {
    const auto* pixels = reinterpret_cast<const std::uint16_t*>(PixelsToRead());
    if (pixels == nullptr || m_BitsExternal || m_BytesPerPixel != 2 || m_StoredWidth <= 0 || m_StoredHeight <= 0) {
        return nullptr;
    }
    if (m_KeyRuns == nullptr && m_BlitsSinceChange < 2 && ++m_BlitsSinceChange == 2) {
        m_KeyRuns = CRunTable::FromKey(pixels, m_StoredWidth, m_StoredHeight, m_TransparentColor);
    }
    return m_KeyRuns.get();
}
