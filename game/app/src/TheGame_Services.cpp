// Services the screens share: the experience rank curve (its body in
// game/progress/ExperienceRanks.h), the advertising publisher id and the small hooks of the
// engine object that the game answers itself.
#include <string>

#include "game/app/TheGame.h"
#include "game/farm/FarmWindow.h"
#include "game/gameplay/GameplaySurvival.h"
#include "game/news/AdsEngine.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/ExperienceRanks.h"
#include "game/progress/UserProfile.h"
#include "game/screens/AboutScreen.h"
#include "game/screens/AchScreen.h"
#include "game/screens/FarmShopScreen.h"
#include "game/screens/LeadersScreen.h"
#include "game/screens/PlayScreen.h"
#include "game/screens/QuestsScreen.h"
#include "game/screens/StartMenu.h"
#include "game/screens/UpgradesScreen.h"
#include "game/widgets/GameRoot.h"
#include "game/widgets/ScoreValue.h"
#include "render/DibBitmap.h"

int CTheGame::getXPdeltaForTheRank(int rank) { return XPDeltaForRank(rank); }

long long CTheGame::GetXP_Rank2Points(int rank) { return XPRankToPoints(rank); }

int CTheGame::GetXP_Points2Rank(unsigned int points) { return XPPointsToRank(points); }

CommonString CTheGame::GetPublisherIdForAd() {
    return CommonString(GetCurrentResolutionId() == 22 ? "7e3b90c4d2f16c9" : "7e3b90c4d2f1a58");
}

int CTheGame::MapKeyToGameCode(int /*key*/) { return -1; }

// A report that did not reach the service is remembered in the profile, to be sent again later.
void CTheGame::GC_NotifyScoreReport(bool ok) {
    if (TUserProfile* profile = GetCurrentProfile(); profile != nullptr && !ok) profile->m_bScoresToSync = true;
}

void CTheGame::GC_NotifyAchievementReport(bool ok) {
    if (TUserProfile* profile = GetCurrentProfile(); profile != nullptr && !ok) profile->m_bAchievementsToSync = true;
}

int CTheGame::CreateNewUserProfile() {
    CApplicationData* data = GetAppData();
    if (data == nullptr) return -1;
    const int index = data->AddUserProfile();
    return index < 0 ? -1 : index;
}

// There is no mute icon in this game.
namespace {

// The counters' anchor: the right end of the number, and the icon's middle.
constexpr int kCounterRightMargin = 10;
constexpr float kCounterY = 22.0f;

// One of the profile's counters at the top right of the back buffer; 0 without a profile.
FIXED_FLOAT_16 DrawTopRightCounter(CTheGame* game, CSpriteSet* icon, int TUserProfile::*field, int a, float scale) {
    const TUserProfile* profile = game->GetCurrentProfile();
    IDibBitmap* back = game->Screen().m_pBackBuffer;
    if (profile == nullptr || back == nullptr) return 0;
    return DrawScoreValue(game, icon, true, static_cast<float>(back->m_Width - kCounterRightMargin), kCounterY, scale,
                          CommonString(), profile->*field, a, 255, 255, 255, true, true);
}

}  // namespace

FIXED_FLOAT_16 CTheGame::DrawNumCoins(int a, float scale) {
    return DrawTopRightCounter(this, m_pHudCoinSet, &TUserProfile::m_nCoins, a, scale);
}

FIXED_FLOAT_16 CTheGame::DrawNumUpgradePoints(int a) {
    return DrawTopRightCounter(this, m_pHudXPSet, &TUserProfile::m_nBoostPoints, a, 1.0f);
}

void CTheGame::DrawMuteIcon() {}
int CTheGame::NotifyPointerEventMuteIcon(int /*x*/, int /*y*/, int /*type*/) { return 0; }

void CTheGame::OnAdReceived(bool received) {
    if (m_pAdsEngine != nullptr) m_pAdsEngine->OnAdReceived(received);
}

