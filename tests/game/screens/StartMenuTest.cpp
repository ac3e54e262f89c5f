// The start menu built from the real pak: the first-run name entry, the commands and the pages
// they open, the option sliders, the quit question, and the scene's title, taps and clouds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FrontEndTestGame.h"
#include "game/progress/UserProfile.h"
#include "game/screens/PlayerDialogs.h"
#include "game/screens/StartMenu.h"
#include "platform/Control.h"
#include "render/DibBitmap.h"
#include "ui/GameButton.h"
#include "ui/Template.h"
#include "ui/TemplateRecords.h"
#include "ui/Text.h"
#include "ui/Tuner.h"

namespace {

using TPost = CRealPakGame::TPost;

std::string TextOf(XWidget* root, const char* id) {
    auto* text = dynamic_cast<XText*>(root != nullptr ? root->FindChildWithWidgetId(id) : nullptr);
    if (text == nullptr) return "(missing)";
    return text->GetCaption().Length() > 0 ? text->GetCaption().GetDataConst() : "";
}

class StartMenuTest : public FrontEndTest {
protected:
    CXStartMenu2* OpenMenu() {
        EXPECT_TRUE(game.RunStartMenu());
        return game.m_pStartMenu;
    }
    int Click(CXStartMenu2* menu, const char* id) { return menu->OnMessage(menu, XMSG_CLICK, XIdParam(id), 0); }
};

TEST_F(StartMenuTest, AFirstStartMakesAProfileAndAsksItsNameAtOnceWithoutCancel) {
    ASSERT_EQ(Data().m_Profiles.count, 0);
    CXStartMenu2* menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(Data().m_Profiles.count, 1);
    EXPECT_EQ(Data().m_nCurrentProfile, 0);
    auto* entry = FindDialogAs<CXEditName>(menu, "dlg_EnterName");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->GetOwnOpacity(), kOpacityFull) << "shown without fading in";
    EXPECT_TRUE(entry->m_bNewProfile);
    EXPECT_FALSE(entry->IsCancelShown());
    EXPECT_FALSE(entry->FindChildWithWidgetId("btn_NameCancel")->IsVisible());
    const TCoordRect2D ok = entry->FindChildWithWidgetId("btn_NameOk")->GetDrawingRect();
    EXPECT_EQ(ok.x + ok.width / 2, 160) << "OK moves to the screen's centre";
    Ticks(40);
    EXPECT_EQ(menu->FindChildWithWidgetId("dlg_StartMenuRoot"), nullptr) << "the entry replaces the menu panel";
    EXPECT_EQ(FindDialogAs<CXEditName>(menu, "dlg_EnterName"), entry);
}

TEST_F(StartMenuTest, ANamedPlayerIsWelcomedAndAnUnnamedOneAskedForAName) {
    AddPlayer("Sam");
    CXStartMenu2* menu = OpenMenu();
    EXPECT_EQ(menu->FindChildWithWidgetId("dlg_EnterName"), nullptr);
    EXPECT_EQ(TextOf(menu, "txt_Welcome"), "Welcome, Sam!");

    AddPlayer("");
    menu = OpenMenu();
    auto* entry = FindDialogAs<CXEditName>(menu, "dlg_EnterName");
    ASSERT_NE(entry, nullptr);
    EXPECT_FALSE(entry->m_bNewProfile);
    EXPECT_FALSE(entry->IsCancelShown()) << "a player without a name must give one";
}

