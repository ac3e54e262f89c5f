// The yard screen's first-visit hints: how to buy, what the bars are for, where the quests are.
// At most one starts in a visit; closing one (or pressing the button it points at) marks it seen
// in the profile.
#include <new>

#include "app/GameBase.h"
#include "game/farm/FarmHost.h"
#include "game/farm/FarmManager.h"
#include "game/farm/FarmWindow.h"
#include "game/gameplay/TiledBGTutorial.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/UserProfile.h"
#include "render/DibBitmap.h"
#include "ui/Widget.h"

namespace {

// The progress and quests hints wait this many frames into the visit.
constexpr int kHintDelayFrames = 99;

struct THintLook {
    const char* target;
    int kind;  // the hint flag it sets
    const char* text;
    int boxBelowTargetPx;
    int boxHeightPx;
};

constexpr THintLook kPurchaseHint = {"btn_BuyItem", kHintYardPurchase,
                                     "Touch 'Buy' button\nto purchase a bird or a farm object", 75, 100};
constexpr THintLook kQuestsHint = {"btn_shop_quests", kHintYardQuests,
                                   "Touch 'Quests' button\nto see the list of\nyour current mini-quests", 75, 100};
constexpr THintLook kProgressHint = {
    "pb_decor", kHintYardProgress,
    "Buy Birds, Plants, Comfort equipment and Decor to fill each Progress bar and gain a star", 80, 90};

bool Seen(const TUserProfile* profile, int flag) { return profile != nullptr && profile->m_HintFlags[flag]; }

}  // namespace

void CXFarmWindow::UpdatePurchaseTutorialAvailability() {
    CGameBase* game = GameBase();
    const TUserProfile* profile = CurrentProfileOf(game);
    m_bPurchaseHintAvailable = profile != nullptr && !Seen(profile, kHintYardPurchase) && !m_bHintShown &&
                               profile->m_nCoins > 0 &&
                               FarmHost()->GetFarmManager()->CanPurchaseAnyFarmObject(profile->m_nCoins);
}

void CXFarmWindow::UpdateQuestsTutorialAvailability() {
    const TUserProfile* profile = CurrentProfileOf(GameBase());
    bool anyQuest = false;
    if (profile != nullptr) {
        for (int i = 0; i < profile->m_MiniQuestStates.count && !anyQuest; ++i) {
            const MiniQuestStatesInfo* states = profile->m_MiniQuestStates[i];
            anyQuest = states != nullptr && (states->m_Unlocked.count > 0 || states->m_Completed.count > 0);
        }
    }
    m_bQuestsHintAvailable = profile != nullptr && !Seen(profile, kHintYardQuests) && !m_bHintShown &&
                             Seen(profile, kHintYardProgress) && anyQuest;
}

void CXFarmWindow::UpdateProgressTutorialAvailability() {
    const TUserProfile* profile = CurrentProfileOf(GameBase());
    m_bProgressHintAvailable =
        profile != nullptr && !m_bHintShown && !Seen(profile, kHintYardProgress) && Seen(profile, kHintYardPurchase);
}

void CXFarmWindow::ScheduleHints() {
    const TUserProfile* profile = CurrentProfileOf(GameBase());
    if (profile == nullptr || m_bHintShown || m_pHint != nullptr) return;
    if (!Seen(profile, kHintYardPurchase)) {
        if (!m_bPurchaseHintAvailable) return;
        (void)RunFarmPurchaseTutorial();
        m_bHintShown = true;
    } else if (!Seen(profile, kHintYardProgress)) {
        if (!m_bProgressHintAvailable || ++m_nProgressHintDelay <= kHintDelayFrames) return;
        (void)RunFarmProgressTutorial();
        m_bHintShown = true;
    } else if (!Seen(profile, kHintYardQuests) && m_bQuestsHintAvailable) {
        if (++m_nQuestsHintDelay <= kHintDelayFrames) return;
        (void)RunFarmQuestsTutorial();
        m_bHintShown = true;
    }
}

namespace {

// The hint over its target widget, its text box below it: the overlay, or null when the widget
// is missing or the overlay cannot lay itself out.
CTiledBGTutorial* MakeHint(CGameBase* game, XWidget* target, const THintLook& look, int boxX) {
    if (target == nullptr || game->m_Screen.m_pBackBuffer == nullptr) return nullptr;
    const int w = game->m_Screen.m_pBackBuffer->m_Width;
    const TCoordRect2D r = target->GetDrawingRect();
    const int tx = r.x + r.width / 2, ty = r.y + r.height / 2;
    const TCoordRect2D box{boxX, ty + look.boxBelowTargetPx, (2 * w) / 3, look.boxHeightPx};
    auto* hint = new (std::nothrow) CTiledBGTutorial(game, look.kind, tx, ty, look.text, box, target);
    if (hint != nullptr && !hint->PostConstruct()) SafeDelete(hint);
    return hint;
}

}  // namespace

bool CXFarmWindow::RunFarmPurchaseTutorial() {
    SafeDelete(m_pHint);
    m_pHint = MakeHint(GameBase(), FindChildWithWidgetId(kPurchaseHint.target), kPurchaseHint, 1);
    return m_pHint != nullptr;
}

bool CXFarmWindow::RunFarmQuestsTutorial() {
    CGameBase* game = GameBase();
    const int w = game->m_Screen.m_pBackBuffer != nullptr ? game->m_Screen.m_pBackBuffer->m_Width : 0;
    SafeDelete(m_pHint);
    m_pHint = MakeHint(game, FindChildWithWidgetId(kQuestsHint.target), kQuestsHint, (w - (2 * w) / 3) / 2);
    return m_pHint != nullptr;
}

bool CXFarmWindow::RunFarmProgressTutorial() {
    SafeDelete(m_pHint);
    m_pHint = MakeHint(GameBase(), FindChildWithWidgetId(kProgressHint.target), kProgressHint, 20);
    return m_pHint != nullptr;
}
