// Drawing helpers shared by the recipes: the palette of the art direction and the few looks
// every screen repeats (glossy pills, wooden discs, panels with outline and shadow, lettering
// with a border, shaded balls, coins and gems).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "imagegen/Canvas.h"
#include "imagegen/Recipe.h"
#include "imagegen/Text.h"

namespace imagegen::draw {

// Looks name up in a table of {name, value} records; false when it is not there.
template <typename TRecord, std::size_t N, typename TValue>
bool FindNamed(const TRecord (&table)[N], std::string_view name, TValue& out) {
    for (const TRecord& r : table) {
        if (name == r.name) {
            out = r.value;
            return true;
        }
    }
    return false;
}

// The palette.
inline constexpr TRgba kGold = Rgb(0xFFC107), kGoldRim = Rgb(0xFF8F00), kGoldShine = Rgb(0xFFF3C4);
inline constexpr TRgba kGoldDark = Rgb(0xB26A00);
inline constexpr TRgba kRuby = Rgb(0xD81B60), kRubyLight = Rgb(0xFF80AB);
inline constexpr TRgba kDiamond = Rgb(0xB3E5FC);
inline constexpr TRgba kWoodDark = Rgb(0x4E342E), kWoodMid = Rgb(0x795548), kWoodLight = Rgb(0xA1887F);
inline constexpr TRgba kParchment = Rgb(0xF3E5C8), kParchmentLine = Rgb(0xC9B38C);
inline constexpr TRgba kPanel = Rgb(0x3E2A1E, 235.0f / 255.0f), kPanelBorder = Rgb(0xC8A165);
inline constexpr TRgba kTitle = Rgb(0xFFD640);
inline constexpr TRgba kCream = Rgb(0xFFF3D6);
inline constexpr TRgba kInk = Rgb(0x2B1B12);
inline constexpr TRgba kWhite = Rgb(0xFFFFFF), kBlack = Rgb(0x000000);
// The drop shadow of the art direction: black at alpha 90.
inline constexpr TRgba kShadow = Rgb(0x000000, 90.0f / 255.0f);

struct TMarbleColours {
    TRgba base, light, dark;
};
// Marble colour types 0..3: red, green, blue, yellow.
TMarbleColours MarbleColours(int type);

struct TButtonColours {
    TRgba top, bottom, outline;
};
// green, blue, red, teal, grey, orange, cream, purple; false for another name.
bool ButtonColoursByName(std::string_view name, TButtonColours& out);
// The table argument "colour" as a button colour name (the recipe fails on an unknown one).
TButtonColours ButtonColoursArg(const CRecipeContext& ctx, const std::string& key, const std::string& fallback);

// A glossy rounded button filling the box, drawn in its normal or pressed state: shadow, body
// gradient, outline, lip and gloss.
void Pill(CCanvas& c, float x, float y, float w, float h, float radius, const TButtonColours& colours, bool pressed);
// The same look on any body shape (tabs, plates).
void GlossyBody(CCanvas& c, const CShape& body, float top, float bottom, const TButtonColours& colours, bool pressed);

// A round wooden disc with a bevel, as behind icon buttons.
void WoodDisc(CCanvas& c, float cx, float cy, float r, bool pressed);
// A glossy coloured disc with a white rim (badges, notification dots).
void GlossDisc(CCanvas& c, float cx, float cy, float r, const TRgba& colour, float rimWidth);

// A pictogram shape filled in one colour with a darker one-pixel shadow below it.
void Pictogram(CCanvas& c, const CShape& shape, const TRgba& colour, const TRgba& shadow, float shadowDy = 1.0f);

// A ball with the sphere shader, its outline and a soft contact shadow below.
void Marble(CCanvas& c, float cx, float cy, float r, const TMarbleColours& colours, bool shadow = true);
// A gold coin seen from the front with an embossed letter.
void Coin(CCanvas& c, float cx, float cy, float r, bool letter = true);
// A faceted gem (hexagonal cut) in the given colours.
void Gem(CCanvas& c, float cx, float cy, float r, const TRgba& base, const TRgba& light, const TRgba& dark);

// Lettering with a border and a shadow; the fill is a paint so titles can carry a gradient.
struct TLettering {
    TPaint fill = Solid(kWhite);
    TRgba border = kBlack;
    float borderWidth = 0;  // 0: none
    TRgba shadow = kShadow;
    float shadowDx = 0, shadowDy = 0;  // 0, 0: none
    float grow = 0;                    // fattens the letters (rounder, chunkier)
};
// Draws the text and returns its shape (without border), for recipes that add details.
CShape Letters(CCanvas& c, std::string_view text, float pixelSize, float x, float baseline, EAlign align,
               const TLettering& style);
// The pixel size at which the text is at most maxWidth wide, capped at pixelSize.
float FitSize(std::string_view text, float pixelSize, float maxWidth);

// A star-shaped sparkle (four long points and four short ones), for shine on metal and glass.
CShape Sparkle(float cx, float cy, float r);

}  // namespace imagegen::draw
