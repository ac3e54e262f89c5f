// A decor object's particle effect (a fountain's spray, a campfire's flames, fireflies): its
// emission shape from the definition, defined in the game's particle manager, emitted from the
// shape mirrored with the object, and drawn scaled with the object's depth so that it follows
// the picture.
#include <cmath>
#include <new>

#include "app/GameBase.h"
#include "game/farm/FarmDecorObject.h"
#include "game/farm/FarmDefs.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemManager.h"
#include "particles/ParticleSystemShape.h"
#include "render/DibBitmap.h"

namespace {

constexpr FIXED_FLOAT_16 kOnePixel16 = 65536;

void ClearShape(CQuorvanParticleSystemShape2* shape) {
    for (int i = shape->GetNumSegments() - 1; i >= 0; --i) shape->RemoveSegment(i);
}

}  // namespace

void ClipParticleSystemToScreen(CQuorvanParticleSystem2* system, int w, int h) {
    if (system == nullptr) return;
    // The system tests a particle p against its clip rectangle moved back by the drawing offset:
    // clip - offset <= p <= clip + size - offset (both sides zoomed alike). A particle shows on
    // the screen when offset + centre + (p - centre) * zoom lies in 0..w; solved for the
    // rectangle, with a pixel to spare on each side.
    const double zoom = system->m_bZoom ? system->m_nZoomScale / 65536.0 : 1.0;
    if (zoom <= 0) {
        system->m_bClip = false;
        return;
    }
    const double cx = system->m_bZoom ? system->m_ZoomCenter.x / 65536.0 : 0.0;
    const double cy = system->m_bZoom ? system->m_ZoomCenter.y / 65536.0 : 0.0;
    const double ox = system->m_DrawOffset.x / 65536.0, oy = system->m_DrawOffset.y / 65536.0;
    system->m_ClipRect.x = static_cast<int>(std::floor(ox + cx - (cx + ox) / zoom)) - 1;
    system->m_ClipRect.y = static_cast<int>(std::floor(oy + cy - (cy + oy) / zoom)) - 1;
    system->m_ClipRect.width = static_cast<int>(std::ceil(w / zoom)) + 2;
    system->m_ClipRect.height = static_cast<int>(std::ceil(h / zoom)) + 2;
    system->m_bClip = true;
}

int CFarmDecorObject::GetEffectIndex() const {
    const CQuorvanParticleSystemManager2* manager = GetParticleManager();
    return manager != nullptr && m_pEffect != nullptr ? manager->GetIdOfParticleSystem(m_pEffect) : -1;
}

bool CFarmDecorObject::InitEffect() {
    const int points = m_pDef->effectShape.count;
    if (points == 0 || m_pDef->effectName.Length() == 0) return true;
    CGameBase* game = m_pGame;
    CQuorvanParticleSystemManager2* manager = GetParticleManager();
    if (manager == nullptr) return false;
    m_pEffectSourceShape = new (std::nothrow) CQuorvanParticleSystemShape2(game, game->GetRotatorScaler());
    m_pEffectEmitShape = new (std::nothrow) CQuorvanParticleSystemShape2(game, game->GetRotatorScaler());
    if (m_pEffectSourceShape == nullptr || m_pEffectEmitShape == nullptr) return false;
    const auto& shape = m_pDef->effectShape;
    if (m_pDef->effectShapeIsPoints) {
        // Each point emits alone: a segment one pixel long ending on it.
        for (int k = 0; k < points; ++k) {
            const TVector2D_16 above{shape[k].x, shape[k].y + kOnePixel16};
            if (!m_pEffectSourceShape->AddSegment(above, shape[k])) return false;
        }
    } else {
        for (int k = 0; k + 1 < points; ++k)
            if (!m_pEffectSourceShape->AddSegment(shape[k], shape[k + 1])) return false;
    }
    if (m_pDef->effectShapeClosed && points > 2 && !m_pEffectSourceShape->AddSegment(shape[points - 1], shape[0]))
        return false;

    const CommonString file = CommonString("Effects\\") + m_pDef->effectName + CommonString(".pfd");
    if (!manager->AddParticleSystemDefenition("yard_effect", file.GetDataConst())) return false;
    m_pEffect = manager->GetParticleSystemAt(manager->GetNumParticleSystems() - 1);
    if (m_pEffect == nullptr || !m_pEffect->InitFromFile()) return false;
    // Systems made after start-up run at the game's rate like those made with it.
    if (game->m_nFrameRate > 0) m_pEffect->SetFPS(game->m_nFrameRate << 16);
    (void)m_pEffect->SetEmitShape(m_pEffectEmitShape);
    m_pEffect->m_bZoom = true;
    m_EffectCenter = m_pDef->effectCenter;
    m_EmitOrigin = m_EffectCenter;
    m_ParticlesPerFrame = m_pDef->particlesPerFrame;
    m_EmitDebt = 0;
    IDibBitmap* back = BackBuffer();
    if (back != nullptr) ClipParticleSystemToScreen(m_pEffect, back->m_Width, back->m_Height);
    return true;
}

