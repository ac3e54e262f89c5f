#pragma once
// Line breaking for bitmap-font text: CQuorvanTextFormat breaks a text into lines that fit a
// width in a given font, keeps the lines, measures the block and draws it left-aligned, centred
// or right-aligned through the font's TextOut. Used by multi-line text widgets, the scaled
// block drawing of the render helpers and game screens. Main thread only.

#include "core/Common.h"
#include "core/CommonString.h"
#include "core/QuorvanArray.h"

class CBitmapFontText;
class IDibBitmap;

class CQuorvanTextFormat {
public:
    // No lines, alignment 1 (centred), width 100.
    CQuorvanTextFormat();
    CQuorvanTextFormat(const CQuorvanTextFormat&) = delete;
    CQuorvanTextFormat& operator=(const CQuorvanTextFormat&) = delete;
    virtual ~CQuorvanTextFormat();

    // Breaks text into lines narrower than width pixels in font and appends them (Clear first
    // to reformat). Words split at ' ', line feed and the two characters "\n"; carriage returns
    // are dropped; a word wider than the width stands alone, unsplit. 1, or 0 for null or empty
    // text, a null font, or when a line cannot be stored (the lines stored so far stay).
    [[nodiscard]] int FormatText(int width, CBitmapFontText* font, const char* text);
    // Appends a copy of text as a line; 0 when the list cannot grow.
    [[nodiscard]] int AddString(const char* text);
    // Deletes every line and frees the list.
    void Clear();
    int GetNumStrings() const { return m_Lines.count; }
    // Line i (0-based), or null out of range.
    CommonString* GetString(int i) const;
    // lines x (font->GetCharHeight() + spacing); 0 with no lines or no font.
    int CalcFormatHeight(CBitmapFontText* font, int spacing) const;
    // Draws line i at y + i x (line height + spacing), placed in the box [x, x + m_nWidth) by
    // m_nAlignment (0 left, 1 centre, 2 right; others draw nothing).
    void TextOut(IDibBitmap* dst, int x, int y, CBitmapFontText* font, int r, int g, int b, int effect,
                 unsigned char alpha, int spacing, TCoordRect2D* clip);

    int m_nAlignment = 1;
    int m_nWidth = 100;

private:
    CQuorvanObjPtrArray<CommonString*> m_Lines;  // growth step 5
};
