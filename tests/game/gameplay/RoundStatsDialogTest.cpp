// The round statistics over a finished round: the count-up's timeline frame by frame, the press
// that ends it, the caption of a new best, the buttons, and the experience meter with its
// applause, rings, badge and achievement 17. The dialog is built from the suites' small template
// under the round screen; the sparks it emits are heard through its virtual emitters, its sounds
// through the recording sound system.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "RoundTestGame.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/GameFonts.h"
#include "text/BitmapFont.h"
#include "game/screens/MenuMusic.h"
#include "game/screens/RoundStatsDialog.h"
#include "game/screens/RoundStatsQuests.h"
#include "game/widgets/ConfirmBuyDialog.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemManager.h"
#include "ui/GameButton.h"
#include "ui/Template.h"
#include "ui/Text.h"
#include "ui/WidgetMakers.h"

namespace {

using namespace gameplaytest;

struct TBand {
    int x1, x2, y;
    bool operator==(const TBand&) const = default;
};
struct TRing {
    int x, y, r;
    bool operator==(const TRing&) const = default;
};

// The dialog, noting where its sparks go.
class CHeardStats : public CXRoundStatsDialog {
public:
    using CXRoundStatsDialog::CXRoundStatsDialog;
    void EmitParticles(int x1, int x2, int y) override { bands.push_back({x1, x2, y}); }
    void EmitParticlesCircle(int x, int y, int r) override { rings.push_back({x, y, r}); }
    std::vector<TBand> bands;
    std::vector<TRing> rings;
};

// The round's results as game over leaves them, in the profile and on the screen.
struct TResults {
    int score = 1000;
    int pickedUp = 7;
    int fromScore = 1;
    int coinsAfter = 108;  // the profile's, the round's included
    unsigned int xpBefore = 1000;
    unsigned int xpAfter = 2000;
    int boostPoints = 0;
};

class RoundStatsTest : public RoundTest {
protected:
    RoundStatsTest() = default;
    explicit RoundStatsTest(const std::string& templ) : RoundTest(RoundTextsCsv(), RoundScreenSets(), templ.c_str()) {}
    // The results written, then the dialog opened under the round screen as its action opens it.
    CHeardStats* Open(const TResults& r, const char* record = "dlg_level_failed2") {
        screen->m_bGameOver = true;
        screen->m_nScore = r.score;
        screen->m_nCoinsPickedUp = r.pickedUp;
        screen->m_nCoinsFromScore = r.fromScore;
        screen->m_nRoundCoins = r.pickedUp + r.fromScore;
        screen->m_uExperienceBefore = r.xpBefore;
        profile->m_nCoins = r.coinsAfter;
        profile->m_uExperiencePoints = r.xpAfter;
        profile->m_nBoostPoints = r.boostPoints;
        TTemplate* templ = screen->GetTemplate();
        auto* widget = const_cast<TWidget*>(templ->GetWidget(record));
        EXPECT_NE(widget, nullptr);
        auto* dialog =
            static_cast<CHeardStats*>(InitOrFreeWidget(new CHeardStats(screen, templ, widget, nullptr, screen)));
        screen->m_pRoundStatsDialog = dialog;
        return dialog;
    }
    // Frames of the dialog's own update.
    void Run(CXRoundStatsDialog* d, int frames) {
        for (int i = 0; i < frames; ++i) d->RunProcess();
    }
    // Frames until the section changes (at most a bound): how many it took.
    int RunUntilSectionChanges(CXRoundStatsDialog* d, int bound = 200) {
        const int from = d->GetSection();
        for (int n = 1; n <= bound; ++n) {
            d->RunProcess();
            if (d->GetSection() != from) return n;
        }
        return -1;
    }
    bool Visible(CXRoundStatsDialog* d, const char* id) {
        XWidget* w = d->FindChildWithWidgetId(id);
        return w != nullptr && w->IsVisible();
    }
    // The screen with no curtain up and no switch parked, so that the next post parks.
    void NoCurtain() {
        screen->StartEffectIn();
        while (screen->IsTransitionRunning()) (void)screen->RunEffectProgress();
        screen->SetupSavedMessage(nullptr, 0, 0, 0, false);
    }
    static long long RankPoints(int rank) { return CTheGame::GetXP_Rank2Points(rank); }
};

TEST_F(RoundStatsTest, TheFirstDelayThenTheScoreCountsInStepsOfATwentySecondAndEndsExact) {
    CHeardStats* d = Open(TResults{});
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->GetSection(), 0);
    EXPECT_EQ(d->GetDelay(), 33);
    Run(d, 33);
    EXPECT_EQ(d->GetSection(), 0) << "33 frames of fade-in pass before anything counts";
    EXPECT_TRUE(d->bands.empty());
    EXPECT_EQ(Played("SFX_RoundStats_ShowSection"), 0);

    d->RunProcess();  // section 0 acts
    EXPECT_EQ(d->GetSection(), 1);
    EXPECT_DOUBLE_EQ(d->GetStep(), 1000.0 / 22.0);
    EXPECT_EQ(d->GetSectionAlpha(0), 1);
    EXPECT_EQ(d->bands, (std::vector<TBand>{{160 - 120, 160 + 20, 65}}));
    EXPECT_EQ(Played("SFX_RoundStats_ShowSection"), 1);
    EXPECT_TRUE(Visible(d, "btn_leaderboards"));
    EXPECT_TRUE(Visible(d, "img_hzline1"));
    EXPECT_FALSE(Visible(d, "btn_failed_continue"));

    // Each frame adds a 22nd of the score, never past it; the counting sound starts on the first.
    double expected = 0;
    int frames = 0;
    while (d->GetSection() == 1 && frames < 40) {
        d->RunProcess();
        ++frames;
        if (d->GetSection() != 1) break;
        expected = std::min(expected + 1000.0 / 22.0, 1000.0);
        EXPECT_DOUBLE_EQ(d->GetShownValue(CXRoundStatsDialog::kRoundScore), expected) << "frame " << frames;
        if (frames == 1) {
            EXPECT_EQ(Played("SFX_RoundStats_IncCoinValue"), 1);
        }
    }
    EXPECT_EQ(d->GetSection(), 2);
    EXPECT_GE(frames, 23) << "22 steps, then the frame that sees the target";
    EXPECT_LE(frames, 24);
    EXPECT_EQ(d->GetShownValue(CXRoundStatsDialog::kRoundScore), 1000.0) << "exact at the end";
    EXPECT_EQ(Played("SFX_RoundStats_IncCoinValue"), 1) << "once for the section";
}

TEST_F(RoundStatsTest, AScoreOfNothingStillTakesTwentyTwoFrames) {
    TResults r;
    r.score = 0;
    CHeardStats* d = Open(r);
    Run(d, 34);
    ASSERT_EQ(d->GetSection(), 1);
    EXPECT_DOUBLE_EQ(d->GetStep(), 1.0) << "at least one a frame";
    EXPECT_EQ(RunUntilSectionChanges(d), 22);
    EXPECT_EQ(d->GetShownValue(CXRoundStatsDialog::kRoundScore), 0.0) << "capped at the target";
}

// Without the sound manager or the particle manager (a device without sound, a game without its
// effects) the statistics still count every value to its end, silently and without sparks.
TEST_F(RoundStatsTest, WithoutSoundOrEffectsTheCountUpStillReachesItsEnd) {
    for (const bool noSound : {true, false}) {
        SCOPED_TRACE(noSound ? "no sound manager" : "no particle manager");
        CSoundManager* sounds = game.m_pSoundManager;
        CQuorvanParticleSystemManager2* particles = game.m_pParticleManager;
        const int declared = game.m_ParticleEffectIndex[9];
        if (noSound) {
            game.m_pSoundManager = nullptr;
        } else {
            game.m_pParticleManager = nullptr;
            game.m_ParticleEffectIndex[9] = 0;  // the sparkle declared all the same
        }
        TResults r;
        CHeardStats* d = Open(r);
        Run(d, 300);
        EXPECT_EQ(d->GetShownValue(CXRoundStatsDialog::kRoundScore), 1000.0);
        EXPECT_EQ(d->GetShownValue(CXRoundStatsDialog::kRoundTotal), 8.0) << "7 picked up and 1 from the score";
        EXPECT_EQ(d->GetShownValue(CXRoundStatsDialog::kCoinTotal), 108.0);
        screen->m_pRoundStatsDialog = nullptr;
        SAFE_FREE_XELEMENT(d);
        game.m_pSoundManager = sounds;
        game.m_pParticleManager = particles;
        game.m_ParticleEffectIndex[9] = declared;
    }
}

