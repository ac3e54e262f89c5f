// Sprite sets on the OpenGL ES renderer: atlas views for sub-sets and forced atlases, and the
// RAM copies released after upload.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "render/WinDibBitmap.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "testsupport/MediaTestGame.h"

using namespace mediatest;

namespace {

class SpriteSetGlTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!gl.IsValid()) GTEST_SKIP() << "no headless EGL / GLES1 here";
        screen = game.MakeGlScreen(64, 32);
    }
    CHeadlessGl gl{64, 32};
    CMediaTestGame game;
    CSpriteSetManager& manager = *game.m_Manager;
    CWinDibBitmapOGLES* screen = nullptr;
};

}  // namespace

TEST_F(SpriteSetGlTest, SubSetFramesAreViewsOfTheAtlasItems) {
    TImage atlas = MakeImage(16, 8, {255, 0, 0, 255});
    for (int y = 0; y < 8; ++y)
        for (int x = 8; x < 16; ++x) atlas.Set(x, y, {0, 0, 255, 255});
    game.SetPak({{"Images\\atlas.png", EncodePng(atlas)},
                 {"Images\\atlas.txt", ToBytes("2\nitem0\n0\n0\n8\n8\nitem1\n8\n2\n6\n5\n")}});
    const std::string text =
        "set = atlas\nfile = atlas.png\natlas_data = atlas.txt\nend\n"
        "set = shifted\natlas_texture = atlas\natlas_indexes = item%d, 1, 2\nend\n"
        "set = colours\natlas_texture = atlas\natlas_indexes = item%d, 0, 2\nend\n";
    ASSERT_EQ(AddSpriteSetsFromBytes(&manager, &game, {text.data(), text.size()}, "t.txt"), 1);
    EXPECT_EQ(manager.AddSpriteSetRef("shifted"), 0) << "item2 is not in the atlas";
    EXPECT_EQ(manager.GetSpriteSetNamed("atlas")->GetRefCount(), 0) << "its reference was given back";
    CSpriteSet* colours = manager.GetSpriteSetNamed("colours");
    ASSERT_EQ(colours->AddReference(), 1);
    ASSERT_EQ(colours->GetNumFrames(), 2);
    EXPECT_EQ(colours->GetFrame(1)->m_Width, 6);
    EXPECT_EQ(colours->GetFrame(1)->m_Height, 5);

    screen->FillRectangle(0, 0, 64, 32, 0, 0, 0);
    colours->GetFrame(0)->Draw(screen, 2, 2, 0, 0, 0, 0);
    colours->GetFrame(1)->Draw(screen, 20, 2, 0, 0, 0, 0);
    const TImage frame = gl.Read();
    EXPECT_EQ(frame.At(5, 5)[0], 255);
    EXPECT_EQ(frame.At(5, 5)[2], 0);
    EXPECT_EQ(frame.At(22, 4)[2], 255) << "the blue item";
    EXPECT_EQ(frame.At(26, 4)[2], 0) << "6 wide";
}

TEST_F(SpriteSetGlTest, RemoveRgbaReleasesTheRamCopiesOfGlFrames) {
    // The set's own switch is under test: the engine-wide release is off.
    game.m_RenderSwitches.m_bReleasePixelsAfterUpload = false;
    game.SetPak({{"Images\\a.png", EncodePng(MakeImage(4, 4, {9, 9, 9, 255}))}});
    ASSERT_EQ(manager.AddSpriteSetMulti("kept", "a.png", "", 1, 1, false, false), 1);
    ASSERT_EQ(manager.AddSpriteSetMulti("released", "a.png", "", 1, 1, true, false), 1);
    ASSERT_EQ(manager.AddSpriteSetRef("kept"), 1);
    ASSERT_EQ(manager.AddSpriteSetRef("released"), 1);
    auto* kept = dynamic_cast<CWinDibBitmap*>(manager.GetSpriteSetNamed("kept")->GetFrame(0));
    auto* released = dynamic_cast<CWinDibBitmap*>(manager.GetSpriteSetNamed("released")->GetFrame(0));
    ASSERT_NE(kept, nullptr);
    ASSERT_NE(released, nullptr);
    EXPECT_TRUE(kept->ArePixelsValid());
    EXPECT_FALSE(released->ArePixelsValid());
}

