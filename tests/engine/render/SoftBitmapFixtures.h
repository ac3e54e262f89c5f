// Small fixtures for the software-bitmap suites: bitmaps filled from formulas, a render host
// whose switches the tests set, and reference arithmetic written from the pixel model (kept
// apart from the code under test).
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>

#include "render/WinDibBitmap.h"
#include "testsupport/FakeRenderHost.h"

namespace soft_test {

class CSoftTestGame : public CFakeRenderHost {
public:
    CSoftTestGame() {
        m_Screen.m_nOrientationMode = 0;
        m_ImagesDir = "img/";
    }
};

inline std::uint16_t Rgb(int r5, int g6, int b5) { return static_cast<std::uint16_t>((r5 << 11) | (g6 << 5) | b5); }
inline int R5(std::uint16_t p) { return p >> 11; }
inline int G6(std::uint16_t p) { return (p >> 5) & 63; }
inline int B5(std::uint16_t p) { return p & 31; }

// d + ((s - d) * a >> 8) per field, a floor shift.
inline std::uint16_t RefBlend(std::uint16_t d, std::uint16_t s, int a) {
    auto ch = [a](int dc, int sc) {
        const int diff = (sc - dc) * a;
        // floor division by 256, also for negative products
        const int q = diff >= 0 ? diff / 256 : -((-diff + 255) / 256);
        return dc + q;
    };
    return Rgb(ch(R5(d), R5(s)), ch(G6(d), G6(s)), ch(B5(d), B5(s)));
}

// The fast blit's two-channels-in-one-word blend, computed the long way: red and blue sit in one
// unsigned 32-bit word 16 bits apart, so a negative blue difference borrows from red in the word.
inline std::uint16_t RefPackedBlend(std::uint16_t d, std::uint16_t s, unsigned a) {
    const std::uint64_t mod = 1ull << 32;
    const std::uint64_t srb = (static_cast<std::uint64_t>(R5(s)) << 16) + B5(s);
    const std::uint64_t drb = (static_cast<std::uint64_t>(R5(d)) << 16) + B5(d);
    const std::uint64_t diff = (srb + mod - drb) % mod;
    const std::uint64_t rb = (drb + ((a * diff) % mod) / 256) % mod;
    // Green alone: (d + a*(s-d) >> 8 on the field shifted by 5), masked.
    const std::uint64_t sg = static_cast<std::uint64_t>(G6(s)) << 5;
    const std::uint64_t dg = static_cast<std::uint64_t>(G6(d)) << 5;
    const std::uint64_t gw = (dg + ((a * ((sg + mod - dg) % mod)) % mod) / 256) % mod;
    return static_cast<std::uint16_t>(((rb >> 16) & 31) << 11 | (((gw >> 5) & 63) << 5) | (rb & 31));
}

// A bitmap of w x h stored pixels; alpha null means no alpha plane.
inline std::unique_ptr<CWinDibBitmap> MakeBitmap(int w, int h, const std::function<std::uint16_t(int, int)>& pixel,
                                                 const std::function<int(int, int)>& alpha = nullptr,
                                                 IRenderHost* game = nullptr) {
    auto bmp = std::make_unique<CWinDibBitmap>(game);
    auto* px = static_cast<std::uint16_t*>(std::malloc(sizeof(std::uint16_t) * w * h));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            px[y * w + x] = pixel(x, y);
        }
    }
    bmp->SetBits(reinterpret_cast<unsigned char*>(px), w, h);
    if (alpha) {
        auto* al = static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(w) * h));
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                al[y * w + x] = static_cast<unsigned char>(alpha(x, y));
            }
        }
        bmp->SetAlphaBits(al, w, h);
    }
    return bmp;
}

// A destination filled with one colour and no alpha plane.
inline std::unique_ptr<CWinDibBitmap> MakeCanvas(int w, int h, std::uint16_t fill) {
    return MakeBitmap(w, h, [fill](int, int) { return fill; });
}

inline std::uint16_t& PixelAt(IDibBitmap* b, int x, int y) {
    auto* soft = static_cast<CWinDibBitmap*>(b);
    return reinterpret_cast<std::uint16_t*>(b->GetBits())[y * soft->GetStoredWidth() + x];
}

inline unsigned char& AlphaAt(IDibBitmap* b, int x, int y) {
    auto* soft = static_cast<CWinDibBitmap*>(b);
    return b->GetAlphaBits()[y * soft->GetStoredWidth() + x];
}

// A pattern whose every pixel differs from its neighbours in all three fields.
inline std::uint16_t Pattern(int x, int y) {
    return Rgb((x * 3 + y * 7 + 1) & 31, (x * 5 + y * 11 + 3) & 63, (x * 13 + y * 2 + 5) & 31);
}

}  // namespace soft_test
