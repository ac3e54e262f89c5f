// The effect files: RIFF WAVE, 16-bit PCM, mono, kSampleRate, with the "fmt " chunk first and
// the "data" chunk right behind it (the layout the game's effect loader reads in place).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "soundgen/Signal.h"

namespace soundgen {

// round(x * 32767), clamped to the 16-bit range.
[[nodiscard]] std::int16_t ToPcm16(float x);
// The whole file image of a sound.
[[nodiscard]] std::vector<std::uint8_t> EncodeWav(const Samples& s);
// Writes bytes to `path` (replacing it); false with a message when the file cannot be written.
[[nodiscard]] bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error);

}  // namespace soundgen
