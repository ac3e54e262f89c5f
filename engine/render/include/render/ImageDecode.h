#pragma once
// Decoding of PNG and JPEG bytes into the planes a bitmap adopts: RGB565 (or red, green, blue
// bytes in true colour) and an 8-bit alpha plane, both laid out by the bitmap's orientation mode
// and optionally halved (2 x 2 box average for PNG, libjpeg's 1/2 scaling for JPEG).
//
// These are the one entry point over outside bytes for the image loaders, the tests and the fuzz
// target. They never throw and never touch the game, GL or any global switch, so any thread may
// call them. Failures log one "image: <name>: <reason>" line on stderr and return false.

#include <cstddef>
#include <cstdint>
#include <span>

class IFile;

// Largest image accepted, per side and in pixels; bigger headers are refused before any plane is
// allocated (a hostile header cannot make us reserve gigabytes).
inline constexpr int kMaxImageSide = 8192;
inline constexpr long long kMaxImagePixels = 16LL * 1024 * 1024;

struct TDecodeOptions {
    int orientation = 0;     // 0 as seen, 1 and 2 turned (see the stored-layout table in ImageLoaders.h)
    bool halve = false;      // a 2x image loaded outside double-resolution mode
    bool trueColor = false;  // three bytes per pixel (red, green, blue) instead of RGB565
    bool wantPixels = true;  // decode the colour plane
    bool wantAlpha = true;   // decode the alpha plane (PNG: its alpha; JPEG: the first channel)
};

// The decoded planes, malloc'ed; freed by the destructor unless released to a bitmap.
class CDecodedImage {
public:
    CDecodedImage() = default;
    ~CDecodedImage();
    CDecodedImage(const CDecodedImage&) = delete;
    CDecodedImage& operator=(const CDecodedImage&) = delete;

    int width = 0, height = 0;  // the image as seen, after halving
    int bytesPerPixel = 2;
    bool alphaNotOpaque = false;  // some stored alpha differs from 255
    unsigned char* pixels = nullptr;
    unsigned char* alpha = nullptr;

    // Hands the buffer over (the caller frees it or gives it to SetBits / SetAlphaBits).
    unsigned char* ReleasePixels();
    unsigned char* ReleaseAlpha();
    void Reset();
};

// Interlaced PNGs are refused; 16-bit channels are reduced to 8 bits.
[[nodiscard]] bool DecodePng(std::span<const std::uint8_t> bytes, const char* nameForLog, const TDecodeOptions& options,
                             CDecodedImage* out);
// Grey (1 component) and colour (3 components) JPEGs; other component counts are refused. An
// empty input fails; a truncated one decodes what it has (libjpeg fills the rest).
[[nodiscard]] bool DecodeJpeg(std::span<const std::uint8_t> bytes, const char* nameForLog,
                              const TDecodeOptions& options, CDecodedImage* out);
// The same over an open file read in 4096-byte steps (the stream reader of the news pictures).
[[nodiscard]] bool DecodeJpegStream(IFile* file, const char* nameForLog, const TDecodeOptions& options,
                                    CDecodedImage* out);

// The message of the last fatal libjpeg error (kept for diagnostics; 256 bytes).
extern char szJPGLastError[256];
