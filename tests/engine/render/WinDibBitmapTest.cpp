// Storage, sizes, orientation and life cycle of the software bitmap, and the game's bitmap list.
#include "render/WinDibBitmap.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "SoftBitmapFixtures.h"

using namespace soft_test;

TEST(WinDibBitmapStorage, CreateAllocatesOpaqueAlphaAndReportsSizes) {
    CWinDibBitmap b(nullptr);
    ASSERT_EQ(b.Create(7, 3), 1);
    EXPECT_EQ(b.m_Width, 7);
    EXPECT_EQ(b.m_Height, 3);
    EXPECT_EQ(b.m_BufferWidth, 7);
    EXPECT_EQ(b.m_BufferHeight, 3);
    ASSERT_NE(b.GetBits(), nullptr);
    ASSERT_NE(b.GetAlphaBits(), nullptr);
    for (int i = 0; i < 21; ++i) {
        EXPECT_EQ(b.GetAlphaBits()[i], 255) << i;
    }
    EXPECT_EQ(b.GetBitsPerPixel(), 16);
    EXPECT_EQ(b.GetPixelFormat(), kPixelFormat565);
}

TEST(WinDibBitmapStorage, CreateOfAnEmptySizeFailsWithoutPlanes) {
    CWinDibBitmap b(nullptr);
    EXPECT_EQ(b.Create(0, 5), 0);
    EXPECT_EQ(b.GetBits(), nullptr);
    EXPECT_EQ(b.GetAlphaBits(), nullptr);
}

struct TOrientationCase {
    int mode;
    int storedW, storedH;
    const char* why;
};

class WinDibBitmapOrientation : public ::testing::TestWithParam<TOrientationCase> {};

TEST_P(WinDibBitmapOrientation, SetBitsOf30x20ReportsSeenSizeAndStoresTurned) {
    const TOrientationCase c = GetParam();
    CWinDibBitmap b(nullptr);
    b.SetOrientaionMode(c.mode);
    b.SetBits(static_cast<unsigned char*>(std::calloc(600, 2)), 30, 20);
    b.SetAlphaBits(static_cast<unsigned char*>(std::calloc(600, 1)), 30, 20);
    EXPECT_EQ(b.m_Width, 30) << c.why;
    EXPECT_EQ(b.m_Height, 20) << c.why;
    EXPECT_EQ(b.GetStoredWidth(), c.storedW) << c.why;
    EXPECT_EQ(b.GetStoredHeight(), c.storedH) << c.why;
    EXPECT_EQ(b.m_BufferWidth, c.storedW) << c.why;
    EXPECT_EQ(b.m_BufferHeight, c.storedH) << c.why;
}

INSTANTIATE_TEST_SUITE_P(Modes, WinDibBitmapOrientation,
                         ::testing::Values(TOrientationCase{0, 30, 20, "stored as seen"},
                                           TOrientationCase{1, 20, 30, "turned one way"},
                                           TOrientationCase{2, 20, 30, "turned the other way"}));

TEST(WinDibBitmapStorage, DoubleResolutionImageIsHalvedOnlyInDoubleResolutionMode) {
    CSoftTestGame game;
    game.m_RenderSwitches.m_bDoubleResolution = true;
    CWinDibBitmap b(&game);
    b.Set2xImage(true);
    ASSERT_EQ(b.Create(64, 64), 1);
    EXPECT_EQ(b.m_Width, 32);
    EXPECT_EQ(b.m_Height, 32);
    EXPECT_EQ(b.m_BufferWidth, 32);
    EXPECT_EQ(b.m_BufferHeight, 32);

    game.m_RenderSwitches.m_bDoubleResolution = false;
    b.UpdateWidthAndHeight();
    EXPECT_EQ(b.m_Width, 64);

    game.m_RenderSwitches.m_bDoubleResolution = true;
    b.Set2xImage(false);
    b.UpdateWidthAndHeight();
    EXPECT_EQ(b.m_Width, 64);
}

TEST(WinDibBitmapStorage, ConstructionTakesTheGamesOrientationMode) {
    CSoftTestGame game;
    game.m_Screen.m_nOrientationMode = 2;
    CWinDibBitmap b(&game);
    EXPECT_EQ(b.GetOrientationMode(), 2);
}

