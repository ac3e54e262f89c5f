// Little-endian reads shared by the WAV effect parser and the WAV stream provider.
#pragma once

#include <cstdint>

namespace wav_bytes {

inline std::uint32_t Le16(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8);
}
inline std::int16_t Le16Signed(const std::uint8_t* p) { return static_cast<std::int16_t>(Le16(p)); }
inline std::uint32_t Le32(const std::uint8_t* p) { return Le16(p) | (Le16(p + 2) << 16); }

}  // namespace wav_bytes
