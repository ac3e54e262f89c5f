// JPEG decoding against a plain libjpeg decode to red, green, blue bytes, converted and placed
// here by the rules of the decoded planes: every pixel of every plane, for grey and colour
// images, each orientation mode, halving, both pixel formats and each choice of planes. The image
// is odd-sized and taller than the decoder's bands, so row groups, band ends and part lane groups
// are all crossed.
#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

#include "render/ImageDecode.h"
#include "testsupport/ImageFixtures.h"
#include "testsupport/MemoryFiles.h"

namespace {

constexpr int kW = 301, kH = 519;

std::vector<std::uint8_t> PhotoLike() {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(kW) * kH * 3);
    std::uint32_t seed = 99;
    for (std::size_t i = 0; i < rgb.size(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        const std::size_t pixel = i / 3;
        const int x = static_cast<int>(pixel % kW), y = static_cast<int>(pixel / kW);
        rgb[i] = static_cast<std::uint8_t>((x * (1 + i % 3) + y * 2 + (seed >> 27)) & 255);
    }
    return rgb;
}

struct TReference {
    int width = 0, height = 0, components = 0;
    std::vector<std::uint8_t> samples;  // width x height x components, as libjpeg gives them
};

struct TRefError {
    jpeg_error_mgr pub;
    jmp_buf jump;
};

// libjpeg's own decode: default settings, JCS_RGB for colour, libjpeg's 1/2 scaling to halve.
TReference ReferenceDecode(const std::vector<std::uint8_t>& jpeg, bool halve) {
    TReference ref;
    jpeg_decompress_struct cinfo{};
    TRefError err{};
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = [](j_common_ptr c) { longjmp(reinterpret_cast<TRefError*>(c->err)->jump, 1); };
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return TReference{};
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&cinfo, TRUE);
    if (halve) {
        cinfo.scale_num = 1;
        cinfo.scale_denom = 2;
    }
    jpeg_start_decompress(&cinfo);
    ref.width = static_cast<int>(cinfo.output_width);
    ref.height = static_cast<int>(cinfo.output_height);
    ref.components = cinfo.output_components;
    ref.samples.resize(static_cast<std::size_t>(ref.width) * ref.height * ref.components);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row =
            ref.samples.data() + static_cast<std::size_t>(cinfo.output_scanline) * ref.width * ref.components;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return ref;
}

// The plane index of seen pixel (x, y) of a w x h image, by orientation mode.
std::size_t PlaneIndex(int mode, int w, int h, int x, int y) {
    if (mode == 1) return static_cast<std::size_t>(w - 1 - x) * h + y;
    if (mode == 2) return static_cast<std::size_t>(x) * h + (h - 1 - y);
    return static_cast<std::size_t>(y) * w + x;
}

struct TPlanesCase {
    bool trueColor, wantPixels, wantAlpha;
    const char* why;
};

const TPlanesCase kPlanes[] = {
    {false, true, false, "the game's colour image: RGB565 alone"},
    {false, true, true, "RGB565 with the first channel as alpha"},
    {true, true, false, "true colour"},
    {false, false, true, "an alpha image alone"},
};

void ExpectPlanes(const CDecodedImage& img, const TReference& ref, int mode, const TPlanesCase& p,
                  const std::string& why) {
    ASSERT_EQ(img.width, ref.width) << why;
    ASSERT_EQ(img.height, ref.height) << why;
    ASSERT_EQ(img.pixels != nullptr, p.wantPixels) << why;
    ASSERT_EQ(img.alpha != nullptr, p.wantAlpha) << why;
    bool allOpaque = true;
    for (int y = 0; y < ref.height; ++y) {
        for (int x = 0; x < ref.width; ++x) {
            const std::uint8_t* s = &ref.samples[(static_cast<std::size_t>(y) * ref.width + x) * ref.components];
            const int r = s[0], g = ref.components == 3 ? s[1] : s[0], b = ref.components == 3 ? s[2] : s[0];
            const std::size_t at = PlaneIndex(mode, ref.width, ref.height, x, y);
            if (img.pixels && !p.trueColor) {
                const std::uint16_t want = static_cast<std::uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
                std::uint16_t got;
                std::memcpy(&got, img.pixels + at * 2, 2);
                ASSERT_EQ(got, want) << why << " pixel (" << x << ", " << y << ")";
            } else if (img.pixels) {
                const unsigned char* t = img.pixels + at * 3;
                ASSERT_EQ((std::vector<int>{t[0], t[1], t[2]}), (std::vector<int>{r, g, b}))
                    << why << " pixel (" << x << ", " << y << ")";
            }
            if (img.alpha) {
                ASSERT_EQ(img.alpha[at], r) << why << " alpha (" << x << ", " << y << ")";
            }
            allOpaque = allOpaque && r == 255;
        }
    }
    EXPECT_EQ(img.alphaNotOpaque, p.wantAlpha && !allOpaque) << why;
}

TEST(JpegDecode, EveryPlaneMatchesLibjpegInEveryModeAndFormat) {
    const std::vector<std::uint8_t> rgb = PhotoLike();
    for (int components : {3, 1}) {
        const std::vector<std::uint8_t> jpeg = MakeJpeg(kW, kH, rgb, components);
        for (bool halve : {false, true}) {
            const TReference ref = ReferenceDecode(jpeg, halve);
            ASSERT_EQ(ref.components, components);
            for (int mode = 0; mode < 3; ++mode) {
                for (const TPlanesCase& p : kPlanes) {
                    TDecodeOptions o;
                    o.orientation = mode;
                    o.halve = halve;
                    o.trueColor = p.trueColor;
                    o.wantPixels = p.wantPixels;
                    o.wantAlpha = p.wantAlpha;
                    CDecodedImage img;
                    const std::string why = std::string(p.why) + ", " + std::to_string(components) +
                                            " components, mode " + std::to_string(mode) + (halve ? ", halved" : "");
                    ASSERT_TRUE(DecodeJpeg(jpeg, "photo.jpg", o, &img)) << why;
                    ExpectPlanes(img, ref, mode, p, why);
                }
            }
        }
    }
}

// The stream entry point reads through the file 4096 bytes at a time, the byte entry point hands
// libjpeg the whole span; both must give the same planes.
TEST(JpegDecode, StreamAndBytesGiveTheSamePlanes) {
    const std::vector<std::uint8_t> jpeg = MakeJpeg(kW, kH, PhotoLike(), 3);
    TDecodeOptions o;
    o.orientation = 1;
    CDecodedImage fromBytes, fromStream;
    ASSERT_TRUE(DecodeJpeg(jpeg, "photo.jpg", o, &fromBytes));
    std::unique_ptr<CMemoryFile> file(MemoryFileOver(jpeg));
    ASSERT_TRUE(DecodeJpegStream(file.get(), "photo.jpg", o, &fromStream));
    const std::size_t n = static_cast<std::size_t>(kW) * kH;
    EXPECT_EQ(std::memcmp(fromBytes.pixels, fromStream.pixels, n * 2), 0);
    EXPECT_EQ(std::memcmp(fromBytes.alpha, fromStream.alpha, n), 0);
}

}  // namespace
