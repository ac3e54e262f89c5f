// The leaderboards screen, its arena tabs and the set-up of its list.
#include "game/screens/LeadersScreen.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "app/GameBase.h"
#include "audio/SoundManager.h"
#include "game/farm/FarmHost.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/ArenaManager.h"
#include "game/progress/HighScoreTable.h"
#include "game/screens/ScreensHost.h"
#include "render/DibBitmap.h"
#include "ui/TemplateRecords.h"
#include "ui/Text.h"
#include "ui/WidgetMakers.h"

namespace {

const char* ClickedId(int code, XWPARAM wparam) { return code == XMSG_CLICK ? XIdText(wparam) : nullptr; }

bool Is(const char* id, const char* name) { return id != nullptr && std::strcmp(id, name) == 0; }

}  // namespace

// ==================================================================== the screen

CXLeadersScreen::CXLeadersScreen(CXElement* parent, int returnMessage)
    : XGameRoot(parent), m_nReturnMessage(returnMessage) {}

XWidget* CXLeadersScreen::CreateAndInitChild(TWidget* record, const WidgetContext* placement) {
    if (record != nullptr && record->kind == kWidgetDialog && record->name == "dlg_leader_scroll") {
        auto* list = new (std::nothrow) CXLeadersScrollDialog(this, m_pTemplate, record, placement, this);
        m_pScrollDialog = static_cast<CXLeadersScrollDialog*>(InitOrFreeWidget(list));
        return m_pScrollDialog;
    }
    if (record != nullptr && record->kind == kWidgetDialog && record->name == "dlg_leader_tab_control") {
        auto* tabs = new (std::nothrow) CXLeadersTabControl(this, m_pTemplate, record, placement);
        m_pTabControl = static_cast<CXLeadersTabControl*>(InitOrFreeWidget(tabs));
        return m_pTabControl;
    }
    return XGameRoot::CreateAndInitChild(record, placement);
}

int CXLeadersScreen::OnInitElement() {
    if (!InitRoot(CommonString("ui_main.txt"), "root_leaders")) return 0;
    if (m_pScrollDialog == nullptr || m_pTabControl == nullptr) return 0;
    CGameBase* game = ScreensGameOf(this);
    IScreensHost* host = ScreensHostOf(this);
    const int row = host != nullptr ? host->NewHighScoreRow() : -1;
    const int table = host != nullptr && host->NewHighScoreTable() >= 0 ? host->NewHighScoreTable() : 0;
    (void)m_pTabControl->ActivateTab(table);
    m_pScrollDialog->SetCurrentTable(table);
    UpdateSwitchButtons();
    if (row >= 0) {
        if (CSoundManager* sounds = game != nullptr ? game->GetSoundManager() : nullptr)
            (void)sounds->PlaySoundFX("SFX_APPLAUSE", false);
        m_pScrollDialog->CentreRow(row);
    }
    // There is no game service on this platform.
    if (XWidget* service = FindChildWithWidgetId("btn_GC_Leader")) service->Hide();
    return 1;
}

void CXLeadersScreen::UpdateSwitchButtons() {
    if (m_pScrollDialog == nullptr) return;
    // The table the list shows or is fading to: the name changes with the tab, not a fade later.
    const int table = m_pScrollDialog->GetShownOrTargetTable();
    const int count = m_pScrollDialog->GetNumTables();
    if (XWidget* prev = FindChildWithWidgetId("btn_LeaderPrev")) {
        if (table > 0)
            prev->Show();
        else
            prev->Hide();
    }
    if (XWidget* next = FindChildWithWidgetId("btn_LeaderNext")) {
        if (table < count - 1)
            next->Show();
        else
            next->Hide();
    }
    auto* name = dynamic_cast<XText*>(FindChildWithWidgetId("txt_leaderboard_levelname"));
    CArenaManager* arenas = ArenaManagerOf(ScreensGameOf(this));
    if (name == nullptr || arenas == nullptr) return;
    const THighScoreTable* shown = m_pScrollDialog->GetTable(table);
    const Arena* arena = shown != nullptr ? arenas->GetArena(shown->m_Name.GetDataConst()) : nullptr;
    if (arena == nullptr) return;
    name->SetCaption(arena->name);
    name->ReInitWidgetPosition();
}

