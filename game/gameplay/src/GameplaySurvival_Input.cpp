// The road of a touch on the round screen: an open dialog takes it first, then a head-up display
// button, then the field. On the field, after game over, a press opens the round's statistics
// once the game-over texts have had their time.
#include "game/gameplay/GameplaySurvival.h"

namespace {

// A press opens the statistics once the game-over clock reaches 4.0: 30 frames after the end.
constexpr FIXED_FLOAT_16 kStatsPressClock = 4 * 65536;

}  // namespace

int CXGameplaySurvival::NotifyPointerEvent(int x, int y, int type) {
    if (m_nTutorialInput == 0) {
        if (FindModalChild() != nullptr) {
            (void)XGameRoot::NotifyPointerEvent(x, y, type);
            return 1;
        }
        // A head-up display button; the root itself, which holds the whole screen, is the field.
        if (m_pDraggedMarble == nullptr && CXElement::NotifyPointerEvent(x, y, type)) return 1;
    }
    if (m_bGameOver) {
        if (type == XPOINTER_PRESS && m_nGameOverClock >= kStatsPressClock && m_pRoundStatsDialog == nullptr)
            OpenRoundStats();
        return 1;
    }
    // During the pause after a lost life the field takes no touch.
    if (m_nPauseCounter != -1) return 1;
    // Paths drawn with the finger start here.
    return 0;
}
