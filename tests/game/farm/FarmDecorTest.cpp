// Decor objects, photo stands and doghouses: making them, their spots and the birds on them, the
// mirror, the sway and squash, the animation, the effect and the dog's eyelids.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "FarmObjectsFixture.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemShape.h"
#include "render/DibBitmap.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"

namespace {

using namespace farmtest;

class FarmDecor : public FarmObjectsTest {};

// ---- Making the objects --------------------------------------------------------------------------

TEST_F(FarmDecor, TheFactoryMakesEachIdItsClassWithItsFlags) {
    struct TCase {
        const char* id;
        int kind;
        std::uint32_t flags;  // expected bits among 0x04 selectable, 0x40 rotatable, 0x80 creature
        bool canRotate;
    } cases[] = {
        {"bush", kFarmObjectDecor, 0x44, true},
        {"fixed", kFarmObjectDecor, 0x40, false},  // not movable: not selectable, nor rotatable by the player
        {"photostand01", kFarmObjectPhotoStand, 0x04, false},
        {"photostand02", kFarmObjectPhotoStand, 0x04, false},
        {"doghouse", kFarmObjectDoghouse, 0x44, true},
        {"doghouse2", kFarmObjectDoghouse, 0x44, true},
        {"bird1", kFarmObjectChicken, 0x84, false},
        {"bird13", kFarmObjectChicken, 0x84, false},
        {"robot", kFarmObjectRobot, 0x84, false},
        {"lawn_mower", kFarmObjectLawnmower, 0x84, false},
    };
    for (const TCase& c : cases) {
        CFarmObject* object = Add(c.id, 100, 100);
        ASSERT_NE(object, nullptr) << c.id;
        EXPECT_EQ(object->m_nKind, c.kind) << c.id;
        EXPECT_EQ(object->m_uFlags & 0xC4u, c.flags) << c.id;
        EXPECT_EQ(object->CanRotate(), c.canRotate) << c.id;
    }
    CFarmDecorObject* doghouse2 = static_cast<CFarmDecorObject*>(farm->GetFarmObject("doghouse2"));
    EXPECT_EQ(static_cast<CDoghouse*>(doghouse2)->m_nVariant, 2);
    EXPECT_EQ(doghouse2->m_Size.x, farmyard::kBoxW * 256) << "the size of the image";
    EXPECT_EQ(doghouse2->m_Size.y, farmyard::kBoxH * 256);
}

TEST_F(FarmDecor, EveryInitFailureRefusesTheObject) {
    CSpriteSetManager* sets = game.m_pSpriteSetManager;
    struct TCase {
        const char* id;
        const char* setToDelete;  // removed from the game before the object is made
        const char* why;
    } cases[] = {
        {"", nullptr, "an empty id"},
        {"bench", nullptr, "an id the current yard does not define"},
        {"no_sprite", nullptr, "a sprite set that is not declared"},
        {"lost_effect", nullptr, "an effect file that is not in the pak"},
        {"bird7", nullptr, "a bird without its direction sets"},
        {"bird2", "Chicken2_LB", "a bird missing its last direction set"},
        {"photostand01", "PhotoFlare", "a photo stand without its flare"},
        {"doghouse", "dog_lefteye_close", "a doghouse without its left eye"},
        {"doghouse2", "dog2_righteye_close", "a second doghouse without its right eye"},
    };
    for (const TCase& c : cases) {
        if (c.setToDelete != nullptr) sets->DeleteSpriteSet(c.setToDelete);
        EXPECT_EQ(farm->CreateFarmObject(c.id), nullptr) << c.why;
    }
    // The bird that failed at its last view gave the four references it took back.
    EXPECT_EQ(sets->GetSpriteSetNamed("Chicken2_L")->GetRefCount(), 0);
    EXPECT_EQ(sets->GetSpriteSetNamed("Chicken2_LT")->GetRefCount(), 0);
    // A number outside 1..20 is no bird at all.
    CChicken bird(&game, "bird1");
    EXPECT_FALSE(bird.Init(21));
    EXPECT_FALSE(bird.Init(0));
}

TEST_F(FarmDecor, AnEyeSetWithoutFramesRefusesTheDoghouse) {
    CSpriteSetManager* sets = game.m_pSpriteSetManager;
    sets->DeleteSpriteSet("dog_righteye_close");
    ASSERT_EQ(sets->AddSpriteSetMultiOptional("dog_righteye_close", "farmtest\\none%d", "", 0, 0, false, false), 1);
    EXPECT_EQ(farm->CreateFarmObject("doghouse"), nullptr);
}

// ---- Spots -------------------------------------------------------------------------------------------

// The world point of a point (px, py) pixels from the anchor of an object at (x, y), scaled by
// the depth scale and mirrored when asked, through the camera in doubles.
void ExpectedSpot(double x, double y, double px, double py, bool mirrored, double& wx, double& wy) {
    const double ax = ScreenX(x, y, 320), ay = ScreenY(y, 480);
    const double s = CameraScale(y);
    WorldOf(mirrored ? ax - s * px : ax + s * px, ay + s * py, 320, 480, wx, wy);
}

TEST_F(FarmDecor, SpotAndLookPointsFollowTheDepthAndMirrorWithTheObject) {
    auto* lamp = Add<CFarmDecorObject>("lamp", 0, 0);
    const double places[][2] = {{40, 20}, {320, 160}, {600, 328}, {150, 300}};
    for (const auto& p : places) {
        lamp->m_Position = TVector2D{static_cast<int>(p[0] * 256), static_cast<int>(p[1] * 256)};
        for (int rotated : {0, 1}) {
            lamp->m_nRotated = rotated;
            double wx, wy;
            ExpectedSpot(p[0], p[1], 14, 2, rotated == 1, wx, wy);
            const TVector2D spot = lamp->GetSpotPoint(0);
            EXPECT_NEAR(spot.x, wx * 256, 3) << p[0] << "," << p[1] << " rotated " << rotated;
            EXPECT_NEAR(spot.y, wy * 256, 3) << p[0] << "," << p[1] << " rotated " << rotated;
            ExpectedSpot(p[0], p[1], -6, -50, rotated == 1, wx, wy);
            const TVector2D look = lamp->GetSpotLookPoint();
            EXPECT_NEAR(look.x, wx * 256, 3) << p[0] << "," << p[1] << " rotated " << rotated;
            EXPECT_NEAR(look.y, wy * 256, 3) << p[0] << "," << p[1] << " rotated " << rotated;
        }
    }
}

TEST_F(FarmDecor, TheShadowMirrorsItsAngleAndShift) {
    auto* lamp = Add<CFarmDecorObject>("lamp", 250, 200);
    const double ss = CameraScale(200);
    const double ax = ScreenX(250, 200, kW), ay = ScreenY(200, kH);
    const double h = farmyard::kTallH;
    for (int rotated : {0, 1}) {
        lamp->m_nRotated = rotated;
        recorder.draws.clear();
        lamp->Draw(kDrawShadow);
        ASSERT_EQ(recorder.draws.size(), 1u) << "rotated " << rotated;
        const TRotatedDraw& d = recorder.draws[0];
        // 30 degrees and 10 pixels to the right, mirrored: 330 degrees and 10 to the left.
        const double angle = rotated ? 330.0 : 30.0;
        const double shift = rotated ? -10.0 : 10.0;
        EXPECT_EQ(d.angle, static_cast<int>(angle * 256)) << "rotated " << rotated;
        EXPECT_EQ(d.flags, rotated ? 3 : 2) << "upside down, and mirrored with the object";
        EXPECT_EQ(d.kind, TRotatedDraw::kAlphaChannel);
        EXPECT_EQ(d.alphaOffset, -190);
        EXPECT_EQ(d.r + d.g + d.b, 0) << "a black silhouette";
        // The pivot (bottom centre) goes to the anchor moved by the shift and down by half the
        // height (shadow_offset 0.5); the picture's centre lies half a height above it, turned.
        const double a = angle * 3.14159265358979 / 180.0;
        const double px = ax + shift * ss, py = ay + h * 0.5 * ss;
        EXPECT_NEAR(d.x, (px + std::sin(a) * h / 2 * ss) * 256, 3) << "rotated " << rotated;
        EXPECT_NEAR(d.y, (py - std::cos(a) * h / 2 * ss) * 256, 3) << "rotated " << rotated;
    }
}

TEST_F(FarmDecor, TheEffectShapeAndItsOriginMirrorWithTheObject) {
    auto* fountain = Add<CFarmDecorObject>("fountain", 200, 250);
    ASSERT_NE(fountain->m_pEffect, nullptr);
    const double ss = CameraScale(250);
    const double ax = ScreenX(200, 250, kW), ay = ScreenY(250, kH);
    // The shape (4, 6) (20, 2) (30, 10) around the centre (12, 6) of a 40 x 30 picture.
    struct TSegment {
        double x0, y0, x1, y1;
    };
    const TSegment plain[] = {{-8, 0, 8, -4}, {8, -4, 18, 4}};
    for (int rotated : {0, 1}) {
        fountain->m_nRotated = rotated;
        fountain->RunProcess();
        const CQuorvanParticleSystemShape2* shape = fountain->m_pEffectEmitShape;
        ASSERT_EQ(shape->GetNumSegments(), 2);
        const double sign = rotated ? -1.0 : 1.0;
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(shape->GetSegmentStart(i).x, static_cast<int>(sign * plain[i].x0 * 65536)) << i;
            EXPECT_EQ(shape->GetSegmentStart(i).y, static_cast<int>(plain[i].y0 * 65536)) << i;
            EXPECT_EQ(shape->GetSegmentEnd(i).x, static_cast<int>(sign * plain[i].x1 * 65536)) << i;
            EXPECT_EQ(shape->GetSegmentEnd(i).y, static_cast<int>(plain[i].y1 * 65536)) << i;
        }
        // The effect's origin is the centre, from the right edge when mirrored; particles at
        // p are drawn at offset + p x scale, the offset putting the origin where the picture has it.
        const double originX = rotated ? 40 - 12 : 12;
        EXPECT_EQ(fountain->m_EmitOrigin.x, static_cast<int>(originX * 256));
        EXPECT_NEAR(fountain->m_pEffect->m_nZoomScale, ss * 65536, 2);
        EXPECT_NEAR(fountain->m_pEffect->m_DrawOffset.x, (ax + ss * (originX - 20)) * 65536, 600);
        EXPECT_NEAR(fountain->m_pEffect->m_DrawOffset.y, (ay + ss * (6 - 30)) * 65536, 600);
    }
    EXPECT_GT(fountain->m_pEffect->GetNumActiveParticels(), 0) << "one particle a frame";
    fountain->Rotate();
    EXPECT_EQ(fountain->m_pEffect->GetNumActiveParticels(), 0) << "a mirror starts the effect afresh";
}

