#pragma once
// The round screen's suites: the gameplay objects' test game with what a round reads besides its
// sets: player data with one profile in "arena1", the three arenas, quests, the boost table,
// achievements, a texts table, a small template and a sound manager whose effects are recorded.
// The screen is made under the game as the game makes it and built from its root, but without
// its images: a suite sets the play area and the arena the way the screen's initialisation
// would, and drives the rules directly.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <vector>

// The game object under the round: the stand-in of testsupport/FakeGameplayGame.h in a binary
// built with COBBLE_ROUND_ON_STAND_IN (the round's own suites), else the real one (the suites of
// what the game object does with the round).
#ifdef COBBLE_ROUND_ON_STAND_IN
#include "GameplayFakeGame.h"
#else
#include "GameplayTestGame.h"
#endif
#include "app/GlobalConstants.h"
#include "audio/SoundManager.h"
#include "core/LocManager2.h"
#include "core/MemFile.h"
#include "core/Parser.h"
#include "game/gameplay/GameplaySurvival.h"
#include "game/widgets/JumpString.h"
#include "game/progress/AchievementsManager.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/ArenaManager.h"
#include "game/progress/MiniQuestManager.h"
#include "game/progress/UpgradeManager.h"
#include "game/progress/UserProfile.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemManager.h"
#include "testsupport/StubSoundSystem.h"