void CFarmDecorObject::RunEffect() {
    if (m_pEffect == nullptr || m_pImage == nullptr) return;
    const bool mirrored = IsRotated();
    // The shape relative to the effect's centre, mirrored with the picture.
    ClearShape(m_pEffectEmitShape);
    const TVector2D_16 centre{m_EffectCenter.x << 8, m_EffectCenter.y << 8};
    for (int i = 0; i < m_pEffectSourceShape->GetNumSegments(); ++i) {
        TVector2D_16 a = m_pEffectSourceShape->GetSegmentStart(i);
        TVector2D_16 b = m_pEffectSourceShape->GetSegmentEnd(i);
        a = TVector2D_16{a.x - centre.x, a.y - centre.y};
        b = TVector2D_16{b.x - centre.x, b.y - centre.y};
        if (mirrored) {
            a.x = -a.x;
            b.x = -b.x;
        }
        (void)m_pEffectEmitShape->AddSegment(a, b);
    }
    m_EmitOrigin = mirrored ? TVector2D{m_pImage->m_Width * 256 - m_EffectCenter.x, m_EffectCenter.y} : m_EffectCenter;

    // Particles live around (0, 0) in picture pixels; the system draws them at offset + p x scale,
    // the offset putting the picture's origin where the drawn image has it.
    FIXED_FLOAT_16 scale = ObjectScale();
    if (scale < 0) scale = 0;
    const TVector2D anchor = ScreenPosition();
    const std::int64_t fromBottomCentreX = m_EmitOrigin.x - m_pImage->m_Width * 128;
    const std::int64_t fromBottomCentreY = m_EmitOrigin.y - m_pImage->m_Height * 256;
    m_pEffect->m_bZoom = true;
    m_pEffect->m_ZoomCenter = TVector2D_16{};
    m_pEffect->m_nZoomScale = scale;
    m_pEffect->m_DrawOffset.x = (anchor.x << 8) + static_cast<FIXED_FLOAT_16>((scale * fromBottomCentreX) >> 8);
    m_pEffect->m_DrawOffset.y = (anchor.y << 8) + static_cast<FIXED_FLOAT_16>((scale * fromBottomCentreY) >> 8);
    IDibBitmap* back = BackBuffer();
    if (back != nullptr) ClipParticleSystemToScreen(m_pEffect, back->m_Width, back->m_Height);

    m_EmitDebt += m_ParticlesPerFrame;
    const int n = m_EmitDebt >> 8;
    if (n > 0) {
        m_pEffect->StartAt(0, 0);
        m_pEffect->EmitNewParticles(n);
        m_pEffect->Stop(false);
        m_EmitDebt -= n * 256;
    }
    const int index = GetEffectIndex();
    if (index >= 0) GetParticleManager()->RunProcessAndMark(index);
}
