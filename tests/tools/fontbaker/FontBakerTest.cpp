// The font baker: metrics against FreeType's own advances, the grid, the effects, the encoded
// files, and the command line.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include <ft2build.h>
#include FT_FREETYPE_H
#include <png.h>

#include "fontbaker/FontBaker.h"

namespace {

std::string Sans() { return std::string(COBBLE_DEJAVU_DIR) + "/DejaVuSans.ttf"; }

fontbaker::TBakedFont Bake(fontbaker::TBakeOptions o) {
    fontbaker::TBakedFont font;
    std::string error;
    EXPECT_TRUE(fontbaker::BakeFont(o, font, error)) << error;
    return font;
}

fontbaker::TBakeOptions Options(int size, fontbaker::EEffect effect = fontbaker::EEffect::None) {
    fontbaker::TBakeOptions o;
    o.fontPath = Sans();
    o.pixelSize = size;
    o.effect = effect;
    return o;
}

// FreeType's rounded advance of a character at a pixel size, asked directly.
int FreeTypeAdvance(int size, unsigned long code) {
    FT_Library lib = nullptr;
    FT_Face face = nullptr;
    int advance = -1;
    if (FT_Init_FreeType(&lib) == 0 && FT_New_Face(lib, Sans().c_str(), 0, &face) == 0 &&
        FT_Set_Pixel_Sizes(face, 0, size) == 0 && FT_Load_Char(face, code, FT_LOAD_DEFAULT) == 0)
        advance = static_cast<int>((face->glyph->advance.x + 32) >> 6);
    if (face) FT_Done_Face(face);
    if (lib) FT_Done_FreeType(lib);
    return advance;
}

std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

}  // namespace

TEST(FontBaker, MetricsMoveThePenByFreeTypesAdvance) {
    const fontbaker::TBakedFont font = Bake(Options(18));
    for (unsigned long code : {0x41ul, 0x67ul, 0x69ul, 0x57ul, 0x20ul, 0x5Ful, 0xE9ul, 0xDFul}) {
        const fontbaker::TAbc& abc = font.abc[code];
        // The loader moves the pen by (B + C) / 4 + A / 4.
        const int pen = static_cast<int>((abc.b + static_cast<std::uint32_t>(abc.c)) >> 2) + (abc.a >> 2);
        EXPECT_EQ(pen, FreeTypeAdvance(18, code)) << "code " << code;
        EXPECT_GE(abc.a, 0) << "no lead before the pen";
        // The drawn span must fit the cell, so no glyph reads its neighbour.
        EXPECT_LE((abc.a + static_cast<std::int32_t>(abc.b)) / 4 + 1, font.cellWidth) << code;
    }
    EXPECT_EQ(font.abc[0x85].b, 0u) << "C1 controls stay empty";
    EXPECT_EQ(font.columns, 16);
    EXPECT_EQ(font.rows, 14);
    EXPECT_EQ(font.width, font.cellWidth * 16);
    EXPECT_EQ(font.height, font.cellHeight * 14);
}

TEST(FontBaker, GlyphListGridAndFdbLayout) {
    fontbaker::TBakeOptions o = Options(12);
    const std::string codes = "0123456789:.-+ABCDEFG";  // 21 codes: two rows of 16
    o.glyphs.assign(codes.begin(), codes.end());
    o.verticalInset = 6;
    const fontbaker::TBakedFont font = Bake(o);
    EXPECT_EQ(font.columns, 16);
    EXPECT_EQ(font.rows, 2);
    const std::vector<std::uint8_t> fdb = fontbaker::EncodeFdb(font);
    ASSERT_EQ(fdb.size(), 2688u + 4 + 4 + codes.size());
    EXPECT_EQ(Le32(fdb, 2688), 6u) << "V";
    EXPECT_EQ(Le32(fdb, 2692), codes.size()) << "N";
    EXPECT_EQ(std::string(fdb.begin() + 2696, fdb.end()), codes);
    const std::size_t recordA = static_cast<std::size_t>('A' - 32) * 12;
    EXPECT_EQ(Le32(fdb, recordA + 4), font.abc['A'].b);

    // Cell 14 ('A') is column 14 of the first row: its ink starts at the cell's left edge.
    int inkColumns = 0;
    for (int x = 0; x < font.cellWidth; ++x) {
        bool any = false;
        for (int y = 0; y < font.cellHeight; ++y)
            any = any || font.rgba[(static_cast<std::size_t>(y) * font.width + 14 * font.cellWidth + x) * 4 + 3] > 0;
        inkColumns += any;
    }
    EXPECT_EQ(inkColumns * 4, static_cast<int>(font.abc['A'].b));

    fontbaker::TBakedFont plain = Bake(Options(12));
    EXPECT_EQ(fontbaker::EncodeFdb(plain).size(), 2692u) << "no list: the ABC block and V";
}

