// The leaderboards screen on the real pak: opened from the start menu and after a round with a new
// high score (seeded in the game object's hand-over fields, as the round leaves them), the tabs
// with their kept offsets and the cross-fade of 48 an update, the pulse of the new row, the
// columns on narrow and wide screens, the buttons, and frames kept as pictures. The list's motion
// is DrawnScrollListTest's.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "ScoreScreensTest.h"
#include "audio/SoundManager.h"
#include "game/progress/HighScoreTable.h"
#include "testsupport/StubSoundSystem.h"
#include "ui/Text.h"

namespace {

using mediatest::TImage;
using Pixel = std::array<std::uint8_t, 4>;
using TPost = CRealPakGame::TPost;

constexpr int kListTop = 100;     // the template's placement of dlg_leader_scroll
constexpr int kListHeight = 324;  // its size on a 480-pixel screen
constexpr int kRowHeight = 31;

bool Orange(const Pixel& p) { return p[0] > 200 && p[1] > 50 && p[1] < 150 && p[2] < 60; }
bool White(const Pixel& p) { return p[0] > 230 && p[1] > 230 && p[2] > 230; }

using CRecordingSound = CEffectRecordingSoundSystem;

class LeadersScreenTest : public ScoreScreensTest {
protected:
    void SetUp() override {
        ScoreScreensTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        sound = new CRecordingSound();
        game.m_pSoundSystem = sound;  // the game deletes it
        ASSERT_TRUE(game.m_pSoundManager->AddReference(CommonString("SFX_APPLAUSE")));
    }
    CXLeadersScrollDialog* OpenList(int returnMessage = MSG_RUN_START_MENU) {
        CXLeadersScreen* screen = OpenLeaders(returnMessage);
        return screen != nullptr ? screen->m_pScrollDialog : nullptr;
    }
    int Applause() const {
        int n = 0;
        for (const std::string& file : sound->played) n += file.find("applause") != std::string::npos ? 1 : 0;
        return n;
    }
    std::string LevelName() {
        auto* text = dynamic_cast<XText*>(game.m_pLeadersScreen->FindChildWithWidgetId("txt_leaderboard_levelname"));
        return text != nullptr ? text->GetCaption().GetDataConst() : "(missing)";
    }
    // Presses and lifts tab i (0-based) where a player would, through the game object.
    void TapTab(int i) {
        CXTabBase* tab = game.m_pLeadersScreen->m_pTabControl->GetTab(i);
        ASSERT_NE(tab, nullptr);
        const TCoord2D centre = tab->CalcCenter();
        Touch(XPOINTER_PRESS, centre.x, centre.y);
        Touch(XPOINTER_RELEASE, centre.x, centre.y);
    }
    std::vector<bool> ActiveTabs() {
        std::vector<bool> active;
        CXTabControlBase* tabs = game.m_pLeadersScreen->m_pTabControl;
        for (int i = 0; i < tabs->GetChildCount(); ++i) active.push_back(tabs->GetTab(i)->IsActive());
        return active;
    }
    // Enters Sam's score into arena i's table so that it takes the row given.
    void SeedOwnRow(int arena, int row) {
        const CommonString name(("arena" + std::to_string(arena + 1)).c_str());
        THighScoreTable* table = Data().GetHighScoreTable(name);
        ASSERT_NE(table, nullptr);
        int score = table->m_Scores.data[row] + 1;
        ASSERT_EQ(Data().SetLevelHighScoreInfo(name, CommonString("Sam"), score), row);
    }

    // The leaderboards opened from the play screen with a new high score noted at that row of that
    // table; with `seed` Sam's score is entered there first, as the round that just ended did.
    CXLeadersScrollDialog* OpenAfterNewHighScore(int table, int row, bool seed = true) {
        if (seed) SeedOwnRow(table, row);
        game.m_nNewHighScoreRow = row;
        game.m_nNewHighScoreTable = table;
        return OpenList(MSG_RUN_PLAY_SCREEN);
    }

