// The image loaders over files on disk: search order of 1x and 2x, ".jpg" and ".png", halving,
// the separate alpha JPEG and its size check, the stream and cropped forms.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/MemFile.h"
#include "render/ImageLoaders.h"
#include "render/WinDibBitmap.h"
#include "testsupport/GlTestGame.h"
#include "testsupport/GlesTestContext.h"
#include "testsupport/ImageFixtures.h"

namespace {

namespace fs = std::filesystem;

class ImageLoadersTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("cobble_img_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "Images");
        images = (root / "Images").string() + "/";
        game.m_ImagesDir = images.c_str();
        game.m_Paks.m_bPakMode = false;
    }
    void TearDown() override { fs::remove_all(root); }

    std::string Path1x(const std::string& name) const { return images + name; }
    // The 2x twin as the game names it: the images directory less its last character + "_2x\".
    std::string Path2x(const std::string& name) const { return images.substr(0, images.size() - 1) + "_2x\\" + name; }

    static int Red5(IDibBitmap* b) {
        std::uint16_t p;
        std::memcpy(&p, b->GetBits(), 2);
        return p >> 11;
    }
    static int Green6(IDibBitmap* b) {
        std::uint16_t p;
        std::memcpy(&p, b->GetBits(), 2);
        return (p >> 5) & 63;
    }
    static int Blue5(IDibBitmap* b) {
        std::uint16_t p;
        std::memcpy(&p, b->GetBits(), 2);
        return p & 31;
    }

    fs::path root;
    std::string images;
    CGlTestGame game;
};

enum : unsigned { kJpg1x = 1, kJpg2x = 2, kPng1x = 4, kPng2x = 8 };

struct TSearchCase {
    unsigned files;
    bool doubleRes;
    unsigned expected;  // which file won; 0 = nothing loads
    const char* why;
};

TEST_F(ImageLoadersTest, SearchOrderOverJpegPngAnd2x) {
    const TSearchCase cases[] = {
        {kJpg1x | kJpg2x | kPng1x | kPng2x, false, kJpg1x, "1x JPEG first"},
        {kJpg2x | kPng1x | kPng2x, false, kJpg2x, "then the 2x JPEG, halved"},
        {kPng1x | kPng2x, false, kPng1x, "then the 1x PNG"},
        {kPng2x, false, kPng2x, "the 2x PNG last, halved"},
        {kJpg1x | kJpg2x | kPng1x | kPng2x, true, kPng2x, "2x mode: a 2x PNG wins over every JPEG"},
        {kJpg1x | kJpg2x | kPng1x, true, kJpg2x, "2x mode: 2x JPEG next"},
        {kJpg1x | kPng1x, true, kJpg1x, "2x mode: then 1x JPEG"},
        {kPng1x, true, kPng1x, "2x mode: 1x PNG last"},
        {0, false, 0, "nothing to find"},
    };
    for (const TSearchCase& c : cases) {
        fs::remove_all(root);
        fs::create_directories(root / "Images");
        // Colours tell the files apart: 1x JPEG red, 2x JPEG green, 1x PNG blue, 2x PNG white.
        if (c.files & kJpg1x) WriteFile(Path1x("pic.jpg"), MakeSolidJpeg(8, 8, 255, 0, 0));
        if (c.files & kJpg2x) WriteFile(Path2x("pic.jpg"), MakeSolidJpeg(16, 16, 0, 255, 0));
        if (c.files & kPng1x) WriteFile(Path1x("pic.png"), MakeSolidPng(8, 8, 0, 0, 255));
        if (c.files & kPng2x) WriteFile(Path2x("pic.png"), MakeSolidPng(16, 16, 255, 255, 255));
        game.m_RenderSwitches.m_bDoubleResolution = c.doubleRes;
        std::unique_ptr<IDibBitmap> b(ImageLoad(&game, Path1x("pic").c_str(), nullptr));
        if (c.expected == 0) {
            EXPECT_EQ(b, nullptr) << c.why;
            continue;
        }
        ASSERT_NE(b, nullptr) << c.why;
        auto* soft = dynamic_cast<CWinDibBitmap*>(b.get());
        const bool from2x = c.expected == kJpg2x || c.expected == kPng2x;
        EXPECT_EQ(b->m_Width, 8) << c.why;
        EXPECT_EQ(soft->GetStoredWidth(), from2x && c.doubleRes ? 16 : 8) << c.why;
        EXPECT_EQ(soft->Is2xImage(), from2x && c.doubleRes) << "the flag stays only in 2x mode: " << c.why;
        EXPECT_EQ(Red5(b.get()) > 24, c.expected == kJpg1x || c.expected == kPng2x) << c.why;
        EXPECT_EQ(Green6(b.get()) > 48, c.expected == kJpg2x || c.expected == kPng2x) << c.why;
        EXPECT_EQ(Blue5(b.get()) > 24, c.expected == kPng1x || c.expected == kPng2x) << c.why;
        EXPECT_TRUE(game.m_RenderSwitches.m_bImmediateUpload) << "immediate upload is left on";
    }
}