TEST(FontBaker, OutlineAndShadowAreBlackAroundTheColouredInk) {
    fontbaker::TBakeOptions o = Options(20);
    o.r = 250;
    o.g = 100;
    o.b = 20;
    const fontbaker::TBakedFont plain = Bake(o);
    o.effect = fontbaker::EEffect::Outline;
    const fontbaker::TBakedFont outlined = Bake(o);
    o.effect = fontbaker::EEffect::Shadow;
    const fontbaker::TBakedFont shadowed = Bake(o);
    EXPECT_EQ(outlined.abc['I'].b, plain.abc['I'].b + 8) << "one pixel each side";
    EXPECT_EQ(shadowed.abc['I'].b, plain.abc['I'].b + 4) << "one pixel to the right";

    auto count = [](const fontbaker::TBakedFont& f, auto pred) {
        int n = 0;
        for (std::size_t i = 0; i < f.rgba.size(); i += 4) n += pred(&f.rgba[i]);
        return n;
    };
    auto solidInk = [](const std::uint8_t* p) { return p[3] == 255 && p[0] == 250 && p[1] == 100 && p[2] == 20; };
    auto solidBlack = [](const std::uint8_t* p) { return p[3] == 255 && p[0] == 0 && p[1] == 0 && p[2] == 0; };
    EXPECT_GT(count(plain, solidInk), 100);
    EXPECT_EQ(count(plain, solidBlack), 0);
    EXPECT_GT(count(outlined, solidBlack), count(outlined, solidInk) / 2);
    EXPECT_GT(count(shadowed, solidBlack), 10);
}

TEST(FontBaker, RefusesBadOptions) {
    struct TCase {
        fontbaker::TBakeOptions options;
        const char* why;
    };
    fontbaker::TBakeOptions missing = Options(12);
    missing.fontPath = "/nonexistent/font.ttf";
    fontbaker::TBakeOptions tiny = Options(2);
    fontbaker::TBakeOptions low = Options(12);
    low.glyphs = {'A', 10};
    fontbaker::TBakeOptions many = Options(12);
    many.glyphs.assign(225, 'A');
    fontbaker::TBakeOptions wide = Options(12);
    wide.cellMarginY = 17;
    const TCase cases[] = {{missing, "no font file"},
                           {tiny, "size below 4"},
                           {low, "a code below 32"},
                           {many, "225 codes"},
                           {wide, "a cell margin above 16"}};
    for (const TCase& c : cases) {
        fontbaker::TBakedFont out;
        std::string error;
        EXPECT_FALSE(fontbaker::BakeFont(c.options, out, error)) << c.why;
        EXPECT_FALSE(error.empty()) << c.why;
    }
}

TEST(FontBaker, Windows1252GivesTheHighControlRangeItsCharacters) {
    struct TCase {
        int code;
        std::uint32_t latin1, cp1252;
    };
    // Windows-1252 as published: the euro, quotes, dashes; five codes undefined.
    const TCase cases[] = {{0x41, 0x41, 0x41}, {0x7F, 0, 0},       {0x80, 0, 0x20AC},  {0x81, 0, 0},
                           {0x85, 0, 0x2026},  {0x8D, 0, 0},       {0x93, 0, 0x201C},  {0x97, 0, 0x2014},
                           {0x9F, 0, 0x0178},  {0xA0, 0xA0, 0xA0}, {0xE9, 0xE9, 0xE9}, {0x1F, 0, 0}};
    for (const TCase& c : cases) {
        EXPECT_EQ(fontbaker::CharacterOf(c.code, fontbaker::ECharMap::Latin1), c.latin1) << c.code;
        EXPECT_EQ(fontbaker::CharacterOf(c.code, fontbaker::ECharMap::Cp1252), c.cp1252) << c.code;
    }
    fontbaker::TBakeOptions o = Options(18);
    o.charMap = fontbaker::ECharMap::Cp1252;
    const fontbaker::TBakedFont font = Bake(o);
    const fontbaker::TAbc& euro = font.abc[0x80];
    EXPECT_GT(euro.b, 0u) << "the euro sign is drawn";
    EXPECT_EQ(static_cast<int>((euro.b + static_cast<std::uint32_t>(euro.c)) >> 2) + (euro.a >> 2),
              FreeTypeAdvance(18, 0x20AC));
    EXPECT_EQ(font.abc[0x81].b, 0u) << "an undefined code stays empty";
    EXPECT_EQ(Bake(Options(18)).abc[0x80].b, 0u) << "Latin-1 leaves 0x80 to a control code";
}

