// The round's field as the rotator is asked to draw it: the bursts, the animations and the bombs'
// blast rings, the entry arrows of marbles coming in, the path being drawn and the paths being run,
// and the circle under the dragged marble. Every rotated draw is recorded instead of reaching a
// bitmap, so each one is checked for its image, place, turn, scale, colour and opacity; the
// expected figures are worked out here by hand from the rules of each effect.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "RoundTestGame.h"
#include "core/MemFile.h"
#include "game/gameplay/MarblePowerup.h"
#include "game/widgets/EffectRecords.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemManager.h"
#include "render/WinDibBitmap.h"
#include "ui/Dialog.h"

namespace gameplaytest {
namespace {

constexpr int kPx = 256;  // one pixel in FIXED_FLOAT

class RoundFieldDrawTest : public RoundTest {
protected:
    RoundFieldDrawTest() {
        // Stand-ins for the round's own sprites: distinct frames of a set no ordinary marble uses.
        CSpriteSet* images = Set("ColorBombGreenYellow");
        dot = images->GetFrame(0);
        burst = images->GetFrame(1);
        dragCircle = images->GetFrame(2);
        arrow = images->GetFrame(3);
        ring = images->GetFrame(4);
        danger = images->GetFrame(5);
        screen->m_pDotSprite = dot;
        screen->m_pExplosionSprite = burst;
        screen->m_pDragCircleSprite = dragCircle;
        screen->m_pDangerOffScreenSprite = arrow;
        screen->m_pBombRangeSprite = ring;
        screen->m_pDangerSprite = danger;
    }
    ~RoundFieldDrawTest() override {
        screen->m_pDotSprite = screen->m_pExplosionSprite = screen->m_pDragCircleSprite = nullptr;
        screen->m_pDangerOffScreenSprite = screen->m_pBombRangeSprite = screen->m_pDangerSprite = nullptr;
    }

    // One frame of the field; the draws of one image, in order.
    // Every draw has an image: a missing one is never handed to the rotator.
    void DrawFrame() {
        recorder.draws.clear();
        screen->Draw();
        for (const TRotatedDraw& d : recorder.draws) EXPECT_NE(d.src, nullptr);
    }
    std::vector<TRotatedDraw> Of(const IDibBitmap* image) const {
        std::vector<TRotatedDraw> out;
        for (const TRotatedDraw& d : recorder.draws)
            if (d.src == image) out.push_back(d);
        return out;
    }
    // Where in the frame the first draw of an image came; -1 when it was not drawn.
    int IndexOf(const IDibBitmap* image) const {
        for (std::size_t i = 0; i < recorder.draws.size(); ++i)
            if (recorder.draws[i].src == image) return static_cast<int>(i);
        return -1;
    }

    // An animation of a kind over 10 frames from one point to another, at that clock; the rest as
    // a new record has it.
    static CAnimation Animation(int kind, FIXED_FLOAT clock, TVector2D start, TVector2D end) {
        CAnimation a;
        a.kind = kind;
        a.clock = clock;
        a.duration = 10 * 256;
        a.start = start;
        a.end = end;
        return a;
    }
    // A plain animation of one frame showing an image at its own size, fully opaque, added to the
    // list.
    void AddShownAnimation(IDibBitmap* image) {
        CAnimation a;
        a.image = image;
        a.duration = 256;
        a.startScale = a.endScale = 65536;
        a.startAlpha = a.endAlpha = 255 * 65536;
        ASSERT_EQ(screen->m_Animations.Add(a), 1);
    }
    // The field with that animation alone in its list, drawn.
    void DrawOnly(const CAnimation& a) {
        screen->m_Animations.count = 0;
        ASSERT_EQ(screen->m_Animations.Add(a), 1);
        DrawFrame();
    }

    CExplosion& AddExplosion(FIXED_FLOAT clock, int xPx, int yPx, FIXED_FLOAT angle = 0) {
        CExplosion e;
        e.position = TVector2D{xPx * kPx, yPx * kPx};
        e.clock = clock;
        e.red = 10;
        e.green = 20;
        e.blue = 30;
        e.angle = angle;
        EXPECT_EQ(screen->m_Explosions.Add(e), 1);
        return screen->m_Explosions.data[screen->m_Explosions.count - 1];
    }