TEST(WinDibBitmapStorage, ExternalAlphaIsNeverFreedAndDestroyAlphaClearsTheFlag) {
    static unsigned char external[4] = {1, 2, 3, 4};
    CWinDibBitmap b(nullptr);
    ASSERT_EQ(b.Create(2, 2), 1);
    b.SetExternalAlpha(external);
    EXPECT_TRUE(b.IsAlphaExternal());
    EXPECT_EQ(b.GetAlphaBits(), external);
    b.DestroyAlpha();  // would crash or corrupt the heap under ASan if it freed the array
    EXPECT_FALSE(b.IsAlphaExternal());
    EXPECT_EQ(b.GetAlphaBits(), nullptr);
    EXPECT_EQ(external[3], 4);
}

TEST(WinDibBitmapStorage, ExternalPixelsKeepTheirPointerAndAreNotTurned) {
    static std::uint16_t pixels[6] = {};
    CWinDibBitmap b(nullptr);
    b.SetOrientaionMode(1);
    EXPECT_EQ(b.SetExternalBits(reinterpret_cast<unsigned char*>(pixels), 3, 2), 1);
    EXPECT_EQ(b.GetStoredWidth(), 3);
    EXPECT_EQ(b.GetStoredHeight(), 2);
    b.Destroy();
    EXPECT_EQ(b.GetBits(), reinterpret_cast<unsigned char*>(pixels));
}

TEST(WinDibBitmapStorage, SetBitsPerPixelPicksBytesButKeepsTheFormat) {
    CWinDibBitmap b(nullptr);
    b.SetBitsPerPixel(24);
    EXPECT_EQ(b.GetBytesPerPixel(), 3);
    EXPECT_EQ(b.GetPixelFormat(), kPixelFormat565);
    b.SetBitsPerPixel(12);
    EXPECT_EQ(b.GetBytesPerPixel(), 2);
    EXPECT_EQ(b.GetBitsPerPixel(), 12);
}

TEST(WinDibBitmapStorage, ReleasedPlanesAreNotDrawnFrom) {
    // After a texture upload the GL bitmap leaves one-pixel placeholders; reading them as the
    // stored size would run far past the allocation.
    auto src = MakeBitmap(
        8, 8, [](int, int) { return Rgb(31, 0, 0); }, [](int, int) { return 255; });
    auto dst = MakeCanvas(8, 8, Rgb(0, 0, 31));
    src->SetPlanesValid(false, false);
    src->BitBlt(dst.get(), 0, 0, 0, 0, 0, 0, 0);
    src->DrawOpaque(dst.get(), 0, 0, 0, 0, 0);
    src->FillAlphaNoStretch(dst.get(), 255, 255, 255, 0, 0, 0, 0, 0, 0);
    src->CopyBitmap(dst.get(), 0, 0, 0, 0);
    EXPECT_EQ(PixelAt(dst.get(), 3, 3), Rgb(0, 0, 31));

    // As a destination too.
    src->SetPlanesValid(true, true);
    dst->SetPlanesValid(false, true);
    src->BitBlt(dst.get(), 0, 0, 0, 0, 0, 0, 0);
    dst->SetPlanesValid(true, true);
    EXPECT_EQ(PixelAt(dst.get(), 3, 3), Rgb(0, 0, 31));
}

TEST(GameBaseBitmaps, TrackedBitmapsJoinTheListAndLeaveItWhenDeleted) {
    CSoftTestGame game;
    game.m_Screen.m_bTrackBitmaps = true;
    IDibBitmap* a = game.CreateBitmapObject();
    IDibBitmap* b = game.CreateBitmapObject();
    IDibBitmap* c = game.CreateBitmapObject();
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(game.m_Screen.m_CreatedBitmaps.count, 3);
    EXPECT_EQ(game.m_Screen.m_CreatedBitmaps.data[1], b);
    delete b;
    ASSERT_EQ(game.m_Screen.m_CreatedBitmaps.count, 2);
    EXPECT_EQ(game.m_Screen.m_CreatedBitmaps.data[0], a);
    EXPECT_EQ(game.m_Screen.m_CreatedBitmaps.data[1], c);
    delete a;
    delete c;
    EXPECT_EQ(game.m_Screen.m_CreatedBitmaps.count, 0);
}

TEST(GameBaseBitmaps, UntrackedGameMakesSoftwareBitmapsWithoutAList) {
    CSoftTestGame game;
    IDibBitmap* a = game.CreateBitmapObject();
    ASSERT_NE(dynamic_cast<CWinDibBitmap*>(a), nullptr);
    EXPECT_EQ(game.m_Screen.m_CreatedBitmaps.count, 0);
    delete a;
}
