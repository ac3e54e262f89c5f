// JPEG decoding through libjpeg's 6b API with our own source manager, over bytes or an IFile.
#include <algorithm>
#include <bit>
#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

#include "ImageLayout.h"
#include "core/File.h"
#include "render/ImageDecode.h"

char szJPGLastError[256] = {};

namespace {

constexpr int kJpegInputBufferSize = 4096;
// Rows asked of libjpeg per call: enough that its per-call work and a turned plane's scattered
// writes are spread over many pixels.
constexpr int kBandRows = 16;
// Packed rows gathered before a turned plane takes them. A turned plane's writes jump a whole
// output row per decoded pixel; the more rows each visit brings, the longer the runs it writes.
constexpr int kTurnRows = 256;
constexpr int kQuadRows = 2;

// Where the pixels of one decoded row go in a plane: pixel x at base + x * step.
struct TRowTarget {
    std::ptrdiff_t base, step;
    int width;
};

TRowTarget RowTargetOf(const TImageLayout& layout, int y) {
    const std::ptrdiff_t first = static_cast<std::ptrdiff_t>(layout.Index(0, y));
    const std::ptrdiff_t step = layout.width > 1 ? static_cast<std::ptrdiff_t>(layout.Index(1, y)) - first : 1;
    return TRowTarget{first, step, layout.width};
}

// One decoded row of 1 (grey) or 3 (red, green, blue) bytes per pixel into the planes that are
// wanted; returns the AND of the alpha written (the first channel), 255 without an alpha plane.
template <int Components>
unsigned ConvertRow(const JSAMPLE* s, TRowTarget t, int bpp, CDecodedImage* out) {
    constexpr int g = Components == 3 ? 1 : 0;
    constexpr int b = Components == 3 ? 2 : 0;
    if (out->pixels && bpp == 2) {
        auto* plane = reinterpret_cast<std::uint16_t*>(out->pixels);
        for (int x = 0; x < t.width; ++x) {
            const JSAMPLE* p = s + x * Components;
            plane[t.base + x * t.step] =
                static_cast<std::uint16_t>(((p[0] >> 3) << 11) | ((p[g] >> 2) << 5) | (p[b] >> 3));
        }
    } else if (out->pixels) {
        for (int x = 0; x < t.width; ++x) {
            const JSAMPLE* p = s + x * Components;
            unsigned char* q = out->pixels + (t.base + x * t.step) * 3;
            q[0] = p[0];
            q[1] = p[g];
            q[2] = p[b];
        }
    }
    unsigned alphaAnd = 255;
    if (out->alpha) {
        for (int x = 0; x < t.width; ++x) {
            out->alpha[t.base + x * t.step] = s[x * Components];
            alphaAnd &= s[x * Components];
        }
    }
    return alphaAnd;
}

// One row of libjpeg's red, green, blue, pad bytes packed into RGB565, each channel truncated.
// Eight pixels at a time in 32-bit lanes (a pixel read as one little-endian word), the low halves
// of the lanes then gathered into eight 16-bit pixels.
void PackRgbxRow(const JSAMPLE* rgbx, std::uint16_t* out, int n) {
    auto pack = [](std::uint32_t v) { return ((v & 0xF8u) << 8) | ((v & 0xFC00u) >> 5) | ((v >> 19) & 0x1Fu); };
    int x = 0;
    if constexpr (std::endian::native == std::endian::little) {
        using VU32 = std::uint32_t __attribute__((vector_size(16)));
        using VU16 = std::uint16_t __attribute__((vector_size(16)));
        for (; x + 8 <= n; x += 8) {
            VU32 lo, hi;
            std::memcpy(&lo, rgbx + x * 4, sizeof lo);
            std::memcpy(&hi, rgbx + x * 4 + 16, sizeof hi);
            lo = ((lo & 0xF8u) << 8) | ((lo & 0xFC00u) >> 5) | ((lo >> 19) & 0x1Fu);
            hi = ((hi & 0xF8u) << 8) | ((hi & 0xFC00u) >> 5) | ((hi >> 19) & 0x1Fu);
            const VU16 packed =
                __builtin_shufflevector(std::bit_cast<VU16>(lo), std::bit_cast<VU16>(hi), 0, 2, 4, 6, 8, 10, 12, 14);
            std::memcpy(out + x, &packed, sizeof packed);
        }
    }
    for (; x < n; ++x) {
        const JSAMPLE* p = rgbx + x * 4;
        out[x] = static_cast<std::uint16_t>(pack(p[0] | p[1] << 8 | p[2] << 16));
    }
}

// Eight rows of eight pixels turned: column j of the block, top to bottom, as vector j.
using VU16x8 = std::uint16_t __attribute__((vector_size(16)));
using VU32x4 = std::uint32_t __attribute__((vector_size(16)));
using VU64x2 = std::uint64_t __attribute__((vector_size(16)));

void Transpose8x8(VU16x8 r[8]) {
    VU16x8 t[8];
    for (int i = 0; i < 8; i += 2) {
        t[i] = __builtin_shufflevector(r[i], r[i + 1], 0, 8, 1, 9, 2, 10, 3, 11);
        t[i + 1] = __builtin_shufflevector(r[i], r[i + 1], 4, 12, 5, 13, 6, 14, 7, 15);
    }
    VU32x4 u[8];
    for (int i = 0; i < 2; ++i) {
        // Pairs of 16-bit lanes: rows 0-1 with 2-3 and rows 4-5 with 6-7.
        const VU32x4 a = std::bit_cast<VU32x4>(t[i]), b = std::bit_cast<VU32x4>(t[i + 2]);
        const VU32x4 c = std::bit_cast<VU32x4>(t[i + 4]), e = std::bit_cast<VU32x4>(t[i + 6]);
        u[i * 2] = __builtin_shufflevector(a, b, 0, 4, 1, 5);
        u[i * 2 + 1] = __builtin_shufflevector(a, b, 2, 6, 3, 7);
        u[i * 2 + 4] = __builtin_shufflevector(c, e, 0, 4, 1, 5);
        u[i * 2 + 5] = __builtin_shufflevector(c, e, 2, 6, 3, 7);
    }
    for (int i = 0; i < 4; ++i) {
        const VU64x2 a = std::bit_cast<VU64x2>(u[i]), b = std::bit_cast<VU64x2>(u[i + 4]);
        r[i * 2] = std::bit_cast<VU16x8>(VU64x2(__builtin_shufflevector(a, b, 0, 2)));
        r[i * 2 + 1] = std::bit_cast<VU16x8>(VU64x2(__builtin_shufflevector(a, b, 1, 3)));
    }
}

// Rows of packed RGB565 pixels into a turned plane: an image column is a plane row, so blocks of
// eight by eight pixels are turned in registers and each written as eight runs of eight pixels.
// The blocks go column strip by column strip, 32 pixels (a cache line of the band) wide, down the
// band, so the plane rows written grow in long runs. Pixels outside whole blocks go one by one.
void TurnPackedBand(JSAMPARRAY band, int rows, int y, const TImageLayout& layout, unsigned char* pixels) {
    constexpr int kStrip = 32;
    auto* plane = reinterpret_cast<std::uint16_t*>(pixels);
    const TRowTarget first = RowTargetOf(layout, y);
    // Row k of the band starts k places along the plane from row 0 in mode 1, k places back in 2.
    const std::ptrdiff_t rowStep = layout.mode == 1 ? 1 : -1;
    auto pixel = [&](int k, int x) {
        std::uint16_t v;
        std::memcpy(&v, band[k] + x * 2, 2);
        return v;
    };
    const int wholeRows = rows / 8 * 8, wholeColumns = layout.width / 8 * 8;
    for (int x0 = 0; x0 < wholeColumns; x0 += kStrip) {
        const int x1 = std::min(x0 + kStrip, wholeColumns);
        for (int k0 = 0; k0 < wholeRows; k0 += 8) {
            for (int x = x0; x < x1; x += 8) {
                VU16x8 block[8];
                for (int i = 0; i < 8; ++i) std::memcpy(&block[i], band[k0 + i] + x * 2, sizeof block[i]);
                Transpose8x8(block);
                for (int j = 0; j < 8; ++j) {
                    std::uint16_t* column = plane + first.base + (x + j) * first.step;
                    if (rowStep > 0) {
                        std::memcpy(column + k0, &block[j], sizeof block[j]);
                    } else {
                        const VU16x8 reversed = __builtin_shufflevector(block[j], block[j], 7, 6, 5, 4, 3, 2, 1, 0);
                        std::memcpy(column - (k0 + 7), &reversed, sizeof reversed);
                    }
                }
            }
        }
    }
    for (int x = 0; x < layout.width; ++x) {
        std::uint16_t* column = plane + first.base + x * first.step;
        for (int k = x < wholeColumns ? wholeRows : 0; k < rows; ++k) column[k * rowStep] = pixel(k, x);
    }
}

// The error record: libjpeg's standard manager whose error_exit jumps back to the decoder.
struct TJpegError {
    jpeg_error_mgr pub;
    sigjmp_buf jump;
    char* lastError;
};

void Quorvan_jpeg_error_exit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<TJpegError*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->lastError);
    siglongjmp(err->jump, 1);
}

