// JPEG decoding through libjpeg's 6b API with our own source manager, over bytes or an IFile.
#include <algorithm>
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

// Rows of packed RGB565 pixels into a turned plane. The work goes in square tiles so that both
// the rows read and the plane rows written are touched in runs of whole cache lines, a few pages
// at a time.
void TurnPackedBand(JSAMPARRAY band, int rows, int y, const TImageLayout& layout, unsigned char* pixels) {
    constexpr int kTile = 32;
    auto* plane = reinterpret_cast<std::uint16_t*>(pixels);
    const TRowTarget first = RowTargetOf(layout, y);
    // Row k of the band starts k places along the plane from row 0 in mode 1, k places back in 2.
    const std::ptrdiff_t rowStep = layout.mode == 1 ? 1 : -1;
    for (int x0 = 0; x0 < layout.width; x0 += kTile) {
        const int x1 = std::min(x0 + kTile, layout.width);
        for (int k0 = 0; k0 < rows; k0 += kTile) {
            const int k1 = std::min(k0 + kTile, rows);
            for (int x = x0; x < x1; ++x) {
                std::uint16_t* column = plane + first.base + x * first.step;
                for (int k = k0; k < k1; ++k) {
                    std::uint16_t v;
                    std::memcpy(&v, band[k] + x * 2, 2);
                    column[k * rowStep] = v;
                }
            }
        }
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
    // The colour plane alone in RGB565 is what the game loads from a JPEG: libjpeg-turbo writes it
    // itself, each channel truncated as everywhere (without dithering), straight into the plane's
    // rows or into the band a turned plane is made from.
    const bool packedRows = !options.trueColor && options.wantPixels && !options.wantAlpha &&
                            (d->cinfo.jpeg_color_space == JCS_GRAYSCALE || d->cinfo.jpeg_color_space == JCS_YCbCr ||
                             d->cinfo.jpeg_color_space == JCS_RGB);
    if (packedRows) {
        d->cinfo.out_color_space = JCS_RGB565;
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
    int packedFrom = 0, packedCount = 0;  // the first image row in packedBand, and how many
    unsigned alphaAnd = 255;
    while (d->cinfo.output_scanline < d->cinfo.output_height) {
        const int y = static_cast<int>(d->cinfo.output_scanline);
        const int wanted = std::min(kBandRows, H - y);
        if (packedRows && layout.mode == 0) {
            // Straight into the plane's rows.
            JSAMPROW rows[kBandRows];
            for (int k = 0; k < wanted; ++k) rows[k] = out->pixels + static_cast<std::size_t>(y + k) * W * 2;
            if (jpeg_read_scanlines(&d->cinfo, rows, static_cast<JDIMENSION>(wanted)) == 0) break;
            continue;
        }
        if (packedRows) {
            // Into the band of rows the turned plane takes column by column.
            const int got = static_cast<int>(
                jpeg_read_scanlines(&d->cinfo, packedBand + packedCount, static_cast<JDIMENSION>(wanted)));
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
