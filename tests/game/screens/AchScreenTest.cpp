// The achievements screen on the real pak: 23 rows of 83 pixels in the template's area (grown on
// taller screens), earned rows in their own icon and green, the others locked and red, the
// description worded by the earned state when the screen opens, a list that fits its screen, the
// OK button, and a frame kept as a picture. The list's motion is DrawnScrollListTest's.
#include <gtest/gtest.h>

#include <string>

#include "ScoreScreensTest.h"
#include "game/progress/UserProfile.h"
#include "text/QuorvanTextFormat.h"

namespace {

using mediatest::TImage;
using Pixel = std::array<std::uint8_t, 4>;

constexpr int kRows = 23;
constexpr int kRowHeight = 83;
constexpr int kListTop = 42;      // the template's placement of dlg_ach_scroll
constexpr int kListHeight = 382;  // its size on a 480-pixel screen

bool EarnedGreen(const Pixel& p) { return p[1] > 220 && p[0] > 110 && p[0] < 200 && p[2] > 110 && p[2] < 200; }
bool LockedRed(const Pixel& p) { return p[0] > 220 && p[1] > 110 && p[1] < 200 && p[2] > 110 && p[2] < 200; }
bool White(const Pixel& p) { return p[0] > 230 && p[1] > 230 && p[2] > 230; }

bool SameBlock(const TImage& img, int x, int y0, int y1, int w, int h) {
    for (int dy = 0; dy < h; ++dy)
        for (int dx = 0; dx < w; ++dx)
            if (img.At(x + dx, y0 + dy) != img.At(x + dx, y1 + dy)) return false;
    return true;
}

// The lines of a worded description put back together.
std::string Joined(const CQuorvanTextFormat* format) {
    std::string text;
    for (int i = 0; format != nullptr && i < format->GetNumStrings(); ++i) {
        if (i > 0) text += ' ';
        text += format->GetString(i)->GetDataConst();
    }
    return text;
}

class AchScreenTest : public ScoreScreensTest {
protected:
    CXAchScrollDialog* OpenList() {
        CXAchScreen* screen = OpenAch();
        return screen != nullptr ? screen->m_pScrollDialog : nullptr;
    }
    std::string Desc(int i, bool earned) {
        const TAchievementInfo* info = game.m_pAchievementsManager->GetInfo(i);
        return (earned ? info->desc1 : info->desc0).GetDataConst();
    }
    // The top of row i on the screen at the list's starting offset (8 pixels of room above).
    static int RowTop(int i) { return kListTop + 8 + kRowHeight * i; }
};

TEST_F(AchScreenTest, TwentyThreeRowsOf83PixelsInTheTemplatesArea) {
    CXAchScrollDialog* list = OpenList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetNumAchievements(), kRows);
    const TCoordRect2D area = list->GetVisibleRect();
    EXPECT_EQ(area.x, 0);
    EXPECT_EQ(area.y, kListTop);
    EXPECT_EQ(area.width, 320);
    EXPECT_EQ(area.height, kListHeight) << "a 480-pixel screen keeps the template's height";
    EXPECT_EQ(list->GetMinimum(), -8 * 256);
    EXPECT_EQ(list->GetMaximum(), (kRows * kRowHeight - kListHeight) * 256);
    EXPECT_EQ(list->GetOffset(), -8 * 256);
    EXPECT_EQ(list->GetChildCount(), 0) << "the rows are drawn, not made";
    // The dialog itself stands at minus the offset, as tall as the rows.
    EXPECT_EQ(list->GetPosition().y, 8);
    EXPECT_EQ(list->GetPosition().height, kRows * kRowHeight);
    list->SetOffset(100 * 256);
    Ticks(1);
    EXPECT_EQ(list->GetPosition().y, -100);
    EXPECT_TRUE(list->Contains(0, kListTop));
    EXPECT_TRUE(list->Contains(320, kListTop + kListHeight)) << "edges inside";
    EXPECT_FALSE(list->Contains(160, kListTop - 1));
    EXPECT_FALSE(list->Contains(160, kListTop + kListHeight + 1));
}

TEST_F(AchScreenTest, EarnedRowsShowTheirIconAndWhatWasDoneInGreen) {
    TUserProfile* player = game.GetCurrentProfile();
    for (int i : {0, 3, 22}) player->m_AchievementFlags[i] = 1;
    CXAchScrollDialog* list = OpenList();
    ASSERT_NE(list, nullptr);
    for (int i = 0; i < kRows; ++i) {
        const bool earned = i == 0 || i == 3 || i == 22;
        EXPECT_EQ(Joined(list->GetDescription(i)), Desc(i, earned)) << i;
        EXPECT_NE(Desc(i, true), Desc(i, false)) << i << ": the two descriptions differ";
    }
    const TImage frame = Frame();
    KeepPicture(frame, "achievements", "01_list.png");
    // Rows 0 to 3 are in view: 0 and 3 earned, 1 and 2 not.
    for (int i = 0; i < 4; ++i) {
        const bool earned = i == 0 || i == 3;
        const int top = RowTop(i);
        const int green = Count(frame, 70, top + 18, 310, top + 60, EarnedGreen);
        const int red = Count(frame, 70, top + 18, 310, top + 60, LockedRed);
        EXPECT_GT(earned ? green : red, 40) << i << ": the description in its colour";
        EXPECT_LT(earned ? red : green, 5) << i << ": and not in the other";
        EXPECT_GT(Count(frame, 70, top, 310, top + 18, White), 30) << i << ": the name in white";
    }
    // The two locked rows show the same icon, the earned rows each their own: compared over the
    // middle of the medal, where the icons are opaque.
    EXPECT_TRUE(SameBlock(frame, 32, RowTop(1) + 36, RowTop(2) + 36, 16, 16));
    EXPECT_FALSE(SameBlock(frame, 32, RowTop(0) + 36, RowTop(1) + 36, 16, 16));
    EXPECT_FALSE(SameBlock(frame, 32, RowTop(3) + 36, RowTop(1) + 36, 16, 16));
    EXPECT_FALSE(SameBlock(frame, 32, RowTop(0) + 36, RowTop(3) + 36, 16, 16));
    // Nothing of a row is drawn above the list's top edge.
    list->SetOffset(40 * 256);
    Ticks(1);
    const TImage scrolled = Frame();
    KeepPicture(scrolled, "achievements", "02_scrolled.png");
    EXPECT_EQ(
        Count(scrolled, 70, 0, 310, kListTop - 2, EarnedGreen) + Count(scrolled, 70, 0, 310, kListTop - 2, LockedRed),
        0);
}