namespace gameplaytest {

// The round's texts; the two formats carry a hostile extra conversion only where a row asks.
inline std::string RoundTextsCsv(const std::string& levelNum = "Level %d",
                                 const std::string& livesLeft = "%d lives left") {
    return "Key,enUS\n,English\nID_Start,Go!\nID_LevelNum," + levelNum +
           "\nID_LifeLost,Wrong colour!\nID_OneLifeLeft,Last life!\nID_NumLifesLeft," + livesLeft +
           "\nID_GetReady,Get ready!\nID_ClearBonus,Clear bonus!\n";
}

// The round's roots and the two dialogs the round opens by its actions: an empty pause panel, and
// the round statistics with the widgets they require (no quest list: the suites of the list
// build it on the real pak).
inline constexpr const char* kRoundTemplate =
    "root = root_GAMEPLAY_NoAds\nend\nroot = root_tutorial_NoAds\nend\n"
    "dialog = dlg_pause\nend\naction = \"acn_pause_on\"\n create = dlg_pause\nend\n"
    "dialog = dlg_level_failed2\n"
    " child = txt_failed_cap\n position = 10, 14\n child = txt_current_quests\n position = 10, 272\n"
    " child = img_hzline1\n child = img_hz_line_2\n child = img_hzline3\n"
    " child = btn_failed_farm\n position = 4, 440\n child = btn_leaderboards\n position = 82, 440\n"
    " child = btn_failed_continue\n position = 238, 440\n child = btn_stats_exchange\n position = 4, 4\n"
    " child = btn_stats_twitter\n position = 196, 4\n child = btn_stats_facebook\n position = 240, 4\n"
    " child = btn_stats_facebook_why\n position = 284, 4\n end\nend\n"
    "text = txt_failed_cap\n caption = \"Round results\"\nend\n"
    "text = txt_current_quests\n caption = \"Current quests\"\nend\n"
    "image = img_hzline1\n set = HudCoin\nend\nimage = img_hz_line_2\n set = HudCoin\nend\n"
    "image = img_hzline3\n set = HudCoin\nend\n"
    "button = btn_failed_farm\n set = HudCoin\nend\nbutton = btn_leaderboards\n set = HudCoin\nend\n"
    "button = btn_failed_continue\n set = HudCoin\nend\nbutton = btn_stats_exchange\n set = HudCoin\nend\n"
    "button = btn_stats_twitter\n set = HudCoin\nend\nbutton = btn_stats_facebook\n set = HudCoin\nend\n"
    "button = btn_stats_facebook_why\n set = HudCoin\nend\n"
    "action = \"acn_stats_on\"\n create = dlg_level_failed2\nend\n";

// The round's sets and those of its statistics: the coin and boost icons and the experience
// meter's shield and bar.
inline std::vector<TSetSpec> RoundScreenSets() {
    std::vector<TSetSpec> sets = kRoundSets;
    sets.insert(sets.end(), {{"HudCoin", 1}, {"HudXP", 1}, {"XPMeterBG", 1}, {"XPMeterProg", 1}});
    return sets;
}

// The arenas as the shipped table has them, but for a coin value a suite may change.
inline std::string ArenasText(int firstCoinMoney = 1) {
    return "arena = arena1\n bg = \"bg1\"\n coin_sprite = Coin_Test\n coin_money = " + std::to_string(firstCoinMoney) +
           "\nend\narena = arena2\n coin_sprite = Coin_Test\n coin_money = 2\nend\n"
           "arena = arena3\n coin_sprite = Coin_Test\n coin_money = 3\nend\n";
}

// One yard's quests for the first arena: red marbles +5 points, and 100 per mille more coins.
inline constexpr const char* kQuestsText =
    "quests_for_yard = yard1\n affect_arena = arena1\n"
    " quest = q_red\n  buy1 = a\n  buy2 = b\n  extraScore = red, 5\n end\n"
    " quest = q_coins\n  buy1 = c\n  buy2 = d\n  decreaseScorePerCoin = 100\n end\nend\n";

// The effects the rules play, each loaded under its own name so the recording shows it.
inline const char* const kRoundSounds[] = {
    "SFX_GameplayIntro",
    "SFX_PATH_MOVE",
    "SFX_WRONG_BALL",
    "SFX_LIFELOST",
    "SFX_GAMEOVER",
    "SFX_BALL_EXPLODE1",
    "SFX_CLEARBONUS",
    "SFX_SPAWN_BONUS",
    "SFX_GainGameplayLevel",
    "Shop_SellItem",
    "SFX_RoundStats_IncCoinValue",
    "SFX_RoundStats_ShowSection",
    "SFX_APPLAUSE",
    "SFX_POWERUP_BOMB",
    "SFX_POWERUP_COLORBOMB",
    "SFX_POWERUP_COIN",
    "SFX_8_WAY_BOMB",
};

// Records the effects played and the volumes the game sets.
class CRoundSoundSystem : public CEffectRecordingSoundSystem {
public:
    void SetVolume(int volume) override { effects.push_back(volume); }
    void SetMusicVolume(int volume) override { music.push_back(volume); }
    void StopSFX(int id, int /*channel*/) override { stopped.push_back(files[static_cast<std::size_t>(id)]); }
    // A play of an id no effect was loaded under is noted apart, never looked up.
    int PlaySFX(int id, bool loop) override {
        if (id < 0 || id >= static_cast<int>(files.size())) {
            unloadedPlays.push_back(id);
            return -1;
        }
        return CEffectRecordingSoundSystem::PlaySFX(id, loop);
    }
    // The music streams' calls, as "PlayStreamWithFadeIn <id> <loop> <fade>" and the like.
    int PlayStream(int id, bool asSound, bool loop) override {
        streams.push_back("PlayStream " + std::to_string(id) + " " + std::to_string(asSound) + " " +
                          std::to_string(loop));
        return 0;
    }
    int PlayStreamWithFadeIn(int id, bool asSound, bool loop, FIXED_FLOAT seconds) override {
        streams.push_back("PlayStreamWithFadeIn " + std::to_string(id) + " " + std::to_string(asSound) + " " +
                          std::to_string(loop) + " " + std::to_string(seconds));
        return 0;
    }
    int StopStream(int id) override {
        streams.push_back("StopStream " + std::to_string(id));
        return 0;
    }
    int StopStreamWithFadeOut(int id, FIXED_FLOAT seconds) override {
        streams.push_back("StopStreamWithFadeOut " + std::to_string(id) + " " + std::to_string(seconds));
        return 0;
    }
    std::vector<int> effects, music;
    std::vector<std::string> stopped;  // the files of the effects stopped, in order
    std::vector<int> unloadedPlays;    // the ids played that were never loaded
    std::vector<std::string> streams;
};

class RoundTest : public GameplayTest {
protected:
    explicit RoundTest(const std::string& texts = RoundTextsCsv(),
                       const std::vector<TSetSpec>& sets = RoundScreenSets(), const char* templ = kRoundTemplate)
        : GameplayTest(sets, {{"Lang\\texts.csv", mediatest::ToBytes(texts)},
                              {"ui\\ui_iphone\\ui_main.txt", mediatest::ToBytes(templ)}}) {
        GC.InitForRes_iPhone();
        CLocManager2* loc = game.InitLocManager2(CommonString("Lang\\texts.csv"));
        EXPECT_NE(loc, nullptr);
        if (loc != nullptr) loc->SetCurrentLanguage(0);

        EXPECT_TRUE(game.CreateApplicationData());
        CApplicationData& data = *game.GetAppData();
        data.m_nCurrentProfile = data.AddUserProfile();
        data.SetUserName(data.m_nCurrentProfile, CommonString("Ann"));
        data.m_bSoundOn = true;
        profile = data.GetCurrentProfile();
        profile->m_CurrentArena = "arena1";

        game.m_pArenaManager = new CArenaManager(&game);
        ReadArenas(ArenasText());
        game.m_pMiniQuestManager = new CMiniQuestManager(&game);
        TParseInput quests = ParseInputOf(std::span<const char>(kQuestsText, std::strlen(kQuestsText)), "quests");
        EXPECT_TRUE(game.m_pMiniQuestManager->ReadQuestDefsFromInput(quests));
        game.m_pUpgradeManager = new CUpgradeManager(&game);
        EXPECT_TRUE(game.m_pUpgradeManager->PostConstruct());
        game.m_pAchievementsManager = new CAchievementsManager(&game);
        EXPECT_EQ(game.m_pAchievementsManager->PostConstruct(), 1);

        sound = new CRoundSoundSystem();
        game.m_pSoundSystem = sound;  // the game deletes it
        game.m_pSoundManager = new CSoundManager(&game);
        for (const char* name : kRoundSounds) {
            SoundFXData* entry = game.m_pSoundManager->AddSoundFX(CommonString(name));
            entry->file = name;
            EXPECT_TRUE(game.m_pSoundManager->AddReference(entry)) << name;
        }

        screen = new CXGameplaySurvival(&game);
        game.m_pGameplayScreen = screen;  // the game deletes it
        EXPECT_EQ(screen->InitRoot(CommonString("ui_main.txt"), "root_GAMEPLAY_NoAds"), 1);
        Arrange(0);
    }
    ~RoundTest() override {
        game.SafeDeleteChildren();
#ifdef COBBLE_ROUND_ON_STAND_IN
        // The stand-in only lends the managers it is given; the game object owns and deletes them.
        delete game.m_pArenaManager;
        delete game.m_pMiniQuestManager;
        delete game.m_pUpgradeManager;
        game.m_pArenaManager = nullptr;
        game.m_pMiniQuestManager = nullptr;
        game.m_pUpgradeManager = nullptr;
#endif
    }

