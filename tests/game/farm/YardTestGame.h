#pragma once
// The yard screen on the real pak, with what the loader and the group loader would have made
// before it opens: the sprite-set descriptions with the "ui" and "farm" groups loaded, every
// particle effect, the achievements, the arena table, the farm's definitions and the mini-quests,
// the coin counter's icon, and one current player in "yard1" who has seen the yard's three hints
// (the hint suites clear them). Switches the screen posts are kept in game.posts, never
// delivered. Sound effects go to a recording sound system. The yard's own frames are run by
// Frames(), which calls the screen's update as the game's cycle does once the curtain is up.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FrontEndTestGame.h"
#include "audio/SoundManager.h"
#include "game/farm/FarmManager.h"
#include "game/farm/FarmObject.h"
#include "game/farm/FarmProgress.h"
#include "game/farm/FarmWindow.h"
#include "game/farm/YardCamera.h"
#include "game/progress/AchievementsManager.h"
#include "game/progress/ArenaManager.h"
#include "game/progress/MiniQuestManager.h"
#include "game/progress/UserProfile.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemManager.h"
#include "render/ImageRotatorScaler.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "testsupport/DrawingTestGame.h"
#include "testsupport/LoadedGame.h"
#include "testsupport/StubSoundSystem.h"

class YardTest : public FrontEndTest {
protected:
    using TPost = CRealPakGame::TPost;

    void SetUp() override {
        FrontEndTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        sound = new CEffectRecordingSoundSystem();
        game.m_pSoundSystem = sound;  // the game deletes it
        for (const char* name : {"Shop_BuyItem", "Shop_SellItem", "Shop_GainStar"})
            ASSERT_TRUE(game.m_pSoundManager->AddReference(CommonString(name))) << name;
        ASSERT_TRUE(game.DefineSpriteSets_TheRest());
        ASSERT_EQ(loadedgame::LoadSpriteGroups(game, {"ui", "farm"}), nullptr);
        ASSERT_EQ(loadedgame::ReadParticleEffects(game), nullptr);
        ASSERT_EQ(loadedgame::MakeLoaderManagers(game), nullptr);
        AddPlayer("Sam");
        player = game.GetCurrentProfile();
        player->m_CurrentYard = CommonString("yard1");
        for (int hint : {kHintYardPurchase, kHintYardQuests, kHintYardProgress}) player->m_HintFlags[hint] = true;
        game.SeedRandoms(11);
    }

    // Opens the yard of that id as the game does and lets its curtain rise.
    CXFarmWindow* Open(const char* yardId = "yard1") {
        player->m_CurrentYard = CommonString(yardId);
        game.posts.clear();
        EXPECT_TRUE(game.RunFarmWindowScreen());
        CXFarmWindow* yard = game.m_pFarmWindow;
        for (int i = 0; yard != nullptr && yard->IsTransitionRunning() && i < 40; ++i) game.RunProcess();
        return yard;
    }
    // The yard's own update n times.
    void Frames(int n) {
        for (int i = 0; i < n && game.m_pFarmWindow != nullptr; ++i) game.m_pFarmWindow->RunProcess();
    }
    CXFarmWindow* Yard() { return game.m_pFarmWindow; }
    CFarmManager* Farm() { return game.m_pFarmManager; }
    FarmObjectDef* Def(const char* id) { return Farm()->GetFarmObjectDef(Yard()->m_pYardDef, CommonString(id)); }
    YardDef* YardDefOf(const char* id) { return Farm()->GetYardDef(CommonString(id)); }
    // Buys the object as the screen does for a pending purchase.
    CFarmObject* Buy(const char* id) {
        const int before = Farm()->m_Objects.count;
        if (!Yard()->PurchaseFarmObject(Def(id))) return nullptr;
        return Farm()->m_Objects.count > before ? Farm()->m_Objects[Farm()->m_Objects.count - 1] : nullptr;
    }
    // The objects of the yard that are not default ones.
    int BoughtCount() {
        int n = 0;
        for (int i = 0; i < Farm()->m_Objects.count; ++i)
            if ((Farm()->m_Objects[i]->m_uFlags & kFarmFlagDefault) == 0) ++n;
        return n;
    }
    int Click(const char* id) { return Yard()->OnMessage(Yard(), XMSG_CLICK, XIdParam(id), 0); }
    // A touch through the game object, as the platform delivers it.
    void Tap(int x, int y) {
        Touch(XPOINTER_PRESS, x, y);
        Touch(XPOINTER_RELEASE, x, y);
    }
    // The award messages queued, as their types.
    std::vector<int> QueuedTypes() {
        std::vector<int> types;
        for (int i = 0; i < game.m_pAchievementsManager->GetNumQueuedMessages(); ++i)
            types.push_back(game.m_pAchievementsManager->GetQueuedType(i));
        return types;
    }
    // The sound files played since the last call.
    std::vector<std::string> Played() {
        std::vector<std::string> played;
        played.swap(sound->played);
        return played;
    }
    // Sends the rotator's draws to a recorder while the recorder lives (RestoreDrawing puts the
    // game's path back).
    void RecordDrawing(CRecordingRotatorPath& recorder) { game.m_pRotatorScaler->SetHardwarePath(&recorder); }
    void RestoreDrawing() { game.m_pRotatorScaler->SetHardwarePath(game.m_pRotatorPath); }
    // The screen point (pixels) of an object's anchor and of its rectangle's centre.
    TCoord2D AnchorOnScreen(CFarmObject* object) {
        const TVector2D p = WorldToScreen(&game, object->m_Position);
        return {p.x >> 8, p.y >> 8};
    }
    TCoord2D CentreOnScreen(CFarmObject* object) {
        const TRect2D r = object->GetObjectRect();
        return {(r.x + r.width / 2) >> 8, (r.y + r.height / 2) >> 8};
    }

    CEffectRecordingSoundSystem* sound = nullptr;
    TUserProfile* player = nullptr;
};