TEST_F(AchScreenTest, AnAwardAfterOpeningKeepsTheOldWordsUntilTheNextOpening) {
    CXAchScrollDialog* list = OpenList();
    ASSERT_NE(list, nullptr);
    game.m_pAchievementsManager->AwardAchievement(2);
    EXPECT_EQ(Joined(list->GetDescription(2)), Desc(2, false)) << "worded when the screen opened";
    const TImage frame = Frame();
    const int top = RowTop(2);
    EXPECT_GT(Count(frame, 70, top + 18, 310, top + 60, EarnedGreen), 40) << "the colour follows the award at once";
    list = OpenList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(Joined(list->GetDescription(2)), Desc(2, true)) << "the next opening words it as earned";
}

TEST_F(AchScreenTest, OkGoesBackToTheStartMenuAndTheServiceButtonDoesNothing) {
    CXAchScreen* screen = OpenAch();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->OnMessage(screen, XMSG_CLICK, XIdParam("btn_GC_Achievements"), 0), 1);
    EXPECT_TRUE(game.posts.empty());
    EXPECT_EQ(screen->OnMessage(screen, XMSG_CLICK, XIdParam("btn_AchievementsOK"), 0), 1);
    EXPECT_EQ(game.posts, (std::vector<CRealPakGame::TPost>{{MSG_RUN_START_MENU, 0, 0}}));
}

TEST_F(AchScreenTest, AnAchievementWithoutAnIconLeavesTheScreenUnbuilt) {
    ASSERT_EQ(game.m_pAchievementsManager->AddInfo(23, "Extra", "a", "b", "NoSuchIconSet"), 1);
    EXPECT_FALSE(game.RunAchScreen());
    EXPECT_EQ(game.m_pAchScreen, nullptr);
    EXPECT_EQ(game.GetChildCount(), 0);
}

class AchScreenTallTest : public AchScreenTest {
protected:
    TCoord2D ScreenSize() const override { return {320, 600}; }
};

TEST_F(AchScreenTallTest, ATallerScreenGivesTheListItsExtraHeight) {
    CXAchScrollDialog* list = OpenList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetVisibleRect().y, kListTop);
    EXPECT_EQ(list->GetVisibleRect().height, kListHeight + 120);
    EXPECT_EQ(list->GetMaximum(), (kRows * kRowHeight - kListHeight - 120) * 256);
    const TImage frame = Frame();
    KeepPicture(frame, "achievements", "03_tall_screen.png");
    // Row 5 starts inside the grown area: its name shows.
    EXPECT_GT(Count(frame, 70, RowTop(5), 310, RowTop(5) + 18, White), 30);
}

// A screen so tall that all 23 rows fit: the list has no range. Its scroll bar used to divide by
// that range (0 or less); now the bar covers the area, and the list rests at its top.
class AchScreenFitsTest : public AchScreenTest {
protected:
    TCoord2D ScreenSize() const override { return {320, 2100}; }
};

TEST_F(AchScreenFitsTest, AListThatFitsHasNoRangeAndABarOverTheWholeArea) {
    CXAchScrollDialog* list = OpenList();
    ASSERT_NE(list, nullptr);
    const int height = list->GetVisibleRect().height;
    ASSERT_EQ(height, kListHeight + 2100 - 480);
    ASSERT_GT(height, kRows * kRowHeight + 8);
    EXPECT_EQ(list->GetMaximum(), list->GetMinimum());
    Drag(160, {200, 210, 250});  // 40 pixels down past the top
    EXPECT_EQ(list->GetOffset() - list->GetMinimum(), -40 * 256);
    Ticks(1);
    const TScrollBar& bar = list->GetScrollBar();
    EXPECT_EQ(bar.y, 0);
    EXPECT_EQ(bar.height, height - (list->GetMinimum() - list->GetOffset()) / 512)
        << "the area less half the overshoot";
    EXPECT_EQ(bar.alpha, 255);
    Ticks(200);
    EXPECT_EQ(list->GetOffset(), list->GetMinimum()) << "back at the top";
    EXPECT_EQ(list->GetSpeed(), 0);
    EXPECT_EQ(bar.y, 0);
    EXPECT_EQ(bar.height, height);
    EXPECT_EQ(bar.alpha, 0);
    // A flick up cannot move it off its top for more than the spring takes to bring it back.
    Drag(160, {400, 390, 300});
    Ticks(200);
    EXPECT_EQ(list->GetOffset(), list->GetMinimum());
}

}  // namespace