TEST_F(FarmDecor, EffectParticlesAreOwedAcrossFrames) {
    auto* sparks = Add<CFarmDecorObject>("sparks", 300, 200);
    // 0.4 a frame, read as 102/256: whole particles leave as the debt reaches them.
    for (int frame = 0; frame < 12; ++frame) {
        sparks->RunProcess();
        EXPECT_EQ(sparks->m_pEffect->GetNumActiveParticels(), (frame + 1) * 102 / 256) << "frame " << frame;
    }
    // Point emitters: each point a segment of one pixel ending on it, around the centre (20, 15).
    const CQuorvanParticleSystemShape2* shape = sparks->m_pEffectEmitShape;
    ASSERT_EQ(shape->GetNumSegments(), 2);
    EXPECT_EQ(shape->GetSegmentStart(0).y - shape->GetSegmentEnd(0).y, 65536);
    EXPECT_EQ(shape->GetSegmentEnd(1).x, 10 * 65536);
    EXPECT_EQ(shape->GetSegmentEnd(1).y, 10 * 65536);
}

TEST_F(FarmDecor, AFullObjectIsAvailableOnlyWithABird) {
    auto* feeder = Add<CFarmDecorObject>("feeder", 320, 160);  // four spot points
    CChicken* birds[4];
    for (int i = 0; i < 4; ++i) birds[i] = Bird("bird1", 100 + 40 * i, 60);
    EXPECT_TRUE(feeder->IsAvailailableSpotToVisit(false));
    for (int i = 0; i < 3; ++i) {
        birds[i]->ChangeStateToVisitSpot(feeder);
        EXPECT_EQ(birds[i]->m_nState, kChickenVisit) << i;
        EXPECT_EQ(birds[i]->m_pDestination, feeder) << i;
    }
    // Only spots 0 to 2 have occupant slots: the fourth point seats nobody.
    EXPECT_EQ(feeder->FindFreeSpot(), -1);
    std::vector<CChicken*> seated(std::begin(feeder->m_pOccupants), std::end(feeder->m_pOccupants));
    std::sort(seated.begin(), seated.end());
    std::vector<CChicken*> three(birds, birds + 3);
    std::sort(three.begin(), three.end());
    EXPECT_EQ(seated, three);
    birds[3]->ChangeStateToVisitSpot(feeder);
    EXPECT_EQ(birds[3]->m_nState, kChickenIdle) << "no spot: it idles";
    EXPECT_EQ(birds[3]->m_pDestination, nullptr);
    EXPECT_TRUE(feeder->IsAvailailableSpotToVisit(true)) << "with a bird given, occupied spots do not count";
    EXPECT_FALSE(feeder->IsAvailailableSpotToVisit(false));
}

