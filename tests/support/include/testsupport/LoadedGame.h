#pragma once
// What the loader screens leave behind, for suites and benchmarks that start the real game object
// on the real pak (its Init) without running the loaders frame by frame: the managers the loader
// makes, the sprite-set groups loaded, every particle effect read. Each step returns null when it
// is done, else what failed, for the caller's assertion or error. Nothing here uses GoogleTest.

#include <initializer_list>

#include "core/CommonString.h"
#include "game/app/TheGame.h"
#include "game/farm/FarmManager.h"
#include "game/progress/AchievementsManager.h"
#include "game/progress/ArenaManager.h"
#include "game/progress/MiniQuestManager.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemManager.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"

namespace loadedgame {

// The achievements, the arena table, the farm's definitions and the mini-quests, made and read as
// the loader's steps make them, and the coin counter's icon the start menu looks up.
inline const char* MakeLoaderManagers(CTheGame& game) {
    game.m_pAchievementsManager = new CAchievementsManager(&game);
    if (game.m_pAchievementsManager->PostConstruct() != 1) return "the achievements";
    game.m_pArenaManager = new CArenaManager(&game);
    if (game.m_pArenaManager->ReadFile(CommonString("Data\\arenas.txt")) != 1) return "the arena table";
    game.m_pFarmManager = new CFarmManager(&game);
    if (!game.m_pFarmManager->PostConstruct()) return "the farm's definitions";
    game.m_pMiniQuestManager = new CMiniQuestManager(&game);
    if (!game.m_pMiniQuestManager->PostConstruct()) return "the mini-quests";
    if (game.m_pSpriteSetManager != nullptr)
        game.m_pHudCoinSet = game.m_pSpriteSetManager->GetSpriteSetNamed("HudCoin");
    return nullptr;
}

// Every declared set of those groups loaded (one reference each), as the loader leaves "ui" and
// the group loader "farm" or "gameplay".
inline const char* LoadSpriteGroups(CTheGame& game, std::initializer_list<const char*> groups) {
    CSpriteSetManager* sets = game.m_pSpriteSetManager;
    if (sets == nullptr) return "the sprite-set manager";
    for (int i = 0; i < sets->GetNumSpriteSets(); ++i) {
        CSpriteSet* set = sets->GetSpriteSetAt(i);
        for (const char* group : groups)
            if (set->m_GroupName == group && set->AddReference() != 1) return set->m_Name.GetDataConst();
    }
    return nullptr;
}

// Every particle effect the game declared, read from its file.
inline const char* ReadParticleEffects(CTheGame& game) {
    for (int i = 0; i < game.m_pParticleManager->GetNumParticleSystems(); ++i) {
        CQuorvanParticleSystem2* system = game.m_pParticleManager->GetParticleSystemAt(i);
        if (system->InitFromFile() != 1) return system->GetFileName().GetDataConst();
    }
    return nullptr;
}

}  // namespace loadedgame
