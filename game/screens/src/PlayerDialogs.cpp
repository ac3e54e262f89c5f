// The players list, the delete confirmation, the language choice and the welcome text.
#include <cstring>

#include "app/GameBase.h"
#include "core/LocManager2.h"
#include "core/SafeFormat.h"
#include "game/progress/ApplicationData.h"
#include "game/screens/PlayerDialogs.h"
#include "game/screens/ScreensHost.h"
#include "game/widgets/GameMessages.h"
#include "game/widgets/GameRoot.h"
#include "render/DrawingUtils.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "ui/Button.h"
#include "ui/CheckBox.h"

const char* const g_strNewPlayer = "New Player..";

namespace {

const char* const g_strPlayerButtonIds[CXPlayers::kRows] = {"btn_player_1", "btn_player_2", "btn_player_3",
                                                            "btn_player_4", "btn_player_5", "btn_player_6"};
const char* const g_strEditPlayerButtonIds[CXPlayers::kRows] = {"btn_player_edit_1", "btn_player_edit_2",
                                                                "btn_player_edit_3", "btn_player_edit_4",
                                                                "btn_player_edit_5", "btn_player_edit_6"};
const char* const g_strDeletePlayerButtonIds[CXPlayers::kRows] = {"btn_player_delete_1", "btn_player_delete_2",
                                                                  "btn_player_delete_3", "btn_player_delete_4",
                                                                  "btn_player_delete_5", "btn_player_delete_6"};
const char* const g_strPlayerEmptyIds[CXPlayers::kRows] = {"txt_player_empty_1", "txt_player_empty_2",
                                                           "txt_player_empty_3", "txt_player_empty_4",
                                                           "txt_player_empty_5", "txt_player_empty_6"};

const CommonString kTemplateFile("ui_main.txt");

bool Is(XWPARAM wparam, const char* id) {
    const char* text = XIdText(wparam);
    return text != nullptr && std::strcmp(text, id) == 0;
}

CApplicationData* DataOf(const XWidget* widget) { return AppDataOf(ScreensGameOf(widget)); }

// The open screen, on which the start menu's template actions run.
XGameRoot* CurrentScreen(const XWidget* widget) {
    CGameBase* game = ScreensGameOf(widget);
    return game != nullptr ? AsGameRoot(XRoot::FindRoot(game)) : nullptr;
}

}  // namespace

void SetWidgetShown(XWidget* widget, bool shown) {
    if (widget == nullptr) return;
    if (shown)
        widget->Show();
    else
        widget->Hide();
}

// ---- CXPlayers --------------------------------------------------------------------------------

CXPlayers::CXPlayers(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement)
    : XGameDialog(parent, templ, record, placement) {}

CXPlayers::~CXPlayers() {
    if (m_pSelection != nullptr) m_pSelection->ReleaseReference();
}

int CXPlayers::OnInitWidget() {
    if (!XGameDialog::OnInitWidget()) return 0;
    for (int i = 0; i < kRows; ++i) {
        m_Players[i] = dynamic_cast<XButton*>(FindChildWithWidgetId(g_strPlayerButtonIds[i]));
        m_Edits[i] = FindChildWithWidgetId(g_strEditPlayerButtonIds[i]);
        m_Deletes[i] = FindChildWithWidgetId(g_strDeletePlayerButtonIds[i]);
        m_Empties[i] = FindChildWithWidgetId(g_strPlayerEmptyIds[i]);
        if (m_Players[i] == nullptr || m_Edits[i] == nullptr || m_Deletes[i] == nullptr || m_Empties[i] == nullptr)
            return 0;
    }
    m_pListBg = FindChildWithWidgetId("img_list_bg");
    CGameBase* game = ScreensGameOf(this);
    CSpriteSetManager* sets = game != nullptr ? game->GetSpriteSetManager() : nullptr;
    CSpriteSet* selection = sets != nullptr ? sets->GetSpriteSetNamed("list_sel") : nullptr;
    if (m_pListBg == nullptr || selection == nullptr || !selection->AddReference()) return 0;
    m_pSelection = selection;
    UpdatePlayersNamesAndVisibility();
    return 1;
}