// On opening, the lines, the quests caption and the buttons wait hidden and transparent to fade in
// with their sections (the four sharing buttons as one-state buttons); the caption and the farm
// button stand at once.
TEST_F(RoundStatsTest, OnOpeningWhatComesLaterWaitsHiddenAndTransparent) {
    CHeardStats* d = Open(TResults{});
    ASSERT_NE(d, nullptr);
    const struct {
        const char* id;
        bool waits, oneState;
    } rows[] = {{"img_hzline1", true, false},        {"img_hz_line_2", true, false},
                {"img_hzline3", true, false},        {"txt_current_quests", true, false},
                {"btn_leaderboards", true, true},    {"btn_stats_twitter", true, true},
                {"btn_stats_facebook", true, true},  {"btn_stats_facebook_why", true, true},
                {"btn_stats_exchange", true, false}, {"btn_failed_continue", true, false},
                {"txt_failed_cap", false, false},    {"btn_failed_farm", false, false}};
    for (const auto& row : rows) {
        XWidget* w = d->FindChildWithWidgetId(row.id);
        ASSERT_NE(w, nullptr) << row.id;
        EXPECT_EQ(w->IsVisible(), !row.waits) << row.id;
        EXPECT_EQ(w->GetOwnOpacity(), row.waits ? 0 : kOpacityFull) << row.id;
        if (auto* button = dynamic_cast<XGameButton*>(w)) {
            EXPECT_EQ(button->IsOneState(), row.oneState) << row.id;
        }
    }
}

TEST_F(RoundStatsTest, SectionsFollowWithDelaysOfThreeThenOneAndTheirRowsAndSparks) {
    CHeardStats* d = Open(TResults{});
    Run(d, 34);
    // Each completed section: the section that follows, the delay it waits, the band of sparks
    // (none for the coin total), and whether the counting sound stops with it (every coin count
    // but the score's, which the coins picked up follow at once).
    // Also the frames the step took (the previous delay, then 22 counting frames: every value
    // here is reached by then; -1 for the score's, which its own test follows) and the value
    // that starts counting from 0 with it.
    const struct {
        int section, delay;
        bool sparks;
        TBand band;
        bool stopsCounting;
        int frames, startsAtZero;
    } steps[] = {
        {2, 3, true, {160 - 105, 160 + 35, 115}, false, -1, CXRoundStatsDialog::kPickedUp},
        {3, 3, true, {160 - 105, 160 + 35, 145}, true, 25, CXRoundStatsDialog::kScoreBonus},
        {4, 3, true, {160 - 105, 160 + 35, 175}, true, 25, CXRoundStatsDialog::kRoundTotal},
        {5, 3, false, {}, true, 25, -1},
        {7, 3, false, {}, true, 25, -1},
        {8, 1, true, {160 - 80, 160 + 80, 282}, false, 4, -1},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.section);
        EXPECT_FALSE(Visible(d, "btn_failed_continue")) << "not before the quests";
        const std::size_t bands = d->bands.size();
        const int stops = Stopped("SFX_RoundStats_IncCoinValue");
        const int plays = Played("SFX_RoundStats_IncCoinValue");
        const int frames = RunUntilSectionChanges(d);
        ASSERT_GT(frames, 0);
        if (s.frames > 0) {
            EXPECT_EQ(frames, s.frames);
        }
        if (s.startsAtZero >= 0) {
            EXPECT_EQ(d->GetShownValue(s.startsAtZero), 0.0);
        }
        EXPECT_EQ(d->GetSection(), s.section);
        EXPECT_EQ(d->GetDelay(), s.delay);
        EXPECT_EQ(Stopped("SFX_RoundStats_IncCoinValue"), stops + (s.stopsCounting ? 1 : 0));
        // Played once a step: on a count's first frame, and for the quests as the meter starts.
        EXPECT_EQ(Played("SFX_RoundStats_IncCoinValue"), plays + 1);
        if (s.sparks) {
            ASSERT_GT(d->bands.size(), bands);
            EXPECT_EQ(d->bands[bands], s.band);
        } else {
            EXPECT_EQ(d->bands.size(), bands);
        }
    }
    EXPECT_TRUE(Visible(d, "btn_failed_continue"));
    EXPECT_TRUE(Visible(d, "txt_current_quests"));
    EXPECT_TRUE(Visible(d, "img_hzline3"));
    EXPECT_FALSE(Visible(d, "img_hz_line_2"));
    // The coin total counted from the coins before the round to those after.
    EXPECT_EQ(d->GetShownValue(CXRoundStatsDialog::kCoinTotal), 108.0);
    EXPECT_EQ(d->GetShownValue(CXRoundStatsDialog::kRoundTotal), 8.0);
    EXPECT_EQ(d->GetShownValue(CXRoundStatsDialog::kScoreBonus), 1.0);
    EXPECT_EQ(d->GetShownValue(CXRoundStatsDialog::kPickedUp), 7.0);
    // Four rows came in with their sound (the coin total silently), then the quests.
    EXPECT_EQ(Played("SFX_RoundStats_ShowSection"), 5);
    for (int row = 0; row < 5; ++row) EXPECT_GE(d->GetSectionAlpha(row), 1) << row;
    EXPECT_TRUE(d->IsMeterStarted());
    // The meter starts once, with sparks over its centre.
    EXPECT_EQ(d->bands.back(), (TBand{260 - 40, 260 + 40, 158}));
}

// Every band of sparks is placed from the middle of the screen: on a wider screen the rows' and
// the quests' bands move with it, and the meter's with the meter (right by half the extra width).
// Without a screen (0 here) everything stands where a 320-pixel screen puts it, and the gift-coins
// hint, which has no screen to centre on, is not opened.
TEST_F(RoundStatsTest, OnAWiderScreenEveryBandOfSparksMovesWithTheMiddle) {
    for (const int width : {320, 400, 0}) {
        SCOPED_TRACE(width);
        IDibBitmap* back = game.m_Screen.m_pBackBuffer;
        CWinDibBitmap* wide = nullptr;
        if (width > 0) {
            wide = new CWinDibBitmap(&game);
            ASSERT_EQ(wide->Create(width, 480), 1);
        }
        game.m_Screen.m_pBackBuffer = game.m_Screen.m_pDrawTarget = wide;
        CHeardStats* d = Open(TResults{});
        ASSERT_NE(d, nullptr);
        Run(d, 34);
        for (int i = 0; i < 8 && d->GetSection() != 8; ++i) ASSERT_GT(RunUntilSectionChanges(d), 0);
        if (width == 0) {
            d->RunGiftCoinsTutorial();
            EXPECT_EQ(d->GetTutorial(), nullptr);
        }
        const int half = (width > 0 ? width : 320) / 2;
        const int meter = 260 + (width > 0 ? width - 320 : 0) / 2;
        EXPECT_EQ(d->bands, (std::vector<TBand>{{half - 120, half + 20, 65},
                                                {half - 105, half + 35, 115},
                                                {half - 105, half + 35, 145},
                                                {half - 105, half + 35, 175},
                                                {half - 80, half + 80, 282},
                                                {meter - 40, meter + 40, 158}}));
        screen->m_pRoundStatsDialog = nullptr;
        SAFE_FREE_XELEMENT(d);
        game.m_Screen.m_pBackBuffer = game.m_Screen.m_pDrawTarget = back;
        delete wide;
    }
}

// With nothing to count on the meter, the first-rank-up flag is taken on the quests' eighteenth
// frame: one frame of delay, then seventeen rises of the badge counter (it must pass 16). A
// player who already has achievement 17 sees the flag cleared and no second banner.
TEST_F(RoundStatsTest, TheFirstRankUpFlagGoesOnTheQuestsEighteenthFrameWithOneBannerAtMost) {
    for (const bool alreadyAwarded : {false, true}) {
        SCOPED_TRACE(alreadyAwarded);
        TResults r;
        r.xpBefore = r.xpAfter = 1000;
        CHeardStats* d = Open(r);
        profile->m_bFirstRankUpSeen = true;
        profile->m_AchievementFlags[17] = alreadyAwarded ? 1 : 0;
        Run(d, 34);
        for (int i = 0; i < 8 && d->GetSection() != 8; ++i) ASSERT_GT(RunUntilSectionChanges(d), 0);
        ASSERT_EQ(d->GetSection(), 8);
        const int banners = QueuedAchievementBanners();
        for (int f = 1; f <= 17; ++f) {
            d->RunProcess();
            EXPECT_TRUE(profile->m_bFirstRankUpSeen) << f;
        }
        d->RunProcess();
        EXPECT_FALSE(profile->m_bFirstRankUpSeen);
        EXPECT_TRUE(profile->IsAchievementAwarded(17));
        Run(d, 30);
        EXPECT_EQ(QueuedAchievementBanners(), banners + (alreadyAwarded ? 0 : 1));
        screen->m_pRoundStatsDialog = nullptr;
        SAFE_FREE_XELEMENT(d);
    }
}

