#pragma once
// A font whose every glyph is a solid white cell with no bearings: a character covers exactly
// its advance, so text drawn with it lies on the pixels its measured width says (each character
// cell-wide, then the font's letter spacing). Tests read text positions straight off the pixels.
// The members go into a test pak; load with CBitmapFontText::LoadFont(base + ".jpg").

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "testsupport/ByteBuilder.h"
#include "testsupport/ImageFixtures.h"

namespace fonttest {

// The glyph image base + "_rgba.png" (16 x 14 cells of cellW x cellH, all opaque white) and the
// metrics base + ".fdb" (every code 32..255: A 0, B cellW pixels, C 0, in quarter pixels).
inline std::vector<std::pair<std::string, std::vector<std::uint8_t>>> BlockFontMembers(const std::string& base,
                                                                                       int cellW, int cellH) {
    constexpr int kColumns = 16, kRows = 14, kCodes = 224;
    CByteBuilder fdb;
    for (int code = 0; code < kCodes; ++code) fdb.Int(0).Int(4 * cellW).Int(0);
    return {{base + "_rgba.png", MakeSolidPng(kColumns * cellW, kRows * cellH, 255, 255, 255)},
            {base + ".fdb", fdb.bytes}};
}

}  // namespace fonttest