void CXPlayers::UpdatePlayersNamesAndVisibility() {
    const CApplicationData* data = DataOf(this);
    const int n = data != nullptr ? data->m_Profiles.count : 0;
    for (int i = 0; i < kRows; ++i) {
        const bool player = i < n;
        const bool newRow = i == n;
        if (player) {
            const CommonString name = data->GetUserName(i);
            m_Players[i]->SetCaption(name.Length() > 0 ? name : CommonString(" "));
        } else if (newRow) {
            m_Players[i]->SetCaption(CommonString(g_strNewPlayer));
        }
        SetWidgetShown(m_Players[i], player || newRow);
        SetWidgetShown(m_Edits[i], player);
        SetWidgetShown(m_Deletes[i], player);
        SetWidgetShown(m_Empties[i], !player && !newRow);
    }
    SetFocus(m_Players[0]);
}

void CXPlayers::Draw() {
    if (GetOpacity() < 1) return;
    // The menu behind is dimmed as behind every other panel.
    (void)DimBehindTranslucent();
    DrawZOrder(nullptr, m_pListBg);
    m_pListBg->Draw();
    HighlightCurrentUser();
    DrawZOrder(GetNextChildWidgetAfter(m_pListBg), nullptr);
}

void CXPlayers::HighlightCurrentUser() {
    const CApplicationData* data = DataOf(this);
    if (data == nullptr || !IsVisible()) return;
    const int current = data->m_nCurrentProfile;
    if (current < 0 || current >= kRows || m_Players[current] == nullptr) return;
    const TCoordRect2D bg = m_pListBg->GetDrawingRect();
    const int row = (bg.height - 2) / kRows;
    FillRectangle_Transparent(ScreensGameOf(this), GetBackBuffer(), bg.x + 1, bg.y + 1 + current * row, bg.width - 2,
                              row, 255, 255, 0, GetOpacity() >> 8);
}

int CXPlayers::OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) {
    CApplicationData* data = DataOf(this);
    XGameRoot* screen = CurrentScreen(this);
    if (code != XMSG_CLICK || data == nullptr) return XGameDialog::OnMessage(sender, code, wparam, lparam);
    const int n = data->m_Profiles.count;
    for (int i = 0; i < n && i < kRows; ++i) {
        if (Is(wparam, g_strPlayerButtonIds[i])) {
            data->m_nCurrentProfile = i;
            return 1;
        }
        const bool edit = Is(wparam, g_strEditPlayerButtonIds[i]);
        if (edit || Is(wparam, g_strDeletePlayerButtonIds[i])) {
            data->m_nCurrentProfile = i;
            if (screen != nullptr)
                (void)screen->DoAction(kTemplateFile,
                                       CommonString(edit ? "acn_players_2_edit" : "acn_players_2_delete"));
            return 1;
        }
    }
    if (n < kRows && Is(wparam, g_strPlayerButtonIds[n])) {
        IScreensHost* host = ScreensHostOf(this);
        const int index = host != nullptr ? host->CreateNewUserProfile() : -1;
        if (index < 0 || screen == nullptr) return 1;
        data->m_nCurrentProfile = index;
        // This dialog goes with the back action: nothing of it is touched afterwards.
        screen->DoBackAction();
        (void)screen->DoAction(kTemplateFile, CommonString("acn_show_entername"));
        if (auto* entry = FindDialogAs<CXEditName>(screen, "dlg_EnterName")) {
            entry->m_bNewProfile = true;
            if (data->m_Profiles.count == 1) entry->HideCancel();
        }
        return 1;
    }
    return XGameDialog::OnMessage(sender, code, wparam, lparam);
}

// ---- CXRemovePlayer ---------------------------------------------------------------------------

int CXRemovePlayer::OnInitWidget() {
    if (!XGameDialog::OnInitWidget()) return 0;
    auto* name = dynamic_cast<XText*>(FindChildWithWidgetId("txt_remove_user_name"));
    if (name == nullptr) return 0;
    const CApplicationData* data = DataOf(this);
    name->SetCaption(data != nullptr ? data->GetUserName(data->m_nCurrentProfile) : CommonString());
    return 1;
}