TEST_F(StartMenuTest, ThePanelComesBackFromItsDialogsWithItsWelcome) {
    AddPlayer("S");
    CXStartMenu2* menu = OpenMenu();
    Ticks(40);
    ASSERT_EQ(menu->DoAction(CommonString("ui_main.txt"), CommonString("acn_show_players")), 1);
    Ticks(40);
    ASSERT_EQ(menu->FindChildWithWidgetId("dlg_StartMenuRoot"), nullptr);
    XDialog* list = FindDialogAs<CXPlayers>(menu, "dlg_Players");
    ASSERT_NE(list, nullptr);
    list->OnMessage(list, XMSG_CLICK, XIdParam("btn_players_ok"), 0);
    Ticks(40);
    EXPECT_EQ(TextOf(menu, "txt_Welcome"), "Welcome, S!");
    ASSERT_EQ(menu->OnMessage(menu, XMSG_CLICK, XIdParam("btn_sm_options"), 0), 1);
    Ticks(40);
    XDialog* options = dynamic_cast<XDialog*>(menu->FindChildWithWidgetId("dlg_options"));
    ASSERT_NE(options, nullptr);
    options->OnMessage(options, XMSG_CLICK, XIdParam("btn_options_ok"), 0);
    Ticks(40);
    XWidget* welcome = menu->FindChildWithWidgetId("txt_Welcome");
    ASSERT_NE(welcome, nullptr);
    EXPECT_EQ(TextOf(menu, "txt_Welcome"), "Welcome, S!");
    EXPECT_TRUE(welcome->IsVisible());
    EXPECT_EQ(welcome->GetOpacity(), kOpacityFull);
}

TEST_F(StartMenuTest, NameOkStoresTheNameSavesAndBringsTheMenuBack) {
    CXStartMenu2* menu = OpenMenu();
    auto* entry = FindDialogAs<CXEditName>(menu, "dlg_EnterName");
    ASSERT_NE(entry, nullptr);
    for (const char* key : {"btn_J", "btn_O"}) entry->OnMessage(entry, XMSG_CLICK, XIdParam(key), 0);
    Click(menu, "btn_NameOk");
    EXPECT_EQ(Name(0), "Jo");
    EXPECT_TRUE(std::filesystem::exists(saves.Path("global.opt")));
    Ticks(40);
    EXPECT_NE(menu->FindChildWithWidgetId("dlg_StartMenuRoot"), nullptr) << "the back action restores the panel";
    EXPECT_EQ(menu->FindChildWithWidgetId("dlg_EnterName"), nullptr);
    EXPECT_EQ(TextOf(menu, "txt_Welcome"), "Welcome, Jo!");
    ASSERT_EQ(menu->OnMessage(menu, XMSG_CLICK, XIdParam("btn_sm_options"), 0), 1);
    Ticks(40);
    XDialog* options = dynamic_cast<XDialog*>(menu->FindChildWithWidgetId("dlg_options"));
    ASSERT_NE(options, nullptr);
    options->OnMessage(options, XMSG_CLICK, XIdParam("btn_options_ok"), 0);
    Ticks(40);
    EXPECT_EQ(TextOf(menu, "txt_Welcome"), "Welcome, Jo!") << "and again when the panel comes back";
    XWidget* welcome = menu->FindChildWithWidgetId("txt_Welcome");
    EXPECT_TRUE(welcome->IsVisible());
    EXPECT_EQ(welcome->GetOpacity(), kOpacityFull);
    const TCoordRect2D r = welcome->GetDrawingRect();
    const TCoordRect2D plate = menu->FindChildWithWidgetId("btn_change_player")->GetDrawingRect();
    EXPECT_GE(r.y, plate.y) << "on its plate";
    EXPECT_LE(r.y + r.height, plate.y + plate.height);
}

// A screen command's button, the root its screen is built from, and the post it makes.
struct TScreenCase {
    const char* id;
    const char* root;
    TPost post;
};

const TScreenCase kScreenCases[] = {
    {"btn_Play", "root_play", {1008, 0, 0}},
    {"btn_sm_achievements", "root_ach", {1013, 0, 0}},
    {"btn_sm_leaderboards", "root_leaders", {1014, 1001, 0}},
    {"btn_sm_quests", "root_quests", {1016, 0, 1001}},
};

// Takes the root record out of the cached template, or puts one in, whatever the pak holds.
void SetRootPresent(CXStartMenu2* menu, const char* root, bool present) {
    TTemplate* templ = menu->FindCachedTemplate("ui_main.txt");
    ASSERT_NE(templ, nullptr);
    for (int i = templ->widgets.count - 1; i >= 0; --i)
        if (templ->widgets.data[i]->name == root) templ->RemoveWidget(i);
    if (!present) return;
    ASSERT_EQ(templ->AddWidget(kWidgetRoot), 1);
    templ->LastWidget()->kind = kWidgetRoot;
    templ->LastWidget()->name = root;
}

