// Reads a PNG with libpng's own simplified reader, as the independent check of what we wrote.
#pragma once

#include <png.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

struct TPngPixels {
    bool ok = false;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;  // top row first

    // {r, g, b, a} at (x, y), y counted from the top.
    std::vector<int> At(int x, int y) const {
        const std::size_t i =
            (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 4;
        return {rgba[i], rgba[i + 1], rgba[i + 2], rgba[i + 3]};
    }
};

inline TPngPixels ReadPngFile(const std::string& path) {
    TPngPixels out;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return out;
    image.format = PNG_FORMAT_RGBA;
    out.rgba.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr)) {
        png_image_free(&image);
        return out;
    }
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    out.ok = true;
    return out;
}
