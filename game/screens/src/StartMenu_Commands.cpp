// The start menu's commands and dialog events: the other screens, the options, the players and
// their name entry, the web pages, the review question and the quit confirmation.
#include <algorithm>
#include <cstring>

#include "app/GameBase.h"
#include "audio/SoundManager.h"
#include "core/SafeFormat.h"
#include "game/news/NewsHost.h"
#include "game/news/NewsManager.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/UserProfile.h"
#include "game/screens/PlayerDialogs.h"
#include "game/screens/ScreensHost.h"
#include "game/screens/StartMenu.h"
#include "game/screens/VolumeSliders.h"
#include "game/widgets/GameMessages.h"
#include "shell/BbUtil.h"
#include "ui/CheckBox.h"
#include "ui/GameButton.h"
#include "ui/Tuner.h"

namespace {

const CommonString kTemplateFile("ui_main.txt");
constexpr int kRoundsBeforeReview = 5;

bool Is(XWPARAM wparam, const char* id) {
    const char* text = XIdText(wparam);
    return text != nullptr && std::strcmp(text, id) == 0;
}

// A game screen message, posted behind the curtain, and the root record the screen is built
// from: while the template has no such root the screen cannot open, and its button stays hidden.
struct TScreenCommand {
    const char* id;
    int code;
    int wparam;
    int lparam;
    const char* root;
};

constexpr TScreenCommand kScreenCommands[] = {
    {"btn_Play", MSG_RUN_PLAY_SCREEN, 0, 0, "root_play"},
    {"btn_sm_achievements", MSG_RUN_ACHIEVEMENTS, 0, 0, "root_ach"},
    {"btn_sm_leaderboards", MSG_RUN_LEADERBOARDS, MSG_RUN_START_MENU, 0, "root_leaders"},
    {"btn_sm_quests", MSG_RUN_QUESTS, 0, MSG_RUN_START_MENU, "root_quests"},
    {"btn_options_credits", MSG_RUN_ABOUT, 0, 0, "root_about"},
};

struct TWebCommand {
    const char* id;
    const char* url;
};

constexpr TWebCommand kWebCommands[] = {
    {"btn_MoreGames", kMoreGamesUrl},
    {"btn_sm_facebook", kCommunityPageUrl},
    {"btn_sm_twitter", kSecondSocialPageUrl},
};

int ProfileCount(CGameBase* game) {
    const CApplicationData* data = game != nullptr ? AppDataOf(game) : nullptr;
    return data != nullptr ? data->m_Profiles.count : 0;
}

}  // namespace

int CXStartMenu2::OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) {
    CGameBase* game = ScreensGameOf(this);
    switch (code) {
        case XMSG_CLICK:
            return OnCommand(sender, code, wparam, lparam);
        case XMSG_TUNER_SET:
        case XMSG_TUNER_CHANGING:
            if (Is(wparam, "tuner_music") || Is(wparam, "tuner_sound")) {
                OnSlider(code, XIdText(wparam), lparam);
                return 1;
            }
            break;
        case XMSG_CHECK_TOGGLED:
            if (Is(wparam, "chk_options_tutorial")) {
                if (TUserProfile* profile = game != nullptr ? CurrentProfileOf(game) : nullptr)
                    profile->m_bTutorialOn = lparam > 0;
                return 1;
            }
            break;
        case XMSG_ACTION_DONE:
            if (Is(wparam, "acn_options_2_sound")) ResetOptionsTuners();
            break;
        case XMSG_CHILD_REMOVED:
            if (Is(wparam, "dlg_StartMenuRoot")) {
                m_pNewsButton = nullptr;
                return 1;
            }
            if (Is(wparam, "dlg_EnterName")) {
                UpdateChangePlayerText();
                // The panel stands in place by now: the new name is centred on its plate again.
                if (XWidget* welcome = FindChildWithWidgetId("txt_Welcome")) welcome->ReInitWidgetPosition();
                return 1;
            }
            break;
        case XMSG_DIALOG_INIT:
            if (Is(wparam, "dlg_options")) {
                auto* box = dynamic_cast<XCheckBox*>(FindChildWithWidgetId("chk_options_tutorial"));
                const TUserProfile* profile = game != nullptr ? CurrentProfileOf(game) : nullptr;
                if (box != nullptr && profile != nullptr) box->Check(profile->m_bTutorialOn);
                // The options come back from the language dialog by a back action, with no
                // action-done message: the sliders are set from the profile however they open.
                ResetOptionsTuners();
                HideButtonsOfMissingScreens();
                return 1;
            }
            if (Is(wparam, "dlg_StartMenuRoot")) {
                HideButtonsOfMissingScreens();
                const TUserProfile* profile = game != nullptr ? CurrentProfileOf(game) : nullptr;
                XWidget* review = FindChildWithWidgetId("btn_sm_review");
                if (review != nullptr && (profile == nullptr || profile->m_nRoundsStarted < kRoundsBeforeReview))
                    review->Hide();
                for (const char* id : {"btn_sm_facebook", "btn_sm_twitter", "btn_sm_review"}) {
                    if (auto* button = dynamic_cast<XGameButton*>(FindChildWithWidgetId(id))) {
                        button->SetOneState(true);
                        button->SetRectHit(true);
                    }
                }
                if (game != nullptr) (void)game->SaveAppData();
                UpdateChangePlayerText();
                return 1;
            }
            break;
        default:
            break;
    }
    return XDialog::OnMessage(sender, code, wparam, lparam);
}

