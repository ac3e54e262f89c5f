// PNG and JPEG decoding into bitmap planes, over fixtures written by libpng and libjpeg.
#include <gtest/gtest.h>

#include <png.h>

#include <cstring>
#include <vector>

#include "render/ImageDecode.h"
#include "testsupport/ImageFixtures.h"

namespace {

std::uint16_t Pixel16(const CDecodedImage& img, std::size_t index) {
    std::uint16_t v;
    std::memcpy(&v, img.pixels + index * 2, 2);
    return v;
}

std::uint16_t Rgb565(int r, int g, int b) {
    return static_cast<std::uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
}

struct TLayoutCase {
    int mode;
    std::size_t indexOfTopRight;    // where source pixel (2, 0) of the 3 x 2 image lands
    std::size_t indexOfBottomLeft;  // source pixel (0, 1)
    const char* why;
};

TEST(ImageDecodeTest, OrientationModesStoreBothPlanesTurned) {
    // 3 x 2: (2, 0) red with alpha 10, (0, 1) blue with alpha 20, the rest black and opaque.
    std::vector<std::uint8_t> rgba(3 * 2 * 4, 0);
    for (int i = 0; i < 6; ++i) rgba[i * 4 + 3] = 255;
    rgba[2 * 4 + 0] = 255;
    rgba[2 * 4 + 3] = 10;
    rgba[3 * 4 + 2] = 255;
    rgba[3 * 4 + 3] = 20;
    const auto png = MakePng(3, 2, rgba, PNG_COLOR_TYPE_RGB_ALPHA);
    // By hand: mode 1 puts (x, y) at (W - 1 - x) * H + y, mode 2 at x * H + (H - 1 - y).
    const TLayoutCase cases[] = {{0, 2, 3, "as seen"}, {1, 0, 5, "turned one way"}, {2, 5, 0, "turned the other way"}};
    for (const TLayoutCase& c : cases) {
        TDecodeOptions o;
        o.orientation = c.mode;
        CDecodedImage img;
        ASSERT_TRUE(DecodePng(png, "layout.png", o, &img)) << c.why;
        EXPECT_EQ(img.width, 3);
        EXPECT_EQ(img.height, 2);
        EXPECT_EQ(Pixel16(img, c.indexOfTopRight), 0xF800) << c.why;
        EXPECT_EQ(img.alpha[c.indexOfTopRight], 10) << c.why;
        EXPECT_EQ(Pixel16(img, c.indexOfBottomLeft), 0x001F) << c.why;
        EXPECT_EQ(img.alpha[c.indexOfBottomLeft], 20) << c.why;
    }
}

TEST(ImageDecodeTest, PngHalvingAveragesBlocksAndDropsOddEdges) {
    // 5 x 3: red of pixel (x, y) = 8 * (x + 1) + 40 * y; alpha = 200 + x.
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            rgba.insert(rgba.end(),
                        {static_cast<std::uint8_t>(8 * (x + 1) + 40 * y), 0, 0, static_cast<std::uint8_t>(200 + x)});
    TDecodeOptions o;
    o.halve = true;
    CDecodedImage img;
    ASSERT_TRUE(DecodePng(MakePng(5, 3, rgba, PNG_COLOR_TYPE_RGB_ALPHA), "half.png", o, &img));
    EXPECT_EQ(img.width, 2);
    EXPECT_EQ(img.height, 1);
    // Block (0, 0): reds 8, 16, 48, 56 -> mean 32 -> red5 4; block (1, 0): 24, 32, 64, 72 -> 48 -> 6.
    EXPECT_EQ(Pixel16(img, 0), 4 << 11);
    EXPECT_EQ(Pixel16(img, 1), 6 << 11);
    EXPECT_EQ(img.alpha[0], (200 + 201 + 200 + 201) / 4);
    // True colour keeps the mean itself.
    o.trueColor = true;
    ASSERT_TRUE(DecodePng(MakePng(5, 3, rgba, PNG_COLOR_TYPE_RGB_ALPHA), "half.png", o, &img));
    EXPECT_EQ(img.bytesPerPixel, 3);
    EXPECT_EQ(img.pixels[0], 32);
    EXPECT_EQ(img.pixels[3], 48);
}

TEST(ImageDecodeTest, OpaqueAlphaIsNoted) {
    CDecodedImage img;
    ASSERT_TRUE(DecodePng(MakeSolidPng(4, 4, 1, 2, 3, 255), "opaque.png", {}, &img));
    EXPECT_FALSE(img.alphaNotOpaque);
    std::vector<std::uint8_t> rgb(4 * 4 * 4, 255);
    ASSERT_TRUE(DecodePng(MakePng(4, 4, rgb, PNG_COLOR_TYPE_RGB), "rgb.png", {}, &img)) << "no alpha channel at all";
    EXPECT_FALSE(img.alphaNotOpaque);
    rgb[7] = 254;
    ASSERT_TRUE(DecodePng(MakePng(4, 4, rgb, PNG_COLOR_TYPE_RGB_ALPHA), "one.png", {}, &img));
    EXPECT_TRUE(img.alphaNotOpaque);
}

TEST(ImageDecodeTest, SixteenBitPngIsReducedToEightBits) {
    // 16-bit samples v * 257: reduced to v whether libpng truncates or rounds.
    std::vector<std::uint8_t> rgba = {255, 0, 128, 255, 8, 252, 16, 255};
    CDecodedImage img;
    ASSERT_TRUE(DecodePng(MakePng(2, 1, rgba, PNG_COLOR_TYPE_RGB_ALPHA, false, 16), "deep.png", {}, &img));
    EXPECT_EQ(Pixel16(img, 0), Rgb565(255, 0, 128));
    EXPECT_EQ(Pixel16(img, 1), Rgb565(8, 252, 16));
    EXPECT_FALSE(img.alphaNotOpaque);
}

TEST(ImageDecodeTest, GreyPngAndPaletteExpand) {
    std::vector<std::uint8_t> rgba = {200, 0, 0, 255};
    CDecodedImage img;
    ASSERT_TRUE(DecodePng(MakePng(1, 1, rgba, PNG_COLOR_TYPE_GRAY), "grey.png", {}, &img));
    EXPECT_EQ(Pixel16(img, 0), Rgb565(200, 200, 200));
}

struct TBadPngCase {
    std::vector<std::uint8_t> bytes;
    const char* why;
};

TEST(ImageDecodeTest, BrokenPngsFailCleanly) {
    const auto good = MakeSolidPng(16, 16, 1, 2, 3, 4);
    std::vector<std::uint8_t> badCrc = good;
    badCrc[20] ^= 0xFF;  // inside IHDR
    const std::vector<TBadPngCase> cases = {
        {{}, "empty"},
        {std::vector<std::uint8_t>(good.begin(), good.begin() + 8), "signature only"},
        {std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<long>(good.size() / 2)), "truncated"},
        {badCrc, "damaged header"},
        {MakeSolidJpeg(8, 8, 1, 2, 3), "a JPEG is not a PNG"},
        {MakePng(4, 4, std::vector<std::uint8_t>(64, 9), PNG_COLOR_TYPE_RGB_ALPHA, true), "interlaced"},
        {MakePng(9000, 1, std::vector<std::uint8_t>(9000 * 4, 0), PNG_COLOR_TYPE_RGB_ALPHA), "wider than the limit"},
    };
    for (const TBadPngCase& c : cases) {
        CDecodedImage img;
        EXPECT_FALSE(DecodePng(c.bytes, c.why, {}, &img)) << c.why;
        EXPECT_EQ(img.pixels, nullptr) << c.why;
        EXPECT_EQ(img.alpha, nullptr) << c.why;
    }
    TDecodeOptions o;
    o.halve = true;
    CDecodedImage img;
    EXPECT_FALSE(DecodePng(MakeSolidPng(1, 5, 1, 2, 3), "thin.png", o, &img)) << "nothing left after halving";
}