TEST_F(ImageLoadersTest, ExtensionOfThePathIsIgnoredOnlyWhenLowerCase) {
    WriteFile(Path1x("pic.png"), MakeSolidPng(4, 2, 0, 0, 255));
    for (const char* name : {"pic", "pic.png", "pic.jpg"}) {
        std::unique_ptr<IDibBitmap> b(ImageLoad(&game, Path1x(name).c_str(), nullptr));
        ASSERT_NE(b, nullptr) << name;
        EXPECT_EQ(b->m_Width, 4) << name;
    }
    EXPECT_EQ(std::unique_ptr<IDibBitmap>(ImageLoad(&game, Path1x("pic.PNG").c_str(), nullptr)), nullptr);
}

TEST_F(ImageLoadersTest, SeparateAlphaJpegOfTheSameSizeBecomesTheAlphaPlane) {
    WriteFile(Path1x("pic.jpg"), MakeSolidJpeg(8, 8, 255, 0, 0));
    WriteFile(Path1x("pic_a.jpg"), MakeSolidJpeg(8, 8, 100, 100, 100, 1));
    std::unique_ptr<IDibBitmap> b(ImageLoad(&game, Path1x("pic").c_str(), nullptr));
    ASSERT_NE(b, nullptr);
    ASSERT_NE(b->GetAlphaBits(), nullptr);
    EXPECT_NEAR(b->GetAlphaBits()[10], 100, 2);
    fs::remove(Path1x("pic_a.jpg"));
    std::unique_ptr<IDibBitmap> noAlpha(ImageLoad(&game, Path1x("pic").c_str(), nullptr));
    ASSERT_NE(noAlpha, nullptr);
    EXPECT_EQ(noAlpha->GetAlphaBits(), nullptr) << "a missing alpha image leaves none";
}

struct TMismatchCase {
    bool doubleRes;
    bool colour2x, alpha2x;
    int colourSize, alphaSize;
    bool flagAfter;
    const char* why;
};