    IDibBitmap* dot = nullptr;
    IDibBitmap* burst = nullptr;
    IDibBitmap* dragCircle = nullptr;
    IDibBitmap* arrow = nullptr;
    IDibBitmap* ring = nullptr;
    IDibBitmap* danger = nullptr;
};

// ---- Bursts ------------------------------------------------------------------------------------

// Bursts and animations that are not drawn do not keep the later ones in the list from showing.
TEST_F(RoundFieldDrawTest, SkippedEntriesDoNotHideTheLaterOnes) {
    AddExplosion(CExplosion::kFinished, 10, 10);
    AddExplosion(300 * 256, 20, 20);  // past its end
    AddExplosion(64 * kPx, 30, 30);
    DrawFrame();
    ASSERT_EQ(Of(burst).size(), 1u);
    EXPECT_EQ(Of(burst)[0].x, 30 * kPx);

    CSpriteSet* set = Set("Coin_Test");
    IDibBitmap* shown = Set("Ball1")->GetFrame(1);
    const auto add = [&](CSpriteSet* withSet, IDibBitmap* image, FIXED_FLOAT frame, int hold, FIXED_FLOAT duration) {
        CAnimation a;
        a.spriteSet = withSet;
        a.image = image;
        a.frame = frame;
        a.hold = hold;
        a.duration = duration;
        a.startScale = a.endScale = 65536;
        a.startAlpha = a.endAlpha = 255 * 65536;
        ASSERT_EQ(screen->m_Animations.Add(a), 1);
    };
    add(nullptr, Set("Ball1")->GetFrame(2), 0, 3, 256);  // held
    add(set, nullptr, 40 * 256, 0, 256);                  // past its set's frames
    add(nullptr, nullptr, 0, 0, 256);                     // no image at all
    add(nullptr, shown, 0, 0, 1);                         // the shortest duration there is
    DrawFrame();
    std::vector<const IDibBitmap*> drawn;
    for (const TRotatedDraw& d : recorder.draws)
        if (d.kind == TRotatedDraw::kTransparent) drawn.push_back(d.src);
    EXPECT_EQ(drawn, (std::vector<const IDibBitmap*>{shown}));
}

// A burst runs its clock from 0 to 255.0: it grows from nothing to full size (the burst at 1.0,
// the dot under it at 2.5) by 128.0 and then fades to nothing, the fade cut towards zero.
TEST_F(RoundFieldDrawTest, ABurstGrowsToTheMiddleOfItsClockThenFades) {
    struct TRow {
        FIXED_FLOAT clock;
        bool drawn;
        int dotScale, burstScale, fade;
    };
    const TRow rows[] = {
        {-256, false, 0, 0, 0},               // finished
        {-1, false, 0, 0, 0},                 // not started
        {0, true, 0, 0, 0},                   // born: nothing to see yet
        {1 * 256, true, 1280, 512, 0},        // 1/128 of its size
        {32 * 256, true, 40960, 16384, 0},    // a quarter
        {64 * 256, true, 81920, 32768, 0},    // half way to the middle
        {128 * 256, true, 163840, 65536, 0},  // full size, not yet fading
        {128 * 256 + 128, true, 163840, 65536, -1},  // 0.5 / 127 of the fade: 1.0039 cut to -1
        {192 * 256, true, 163840, 65536, -128},      // 64 / 127 x 255 = 128.5, cut to 128
        {254 * 256, true, 163840, 65536, -252},      // 126 / 127 x 255 = 252.99
        {255 * 256, true, 163840, 65536, -255},      // the last frame drawn: gone
        {255 * 256 + 1, false, 0, 0, 0},             // past its end
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.clock);
        screen->m_Explosions.count = 0;
        AddExplosion(row.clock, 120, 200, 30 * kPx);
        DrawFrame();
        const std::vector<TRotatedDraw> dots = Of(dot), bursts = Of(burst);
        ASSERT_EQ(dots.size(), row.drawn ? 1u : 0u);
        ASSERT_EQ(bursts.size(), row.drawn ? 1u : 0u);
        if (!row.drawn) continue;
        EXPECT_EQ(dots[0].scale, row.dotScale);
        EXPECT_EQ(bursts[0].scale, row.burstScale);
        for (const TRotatedDraw& d : {dots[0], bursts[0]}) {
            EXPECT_EQ(d.kind, TRotatedDraw::kAdditive);
            EXPECT_EQ(d.flags, 0);
            EXPECT_EQ(d.x, 120 * kPx);
            EXPECT_EQ(d.y, 200 * kPx);
            EXPECT_EQ(d.alphaOffset, row.fade);
            EXPECT_EQ(d.r, 10);
            EXPECT_EQ(d.g, 20);
            EXPECT_EQ(d.b, 30);
        }
        EXPECT_EQ(dots[0].angle, 0) << "the dot is round and does not turn";
        EXPECT_EQ(bursts[0].angle, 30 * kPx);
        EXPECT_LT(IndexOf(dot), IndexOf(burst)) << "the dot goes under the burst";
    }
}

// The burst turns 10 degrees each frame it is drawn, wrapping past a full turn; a burst that is
// not drawn keeps its angle.
TEST_F(RoundFieldDrawTest, ABurstTurnsTenDegreesEachFrameItIsDrawn) {
    CExplosion& e = AddExplosion(100 * kPx, 50, 60, 345 * kPx);
    const FIXED_FLOAT expected[] = {345 * kPx, 355 * kPx, 5 * kPx, 15 * kPx};
    for (FIXED_FLOAT angle : expected) {
        EXPECT_EQ(e.angle, angle);
        DrawFrame();
        ASSERT_EQ(Of(burst).size(), 1u);
        EXPECT_EQ(Of(burst)[0].angle, angle);
    }
    EXPECT_EQ(e.angle, 25 * kPx);
    e.clock = CExplosion::kFinished;
    DrawFrame();
    EXPECT_EQ(e.angle, 25 * kPx) << "a finished burst stands still";
}

// Without its burst image a burst still shows its dot, and the other way round; without a
// rotator nothing of the field is drawn (a ring, a bomb, arrows, paths, a burst) and nothing turns.
TEST_F(RoundFieldDrawTest, ABurstDrawsWhatItHasImagesFor) {
    CExplosion& e = AddExplosion(64 * kPx, 50, 60, 0);
    screen->m_pExplosionSprite = nullptr;
    DrawFrame();
    EXPECT_EQ(Of(dot).size(), 1u);
    EXPECT_EQ(e.angle, 10 * kPx);
    screen->m_pExplosionSprite = burst;
    screen->m_pDotSprite = nullptr;
    DrawFrame();
    EXPECT_EQ(Of(dot).size(), 0u);
    EXPECT_EQ(Of(burst).size(), 1u);
    EXPECT_EQ(e.angle, 20 * kPx);
    screen->m_pDotSprite = dot;

    CAnimation ringAnimation;
    ringAnimation.kind = kAnimationRing;
    ringAnimation.clock = 5 * 256;
    ringAnimation.duration = 10 * 256;
    ringAnimation.ringRadius = 50.0f;
    ASSERT_EQ(screen->m_Animations.Add(ringAnimation), 1);
    ASSERT_NE(screen->SpawnPowerUp(250, 350, kPowerUpBomb), nullptr);
    CMarble* coming = Put(kMarbleRed, 30, 80);
    coming->m_Direction = TVector2D_16{65536, 0};
    coming->m_nEntryIndicator = 100 * 256;
    CMarble* dragged = Put(kMarbleBlue, 100, 200);
    screen->m_pDraggedMarble = dragged;
    screen->m_FingerPos = TVector2D{200 * kPx, 200 * kPx};
    CMarble* runner = Put(kMarbleGreen, 50, 300);
    GivePath(runner, 150, 300);
    CAnimation plain;
    plain.image = Set("Coin_Test")->GetFrame(1);
    plain.duration = 256;
    ASSERT_EQ(screen->m_Animations.Add(plain), 1);
    CQuorvanImageRotatorScaler* rotator = game.m_pRotatorScaler;
    game.m_pRotatorScaler = nullptr;
    DrawFrame();
    game.m_pRotatorScaler = rotator;
    screen->m_pDraggedMarble = nullptr;
    EXPECT_TRUE(recorder.draws.empty());
    EXPECT_EQ(e.angle, 20 * kPx);
}

// ---- Animations ----------------------------------------------------------------------------------

// A plain animation moves, scales and fades in straight lines from its start to its end over its
// duration and then stays at its end; its opacity is held to 0 .. 255.
TEST_F(RoundFieldDrawTest, AnAnimationMovesScalesAndFadesAlongItsClock) {
    IDibBitmap* image = Set("Coin_Test")->GetFrame(3);
    struct TRow {
        FIXED_FLOAT clock;
        int startAlpha, endAlpha;  // whole units
        int x, y, scale, alphaOffset;
    };
    // From (10, 20) to (110, 220) over 10 frames, scale 1.0 to 0.5.
    const TRow rows[] = {
        {0, 255, 0, 10 * kPx, 20 * kPx, 65536, 0},
        {1 * 256, 255, 0, 20 * kPx, 40 * kPx, 62259, -26},        // a tenth: alpha 229.5 -> 229
        {5 * 256, 255, 0, 60 * kPx, 120 * kPx, 49152, -128},      // half: alpha 127.5 -> 127
        {10 * 256, 255, 0, 110 * kPx, 220 * kPx, 32768, -255},    // the end
        {15 * 256, 255, 0, 110 * kPx, 220 * kPx, 32768, -255},    // held at the end
        {5 * 256, 400, 400, 60 * kPx, 120 * kPx, 49152, 0},       // above 255: fully opaque
        {5 * 256, -100, -100, 60 * kPx, 120 * kPx, 49152, -255},  // below 0: invisible
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.clock);
        CAnimation a = Animation(kAnimationPlain, row.clock, {10 * kPx, 20 * kPx}, {110 * kPx, 220 * kPx});
        a.image = image;
        a.startScale = 65536;
        a.endScale = 32768;
        a.startAlpha = row.startAlpha * 65536;
        a.endAlpha = row.endAlpha * 65536;
        ASSERT_NO_FATAL_FAILURE(DrawOnly(a));
        const std::vector<TRotatedDraw> draws = Of(image);
        EXPECT_TRUE(Of(ring).empty()) << "a plain animation has no blast ring";
        EXPECT_TRUE(Of(burst).empty());
        ASSERT_EQ(draws.size(), 1u);
        EXPECT_EQ(draws[0].kind, TRotatedDraw::kTransparent);
        EXPECT_EQ(draws[0].flags, 0);
        EXPECT_EQ(draws[0].x, row.x);
        EXPECT_EQ(draws[0].y, row.y);
        EXPECT_EQ(draws[0].angle, 0);
        EXPECT_EQ(draws[0].scale, row.scale);
        EXPECT_EQ(draws[0].alphaOffset, row.alphaOffset);
    }
}