    CRecordingSound* sound = nullptr;
};

TEST_F(LeadersScreenTest, FromTheStartMenuTheFirstTableAtItsTopWithoutBlinkOrApplause) {
    game.m_nNewHighScoreRow = -1;
    game.m_nNewHighScoreTable = 0;
    CXLeadersScrollDialog* list = OpenList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetCurrentTable(), 0);
    EXPECT_EQ(ActiveTabs(), (std::vector<bool>{true, false, false}));
    EXPECT_EQ(list->GetOffset(), -8 * 256);
    EXPECT_EQ(list->GetOwnRow(), -1) << "Sam has no entry yet";
    EXPECT_EQ(LevelName(), "Clover Field");
    const TCoordRect2D area = list->GetVisibleRect();
    EXPECT_EQ(area.y, kListTop);
    EXPECT_EQ(area.height, kListHeight);
    EXPECT_EQ(list->GetMaximum(), (30 * kRowHeight - kListHeight) * 256);
    Ticks(40);
    EXPECT_EQ(list->GetBlinkValue(), 0.0f) << "no new row: no blink";
    EXPECT_EQ(Applause(), 0);
    const TImage frame = Frame();
    KeepPicture(frame, "leaderboards", "01_from_start_menu.png");
    EXPECT_EQ(Count(frame, 0, kListTop, 320, kListTop + kListHeight, Orange), 0);
    // The first row: "1." at x 20, the name at 50, the score ending at 300.
    const int y0 = kListTop - 4 + 8 + 4;
    int left = 320, right = 0;
    for (int y = y0; y < y0 + 16; ++y)
        for (int x = 0; x < 320; ++x)
            if (White(frame.At(x, y))) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    EXPECT_GE(left, 20);
    EXPECT_LE(left, 23);
    EXPECT_LE(right, 300);
    EXPECT_GE(right, 292);
    EXPECT_GT(Count(frame, 50, y0, 60, y0 + 16, White), 5) << "the name column";
}

// The new row's top is scrolled half the list's height above the middle: row 10 of the second
// table lies 10 x 31 - 324 / 2 = 148 pixels down; row 2 would be 100 pixels above the top, so
// the list holds at its first row (-8).
TEST_F(LeadersScreenTest, ANewHighScoreRowIsScrolledToTheMiddleOfTheList) {
    SeedOwnRow(1, 10);
    SeedOwnRow(1, 2);  // the first entry moves the second down: Sam holds rows 2 and 11
    const struct {
        int row;
        int offset;  // pixels
    } cases[] = {{10, 148}, {2, -8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        CXLeadersScrollDialog* list = OpenAfterNewHighScore(1, c.row, false);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->GetCurrentTable(), 1);
        EXPECT_EQ(list->GetOffset(), c.offset * 256);
    }
}

