#include "platform/FrameDump.h"

#include <GLES/gl.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace platform {
namespace {

// Kept apart so that nothing set before setjmp is changed after it.
bool WriteRows(png_structp png, png_infop info, FILE* file, int widthPx, int heightPx,
               const std::uint8_t* rgbaTopDown) {
    if (setjmp(png_jmpbuf(png)) != 0) return false;
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(widthPx), static_cast<png_uint_32>(heightPx), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const std::size_t stride = static_cast<std::size_t>(widthPx) * 4;
    for (int y = 0; y < heightPx; ++y) {
        png_write_row(png, rgbaTopDown + stride * static_cast<std::size_t>(y));
    }
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

bool WriteRgbaPng(const std::string& path, int widthPx, int heightPx, std::span<const std::uint8_t> rgbaTopDown) {
    if (widthPx <= 0 || heightPx <= 0 ||
        rgbaTopDown.size() != static_cast<std::size_t>(widthPx) * static_cast<std::size_t>(heightPx) * 4) {
        std::fprintf(stderr, "platform: %s: pixel data does not match %dx%d\n", path.c_str(), widthPx, heightPx);
        return false;
    }
    // Written beside the target and renamed, so a reader never sees half a picture.
    const std::string temp = path + ".tmp";
    FILE* file = std::fopen(temp.c_str(), "wb");
    if (!file) {
        std::fprintf(stderr, "platform: %s: cannot write the frame dump\n", path.c_str());
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = png && info && WriteRows(png, info, file, widthPx, heightPx, rgbaTopDown.data());
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    ok = (std::fclose(file) == 0) && ok;
    if (ok && std::rename(temp.c_str(), path.c_str()) != 0) ok = false;
    if (!ok) {
        std::remove(temp.c_str());
        std::fprintf(stderr, "platform: %s: writing the frame dump failed\n", path.c_str());
    }
    return ok;
}

bool DumpGlFramePng(const std::string& path, int widthPx, int heightPx) {
    if (widthPx <= 0 || heightPx <= 0) return false;
    const std::size_t stride = static_cast<std::size_t>(widthPx) * 4;
    std::vector<std::uint8_t> bottomUp(stride * static_cast<std::size_t>(heightPx));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, widthPx, heightPx, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    if (glGetError() != GL_NO_ERROR) {
        std::fprintf(stderr, "platform: %s: glReadPixels failed\n", path.c_str());
        return false;
    }
    // GL rows start at the bottom; PNG rows at the top.
    std::vector<std::uint8_t> topDown(bottomUp.size());
    for (int y = 0; y < heightPx; ++y) {
        std::copy_n(bottomUp.data() + stride * static_cast<std::size_t>(heightPx - 1 - y), stride,
                    topDown.data() + stride * static_cast<std::size_t>(y));
    }
    return WriteRgbaPng(path, widthPx, heightPx, topDown);
}

}  // namespace platform