TEST_F(SpriteSetGlTest, ForcedAtlasCutsTheStripByRoundedUpRows) {
    // A 16 x 24 strip. Frames are views of its one texture, W / b wide and H / rows high with
    // the rows rounded up; a layout that leaves a frame no pixels fails the reference.
    game.SetPak({{"Images\\strip.png", EncodePng(MakeImage(16, 24, {0, 200, 0, 255}))}});
    struct TCase {
        int a, b;
        int frameW, frameH;  // 0: the reference fails
        const char* why;
    } const cases[] = {
        {5, 2, 8, 8, "five frames two a row: three rows, the last one half full"},
        {4, 2, 8, 12, "four frames two a row: two full rows"},
        {3, 3, 5, 24, "one row of three"},
        {2, 2147483647, 0, 0, "a row length beyond the strip's width"},
        {30, 1, 0, 0, "more rows than the strip has pixels"},
    };
    for (const TCase& c : cases) {
        ASSERT_EQ(manager.AddSpriteSetSingle("strip", "strip.png", "", c.a, c.b, false, false), 1);
        CSpriteSet* set = manager.GetLastSpriteSet();
        set->m_force_atlas = 1;
        if (c.frameW == 0) {
            EXPECT_EQ(set->AddReference(), 0) << c.why;
            EXPECT_FALSE(set->IsLoaded()) << c.why;
            EXPECT_EQ(set->GetRefCount(), 0) << c.why;
            EXPECT_EQ(set->m_pForcedAtlasSource, nullptr) << c.why;
        } else {
            ASSERT_EQ(set->AddReference(), 1) << c.why;
            ASSERT_NE(set->m_pForcedAtlasSource, nullptr) << c.why;
            ASSERT_EQ(set->GetNumFrames(), c.a) << c.why;
            for (int i = 0; i < c.a; ++i) {
                EXPECT_EQ(set->GetFrame(i)->m_Width, c.frameW) << c.why << ", frame " << i;
                EXPECT_EQ(set->GetFrame(i)->m_Height, c.frameH) << c.why << ", frame " << i;
            }
        }
        manager.DeleteSpriteSet(set);
    }
}

namespace {

// Five colours, one per frame of a strip.
constexpr std::array<std::array<std::uint8_t, 4>, 5> kFrameColours = {
    {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 0, 255}, {0, 255, 255, 255}}};

// A strip of five cells in a row, each cell w x h of one colour.
TImage FiveColourStrip(int w, int h) {
    TImage strip = MakeImage(5 * w, h, {0, 0, 0, 255});
    for (int i = 0; i < 5; ++i)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) strip.Set(i * w + x, y, kFrameColours[static_cast<std::size_t>(i)]);
    return strip;
}

}  // namespace

TEST_F(SpriteSetGlTest, ForcedAtlasOfADoubleResolutionStripCutsItsStoredTexels) {
    // Only the 2x twin exists: 80 x 16 stored, a 40 x 8 strip in the layout, five 8 x 8 frames.
    game.SetPak({{"Images_2x\\strip.png", EncodePng(FiveColourStrip(16, 16))}});
    ASSERT_EQ(manager.AddSpriteSetSingle("strip", "strip.png", "", 5, 5, false, false), 1);
    CSpriteSet* set = manager.GetLastSpriteSet();
    set->m_force_atlas = 1;
    ASSERT_EQ(set->AddReference(), 1);
    ASSERT_NE(set->m_pForcedAtlasSource, nullptr) << "cut as views of one texture";
    ASSERT_EQ(set->GetNumFrames(), 5);
    screen->FillRectangle(0, 0, 64, 32, 0, 0, 0);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(set->GetFrame(i)->m_Width, 8) << "frame " << i;
        EXPECT_EQ(set->GetFrame(i)->m_Height, 8) << "frame " << i;
        set->GetFrame(i)->Draw(screen, i * 12, 4, 0, 0, 0, 0);
    }
    const TImage frame = gl.Read();
    for (int i = 0; i < 5; ++i) {
        const auto& c = kFrameColours[static_cast<std::size_t>(i)];
        EXPECT_TRUE(Near(frame.At(i * 12 + 1, 5), c[0], c[1], c[2], 0)) << "frame " << i << ": its own cell";
        EXPECT_TRUE(Near(frame.At(i * 12 + 6, 10), c[0], c[1], c[2], 0)) << "frame " << i << ": all 8 x 8 of it";
        EXPECT_TRUE(Near(frame.At(i * 12 + 9, 5), 0, 0, 0, 0)) << "frame " << i << ": nothing past its width";
    }
}

