// Whole-text decimal parsing shared by the settings and the input script readers.
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <string>
#include <string_view>

namespace platform {

// Parses all of `text` (at most max_chars characters) as a decimal in [lo, hi]; false on
// anything else, with out untouched. The length cap keeps a long run of digits from overflowing
// before the range check.
inline bool ParseWholeNumber(std::string_view text, std::size_t max_chars, long lo, long hi, int& out) {
    if (text.empty() || text.size() > max_chars) return false;
    const std::string copy(text);
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(copy.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < lo || v > hi) return false;
    out = static_cast<int>(v);
    return true;
}

}  // namespace platform
