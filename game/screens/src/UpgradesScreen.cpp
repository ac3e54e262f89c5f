// The boosts screen: building it, its commands, and buying, undoing and resetting boosts against
// the boost table.
#include "game/screens/UpgradesScreen.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>

#include "app/GameBase.h"
#include "game/gameplay/GameplayHost.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/InAppPurchaseManager.h"
#include "game/progress/UserProfile.h"
#include "game/screens/ScreensHost.h"
#include "game/screens/SpriteLookups.h"
#include "game/widgets/GameMessages.h"
#include "game/widgets/ScoreValue.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "ui/TemplateRecords.h"
#include "ui/WidgetMakers.h"

namespace {

const CommonString kTemplateFile("ui_main.txt");
constexpr const char* kListId = "dlg_upgrades_scroll";
constexpr const char* kPointsDialogId = "dlg_upgrade_coins_add";
constexpr const char* kPointsAnchorId = "txt_upgrade_coins_add_x";
constexpr const char* kBoostPointsEntry = "inapp_upgrade_points";
// A gap of this many pixels between undo and reset once the buy-more button has gone.
constexpr int kClosedUpGap = 2;

bool Is(XWPARAM wparam, const char* id) {
    const char* text = XIdText(wparam);
    return text != nullptr && std::strcmp(text, id) == 0;
}

// The boost's level in the profile, a damaged value read as the nearest level of the table.
int ClampedLevel(const TUserProfile& profile, int type, int numLevels) {
    return std::clamp(static_cast<int>(profile.m_BoostLevels[type]), 0, std::max(numLevels - 1, 0));
}

}  // namespace

// ---- The boost-point dialog -----------------------------------------------------------------------

CXUpgradePointsAddDialog::~CXUpgradePointsAddDialog() = default;

int CXUpgradePointsAddDialog::OnInitWidget() {
    if (!XDialog::OnInitWidget()) return 0;
    m_pAnchor = FindChildWithWidgetId(kPointsAnchorId);
    if (m_pAnchor == nullptr) return 0;
    m_pAnchor->Hide();
    return 1;
}

void CXUpgradePointsAddDialog::PostDraw() {
    CGameBase* game = ScreensGameOf(this);
    IScreensHost* host = ScreensHostOf(this);
    if (game == nullptr || m_pAnchor == nullptr || GetOpacity() <= 0) return;
    const TCoordRect2D r = m_pAnchor->GetDrawingRect();
    (void)DrawScoreValue(game, host != nullptr ? host->GetBoostPointsIcon() : nullptr, true,
                         static_cast<float>(r.x) + r.width / 2.0f, static_cast<float>(r.y) + r.height / 2.0f, 1.0f,
                         CommonString(), CXUpgradesScreen::kPackPoints, GetOpacity() / 256, 255, 255, 255, false,
                         false);
}

// ---- The screen -------------------------------------------------------------------------------------

CXUpgradesScreen::CXUpgradesScreen(CXElement* parent) : XGameRoot(parent) {}

CXUpgradesScreen::~CXUpgradesScreen() { DeleteHint(); }

int CXUpgradesScreen::OnInitElement() {
    if (!InitRoot(kTemplateFile, "root_upgrades")) return 0;
    CGameBase* game = ScreensGameOf(this);
    CSpriteSetManager* sets = game != nullptr ? game->GetSpriteSetManager() : nullptr;
    for (int type = 0; type < kUpgradeTypeCount; ++type) {
        CSpriteSet* icon = SetWithFrames(sets, g_strUpgradeTextIds[type], 2);
        if (icon == nullptr) return 0;
        for (int frame = 0; frame < 2; ++frame) {
            m_BoostIcons[type][frame] = icon->GetFrame(frame);
            if (m_BoostIcons[type][frame] == nullptr) return 0;
        }
    }
    m_pNest = FirstFrame(sets, "boost_nest");
    m_pArrow = FirstFrame(sets, "upgrade_arrow");
    m_pBuyButtonSet = SetWithFrames(sets, "btn_buy_boost", 1);
    m_pProgressSet = SetWithFrames(sets, "upgrades_progress", 3);
    if (m_pNest == nullptr || m_pArrow == nullptr || m_pBuyButtonSet == nullptr || m_pProgressSet == nullptr) return 0;

    StoreUpgrades();
    m_pList = dynamic_cast<CXUpgradesScrollDlg*>(FindChildWithWidgetId(kListId));
    if (m_pList == nullptr) return 0;
    m_pScrollDialog = m_pList;
    (void)m_pList->SetCurrentCategory(0);
    m_pUndoButton = FindChildWithWidgetId("btn_upgrades_undo");
    m_pResetButton = FindChildWithWidgetId("btn_upgrades_reset");
    m_pMoreButton = FindChildWithWidgetId("btn_upgrades_more");
    if (XWidget* anchor = FindChildWithWidgetId("img_upgrades_dummy10")) anchor->Hide();
    return 1;
}

XWidget* CXUpgradesScreen::CreateAndInitChild(TWidget* record, const WidgetContext* placement) {
    if (record != nullptr && record->kind == kWidgetDialog) {
        if (record->name == kListId) {
            auto* list = new (std::nothrow) CXUpgradesScrollDlg(this, m_pTemplate, record, placement, this);
            return InitOrFreeWidget(list);
        }
        if (record->name == kPointsDialogId)
            return MakeAndInitWidget(MakeWidget<CXUpgradePointsAddDialog>, this, m_pTemplate, record, placement);
    }
    return XGameRoot::CreateAndInitChild(record, placement);
}

