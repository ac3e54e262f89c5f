// Marbles: free movement and the walls, the activation countdown, the entry indicator, colours,
// the animation frame, what a marble draws, and its saved record and list.
#include <gtest/gtest.h>

#include <cmath>

#include "GameplayFakeGame.h"
#include "RecordBytes.h"
#include "core/QuorvanUtils.h"
#include "game/gameplay/Marble.h"

namespace {

using gameplaytest::AppendMarble;
using gameplaytest::Bytes;
using gameplaytest::GameplayTest;
using gameplaytest::ReadFrom;
using gameplaytest::TMarbleFields;
using gameplaytest::WrittenBy;

constexpr FIXED_FLOAT_16 kPx = 65536;

class MarbleTest : public GameplayTest {
protected:
    // A marble of the round that has come into the area, standing still at (x, y) pixels.
    CMarble* Entered(int type, int x, int y) {
        CMarble* marble = AddMarble(type, x, y);
        marble->m_bEntered = true;
        return marble;
    }
};

// Counts its activations.
class CCountingMarble : public CMarble {
public:
    using CMarble::CMarble;
    void Activate() override {
        ++activations;
        CMarble::Activate();
    }
    int activations = 0;
};

TEST_F(MarbleTest, FreeMovementAddsTheDirectionTimesTheSpeedIn64Bits) {
    struct TCase {
        TVector2D_16 position, direction;
        FIXED_FLOAT_16 speed;
        const char* why;
    } cases[] = {
        {{100 * kPx, 200 * kPx}, {46341, -46341}, 16384, "a quarter pixel up and right"},
        {{150 * kPx + 123, 300 * kPx + 7}, {-60547, 25080}, 78643, "fractions on both sides"},
        {{160 * kPx, 240 * kPx}, {65536, 0}, 40 * kPx, "a product that 32 bits cannot hold"},
        {{160 * kPx, 240 * kPx}, {-3, -1}, 5, "products below one unit round down"},
        {{160 * kPx, 240 * kPx}, {0, 65536}, 0, "no speed, no move"},
    };
    for (const TCase& c : cases) {
        CMarble* marble = Entered(kMarbleRed, 0, 0);
        marble->m_Position = c.position;
        marble->m_Direction = c.direction;
        marble->m_nSpeed = c.speed;
        marble->m_fRollDistance = 3.0f;
        marble->RunMovement();
        EXPECT_EQ(marble->m_Position.x, c.position.x + ((static_cast<long long>(c.direction.x) * c.speed) >> 16))
            << c.why;
        EXPECT_EQ(marble->m_Position.y, c.position.y + ((static_cast<long long>(c.direction.y) * c.speed) >> 16))
            << c.why;
        EXPECT_FLOAT_EQ(marble->m_fRollDistance, 3.0f + c.speed / 65536.0f) << c.why;
    }
}

TEST_F(MarbleTest, AMarbleOnAPathDoesNotMoveFreely) {
    CMarble* marble = Entered(kMarbleGreen, 100, 100);
    ASSERT_EQ(marble->m_Path.AddSpline({0, 0}, {256, 0}, {512, 0}, {768, 0}), 1);
    marble->m_Direction = {65536, 0};
    marble->m_nSpeed = kPx;
    marble->RunMovement();
    EXPECT_EQ(marble->m_Position.x, 100 * kPx);
    EXPECT_FLOAT_EQ(marble->m_fRollDistance, 0.0f);
}

TEST_F(MarbleTest, WallsStandFourteenPixelsInsideAndTurnOnlyTheComponentPastThem) {
    // The field: x 12 .. 308, y 66 .. 469; its walls at x 26 and 294, y 80 and 455.
    constexpr int kRight = 65536, kLeft = -65536, kDown = 40000, kUp = -40000;
    struct TCase {
        int x, y;
        TVector2D_16 direction, expected;
        const char* why;
    } cases[] = {
        {26, 200, {kLeft, kDown}, {kLeft, kDown}, "exactly on the left wall: no bounce"},
        {25, 200, {kLeft, kDown}, {kRight, kDown}, "one pixel past the left wall: x turns, y stays"},
        {25, 200, {kRight, kUp}, {kRight, kUp}, "past the wall but already heading back"},
        {294, 200, {kRight, kUp}, {kRight, kUp}, "exactly on the right wall"},
        {295, 200, {kRight, kUp}, {kLeft, kUp}, "one pixel past the right wall"},
        {150, 80, {kRight, kUp}, {kRight, kUp}, "exactly on the top wall"},
        {150, 79, {kRight, kUp}, {kRight, 40000}, "one pixel past the top wall"},
        {150, 455, {kLeft, kDown}, {kLeft, kDown}, "exactly on the bottom wall"},
        {150, 456, {kLeft, kDown}, {kLeft, -40000}, "one pixel past the bottom wall"},
        {25, 456, {kLeft, kDown}, {kRight, -40000}, "past a corner: both turn"},
    };
    for (const TCase& c : cases) {
        CMarble* marble = Entered(kMarbleBlue, c.x, c.y);
        marble->m_Direction = c.direction;
        marble->m_nSpeed = 0;
        marble->RunMovement();
        EXPECT_EQ(marble->m_Direction.x, c.expected.x) << c.why;
        EXPECT_EQ(marble->m_Direction.y, c.expected.y) << c.why;
        EXPECT_EQ(marble->m_Position.x, c.x * kPx) << c.why << ": the position is not corrected";
    }
}

TEST_F(MarbleTest, OutsideTheAreaAMarbleOnlyRollsUntilItComesIn) {
    CMarble* leaving = AddMarble(kMarbleYellow, -20, 200);
    leaving->m_Direction = {-65536, 0};
    leaving->m_nSpeed = kPx;
    for (int i = 0; i < 100; ++i) leaving->RunMovement();
    EXPECT_FALSE(leaving->m_bEntered);
    EXPECT_EQ(leaving->m_Direction.x, -65536) << "never bounces on its way out";
    EXPECT_EQ(leaving->m_Position.x, -120 * kPx);

    // From x -10 heading right it is inside the widened area (x > -2) at -1, after nine moves.
    CMarble* coming = AddMarble(kMarbleYellow, -10, 200);
    coming->m_Direction = {65536, 0};
    coming->m_nSpeed = kPx;
    for (int i = 0; i < 8; ++i) coming->RunMovement();
    EXPECT_FALSE(coming->m_bEntered);
    coming->RunMovement();
    EXPECT_TRUE(coming->m_bEntered);
    // Entered, a marble left of the wall turns back in.
    coming->m_Direction = {-65536, 0};
    coming->RunMovement();
    EXPECT_EQ(coming->m_Direction.x, 65536);
}

TEST_F(MarbleTest, TheCountdownActivatesAfterItsFramesOnlyAnEffectiveMarble) {
    struct TCase {
        int delay;
        bool effective;
        int frames;  // RunProcess calls until removed
        int activations;
        const char* why;
    } cases[] = {
        {1, true, 1, 1, "one frame: the next RunProcess"},
        {3, true, 3, 1, "after three"},
        {0, true, 1, 1, "no delay still waits for the next frame"},
        {1, false, 1, 0, "a marble that is not effective leaves without activating"},
        {1024, true, 1023, 1, "the 'no countdown' value is held just below, so it still bursts"},
        {5000, true, 1023, 1, "longer delays too"},
    };
    for (const TCase& c : cases) {
        CCountingMarble marble(&game, &field);
        marble.SetColorType(kMarbleRed);
        marble.m_bEffective = c.effective;
        marble.ActivateWithDelay(c.delay);
        for (int i = 1; i < c.frames; ++i) marble.RunProcess();
        EXPECT_FALSE(marble.m_bRemoved) << c.why;
        marble.RunProcess();
        EXPECT_TRUE(marble.m_bRemoved) << c.why;
        EXPECT_EQ(marble.activations, c.activations) << c.why;
    }
    CCountingMarble untimed(&game, &field);
    for (int i = 0; i < 2000; ++i) untimed.RunProcess();
    EXPECT_FALSE(untimed.m_bRemoved) << "without a countdown a marble stays";
    EXPECT_EQ(untimed.m_nActivationCountdown, CMarble::kNoCountdown);
}

TEST_F(MarbleTest, TheEntryIndicatorRisesIn13FramesOutsideAndFallsIn85Inside) {
    CMarble* marble = AddMarble(kMarbleRed, -10, 100);
    for (int i = 0; i < 12; ++i) marble->RunProcess();
    EXPECT_EQ(marble->m_nEntryIndicator, 240 * 256);
    marble->RunProcess();
    EXPECT_EQ(marble->m_nEntryIndicator, 255 * 256);
    for (int i = 0; i < 20; ++i) marble->RunProcess();
    EXPECT_EQ(marble->m_nEntryIndicator, 255 * 256) << "held at 255";
    marble->m_bEntered = true;
    for (int i = 0; i < 84; ++i) marble->RunProcess();
    EXPECT_EQ(marble->m_nEntryIndicator, 3 * 256);
    marble->RunProcess();
    EXPECT_EQ(marble->m_nEntryIndicator, 0);
    marble->RunProcess();
    EXPECT_EQ(marble->m_nEntryIndicator, 0) << "held at 0";
}

TEST(MarbleColours, RgbAndNameOfEachColourType) {
    struct TCase {
        int type, r, g, b;
        const char* name;
    } cases[] = {
        {0, 255, 0, 0, "Red"},        {1, 0, 255, 0, "Green"}, {2, 0, 255, 255, "Blue"}, {3, 255, 255, 0, "Yellow"},
        {10, 255, 255, 255, nullptr}, {7, 0, 0, 0, nullptr},   {100, 0, 0, 0, nullptr},  {-1, 0, 0, 0, nullptr},
    };
    for (const TCase& c : cases) {
        int r = -5, g = -5, b = -5;
        GetRGBColorBasedOnType(c.type, r, g, b);
        EXPECT_EQ(r, c.r) << c.type;
        EXPECT_EQ(g, c.g) << c.type;
        EXPECT_EQ(b, c.b) << c.type;
        CommonString name("unchanged");
        GetColorNameBasedOnType(c.type, nullptr, name);
        EXPECT_STREQ(name.GetDataConst(), c.name != nullptr ? c.name : "unchanged") << c.type;
    }
}

TEST_F(MarbleTest, AColourTakesItsBallSetAndEveryMarbleTheFirstAsShadow) {
    const char* sets[4] = {"Ball1", "Ball2", "Ball3", "Ball4"};
    for (int type = 0; type < 4; ++type) {
        CMarble marble(&game, &field);
        marble.m_nAngleOffset = 77;
        marble.SetColorType(type);
        EXPECT_EQ(marble.m_pSprite, Set(sets[type])) << type;
        EXPECT_EQ(marble.m_pShadowSprite, Set("Ball1")) << type;
        EXPECT_EQ(marble.m_nAngleOffset, 0) << type;
        marble.m_nAngleOffset = 77;
        marble.SetColorType(7);
        EXPECT_EQ(marble.m_nColorType, 7);
        EXPECT_EQ(marble.m_pSprite, Set(sets[type])) << "another type keeps the sprite";
        EXPECT_EQ(marble.m_nAngleOffset, 77);
    }
    CMarble plain(&game, &field);
    plain.SetColorType(7);
    EXPECT_EQ(plain.m_pSprite, nullptr);
    EXPECT_EQ(plain.m_pShadowSprite, nullptr) << "no sprite, no shadow";
}

TEST_F(MarbleTest, TheAnimationFrameNeverPassesTheSetsFrames) {
    // The fixture's strips: red 12 frames, green 8 (drawing assumes 32), blue 16 (assumes 64),
    // yellow 32.
    struct TCase {
        int type;
        float roll;
        int frame;
        const char* why;
    } cases[] = {
        {kMarbleRed, 10.0f, 20 % 12, "red counts its set's own frames"},
        {kMarbleGreen, 10.0f, 20 % 8, "green: 20 would lie past an 8-frame set"},
        {kMarbleBlue, 20.25f, 40 % 16, "blue: 40 would lie past a 16-frame set"},
        {kMarbleYellow, 20.25f, 40 % 32, "yellow: a full set of 32"},
        {kMarbleYellow, 100.0f, 200 % 32, "far along"},
        {kMarbleRed, 0.4f, 0, "the product is cut towards zero"},
    };
    for (const TCase& c : cases) {
        CMarble* marble = AddMarble(c.type, 100, 100);
        marble->m_fRollDistance = c.roll;
        EXPECT_EQ(marble->GetAnimationFrame(), c.frame) << c.why;
        recorder.draws.clear();
        marble->Draw();
        ASSERT_FALSE(recorder.draws.empty()) << c.why;
        EXPECT_EQ(recorder.draws[0].src, marble->m_pSprite->GetFrame(c.frame)) << c.why;
    }
    // A blue strip longer than 64 frames still turns over every 64.
    Mount({{"Ball3_80", 80}});
    CMarble* blue = AddMarble(kMarbleBlue, 100, 100);
    blue->m_pSprite = Set("Ball3_80");
    blue->m_fRollDistance = 40.0f;
    EXPECT_EQ(blue->GetAnimationFrame(), 80 % 64);
}

TEST_F(MarbleTest, DrawingTheSpriteTrailGlowShadowAndHalo) {
    CMarble* marble = AddMarble(kMarbleRed, 0, 0);
    marble->m_Position = {100 * kPx + 32768, 200 * kPx};
    marble->m_PrevPosition = {96 * kPx, 190 * kPx};
    marble->m_Direction = {-30000, 50000};
    marble->m_fRollDistance = 2.0f;  // frame 4
    const FIXED_FLOAT angle = (180 + fast_atan2(-30000, 50000)) * 256 % (360 * 256);
    const FIXED_FLOAT_16 drawnScale = (58982LL * 58982) >> 16;
    CSpriteSet* ball = Set("Ball1");

    marble->Draw();
    ASSERT_EQ(recorder.draws.size(), 1u) << "free and without a catch: the sprite alone";
    TRotatedDraw d = recorder.draws[0];
    EXPECT_EQ(d.kind, TRotatedDraw::kTransparent);
    EXPECT_EQ(d.src, ball->GetFrame(4));
    EXPECT_EQ(d.x, 100 * 256 + 128);
    EXPECT_EQ(d.y, 200 * 256);
    EXPECT_EQ(d.angle, angle);
    EXPECT_EQ(d.scale, drawnScale);
    EXPECT_EQ(d.alphaOffset, 0);

    recorder.draws.clear();
    marble->m_bOnPath = true;
    marble->m_nCollected = 2;
    marble->m_nGlowAngle = 358 * 256;
    marble->m_fRollDistance = 0.5f;  // frame 1: the trail shows frame 1 - 3, wrapped to 10 of 12
    marble->Draw();
    ASSERT_EQ(recorder.draws.size(), 3u);
    d = recorder.draws[1];
    EXPECT_EQ(d.src, ball->GetFrame(10)) << "the trail is three frames behind, wrapped";
    EXPECT_EQ(d.x, 96 * 256);
    EXPECT_EQ(d.y, 190 * 256);
    EXPECT_EQ(d.alphaOffset, -128);
    EXPECT_EQ(d.scale, drawnScale);
    d = recorder.draws[2];
    EXPECT_EQ(d.kind, TRotatedDraw::kAdditive);
    EXPECT_EQ(d.src, field.glow);
    EXPECT_EQ(d.angle, 358 * 256);
    EXPECT_EQ(d.scale, 32768);
    EXPECT_EQ(d.alphaOffset, -64);
    EXPECT_EQ(marble->m_nGlowAngle, 3 * 256) << "the glow turns 5 degrees a draw, wrapping at 360";

    recorder.draws.clear();
    marble->DrawMarbleShadow();
    ASSERT_EQ(recorder.draws.size(), 1u);
    d = recorder.draws[0];
    EXPECT_EQ(d.kind, TRotatedDraw::kMultiply);
    EXPECT_EQ(d.src, ball->GetFrame(0));
    EXPECT_EQ(d.x, 103 * 256 + 128);
    EXPECT_EQ(d.y, 203 * 256);
    EXPECT_EQ(d.scale, 58982) << "the shadow has the marble's own scale";
    EXPECT_EQ(d.r + d.g + d.b, 0);
    EXPECT_EQ(d.alphaOffset, -128);

    recorder.draws.clear();
    marble->DrawDanger();
    EXPECT_TRUE(recorder.draws.empty()) << "no danger, no halo";
    marble->m_nDanger = 100;
    marble->DrawDanger();
    ASSERT_EQ(recorder.draws.size(), 1u);
    d = recorder.draws[0];
    EXPECT_EQ(d.kind, TRotatedDraw::kMultiply);
    EXPECT_EQ(d.src, field.danger);
    EXPECT_EQ(d.angle, 0);
    EXPECT_EQ(d.scale, 49152);
    EXPECT_EQ(d.r, 255);
    EXPECT_EQ(d.g + d.b, 0);
    EXPECT_EQ(d.alphaOffset, 100 - 255);

    recorder.draws.clear();
    CMarble bare(&game, &field);
    bare.m_nDanger = 200;
    bare.Draw();
    bare.DrawDanger();
    bare.DrawMarbleShadow();
    EXPECT_TRUE(recorder.draws.empty()) << "a marble without a sprite draws nothing";
}

TEST_F(MarbleTest, OffsetMovesTheMarbleItsTrailAndItsPath) {
    CMarble* marble = AddMarble(kMarbleGreen, 50, 60);
    marble->m_PrevPosition = {40 * kPx, 55 * kPx};
    ASSERT_EQ(marble->m_Path.AddSpline({0, 0}, {2560, 0}, {5120, 0}, {7680, 0}), 1);
    marble->Offset(3 * kPx + 256, -2 * kPx);
    EXPECT_EQ(marble->m_Position.x, 53 * kPx + 256);
    EXPECT_EQ(marble->m_Position.y, 58 * kPx);
    EXPECT_EQ(marble->m_PrevPosition.x, 43 * kPx + 256);
    EXPECT_EQ(marble->m_PrevPosition.y, 53 * kPx);
    EXPECT_EQ(marble->m_Path.GetSegment(0)->m_Points[3].x, 7680 + 3 * 256 + 1);
    EXPECT_EQ(marble->m_Path.GetSegment(0)->m_Points[3].y, -2 * 256);
}

// A blue marble half way along a two-segment path with a catch of two, written by hand.
TMarbleFields MarbleOnAPath() {
    TMarbleFields m;
    m.id = 7;
    m.x = 120 * kPx + 5000;
    m.y = 210 * kPx;
    m.prevX = 118 * kPx;
    m.prevY = 209 * kPx + 40000;
    m.glowAngle = 45 * 256;
    m.dirX = 52429;
    m.dirY = -39322;
    m.path = {{25600, 51200, 30720, 51200, 35840, 51200, 40960, 51200},
              {40960, 51200, 46080, 40960, 51200, 30720, 56320, 25600}};
    m.pathDistance = 30 * kPx;
    m.entered = true;
    m.collected = 2;
    m.danger = 40;
    m.speed = 8 * kPx + 1234;
    m.roll = 12.5f;
    m.onPath = true;
    m.pathFrames = 9;
    return m;
}

TEST_F(MarbleTest, AMarbleOnAPathReadsFromItsLayoutAndWritesBackTheSameBytes) {
    CByteBuilder b;
    const Bytes golden = AppendMarble(b, MarbleOnAPath()).bytes;
    CMarble marble(&game, &field);
    marble.SetColorType(kMarbleBlue);
    int consumed = 0;
    ASSERT_EQ(ReadFrom(
                  golden, [&](IFile* f) { return marble.Serialize(f, false); }, &consumed),
              1);
    EXPECT_EQ(consumed, static_cast<int>(golden.size()));
    EXPECT_EQ(marble.m_uSavedId, 7u);
    EXPECT_EQ(marble.m_Position.x, 120 * kPx + 5000);
    EXPECT_EQ(marble.m_PrevPosition.y, 209 * kPx + 40000);
    EXPECT_EQ(marble.m_nGlowAngle, 45 * 256);
    EXPECT_EQ(marble.m_Direction.y, -39322);
    ASSERT_EQ(marble.m_Path.GetNumSegments(), 2);
    EXPECT_NEAR(marble.m_Path.GetSegment(0)->GetLength(), 60 * 256, 4);
    EXPECT_EQ(marble.m_nPathDistance, 30 * kPx);
    const TVector2D along = marble.m_Path.GetPos(marble.m_nPathDistance >> 8, nullptr);
    EXPECT_NEAR(along.x, 130 * 256, 4) << "the path answers the stored distance again";
    EXPECT_EQ(along.y, 200 * 256);
    EXPECT_TRUE(marble.m_bEntered);
    EXPECT_EQ(marble.m_nCollected, 2);
    EXPECT_FALSE(marble.m_bRemoved);
    EXPECT_EQ(marble.m_nDanger, 40);
    EXPECT_EQ(marble.m_nSpeed, 8 * kPx + 1234);
    EXPECT_FLOAT_EQ(marble.m_fRollDistance, 12.5f);
    EXPECT_FLOAT_EQ(marble.m_fRollRate, 2.0f);
    EXPECT_EQ(marble.m_nActivationCountdown, CMarble::kNoCountdown);
    EXPECT_TRUE(marble.m_bOnPath);
    EXPECT_TRUE(marble.m_bEffective);
    EXPECT_EQ(marble.m_nPathFrames, 9);
    EXPECT_EQ(marble.m_nScoreFactor, 1);
    EXPECT_EQ(marble.m_pSprite, Set("Ball3")) << "the sprite comes from the type, not the record";
    EXPECT_EQ(WrittenBy([&](IFile* f) { return marble.Serialize(f, true); }), golden);

    // Every shorter record fails.
    for (std::size_t cut : {golden.size() - 1, golden.size() - 4, std::size_t{40}, std::size_t{3}}) {
        CMarble again(&game, &field);
        EXPECT_EQ(ReadFrom(Bytes(golden.begin(), golden.begin() + static_cast<long>(cut)),
                           [&](IFile* f) { return again.Serialize(f, false); }),
                  0)
            << cut;
    }
}

TEST_F(MarbleTest, AListGivesEachMarbleOfTheSaveItsOwnIdentityNeverZero) {
    CMarble* a = AddMarble(kMarbleRed, 50, 100);
    CMarble* b = AddMarble(kMarbleYellow, 60, 100);
    CMarblePowerup* c = AddPowerup(kPowerUpBomb, 70, 100);
    a->m_uSavedId = b->m_uSavedId = 5;  // what an address cut to 32 bits could give two marbles
    c->m_uSavedId = 0;
    const Bytes written =
        WrittenBy([&](IFile* f) { return CMarble::SerializeList(f, true, field.marbles, &game, &field); });
    EXPECT_EQ(a->m_uSavedId, 1u);
    EXPECT_EQ(b->m_uSavedId, 2u);
    EXPECT_EQ(c->m_uSavedId, 3u);

    CQuorvanObjPtrArray<CMarble*> loaded;
    int consumed = 0;
    ASSERT_EQ(
        ReadFrom(
            written, [&](IFile* f) { return CMarble::SerializeList(f, false, loaded, &game, &field); }, &consumed),
        1);
    EXPECT_EQ(consumed, static_cast<int>(written.size()));
    ASSERT_EQ(loaded.count, 3);
    const int types[3] = {kMarbleRed, kMarbleYellow, kPowerUpTypeBase + kPowerUpBomb};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(loaded.data[i]->m_nColorType, types[i]) << i;
        EXPECT_EQ(loaded.data[i]->m_uSavedId, static_cast<std::uint32_t>(i + 1)) << i;
        EXPECT_EQ(loaded.data[i]->m_Position.x, (50 + 10 * i) * kPx) << i;
    }
    EXPECT_NE(dynamic_cast<CMarblePowerup*>(loaded.data[2]), nullptr) << "a power-up type makes a power-up";
    EXPECT_EQ(dynamic_cast<CMarblePowerup*>(loaded.data[0]), nullptr);
}