TEST_F(FarmDecor, MovingOrRemovingAnObjectSendsItsVisitorsIdle) {
    for (int step = 0; step < 3; ++step) {
        auto* trough = Add<CFarmDecorObject>("trough", 320, 160);
        CChicken* a = Bird("bird1", 100, 60);
        CChicken* b = Bird("bird2", 500, 60);
        a->ChangeStateToVisitSpot(trough);
        b->ChangeStateToVisitSpot(trough);
        ASSERT_NE(trough->m_pOccupants[0], nullptr);
        ASSERT_NE(trough->m_pOccupants[1], nullptr);
        if (step == 0) trough->OnBeginDragging();
        if (step == 1) trough->OnEndDragging();
        if (step == 2) trough->OnAboutToRemove();
        for (CChicken* bird : {a, b}) {
            EXPECT_EQ(bird->m_nState, kChickenIdle) << "step " << step;
            EXPECT_EQ(bird->m_pDestination, nullptr) << "step " << step;
        }
        for (CChicken* occupant : trough->m_pOccupants) EXPECT_EQ(occupant, nullptr) << "step " << step;
        EXPECT_EQ(trough->m_bDragging, step == 0);
        farm->m_Objects.RemoveAll();
    }
}

TEST_F(FarmDecor, ReleaseSpotEvictsTheOccupantFarthestFromItsSpot) {
    auto* feeder = Add<CFarmDecorObject>("feeder", 320, 160);
    CChicken* birds[3];
    for (CChicken*& bird : birds) bird = Bird("bird1", 300, 150);
    struct TCase {
        double dx[3];  // how far each bird stands right of its spot, world pixels
        int evicted;
        const char* why;
    } cases[] = {
        // 256 pixels squared in 24.8 is 2^32: in 32 bits it would count as no distance at all.
        {{-256, 5, 0}, 0, "a bird 256 pixels from its spot"},
        {{3, 200, 0}, 1, "the farthest in the middle slot"},
        {{10, -10, 0}, 0, "equal distances: the lower index"},
        {{0, 0, 0}, 0, "all on their spots: the lower index"},
    };
    for (const TCase& c : cases) {
        for (int i = 0; i < 3; ++i) {
            const TVector2D spot = feeder->GetSpotPoint(i);
            birds[i]->m_Position = TVector2D{spot.x + static_cast<int>(c.dx[i] * 256), spot.y};
            feeder->m_pOccupants[i] = birds[i];
            birds[i]->m_pDestination = feeder;
        }
        EXPECT_EQ(feeder->ReleaseSpotForChicken(), birds[c.evicted]) << c.why;
        EXPECT_EQ(feeder->m_pOccupants[c.evicted], nullptr) << c.why;
        EXPECT_EQ(birds[c.evicted]->m_pDestination, nullptr) << c.why;
        EXPECT_EQ(feeder->ReleaseSpotForChicken(), nullptr) << "a free spot: nobody is evicted";
    }
}

