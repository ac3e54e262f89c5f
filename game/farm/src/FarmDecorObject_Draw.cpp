// Drawing a decor object: its shadow, its body (swaying in the wind, squashing like a balloon or
// a jumper, or still), its selection corners and its particle effect.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "app/GameBase.h"
#include "game/farm/FarmDecorObject.h"
#include "game/farm/FarmDefs.h"
#include "game/farm/FarmYard.h"
#include "game/farm/YardCamera.h"
#include "particles/ParticleSystemManager.h"
#include "render/DibBitmap.h"
#include "render/DrawingHelpers.h"
#include "render/GlesGlobals.h"
#include "render/ImageRotatorScaler.h"
#include "render/RenderHost.h"
#include "sprites/SpriteSet.h"

namespace {

// The wind sways an object between these angles, in degrees.
constexpr float kSwayFrom = -2.5f;
constexpr float kSwayRange = 5.0f;
// A balloon squashes between these heights (16.16 of 0.9600067 and 0.07998657): 0.96 .. 1.04.
constexpr std::int64_t kSquashLow = 62915;
constexpr std::int64_t kSquashRange = 5242;
// A balloon swings about its knot, this many pixels below the picture's top.
constexpr int kBalloonKnotY = 33;
// Shadows: 255 + offset of alpha.
constexpr int kShadowAlphaOffset = -190;
constexpr int kBalloonShadowAlphaOffset = -220;

FIXED_FLOAT_16 ToFixed16(double value) { return static_cast<FIXED_FLOAT_16>(std::lround(value * 65536.0)); }

// An image through a decor transform: scaled about its pivot, which lands on anchor + offset, and
// turned by the transform's angle. The stretched draw keeps its edges level, so the small sway
// angles become a shear about the pivot: a point d pixels above it moves d x tan(angle) right.
void DrawTransformed(CGameBase* game, IDibBitmap* dst, IDibBitmap* image, TVector2D anchor, FIXED_FLOAT dy,
                     const TDecorTransform& t, int flags, int alpha, int r, int g, int b) {
    const double slope = std::tan(t.angle / 65536.0 * 3.14159265358979 / 180.0);
    const double pivotY = t.pivotY / 65536.0;
    const FIXED_FLOAT_16 top = ToFixed16(pivotY * slope);
    const FIXED_FLOAT_16 bottom = ToFixed16(-(image->m_Height - pivotY) * slope);
    const FIXED_FLOAT_16 x = (anchor.x << 8) + t.offsetX;
    const FIXED_FLOAT_16 y = ((anchor.y + dy) << 8) + t.offsetY;
    DrawStretched(game, dst, image, x, y, t.pivotX, t.pivotY, t.scaleX, t.scaleY, flags, alpha, top, top, bottom,
                  bottom, r, g, b);
}

void SetBlendMode(CGameBase* game, int mode, IDibBitmap* dst) {
    // The blend mode is GL state; the software draws blend by themselves.
    if (IsGlesRenderer(game)) Renderer_SetBlendMode(mode, dst);
}

}  // namespace

TDecorTransform CFarmDecorObject::CalculateDrawTransformations(FIXED_FLOAT_16 ss, int imageWidth,
                                                               int imageHeight) const {
    TDecorTransform t;
    t.scaleX = t.scaleY = ss;
    t.pivotX = imageWidth << 15;
    t.pivotY = imageHeight << 16;
    if (m_pDef == nullptr || m_pDef->movesOnWind == 0) return t;
    t.angle = ToFixed16(kSwayFrom + kSwayRange * m_Sway.Eased());
    if (m_pDef->isBalloon == 0 && m_pDef->isJumper == 0) return t;
    const std::int64_t f = kSquashLow + static_cast<std::int64_t>(std::lround(kSquashRange * m_Bounce.Eased()));
    t.scaleY = static_cast<FIXED_FLOAT_16>((f * ss) >> 16);
    t.scaleX = static_cast<FIXED_FLOAT_16>(((2 * kFixed16One - f) * ss) >> 16);
    if (m_pDef->isBalloon != 0) {
        t.pivotY = kBalloonKnotY << 16;
        t.offsetY = static_cast<FIXED_FLOAT_16>(-static_cast<std::int64_t>(imageHeight - kBalloonKnotY) * ss);
    } else {
        t.angle = 0;
    }
    return t;
}

IDibBitmap* CFarmDecorObject::GetCurrentImage() const {
    if (m_bAnimated && m_SpriteSets.count > 0 && m_SpriteSets[0] != nullptr) {
        IDibBitmap* frame = m_SpriteSets[0]->GetFrame(static_cast<int>(m_fAnimationFrame));
        if (frame != nullptr) return frame;
    }
    return m_pImage;
}

void CFarmDecorObject::Draw(int passes) {
    IDibBitmap* image = GetCurrentImage();
    if (image == nullptr || m_pDef == nullptr) return;
    if ((passes & kDrawShadow) != 0) DrawShadow(image);
    if ((passes & kDrawBody) != 0) DrawBody(image);
    if ((passes & kDrawSelection) != 0) DrawSelectionCorners();
    if ((passes & kDrawBody) != 0) {
        const int index = GetEffectIndex();
        if (index >= 0) GetParticleManager()->DrawAndMark(BackBuffer(), index);
    }
}

