// The round's body in its record: written, read into a fresh screen and written again to the same
// bytes for the states a player leaves a round in; a body built by hand field by field from the
// record's table, read and written back byte for byte; the values a damaged body may hold,
// refused; and a body laid out with the ad strip moved onto the layout without it.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "RecordBytes.h"
#include "RoundTestGame.h"
#include "app/GlobalConstants.h"
#include "game/gameplay/MarblePowerup.h"

namespace gameplaytest {
namespace {

// The fields of a hand-made body, in the record's order, with a round in play as defaults.
struct TBody {
    int tutorial = 0;
    int explosionCount = 1, rayCount = 1, bombCount = 1, marbleCount = 1;
    int marbleType = kMarbleBlue;
    int score = 4321, coins = 6, lives = 2;
    bool gameOver = false;
    int gameOverClock = 0;
    int pointCount = 2;
    unsigned draggedId = 1;
    int level = 2, target = 22, cleared = 5, easing = 40, spawnInterval = 25, spawnCounter = 3;
    int pause = -1;
    int dragAlpha = 180;
    bool nearMiss = true;
    int onPath = 0;
    bool pathSound = false;
    int boostCount = 6;
    // Each boost at the top of its table: combo 0-4, lives 0-3, coin, ray, colour bomb 0-4, bomb 0-5.
    int boosts[6] = {4, 3, 4, 4, 4, 5};
    bool withoutAdStrip = true;
    int countdown = 1024;
    unsigned firstMarbleId = 1;  // the marbles' saved identities count up from it
    unsigned idStep = 1;         // by this much (0: a damaged body whose marbles share one)
};

Bytes Build(const TBody& f) {
    CByteBuilder b;
    b.Int(f.tutorial);
    b.Int(f.explosionCount);
    for (int i = 0; i < std::max(f.explosionCount, 0) && i < 4; ++i)
        Vec(b, 150 * 256, 200 * 256).Int(30 * 256).Int(255).Int(64).Int(0).Int(90 * 256);
    b.Int(f.rayCount);
    for (int i = 0; i < std::max(f.rayCount, 0) && i < 4; ++i)
        Vec(b, 100 << 16, 120 << 16).Int(3 << 16).Int(-(2 << 16));
    b.Int(f.bombCount);
    for (int i = 0; i < std::max(f.bombCount, 0) && i < 4; ++i)
        Vec(b, 160 << 16, 240 << 16).Int(4).Int(20).Int(60 * 256);
    b.Int(f.marbleCount);
    for (int i = 0; i < std::max(f.marbleCount, 0) && i < 4; ++i) {
        b.Int(f.marbleType);
        TMarbleFields m;
        m.id = f.firstMarbleId + f.idStep * static_cast<std::uint32_t>(i);
        m.x = m.prevX = (120 + 40 * i) << 16;
        m.y = m.prevY = 300 << 16;
        m.dirX = 46341;
        m.dirY = -46341;
        m.entered = true;
        m.speed = 16384;
        m.roll = 12.5f;
        m.countdown = f.countdown;
        if (f.marbleType >= kPowerUpTypeBase) break;  // a power-up's record is longer: rows use it only to fail
        AppendMarble(b, m);
    }
    b.Int(f.score).Int(f.coins).Int(f.lives).Bool(f.gameOver).Int(f.gameOverClock);
    b.Int(f.pointCount);
    for (int i = 0; i < std::max(f.pointCount, 0) && i < 4; ++i) Vec(b, (120 + 40 * i) * 256, 300 * 256);
    Vec(b, 160 * 256, 300 * 256);  // last laid point
    Vec(b, 171 * 256, 305 * 256);  // finger
    Vec(b, 122 * 256, 301 * 256);  // drag start
    b.Int(1);                      // the drawing curve: one segment
    for (std::int64_t v : {120, 300, 120, 300, 160, 300, 160, 300}) b.Int(v * 256);
    b.Int(f.draggedId);
    b.Int(0);  // no floating texts
    b.Int(f.level).Int(f.target).Int(f.cleared).Int(f.easing).Int(f.spawnInterval).Int(f.spawnCounter);
    b.Int(f.pause).Int(f.dragAlpha).Bool(f.nearMiss).Int(f.onPath).Bool(f.pathSound);
    b.Int(f.boostCount);
    for (int i = 0; i < std::max(f.boostCount, 0) && i < 8; ++i) b.Byte(i < 6 ? f.boosts[i] : 1);
    b.Bool(f.withoutAdStrip);
    return b.bytes;
}

class RoundRecordTest : public RoundTest {
protected:
    // A screen as the game object makes one to resume into: built, not started.
    std::unique_ptr<CXGameplaySurvival> NewReader() {
        auto reader = std::make_unique<CXGameplaySurvival>(&game);
        reader->m_pArena = screen->m_pArena;
        reader->m_PlayRect = screen->m_PlayRect;
        reader->m_nFullFillWidth = 166;
        reader->m_pJumpStrings = new CJumpStringManager(&game, reader.get());
        return reader;
    }
    static Bytes Save(CXGameplaySurvival* s) {
        return WrittenBy([s](IFile* f) { return s->SaveResume(f, 1) ? 1 : 0; });
    }
    static bool Load(CXGameplaySurvival* s, const Bytes& bytes) {
        return ReadFrom(bytes, [s](IFile* f) { return s->LoadResume(f, 1) ? 1 : 0; }) == 1;
    }
};

TEST_F(RoundRecordTest, EveryKindOfRoundSavesAndLoadsToTheSameBytes) {
    struct TRow {
        const char* what;
        std::function<void()> arrange;
        std::function<void(CXGameplaySurvival*)> check;
    };
    const TRow rows[] = {
        {"a marble half way along its path, with effects running",
         [&] {
             CMarble* runner = Put(kMarbleRed, 60, 300);
             Put(kMarbleRed, 250, 300);
             Put(kMarbleGreen, 200, 420);
             GivePath(runner, 250, 300);
             runner->m_nCollected = 1;
             for (int i = 0; i < 20; ++i) screen->RunProcess();
             ASSERT_GT(runner->m_nPathDistance, 0);
             (void)screen->SpawnPowerUp(90, 150, kPowerUpBomb);
             ASSERT_GE(screen->m_Explosions.Add(CExplosion{{100 * 256, 100 * 256}, 20 * 256, 255, 0, 0, 45 * 256}), 0);
             ASSERT_GE(screen->m_Rays.Add(CRay{{50 << 16, 60 << 16}, {1 << 16, 0}}), 0);
             ASSERT_GE(screen->m_Bombs.Add(CBomb{{70 << 16, 80 << 16}, 3, 20, 40 * 256}), 0);
             screen->m_nScore = 2500;
             screen->m_nLevel = 1;
             screen->m_nLevelTarget = 21;
             screen->m_nCleared = 7;
         },
         [](CXGameplaySurvival* r) {
             ASSERT_EQ(r->m_Marbles.count, 4);
             EXPECT_TRUE(r->m_Marbles.data[0]->m_bOnPath);
             EXPECT_GT(r->m_Marbles.data[0]->m_nPathDistance, 0);
             EXPECT_EQ(r->m_Marbles.data[0]->m_nCollected, 1);
             EXPECT_EQ(r->m_Marbles.data[3]->m_nColorType, kPowerUpTypeBase + kPowerUpBomb);
             EXPECT_EQ(r->m_nScore, 2500);
             EXPECT_EQ(r->m_nDisplayedScore, 2500) << "the display jumps to the resumed score";
             EXPECT_EQ(r->m_nShownFill, 166 * 7 / 21);
             EXPECT_EQ(r->m_pDraggedMarble, nullptr);
         }},
        {"a marble being dragged",
         [&] {
             Put(kMarbleBlue, 100, 200);
             CMarble* dragged = Put(kMarbleYellow, 200, 250);
             (void)screen->NotifyPointerEvent(200, 250, XPOINTER_PRESS);
             for (int k = 1; k <= 90; ++k) (void)screen->NotifyPointerEvent(200 - k, 250 + k / 2, XPOINTER_MOVE);
             ASSERT_EQ(screen->m_pDraggedMarble, dragged);
         },
         [](CXGameplaySurvival* r) {
             ASSERT_NE(r->m_pDraggedMarble, nullptr);
             EXPECT_EQ(r->m_pDraggedMarble, r->m_Marbles.data[1]) << "re-linked by its saved identity";
             EXPECT_EQ(r->m_pDraggedMarble->m_nColorType, kMarbleYellow);
             EXPECT_EQ(r->m_PathPoints.count, 3);
             EXPECT_EQ(r->m_DrawingCurve.GetNumSegments(), 1);
         }},
        {"the pause after a lost life",
         [&] {
             Put(kMarbleRed, 100, 200);
             Put(kMarbleBlue, 130, 200);
             screen->m_nLives = 3;
             screen->m_nPauseCounter = 37;
         },
         [](CXGameplaySurvival* r) {
             EXPECT_EQ(r->m_nPauseCounter, 37);
             EXPECT_FALSE(r->IsInPlay());
         }},
        {"a pause already bursting its marbles",
         [&] {
             Put(kMarbleRed, 100, 200);
             Put(kMarbleBlue, 130, 200);
             Put(kMarbleBlue, 170, 200);
             screen->m_nPauseCounter = 65;
             screen->RunProcess();
             screen->RunProcess();
             ASSERT_GT(screen->m_nPauseCounter, CXGameplaySurvival::kPauseBurstFrame);
             ASSERT_GT(screen->m_Marbles.count, 0);
         },
         [](CXGameplaySurvival* r) { EXPECT_GT(r->m_nPauseCounter, CXGameplaySurvival::kPauseBurstFrame); }},
        {"a round of the tutorial",
         [&] {
             screen->m_bTutorial = true;
             Put(kMarbleGreen, 160, 240);
         },
         [](CXGameplaySurvival* r) { EXPECT_TRUE(r->m_bTutorial) << "the record's flag is read over the screen's"; }},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.what);
        screen->m_Marbles.RemoveAll();
        screen->m_pDraggedMarble = nullptr;
        screen->m_nMarblesOnPath = 0;
        screen->m_Explosions.count = screen->m_Rays.count = screen->m_Bombs.count = 0;
        screen->m_nPauseCounter = -1;
        screen->m_bTutorial = false;
        row.arrange();
        if (HasFatalFailure()) return;
        const Bytes first = Save(screen);
        auto reader = NewReader();
        ASSERT_TRUE(Load(reader.get(), first));
        row.check(reader.get());
        EXPECT_EQ(Save(reader.get()), first);
    }
}

TEST_F(RoundRecordTest, SavingKeepsTheRoundsEffectsAndLoadingReplacesTheReadersOwn) {
    ASSERT_GE(screen->m_Explosions.Add(CExplosion{{100 * 256, 100 * 256}, 20 * 256, 255, 0, 0, 45 * 256}), 0);
    ASSERT_GE(screen->m_Rays.Add(CRay{{50 << 16, 60 << 16}, {1 << 16, 0}}), 0);
    ASSERT_GE(screen->m_Bombs.Add(CBomb{{70 << 16, 80 << 16}, 3, 20, 40 * 256}), 0);
    const Bytes bytes = Save(screen);
    EXPECT_EQ(screen->m_Explosions.count, 1);
    EXPECT_EQ(screen->m_Rays.count, 1);
    EXPECT_EQ(screen->m_Bombs.count, 1);
    // A reader that already holds two of each ends with the record's one.
    auto reader = NewReader();
    for (int i = 0; i < 2; ++i) {
        ASSERT_GE(reader->m_Explosions.Add(CExplosion{{9 * 256, 9 * 256}, 0, 1, 2, 3, 0}), 0);
        ASSERT_GE(reader->m_Rays.Add(CRay{{9 << 16, 9 << 16}, {0, 1 << 16}}), 0);
        ASSERT_GE(reader->m_Bombs.Add(CBomb{{9 << 16, 9 << 16}, 1, 2, 3 * 256}), 0);
    }
    ASSERT_TRUE(Load(reader.get(), bytes));
    ASSERT_EQ(reader->m_Explosions.count, 1);
    ASSERT_EQ(reader->m_Rays.count, 1);
    ASSERT_EQ(reader->m_Bombs.count, 1);
    EXPECT_EQ(reader->m_Explosions.data[0].clock, 20 * 256);
    EXPECT_EQ(reader->m_Rays.data[0].position.x, 50 << 16);
    EXPECT_EQ(reader->m_Bombs.data[0].radius, 40 * 256);
}

// A list that cannot take the record's items (its memory ran out) refuses the whole body: the
// round must not go on with part of its field.
TEST_F(RoundRecordTest, AListThatCannotTakeItsItemsRefusesTheBody) {
    ASSERT_GE(screen->m_Explosions.Add(CExplosion{{100 * 256, 100 * 256}, 20 * 256, 255, 0, 0, 45 * 256}), 0);
    ASSERT_GE(screen->m_Rays.Add(CRay{{50 << 16, 60 << 16}, {1 << 16, 0}}), 0);
    ASSERT_GE(screen->m_Bombs.Add(CBomb{{70 << 16, 80 << 16}, 3, 20, 40 * 256}), 0);
    ASSERT_EQ(screen->m_PathPoints.Add(TVector2D{200 * 256, 250 * 256}), 1);
    const Bytes bytes = Save(screen);
    // A growth step no block can hold makes the empty list's first Add fail.
    const auto starve = [](auto& list) {
        ASSERT_EQ(list.capacity, 0);
        list.growBy = INT_MAX;
    };
    const struct {
        const char* what;
        std::function<void(CXGameplaySurvival*)> damage;
    } rows[] = {
        {"the explosions", [&](CXGameplaySurvival* r) { starve(r->m_Explosions); }},
        {"the rays", [&](CXGameplaySurvival* r) { starve(r->m_Rays); }},
        {"the bombs", [&](CXGameplaySurvival* r) { starve(r->m_Bombs); }},
        {"the path points", [&](CXGameplaySurvival* r) { starve(r->m_PathPoints); }},
    };
    for (const auto& row : rows) {
        auto reader = NewReader();
        row.damage(reader.get());
        EXPECT_FALSE(Load(reader.get(), bytes)) << row.what;
    }
    auto reader = NewReader();
    EXPECT_TRUE(Load(reader.get(), bytes)) << "the same body into lists that can grow";
}

// Every list's count is weighed against the bytes left at its item's stored size (explosion 28,
// ray 16, bomb 20 bytes): a round crowded with one kind of effect, its list taking most of the
// record, still loads.
TEST_F(RoundRecordTest, ARoundCrowdedWithOneKindOfEffectStillLoads) {
    for (int kind = 0; kind < 3; ++kind) {
        SCOPED_TRACE(kind);
        screen->m_Explosions.count = screen->m_Rays.count = screen->m_Bombs.count = 0;
        for (int i = 0; i < 300; ++i) {
            if (kind == 0)
                ASSERT_GE(screen->m_Explosions.Add(CExplosion{{i * 256, 100 * 256}, 20 * 256, 255, 0, 0, 45 * 256}), 0);
            if (kind == 1) ASSERT_GE(screen->m_Rays.Add(CRay{{i << 16, 60 << 16}, {1 << 16, 0}}), 0);
            if (kind == 2) ASSERT_GE(screen->m_Bombs.Add(CBomb{{i << 16, 80 << 16}, 3, 20, 40 * 256}), 0);
        }
        const Bytes bytes = Save(screen);
        auto reader = NewReader();
        ASSERT_TRUE(Load(reader.get(), bytes));
        EXPECT_EQ(reader->m_Explosions.count + reader->m_Rays.count + reader->m_Bombs.count, 300);
        EXPECT_EQ(Save(reader.get()), bytes);
    }
}

TEST_F(RoundRecordTest, AnEmptyFieldWritesFourZeroCountsBeforeTheScore) {
    screen->m_nScore = 0x01020304;
    const Bytes bytes = Save(screen);
    const Bytes head{0, 0, 0, 0, /* explosions, rays, bombs, marbles */ 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                     4, 3, 2, 1};
    ASSERT_GE(bytes.size(), head.size());
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(head.size())), head);
}