// Warnings (a premature end among them) are expected on damaged files; stay quiet.
void QuietOutputMessage(j_common_ptr) {}

// libjpeg source manager reading 4096 bytes at a time from an IFile or from a span.
struct CJpgStreamReader {
    jpeg_source_mgr pub;
    IFile* file = nullptr;
    std::span<const std::uint8_t> bytes;
    std::size_t offset = 0;
    JOCTET* buffer = nullptr;
    bool startOfFile = true;

    int Read(JOCTET* into, int count) {
        if (file) return file->ReadData(into, count);
        const std::size_t left = bytes.size() - offset;
        const int n = static_cast<int>(left < static_cast<std::size_t>(count) ? left : count);
        if (n > 0) std::memcpy(into, bytes.data() + offset, n);
        offset += n;
        return n;
    }

    static void InitSource(j_decompress_ptr cinfo) { Self(cinfo)->startOfFile = true; }

    static boolean FillInputBuffer(j_decompress_ptr cinfo) {
        CJpgStreamReader* self = Self(cinfo);
        if (!self->file && self->offset < self->bytes.size()) {
            // Bytes in memory are handed over whole, not copied through the buffer.
            self->pub.next_input_byte = self->bytes.data() + self->offset;
            self->pub.bytes_in_buffer = self->bytes.size() - self->offset;
            self->offset = self->bytes.size();
            self->startOfFile = false;
            return TRUE;
        }
        int n = self->Read(self->buffer, kJpegInputBufferSize);
        if (n <= 0) {
            if (self->startOfFile) ERREXIT(cinfo, JERR_INPUT_EMPTY);
            WARNMS(cinfo, JWRN_JPEG_EOF);
            // A fake end-of-image marker lets libjpeg finish with what it has.
            self->buffer[0] = 0xFF;
            self->buffer[1] = JPEG_EOI;
            n = 2;
        }
        self->pub.next_input_byte = self->buffer;
        self->pub.bytes_in_buffer = static_cast<std::size_t>(n);
        self->startOfFile = false;
        return TRUE;
    }

