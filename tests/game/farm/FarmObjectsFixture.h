// The farm objects' suites: the farm stand-in game object (testsupport/FakeFarmGame.h) with the
// small test yard of testsupport/FarmTestYard.h mounted on a 320 x 480 software screen, a fake
// yard screen, every rotated draw recorded instead of drawn, and every sound recorded by file.
// Objects are made by the farm manager's own factory and put in its object list.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "game/farm/Chicken.h"
#include "game/farm/ComicForeground.h"
#include "game/farm/Doghouse.h"
#include "game/farm/FarmDecorObject.h"
#include "game/farm/FarmManager.h"
#include "game/farm/Lawnmower.h"
#include "game/farm/Robot.h"
#include "particles/RandomTables.h"
#include "render/ImageRotatorScaler.h"
#include "render/WinDibBitmap.h"
#include "testsupport/FakeFarmYard.h"
#include "testsupport/FarmTestYard.h"
#include "testsupport/DrawingTestGame.h"
#include "testsupport/StubSoundSystem.h"
#include "testsupport/ScratchDir.h"
#include "testsupport/FakeFarmGame.h"

namespace farmtest {

using CRecordingSound = CEffectRecordingSoundSystem;

// The camera written out in doubles from its definition: t is 0 at the far edge and 1 at the
// near one, the scale 0.5 + t / 2, the far edge H - 314 pixels down the screen.
inline double CameraT(double depth) { return 1.0 / (1.0 - depth / 658.0) - 1.0; }
inline double CameraScale(double depth) { return 0.5 + 0.5 * CameraT(depth); }
// The screen x keeps the scale to 8 fraction bits: the 16.16 scale, rounded, shifted right by 8.
inline double ScreenX(double x, double depth, int w) {
    const double scale8 = std::floor(std::round(CameraScale(depth) * 65536.0) / 256.0) / 256.0;
    return scale8 * (x - 320.0) + w / 2;
}
inline double ScreenY(double depth, int h) { return h - 314 + 329.0 * CameraT(depth); }
// The world point of a screen point.
inline void WorldOf(double sx, double sy, int w, int h, double& x, double& y) {
    // Points above the far edge's row belong to the far edge.
    if (sy < h - 314) sy = h - 314;
    const double t = (sy - (h - 314)) / 329.0;
    x = (sx - w / 2) / (0.5 + 0.5 * t) + 320.0;
    y = (1.0 - 1.0 / (t + 1.0)) * 658.0;
}

class FarmObjectsTest : public ::testing::Test {
protected:
    static constexpr int kW = 320, kH = 480;

    void SetUp() override {
        sound = new CRecordingSound;
        game.m_pSoundSystem = sound;
        ASSERT_TRUE(farmyard::MountFarmTestYard(game, dir.Path("farm.pak"), kW, kH, &recorder));
        farm = game.m_pFarmManager;
        farm->SetYard(&yard);
        game.SeedRandoms(1);
        FillTable([](int i) { return (i * 7919 + 13) % 32768; });
    }

    // Fills the game random table and puts its index at 0.
    template <class F>
    static void FillTable(F value) {
        for (int i = 0; i < kGameRandomTableSize; ++i) g_GameRandomTable[i] = value(i);
        g_GameRandomTableIndex = 0;
    }

    // An object of the test yard made by the factory at world pixels (x, y), appended to the
    // yard's object list.
    template <class T = CFarmObject>
    T* Add(const char* id, double x, double y) {
        CFarmObject* object = farm->CreateFarmObject(id);
        EXPECT_NE(object, nullptr) << id;
        if (object == nullptr) return nullptr;
        object->m_Position =
            TVector2D{static_cast<FIXED_FLOAT>(std::lround(x * 256)), static_cast<FIXED_FLOAT>(std::lround(y * 256))};
        EXPECT_TRUE(farm->m_Objects.Add(object));
        return static_cast<T*>(object);
    }
    CChicken* Bird(const char* id, double x, double y) { return Add<CChicken>(id, x, y); }

    // A back buffer of another width, so that the screen's sides come nearer or go farther.
    void UseScreenWidth(int w) {
        auto* screen = new CWinDibBitmap(&game);
        ASSERT_EQ(screen->Create(w, kH), 1);
        delete game.m_Screen.m_pBackBuffer;
        game.m_Screen.m_pBackBuffer = game.m_Screen.m_pDrawTarget = screen;
        game.m_nGameWidth = w;
    }

    CScratchDir dir;
    CRecordingRotatorPath recorder;
    CFakeFarmYard yard;
    CFakeFarmGame game;
    CRecordingSound* sound = nullptr;  // owned by the game
    CFarmManager* farm = nullptr;
};

}  // namespace farmtest
