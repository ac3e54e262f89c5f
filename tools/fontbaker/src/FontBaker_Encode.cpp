// Encoding a baked font: the ".fdb" metrics, PNG and JPEG glyph images, and the file sets.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

#include "fontbaker/FontBaker.h"
#include "imagegen/Image.h"

namespace fontbaker {

namespace {

void PutLE32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

struct TJpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};

void JpegErrorExit(j_common_ptr info) { std::longjmp(reinterpret_cast<TJpegError*>(info->err)->jump, 1); }

// components 1 (greyscale from the alpha) or 3 (the colour).
std::vector<std::uint8_t> EncodeJpeg(const TBakedFont& font, int components, int quality) {
    std::vector<std::uint8_t> row(static_cast<std::size_t>(font.width) * components);
    jpeg_compress_struct info;
    TJpegError error;
    info.err = jpeg_std_error(&error.mgr);
    error.mgr.error_exit = JpegErrorExit;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    if (setjmp(error.jump) != 0) {
        jpeg_destroy_compress(&info);
        std::free(buffer);
        return {};
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(font.width);
    info.image_height = static_cast<JDIMENSION>(font.height);
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        const std::size_t y = info.next_scanline;
        for (int x = 0; x < font.width; ++x) {
            const std::uint8_t* px = &font.rgba[(y * font.width + x) * 4];
            if (components == 1) {
                row[static_cast<std::size_t>(x)] = px[3];
            } else {
                std::memcpy(&row[static_cast<std::size_t>(x) * 3], px, 3);
            }
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<std::uint8_t> out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

}  // namespace

std::vector<std::uint8_t> EncodeFdb(const TBakedFont& font) {
    std::vector<std::uint8_t> out;
    for (int c = 32; c < 256; ++c) {
        PutLE32(out, static_cast<std::uint32_t>(font.abc[c].a));
        PutLE32(out, font.abc[c].b);
        PutLE32(out, static_cast<std::uint32_t>(font.abc[c].c));
    }
    PutLE32(out, static_cast<std::uint32_t>(font.verticalInset));
    if (!font.glyphs.empty()) {
        PutLE32(out, static_cast<std::uint32_t>(font.glyphs.size()));
        out.insert(out.end(), font.glyphs.begin(), font.glyphs.end());
    }
    return out;
}

std::vector<std::uint8_t> EncodePngRgba(const TBakedFont& font) {
    imagegen::CImage image(font.width, font.height);
    if (image.IsEmpty() || font.rgba.size() != image.Bytes().size()) return {};
    std::memcpy(image.Data(), font.rgba.data(), font.rgba.size());
    return imagegen::EncodePng(image, imagegen::EPngForm::Rgba);
}

std::vector<std::uint8_t> EncodeJpegColour(const TBakedFont& font, int quality) { return EncodeJpeg(font, 3, quality); }

std::vector<std::uint8_t> EncodeJpegAlpha(const TBakedFont& font, int quality) { return EncodeJpeg(font, 1, quality); }

std::vector<std::pair<std::string, std::vector<std::uint8_t>>> EncodeFiles(const TBakedFont& font,
                                                                           const std::string& base, EForm form,
                                                                           int jpegQuality) {
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files;
    switch (form) {
        case EForm::RgbaPng:
            files.emplace_back(base + "_rgba.png", EncodePngRgba(font));
            break;
        case EForm::RgbaJpeg:
            files.emplace_back(base + "_rgba.jpg", EncodeJpegColour(font, jpegQuality));
            files.emplace_back(base + "_rgba_a.jpg", EncodeJpegAlpha(font, jpegQuality));
            break;
        case EForm::AlphaJpeg:
            files.emplace_back(base + ".jpg", EncodeJpegAlpha(font, jpegQuality));
            break;
        case EForm::AlphaJpegWithColour:
            files.emplace_back(base + ".jpg", EncodeJpegAlpha(font, jpegQuality));
            files.emplace_back(base + "_eff.jpg", EncodeJpegColour(font, jpegQuality));
            break;
    }
    files.emplace_back(base + ".fdb", EncodeFdb(font));
    return files;
}

}  // namespace fontbaker
