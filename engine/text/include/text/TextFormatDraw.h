#pragma once
// A formatted block of text in scaled bitmap-font text: every line of a CQuorvanTextFormat
// drawn with the font's TextOutF (OpenGL ES only, like TextOutF itself). Main thread only.

#include "core/Common.h"

class CBitmapFontText;
class CQuorvanTextFormat;
class IDibBitmap;

// Draws line i of format at (x, y + i x the font's line height), the line height in whole
// pixels and not scaled; x and y are 16.16 pixels, scaleX and scaleY 16.16 factors. The lines
// are placed in the box [x, x + width) of the format by its alignment: 2 right (the line ends
// at the box's right edge), 1 centred on the box's middle (the box width halved in whole
// pixels), any other value left. Every line goes to the font's TextOutF with angle 0, the
// colour's low bytes, the effect, alpha's low byte and the clip rectangle (null for none).
// Nothing is drawn when dst, format or font is null.
void TextOutF(IDibBitmap* dst, CQuorvanTextFormat* format, CBitmapFontText* font, FIXED_FLOAT_16 x, FIXED_FLOAT_16 y,
              FIXED_FLOAT_16 scaleX, FIXED_FLOAT_16 scaleY, int r, int g, int b, int effect, int alpha,
              TCoordRect2D* clip);