TEST_F(LeadersScreenTest, ANewHighScoreInTheThirdArenaOpensItsTabCentredPulsingWithApplause) {
    CXLeadersScrollDialog* list = OpenAfterNewHighScore(2, 25);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetCurrentTable(), 2);
    EXPECT_EQ(ActiveTabs(), (std::vector<bool>{false, false, true}));
    EXPECT_EQ(LevelName(), "Diamond Cave");
    EXPECT_EQ(list->GetOwnRow(), 25);
    // Row 25 in the middle would be 25 x 31 - 324 / 2 = 613 pixels down: past the end (606).
    EXPECT_EQ(list->GetOffset(), (30 * kRowHeight - kListHeight) * 256) << "centred, held at the end";
    EXPECT_EQ(Applause(), 1);

    // The blink climbs 16 an update to 255, then falls by 16.
    const float expected[] = {16, 32, 48, 64, 80, 96, 112, 128, 144, 160, 176, 192, 208, 224, 240, 255, 239, 223};
    // The curtain's 16 updates passed before the list's own ran: the blink starts now.
    EXPECT_EQ(list->GetBlinkValue(), 0.0f);
    Ticks(1);
    EXPECT_EQ(list->GetBlinkValue(), 16.0f);
    for (int i = 1; i < static_cast<int>(std::size(expected)); ++i) {
        Ticks(1);
        EXPECT_EQ(list->GetBlinkValue(), expected[i]) << i;
    }
    const TImage frame = Frame();
    KeepPicture(frame, "leaderboards", "02_new_high_score.png");
    const int top = kListTop - 4 - (30 * kRowHeight - kListHeight) + kRowHeight * 25;
    EXPECT_GT(Count(frame, 20, top + 4, 300, top + 20, Orange), 30) << "row 26 in orange";
    EXPECT_EQ(Count(frame, 20, top + 4 - kRowHeight, 300, top + 20 - kRowHeight, Orange), 0) << "row 25 is not";
    EXPECT_EQ(Count(frame, 20, top + 4 + kRowHeight, 300, top + 20 + kRowHeight, Orange), 0) << "row 27 is not";
    // Only in its own table.
    TapTab(0);
    Ticks(12);
    EXPECT_EQ(list->GetCurrentTable(), 0);
    EXPECT_EQ(Count(Frame(), 0, kListTop, 320, kListTop + kListHeight, Orange), 0);

    CXLeadersScreen* screen = game.m_pLeadersScreen;
    EXPECT_EQ(screen->OnMessage(screen, XMSG_CLICK, XIdParam("btn_GC_Leader"), 0), 1);
    EXPECT_TRUE(game.posts.empty());
    EXPECT_EQ(screen->OnMessage(screen, XMSG_CLICK, XIdParam("btn_LeaderboardOK"), 0), 1);
    EXPECT_EQ(game.posts, (std::vector<TPost>{{MSG_RUN_PLAY_SCREEN, 0, 0}})) << "back to where it came from";
}

TEST_F(LeadersScreenTest, ThePulseIsTheBlinkEasedOverItsSpan) {
    CXLeadersScrollDialog* list = OpenList();
    ASSERT_NE(list, nullptr);
    // At blink value 0 the row is clear, at 255 full; between, 255 x (1 - cos(pi x v / 255)) / 2
    // of the list's opacity.
    game.m_nNewHighScoreRow = 3;
    game.m_nNewHighScoreTable = 0;
    std::vector<int> alphas;
    std::vector<int> expected;
    for (int tick = 0; tick < 20; ++tick) {
        Ticks(1);
        const double v = list->GetBlinkValue();
        expected.push_back(static_cast<int>(255 * (1 - std::cos(3.14159265358979323846 * v / 255)) / 2 * 200 / 255));
        alphas.push_back(list->BlinkAlpha(200));
    }
    ASSERT_EQ(alphas.size(), expected.size());
    for (std::size_t i = 0; i < alphas.size(); ++i) EXPECT_NEAR(alphas[i], expected[i], 1) << i;
    EXPECT_EQ(alphas[15], 200) << "at the top of the pulse: the list's full opacity";
}

