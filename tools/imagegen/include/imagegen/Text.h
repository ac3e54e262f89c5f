// Lettering inside images: glyph outlines from FreeType turned into polygon shapes, so text is
// filled, outlined, grown and shadowed like any other shape.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "imagegen/Colour.h"
#include "imagegen/Image.h"
#include "imagegen/Shape.h"

namespace imagegen {

enum class EAlign { Left, Centre, Right };

class CFont {
public:
    CFont();
    ~CFont();
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    // False with a message when FreeType cannot open the file.
    [[nodiscard]] bool Load(const std::string& path, std::string& error);
    bool IsLoaded() const;

    // Width of the text in pixels at the pixel size (advances and kerning, unhinted).
    float Measure(std::string_view text, float pixelSize) const;
    // The text's outline with its baseline at y; x is its left edge, centre or right edge as
    // aligned. Codes are taken as Latin-1.
    CShape Shape(std::string_view text, float pixelSize, float x, float baselineY, EAlign align = EAlign::Left) const;
    // Height above the baseline of capital letters, in pixels at the size.
    float CapHeight(float pixelSize) const;
    // The text rasterised by FreeType itself (hinted, as small labels read best) in one colour,
    // on a transparent image as wide as its advances and as high as the font's line: much
    // cheaper than filling its shape, for text that needs no border or growth.
    CImage Rasterise(std::string_view text, int pixelSize, const TRgba& colour) const;

private:
    struct TState;
    std::unique_ptr<TState> m_state;
};

// DejaVu Sans Bold, loaded once on first use; null when it cannot be opened (the message is
// printed once).
const CFont* BoldFont();

}  // namespace imagegen
