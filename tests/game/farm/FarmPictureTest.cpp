// The yard's objects on the real pak, drawn headless through OpenGL ES as the yard screen will
// draw them: the yard's sky and background, the ground objects, the shadows, then every object
// far to near, a selected decor's corners on top. One picture per yard, with every kind of
// object that yard sells and three birds in several views, each placed with the camera. The
// pictures are written below the build's screens/farm-objects folder to be looked at; the test
// checks that each object shows where the camera puts it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "game/farm/Chicken.h"
#include "game/farm/FarmDecorObject.h"
#include "game/farm/FarmManager.h"
#include "game/farm/YardCamera.h"
#include "game/progress/UserProfile.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemManager.h"
#include "render/DrawingHelpers.h"
#include "render/GlesRotatorPath.h"
#include "render/ImageRotatorScaler.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "testsupport/FakeFarmYard.h"
#include "testsupport/ImageFixtures.h"
#include "testsupport/MediaTestGame.h"
#include "testsupport/TestTheGame.h"

namespace {

#ifdef COBBLE_PAK
constexpr const char* kPak = COBBLE_PAK;
constexpr const char* kScreens = COBBLE_SCREENS_DIR;
#else
constexpr const char* kPak = nullptr;
constexpr const char* kScreens = nullptr;
#endif

constexpr int kW = 320, kH = 480;

struct TPlaced {
    const char* id;
    double x, y;  // world pixels
    int heading;  // creatures: degrees
    int state;    // creatures
};

struct TYardScene {
    const char* yard;
    std::vector<TPlaced> objects;
};

// Each yard's things, spread over its ground; birds idle facing the viewer, walk left and walk
// towards the viewer's right.
const TYardScene kScenes[] = {
    {"yard1",
     {{"apple_tree", 450, 40, 0, 0},
      {"sunflower", 150, 70, 0, 0},
      {"picket_fence", 300, 25, 0, 0},
      {"signpost", 520, 140, 0, 0},
      {"round_bush", 120, 150, 0, 0},
      {"grain_feeder", 300, 150, 0, 0},
      {"water_trough", 440, 220, 0, 0},
      {"hay_bale", 180, 245, 0, 0},
      {"balloon_red", 450, 290, 0, 0},
      {"new_basket2", 360, 310, 0, 0},
      {"daisy_patch", 250, 322, 0, 0},
      {"wooden_frog", 185, 300, 0, 0},
      {"bird1", 330, 190, 90, kChickenIdle},
      {"bird2", 230, 215, 180, kChickenWalk},
      {"bird3", 390, 255, 45, kChickenWalk}}},
    {"yard2",
     {{"pear_tree", 150, 30, 0, 0},
      {"photostand01", 420, 60, 0, 0},
      {"hedge", 280, 40, 0, 0},
      {"windmill_toy", 510, 150, 0, 0},
      {"birdhouse", 110, 150, 0, 0},
      {"heat_lamp", 220, 140, 0, 0},
      {"radio", 350, 195, 0, 0},
      {"corn_feeder", 450, 245, 0, 0},
      {"tulip_bed", 190, 290, 0, 0},
      {"pumpkin_patch", 300, 322, 0, 0},
      {"wooden_kittens", 430, 310, 0, 0},
      {"robot", 250, 240, 135, kChickenWalk},
      {"bird4", 390, 150, 90, kChickenIdle},
      {"bird5", 160, 220, 270, kChickenWalk},
      {"bird6", 400, 280, 0, kChickenWalk}}},
    {"yard3",
     {{"willow_tree", 130, 40, 0, 0},
      {"reeds", 260, 60, 0, 0},
      {"doghouse", 460, 70, 0, 0},
      {"drinking_fountain", 330, 140, 0, 0},
      {"swing", 500, 170, 0, 0},
      {"water_lilies", 180, 160, 0, 0},
      {"trampoline", 250, 250, 0, 0},
      {"rose_bush", 190, 300, 0, 0},
      {"garden_gnome", 400, 315, 0, 0},
      {"balloon_blue", 460, 290, 0, 0},
      {"wooden_dogs", 300, 322, 0, 0},
      {"lawn_mower", 420, 200, 160, kChickenWalk},
      {"bird7", 180, 210, 90, kChickenIdle},
      {"bird8", 340, 240, 225, kChickenWalk},
      {"bird9", 220, 285, 20, kChickenWalk}}},
    {"yard4",
     {{"cherry_tree", 460, 30, 0, 0},
      {"corn_stalks", 140, 50, 0, 0},
      {"photostand02", 300, 50, 0, 0},
      {"doghouse2", 170, 170, 0, 0},
      {"lantern_post", 520, 150, 0, 0},
      {"campfire", 380, 190, 0, 0},
      {"gramophone", 250, 240, 0, 0},
      {"big_feeder", 440, 270, 0, 0},
      {"lavender", 185, 300, 0, 0},
      {"mushroom_ring", 300, 318, 0, 0},
      {"weathervane", 470, 230, 0, 0},
      {"balloon_bunch", 420, 318, 0, 0},
      {"bird10", 320, 230, 90, kChickenIdle},
      {"bird11", 390, 275, 135, kChickenWalk},
      {"bird12", 230, 270, 315, kChickenWalk}}},
};

class FarmPicture : public ::testing::Test {
protected:
    void SetUp() override {
        if (kPak == nullptr) GTEST_SKIP() << "this build makes no resource pak";
        gl = std::make_unique<mediatest::CHeadlessGl>(kW, kH);
        if (!gl->IsValid()) GTEST_SKIP() << "no headless EGL context";
        game.m_RenderSwitches.m_bDoubleResolution = true;
        game.m_RenderSwitches.m_bReleasePixelsAfterUpload = true;
        game.m_Screen.m_nOrientationMode = 0;
        game.m_Screen.m_nOrientationAngle = 0;
        TPakSet& paks = game.Paks();
        paks.m_pCommonPak = new CBBZipFileReader(&game);
        ASSERT_EQ(paks.m_pCommonPak->Init(kPak), ZipResult::Ok);
        mediatest::MakeGlScreenOn(game, kW, kH);
        game.m_pRotatorScaler = new CQuorvanImageRotatorScaler(&game, 36000);
        ASSERT_EQ(game.m_pRotatorScaler->Initialize(), 1);
        path = std::make_unique<CGlesRotatorPath>(&game, game.m_pRotatorScaler);
        game.m_pRotatorScaler->SetHardwarePath(path.get());
        ASSERT_TRUE(game.DefineSpriteSets_UI());
        ASSERT_TRUE(game.DefineSpriteSets_TheRest());
        // The group loader leaves the farm group loaded before a yard opens.
        for (int i = 0; i < game.m_pSpriteSetManager->GetNumSpriteSets(); ++i) {
            CSpriteSet* set = game.m_pSpriteSetManager->GetSpriteSetAt(i);
            if (set->m_GroupName.IsEqual("farm")) {
                ASSERT_EQ(set->AddReference(), 1) << set->m_Name.GetDataConst();
            }
        }
        ASSERT_TRUE(game.DefineParticleSystems());
        for (int i = 0; i < game.m_pParticleManager->GetNumParticleSystems(); ++i)
            ASSERT_EQ(game.m_pParticleManager->GetParticleSystemAt(i)->InitFromFile(), 1);
        game.m_pFarmManager = new CFarmManager(&game);
        ASSERT_TRUE(game.m_pFarmManager->PostConstruct());
        ASSERT_TRUE(game.CreateApplicationData());
        ASSERT_GE(game.CreateNewUserProfile(), 0);
        yard.m_pCorners = game.m_pSpriteSetManager->GetSpriteSetNamed("FarmDecorSelection");
        game.m_pFarmManager->SetYard(&yard);
        game.SeedRandoms(7);
    }