// The body written out by hand from the record's table reads into the round the fields say, and
// writes back byte for byte.
TEST_F(RoundRecordTest, AHandMadeBodyReadsAndWritesBackByteForByte) {
    const Bytes golden = Build(TBody{});
    auto reader = NewReader();
    // What the reader showed and waited for before is not kept.
    reader->m_nMusicDelay = 50;
    reader->m_nDisplayedScore = 100;
    reader->m_bLevelUpFill = reader->m_bLevelUpHold = true;
    ASSERT_TRUE(Load(reader.get(), golden));
    CXGameplaySurvival& r = *reader;
    ASSERT_EQ(r.m_Explosions.count, 1);
    EXPECT_EQ(r.m_Explosions.data[0].position.x, 150 * 256);
    EXPECT_EQ(r.m_Explosions.data[0].green, 64);
    ASSERT_EQ(r.m_Rays.count, 1);
    EXPECT_EQ(r.m_Rays.data[0].step.y, -(2 << 16));
    ASSERT_EQ(r.m_Bombs.count, 1);
    EXPECT_EQ(r.m_Bombs.data[0].duration, 20);
    ASSERT_EQ(r.m_Marbles.count, 1);
    EXPECT_EQ(r.m_Marbles.data[0]->m_nColorType, kMarbleBlue);
    EXPECT_EQ(r.m_Marbles.data[0]->m_Position.x, 120 << 16);
    EXPECT_EQ(r.m_nScore, 4321);
    EXPECT_EQ(r.m_nCoinsPickedUp, 6);
    EXPECT_EQ(r.m_nLives, 2);
    ASSERT_EQ(r.m_PathPoints.count, 2);
    EXPECT_EQ(r.m_PathPoints.data[1].x, 160 * 256);
    EXPECT_EQ(r.m_FingerPos.x, 171 * 256);
    EXPECT_EQ(r.m_DragStartPos.y, 301 * 256);
    EXPECT_EQ(r.m_DrawingCurve.GetNumSegments(), 1);
    EXPECT_EQ(r.m_pDraggedMarble, r.m_Marbles.data[0]);
    EXPECT_EQ(r.m_nLevel, 2);
    EXPECT_EQ(r.m_nLevelTarget, 22);
    EXPECT_EQ(r.m_nCleared, 5);
    EXPECT_EQ(r.m_nEasingCounter, 40);
    EXPECT_EQ(r.m_nSpawnInterval, 25);
    EXPECT_EQ(r.m_nSpawnCounter, 3);
    EXPECT_EQ(r.m_nPauseCounter, -1);
    EXPECT_TRUE(r.m_bNearMiss);
    const std::uint8_t tops[6] = {4, 3, 4, 4, 4, 5};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(r.m_BoostLevels[i], tops[i]) << i;
    EXPECT_EQ(r.m_nShownFill, 166 * 5 / 22);
    EXPECT_TRUE(r.m_bIntroPlayed) << "a resumed round goes straight to its music";
    EXPECT_EQ(r.m_nMusicDelay, 0);
    EXPECT_FALSE(r.m_bLevelUpFill);
    EXPECT_FALSE(r.m_bLevelUpHold);
    EXPECT_EQ(r.m_nDisplayedScore, 4321) << "the display jumps to the resumed score";
    EXPECT_EQ(Save(reader.get()), golden);
    // A lesson's body: its flag, 1, is written back as read.
    TBody lesson;
    lesson.tutorial = 1;
    const Bytes lessonBytes = Build(lesson);
    auto lessonReader = NewReader();
    ASSERT_TRUE(Load(lessonReader.get(), lessonBytes));
    EXPECT_TRUE(lessonReader->m_bTutorial);
    EXPECT_EQ(Save(lessonReader.get()), lessonBytes);
}

