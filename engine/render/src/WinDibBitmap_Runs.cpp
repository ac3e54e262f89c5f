// The run tables of the software bitmap: when they are built and when they are dropped.
#include "SpriteRuns.h"
#include "render/WinDibBitmap.h"

using namespace render_detail;

namespace {

// What every alpha blit leaves alone, and what the unfaded one copies (see BitBlt565_Fast).
constexpr int kSkipAtOrBelow = 10;
constexpr int kUnfadedCopyFrom = 240;

}  // namespace

void CWinDibBitmap::PlanesMayChange() const {
    m_UnfadedAlphaRuns.reset();
    m_FadedAlphaRuns.reset();
    m_KeyRuns.reset();
    m_BlitsSinceChange = 0;
    m_TablesTried = 0;
}

// Counts the blit and says whether the table `which` is due to be built now.
bool CWinDibBitmap::TableDue(unsigned which) {
    if (m_BlitsSinceChange < 2) {
        ++m_BlitsSinceChange;
    }
    if (m_BlitsSinceChange < 2 || (m_TablesTried & which) != 0) {
        return false;
    }
    m_TablesTried |= which;
    return true;
}

const CRunTable* CWinDibBitmap::AlphaRuns(bool unfaded) {
    const unsigned char* alpha = AlphaToRead();
    // A plane owned elsewhere may change behind the bitmap's back; so may one of another layout.
    if (alpha == nullptr || m_AlphaExternal || m_BytesPerPixel != 2 || m_StoredWidth <= 0 || m_StoredHeight <= 0) {
        return nullptr;
    }
    std::unique_ptr<CRunTable>& table = unfaded ? m_UnfadedAlphaRuns : m_FadedAlphaRuns;
    if (TableDue(unfaded ? kUnfadedAlphaTable : kFadedAlphaTable)) {
        table = CRunTable::FromAlpha(alpha, m_StoredWidth, m_StoredHeight, kSkipAtOrBelow,
                                     unfaded ? kUnfadedCopyFrom : 255);
    }
    return table.get();
}

const CKeyRunTable* CWinDibBitmap::KeyRuns() {
    const auto* pixels = reinterpret_cast<const std::uint16_t*>(PixelsToRead());
    if (pixels == nullptr || m_BitsExternal || m_BytesPerPixel != 2 || m_StoredWidth <= 0 || m_StoredHeight <= 0) {
        return nullptr;
    }
    if (TableDue(kKeyTable)) {
        m_KeyRuns = CKeyRunTable::FromKey(pixels, m_StoredWidth, m_StoredHeight, m_TransparentColor);
    }
    return m_KeyRuns.get();
}
