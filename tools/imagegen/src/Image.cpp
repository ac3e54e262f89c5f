// 8-bit images, PNG files and sheet assembly.
#include "imagegen/Image.h"

#include <png.h>

#include <algorithm>
#include <cstring>

namespace imagegen {

namespace {

void PngWrite(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void PngFlush(png_structp) {}

}  // namespace

CImage::CImage(int width, int height)
    : m_width(width > 0 ? width : 0),
      m_height(height > 0 ? height : 0),
      m_rgba(static_cast<std::size_t>(m_width) * m_height * 4, 0) {}

std::vector<std::uint8_t> EncodePng(const CImage& image, EPngForm form) {
    std::vector<std::uint8_t> out;
    if (image.IsEmpty()) return out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) return out;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
        return {};
    }
    png_set_write_fn(png, &out, PngWrite, PngFlush);
    const bool rgb = form == EPngForm::Rgb;
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.Width()), static_cast<png_uint_32>(image.Height()), 8,
                 rgb ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(image.Width()) * 3);
    for (int y = 0; y < image.Height(); ++y) {
        if (rgb) {
            for (int x = 0; x < image.Width(); ++x)
                std::memcpy(&row[static_cast<std::size_t>(x) * 3], image.At(x, y), 3);
            png_write_row(png, row.data());
        } else {
            png_write_row(png, const_cast<png_bytep>(image.At(0, y)));
        }
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

bool DecodePng(std::span<const std::uint8_t> bytes, CImage& out, std::string& error) {
    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&img, bytes.data(), bytes.size()) == 0) {
        error = img.message;
        return false;
    }
    img.format = PNG_FORMAT_RGBA;
    CImage decoded(static_cast<int>(img.width), static_cast<int>(img.height));
    if (png_image_finish_read(&img, nullptr, decoded.Data(), 0, nullptr) == 0) {
        error = img.message;
        png_image_free(&img);
        return false;
    }
    out = std::move(decoded);
    return true;
}

bool IsOpaque(const CImage& image) {
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            if (image.At(x, y)[3] != 255) return false;
    return true;
}

bool IsNeutral(const CImage& image) {
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            const std::uint8_t* p = image.At(x, y);
            if (p[3] != 0 && (p[0] != p[1] || p[1] != p[2])) return false;
        }
    }
    return true;
}

namespace {

// Calls f(source pixel, destination pixel) for every pixel of src placed at (x, y) that lands
// inside dst.
template <typename F>
void ForEachOverlap(CImage& dst, const CImage& src, int x, int y, F&& f) {
    for (int sy = std::max(0, -y); sy < src.Height() && y + sy < dst.Height(); ++sy)
        for (int sx = std::max(0, -x); sx < src.Width() && x + sx < dst.Width(); ++sx)
            f(src.At(sx, sy), dst.At(x + sx, y + sy));
}

}  // namespace

void Blit(CImage& dst, const CImage& src, int x, int y) {
    ForEachOverlap(dst, src, x, y, [](const std::uint8_t* s, std::uint8_t* d) { std::memcpy(d, s, 4); });
}

void Composite(CImage& dst, const CImage& src, int x, int y) {
    ForEachOverlap(dst, src, x, y, [](const std::uint8_t* s, std::uint8_t* d) {
        const float sa = s[3] / 255.0f, da = d[3] / 255.0f;
        const float oa = sa + da * (1 - sa);
        for (int c = 0; c < 3; ++c) {
            const float v = oa > 0 ? (s[c] * sa + d[c] * da * (1 - sa)) / oa : 0.0f;
            d[c] = static_cast<std::uint8_t>(v + 0.5f);
        }
        d[3] = static_cast<std::uint8_t>(oa * 255.0f + 0.5f);
    });
}

bool CheckSheet(const TSheetLayout& layout, int width, int height, std::string& error) {
    if (layout.frames < 1 || layout.perRow < 1 || layout.perRow > layout.frames || layout.frameWidth < 1 ||
        layout.frameHeight < 1) {
        error = "a sheet needs at least one frame, 1..frames per row and a frame size of at least 1x1";
        return false;
    }
    if (width % layout.perRow != 0 || height % layout.Rows() != 0) {
        error = "sheet " + std::to_string(width) + "x" + std::to_string(height) + " does not divide into " +
                std::to_string(layout.perRow) + " columns and " + std::to_string(layout.Rows()) + " rows";
        return false;
    }
    if (width != layout.SheetWidth() || height != layout.SheetHeight()) {
        error = "sheet " + std::to_string(width) + "x" + std::to_string(height) + " is not " +
                std::to_string(layout.perRow) + " x " + std::to_string(layout.Rows()) + " frames of " +
                std::to_string(layout.frameWidth) + "x" + std::to_string(layout.frameHeight);
        return false;
    }
    return true;
}

bool AssembleSheet(const TSheetLayout& layout, const std::vector<CImage>& frames, CImage& out, std::string& error) {
    if (!CheckSheet(layout, layout.SheetWidth(), layout.SheetHeight(), error)) return false;
    if (static_cast<int>(frames.size()) != layout.frames) {
        error = "expected " + std::to_string(layout.frames) + " frames, got " + std::to_string(frames.size());
        return false;
    }
    CImage sheet(layout.SheetWidth(), layout.SheetHeight());
    for (int i = 0; i < layout.frames; ++i) {
        const CImage& f = frames[static_cast<std::size_t>(i)];
        if (f.Width() != layout.frameWidth || f.Height() != layout.frameHeight) {
            error = "frame " + std::to_string(i) + " is " + std::to_string(f.Width()) + "x" +
                    std::to_string(f.Height()) + ", not " + std::to_string(layout.frameWidth) + "x" +
                    std::to_string(layout.frameHeight);
            return false;
        }
        Blit(sheet, f, (i % layout.perRow) * layout.frameWidth, (i / layout.perRow) * layout.frameHeight);
    }
    out = std::move(sheet);
    return true;
}

}  // namespace imagegen