TEST_F(RoundRecordTest, SavingKeepsThePathBeingDrawnAndLoadingReplacesTheReadersOwn) {
    Put(kMarbleYellow, 200, 250);
    (void)screen->NotifyPointerEvent(200, 250, XPOINTER_PRESS);
    for (int k = 1; k <= 90; ++k) (void)screen->NotifyPointerEvent(200 - k, 250 + k / 2, XPOINTER_MOVE);
    ASSERT_EQ(screen->m_PathPoints.count, 3);
    CMarble* held = screen->m_pDraggedMarble;
    ASSERT_NE(held, nullptr);
    screen->m_bLevelUpFill = true;
    screen->m_nTargetFill = 166;
    const Bytes bytes = Save(screen);
    EXPECT_EQ(screen->m_PathPoints.count, 3);
    EXPECT_EQ(screen->m_pDraggedMarble, held) << "the finger keeps its marble";
    EXPECT_TRUE(screen->m_bLevelUpFill) << "the bar goes on filling";
    EXPECT_EQ(screen->m_nTargetFill, 166);
    auto reader = NewReader();
    for (int i = 0; i < 5; ++i) ASSERT_EQ(reader->m_PathPoints.Add(TVector2D{i * 256, i * 256}), 1);
    ASSERT_TRUE(Load(reader.get(), bytes));
    ASSERT_EQ(reader->m_PathPoints.count, 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(reader->m_PathPoints.data[i].x, screen->m_PathPoints.data[i].x) << i;
        EXPECT_EQ(reader->m_PathPoints.data[i].y, screen->m_PathPoints.data[i].y) << i;
    }
}