namespace {

// What the back key does on a screen: press the button with that id (null: nothing) without an
// open modal dialog, and with one go back (the root's back action) or do nothing.
struct TBackKeyRow {
    XGameRoot* screen;
    const char* button;
    bool backWithModal;
};

int Press(CXElement* receiver, CXElement* sender, const char* button) {
    if (receiver != nullptr && button != nullptr) (void)receiver->OnMessage(sender, XMSG_CLICK, XIdParam(button), 0);
    return 1;
}

// The button of the name entry's keyboard that a typed key stands for; null for other keys.
// Letters are pressed on their key whatever their case: the entry decides the case by its shift.
const char* NameEntryButtonOf(int code, std::string& id) {
    if (code == '\b') return "btn_BkSpace";
    if (code == '\r') return "btn_NameOk";
    if (code == ' ') return "btn_Space";
    if ((code >= 'a' && code <= 'z') || (code >= 'A' && code <= 'Z')) {
        id = std::string("btn_") + static_cast<char>(code >= 'a' ? code - 'a' + 'A' : code);
        return id.c_str();
    }
    return nullptr;
}

}  // namespace

int CTheGame::OnTypedKey(int code) {
    std::string id;
    const char* button = NameEntryButtonOf(code, id);
    if (button == nullptr) return 0;
    XWidget* entry = m_pStartMenu != nullptr ? m_pStartMenu->FindChildWithWidgetId("dlg_EnterName") : nullptr;
    // Typed elsewhere, or while the entry comes or goes (its buttons take no finger then): nothing.
    if (entry == nullptr || entry->IsFadingThisOrParentNow()) return 1;
    if (code == '\r') {
        // OK shows only for a usable name; a finger cannot press it otherwise.
        XWidget* ok = entry->FindChildWithWidgetId("btn_NameOk");
        if (ok == nullptr || !ok->IsVisible()) return 1;
    }
    return Press(entry, this, button);
}

int CTheGame::OnGraffitiChar(int code) {
    if (code != kBackKey) return 0;
    if (XGameRoot* active = AsGameRoot(GetActiveObjectPtr());
        active != nullptr && active->FindChildWithWidgetId("dlg_InAppWait") != nullptr)
        return 1;

    if (m_pGameplayScreen != nullptr) {
        CXGameplaySurvival* round = m_pGameplayScreen;
        if (round->FindChildWithWidgetId("dlg_pause") != nullptr ||
            round->FindChildWithWidgetId("dlg_pause_withads") != nullptr)
            return Press(round, this, "btn_pause_menu");
        if (XWidget* failed = round->FindChildWithWidgetId("dlg_level_failed2"))
            return Press(failed, this, "btn_failed_continue");
        if (round->FindModalChild() == nullptr) round->Pause();
        return 1;
    }
    if (m_pStartMenu != nullptr) {
        CXStartMenu2* menu = m_pStartMenu;
        const bool menuRoot = menu->FindChildWithWidgetId("dlg_StartMenuRoot") != nullptr;
        if (menuRoot && menu->FindChildWithWidgetId("dlg_QuitConfirm") != nullptr) {
            // A second back key on the quit question leaves the game: keep what was played.
            (void)SaveAppData();
            return 0;
        }
        if (menuRoot) {
            (void)menu->DoAction(CommonString("ui_main.txt"), CommonString("acnConfirmQuit"));
        } else if (XWidget* name = menu->FindChildWithWidgetId("dlg_EnterName")) {
            (void)Press(name, this, "btn_BkSpace");
        } else {
            menu->DoBackAction();
        }
        return 1;
    }
    const TBackKeyRow rows[] = {
        {m_pPlayScreen, "btn_arenas_menu", true},       {m_pFarmWindow, "btn_CloseShop", true},
        {m_pFarmShopScreen, "btn_buy_close", true},     {m_pAchScreen, "btn_AchievementsOK", false},
        {m_pLeadersScreen, "btn_LeaderboardOK", false}, {m_pQuestsScreen, "btn_quests_ok", true},
        {m_pUpgradesScreen, "btn_boosts_menu", true},   {m_pAboutScreen, "btn_CreditsClose", false},
    };
    for (const TBackKeyRow& row : rows) {
        if (row.screen == nullptr) continue;
        if (row.screen->FindModalChild() == nullptr) return Press(row.screen, this, row.button);
        if (row.backWithModal) row.screen->DoBackAction();
        return 1;
    }
    // The loader screens ignore the back key.
    return 1;
}
