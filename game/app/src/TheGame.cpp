#include "game/app/TheGame.h"

#include "app/GlobalConstants.h"
#include "audio/SoundManager.h"
#include "core/QuorvanStorage.h"
#include "game/farm/BirdSoundsManager.h"
#include "game/farm/FarmManager.h"
#include "game/farm/FarmObject.h"
#include "game/news/AdsEngine.h"
#include "game/news/NewsManager.h"
#include "game/progress/AchievementsManager.h"
#include "game/progress/ArenaManager.h"
#include "game/progress/AwardManager.h"
#include "game/progress/InAppPurchaseManager.h"
#include "game/progress/MiniQuestManager.h"
#include "game/progress/UpgradeManager.h"
#include "particles/ParticleSystemManager.h"
#include "render/GlesRotatorPath.h"
#include "render/ImageRotatorScaler.h"
#include "sprites/SpriteSetManager.h"
#include "ui/UILayout.h"

CTheGame::CTheGame() {
    for (int& index : m_ParticleEffectIndex) index = -1;
    m_FarmObjectCache.growBy = 1;
    SetIPhoneOrientation(0, true);
    // Images keep no pixels in memory once they are textures.
    m_RenderSwitches.m_bReleasePixelsAfterUpload = true;
    SetFpsControlCobblebrooks(30, true, false);
    SetFpsControlCobblebrooks(30, true, true);
}

CTheGame::~CTheGame() {
    // The saves come first, while everything they read still exists. A start-up that failed
    // saves nothing: its player data may be defaults standing in for a file it could not read.
    if (m_bInitCompleted) SaveResumeThenAppData();
    SafeDelete(m_pAdsEngine);
    SafeDeleteChildren();
    // The services, in the order that lets each go while those it may still reach exist.
    SafeDelete(m_pUILayout);
    SafeDelete(m_pFarmManager);
    SafeDelete(m_pPurchaseManager);
    SafeDelete(m_pArenaManager);
    SafeDelete(m_pMiniQuestManager);
    SafeDelete(m_pRotatorScaler);
    SafeDelete(m_pRotatorPath);
    ClearFarmObjectCache();
    SafeDelete(m_pParticleManager);
    SafeDelete(m_pSpriteSetManager);
    SafeDelete(m_pSoundManager);
    SafeDelete(m_pNewsManager);
    SafeDelete(m_pAchievementsManager);
    SafeDelete(m_pUpgradeManager);
    SafeDelete(m_pSaveResumeStorage);
    SafeDelete(m_pAwardManager);
    SafeDelete(m_pBirdSoundsManager);
}

CommonString CTheGame::GetImagesDirectory() {
    if (m_ImagesDirectory.Length() == 0)
        m_ImagesDirectory = GetModuleDirectory() + CommonString(m_Paks.m_bPakMode ? "i_vga\\" : "images_vga\\");
    return m_ImagesDirectory;
}

CommonString CTheGame::GetSoundsDirectory() { return GetModuleDirectory() + CommonString("Sound_BB\\"); }
// On this machine the save folder lies outside the build: the platform places it.
CommonString CTheGame::GetSaveDirectory() { return ResolveSavePath(GetModuleDirectory() + CommonString("data/")); }
CommonString CTheGame::GetUIDirectory() { return GetModuleDirectory() + CommonString("ui\\ui_iphone\\"); }
CommonString CTheGame::GetCommonUIDirectory() { return GetModuleDirectory() + CommonString("ui\\"); }
CommonString CTheGame::GetLevelsDirectory() { return GetModuleDirectory() + CommonString("Levels\\"); }
CommonString CTheGame::GetCommonGamePackName() { return CommonString("app/native/assets/_game_bb.pak"); }
CommonString CTheGame::GetResolutionSpecificGamePackName() { return CommonString("_game.pak"); }

int CTheGame::GetResolutionId(int w, int h) { return w < 360 ? 18 : 22; }

int CTheGame::LoadGlobalConstants(int w, int h) {
    GC.InitForResolution(GetResolutionId(w, h));
    return 1;
}