// A path whose curve was lost keeps its points; with no curve behind them only the round's short
// tail follows, so a long line of points loads only if each is weighed at its 8 bytes.
TEST_F(RoundRecordTest, ALongLineOfPathPointsWithoutItsCurveStillLoads) {
    constexpr int kPoints = 600;
    const auto point = [](int i) { return TVector2D{(i % 300) * 256 + 3, (60 + i / 300 * 40) * 256 + 129}; };
    for (int i = 0; i < kPoints; ++i) ASSERT_EQ(screen->m_PathPoints.Add(point(i)), 1);
    ASSERT_EQ(screen->m_DrawingCurve.GetNumSegments(), 0);
    const Bytes bytes = Save(screen);
    ASSERT_LT(bytes.size(), static_cast<std::size_t>(kPoints) * 10) << "the tail is shorter than 2 bytes a point";
    auto reader = NewReader();
    ASSERT_TRUE(Load(reader.get(), bytes));
    ASSERT_EQ(reader->m_PathPoints.count, kPoints);
    for (int i : {0, 1, 299, 300, 450, kPoints - 1}) {
        EXPECT_EQ(reader->m_PathPoints.data[i].x, point(i).x) << i;
        EXPECT_EQ(reader->m_PathPoints.data[i].y, point(i).y) << i;
    }
    EXPECT_EQ(Save(reader.get()), bytes);
}