int CXUpgradesScreen::OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) {
    if (code == MSG_PURCHASES_CHANGED && Is(wparam, kBoostPointsEntry)) {
        RearrangeForNoBuyButton();
        return 1;
    }
    if (code != XMSG_CLICK) return XDialog::OnMessage(sender, code, wparam, lparam);
    CGameBase* game = ScreensGameOf(this);
    if (Is(wparam, "btn_boosts_menu")) {
        if (game != nullptr) (void)game->SendMessage(game, MSG_RUN_PLAY_SCREEN, 0, 0, true);
        return 1;
    }
    if (Is(wparam, "btn_upgrades_undo")) {
        UndoUpgrades();
        return 1;
    }
    if (Is(wparam, "btn_reset_upgrades_yes")) {
        ResetUpgrades();
    } else if (Is(wparam, "btn_upgrade_coins_add_yes")) {
        BuyUpgradeCoinsInAppPurchase();
    } else if (const char* id = XIdText(wparam); id != nullptr) {
        CUpgradeManager* table = UpgradeManagerOf(game);
        const int type = table != nullptr ? table->GetUpgradeType(CommonString(id)) : -1;
        if (type >= 0) {
            // A refused purchase needs no answer: the row did not take the touch in the first place.
            (void)BuyUpgrade(type);
            return 1;
        }
    }
    return XDialog::OnMessage(sender, code, wparam, lparam);
}

void CXUpgradesScreen::Draw() { XGameRoot::Draw(); }

void CXUpgradesScreen::StoreUpgrades() {
    const TUserProfile* profile = CurrentProfileOf(ScreensGameOf(this));
    if (profile == nullptr) return;
    m_nUndoPoints = profile->m_nBoostPoints;
    std::copy(std::begin(profile->m_BoostLevels), std::end(profile->m_BoostLevels), std::begin(m_UndoLevels));
}

void CXUpgradesScreen::UndoUpgrades() {
    TUserProfile* profile = CurrentProfileOf(ScreensGameOf(this));
    if (profile == nullptr) return;
    profile->m_nBoostPoints = m_nUndoPoints;
    std::copy(std::begin(m_UndoLevels), std::end(m_UndoLevels), std::begin(profile->m_BoostLevels));
}

bool CXUpgradesScreen::BuyUpgrade(int type) {
    CGameBase* game = ScreensGameOf(this);
    TUserProfile* profile = CurrentProfileOf(game);
    CUpgradeManager* table = UpgradeManagerOf(game);
    if (type < 0 || type >= kUpgradeTypeCount || profile == nullptr || table == nullptr) return false;
    const int numLevels = table->GetNumLevels(type);
    if (profile->m_BoostLevels[type] >= numLevels - 1) return false;
    const int level = ClampedLevel(*profile, type, numLevels);
    const int cost = table->GetLevelCost(type, level + 1);
    if (profile->m_nBoostPoints < cost) return false;
    profile->m_BoostLevels[type] = static_cast<signed char>(level + 1);
    profile->m_nBoostPoints -= cost;
    RestartRowHighlights();
    return true;
}

void CXUpgradesScreen::ResetUpgrades() {
    CGameBase* game = ScreensGameOf(this);
    TUserProfile* profile = CurrentProfileOf(game);
    CUpgradeManager* table = UpgradeManagerOf(game);
    if (profile == nullptr || table == nullptr) return;
    for (int type = 0; type < kUpgradeTypeCount; ++type) {
        // A level past the top (a damaged save) is refunded as the top level, never beyond the
        // cost table.
        const int level = ClampedLevel(*profile, type, table->GetNumLevels(type));
        for (int l = level; l > 0; --l) profile->m_nBoostPoints += table->GetLevelCost(type, l);
        profile->m_BoostLevels[type] = 0;
    }
}

void CXUpgradesScreen::BuyUpgradeCoinsInAppPurchase() {
    IScreensHost* host = ScreensHostOf(this);
    if (host == nullptr || host->GetPurchaseManager() == nullptr) return;
    InAppPurchaseDef* pack = host->GetPurchaseManager()->GetUpgradePointsDef();
    if (pack != nullptr) host->InAppPurchaseCalled(pack);
}

void CXUpgradesScreen::OnInAppPurchaseBoostPoints() { m_nUndoPoints += kPackPoints; }

void CXUpgradesScreen::RearrangeForNoBuyButton() {
    // Only once: a second pack bought on the same visit must not move undo and reset again.
    if (m_pMoreButton == nullptr || !m_pMoreButton->IsVisible()) return;
    const TCoordRect2D more = m_pMoreButton->GetDrawingRect();
    m_pMoreButton->Hide();
    if (m_pUndoButton != nullptr) m_pUndoButton->OffsetWidgetPosition(more.width / 2 - kClosedUpGap, 0);
    if (m_pResetButton != nullptr) m_pResetButton->OffsetWidgetPosition(more.width / 2 + kClosedUpGap, 0);
}

void CXUpgradesScreen::RestartRowHighlights() {
    if (m_pList == nullptr) return;
    for (int i = 0; i < m_pList->GetChildCount(); ++i)
        if (auto* row = dynamic_cast<CXUpgradesScrollItem*>(m_pList->GetChildPtrAt(i))) row->RestartHighlight();
}

IDibBitmap* CXUpgradesScreen::GetBoostIcon(int type, int frame) const {
    if (type < 0 || type >= kUpgradeTypeCount || frame < 0 || frame > 1) return nullptr;
    return m_BoostIcons[type][frame];
}

int CXUpgradesScreen::GetUndoLevel(int type) const {
    return type >= 0 && type < kUpgradeTypeCount ? m_UndoLevels[type] : 0;
}
