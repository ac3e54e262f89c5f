#include "game/screens/MenuMusic.h"

#include "audio/SoundManager.h"
#include "game/app/TheGame.h"

namespace {

constexpr int kMenuMusicTrack = 3;
constexpr FIXED_FLOAT kMusicFadeIn = 4 * 256;   // seconds, 24.8
constexpr FIXED_FLOAT kMusicFadeOut = 2 * 256;  // seconds, 24.8

}  // namespace

void PlayMenuMusic(CTheGame* game) {
    if (game == nullptr || game->m_pSoundManager == nullptr) return;
    if (game->IsMusicOn())
        game->m_pSoundManager->PlayMusicTrack(kMenuMusicTrack, true, kMusicFadeIn, kMusicFadeOut);
    else
        game->m_pSoundManager->StopMusicTrackWithFadeOut(0);
}
