// Anti-aliased software lines and the switch to the GL renderer's line.
#include "render/DrawLine.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "Pixel565.h"
#include "render/DibBitmap.h"
#include "render/RenderHost.h"

using namespace render_detail;

namespace {

DrawLineHardwareFn g_DrawLineHardware = nullptr;

inline void BlendLinePixel(std::uint16_t& p, int cov, int kr, int kg, int kb) {
    if (cov <= 0) {
        return;
    }
    const int r = Red5(p), g = Green6(p), b = Blue5(p);
    p = static_cast<std::uint16_t>(((r + ((cov * (kr - r)) >> 8)) << 11) | ((g + ((cov * (kg - g)) >> 8)) << 5) |
                                   (b + ((cov * (kb - b)) >> 8)));
}

}  // namespace

void SetDrawLineHardwarePath(DrawLineHardwareFn fn) { g_DrawLineHardware = fn; }

int DrawLine_AA(IRenderHost* game, int x0, int y0, int x1, int y1, int r, int g, int b, int alpha0, int alpha1) {
    if (IsGlesRenderer(game)) {
        return g_DrawLineHardware != nullptr ? g_DrawLineHardware(game, x0, y0, x1, y1, r, g, b, alpha0, alpha1) : 0;
    }
    DrawLine_AA_Software(ScreenOf(game).m_pBackBuffer, x0, y0, x1, y1, r, g, b, alpha0, alpha1);
    return 0;
}

void DrawLine_AA_Software(IDibBitmap* target, int x0, int y0, int x1, int y1, int r, int g, int b, int alpha0,
                          int alpha1) {
    const TDestination d = DestinationOf(target);
    if (d.pixels == nullptr) {
        return;
    }
    r &= 255;
    g &= 255;
    b &= 255;
    alpha0 &= 255;
    alpha1 &= 255;
    const int W = d.width, H = d.height;
    // Seen (x, y) lands on the stored pixel of the orientation rule.
    const int mode = target->GetOrientationMode();
    auto turn = [&](int& x, int& y) {
        if (mode == kOrientationTurned1) {
            const int nx = y, ny = H - 1 - x;
            x = nx;
            y = ny;
        } else if (mode == kOrientationTurned2) {
            const int nx = W - 1 - y, ny = x;
            x = nx;
            y = ny;
        }
    };
    turn(x0, y0);
    turn(x1, y1);
    if ((x0 < 0 && x1 < 0) || (x0 >= W && x1 >= W) || (y0 < 0 && y1 < 0) || (y0 >= H && y1 >= H)) {
        return;
    }
    if (y0 == y1) {
        const int from = std::min(x0, x1), to = std::max(x0, x1) + 1;
        target->DrawLineH(from, to, y0, static_cast<unsigned char>(r), static_cast<unsigned char>(g),
                          static_cast<unsigned char>(b), static_cast<unsigned char>(alpha0));
        target->DrawLineH(from, to, y0 + 1, static_cast<unsigned char>(r), static_cast<unsigned char>(g),
                          static_cast<unsigned char>(b), static_cast<unsigned char>(alpha0));
        return;
    }
    if (x0 == x1) {
        const int from = std::min(y0, y1), to = std::max(y0, y1) + 1;
        target->DrawLineV(x0, from, to, static_cast<unsigned char>(r), static_cast<unsigned char>(g),
                          static_cast<unsigned char>(b), static_cast<unsigned char>(alpha0));
        target->DrawLineV(x0 + 1, from, to, static_cast<unsigned char>(r), static_cast<unsigned char>(g),
                          static_cast<unsigned char>(b), static_cast<unsigned char>(alpha0));
        return;
    }
    const int kr = r >> 3, kg = g >> 2, kb = b >> 3;
    const bool majorX = std::abs(x1 - x0) >= std::abs(y1 - y0);
    // Walk the major axis upwards; swap the ends (and their alphas) when needed.
    int ma0 = majorX ? x0 : y0, ma1 = majorX ? x1 : y1;
    int mi0 = majorX ? y0 : x0, mi1 = majorX ? y1 : x1;
    if (ma0 > ma1) {
        std::swap(ma0, ma1);
        std::swap(mi0, mi1);
        std::swap(alpha0, alpha1);
    }
    const int span = ma1 - ma0;
    const int majorSize = majorX ? W : H;
    const int minorSize = majorX ? H : W;
    const std::int64_t minorStep = (static_cast<std::int64_t>(mi1 - mi0) << 16) / span;
    const int alphaStep = ((alpha1 - alpha0) * 256) / span;
    for (int i = 0; i <= span; ++i) {
        const int major = ma0 + i;
        if (major > majorSize - 1) {
            break;
        }
        if (major < 0) {
            continue;
        }
        const std::int64_t minor16 = (static_cast<std::int64_t>(mi0) << 16) + minorStep * i;
        const int minor = static_cast<int>(minor16 >> 16);
        if (minor < 1 || minor > minorSize - 2) {
            continue;
        }
        const int fraction = static_cast<int>((minor16 >> 8) & 255);
        const int a = ((alpha0 << 8) + alphaStep * i) >> 8;
        auto at = [&](int across) -> std::uint16_t& {
            return majorX ? d.pixels[across * d.stride + major] : d.pixels[major * d.stride + across];
        };
        BlendLinePixel(at(minor - 1), ((256 - fraction) * a) >> 8, kr, kg, kb);
        BlendLinePixel(at(minor), a, kr, kg, kb);
        BlendLinePixel(at(minor + 1), (fraction * a) >> 8, kr, kg, kb);
    }
}