namespace {

// A grey JPEG of w x h whose left half is white and right half black: an alpha image.
Bytes LeftHalfAlphaJpeg(int w, int h) {
    std::vector<std::uint8_t> rgb;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint8_t v = x < w / 2 ? 255 : 0;
            rgb.insert(rgb.end(), {v, v, v});
        }
    return MakeJpeg(w, h, rgb, 1);
}

}  // namespace

TEST_F(SpriteSetGlTest, SeparateAlphaImagesReachTheTexturesOfFramesWhosePixelsAreReleased) {
    // Opaque white frames with an alpha image that keeps only their left half, drawn over blue.
    struct TCase {
        const char* why;
        std::vector<std::pair<std::string, Bytes>> pak;
        const char* description;
    };
    const TCase cases[] = {
        {"one alpha image common to a strip",
         {{"Images\\strip.png", EncodePng(MakeImage(16, 8, {255, 255, 255, 255}), false)},
          {"Images\\strip_a.jpg", LeftHalfAlphaJpeg(8, 8)}},
         "set = s, common_alpha\nfile = strip.png, 2\nafile = strip_a.jpg\nend\n"},
        {"a Multi set with an alpha image per frame",
         {{"Images\\m1.png", EncodePng(MakeImage(8, 8, {255, 255, 255, 255}), false)},
          {"Images\\m2.png", EncodePng(MakeImage(8, 8, {255, 255, 255, 255}), false)},
          {"Images\\ma1.jpg", LeftHalfAlphaJpeg(8, 8)},
          {"Images\\ma2.jpg", LeftHalfAlphaJpeg(8, 8)}},
         "set = s, multi\nfile = m%d.png, 2, 1\nafile = ma%d.jpg, 2, 1\nend\n"},
    };
    for (const TCase& c : cases) {
        game.SetPak(c.pak);
        const std::string text = c.description;
        ASSERT_EQ(AddSpriteSetsFromBytes(&manager, &game, {text.data(), text.size()}, "t.txt"), 1) << c.why;
        CSpriteSet* set = manager.GetLastSpriteSet();
        ASSERT_EQ(set->AddReference(), 1) << c.why;
        ASSERT_EQ(set->GetNumFrames(), 2) << c.why;
        screen->FillRectangle(0, 0, 64, 32, 0, 0, 255);
        for (int i = 0; i < 2; ++i) {
            auto* frame = dynamic_cast<CWinDibBitmap*>(set->GetFrame(i));
            ASSERT_NE(frame, nullptr) << c.why;
            EXPECT_FALSE(frame->ArePixelsValid()) << c.why << ": the game's configuration releases them";
            frame->Draw(screen, 4 + i * 12, 4, 0, 0, 0, 0);
        }
        const TImage drawn = gl.Read();
        for (int i = 0; i < 2; ++i) {
            const int x = 4 + i * 12;
            EXPECT_TRUE(Near(drawn.At(x + 1, 8), 255, 255, 255, 8)) << c.why << ", frame " << i << ": opaque half";
            EXPECT_TRUE(Near(drawn.At(x + 6, 8), 0, 0, 255, 8)) << c.why << ", frame " << i << ": transparent half";
        }
        manager.DeleteSpriteSet(set);
    }
}

namespace {

class SpriteSetTexelDepthGlTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!gl.IsValid()) GTEST_SKIP() << "no headless EGL / GLES1 here";
        game.MakeGlScreen(64, 32);
    }
    CHeadlessGl gl{64, 32};
    CSwitchWatchingGame game;
    CSpriteSetManager& manager = *game.m_Manager;
};

}  // namespace

