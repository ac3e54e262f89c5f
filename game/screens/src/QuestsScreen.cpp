// The quests screen: building it, its list of one yard's quests, and its commands (the purchase
// offer, the hand-off to the yard and the reward explanations).
#include "game/screens/QuestsScreen.h"

#include <cstring>
#include <new>

#include "app/GameBase.h"
#include "core/SafeFormat.h"
#include "game/farm/FarmDefs.h"
#include "game/farm/FarmHost.h"
#include "game/farm/FarmManager.h"
#include "game/gameplay/GameplayHost.h"
#include "game/gameplay/Marble.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/MiniQuestManager.h"
#include "game/progress/UserProfile.h"
#include "game/screens/QuestsScrollItem.h"
#include "game/screens/ScreensHost.h"
#include "game/widgets/ConfirmBuyDialog.h"
#include "ui/Image.h"
#include "ui/TemplateRecords.h"
#include "ui/TextMulti.h"
#include "ui/WidgetMakers.h"

namespace {

const CommonString kTemplateFile("ui_main.txt");
constexpr const char* kRootId = "root_quests";
constexpr const char* kTabsId = "dlg_quests_tab_control";
constexpr const char* kListId = "dlg_quests_scroll";

bool Is(const char* id, const char* name) { return id != nullptr && std::strcmp(id, name) == 0; }

// The newest direct child with that widget id (an older one may still be fading out), or null.
XWidget* NewestChild(CXElement& parent, const char* id) {
    for (int i = parent.GetChildCount() - 1; i >= 0; --i) {
        auto* widget = dynamic_cast<XWidget*>(parent.GetChildPtrAt(i));
        if (widget != nullptr && widget->GetRecord() != nullptr && widget->GetRecord()->name == id) return widget;
    }
    return nullptr;
}

// The explanation text's template text used as a format for the values, laid out again.
void FillExplanation(XWidget* dialog, const char* textId, std::initializer_list<TFormatArg> values) {
    auto* text = dialog != nullptr ? dynamic_cast<XText*>(dialog->FindChildWithWidgetId(textId)) : nullptr;
    if (text == nullptr) return;
    // A translator's text: only its "%s" take the values, nothing else in it is trusted.
    text->SetCaption(SafeFormat(text->GetCaption().GetDataConst(), values));
    if (auto* multi = dynamic_cast<XTextMulti*>(text)) (void)multi->FormatText();
    text->ReInitWidgetPosition();
}

}  // namespace

// ---- Tabs and list ------------------------------------------------------------------------------------

CXTabBase* CXQuestsTabControl::CreateTab(TWidget* record, const WidgetContext* placement) {
    return new (std::nothrow) CXQuestsTabControlButton(this, m_pTemplate, record, placement);
}

CXQuestsScrollItemsDialog::~CXQuestsScrollItemsDialog() = default;

CXScrollItemBase* CXQuestsScrollItemsDialog::CreateScrollItemObject(CXElement* parent, TTemplate* templ,
                                                                    TWidget* record, const WidgetContext* placement,
                                                                    void* data) {
    const auto* row = static_cast<const TQuestRowData*>(data);
    if (row == nullptr) return nullptr;
    return new (std::nothrow) CXQuestsScrollItem(parent, templ, record, placement, row->set, row->quest);
}

bool CXQuestsScrollItemsDialog::CreateScrollItems() {
    m_nNextRowToLoad = 0;
    IFarmHost* host = FarmHostOf(ScreensGameOf(this));
    const CMiniQuestManager* quests = host != nullptr ? host->GetMiniQuestManager() : nullptr;
    MiniQuestsSet* set = quests != nullptr ? quests->GetSet(m_nCurrentCategory) : nullptr;
    if (set == nullptr) return false;
    for (int i = 0; i < set->quests.count; ++i) {
        MiniQuest* quest = set->quests.data[i];
        if (quest == nullptr) return false;
        TQuestRowData data{set, quest};
        if (!AddScrollItem(quest->id, &data)) return false;
    }
    m_nNextRowToLoad = 0;
    return true;
}

void CXQuestsScrollItemsDialog::RunProcess() {
    const auto alive = LifeToken();
    CXScrollDialogBase::RunProcess();
    if (!*alive || m_nNextRowToLoad >= GetChildCount()) return;
    // One row's pictures a frame, so that opening a tab never stalls a frame.
    if (auto* row = dynamic_cast<CXQuestsScrollItem*>(GetChildPtrAt(m_nNextRowToLoad))) row->LoadGraphics();
    ++m_nNextRowToLoad;
}

CXQuestsScrollItem* CXQuestsScrollItemsDialog::FindRow(const char* id) {
    if (id == nullptr) return nullptr;
    for (int i = 0; i < GetChildCount(); ++i) {
        auto* row = dynamic_cast<CXQuestsScrollItem*>(GetChildPtrAt(i));
        if (row != nullptr && row->GetRecord() != nullptr && row->GetRecord()->name == id) return row;
    }
    return nullptr;
}

// ---- The screen ---------------------------------------------------------------------------------------

CXQuestsScreen::CXQuestsScreen(CXElement* parent, int firstTab, int returnMessage)
    : XGameRoot(parent), m_nFirstTab(firstTab), m_nReturnMessage(returnMessage) {}

CXQuestsScreen::~CXQuestsScreen() = default;

CXQuestsScrollItemsDialog* CXQuestsScreen::GetList() const {
    return static_cast<CXQuestsScrollItemsDialog*>(m_pScrollDialog);
}