    static void SkipInputData(j_decompress_ptr cinfo, long count) {
        CJpgStreamReader* self = Self(cinfo);
        if (count <= 0) return;
        while (count > static_cast<long>(self->pub.bytes_in_buffer)) {
            count -= static_cast<long>(self->pub.bytes_in_buffer);
            FillInputBuffer(cinfo);
        }
        self->pub.next_input_byte += count;
        self->pub.bytes_in_buffer -= static_cast<std::size_t>(count);
    }

    static void TermSource(j_decompress_ptr) {}

    static CJpgStreamReader* Self(j_decompress_ptr cinfo) { return reinterpret_cast<CJpgStreamReader*>(cinfo->src); }
};

struct TJpegDecode {
    jpeg_decompress_struct cinfo;
    TJpegError err;
    CJpgStreamReader reader;
    bool created = false;
    ~TJpegDecode() {
        if (created) jpeg_destroy_decompress(&cinfo);
        std::free(reader.buffer);
    }
};

bool Decode(CJpgStreamReader& source, const char* name, const TDecodeOptions& options, CDecodedImage* out) {
    if (!out) return false;
    out->Reset();
    // Heap state: libjpeg's longjmp leaves locals of this frame indeterminate, members of a heap
    // object are not.
    auto* d = new (std::nothrow) TJpegDecode();
    if (!d) return false;
    struct TOwner {
        TJpegDecode* d;
        ~TOwner() { delete d; }
    } owner{d};
    d->reader.file = source.file;
    d->reader.bytes = source.bytes;
    d->reader.buffer = static_cast<JOCTET*>(std::malloc(kJpegInputBufferSize));
    if (!d->reader.buffer) return false;
    d->cinfo.err = jpeg_std_error(&d->err.pub);
    d->err.pub.error_exit = Quorvan_jpeg_error_exit;
    d->err.pub.output_message = QuietOutputMessage;
    d->err.lastError = szJPGLastError;
    if (sigsetjmp(d->err.jump, 0)) {
        std::fprintf(stderr, "image: %s: JPEG error: %s\n", name, szJPGLastError);
        out->Reset();
        return false;
    }
    jpeg_create_decompress(&d->cinfo);
    d->created = true;
    d->reader.pub.init_source = CJpgStreamReader::InitSource;
    d->reader.pub.fill_input_buffer = CJpgStreamReader::FillInputBuffer;
    d->reader.pub.skip_input_data = CJpgStreamReader::SkipInputData;
    d->reader.pub.resync_to_restart = jpeg_resync_to_restart;
    d->reader.pub.term_source = CJpgStreamReader::TermSource;
    d->reader.pub.bytes_in_buffer = 0;
    d->reader.pub.next_input_byte = nullptr;
    d->cinfo.src = &d->reader.pub;
    jpeg_read_header(&d->cinfo, TRUE);
    if (d->cinfo.image_width > static_cast<JDIMENSION>(kMaxImageSide) ||
        d->cinfo.image_height > static_cast<JDIMENSION>(kMaxImageSide) ||
        static_cast<long long>(d->cinfo.image_width) * d->cinfo.image_height > kMaxImagePixels) {
        std::fprintf(stderr, "image: %s: JPEG of %ux%u is too large\n", name, d->cinfo.image_width,
                     d->cinfo.image_height);
        return false;
    }
    if (options.halve) {
        d->cinfo.scale_num = 1;
        d->cinfo.scale_denom = 2;
    }
    // The colour plane alone in RGB565 is what the game loads from a JPEG, each channel truncated
    // as everywhere (without dithering), straight into the plane's rows or into the band a turned
    // plane is made from. A colour image comes from libjpeg-turbo as red, green, blue and a pad
    // byte, the layout its vector colour conversion writes (its own RGB565 conversion goes pixel by
    // pixel), and is packed here; a grey one comes packed.
    const bool packedRows = !options.trueColor && options.wantPixels && !options.wantAlpha &&
                            (d->cinfo.jpeg_color_space == JCS_GRAYSCALE || d->cinfo.jpeg_color_space == JCS_YCbCr ||
                             d->cinfo.jpeg_color_space == JCS_RGB);
    const bool quadRows = packedRows && d->cinfo.jpeg_color_space != JCS_GRAYSCALE;
    if (packedRows) {
        d->cinfo.out_color_space = quadRows ? JCS_EXT_RGBX : JCS_RGB565;
        d->cinfo.dither_mode = JDITHER_NONE;
    }
    jpeg_start_decompress(&d->cinfo);
    const int components = d->cinfo.output_components;
    if (!packedRows && components != 1 && components != 3) {
        // CMYK and other layouts would leave the planes unset; refuse them instead.
        std::fprintf(stderr, "image: %s: JPEG with %d components is not supported\n", name, components);
        return false;
    }
    const int W = static_cast<int>(d->cinfo.output_width);
    const int H = static_cast<int>(d->cinfo.output_height);
    if (W <= 0 || H <= 0) return false;
    const int bpp = options.trueColor ? 3 : 2;
    if (!AllocatePlanes(options, W, H, bpp, out)) return false;
    const TImageLayout layout{options.orientation, W, H};
    JSAMPARRAY band = packedRows ? nullptr
                                 : (*d->cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&d->cinfo), JPOOL_IMAGE,
                                                                 static_cast<JDIMENSION>(W * components), kBandRows);
    // A turned plane takes packed rows from a band of its own, column by column.
    JSAMPARRAY packedBand = packedRows && layout.mode != 0
                                ? (*d->cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&d->cinfo), JPOOL_IMAGE,
                                                                static_cast<JDIMENSION>(W * 2), kTurnRows)
                                : nullptr;
    // The rows of red, green, blue and pad bytes are packed as soon as they come, from the cache.
    // They start 4 bytes past a 64-byte boundary: libjpeg-turbo writes a row that starts on a vector
    // boundary with stores that bypass the cache, and the packing would read it back from memory.
    JSAMPROW quadBand[kQuadRows] = {};
    if (quadRows) {
        const std::size_t stride = (static_cast<std::size_t>(W) * 4 + 63) / 64 * 64 + 64;
        auto* bytes = static_cast<JSAMPLE*>((*d->cinfo.mem->alloc_large)(reinterpret_cast<j_common_ptr>(&d->cinfo),
                                                                         JPOOL_IMAGE, stride * kQuadRows + 64));
        JSAMPLE* first = bytes + (64 - reinterpret_cast<std::uintptr_t>(bytes) % 64) % 64 + 4;
        for (int k = 0; k < kQuadRows; ++k) quadBand[k] = first + k * stride;
    }
    // Up to `wanted` rows in RGB565 into rows[0..]; how many came.
    auto readPacked = [&](JSAMPROW* rows, int wanted) {
        if (!quadRows) {
            return static_cast<int>(jpeg_read_scanlines(&d->cinfo, rows, static_cast<JDIMENSION>(wanted)));
        }
        int got = 0;
        while (got < wanted) {
            const int n = static_cast<int>(
                jpeg_read_scanlines(&d->cinfo, quadBand, static_cast<JDIMENSION>(std::min(kQuadRows, wanted - got))));
            if (n == 0) break;
            for (int k = 0; k < n; ++k) PackRgbxRow(quadBand[k], reinterpret_cast<std::uint16_t*>(rows[got + k]), W);
            got += n;
        }
        return got;
    };
    int packedFrom = 0, packedCount = 0;  // the first image row in packedBand, and how many
    unsigned alphaAnd = 255;
    while (d->cinfo.output_scanline < d->cinfo.output_height) {
        const int y = static_cast<int>(d->cinfo.output_scanline);
        const int wanted = std::min(kBandRows, H - y);
        if (packedRows && layout.mode == 0) {
            // Straight into the plane's rows.
            JSAMPROW rows[kBandRows];
            for (int k = 0; k < wanted; ++k) rows[k] = out->pixels + static_cast<std::size_t>(y + k) * W * 2;
            if (readPacked(rows, wanted) == 0) break;
            continue;
        }
        if (packedRows) {
            // Into the band of rows the turned plane takes column by column.
            const int got = readPacked(packedBand + packedCount, wanted);
            if (got == 0) break;
            packedCount += got;
            if (packedCount + kBandRows > kTurnRows || y + got >= H) {
                TurnPackedBand(packedBand, packedCount, packedFrom, layout, out->pixels);
                packedFrom = y + got;
                packedCount = 0;
            }
            continue;
        }
        const int got = static_cast<int>(jpeg_read_scanlines(&d->cinfo, band, static_cast<JDIMENSION>(wanted)));
        if (got == 0) break;
        for (int k = 0; k < got; ++k) {
            if (components == 3) {
                alphaAnd &= ConvertRow<3>(band[k], RowTargetOf(layout, y + k), bpp, out);
            } else {
                alphaAnd &= ConvertRow<1>(band[k], RowTargetOf(layout, y + k), bpp, out);
            }
        }
    }
    const bool notOpaque = out->alpha != nullptr && alphaAnd != 255;
    jpeg_finish_decompress(&d->cinfo);
    out->width = W;
    out->height = H;
    out->bytesPerPixel = bpp;
    out->alphaNotOpaque = notOpaque;
    return true;
}

}  // namespace

bool DecodeJpeg(std::span<const std::uint8_t> bytes, const char* nameForLog, const TDecodeOptions& options,
                CDecodedImage* out) {
    CJpgStreamReader source;
    source.bytes = bytes;
    return Decode(source, nameForLog ? nameForLog : "", options, out);
}

bool DecodeJpegStream(IFile* file, const char* nameForLog, const TDecodeOptions& options, CDecodedImage* out) {
    if (!file) return false;
    CJpgStreamReader source;
    source.file = file;
    return Decode(source, nameForLog ? nameForLog : "", options, out);
}
