// Private to engine/render: whole-row forms of the software bitmap's per-pixel rules. Each gives
// exactly the pixels of the per-pixel rule it names (the tests compare them over every alpha
// value); the rows are worked on eight pixels at a time in 16-bit lanes, with no branch per pixel.
#pragma once

#include <cstdint>

namespace render_detail {

// How a pixel of source alpha sa and effective alpha e = sa + offset is drawn: skipped when sa or
// e is at most skipAtOrBelow, copied when e is copyFrom or more, otherwise blended with e.
struct TAlphaRule {
    int offset;
    int skipAtOrBelow;
    int copyFrom;  // at most 256, so every blend weight fits in 0..255
};

// The blend formula of a row: the blits' d + ((s - d) x a >> 8), or the stretch's
// d + (s x a >> 8) - (d x a >> 8), each per 565 field.
enum class BlendFormula { Difference, SeparateProducts };

// out[i] takes src[i] by alpha[i] under the rule, for n pixels.
void BlendRowByAlpha(std::uint16_t* out, const std::uint16_t* src, const unsigned char* alpha, int n, TAlphaRule rule,
                     BlendFormula formula);

// out[i] = d + ((s - d) x a >> 8) per field with one weight a in 0..255 for the whole row.
void BlendRowConstant(std::uint16_t* out, const std::uint16_t* src, int n, int a);

// Colour keying: pixels equal to key are skipped, the others copied (a of 256 or more) or blended
// with a.
void DrawRowSkippingKey(std::uint16_t* out, const std::uint16_t* src, int n, std::uint16_t key, int a);

}  // namespace render_detail