TEST_F(RoundStatsTest, TheCoinTotalCountsFromTheCoinsBeforeTheRound) {
    struct TCase {
        int pickedUp, fromScore, coinsAfter;
        double start, step;
        const char* why;
    };
    const TCase cases[] = {
        {7, 1, 108, 100.0, 1.0, "100 before, 8 earned: a step of at least 1"},
        {7, 300, 1000, 693.0, 307.0 / 22.0, "693 before, 307 earned"},
        {7, 1, 5, 0.0, 1.0, "fewer coins than earned: from 0"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        TResults r;
        r.pickedUp = c.pickedUp;
        r.fromScore = c.fromScore;
        r.coinsAfter = c.coinsAfter;
        CHeardStats* d = Open(r);
        Run(d, 34);
        for (int i = 0; i < 6 && d->GetSection() != 5; ++i) ASSERT_GT(RunUntilSectionChanges(d), 0);
        ASSERT_EQ(d->GetSection(), 5);
        EXPECT_EQ(d->GetShownValue(CXRoundStatsDialog::kCoinTotal), c.start);
        EXPECT_DOUBLE_EQ(d->GetStep(), c.step);
        Run(d, 3 + 2);  // the section's delay, then two counting frames
        EXPECT_DOUBLE_EQ(d->GetShownValue(CXRoundStatsDialog::kCoinTotal),
                         std::min(c.start + 2 * c.step, static_cast<double>(c.coinsAfter)));
        screen->m_pRoundStatsDialog = nullptr;
        SAFE_FREE_XELEMENT(d);
    }
}

TEST_F(RoundStatsTest, EachRowFadesInByTenAFrameFromItsStart) {
    CHeardStats* d = Open(TResults{});
    // The frame (from the opening) each row was started on; then 1 + 10 a frame, up to 255.
    int started[6] = {-1, -1, -1, -1, -1, -1};
    for (int frame = 0; frame < 460; ++frame) {
        d->RunProcess();
        for (int row = 0; row < 6; ++row) {
            const int alpha = d->GetSectionAlpha(row);
            if (started[row] < 0 && alpha != 0) started[row] = frame;
            if (started[row] >= 0) {
                EXPECT_EQ(alpha, std::min(1 + 10 * (frame - started[row]), 255)) << row << " at " << frame;
            }
        }
    }
    EXPECT_EQ(started[0], 33) << "the first row with the first section, after the opening's delay";
    for (int row = 1; row < 5; ++row) EXPECT_GT(started[row], started[row - 1]) << row << " after the one above";
}

TEST_F(RoundStatsTest, APressThatAChildTakesLeavesTheCountUpRunning) {
    CHeardStats* d = Open(TResults{});
    Run(d, 35);
    ASSERT_EQ(d->GetSection(), 1);
    ASSERT_TRUE(Visible(d, "btn_leaderboards"));
    const TCoordRect2D button = d->FindChildWithWidgetId("btn_leaderboards")->GetDrawingRect();
    EXPECT_EQ(d->NotifyPointerEvent(button.x + button.width / 2, button.y + button.height / 2, XPOINTER_PRESS), 1);
    EXPECT_EQ(d->GetSection(), 1) << "the button took the press";
    EXPECT_FALSE(d->IsMeterStarted());
    EXPECT_LT(d->GetShownValue(CXRoundStatsDialog::kRoundScore), 1000.0);
}

TEST_F(RoundStatsTest, TheMeterIsDoneOnlyOnceItsBurstsAreOver) {
    const long long rank2 = RankPoints(2);
    TResults r;
    r.xpBefore = static_cast<unsigned int>(rank2 - 10);
    r.xpAfter = static_cast<unsigned int>(rank2);
    CHeardStats* d = Open(r);
    EXPECT_FALSE(d->IsXPMeterProgressDone()) << "ten points still to count";
    Run(d, 34);
    d->ShowAll();
    int frames = 0;
    while (d->GetShownXP() < r.xpAfter && frames < 40) {
        d->RunProcess();
        ++frames;
    }
    ASSERT_EQ(d->GetShownXP(), r.xpAfter);
    ASSERT_EQ(d->GetBurstsLeft(), 3) << "the rank was crossed on the last step";
    while (d->GetBurstsLeft() > 0 && frames < 100) {
        EXPECT_FALSE(d->IsXPMeterProgressDone()) << d->GetBurstsLeft() << " bursts left";
        d->RunProcess();
        ++frames;
    }
    EXPECT_TRUE(d->IsXPMeterProgressDone());
}

TEST_F(RoundStatsTest, TheStatisticsPlayTheirMusicOnceOrStopTheRoundsWhenMusicIsOff) {
    const int kept[] = {g_cs_OGG_LoadedIndexes[2], g_cs_OGG_LoadedIndexes[5]};
    g_cs_OGG_LoadedIndexes[2] = 12;
    g_cs_OGG_LoadedIndexes[5] = 15;
    CApplicationData& data = *game.GetAppData();
    for (bool musicOn : {true, false}) {
        SCOPED_TRACE(musicOn);
        data.m_bMusicOn = true;
        game.m_pSoundManager->StopMusicTrackWithFadeOut(0);
        game.m_pSoundManager->PlayMusicTrack(2, true, 0, 0);  // the round's own track
        data.m_bMusicOn = musicOn;
        sound->streams.clear();
        CHeardStats* d = Open(TResults{});
        ASSERT_NE(d, nullptr);
        if (musicOn) {
            // Track 5 once, fading in over 26/256 s while the round's fades out over 128/256 s.
            EXPECT_EQ(sound->streams,
                      (std::vector<std::string>{"StopStreamWithFadeOut 12 128", "PlayStreamWithFadeIn 15 0 0 26"}));
            EXPECT_EQ(game.m_pSoundManager->GetCurrentMusicTrack(), 5);
        } else {
            EXPECT_EQ(sound->streams, (std::vector<std::string>{"StopStream 12"})) << "stopped at once";
            EXPECT_EQ(game.m_pSoundManager->GetCurrentMusicTrack(), -1);
        }
        screen->m_pRoundStatsDialog = nullptr;
        SAFE_FREE_XELEMENT(d);
    }
    g_cs_OGG_LoadedIndexes[2] = kept[0];
    g_cs_OGG_LoadedIndexes[5] = kept[1];
}

TEST_F(RoundStatsTest, TheMenusLoopTrackThreeFadingInOverFourSecondsAndOutOverTwo) {
    // What the start menu and the play screen play when the statistics send the player back.
    const int kept[] = {g_cs_OGG_LoadedIndexes[3], g_cs_OGG_LoadedIndexes[5]};
    g_cs_OGG_LoadedIndexes[3] = 13;
    g_cs_OGG_LoadedIndexes[5] = 15;
    CApplicationData& data = *game.GetAppData();
    data.m_bMusicOn = true;
    game.m_pSoundManager->PlayMusicTrack(5, false, 0, 0);
    sound->streams.clear();
    PlayMenuMusic(&game);
    EXPECT_EQ(sound->streams,
              (std::vector<std::string>{"StopStreamWithFadeOut 15 512", "PlayStreamWithFadeIn 13 0 1 1024"}));
    EXPECT_EQ(game.m_pSoundManager->GetCurrentMusicTrack(), 3);
    // Music off: the track stops at once.
    data.m_bMusicOn = false;
    sound->streams.clear();
    PlayMenuMusic(&game);
    EXPECT_EQ(sound->streams, (std::vector<std::string>{"StopStream 13"}));
    EXPECT_EQ(game.m_pSoundManager->GetCurrentMusicTrack(), -1);
    g_cs_OGG_LoadedIndexes[3] = kept[0];
    g_cs_OGG_LoadedIndexes[5] = kept[1];
}

TEST_F(RoundStatsTest, TheMeterStandsRightOfCentreOnWiderScreens) {
    // Centre (260, 158) and the bar's anchor x 283.75 on a 320-pixel screen, both moved right by
    // half the extra width; the bar's left is the anchor less half the shield's width, its top
    // 84 below the centre less half the shield's height.
    for (int width : {320, 400, 401}) {  // an odd width: half the extra, rounded down
        IDibBitmap* back = game.m_Screen.m_pBackBuffer;
        auto* wide = new CWinDibBitmap(&game);
        ASSERT_EQ(wide->Create(width, 480), 1);
        game.m_Screen.m_pBackBuffer = game.m_Screen.m_pDrawTarget = wide;
        CHeardStats* d = Open(TResults{});
        game.m_Screen.m_pBackBuffer = game.m_Screen.m_pDrawTarget = back;
        ASSERT_NE(d, nullptr);
        const int shift = (width - 320) / 2 * 256;
        const IDibBitmap* shield = d->GetMeterImage();
        EXPECT_EQ(d->GetMeterCentreX(), 260 * 256 + shift) << width;
        EXPECT_EQ(d->GetMeterCentreY(), 158 * 256) << width;
        EXPECT_EQ(d->GetBarLeft(), 283 * 256 + 192 + shift - shield->m_Width * 128) << width;
        EXPECT_EQ(d->GetBarTop(), (158 + 84) * 256 - shield->m_Height * 128) << width;
        screen->m_pRoundStatsDialog = nullptr;
        SAFE_FREE_XELEMENT(d);
        delete wide;
    }
}

TEST_F(RoundStatsTest, OpeningStopsTheCountingSoundAndShownWidgetsFadeInByTen) {
    const int before = Stopped("SFX_RoundStats_IncCoinValue");
    CHeardStats* d = Open(TResults{});
    EXPECT_EQ(Stopped("SFX_RoundStats_IncCoinValue"), before + 1) << "a sound left from before";
    Run(d, 34);
    XWidget* leaderboards = d->FindChildWithWidgetId("btn_leaderboards");
    ASSERT_TRUE(leaderboards->IsVisible());
    ASSERT_EQ(leaderboards->GetOwnOpacity(), 0);
    for (int f = 1; f <= 3; ++f) {
        d->RunProcess();
        EXPECT_EQ(leaderboards->GetOwnOpacity(), f * 10 * 256) << f;
    }
}

TEST_F(RoundStatsTest, AFreePressJumpsToTheEndOnceASecondOnlyStopsTheSound) {
    TResults r;
    r.coinsAfter = 50;  // fewer than the round's coins: the total counts from 0
    CHeardStats* d = Open(r);
    Run(d, 34);
    ASSERT_GT(RunUntilSectionChanges(d), 0);
    ASSERT_EQ(d->GetSection(), 2);
    const int stopsBefore = Stopped("SFX_RoundStats_IncCoinValue");

    EXPECT_EQ(d->NotifyPointerEvent(160, 380, XPOINTER_PRESS), 1);  // nothing of the dialog there
    EXPECT_EQ(d->GetSection(), 8);
    const double finals[] = {1000, 7, 1, 8, 50};
    for (int v = 0; v < 5; ++v) EXPECT_EQ(d->GetShownValue(v), finals[v]) << v;
    for (int row = 0; row < 5; ++row) EXPECT_GE(d->GetSectionAlpha(row), 1) << row;
    EXPECT_TRUE(Visible(d, "btn_failed_continue"));
    EXPECT_TRUE(Visible(d, "txt_current_quests"));
    for (const char* hidden :
         {"btn_stats_facebook", "btn_stats_twitter", "btn_stats_facebook_why", "btn_stats_exchange", "img_hz_line_2"})
        EXPECT_FALSE(Visible(d, hidden)) << hidden;
    EXPECT_TRUE(d->IsMeterStarted());
    EXPECT_EQ(Stopped("SFX_RoundStats_IncCoinValue"), stopsBefore + 1);

    // The second press changes nothing but stops the sound again.
    const int played = static_cast<int>(sound->played.size());
    const std::size_t bands = d->bands.size();
    EXPECT_EQ(d->NotifyPointerEvent(160, 380, XPOINTER_PRESS), 1);
    EXPECT_EQ(d->GetSection(), 8);
    EXPECT_EQ(d->bands.size(), bands);
    EXPECT_EQ(static_cast<int>(sound->played.size()), played);
    EXPECT_EQ(Stopped("SFX_RoundStats_IncCoinValue"), stopsBefore + 2);
}

// A press early in the count-up: every value at once at its end (the gift coins too, though no
// row shows them), the rows not yet in start their fade from 1 while those in keep theirs.
TEST_F(RoundStatsTest, AFreePressDuringTheScoreSetsEveryValueAndStartsTheRowsNotYetIn) {
    profile->m_nCoinTally = 37;
    CHeardStats* d = Open(TResults{});
    Run(d, 34 + 2);
    ASSERT_EQ(d->GetSection(), 1);
    ASSERT_LT(d->GetShownValue(CXRoundStatsDialog::kRoundScore), 1000.0) << "still counting";
    const int first = d->GetSectionAlpha(0);
    ASSERT_GT(first, 1);
    EXPECT_EQ(d->NotifyPointerEvent(160, 380, XPOINTER_PRESS), 1);
    EXPECT_EQ(d->GetSection(), 8);
    const double finals[] = {1000, 7, 1, 8, 108, 37};
    for (int v = 0; v < CXRoundStatsDialog::kValueCount; ++v) EXPECT_EQ(d->GetShownValue(v), finals[v]) << v;
    EXPECT_EQ(d->GetSectionAlpha(0), first);
    for (int row = 1; row < 6; ++row) EXPECT_EQ(d->GetSectionAlpha(row), 1) << row;
}

// During the wait before the quests a press still ends the count-up: the continue button and the
// quests' caption stand at once.
TEST_F(RoundStatsTest, AFreePressDuringTheWaitBeforeTheQuestsEndsTheCountUp) {
    CHeardStats* d = Open(TResults{});
    Run(d, 34);
    for (int i = 0; i < 6 && d->GetSection() != 7; ++i) ASSERT_GT(RunUntilSectionChanges(d), 0);
    ASSERT_EQ(d->GetSection(), 7);
    ASSERT_GT(d->GetDelay(), 0);
    ASSERT_FALSE(Visible(d, "btn_failed_continue"));
    EXPECT_EQ(d->NotifyPointerEvent(160, 380, XPOINTER_PRESS), 1);
    EXPECT_EQ(d->GetSection(), 8);
    EXPECT_TRUE(Visible(d, "btn_failed_continue"));
    EXPECT_TRUE(Visible(d, "txt_current_quests"));
    EXPECT_TRUE(d->IsMeterStarted());
}

// The statistics' record with its children in another order: the first and the last child are
// ones that wait hidden, so that a press showing "every child" must reach both ends.
std::string TemplateWithHiddenChildrenAtBothEnds() {
    std::string t = kRoundTemplate;
    const auto take = [&t](const std::string& child) {
        const std::size_t at = t.find(child);
        if (at != std::string::npos) t.erase(at, child.size());
        return child;
    };
    const std::string caption = take(" child = txt_failed_cap\n position = 10, 14\n");
    const std::string last = take(" child = btn_failed_continue\n position = 238, 440\n");
    const std::string afterQuests = " child = txt_current_quests\n position = 10, 272\n";
    t.insert(t.find(afterQuests) + afterQuests.size(), caption);
    const std::string why = " child = btn_stats_facebook_why\n position = 284, 4\n";
    t.insert(t.find(why) + why.size(), last);
    return t;
}

class RoundStatsChildOrderTest : public RoundStatsTest {
protected:
    RoundStatsChildOrderTest() : RoundStatsTest(TemplateWithHiddenChildrenAtBothEnds()) {}
};

TEST_F(RoundStatsChildOrderTest, AFreePressShowsEveryChildButTheSharingOnes) {
    CHeardStats* d = Open(TResults{});
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(d->GetChildCount(), 12);
    EXPECT_EQ(d->GetChildPtrAt(0), d->FindChildWithWidgetId("txt_current_quests")) << "the template was reordered";
    EXPECT_EQ(d->GetChildPtrAt(11), d->FindChildWithWidgetId("btn_failed_continue"));
    // What waits hidden waits transparent, the first and the last child included.
    for (int i = 0; i < d->GetChildCount(); ++i) {
        auto* child = dynamic_cast<XWidget*>(d->GetChildPtrAt(i));
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(child->GetOwnOpacity(), child->IsVisible() ? kOpacityFull : 0) << i;
    }
    Run(d, 34);
    EXPECT_EQ(d->NotifyPointerEvent(160, 380, XPOINTER_PRESS), 1);
    ASSERT_EQ(d->GetSection(), 8);
    const struct {
        const char* id;
        bool shown;
    } rows[] = {{"txt_current_quests", true},      {"txt_failed_cap", true},        {"img_hzline1", true},
                {"img_hz_line_2", false},          {"img_hzline3", true},           {"btn_failed_farm", true},
                {"btn_leaderboards", true},        {"btn_stats_exchange", false},   {"btn_stats_twitter", false},
                {"btn_stats_facebook", false},     {"btn_stats_facebook_why", false}, {"btn_failed_continue", true}};
    for (const auto& row : rows) EXPECT_EQ(Visible(d, row.id), row.shown) << row.id;
    // Every child shown fades in to full, the first and the last included.
    Run(d, 26);
    for (const auto& row : rows)
        if (row.shown) {
            EXPECT_EQ(d->FindChildWithWidgetId(row.id)->GetOwnOpacity(), kOpacityFull) << row.id;
        }
}

TEST_F(RoundStatsTest, TheCaptionSaysNewHighScoreOnlyWithANewRow) {
    const struct {
        int row;
        const char* caption;
        unsigned char red, green, blue;
    } cases[] = {{0, "New High Score!", 100, 255, 100}, {-1, "Round results", 0, 0, 0}};
    for (const auto& c : cases) {
        game.m_nNewHighScoreRow = c.row;
        CHeardStats* d = Open(TResults{});
        ASSERT_NE(d, nullptr);
        auto* caption = dynamic_cast<XText*>(d->FindChildWithWidgetId("txt_failed_cap"));
        ASSERT_NE(caption, nullptr);
        EXPECT_STREQ(caption->GetCaption().GetDataConst(), c.caption) << c.row;
        if (c.row >= 0) {
            EXPECT_EQ(caption->GetLook().red, c.red);
            EXPECT_EQ(caption->GetLook().green, c.green);
            EXPECT_EQ(caption->GetLook().blue, c.blue);
        }
        d->Destroy();
        delete d;
        screen->m_pRoundStatsDialog = nullptr;
    }
}

TEST_F(RoundStatsTest, TheFactoryMakesTheDialogForTheRunningRoundAndAMissingWidgetFailsIt) {
    game.m_pGameplayScreen = screen;
    ASSERT_EQ(screen->DoAction(CommonString("ui_main.txt"), CommonString("acn_stats_on")), 1);
    auto* d = dynamic_cast<CXRoundStatsDialog*>(screen->FindChildWithWidgetId("dlg_level_failed2"));
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->GetRound(), screen);
    // A dialog record without the statistics' widgets cannot become the statistics.
    EXPECT_EQ(Open(TResults{}, "dlg_pause"), nullptr);
}

