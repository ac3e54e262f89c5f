// The boosts screen's frame: its update, input and drawing around the boost-point hint.
#include "game/screens/UpgradesScreen.h"

#include "game/app/TheGameOf.h"
#include "game/progress/UserProfile.h"

void CXUpgradesScreen::DeleteHint() { m_pHint = nullptr; }

void CXUpgradesScreen::RunProcess() {
    // A child's message may switch the screen at once and delete this root with it.
    const auto alive = LifeToken();
    XGameRoot::RunProcess();
    if (!*alive) return;
}

int CXUpgradesScreen::NotifyPointerEvent(int x, int y, int type) { return XDialog::NotifyPointerEvent(x, y, type); }

void CXUpgradesScreen::PostDraw() {
    CTheGame* game = TheGame();
    const int alpha = GetOpacity() / 256;
    if (game != nullptr && alpha >= 1) (void)game->DrawNumUpgradePoints(alpha);
}

bool CXUpgradesScreen::RunBoostPointsTutorial() { return false; }
