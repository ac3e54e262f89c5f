// The farm shop: building it, its tabs and remembered offsets, and its commands.
#include "game/screens/FarmShopScreen.h"

#include <cstring>
#include <new>

#include "app/GameBase.h"
#include "game/farm/FarmDefs.h"
#include "game/farm/FarmHost.h"
#include "game/farm/FarmManager.h"
#include "game/farm/FarmProgress.h"
#include "game/gameplay/GameplayHost.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/UserProfile.h"
#include "game/screens/AddCoinsDialog.h"
#include "game/screens/ScreensHost.h"
#include "game/screens/ShopScrollItemsDialog.h"
#include "game/widgets/ConfirmBuyDialog.h"
#include "game/widgets/GameMessages.h"
#include "render/DrawingHelpers.h"
#include "ui/GameProgress.h"
#include "ui/TemplateRecords.h"
#include "ui/Text.h"
#include "ui/WidgetMakers.h"

namespace {

const CommonString kTemplateFile("ui_main.txt");
constexpr const char* kRootId = "root_buy";
constexpr const char* kTabsId = "dlg_buy_tab_control";
constexpr const char* kListId = "dlg_buy_scroll_items";
constexpr const char* kConfirmId = "dlg_confirm_buy";
constexpr const char* kCoinsTextId = "txt_buy_totalcoins";
// The bars in category order.
constexpr const char* kBarIds[CXFarmShopScreen::kFarmTabs] = {"pb_birds", "pb_plants", "pb_comfort", "pb_decor"};

bool Is(const char* id, const char* name) { return id != nullptr && std::strcmp(id, name) == 0; }

}  // namespace

CXTabBase* CXShopTabControl::CreateTab(TWidget* record, const WidgetContext* placement) {
    return new (std::nothrow) CXShopTabControlButton(this, m_pTemplate, record, placement);
}

CXFarmShopScreen::CXFarmShopScreen(CXElement* parent) : XGameRoot(parent) {}

CXFarmShopScreen::~CXFarmShopScreen() = default;

CXShopScrollItemsDialog* CXFarmShopScreen::GetList() const {
    return static_cast<CXShopScrollItemsDialog*>(m_pScrollDialog);
}

XGameProgress* CXFarmShopScreen::GetBar(int category) const {
    return category >= 0 && category < kFarmTabs ? m_Bars[category] : nullptr;
}

int CXFarmShopScreen::OnInitElement() {
    if (!InitRoot(kTemplateFile, kRootId) || !SetupYardDef()) return 0;
    m_pTabControl = dynamic_cast<CXShopTabControl*>(FindChildWithWidgetId(kTabsId));
    m_pScrollDialog = dynamic_cast<CXShopScrollItemsDialog*>(FindChildWithWidgetId(kListId));
    if (m_pTabControl == nullptr || m_pScrollDialog == nullptr) return 0;
    for (int i = 0; i < kFarmTabs; ++i) {
        m_Bars[i] = dynamic_cast<XGameProgress*>(FindChildWithWidgetId(kBarIds[i]));
        if (m_Bars[i] == nullptr) return 0;
        // The shop's background is dark under the bars, whatever the yard's sky.
        if (auto* bar = dynamic_cast<CXFarmProgress*>(m_Bars[i])) bar->SetTextColour(255, 255, 255);
    }
    m_pCoinsText = FindChildWithWidgetId(kCoinsTextId);
    UpdateCoinsText();

    IScreensHost* host = ScreensHostOf(this);
    const int remembered = host != nullptr ? host->KeptShopTabs().tab : 0;
    const int tab = remembered >= 0 && remembered < kFarmTabs ? remembered : 0;
    (void)m_pTabControl->ActivateTab(tab);
    // A tab whose rows fail shows the rows made before the failure.
    (void)m_pScrollDialog->SetCurrentCategory(tab);
    RestoreTabOffsets();
    (void)m_pScrollDialog->ArrangeScrollItems();
    return 1;
}

XWidget* CXFarmShopScreen::CreateAndInitChild(TWidget* record, const WidgetContext* placement) {
    if (record != nullptr && record->kind == kWidgetDialog) {
        if (record->name == kTabsId)
            return InitOrFreeWidget(new (std::nothrow) CXShopTabControl(this, m_pTemplate, record, placement));
        if (record->name == kListId)
            return InitOrFreeWidget(
                new (std::nothrow) CXShopScrollItemsDialog(this, m_pTemplate, record, placement, this));
        if (record->name == kConfirmId)
            return InitOrFreeWidget(new (std::nothrow) CXConfirmBuyDialog(
                this, m_pTemplate, record, placement, m_SelectedObject.GetDataConst(), kConfirmBuy));
    }
    return XGameRoot::CreateAndInitChild(record, placement);
}

