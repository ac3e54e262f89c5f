// The font baker: renders a TrueType font (FreeType) at a pixel size into the engine's bitmap
// font: a glyph image holding one cell per character on a grid, and the ".fdb" metrics (A/B/C
// widths in quarter pixels for codes 32..255, the vertical inset, optionally the glyph list).
// Codes 128..255 are taken as Latin-1, or as Windows-1252 (whose 128..159 hold the euro sign,
// typographic quotes and dashes, which Latin-1 leaves to control codes). The ink is drawn in one colour, optionally
// with a black outline or a black shadow baked in. Encoders give the files of each form the loader reads:
//   - "_rgba.png": the full-colour glyph image with its alpha;
//   - "_rgba.jpg" + "_rgba_a.jpg": the same as a colour JPEG and a greyscale alpha JPEG;
//   - ".jpg" (+ "_eff.jpg"): the alpha plane as a greyscale JPEG, and optionally the colour plane.
// Pure C++ over FreeType, libpng (through the image generator's PNG writer) and libjpeg; no
// engine dependency.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace fontbaker {

enum class EEffect { None, Outline, Shadow };
enum class EForm { RgbaPng, RgbaJpeg, AlphaJpeg, AlphaJpegWithColour };
enum class ECharMap { Latin1, Cp1252 };

struct TBakeOptions {
    std::string fontPath;                    // a .ttf file
    int pixelSize = 16;                      // FreeType pixel size (em height)
    std::uint8_t r = 255, g = 255, b = 255;  // ink colour
    EEffect effect = EEffect::None;
    std::vector<std::uint8_t> glyphs;  // codes in cell order; empty = all of 32..255 on 16 x 14
    int verticalInset = 0;             // V, quarter pixels, written into the metrics
    ECharMap charMap = ECharMap::Latin1;
    int cellMarginY = 0;  // empty pixel rows above and below the ink of every cell (0..16)
};

struct TAbc {
    std::int32_t a = 0;
    std::uint32_t b = 0;
    std::int32_t c = 0;
};

struct TBakedFont {
    int width = 0, height = 0;  // glyph image size
    int cellWidth = 0, cellHeight = 0;
    int columns = 0, rows = 0;
    int baseline = 0;                  // pixels from the top of a cell to the baseline
    std::vector<std::uint8_t> rgba;    // width x height x 4, rows from the top
    TAbc abc[256];                     // codes 32..255 filled
    std::vector<std::uint8_t> glyphs;  // the glyph list written, or empty
    int verticalInset = 0;
};

// Renders the font. False with a message when the font cannot be opened or sized, a glyph code
// is below 32, the glyph list holds more than 224 codes, or the cell margin is outside 0..16.
[[nodiscard]] bool BakeFont(const TBakeOptions& options, TBakedFont& out, std::string& error);

// The Unicode character a code 32..255 stands for in the map, or 0 for a code without one
// (DEL, the C1 controls, and the five codes Windows-1252 leaves undefined).
[[nodiscard]] std::uint32_t CharacterOf(int code, ECharMap map);

// The ".fdb" bytes of a baked font.
[[nodiscard]] std::vector<std::uint8_t> EncodeFdb(const TBakedFont& font);
// Image encoders over the baked image.
[[nodiscard]] std::vector<std::uint8_t> EncodePngRgba(const TBakedFont& font);
// quality 1..100; channel: colour (RGB) or alpha (greyscale).
[[nodiscard]] std::vector<std::uint8_t> EncodeJpegColour(const TBakedFont& font, int quality);
[[nodiscard]] std::vector<std::uint8_t> EncodeJpegAlpha(const TBakedFont& font, int quality);

// The files of a form for a font whose glyph-image path is base + ".jpg" (the name the game
// loads): relative names and bytes, the metrics always included as base + ".fdb".
[[nodiscard]] std::vector<std::pair<std::string, std::vector<std::uint8_t>>> EncodeFiles(const TBakedFont& font,
                                                                                         const std::string& base,
                                                                                         EForm form,
                                                                                         int jpegQuality = 95);

}  // namespace fontbaker
