// Fixtures of the font tests: ".fdb" bytes written field by field, baked DejaVu fonts put into a
// test pak, and a synthetic glyph image whose alpha is flat per 8 x 8 cell.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "fontbaker/FontBaker.h"
#include "testsupport/BakedFonts.h"
#include "testsupport/MediaTestGame.h"

namespace fonttest {

using mediatest::Bytes;

inline void Put32(Bytes& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// The ".fdb" fields as the format lays them out.
struct TFdb {
    std::int32_t a[256] = {};
    std::uint32_t b[256] = {};
    std::int32_t c[256] = {};
    bool withInset = true;
    std::int32_t inset = 0;
    bool withCount = false;
    std::int32_t count = 0;
    std::vector<std::uint8_t> codes;

    void Set(int code, std::int32_t A, std::uint32_t B, std::int32_t C) {
        a[code] = A;
        b[code] = B;
        c[code] = C;
    }
    Bytes Encode() const {
        Bytes out;
        for (int code = 32; code < 256; ++code) {
            Put32(out, static_cast<std::uint32_t>(a[code]));
            Put32(out, b[code]);
            Put32(out, static_cast<std::uint32_t>(c[code]));
        }
        if (withInset) Put32(out, static_cast<std::uint32_t>(inset));
        if (withCount) {
            Put32(out, static_cast<std::uint32_t>(count));
            out.insert(out.end(), codes.begin(), codes.end());
        }
        return out;
    }
};

// A 128 x 112 glyph image (16 x 14 cells of 8 x 8) whose cells are flat: the alpha of code c's
// cell is alphaOf(c). JPEG keeps flat 8 x 8 blocks, so the alpha-only form decodes exactly.
template <typename F>
fontbaker::TBakedFont FlatCells(F alphaOf) {
    fontbaker::TBakedFont font;
    font.width = 128;
    font.height = 112;
    font.columns = 16;
    font.rows = 14;
    font.cellWidth = font.cellHeight = 8;
    font.rgba.assign(128 * 112 * 4, 255);
    for (int code = 32; code < 256; ++code) {
        const int i = code - 32;
        const int x0 = (i % 16) * 8, y0 = (i / 16) * 8;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                font.rgba[(static_cast<std::size_t>(y0 + y) * 128 + x0 + x) * 4 + 3] =
                    static_cast<std::uint8_t>(alphaOf(code));
    }
    return font;
}

}  // namespace fonttest
