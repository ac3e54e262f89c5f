// The rotator's tables, its entry points and their choice between the hardware and software path.
#include "render/ImageRotatorScaler.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "render/DibBitmap.h"
#include "render/RenderHost.h"

namespace {

constexpr double kPi = 3.1415926535;

int RoundHalfAway(double v) { return static_cast<int>(v >= 0.0 ? v + 0.5 : v - 0.5); }

// One addition or subtraction of a full turn, as the software members expect.
FIXED_FLOAT WrapOnce(FIXED_FLOAT angle) {
    if (angle < 0) {
        angle += kFixedFullTurn;
    } else if (angle >= kFixedFullTurn) {
        angle -= kFixedFullTurn;
    }
    return angle;
}

}  // namespace

CQuorvanImageRotatorScaler::CQuorvanImageRotatorScaler(IRenderHost* game, int entries)
    : m_pGame(game), m_nEntries(entries), m_nIndexScale((entries << 12) / 5760) {}

CQuorvanImageRotatorScaler::~CQuorvanImageRotatorScaler() {
    std::free(m_pSin256);
    std::free(m_pCos256);
    std::free(m_pSin65536);
    std::free(m_pCos65536);
}

int CQuorvanImageRotatorScaler::Initialize() {
    if (m_nEntries <= 0) {
        return 0;
    }
    const std::size_t bytes = sizeof(int) * static_cast<std::size_t>(m_nEntries);
    int** tables[] = {&m_pSin256, &m_pCos256, &m_pSin65536, &m_pCos65536};
    for (int** table : tables) {
        if (*table == nullptr) {
            *table = static_cast<int*>(std::malloc(bytes));
        }
        if (*table == nullptr) {
            return 0;
        }
    }
    for (int i = 0; i < m_nEntries; ++i) {
        const double radians = i * 360.0 / m_nEntries * kPi / 180.0;
        const double s = std::sin(radians);
        const double c = std::cos(radians);
        m_pSin256[i] = RoundHalfAway(s * 256.0);
        m_pCos256[i] = RoundHalfAway(c * 256.0);
        m_pSin65536[i] = RoundHalfAway(s * 65536.0);
        m_pCos65536[i] = RoundHalfAway(c * 65536.0);
    }
    return 1;
}

int CQuorvanImageRotatorScaler::GetLookupIndex(FIXED_FLOAT angle) const {
    // Callers pass headings that drift past a full turn or below zero; wrapping here keeps every
    // table read inside the table.
    FIXED_FLOAT wrapped = angle % kFixedFullTurn;
    if (wrapped < 0) {
        wrapped += kFixedFullTurn;
    }
    return static_cast<int>((static_cast<std::int64_t>(wrapped) * m_nIndexScale) >> 16);
}

void SetCoordsAccordingToOrientationModeF(IDibBitmap* dst, FIXED_FLOAT& x, FIXED_FLOAT& y) {
    const int mode = dst->GetOrientationMode();
    if (mode == kOrientationTurned1) {
        const FIXED_FLOAT nx = y;
        const FIXED_FLOAT ny = (dst->m_BufferHeight << 8) - x - 256;
        x = nx;
        y = ny;
    } else if (mode == kOrientationTurned2) {
        const FIXED_FLOAT nx = (dst->m_BufferWidth << 8) - y - 256;
        const FIXED_FLOAT ny = x;
        x = nx;
        y = ny;
    }
}

bool CQuorvanImageRotatorScaler::PrepareSoftwareDraw(TRotatedDraw& draw) {
    if (draw.src == nullptr || draw.dst == nullptr) {
        return false;
    }
    if (m_pHardwarePath != nullptr && m_pHardwarePath->Draw(draw)) {
        return false;
    }
    if (m_pSin256 == nullptr) {
        return false;  // not initialised: nothing to draw with
    }
    const int mode = ScreenOf(m_pGame).m_nOrientationMode;
    if (mode == kOrientationTurned1 || mode == kOrientationTurned2) {
        SetCoordsAccordingToOrientationModeF(draw.dst, draw.x, draw.y);
    }
    draw.angle = WrapOnce(draw.angle);
    return true;
}

void CQuorvanImageRotatorScaler::DrawRotatedBitmap(IDibBitmap* src, IDibBitmap* dst, FIXED_FLOAT x, FIXED_FLOAT y,
                                                   FIXED_FLOAT angle, FIXED_FLOAT_16 scale, int flags) {
    TRotatedDraw d{TRotatedDraw::kPlain, src, dst, x, y, angle, scale, 255, 255, 255, 0, flags};
    if (PrepareSoftwareDraw(d)) {
        SW565_DrawRotatedBitmapHighest(src, dst, d.x, d.y, d.angle, scale, flags);
    }
}