    void ReadArenas(const std::string& text) {
        TParseInput input = ParseInputOf(std::span<const char>(text.data(), text.size()), "arenas");
        EXPECT_EQ(game.m_pArenaManager->ReadFromInput(input), 1);
    }

    // What the screen's initialisation sets up for an arena (index 0 to 2) on a 320 x 480 screen.
    void Arrange(int arenaIndex) {
        screen->m_pArena = game.m_pArenaManager->GetArenaAt(arenaIndex);
        screen->m_nArenaIndex = arenaIndex;
        profile->m_CurrentArena = screen->m_pArena->id;
        screen->m_PlayRect = TRect2D{12 * 256, 66 * 256, 296 * 256, 403 * 256};
        screen->m_pCoinSet = Set("Coin_Test");
        screen->m_nFullFillWidth = 166;
        if (screen->m_pJumpStrings == nullptr) screen->m_pJumpStrings = new CJumpStringManager(&game, screen);
        game.m_pMiniQuestManager->RecalcMiniQuestResultsForCurrentArena();
    }

    // An effect with one sprite of the suite's "Flare", room for 200 particles and no jitter,
    // added to the game's particle manager (made by the suite) as the game's effect `effect`.
    CQuorvanParticleSystem2* AddParticleEffect(const char* name, int effect) {
        auto* system = new CQuorvanParticleSystem2(&game, game.m_pRotatorScaler);
        const std::string text =
            "ParticleSprites = Flare\nParticleNumSprites = 1\nParticleNumSpritesPerRow = 1\nMaxParticles = 200\n"
            "RandomPos = 0\n";
        CMemoryFile file;
        void* block = std::malloc(text.size());
        std::memcpy(block, text.data(), text.size());
        file.Attach(block, static_cast<int>(text.size()));
        EXPECT_EQ(system->Init(&file, Set("Flare"), 0), 1);
        EXPECT_EQ(game.m_pParticleManager->AddParticleSystem(name, system), 1);
        game.m_ParticleEffectIndex[effect] = game.m_pParticleManager->GetIdOfParticleSystem(system);
        return system;
    }

    // A marble of a colour at a point, standing still and entered, owned by the screen.
    CMarble* Put(int colour, int xPx, int yPx) {
        CMarble* marble = screen->SpawnEnemy(colour, xPx, yPx);
        EXPECT_NE(marble, nullptr);
        marble->m_nSpeed = 0;
        marble->m_bEntered = true;
        return marble;
    }
    // A straight path from the marble's centre to (x, y) in whole pixels, the marble put on it.
    void GivePath(CMarble* marble, int xPx, int yPx) {
        const TVector2D from{marble->m_Position.x >> 8, marble->m_Position.y >> 8};
        const TVector2D to{xPx * 256, yPx * 256};
        ASSERT_EQ(marble->m_Path.AddSpline(from, from, to, to), 1);
        marble->m_bOnPath = true;
        screen->RollingSoundCounterInc();
    }
    // The floating texts shown so far, in order.
    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (int i = 0; i < screen->m_pJumpStrings->m_Texts.count; ++i) {
            const CommonString& t = screen->m_pJumpStrings->m_Texts.data[i]->m_Text;
            out.emplace_back(t.GetDataConst() != nullptr ? t.GetDataConst() : "");
        }
        return out;
    }
    // How many times an effect played (its file is its name, below the sounds directory).
    int Played(const std::string& name) const {
        return static_cast<int>(std::count_if(sound->played.begin(), sound->played.end(),
                                              [&](const std::string& file) { return file.ends_with(name); }));
    }
    // How many times an effect was stopped.
    int Stopped(const std::string& name) const {
        return static_cast<int>(std::count_if(sound->stopped.begin(), sound->stopped.end(),
                                              [&](const std::string& file) { return file.ends_with(name); }));
    }
    int QueuedAchievementBanners() const { return game.m_pAchievementsManager->GetNumQueuedMessages(); }

    CRoundSoundSystem* sound = nullptr;
    TUserProfile* profile = nullptr;
    CXGameplaySurvival* screen = nullptr;
};

}  // namespace gameplaytest