// The game writes the body into a record of fixed size: a body that outgrows it is no save, be
// the record full half way along a line of path points or at the body's last byte.
TEST_F(RoundRecordTest, ABodyLargerThanItsRecordIsNotSaved) {
    for (int i = 0; i < 200; ++i) ASSERT_EQ(screen->m_PathPoints.Add(TVector2D{i * 256, 300 * 256}), 1);
    const Bytes whole = Save(screen);
    ASSERT_GT(whole.size(), 200u * 8) << "the points take most of the body";
    ASSERT_LT(whole.size(), 200u * 8 * 2);
    for (std::size_t room : {whole.size() / 2, whole.size() - 1}) {
        CMemoryFile out;
        ASSERT_EQ(out.Create(static_cast<unsigned>(room)), 1);
        EXPECT_FALSE(screen->SaveResume(&out, 1)) << room << " of " << whole.size() << " bytes";
    }
}

TEST_F(RoundRecordTest, AScreenWithoutItsFloatingTextsTakesNoBody) {
    auto reader = NewReader();
    delete reader->m_pJumpStrings;
    reader->m_pJumpStrings = nullptr;
    EXPECT_FALSE(Load(reader.get(), Build(TBody{})));
}

// The dragged marble is found by its saved identity: 0 holds none (even beside a marble saved
// with identity 0), an identity no marble has holds none, and one two marbles share (a damaged
// body) holds the first of them.
TEST_F(RoundRecordTest, TheDraggedIdentityFindsItsMarble) {
    const struct {
        const char* what;
        int marbles;
        unsigned firstId, idStep, draggedId;
        int held;  // the index of the marble held, -1 for none
    } cases[] = {
        {"identity 0 beside a marble saved with 0", 1, 0, 1, 0, -1},
        {"an identity no marble has", 1, 1, 1, 99, -1},
        {"an identity three marbles share", 3, 1, 0, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TBody body;
        body.marbleCount = c.marbles;
        body.firstMarbleId = c.firstId;
        body.idStep = c.idStep;
        body.draggedId = c.draggedId;
        auto reader = NewReader();
        ASSERT_TRUE(Load(reader.get(), Build(body)));
        ASSERT_EQ(reader->m_Marbles.count, c.marbles);
        EXPECT_EQ(reader->m_pDraggedMarble, c.held < 0 ? nullptr : reader->m_Marbles.data[c.held]);
    }
}

TEST_F(RoundRecordTest, AShortBoostTableLeavesTheLastLevelsAtZero) {
    // The stored levels are 4, 3, 4, 4, 4, 5 as far as the table goes.
    const struct {
        int count;
        std::uint8_t expected[6];
    } cases[] = {{4, {4, 3, 4, 4, 0, 0}}, {1, {4, 0, 0, 0, 0, 0}}, {0, {0, 0, 0, 0, 0, 0}}};
    for (const auto& c : cases) {
        TBody body;
        body.boostCount = c.count;
        auto reader = NewReader();
        for (std::uint8_t& level : reader->m_BoostLevels) level = 9;
        const Bytes bytes = Build(body);
        ASSERT_TRUE(Load(reader.get(), bytes)) << c.count;
        for (int i = 0; i < 6; ++i) EXPECT_EQ(reader->m_BoostLevels[i], c.expected[i]) << c.count << ": " << i;
    }
}

TEST_F(RoundRecordTest, TheRollingSoundResumesLoopedOrStopsAsTheBodySays) {
    for (bool rolling : {true, false}) {
        SCOPED_TRACE(rolling);
        TBody body;
        body.pathSound = rolling;
        sound->played.clear();
        sound->looped.clear();
        sound->stopped.clear();
        auto reader = NewReader();
        ASSERT_TRUE(Load(reader.get(), Build(body)));
        EXPECT_EQ(sound->looped.size(), rolling ? 1u : 0u);
        EXPECT_EQ(std::count_if(sound->looped.begin(), sound->looped.end(),
                                [](const std::string& f) { return f.ends_with("SFX_PATH_MOVE"); }),
                  rolling ? 1 : 0);
        EXPECT_EQ(Stopped("SFX_PATH_MOVE"), rolling ? 0 : 1);
    }
    // The rolling sound loaded first, with the id 0, resumes all the same.
    delete game.m_pSoundManager;
    sound->files.clear();
    game.m_pSoundManager = new CSoundManager(&game);
    for (const char* name : {"SFX_PATH_MOVE", "SFX_WRONG_BALL"}) {
        SoundFXData* entry = game.m_pSoundManager->AddSoundFX(CommonString(name));
        entry->file = name;
        ASSERT_TRUE(game.m_pSoundManager->AddReference(entry)) << name;
    }
    ASSERT_EQ(game.m_pSoundManager->FindSoundFX(CommonString("SFX_PATH_MOVE"))->soundId, 0);
    {
        TBody body;
        body.pathSound = true;
        sound->looped.clear();
        auto reader = NewReader();
        ASSERT_TRUE(Load(reader.get(), Build(body)));
        EXPECT_EQ(sound->looped, std::vector<std::string>(1, sound->files[0])) << "id 0 is a sound like any other";
    }
    // Without a sound manager the body still loads.
    CSoundManager* sounds = game.m_pSoundManager;
    game.m_pSoundManager = nullptr;
    TBody body;
    body.pathSound = true;
    auto reader = NewReader();
    EXPECT_TRUE(Load(reader.get(), Build(body)));
    game.m_pSoundManager = sounds;
}

TEST_F(RoundRecordTest, ADamagedBodyIsRefused) {
    struct TRow {
        const char* what;
        std::function<void(TBody&)> damage;
    };
    const TRow rows[] = {
        {"a negative explosion count", [](TBody& b) { b.explosionCount = -1; }},
        {"more explosions than the bytes hold", [](TBody& b) { b.explosionCount = 1000000; }},
        {"a negative ray count", [](TBody& b) { b.rayCount = -5; }},
        {"more bombs than the bytes hold", [](TBody& b) { b.bombCount = 0x7fffffff; }},
        {"more marbles than the bytes hold", [](TBody& b) { b.marbleCount = 5000; }},
        {"a negative marble count", [](TBody& b) { b.marbleCount = -1; }},
        {"more path points than the bytes hold", [](TBody& b) { b.pointCount = 100000; }},
        {"a marble type 4", [](TBody& b) { b.marbleType = 4; }},
        {"a marble type 99", [](TBody& b) { b.marbleType = 99; }},
        {"a marble type 104", [](TBody& b) { b.marbleType = 104; }},
        {"a marble type -1", [](TBody& b) { b.marbleType = -1; }},
        {"seven boost levels", [](TBody& b) { b.boostCount = 7; }},
        {"a negative boost count", [](TBody& b) { b.boostCount = -1; }},
        {"a level target of 19", [](TBody& b) { b.target = 19; }},
        {"a level target of 0", [](TBody& b) { b.target = 0; }},
        {"a level target of 36", [](TBody& b) { b.target = 36; }},
        {"a pause past its bursts with a marble never set to burst", [](TBody& b) { b.pause = 67; }},
        {"a pause at its burst frame with a marble never set to burst", [](TBody& b) { b.pause = 66; }},
        {"a pause counter below -1", [](TBody& b) { b.pause = -2; }},
        {"a pause counter that never ends", [](TBody& b) { b.pause = 0x7fffffff; }},
        {"a negative score", [](TBody& b) { b.score = -1; }},
        {"negative coins", [](TBody& b) { b.coins = -7; }},
        {"negative lives", [](TBody& b) { b.lives = -1; }},
        {"a hundred lives", [](TBody& b) { b.lives = 100; }},
        {"a negative game-over clock", [](TBody& b) { b.gameOverClock = -1; }},
        {"a game-over clock past its cap", [](TBody& b) { b.gameOverClock = 16383 * 131072 + 1; }},
        {"a negative level", [](TBody& b) { b.level = -1; }},
        {"a level no round reaches", [](TBody& b) { b.level = 0x7ffffffb; }},
        {"a level one past the highest kept", [](TBody& b) { b.level = 100001; }},
        {"a negative cleared count", [](TBody& b) { b.cleared = -1; }},
        {"more cleared than the level's target", [](TBody& b) { b.cleared = 23; }},
        {"a cleared count past any float", [](TBody& b) { b.cleared = 0x7fffffff; }},
        {"a negative easing counter", [](TBody& b) { b.easing = -3; }},
        {"easing past its frames", [](TBody& b) { b.easing = 496; }},
        {"a spawn interval of 0", [](TBody& b) { b.spawnInterval = 0; }},
        {"a huge spawn interval", [](TBody& b) { b.spawnInterval = 0x40000000; }},
        {"a spawn interval one past 3,000 frames", [](TBody& b) { b.spawnInterval = 3001; }},
        {"a negative spawn counter", [](TBody& b) { b.spawnCounter = -1; }},
        {"a spawn counter one past 3,000 frames", [](TBody& b) { b.spawnCounter = 3001; }},
        {"a bursting pause one frame past its ceiling",
         [](TBody& b) {
             b.pause = 66 + 100001;
             b.countdown = 3;
         }},
        {"a drag highlight past opaque", [](TBody& b) { b.dragAlpha = 256; }},
        {"a negative drag highlight", [](TBody& b) { b.dragAlpha = -1; }},
        {"a negative marbles-on-path count", [](TBody& b) { b.onPath = -1; }},
        {"the lowest marbles-on-path count", [](TBody& b) { b.onPath = static_cast<int>(0x80000000u); }},
        {"more marbles on paths than marbles", [](TBody& b) { b.onPath = 2; }},
        {"a combo boost one above its top", [](TBody& b) { b.boosts[0] = 5; }},
        {"a life boost one above its top", [](TBody& b) { b.boosts[1] = 4; }},
        {"a coin boost of 255", [](TBody& b) { b.boosts[2] = 255; }},
        {"a ray boost one above its top", [](TBody& b) { b.boosts[3] = 5; }},
        {"a colour-bomb boost one above its top", [](TBody& b) { b.boosts[4] = 5; }},
        {"a bomb boost one above its top", [](TBody& b) { b.boosts[5] = 6; }},
        {"a bomb boost of 255", [](TBody& b) { b.boosts[5] = 255; }},
        {"a short table with a level above its top",
         [](TBody& b) {
             b.boostCount = 2;
             b.boosts[1] = 200;
         }},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.what);
        TBody body;
        row.damage(body);
        auto reader = NewReader();
        EXPECT_FALSE(Load(reader.get(), Build(body)));
    }
    // The edges a round can reach still load: the level's target met during its level-up, the
    // one marble on a path, a game-over clock at its cap, a long pause whose marbles all burst.
    const TRow edges[] = {
        {"cleared equal to the target", [](TBody& b) { b.cleared = 22; }},
        {"the first level's target of 20", [](TBody& b) { b.target = 20; }},
        {"the top target of 35", [](TBody& b) { b.target = 35; }},
        {"every marble on a path", [](TBody& b) { b.onPath = 1; }},
        {"the game-over clock at its cap", [](TBody& b) { b.gameOverClock = 16383 * 131072; }},
        {"no points yet", [](TBody& b) { b.score = 0; }},
        {"ninety-nine lives", [](TBody& b) { b.lives = 99; }},
        {"the highest level kept", [](TBody& b) { b.level = 100000; }},
        {"easing at its last frame", [](TBody& b) { b.easing = 495; }},
        {"a spawn interval and counter of 3,000 frames",
         [](TBody& b) {
             b.spawnInterval = 3000;
             b.spawnCounter = 3000;
         }},
        {"the last life lost at game over",
         [](TBody& b) {
             b.lives = 0;
             b.gameOver = true;
         }},
        {"the first level with nothing cleared",
         [](TBody& b) {
             b.level = 0;
             b.cleared = 0;
         }},
        {"a spawn every frame, due now",
         [](TBody& b) {
             b.spawnInterval = 1;
             b.spawnCounter = 0;
         }},
        {"no drag highlight", [](TBody& b) { b.dragAlpha = 0; }},
        {"a full drag highlight", [](TBody& b) { b.dragAlpha = 255; }},
        {"no boosts at all",
         [](TBody& b) {
             for (int& level : b.boosts) level = 0;
         }},
    };
    for (const TRow& row : edges) {
        SCOPED_TRACE(row.what);
        TBody body;
        row.damage(body);
        auto reader = NewReader();
        EXPECT_TRUE(Load(reader.get(), Build(body)));
    }
    // At or past the burst frame with every marble set to burst is a pause a save can meet, up to
    // 100,000 frames past it.
    for (int pause : {66, 70, 66 + 100000}) {
        TBody bursting;
        bursting.pause = pause;
        bursting.countdown = 3;
        auto reader = NewReader();
        EXPECT_TRUE(Load(reader.get(), Build(bursting))) << pause;
    }
}

