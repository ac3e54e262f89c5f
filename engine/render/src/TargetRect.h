#pragma once
// A rectangle given as seen on a GL draw target, in the corners the target's stored layout uses,
// and its clipping and drawing as one untextured quad. The hardware rectangle fills share it.

#include <algorithm>
#include <utility>

#include "render/DibBitmap.h"
#include "render/GlesGlobals.h"

namespace render_detail {

struct TTargetRect {
    int x0, y0, x1, y1;  // x0 <= x1, y0 <= y1
};

// The turned orientation modes store the target turned by 90 degrees; seenW x seenH is its size
// as seen.
inline TTargetRect ToTargetRect(int mode, int seenW, int seenH, int x, int y, int w, int h) {
    TTargetRect r{x, y, x + w, y + h};
    if (mode == kOrientationTurned1) {
        r = TTargetRect{y, seenH - 1 - (x + w), y + h, seenH - 1 - x};
    } else if (mode == kOrientationTurned2) {
        r = TTargetRect{seenW - 1 - (y + h), x, seenW - 1 - y, x + w};
    }
    if (r.x0 > r.x1) {
        std::swap(r.x0, r.x1);
    }
    if (r.y0 > r.y1) {
        std::swap(r.y0, r.y1);
    }
    return r;
}

// Cuts the rectangle to 0..W x 0..H; false when it lies wholly outside.
inline bool ClipTargetRect(TTargetRect& r, int W, int H) {
    if (r.x0 > W || r.y0 > H || r.x1 < 0 || r.y1 < 0) {
        return false;
    }
    r.x0 = std::clamp(r.x0, 0, W);
    r.x1 = std::clamp(r.x1, 0, W);
    r.y0 = std::clamp(r.y0, 0, H);
    r.y1 = std::clamp(r.y1, 0, H);
    return true;
}

// One quad with no texture, corners clockwise from the top left, an RGBA colour per corner.
inline void RenderTargetRect(const TTargetRect& r, const GLubyte colours[16]) {
    GLES_SelectTexture(0, g_prefer_GL_NEAREST);
    const GLfixed xy[8] = {r.x0 << 8, r.y0 << 8, r.x1 << 8, r.y0 << 8, r.x1 << 8, r.y1 << 8, r.x0 << 8, r.y1 << 8};
    const GLfixed uv[8] = {};
    GLES_RenderQUAD(xy, uv, colours);
}

}  // namespace render_detail