TEST_F(StartMenuTest, AButtonWhoseScreenHasNoRootHidesAndPostsNothingTillTheRootIsThere) {
    AddPlayer("Sam");
    CXStartMenu2* menu = OpenMenu();
    for (const TScreenCase& c : kScreenCases) SetRootPresent(menu, c.root, false);
    menu = OpenMenu();
    for (const TScreenCase& c : kScreenCases) {
        XWidget* button = menu->FindChildWithWidgetId(c.id);
        ASSERT_NE(button, nullptr) << c.id;
        EXPECT_FALSE(button->IsVisible()) << c.id << ": no screen, no button";
        game.posts.clear();
        EXPECT_EQ(Click(menu, c.id), 1) << c.id;
        EXPECT_TRUE(game.posts.empty()) << c.id << ": a screen that cannot open is not asked for";
    }
    // The panel comes back from a dialog as it was: still no dead button.
    ASSERT_EQ(Click(menu, "btn_sm_stats"), 1);
    Ticks(40);
    XDialog* stats = dynamic_cast<XDialog*>(menu->FindChildWithWidgetId("dlg_stats"));
    ASSERT_NE(stats, nullptr);
    stats->OnMessage(stats, XMSG_CLICK, XIdParam("btn_stats_close"), 0);
    Ticks(40);
    ASSERT_NE(menu->FindChildWithWidgetId("dlg_StartMenuRoot"), nullptr);
    for (const TScreenCase& c : kScreenCases) EXPECT_FALSE(menu->FindChildWithWidgetId(c.id)->IsVisible()) << c.id;

    // Each root added brings its own button back, and only its own.
    for (std::size_t k = 0; k < std::size(kScreenCases); ++k) {
        SetRootPresent(menu, kScreenCases[k].root, true);
        menu = OpenMenu();
        for (std::size_t j = 0; j < std::size(kScreenCases); ++j)
            EXPECT_EQ(menu->FindChildWithWidgetId(kScreenCases[j].id)->IsVisible(), j <= k)
                << kScreenCases[j].id << " with " << k + 1 << " roots";
        game.posts.clear();
        EXPECT_EQ(Click(menu, kScreenCases[k].id), 1);
        EXPECT_EQ(game.posts, std::vector<TPost>{kScreenCases[k].post}) << kScreenCases[k].id;
    }
}

TEST_F(StartMenuTest, CreditsPostTheirScreenAndThePagesOpenInTheBrowser) {
    AddPlayer("Sam");
    CXStartMenu2* menu = OpenMenu();
    ASSERT_EQ(Click(menu, "btn_sm_options"), 1);
    XWidget* credits = menu->FindChildWithWidgetId("btn_options_credits");
    ASSERT_NE(credits, nullptr);
    EXPECT_TRUE(credits->IsVisible()) << "the credits' root is in the pak";
    game.posts.clear();
    EXPECT_EQ(Click(menu, "btn_options_credits"), 1);
    EXPECT_EQ(game.posts, (std::vector<TPost>{{1004, 0, 0}}));

    (void)platform::TakeCallLog();
    for (const char* id : {"btn_MoreGames", "btn_sm_facebook", "btn_sm_twitter"}) EXPECT_EQ(Click(menu, id), 1) << id;
    std::vector<std::string> invoked;
    for (const std::string& call : platform::TakeCallLog())
        if (call.starts_with("navigator_invoke ")) invoked.push_back(call.substr(17));
    ASSERT_EQ(invoked.size(), 3u);
    for (const std::string& url : invoked) {
        EXPECT_TRUE(url.starts_with("https://")) << url;
        EXPECT_NE(url.find(".example/"), std::string::npos) << "a reserved domain: " << url;
    }
    EXPECT_NE(invoked[0], invoked[1]);
    EXPECT_NE(invoked[1], invoked[2]);
}

