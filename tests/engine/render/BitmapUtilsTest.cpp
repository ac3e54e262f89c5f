// Orientation flips, orientation-aware copies, sized creation and sprite-sheet cutting.
#include "render/BitmapUtils.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "SoftBitmapFixtures.h"

using namespace soft_test;

TEST(FlipBitmapOrientation, TurnsTurnedBitmapsByHalfATurnOnly) {
    auto b = MakeBitmap(4, 3, Pattern, [](int x, int y) { return x + 10 * y; });
    b->SetOrientaionMode(1);
    FlipBitmapOrientation(b.get(), 2);
    EXPECT_EQ(b->GetOrientationMode(), 2);
    // Stored (4 x 3 as given in mode 0, so 4 columns): pixel i is now what was n - 1 - i.
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(PixelAt(b.get(), x, y), Pattern(3 - x, 2 - y));
            EXPECT_EQ(AlphaAt(b.get(), x, y), (3 - x) + 10 * (2 - y));
        }
    }
    FlipBitmapOrientation(b.get(), 2);  // already there
    EXPECT_EQ(PixelAt(b.get(), 0, 0), Pattern(3, 2));

    auto seen = MakeBitmap(4, 3, Pattern);
    FlipBitmapOrientation(seen.get(), 2);  // mode 0 is left alone
    EXPECT_EQ(seen->GetOrientationMode(), 0);
    EXPECT_EQ(PixelAt(seen.get(), 0, 0), Pattern(0, 0));
}

TEST(FlipBitmapOrientation, LeavesExternalAlphaAndPlaceholdersAlone) {
    unsigned char external[6] = {1, 2, 3, 4, 5, 6};
    auto b = MakeBitmap(3, 2, Pattern);
    b->SetExternalAlpha(external);
    b->SetOrientaionMode(2);
    FlipBitmapOrientation(b.get(), 1);
    EXPECT_EQ(external[0], 1);
    EXPECT_EQ(PixelAt(b.get(), 0, 0), Pattern(2, 1));

    auto released = MakeBitmap(3, 2, Pattern);
    released->SetOrientaionMode(1);
    released->SetPlanesValid(false, false);
    FlipBitmapOrientation(released.get(), 2);
    EXPECT_EQ(released->GetOrientationMode(), 2);
    EXPECT_EQ(PixelAt(released.get(), 0, 0), Pattern(0, 0));
}

TEST(FlipGameOrientation, TurnsTheTargetAndEveryTrackedBitmap) {
    CSoftTestGame game;
    game.m_Screen.m_nOrientationMode = 1;
    game.m_Screen.m_bTrackBitmaps = true;
    EXPECT_TRUE(CanFlipGameOrientation(&game));
    auto target = MakeBitmap(2, 2, Pattern, nullptr, &game);
    game.m_Screen.m_pDrawTarget = target.get();
    game.m_Screen.m_pBackBuffer = target.get();
    IDibBitmap* tracked = game.CreateBitmapObject();
    ASSERT_EQ(tracked->Create(2, 1), 1);
    reinterpret_cast<std::uint16_t*>(tracked->GetBits())[0] = 7;
    reinterpret_cast<std::uint16_t*>(tracked->GetBits())[1] = 9;

    FlipGameOrientation(&game, 2);
    EXPECT_EQ(game.m_Screen.m_nOrientationMode, 2);
    EXPECT_EQ(target->GetOrientationMode(), 2);
    EXPECT_EQ(PixelAt(target.get(), 0, 0), Pattern(1, 1));
    EXPECT_EQ(reinterpret_cast<std::uint16_t*>(tracked->GetBits())[0], 9);

    FlipGameOrientation(&game, 2);  // no change
    EXPECT_EQ(PixelAt(target.get(), 0, 0), Pattern(1, 1));
    game.m_Screen.m_nOrientationMode = 0;
    EXPECT_FALSE(CanFlipGameOrientation(&game));
    FlipGameOrientation(&game, 1);
    EXPECT_EQ(game.m_Screen.m_nOrientationMode, 0);

    game.m_Screen.m_pDrawTarget = nullptr;
    game.m_Screen.m_pBackBuffer = nullptr;
    delete tracked;
}