// The statistics' record without one of its widgets: the captions, the three lines and the five
// buttons are required (the record cannot become the statistics without any one of them); the
// tweet and farm buttons are not.
std::string TemplateWithoutChild(const std::string& id) {
    std::string t = kRoundTemplate;
    const std::string child = " child = " + id + "\n";
    const std::size_t at = t.find(child);
    if (at == std::string::npos) return t;
    std::size_t end = at + child.size();
    if (t.compare(end, 12, " position = ") == 0) end = t.find('\n', end) + 1;
    t.erase(at, end - at);
    return t;
}

struct TMissingChild {
    const char* id;
    bool required;
};

class RoundStatsMissingWidgetTest : public RoundTest, public ::testing::WithParamInterface<TMissingChild> {
protected:
    RoundStatsMissingWidgetTest()
        : RoundTest(RoundTextsCsv(), RoundScreenSets(), TemplateWithoutChild(GetParam().id).c_str()) {}
};

TEST_P(RoundStatsMissingWidgetTest, OnlyTheRequiredWidgetsFailTheStatistics) {
    TTemplate* templ = screen->GetTemplate();
    auto* widget = const_cast<TWidget*>(templ->GetWidget("dlg_level_failed2"));
    ASSERT_NE(widget, nullptr);
    auto* dialog = static_cast<CXRoundStatsDialog*>(
        InitOrFreeWidget(new CXRoundStatsDialog(screen, templ, widget, nullptr, screen)));
    EXPECT_EQ(dialog == nullptr, GetParam().required) << GetParam().id;
    if (dialog == nullptr) return;
    EXPECT_EQ(dialog->FindChildWithWidgetId(GetParam().id), nullptr) << "really left out";
    // Without it the other sharing buttons still wait hidden as one-state buttons, and the
    // count-up runs and ends.
    for (const char* id : {"btn_stats_facebook", "btn_stats_facebook_why"}) {
        auto* button = dynamic_cast<XGameButton*>(dialog->FindChildWithWidgetId(id));
        ASSERT_NE(button, nullptr) << id;
        EXPECT_FALSE(button->IsVisible()) << id;
        EXPECT_TRUE(button->IsOneState()) << id;
    }
    for (int i = 0; i < 40; ++i) dialog->RunProcess();
    dialog->ShowAll();
    EXPECT_EQ(dialog->GetSection(), 8);
    SAFE_FREE_XELEMENT(dialog);
}

