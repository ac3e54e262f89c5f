// The credits screen built from the real pak: its clip area framed by the template's lines, the
// opening roll, the drag with its springy ends, and the close button.
#include <gtest/gtest.h>

#include "FrontEndTestGame.h"
#include "game/screens/AboutScreen.h"
#include "text/BitmapFont.h"
#include "ui/Widget.h"

namespace {

class AboutScreenTest : public FrontEndTest {
protected:
    CXAboutScreen* Open() {
        EXPECT_TRUE(game.RunAboutScreen());
        return game.m_pAboutScreen;
    }
    static int Centre(XWidget* widget) {
        const TCoordRect2D r = widget->GetDrawingRect();
        return r.y + r.height / 2;
    }
};

TEST_F(AboutScreenTest, TheTextRollsUpOnceAndStopsTwoLinesAboveTheBottom) {
    CXAboutScreen* about = Open();
    ASSERT_NE(about, nullptr);
    // The area runs from the middle of the upper line to the middle of the lower one.
    const int top = Centre(about->FindChildWithWidgetId("img_hzline1"));
    const int bottom = Centre(about->FindChildWithWidgetId("img_hzline2"));
    EXPECT_EQ(about->m_Clip.y, top);
    EXPECT_EQ(about->m_Clip.height, bottom - top);
    EXPECT_EQ(about->m_Clip.x, 10);
    EXPECT_EQ(about->m_Clip.width, 300);

    const int line = game.m_Fonts[kGameFontSmall]->GetCharHeight() + 1;
    EXPECT_GT(about->m_nTextHeight, about->m_Clip.height) << "about sixty lines fill more than the area";
    EXPECT_EQ(about->m_nPosition, -about->m_Clip.height * 256) << "starts just below the area";
    const int travel = about->m_nTextHeight - about->m_Clip.height + 2 * line + about->m_Clip.height;
    for (int i = 0; i < 10; ++i) about->RunProcess();
    EXPECT_EQ(about->m_nPosition, (-about->m_Clip.height + 10) * 256) << "one pixel a frame";
    for (int i = 10; i < travel - 1; ++i) about->RunProcess();
    EXPECT_TRUE(about->m_bRolling);
    about->RunProcess();
    EXPECT_FALSE(about->m_bRolling);
    EXPECT_EQ(about->m_nPosition, (about->m_nTextHeight - about->m_Clip.height + 2 * line) * 256);
    about->RunProcess();
    EXPECT_EQ(about->m_nPosition, about->m_nMaximum) << "and stays there";
}

TEST_F(AboutScreenTest, TheGameFontsLineSpacingIsOneWhileTheScreenLivesAndRestoredAfter) {
    CBitmapFontText* font = game.m_Fonts[kGameFontSmall];
    ASSERT_NE(font, nullptr);
    font->m_nLineSpacing = 7;  // what another screen left
    CXAboutScreen* about = Open();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(font->m_nLineSpacing, 1);
    const int line = font->GetCharHeight() + 1;
    EXPECT_EQ(about->LineHeight(), line);
    EXPECT_EQ(about->m_nMinimum, -2 * line * 256);
    EXPECT_EQ(about->m_nMaximum, (about->m_nTextHeight - about->m_Clip.height + 2 * line) * 256);
    game.SafeDeleteChildren();  // as the next screen's opening deletes it
    EXPECT_EQ(game.m_pAboutScreen, nullptr);
    EXPECT_EQ(font->m_nLineSpacing, 7);
}

TEST_F(AboutScreenTest, ATouchStopsTheRollAndADragPastTheTopSpringsBack) {
    CXAboutScreen* about = Open();
    ASSERT_NE(about, nullptr);
    for (int i = 0; i < 5; ++i) about->RunProcess();
    const int x = 160;
    EXPECT_EQ(about->NotifyPointerEvent(x, 200, XPOINTER_PRESS), 1);
    EXPECT_FALSE(about->m_bRolling);
    EXPECT_TRUE(about->m_bDragging);
    about->NotifyPointerEvent(x, 230, XPOINTER_MOVE);  // the finger moves 30 px down
    EXPECT_EQ(about->m_nSpeed, -30 * 256);
    const FIXED_FLOAT before = about->m_nPosition;
    ASSERT_LT(before, about->m_nMinimum) << "still below the area's start";
    about->RunProcess();
    // Below the minimum: a spring of 0.4 of the overshoot, and the downward speed damped by 179/256.
    const FIXED_FLOAT spring = (about->m_nMinimum - before) * 102 / 256;
    EXPECT_EQ(about->m_nPosition, before + (-30 * 256) * 179 / 256 + spring);

    about->NotifyPointerEvent(x, 230, XPOINTER_RELEASE);
    EXPECT_FALSE(about->m_bDragging);
    for (int i = 0; i < 200; ++i) about->RunProcess();
    EXPECT_NEAR(about->m_nPosition, about->m_nMinimum, 256) << "sprung back to the start";
}

TEST_F(AboutScreenTest, CloseReturnsToTheStartMenu) {
    CXAboutScreen* about = Open();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->OnMessage(about, XMSG_CLICK, XIdParam("btn_CreditsClose"), 0), 1);
    EXPECT_EQ(game.posts, (std::vector<CRealPakGame::TPost>{{MSG_RUN_START_MENU, 0, 0}}));
}

TEST(Credits, AboutSixtyPlainLinesEndingWithTheLibrariesWeBuildWith) {
    const std::string text = g_strCreditsText;
    int lines = 0;
    for (char c : text) lines += c == '\n' ? 1 : 0;
    EXPECT_GE(lines, 50);
    EXPECT_LE(lines, 70);
    EXPECT_EQ(text.find('%'), std::string::npos);
    for (unsigned char c : text) EXPECT_TRUE(c == '\n' || (c >= 32 && c < 127)) << int(c);
    const std::size_t built = text.find("BUILT WITH");
    ASSERT_NE(built, std::string::npos);
    for (const char* name : {"DejaVu", "Bitstream", "FreeType", "libpng", "zlib", "Ogg Vorbis", "Tremor"})
        EXPECT_GT(text.find(name, built), built) << name;
}

}  // namespace