TEST(CopyBitmapData, PlacesTheCopyAsSeenInEachMode) {
    for (int mode : {0, 1, 2}) {
        CSoftTestGame game;
        game.m_Screen.m_nOrientationMode = mode;
        // A 3 x 2 image as seen onto an 8 x 6 screen as seen at (2, 1).
        auto src = std::make_unique<CWinDibBitmap>(&game);
        auto dst = std::make_unique<CWinDibBitmap>(&game);
        ASSERT_EQ(CreateBitmap(&game, src.get(), 3, 2), 1);
        ASSERT_EQ(CreateBitmap(&game, dst.get(), 8, 6), 1);
        EXPECT_EQ(src->m_Width, 3);
        EXPECT_EQ(src->m_Height, 2);
        dst->ClearBitmap(0, 0, 0);
        // Fill the source as seen.
        auto storedOf = [&](IDibBitmap* b, int x, int y, int& sx, int& sy) {
            auto* s = static_cast<CWinDibBitmap*>(b);
            sx = x;
            sy = y;
            if (mode == 1) {
                sx = y;
                sy = s->GetStoredHeight() - 1 - x;
            }
            if (mode == 2) {
                sx = s->GetStoredWidth() - 1 - y;
                sy = x;
            }
        };
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 3; ++x) {
                int sx, sy;
                storedOf(src.get(), x, y, sx, sy);
                PixelAt(src.get(), sx, sy) = Pattern(x, y);
            }
        }
        CopyBitmapData(&game, src.get(), dst.get(), 2, 1, 0, 0);
        for (int y = 0; y < 6; ++y) {
            for (int x = 0; x < 8; ++x) {
                int sx, sy;
                storedOf(dst.get(), x, y, sx, sy);
                const bool in = x >= 2 && x < 5 && y >= 1 && y < 3;
                EXPECT_EQ(PixelAt(dst.get(), sx, sy), in ? Pattern(x - 2, y - 1) : 0)
                    << "mode " << mode << " at " << x << "," << y;
            }
        }
    }
}

TEST(CreateBitmap, MakesSizedBitmapsFromTheFactory) {
    CSoftTestGame game;
    EXPECT_EQ(CreateBitmap(nullptr, nullptr, 2, 2), 0);
    std::unique_ptr<IDibBitmap> withAlpha(CreateBitmap(&game, 5, 4, true));
    ASSERT_NE(withAlpha, nullptr);
    EXPECT_EQ(withAlpha->m_Width, 5);
    EXPECT_NE(withAlpha->GetAlphaBits(), nullptr);
    std::unique_ptr<IDibBitmap> plain(CreateBitmap(&game, 5, 4, false));
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->GetAlphaBits(), nullptr);
    EXPECT_EQ(CreateBitmap(&game, 0, 4, true), nullptr) << "a failed Create gives null";
}

namespace {

// A fake image loader: "sheet" is a 40 x 30 picture whose pixel (x, y) is Pattern(x, y) and
// whose alpha is x + y; "mask" is an alpha image of the same size with alpha 2x; anything else
// fails to load. Records the paths it was asked for.
std::vector<std::string> g_Loaded;
bool g_SheetIsDoubleResolution = false;

int FakeLoadImage(IRenderHost*, char* path, IDibBitmap* bitmap) {
    g_Loaded.emplace_back(path);
    if (std::string(path) != "img/sheet") {
        return 0;
    }
    auto* px = static_cast<std::uint16_t*>(std::malloc(40 * 30 * 2));
    auto* al = static_cast<unsigned char*>(std::malloc(40 * 30));
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            px[y * 40 + x] = Pattern(x, y);
            al[y * 40 + x] = static_cast<unsigned char>(x + y);
        }
    }
    bitmap->SetBits(reinterpret_cast<unsigned char*>(px), 40, 30);
    bitmap->SetAlphaBits(al, 40, 30);
    static_cast<CWinDibBitmap*>(bitmap)->Set2xImage(g_SheetIsDoubleResolution);
    return 1;
}