int CXQuestsScreen::OnInitElement() {
    if (!InitRoot(kTemplateFile, kRootId)) return 0;
    m_pTabControl = dynamic_cast<CXQuestsTabControl*>(FindChildWithWidgetId(kTabsId));
    m_pScrollDialog = dynamic_cast<CXQuestsScrollItemsDialog*>(FindChildWithWidgetId(kListId));
    if (m_pTabControl == nullptr || m_pScrollDialog == nullptr) return 0;
    (void)m_pTabControl->ActivateTab(m_nFirstTab);
    // A tab without quests shows an empty list.
    (void)m_pScrollDialog->SetCurrentCategory(m_nFirstTab);
    return 1;
}

XWidget* CXQuestsScreen::CreateAndInitChild(TWidget* record, const WidgetContext* placement) {
    if (record != nullptr && record->kind == kWidgetDialog) {
        if (record->name == kTabsId)
            return InitOrFreeWidget(new (std::nothrow) CXQuestsTabControl(this, m_pTemplate, record, placement));
        if (record->name == kListId)
            return InitOrFreeWidget(
                new (std::nothrow) CXQuestsScrollItemsDialog(this, m_pTemplate, record, placement, this));
        const int mode = ConfirmBuyModeOf(record->name.GetDataConst());
        if (mode == kConfirmBuy || mode == kCannotBuy)
            return InitOrFreeWidget(new (std::nothrow) CXConfirmBuyDialog(this, m_pTemplate, record, placement,
                                                                          m_ChosenObject.GetDataConst(), mode));
    }
    return XGameRoot::CreateAndInitChild(record, placement);
}

void CXQuestsScreen::PostDraw() {
    if (IFarmHost* host = FarmHostOf(ScreensGameOf(this))) (void)host->DrawNumCoins(255, 1.0f);
}

int CXQuestsScreen::OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) {
    CGameBase* game = ScreensGameOf(this);
    IGameplayHost* ways = GameplayHostOf(game);
    if (code == XMSG_TAB_ACTIVATED) {
        if (m_pScrollDialog != nullptr) m_pScrollDialog->FadeToCategory(static_cast<int>(wparam));
        return 1;
    }
    if (code != XMSG_CLICK || game == nullptr) return XDialog::OnMessage(sender, code, wparam, lparam);
    const char* id = XIdText(wparam);
    if (Is(id, "btn_quests_ok")) {
        (void)game->SendMessage(game, m_nReturnMessage, 0, 0, true);
        return 1;
    }
    if (Is(id, "btn_confirm_buy_yes")) {
        CXQuestsScrollItemsDialog* list = GetList();
        CFarmManager* farm = FarmManagerOf(game);
        YardDef* yard = list != nullptr && farm != nullptr ? farm->GetYardDef(list->GetCurrentCategory()) : nullptr;
        TUserProfile* profile = CurrentProfileOf(game);
        if (yard != nullptr && profile != nullptr && ways != nullptr) {
            profile->m_CurrentYard = yard->id;
            ways->OpenYardToBuy(m_ChosenObject);
        }
        return 1;
    }
    if (Is(id, "btn_confirm_buy_no")) return XDialog::OnMessage(sender, code, wparam, lparam);
    if (Is(id, "btn_can_buy_addcoins")) {
        if (ways != nullptr) ways->OpenCoinShopOnPlayScreen();
        return 1;
    }
    if (CXQuestsScrollItem* row = GetList() != nullptr ? GetList()->FindRow(id) : nullptr) {
        if (row->GetState() == kQuestCompleted) ExplainReward(*row);
        if (row->GetState() == kQuestUnlocked) OfferPurchase(*row);
        return 1;
    }
    return XDialog::OnMessage(sender, code, wparam, lparam);
}

void CXQuestsScreen::OfferPurchase(CXQuestsScrollItem& row) {
    const MiniQuest* quest = row.GetQuest();
    if (quest == nullptr) return;
    m_ChosenObject = !row.IsFirstBought() ? quest->buy1 : !row.IsSecondBought() ? quest->buy2 : CommonString();
    if (m_ChosenObject.Length() == 0) return;
    CGameBase* game = ScreensGameOf(this);
    CXQuestsScrollItemsDialog* list = GetList();
    CFarmManager* farm = FarmManagerOf(game);
    const TUserProfile* profile = CurrentProfileOf(game);
    YardDef* yard = farm != nullptr && list != nullptr ? farm->GetYardDef(list->GetCurrentCategory()) : nullptr;
    const FarmObjectDef* def = yard != nullptr ? farm->GetFarmObjectDef(yard, m_ChosenObject) : nullptr;
    const bool affordable = def != nullptr && profile != nullptr && def->price <= profile->m_nCoins;
    (void)DoAction(kTemplateFile, CommonString(affordable ? "acn_buy_confirm_on" : "acn_cant_buy_on"));
}

void CXQuestsScreen::ExplainReward(CXQuestsScrollItem& row) {
    if (row.IsCoinQuest()) {
        (void)DoAction(kTemplateFile, CommonString("acn_quest_explain_coins_on"));
        FillExplanation(NewestChild(*this, "dlg_quest_explain_coins"), "txtm_quest_explain_coin",
                        {row.GetArenaCaption()});
        return;
    }
    (void)DoAction(kTemplateFile, CommonString("acn_quest_explain_eggs_on"));
    XWidget* dialog = NewestChild(*this, "dlg_quest_explain_eggs");
    CommonString colour;
    GetColorNameBasedOnType(row.GetColourType(), ScreensGameOf(this), colour);
    FillExplanation(dialog, "txt_quest_explain", {colour, row.GetArenaCaption()});
    if (auto* egg = dialog != nullptr ? dynamic_cast<XImage*>(dialog->FindChildWithWidgetId("img_quest_explain_egg"))
                                      : nullptr)
        egg->Image().frame = static_cast<short>(row.GetColourType());
}