TEST(FontBaker, TheCellMarginLeavesABlankRowAboveAndBelow) {
    const fontbaker::TBakedFont plain = Bake(Options(13));
    fontbaker::TBakeOptions o = Options(13);
    o.cellMarginY = 1;
    const fontbaker::TBakedFont font = Bake(o);
    EXPECT_EQ(font.cellHeight, plain.cellHeight + 2);
    EXPECT_EQ(font.baseline, plain.baseline + 1);
    EXPECT_EQ(font.height, font.cellHeight * 14);
    ASSERT_EQ(font.width, plain.width);
    const std::size_t stride = static_cast<std::size_t>(font.width) * 4;
    for (int row = 0; row < 14; ++row) {
        const std::uint8_t* cells = &font.rgba[static_cast<std::size_t>(row * font.cellHeight) * stride];
        const std::uint8_t* plainCells = &plain.rgba[static_cast<std::size_t>(row * plain.cellHeight) * stride];
        for (std::size_t x = 3; x < stride; x += 4) {
            ASSERT_EQ(cells[x], 0) << "ink in the top margin of cell row " << row;
            ASSERT_EQ(cells[static_cast<std::size_t>(font.cellHeight - 1) * stride + x], 0) << "bottom margin " << row;
        }
        // Between the margins each cell holds the unmargined cell, one row lower.
        for (int y = 0; y < plain.cellHeight; ++y)
            ASSERT_EQ(std::memcmp(cells + static_cast<std::size_t>(y + 1) * stride,
                                  plainCells + static_cast<std::size_t>(y) * stride, stride),
                      0)
                << "cell row " << row << ", pixel row " << y;
    }
}

TEST(FontBaker, EncodedFilesOfEachFormDecode) {
    const fontbaker::TBakedFont font = Bake(Options(14, fontbaker::EEffect::Shadow));
    struct TCase {
        fontbaker::EForm form;
        std::vector<std::string> names;
    } const cases[] = {
        {fontbaker::EForm::RgbaPng, {"F_rgba.png", "F.fdb"}},
        {fontbaker::EForm::RgbaJpeg, {"F_rgba.jpg", "F_rgba_a.jpg", "F.fdb"}},
        {fontbaker::EForm::AlphaJpeg, {"F.jpg", "F.fdb"}},
        {fontbaker::EForm::AlphaJpegWithColour, {"F.jpg", "F_eff.jpg", "F.fdb"}},
    };
    for (const TCase& c : cases) {
        const auto files = fontbaker::EncodeFiles(font, "F", c.form);
        std::vector<std::string> names;
        for (const auto& f : files) {
            names.push_back(f.first);
            ASSERT_GT(f.second.size(), 100u) << f.first;
        }
        EXPECT_EQ(names, c.names);
    }
    // The PNG holds the baked pixels exactly (read back with libpng's simplified API).
    const std::vector<std::uint8_t> png = fontbaker::EncodePngRgba(font);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_memory(&image, png.data(), png.size()));
    image.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr));
    EXPECT_EQ(static_cast<int>(image.width), font.width);
    EXPECT_EQ(pixels, font.rgba);
}

TEST(FontBakerCommandLine, WritesTheFilesAndRejectsBadArguments) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("cobble_fontbaker_" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(dir);
    const std::string tool = std::string(COBBLE_BINARY_DIR) + "/tools/fontbaker/fontbaker";
    const std::string base = (dir / "ui").string();
    auto run = [&](const std::string& args) {
        const int status = std::system((tool + " " + args + " > /dev/null 2>&1").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(run("--font " + Sans() + " --size 12 --out " + base +
                  " --form alpha-jpg-eff --colour 255,0,0 --effect outline"),
              0);
    for (const char* leaf : {"ui.jpg", "ui_eff.jpg", "ui.fdb"})
        EXPECT_TRUE(std::filesystem::exists(dir / leaf)) << leaf;
    EXPECT_EQ(std::filesystem::file_size(dir / "ui.fdb"), 2692u);
    // The names it prints: as written, or relative to a folder they lie below (a build's own),
    // never relative to one they lie outside.
    const auto printed = [&](const std::string& args) {
        const std::string listing = (dir / "printed.txt").string();
        const int status = std::system(
            (tool + " --font " + Sans() + " --size 12 --out " + base + " " + args + " > " + listing + " 2>/dev/null")
                .c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << args;
        std::ifstream in(listing);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    };
    EXPECT_EQ(printed(""), base + "_rgba.png\n" + base + ".fdb\n");
    EXPECT_EQ(printed("--names-relative-to " + dir.string()), "ui_rgba.png\nui.fdb\n");
    EXPECT_EQ(printed("--names-relative-to " + dir.parent_path().string() + "/"),
              dir.filename().string() + "/ui_rgba.png\n" + dir.filename().string() + "/ui.fdb\n");
    EXPECT_EQ(printed("--names-relative-to " + (dir / "elsewhere").string()), base + "_rgba.png\n" + base + ".fdb\n");
    EXPECT_EQ(run("--font " + Sans() + " --size 12 --out " + base + " --names-relative-to"), 1) << "no folder";
    EXPECT_EQ(run("--font " + Sans() + " --size 12"), 1) << "no output";
    EXPECT_EQ(run("--font " + Sans() + " --size 12 --out " + base + " --effect glitter"), 1);
    EXPECT_EQ(run("--font " + Sans() + " --size 12 --out " + base + " --colour 300,0,0"), 1);
    EXPECT_EQ(run("--font /nonexistent.ttf --size 12 --out " + base), 2);
    EXPECT_EQ(run("--font " + Sans() + " --size 12 --out " + (dir / "no" / "such" / "dir").string()), 2);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}