// ---- Looks ---------------------------------------------------------------------------------------------

TEST_F(FarmDecor, ABalloonSwaysWithinTwoAndAHalfDegreesAndSquashesWithinFourPercent) {
    auto* balloon = Add<CFarmDecorObject>("balloon", 320, 200);
    const FIXED_FLOAT_16 ss = 50000;
    double lowAngle = 99, highAngle = -99, lowF = 99, highF = -99;
    for (int frame = 0; frame < 400; ++frame) {
        balloon->RunProcess();
        const TDecorTransform t = balloon->CalculateDrawTransformations(ss, farmyard::kTallW, farmyard::kTallH);
        const double angle = t.angle / 65536.0, f = static_cast<double>(t.scaleY) / ss;
        lowAngle = std::min(lowAngle, angle);
        highAngle = std::max(highAngle, angle);
        lowF = std::min(lowF, f);
        highF = std::max(highF, f);
        EXPECT_NEAR(t.scaleX, (2.0 - f) * ss, 2) << "the width gives what the height takes";
        EXPECT_EQ(t.pivotY, 33 << 16) << "about its knot";
        EXPECT_EQ(t.offsetY, -(farmyard::kTallH - 33) * ss) << "the knot stays where it was";
    }
    EXPECT_GE(lowAngle, -2.5);
    EXPECT_LE(highAngle, 2.5);
    EXPECT_LT(lowAngle, -2.45) << "the sway reaches its ends";
    EXPECT_GT(highAngle, 2.45);
    EXPECT_GE(lowF, 0.9599);
    EXPECT_LE(highF, 1.0401);
    EXPECT_LT(lowF, 0.962);
    EXPECT_GT(highF, 1.038);
}

