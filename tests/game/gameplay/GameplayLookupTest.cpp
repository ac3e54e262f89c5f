#include <gtest/gtest.h>

#include "game/gameplay/GameplayHost.h"
#include "game/progress/UpgradeManager.h"
#include "testsupport/FakeGameplayGame.h"
#include "testsupport/FakeProgressGame.h"

// The boosts' level tables come through the round's host: the host's own, null before they are
// made, for a game that is no round host (a progression stand-in) and for no game.
TEST(GameplayLookups, TheBoostTablesComeThroughTheRoundsHost) {
    CFakeGameplayGame game;
    EXPECT_EQ(UpgradeManagerOf(&game), nullptr) << "before the loader";
    CUpgradeManager boosts(&game);
    game.m_pUpgradeManager = &boosts;
    EXPECT_EQ(UpgradeManagerOf(&game), &boosts);

    CFakeProgressGame notGameplay;
    EXPECT_EQ(UpgradeManagerOf(&notGameplay), nullptr);
    EXPECT_EQ(UpgradeManagerOf(nullptr), nullptr);
}