    // The sky, the yard's background at 0.9375 on the screen's bottom edge.
    void DrawYardGround(const YardDef& def) {
        IDibBitmap* back = game.m_Screen.m_pBackBuffer;
        FillRectangleGradientV(&game, back, 0, 0, kW, kH - 356, def.skyTop[0], def.skyTop[1], def.skyTop[2],
                               def.skyBottom[0], def.skyBottom[1], def.skyBottom[2]);
        CFarmObject* bg = game.m_pFarmManager->GetFarmObject("yard_bg");
        IDibBitmap* image = bg != nullptr && bg->m_SpriteSets.count > 0 ? bg->m_SpriteSets[0]->GetFrame(0) : nullptr;
        ASSERT_NE(image, nullptr);
        const double w = image->m_Width * 0.9375, h = image->m_Height * 0.9375;
        game.m_pRotatorScaler->DrawRotatedBitmapWithSourceOriginWithBlendMode(
            image, back, static_cast<int>((kW - w) / 2 * 256), static_cast<int>((kH - h) * 256), 0, 0, 0, 61440, 0, 0,
            255, 255, 255, 0);
    }

    // The objects as the yard screen orders them.
    void DrawObjects(CFarmObject* selected) {
        auto& objects = game.m_pFarmManager->m_Objects;
        for (int i = 0; i < objects.count; ++i)
            if ((objects[i]->m_uFlags & kFarmFlagGround) != 0) {
                objects[i]->Draw(kDrawBody);
            }
        std::vector<CFarmObject*> standing;
        for (int i = 0; i < objects.count; ++i)
            if ((objects[i]->m_uFlags & (kFarmFlagGround | kFarmFlagDefault)) == 0) standing.push_back(objects[i]);
        for (CFarmObject* o : standing) o->Draw(kDrawShadow);
        std::stable_sort(standing.begin(), standing.end(),
                         [](const CFarmObject* a, const CFarmObject* b) { return a->m_Position.y < b->m_Position.y; });
        for (CFarmObject* o : standing) o->Draw(kDrawBody);
        if (selected != nullptr) selected->Draw(kDrawSelection);
        game.m_pParticleManager->DrawTheRest(game.m_Screen.m_pBackBuffer);
    }