TEST_F(FarmDecor, WindAndJumperLooks) {
    auto* bush = Add<CFarmDecorObject>("bush", 100, 100);
    auto* hay = Add<CFarmDecorObject>("hay", 300, 100);
    const FIXED_FLOAT_16 ss = 60000;
    const TDecorTransform still = hay->CalculateDrawTransformations(ss, farmyard::kBoxW, farmyard::kBoxH);
    for (int frame = 0; frame < 120; ++frame) {
        bush->RunProcess();
        hay->RunProcess();
        const TDecorTransform t = bush->CalculateDrawTransformations(ss, farmyard::kBoxW, farmyard::kBoxH);
        EXPECT_EQ(t.scaleX, ss);
        EXPECT_EQ(t.scaleY, ss);
        EXPECT_EQ(t.pivotX, farmyard::kBoxW << 15);
        EXPECT_EQ(t.pivotY, farmyard::kBoxH << 16) << "a plant sways about its foot";
        EXPECT_LE(std::abs(t.angle), 2.5 * 65536);
        const TDecorTransform j = hay->CalculateDrawTransformations(ss, farmyard::kBoxW, farmyard::kBoxH);
        EXPECT_EQ(j.angle, 0) << "a jumper does not sway";
        EXPECT_EQ(j.scaleY, still.scaleY) << "and keeps its squash";
        EXPECT_EQ(j.offsetY, 0);
    }
}