void CQuorvanImageRotatorScaler::DrawRotatedBitmapTransparent(IDibBitmap* src, IDibBitmap* dst, FIXED_FLOAT x,
                                                              FIXED_FLOAT y, FIXED_FLOAT angle, FIXED_FLOAT_16 scale,
                                                              int alphaOffset, int flags) {
    TRotatedDraw d{TRotatedDraw::kTransparent, src, dst, x, y, angle, scale, 255, 255, 255, alphaOffset, flags};
    if (PrepareSoftwareDraw(d)) {
        SW565_DrawRotatedBitmapTransparentHighest(src, dst, d.x, d.y, d.angle, scale, alphaOffset, flags);
    }
}

void CQuorvanImageRotatorScaler::DrawRotatedBitmapAdditive(IDibBitmap* src, IDibBitmap* dst, FIXED_FLOAT x,
                                                           FIXED_FLOAT y, FIXED_FLOAT angle, FIXED_FLOAT_16 scale,
                                                           int r, int g, int b, int alphaOffset, int flags) {
    TRotatedDraw d{TRotatedDraw::kAdditive, src, dst, x, y, angle, scale, r, g, b, alphaOffset, flags};
    if (PrepareSoftwareDraw(d)) {
        SW565_DrawRotatedBitmapAdditiveHighest(src, dst, d.x, d.y, d.angle, scale, r, g, b, alphaOffset, flags);
    }
}

void CQuorvanImageRotatorScaler::DrawRotatedBitmapMultiply(IDibBitmap* src, IDibBitmap* dst, FIXED_FLOAT x,
                                                           FIXED_FLOAT y, FIXED_FLOAT angle, FIXED_FLOAT_16 scale,
                                                           int r, int g, int b, int alphaOffset, int flags) {
    TRotatedDraw d{TRotatedDraw::kMultiply, src, dst, x, y, angle, scale, r, g, b, alphaOffset, flags};
    if (PrepareSoftwareDraw(d)) {
        SW565_DrawRotatedBitmapMultiplyHighest(src, dst, d.x, d.y, d.angle, scale, r, g, b, alphaOffset, flags);
    }
}

void CQuorvanImageRotatorScaler::DrawRotatedBitmapAlphaChannel(IDibBitmap* src, IDibBitmap* dst, FIXED_FLOAT x,
                                                               FIXED_FLOAT y, FIXED_FLOAT angle, FIXED_FLOAT_16 scale,
                                                               int r, int g, int b, int alphaOffset, int flags) {
    TRotatedDraw d{TRotatedDraw::kAlphaChannel, src, dst, x, y, angle, scale, r, g, b, alphaOffset, flags};
    if (PrepareSoftwareDraw(d)) {
        SW565_DrawRotatedBitmapAlphaChannelHighest(src, dst, d.x, d.y, d.angle, scale, r, g, b, alphaOffset, flags);
    }
}

void CQuorvanImageRotatorScaler::DrawRotatedBitmapWithSourceOriginWithBlendMode(
    IDibBitmap* src, IDibBitmap* dst, FIXED_FLOAT x, FIXED_FLOAT y, FIXED_FLOAT angle, int originX, int originY,
    FIXED_FLOAT_16 scale, int blendMode, int alphaOffset, int r, int g, int b, int flags) {
    if (src == nullptr || m_pSin65536 == nullptr) {
        return;
    }
    const int index = GetLookupIndex(WrapOnce(angle));
    const std::int64_t c = m_pCos65536[index];
    const std::int64_t s = m_pSin65536[index];
    // Offset from the pivot to the source centre, 16.16.
    const std::int64_t dx =
        (static_cast<std::int64_t>(src->m_Width) << 16) / 2 - (static_cast<std::int64_t>(originX) << 8);
    const std::int64_t dy =
        (static_cast<std::int64_t>(src->m_Height) << 16) / 2 - (static_cast<std::int64_t>(originY) << 8);
    const std::int64_t rx = ((c * dx) >> 16) - ((s * dy) >> 16);
    const std::int64_t ry = ((c * dy) >> 16) + ((s * dx) >> 16);
    const std::int64_t cx = (static_cast<std::int64_t>(x) << 8) + ((rx * scale) >> 16);
    const std::int64_t cy = (static_cast<std::int64_t>(y) << 8) + ((ry * scale) >> 16);
    const FIXED_FLOAT centreX = static_cast<FIXED_FLOAT>(cx >> 8);
    const FIXED_FLOAT centreY = static_cast<FIXED_FLOAT>(cy >> 8);
    switch (blendMode) {
        case 0:
            if (alphaOffset < 0) {
                DrawRotatedBitmapTransparent(src, dst, centreX, centreY, angle, scale, alphaOffset, flags);
            } else {
                DrawRotatedBitmap(src, dst, centreX, centreY, angle, scale, flags);
            }
            break;
        case 1:
            DrawRotatedBitmapAdditive(src, dst, centreX, centreY, angle, scale, r, g, b, alphaOffset, flags);
            break;
        case 2:
            DrawRotatedBitmapMultiply(src, dst, centreX, centreY, angle, scale, r, g, b, alphaOffset, flags);
            break;
        case 3:
            DrawRotatedBitmapAlphaChannel(src, dst, centreX, centreY, angle, scale, r, g, b, alphaOffset, flags);
            break;
        default:
            break;
    }
}