int CXLeadersScreen::OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) {
    const char* id = ClickedId(code, wparam);
    if (Is(id, "btn_LeaderboardOK")) {
        if (CGameBase* game = ScreensGameOf(this)) (void)game->SendMessage(game, m_nReturnMessage, 0, 0, true);
        return 1;
    }
    if (Is(id, "btn_GC_Leader")) return 1;
    if (code == XMSG_TAB_ACTIVATED) {
        if (m_pScrollDialog != nullptr) m_pScrollDialog->SwitchToTable(static_cast<int>(wparam));
        UpdateSwitchButtons();
        return 1;
    }
    return XDialog::OnMessage(sender, code, wparam, lparam);
}

// ==================================================================== the tabs

void CXLeadersTabControlButton::Draw() {
    IDibBitmap* target = GetBackBuffer();
    if (GetOpacity() <= 0 || target == nullptr) return;
    if (IDibBitmap* bitmap = m_Image.set != nullptr ? m_Image.FrameBitmap(m_bActive ? 1 : 0) : nullptr) {
        const TCoord2D centre = CalcCenter();
        const int shift = m_bPressed && !IsFadingThisOrParentNow() ? 1 : 0;
        bitmap->Draw(target, centre.x - bitmap->m_Width / 2 + shift, centre.y - bitmap->m_Height / 2 + shift,
                     bitmap->m_Width, bitmap->m_Height, 0, OpacityToAlphaOffset(GetOpacity()));
    }
    DrawButtonText2();
}

CXTabBase* CXLeadersTabControl::CreateTab(TWidget* record, const WidgetContext* placement) {
    return new (std::nothrow) CXLeadersTabControlButton(this, m_pTemplate, record, placement);
}

// ==================================================================== the list: set-up and tables

CXLeadersScrollDialog::CXLeadersScrollDialog(CXElement* parent, TTemplate* templ, TWidget* record,
                                             const WidgetContext* placement, CXLeadersScreen* owner)
    : CXDrawnScrollList(parent, templ, record, placement), m_pOwner(owner) {}

int CXLeadersScrollDialog::OnInitWidget() {
    if (!InitList()) return 0;
    m_TableOffsets.count = 0;
    for (int i = 0; i < GetNumTables(); ++i)
        if (!m_TableOffsets.Add(kMinimumOffset)) return 0;
    SetLimits(kMinimumOffset, GetNumHighScoreEntries() * kRowHeight);
    m_nOffset = m_nMinimum;
    m_nSpeed = 0;
    return 1;
}

int CXLeadersScrollDialog::GetNumTables() {
    CArenaManager* arenas = ArenaManagerOf(ScreensGameOf(this));
    return arenas != nullptr ? arenas->GetNumArenas() : 0;
}

THighScoreTable* CXLeadersScrollDialog::GetTable(int table) {
    CGameBase* game = ScreensGameOf(this);
    const CApplicationData* data = AppDataOf(game);
    CArenaManager* arenas = ArenaManagerOf(game);
    const Arena* arena = arenas != nullptr ? arenas->GetArenaAt(table) : nullptr;
    return data != nullptr && arena != nullptr ? data->GetHighScoreTable(arena->id) : nullptr;
}

void CXLeadersScrollDialog::SetCurrentTable(int table) {
    if (table < 0 || table >= GetNumTables()) table = 0;
    m_nCurrentTable = table;
    m_nOwnRow = -1;
    CGameBase* game = ScreensGameOf(this);
    CApplicationData* data = AppDataOf(game);
    CArenaManager* arenas = ArenaManagerOf(game);
    const Arena* arena = arenas != nullptr ? arenas->GetArenaAt(table) : nullptr;
    if (data != nullptr && arena != nullptr) m_nOwnRow = data->GetCurrentUserIndexInHighScoreTable(arena->id);
}

void CXLeadersScrollDialog::CentreRow(int row) {
    m_nOffset = std::clamp((row * kRowHeight - m_Visible.height / 2) * 256, m_nMinimum, m_nMaximum);
}

void CXLeadersScrollDialog::SwitchToTable(int table) {
    m_nTargetTable = table;
    m_nFadeStep = kFadeStep;
    if (m_bFading) return;
    m_nFade = 0;
    m_bFading = true;
}
