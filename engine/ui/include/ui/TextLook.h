#pragma once
// How a text-bearing widget draws its caption: the font, colour and effect it copied from a text
// style of the style table when it was initialised, with the record's own colour and effect in
// their place where the record gives them. Shared by buttons, check boxes and the text widgets.

#include "core/CommonString.h"
#include "ui/TemplateRecords.h"

class CBitmapFontText;
class CUILayout;
class IDibBitmap;

struct TTextLook {
    CommonString styleId;  // copied from the chosen style
    CommonString fontId;
    unsigned char red = 0;
    unsigned char green = 0;
    unsigned char blue = 0;
    unsigned char effect = 0;         // 0..6
    CBitmapFontText* font = nullptr;  // not owned; null: nothing is drawn

    // Copies the style named by desc.style, else the table's first style; without a table or any
    // style the look keeps its values. Then the record's colour and effect replace the style's
    // where its flags say they were given.
    void Choose(CUILayout* layout, const TextDesc& desc);
    // Draws text with its top-left at (x, y) in this look with the alpha; nothing without a font,
    // a target or text.
    void Draw(IDibBitmap* target, int x, int y, const CommonString& text, unsigned char alpha) const;
};
