// PNG files read back with libpng's own reader, the opacity and neutrality checks, and sheet
// layout against frames made by hand.
#include <gtest/gtest.h>

#include <png.h>

#include <cstring>

#include "imagegen/Image.h"

using namespace imagegen;

namespace {

struct TPngFacts {
    png_uint_32 width = 0, height = 0;
    int colourType = -1, bitDepth = 0;
    std::vector<std::uint8_t> rows;  // as stored
};

void ReadMemory(png_structp png, png_bytep out, png_size_t length) {
    auto* cursor = static_cast<std::pair<const std::uint8_t*, std::size_t>*>(png_get_io_ptr(png));
    if (length > cursor->second) png_error(png, "short");
    std::memcpy(out, cursor->first, length);
    cursor->first += length;
    cursor->second -= length;
}

// The header and rows as libpng reads them, without any conversion.
TPngFacts ReadPng(const std::vector<std::uint8_t>& bytes) {
    TPngFacts facts;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::pair<const std::uint8_t*, std::size_t> cursor{bytes.data(), bytes.size()};
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_set_read_fn(png, &cursor, ReadMemory);
        png_read_info(png, info);
        facts.width = png_get_image_width(png, info);
        facts.height = png_get_image_height(png, info);
        facts.colourType = png_get_color_type(png, info);
        facts.bitDepth = png_get_bit_depth(png, info);
        const std::size_t stride = png_get_rowbytes(png, info);
        facts.rows.resize(stride * facts.height);
        for (png_uint_32 y = 0; y < facts.height; ++y) png_read_row(png, &facts.rows[y * stride], nullptr);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return facts;
}

CImage Solid(int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    CImage image(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = image.At(x, y);
            p[0] = r;
            p[1] = g;
            p[2] = b;
            p[3] = a;
        }
    return image;
}

}  // namespace

TEST(Image, OpaqueImagesAreWrittenWithoutAnAlphaChannel) {
    CImage image = Solid(3, 2, 10, 20, 30, 255);
    image.At(2, 1)[0] = 200;
    const TPngFacts rgb = ReadPng(EncodePng(image, EPngForm::Rgb));
    EXPECT_EQ(rgb.colourType, PNG_COLOR_TYPE_RGB);
    EXPECT_EQ(rgb.bitDepth, 8);
    EXPECT_EQ(rgb.width, 3u);
    EXPECT_EQ(rgb.height, 2u);
    EXPECT_EQ(rgb.rows,
              (std::vector<std::uint8_t>{10, 20, 30, 10, 20, 30, 10, 20, 30, 10, 20, 30, 10, 20, 30, 200, 20, 30}));

    image.At(0, 0)[3] = 7;
    const TPngFacts rgba = ReadPng(EncodePng(image, EPngForm::Rgba));
    EXPECT_EQ(rgba.colourType, PNG_COLOR_TYPE_RGB_ALPHA);
    EXPECT_EQ(rgba.rows[3], 7);
    EXPECT_EQ(rgba.rows.size(), 3u * 2u * 4u);
}

TEST(Image, EqualImagesGiveEqualFilesAndDecodeBack) {
    const CImage image = Solid(5, 4, 1, 2, 3, 128);
    const std::vector<std::uint8_t> a = EncodePng(image, EPngForm::Rgba), b = EncodePng(image, EPngForm::Rgba);
    EXPECT_EQ(a, b) << "no time stamps";
    CImage decoded;
    std::string error;
    ASSERT_TRUE(DecodePng(a, decoded, error)) << error;
    EXPECT_EQ(decoded.Bytes(), image.Bytes());
    const std::vector<std::uint8_t> junk = {1, 2, 3, 4};
    EXPECT_FALSE(DecodePng(junk, decoded, error));
    EXPECT_FALSE(error.empty());
}

TEST(Image, OpacityAndNeutralityChecks) {
    CImage image = Solid(2, 2, 90, 90, 90, 255);
    EXPECT_TRUE(IsOpaque(image));
    EXPECT_TRUE(IsNeutral(image));
    image.At(1, 1)[3] = 254;
    EXPECT_FALSE(IsOpaque(image));
    image.At(0, 1)[2] = 91;
    EXPECT_FALSE(IsNeutral(image));
    image.At(0, 1)[3] = 0;
    EXPECT_TRUE(IsNeutral(image)) << "the colour of a transparent pixel does not show";
}

TEST(Image, SheetChecksFollowTheSpriteLoadersCut) {
    struct TCase {
        const char* why;
        TSheetLayout layout;
        int width, height;
        bool ok;
    };
    const TCase cases[] = {
        {"one row of four", {10, 8, 4, 4}, 40, 8, true},
        {"two rows, the last part-filled", {10, 8, 5, 3}, 30, 16, true},
        {"one frame per row", {150, 14, 4, 1}, 150, 56, true},
        {"width not a multiple of the row length", {10, 8, 4, 4}, 42, 8, false},
        {"divides, but into frames of another size", {10, 8, 4, 4}, 80, 8, false},
        {"height not a multiple of the rows", {10, 8, 5, 3}, 30, 17, false},
        {"more per row than frames", {10, 8, 2, 3}, 30, 8, false},
        {"no frames", {10, 8, 0, 1}, 10, 8, false},
    };
    for (const TCase& c : cases) {
        std::string error;
        EXPECT_EQ(CheckSheet(c.layout, c.width, c.height, error), c.ok) << c.why;
        EXPECT_EQ(error.empty(), c.ok) << c.why;
    }
}

TEST(Image, SheetsPlaceFramesRowMajor) {
    const TSheetLayout layout{2, 3, 5, 2};
    std::vector<CImage> frames;
    for (int i = 0; i < 5; ++i) frames.push_back(Solid(2, 3, static_cast<std::uint8_t>(10 * (i + 1)), 0, 0, 255));
    CImage sheet;
    std::string error;
    ASSERT_TRUE(AssembleSheet(layout, frames, sheet, error)) << error;
    EXPECT_EQ(sheet.Width(), 4);
    EXPECT_EQ(sheet.Height(), 9);
    EXPECT_EQ(sheet.At(0, 0)[0], 10);
    EXPECT_EQ(sheet.At(3, 2)[0], 20) << "frame 1 to the right of frame 0";
    EXPECT_EQ(sheet.At(1, 3)[0], 30) << "frame 2 starts the second row";
    EXPECT_EQ(sheet.At(0, 8)[0], 50);
    EXPECT_EQ(sheet.At(3, 8)[3], 0) << "the rest of the last row stays empty";

    frames[3] = Solid(3, 3, 0, 0, 0, 255);
    EXPECT_FALSE(AssembleSheet(layout, frames, sheet, error)) << "a frame of another size";
    frames.pop_back();
    EXPECT_FALSE(AssembleSheet(layout, frames, sheet, error)) << "a frame missing";
}

TEST(Image, CompositeBlendsAndClips) {
    CImage dst = Solid(3, 1, 0, 0, 255, 255);
    const CImage src = Solid(2, 1, 255, 0, 0, 128);
    Composite(dst, src, 2, 0);
    EXPECT_EQ(dst.At(1, 0)[0], 0);
    EXPECT_NEAR(dst.At(2, 0)[0], 128, 1);
    EXPECT_NEAR(dst.At(2, 0)[2], 127, 1);
    EXPECT_EQ(dst.At(2, 0)[3], 255);
}