// The star shows from a profile's fifth round; it asks for a review in a dialog of its own in
// place of the menu panel. Yes opens the game's store page and closes it, No and the back key
// close it; the profile keeps nothing of it.
TEST_F(StartMenuTest, TheStarAsksForAReviewAndYesNoAndTheBackKeyEachCloseTheQuestion) {
    AddPlayer("Sam");
    Data().GetCurrentProfile()->m_nRoundsStarted = 4;
    CXStartMenu2* menu = OpenMenu();
    Ticks(40);
    XWidget* star = menu->FindChildWithWidgetId("btn_sm_review");
    ASSERT_NE(star, nullptr);
    EXPECT_FALSE(star->IsVisible()) << "four rounds: no star yet";

    Data().GetCurrentProfile()->m_nRoundsStarted = 5;
    menu = OpenMenu();
    Ticks(40);
    star = menu->FindChildWithWidgetId("btn_sm_review");
    ASSERT_NE(star, nullptr);
    EXPECT_TRUE(star->IsVisible()) << "the fifth round shows the star";

    enum class EClose { Yes, No, BackKey };
    for (const EClose how : {EClose::Yes, EClose::No, EClose::BackKey}) {
        SCOPED_TRACE(static_cast<int>(how));
        // The star as a tap on it reaches the menu: its panel passes the click up.
        auto* panel = dynamic_cast<XDialog*>(menu->FindChildWithWidgetId("dlg_StartMenuRoot"));
        ASSERT_NE(panel, nullptr);
        (void)panel->OnMessage(star, XMSG_CLICK, XIdParam("btn_sm_review"), 0);
        Ticks(40);
        auto* review = dynamic_cast<XDialog*>(menu->FindChildWithWidgetId("dlg_review"));
        ASSERT_NE(review, nullptr) << "the star opens the question";
        EXPECT_EQ(menu->FindChildWithWidgetId("dlg_StartMenuRoot"), nullptr) << "in place of the panel";
        for (const char* id : {"txt_review_q", "btn_ReviewYes", "btn_ReviewNo"})
            EXPECT_NE(review->FindChildWithWidgetId(id), nullptr) << id;

        (void)platform::TakeCallLog();
        if (how == EClose::Yes) (void)review->OnMessage(review, XMSG_CLICK, XIdParam("btn_ReviewYes"), 0);
        if (how == EClose::No) (void)review->OnMessage(review, XMSG_CLICK, XIdParam("btn_ReviewNo"), 0);
        if (how == EClose::BackKey) {
            EXPECT_EQ(game.OnGraffitiChar(kBackKey), 1);
        }
        std::vector<std::string> invoked;
        for (const std::string& call : platform::TakeCallLog())
            if (call.starts_with("navigator_invoke ")) invoked.push_back(call.substr(17));
        if (how == EClose::Yes) {
            EXPECT_EQ(invoked, std::vector<std::string>{"https://store.hollowfen.example/cobblebrooks/review"});
        } else {
            EXPECT_TRUE(invoked.empty()) << "only Yes opens the page";
        }
        Ticks(40);
        EXPECT_EQ(menu->FindChildWithWidgetId("dlg_review"), nullptr) << "the question closed";
        EXPECT_NE(menu->FindChildWithWidgetId("dlg_StartMenuRoot"), nullptr) << "the panel came back";
        EXPECT_FALSE(game.IsFinished());
        star = menu->FindChildWithWidgetId("btn_sm_review");
        ASSERT_NE(star, nullptr);
        EXPECT_TRUE(star->IsVisible());
    }
    EXPECT_EQ(Data().GetCurrentProfile()->m_nRoundsStarted, 5);
}