TEST_F(SpriteSetTexelDepthGlTest, ASetsWishForFullDepthReachesItsUploadsWithoutTheProgramWideSwitch) {
    // Opaque 2x images, so the 16-bit layout of a set that does not force full depth is 565; a
    // common alpha plane makes it 4444. Every upload of the load must go up in the layout given,
    // and the program-wide switch must read as the test set it whenever the engine looks.
    const Bytes opaque16 = EncodePng(MakeImage(16, 16, {40, 80, 120, 255}), false);
    const Bytes opaqueStrip = EncodePng(MakeImage(32, 16, {40, 80, 120, 255}), false);
    const std::vector<std::pair<std::string, Bytes>> pak = {
        {"Images_2x\\strip.png", opaqueStrip},
        {"Images_2x\\m1.png", opaque16},
        {"Images_2x\\m2.png", opaque16},
        {"Images_2x\\strip_a.jpg", LeftHalfAlphaJpeg(16, 16)},
    };
    constexpr GLenum kRgba = GL_RGBA, kRgb = GL_RGB, k8888 = GL_UNSIGNED_BYTE, k565 = GL_UNSIGNED_SHORT_5_6_5,
                     k4444 = GL_UNSIGNED_SHORT_4_4_4_4;
    struct TCase {
        const char* why;
        const char* description;
        bool programWide;  // the host's switch for every upload
        GLenum format, type;
    } const cases[] = {
        {"a sheet cut into frames, forced", "set = s\nfile = strip.png, 2\nforce_8888_texture\nend\n", false, kRgba,
         k8888},
        {"a sheet cut into frames", "set = s\nfile = strip.png, 2\nend\n", false, kRgb, k565},
        {"a Multi set, forced", "set = s, multi\nfile = m%d.png, 2, 1\nforce_8888_texture\nend\n", false, kRgba, k8888},
        {"a Multi set", "set = s, multi\nfile = m%d.png, 2, 1\nend\n", false, kRgb, k565},
        {"a common alpha set, forced",
         "set = s, common_alpha\nfile = strip.png, 2\nafile = strip_a.jpg\nforce_8888_texture\nend\n", false, kRgba,
         k8888},
        {"a common alpha set", "set = s, common_alpha\nfile = strip.png, 2\nafile = strip_a.jpg\nend\n", false, kRgba,
         k4444},
        {"a forced atlas's strip, forced", "set = s\nfile = strip.png, 2\nforce_atlas\nforce_8888_texture\nend\n",
         false, kRgba, k8888},
        {"a forced atlas's strip", "set = s\nfile = strip.png, 2\nforce_atlas\nend\n", false, kRgb, k565},
        {"the program-wide switch alone", "set = s, multi\nfile = m%d.png, 2, 1\nend\n", true, kRgba, k8888},
        {"the switch and the set's wish", "set = s, multi\nfile = m%d.png, 2, 1\nforce_8888_texture\nend\n", true,
         kRgba, k8888},
    };
    game.SetPak(pak);
    ASSERT_TRUE(game.m_RenderSwitches.m_bDoubleResolution) << "the game's configuration";
    ASSERT_TRUE(game.m_RenderSwitches.m_bReleasePixelsAfterUpload) << "the game's configuration";
    for (const TCase& c : cases) {
        const std::string text = c.description;
        ASSERT_EQ(AddSpriteSetsFromBytes(&manager, &game, {text.data(), text.size()}, "t.txt"), 1) << c.why;
        CSpriteSet* set = manager.GetLastSpriteSet();
        game.m_RenderSwitches.m_bForce8888Textures = c.programWide;
        game.m_Force8888Seen.clear();
        CTexImageRecorder uploads;
        ASSERT_EQ(set->AddReference(), 1) << c.why;
        ASSERT_EQ(set->GetNumFrames(), 2) << c.why;
        ASSERT_FALSE(uploads.Uploads().empty()) << c.why;
        for (const CTexImageRecorder::TUpload& u : uploads.Uploads()) {
            EXPECT_EQ(u.format, c.format) << c.why;
            EXPECT_EQ(u.type, c.type) << c.why;
        }
        ASSERT_FALSE(game.m_Force8888Seen.empty()) << c.why << ": the uploads read the switch";
        for (const bool seen : game.m_Force8888Seen) {
            EXPECT_EQ(seen, c.programWide) << c.why << ": the program-wide switch changed during the load";
        }
        EXPECT_EQ(game.m_RenderSwitches.m_bForce8888Textures, c.programWide) << c.why;
        manager.DeleteSpriteSet(set);
    }
}
