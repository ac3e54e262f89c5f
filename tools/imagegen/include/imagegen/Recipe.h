// Recipes: the drawing code of each image. A recipe draws one frame of its image into a canvas
// of the frame's size; a recipe that draws a whole sheet at once moves the canvas origin to the
// frame it is asked for. Arguments come from the image table.
#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "imagegen/Canvas.h"
#include "imagegen/ImageTable.h"

namespace imagegen {

class CRecipeContext {
public:
    CRecipeContext(const TImageSpec& spec, int frame) : m_spec(spec), m_frame(frame) {}

    const TImageSpec& Spec() const { return m_spec; }
    int Frame() const { return m_frame; }
    float Width() const { return static_cast<float>(m_spec.layout.frameWidth); }
    float Height() const { return static_cast<float>(m_spec.layout.frameHeight); }

    // Argument values; a missing key gives the fallback, a malformed value records an error.
    std::string Text(const std::string& key, const std::string& fallback = "") const;
    float Number(const std::string& key, float fallback) const;
    int Int(const std::string& key, int fallback) const;
    TRgba Colour(const std::string& key, const TRgba& fallback) const;
    // Records an error for a value the recipe does not understand.
    void Fail(const std::string& why) const;

    const std::string& Error() const { return m_error; }
    // The keys the recipe asked for, present or not.
    const std::set<std::string>& UsedKeys() const { return m_used; }

private:
    const TImageSpec& m_spec;
    int m_frame;
    mutable std::set<std::string> m_used;
    mutable std::string m_error;
};

using TRecipeFn = void (*)(CCanvas& canvas, const CRecipeContext& ctx);

// Null when there is no recipe of that name.
TRecipeFn FindRecipe(std::string_view name);
bool IsRecipe(std::string_view name);

// Renders every frame of the image and assembles its sheet. False with a message when a recipe
// rejects its arguments, a key is not used, the sheet is not an exact multiple of its frame
// size, or the pixels break the kind (an rgb image with a transparent pixel, a neutral one with
// colour).
[[nodiscard]] bool RenderImage(const TImageSpec& spec, CImage& out, std::string& error);
// The PNG bytes of a rendered image in the form its kind asks for.
[[nodiscard]] std::vector<std::uint8_t> EncodeForKind(const CImage& image, EImageKind kind);

}  // namespace imagegen