TEST(ImageDecodeTest, GreyJpegGivesGreyInBothPixelFormats) {
    const auto jpg = MakeSolidJpeg(8, 8, 120, 120, 120, 1);
    CDecodedImage img;
    ASSERT_TRUE(DecodeJpeg(jpg, "grey.jpg", {}, &img));
    const std::uint16_t p = Pixel16(img, 27);
    const int r5 = p >> 11, g6 = (p >> 5) & 63, b5 = p & 31;
    EXPECT_EQ(r5, b5);
    EXPECT_EQ(g6 >> 1, r5) << "green carries the same grey with one more bit";
    EXPECT_NEAR(r5, 120 >> 3, 1);
    TDecodeOptions o;
    o.trueColor = true;
    ASSERT_TRUE(DecodeJpeg(jpg, "grey.jpg", o, &img));
    EXPECT_EQ(img.pixels[0], img.pixels[1]);
    EXPECT_EQ(img.pixels[1], img.pixels[2]);
    EXPECT_NEAR(img.pixels[0], 120, 2);
}

TEST(ImageDecodeTest, JpegAlphaTakesTheFirstChannelAndHalvingUsesLibjpegScaling) {
    TDecodeOptions o;
    o.wantPixels = false;
    CDecodedImage img;
    ASSERT_TRUE(DecodeJpeg(MakeSolidJpeg(16, 16, 90, 200, 30), "a.jpg", o, &img));
    EXPECT_EQ(img.pixels, nullptr);
    EXPECT_NEAR(img.alpha[100], 90, 3);
    o.halve = true;
    ASSERT_TRUE(DecodeJpeg(MakeSolidJpeg(16, 16, 90, 200, 30), "a.jpg", o, &img));
    EXPECT_EQ(img.width, 8);
    EXPECT_EQ(img.height, 8);
}

TEST(ImageDecodeTest, JpegFailuresAndTruncation) {
    CDecodedImage img;
    EXPECT_FALSE(DecodeJpeg({}, "empty.jpg", {}, &img)) << "empty input is a fatal error";
    EXPECT_NE(std::strlen(szJPGLastError), 0u) << "libjpeg's message is kept";
    EXPECT_FALSE(DecodeJpeg(MakeSolidJpeg(8, 8, 1, 2, 3, 4), "cmyk.jpg", {}, &img)) << "four components refused";
    EXPECT_EQ(img.pixels, nullptr);
    EXPECT_FALSE(DecodeJpeg(MakeSolidPng(8, 8, 1, 2, 3), "png.jpg", {}, &img));
    // A truncated JPEG decodes what it has; libjpeg fills the rest.
    // Noise in the lower rows keeps the entropy-coded data long, so the cut falls inside it.
    std::vector<std::uint8_t> rgb(64 * 64 * 3, 77);
    for (std::size_t i = 64 * 16 * 3; i < rgb.size(); ++i) rgb[i] = static_cast<std::uint8_t>((i * 2654435761u) >> 13);
    const auto jpg = MakeJpeg(64, 64, rgb, 3);
    const std::vector<std::uint8_t> cut(jpg.begin(), jpg.begin() + static_cast<long>(jpg.size() * 2 / 3));
    ASSERT_TRUE(DecodeJpeg(cut, "cut.jpg", {}, &img));
    EXPECT_EQ(img.width, 64);
    EXPECT_EQ(img.height, 64);
    EXPECT_NEAR((Pixel16(img, 0) >> 11) << 3, 77, 8) << "the part that was there is decoded";
}

}  // namespace
