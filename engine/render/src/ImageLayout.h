#pragma once
// Where pixel (x, y) of a W x H image goes in a plane stored by orientation mode: mode 0 as
// seen (W wide), modes 1 and 2 turned by 90 degrees (H wide, W tall). Pixel and alpha planes of
// one image share the mapping. Both decoders also allocate their planes here.

#include <cstddef>
#include <cstdlib>

#include "render/ImageDecode.h"

struct TImageLayout {
    int mode;
    int width, height;  // the image as seen

    std::size_t Index(int x, int y) const {
        switch (mode) {
            case 1:
                return static_cast<std::size_t>(width - 1 - x) * height + y;
            case 2:
                return static_cast<std::size_t>(x) * height + (height - 1 - y);
            default:
                return static_cast<std::size_t>(y) * width + x;
        }
    }
};

// The planes the options ask for, malloc'ed for a width x height image of bpp bytes per pixel;
// false (and nothing kept) when memory runs out.
inline bool AllocatePlanes(const TDecodeOptions& options, int width, int height, int bpp, CDecodedImage* out) {
    const std::size_t planePixels = static_cast<std::size_t>(width) * height;
    if (options.wantPixels) {
        out->pixels = static_cast<unsigned char*>(std::malloc(planePixels * bpp));
        if (!out->pixels) return false;
    }
    if (options.wantAlpha) {
        out->alpha = static_cast<unsigned char*>(std::malloc(planePixels));
        if (!out->alpha) {
            out->Reset();
            return false;
        }
    }
    return true;
}