// Which animations are drawn, and with which image: a set's frame (whole part of the 24.8 frame)
// when the animation has a set, else its own image; nothing outside the set's frames, while held,
// before its clock starts, without a duration, or for a blast ring (drawn under the marbles).
TEST_F(RoundFieldDrawTest, AnAnimationIsDrawnOnlyWhenItIsRunningAndHasAnImage) {
    CSpriteSet* set = Set("Coin_Test");  // 16 frames
    IDibBitmap* own = Set("Ball1")->GetFrame(0);
    struct TRow {
        bool withSet;
        FIXED_FLOAT frame, clock, duration;
        int hold, kind;
        int shownFrame;  // -1: nothing drawn; -2: the animation's own image
        const char* what;
    };
    const TRow rows[] = {
        {false, 0, 0, 256, 0, kAnimationPlain, -2, "its own image"},
        {true, 2 * 256 + 255, 0, 256, 0, kAnimationPlain, 2, "frame 2.99 shows frame 2"},
        {true, 0, 0, 256, 0, kAnimationPlain, 0, "the first frame"},
        {true, 15 * 256, 0, 256, 0, kAnimationPlain, 15, "the last frame"},
        {true, 16 * 256, 0, 256, 0, kAnimationPlain, -1, "past the last frame: not its own image either"},
        {true, -1, 0, 256, 0, kAnimationPlain, -1, "before the first frame"},
        {false, 0, -1, 256, 0, kAnimationPlain, -1, "before its clock starts"},
        {false, 0, CAnimation::kFinished, 256, 0, kAnimationPlain, -1, "finished"},
        {false, 0, 0, 256, 1, kAnimationPlain, -1, "held"},
        {false, 0, 0, 256, -1, kAnimationPlain, -2, "a hold below 0 is over"},
        {false, 0, 0, 0, 0, kAnimationPlain, -1, "no duration"},
        {false, 0, 0, -256, 0, kAnimationPlain, -1, "a negative duration"},
        {false, 0, 0, 256, 0, kAnimationRing, -1, "a blast ring"},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.what);
        CAnimation a = Animation(row.kind, row.clock, {150 * kPx, 250 * kPx}, {150 * kPx, 250 * kPx});
        a.spriteSet = row.withSet ? set : nullptr;
        a.image = own;
        a.frame = row.frame;
        a.duration = row.duration;
        a.hold = row.hold;
        a.startScale = a.endScale = 65536;
        a.startAlpha = a.endAlpha = 255 * 65536;
        ASSERT_NO_FATAL_FAILURE(DrawOnly(a));
        std::vector<const IDibBitmap*> drawn;
        for (const TRotatedDraw& d : recorder.draws)
            if (d.kind == TRotatedDraw::kTransparent) drawn.push_back(d.src);
        if (row.kind != kAnimationRing) {
            EXPECT_TRUE(Of(ring).empty()) << "a plain animation has no blast ring";
            EXPECT_TRUE(Of(burst).empty());
        }
        if (row.shownFrame == -1) {
            EXPECT_TRUE(drawn.empty());
        } else {
            ASSERT_EQ(drawn.size(), 1u);
            EXPECT_EQ(drawn[0], row.shownFrame == -2 ? own : set->GetFrame(row.shownFrame));
        }
    }
}

// ---- Bombs' rings --------------------------------------------------------------------------------

// A blast ring, from its second frame to its end: the range image in yellow at the ring's radius
// (the image is 128 pixels in radius), fading from 32 to nothing, and the burst image growing to 3/64
// of the radius per pixel while it fades from 128; both move from the ring's start to its end.
TEST_F(RoundFieldDrawTest, ABlastRingGrowsItsBurstAndFadesItsRange) {
    struct TRow {
        FIXED_FLOAT clock;
        bool drawn;
        int rangeAlpha;  // 0: the range is not drawn
        int burstScale, burstAlpha;
        int x, y;
    };
    // Duration 10 frames, radius 64 pixels, from (100, 100) to (200, 300).
    const TRow rows[] = {
        {255, false, 0, 0, 0, 0, 0},                          // its first frame
        {256, true, 28, 19660, 115, 110 * kPx, 120 * kPx},    // t 0.1: 28.8 -> 28; 0.3 x 65536; 115.2
        {5 * 256, true, 16, 98304, 64, 150 * kPx, 200 * kPx},  // t 0.5: 1.5 x 65536
        {9 * 256, true, 3, 176947, 12, 190 * kPx, 280 * kPx},  // t 0.9: 3.2 -> 3; 2.7 x 65536; 12.8
        {2432, true, 1, 186777, 6, 195 * kPx, 290 * kPx},      // t 0.95: 1.6 -> 1, the faintest range; 6.4
        {10 * 256, true, 0, 196608, 0, 200 * kPx, 300 * kPx},  // the end: the range gone
        {10 * 256 + 1, false, 0, 0, 0, 0, 0},                  // past its end
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.clock);
        CAnimation a = Animation(kAnimationRing, row.clock, {100 * kPx, 100 * kPx}, {200 * kPx, 300 * kPx});
        a.ringRadius = 64.0f;
        ASSERT_NO_FATAL_FAILURE(DrawOnly(a));
        const std::vector<TRotatedDraw> ranges = Of(ring), bursts = Of(burst);
        ASSERT_EQ(ranges.size(), row.drawn && row.rangeAlpha > 0 ? 1u : 0u);
        ASSERT_EQ(bursts.size(), row.drawn ? 1u : 0u);
        if (!row.drawn) continue;
        std::vector<TRotatedDraw> both = bursts;
        if (!ranges.empty()) {
            both.push_back(ranges[0]);
            EXPECT_EQ(ranges[0].scale, 32768) << "64 of 128 pixels";
            EXPECT_EQ(ranges[0].alphaOffset, row.rangeAlpha - 255);
            EXPECT_LT(IndexOf(ring), IndexOf(burst)) << "the range under the burst";
        }
        EXPECT_EQ(bursts[0].scale, row.burstScale);
        EXPECT_EQ(bursts[0].alphaOffset, row.burstAlpha - 255);
        for (const TRotatedDraw& d : both) {
            EXPECT_EQ(d.kind, TRotatedDraw::kAdditive);
            EXPECT_EQ(d.flags, 0);
            EXPECT_EQ(d.x, row.x);
            EXPECT_EQ(d.y, row.y);
            EXPECT_EQ(d.angle, 0);
            EXPECT_EQ(d.r, 255);
            EXPECT_EQ(d.g, 255);
            EXPECT_EQ(d.b, 0);
        }
    }
}

// The ring's range follows its own radius (200 pixels here); without a range image only the burst shows, without a
// burst image only the range; a ring without a duration shows nothing.
TEST_F(RoundFieldDrawTest, ABlastRingDrawsWhatItHasImagesFor) {
    CAnimation a = Animation(kAnimationRing, 5 * 256, {80 * kPx, 90 * kPx}, {80 * kPx, 90 * kPx});
    a.ringRadius = 200.0f;
    CAnimation plain;  // an animation before it in the list does not keep it from showing
    plain.image = Set("Coin_Test")->GetFrame(2);
    plain.duration = 256;
    ASSERT_EQ(screen->m_Animations.Add(plain), 1);
    ASSERT_EQ(screen->m_Animations.Add(a), 1);
    DrawFrame();
    ASSERT_EQ(Of(ring).size(), 1u);
    EXPECT_EQ(Of(ring)[0].scale, 102400) << "200 of 128 pixels";
    ASSERT_EQ(Of(burst).size(), 1u);
    EXPECT_EQ(Of(burst)[0].scale, 307200) << "0.5 x 200 x 3 / 64 = 4.6875";

    screen->m_pBombRangeSprite = nullptr;
    DrawFrame();
    EXPECT_EQ(Of(ring).size(), 0u);
    EXPECT_EQ(Of(burst).size(), 1u);
    screen->m_pBombRangeSprite = ring;
    screen->m_pExplosionSprite = nullptr;
    DrawFrame();
    EXPECT_EQ(Of(ring).size(), 1u);
    EXPECT_EQ(Of(burst).size(), 0u);
    screen->m_pExplosionSprite = burst;

    screen->m_Animations.data[1].duration = 0;
    screen->m_Animations.data[1].clock = 0;
    DrawFrame();
    EXPECT_EQ(Of(ring).size() + Of(burst).size(), 0u);
}