    CTestTheGame game;
    CFakeFarmYard yard;
    std::unique_ptr<mediatest::CHeadlessGl> gl;
    std::unique_ptr<CGlesRotatorPath> path;
};

// How many pixels of the rectangle (screen pixels) differ between two frames.
int ChangedPixels(const mediatest::TImage& a, const mediatest::TImage& b, const TRect2D& r) {
    int changed = 0;
    for (int y = std::max(0, r.y >> 8); y < std::min(kH, (r.y + r.height) >> 8); ++y)
        for (int x = std::max(0, r.x >> 8); x < std::min(kW, (r.x + r.width) >> 8); ++x) {
            const auto p = a.At(x, y), q = b.At(x, y);
            if (std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2]) > 40) ++changed;
        }
    return changed;
}

TEST_F(FarmPicture, EveryObjectOfEachYardStandsWhereTheCameraPutsIt) {
    std::filesystem::create_directories(std::string(kScreens) + "/farm-objects");
    for (const TYardScene& scene : kScenes) {
        CFarmManager* farm = game.m_pFarmManager;
        farm->m_Objects.RemoveAll();
        game.GetCurrentProfile()->m_CurrentYard = CommonString(scene.yard);
        YardDef* def = farm->GetYardDef(CommonString(scene.yard));
        ASSERT_NE(def, nullptr);
        ASSERT_TRUE(farm->m_Objects.Add(farm->CreateFarmObject("yard_bg")));
        std::vector<CFarmObject*> placed;
        CFarmObject* selected = nullptr;
        for (const TPlaced& p : scene.objects) {
            CFarmObject* object = farm->CreateFarmObject(p.id);
            ASSERT_NE(object, nullptr) << scene.yard << " " << p.id;
            object->m_Position = TVector2D{static_cast<int>(p.x * 256), static_cast<int>(p.y * 256)};
            ASSERT_TRUE(farm->m_Objects.Add(object));
            placed.push_back(object);
            if (object->IsCreature()) {
                auto* creature = static_cast<CChicken*>(object);
                creature->m_Direction = HeadingOfAngle(p.heading);
                creature->AdjustSpriteSetFromDir();
                creature->m_nState = p.state;
                creature->m_nPendingTurns = 0;
                creature->m_nTimer = 100000;
                creature->m_Speed = 0;  // kept in place for the picture, legs still stepping
            } else if (selected == nullptr && (object->m_uFlags & kFarmFlagGround) == 0) {
                selected = object;
            }
        }
        // Some frames: the wind, the effects, the walk cycles and the dog's lids move.
        for (int frame = 0; frame < 45; ++frame) {
            game.m_pParticleManager->ResetRunProcessMarks();
            for (int i = 0; i < farm->m_Objects.count; ++i) farm->m_Objects[i]->RunProcess();
            game.m_pParticleManager->RunProcessTheRest();
        }
        game.m_pParticleManager->ResetDrawMarks();
        gl->BeginScene(0, 0, 0);
        DrawYardGround(*def);
        const mediatest::TImage ground = gl->Read();
        game.m_pParticleManager->ResetDrawMarks();
        gl->BeginScene(0, 0, 0);
        DrawYardGround(*def);
        DrawObjects(selected);
        const mediatest::TImage picture = gl->Read();
        const std::string file = std::string(kScreens) + "/farm-objects/" + scene.yard + ".png";
        WriteFile(file, MakePng(picture.width, picture.height, picture.rgba, 2 /* RGB */));
        for (CFarmObject* object : placed) {
            const TRect2D r = object->GetObjectRect();
            // A creature's rectangle has a margin round it for the finger.
            const int area = (r.width >> 8) * (r.height >> 8) / (object->IsCreature() ? 16 : 8);
            EXPECT_GT(ChangedPixels(ground, picture, r), area)
                << scene.yard << " " << object->m_Id.GetDataConst() << ": nothing drawn in its rectangle";
        }
        // High in the sky, above the tallest tree at the back, the picture stays as it was.
        const TRect2D sky{0, 0, kW * 256, 60 * 256};
        EXPECT_EQ(ChangedPixels(ground, picture, sky), 0) << scene.yard;
    }
}

}  // namespace
