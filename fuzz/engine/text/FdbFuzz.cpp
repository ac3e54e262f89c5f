// Fuzz target of the ".fdb" metrics reader: decoding, the glyph layout over a font without an
// image, and measuring every code with the result.
#include <cstddef>
#include <cstdint>
#include <span>

#include "text/BitmapFont.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    TFdbData decoded;
    (void)DecodeFdb(bytes, "fuzz.fdb", decoded);
    CBitmapFontText font(nullptr);
    if (font.LoadMetricsFromBytes(bytes, "fuzz.fdb") == 1) {
        char text[257];
        for (int c = 1; c < 256; ++c) text[c - 1] = static_cast<char>(c);
        text[255] = '\0';
        (void)font.Length2(text);
        (void)font.GetCharHeight();
    }
    return 0;
}