TEST_F(ImageLoadersTest, AlphaImageOfAnotherSizeIsRefused) {
    const TMismatchCase cases[] = {
        {false, false, false, 8, 4, false, "plain size mismatch"},
        {true, true, false, 16, 8, true, "2x colour with 1x alpha"},
        {true, false, true, 8, 16, false, "1x colour with 2x alpha: the alpha's 2x flag is undone"},
    };
    for (const TMismatchCase& c : cases) {
        fs::remove_all(root);
        fs::create_directories(root / "Images");
        game.m_RenderSwitches.m_bDoubleResolution = c.doubleRes;
        WriteFile(c.colour2x ? Path2x("pic.jpg") : Path1x("pic.jpg"),
                  MakeSolidJpeg(c.colourSize, c.colourSize, 255, 0, 0));
        WriteFile(c.alpha2x ? Path2x("pic_a.jpg") : Path1x("pic_a.jpg"),
                  MakeSolidJpeg(c.alphaSize, c.alphaSize, 100, 100, 100, 1));
        std::unique_ptr<IDibBitmap> b(ImageLoad(&game, Path1x("pic").c_str(), nullptr));
        ASSERT_NE(b, nullptr) << "the colour image still loads: " << c.why;
        auto* soft = dynamic_cast<CWinDibBitmap*>(b.get());
        EXPECT_EQ(b->GetAlphaBits(), nullptr) << c.why;
        EXPECT_EQ(soft->GetStoredWidth(), c.colourSize) << c.why;
        EXPECT_EQ(soft->Is2xImage(), c.flagAfter) << c.why;
    }
}

TEST_F(ImageLoadersTest, AlphaOnlyLoadTakesTheJpegThenThePngAndRefusesAnotherSize) {
    WriteFile(Path1x("shape.png"), MakeSolidPng(8, 8, 1, 2, 3, 77));
    std::unique_ptr<IDibBitmap> fromPng(ImageLoad_Alpha(&game, Path1x("shape.png").c_str(), nullptr));
    ASSERT_NE(fromPng, nullptr);
    ASSERT_NE(fromPng->GetAlphaBits(), nullptr);
    EXPECT_EQ(fromPng->GetAlphaBits()[63], 77) << "the PNG's alpha channel";
    WriteFile(Path1x("shape.jpg"), MakeSolidJpeg(8, 8, 150, 150, 150, 1));
    std::unique_ptr<IDibBitmap> fromJpg(ImageLoad_Alpha(&game, Path1x("shape").c_str(), nullptr));
    ASSERT_NE(fromJpg, nullptr);
    EXPECT_NEAR(fromJpg->GetAlphaBits()[63], 150, 2) << "the JPEG comes first";

    // Double-resolution mode: 1x colour, then a 2x PNG alpha image twice its size.
    game.m_RenderSwitches.m_bDoubleResolution = true;
    WriteFile(Path1x("pic.jpg"), MakeSolidJpeg(8, 8, 255, 0, 0));
    WriteFile(Path2x("pic_mask.png"), MakeSolidPng(16, 16, 1, 2, 3, 77));
    std::unique_ptr<IDibBitmap> b(ImageLoad(&game, Path1x("pic").c_str(), nullptr));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(ImageLoad_Alpha(&game, Path1x("pic_mask").c_str(), b.get()), nullptr);
    auto* soft = dynamic_cast<CWinDibBitmap*>(b.get());
    EXPECT_EQ(b->GetAlphaBits(), nullptr);
    EXPECT_EQ(soft->GetStoredWidth(), 8);
    EXPECT_FALSE(soft->Is2xImage()) << "the refused alpha's 2x flag is undone";
    EXPECT_EQ(b->m_Width, 8) << "so the 1x colour image keeps its size";
}

