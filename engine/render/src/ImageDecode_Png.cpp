// PNG decoding through libpng's read side over a span of bytes.
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ImageLayout.h"
#include "render/ImageDecode.h"

CDecodedImage::~CDecodedImage() { Reset(); }

unsigned char* CDecodedImage::ReleasePixels() {
    unsigned char* p = pixels;
    pixels = nullptr;
    return p;
}

unsigned char* CDecodedImage::ReleaseAlpha() {
    unsigned char* p = alpha;
    alpha = nullptr;
    return p;
}

void CDecodedImage::Reset() {
    std::free(pixels);
    std::free(alpha);
    pixels = alpha = nullptr;
    width = height = 0;
    alphaNotOpaque = false;
}

namespace {

struct TPngReadState {
    std::span<const std::uint8_t> bytes;
    std::size_t offset = 0;
    const char* name = "";
};

// libpng read callback: the io pointer is our cursor over the bytes.
void PngReadFunc(png_structp png, png_bytep data, png_size_t length) {
    auto* state = static_cast<TPngReadState*>(png_get_io_ptr(png));
    if (length > state->bytes.size() - state->offset) png_error(png, "file is truncated");
    std::memcpy(data, state->bytes.data() + state->offset, length);
    state->offset += length;
}

void PngError(png_structp png, png_const_charp message) {
    auto* state = static_cast<TPngReadState*>(png_get_error_ptr(png));
    std::fprintf(stderr, "image: %s: PNG error: %s\n", state ? state->name : "", message);
    png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

// Everything a decode allocates, so a longjmp out of libpng can free it from one place.
struct TPngBuffers {
    png_structp png = nullptr;
    png_infop info = nullptr;
    unsigned char* rows = nullptr;
    ~TPngBuffers() {
        std::free(rows);
        if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    }
};

}  // namespace

bool DecodePng(std::span<const std::uint8_t> bytes, const char* nameForLog, const TDecodeOptions& options,
               CDecodedImage* out) {
    if (!out) return false;
    out->Reset();
    TPngReadState state{bytes, 0, nameForLog ? nameForLog : ""};
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) {
        std::fprintf(stderr, "image: %s: not a PNG file\n", state.name);
        return false;
    }
    TPngBuffers b;
    b.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, PngError, PngWarning);
    if (!b.png) return false;
    b.info = png_create_info_struct(b.png);
    if (!b.info) return false;
    if (setjmp(png_jmpbuf(b.png))) {
        out->Reset();
        return false;
    }
    png_set_read_fn(b.png, &state, PngReadFunc);
    png_set_user_limits(b.png, kMaxImageSide, kMaxImageSide);
    png_read_info(b.png, b.info);
    png_uint_32 W = 0, H = 0;
    int bitDepth = 0, colourType = 0, interlace = 0;
    png_get_IHDR(b.png, b.info, &W, &H, &bitDepth, &colourType, &interlace, nullptr, nullptr);
    if (interlace != PNG_INTERLACE_NONE) {
        std::fprintf(stderr, "image: %s: interlaced PNG is not supported\n", state.name);
        return false;
    }
    if (static_cast<long long>(W) * H > kMaxImagePixels) {
        std::fprintf(stderr, "image: %s: PNG of %ux%u is too large\n", state.name, W, H);
        return false;
    }
    // Every row becomes blue, green, red, alpha bytes; 16-bit channels are cut to 8 first so the
    // rows keep four bytes per pixel.
    png_set_strip_16(b.png);
    png_set_expand(b.png);
    png_set_filler(b.png, 0xFF, PNG_FILLER_AFTER);
    png_set_palette_to_rgb(b.png);
    png_set_gray_to_rgb(b.png);
    png_set_bgr(b.png);
    png_set_tRNS_to_alpha(b.png);
    png_read_update_info(b.png, b.info);
    const std::size_t rowBytes = png_get_rowbytes(b.png, b.info);
    if (rowBytes != static_cast<std::size_t>(W) * 4) {
        std::fprintf(stderr, "image: %s: unexpected PNG row layout\n", state.name);
        return false;
    }

    const bool halve = options.halve;
    const int outW = halve ? static_cast<int>(W / 2) : static_cast<int>(W);
    const int outH = halve ? static_cast<int>(H / 2) : static_cast<int>(H);
    if (outW <= 0 || outH <= 0) {
        std::fprintf(stderr, "image: %s: PNG too small to halve\n", state.name);
        return false;
    }
    const int bpp = options.trueColor ? 3 : 2;
    if (!AllocatePlanes(options, outW, outH, bpp, out)) return false;
    b.rows = static_cast<unsigned char*>(std::malloc(rowBytes * (halve ? 2 : 1)));
    if (!b.rows) {
        out->Reset();
        return false;
    }
    const TImageLayout layout{options.orientation, outW, outH};
    bool notOpaque = false;
    for (int y = 0; y < outH; ++y) {
        png_bytep r0 = b.rows;
        png_read_rows(b.png, &r0, nullptr, 1);
        if (halve) {
            png_bytep r1 = b.rows + rowBytes;
            png_read_rows(b.png, &r1, nullptr, 1);
        }
        if (!halve && options.orientation == 0 && bpp == 2) {
            // The common case, kept free of per-pixel branching: one row straight into its plane row.
            const unsigned char* p = b.rows;
            unsigned char* pixelRow = out->pixels ? out->pixels + static_cast<std::size_t>(y) * outW * 2 : nullptr;
            unsigned char* alphaRow = out->alpha ? out->alpha + static_cast<std::size_t>(y) * outW : nullptr;
            unsigned opaque = 255;
            for (int x = 0; x < outW; ++x, p += 4) {
                if (pixelRow) {
                    const std::uint16_t v =
                        static_cast<std::uint16_t>(((p[2] >> 3) << 11) | ((p[1] >> 2) << 5) | (p[0] >> 3));
                    std::memcpy(pixelRow + x * 2, &v, 2);
                }
                if (alphaRow) alphaRow[x] = p[3];
                opaque &= p[3];
            }
            if (opaque != 255) notOpaque = true;
            continue;
        }
        for (int x = 0; x < outW; ++x) {
            int blue, green, red, a;
            if (halve) {
                const unsigned char* p = b.rows + x * 8;
                const unsigned char* q = p + rowBytes;
                blue = p[0] + p[4] + q[0] + q[4];
                green = p[1] + p[5] + q[1] + q[5];
                red = p[2] + p[6] + q[2] + q[6];
                a = (p[3] + p[7] + q[3] + q[7]) >> 2;
            } else {
                const unsigned char* p = b.rows + x * 4;
                blue = p[0];
                green = p[1];
                red = p[2];
                a = p[3];
            }
            const std::size_t index = layout.Index(x, y);
            if (out->pixels) {
                if (bpp == 2) {
                    const int shift = halve ? 2 : 0;
                    const std::uint16_t v = static_cast<std::uint16_t>(
                        ((red >> (3 + shift)) << 11) | ((green >> (2 + shift)) << 5) | (blue >> (3 + shift)));
                    std::memcpy(out->pixels + index * 2, &v, 2);
                } else {
                    const int shift = halve ? 2 : 0;
                    unsigned char* t = out->pixels + index * 3;
                    t[0] = static_cast<unsigned char>(red >> shift);
                    t[1] = static_cast<unsigned char>(green >> shift);
                    t[2] = static_cast<unsigned char>(blue >> shift);
                }
            }
            if (out->alpha) out->alpha[index] = static_cast<unsigned char>(a);
            if (a != 255) notOpaque = true;
        }
    }
    // An odd last source row of a halved image is dropped but still read, so libpng sees the
    // whole image before png_read_end.
    if (halve && (H & 1)) {
        png_bytep r0 = b.rows;
        png_read_rows(b.png, &r0, nullptr, 1);
    }
    png_read_end(b.png, nullptr);
    out->width = outW;
    out->height = outH;
    out->bytesPerPixel = bpp;
    out->alphaNotOpaque = notOpaque;
    return true;
}