TEST_F(LeadersScreenTest, TablesKeepTheirOwnOffsetsAndSwitchThroughBlackIn48s) {
    CXLeadersScrollDialog* list = OpenList();
    ASSERT_NE(list, nullptr);
    list->SetOffset(200 * 256);
    Ticks(1);
    TapTab(1);
    EXPECT_EQ(ActiveTabs(), (std::vector<bool>{false, true, false}));
    EXPECT_TRUE(list->IsFading());
    EXPECT_EQ(LevelName(), "Ruby Canyon") << "the name follows the tab at once";
    // Six updates to black (the table switches on the sixth), six back.
    const int fades[] = {48, 96, 144, 192, 240, 255, 207, 159, 111, 63, 15, 0};
    for (int tick = 0; tick < 12; ++tick) {
        Ticks(1);
        EXPECT_EQ(list->GetFade(), fades[tick]) << tick;
        EXPECT_EQ(list->GetCurrentTable(), tick < 5 ? 0 : 1) << tick;
        EXPECT_EQ(list->IsFading(), tick < 11) << tick;
        if (tick == 2) KeepPicture(Frame(), "leaderboards", "03_switching.png");
    }
    EXPECT_EQ(list->GetOffset(), -8 * 256) << "the second table starts at its top";
    list->SetOffset(50 * 256);
    TapTab(2);
    Ticks(3);
    TapTab(0);  // during the fade only the way changes
    EXPECT_EQ(LevelName(), "Clover Field");
    Touch(XPOINTER_PRESS, 160, 300);
    EXPECT_EQ(game.XGetCapture(), nullptr) << "no drag while the tables fade";
    Touch(XPOINTER_RELEASE, 160, 300);
    Ticks(3);
    EXPECT_EQ(list->GetCurrentTable(), 0);
    Ticks(6);
    EXPECT_FALSE(list->IsFading());
    EXPECT_EQ(list->GetOffset(), 200 * 256) << "the first table where it was left";
    TapTab(1);
    Ticks(12);
    EXPECT_EQ(list->GetCurrentTable(), 1);
    EXPECT_EQ(list->GetOffset(), 50 * 256) << "the second table where it was left";
    KeepPicture(Frame(), "leaderboards", "04_second_table.png");
}

// The new row pulses in its own table only: row 3 of the second table stands near the top of
// every table at its start, so in the first table the same row is on screen and stays white, and
// the blink waits there.
TEST_F(LeadersScreenTest, TheNewRowPulsesOnlyInItsOwnTableWhereverTheRowIsOnScreen) {
    CXLeadersScrollDialog* list = OpenAfterNewHighScore(1, 3);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->GetCurrentTable(), 1);
    EXPECT_EQ(list->GetOffset(), -8 * 256) << "3 x 31 - 324 / 2 lies above the top: held at -8";
    Ticks(16);  // the pulse at its brightest
    // Row 3's text band, 8 pixels of list top margin down.
    const int top3 = kListTop - 4 + 8 + 3 * kRowHeight;
    EXPECT_GT(Count(Frame(), 20, top3 + 4, 300, top3 + 20, Orange), 30) << "its own table: orange";

    TapTab(0);
    Ticks(12);
    ASSERT_EQ(list->GetCurrentTable(), 0);
    ASSERT_EQ(list->GetOffset(), -8 * 256) << "the first table at its top: row 3 on screen";
    const float held = list->GetBlinkValue();
    Ticks(5);
    EXPECT_EQ(list->GetBlinkValue(), held) << "no blink in another table";
    const TImage frame = Frame();
    EXPECT_EQ(Count(frame, 0, kListTop, 320, kListTop + kListHeight, Orange), 0);
    EXPECT_GT(Count(frame, 20, top3 + 4, 300, top3 + 20, White), 30) << "row 3 of the first table in white";

    // Back in its own table it pulses again.
    TapTab(1);
    Ticks(12);
    ASSERT_EQ(list->GetCurrentTable(), 1);
    const float before = list->GetBlinkValue();
    Ticks(1);
    EXPECT_NE(list->GetBlinkValue(), before);
}

