// Which effect files the game's data tables name, so the generator writes exactly those: the
// "file" values of the effect table and the sound ids of the bird-sound table. Read with the
// game's data-file rules: "//" starts a comment, the first "=" or ":" splits key from value,
// one pair of surrounding quotes is removed, keys are case-sensitive.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace soundgen {

// The distinct values of the given keys, in order of first appearance, each with `prefix` in
// front and every '\' turned into '/' (a path below the sounds directory).
[[nodiscard]] std::vector<std::string> SoundFilesOfTable(std::string_view text,
                                                         std::initializer_list<std::string_view> keys,
                                                         std::string_view prefix);

}  // namespace soundgen