TEST_F(RoundRecordTest, AShortBodyIsRefusedWhereverItEnds) {
    const Bytes golden = Build(TBody{});
    for (std::size_t keep = 0; keep < golden.size(); ++keep) {
        SCOPED_TRACE(keep);
        auto reader = NewReader();
        EXPECT_FALSE(Load(reader.get(), Bytes(golden.begin(), golden.begin() + static_cast<std::ptrdiff_t>(keep))));
    }
}

TEST_F(RoundRecordTest, ABodyLaidOutWithTheAdStripMovesUp) {
    const int h = GC.m_nAdBannerHeight;
    ASSERT_GT(h, 0);
    TBody body;
    body.withoutAdStrip = false;
    auto reader = NewReader();
    const TRect2D area = reader->m_PlayRect;
    // Animations the screen already runs move with the rest.
    for (int i = 0; i < 2; ++i) {
        CAnimation a;
        a.start = TVector2D{100 * 256, (200 + i) * 256};
        a.end = TVector2D{140 * 256, (300 + i) * 256};
        ASSERT_EQ(reader->m_Animations.Add(a), 1);
    }
    ASSERT_TRUE(Load(reader.get(), Build(body)));
    const int up = h / 2;
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(reader->m_Animations.data[i].start.y, (200 + i - up) * 256) << i;
        EXPECT_EQ(reader->m_Animations.data[i].end.y, (300 + i - up) * 256) << i;
        EXPECT_EQ(reader->m_Animations.data[i].start.x, 100 * 256) << i;
    }
    EXPECT_EQ(reader->m_Marbles.data[0]->m_Position.y, (300 - up) << 16);
    EXPECT_EQ(reader->m_Marbles.data[0]->m_Position.x, 120 << 16);
    EXPECT_EQ(reader->m_Explosions.data[0].position.y, (200 - up) * 256);
    EXPECT_EQ(reader->m_Rays.data[0].position.y, (120 - up) << 16);
    EXPECT_EQ(reader->m_Bombs.data[0].centre.y, (240 - up) << 16);
    EXPECT_EQ(reader->m_PlayRect.y, area.y - h * 256);
    EXPECT_EQ(reader->m_PlayRect.height, area.height + h * 256);
    EXPECT_EQ(reader->m_PlayRect.x, area.x);

    body.withoutAdStrip = true;
    auto plain = NewReader();
    ASSERT_TRUE(Load(plain.get(), Build(body)));
    EXPECT_EQ(plain->m_Marbles.data[0]->m_Position.y, 300 << 16);
    EXPECT_EQ(plain->m_PlayRect.y, area.y);
}