TEST_F(ImageLoadersTest, AReusedBitmapTakesTheTwoXFlagOfItsNewImage) {
    game.m_RenderSwitches.m_bDoubleResolution = true;
    WriteFile(Path2x("big.png"), MakeSolidPng(16, 16, 255, 255, 255));
    WriteFile(Path1x("small.png"), MakeSolidPng(8, 8, 0, 0, 255));
    WriteFile(Path1x("small2.jpg"), MakeSolidJpeg(6, 6, 0, 0, 255));
    const auto png = MakeSolidPng(8, 8, 1, 2, 3);
    WriteFile(Path1x("broken.png"), std::vector<std::uint8_t>(png.begin(), png.begin() + 40));
    std::unique_ptr<IDibBitmap> b(ImageLoad(&game, Path1x("big").c_str(), nullptr));
    ASSERT_NE(b, nullptr);
    auto* soft = dynamic_cast<CWinDibBitmap*>(b.get());
    ASSERT_TRUE(soft->Is2xImage());
    EXPECT_EQ(b->m_Width, 8);
    ASSERT_EQ(ImageLoad(&game, Path1x("small").c_str(), b.get()), b.get());
    EXPECT_FALSE(soft->Is2xImage()) << "a 1x PNG into a bitmap that held a 2x image";
    EXPECT_EQ(b->m_Width, 8);
    ASSERT_EQ(ImageLoad(&game, Path1x("big").c_str(), b.get()), b.get());
    ASSERT_EQ(ImageLoad(&game, Path1x("small2").c_str(), b.get()), b.get());
    EXPECT_FALSE(soft->Is2xImage()) << "a 1x JPEG likewise";
    EXPECT_EQ(b->m_Width, 6);
    ASSERT_EQ(ImageLoad(&game, Path1x("big").c_str(), b.get()), b.get());
    EXPECT_EQ(ImageLoad(&game, Path1x("broken").c_str(), b.get()), nullptr);
    EXPECT_TRUE(soft->Is2xImage()) << "a failed decode leaves the image and its flag as they were";
    EXPECT_EQ(b->m_Width, 8);
}

TEST_F(ImageLoadersTest, PngAlphaPlaneOnlyWhenSomethingIsTranslucent) {
    WriteFile(Path1x("opaque.png"), MakeSolidPng(4, 4, 10, 20, 30, 255));
    WriteFile(Path1x("glass.png"), MakeSolidPng(4, 4, 10, 20, 30, 128));
    std::unique_ptr<IDibBitmap> opaque(ImageLoad(&game, Path1x("opaque").c_str(), nullptr));
    std::unique_ptr<IDibBitmap> glass(ImageLoad(&game, Path1x("glass").c_str(), nullptr));
    ASSERT_NE(opaque, nullptr);
    ASSERT_NE(glass, nullptr);
    EXPECT_EQ(opaque->GetAlphaBits(), nullptr);
    ASSERT_NE(glass->GetAlphaBits(), nullptr);
    EXPECT_EQ(glass->GetAlphaBits()[15], 128);
}

TEST_F(ImageLoadersTest, AnOpaqueImageIntoAReusedBitmapDropsAnAlphaPlaneOfAnotherSize) {
    WriteFile(Path1x("glass.png"), MakeSolidPng(8, 8, 255, 0, 0, 128));
    WriteFile(Path1x("wide.png"), MakeSolidPng(16, 8, 0, 255, 0, 255));
    WriteFile(Path1x("wide.jpg"), MakeSolidJpeg(16, 8, 0, 255, 0));
    WriteFile(Path1x("same.png"), MakeSolidPng(8, 8, 0, 255, 0, 255));
    struct TCase {
        const char* next;
        bool alphaKept;
        const char* why;
    } const cases[] = {
        {"wide.png", false, "a wider opaque PNG: the 8 x 8 plane cannot describe it"},
        {"wide.jpg", false, "a wider JPEG without an alpha image, likewise"},
        {"same.png", true, "an opaque PNG of the same size keeps the plane it had"},
    };
    for (const TCase& c : cases) {
        CWinDibBitmap b(&game);
        ASSERT_EQ(ImageLoad(&game, Path1x("glass").c_str(), &b), &b) << c.why;
        ASSERT_NE(b.GetAlphaBits(), nullptr) << c.why;
        ASSERT_EQ(ImageLoad(&game, Path1x(c.next).c_str(), &b), &b) << c.why;
        EXPECT_EQ(b.GetAlphaBits() != nullptr, c.alphaKept) << c.why;
    }
}

