// Choosing a caption's look from the style table, and drawing in it.
#include "ui/TextLook.h"

#include "text/BitmapFont.h"
#include "ui/UILayout.h"

void TTextLook::Choose(CUILayout* layout, const TextDesc& desc) {
    const UILayout_StyleData* style = nullptr;
    if (layout != nullptr) {
        style = layout->GetStyleById(desc.style);
        if (style == nullptr) style = layout->GetDefaultStyle();
    }
    if (style != nullptr) {
        styleId = style->id;
        fontId = style->fontId;
        red = style->red;
        green = style->green;
        blue = style->blue;
        effect = static_cast<unsigned char>(SanitizeTextEffect(style->effect));
        font = style->font;
    }
    if (desc.givenFlags & kTextColorGiven) {
        red = desc.color.r;
        green = desc.color.g;
        blue = desc.color.b;
    }
    if (desc.givenFlags & kTextEffectGiven) effect = static_cast<unsigned char>(SanitizeTextEffect(desc.effect));
}

void TTextLook::Draw(IDibBitmap* target, int x, int y, const CommonString& text, unsigned char alpha) const {
    if (font == nullptr || target == nullptr || text.Length() == 0) return;
    font->TextOut(target, x, y, text.GetData(), red, green, blue, effect, alpha, nullptr);
}
