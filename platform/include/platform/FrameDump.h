// Frame dumps: the GL frame read back with glReadPixels and written as PNG.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace platform {

// Writes 8-bit RGBA rows, top row first. False (with one "platform:" line on stderr) when the
// file cannot be written or the sizes do not match the pixels.
[[nodiscard]] bool WriteRgbaPng(const std::string& path, int widthPx, int heightPx,
                                std::span<const std::uint8_t> rgbaTopDown);

// Reads the current GL colour buffer (widthPx x heightPx from the bottom-left corner) and
// writes it with the top row first. Needs a current GL context.
[[nodiscard]] bool DumpGlFramePng(const std::string& path, int widthPx, int heightPx);

}  // namespace platform