int CXRemovePlayer::OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) {
    if (code == XMSG_CLICK && Is(wparam, "btn_remove_user_ok")) {
        IScreensHost* host = ScreensHostOf(this);
        CApplicationData* data = DataOf(this);
        if (host != nullptr && data != nullptr) {
            // The player's kept games go first: their record ids come from the profile.
            host->SR_DeleteResume(data->m_nCurrentProfile);
            data->RemoveUserProfile(data->m_nCurrentProfile);
        }
    }
    return XGameDialog::OnMessage(sender, code, wparam, lparam);
}

// ---- CXLanguageDialog -------------------------------------------------------------------------

int CXLanguageDialog::OnInitWidget() {
    if (!XGameDialog::OnInitWidget()) return 0;
    CGameBase* game = ScreensGameOf(this);
    CLocManager2* loc = game != nullptr ? game->GetLocManager() : nullptr;
    const int languages = loc != nullptr ? loc->GetLanguageCount() : 0;
    for (int i = 0;; ++i) {
        const CommonString id = SafeFormat("chk_lang_%d", {i + 1});
        auto* box = dynamic_cast<XCheckBox*>(FindChildWithWidgetId(id.GetDataConst()));
        if (box == nullptr) break;
        if (i >= languages) {
            box->Hide();
            continue;
        }
        box->Show();
        box->SetCaption(loc->GetLangDisplayName(i));
        if (!m_Boxes.Add(box)) return 0;
    }
    const CApplicationData* data = DataOf(this);
    m_nSelection = data != nullptr ? data->m_nLanguageIndex : 0;
    UpdateTickBoxes();
    return 1;
}

void CXLanguageDialog::UpdateTickBoxes() {
    for (int j = 0; j < m_Boxes.count; ++j) m_Boxes[j]->Check(j == m_nSelection);
}

int CXLanguageDialog::OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) {
    if (code == XMSG_CHECK_TOGGLED) {
        for (int k = m_Boxes.count; k >= 1; --k) {
            if (!Is(wparam, SafeFormat("chk_lang_%d", {k}).GetDataConst())) continue;
            // Tapping the ticked box again leaves it ticked.
            m_nSelection = k - 1;
            UpdateTickBoxes();
            return 1;
        }
    }
    if (code == XMSG_CLICK && Is(wparam, "btn_lang_ok")) {
        CGameBase* game = ScreensGameOf(this);
        const CApplicationData* data = DataOf(this);
        if (game != nullptr && data != nullptr && m_nSelection != data->m_nLanguageIndex)
            (void)game->SendMessage(game, MSG_LANGUAGE_CHANGED, data->m_nLanguageIndex, m_nSelection, true);
    }
    return XGameDialog::OnMessage(sender, code, wparam, lparam);
}

// ---- CXPlayersButtonText ----------------------------------------------------------------------

int CXPlayersButtonText::OnInitWidget() {
    if (!XText::OnInitWidget()) return 0;
    m_Format = m_Caption;
    const char* id = XIdText(Id2WParam());
    if (id == nullptr || std::strcmp(id, "txt_Welcome") != 0) return 1;
    const CApplicationData* data = DataOf(this);
    ShowPlayerName(data != nullptr ? data->GetUserName(data->m_nCurrentProfile) : CommonString());
    return 1;
}

void CXPlayersButtonText::ShowPlayerName(const CommonString& name) {
    // The template text is a translator's: it is filled in, never trusted as a format.
    m_Caption = SafeFormat(m_Format.GetDataConst(), {name.Length() > 0 ? name : CommonString(" ")});
}

void CXPlayersButtonText::SetupChooseButtonPtr() {
    if (m_pChooseButton != nullptr) return;
    if (auto* parent = dynamic_cast<XWidget*>(GetParent()))
        m_pChooseButton = dynamic_cast<XButton*>(parent->FindChildWithWidgetId("btn_change_player"));
}

void CXPlayersButtonText::RunProcess() {
    XText::RunProcess();
    SetupChooseButtonPtr();
}

void CXPlayersButtonText::Draw() {
    if (!IsVisible() || GetOpacity() <= 0 || m_Caption.Length() == 0 || m_Look.font == nullptr) return;
    const int shift = m_pChooseButton != nullptr && m_pChooseButton->IsPressed() ? 1 : 0;
    m_Look.Draw(GetBackBuffer(), m_Rect.x + shift, m_Rect.y + shift, m_Caption,
                static_cast<unsigned char>(GetOpacity() >> 8));
}
