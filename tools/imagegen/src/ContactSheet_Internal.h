// Shared between the contact sheet's layout and its mock-ups.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "imagegen/ContactSheet.h"

namespace imagegen {

// How a picture is laid on another: an alpha factor, a tint multiplied into its colour, and
// additive or normal blending.
struct TDrawLook {
    float alpha = 1.0f;
    std::uint8_t tint[3] = {255, 255, 255};
    bool additive = false;
};

// Draws src scaled by (sx, sy) so that its point (ax, ay) lands on (x, y) of dst, filtered
// bilinearly; dst stays opaque.
void DrawScaled(CImage& dst, const CImage& src, float x, float y, float ax, float ay, float sx, float sy,
                const TDrawLook& look);

// A text style as the contact sheet draws it.
struct TStyleView {
    std::string fontId;
    std::uint8_t rgb[3] = {255, 255, 255};
    int effect = 0;
};

// The start menu and an options popup, side by side, from the images below imagesDir and the
// baked fonts and styles; false with a message when an image is missing.
[[nodiscard]] bool BuildMockups(const std::string& imagesDir, const std::map<std::string, TBakedFontView>& fonts,
                                const std::map<std::string, TStyleView>& styles, CImage& out, std::string& error);

}  // namespace imagegen
