// Lettering against FreeType asked directly: advances with kerning, and the outline of a glyph
// whose shape is known (the capital I of DejaVu Sans Bold is a plain rectangle).
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include "imagegen/Canvas.h"
#include "imagegen/Text.h"

using namespace imagegen;

namespace {

std::string BoldPath() { return std::string(COBBLE_DEJAVU_DIR) + "/DejaVuSans-Bold.ttf"; }

// DejaVu Sans Bold opened with FreeType directly, the reference the tests compare with.
struct TReferenceFace {
    FT_Library lib = nullptr;
    FT_Face face = nullptr;
    TReferenceFace() {
        if (FT_Init_FreeType(&lib) != 0 || FT_New_Face(lib, BoldPath().c_str(), 0, &face) != 0) face = nullptr;
    }
    ~TReferenceFace() {
        if (face) FT_Done_Face(face);
        if (lib) FT_Done_FreeType(lib);
    }
};

// FreeType's own unhinted layout at a pixel size: 26.6 advances plus unfitted kerning.
double ReferenceWidth(const std::string& text, int size) {
    TReferenceFace ref;
    if (ref.face == nullptr || FT_Set_Char_Size(ref.face, 0, size * 64, 72, 72) != 0) return -1;
    double width = 0;
    FT_UInt previous = 0;
    for (char ch : text) {
        const FT_UInt index = FT_Get_Char_Index(ref.face, static_cast<unsigned char>(ch));
        FT_Vector kern{0, 0};
        if (previous != 0 && FT_HAS_KERNING(ref.face))
            FT_Get_Kerning(ref.face, previous, index, FT_KERNING_UNFITTED, &kern);
        FT_Load_Glyph(ref.face, index, FT_LOAD_NO_HINTING);
        width += (kern.x + ref.face->glyph->advance.x) / 64.0;
        previous = index;
    }
    return width;
}

}  // namespace

TEST(Text, MeasuresAsFreeTypeLaysOut) {
    const CFont* font = BoldFont();
    ASSERT_NE(font, nullptr);
    for (const char* text : {"Cobblebrooks", "AVATAR", "Wo", "x 1,234"}) {
        const double expected = ReferenceWidth(text, 30);
        ASSERT_GE(expected, 0);
        EXPECT_NEAR(font->Measure(text, 30), expected, 0.1) << text;
    }
}

TEST(Text, AGlyphFillsItsOutline) {
    const CFont* font = BoldFont();
    ASSERT_NE(font, nullptr);
    // The I's box at 40 px, from its outline in font units.
    TReferenceFace ref;
    ASSERT_NE(ref.face, nullptr);
    ASSERT_EQ(FT_Load_Char(ref.face, 'I', FT_LOAD_NO_SCALE), 0);
    FT_BBox box;
    FT_Outline_Get_CBox(&ref.face->glyph->outline, &box);
    const double scale = 40.0 / ref.face->units_per_EM;
    const double w = (box.xMax - box.xMin) * scale, h = (box.yMax - box.yMin) * scale;

    CCanvas c(60, 60);
    const CShape glyph = font->Shape("I", 40, 10, 50);
    c.Fill(glyph, Rgb(0xFFFFFF));
    const CImage image = c.Resolve();
    double area = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x) area += image.At(x, y)[3] / 255.0;
    EXPECT_NEAR(area, w * h, w * h * 0.01);
    EXPECT_NEAR(glyph.Bounds().y1, 50, 0.05) << "the I sits on the baseline";
    EXPECT_NEAR(50 - glyph.Bounds().y0, font->CapHeight(40), 0.05);
    // Centred text is centred on x.
    const CShape centred = font->Shape("Hello", 20, 100, 50, EAlign::Centre);
    const double mid = (centred.Bounds().x0 + centred.Bounds().x1) / 2;
    EXPECT_NEAR(mid, 100, 1.5);
}

TEST(Text, RasterisedLabelsFollowFreeTypesHintedLayout) {
    const CFont* font = BoldFont();
    ASSERT_NE(font, nullptr);
    // The reference: FreeType's hinted advances and line height at 12 px, asked directly.
    TReferenceFace ref;
    ASSERT_NE(ref.face, nullptr);
    ASSERT_EQ(FT_Set_Pixel_Sizes(ref.face, 0, 12), 0);
    int width = 0;
    for (char ch : std::string("Hi there")) {
        ASSERT_EQ(FT_Load_Char(ref.face, static_cast<unsigned char>(ch), FT_LOAD_DEFAULT), 0);
        width += static_cast<int>((ref.face->glyph->advance.x + 32) >> 6);
    }
    const FT_Size_Metrics& m = ref.face->size->metrics;
    const int height = static_cast<int>(((m.ascender + 63) >> 6) + ((-m.descender + 63) >> 6));

    const CImage label = font->Rasterise("Hi there", 12, Rgb(0xFF8000));
    EXPECT_EQ(label.Width(), width);
    EXPECT_EQ(label.Height(), height);
    int inked = 0;
    for (int y = 0; y < label.Height(); ++y)
        for (int x = 0; x < label.Width(); ++x) {
            const std::uint8_t* p = label.At(x, y);
            if (p[3] == 0) continue;
            ++inked;
            EXPECT_EQ(p[0], 255);
            EXPECT_EQ(p[1], 128);
        }
    EXPECT_GT(inked, 30);
}

TEST(Text, AFontThatCannotBeOpenedSaysSo) {
    CFont font;
    std::string error;
    EXPECT_FALSE(font.Load("/nonexistent/font.ttf", error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(font.IsLoaded());
    EXPECT_TRUE(font.Shape("A", 10, 0, 0).IsEmpty());
}
