#include "game/widgets/TiledBGTutorial.h"

#include <algorithm>
#include <cmath>

#include "app/GameBase.h"
#include "render/DibBitmap.h"
#include "render/DrawingHelpers.h"
#include "render/ImageRotatorScaler.h"
#include "ui/Widget.h"

namespace {

// The text keeps this margin from the panel's sides.
constexpr int kTextMarginPx = 20;
// The black arrow stands this far below the panel's top edge.
constexpr int kArrowDropPx = 16;
// Kind 6 points from the right part of the panel, every other kind from its left quarter.
constexpr int kRightArrowKind = 6;
constexpr double kBobAmplitude = 2.0;
constexpr double kBobSpeed = 8.0 / 33.0;

// How far point (px, py) lies from the segment from (ax, ay) to (bx, by).
double DistanceToSegment(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay;
    const double lengthSquared = dx * dx + dy * dy;
    const double t = lengthSquared > 0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / lengthSquared, 0.0, 1.0) : 0.0;
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

// Grows size from two tiles by whole tiles while it is more than half a tile short of wanted.
int WholeTiles(int tile, double wanted) {
    int size = 2 * tile;
    while (wanted - size > tile / 2.0) size += tile;
    return size;
}

}  // namespace

CTiledBGTutorial::CTiledBGTutorial(CGameBase* game, int kind, int x, int y, const char* text, TCoordRect2D panel,
                                   XWidget* focus)
    : CFocusedTutorial(game, kind, x, y, text, focus), m_Requested(panel) {}

bool CTiledBGTutorial::LayOut() {
    for (int i = 0; i < 9; ++i) {
        m_Tiles[i] = SpriteFrame("tutorial_tiledbg", i);
        if (m_Tiles[i] == nullptr) return false;
    }
    if (m_pFocus != nullptr) {
        m_pBlackArrow = SpriteFrame("tutorial_black_arrow");
        if (m_pBlackArrow == nullptr) return false;
    }
    const int tw = m_Tiles[0]->m_Width, th = m_Tiles[0]->m_Height;
    if (tw <= 0 || th <= 0) return false;

    m_Panel.width = WholeTiles(tw, m_Requested.width);
    m_Panel.x = m_Requested.x + (m_Requested.width - m_Panel.width) / 2;
    if (!FormatTextBox(m_Panel.width - 2 * kTextMarginPx)) return false;
    // The close button hangs over the top-right corner; the text starts below it.
    const int closeCentreDrop = th / 2 + th / 4;
    const int textDrop = std::max(th, closeCentreDrop + m_pCloseImage->m_Height / 2);
    const int textH = m_TextH >> 8;
    m_Panel.height = WholeTiles(th, textDrop + textH + th);
    m_Panel.y = m_Requested.y + (m_Requested.height - m_Panel.height) / 2;
    m_nMiddleTilesX = m_Panel.width / tw - 2;
    m_nMiddleTilesY = m_Panel.height / th - 2;
    m_TextX = (m_Panel.x + kTextMarginPx) << 8;
    m_TextY = (m_Panel.y + textDrop) << 8;
    m_dCloseX = m_Panel.x + m_Panel.width - tw / 4 - tw / 2;
    m_dCloseY = m_Panel.y + closeCentreDrop;

    if (m_pFocus != nullptr) {
        m_dArrowX = m_Panel.x + (m_nKind == kRightArrowKind ? 4 * m_Panel.width / 5 : m_Panel.width / 4);
        m_dArrowY = m_Panel.y + kArrowDropPx;
        const TCoordRect2D r = m_pFocus->GetDrawingRect();
        const double targetX = r.x + r.width / 2.0, targetY = r.y + r.height / 2.0;
        // The arrow reaches out from its foot as far as its length and its bob. From the right
        // part of a narrow panel (the boosts screen's) it can point across the close button in
        // the corner: its foot then moves left along the panel until the arrow passes clear of it.
        const double reach = m_pBlackArrow->m_Height + 2 * kBobAmplitude;
        const double clearance = (m_pCloseImage->m_Width + m_pBlackArrow->m_Width) / 2.0;
        const auto tipDistance = [&] {
            const double towards = std::hypot(targetX - m_dArrowX, targetY - m_dArrowY);
            if (towards <= 0) return clearance;
            const double tipX = m_dArrowX + (targetX - m_dArrowX) * reach / towards;
            const double tipY = m_dArrowY + (targetY - m_dArrowY) * reach / towards;
            return DistanceToSegment(m_dCloseX, m_dCloseY, m_dArrowX, m_dArrowY, tipX, tipY);
        };
        while (m_dArrowX > m_Panel.x + tw && tipDistance() < clearance) m_dArrowX -= 1;
        m_ArrowAngle = AngleTowards(m_dArrowX, m_dArrowY, targetX, targetY);
    }
    for (int i = 0; i < 2; ++i) {
        m_dBob[i] = m_dBobShown[i] = -kBobAmplitude;
        m_dBobSpeed[i] = kBobSpeed;
    }
    return true;
}

void CTiledBGTutorial::RunProcess() {
    CFocusedTutorial::RunProcess();
    for (int i = 0; i < 2; ++i) {
        ProcessCyclicValue(-kBobAmplitude, m_dBob[i], m_dBobSpeed[i], kBobAmplitude);
        m_dBobShown[i] = GetSCurvedValue(m_pGame, -kBobAmplitude, m_dBob[i], kBobAmplitude);
    }
}

void CTiledBGTutorial::Draw(IDibBitmap* dst) {
    CQuorvanImageRotatorScaler* rotator = m_pGame->GetRotatorScaler();
    if (m_bFinished || m_dAlpha <= 0 || dst == nullptr || rotator == nullptr || m_Tiles[0] == nullptr) return;
    const int alpha = static_cast<int>(m_dAlpha);
    const int alphaOffset = alpha - 255;

    // Corners once, the edges along the middle tiles, the centre filling the inside.
    const int tw = m_Tiles[0]->m_Width, th = m_Tiles[0]->m_Height;
    const int counts[3] = {1, m_nMiddleTilesY, 1};
    const int acrossCounts[3] = {1, m_nMiddleTilesX, 1};
    int y = m_Panel.y;
    for (int row = 0; row < 3; ++row) {
        for (int r = 0; r < counts[row]; ++r, y += th) {
            int x = m_Panel.x;
            for (int column = 0; column < 3; ++column) {
                IDibBitmap* tile = m_Tiles[row * 3 + column];
                for (int c = 0; c < acrossCounts[column]; ++c, x += tw)
                    tile->Draw(dst, x, y, tile->m_Width, tile->m_Height, 0, alphaOffset);
            }
        }
    }
    if (m_pBlackArrow != nullptr) DrawArrowFrom(dst, m_pBlackArrow, m_dBobShown[0] + kBobAmplitude, alphaOffset);
    rotator->DrawRotatedBitmapTransparent(m_pCloseImage, dst, ToFixed(m_dCloseX), ToFixed(m_dCloseY), 0,
                                          m_bFading ? kTutorialFadingCloseScale : 65536, alphaOffset, 0);
    DrawText(dst, m_dBobShown[0], m_dBobShown[1], alpha);
}

bool CTiledBGTutorial::HitTestCloseButton(int x, int y) { return IsWithinCloseReach(x, y); }
