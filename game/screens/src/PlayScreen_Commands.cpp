// The play screen's commands: back to the menu, resume or start a round, the boosts, the arena
// and yard buttons (open or locked), and the coin shop's entries.
#include <cstring>

#include "app/GameBase.h"
#include "game/farm/FarmDefs.h"
#include "game/farm/FarmHost.h"
#include "game/gameplay/GameplayHost.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/ArenaManager.h"
#include "game/progress/InAppPurchaseManager.h"
#include "game/progress/UserProfile.h"
#include "game/screens/AddCoinsDialog.h"
#include "game/screens/LockedDialog.h"
#include "game/screens/PlayScreen.h"
#include "game/screens/PlayScreenButtons.h"
#include "game/screens/ScreensHost.h"
#include "game/widgets/GameMessages.h"
#include "ui/ScrollDialog.h"
#include "ui/Template.h"

namespace {

const CommonString kTemplateFile("ui_main.txt");

bool Is(const char* id, const char* name) { return id != nullptr && std::strcmp(id, name) == 0; }

bool HasWidgetId(XWidget* widget, const char* id) { return Is(XIdText(widget->Id2WParam()), id); }

// The newest direct child with that id: a dialog shown again while the last one still fades out
// stands above it.
template <class T>
T* NewestChild(CXElement* root, const char* id) {
    for (int i = root->GetChildCount() - 1; i >= 0; --i) {
        CXElement* child = root->GetChildPtrAt(i);
        if (child != nullptr && child->IsWidget() && HasWidgetId(static_cast<XWidget*>(child), id))
            return dynamic_cast<T*>(child);
    }
    return nullptr;
}

// The button with that id, searched from the last; null when none has it.
template <class TButton>
TButton* ButtonWithId(CQuorvanArray<TButton*>& buttons, const char* id) {
    for (int i = buttons.count - 1; i >= 0; --i)
        if (HasWidgetId(buttons[i], id)) return buttons[i];
    return nullptr;
}

// The locked dialog the action shows, told what unlocks the arena or yard.
template <class TRecord>
void ShowLocked(CXPlayScreen* screen, const char* action, const char* dialogId, TRecord* record) {
    (void)screen->DoAction(kTemplateFile, CommonString(action));
    if (auto* dialog = NewestChild<CXLockedDialog>(screen, dialogId)) dialog->SetupUnlockCondition(record);
}

}  // namespace

void CXPlayScreen::Post(int code) {
    if (CGameBase* game = ScreensGameOf(this)) (void)game->SendMessage(game, code, 0, 0, true);
}

void CXPlayScreen::StartNewGame() {
    CGameBase* game = ScreensGameOf(this);
    const TUserProfile* profile = game != nullptr ? CurrentProfileOf(game) : nullptr;
    CArenaManager* arenas = ArenaManagerOf(game);
    const bool firstArena =
        profile != nullptr && arenas != nullptr && arenas->GetIndexOfArena(profile->m_CurrentArena) == 0;
    Post(profile != nullptr && profile->m_bTutorialOn && firstArena ? MSG_RUN_TUTORIAL : MSG_RUN_NEW_GAME);
}

int CXPlayScreen::OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) {
    const char* id = XIdText(wparam);
    switch (code) {
        case XMSG_CLICK:
            return OnCommand(sender, code, wparam, lparam);
        case XMSG_ACTION_DONE:
            // Back from a dialog (the coin shop, say): the coins may buy something now.
            if (Is(id, gc_strBackActionId)) UpdateFarmTutorialAvailability();
            break;
        case XMSG_DIALOG_INIT:
            // The coin shop shows its list from the top on its next frame (a screen that has
            // opened always has its game).
            if (CGameBase* game = ScreensGameOf(this);
                game != nullptr && GameplayHostOf(game)->AnswerCoinShopMessage(sender, code, wparam))
                return 1;
            break;
        default:
            break;
    }
    return XDialog::OnMessage(sender, code, wparam, lparam);
}

int CXPlayScreen::OnCommand(CXElement* sender, int code, XWPARAM wparam, int lparam) {
    const char* id = XIdText(wparam);
    CGameBase* game = ScreensGameOf(this);
    if (id == nullptr || game == nullptr) return XDialog::OnMessage(sender, code, wparam, lparam);
    TUserProfile* profile = CurrentProfileOf(game);
    if (Is(id, "btn_arenas_menu")) {
        Post(MSG_RUN_START_MENU);
        return 1;
    }
    if (Is(id, "btn_play_resume")) {
        Post(MSG_RESUME_ARENA);
        return 1;
    }
    if (Is(id, "btn_play_upgrades")) {
        if (profile != nullptr) profile->m_HintFlags[kHintPlayBoostsButton] = true;
        Post(MSG_RUN_UPGRADES);
        return 1;
    }
    if (Is(id, "btn_play_new")) {
        StartNewGame();
        return 1;
    }
    if (OnArenaCommand(id) || OnYardCommand(id) || OnCoinShopCommand(id)) return 1;
    return XDialog::OnMessage(sender, code, wparam, lparam);
}

bool CXPlayScreen::OnArenaCommand(const char* id) {
    CXPlayScreenArenaButton* button = ButtonWithId(m_ArenaButtons, id);
    if (button == nullptr) return false;
    Arena* arena = button->GetArena();
    if (button->IsLocked()) {
        ShowLocked(this, "acn_show_arena_locked", "dlg_msg_arena_locked", arena);
        return true;
    }
    CGameBase* game = ScreensGameOf(this);
    TUserProfile* profile = CurrentProfileOf(game);
    if (profile == nullptr) return true;
    profile->m_HintFlags[kHintPlayArenaButton] = true;
    profile->m_CurrentArena = arena->id;
    if (ScreensHostOf(this)->SR_IsResumeAvailable_Arena(profile->m_CurrentArena))
        (void)DoAction(kTemplateFile, CommonString("acn_main_2_play"));
    else
        StartNewGame();
    return true;
}

bool CXPlayScreen::OnYardCommand(const char* id) {
    CXPlayScreenYardButton* button = ButtonWithId(m_YardButtons, id);
    if (button == nullptr) return false;
    YardDef* yard = button->GetYard();
    if (button->IsLocked()) {
        ShowLocked(this, "acn_show_yard_locked", "dlg_msg_yard_locked", yard);
        return true;
    }
    TUserProfile* profile = CurrentProfileOf(ScreensGameOf(this));
    if (profile == nullptr) return true;
    profile->m_HintFlags[kHintPlayYardButton] = true;
    profile->m_CurrentYard = yard->id;
    Post(MSG_RUN_FARM);
    return true;
}

bool CXPlayScreen::OnCoinShopCommand(const char* id) {
    // The like reward is the play screen's own; every other entry is answered as the coin shop's.
    InAppPurchaseDef* entry = ScreensHostOf(this)->GetPurchaseManager() != nullptr
                                  ? ScreensHostOf(this)->GetPurchaseManager()->GetInAppPurchaseDef(id)
                                  : nullptr;
    if (entry == nullptr || !(entry->entryName == "inapp_facebook"))
        return AnswerCoinShopClick(ScreensHostOf(this), id);
    ScreensHostOf(this)->LikeOnFacebook(entry);
    // The reward changes the list's rows: they are shown again.
    if (auto* list = dynamic_cast<CXScrollDialogBase*>(FindChildWithWidgetId("dlg_addcoins_scroll")))
        list->FadeToCategory(list->GetCurrentCategory());
    return true;
}
