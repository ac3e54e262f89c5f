// Fuzz target for the image decoders: the PNG and JPEG readers (with the options taken from the
// first byte) and the PVR header parser all see the same bytes.
#include <cstddef>
#include <cstdint>
#include <span>

#include "render/ImageDecode.h"
#include "render/TextureData.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    TDecodeOptions options;
    const std::uint8_t flags = data[0];
    options.orientation = flags % 3;
    options.halve = (flags & 4) != 0;
    options.trueColor = (flags & 8) != 0;
    options.wantPixels = (flags & 16) == 0;
    options.wantAlpha = (flags & 32) == 0 || !options.wantPixels;
    const std::span<const std::uint8_t> bytes(data + 1, size - 1);
    CDecodedImage image;
    if (DecodePng(bytes, "fuzz.png", options, &image)) {
        // Touch the planes' ends so ASan checks their sizes.
        const std::size_t n = static_cast<std::size_t>(image.width) * image.height;
        if (image.pixels) image.pixels[n * image.bytesPerPixel - 1] ^= 1;
        if (image.alpha) image.alpha[n - 1] ^= 1;
    }
    if (DecodeJpeg(bytes, "fuzz.jpg", options, &image)) {
        const std::size_t n = static_cast<std::size_t>(image.width) * image.height;
        if (image.pixels) image.pixels[n * image.bytesPerPixel - 1] ^= 1;
        if (image.alpha) image.alpha[n - 1] ^= 1;
    }
    TexLevelData levels[kMaxPvrLevels];
    int count = 0;
    bool alpha = false;
    if (QuorvanTextureData::ProcessPVRData(bytes, levels, &count, &alpha)) {
        volatile std::uint8_t sink = 0;
        for (int i = 0; i < count; ++i) sink = sink ^ levels[i].data[levels[i].size - 1];
    }
    return 0;
}
