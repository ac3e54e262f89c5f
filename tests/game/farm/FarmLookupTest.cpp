#include <gtest/gtest.h>

#include <new>

#include "game/farm/FarmHost.h"
#include "game/farm/FarmManager.h"
#include "game/progress/ArenaManager.h"
#include "testsupport/FakeFarmGame.h"
#include "testsupport/FakeProgressGame.h"

// The farm and its arena table come through the farm host: the host's own, null before they are
// made, for a game that is no farm host (a progression stand-in) and for no game.
TEST(FarmLookups, TheFarmAndTheArenaTableComeThroughTheFarmHost) {
    CFakeFarmGame game;
    EXPECT_EQ(FarmManagerOf(&game), nullptr) << "before the loader";
    EXPECT_EQ(ArenaManagerOf(&game), nullptr) << "before the loader";
    CArenaManager arenas(&game);
    game.m_pArenaManager = &arenas;
    game.m_pFarmManager = new (std::nothrow) CFarmManager(&game);
    ASSERT_NE(game.m_pFarmManager, nullptr);
    EXPECT_EQ(FarmManagerOf(&game), game.m_pFarmManager);
    EXPECT_EQ(ArenaManagerOf(&game), &arenas);

    CFakeProgressGame notFarm;
    EXPECT_EQ(FarmManagerOf(&notFarm), nullptr);
    EXPECT_EQ(ArenaManagerOf(&notFarm), nullptr);
    EXPECT_EQ(FarmManagerOf(nullptr), nullptr);
    EXPECT_EQ(ArenaManagerOf(nullptr), nullptr);
}
