// The start menu's farm scene, drawn back to front under the menu's widgets.
#include <algorithm>

#include "app/GameBase.h"
#include "game/gameplay/GameplayHost.h"
#include "game/screens/ScreensHost.h"
#include "game/screens/StartMenu.h"
#include "particles/ParticleSystemManager.h"
#include "render/DibBitmap.h"
#include "render/DrawingHelpers.h"
#include "render/GlesGlobals.h"
#include "render/ImageRotatorScaler.h"

namespace {

constexpr FIXED_FLOAT_16 kOne16 = 65536;
constexpr FIXED_FLOAT_16 kSceneScale = 0xF000;  // 0.9375: the birds, eggs and chicken
constexpr FIXED_FLOAT_16 kSunScale = 0x19999;   // 1.6

FIXED_FLOAT_16 To16(double v) { return static_cast<FIXED_FLOAT_16>(v * 65536.0); }
FIXED_FLOAT Px(int v) { return v << 8; }
FIXED_FLOAT_16 Px16(int v) { return v << 16; }

}  // namespace

void CXStartMenu2::Draw() {
    CGameBase* game = ScreensGameOf(this);
    IDibBitmap* back = GetBackBuffer();
    if (game == nullptr || back == nullptr || m_Images[kBackground] == nullptr || game->GetRotatorScaler() == nullptr) {
        XGameRoot::Draw();
        return;
    }
    CQuorvanImageRotatorScaler* rotator = game->GetRotatorScaler();
    const int w = back->m_Width;
    const int h = back->m_Height;
    IDibBitmap* const* img = m_Images;
    const int bgHeight = img[kBackground]->m_Height;
    auto e = [this](EBouncer which) { return static_cast<double>(m_Bouncers[which].GetCurValueSineWaved()); };

    FillRectangleGradientV(game, back, 0, 0, w, h + 2 - bgHeight, 0, 100, 200, 255, 255, 255);
    DrawClouds();
    rotator->DrawRotatedBitmapAdditive(img[kSun], back, Px(w / 2), Px(h - 290), m_nSunAngle, kSunScale, 255, 255, 0,
                                       -200, 0);
    img[kBackground]->Draw(back, (w - img[kBackground]->m_Width) / 2, h - bgHeight, 0, 0, 0, 0);
    rotator->DrawRotatedBitmapTransparent(img[kBirdShadow], back, Px(w / 2 - 15), Px(h - 214), 0, kOne16, -128, 0);

    // The bushes sway at their tops: 3 px either way on the left, 4 px on the right.
    Renderer_SetBlendMode(0, back);
    const IDibBitmap* left = img[kLeftBushImage];
    DrawShifted(game, back, img[kLeftBushImage], Px16(-30), Px16(h - bgHeight + 15 - left->m_Height / 2), 0, 0,
                To16(e(kLeftBush) * 6.0 - 3.0), 0, 0, 255);
    Renderer_SetBlendMode(0, back);
    const IDibBitmap* right = img[kRightBushImage];
    DrawShifted(game, back, img[kRightBushImage], Px16(w + 20 - right->m_Width),
                Px16(h - bgHeight + 15 - right->m_Height / 2), 0, 0, To16(e(kRightBush) * 8.0 - 4.0), 0, 0, 255);

    rotator->DrawRotatedBitmap(img[kTitle], back, m_nTitleX, m_nTitleY, 0, To16(m_dTitleScale), 0);
    const double chicken = e(kChicken);
    const double chickenY = h - 359 + 3.0 * chicken + (m_bChickenJumping ? 20.0 * chicken : 0.0);
    rotator->DrawRotatedBitmap(img[kChickenImage], back, Px(w / 2), static_cast<FIXED_FLOAT>(chickenY * 256.0), 0,
                               kSceneScale, 0);
    rotator->DrawRotatedBitmap(img[kChickenEgg], back, Px(w / 2), Px(h - 334), 0, kSceneScale, 0);
    rotator->DrawRotatedBitmap(img[kEggs], back, Px(w / 2), Px(h - 280), 0, kSceneScale, 0);

    DrawBird(back, kLeftBirdImage, kLeftHat, m_Bouncers[kLeftBird], m_bLeftBirdTapped, w / 2 - 65,
             h - 267 + img[kLeftBirdImage]->m_Height / 2, 10, 90);
    DrawBird(back, kRightBirdImage, kRightHat, m_Bouncers[kRightBird], m_bRightBirdTapped, w / 2 + 60,
             h - 273 + img[kRightBirdImage]->m_Height / 2, -28, 94);

    if (GameplayHostOf(game)->GetParticleManager() != nullptr)
        GameplayHostOf(game)->GetParticleManager()->DrawTheRest(back);
    XGameRoot::Draw();
}

