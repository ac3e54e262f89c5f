// The round screen's messages: its buttons' screen switches and saves, the boosts dialog's start,
// the sound panel's two sliders with their different timing, and the saves around the pause panel.
#include <gtest/gtest.h>

#include <filesystem>

#include "RoundTestGame.h"
#include "testsupport/ScratchSaveFolder.h"
#include "ui/XElement.h"

namespace gameplaytest {
namespace {

class RoundCommandsTest : public RoundTest {
protected:
    int Click(const char* id) { return screen->OnMessage(screen, XMSG_CLICK, XIdParam(id), 0); }
    int Slide(int code, const char* id, int value) { return screen->OnMessage(screen, code, XIdParam(id), value); }
    bool Saved() const { return std::filesystem::exists(saves.Path("global.opt")); }

    CScratchSaveFolder saves;
};

TEST_F(RoundCommandsTest, ButtonsSwitchScreensBehindTheCurtain) {
    const struct {
        const char* id;
        int code;
        bool saves;
    } cases[] = {{"btn_LF_Replay", MSG_RUN_NEW_GAME, false},
                 {"btn_pause_restart", MSG_RUN_NEW_GAME, false},
                 {"btn_LF_Menu", MSG_RUN_START_MENU, false},
                 {"btn_pause_menu", MSG_RUN_PLAY_SCREEN, true}};
    for (const auto& c : cases) {
        screen->StartEffectIn();
        while (screen->IsTransitionRunning()) (void)screen->RunEffectProgress();
        std::filesystem::remove(saves.Path("global.opt"));
        EXPECT_EQ(Click(c.id), 1) << c.id;
        EXPECT_TRUE(screen->IsEffectOut()) << c.id;
        EXPECT_EQ(screen->GetSavedMessage().code, c.code) << c.id;
        EXPECT_EQ(Saved(), c.saves) << c.id;
        screen->SetupSavedMessage(nullptr, 0, 0, 0, false);
    }
}

TEST_F(RoundCommandsTest, TheBoostsDialogsPlayButtonCountsASecondStart) {
    profile->m_nRoundsStarted = 3;
    EXPECT_EQ(Click("btn_BoostsPlay"), 1);
    EXPECT_EQ(profile->m_nRoundsStarted, 4);
    EXPECT_EQ(profile->m_RoundsPerArena[0], 1);
}

TEST_F(RoundCommandsTest, OpeningThePausePanelAndClosingTheSoundPanelSave) {
    EXPECT_EQ(screen->OnMessage(screen, XMSG_ACTION_DONE, XIdParam("acn_pause_on"), 0), 1);
    EXPECT_TRUE(Saved());
    std::filesystem::remove(saves.Path("global.opt"));
    (void)Click("btn_sound_ok");
    EXPECT_TRUE(Saved());
}

TEST_F(RoundCommandsTest, TheMusicSliderIsHeardWhileItMovesAndKeptWhenLetGo) {
    CApplicationData& data = *game.GetAppData();
    EXPECT_EQ(Slide(XMSG_TUNER_CHANGING, "tuner_music", 40), 1);
    EXPECT_EQ(data.m_nMusicVolume, 40);
    EXPECT_EQ(sound->music, std::vector<int>{40});
    EXPECT_EQ(Slide(XMSG_TUNER_SET, "tuner_music", 130), 1);
    EXPECT_EQ(data.m_nMusicVolume, 100) << "held to 0..100";
    EXPECT_EQ(sound->music, std::vector<int>{40}) << "not told again when let go";
    EXPECT_EQ(Slide(XMSG_TUNER_CHANGING, "tuner_music", -5), 1);
    EXPECT_EQ(data.m_nMusicVolume, 0);
}

TEST_F(RoundCommandsTest, TheSoundSliderChangesWhenLetGoWithOneTickToHear) {
    CApplicationData& data = *game.GetAppData();
    data.m_nEffectsVolume = 50;
    EXPECT_EQ(Slide(XMSG_TUNER_CHANGING, "tuner_sound", 20), 1);
    EXPECT_EQ(data.m_nEffectsVolume, 50) << "nothing while it moves";
    EXPECT_EQ(Slide(XMSG_TUNER_SET, "tuner_sound", 20), 1);
    EXPECT_EQ(data.m_nEffectsVolume, 20);
    EXPECT_EQ(sound->effects, std::vector<int>{20});
    EXPECT_EQ(Played("Shop_SellItem"), 1);
    // Within 16 frames a second change sounds no tick; an unchanged value never does.
    EXPECT_EQ(Slide(XMSG_TUNER_SET, "tuner_sound", 30), 1);
    EXPECT_EQ(Played("Shop_SellItem"), 1);
    for (int i = 0; i < 16; ++i) screen->RunProcess();
    EXPECT_EQ(Slide(XMSG_TUNER_SET, "tuner_sound", 30), 1);
    EXPECT_EQ(Played("Shop_SellItem"), 1);
    EXPECT_EQ(Slide(XMSG_TUNER_SET, "tuner_sound", 35), 1);
    EXPECT_EQ(Played("Shop_SellItem"), 2);
}

TEST_F(RoundCommandsTest, TheRollingSoundLoopsWhileAMarbleRunsOnAPath) {
    CMarble* m = Put(0, 100, 200);
    GivePath(m, 300, 200);
    screen->ProcessRollingSound();
    EXPECT_TRUE(screen->m_bPathSoundPlaying);
    EXPECT_EQ(Played("SFX_PATH_MOVE"), 1);
    screen->ProcessRollingSound();
    EXPECT_EQ(Played("SFX_PATH_MOVE"), 1) << "started once";
    screen->LeavePath(m);
    screen->ProcessRollingSound();
    EXPECT_FALSE(screen->m_bPathSoundPlaying);
}

}  // namespace
}  // namespace gameplaytest