void CFarmDecorObject::DrawShadow(IDibBitmap* image) {
    if ((m_uFlags & kFarmFlagMovable) == 0 || (m_uFlags & kFarmFlagGround) != 0) return;
    IDibBitmap* dst = BackBuffer();
    const std::int64_t ss = ObjectScale();
    const TVector2D anchor = ScreenPosition();
    const bool mirrored = IsRotated();
    const FIXED_FLOAT dy =
        static_cast<FIXED_FLOAT>((image->m_Height * static_cast<std::int64_t>(m_pDef->shadowOffset) * ss) >> 16);
    const int flags = mirrored ? 3 : 2;
    const int alphaOffset = m_pDef->isBalloon != 0 ? kBalloonShadowAlphaOffset : kShadowAlphaOffset;
    if (m_pDef->movesOnWind != 0) {
        const TDecorTransform t =
            CalculateDrawTransformations(static_cast<FIXED_FLOAT_16>(ss), image->m_Width, image->m_Height);
        SetBlendMode(m_pGame, Renderer_BlendMode_TexEnvBlend, dst);
        DrawTransformed(m_pGame, dst, image, anchor, dy, t, flags, 255 + alphaOffset, 0, 0, 0);
        SetBlendMode(m_pGame, Renderer_BlendMode_Normal, dst);
        return;
    }
    CQuorvanImageRotatorScaler* rotator = m_pGame->GetRotatorScaler();
    if (rotator == nullptr) return;
    int angle = mirrored ? -m_pDef->shadowAngle : m_pDef->shadowAngle;
    while (angle < 0) angle += 360;
    while (angle >= 360) angle -= 360;
    const FIXED_FLOAT shift =
        static_cast<FIXED_FLOAT>((static_cast<std::int64_t>(m_pDef->shadowHorzShift) * 256 * ss) >> 16);
    const FIXED_FLOAT x = mirrored ? anchor.x - shift : anchor.x + shift;
    rotator->DrawRotatedBitmapWithSourceOriginWithBlendMode(
        image, dst, x, anchor.y + dy, angle * 256, image->m_Width * 128, image->m_Height * 256,
        static_cast<FIXED_FLOAT_16>(ss), 3, alphaOffset, 0, 0, 0, flags);
}

void CFarmDecorObject::DrawBody(IDibBitmap* image) {
    IDibBitmap* dst = BackBuffer();
    if ((m_uFlags & kFarmFlagMovable) == 0) {
        // A fixed object stands where its position says, taken as screen pixels.
        image->Draw(dst, m_Position.x >> 8, m_Position.y >> 8, 0, 0, 0, 0);
        return;
    }
    const FIXED_FLOAT_16 ss = ObjectScale();
    const TVector2D anchor = ScreenPosition();
    const int flip = IsRotated() ? 1 : 0;
    if (m_pDef->movesOnWind != 0) {
        const TDecorTransform t = CalculateDrawTransformations(ss, image->m_Width, image->m_Height);
        int alpha = 255;
        if (m_pDef->isBalloon != 0) {
            // Balloons float a little see-through, the more the nearer they are.
            const double s = WorldToScreenScale(m_Position) / 65536.0;
            const double a = std::clamp((s - 0.5) * 2.0, 0.0, 1.0);
            alpha = 255 - static_cast<int>(64.0 * a);
        }
        SetBlendMode(m_pGame, Renderer_BlendMode_Normal, dst);
        DrawTransformed(m_pGame, dst, image, anchor, 0, t, flip, alpha, 255, 255, 255);
        return;
    }
    CQuorvanImageRotatorScaler* rotator = m_pGame->GetRotatorScaler();
    if (rotator == nullptr) return;
    rotator->DrawRotatedBitmapWithSourceOriginWithBlendMode(image, dst, anchor.x, anchor.y, 0, image->m_Width * 128,
                                                            image->m_Height * 256, ss, 0, 0, 255, 255, 255, flip);
}

void CFarmDecorObject::DrawSelectionCorners() {
    IFarmYard* yard = GetYard();
    CSpriteSet* corners = yard != nullptr ? yard->GetDecorSelectionSet() : nullptr;
    CQuorvanImageRotatorScaler* rotator = m_pGame->GetRotatorScaler();
    if (corners == nullptr || rotator == nullptr) return;
    const TRect2D r = GetObjectRect();
    const FIXED_FLOAT_16 s = WorldToScreenScale(m_Position);
    const FIXED_FLOAT left = r.x - 256, right = r.x + r.width + 256;
    const FIXED_FLOAT top = r.y - 256, bottom = r.y + r.height + 256;
    const TVector2D at[4] = {{left, top}, {right, top}, {left, bottom}, {right, bottom}};
    for (int i = 0; i < 4; ++i) {
        IDibBitmap* frame = corners->GetFrame(i);
        if (frame != nullptr) rotator->DrawRotatedBitmapTransparent(frame, BackBuffer(), at[i].x, at[i].y, 0, s, 0, 0);
    }
}
