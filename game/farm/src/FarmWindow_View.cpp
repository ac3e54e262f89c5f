// The yard's sky: the gradient and the background picture, the turning sun and the clouds that
// drift past it, cover it (turning it orange) and light up at their edges while they do.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "app/GameBase.h"
#include "game/farm/FarmDefs.h"
#include "game/farm/FarmWindow.h"
#include "game/gameplay/GameplayMath.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/UserProfile.h"
#include "render/DibBitmap.h"
#include "render/DrawingHelpers.h"
#include "render/ImageRotatorScaler.h"

namespace {

// The sky covers the screen down to this far above its bottom edge; the background is drawn at
// 0.9375 on the bottom edge.
constexpr int kSkyAboveBottomPx = 356;
constexpr FIXED_FLOAT_16 kBackgroundScale = 61440;
// Clouds drift in a band from the screen's top to 430 pixels above its bottom, and come in and
// go out 60 pixels beyond its sides.
constexpr int kCloudBandAboveBottomPx = 430;
constexpr int kCloudOffscreenPx = 60;
constexpr double kCloudFastest = 0.6;  // added to the slowest for the highest cloud
constexpr double kCloudSlowest = 0.15;
constexpr FIXED_FLOAT_16 kCloudScale = 32768;      // 0.5
constexpr FIXED_FLOAT_16 kCloudEdgeScale = 34406;  // 0.525
// The square of the sun that clouds can cover, and the part of a cloud's image that covers.
constexpr int kSunSquarePx = 52;
constexpr int kCloudMarginPx = 8;
// Blend modes of the rotator's source-origin draw.
constexpr int kBlendPlain = 0;
constexpr int kBlendAdditive = 1;
constexpr int kBlendMultiply = 2;

FIXED_FLOAT RoundToFixed(double pixels) { return static_cast<FIXED_FLOAT>(std::lround(pixels * 256.0)); }

void BackBufferSize(CGameBase* game, int& w, int& h) {
    const IDibBitmap* back = game->m_Screen.m_pBackBuffer;
    w = back != nullptr ? back->m_Width : game->m_nGameWidth;
    h = back != nullptr ? back->m_Height : game->m_nGameHeight;
}

// The overlap of [a, a + la) and [b, b + lb), 24.8; 0 when they do not meet.
std::int64_t Overlap(std::int64_t a, std::int64_t la, std::int64_t b, std::int64_t lb) {
    return std::max<std::int64_t>(0, std::min(a + la, b + lb) - std::max(a, b));
}

}  // namespace

TSunTint SunTintForCover(double cover) {
    TSunTint tint;
    if (cover <= 0) return tint;
    // A cover past about 2.68 would take blue below 0: each channel stops at 0.
    tint.g = std::max(0, 255 + gameplay::TruncToInt32(-31.0 * cover));
    tint.b = std::max(0, 255 + gameplay::TruncToInt32(-95.0 * cover));
    return tint;
}

TVector2D CXFarmWindow::GetSunPosition() {
    CGameBase* game = GameBase();
    int w, h;
    BackBufferSize(game, w, h);
    const TUserProfile* profile = CurrentProfileOf(game);
    const bool sunset = profile != nullptr && profile->m_CurrentYard == "yard4";
    const int below = h > 480 ? (h - 480) / 2 : 0;
    double x;
    int y;
    if (sunset) {
        x = 0.4 * w;
        y = 35 + below;
    } else {
        x = h > 480 ? 0.6 * w : 0.7 * w;
        y = 40 + below;
    }
    return TVector2D{static_cast<FIXED_FLOAT>(std::floor(x * 256.0 + 0.5)), y * 256};
}

void CXFarmWindow::GetRandomCloudPos(bool offscreen, TVector2D& position, TVector2D& speed) {
    CGameBase* game = GameBase();
    int w, h;
    BackBufferSize(game, w, h);
    // Screens 430 pixels high or less still get a band one pixel high to draw from.
    const int band = std::max(1, h - kCloudBandAboveBottomPx);
    const int y = game->RandomValue(band);
    const int width = GetPosition().width > 0 ? GetPosition().width : w;
    const int x = offscreen ? -kCloudOffscreenPx : game->RandomValue(width + 2 * kCloudOffscreenPx) - kCloudOffscreenPx;
    position = TVector2D{x * 256, y * 256};
    speed = TVector2D{RoundToFixed((1.0 - static_cast<double>(y) / band) * kCloudFastest + kCloudSlowest), 0};
}

void CXFarmWindow::RunProcessClouds() {
    int w, h;
    BackBufferSize(GameBase(), w, h);
    for (int i = m_CloudPositions.count - 1; i >= 0; --i) {
        TVector2D& position = m_CloudPositions[i];
        position.x += m_CloudSpeeds[i].x;
        position.y += m_CloudSpeeds[i].y;
        if (position.x >= (w + 2 * kCloudOffscreenPx) * 256) GetRandomCloudPos(true, position, m_CloudSpeeds[i]);
    }
}

