#include "Pixel565Rows.h"

#include "Pixel565Lanes.h"

namespace render_detail {

namespace {

using namespace lanes;

template <BlendFormula F>
void BlendRowByAlphaWith(std::uint16_t* out, const std::uint16_t* src, const unsigned char* alpha, int n,
                         TAlphaRule rule) {
    // Every pixel goes through the lanes, whatever its alpha: the blits keep a run table for
    // sprites (SpriteRuns.h), so this is the path of the rows the table cannot help, where a
    // test per group would cost more than it saves.
    CAlphaLanes<F>(rule).Draw(out, src, alpha, n);
}

}  // namespace

void BlendRowByAlpha(std::uint16_t* out, const std::uint16_t* src, const unsigned char* alpha, int n, TAlphaRule rule,
                     BlendFormula formula) {
    if (formula == BlendFormula::Difference) {
        BlendRowByAlphaWith<BlendFormula::Difference>(out, src, alpha, n, rule);
    } else {
        BlendRowByAlphaWith<BlendFormula::SeparateProducts>(out, src, alpha, n, rule);
    }
}

void BlendRowConstant(std::uint16_t* out, const std::uint16_t* src, int n, int a) {
    a = std::clamp(a, 0, 255);
    const VI16 va = VI16{} + static_cast<std::int16_t>(a);
    int i = 0;
    for (; i + kLanes <= n; i += kLanes) {
        Store(out + i, BlendLanes<BlendFormula::Difference>(Load(out + i), Load(src + i), va));
    }
    for (; i < n; ++i) {
        out[i] = BlendOne<BlendFormula::Difference>(out[i], src[i], a);
    }
}

void DrawRowSkippingKey(std::uint16_t* out, const std::uint16_t* src, int n, std::uint16_t key, int a) {
    CKeyLanes(key, a).Draw(out, src, n);
}

}  // namespace render_detail