int FakeLoadAlpha(IRenderHost*, char* path, IDibBitmap* bitmap) {
    g_Loaded.emplace_back(path);
    if (std::string(path) != "img/mask") {
        return 0;
    }
    auto* al = static_cast<unsigned char*>(std::malloc(40 * 30));
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            al[y * 40 + x] = static_cast<unsigned char>(2 * x);
        }
    }
    bitmap->SetAlphaBits(al, 40, 30);
    return 1;
}

struct TSpriteSet {
    int refCount = 0;
    int frameCount = 0;
    IDibBitmap** frames = nullptr;
    TCoord2D* offsets = nullptr;
    ~TSpriteSet() {
        for (int i = 0; frames != nullptr && i < frameCount; ++i) {
            delete frames[i];
        }
        delete[] frames;
        delete[] offsets;
    }
};

class SheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_Loaded.clear();
        g_SheetIsDoubleResolution = false;
        SetSheetImageLoaders({&FakeLoadImage, &FakeLoadAlpha});
    }
    void TearDown() override { SetSheetImageLoaders({}); }  // back to the real loaders
    CSoftTestGame game;
};

}  // namespace

TEST_F(SheetTest, TenFramesInFourColumnsAreCutIntoThreeRows) {
    TSpriteSet set;
    char image[] = "sheet";
    ASSERT_EQ(VisibleObjectWithSpritesLoad(10, 4, image, nullptr, 256, set.refCount, set.frameCount, set.frames,
                                           set.offsets, true, &game, true),
              1);
    EXPECT_EQ(set.refCount, 1);
    ASSERT_EQ(set.frameCount, 10);
    ASSERT_NE(set.offsets, nullptr);
    EXPECT_EQ(g_Loaded, std::vector<std::string>{"img/sheet"});
    EXPECT_TRUE(game.m_RenderSwitches.m_bHardwareTextures) << "the load leaves the switch on";
    for (int i = 0; i < 10; ++i) {
        IDibBitmap* f = set.frames[i];
        ASSERT_NE(f, nullptr);
        ASSERT_EQ(f->m_Width, 10);
        ASSERT_EQ(f->m_Height, 10);  // 30 / 3 rows
        const int cx = (i % 4) * 10, cy = (i / 4) * 10;
        for (int y = 0; y < 10; ++y) {
            for (int x = 0; x < 10; ++x) {
                ASSERT_EQ(PixelAt(f, x, y), Pattern(cx + x, cy + y)) << "frame " << i;
                ASSERT_EQ(AlphaAt(f, x, y), cx + x + cy + y) << "frame " << i << ": the sheet's alpha";
            }
        }
    }
    // A second load only counts.
    ASSERT_EQ(VisibleObjectWithSpritesLoad(10, 4, image, nullptr, 256, set.refCount, set.frameCount, set.frames,
                                           set.offsets, true, &game, true),
              1);
    EXPECT_EQ(set.refCount, 2);
    EXPECT_EQ(g_Loaded.size(), 1u);
}

TEST_F(SheetTest, SeparateAlphaImageAndColourKeying) {
    TSpriteSet set;
    char image[] = "sheet";
    char mask[] = "mask";
    ASSERT_EQ(VisibleObjectWithSpritesLoad(4, 2, image, mask, 256, set.refCount, set.frameCount, set.frames,
                                           set.offsets, true, &game, false),
              1);
    EXPECT_EQ(set.offsets, nullptr);
    ASSERT_EQ(set.frames[3]->m_Width, 20);
    ASSERT_EQ(set.frames[3]->m_Height, 15);
    EXPECT_EQ(AlphaAt(set.frames[3], 5, 5), 2 * (20 + 5)) << "alpha from the mask image";
    EXPECT_EQ(PixelAt(set.frames[3], 5, 5), Pattern(25, 20));

    TSpriteSet keyed;
    ASSERT_EQ(VisibleObjectWithSpritesLoad(4, 2, image, nullptr, 256, keyed.refCount, keyed.frameCount, keyed.frames,
                                           keyed.offsets, false, &game, false),
              1);
    auto* frame = static_cast<CWinDibBitmap*>(keyed.frames[0]);
    EXPECT_TRUE(frame->IsColorKeyed());
    EXPECT_EQ(frame->GetAlphaBits(), nullptr);
    EXPECT_EQ(PixelAt(frame, 0, 0), PackRGB565(255, 0, 255)) << "alpha 0 is below the threshold";
}