double CXFarmWindow::GetPercentageSunCoveredByClouds(CQuorvanArray<int>& cloudIndices, CQuorvanArray<double>& ratios) {
    cloudIndices.count = 0;
    ratios.count = 0;
    if (m_pSunImage == nullptr) return 0.0;
    const TVector2D sun = GetSunPosition();
    const std::int64_t side = kSunSquarePx * 256;
    const std::int64_t sunLeft = sun.x - side / 2, sunTop = sun.y - side / 2;
    const double sunArea = kSunSquarePx * kSunSquarePx;
    double cover = 0.0;
    for (int i = m_Clouds.count - 1; i >= 0; --i) {
        const IDibBitmap* cloud = m_Clouds[i];
        if (cloud == nullptr || i >= m_CloudPositions.count) continue;
        const int coreW = cloud->m_Width - kCloudMarginPx, coreH = cloud->m_Height - kCloudMarginPx;
        if (coreW <= 0 || coreH <= 0) continue;
        // The cloud's dense core: half its image each way, around its centre.
        const std::int64_t cw = RoundToFixed(coreW / 2.0), ch = RoundToFixed(coreH / 2.0);
        const std::int64_t left = m_CloudPositions[i].x - RoundToFixed(coreW / 4.0);
        const std::int64_t top = m_CloudPositions[i].y - RoundToFixed(coreH / 4.0);
        const std::int64_t ox = Overlap(left, cw, sunLeft, side), oy = Overlap(top, ch, sunTop, side);
        if (ox <= 0 || oy <= 0) continue;
        const std::int64_t area = (ox * oy) >> 16;
        const std::int64_t coreArea = (cw * ch) >> 16;
        cover += area / sunArea;
        if (!cloudIndices.Add(i) || !ratios.Add(coreArea > 0 ? static_cast<double>(area) / coreArea : 0.0)) break;
    }
    return cover;
}

void CXFarmWindow::DrawSkyAndBackground() {
    CGameBase* game = GameBase();
    IDibBitmap* back = GetBackBuffer();
    const int w = back->m_Width, h = back->m_Height;
    if (m_pYardDef != nullptr) {
        const std::uint8_t* top = m_pYardDef->skyTop;
        const std::uint8_t* bottom = m_pYardDef->skyBottom;
        FillRectangleGradientV(game, back, 0, 0, w, h - kSkyAboveBottomPx, top[0], top[1], top[2], bottom[0], bottom[1],
                               bottom[2]);
    }
    if (m_pBackgroundImage == nullptr || game->GetRotatorScaler() == nullptr) return;
    const std::int64_t scaledW = (static_cast<std::int64_t>(m_pBackgroundImage->m_Width) * kBackgroundScale) >> 8;
    const std::int64_t scaledH = (static_cast<std::int64_t>(m_pBackgroundImage->m_Height) * kBackgroundScale) >> 8;
    const auto x = static_cast<FIXED_FLOAT>((std::int64_t{w} * 256 - scaledW) / 2);
    const auto y = static_cast<FIXED_FLOAT>(std::int64_t{h} * 256 - scaledH);
    game->GetRotatorScaler()->DrawRotatedBitmapWithSourceOriginWithBlendMode(
        m_pBackgroundImage, back, x, y, 0, 0, 0, kBackgroundScale, kBlendPlain, 0, 255, 255, 255, 0);
}

void CXFarmWindow::DrawSunAndClouds() {
    CGameBase* game = GameBase();
    IDibBitmap* back = GetBackBuffer();
    CQuorvanImageRotatorScaler* rotator = game->GetRotatorScaler();
    if (rotator == nullptr) return;
    CQuorvanArray<int> covering;
    CQuorvanArray<double> ratios;
    const double cover = GetPercentageSunCoveredByClouds(covering, ratios);
    const TVector2D sun = GetSunPosition();
    if (m_pSunImage != nullptr) {
        const TSunTint tint = SunTintForCover(cover);
        rotator->DrawRotatedBitmapWithSourceOriginWithBlendMode(
            m_pSunImage, back, sun.x, sun.y, m_nSunAngle, m_pSunImage->m_Width * 128, m_pSunImage->m_Height * 128,
            kFixed16One, kBlendMultiply, 0, tint.r, tint.g, tint.b, 0);
    }
    for (int i = m_Clouds.count - 1; i >= 0; --i) {
        IDibBitmap* cloud = m_Clouds[i];
        if (cloud == nullptr || i >= m_CloudPositions.count) continue;
        const TVector2D at = m_CloudPositions[i];
        const int originX = cloud->m_Width * 128, originY = cloud->m_Height * 128;
        double p = 0.0;
        for (int k = covering.count - 1; k >= 0; --k) {
            if (covering[k] == i) {
                p = ratios[k];
                break;
            }
        }
        int grey = 255;
        if (p > 0) {
            // The edge towards the sun lights up: the cloud drawn again a little larger, added,
            // shifted towards the sun the less of it covers the sun.
            const FIXED_FLOAT_16 eased = SCurve16(static_cast<FIXED_FLOAT_16>(p * 65536.0), rotator);
            const std::int64_t dx = sun.x - at.x, dy = sun.y - at.y;
            const double length = gameplay::PathLengthPx(dx, dy) * 256.0;
            TVector2D unit{};
            if (length > 0) unit = TVector2D{RoundToFixed(dx / length), RoundToFixed(dy / length)};
            const FIXED_FLOAT k = RoundToFixed((1.0 - p) * 1.5);
            const FIXED_FLOAT ex = at.x + static_cast<FIXED_FLOAT>((std::int64_t{unit.x} * k) >> 8);
            const FIXED_FLOAT ey = at.y + static_cast<FIXED_FLOAT>((std::int64_t{unit.y} * k) >> 8);
            const int alpha = gameplay::TruncToInt32(eased / 65536.0 * 255.0) - 255;
            rotator->DrawRotatedBitmapWithSourceOriginWithBlendMode(
                cloud, back, ex, ey, 0, originX, originY, kCloudEdgeScale, kBlendAdditive, alpha, 255, 255, 255, 0);
            grey = 255 + gameplay::TruncToInt32(-95.0 * p);
        }
        rotator->DrawRotatedBitmapWithSourceOriginWithBlendMode(cloud, back, at.x, at.y, 0, originX, originY,
                                                                kCloudScale, kBlendMultiply, 0, grey, grey, grey, 0);
    }
}