// Lists that fill the block they grow by (16 items) move up whole, and nothing beyond their last
// item is written.
TEST_F(RoundRecordTest, FullListsLaidOutWithTheAdStripMoveUpWhole) {
    constexpr int kItems = 16;
    for (int i = 0; i < kItems; ++i) {
        ASSERT_EQ(screen->m_Explosions.Add(CExplosion{{i * 256, 100 * 256}, 20 * 256, 255, 0, 0, 45 * 256}), 1);
        ASSERT_EQ(screen->m_Rays.Add(CRay{{i << 16, 60 << 16}, {1 << 16, 0}}), 1);
        ASSERT_EQ(screen->m_Bombs.Add(CBomb{{i << 16, 80 << 16}, 3, 20, 40 * 256}), 1);
    }
    Bytes bytes = Save(screen);
    ASSERT_EQ(bytes.back(), 1) << "the body ends with its flag: laid out without the ad strip";
    bytes.back() = 0;
    auto reader = NewReader();
    for (int i = 0; i < kItems; ++i) {
        CAnimation a;
        a.start = TVector2D{0, (200 + i) * 256};
        a.end = TVector2D{0, (300 + i) * 256};
        ASSERT_EQ(reader->m_Animations.Add(a), 1);
    }
    ASSERT_TRUE(Load(reader.get(), bytes));
    const int up = GC.m_nAdBannerHeight / 2;
    ASSERT_GT(up, 0);
    ASSERT_EQ(reader->m_Explosions.count, kItems);
    ASSERT_EQ(reader->m_Rays.count, kItems);
    ASSERT_EQ(reader->m_Bombs.count, kItems);
    for (int i = 0; i < kItems; ++i) {
        EXPECT_EQ(reader->m_Explosions.data[i].position.y, (100 - up) * 256) << i;
        EXPECT_EQ(reader->m_Rays.data[i].position.y, (60 - up) << 16) << i;
        EXPECT_EQ(reader->m_Bombs.data[i].centre.y, (80 - up) << 16) << i;
        EXPECT_EQ(reader->m_Animations.data[i].start.y, (200 + i - up) * 256) << i;
        EXPECT_EQ(reader->m_Animations.data[i].end.y, (300 + i - up) * 256) << i;
    }
}

}  // namespace
}  // namespace gameplaytest
