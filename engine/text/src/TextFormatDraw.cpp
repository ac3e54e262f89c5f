#include "text/TextFormatDraw.h"

#include <cstdint>
#include <limits>

#include "core/CommonString.h"
#include "text/BitmapFont.h"
#include "text/QuorvanTextFormat.h"

namespace {

// Widths, lengths and line steps are whole pixels while the pen is 16.16: they are converted
// before they meet it. Sums are taken in 64 bits and held to the 32-bit range, so a huge box
// width set on the format moves the text off the screen instead of wrapping round.
FIXED_FLOAT_16 Clamp16(std::int64_t v) {
    constexpr std::int64_t lo = std::numeric_limits<FIXED_FLOAT_16>::min();
    constexpr std::int64_t hi = std::numeric_limits<FIXED_FLOAT_16>::max();
    return static_cast<FIXED_FLOAT_16>(v < lo ? lo : (v > hi ? hi : v));
}

std::int64_t PixelsTo16(std::int64_t pixels) { return pixels * 65536; }

// Halves, rounding toward minus infinity like a shift.
std::int64_t Half(std::int64_t v) { return v >= 0 ? v / 2 : -((-v + 1) / 2); }

}  // namespace

void TextOutF(IDibBitmap* dst, CQuorvanTextFormat* format, CBitmapFontText* font, FIXED_FLOAT_16 x, FIXED_FLOAT_16 y,
              FIXED_FLOAT_16 scaleX, FIXED_FLOAT_16 scaleY, int r, int g, int b, int effect, int alpha,
              TCoordRect2D* clip) {
    if (!dst || !format || !font) return;
    const int alignment = format->m_nAlignment;
    std::int64_t startX = x;
    if (alignment == 2) {
        startX += PixelsTo16(format->m_nWidth);
    } else if (alignment == 1) {
        startX += PixelsTo16(format->m_nWidth / 2);
    }
    const int lineHeight = font->GetCharHeight();
    const int lines = format->GetNumStrings();
    for (int i = 0; i < lines; ++i) {
        const CommonString* line = format->GetString(i);
        if (!line) continue;
        const char* text = line->GetDataConst();
        // An empty line has no buffer; it still takes its place in the block.
        if (!text) continue;
        // Length2 in whole pixels times the 16.16 scale is the scaled length in 16.16, exactly.
        const std::int64_t scaledLength = static_cast<std::int64_t>(font->Length2(text)) * scaleX;
        std::int64_t lineX = startX;
        if (alignment == 2) {
            lineX -= scaledLength;
        } else if (alignment == 1) {
            lineX -= Half(scaledLength);
        }
        const std::int64_t lineY = static_cast<std::int64_t>(y) + PixelsTo16(static_cast<std::int64_t>(i) * lineHeight);
        font->TextOutF(dst, text, Clamp16(lineX), Clamp16(lineY), scaleX, scaleY, 0,
                       static_cast<unsigned char>(r & 255), static_cast<unsigned char>(g & 255),
                       static_cast<unsigned char>(b & 255), effect, static_cast<unsigned char>(alpha & 255), clip);
    }
}