TEST_F(ImageLoadersTest, AReusedGlBitmapWithReleasedPlanesShowsItsNewOpaqueImage) {
    CGlesTestContext ctx(16, 16);
    if (!ctx.IsValid()) GTEST_SKIP() << "no headless EGL context";
    game.m_RenderSwitches.m_nRendererKind = kRendererGLES;
    IDibBitmap* screen = game.MakeScreen(16, 16);
    ASSERT_NE(screen, nullptr);
    WriteFile(Path1x("glass.png"), MakeSolidPng(8, 8, 255, 0, 0, 128));
    WriteFile(Path1x("leaf.png"), MakeSolidPng(8, 8, 0, 255, 0, 255));
    std::unique_ptr<IDibBitmap> b(ImageLoad(&game, Path1x("glass").c_str(), nullptr));
    ASSERT_NE(b, nullptr);
    ASSERT_FALSE(dynamic_cast<CWinDibBitmap*>(b.get())->IsAlphaValid()) << "released after its upload";
    ASSERT_EQ(ImageLoad(&game, Path1x("leaf").c_str(), b.get()), b.get());
    screen->FillRectangle(0, 0, 16, 16, 0, 0, 255);
    b->Draw(screen, 4, 4, 0, 0, 0, 0);
    GLES_FlushBuffer();
    const auto p = ctx.Pixel(8, 8);
    EXPECT_EQ(p[0], 0) << "nothing of the old red image";
    EXPECT_EQ(p[1], 255) << "the new image, opaque";
    EXPECT_EQ(p[2], 0) << "nothing of the background through it";
    b.reset();
    GLES_ResetStateCache();
}

TEST_F(ImageLoadersTest, BrokenFilesFailAndAGivenBitmapSurvives) {
    const auto png = MakeSolidPng(8, 8, 1, 2, 3, 4);
    WriteFile(Path1x("cut.png"), std::vector<std::uint8_t>(png.begin(), png.begin() + 40));
    WriteFile(Path1x("empty.png"), {});
    WriteFile(Path1x("empty.jpg"), {});
    WriteFile(Path1x("inter.png"), MakePng(4, 4, std::vector<std::uint8_t>(64, 7), 6, true));
    for (const char* name : {"cut", "empty", "inter"}) {
        EXPECT_EQ(std::unique_ptr<IDibBitmap>(ImageLoad(&game, Path1x(name).c_str(), nullptr)), nullptr) << name;
        CWinDibBitmap given(&game);
        EXPECT_EQ(ImageLoad(&game, Path1x(name).c_str(), &given), nullptr) << name;
    }
}

TEST_F(ImageLoadersTest, StreamDecoderMakesASoftwareBitmapAndLeavesSwitchesAlone) {
    WriteFile(Path1x("news.jpg"), MakeSolidJpeg(12, 6, 0, 0, 255));
    game.m_RenderSwitches.m_nRendererKind = kRendererGLES;
    game.m_RenderSwitches.m_bHardwareTextures = true;
    game.m_RenderSwitches.m_bImmediateUpload = true;
    CMemoryFile stream;
    ASSERT_EQ(stream.Open(&game, Path1x("news.jpg").c_str(), FileMode::Read), 1);
    std::unique_ptr<IDibBitmap> b(ImageLoad_JPG_FromStream(&game, &stream, nullptr));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->GetHWResource(), nullptr) << "a plain software bitmap";
    EXPECT_EQ(b->m_Width, 12);
    EXPECT_GT(Blue5(b.get()), 28);
    EXPECT_TRUE(game.m_RenderSwitches.m_bHardwareTextures);
    EXPECT_TRUE(game.m_RenderSwitches.m_bImmediateUpload);
}

