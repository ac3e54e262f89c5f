#include "game/screens/MenuMusic.h"

#include "app/GameBase.h"
#include "audio/SoundManager.h"

const char* const g_cs_OGG_FileNames[kMusicTrackCount] = {"gameplay1.ogg", "gameplay2.ogg", "gameplay3.ogg",
                                                          "startmenu.ogg", "yard1.ogg",     "round_stats.ogg"};

namespace {

constexpr int kMenuMusicTrack = 3;
constexpr FIXED_FLOAT kMusicFadeIn = 4 * 256;   // seconds, 24.8
constexpr FIXED_FLOAT kMusicFadeOut = 2 * 256;  // seconds, 24.8

}  // namespace

void PlayMenuMusic(CGameBase* game) {
    CSoundManager* sounds = game != nullptr ? game->GetSoundManager() : nullptr;
    if (sounds == nullptr) return;
    if (game->IsMusicOn())
        sounds->PlayMusicTrack(kMenuMusicTrack, true, kMusicFadeIn, kMusicFadeOut);
    else
        sounds->StopMusicTrackWithFadeOut(0);
}
