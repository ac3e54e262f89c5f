// The contact sheet: every image of the table as the build wrote it, on a checkerboard that
// shows its transparency, labelled with its path and size; then a sample line of each font
// record and each text style of a style file, drawn from the baked glyph images and metrics the
// way the game draws text. It is how the art is judged by eye.
#pragma once

#include <string>
#include <vector>

#include "imagegen/Image.h"
#include "imagegen/ImageTable.h"

namespace imagegen {

// imagesDir is the images folder the table was drawn into; stylesPath (optional) a style file
// whose font records name files below imagesDir. Images are drawn zoom times larger. False with
// a message when an image or font cannot be read.
[[nodiscard]] bool BuildContactSheet(const std::vector<TImageSpec>& specs, const std::string& imagesDir,
                                     const std::string& stylesPath, int zoom, CImage& out, std::string& error);

// A bitmap font as the game reads it: the glyph image and the A, B, C widths (quarter pixels)
// of codes 32..255.
struct TBakedFontView {
    CImage glyphs;
    int a[256] = {}, b[256] = {}, c[256] = {};
    int spaceWidth = 0;     // pixels
    int letterSpacing = 0;  // pixels added after every other character
};
// False with a message when the metrics are shorter than the 224 entries.
[[nodiscard]] bool ReadFdb(const std::vector<std::uint8_t>& bytes, TBakedFontView& font, std::string& error);
// The width the game's text layout gives the text.
int TextWidth(const TBakedFontView& font, const std::string& text);
// Draws text with its top-left at (x, y), tinted by the colour; effect 0 none, 1 shadow, 2 border
// (the game's black copies).
void DrawBakedText(CImage& dst, const TBakedFontView& font, const std::string& text, int x, int y,
                   const std::uint8_t rgb[3], int effect);

}  // namespace imagegen