// Every bomb waiting on the field shows its range under everything, at the range value 32; other
// power-ups show none.
TEST_F(RoundFieldDrawTest, AWaitingBombShowsItsRangeUnderTheField) {
    // Others before it in the list do not keep it from showing.
    ASSERT_NE(screen->SpawnPowerUp(200, 300, kPowerUpColorBomb), nullptr);
    CMarble* red = Put(kMarbleRed, 250, 200);
    red->m_nEntryIndicator = 0;
    CMarblePowerup* bomb = screen->SpawnPowerUp(100, 150, kPowerUpBomb);
    ASSERT_NE(bomb, nullptr);
    DrawFrame();
    const std::vector<TRotatedDraw> ranges = Of(ring);
    ASSERT_EQ(ranges.size(), 1u);
    EXPECT_EQ(ranges[0].x, bomb->m_Position.x >> 8);
    EXPECT_EQ(ranges[0].y, bomb->m_Position.y >> 8);
    EXPECT_EQ(ranges[0].alphaOffset, 32 - 255);
    EXPECT_EQ(ranges[0].scale, static_cast<int>(bomb->GetRadius() / 128.0 * 65536.0));
    EXPECT_EQ(IndexOf(ring), 0) << "the first thing drawn on the floor";
}

// ---- Entry arrows --------------------------------------------------------------------------------

// A marble coming in shows four arrows ahead of it, 10 pixels apart and shrinking, turned along
// its heading and multiplied in its colour; their opacity is its entry indicator, at most 255.
TEST_F(RoundFieldDrawTest, AMarbleComingInShowsFourShrinkingArrowsAlongItsHeading) {
    struct TRow {
        int dx, dy;           // the heading, 16.16
        FIXED_FLOAT indicator;
        int angle;            // degrees, counter-clockwise from +x with y up
        int alphaOffset;
    };
    const TRow rows[] = {
        {65536, 0, 128 * 256, 0, -127},      // right: 360 degrees, one full turn, shown as 0
        {0, 65536, 300 * 256, 90, 0},        // y grows: 90 degrees; the indicator held to 255
        {-65536, 0, 255 * 256, 180, 0},
        {0, -65536, 1 * 256 + 255, 270, -254},  // the indicator's whole part
    };
    const int scales[] = {16384, 14418, 12452, 10486};
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.angle);
        screen->m_Marbles.RemoveAll();
        CMarble* m = Put(kMarbleYellow, 150, 200);
        m->m_Direction = TVector2D_16{row.dx, row.dy};
        m->m_nEntryIndicator = row.indicator;
        DrawFrame();
        const std::vector<TRotatedDraw> arrows = Of(arrow);
        ASSERT_EQ(arrows.size(), 4u);
        for (int k = 0; k < 4; ++k) {
            SCOPED_TRACE(k);
            const int step = 10 * k;
            EXPECT_EQ(arrows[k].kind, TRotatedDraw::kMultiply);
            EXPECT_EQ(arrows[k].flags, 0);
            EXPECT_EQ(arrows[k].x, (150 + step * row.dx / 65536) * kPx);
            EXPECT_EQ(arrows[k].y, (200 + step * row.dy / 65536) * kPx);
            EXPECT_EQ(arrows[k].angle, row.angle * kPx);
            EXPECT_EQ(arrows[k].scale, scales[k]);
            EXPECT_EQ(arrows[k].r, 255) << "yellow";
            EXPECT_EQ(arrows[k].g, 255);
            EXPECT_EQ(arrows[k].b, 0);
            EXPECT_EQ(arrows[k].alphaOffset, row.alphaOffset);
        }
    }
}

// A heading between the axes places the arrows on its line: 3-4-5, cut to 24.8 below the pixel.
TEST_F(RoundFieldDrawTest, ArrowsFollowASlantedHeadingToTheSubpixel) {
    CMarble* m = Put(kMarbleRed, 150, 200);
    m->m_Direction = TVector2D_16{39322, -52429};  // (0.6, -0.8)
    m->m_nEntryIndicator = 255 * 256;
    DrawFrame();
    const std::vector<TRotatedDraw> arrows = Of(arrow);
    ASSERT_EQ(arrows.size(), 4u);
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(k);
        // x = 150 + 6k pixels, y = 200 - 8k pixels, from 16.16 products shifted down by 8.
        const long long x16 = 150LL * 65536 + 10LL * k * 39322, y16 = 200LL * 65536 - 10LL * k * 52429;
        EXPECT_EQ(arrows[k].x, static_cast<int>(x16 >> 8));
        EXPECT_EQ(arrows[k].y, static_cast<int>(y16 >> 8));
        EXPECT_NEAR(arrows[k].x / 256.0, 150 + 6.0 * k, 0.01);
        EXPECT_NEAR(arrows[k].y / 256.0, 200 - 8.0 * k, 0.01);
        EXPECT_EQ(arrows[k].r, 255) << "red";
        EXPECT_EQ(arrows[k].g, 0);
        EXPECT_EQ(arrows[k].b, 0);
    }
}

// No arrows for a marble that has come in (indicator 0), one on a path, or a power-up; none
// without the arrow image.
TEST_F(RoundFieldDrawTest, OnlyOrdinaryMarblesComingInShowArrows) {
    CMarble* in = Put(kMarbleGreen, 100, 200);
    in->m_Direction = TVector2D_16{65536, 0};
    in->m_nEntryIndicator = 0;
    CMarble* onPath = Put(kMarbleGreen, 100, 250);
    onPath->m_Direction = TVector2D_16{65536, 0};
    onPath->m_nEntryIndicator = 200 * 256;
    GivePath(onPath, 200, 250);
    CMarblePowerup* powerUp = screen->SpawnPowerUp(100, 300, kPowerUpColorBomb);
    ASSERT_NE(powerUp, nullptr);
    powerUp->m_Direction = TVector2D_16{65536, 0};
    powerUp->m_nEntryIndicator = 200 * 256;
    DrawFrame();
    EXPECT_TRUE(Of(arrow).empty());

    in->m_nEntryIndicator = 1;
    DrawFrame();
    EXPECT_EQ(Of(arrow).size(), 4u) << "the smallest indicator still shows them, at opacity 0";
    screen->m_pDangerOffScreenSprite = nullptr;
    DrawFrame();
    EXPECT_TRUE(Of(arrow).empty());
}

// ---- Paths ---------------------------------------------------------------------------------------

// The path being drawn: a dot every 10 pixels along the laid curve from its start to its length,
// then dots on the straight stretch to the finger, from 20 pixels past the curve's end for as long
// as more than 10 pixels are left; all at 0.9 in the dragged marble's colour, fully opaque.
TEST_F(RoundFieldDrawTest, ThePathBeingDrawnIsDottedToTheFinger) {
    CMarble* m = Put(kMarbleBlue, 50, 100);
    screen->m_pDraggedMarble = m;
    // A straight piece whose last control point stands short of its end.
    const TVector2D a{50 * kPx, 100 * kPx}, c{80 * kPx, 100 * kPx}, b{90 * kPx, 100 * kPx};
    ASSERT_EQ(screen->m_DrawingCurve.AddSpline(a, a, c, b), 1);
    const FIXED_FLOAT length = screen->m_DrawingCurve.Length();
    ASSERT_NEAR(length, 40 * kPx, 2);
    screen->m_FingerPos = TVector2D{150 * kPx, 180 * kPx};  // 100 pixels on: 60 right, 80 down
    DrawFrame();
    screen->m_pDraggedMarble = nullptr;
    std::vector<int> xs, ys;
    for (const TRotatedDraw& d : Of(dot)) {
        EXPECT_EQ(d.kind, TRotatedDraw::kMultiply);
        EXPECT_EQ(d.flags, 0);
        EXPECT_EQ(d.angle, 0);
        EXPECT_EQ(d.scale, 58982);
        EXPECT_EQ(d.r, 0) << "cyan for blue";
        EXPECT_EQ(d.g, 255);
        EXPECT_EQ(d.b, 255);
        EXPECT_EQ(d.alphaOffset, 0);
        xs.push_back(d.x);
        ys.push_back(d.y);
    }
    // On the curve at 0, 10, 20, 30 and (its length being 40) 40 when the measure reaches it;
    // then exactly at 20 .. 80 of the stretch's 100 pixels from the curve's end (90, 100): x by
    // 0.6 and y by 0.8 of each.
    std::vector<int> curve{50, 60, 70, 80};
    if (length >= 40 * kPx) curve.push_back(90);
    ASSERT_EQ(xs.size(), curve.size() + 7);
    for (std::size_t i = 0; i < curve.size(); ++i) {
        EXPECT_NEAR(xs[i], curve[i] * kPx, 32) << i;
        EXPECT_NEAR(ys[i], 100 * kPx, 1) << i;
    }
    for (int k = 0; k < 7; ++k) {
        const int along = 20 + 10 * k;
        EXPECT_EQ(xs[curve.size() + k], 90 * kPx + along * 6 * kPx / 10) << k;
        EXPECT_EQ(ys[curve.size() + k], 100 * kPx + along * 8 * kPx / 10) << k;
    }
    // Without the dot image nothing is drawn.
    screen->m_pDraggedMarble = m;
    screen->m_pDotSprite = nullptr;
    DrawFrame();
    screen->m_pDotSprite = dot;
    screen->m_pDraggedMarble = nullptr;
}