// The statistics without one of the sprite sets they draw: the coin icon and the meter's shield
// and bar are each required.
std::vector<TSetSpec> SetsWithout(const std::string& name) {
    std::vector<TSetSpec> sets = RoundScreenSets();
    std::erase_if(sets, [&](const TSetSpec& s) { return name == s.name; });
    return sets;
}

class RoundStatsMissingSetTest : public RoundTest, public ::testing::WithParamInterface<const char*> {
protected:
    RoundStatsMissingSetTest() : RoundTest(RoundTextsCsv(), SetsWithout(GetParam())) {}
};

TEST_P(RoundStatsMissingSetTest, EachDrawnSetIsRequired) {
    ASSERT_EQ(game.m_pSpriteSetManager->GetSpriteSetNamed(GetParam()), nullptr) << "really left out";
    TTemplate* templ = screen->GetTemplate();
    auto* widget = const_cast<TWidget*>(templ->GetWidget("dlg_level_failed2"));
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(InitOrFreeWidget(new CXRoundStatsDialog(screen, templ, widget, nullptr, screen)), nullptr);
}

INSTANTIATE_TEST_SUITE_P(EachSet, RoundStatsMissingSetTest, ::testing::Values("HudCoin", "XPMeterBG", "XPMeterProg"));

// A meter set declared with optional images whose only image is missing: the set stands with one
// frame, and that frame is empty. The statistics cannot draw the meter and are not made.
class RoundStatsMissingImageTest : public RoundTest, public ::testing::WithParamInterface<const char*> {
protected:
    RoundStatsMissingImageTest() : RoundTest(RoundTextsCsv(), SetsWithout(GetParam())) {
        CSpriteSetManager& sets = *game.m_pSpriteSetManager;
        EXPECT_EQ(sets.AddSpriteSetMultiOptional(GetParam(), "t\\no_such_image%d.png", "", 1, 0, false, false), 1);
        EXPECT_EQ(sets.AddSpriteSetRef(GetParam()), 1);
    }
};

TEST_P(RoundStatsMissingImageTest, AMeterSetWithoutItsImageFailsTheStatistics) {
    CSpriteSet* set = game.m_pSpriteSetManager->GetSpriteSetNamed(GetParam());
    ASSERT_NE(set, nullptr);
    ASSERT_EQ(set->GetNumFrames(), 1);
    ASSERT_EQ(set->GetFrame(0), nullptr) << "the image really missing";
    TTemplate* templ = screen->GetTemplate();
    auto* widget = const_cast<TWidget*>(templ->GetWidget("dlg_level_failed2"));
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(InitOrFreeWidget(new CXRoundStatsDialog(screen, templ, widget, nullptr, screen)), nullptr);
}

INSTANTIATE_TEST_SUITE_P(EachMeterSet, RoundStatsMissingImageTest, ::testing::Values("XPMeterBG", "XPMeterProg"));

// The statistics' record with the quest list as a child, as the game's template has it.
std::string TemplateWithQuestList() {
    std::string t = kRoundTemplate;
    const std::string why = " child = btn_stats_facebook_why\n position = 284, 4\n";
    t.insert(t.find(why) + why.size(), " child = dlg_roundstats_scroll\n position = 0, 294\n");
    return t + "dialog = dlg_roundstats_scroll\nend\n";
}

// The quest list is a scroll list, which needs the scroller's edge set: with it the list is made
// and waits hidden; without it the list, and so the statistics, cannot be made.
class RoundStatsQuestListTest : public RoundTest, public ::testing::WithParamInterface<bool> {
protected:
    static std::vector<TSetSpec> Sets(bool edges) {
        std::vector<TSetSpec> sets = RoundScreenSets();
        if (edges) sets.push_back({"ScrollerEdge", 2});
        return sets;
    }
    RoundStatsQuestListTest() : RoundTest(RoundTextsCsv(), Sets(GetParam()), TemplateWithQuestList().c_str()) {}
};

TEST_P(RoundStatsQuestListTest, TheQuestListIsMadeHiddenOrFailsTheStatistics) {
    const bool edges = GetParam();
    TTemplate* templ = screen->GetTemplate();
    auto* widget = const_cast<TWidget*>(templ->GetWidget("dlg_level_failed2"));
    ASSERT_NE(widget, nullptr);
    auto* d = static_cast<CXRoundStatsDialog*>(
        InitOrFreeWidget(new CXRoundStatsDialog(screen, templ, widget, nullptr, screen)));
    EXPECT_EQ(d != nullptr, edges);
    if (d == nullptr) return;
    CXRoundStatsQuestsScrollDialog* list = d->GetQuestList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(d->FindChildWithWidgetId("dlg_roundstats_scroll"), list);
    EXPECT_FALSE(list->IsVisible());
    SAFE_FREE_XELEMENT(d);
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutEdges, RoundStatsQuestListTest, ::testing::Bool());

INSTANTIATE_TEST_SUITE_P(
    EachChild, RoundStatsMissingWidgetTest,
    ::testing::Values(TMissingChild{"txt_failed_cap", true}, TMissingChild{"txt_current_quests", true},
                      TMissingChild{"img_hzline1", true}, TMissingChild{"img_hz_line_2", true},
                      TMissingChild{"img_hzline3", true}, TMissingChild{"btn_leaderboards", true},
                      TMissingChild{"btn_stats_facebook", true}, TMissingChild{"btn_stats_facebook_why", true},
                      TMissingChild{"btn_stats_exchange", true}, TMissingChild{"btn_failed_continue", true},
                      TMissingChild{"btn_stats_twitter", false}, TMissingChild{"btn_failed_farm", false}));