bool CXFarmShopScreen::SetupYardDef() {
    CFarmManager* farm = FarmManagerOf(ScreensGameOf(this));
    m_pYard = farm != nullptr ? farm->GetCurrentYardDef() : nullptr;
    return m_pYard != nullptr;
}

void CXFarmShopScreen::UpdateCoinsText() {
    const TUserProfile* profile = CurrentProfileOf(ScreensGameOf(this));
    if (profile == nullptr) return;
    m_nCoinsShown = profile->m_nCoins;
    if (auto* text = dynamic_cast<XText*>(m_pCoinsText)) text->SetCaption(FormatWithCommas(m_nCoinsShown));
}

void CXFarmShopScreen::RunProcess() {
    const auto alive = LifeToken();
    XGameRoot::RunProcess();
    if (!*alive) return;
    const TUserProfile* profile = CurrentProfileOf(ScreensGameOf(this));
    if (profile != nullptr && profile->m_nCoins != m_nCoinsShown) UpdateCoinsText();
}

void CXFarmShopScreen::Draw() { XGameRoot::Draw(); }

void CXFarmShopScreen::PostDraw() {
    if (IFarmHost* host = FarmHostOf(ScreensGameOf(this))) (void)host->DrawNumCoins(GetOpacity() >> 8, 1.0f);
}

void CXFarmShopScreen::RememberTabOffsets() {
    IScreensHost* host = ScreensHostOf(this);
    CXShopScrollItemsDialog* list = GetList();
    if (host == nullptr || list == nullptr) return;
    for (int i = 0; i < kFarmTabs; ++i) {
        const FIXED_FLOAT position =
            i == list->GetCurrentCategory() ? list->GetScrollPosition() : list->GetKeptPosition(i);
        host->KeptShopTabs().offsets[i] = position / 256;
    }
}

void CXFarmShopScreen::RestoreTabOffsets() {
    IScreensHost* host = ScreensHostOf(this);
    CXShopScrollItemsDialog* list = GetList();
    if (host == nullptr || list == nullptr) return;
    for (int i = 0; i < kFarmTabs; ++i) {
        const int offset = host->KeptShopTabs().offsets[i];
        if (offset == kNoOffset) continue;
        list->SetKeptPosition(i, offset * 256);
        if (i == list->GetCurrentCategory()) list->SetScrollPosition(offset * 256);
    }
}

int CXFarmShopScreen::ShownFarmCategory() const {
    const CXShopScrollItemsDialog* list = GetList();
    if (list == nullptr || list->IsCoinsOnly()) return -1;
    const int category = list->GetCurrentCategory();
    return category >= 0 && category < kFarmTabs ? category : -1;
}

bool CXFarmShopScreen::AnswerFarmRowClick(const char* id) {
    const int category = ShownFarmCategory();
    if (id == nullptr || category < 0 || m_pYard == nullptr) return false;
    const auto& objects = m_pYard->objects[category];
    for (int i = objects.count - 1; i >= 0; --i) {
        if (objects.data[i] == nullptr || !(objects.data[i]->id == id)) continue;
        m_SelectedObject = objects.data[i]->id;
        (void)DoAction(kTemplateFile, CommonString("acn_buy_confirm_on"));
        return true;
    }
    return false;
}

void CXFarmShopScreen::ReturnToYard() {
    RememberTabOffsets();
    if (CGameBase* game = ScreensGameOf(this)) (void)game->SendMessage(game, MSG_RUN_FARM, 0, 0, true);
}

int CXFarmShopScreen::OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) {
    IScreensHost* host = ScreensHostOf(this);
    if (code == XMSG_TAB_ACTIVATED) {
        const int tab = static_cast<int>(wparam);
        if (m_pScrollDialog != nullptr) m_pScrollDialog->FadeToCategory(tab);
        // The coin tab is never remembered: the next visit opens on the last farm tab.
        if (host != nullptr && tab >= 0 && tab < kFarmTabs) host->KeptShopTabs().tab = tab;
        return 1;
    }
    if (code != XMSG_CLICK) {
        if (AnswerCoinShopMessage(host, sender, code, wparam)) return 1;
        return XDialog::OnMessage(sender, code, wparam, lparam);
    }
    const char* id = XIdText(wparam);
    if (Is(id, "btn_buy_close")) {
        ReturnToYard();
        return 1;
    }
    if (Is(id, "btn_confirm_buy_yes")) {
        RememberTabOffsets();
        if (IGameplayHost* gameplay = GameplayHostOf(ScreensGameOf(this))) gameplay->OpenYardToBuy(m_SelectedObject);
        return 1;
    }
    if (Is(id, "btn_confirm_buy_no")) return XDialog::OnMessage(sender, code, wparam, lparam);
    if (AnswerFarmRowClick(id)) return 1;
    const CXShopScrollItemsDialog* list = GetList();
    if (list != nullptr && list->ShowsCoinShop() && AnswerCoinShopClick(host, id)) return 1;
    return XDialog::OnMessage(sender, code, wparam, lparam);
}