// Before the first piece is laid, the straight stretch starts at the first laid point, or at the
// finger itself when none is laid (no dots); a dot is drawn only while more than 10 pixels are left.
TEST_F(RoundFieldDrawTest, BeforeTheFirstPieceTheDotsRunFromTheFirstPoint) {
    CMarble* m = Put(kMarbleRed, 40, 300);
    screen->m_pDraggedMarble = m;
    screen->m_DrawingCurve.Reset();
    screen->m_PathPoints.count = 0;
    screen->m_FingerPos = TVector2D{200 * kPx, 300 * kPx};
    DrawFrame();
    EXPECT_TRUE(Of(dot).empty()) << "no points: from the finger to itself";

    ASSERT_EQ(screen->m_PathPoints.Add(TVector2D{40 * kPx, 300 * kPx}), 1);
    const struct {
        int fingerX;
        std::vector<int> xs;
    } cases[] = {
        {70, {}},                // 30 pixels: at 20 only 10 are left, not more than 10
        {71, {60}},              // 31 pixels: 20; at 30 only 1 would be left
        {81, {60, 70}},          // 41 pixels: 20 and 30
        {100, {60, 70, 80}},     // 60 pixels: 20 .. 40
        {0, {20}},               // 40 pixels back to the left: 20 only
        {50, {}},                // 10 pixels: too short for any dot
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fingerX);
        screen->m_FingerPos = TVector2D{c.fingerX * kPx, 300 * kPx};
        DrawFrame();
        const std::vector<TRotatedDraw> dots = Of(dot);
        ASSERT_EQ(dots.size(), c.xs.size());
        for (std::size_t i = 0; i < dots.size(); ++i) {
            EXPECT_EQ(dots[i].x, c.xs[i] * kPx);
            EXPECT_EQ(dots[i].y, 300 * kPx);
            EXPECT_EQ(dots[i].r, 255);
            EXPECT_EQ(dots[i].g, 0);
        }
    }
    screen->m_pDraggedMarble = nullptr;
    screen->m_PathPoints.count = 0;
}

// A path being run shows its dots only ahead of its marble (from the distance it has travelled on),
// faint (opacity 64); the dragged marble's own path is not drawn this way.
TEST_F(RoundFieldDrawTest, APathBeingRunIsDottedFaintlyAheadOfItsMarble) {
    CMarble* runner = Put(kMarbleGreen, 20, 400);
    GivePath(runner, 120, 400);
    const FIXED_FLOAT length = runner->m_Path.Length();
    ASSERT_NEAR(length, 100 * kPx, 2);
    struct TRow {
        int travelledPx16;  // the distance along the path, 16.16 pixels
        int firstDotPx;     // the first dot ahead
    };
    const TRow rows[] = {
        {0, 20},               // from the start
        {10 * 65536, 30},      // a dot exactly at the marble is still drawn
        {10 * 65536 + 256, 40},  // one 256th past a dot hides it
        {35 * 65536, 60},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.travelledPx16);
        runner->m_nPathDistance = row.travelledPx16;
        DrawFrame();
        std::vector<TRotatedDraw> dots = Of(dot);
        ASSERT_FALSE(dots.empty());
        EXPECT_NEAR(dots[0].x, row.firstDotPx * kPx, 32);
        const int last = length >= 100 * kPx ? 120 : 110;
        EXPECT_NEAR(dots.back().x, last * kPx, 32);
        EXPECT_EQ(static_cast<int>(dots.size()), (last - row.firstDotPx) / 10 + 1);
        for (const TRotatedDraw& d : dots) {
            EXPECT_EQ(d.kind, TRotatedDraw::kMultiply);
            EXPECT_EQ(d.flags, 0);
            EXPECT_EQ(d.angle, 0);
            EXPECT_EQ(d.scale, 58982);
            EXPECT_EQ(d.alphaOffset, 64 - 255);
            EXPECT_EQ(d.r, 0) << "green";
            EXPECT_EQ(d.g, 255);
            EXPECT_EQ(d.b, 0);
        }
    }
    // A marble without a path shows no dots.
    runner->m_nPathDistance = 0;
    CMarble* free = Put(kMarbleGreen, 200, 100);
    free->m_nEntryIndicator = 0;
    DrawFrame();
    for (const TRotatedDraw& d : Of(dot)) EXPECT_EQ(d.y >> 8, 400) << "only the runner's path";
    screen->m_pDraggedMarble = runner;
    screen->m_FingerPos = TVector2D{runner->m_Position.x >> 8, runner->m_Position.y >> 8};
    DrawFrame();
    screen->m_pDraggedMarble = nullptr;
    for (const TRotatedDraw& d : Of(dot)) EXPECT_NE(d.alphaOffset, 64 - 255) << "the dragged marble's path";
}

// A marble in danger shows its halo in red at its danger's opacity, whichever place it has in the
// list; a power-up never does.
TEST_F(RoundFieldDrawTest, AMarbleInDangerShowsARedHalo) {
    CMarble* m = Put(kMarbleGreen, 140, 260);
    m->m_nEntryIndicator = 0;
    for (int level : {0, 1, 200, 255}) {
        SCOPED_TRACE(level);
        m->m_nDanger = level;
        DrawFrame();
        const std::vector<TRotatedDraw> halos = Of(danger);
        ASSERT_EQ(halos.size(), level > 0 ? 1u : 0u);
        if (halos.empty()) continue;
        EXPECT_EQ(halos[0].kind, TRotatedDraw::kMultiply);
        EXPECT_EQ(halos[0].x, 140 * kPx);
        EXPECT_EQ(halos[0].y, 260 * kPx);
        EXPECT_EQ(halos[0].r, 255);
        EXPECT_EQ(halos[0].g, 0);
        EXPECT_EQ(halos[0].b, 0);
        EXPECT_EQ(halos[0].alphaOffset, level - 255);
    }
}

// ---- The dragged marble --------------------------------------------------------------------------

