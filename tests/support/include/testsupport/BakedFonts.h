#pragma once
// DejaVu fonts baked in process by the font baker, and the pak members of a baked font in one of
// the forms the engine's font loader reads. Uses GoogleTest (a failed bake fails the test) and the
// font baker: link cobble_gtest_support and cobble_fontbaker.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "fontbaker/FontBaker.h"

namespace fonttest {

inline std::string DejaVuSans() { return std::string(COBBLE_DEJAVU_DIR) + "/DejaVuSans.ttf"; }

// Bakes DejaVu Sans; fails the test when the baker does.
inline fontbaker::TBakedFont Bake(int size, fontbaker::EEffect effect = fontbaker::EEffect::None, std::uint8_t r = 255,
                                  std::uint8_t g = 255, std::uint8_t b = 255) {
    fontbaker::TBakeOptions o;
    o.fontPath = DejaVuSans();
    o.pixelSize = size;
    o.effect = effect;
    o.r = r;
    o.g = g;
    o.b = b;
    fontbaker::TBakedFont font;
    std::string error;
    EXPECT_TRUE(fontbaker::BakeFont(o, font, error)) << error;
    return font;
}

// The files of a baked font under the images directory, as pak members.
inline std::vector<std::pair<std::string, std::vector<std::uint8_t>>> FontMembers(const fontbaker::TBakedFont& font,
                                                                                  const std::string& base,
                                                                                  fontbaker::EForm form) {
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> members;
    for (auto& [name, bytes] : fontbaker::EncodeFiles(font, base, form)) members.emplace_back(name, bytes);
    return members;
}

}  // namespace fonttest
