// The round screen's messages: its buttons' screen switches and saves, the boosts dialog's start,
// the sound panel's two sliders with their different timing, and the saves around the pause panel.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "RoundTestGame.h"
#include "game/screens/AddCoinsDialog.h"
#include "testsupport/ScratchSaveFolder.h"
#include "ui/Dialog.h"
#include "ui/Text.h"
#include "ui/Tuner.h"
#include "ui/XElement.h"

namespace gameplaytest {
namespace {

// The suites' template with the coin shop and the sound panel, each opened by its action.
const std::string kPanelsTemplate =
    std::string(kRoundTemplate) +
    "dialog = dlg_addcoins\nend\naction = \"acn_addcoins_on\"\n create = dlg_addcoins\nend\n"
    "dialog = dlg_pause_sound\n"
    " child = tuner_music\n position = 10, 10\n child = txt_music_volume\n position = 10, 40\n"
    " child = tuner_sound\n position = 10, 70\n child = txt_sound_volume\n position = 10, 100\n"
    " child = txt_music_desc\n position = 10, 130\n end\nend\n"
    "tuner = tuner_music\n tunerId = HudCoin\n step = 5\n max = 100\nend\n"
    "tuner = tuner_sound\n tunerId = HudCoin\n step = 5\n max = 100\nend\n"
    "text = txt_music_volume\n caption = \"?\"\nend\ntext = txt_sound_volume\n caption = \"?\"\nend\n"
    "text = txt_music_desc\n caption = \"Music\"\nend\n"
    "action = \"acn_pause_2_sound\"\n create = dlg_pause_sound\nend\n";

class RoundCommandsTest : public RoundTest {
protected:
    RoundCommandsTest() : RoundTest(RoundTextsCsv(), RoundScreenSets(), kPanelsTemplate.c_str()) {}
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
        EXPECT_EQ(screen->GetSavedMessage().wparam, XWPARAM{}) << c.id << ": posted with no parameters";
        EXPECT_EQ(screen->GetSavedMessage().lparam, 0) << c.id;
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

// Only a round that is not a lesson counts; the count goes to the arena played.
TEST_F(RoundCommandsTest, TheBoostsPlayButtonCountsForTheArenaPlayedButNotInTheTutorial) {
    Arrange(2);
    profile->m_nRoundsStarted = 3;
    EXPECT_EQ(Click("btn_BoostsPlay"), 1);
    EXPECT_EQ(profile->m_nRoundsStarted, 4);
    EXPECT_EQ(profile->m_RoundsPerArena[2], 1);
    EXPECT_EQ(profile->m_RoundsPerArena[0], 0);
    screen->m_bTutorial = true;
    EXPECT_EQ(Click("btn_BoostsPlay"), 1);
    EXPECT_EQ(profile->m_nRoundsStarted, 4);
    EXPECT_EQ(profile->m_RoundsPerArena[2], 1);
    screen->m_bTutorial = false;
}

TEST_F(RoundCommandsTest, OpeningThePausePanelAndClosingTheSoundPanelSave) {
    EXPECT_EQ(screen->OnMessage(screen, XMSG_ACTION_DONE, XIdParam("acn_pause_on"), 0), 1);
    EXPECT_TRUE(Saved());
    std::filesystem::remove(saves.Path("global.opt"));
    (void)Click("btn_sound_ok");
    EXPECT_TRUE(Saved());
}

// Only the sound panel's OK button saves of the clicks the round does not answer itself; the
// opening of the sound panel is answered.
TEST_F(RoundCommandsTest, OnlyTheSoundPanelsOkSavesAndTheSoundPanelsOpeningIsAnswered) {
    (void)Click("btn_not_the_rounds");
    EXPECT_FALSE(Saved());
    EXPECT_EQ(screen->OnMessage(screen, XMSG_ACTION_DONE, XIdParam("acn_pause_2_sound"), 0), 1);
    EXPECT_FALSE(Saved());
}

// The sound panel opens on the stored volumes: each slider at its volume, each figure "N%", and
// the music's description hidden.
TEST_F(RoundCommandsTest, TheSoundPanelOpensOnTheStoredVolumes) {
    CApplicationData& data = *game.GetAppData();
    const struct {
        int music, effects;
        const char *musicText, *effectsText;
    } cases[] = {{40, 70, "40%", "70%"}, {0, 100, "0%", "100%"}, {100, 5, "100%", "5%"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.musicText);
        data.m_nMusicVolume = c.music;
        data.m_nEffectsVolume = c.effects;
        ASSERT_EQ(screen->DoAction(CommonString("ui_main.txt"), CommonString("acn_pause_2_sound")), 1);
        XWidget* panel = screen->FindChildWithWidgetId("dlg_pause_sound");
        ASSERT_NE(panel, nullptr);
        auto* musicTuner = dynamic_cast<XTuner*>(panel->FindChildWithWidgetId("tuner_music"));
        auto* soundTuner = dynamic_cast<XTuner*>(panel->FindChildWithWidgetId("tuner_sound"));
        auto* musicText = dynamic_cast<XText*>(panel->FindChildWithWidgetId("txt_music_volume"));
        auto* soundText = dynamic_cast<XText*>(panel->FindChildWithWidgetId("txt_sound_volume"));
        ASSERT_TRUE(musicTuner && soundTuner && musicText && soundText);
        EXPECT_EQ(musicTuner->GetCurrent(), c.music);
        EXPECT_EQ(soundTuner->GetCurrent(), c.effects);
        EXPECT_STREQ(musicText->GetCaption().GetDataConst(), c.musicText);
        EXPECT_STREQ(soundText->GetCaption().GetDataConst(), c.effectsText);
        EXPECT_FALSE(panel->FindChildWithWidgetId("txt_music_desc")->IsVisible());
        SAFE_FREE_XELEMENT(panel);
    }
}

// The coin shop opened over the round is answered by the round: as it opens, its list is sent
// back to the top; the message is answered whoever sent it.
TEST_F(RoundCommandsTest, TheCoinShopOpenedOverTheRoundStartsItsListFromTheTop) {
    ASSERT_EQ(screen->DoAction(CommonString("ui_main.txt"), CommonString("acn_addcoins_on")), 1);
    auto* shop = dynamic_cast<CXAddCoinsFullScreenContainerDlg*>(screen->FindChildWithWidgetId("dlg_addcoins"));
    ASSERT_NE(shop, nullptr);
    EXPECT_TRUE(shop->IsResetToTop()) << "set as the shop opened";
    shop->SetResetToTop(false);
    EXPECT_EQ(screen->OnMessage(shop, XMSG_DIALOG_INIT, XIdParam("dlg_addcoins"), 0), 1);
    EXPECT_TRUE(shop->IsResetToTop());
    shop->SetResetToTop(false);
    // Another dialog's opening, or the shop's id from something that is no shop, is not the shop's.
    EXPECT_EQ(screen->OnMessage(shop, XMSG_DIALOG_INIT, XIdParam("dlg_pause"), 0), 0);
    EXPECT_EQ(screen->OnMessage(screen, XMSG_DIALOG_INIT, XIdParam("dlg_addcoins"), 0), 0);
    EXPECT_FALSE(shop->IsResetToTop());
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

// The rolling sound plays under whatever id the sound system gave it, the first one (0) included;
// once it is no longer loaded it is not played at all.
TEST_F(RoundCommandsTest, TheRollingSoundPlaysAsEffectZeroAndNotOnceUnloaded) {
    CSoundManager& sounds = *game.m_pSoundManager;
    SoundFXData* roll = sounds.FindSoundFX(CommonString("SFX_PATH_MOVE"));
    SoundFXData* first = sounds.FindSoundFX(CommonString(kRoundSounds[0]));
    ASSERT_TRUE(roll != nullptr && first != nullptr);
    ASSERT_EQ(first->soundId, 0);
    ASSERT_GT(roll->soundId, 0);
    // The two effects trade their ids: the rolling sound is now the sound system's effect 0.
    std::swap(sound->files[0], sound->files[static_cast<std::size_t>(roll->soundId)]);
    std::swap(first->soundId, roll->soundId);
    CMarble* m = Put(0, 100, 200);
    GivePath(m, 300, 200);
    screen->ProcessRollingSound();
    EXPECT_EQ(Played("SFX_PATH_MOVE"), 1);
    ASSERT_EQ(sound->looped.size(), 1u);
    EXPECT_TRUE(sound->looped[0].ends_with("SFX_PATH_MOVE"));
    screen->LeavePath(m);
    screen->ProcessRollingSound();
    EXPECT_EQ(Stopped("SFX_PATH_MOVE"), 1);

    sounds.ReleaseReference(roll);
    ASSERT_EQ(roll->soundId, -1);
    GivePath(Put(1, 100, 300), 300, 300);
    screen->ProcessRollingSound();
    EXPECT_TRUE(screen->m_bPathSoundPlaying) << "the round still rolls";
    EXPECT_EQ(Played("SFX_PATH_MOVE"), 1);
    EXPECT_EQ(sound->looped.size(), 1u);
    EXPECT_TRUE(sound->unloadedPlays.empty());
}

// The rolling sound loops while a marble runs on a path in play with sounds on, and stops as soon
// as the round is over, a panel opens over it or sounds are turned off; it starts again after.
TEST_F(RoundCommandsTest, TheRollingSoundStopsForGameOverAPanelOrSoundsOff) {
    CApplicationData& data = *game.GetAppData();
    CMarble* m = Put(0, 100, 200);
    GivePath(m, 300, 200);
    int played = 0, stopped = 0;
    const auto step = [&](bool rolling, const char* what) {
        SCOPED_TRACE(what);
        const bool was = screen->m_bPathSoundPlaying;
        screen->ProcessRollingSound();
        EXPECT_EQ(screen->m_bPathSoundPlaying, rolling);
        if (rolling && !was) ++played;
        if (!rolling && was) ++stopped;
        EXPECT_EQ(Played("SFX_PATH_MOVE"), played);
        EXPECT_EQ(Stopped("SFX_PATH_MOVE"), stopped);
    };
    step(true, "a marble on its path");
    screen->m_bGameOver = true;
    step(false, "game over");
    screen->m_bGameOver = false;
    step(true, "in play again");
    data.m_bSoundOn = false;
    step(false, "sounds off");
    data.m_bSoundOn = true;
    step(true, "sounds on");
    screen->Pause();
    ASSERT_NE(screen->FindModalChild(), nullptr);
    step(false, "the pause panel");
}

// A game without a sound manager plays no music and nothing fails.
TEST_F(RoundCommandsTest, WithoutASoundManagerTheMusicIsLeftAlone) {
    CSoundManager* sounds = game.m_pSoundManager;
    game.m_pSoundManager = nullptr;
    screen->m_bIntroPlayed = true;
    screen->m_nMusicDelay = 0;
    screen->UpdateGameplayMusic();
    game.m_pSoundManager = sounds;
    EXPECT_TRUE(sound->streams.empty());
}

// The round's music is its arena's track, looped with half-second fades, once the intro is over
// and its delay has run out; before that, and under the statistics, it fades out over a quarter
// second; with music off it stops at once.
TEST_F(RoundCommandsTest, TheRoundsMusicIsItsArenasTrackAfterTheIntro) {
    const int kept[] = {g_cs_OGG_LoadedIndexes[0], g_cs_OGG_LoadedIndexes[1], g_cs_OGG_LoadedIndexes[2]};
    g_cs_OGG_LoadedIndexes[0] = 10;
    g_cs_OGG_LoadedIndexes[1] = 11;
    g_cs_OGG_LoadedIndexes[2] = 12;
    CApplicationData& data = *game.GetAppData();
    Arrange(2);
    // The statistics, opened after a game over, stand open for the rows that ask for them.
    screen->m_bGameOver = true;
    screen->m_nGameOverClock = 4 * 65536;
    EXPECT_EQ(screen->NotifyPointerEvent(50, 50, XPOINTER_PRESS), 1);
    XDialog* stats = screen->m_pRoundStatsDialog;
    ASSERT_NE(stats, nullptr);
    screen->m_bGameOver = false;

    struct TRow {
        bool musicOn, stats, intro;
        int delay;
        int playing;  // the track playing before; -1 none
        std::vector<std::string> streams;
        int track;  // playing after
        const char* what;
    };
    const TRow rows[] = {
        {true, false, true, 0, -1, {"StopStreamWithFadeOut -1 512", "PlayStreamWithFadeIn 12 0 1 512"}, 2,
         "the arena's track starts"},
        {true, false, true, 0, 0, {"StopStreamWithFadeOut 10 512", "PlayStreamWithFadeIn 12 0 1 512"}, 2,
         "another track gives way"},
        {true, false, true, 0, 2, {}, 2, "already playing: left alone"},
        {true, false, false, 0, 2, {"StopStreamWithFadeOut 12 256"}, -1, "before the intro"},
        {true, false, true, 1, 2, {"StopStreamWithFadeOut 12 256"}, -1, "while the delay runs"},
        {true, true, true, 0, 2, {"StopStreamWithFadeOut 12 256"}, -1, "under the statistics"},
        {false, false, true, 0, 2, {"StopStream 12"}, -1, "music off"},
        {false, true, true, 0, 2, {"StopStream 12"}, -1, "music off under the statistics"},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.what);
        data.m_bMusicOn = true;
        game.m_pSoundManager->StopMusicTrackWithFadeOut(0);
        if (row.playing >= 0) game.m_pSoundManager->PlayMusicTrack(row.playing, true, 0, 0);
        data.m_bMusicOn = row.musicOn;
        screen->m_pRoundStatsDialog = row.stats ? stats : nullptr;
        screen->m_bIntroPlayed = row.intro;
        screen->m_nMusicDelay = row.delay;
        sound->streams.clear();
        screen->UpdateGameplayMusic();
        EXPECT_EQ(sound->streams, row.streams);
        EXPECT_EQ(game.m_pSoundManager->GetCurrentMusicTrack(), row.track);
    }
    screen->m_pRoundStatsDialog = stats;
    for (int i = 0; i < 3; ++i) g_cs_OGG_LoadedIndexes[i] = kept[i];
}

}  // namespace
}  // namespace gameplaytest