TEST_F(FarmDecor, AnAnimationWrapsAtItsFrameCount) {
    auto* windmill = Add<CFarmDecorObject>("windmill", 320, 160);  // 7 frames, 8.25 / 33 = 0.25 a frame
    ASSERT_TRUE(windmill->m_bAnimated);
    for (int frame = 0; frame < 12; ++frame) windmill->RunProcess();
    EXPECT_NEAR(windmill->m_fAnimationFrame, 3.0, 1e-4);
    CSpriteSet* sheet = game.m_pSpriteSetManager->GetSpriteSetNamed("t_windmill");
    EXPECT_EQ(windmill->GetCurrentImage(), sheet->GetFrame(3));
    windmill->m_fAnimationFrame = 6.95f;
    windmill->RunProcess();
    EXPECT_NEAR(windmill->m_fAnimationFrame, 0.2, 1e-4) << "7.2 of 7 frames is 0.2";
    EXPECT_EQ(windmill->GetCurrentImage(), sheet->GetFrame(0));
}

// The doghouse's lids written out from the rules, drawing from the C generator as the game does:
// each phase flips when its timer runs out; an awake dog opens for 132 to 197 frames and blinks
// for 8, and one time in five the dog falls asleep or wakes; a dozing dog peeks for 33 frames.
struct TDogModel {
    int dozing = 0, timer = 0, last = 3;
    bool phase = false;
    double lid = 0;
    void Step() {
        if (--timer < 1) {
            phase = !phase;
            if (!phase) {
                if (std::rand() % 5 == 0) dozing = 1 - dozing;
                timer = 132 + std::rand() % 66;
            } else {
                timer = dozing ? 33 : 8;
            }
        }
        const bool closing = dozing ? !phase : phase;
        lid = closing ? std::min(lid + 0.4, 3.0) : std::max(lid - 0.4, 0.0);
    }
};

TEST_F(FarmDecor, TheDogBlinksAndDozesByItsTimers) {
    constexpr int kFrames = 4000;
    for (unsigned seed : {3u, 77u, 2024u}) {
        game.SeedRandoms(seed);
        auto* dog = Add<CDoghouse>("doghouse", 320, 160);
        std::vector<int> dozing;
        std::vector<double> lid;
        for (int frame = 0; frame < kFrames; ++frame) {
            dog->RunProcess();
            dozing.push_back(dog->m_nDozing);
            lid.push_back(dog->m_dLid);
        }
        // The model draws from the same generator afterwards, from the same seed.
        std::srand(seed);
        (void)std::rand();  // the sway's start
        (void)std::rand();  // the bounce's start
        TDogModel model;
        bool dozed = false, awoke = false;
        for (int frame = 0; frame < kFrames; ++frame) {
            model.Step();
            ASSERT_EQ(dozing[frame], model.dozing) << "seed " << seed << " frame " << frame;
            ASSERT_NEAR(lid[frame], model.lid, 1e-9) << "seed " << seed << " frame " << frame;
            dozed = dozed || model.dozing == 1;
            awoke = awoke || (dozed && model.dozing == 0);
        }
        EXPECT_TRUE(dozed && awoke) << "seed " << seed << ": both moods came up";
        farm->m_Objects.RemoveAll();
    }
}

