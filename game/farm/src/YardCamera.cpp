#include "game/farm/YardCamera.h"

#include <cmath>
#include <cstdint>

#include "app/GameBase.h"
#include "game/farm/FarmObject.h"
#include "render/DibBitmap.h"

namespace {

// The yard's depth at which the perspective would reach infinity, in world pixels: twice the
// depth of the near edge, so that the near edge is drawn at twice the far edge's size.
constexpr float kVanishingDepth = 658.0f;
constexpr float kNearDepth = 329.0f;
// How far above the screen's bottom edge the yard's far edge lies, in pixels.
constexpr int kFarEdgeAboveBottom = 314;

// The perspective parameter of a depth: 0 at the far edge, 1 at the near edge.
float DepthToT(FIXED_FLOAT y) { return 1.0f / (1.0f - (static_cast<float>(y) / 256.0f) / kVanishingDepth) - 1.0f; }

void BackBufferSize(CGameBase* game, int& w, int& h) {
    w = 0;
    h = 0;
    if (game == nullptr) return;
    const IDibBitmap* back = game->m_Screen.m_pBackBuffer;
    if (back != nullptr) {
        w = back->m_Width;
        h = back->m_Height;
    } else {
        w = game->m_nGameWidth;
        h = game->m_nGameHeight;
    }
}

int RoundToInt(float value) { return static_cast<int>(std::lround(value)); }

}  // namespace

FIXED_FLOAT_16 WorldToScreenScale(TVector2D position) {
    const float t = DepthToT(position.y);
    return RoundToInt((0.5f + 0.5f * t) * 65536.0f);
}

TVector2D WorldToScreen(CGameBase* game, TVector2D world) {
    int w, h;
    BackBufferSize(game, w, h);
    const float t = DepthToT(world.y);
    const FIXED_FLOAT s = WorldToScreenScale(world) >> 8;
    TVector2D screen;
    // 64 bits from the start: a position far off the yard must not overflow on its way.
    screen.x = static_cast<FIXED_FLOAT>((static_cast<std::int64_t>(s) * (std::int64_t{world.x} - 320 * 256)) >> 8) +
               (w / 2) * 256;
    screen.y = static_cast<FIXED_FLOAT>((static_cast<float>(h - kFarEdgeAboveBottom) + kNearDepth * t) * 256.0f + 0.5f);
    return screen;
}

TVector2D ScreenToWorld(CGameBase* game, TVector2D screen) {
    int w, h;
    BackBufferSize(game, w, h);
    // Rows above the far edge are the far edge: on a screen 643 or more rows high the inverse
    // would divide by zero 329 rows above it and put the rows above that in front of the yard.
    const FIXED_FLOAT farEdge = (h - kFarEdgeAboveBottom) * 256;
    if (screen.y < farEdge) screen.y = farEdge;
    const float t = (static_cast<float>(screen.y) / 256.0f - static_cast<float>(h - kFarEdgeAboveBottom)) / kNearDepth;
    const float x = (static_cast<float>(screen.x) / 256.0f - static_cast<float>(w / 2)) / (0.5f + 0.5f * t) + 320.0f;
    const float y = (1.0f - 1.0f / (t + 1.0f)) * kVanishingDepth;
    TVector2D world;
    world.x = RoundToInt(x * 256.0f);
    world.y = RoundToInt(y * 256.0f);
    return world;
}

int CompareFunc(const void* a, const void* b) {
    const CFarmObject* first = *static_cast<CFarmObject* const*>(a);
    const CFarmObject* second = *static_cast<CFarmObject* const*>(b);
    if (first->m_Position.y < second->m_Position.y) return -1;
    if (first->m_Position.y > second->m_Position.y) return 1;
    return 0;
}
