#pragma once
// The play screen on the real pak, with what the loader would have made before it opens: the
// achievements, the arena table, the farm's definitions, the "ui" sprite sets loaded and the coin
// counter's icon, and one current player. Each suite seeds the profile (completed yards and their
// stars, unlock entries, hint flags, coins) before it opens the screen. Switches the screen posts
// are kept in game.posts, never delivered. Sound effects go to a recording sound system.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FrontEndTestGame.h"
#include "audio/SoundManager.h"
#include "game/farm/FarmManager.h"
#include "game/progress/AchievementsManager.h"
#include "game/progress/ArenaManager.h"
#include "game/progress/UserProfile.h"
#include "game/screens/LockedDialog.h"
#include "game/screens/PlayScreen.h"
#include "game/screens/PlayScreenButtons.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "testsupport/LoadedGame.h"
#include "testsupport/StubSoundSystem.h"
#include "ui/Text.h"

class PlayScreenTest : public FrontEndTest {
protected:
    using TPost = CRealPakGame::TPost;

    void SetUp() override {
        FrontEndTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        sound = new CEffectRecordingSoundSystem();
        game.m_pSoundSystem = sound;  // the game deletes it
        for (const char* name : {"PlayMenu_UnlockLevel", "PlayMenu_UnlockYard_Star"})
            ASSERT_TRUE(game.m_pSoundManager->AddReference(CommonString(name))) << name;
        // The loader keeps every set of the "ui" group loaded.
        ASSERT_EQ(loadedgame::LoadSpriteGroups(game, {"ui"}), nullptr);
        ASSERT_EQ(loadedgame::MakeLoaderManagers(game), nullptr);
        AddPlayer("Sam");
        player = game.GetCurrentProfile();
    }

    // Opens the screen as the game does and lets its curtain rise.
    CXPlayScreen* Open() {
        game.posts.clear();
        EXPECT_TRUE(game.RunPlayScreen());
        Ticks(16);
        return game.m_pPlayScreen;
    }
    // A completed yard with its stars in the player's profile.
    void Completed(const char* yard, int stars) { player->AddCompletedYardId(CommonString(yard), stars); }
    // The hint flags of the arena, yard and boosts buttons.
    void HintsSeen(bool arena, bool yard, bool boosts) {
        player->m_HintFlags[kHintPlayArenaButton] = arena;
        player->m_HintFlags[kHintPlayYardButton] = yard;
        player->m_HintFlags[kHintPlayBoostsButton] = boosts;
    }
    int Click(const char* id) { return game.m_pPlayScreen->OnMessage(game.m_pPlayScreen, XMSG_CLICK, XIdParam(id), 0); }
    // A tap where a player would touch, through the game object.
    void Tap(int x, int y) {
        Touch(XPOINTER_PRESS, x, y);
        Touch(XPOINTER_RELEASE, x, y);
    }
    XWidget* Find(const char* id) { return game.m_pPlayScreen->FindChildWithWidgetId(id); }
    std::string TextOf(const char* id) {
        auto* text = dynamic_cast<XText*>(Find(id));
        if (text == nullptr) return "(missing)";
        return text->GetCaption().Length() > 0 ? text->GetCaption().GetDataConst() : "";
    }
    CXLockedDialog* Locked(const char* id) { return dynamic_cast<CXLockedDialog*>(Find(id)); }
    // Frame `frame` of a sprite set of the pak.
    IDibBitmap* SetFrame(const char* set, int frame) {
        const CSpriteSet* s = game.m_pSpriteSetManager->GetSpriteSetNamed(set);
        return s != nullptr ? s->GetFrame(frame) : nullptr;
    }
    // The sound files played since the last call.
    std::vector<std::string> Played() {
        std::vector<std::string> played;
        played.swap(sound->played);
        return played;
    }

    CEffectRecordingSoundSystem* sound = nullptr;
    TUserProfile* player = nullptr;
};
