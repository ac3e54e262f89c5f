#include "testsupport/ImageFixtures.h"

#include <png.h>

#include <cstdio>
#include <fstream>

extern "C" {
#include <jpeglib.h>
}

namespace {

void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

}  // namespace

std::vector<std::uint8_t> MakePng(int w, int h, const std::vector<std::uint8_t>& rgba, int colourType, bool interlaced,
                                  int bitDepth) {
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, AppendBytes, NoFlush);
    png_set_IHDR(png, info, w, h, bitDepth, colourType, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    int channels = 4;
    if (colourType == PNG_COLOR_TYPE_RGB) channels = 3;
    if (colourType == PNG_COLOR_TYPE_GRAY) channels = 1;
    if (colourType == PNG_COLOR_TYPE_GRAY_ALPHA) channels = 2;
    png_write_info(png, info);
    const int bytes = bitDepth == 16 ? 2 : 1;
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(w) * h * channels * bytes);
    for (int i = 0; i < w * h; ++i) {
        const std::uint8_t* p = &rgba[static_cast<std::size_t>(i) * 4];
        std::uint8_t v[4] = {p[0], p[1], p[2], p[3]};
        if (channels == 1) v[0] = p[0];
        if (channels == 2) v[1] = p[3];
        for (int c = 0; c < channels; ++c) {
            std::uint8_t* t = &rows[(static_cast<std::size_t>(i) * channels + c) * bytes];
            t[0] = v[c];
            if (bytes == 2) t[1] = v[c];  // big-endian v * 257
        }
    }
    std::vector<png_bytep> pointers(h);
    for (int y = 0; y < h; ++y) pointers[y] = &rows[static_cast<std::size_t>(y) * w * channels * bytes];
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<std::uint8_t> MakeSolidPng(int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    std::vector<std::uint8_t> rgba;
    for (int i = 0; i < w * h; ++i) rgba.insert(rgba.end(), {r, g, b, a});
    return MakePng(w, h, rgba, PNG_COLOR_TYPE_RGB_ALPHA);
}

std::vector<std::uint8_t> MakeJpeg(int w, int h, const std::vector<std::uint8_t>& rgb, int components) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(w);
    cinfo.image_height = static_cast<JDIMENSION>(h);
    cinfo.input_components = components;
    cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : (components == 4 ? JCS_CMYK : JCS_RGB);
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 100, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(w) * components);
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = static_cast<int>(cinfo.next_scanline);
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * w + x) * 3];
            for (int c = 0; c < components; ++c)
                row[static_cast<std::size_t>(x) * components + c] = components == 3 ? p[c] : p[0];
        }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&cinfo, &r, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<std::uint8_t> out(buffer, buffer + size);
    free(buffer);
    return out;
}

std::vector<std::uint8_t> MakeSolidJpeg(int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b, int components) {
    std::vector<std::uint8_t> rgb;
    for (int i = 0; i < w * h; ++i) rgb.insert(rgb.end(), {r, g, b});
    return MakeJpeg(w, h, rgb, components);
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