TEST_F(FarmDecor, TheLidsAreDrawnAtTheDogsFace) {
    auto* dog = Add<CDoghouse>("doghouse2", 320, 160);
    CSpriteSet* left = game.m_pSpriteSetManager->GetSpriteSetNamed("dog2_lefteye_close");
    CSpriteSet* right = game.m_pSpriteSetManager->GetSpriteSetNamed("dog2_righteye_close");
    struct TCase {
        double lid;
        int dozing;
        int rotated;
        int leftFrame, rightFrame;  // 0: not drawn
    } cases[] = {
        {0.0, 0, 0, 0, 0}, {1.6, 0, 0, 1, 1}, {2.8, 0, 1, 2, 2}, {0.4, 1, 0, 0, 3}, {3.0, 1, 1, 3, 3},
    };
    const double ss = CameraScale(160);
    for (const TCase& c : cases) {
        dog->m_dLid = c.lid;
        dog->m_nDozing = c.dozing;
        dog->m_nRotated = c.rotated;
        recorder.draws.clear();
        dog->Draw(kDrawBody);
        // The kennel, then each lid that is not open.
        std::vector<TRotatedDraw> lids(recorder.draws.begin() + 1, recorder.draws.end());
        std::vector<IDibBitmap*> expected;
        if (c.leftFrame > 0) expected.push_back(left->GetFrame(c.leftFrame));
        if (c.rightFrame > 0) expected.push_back(right->GetFrame(c.rightFrame));
        ASSERT_EQ(lids.size(), expected.size()) << c.lid;
        for (size_t i = 0; i < lids.size(); ++i) {
            EXPECT_EQ(lids[i].src, expected[i]);
            EXPECT_EQ(lids[i].flags, c.rotated);
            // The face is 44 pixels left of and 50.5 above the anchor (right when mirrored).
            const double face = c.rotated ? 44.0 : -44.0;
            EXPECT_NEAR(lids[i].x, (ScreenX(320, 160, kW) + face * ss) * 256, 3);
            EXPECT_NEAR(lids[i].y, (ScreenY(160, kH) - 50.5 * ss) * 256, 3);
        }
    }
}

TEST_F(FarmDecor, TheFlareBlinksOnTheStandWhoseFlashRuns) {
    auto* first = Add<CComicForeground>("photostand01", 200, 200);
    auto* second = Add<CComicForeground>("photostand02", 400, 200);
    CSpriteSet* flare = game.m_pSpriteSetManager->GetSpriteSetNamed("PhotoFlare");
    const double ss = CameraScale(200);
    yard.m_pPhotoStand = first;
    for (int counter = 0; counter <= 30; ++counter) {
        yard.m_nFlashCounter = counter;
        for (CComicForeground* stand : {first, second}) {
            recorder.draws.clear();
            stand->Draw(kDrawBody);
            const bool blinks = stand == first && counter >= 1 && counter <= 26 && (counter & 4) != 0;
            ASSERT_EQ(recorder.draws.size(), blinks ? 2u : 1u) << "counter " << counter;
            if (!blinks) continue;
            const TRotatedDraw& d = recorder.draws[1];
            EXPECT_EQ(d.src, flare->GetFrame(0));
            EXPECT_EQ(d.kind, TRotatedDraw::kAdditive);
            EXPECT_NEAR(d.scale, ss / 2 * 65536, 2);
            EXPECT_NEAR(d.x, (ScreenX(200, 200, kW) - 20 * ss) * 256, 3);
            EXPECT_NEAR(d.y, (ScreenY(200, kH) - 60 * ss) * 256, 3);
        }
    }
    // Dragging the other stand leaves the flash; dragging its own stand ends it.
    yard.m_nFlashCounter = 40;
    second->OnBeginDragging();
    EXPECT_EQ(yard.m_nFlashCounter, 40);
    first->OnBeginDragging();
    EXPECT_EQ(yard.m_nFlashCounter, 0);
    EXPECT_EQ(yard.m_pPhotoStand, nullptr);
}

TEST_F(FarmDecor, APosingBirdStandsBehindTheBoardWithItsFaceInTheHole) {
    auto* stand = Add<CComicForeground>("photostand01", 250, 200);
    CChicken* bird = Bird("bird1", 100, 100);
    const TVector2D spot = stand->GetSpotPointForChicken(bird);
    const double ss = CameraScale(200);
    double wx, wy;
    // The face hole (-6, -40) less the bird's face (0, -31), scaled by the board's depth.
    WorldOf(ScreenX(250, 200, kW) + ss * -6, ScreenY(200, kH) + ss * (-40 + 31), kW, kH, wx, wy);
    EXPECT_NEAR(spot.x, wx * 256, 3);
    EXPECT_LE(spot.y, 180 * 256) << "at least 20 behind the board";
    // A board at the far edge keeps the bird on the yard.
    stand->m_Position.y = 5 * 256;
    EXPECT_EQ(stand->GetSpotPointForChicken(bird).y, 0);
}

}  // namespace
