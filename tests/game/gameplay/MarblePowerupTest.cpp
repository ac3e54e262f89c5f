// Power-ups: their kinds, life and blink, colour-bomb colours, rays, blast radius, the coin's hop,
// what each kind appends when set off, their drawing, sparkles, and their saved records.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "GameplayFakeGame.h"
#include "RecordBytes.h"
#include "game/widgets/EffectRecords.h"
#include "game/gameplay/MarblePowerup.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemShape.h"

namespace {

using gameplaytest::AppendMarble;
using gameplaytest::Bytes;
using gameplaytest::GameplayTest;
using gameplaytest::ReadFrom;
using gameplaytest::TMarbleFields;
using gameplaytest::Vec;
using gameplaytest::WrittenBy;

constexpr FIXED_FLOAT_16 kPx = 65536;

class PowerupTest : public GameplayTest {};

TEST_F(PowerupTest, EachKindIsMadeOfItsSetAndSettings) {
    game.randoms = {1, 17};  // the colour bomb's colour, then the 8-way bomb's first ray
    CMarblePowerup* bomb = AddPowerup(kPowerUpBomb, 100, 100);
    CMarblePowerup* colour = AddPowerup(kPowerUpColorBomb, 100, 100);
    CMarblePowerup* coin = AddPowerup(kPowerUpCoin, 100, 100);
    CMarblePowerup* rays = AddPowerup(kPowerUpEightWay, 100, 100);
    struct TCase {
        CMarblePowerup* p;
        int type;
        CSpriteSet* sprite;
        FIXED_FLOAT frameStep;
        FIXED_FLOAT_16 scale;
        bool collides, spins, shape;
        const char* why;
    } cases[] = {
        {bomb, 100, Set("BONUS_BOMB"), 192, 58982, false, true, false, "bomb"},
        {colour, 101, Set("ColorBombGreen"), 256, 65536, false, false, true, "colour bomb"},
        {coin, 102, field.coinSet, 256, 65536, true, false, false, "coin"},
        {rays, 103, Set("BONUS_8WAY"), 256, 65536, false, true, true, "8-way bomb"},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(c.p->m_nColorType, c.type) << c.why;
        EXPECT_TRUE(c.p->IsPowerUp()) << c.why;
        EXPECT_EQ(c.p->m_pSprite, c.sprite) << c.why;
        EXPECT_EQ(c.p->m_nFrameStep, c.frameStep) << c.why;
        EXPECT_EQ(c.p->m_nScale, c.scale) << c.why;
        EXPECT_EQ(c.p->m_bCollides, c.collides) << c.why;
        EXPECT_EQ(c.p->m_bSpins, c.spins) << c.why;
        EXPECT_TRUE(c.p->m_bShadow) << c.why;
        EXPECT_TRUE(c.p->m_bSetOffByMarble && c.p->m_bSetOffByFinger) << c.why;
        EXPECT_EQ(c.p->m_pParticleShape != nullptr, c.shape) << c.why;
        EXPECT_EQ(c.p->m_nLife, 990) << c.why;
    }
    EXPECT_EQ(bomb->m_nBaseRadius, 128 * 256);
    EXPECT_EQ(colour->m_nFirstColor, 1);
    EXPECT_EQ(rays->m_nRayAngle, 17 * 256);
    EXPECT_EQ(game.asked, (std::vector<int>{4, 45}));
}

TEST_F(PowerupTest, NobodySetsItOffItBlinksItsLast144FramesAndGoes) {
    CMarblePowerup* p = AddPowerup(kPowerUpBomb, 100, 100);
    // The blink from the frame its life reaches 144 (frame 846): a triangle between 0 and -255
    // in steps of 16, turning at -255 and at 0.
    const int blink[] = {0,    -16,  -32,  -48,  -64,  -80,  -96,  -112, -128, -144, -160, -176,
                         -192, -208, -224, -240, -255, -239, -223, -207, -191, -175, -159, -143,
                         -127, -111, -95,  -79,  -63,  -47,  -31,  -15,  0,    -16,  -32};
    for (int frame = 1; frame <= 990; ++frame) {
        p->RunProcess();
        ASSERT_FALSE(p->m_bRemoved) << frame;
        ASSERT_EQ(p->m_nLife, 990 - frame);
        if (frame < 846) {
            ASSERT_EQ(p->m_nBlinkAlpha, 0) << frame;
        }
        const int i = frame - 846;
        if (i >= 0 && i < static_cast<int>(std::size(blink))) {
            EXPECT_EQ(p->m_nBlinkAlpha, blink[i]) << frame;
        }
        ASSERT_GE(p->m_nBlinkAlpha, -255);
        ASSERT_LE(p->m_nBlinkAlpha, 0);
    }
    p->RunProcess();
    EXPECT_TRUE(p->m_bRemoved) << "gone after its 990 frames";
    EXPECT_TRUE(field.explosions.count == 0 && field.bombs.count == 0) << "without any effect";
}

TEST_F(PowerupTest, ItFadesInOverItsFirstSixteenFrames) {
    CMarblePowerup* p = AddPowerup(kPowerUpCoin, 100, 100);
    struct TCase {
        int life, alpha;
    } cases[] = {{990, -255}, {989, -239}, {982, -127}, {975, -15}, {974, 0}, {500, 0}};
    for (const TCase& c : cases) {
        p->m_nLife = c.life;
        recorder.draws.clear();
        p->Draw();
        ASSERT_EQ(recorder.draws.size(), 2u) << c.life;
        EXPECT_EQ(recorder.draws[1].alphaOffset, c.alpha) << c.life;
        EXPECT_EQ(recorder.draws[0].alphaOffset, c.alpha - 128) << c.life << ": the shadow";
    }
}

TEST_F(PowerupTest, ColourBombColoursFollowTheTwoColourBoost) {
    const std::vector<int> tenTimes3(10, 3), tenTimes1(10, 1);
    struct TCase {
        int level, top;
        std::vector<int> randoms;
        int first;
        bool two;
        int second;
        std::vector<int> asked;
        const char* why;
    } cases[] = {
        {0, 4, {2}, 2, false, 0, {4}, "no boost: one colour and no chance drawn"},
        {4, 4, {1, 1, 1, 3}, 1, true, 3, {4, 4, 4, 4}, "top level: always two, redrawn until they differ"},
        {4, 4, {0, 2}, 0, true, 2, {4, 4}, "top level, a different colour at once"},
        {2, 4, {0, 500, 2}, 0, true, 2, {4, 1000, 4}, "half way: 500 lies within 1000 x 2 / 4"},
        {2, 4, {0, 501}, 0, false, 0, {4, 1000}, "half way: 501 does not"},
        {1, 4, {3, 0, 1}, 3, true, 1, {4, 1000, 4}, "the lowest level still can"},
        {2, 0, {1}, 1, false, 0, {4}, "a boost table without levels counts as no boost"},
        {3, -1, {1}, 1, false, 0, {4}, "nor does a negative top level divide"},
    };
    for (const TCase& c : cases) {
        field.boostLevels[kUpgradeColorBomb] = c.level;
        field.topLevels[kUpgradeColorBomb] = c.top;
        game.randoms.assign(c.randoms.begin(), c.randoms.end());
        game.asked.clear();
        CMarblePowerup p(&game, &field);
        p.SetPowerUpType(kPowerUpColorBomb);
        EXPECT_EQ(p.m_nFirstColor, c.first) << c.why;
        EXPECT_EQ(p.m_bTwoColors, c.two) << c.why;
        if (c.two) {
            EXPECT_EQ(p.m_nSecondColor, c.second) << c.why;
        }
        EXPECT_EQ(game.asked, c.asked) << c.why;
        const int mask = (1 << c.first) | (c.two ? 1 << c.second : 0);
        EXPECT_EQ(p.GetColorMask(), mask) << c.why;
        EXPECT_EQ(p.m_pSprite, field.colorBombSets[mask]) << c.why;
    }
}

TEST_F(PowerupTest, TenEqualDrawsGiveTheColourAfterTheFirst) {
    field.boostLevels[kUpgradeColorBomb] = field.topLevels[kUpgradeColorBomb];
    struct TCase {
        int first, second;
    } cases[] = {{3, 0}, {1, 2}, {0, 1}};
    for (const TCase& c : cases) {
        game.randoms.assign(11, c.first);
        game.asked.clear();
        CMarblePowerup p(&game, &field);
        p.SetPowerUpType(kPowerUpColorBomb);
        EXPECT_TRUE(p.m_bTwoColors);
        EXPECT_EQ(p.m_nSecondColor, c.second) << c.first;
        EXPECT_EQ(game.asked.size(), 11u) << "the first colour and ten draws for the second";
    }
}

TEST_F(PowerupTest, TheEightWayBombFiresItsRaysEvenlyFromItsAngle) {
    struct TCase {
        int level, rays, spacing;
    } cases[] = {{0, 4, 90}, {1, 6, 60}, {2, 8, 45}, {3, 10, 36}, {4, 12, 30}, {5, 4, 90}, {-1, 4, 90}};
    for (const TCase& c : cases) {
        field.boostLevels[kUpgradeRay] = c.level;
        field.rays.count = 0;
        CMarblePowerup* p = AddPowerup(kPowerUpEightWay, 150, 220);
        p->m_nRayAngle = 10 * 256;
        p->Activate();
        EXPECT_TRUE(p->m_bRemoved);
        ASSERT_EQ(field.rays.count, c.rays) << c.level;
        for (int i = 0; i < c.rays; ++i) {
            const CRay& ray = field.rays[i];
            const double a = (10.0 + i * c.spacing) * M_PI / 180.0;
            EXPECT_EQ(ray.position.x, 150 * kPx);
            EXPECT_EQ(ray.position.y, 220 * kPx);
            EXPECT_NEAR(ray.step.x, std::sin(a) * 65536, 2) << c.level << " ray " << i;
            EXPECT_NEAR(ray.step.y, std::cos(a) * 65536, 2) << c.level << " ray " << i;
            EXPECT_NEAR(std::hypot(ray.step.x, ray.step.y), 65536, 3) << "a step of one pixel";
        }
    }
    CMarblePowerup* turning = AddPowerup(kPowerUpEightWay, 100, 100);
    turning->m_nRayAngle = 0;
    turning->RunProcess();
    EXPECT_EQ(turning->m_nRayAngle, 359 * 256) << "the rays turn back a degree a frame, wrapping";
}

TEST_F(PowerupTest, TheBlastRadiusGrowsWithTheBombBoost) {
    struct TCase {
        int level, top;
        float radius;
        const char* why;
    } cases[] = {
        {0, 5, 128.0f, "no boost"},
        {5, 5, 192.0f, "the top level: one and a half times"},
        {2, 5, 128.0f * 1.2f, "two of five levels"},
        {4, 5, 128.0f * 1.4f, "four of five"},
        {3, 0, 128.0f, "a table without levels counts as no boost"},
        {2, -1, 128.0f, "nor does a negative top level divide"},
    };
    for (const TCase& c : cases) {
        field.boostLevels[kUpgradeBomb] = c.level;
        field.topLevels[kUpgradeBomb] = c.top;
        CMarblePowerup* bomb = AddPowerup(kPowerUpBomb, 100, 100);
        EXPECT_FLOAT_EQ(bomb->GetRadius(), c.radius) << c.why;
    }
}

TEST_F(PowerupTest, AHopWithoutAForwardStepEndsOnItsTargetAtOnce) {
    // A step of 0 or less would never arrive (or would walk away): the hop ends on its first frame.
    for (FIXED_FLOAT_16 step : {0, -1, -5 * kPx}) {
        CMarblePowerup* coin = AddPowerup(kPowerUpCoin, 60, 400);
        const TVector2D_16 target{120 * kPx, 380 * kPx};
        coin->StartHop(target, 20 * kPx, step);
        coin->RunProcess();
        EXPECT_FALSE(coin->m_bHopping) << step;
        EXPECT_EQ(coin->m_Position.x, target.x) << step;
        EXPECT_EQ(coin->m_Position.y, target.y) << step;
    }
    // The smallest forward step still moves along the ground.
    CMarblePowerup* coin = AddPowerup(kPowerUpCoin, 60, 400);
    coin->StartHop(TVector2D_16{120 * kPx, 400 * kPx}, 20 * kPx, kPx);
    coin->RunProcess();
    EXPECT_TRUE(coin->m_bHopping);
    EXPECT_EQ(coin->m_HopPoint.x, 61 * kPx);
}

TEST_F(PowerupTest, ACoinHopEndsExactlyOnItsTargetAndLooksLargestHalfWay) {
    CMarblePowerup* coin = AddPowerup(kPowerUpCoin, 60, 400);
    coin->m_nLife = 900;
    const TVector2D_16 target{220 * kPx + 12345, 150 * kPx + 777};
    const double distance = std::hypot(160 + 12345 / 65536.0, -250 + 777 / 65536.0);
    const FIXED_FLOAT_16 firstStep = static_cast<FIXED_FLOAT_16>(distance * kPx / 24);
    coin->StartHop(target, 50 * kPx, firstStep);
    struct TFrame {
        double done;  // fraction of the way travelled along the ground
        FIXED_FLOAT_16 scale;
    };
    std::vector<TFrame> frames;
    // Each frame the ground point moves by the step, and the step grows by 66847 / 65536.
    double step = firstStep, travelled = 0;
    for (int i = 0; i < 60 && coin->m_bHopping; ++i) {
        coin->RunProcess();
        if (!coin->m_bHopping) break;
        travelled += step;
        step *= 66847.0 / 65536.0;
        const double ground = std::hypot(coin->m_HopPoint.x - 60.0 * kPx, coin->m_HopPoint.y - 400.0 * kPx);
        // Its direction comes from a length measured on coordinates divided by 128 while more
        // than 181 pixels remain: a hundred-thousandth of the way, and a unit a frame of rounding.
        EXPECT_NEAR(ground, travelled, travelled * 1e-5 + 2.0 * (i + 1)) << i << ": the ground point moves by the step";
        EXPECT_NEAR(coin->m_nHopStep, step, i + 2.0) << i << ": the step grows by 2 % a frame";
        const double done = ground / (distance * kPx);
        // The lift is the arc's height at the fraction travelled (measured, past 181 pixels, on
        // coordinates divided by 128: within a thousandth of a pixel).
        EXPECT_NEAR(coin->m_nHopLift, 50.0 * kPx * std::sin(M_PI * done), 66) << i;
        EXPECT_EQ(coin->m_Position.y, coin->m_HopPoint.y - coin->m_nHopLift) << i;
        recorder.draws.clear();
        coin->Draw();
        ASSERT_EQ(recorder.draws.size(), 2u);
        EXPECT_EQ(recorder.draws[0].x, ((coin->m_HopPoint.x >> 16) + 3) * 256) << "the shadow stays on the ground";
        EXPECT_EQ(recorder.draws[0].y, ((coin->m_HopPoint.y >> 16) + 3) * 256);
        frames.push_back({done, recorder.draws[1].scale});
    }
    EXPECT_FALSE(coin->m_bHopping);
    EXPECT_EQ(coin->m_Position.x, target.x) << "the hop ends exactly on its target";
    EXPECT_EQ(coin->m_Position.y, target.y);
    ASSERT_GE(frames.size(), 10u);
    EXPECT_LE(frames.size(), 25u) << "the step grows by 2 % a frame from a 24th of the way";
    const auto largest = std::max_element(frames.begin(), frames.end(),
                                          [](const TFrame& a, const TFrame& b) { return a.scale < b.scale; });
    const auto middle = std::min_element(frames.begin(), frames.end(), [](const TFrame& a, const TFrame& b) {
        return std::abs(a.done - 0.5) < std::abs(b.done - 0.5);
    });
    EXPECT_LE(std::abs(largest - middle), 1) << "largest at the middle of the hop";
    EXPECT_NEAR(largest->scale, 1.5 * 65536, 65536 * 0.02) << "half as large again at the top of the arc";
    EXPECT_LT(frames.front().scale, 1.3 * 65536);
    EXPECT_LT(frames.back().scale, 1.3 * 65536);
}

TEST_F(PowerupTest, ABombLeavesARingAndABlast) {
    field.boostLevels[kUpgradeBomb] = 5;
    CMarblePowerup* bomb = AddPowerup(kPowerUpBomb, 140, 260);
    bomb->m_Position.x += 300;
    bomb->Activate();
    EXPECT_TRUE(bomb->m_bRemoved);
    ASSERT_EQ(field.animations.count, 1);
    const CAnimation& ring = field.animations[0];
    EXPECT_EQ(ring.kind, kAnimationRing);
    EXPECT_EQ(ring.image, field.bombRange);
    EXPECT_EQ(ring.spriteSet, nullptr);
    EXPECT_EQ(ring.clock, 0);
    EXPECT_EQ(ring.duration, 15 * 256);
    EXPECT_EQ(ring.start.x, (140 * kPx + 300) >> 8);
    EXPECT_EQ(ring.start.y, 260 * 256);
    EXPECT_EQ(ring.end.x, ring.start.x);
    EXPECT_EQ(ring.end.y, ring.start.y);
    EXPECT_EQ(ring.startScale, 0);
    EXPECT_EQ(ring.endScale, 65536);
    EXPECT_EQ(ring.startAlpha, 255 * 65536);
    EXPECT_EQ(ring.endAlpha, 255 * 65536);
    EXPECT_FLOAT_EQ(ring.ringRadius, 192.0f);
    ASSERT_EQ(field.bombs.count, 1);
    const CBomb& blast = field.bombs[0];
    EXPECT_EQ(blast.centre.x, 140 * kPx + 300);
    EXPECT_EQ(blast.centre.y, 260 * kPx);
    EXPECT_EQ(blast.counter, 0);
    EXPECT_EQ(blast.duration, 15);
    EXPECT_EQ(blast.radius, 192 * 256);
    EXPECT_EQ(field.explosions.count + field.rays.count, 0);

    field.boostLevels[kUpgradeBomb] = 2;
    AddPowerup(kPowerUpBomb, 10, 10)->Activate();
    EXPECT_EQ(field.bombs[1].radius, 39322) << "153.6 pixels rounded half up in 24.8";
}

TEST_F(PowerupTest, AColourBombCatchesTheMarblesOfItsColoursInTheArea) {
    game.randoms = {kMarbleGreen};
    CMarblePowerup* bomb = AddPowerup(kPowerUpColorBomb, 150, 250);
    bomb->m_nGlowAngle = 33 * 256;
    CMarble* inside = AddMarble(kMarbleGreen, 100, 200);
    CMarble* coming = AddMarble(kMarbleGreen, -20, 200);
    coming->m_Direction = {65536, 0};  // 42 pixels ahead lies inside the area
    CMarble* leaving = AddMarble(kMarbleGreen, -20, 200);
    leaving->m_Direction = {-65536, 0};
    CMarble* red = AddMarble(kMarbleRed, 120, 220);
    CMarble* gone = AddMarble(kMarbleGreen, 130, 230);
    gone->m_bRemoved = true;
    CMarblePowerup* coin = AddPowerup(kPowerUpCoin, 110, 210);
    bomb->Activate();

    EXPECT_TRUE(bomb->m_bRemoved);
    EXPECT_EQ(bomb->m_nScoreFactor, 1);
    for (CMarble* caught : {inside, coming}) {
        EXPECT_TRUE(caught->m_bRemoved);
        EXPECT_EQ(caught->m_nScoreFactor, 2);
    }
    for (CMarble* kept : {leaving, red, static_cast<CMarble*>(coin)}) {
        EXPECT_FALSE(kept->m_bRemoved);
        EXPECT_EQ(kept->m_nScoreFactor, 1);
    }
    EXPECT_EQ(gone->m_nScoreFactor, 1) << "a marble already removed keeps its factor";
    ASSERT_EQ(field.explosions.count, 1);
    const CExplosion& burst = field.explosions[0];
    EXPECT_EQ(burst.position.x, 150 * 256);
    EXPECT_EQ(burst.position.y, 250 * 256);
    EXPECT_EQ(burst.clock, 0);
    EXPECT_EQ(burst.red, 0);
    EXPECT_EQ(burst.green, 255);
    EXPECT_EQ(burst.blue, 0);
    EXPECT_EQ(burst.angle, 33 * 256);

    // Two colours catch both.
    field.boostLevels[kUpgradeColorBomb] = field.topLevels[kUpgradeColorBomb];
    game.randoms = {kMarbleRed, kMarbleYellow};
    CMarblePowerup* two = AddPowerup(kPowerUpColorBomb, 150, 250);
    CMarble* yellow = AddMarble(kMarbleYellow, 90, 300);
    CMarble* blue = AddMarble(kMarbleBlue, 95, 300);
    two->Activate();
    EXPECT_TRUE(red->m_bRemoved);
    EXPECT_TRUE(yellow->m_bRemoved);
    EXPECT_EQ(yellow->m_nScoreFactor, 2);
    EXPECT_FALSE(blue->m_bRemoved);
    EXPECT_EQ(field.explosions[1].red, 255) << "the burst has the first colour";
    EXPECT_EQ(field.explosions[1].green, 0);
}

TEST_F(PowerupTest, ACoinFliesUpAndGrows) {
    CMarblePowerup* coin = AddPowerup(kPowerUpCoin, 80, 300);
    coin->m_nFrame = 5 * 256 + 100;
    coin->Activate();
    EXPECT_TRUE(coin->m_bRemoved);
    ASSERT_EQ(field.animations.count, 1);
    const CAnimation& flight = field.animations[0];
    EXPECT_EQ(flight.kind, kAnimationPlain);
    EXPECT_EQ(flight.spriteSet, field.coinSet);
    EXPECT_EQ(flight.frame, 5 * 256 + 100);
    EXPECT_EQ(flight.frameStep, 512) << "twice the coin's own step";
    EXPECT_EQ(flight.clock, 0);
    EXPECT_EQ(flight.duration, 33 * 256);
    EXPECT_EQ(flight.start.x, 80 * 256);
    EXPECT_EQ(flight.start.y, 300 * 256);
    EXPECT_EQ(flight.end.x, 80 * 256);
    EXPECT_EQ(flight.end.y, 160 * 256);
    EXPECT_EQ(flight.startScale, 65536);
    EXPECT_EQ(flight.endScale, 3 * 65536);
    EXPECT_EQ(flight.startAlpha, 255 * 65536);
    EXPECT_EQ(flight.endAlpha, 255 * 65536);
    EXPECT_EQ(field.bombs.count + field.explosions.count + field.rays.count, 0);
}

TEST_F(PowerupTest, DrawingByKind) {
    field.boostLevels[kUpgradeRay] = 2;
    game.randoms = {kMarbleBlue, 0};
    CMarblePowerup* bomb = AddPowerup(kPowerUpBomb, 100, 100);
    CMarblePowerup* colour = AddPowerup(kPowerUpColorBomb, 120, 100);
    CMarblePowerup* rays = AddPowerup(kPowerUpEightWay, 140, 100);
    for (CMarblePowerup* p : {bomb, colour, rays}) p->m_nLife = 900;
    bomb->m_nGlowAngle = 20 * 256;
    colour->m_nGlowAngle = 50 * 256;
    rays->m_nRayAngle = 30 * 256;

    bomb->Draw();
    ASSERT_EQ(recorder.draws.size(), 3u) << "shadow, bomb, glow";
    EXPECT_EQ(recorder.draws[0].kind, TRotatedDraw::kMultiply);
    EXPECT_EQ(recorder.draws[0].x, 103 * 256);
    EXPECT_EQ(recorder.draws[1].src, Set("BONUS_BOMB")->GetFrame(0)) << "frame 0.75";
    EXPECT_EQ(recorder.draws[1].scale, 58982) << "the bomb at its scale";
    EXPECT_EQ(recorder.draws[2].kind, TRotatedDraw::kAdditive);
    EXPECT_EQ(recorder.draws[2].src, field.glow);
    EXPECT_EQ(recorder.draws[2].angle, 20 * 256);
    EXPECT_EQ(recorder.draws[2].scale, 19661);
    EXPECT_EQ(recorder.draws[2].alphaOffset, -64);
    recorder.draws.clear();
    bomb->Draw();
    EXPECT_EQ(recorder.draws[1].src, Set("BONUS_BOMB")->GetFrame(1)) << "1.5 frames along";
    bomb->m_nFrame = 7 * 256 + 200;
    recorder.draws.clear();
    bomb->Draw();
    EXPECT_EQ(recorder.draws[1].src, Set("BONUS_BOMB")->GetFrame(0)) << "wrapped past the last frame";

    recorder.draws.clear();
    colour->Draw();
    ASSERT_EQ(recorder.draws.size(), 2u) << "shadow and orb; it does not spin a glow";
    EXPECT_EQ(recorder.draws[1].src, Set("ColorBombBlue")->GetFrame(1));
    EXPECT_EQ(recorder.draws[1].angle, 50 * 256) << "turned by its glow angle";
    EXPECT_EQ(recorder.draws[1].scale, 58982) << "0.9 of its scale";

    recorder.draws.clear();
    rays->Draw();
    ASSERT_EQ(recorder.draws.size(), 3u);
    EXPECT_EQ(recorder.draws[1].src, Set("BONUS_8WAY")->GetFrame(2)) << "the frame shows the ray boost";
    EXPECT_EQ(recorder.draws[1].angle, 330 * 256) << "turned back by its ray angle";
    field.boostLevels[kUpgradeRay] = 9;
    recorder.draws.clear();
    rays->Draw();
    EXPECT_EQ(recorder.draws[1].src, Set("BONUS_8WAY")->GetFrame(4)) << "at most the last frame";

    recorder.draws.clear();
    bomb->m_nBlinkAlpha = -255;
    bomb->Draw();
    bomb->m_nDanger = 200;
    bomb->DrawDanger();
    EXPECT_TRUE(recorder.draws.empty()) << "fully blinked out, and no danger halo on a power-up";
}

TEST_F(PowerupTest, TheBombRangeRingFadesWithTheBlink) {
    CMarblePowerup* bomb = AddPowerup(kPowerUpBomb, 100, 120);
    struct TCase {
        int blink, alpha;
        int expectedOffset;  // 0: nothing drawn
    } cases[] = {{0, 32, 32 - 255}, {-128, 32, 127 * 32 / 255 - 255}, {-255, 32, 0}, {0, 0, 0}};
    for (const TCase& c : cases) {
        bomb->m_nBlinkAlpha = c.blink;
        recorder.draws.clear();
        bomb->DrawBombCircle(c.alpha, 192.0f);
        if (c.expectedOffset == 0) {
            EXPECT_TRUE(recorder.draws.empty()) << c.blink << " " << c.alpha;
            continue;
        }
        ASSERT_EQ(recorder.draws.size(), 1u);
        const TRotatedDraw& d = recorder.draws[0];
        EXPECT_EQ(d.kind, TRotatedDraw::kAdditive);
        EXPECT_EQ(d.src, field.bombRange);
        EXPECT_EQ(d.scale, 98304) << "192 pixels on an image of radius 128";
        EXPECT_EQ(d.r, 255);
        EXPECT_EQ(d.g, 255);
        EXPECT_EQ(d.b, 0);
        EXPECT_EQ(d.alphaOffset, c.expectedOffset);
        EXPECT_EQ(d.x, 100 * 256);
    }
}

TEST_F(PowerupTest, SparklesGoToTheirSystemFromACircleAroundThePowerup) {
    CQuorvanParticleSystem2 colourSparkles(&game, game.m_pRotatorScaler);
    CQuorvanParticleSystem2 raySparkles(&game, game.m_pRotatorScaler);
    field.colorBombSparkles = &colourSparkles;
    field.eightWaySparkles = &raySparkles;
    struct TCase {
        int kind;
        CQuorvanParticleSystem2* system;
        int radiusPx;
    } cases[] = {{kPowerUpColorBomb, &colourSparkles, 3}, {kPowerUpEightWay, &raySparkles, 6}};
    for (const TCase& c : cases) {
        CMarblePowerup* p = AddPowerup(c.kind, 90, 130);
        for (int frame = 0; frame < 3; ++frame) p->RunProcess();
        ASSERT_NE(p->m_pParticleShape, nullptr);
        EXPECT_EQ(p->m_pParticleShape->GetNumSegments(), 20) << "re-formed each frame, never piling up";
        for (int i = 0; i < 20; i += 5) {
            const TVector2D_16 s = p->m_pParticleShape->GetSegmentStart(i);
            EXPECT_NEAR(std::hypot(s.x, s.y), c.radiusPx * 65536.0, 700) << c.kind << " point " << i;
        }
        EXPECT_EQ(c.system->m_Info.m_pEmitShape, nullptr) << "the shape is lent for the emission only";
        EXPECT_TRUE(c.system->IsStopped());
        EXPECT_EQ(c.system->m_CurPos.x, 90 * kPx);
        EXPECT_EQ(c.system->m_CurPos.y, 130 * kPx);
    }
}

TEST_F(PowerupTest, OffsetMovesTheHopWithThePowerup) {
    CMarblePowerup* coin = AddPowerup(kPowerUpCoin, 50, 60);
    coin->StartHop({200 * kPx, 100 * kPx}, 30 * kPx, kPx);
    coin->Offset(0, -25 * kPx);
    EXPECT_EQ(coin->m_Position.y, 35 * kPx);
    EXPECT_EQ(coin->m_HopStart.y, 35 * kPx);
    EXPECT_EQ(coin->m_HopPoint.y, 35 * kPx);
    EXPECT_EQ(coin->m_HopTarget.y, 75 * kPx);
    EXPECT_EQ(coin->m_HopTarget.x, 200 * kPx);
}

// A power-up's stored fields after its marble record, written out from the layout.
struct TPowerupFields {
    std::int64_t frameStep = 0, frame = 0;
    bool flags[6] = {false, false, true, true, false, true};  // flag one, collides, by marble, by finger, shadow, spins
    std::int64_t baseRadius = 0, firstColor = 0, rayAngle = 0;
    bool twoColors = false;
    std::int64_t secondColor = 0;
    bool hopping = false;
    std::int64_t hop[6] = {};  // point, start, target
    std::int64_t lift = 0, height = 0, step = 0;
};

Bytes PowerupRecord(const TMarbleFields& marble, const TPowerupFields& p) {
    CByteBuilder b;
    AppendMarble(b, marble);
    b.Int(p.frameStep).Int(p.frame);
    for (bool flag : p.flags) b.Bool(flag);
    b.Int(p.baseRadius).Int(p.firstColor).Int(p.rayAngle).Bool(p.twoColors).Int(p.secondColor).Bool(p.hopping);
    for (int i = 0; i < 6; i += 2) Vec(b, p.hop[i], p.hop[i + 1]);
    return b.Int(p.lift).Int(p.height).Int(p.step).bytes;
}

TEST_F(PowerupTest, EachKindReadsFromItsLayoutStartsAFreshLifeAndWritesBackTheSameBytes) {
    TMarbleFields marble;
    marble.id = 4;
    marble.x = 77 * kPx;
    marble.y = 301 * kPx + 9;
    marble.entered = true;
    marble.roll = 3.25f;
    marble.scale = 65536;
    TPowerupFields bomb;
    bomb.frameStep = 192;
    bomb.frame = 600;
    bomb.flags[4] = true;
    bomb.baseRadius = 128 * 256;
    TPowerupFields colour;
    colour.frameStep = 256;
    colour.frame = 1000;
    colour.flags[4] = true;
    colour.flags[5] = false;
    colour.firstColor = kMarbleGreen;
    colour.twoColors = true;
    colour.secondColor = kMarbleYellow;
    TPowerupFields coin;
    coin.frameStep = 256;
    coin.frame = 7 * 256;
    coin.flags[1] = coin.flags[4] = true;
    coin.flags[5] = false;
    coin.hopping = true;
    const std::int64_t hop[6] = {90 * kPx, 280 * kPx, 60 * kPx, 330 * kPx, 200 * kPx, 150 * kPx};
    std::copy(std::begin(hop), std::end(hop), coin.hop);
    coin.lift = 20 * kPx;
    coin.height = 50 * kPx;
    coin.step = 3 * kPx + 1234;
    TPowerupFields rays;
    rays.frameStep = 256;
    rays.flags[0] = rays.flags[4] = true;
    rays.rayAngle = 123 * 256;
    struct TCase {
        int kind;
        TPowerupFields fields;
        CSpriteSet* sprite;
    } cases[] = {{kPowerUpBomb, bomb, Set("BONUS_BOMB")},
                 {kPowerUpColorBomb, colour, Set("ColorBombGreenYellow")},
                 {kPowerUpCoin, coin, field.coinSet},
                 {kPowerUpEightWay, rays, Set("BONUS_8WAY")}};
    for (const TCase& c : cases) {
        const Bytes golden = PowerupRecord(marble, c.fields);
        game.randoms = {kMarbleRed, 5};
        CMarblePowerup* p = AddPowerup(c.kind, 1, 1);
        for (int i = 0; i < 500; ++i) p->RunProcess();
        ASSERT_LT(p->m_nLife, 990);
        p->m_bRemoved = false;
        int consumed = 0;
        ASSERT_EQ(ReadFrom(
                      golden, [&](IFile* f) { return p->Serialize(f, false); }, &consumed),
                  1)
            << c.kind;
        EXPECT_EQ(consumed, static_cast<int>(golden.size())) << c.kind;
        EXPECT_EQ(p->m_nLife, 990) << "a loaded power-up lies its full time again";
        EXPECT_EQ(p->m_nBlinkAlpha, 0);
        EXPECT_EQ(p->m_uSavedId, 4u);
        EXPECT_EQ(p->m_Position.y, 301 * kPx + 9);
        EXPECT_EQ(p->m_nFrameStep, c.fields.frameStep);
        EXPECT_EQ(p->m_nFrame, c.fields.frame);
        const bool flags[6] = {p->m_bFlagOne,        p->m_bCollides, p->m_bSetOffByMarble,
                               p->m_bSetOffByFinger, p->m_bShadow,   p->m_bSpins};
        for (int i = 0; i < 6; ++i) EXPECT_EQ(flags[i], c.fields.flags[i]) << c.kind << " flag " << i;
        EXPECT_EQ(p->m_nBaseRadius, c.fields.baseRadius);
        EXPECT_EQ(p->m_nFirstColor, c.fields.firstColor);
        EXPECT_EQ(p->m_nRayAngle, c.fields.rayAngle);
        EXPECT_EQ(p->m_bTwoColors, c.fields.twoColors);
        EXPECT_EQ(p->m_nSecondColor, c.fields.secondColor);
        EXPECT_EQ(p->m_bHopping, c.fields.hopping);
        EXPECT_EQ(p->m_HopStart.y, c.fields.hop[3]);
        EXPECT_EQ(p->m_HopTarget.x, c.fields.hop[4]);
        EXPECT_EQ(p->m_nHopStep, c.fields.step);
        EXPECT_EQ(p->m_pSprite, c.sprite) << c.kind << ": a colour bomb takes the set of its loaded colours";
        EXPECT_EQ(WrittenBy([&](IFile* f) { return p->Serialize(f, true); }), golden) << c.kind;
    }
}

TEST_F(PowerupTest, AColourBombWithAColourOutsideTheFourFailsItsRead) {
    TPowerupFields fields;
    fields.frameStep = 256;
    struct TCase {
        int kind, first, second;
        bool two;
        int result;
        const char* why;
    } cases[] = {
        {kPowerUpColorBomb, 4, 0, false, 0, "a first colour past yellow"},
        {kPowerUpColorBomb, -1, 0, false, 0, "a negative first colour"},
        {kPowerUpColorBomb, 2, 7, true, 0, "a second colour past yellow"},
        {kPowerUpColorBomb, 3, 0, true, 1, "red and yellow"},
        {kPowerUpBomb, 9, 9, false, 1, "other kinds do not use the colours"},
    };
    for (const TCase& c : cases) {
        fields.firstColor = c.first;
        fields.secondColor = c.second;
        fields.twoColors = c.two;
        CMarblePowerup* p = AddPowerup(c.kind, 1, 1);
        EXPECT_EQ(ReadFrom(PowerupRecord(TMarbleFields{}, fields), [&](IFile* f) { return p->Serialize(f, false); }),
                  c.result)
            << c.why;
    }
}

}  // namespace