// The dragged marble sits on a circle of its colour at 0.7, at the highlight's opacity, drawn just
// before the marble itself; no other marble has one.
TEST_F(RoundFieldDrawTest, TheDraggedMarbleSitsOnACircleOfItsColour) {
    CMarble* other = Put(kMarbleBlue, 60, 70);
    CMarble* dragged = Put(kMarbleYellow, 130, 240);
    (void)other;
    dragged->m_nEntryIndicator = other->m_nEntryIndicator = 0;
    screen->m_pDraggedMarble = dragged;
    screen->m_FingerPos = TVector2D{130 * kPx, 240 * kPx};
    for (int highlight : {180, 0, 255}) {
        SCOPED_TRACE(highlight);
        screen->m_nDragHighlightAlpha = highlight;
        DrawFrame();
        const std::vector<TRotatedDraw> circles = Of(dragCircle);
        ASSERT_EQ(circles.size(), 1u);
        EXPECT_EQ(circles[0].kind, TRotatedDraw::kMultiply);
        EXPECT_EQ(circles[0].flags, 0);
        EXPECT_EQ(circles[0].x, 130 * kPx);
        EXPECT_EQ(circles[0].y, 240 * kPx);
        EXPECT_EQ(circles[0].angle, 0);
        EXPECT_EQ(circles[0].scale, 45875);
        EXPECT_EQ(circles[0].r, 255);
        EXPECT_EQ(circles[0].g, 255);
        EXPECT_EQ(circles[0].b, 0);
        EXPECT_EQ(circles[0].alphaOffset, highlight - 255);
        // The marble's own image comes right after its circle.
        const int at = IndexOf(dragCircle);
        ASSERT_LT(at + 1, static_cast<int>(recorder.draws.size()));
        EXPECT_EQ(recorder.draws[static_cast<std::size_t>(at) + 1].x, dragged->m_Position.x >> 8);
    }
    screen->m_pDraggedMarble = nullptr;
    DrawFrame();
    EXPECT_TRUE(Of(dragCircle).empty());
}

// ---- The order of the layers ---------------------------------------------------------------------

// Back to front: the bombs' ranges, the entry arrows, the path being drawn, the paths being run,
// the bursts, the marbles' danger halos, the circle under the dragged marble, then the animations
// over the marbles.
TEST_F(RoundFieldDrawTest, TheFieldsLayersComeBackToFront) {
    CMarblePowerup* bomb = screen->SpawnPowerUp(250, 350, kPowerUpBomb);
    ASSERT_NE(bomb, nullptr);
    CMarble* coming = Put(kMarbleRed, 30, 80);
    coming->m_Direction = TVector2D_16{65536, 0};
    coming->m_nEntryIndicator = 100 * 256;
    bomb->m_nDanger = 200;  // a power-up never shows a halo
    CMarble* dragged = Put(kMarbleBlue, 100, 200);
    dragged->m_nEntryIndicator = 0;
    dragged->m_nDanger = 200;
    screen->m_pDraggedMarble = dragged;
    screen->m_FingerPos = TVector2D{100 * kPx, 200 * kPx};
    const TVector2D a{100 * kPx, 200 * kPx}, b{140 * kPx, 200 * kPx};
    ASSERT_EQ(screen->m_DrawingCurve.AddSpline(a, a, b, b), 1);
    CMarble* runner = Put(kMarbleGreen, 50, 300);
    runner->m_nEntryIndicator = 0;
    GivePath(runner, 150, 300);
    AddExplosion(64 * kPx, 200, 100);
    IDibBitmap* image = Set("Coin_Test")->GetFrame(5);
    ASSERT_NO_FATAL_FAILURE(AddShownAnimation(image));
    DrawFrame();
    screen->m_pDraggedMarble = nullptr;

    const int rangeAt = IndexOf(ring), arrowAt = IndexOf(arrow), burstAt = IndexOf(burst),
              dangerAt = IndexOf(danger), circleAt = IndexOf(dragCircle), animAt = IndexOf(image);
    ASSERT_EQ(Of(danger).size(), 1u) << "the marble's halo, not the bomb's";
    EXPECT_EQ(Of(danger)[0].x, 100 * kPx);
    int drawnDotAt = -1, runDotAt = -1;
    for (std::size_t i = 0; i < recorder.draws.size(); ++i) {
        const TRotatedDraw& d = recorder.draws[i];
        if (d.src != dot) continue;
        if (d.alphaOffset == 0 && drawnDotAt < 0) drawnDotAt = static_cast<int>(i);
        if (d.alphaOffset == 64 - 255 && runDotAt < 0) runDotAt = static_cast<int>(i);
    }
    ASSERT_GE(rangeAt, 0);
    EXPECT_LT(rangeAt, arrowAt);
    EXPECT_LT(arrowAt, drawnDotAt);
    EXPECT_LT(drawnDotAt, runDotAt);
    EXPECT_LT(runDotAt, burstAt);
    EXPECT_LT(burstAt, dangerAt);
    EXPECT_LT(dangerAt, circleAt);
    EXPECT_LT(circleAt, animAt);
    EXPECT_EQ(animAt, static_cast<int>(recorder.draws.size()) - 1) << "nothing rotated goes over the animations";
}

// Without a back buffer there is nothing to draw on: nothing is drawn and no burst turns.
TEST_F(RoundFieldDrawTest, WithoutABackBufferNothingIsDrawn) {
    CExplosion& e = AddExplosion(64 * kPx, 50, 60, 0);
    Put(kMarbleRed, 100, 100);
    IDibBitmap* back = game.m_Screen.m_pBackBuffer;
    game.m_Screen.m_pBackBuffer = nullptr;
    DrawFrame();
    game.m_Screen.m_pBackBuffer = back;
    EXPECT_TRUE(recorder.draws.empty());
    EXPECT_EQ(e.angle, 0);
}

// A round over without the game's big font shows no game-over texts and does not fail, with its
// texts in the table or without them.
class RoundGameOverTextsTest : public RoundTest {
protected:
    RoundGameOverTextsTest() : RoundTest(RoundTextsCsv() + "ID_GameOver,Game over\nID_TouchToContinue,Touch\n") {}
};

TEST_F(RoundGameOverTextsTest, WithoutTheBigFontNoTextIsDrawn) {
    ASSERT_EQ(game.m_Fonts[kGameFontBig], nullptr);
    ASSERT_STREQ(game.m_pLocManager->LoadString("ID_GameOver").GetDataConst(), "Game over");
    screen->m_bGameOver = true;
    screen->m_nGameOverClock = 5 * 65536;
    recorder.draws.clear();
    screen->Draw();
    screen->m_bGameOver = false;
    EXPECT_TRUE(recorder.draws.empty());
}

TEST_F(RoundFieldDrawTest, GameOverWithoutItsFontDrawsNoTexts) {
    ASSERT_EQ(game.m_Fonts[kGameFontBig], nullptr);
    screen->m_bGameOver = true;
    screen->m_nGameOverClock = 5 * 65536;
    DrawFrame();
    screen->m_bGameOver = false;
    EXPECT_TRUE(recorder.draws.empty());
}

// ---- The particle effects between the layers ----------------------------------------------------

// Ten of the game's effects, each with one particle standing at its own height (y 300 + effect).
class RoundFieldParticlesTest : public RoundFieldDrawTest {
protected:
    static constexpr int kEffects = 10;
    RoundFieldParticlesTest() {
        game.m_pParticleManager = new CQuorvanParticleSystemManager2(&game, game.m_pRotatorScaler, kEffects);
        for (int effect = 0; effect < kEffects; ++effect) {
            auto* system = new CQuorvanParticleSystem2(&game, game.m_pRotatorScaler);
            const std::string text = "ParticleSprites = Flare\nParticleNumSprites = 1\nParticleNumSpritesPerRow = 1\n"
                                     "MaxParticles = 4\nRandomPos = 0\n";
            auto* file = new CMemoryFile();
            void* block = std::malloc(text.size());
            std::memcpy(block, text.data(), text.size());
            file->Attach(block, static_cast<int>(text.size()));
            EXPECT_EQ(system->Init(file, Set("Flare"), 0), 1);
            delete file;
            EXPECT_EQ(game.m_pParticleManager->AddParticleSystem(("e" + std::to_string(effect)).c_str(), system), 1);
            game.m_ParticleEffectIndex[effect] = game.m_pParticleManager->GetIdOfParticleSystem(system);
            system->StartAt(200 * 65536, (300 + effect) * 65536);
            system->EmitNewParticles(1);
            EXPECT_EQ(system->GetNumActiveParticels(), 1);
            systems.push_back(system);
        }
    }
    ~RoundFieldParticlesTest() override {
        for (CQuorvanParticleSystem2* system : systems) system->m_Info.m_pSpriteSet = nullptr;
        SafeDelete(game.m_pParticleManager);
    }
    // Where in the frame the particle of an effect was drawn; -1 when it was not, -2 when twice.
    int ParticleAt(int effect) const {
        int at = -1;
        for (std::size_t i = 0; i < recorder.draws.size(); ++i)
            if (recorder.draws[i].src == Set("Flare")->GetFrame(0) && recorder.draws[i].y >> 8 == 300 + effect)
                at = at == -1 ? static_cast<int>(i) : -2;
        return at;
    }
    CSpriteSet* Set(const char* name) const { return game.m_pSpriteSetManager->GetSpriteSetNamed(name); }