TEST_F(ImageLoadersTest, CroppedJpegLandsAtItsOffsetAndIsClipped) {
    WriteFile(Path1x("crop.jpg"), MakeSolidJpeg(4, 4, 255, 255, 255));
    CWinDibBitmap target(&game);
    ASSERT_EQ(target.Create(8, 8), 1);
    std::memset(target.GetBits(), 0, 8 * 8 * 2);
    ASSERT_EQ(ImageLoadCropped_JPG(&game, Path1x("crop.jpg").c_str(), &target, 6, 5), &target);
    auto at = [&](int x, int y) {
        std::uint16_t p;
        std::memcpy(&p, target.GetBits() + (y * 8 + x) * 2, 2);
        return p;
    };
    EXPECT_GT(at(6, 5) >> 11, 28);
    EXPECT_GT(at(7, 7) >> 11, 28);
    EXPECT_EQ(at(5, 5), 0);
    EXPECT_EQ(at(6, 4), 0);
    CWinDibBitmap empty(&game);
    EXPECT_EQ(ImageLoadCropped_JPG(&game, Path1x("crop.jpg").c_str(), &empty, 0, 0), nullptr);
}

using TLoader = IDibBitmap* (*)(IRenderHost*, const char*, IDibBitmap*, TextureUpload);

struct TUploadCase {
    TLoader load;
    const char* path;  // below the images directory
    bool pixels;       // the loader gives a pixel plane
    bool alpha;        // and an alpha plane
    const char* why;
};

// On the GL renderer with hardware textures and immediate upload on, a RAM-only load reaches no
// texture and leaves the switches as they were; the same load by the switches uploads.
TEST_F(ImageLoadersTest, RamOnlyLoadsMakeNoTextureAndTouchNoSwitch) {
    CGlesTestContext ctx(8, 8);
    if (!ctx.IsValid()) GTEST_SKIP() << "no headless EGL context";
    WriteFile(Path1x("pic.png"), MakeSolidPng(4, 4, 255, 0, 0, 128));
    WriteFile(Path1x("photo.jpg"), MakeSolidJpeg(4, 4, 0, 255, 0));
    WriteFile(Path1x("photo_a.jpg"), MakeSolidJpeg(4, 4, 200, 200, 200, 1));
    WriteFile(Path1x("mask.jpg"), MakeSolidJpeg(4, 4, 90, 90, 90, 1));
    game.m_RenderSwitches.m_nRendererKind = kRendererGLES;
    const TUploadCase cases[] = {
        {&ImageLoad, "pic", true, true, "ImageLoad, PNG path: both planes, one upload at the end"},
        {&ImageLoad, "photo", true, true, "ImageLoad, JPEG with its _a.jpg alpha image"},
        {&ImageLoad_PNG, "pic.png", true, true, "the PNG loader's own upload"},
        {&ImageLoad_JPG, "photo.jpg", true, false, "the JPEG loader's immediate upload of its pixels"},
        {&ImageLoad_Alpha, "mask", false, true, "the alpha loader's immediate upload of its plane"},
    };
    for (const TUploadCase& c : cases) {
        for (TextureUpload upload : {TextureUpload::kKeepInRam, TextureUpload::kBySwitches}) {
            const bool inRam = upload == TextureUpload::kKeepInRam;
            CGlesCallCounter calls;
            std::unique_ptr<IDibBitmap> b(c.load(&game, Path1x(c.path).c_str(), nullptr, upload));
            ASSERT_NE(b, nullptr) << c.why;
            EXPECT_EQ(calls.texImage() == 0, inRam) << c.why << (inRam ? ": kept in RAM" : ": by the switches");
            EXPECT_TRUE(game.m_RenderSwitches.m_bHardwareTextures) << c.why;
            EXPECT_TRUE(game.m_RenderSwitches.m_bImmediateUpload) << c.why;
            auto* soft = dynamic_cast<CWinDibBitmap*>(b.get());
            ASSERT_NE(soft, nullptr);
            if (inRam) {
                EXPECT_EQ(soft->PixelsForDrawing() != nullptr, c.pixels) << c.why;
                EXPECT_EQ(soft->AlphaForDrawing() != nullptr, c.alpha) << c.why;
            }
        }
    }
    GLES_ResetStateCache();
}

}  // namespace