TEST_F(StartMenuTest, TheIconButtonsHitTestedByTheirRectangleAnswerAllOverTheirPicture) {
    AddPlayer("Sam");
    CXStartMenu2* menu = OpenMenu();
    Ticks(20);
    for (const char* id : {"btn_sm_facebook", "btn_sm_twitter"}) {
        auto* button = dynamic_cast<XGameButton*>(menu->FindChildWithWidgetId(id));
        ASSERT_NE(button, nullptr) << id;
        ASSERT_TRUE(button->HasRectHit()) << id;
        // The picture: the set's 44 x 40 frame, centred on the button.
        const TCoordRect2D r = button->GetDrawingRect();
        const int cx = r.x + r.width / 2, cy = r.y + r.height / 2;
        for (const auto& [dx, dy] : {std::pair{0, 0}, {-19, -17}, {19, -17}, {-19, 17}, {19, 17}})
            EXPECT_TRUE(button->Contains(cx + dx, cy + dy)) << id << " at " << dx << "," << dy;
        EXPECT_FALSE(button->Contains(cx + 30, cy)) << id << ": not beyond the picture";
    }
}

TEST_F(StartMenuTest, QuitYesFinishesTheGameWithTheQuitCode) {
    AddPlayer("Sam");
    CXStartMenu2* menu = OpenMenu();
    EXPECT_FALSE(game.IsFinished());
    EXPECT_EQ(Click(menu, "btn_QuitYes"), 1);
    EXPECT_TRUE(game.IsFinished());
    EXPECT_EQ(game.GetFinishCode(), kFinishQuitButton);
}

TEST_F(StartMenuTest, MusicFollowsItsSliderLiveAndEffectsChangeOnRelease) {
    AddPlayer("Sam");
    CXStartMenu2* menu = OpenMenu();
    ASSERT_EQ(Click(menu, "btn_sm_options"), 1);
    ASSERT_NE(menu->FindChildWithWidgetId("dlg_options"), nullptr);
    EXPECT_EQ(TextOf(menu, "txt_music_volume"), "40%") << "the tuners show the stored volumes";
    EXPECT_EQ(TextOf(menu, "txt_sound_volume"), "60%");

    menu->OnMessage(menu, XMSG_TUNER_CHANGING, XIdParam("tuner_music"), 130);
    EXPECT_EQ(Data().m_nMusicVolume, 100) << "clamped";
    EXPECT_EQ(TextOf(menu, "txt_music_volume"), "100%");
    menu->OnMessage(menu, XMSG_TUNER_SET, XIdParam("tuner_music"), 70);
    EXPECT_EQ(Data().m_nMusicVolume, 70);

    menu->OnMessage(menu, XMSG_TUNER_CHANGING, XIdParam("tuner_sound"), 20);
    EXPECT_EQ(Data().m_nEffectsVolume, 60) << "nothing while the sound slider moves";
    EXPECT_EQ(TextOf(menu, "txt_sound_volume"), "60%");
    menu->OnMessage(menu, XMSG_TUNER_SET, XIdParam("tuner_sound"), 20);
    EXPECT_EQ(Data().m_nEffectsVolume, 20);
    EXPECT_EQ(TextOf(menu, "txt_sound_volume"), "20%");
    EXPECT_EQ(menu->m_nSoundCooldown, 16) << "the tick sound played";
    menu->RunProcess();
    menu->OnMessage(menu, XMSG_TUNER_SET, XIdParam("tuner_sound"), 30);
    EXPECT_EQ(Data().m_nEffectsVolume, 30);
    EXPECT_EQ(menu->m_nSoundCooldown, 15) << "no second tick within 16 frames";
    menu->OnMessage(menu, XMSG_TUNER_SET, XIdParam("tuner_sound"), -5);
    EXPECT_EQ(Data().m_nEffectsVolume, 0);
}

