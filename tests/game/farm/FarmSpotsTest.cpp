// Where a bought object may stand and which object a bird visits, with seeded randoms.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "FarmTestObject.h"
#include "game/farm/FarmManager.h"
#include "particles/RandomTables.h"
#include "testsupport/FakeFarmGame.h"

namespace {

struct TSpawn {
    bool found = false;
    int x = 0, y = 0;  // whole world pixels of the last point tried
    int draws = 0;     // rand() calls used
};

// The spawn rule written out in doubles over the C library's generator: a point is taken when its
// screen x lies 30 pixels inside the screen and it is at least sqrt(3200) pixels from every object.
TSpawn ReferenceSpawn(unsigned seed, int width, const std::vector<TVector2D>& objects) {
    std::srand(seed);
    TSpawn r;
    for (int attempt = 0; attempt < 46; ++attempt) {
        r.x = std::rand() % 580 + 30;
        r.y = std::rand() % 269 + 40;
        r.draws += 2;
        const double t = 1.0 / (1.0 - r.y / 658.0) - 1.0;
        const double sx = (0.5 + 0.5 * t) * (r.x - 320) + width / 2;
        if (sx < 30 || sx > width - 30) continue;
        double nearest = 1e30;
        for (const TVector2D& o : objects) {
            const double dx = o.x / 256.0 - r.x, dy = o.y / 256.0 - r.y;
            nearest = std::min(nearest, dx * dx + dy * dy);
        }
        if (nearest >= 3200) {
            r.found = true;
            return r;
        }
    }
    return r;
}

class FarmSpots : public ::testing::Test {
protected:
    void SetUp() override { game.SetGameSize(320, 480); }
    CTestFarmObject* Add(int kind, int x, int y) {
        auto* o = new CTestFarmObject(&game, kind, x * 256, y * 256);
        EXPECT_TRUE(farm.m_Objects.Add(o));
        return o;
    }
    CFakeFarmGame game;
    CFarmManager farm{&game};
};

TEST_F(FarmSpots, SpawnSpotMatchesTheRuleForFixedSeeds) {
    struct TCase {
        std::vector<TVector2D> objects;
        const char* why;
    } cases[] = {
        {{}, "an empty yard takes the first point on screen"},
        {{{320 * 256, 170 * 256}, {200 * 256, 100 * 256}, {450 * 256, 250 * 256}}, "spacing to a few objects"},
        // Squares of distances past about 181 pixels overflow 32 bits in 24.8.
        {{{639 * 256, 40 * 256}, {639 * 256, 308 * 256}, {1 * 256, 300 * 256}}, "far objects at the yard's sides"},
    };
    for (const TCase& c : cases) {
        farm.m_Objects.RemoveAll();
        for (const TVector2D& p : c.objects) Add(kFarmObjectDecor, p.x / 256, p.y / 256);
        for (unsigned seed : {1u, 7u, 42u, 2024u}) {
            const TSpawn expected = ReferenceSpawn(seed, 320, c.objects);
            game.SeedRandoms(seed);
            FIXED_FLOAT x = -1, y = -1;
            EXPECT_EQ(farm.FindGoodSpawnSpotForNewObject(x, y), expected.found) << c.why << " seed " << seed;
            EXPECT_EQ(x, expected.x * 256) << c.why << " seed " << seed;
            EXPECT_EQ(y, expected.y * 256) << c.why << " seed " << seed;
        }
    }
}

// A point exactly sqrt(3200) pixels from the nearest object (40 and 40 pixels away) is far
// enough; one a pixel nearer on one axis is not.
TEST_F(FarmSpots, SpawnSpotAtExactlyTheLeastDistanceIsTaken) {
    int checked = 0;
    for (unsigned seed : {1u, 7u, 42u, 2024u, 99u}) {
        const TSpawn first = ReferenceSpawn(seed, 320, {});
        if (first.draws != 2) continue;  // its first point lies off the screen
        ++checked;
        const struct {
            int dx, dy;
            bool firstTaken;
        } offsets[] = {{40, 40, true}, {-40, -40, true}, {40, -39, false}, {-57, 0, true}, {56, 0, false}};
        for (const auto& o : offsets) {
            const std::vector<TVector2D> objects = {TVector2D{(first.x + o.dx) * 256, (first.y + o.dy) * 256}};
            const TSpawn expected = ReferenceSpawn(seed, 320, objects);
            ASSERT_EQ(expected.found && expected.draws == 2, o.firstTaken) << "the reference, seed " << seed;
            farm.m_Objects.RemoveAll();
            Add(kFarmObjectDecor, first.x + o.dx, first.y + o.dy);
            game.SeedRandoms(seed);
            FIXED_FLOAT x = -1, y = -1;
            EXPECT_EQ(farm.FindGoodSpawnSpotForNewObject(x, y), expected.found) << "seed " << seed << " dx " << o.dx;
            EXPECT_EQ(x, expected.x * 256) << "seed " << seed << " dx " << o.dx << " dy " << o.dy;
            EXPECT_EQ(y, expected.y * 256) << "seed " << seed << " dx " << o.dx << " dy " << o.dy;
        }
    }
    EXPECT_GE(checked, 2) << "seeds whose first point is on the screen";
}

TEST_F(FarmSpots, SpawnSpotGivesUpAfter46Tries) {
    // 40 pixels of width leave no screen x 30 pixels inside both edges: every try fails.
    game.SetGameSize(40, 480);
    const TSpawn expected = ReferenceSpawn(5, 40, {});
    ASSERT_FALSE(expected.found);
    ASSERT_EQ(expected.draws, 92);
    const int nextDraw = std::rand();
    game.SeedRandoms(5);
    FIXED_FLOAT x = 0, y = 0;
    EXPECT_FALSE(farm.FindGoodSpawnSpotForNewObject(x, y));
    EXPECT_EQ(x, expected.x * 256) << "the last point tried stays in the out-arguments";
    EXPECT_EQ(y, expected.y * 256);
    EXPECT_EQ(std::rand(), nextDraw) << "exactly 46 tries of two draws each";
}

TEST_F(FarmSpots, SpawnSpotKeepsItsDistanceInACrowdedYard) {
    std::vector<TVector2D> objects;
    for (int x = 40; x <= 600; x += 90)
        for (int y = 50; y <= 300; y += 80) {
            Add(kFarmObjectDecor, x, y);
            objects.push_back(TVector2D{x * 256, y * 256});
        }
    int found = 0;
    for (unsigned seed = 100; seed < 120; ++seed) {
        game.SeedRandoms(seed);
        FIXED_FLOAT x = 0, y = 0;
        if (!farm.FindGoodSpawnSpotForNewObject(x, y)) continue;
        ++found;
        for (const TVector2D& o : objects) {
            const double dx = (o.x - x) / 256.0, dy = (o.y - y) / 256.0;
            EXPECT_GE(dx * dx + dy * dy, 3200.0) << "seed " << seed;
        }
    }
    EXPECT_GT(found, 0) << "the grid leaves gaps a point can fall into";
}

// A reserved address stands for a bird occupying a spot; it is never followed.
CChicken* const kSomeBird = reinterpret_cast<CChicken*>(0x1000);

TEST_F(FarmSpots, VisitWithoutABirdPicksAFreeSpotAtRandom) {
    CTestFarmObject* eat = Add(kFarmObjectDecor, 10, 10);         // 0: candidate
    Add(kFarmObjectChicken, 20, 10)->GiveSpots("eat", 1);         // 1: a bird is no visit target
    CTestFarmObject* stand = Add(kFarmObjectPhotoStand, 30, 10);  // 2: its one spot is taken
    CTestFarmObject* dog = Add(kFarmObjectDoghouse, 40, 10);      // 3: candidate, one spot taken
    CTestFarmObject* dragged = Add(kFarmObjectDecor, 50, 10);     // 4: being dragged
    Add(kFarmObjectDecor, 60, 10)->GiveSpots("", 2);              // 5: no spot type
    CTestFarmObject* full = Add(kFarmObjectDecor, 70, 10);        // 6: spots 0-2 taken, spot 3 has no slot
    CTestFarmObject* music = Add(kFarmObjectDecor, 80, 10);       // 7: candidate
    eat->GiveSpots("eat", 2);
    stand->GiveSpots("picture", 1);
    stand->m_pOccupants[0] = kSomeBird;
    dog->GiveSpots("heat", 3);
    dog->m_pOccupants[1] = kSomeBird;
    dragged->GiveSpots("drink", 1);
    dragged->m_bDragging = true;
    full->GiveSpots("drink", 4);
    for (CChicken*& o : full->m_pOccupants) o = kSomeBird;
    music->GiveSpots("music", 1);

    for (int i = 0; i < kGameRandomTableSize; ++i) g_GameRandomTable[i] = (i * 7919) % 32768;
    // Walked from the last object: 7, 3 and 0 qualify, each drawing one value for its free spot;
    // the next value picks among them.
    CFarmObject* candidates[] = {music, dog, eat};
    for (int start : {0, 1, 2, 5, 1021}) {
        g_GameRandomTableIndex = start;
        const int pick = g_GameRandomTable[(start + 3) % kGameRandomTableSize] % 3;
        EXPECT_EQ(farm.FindAvailableSpotToVisit(nullptr), candidates[pick]) << "start " << start;
        EXPECT_EQ(g_GameRandomTableIndex, (start + 4) % kGameRandomTableSize);
    }

    // One candidate left: it is the answer without a draw for the pick.
    eat->m_bDragging = true;
    music->m_bDragging = true;
    g_GameRandomTableIndex = 0;
    EXPECT_EQ(farm.FindAvailableSpotToVisit(nullptr), dog);
    EXPECT_EQ(g_GameRandomTableIndex, 1);
    dog->m_pOccupants[0] = dog->m_pOccupants[2] = kSomeBird;
    EXPECT_EQ(farm.FindAvailableSpotToVisit(nullptr), nullptr) << "no free spot anywhere";
}

// Only three birds can stand at one object: of five spot points only spots 0 to 2 are offered,
// each in turn, and with those three taken there is none.
TEST_F(FarmSpots, SpotsPastTheThirdAreNeverOffered) {
    CTestFarmObject* many = Add(kFarmObjectDecor, 10, 10);
    many->GiveSpots("eat", 5);
    ASSERT_EQ(many->GetNumSpotPoints(), 5);
    for (int i = 0; i < kGameRandomTableSize; ++i) g_GameRandomTable[i] = i;
    bool offered[3] = {};
    for (int start = 0; start < 12; ++start) {
        g_GameRandomTableIndex = start;
        const int spot = many->FindFreeSpot();
        ASSERT_GE(spot, 0) << "start " << start;
        ASSERT_LT(spot, 3) << "start " << start;
        EXPECT_EQ(spot, start % 3) << "the random value picks among the three free spots";
        offered[spot] = true;
    }
    EXPECT_TRUE(offered[0] && offered[1] && offered[2]);
    many->m_pOccupants[0] = many->m_pOccupants[2] = kSomeBird;
    g_GameRandomTableIndex = 4;
    EXPECT_EQ(many->FindFreeSpot(), 1) << "the one left";
    many->m_pOccupants[1] = kSomeBird;
    EXPECT_EQ(many->FindFreeSpot(), -1) << "spots 3 and 4 have no place for a bird";
    EXPECT_FALSE(many->IsAvailailableSpotToVisit(false));
}

TEST_F(FarmSpots, VisitWithABirdTakesTheNearestWithin100Pixels) {
    // At the near edge the depth scale is 1.0, so the threshold is 100 pixels.
    CTestFarmObject* bird = Add(kFarmObjectChicken, 300, 329);
    bird->m_Rect = TRect2D{100 * 256, 100 * 256, 20 * 256, 20 * 256};
    struct TPlace {
        int kind;
        int gap;  // pixels between the bird's right edge and the object
    };
    const TPlace places[] = {
        {kFarmObjectDecor, 50},       // 1
        {kFarmObjectDecor, 30},       // 2: ties with 3, and the lower index wins
        {kFarmObjectPhotoStand, 30},  // 3
        {kFarmObjectDecor, 150},      // 4: too far
        {kFarmObjectDoghouse, 99},    // 5
    };
    std::vector<CTestFarmObject*> objects;
    for (const TPlace& p : places) {
        CTestFarmObject* o = Add(p.kind, 10, 10);
        o->GiveSpots("eat", 1);
        o->m_Rect = TRect2D{(120 + p.gap) * 256, 105 * 256, 10 * 256, 10 * 256};
        objects.push_back(o);
    }
    EXPECT_EQ(farm.FindAvailableSpotToVisit(bird), objects[1]);

    FIXED_FLOAT d = 0;
    EXPECT_TRUE(farm.AreFarmObjectsClose(bird, objects[4], 100 * 256, d));
    EXPECT_EQ(d, 99 * 256);
    EXPECT_FALSE(farm.AreFarmObjectsClose(bird, objects[3], 100 * 256, d));
    EXPECT_EQ(d, 150 * 256);

    // Taken spots do not matter with a bird; a nearer object wins.
    CTestFarmObject* busy = Add(kFarmObjectDecor, 10, 10);
    busy->GiveSpots("eat", 1);
    busy->m_pOccupants[0] = kSomeBird;
    busy->m_Rect = TRect2D{(120 + 5) * 256, 105 * 256, 10 * 256, 10 * 256};
    EXPECT_EQ(farm.FindAvailableSpotToVisit(bird), busy);
    for (CTestFarmObject* o : objects) o->m_bDragging = true;
    busy->m_bDragging = true;
    EXPECT_EQ(farm.FindAvailableSpotToVisit(bird), nullptr);
}

TEST_F(FarmSpots, ClosenessScalesWithTheFirstObjectsDepth) {
    // At the far edge the scale is 0.5: 100 pixels of threshold become 50.
    CTestFarmObject* far = Add(kFarmObjectChicken, 300, 0);
    far->m_Rect = TRect2D{0, 0, 10 * 256, 10 * 256};
    CTestFarmObject* other = Add(kFarmObjectDecor, 0, 0);
    FIXED_FLOAT d = 0;
    other->m_Rect = TRect2D{60 * 256, 0, 10 * 256, 10 * 256};
    EXPECT_TRUE(farm.AreFarmObjectsClose(far, other, 100 * 256, d));
    other->m_Rect = TRect2D{61 * 256, 0, 10 * 256, 10 * 256};
    EXPECT_FALSE(farm.AreFarmObjectsClose(far, other, 100 * 256, d));
}

TEST_F(FarmSpots, GetFarmObjectFindsTheLastWithThatDefinition) {
    CTestFarmObject* first = Add(kFarmObjectDecor, 1, 1);
    CTestFarmObject* second = Add(kFarmObjectDecor, 2, 2);
    CTestFarmObject* plain = Add(kFarmObjectDecor, 3, 3);
    first->GiveSpots("", 0);
    second->GiveSpots("", 0);
    first->m_Def.id = "bench";
    second->m_Def.id = "bench";
    EXPECT_EQ(farm.GetFarmObject("bench"), second);
    EXPECT_EQ(farm.GetFarmObject("tree"), nullptr);
    EXPECT_EQ(plain->m_pDef, nullptr);
}

}  // namespace
