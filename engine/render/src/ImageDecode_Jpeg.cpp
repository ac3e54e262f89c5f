// JPEG decoding through libjpeg's 6b API with our own source manager, over bytes or an IFile.
#include <csetjmp>
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
    jpeg_start_decompress(&d->cinfo);
    const int components = d->cinfo.output_components;
    if (components != 1 && components != 3) {
        // CMYK and other layouts would leave the planes unset; refuse them instead.
        std::fprintf(stderr, "image: %s: JPEG with %d components is not supported\n", name, components);
        return false;
    }
    const int W = static_cast<int>(d->cinfo.output_width);
    const int H = static_cast<int>(d->cinfo.output_height);
    if (W <= 0 || H <= 0) return false;
    const int bpp = options.trueColor ? 3 : 2;
    if (!AllocatePlanes(options, W, H, bpp, out)) return false;
    JSAMPARRAY row = (*d->cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&d->cinfo), JPOOL_IMAGE,
                                                   static_cast<JDIMENSION>(W * components), 1);
    const TImageLayout layout{options.orientation, W, H};
    bool notOpaque = false;
    while (d->cinfo.output_scanline < d->cinfo.output_height) {
        const int y = static_cast<int>(d->cinfo.output_scanline);
        if (jpeg_read_scanlines(&d->cinfo, row, 1) != 1) break;
        const JSAMPLE* s = row[0];
        for (int x = 0; x < W; ++x) {
            const JSAMPLE* p = s + x * components;
            const int r = p[0];
            const int g = components == 3 ? p[1] : p[0];
            const int b = components == 3 ? p[2] : p[0];
            const std::size_t index = layout.Index(x, y);
            if (out->pixels) {
                if (bpp == 2) {
                    const std::uint16_t v = static_cast<std::uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
                    std::memcpy(out->pixels + index * 2, &v, 2);
                } else {
                    unsigned char* t = out->pixels + index * 3;
                    t[0] = static_cast<unsigned char>(r);
                    t[1] = static_cast<unsigned char>(g);
                    t[2] = static_cast<unsigned char>(b);
                }
            }
            if (out->alpha) {
                out->alpha[index] = static_cast<unsigned char>(r);
                if (r != 255) notOpaque = true;
            }
        }
    }
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
