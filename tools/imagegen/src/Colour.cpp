// Colour parsing and blending.
#include "imagegen/Colour.h"

#include <algorithm>

namespace imagegen {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool HexBytes(std::string_view text, std::uint32_t& out) {
    out = 0;
    for (char c : text) {
        const int d = HexDigit(c);
        if (d < 0) return false;
        out = out * 16 + static_cast<std::uint32_t>(d);
    }
    return true;
}

}  // namespace

bool ParseColour(std::string_view text, TRgba& out) {
    if (!text.empty() && text.front() == '#') text.remove_prefix(1);
    std::string_view alphaText;
    if (const std::size_t slash = text.find('/'); slash != std::string_view::npos) {
        alphaText = text.substr(slash + 1);
        text = text.substr(0, slash);
        if (alphaText.size() != 2) return false;
    }
    std::uint32_t rgb = 0, alpha = 255;
    if (text.size() != 6 || !HexBytes(text, rgb)) return false;
    if (!alphaText.empty() && !HexBytes(alphaText, alpha)) return false;
    out = Rgb(rgb, static_cast<float>(alpha) / 255.0f);
    return true;
}

TRgba Mix(const TRgba& a, const TRgba& b, float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

TRgba Shade(const TRgba& c, float amount) {
    const TRgba target = amount >= 0 ? TRgba{1, 1, 1, c.a} : TRgba{0, 0, 0, c.a};
    return Mix(c, target, amount >= 0 ? amount : -amount);
}

TRgba WithAlpha(const TRgba& c, float alpha) { return {c.r, c.g, c.b, alpha}; }

float Luma(const TRgba& c) { return 0.299f * c.r + 0.587f * c.g + 0.114f * c.b; }

}  // namespace imagegen
