#include <gtest/gtest.h>

#include "game/progress/ApplicationData.h"
#include "game/progress/ProgressHost.h"
#include "testsupport/FakeProgressGame.h"
#include "testsupport/StubGame.h"
#include "text/BitmapFont.h"

// A font of the game comes through the progression host: the host's font of that kind, null for a
// kind it has not loaded, for a game that is no progression host and for no game.
TEST(ProgressLookups, GameFontOfAsksTheProgressionHostForThatKind) {
    CFakeProgressGame game;
    CBitmapFontText small(&game);
    CBitmapFontText button(&game);
    game.m_Fonts[kGameFontSmall] = &small;
    game.m_Fonts[kGameFontButton] = &button;
    EXPECT_EQ(GameFontOf(&game, kGameFontSmall), &small);
    EXPECT_EQ(GameFontOf(&game, kGameFontButton), &button);
    EXPECT_EQ(GameFontOf(&game, kGameFontVerySmall), nullptr) << "a kind the host has not loaded";

    CStubGame notProgress;
    EXPECT_EQ(GameFontOf(&notProgress, kGameFontSmall), nullptr) << "a game that is no progression host";
    EXPECT_EQ(GameFontOf(nullptr, kGameFontSmall), nullptr);
}

// The player data behind a game, and its current profile: null before the data is made and for no
// game; afterwards the data the game made and, once a profile exists, that one.
TEST(ProgressLookups, AppDataOfAndCurrentProfileOfFollowTheGamesPlayerData) {
    CFakeProgressGame game;
    EXPECT_EQ(AppDataOf(&game), nullptr);
    EXPECT_EQ(CurrentProfileOf(&game), nullptr);
    ASSERT_TRUE(game.CreateApplicationData());
    CApplicationData* data = game.GetAppData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(AppDataOf(&game), data);
    EXPECT_EQ(CurrentProfileOf(&game), data->GetCurrentProfile());
    EXPECT_EQ(AppDataOf(nullptr), nullptr);
    EXPECT_EQ(CurrentProfileOf(nullptr), nullptr);
}