TEST_F(StartMenuTest, TheOptionsComeBackFromTheLanguageDialogWithTheStoredVolumes) {
    AddPlayer("Sam");
    Data().m_nMusicVolume = 35;
    Data().m_nEffectsVolume = 75;
    CXStartMenu2* menu = OpenMenu();
    Ticks(40);
    ASSERT_EQ(Click(menu, "btn_sm_options"), 1);
    Ticks(40);
    auto check = [&](const char* when) {
        auto* music = dynamic_cast<XTuner*>(menu->FindChildWithWidgetId("tuner_music"));
        auto* sound = dynamic_cast<XTuner*>(menu->FindChildWithWidgetId("tuner_sound"));
        ASSERT_NE(music, nullptr) << when;
        ASSERT_NE(sound, nullptr) << when;
        EXPECT_EQ(music->GetCurrent(), 35) << when;
        EXPECT_EQ(sound->GetCurrent(), 75) << when;
        EXPECT_EQ(TextOf(menu, "txt_music_volume"), "35%") << when;
        EXPECT_EQ(TextOf(menu, "txt_sound_volume"), "75%") << when;
    };
    check("opened from the menu");
    auto* options = dynamic_cast<XDialog*>(menu->FindChildWithWidgetId("dlg_options"));
    ASSERT_NE(options, nullptr);
    options->OnMessage(options, XMSG_CLICK, XIdParam("btn_options_lang"), 0);
    Ticks(40);
    auto* language = dynamic_cast<XDialog*>(menu->FindChildWithWidgetId("dlg_lang"));
    ASSERT_NE(language, nullptr);
    ASSERT_EQ(menu->FindChildWithWidgetId("dlg_options"), nullptr);
    language->OnMessage(language, XMSG_CLICK, XIdParam("btn_lang_ok"), 0);
    Ticks(40);
    ASSERT_NE(menu->FindChildWithWidgetId("dlg_options"), nullptr) << "OK goes back to the options";
    check("back from the language dialog");
}

TEST_F(StartMenuTest, TheTutorialSwitchFollowsItsCheckBox) {
    AddPlayer("Sam");
    CXStartMenu2* menu = OpenMenu();
    game.GetCurrentProfile()->m_bTutorialOn = true;
    menu->OnMessage(menu, XMSG_CHECK_TOGGLED, XIdParam("chk_options_tutorial"), 0);
    EXPECT_FALSE(game.GetCurrentProfile()->m_bTutorialOn);
    menu->OnMessage(menu, XMSG_CHECK_TOGGLED, XIdParam("chk_options_tutorial"), 1);
    EXPECT_TRUE(game.GetCurrentProfile()->m_bTutorialOn);
}

TEST_F(StartMenuTest, TheTitleReachesFullSizeOnTheSeventhFrameAndOnlyThenSparkles) {
    AddPlayer("Sam");
    CXStartMenu2* menu = OpenMenu();
    CQuorvanParticleSystem2* sparkles = game.m_pParticleManager->GetParticleSystemNamed("StartMenuLogo");
    EXPECT_EQ(menu->m_dTitleScale, 0.01);
    for (int frame = 1; frame <= 6; ++frame) menu->RunProcess();
    EXPECT_DOUBLE_EQ(menu->m_dTitleScale, 0.64);
    EXPECT_TRUE(sparkles->IsStopped());
    menu->RunProcess();
    EXPECT_EQ(menu->m_dTitleScale, 1.0);
    EXPECT_FALSE(sparkles->IsStopped());
    // On a 480-high screen the title's centre is 65 px down the middle.
    EXPECT_EQ(menu->m_nTitleX, 160 << 8);
    EXPECT_EQ(menu->m_nTitleY, 65 << 8);
}