    std::vector<CQuorvanParticleSystem2*> systems;
};

// The score and intro sparkles (effects 1 and 8) go under the marbles, after the bursts; the path
// trail and the bomb rings (0 and 2) over the marbles and under the animations; every other effect
// over everything the field draws.
TEST_F(RoundFieldParticlesTest, EachEffectIsDrawnOnceInItsLayer) {
    CMarble* dragged = Put(kMarbleRed, 100, 100);
    dragged->m_nEntryIndicator = 0;
    screen->m_pDraggedMarble = dragged;
    screen->m_FingerPos = TVector2D{100 * kPx, 100 * kPx};
    AddExplosion(64 * kPx, 50, 50);
    IDibBitmap* image = Set("Coin_Test")->GetFrame(5);
    ASSERT_NO_FATAL_FAILURE(AddShownAnimation(image));
    DrawFrame();
    screen->m_pDraggedMarble = nullptr;
    const int burstAt = IndexOf(burst), circleAt = IndexOf(dragCircle), animAt = IndexOf(image);
    ASSERT_GE(burstAt, 0);
    ASSERT_GT(circleAt, burstAt);
    ASSERT_GT(animAt, circleAt);
    for (int effect = 0; effect < kEffects; ++effect) {
        SCOPED_TRACE(effect);
        const int at = ParticleAt(effect);
        ASSERT_GE(at, 0) << "drawn exactly once";
        if (effect == 1 || effect == 8) {
            EXPECT_GT(at, burstAt);
            EXPECT_LT(at, circleAt);
        } else if (effect == 0 || effect == 2) {
            EXPECT_GT(at, circleAt);
            EXPECT_LT(at, animAt);
        } else {
            EXPECT_GT(at, animAt);
        }
    }
}

// ---- The statistics over the field --------------------------------------------------------------

// Once the round statistics are fully shown they cover the screen: the field is no longer drawn;
// while they fade in it still is.
TEST_F(RoundFieldDrawTest, FullyShownStatisticsHideTheField) {
    AddExplosion(64 * kPx, 100, 100);
    screen->m_bGameOver = true;
    screen->m_nGameOverClock = 4 * 65536;
    EXPECT_EQ(screen->NotifyPointerEvent(50, 50, XPOINTER_PRESS), 1);
    XDialog* stats = screen->m_pRoundStatsDialog;
    ASSERT_NE(stats, nullptr);
    for (const FIXED_FLOAT opacity : {FIXED_FLOAT{0}, FIXED_FLOAT{65279}, FIXED_FLOAT{65280}}) {
        SCOPED_TRACE(opacity);
        stats->ApplyOpacity(opacity);
        ASSERT_EQ(stats->GetOpacity(), opacity);
        DrawFrame();
        EXPECT_EQ(Of(burst).size(), opacity < 65280 ? 1u : 0u);
    }
    // Fading in or fully shown, the statistics themselves are drawn over the field (here nothing
    // else puts a pixel on the cleared screen).
    IDibBitmap* back = screen->GetBackBuffer();
    for (const FIXED_FLOAT opacity : {FIXED_FLOAT{65279}, FIXED_FLOAT{65280}}) {
        SCOPED_TRACE(opacity);
        stats->ApplyOpacity(opacity);
        back->ClearBitmap(0, 0, 0);
        DrawFrame();
        const auto* bits = reinterpret_cast<const std::uint16_t*>(back->GetBits());
        int lit = 0;
        for (int y = 0; y < back->m_Height; ++y)
            for (int x = 0; x < back->m_Width; ++x)
                lit += bits[static_cast<std::size_t>(y) * back->m_BufferWidth + x] != 0;
        EXPECT_GT(lit, 0);
    }
}

// ---- The floor and the frame ---------------------------------------------------------------------

// A bitmap that only notes where it is asked to draw, by name, in one shared log.
struct TBlit {
    std::string what;  // the image's name, with "+" for an additive blit, "~" for a stretched one
    int x, y, w, h;
    int sx = 0, sy = 0, sw = 0, sh = 0;  // the part of the source (its corner for a blit)
    int alpha = 0, flags = 0;            // the alpha offset and the flags, 0 for a plain draw
    bool operator==(const TBlit&) const = default;
};

std::ostream& operator<<(std::ostream& os, const TBlit& b) {
    return os << b.what << " (" << b.x << ", " << b.y << ", " << b.w << " x " << b.h << ") of (" << b.sx << ", "
              << b.sy << ", " << b.sw << " x " << b.sh << ") alpha " << b.alpha << " flags " << b.flags;
}

class CNotedBitmap : public CWinDibBitmap {
public:
    CNotedBitmap(IRenderHost* host, std::string name, int w, int h, std::vector<TBlit>* log, IDibBitmap* screen)
        : CWinDibBitmap(host), m_Name(std::move(name)), m_pLog(log), m_pScreen(screen) {
        m_Width = m_BufferWidth = w;
        m_Height = m_BufferHeight = h;
    }
    void BitBlt(IDibBitmap* dst, int x, int y, int w, int h, int sx, int sy, int alpha) override {
        if (dst == m_pScreen) m_pLog->push_back(TBlit{m_Name, x, y, w, h, sx, sy, 0, 0, alpha});
    }
    void BitBltAdditive(IDibBitmap* dst, int x, int y, int w, int h, int sx, int sy, int alpha) override {
        if (dst == m_pScreen) m_pLog->push_back(TBlit{m_Name + "+", x, y, w, h, sx, sy, 0, 0, alpha});
    }
    void StretchDraw(IDibBitmap* dst, int x, int y, int dw, int dh, int sx, int sy, int sw, int sh, int flags,
                     int alpha) override {
        if (dst == m_pScreen) m_pLog->push_back(TBlit{m_Name + "~", x, y, dw, dh, sx, sy, sw, sh, alpha, flags});
    }

private:
    std::string m_Name;
    std::vector<TBlit>* m_pLog;
    IDibBitmap* m_pScreen;
};

class RoundFrameDrawTest : public RoundTest {
protected:
    RoundFrameDrawTest() { back = screen->GetBackBuffer(); }
    // Gives the screen (which owns its images) a noted image of a size in a slot.
    void Give(CXGameplaySurvival::EImage slot, const char* name, int w, int h) {
        delete screen->m_Images[slot];
        screen->m_Images[slot] = new CNotedBitmap(&game, name, w, h, &log, back);
    }
    void Take(CXGameplaySurvival::EImage slot) {
        delete screen->m_Images[slot];
        screen->m_Images[slot] = nullptr;
    }
    // Every piece of the frame and the head-up display's images, as the art has them.
    void GiveAll() {
        Give(CXGameplaySurvival::kImageTop, "top", 320, 70);
        Give(CXGameplaySurvival::kImageBottom, "bottom", 320, 24);
        Give(CXGameplaySurvival::kImageLeft, "left", 24, 300);
        Give(CXGameplaySurvival::kImageRight, "right", 26, 310);
        Give(CXGameplaySurvival::kImageSideShadows, "shadow", 12, 8);
        Give(CXGameplaySurvival::kImageNails, "nails", 10, 6);
        Give(CXGameplaySurvival::kImageLives, "lives", 34, 32);
        Give(CXGameplaySurvival::kImageCoins, "coins", 45, 38);
        Give(CXGameplaySurvival::kImageProgressEmpty, "empty", 176, 16);
        Give(CXGameplaySurvival::kImageProgressFull, "full", 176, 16);
    }
    std::vector<TBlit> Borders() {
        log.clear();
        screen->DrawLevelBgBorders();
        return log;
    }

