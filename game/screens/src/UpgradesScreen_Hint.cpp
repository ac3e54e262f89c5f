// The boosts screen's frame: its update, input and drawing around the boost-point hint, which
// explains where boost points come from on every visit until the player closes it.
#include <new>

#include "app/GameBase.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/UserProfile.h"
#include "game/screens/ScreensHost.h"
#include "game/screens/UpgradesScreen.h"
#include "game/widgets/TiledBGTutorial.h"
#include "render/DibBitmap.h"

namespace {

// The hint's number among the profile's hint flags, and its kind of overlay.
constexpr int kBoostsHint = kHintBoosts;
constexpr const char* kHintAnchor = "img_upgrades_dummy10";
constexpr const char* kHintText =
    "You will earn\none Boost Coin each time\nyou gain new XP Level.\nSpend Boost Coins to enable and upgrade Boosts!";
// The text box: two thirds of the screen wide and 100 high, 64 below the anchor's middle; on the
// narrowest screen it moves 20 pixels left, clear of the counter it points at.
constexpr int kHintBoxHeight = 100;
constexpr int kHintBoxDrop = 64;
constexpr int kNarrowScreen = 320;
constexpr int kNarrowShift = 20;

}  // namespace

void CXUpgradesScreen::DeleteHint() {
    delete m_pHint;
    m_pHint = nullptr;
}

void CXUpgradesScreen::RunProcess() {
    // A child's message may switch the screen at once and delete this root with it.
    const auto alive = LifeToken();
    XGameRoot::RunProcess();
    if (!*alive) return;
    if (m_pHint != nullptr) {
        m_pHint->RunProcess();
        if (m_pHint->IsFinished()) DeleteHint();
        return;
    }
    if (m_bHintStarted || FindModalChild() != nullptr) return;
    const TUserProfile* profile = CurrentProfileOf(ScreensGameOf(this));
    if (profile == nullptr || profile->m_HintFlags[kBoostsHint]) return;
    // Once a visit, whether or not the hint could be built.
    (void)RunBoostPointsTutorial();
    m_bHintStarted = true;
}

int CXUpgradesScreen::NotifyPointerEvent(int x, int y, int type) {
    if (m_pHint != nullptr && m_pHint->IsShown() && type == XPOINTER_PRESS && m_pHint->HitTestCloseButton(x, y)) {
        m_pHint->FadeOut();
        if (TUserProfile* profile = CurrentProfileOf(ScreensGameOf(this))) {
            const int kind = m_pHint->GetKind();
            if (kind >= 0 && kind < kHintFlagCount) profile->m_HintFlags[kind] = true;
        }
    }
    return XDialog::NotifyPointerEvent(x, y, type);
}

void CXUpgradesScreen::PostDraw() {
    IScreensHost* host = ScreensHostOf(this);
    const int alpha = GetOpacity() / 256;
    if (host != nullptr && alpha >= 1) (void)host->DrawNumUpgradePoints(alpha);
    if (m_pHint != nullptr) m_pHint->Draw(GetBackBuffer());
}

bool CXUpgradesScreen::RunBoostPointsTutorial() {
    CGameBase* game = ScreensGameOf(this);
    XWidget* anchor = FindChildWithWidgetId(kHintAnchor);
    IDibBitmap* back = GetBackBuffer();
    if (game == nullptr || anchor == nullptr || back == nullptr) return false;
    const TCoordRect2D r = anchor->GetDrawingRect();
    const int w = back->m_Width;
    const int boxWidth = 2 * w / 3;
    TCoordRect2D box{(w - boxWidth) / 2, r.y + r.height / 2 + kHintBoxDrop, boxWidth, kHintBoxHeight};
    if (w == kNarrowScreen) box.x -= kNarrowShift;
    auto* hint = new (std::nothrow)
        CTiledBGTutorial(game, kBoostsHint, r.x + r.width / 2, r.y + r.height / 2, kHintText, box, anchor);
    if (hint == nullptr) return false;
    if (!hint->PostConstruct()) {
        delete hint;
        return false;
    }
    DeleteHint();
    m_pHint = hint;
    return true;
}