int CXStartMenu2::OnCommand(CXElement* sender, int code, XWPARAM wparam, int lparam) {
    CGameBase* game = ScreensGameOf(this);
    if (game == nullptr) return XDialog::OnMessage(sender, code, wparam, lparam);
    for (const TScreenCommand& c : kScreenCommands) {
        if (!Is(wparam, c.id)) continue;
        // A screen that cannot be built is not asked for: the menu stays.
        if (HasScreenRoot(c.root)) (void)game->SendMessage(game, c.code, c.wparam, c.lparam, true);
        return 1;
    }
    for (const TWebCommand& c : kWebCommands) {
        if (!Is(wparam, c.id)) continue;
        (void)BBWeb_OpenURL(c.url);
        return 1;
    }
    CApplicationData* data = AppDataOf(game);
    if (Is(wparam, "btn_startmenu_news")) {
        if (NewsHostOf(game)->GetNewsManager() != nullptr) NewsHostOf(game)->GetNewsManager()->NotifyNewsWidgetOpen();
    } else if (Is(wparam, "btn_NameOk")) {
        if (auto* entry = FindDialogAs<CXEditName>(this, "dlg_EnterName"); entry != nullptr && data != nullptr) {
            data->SetUserName(data->m_nCurrentProfile, entry->GetText());
            (void)game->SaveAppData();
        }
    } else if (Is(wparam, "btn_NameCancel")) {
        // The profile made for this entry goes again, unless it is the only one.
        auto* entry = FindDialogAs<CXEditName>(this, "dlg_EnterName");
        if (entry != nullptr && entry->m_bNewProfile && entry->IsCancelShown() && data != nullptr &&
            data->m_Profiles.count > 1)
            data->RemoveUserProfile(data->m_nCurrentProfile);
    } else if (Is(wparam, "btn_players_ok")) {
        const auto alive = LifeToken();
        const int result = XDialog::OnMessage(sender, code, wparam, lparam);
        if (!*alive) return result;
        if (!CheckIfCurrentUserNameEmpty() && !CheckIfNoUserProfiles()) (void)game->SaveAppData();
        return result;
    } else if (Is(wparam, "btn_FB_YES")) {
        DoBackAction();
        if (TUserProfile* profile = CurrentProfileOf(game)) profile->m_bSocialPromptAccepted = true;
        return SendMessage(this, XMSG_CLICK, XIdParam("btn_sm_facebook"), 0, false);
    } else if (Is(wparam, "btn_ReviewYes")) {
        // The store page opens; the template's action then closes the question.
        (void)BBWeb_OpenURL(kReviewPageUrl);
    } else if (Is(wparam, "btn_QuitYes")) {
        game->SetFinished(kFinishQuitButton);
        return 1;
    }
    return XDialog::OnMessage(sender, code, wparam, lparam);
}

bool CXStartMenu2::HasScreenRoot(const char* root) { return GetTWidgetPtr(CommonString(root)) != nullptr; }

void CXStartMenu2::HideButtonsOfMissingScreens() {
    for (const TScreenCommand& c : kScreenCommands)
        if (XWidget* button = FindChildWithWidgetId(c.id); button != nullptr && !HasScreenRoot(c.root)) button->Hide();
}

void CXStartMenu2::OnSlider(int code, const char* id, int value) {
    (void)ApplyVolumeSlider(ScreensGameOf(this), this, code, id, value, m_nSoundCooldown);
}

void CXStartMenu2::ResetOptionsTuners() { ShowStoredVolumes(ScreensGameOf(this), this); }

void CXStartMenu2::ShowNameEntry(bool newProfile, bool hideCancel) {
    (void)DoAction(kTemplateFile, CommonString("acn_show_entername"));
    auto* entry = FindDialogAs<CXEditName>(this, "dlg_EnterName");
    if (entry == nullptr) return;
    if (hideCancel) entry->HideCancel();
    if (newProfile) entry->m_bNewProfile = true;
    entry->TextChanged();
}

int CXStartMenu2::CheckIfCurrentUserNameEmpty() {
    CGameBase* game = ScreensGameOf(this);
    const CApplicationData* data = game != nullptr ? AppDataOf(game) : nullptr;
    if (data == nullptr || data->m_nCurrentProfile < 0 || data->m_nCurrentProfile >= data->m_Profiles.count) return 0;
    if (data->GetUserName(data->m_nCurrentProfile).Length() != 0) return 0;
    ShowNameEntry(false, true);
    return 1;
}

int CXStartMenu2::CheckIfNoUserProfiles() {
    CGameBase* game = ScreensGameOf(this);
    if (game == nullptr || ProfileCount(game) > 0) return 0;
    const int index = ScreensHostOf(this)->CreateNewUserProfile();
    CApplicationData* data = AppDataOf(game);
    if (data != nullptr && index >= 0 && index < data->m_Profiles.count) {
        data->m_nCurrentProfile = index;
        ShowNameEntry(true, true);
    }
    return 1;
}

void CXStartMenu2::UpdateChangePlayerText() {
    CGameBase* game = ScreensGameOf(this);
    const CApplicationData* data = game != nullptr ? AppDataOf(game) : nullptr;
    if (data == nullptr || data->m_Profiles.count < 1) return;
    // No re-layout here: the panel may be in the middle of being placed, which places its texts too.
    if (auto* text = dynamic_cast<CXPlayersButtonText*>(FindChildWithWidgetId("txt_Welcome")))
        text->ShowPlayerName(data->GetUserName(data->m_nCurrentProfile));
}