// Every row that holds a score has a band: the player's own in green at alpha 96, another
// player's in the same green at alpha 42, and a default "-empty-" row none. Read against the same
// screen drawn before any score was entered (no band anywhere): a blend of alpha a moves each
// channel (band - background) x a / 255 toward the band's colour.
TEST_F(LeadersScreenTest, OwnAndOtherPlayersRowsAreBanded) {
    ASSERT_NE(OpenList(), nullptr);
    const TImage bare = Frame();
    THighScoreTable* table = Data().GetHighScoreTable(CommonString("arena1"));
    ASSERT_NE(table, nullptr);
    int annScore = table->m_Scores.data[0] + 1000;
    ASSERT_EQ(Data().SetLevelHighScoreInfo(CommonString("arena1"), CommonString("Ann"), annScore), 0);
    SeedOwnRow(0, 1);  // Sam's row below Ann's
    CXLeadersScrollDialog* list = OpenList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetOwnRow(), 1);
    ASSERT_FALSE(table->m_IsDefault.data[0]);
    ASSERT_TRUE(table->m_IsDefault.data[2]);
    const TImage frame = Frame();
    const auto top = [](int row) { return kListTop - 4 + 8 + kRowHeight * row; };
    const struct {
        int row;
        int alpha;
        const char* why;
    } cases[] = {{0, 42, "another player's row"}, {1, 96, "the player's own row"}, {2, 0, "a default row"}};
    const int band[3] = {96, 255, 0};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        for (int dy : {2, 15, 28}) {
            const Pixel before = bare.At(5, top(c.row) + dy);
            const Pixel p = frame.At(5, top(c.row) + dy);
            for (int ch = 0; ch < 3; ++ch)
                EXPECT_NEAR(p[ch], before[ch] + (band[ch] - before[ch]) * c.alpha / 255.0, 3) << dy << " " << ch;
        }
    }
}

// The switch buttons are only shown or hidden; our template has none, so this screen gets a
// template of its own with both, laid over the built pak.
TEST_F(LeadersScreenTest, TheSwitchButtonsShowWhereATableLies) {
    OverlayTemplate([](std::string& t) {
        const std::string anchor = "    child = \"btn_LeaderboardOK\"\n";
        const auto at = t.find(anchor);
        ASSERT_NE(at, std::string::npos);
        t.insert(at,
                 "    child = \"btn_LeaderPrev\"\n        position = 8, 30\n    child = \"btn_LeaderNext\"\n"
                 "        position = 268, 30\n");
        t += "button = \"btn_LeaderPrev\"\n    set = \"ib_prev\"\nend\n"
             "button = \"btn_LeaderNext\"\n    set = \"ib_next\"\nend\n";
    });
    CXLeadersScrollDialog* list = OpenList();
    ASSERT_NE(list, nullptr);
    XWidget* prev = game.m_pLeadersScreen->FindChildWithWidgetId("btn_LeaderPrev");
    XWidget* next = game.m_pLeadersScreen->FindChildWithWidgetId("btn_LeaderNext");
    ASSERT_NE(prev, nullptr);
    ASSERT_NE(next, nullptr);
    const struct {
        int tab;
        bool prev, next;
    } rows[] = {{0, false, true}, {1, true, true}, {2, true, false}, {0, false, true}};
    for (const auto& r : rows) {
        TapTab(r.tab);
        EXPECT_EQ(prev->IsVisible(), r.prev) << r.tab;
        EXPECT_EQ(next->IsVisible(), r.next) << r.tab;
        Ticks(12);
    }
}

class LeadersWideTest : public LeadersScreenTest {
protected:
    TCoord2D ScreenSize() const override { return {360, 480}; }  // a 3:4 tablet
};

TEST_F(LeadersWideTest, OnAWiderScreenTheColumnsKeepWithin160PixelsOfTheCentre) {
    CXLeadersScrollDialog* list = OpenList();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->GetVisibleRect().width, 360);
    EXPECT_EQ(list->RankX(), 180 - 160 + 20);
    EXPECT_EQ(list->NameX(), 180 - 160 + 50);
    EXPECT_EQ(list->ScoreRight(), 180 + 160 - 20);
    const TImage frame = Frame();
    KeepPicture(frame, "leaderboards", "05_wide_screen.png");
    const int y0 = kListTop - 4 + 8 + 4;
    int left = 360, right = 0;
    for (int y = y0; y < y0 + 16; ++y)
        for (int x = 0; x < 360; ++x)
            if (White(frame.At(x, y))) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    EXPECT_GE(left, 40);
    EXPECT_LE(left, 43);
    EXPECT_LE(right, 320);
    EXPECT_GE(right, 312);
    // The tabs stay centred over the list.
    const TCoord2D middle = game.m_pLeadersScreen->m_pTabControl->GetTab(1)->CalcCenter();
    EXPECT_NEAR(middle.x, 180, 1);
}

}  // namespace