TEST_F(RoundStatsTest, TheButtonsPostTheirScreensAndSharingStaysSilent) {
    CHeardStats* d = Open(TResults{});
    const struct {
        const char* id;
        int code, wparam;
    } cases[] = {{"btn_failed_continue", MSG_RUN_PLAY_SCREEN, 0},
                 {"btn_failed_farm", MSG_RUN_FARM, 0},
                 {"btn_leaderboards", MSG_RUN_LEADERBOARDS, MSG_RUN_PLAY_SCREEN}};
    for (const auto& c : cases) {
        NoCurtain();
        EXPECT_EQ(d->OnMessage(d, XMSG_CLICK, XIdParam(c.id), 0), 1);
        EXPECT_EQ(screen->GetSavedMessage().code, c.code) << c.id;
        EXPECT_EQ(static_cast<int>(screen->GetSavedMessage().wparam), c.wparam) << c.id;
        EXPECT_EQ(screen->GetSavedMessage().lparam, 0) << c.id;
    }
    EXPECT_FALSE(CanTwit());
    // Only a click acts: a button's press message posts nothing and starts no countdown.
    NoCurtain();
    for (const char* id : {"btn_failed_continue", "btn_failed_farm", "btn_leaderboards", "btn_stats_twitter"})
        (void)d->OnMessage(d, XMSG_PRESSED, XIdParam(id), 0);
    EXPECT_EQ(screen->GetSavedMessage().code, 0);
    EXPECT_EQ(d->GetTweetCountdown(), -1);
    // The facebook button is taken and does nothing; the tweet button's countdown swallows
    // every message and press until it runs out, and then nothing is sent.
    EXPECT_EQ(d->OnMessage(d, XMSG_CLICK, XIdParam("btn_stats_facebook"), 0), 1);
    EXPECT_EQ(d->OnMessage(d, XMSG_CLICK, XIdParam("btn_stats_twitter"), 0), 1);
    EXPECT_EQ(d->GetTweetCountdown(), 11);
    EXPECT_EQ(d->OnMessage(d, XMSG_CLICK, XIdParam("btn_failed_continue"), 0), 1);
    EXPECT_EQ(screen->GetSavedMessage().code, 0) << "swallowed while the countdown runs";
    EXPECT_EQ(d->NotifyPointerEvent(160, 380, XPOINTER_PRESS), 1);
    EXPECT_EQ(d->GetSection(), 0) << "a free press does not end the count-up meanwhile";
    Run(d, 10);
    EXPECT_EQ(d->GetTweetCountdown(), 1) << "a frame at a time";
    // Up to its last frame.
    EXPECT_EQ(d->OnMessage(d, XMSG_CLICK, XIdParam("btn_failed_continue"), 0), 1);
    EXPECT_EQ(screen->GetSavedMessage().code, 0);
    EXPECT_EQ(d->NotifyPointerEvent(160, 380, XPOINTER_PRESS), 1);
    EXPECT_EQ(d->GetSection(), 0);
    Run(d, 1);
    EXPECT_EQ(d->GetTweetCountdown(), -1);
    EXPECT_EQ(screen->GetSavedMessage().code, 0);
    // The share text names the score with commas and the arena.
    game.m_nNewHighScoreRow = -1;
    EXPECT_STREQ(d->PrepareShareText().GetDataConst(), "Can you beat my score 1,000 in Cobblebrooks on Arena 1?");
}

// The answers of the offer dialogs opened over the statistics reach the round: "yes" hands the
// chosen object to its yard (that yard made current, the farm opened), but only while the
// statistics are open and someone is playing; the cannot-buy dialog's coin button opens the coin
// shop on the play screen. Every one of these clicks is answered.
TEST_F(RoundStatsTest, AnOffersAnswerHandsThePurchaseOnOnlyWithTheStatisticsAndAPlayer) {
    CHeardStats* d = Open(TResults{});
    ASSERT_NE(d, nullptr);
    d->SetChosenObject(CommonString("yard2"), CommonString("heat_lamp"));
    CApplicationData& data = *game.GetAppData();
    const int player = data.m_nCurrentProfile;
    const struct {
        const char* why;
        const char* id;
        bool stats, playing;
        const char* pending;  // the purchase the yard is to make
        const char* yard;     // the player's current yard after
        int post;             // the screen switch posted; 0 none
        const char* start;    // the play screen's pending start action
    } cases[] = {
        {"yes over the statistics", "btn_confirm_buy_yes", true, true, "heat_lamp", "yard2", MSG_RUN_FARM, ""},
        {"yes without the statistics", "btn_confirm_buy_yes", false, true, "", "yard1", 0, ""},
        {"yes without a player", "btn_confirm_buy_yes", true, false, "", "yard1", 0, ""},
        {"more coins", "btn_can_buy_addcoins", true, true, "", "yard1", MSG_RUN_PLAY_SCREEN, "acn_addcoins_on"},
        {"more coins, no statistics", "btn_can_buy_addcoins", false, true, "", "yard1", MSG_RUN_PLAY_SCREEN,
         "acn_addcoins_on"},
    };
    const auto text = [](const CommonString& s) { return std::string(s.Length() > 0 ? s.GetDataConst() : ""); };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        NoCurtain();
        game.m_PendingPurchaseName = CommonString();
        game.m_PendingStartAction = CommonString();
        profile->m_CurrentYard = "yard1";
        screen->m_pRoundStatsDialog = c.stats ? d : nullptr;
        data.m_nCurrentProfile = c.playing ? player : -1;
        EXPECT_EQ(screen->OnMessage(screen, XMSG_CLICK, XIdParam(c.id), 0), 1);
        data.m_nCurrentProfile = player;
        EXPECT_EQ(text(game.m_PendingPurchaseName), c.pending);
        EXPECT_EQ(text(profile->m_CurrentYard), c.yard);
        EXPECT_EQ(screen->GetSavedMessage().code, c.post);
        EXPECT_EQ(text(game.m_PendingStartAction), c.start);
    }
    screen->m_pRoundStatsDialog = d;
}

// While the statistics are open the round makes their offer dialogs itself; any other record (a
// dialog, a text, a button) is made as anywhere else, never as an offer.
TEST_F(RoundStatsTest, WhileTheStatisticsAreOpenOtherChildrenAreMadeAsAnywhereElse) {
    CHeardStats* d = Open(TResults{});
    ASSERT_NE(d, nullptr);
    d->SetChosenObject(CommonString("yard1"), CommonString("grain_feeder"));
    TTemplate* templ = screen->GetTemplate();
    WidgetContext placement;
    const struct {
        const char* id;
        bool (*isItsKind)(XWidget*);
    } cases[] = {
        {"dlg_pause", [](XWidget* w) { return dynamic_cast<XDialog*>(w) != nullptr; }},
        {"txt_failed_cap", [](XWidget* w) { return dynamic_cast<XText*>(w) != nullptr; }},
        {"btn_failed_farm", [](XWidget* w) { return dynamic_cast<XButton*>(w) != nullptr; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        auto* record = const_cast<TWidget*>(templ->GetWidget(c.id));
        ASSERT_NE(record, nullptr);
        XWidget* made = screen->CreateAndInitChild(record, &placement);
        ASSERT_NE(made, nullptr);
        EXPECT_TRUE(c.isItsKind(made));
        EXPECT_EQ(dynamic_cast<CXConfirmBuyDialog*>(made), nullptr);
        EXPECT_EQ(made->GetRecord(), record);
        SAFE_FREE_XELEMENT(made);
    }
}

// The statistics' sparkle as the game's only particle effect, the first of its manager (index 0),
// declared at the star blinks' place of the game's effect list.
class RoundStatsSparkleTest : public RoundStatsTest {
protected:
    static constexpr int kStarBlinks = 9;
    RoundStatsSparkleTest() {
        game.m_pParticleManager = new CQuorvanParticleSystemManager2(&game, game.m_pRotatorScaler, 4);
        sparkle = AddParticleEffect("StarBlinks", kStarBlinks);
    }
    ~RoundStatsSparkleTest() override {
        sparkle->m_Info.m_pSpriteSet = nullptr;  // the suite's set, not the effect's own
        SafeDelete(game.m_pParticleManager);
    }
    // Sparks standing in the effect, as a round left them, and no more coming.
    void Seed(int count) {
        sparkle->Stop(true);
        sparkle->StartAt(100 * 65536, 100 * 65536);
        sparkle->EmitNewParticles(count);
        sparkle->Stop(false);
        ASSERT_EQ(sparkle->GetNumActiveParticels(), count);
    }
    CQuorvanParticleSystem2* sparkle = nullptr;
};

// The first row's start clears the sparks still standing from before, even when the sparkle is
// its manager's first effect.
TEST_F(RoundStatsSparkleTest, TheFirstRowsStartClearsTheSparksLeftEvenOfTheFirstEffect) {
    ASSERT_EQ(game.m_ParticleEffectIndex[kStarBlinks], 0);
    CHeardStats* d = Open(TResults{});
    ASSERT_NE(d, nullptr);
    Run(d, 33);
    ASSERT_EQ(d->GetSection(), 0);
    ASSERT_EQ(d->GetDelay(), 0) << "the next frame starts the first row";
    Seed(25);
    d->RunProcess();
    EXPECT_EQ(d->GetSection(), 1);
    EXPECT_EQ(sparkle->GetNumActiveParticels(), 0);
}

// Fully shown, the statistics run the particle effects one step a frame and clear the marks of
// what was drawn, so that everything is drawn anew; while they fade in, neither.
TEST_F(RoundStatsSparkleTest, FullyShownTheEffectsRunAStepAFrameAndAreDrawnAnew) {
    CHeardStats* d = Open(TResults{});
    ASSERT_NE(d, nullptr);
    Seed(3);
    const FIXED_FLOAT_16 step = sparkle->GetFrameStep();
    ASSERT_GT(step, 0);
    const FIXED_FLOAT_16 born = sparkle->GetParticles()[0].age;
    CQuorvanParticleSystemManager2& particles = *game.m_pParticleManager;
    const struct {
        FIXED_FLOAT opacity;
        int frames;
        bool runs;
    } rows[] = {{kOpacityFull - 256, 1, false}, {kOpacityFull, 1, true}, {kOpacityFull, 4, true}};
    FIXED_FLOAT_16 age = born;
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.opacity) + " for " + std::to_string(row.frames));
        d->ApplyOpacity(row.opacity);
        ASSERT_EQ(d->GetOpacity(), row.opacity);
        for (int i = 0; i < row.frames; ++i) {
            particles.DrawAndMark(nullptr, 0);
            d->RunProcess();
            EXPECT_EQ(particles.GetDrawMark(0), row.runs ? 0 : 1);
        }
        if (row.runs) age += row.frames * step;
        EXPECT_EQ(sparkle->GetParticles()[0].age, age);
        EXPECT_EQ(sparkle->GetNumActiveParticels(), 3);
    }
}