TEST_F(SheetTest, DoubleResolutionSheetGivesHalvedFrames) {
    game.m_RenderSwitches.m_bDoubleResolution = true;
    g_SheetIsDoubleResolution = true;
    TSpriteSet set;
    char image[] = "sheet";
    ASSERT_EQ(VisibleObjectWithSpritesLoad(4, 4, image, nullptr, 256, set.refCount, set.frameCount, set.frames,
                                           set.offsets, true, &game, false),
              1);
    auto* frame = static_cast<CWinDibBitmap*>(set.frames[1]);
    EXPECT_EQ(frame->GetStoredWidth(), 10);
    EXPECT_EQ(frame->GetStoredHeight(), 30);
    EXPECT_EQ(frame->m_Width, 5);
    EXPECT_EQ(frame->m_Height, 15);
}

TEST_F(SheetTest, FailuresReleaseEverythingAndRestoreTheCount) {
    struct TCase {
        int columns;
        const char* image;
        const char* mask;
        const char* why;
    };
    for (const TCase c : {TCase{0, "sheet", nullptr, "no columns"}, TCase{2, "missing", nullptr, "image fails"},
                          TCase{2, "sheet", "missing", "alpha image fails after the frames exist"}}) {
        TSpriteSet set;
        set.refCount = 3;
        std::string image = c.image;
        std::string mask = c.mask != nullptr ? c.mask : "";
        EXPECT_EQ(
            VisibleObjectWithSpritesLoad(4, c.columns, image.data(), c.mask != nullptr ? mask.data() : nullptr, 256,
                                         set.refCount, set.frameCount, set.frames, set.offsets, true, &game, true),
            0)
            << c.why;
        EXPECT_EQ(set.refCount, 3) << c.why;
        EXPECT_EQ(set.frameCount, 0) << c.why;
        EXPECT_EQ(set.frames, nullptr) << c.why;
        EXPECT_EQ(set.offsets, nullptr) << c.why;
    }
}

TEST_F(SheetTest, RealLoadersReportAMissingImage) {
    SetSheetImageLoaders({});
    TSpriteSet set;
    char image[] = "no_such_sheet";
    EXPECT_EQ(VisibleObjectWithSpritesLoad(2, 2, image, nullptr, 256, set.refCount, set.frameCount, set.frames,
                                           set.offsets, true, &game, false),
              0);
    EXPECT_EQ(set.refCount, 0);
    EXPECT_EQ(set.frames, nullptr);
    EXPECT_TRUE(game.m_RenderSwitches.m_bHardwareTextures);
}

TEST_F(SheetTest, AHugeRowLengthFailsCleanlyInsteadOfOverflowingTheRowCount) {
    // A description line can give any row length; rounding the row count up must not overflow
    // (UBSan traps the signed overflow), and frames zero pixels wide are refused.
    TSpriteSet set;
    char image[] = "sheet";
    EXPECT_EQ(VisibleObjectWithSpritesLoad(2, std::numeric_limits<int>::max(), image, nullptr, 256, set.refCount,
                                           set.frameCount, set.frames, set.offsets, true, &game, true),
              0);
    EXPECT_EQ(set.refCount, 0);
    EXPECT_EQ(set.frameCount, 0);
    EXPECT_EQ(set.frames, nullptr);
}