TEST_F(MarbleTest, AListWithAnUnknownTypeOrAnImpossibleCountFails) {
    CByteBuilder unknown;
    unknown.Int(1).Int(7);
    AppendMarble(unknown, TMarbleFields{});
    CByteBuilder power;
    power.Int(1).Int(104);
    AppendMarble(power, TMarbleFields{});
    struct TCase {
        Bytes bytes;
        const char* why;
    } cases[] = {
        {unknown.bytes, "a colour type no marble has"},
        {power.bytes, "a power-up kind that does not exist"},
        {CByteBuilder().Int(-2).bytes, "a negative count"},
        {CByteBuilder().Int(50000).Int(0).Zeros(88).bytes, "more marbles than the bytes left could hold"},
    };
    for (const TCase& c : cases) {
        CQuorvanObjPtrArray<CMarble*> loaded;
        ASSERT_EQ(loaded.AddOwned(new CMarble(&game, &field)), 1);  // what the list held goes first
        EXPECT_EQ(ReadFrom(c.bytes, [&](IFile* f) { return CMarble::SerializeList(f, false, loaded, &game, &field); }),
                  0)
            << c.why;
        EXPECT_EQ(loaded.count, 0) << c.why;
        EXPECT_EQ(loaded.capacity, 0) << c.why << ": nothing made for it";
    }
}

}  // namespace