// The suites' template with a text that bears the quest list's name, as a template could.
class RoundStatsTextNamedAsTheListTest : public RoundStatsTest {
protected:
    RoundStatsTextNamedAsTheListTest()
        : RoundStatsTest(std::string(kRoundTemplate) + "text = dlg_roundstats_scroll\n caption = \"Quests\"\nend\n") {}
};

// Only the quest list's dialog record becomes the statistics' quest list; another dialog, a text
// inside them, or a text of the list's name is made as anywhere else.
TEST_F(RoundStatsTextNamedAsTheListTest, OnlyTheQuestListsRecordBecomesTheQuestList) {
    CHeardStats* d = Open(TResults{});
    ASSERT_NE(d, nullptr);
    TTemplate* templ = screen->GetTemplate();
    WidgetContext placement;
    for (const char* id : {"dlg_pause", "txt_current_quests", "dlg_roundstats_scroll"}) {
        SCOPED_TRACE(id);
        auto* record = const_cast<TWidget*>(templ->GetWidget(id));
        ASSERT_NE(record, nullptr);
        XWidget* made = d->CreateAndInitChild(record, &placement);
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(dynamic_cast<CXRoundStatsQuestsScrollDialog*>(made), nullptr);
        EXPECT_EQ(made->GetRecord(), record);
        EXPECT_EQ(d->GetQuestList(), nullptr);
        SAFE_FREE_XELEMENT(made);
    }
}

// The suites' template with the round's root binding the facebook button and another id to the
// pause panel's action, as a template could.
std::string TemplateWithTheRootBindingSharing() {
    std::string t = kRoundTemplate;
    const std::string root = "root = root_GAMEPLAY_NoAds\n";
    t.insert(t.find(root) + root.size(),
             " actions\n  onCommand = btn_stats_facebook, \"acn_pause_on\"\n"
             "  onCommand = btn_not_the_stats, \"acn_pause_on\"\n end\n");
    return t;
}

class RoundStatsUnderABindingRootTest : public RoundStatsTest {
protected:
    RoundStatsUnderABindingRootTest() : RoundStatsTest(TemplateWithTheRootBindingSharing()) {}
};

// The facebook button's click is taken by the statistics and goes no further, while a click they
// do not know reaches the round's bindings.
TEST_F(RoundStatsUnderABindingRootTest, TheFacebookClickGoesNoFurtherThanTheStatistics) {
    CHeardStats* d = Open(TResults{});
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->OnMessage(d, XMSG_CLICK, XIdParam("btn_stats_facebook"), 0), 1);
    EXPECT_EQ(screen->FindChildWithWidgetId("dlg_pause"), nullptr);
    EXPECT_EQ(d->OnMessage(d, XMSG_CLICK, XIdParam("btn_not_the_stats"), 0), 1);
    EXPECT_NE(screen->FindChildWithWidgetId("dlg_pause"), nullptr) << "the binding itself works";
}

// A dialog without a round reads the round's values as 0 and its meter starts from no
// experience; the coin total is still the profile's. Without a player the round's values stand
// and the profile's two read 0.
TEST_F(RoundStatsTest, WithoutARoundOrAPlayerTheirValuesReadZero) {
    screen->m_nScore = 1000;
    screen->m_nCoinsPickedUp = 7;
    screen->m_nCoinsFromScore = 1;
    screen->m_nRoundCoins = 8;
    screen->m_uExperienceBefore = 1234;
    profile->m_nCoins = 108;
    profile->m_nCoinTally = 37;
    profile->m_uExperiencePoints = 2000;
    CApplicationData& data = *game.GetAppData();
    const int player = data.m_nCurrentProfile;
    const struct {
        bool round, player;
        double finals[CXRoundStatsDialog::kValueCount];
        unsigned int shownXP;
    } cases[] = {
        {false, true, {0, 0, 0, 0, 108, 37}, 0},
        {true, false, {1000, 7, 1, 8, 0, 0}, 1234},
    };
    TTemplate* templ = screen->GetTemplate();
    auto* record = const_cast<TWidget*>(templ->GetWidget("dlg_level_failed2"));
    ASSERT_NE(record, nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.round ? "no player" : "no round");
        data.m_nCurrentProfile = c.player ? player : -1;
        auto* d = static_cast<CXRoundStatsDialog*>(
            InitOrFreeWidget(new CXRoundStatsDialog(screen, templ, record, nullptr, c.round ? screen : nullptr)));
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->GetShownXP(), c.shownXP);
        d->ShowAll();
        for (int v = 0; v < CXRoundStatsDialog::kValueCount; ++v) EXPECT_EQ(d->GetShownValue(v), c.finals[v]) << v;
        SAFE_FREE_XELEMENT(d);
        data.m_nCurrentProfile = player;
    }
}

// The share text: the round's score with thousands commas and its arena counted from 1, the
// boast of a new best whenever the round set a row (the first included); without a round, a
// score of 0 in arena 1.
TEST_F(RoundStatsTest, TheShareTextNamesScoreAndArenaAndBoastsOfANewBest) {
    const struct {
        int row, arena, score;
        bool round;
        const char* text;
    } cases[] = {
        {-1, 0, 1000, true, "Can you beat my score 1,000 in Cobblebrooks on Arena 1?"},
        {-1, 2, 1234567, true, "Can you beat my score 1,234,567 in Cobblebrooks on Arena 3?"},
        {0, 1, 987, true, "I've just got a new highscore 987 in Cobblebrooks on Arena 2. Can you beat that?"},
        {4, 2, 20500, true, "I've just got a new highscore 20,500 in Cobblebrooks on Arena 3. Can you beat that?"},
        {-1, 2, 5000, false, "Can you beat my score 0 in Cobblebrooks on Arena 1?"},
    };
    TTemplate* templ = screen->GetTemplate();
    auto* record = const_cast<TWidget*>(templ->GetWidget("dlg_level_failed2"));
    ASSERT_NE(record, nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        game.m_nNewHighScoreRow = c.row;
        screen->m_nArenaIndex = c.arena;
        screen->m_nScore = c.score;
        auto* d = static_cast<CXRoundStatsDialog*>(InitOrFreeWidget(
            new CXRoundStatsDialog(screen, templ, record, nullptr, c.round ? screen : nullptr)));
        ASSERT_NE(d, nullptr);
        EXPECT_STREQ(d->PrepareShareText().GetDataConst(), c.text);
        SAFE_FREE_XELEMENT(d);
    }
}

// ---- The experience meter ----------------------------------------------------------------------

TEST_F(RoundStatsTest, InsideOneRankTheBarFillsWithoutApplauseAtOneStepAFrame) {
    TResults r;
    r.xpBefore = 1000;
    r.xpAfter = 5000;
    CHeardStats* d = Open(r);
    const long long rank2 = RankPoints(2);
    ASSERT_GT(rank2, 5000) << "the test stays inside rank 1";
    EXPECT_EQ(d->GetShownRank(), 1);
    EXPECT_STREQ(d->GetRankText().GetDataConst(), "1");
    const int step = static_cast<int>((rank2 - 1000) / 32);
    EXPECT_EQ(d->GetXPStep(), step);
    const int barWidth = d->GetBarImage()->m_Width;
    const auto widthAt = [&](double xp) {
        return static_cast<FIXED_FLOAT>(std::llround(xp / static_cast<double>(rank2) * 256.0) * barWidth);
    };
    EXPECT_EQ(d->GetBarWidth(), widthAt(1000));

    Run(d, 34);
    d->ShowAll();
    // The meter fades in over 8 frames; it counts from the frame it is opaque.
    for (int f = 1; f <= 8; ++f) {
        d->RunProcess();
        EXPECT_EQ(d->GetMeterAlpha(), std::min(32 * f, 255)) << f;
    }
    unsigned int shown = 1000 + step;  // the eighth frame counted once
    EXPECT_EQ(d->GetShownXP(), shown);
    // The counting sound goes on until the meter reaches the profile's experience.
    const int stops = Stopped("SFX_RoundStats_IncCoinValue");
    for (int f = 0; f < 200 && shown < 5000; ++f) {
        d->RunProcess();
        shown = std::min(shown + step, 5000u);
        EXPECT_EQ(d->GetShownXP(), shown);
        EXPECT_EQ(d->GetBarWidth(), widthAt(shown));
        EXPECT_EQ(Stopped("SFX_RoundStats_IncCoinValue"), stops + (shown == 5000 ? 1 : 0)) << shown;
    }
    EXPECT_EQ(d->GetShownXP(), 5000u);
    EXPECT_EQ(Played("SFX_APPLAUSE"), 0);
    EXPECT_TRUE(d->rings.empty());
    EXPECT_TRUE(d->IsXPMeterProgressDone());
}