TEST_F(StartMenuTest, ATappedBirdStretchesAndASecondTapFallsThrough) {
    AddPlayer("Sam");
    CXStartMenu2* menu = OpenMenu();
    Ticks(20);
    const TRect2D zone = menu->m_LeftBirdZone;
    const int x = (zone.x + zone.width / 2) >> 8;
    const int y = (zone.y + zone.height / 2) >> 8;
    EXPECT_EQ(menu->NotifyPointerEvent(x, y, XPOINTER_PRESS), 1);
    EXPECT_TRUE(menu->m_bLeftBirdTapped);
    const Bouncer& bird = menu->m_Bouncers[CXStartMenu2::kLeftBird];
    EXPECT_EQ(bird.value, 0.0f);
    EXPECT_FLOAT_EQ(bird.velocity, 0.16f);
    // Up (7 frames), down to the bottom where the flag clears, then up at the fast speed until the
    // top, where the normal speed returns.
    menu->NotifyPointerEvent(x, y, XPOINTER_RELEASE);
    const float before = bird.value;
    EXPECT_EQ(menu->NotifyPointerEvent(x, y, XPOINTER_PRESS), 1) << "a tap on the scene is always taken";
    EXPECT_EQ(bird.value, before) << "the flag was set: the tap went on to the next zone";
    int frames = 0;
    while (menu->m_bLeftBirdTapped && frames < 100) {
        menu->RunProcess();
        ++frames;
    }
    EXPECT_EQ(frames, 14) << "0 to 1 and back at 0.16 a frame";
    while (bird.velocity > 0 && frames < 100) {
        menu->RunProcess();
        ++frames;
    }
    EXPECT_FLOAT_EQ(bird.velocity, -0.015f) << "the normal speed after the next top";
}

TEST_F(StartMenuTest, ACloudLeavingOnTheRightComesBackFromTheLeft) {
    AddPlayer("Sam");
    CXStartMenu2* menu = OpenMenu();
    ASSERT_EQ(menu->m_CloudPos.count, 8);
    const int width = game.m_Screen.m_pBackBuffer->m_Width;
    menu->m_CloudPos[3].x = ((width + 120) << 8) - menu->m_CloudVel[3].x;
    menu->RunProcess();
    EXPECT_EQ(menu->m_CloudPos[3].x, -60 << 8);
    const int y = menu->m_CloudPos[3].y >> 8;
    EXPECT_GE(y, 0);
    EXPECT_LT(y, 120);
    // Higher clouds are faster: 0.5 px a frame at the top, 0.15 at 120 px (to 1/256 px).
    EXPECT_NEAR(menu->m_CloudVel[3].x / 256.0, 0.15 + (1.0 - y / 120.0) * 0.35, 1.0 / 256);
}

// A 3:4 tablet (1200 x 1600) plays at 360 x 480 and a square display at 480 x 480: the meadow
// must reach both sides of the screen's lower half there as on a phone, with no black band at
// either side. Pictures stay in screens/start-menu/.
class StartMenuWideTest : public StartMenuTest, public ::testing::WithParamInterface<int> {
protected:
    TCoord2D ScreenSize() const override { return {GetParam(), 480}; }
};

TEST_P(StartMenuWideTest, TheMeadowReachesBothSidesOfTheScreen) {
    const int width = GetParam();
    AddPlayer("Sam");
    CXStartMenu2* menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    Ticks(40);
    const mediatest::TImage img = Frame();
    ASSERT_EQ(img.width, width);
    KeepPicture(img, "start-menu", "meadow_" + std::to_string(width) + "x480.png");
    const auto black = [&](int x0, int x1) {
        int n = 0;
        for (int y = 240; y < 480; ++y)
            for (int x = x0; x < x1; ++x) {
                const auto p = img.At(x, y);
                n += p[0] < 24 && p[1] < 24 && p[2] < 24 ? 1 : 0;
            }
        return n;
    };
    // The four outermost columns of the lower half on each side (the plates and buttons stand further in).
    EXPECT_LT(black(0, 4), 40) << "left edge";
    EXPECT_LT(black(width - 4, width), 40) << "right edge";
    // Green meadow along both edges near the bottom.
    const auto green = [&](int x0, int x1) {
        int n = 0;
        for (int y = 440; y < 480; ++y)
            for (int x = x0; x < x1; ++x) {
                const auto p = img.At(x, y);
                n += p[1] > 100 && p[1] > p[0] && p[1] > p[2] ? 1 : 0;
            }
        return n;
    };
    EXPECT_GT(green(0, 4), 80) << "left edge";
    EXPECT_GT(green(width - 4, width), 80) << "right edge";
}

INSTANTIATE_TEST_SUITE_P(PhoneTabletAndSquare, StartMenuWideTest, ::testing::Values(320, 360, 480));

}  // namespace
