// Colours of the image generator: straight (not premultiplied) RGBA in floats 0..1, with the
// few helpers the recipes use to derive shades from a palette entry.
#pragma once

#include <cstdint>
#include <string_view>

namespace imagegen {

struct TRgba {
    float r = 0, g = 0, b = 0, a = 0;
};

// 0xRRGGBB with an alpha of 0..1.
constexpr TRgba Rgb(std::uint32_t rgb, float alpha = 1.0f) {
    return {static_cast<float>((rgb >> 16) & 0xFF) / 255.0f, static_cast<float>((rgb >> 8) & 0xFF) / 255.0f,
            static_cast<float>(rgb & 0xFF) / 255.0f, alpha};
}

// Parses "#RRGGBB" or "RRGGBB" (optionally followed by "/AA", a hex alpha); false when malformed.
[[nodiscard]] bool ParseColour(std::string_view text, TRgba& out);

// Component-wise blend from a (t = 0) to b (t = 1), alpha included; t is clamped to 0..1.
TRgba Mix(const TRgba& a, const TRgba& b, float t);
// Towards white (amount > 0) or black (amount < 0), alpha kept; amount in -1..1.
TRgba Shade(const TRgba& c, float amount);
TRgba WithAlpha(const TRgba& c, float alpha);
// Rec. 601 luma of the colour, 0..1.
float Luma(const TRgba& c);

}  // namespace imagegen