    IDibBitmap* back = nullptr;
    std::vector<TBlit> log;
};

// The frame on a 320 x 480 screen: the posts stand 10 pixels off the sides and 10 above the
// bottom, the right one as tall as the left; the beam overhangs the bottom by 10; the side shadows
// lie under the top board and above the beam on both sides; the nails sit 2 in from the sides at
// y 50 and 7 past the bottom; then the lives (8 from the right at y 5), the coins at (55, 1) and
// the bar at (90, 23). The tutorial lifts the posts, the top board and the top nails by 25 pixels,
// stacks three beams and shows none of the head-up display.
TEST_F(RoundFrameDrawTest, TheFramesPiecesLandOnTheirPlaces) {
    GiveAll();
    screen->m_nShownFill = 0;
    const std::vector<TBlit> play = {
        {"left", -10, 170, 24, 300},   {"right", 304, 170, 26, 310},  {"top", 0, 0, 320, 70},
        {"bottom", 0, 466, 320, 24},   {"shadow", -10, 70, 12, 8},    {"shadow", 318, 70, 12, 8},
        {"shadow", -10, 458, 12, 8},   {"shadow", 318, 458, 12, 8},   {"nails", 2, 50, 10, 6},
        {"nails", 308, 50, 10, 6},     {"nails", 2, 481, 10, 6},      {"nails", 308, 481, 10, 6},
        {"lives", 278, 5, 34, 32},     {"coins", 55, 1, 45, 38},      {"empty", 90, 23, 176, 16},
    };
    EXPECT_EQ(Borders(), play);

    screen->m_bTutorial = true;
    const std::vector<TBlit> tutorial = {
        {"left", -10, 145, 24, 300},   {"right", 304, 145, 26, 310},  {"top", 0, -25, 320, 70},
        {"bottom", 0, 466, 320, 24},   {"bottom", 0, 442, 320, 24},   {"bottom", 0, 418, 320, 24},
        {"shadow", -10, 45, 12, 8},    {"shadow", 318, 45, 12, 8},    {"shadow", -10, 458, 12, 8},
        {"shadow", 318, 458, 12, 8},   {"nails", 2, 25, 10, 6},       {"nails", 308, 25, 10, 6},
        {"nails", 2, 481, 10, 6},      {"nails", 308, 481, 10, 6},
    };
    EXPECT_EQ(Borders(), tutorial);
    screen->m_bTutorial = false;
}

// Without a back buffer neither the floor nor the frame is drawn, and nothing fails.
TEST_F(RoundFrameDrawTest, WithoutABackBufferTheFloorAndFrameAreLeftOut) {
    GiveAll();
    screen->m_pBackground = new CNotedBitmap(&game, "floor", 320, 480, &log, back);
    game.m_Screen.m_pBackBuffer = nullptr;
    log.clear();
    screen->DrawLevelBg();
    screen->DrawLevelBgBorders();
    game.m_Screen.m_pBackBuffer = back;
    EXPECT_TRUE(log.empty());
}

// Missing pieces: without the left post the right one stands on its own height; without the top
// board the upper shadows lie at the top; without the beam the lower ones sit on the screen's
// bottom; without a lives image the rest still shows.
TEST_F(RoundFrameDrawTest, MissingPiecesLeaveTheOthersInPlace) {
    Give(CXGameplaySurvival::kImageRight, "right", 26, 310);
    Give(CXGameplaySurvival::kImageSideShadows, "shadow", 12, 8);
    screen->m_nShownFill = 0;
    EXPECT_EQ(Borders(), (std::vector<TBlit>{{"right", 304, 160, 26, 310},
                                             {"shadow", -10, 0, 12, 8},
                                             {"shadow", 318, 0, 12, 8},
                                             {"shadow", -10, 472, 12, 8},
                                             {"shadow", 318, 472, 12, 8}}));
    screen->m_bTutorial = true;
    EXPECT_EQ(Borders()[0], (TBlit{"right", 304, 135, 26, 310}));
    screen->m_bTutorial = false;

    Take(CXGameplaySurvival::kImageRight);
    Take(CXGameplaySurvival::kImageSideShadows);
    Give(CXGameplaySurvival::kImageCoins, "coins", 45, 38);
    EXPECT_EQ(Borders(), (std::vector<TBlit>{{"coins", 55, 1, 45, 38}}));
}

// The full bar is cut at its left cap plus the shown fill, never past its own width, and not drawn
// at all for no fill; while a level-up holds it, it flashes (added over itself) on the frames whose
// hold count has bit 3 clear.
TEST_F(RoundFrameDrawTest, TheFullBarIsCutAtTheShownFillAndFlashesWhileHeld) {
    Give(CXGameplaySurvival::kImageProgressFull, "full", 176, 16);
    struct TRow {
        int shown, leftOffset;
        bool hold;
        int holdCounter;
        int cut;  // 0: not drawn
        bool flash;
    };
    const TRow rows[] = {
        {0, 10, false, 0, 0, false},     {1, 10, false, 0, 11, false},   {50, 10, false, 0, 60, false},
        {166, 10, false, 0, 176, false}, {170, 10, false, 0, 176, false}, {1, -1, false, 0, 0, false},
        {2, -1, false, 0, 1, false},     {-5, 20, false, 0, 0, false},   {166, 10, true, 24, 176, false},
        {166, 10, true, 16, 176, true},  {166, 10, true, 8, 176, false}, {166, 10, true, 15, 176, false},
        {166, 10, true, 7, 176, true},   {166, 10, false, 7, 176, false},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.shown << " " << row.leftOffset << " " << row.hold << " "
                                          << row.holdCounter);
        screen->m_nShownFill = row.shown;
        screen->m_nFillLeftOffset = row.leftOffset;
        screen->m_bLevelUpHold = row.hold;
        screen->m_nHoldCounter = row.holdCounter;
        std::vector<TBlit> expected;
        if (row.cut > 0) expected.push_back({"full", 90, 23, row.cut, 16});
        if (row.flash) expected.push_back({"full+", 90, 23, row.cut, 16});
        EXPECT_EQ(Borders(), expected);
    }
    screen->m_bLevelUpHold = false;
    screen->m_nFillLeftOffset = 10;
}

// The arena's floor is centred; one of another height than the screen is stretched to the
// screen's height, keeping its proportions.
TEST_F(RoundFrameDrawTest, TheFloorIsCentredAndStretchedToTheScreensHeight) {
    struct TRow {
        int w, h;
        TBlit expected;
    };
    const TRow rows[] = {
        {320, 480, {"floor", 0, 0, 320, 480}},
        {360, 480, {"floor", -20, 0, 360, 480}},
        {300, 480, {"floor", 10, 0, 300, 480}},
        {180, 240, {"floor~", -20, 0, 360, 480, 0, 0, 180, 240}},
        {400, 600, {"floor~", 0, 0, 320, 480, 0, 0, 400, 600}},
        {160, 960, {"floor~", 120, 0, 80, 480, 0, 0, 160, 960}},
        {2, 1, {"floor~", -320, 0, 960, 480, 0, 0, 2, 1}},  // one row stretched 480 times
        {320, 0, {"floor", 0, 0, 320, 0}},                  // an empty floor is not stretched
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.w << " x " << row.h);
        delete screen->m_pBackground;
        screen->m_pBackground = new CNotedBitmap(&game, "floor", row.w, row.h, &log, back);
        log.clear();
        screen->DrawLevelBg();
        EXPECT_EQ(log, (std::vector<TBlit>{row.expected}));
    }
    delete screen->m_pBackground;
    screen->m_pBackground = nullptr;
    log.clear();
    screen->DrawLevelBg();
    EXPECT_TRUE(log.empty());
}

}  // namespace
}  // namespace gameplaytest