// The bar shows the fraction of the shown rank's span, in 256ths of the bar's width: rank 1 spans
// 0 to 30000 points, rank 2 from 30000 on.
TEST_F(RoundStatsTest, TheBarIsTheFractionOfTheRankInWhole256ths) {
    const long long rank3 = RankPoints(3);
    ASSERT_EQ(RankPoints(2), 30000);
    const struct {
        unsigned int xp;
        long long fraction256;
    } cases[] = {{0, 0},           {7500, 64},   {15000, 128},
                 {22500, 192},     {29999, 256},  {30000, 0},
                 {static_cast<unsigned int>(30000 + (rank3 - 30000) * 3 / 4), 192}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.xp);
        TResults r;
        r.xpBefore = r.xpAfter = c.xp;
        CHeardStats* d = Open(r);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->GetBarWidth(), static_cast<FIXED_FLOAT>(c.fraction256 * d->GetBarImage()->m_Width));
        screen->m_pRoundStatsDialog = nullptr;
        SAFE_FREE_XELEMENT(d);
    }
}

// The rank's number stands centred on the meter at 1.15 times the font's size, its top 8.5 above
// the meter's centre less half its scaled height, both rounded to whole pixels.
TEST_F(RoundStatsTest, TheRankNumberIsCentredOnTheMeterAndRaised) {
    // Without "FontLifes" the number has no size and stands on the meter's centre, raised; the
    // suite on the real pak measures it with the game's font.
    const CBitmapFontText* font = game.m_Fonts[kGameFontLifes];
    for (const int rank : {1, 12}) {
        SCOPED_TRACE(rank);
        TResults r;
        r.xpBefore = r.xpAfter = static_cast<unsigned int>(RankPoints(rank));
        CHeardStats* d = Open(r);
        ASSERT_NE(d, nullptr);
        ASSERT_EQ(d->GetShownRank(), rank);
        const std::string text = std::to_string(rank);
        const double width = font != nullptr ? font->Length2(text.c_str()) : 0;
        const double height = font != nullptr ? font->GetCharHeight() : 0;
        EXPECT_EQ(d->GetRankLeft(), 260 * 256 - static_cast<FIXED_FLOAT>(std::round(width * 0.575)) * 256);
        EXPECT_EQ(d->GetRankTop(), 158 * 256 - 8 * 256 - 128 - static_cast<FIXED_FLOAT>(std::round(height * 0.575)) * 256);
        screen->m_pRoundStatsDialog = nullptr;
        SAFE_FREE_XELEMENT(d);
    }
}

TEST_F(RoundStatsTest, CrossingARankApplaudsRingsFlashesAndGoesOnInTheNextRank) {
    const long long rank2 = RankPoints(2), rank3 = RankPoints(3);
    TResults r;
    r.xpBefore = static_cast<unsigned int>(rank2 - 10);  // a step of 10 / 32 becomes 1
    r.xpAfter = static_cast<unsigned int>(rank2 + 500);
    CHeardStats* d = Open(r);
    EXPECT_EQ(d->GetXPStep(), 1) << "at least one point a frame";
    Run(d, 34);
    d->ShowAll();
    Run(d, 8);  // the fade-in; its last frame counts once
    EXPECT_EQ(d->GetShownXP(), r.xpBefore + 1);
    // Nine more single steps reach rank 2 on the tenth.
    Run(d, 8);
    EXPECT_EQ(Played("SFX_APPLAUSE"), 0);
    d->RunProcess();
    EXPECT_EQ(d->GetShownXP(), static_cast<unsigned int>(rank2));
    EXPECT_EQ(d->GetShownRank(), 2);
    EXPECT_STREQ(d->GetRankText().GetDataConst(), "2");
    EXPECT_EQ(Played("SFX_APPLAUSE"), 1);
    EXPECT_EQ(d->GetBurstsLeft(), 3);
    EXPECT_EQ(d->GetXPStep(), static_cast<int>((rank3 - rank2) / 32));
    const FIXED_FLOAT full = d->GetBarImage()->m_Width * 256;
    EXPECT_EQ(d->GetBarWidth(), full) << "the bar flashes at full width";

    // Three rings, 13 frames apart, of radii 20, 30 and 40 round the meter's centre; the meter
    // does not count meanwhile.
    const int playsBefore = Played("SFX_RoundStats_IncCoinValue");
    std::vector<int> ringFrames;
    for (int f = 1; f <= 45; ++f) {
        const std::size_t rings = d->rings.size();
        d->RunProcess();
        if (d->rings.size() > rings) ringFrames.push_back(f);
        if (d->GetBurstsLeft() > 0) {
            EXPECT_EQ(d->GetShownXP(), static_cast<unsigned int>(rank2)) << f;
            EXPECT_EQ(d->GetBarWidth(), full) << f;
        }
    }
    EXPECT_EQ(d->rings, (std::vector<TRing>{{260, 158, 20}, {260, 158, 30}, {260, 158, 40}}));
    EXPECT_EQ(ringFrames, (std::vector<int>{12, 25, 38}));
    EXPECT_EQ(Played("SFX_RoundStats_IncCoinValue"), playsBefore + 1) << "the counting goes on after the rings";
    // Afterwards the bar starts again from the empty end of rank 2.
    const int barWidth = d->GetBarImage()->m_Width;
    const double fraction = static_cast<double>(d->GetShownXP() - rank2) / static_cast<double>(rank3 - rank2);
    EXPECT_EQ(d->GetBarWidth(), static_cast<FIXED_FLOAT>(std::llround(fraction * 256.0) * barWidth));
    EXPECT_LT(d->GetBarWidth(), full / 2);
}

TEST_F(RoundStatsTest, UnspentPointsBringTheBadgeInByTenAndAchievementSeventeenOnce) {
    TResults r;
    r.xpBefore = 1000;
    r.xpAfter = 1010;
    r.boostPoints = 2;
    CHeardStats* d = Open(r);
    profile->m_bFirstRankUpSeen = true;
    Run(d, 34);
    d->ShowAll();
    Run(d, 8);  // the meter fades in and catches up on its first step
    ASSERT_TRUE(d->IsXPMeterProgressDone());
    EXPECT_EQ(d->GetBadgeAlpha(), 10 * 256);
    for (int f = 2; f <= 30; ++f) {
        d->RunProcess();
        EXPECT_EQ(d->GetBadgeAlpha(), std::min(10 * f, 255) * 256) << f;
    }
    EXPECT_FALSE(profile->m_bFirstRankUpSeen);
    EXPECT_TRUE(profile->IsAchievementAwarded(17));
    EXPECT_EQ(QueuedAchievementBanners(), 1);
    Run(d, 40);
    EXPECT_EQ(QueuedAchievementBanners(), 1) << "once";
}

TEST_F(RoundStatsTest, AchievementSeventeenWaitsSixteenFramesAfterTheMeterCatchesUp) {
    TResults r;
    r.xpBefore = 1000;
    r.xpAfter = 1010;
    CHeardStats* d = Open(r);
    profile->m_bFirstRankUpSeen = true;
    Run(d, 34);
    d->ShowAll();
    // The delay has no effect at section 8: the badge counter runs on every counting frame on
    // which the meter has caught up, from the frame it first has.
    int frames = 0;
    while (!d->IsXPMeterProgressDone() && frames < 50) {
        d->RunProcess();
        ++frames;
    }
    ASSERT_TRUE(d->IsXPMeterProgressDone());
    // The counter rises on the section's step, which comes before the meter's step in a frame:
    // the first frame that sees the meter done is the next one.
    for (int f = 1; f <= 16; ++f) {
        d->RunProcess();
        EXPECT_FALSE(profile->IsAchievementAwarded(17)) << f;
    }
    d->RunProcess();
    EXPECT_TRUE(profile->IsAchievementAwarded(17));
}

}  // namespace

namespace {

TEST_F(RoundStatsTest, ASharedNewBestPaysFiveCoinsOncePerServiceAndNothingWithoutOne) {
    const struct {
        const char* why;
        int newRow;
        bool tweet;
        int coinsAfter;  // after two answers of the service
        const char* banner;
    } cases[] = {
        {"a tweet of a new best", 0, true, 113, "5 Coins for Highscore tweet!"},
        {"a post of a new best", 2, false, 113, "5 Coins for Highscore Post!"},
        {"no new best: nothing", -1, true, 108, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        game.m_nNewHighScoreRow = c.newRow;
        CHeardStats* d = Open(TResults{});
        const int banners = QueuedAchievementBanners();
        const auto answer = [&](bool ok) {
            if (c.tweet)
                d->OnPostToTwitterResult(ok);
            else
                d->OnPostToFacebookResult(ok);
        };
        answer(false);
        EXPECT_EQ(profile->m_nCoins, 108) << "a share that failed pays nothing";
        EXPECT_EQ(QueuedAchievementBanners(), banners);
        answer(true);
        EXPECT_EQ(profile->m_nCoins, c.coinsAfter) << "paid on the first answer";
        answer(true);
        EXPECT_EQ(profile->m_nCoins, c.coinsAfter);
        EXPECT_EQ(QueuedAchievementBanners(), banners + (c.banner != nullptr ? 1 : 0));
        if (c.banner != nullptr) {
            const CAchievementsManager& awards = *game.m_pAchievementsManager;
            EXPECT_EQ(awards.GetQueuedType(banners), kAwardCoins);
            EXPECT_STREQ(awards.GetQueuedTitle(banners).GetDataConst(), c.banner);
            EXPECT_EQ(d->GetShownValue(CXRoundStatsDialog::kCoinTotal), c.coinsAfter);
        }
        d->Destroy();
        delete d;
        screen->m_pRoundStatsDialog = nullptr;
    }
}

}  // namespace
