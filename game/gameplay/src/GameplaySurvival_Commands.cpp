// The round screen's messages (the pause panel and its sound panel, the statistics buttons), the
// pause itself, the music and the rolling sound, and the small services the rules call.
#include <cstring>

#include "app/GameBase.h"
#include "audio/SoundManager.h"
#include "game/gameplay/GameplayHost.h"
#include "game/gameplay/GameplaySurvival.h"
#include "game/progress/AchievementsManager.h"
#include "game/progress/ProgressHost.h"
#include "game/progress/UserProfile.h"
#include "game/widgets/GameMessages.h"
#include "ui/Dialog.h"

namespace {

const CommonString kTemplateFile("ui_main.txt");
// Music: fades in FIXED_FLOAT seconds.
constexpr FIXED_FLOAT kMusicFade = 512;
constexpr FIXED_FLOAT kMusicStopFade = 256;

bool Is(XWPARAM wparam, const char* id) {
    const char* text = XIdText(wparam);
    return text != nullptr && std::strcmp(text, id) == 0;
}

// The screen switches of the round's buttons.
struct TScreenCommand {
    const char* id;
    int code;
};
constexpr TScreenCommand kScreenCommands[] = {
    {"btn_LF_Replay", MSG_RUN_NEW_GAME},
    {"btn_pause_restart", MSG_RUN_NEW_GAME},
    {"btn_LF_Menu", MSG_RUN_START_MENU},
};

}  // namespace

int CXGameplaySurvival::OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) {
    CGameBase* game = GameBase();
    IGameplayHost* host = Host();
    // The coin shop opened over the round: its list from the top, its products' purchases.
    if (host != nullptr && host->AnswerCoinShopMessage(sender, code, wparam)) return 1;
    switch (code) {
        case XMSG_CLICK:
            for (const TScreenCommand& c : kScreenCommands) {
                if (!Is(wparam, c.id)) continue;
                PostGameMessage(c.code);
                return 1;
            }
            if (Is(wparam, "btn_BoostsPlay")) {
                // A round started from the boosts dialog counts as started once more.
                (void)DoAction(kTemplateFile, CommonString("acn_close_boosts"));
                if (TUserProfile* profile = m_bTutorial ? nullptr : Profile()) {
                    ++profile->m_nRoundsStarted;
                    ++profile->m_RoundsPerArena[m_nArenaIndex];
                }
                return 1;
            }
            if (Is(wparam, "btn_pause_menu")) {
                if (host != nullptr) host->SaveResumeThenAppData();
                PostGameMessage(MSG_RUN_PLAY_SCREEN);
                return 1;
            }
            if (AnswerRoundStatsPurchase(wparam)) return 1;
            if (Is(wparam, "btn_sound_ok") && game != nullptr) (void)game->SaveAppData();
            break;
        case XMSG_TUNER_CHANGING:
        case XMSG_TUNER_SET:
            if (host != nullptr && host->ApplyVolumeSlider(this, code, XIdText(wparam), lparam, m_nSampleSoundTimer))
                return 1;
            break;
        case XMSG_ACTION_DONE:
            if (Is(wparam, "acn_pause_on")) {
                // Opening the pause panel keeps the player data and the round.
                if (host != nullptr) host->SaveResumeThenAppData();
                return 1;
            }
            if (Is(wparam, "acn_pause_2_sound")) {
                if (host != nullptr) host->ShowStoredVolumes(this);
                return 1;
            }
            break;
        default:
            break;
    }
    return XGameRoot::OnMessage(sender, code, wparam, lparam);
}

void CXGameplaySurvival::Pause() {
    if (m_bTutorial || FindModalChild() != nullptr) return;
    if (m_bGameOver)
        OpenRoundStats();
    else
        (void)DoAction(kTemplateFile, CommonString("acn_pause_on"));
}

void CXGameplaySurvival::OpenRoundStats() {
    (void)DoAction(kTemplateFile, CommonString("acn_stats_on"));
    // Without the dialog in the templates the screen keeps waiting for the press that opens it.
    m_pRoundStatsDialog = dynamic_cast<XDialog*>(FindChildWithWidgetId("dlg_level_failed2"));
}

void CXGameplaySurvival::UpdateGameplayMusic() {
    CGameBase* game = GameBase();
    CSoundManager* sounds = game != nullptr ? game->GetSoundManager() : nullptr;
    if (sounds == nullptr) return;
    if (!game->IsMusicOn())
        sounds->StopMusicTrackWithFadeOut(0);
    else if (m_pRoundStatsDialog != nullptr)
        sounds->StopMusicTrackWithFadeOut(kMusicStopFade);
    else if (m_bIntroPlayed && m_nMusicDelay == 0)
        sounds->PlayMusicTrack(m_nArenaIndex, true, kMusicFade, kMusicFade);
    else
        sounds->StopMusicTrackWithFadeOut(kMusicStopFade);
}

void CXGameplaySurvival::ProcessRollingSound() {
    CGameBase* game = GameBase();
    const bool rolling =
        m_nMarblesOnPath > 0 && FindModalChild() == nullptr && !m_bGameOver && game != nullptr && game->IsSoundOn();
    if (rolling == m_bPathSoundPlaying) return;
    CSoundManager* sounds = game != nullptr ? game->GetSoundManager() : nullptr;
    if (rolling) {
        SoundFXData* roll = sounds != nullptr ? sounds->FindSoundFX(CommonString("SFX_PATH_MOVE")) : nullptr;
        if (roll != nullptr && roll->soundId >= 0) sounds->PlaySoundFXLooped(roll);
    } else {
        StopSound("SFX_PATH_MOVE");
    }
    m_bPathSoundPlaying = rolling;
}

void CXGameplaySurvival::PlaySound(const char* name) {
    CGameBase* game = GameBase();
    if (CSoundManager* sounds = game != nullptr ? game->GetSoundManager() : nullptr) (void)sounds->PlaySoundFX(name);
}

void CXGameplaySurvival::StopSound(const char* name) {
    CGameBase* game = GameBase();
    if (CSoundManager* sounds = game != nullptr ? game->GetSoundManager() : nullptr) sounds->StopSoundFX(name);
}

void CXGameplaySurvival::PostGameMessage(int code) {
    if (CGameBase* game = GameBase()) (void)game->SendMessage(game, code, 0, 0, true);
}

void CXGameplaySurvival::AwardAchievement(int index) {
    IProgressHost* progress = ProgressHostOf(GameBase());
    if (CAchievementsManager* achievements = progress != nullptr ? progress->GetAchievementsManager() : nullptr)
        achievements->AwardAchievement(index);
}

void CXGameplaySurvival::CheckAchievementProgress(int index) {
    IProgressHost* progress = ProgressHostOf(GameBase());
    if (CAchievementsManager* achievements = progress != nullptr ? progress->GetAchievementsManager() : nullptr)
        achievements->CheckAchievementProgress(index);
}
