// Recipe arguments, and rendering an image of the table.
#include <cstdlib>

#include "imagegen/Recipe.h"

namespace imagegen {

std::string CRecipeContext::Text(const std::string& key, const std::string& fallback) const {
    m_used.insert(key);
    const auto it = m_spec.args.find(key);
    return it == m_spec.args.end() ? fallback : it->second;
}

float CRecipeContext::Number(const std::string& key, float fallback) const {
    const std::string text = Text(key);
    if (text.empty()) return fallback;
    char* end = nullptr;
    const float v = std::strtof(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0') {
        Fail("argument " + key + "=" + text + " is not a number");
        return fallback;
    }
    return v;
}

int CRecipeContext::Int(const std::string& key, int fallback) const {
    const std::string text = Text(key);
    if (text.empty()) return fallback;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != '\0') {
        Fail("argument " + key + "=" + text + " is not a whole number");
        return fallback;
    }
    return static_cast<int>(v);
}

TRgba CRecipeContext::Colour(const std::string& key, const TRgba& fallback) const {
    const std::string text = Text(key);
    if (text.empty()) return fallback;
    TRgba c;
    if (!ParseColour(text, c)) {
        Fail("argument " + key + "=" + text + " is not a colour (#RRGGBB)");
        return fallback;
    }
    return c;
}

void CRecipeContext::Fail(const std::string& why) const {
    if (m_error.empty()) m_error = why;
}

bool IsRecipe(std::string_view name) { return FindRecipe(name) != nullptr; }

bool RenderImage(const TImageSpec& spec, CImage& out, std::string& error) {
    const std::string where = spec.path + " (line " + std::to_string(spec.line) + "): ";
    const TRecipeFn recipe = FindRecipe(spec.recipe);
    if (recipe == nullptr) {
        error = where + "no recipe '" + spec.recipe + "'";
        return false;
    }
    std::vector<CImage> frames;
    std::set<std::string> used;
    for (int i = 0; i < spec.layout.frames; ++i) {
        CCanvas canvas(spec.layout.frameWidth, spec.layout.frameHeight);
        CRecipeContext ctx(spec, i);
        recipe(canvas, ctx);
        if (!ctx.Error().empty()) {
            error = where + ctx.Error();
            return false;
        }
        used.insert(ctx.UsedKeys().begin(), ctx.UsedKeys().end());
        frames.push_back(canvas.Resolve());
    }
    // A key no frame asked for is most likely a typo in the table.
    for (const auto& [key, value] : spec.args) {
        if (used.count(key) == 0) {
            error = where + "recipe " + spec.recipe + " does not use the argument '" + key + "'";
            return false;
        }
    }
    std::string why;
    CImage sheet;
    if (!AssembleSheet(spec.layout, frames, sheet, why) ||
        !CheckSheet(spec.layout, sheet.Width(), sheet.Height(), why)) {
        error = where + why;
        return false;
    }
    if (spec.kind == EImageKind::Rgb && !IsOpaque(sheet)) {
        error = where + "an opaque (rgb) image has transparent pixels";
        return false;
    }
    if (spec.kind == EImageKind::Neutral && !IsNeutral(sheet)) {
        error = where + "a neutral image has coloured pixels";
        return false;
    }
    out = std::move(sheet);
    return true;
}

std::vector<std::uint8_t> EncodeForKind(const CImage& image, EImageKind kind) {
    return EncodePng(image, kind == EImageKind::Rgb ? EPngForm::Rgb : EPngForm::Rgba);
}

}  // namespace imagegen