// A bird stands on its bottom centre (cx, bottom) and breathes; a tapped bird stretches up to 1.22
// times its height and throws its hat up to 80 px. The hat's point (w/2 + hatX, h + lift) sits on
// the bird's bottom centre.
void CXStartMenu2::DrawBird(IDibBitmap* back, int birdImage, int hatImage, const Bouncer& bouncer, bool tapped, int cx,
                            int bottom, int hatX, int hatLift) {
    CGameBase* game = ScreensGameOf(this);
    IDibBitmap* bird = m_Images[birdImage];
    IDibBitmap* hat = m_Images[hatImage];
    const double e = bouncer.GetCurValueSineWaved();
    const double stretch = tapped ? 0.24 : 0.04;
    const FIXED_FLOAT_16 kx = kSceneScale;
    const FIXED_FLOAT_16 birdY = To16(0.9375 * (0.98 + stretch * e));
    const FIXED_FLOAT_16 hatY = To16(0.9375 * (0.98 + 0.04 * e));
    const double lift = hatLift + (tapped ? 80.0 * e : 0.0);
    Renderer_SetBlendMode(0, back);
    DrawStretched(game, back, bird, Px16(cx), Px16(bottom), Px16(bird->m_Width / 2), Px16(bird->m_Height), kx, birdY, 0,
                  255, 0, 0, 0, 0, 255, 255, 255);
    Renderer_SetBlendMode(0, back);
    DrawStretched(game, back, hat, Px16(cx), Px16(bottom), Px16(hat->m_Width / 2 + hatX), To16(hat->m_Height + lift),
                  kx, hatY, 0, 255, 0, 0, 0, 0, 255, 255, 255);
}

void CXStartMenu2::DrawClouds() {
    CGameBase* game = ScreensGameOf(this);
    IDibBitmap* back = GetBackBuffer();
    if (game == nullptr || back == nullptr) return;
    for (int i = m_Clouds.count - 1; i >= 0; --i) {
        IDibBitmap* cloud = m_Clouds[i];
        if (cloud == nullptr) continue;
        const double s = SCurve16(m_CloudPhase[i], game->GetRotatorScaler()) / 65536.0;
        const int y = std::max(m_CloudPos[i].y >> 8, 0);
        const double f = (255 - y) / 255.0;
        const int alpha = std::clamp(255 - y, 0, 255);
        const FIXED_FLOAT_16 x16 = m_CloudPos[i].x << 8;
        const FIXED_FLOAT_16 y16 = m_CloudPos[i].y << 8;
        const FIXED_FLOAT_16 ax = Px16(cloud->m_Width / 2);
        const FIXED_FLOAT_16 ay = Px16(cloud->m_Height / 2);
        const double breath = 0.9 + 0.2 * s;
        DrawStretched(game, back, cloud, x16, y16, ax, ay, To16(1.15 * f), To16(1.15 * f * breath), 0, 32, 0, 0, 0, 0,
                      255, 255, 255);
        DrawStretched(game, back, cloud, x16, y16, ax, ay, To16(f), To16(f * breath), 0, alpha, 0, 0, 0, 0, 255, 255,
                      255);
    }
}
