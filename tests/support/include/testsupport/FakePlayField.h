#pragma once
// A play field for the gameplay objects' suites: the round's rectangle, images, sets, boost
// levels, marble list and effect lists as plain fields a test sets and reads. Its two area tests
// follow the round's rules (strict comparisons on the centre in whole 24.8 pixels; the arrow 42
// pixels ahead along the direction), so movement and colour-bomb tests see the real edges.

#include "game/widgets/EffectRecords.h"
#include "game/gameplay/Marble.h"
#include "game/gameplay/PlayField.h"
#include "game/progress/UpgradeManager.h"

class CFakePlayField : public IPlayField {
public:
    CFakePlayField() {
        explosions.growBy = animations.growBy = rays.growBy = bombs.growBy = 8;
        marbles.growBy = 8;
    }
    virtual ~CFakePlayField() = default;

    TRect2D GetPlayRect() override { return rect; }
    bool IsMarbleInPlayRect(CMarble* marble) override {
        return Inside(marble->m_Position.x >> 8, marble->m_Position.y >> 8, kEdge);
    }
    bool IsMarbleArrowInPlayRect(CMarble* marble) override {
        if (IsMarbleInPlayRect(marble)) return true;
        const long long ax = (marble->m_Position.x + 42LL * marble->m_Direction.x) >> 8;
        const long long ay = (marble->m_Position.y + 42LL * marble->m_Direction.y) >> 8;
        return Inside(ax, ay, 0);
    }
    IDibBitmap* GetGlowImage() override { return glow; }
    IDibBitmap* GetDangerImage() override { return danger; }
    IDibBitmap* GetBombRangeImage() override { return bombRange; }
    IDibBitmap* GetCoinIconImage() override { return coinIcon; }
    CSpriteSet* GetArenaCoinSet() override { return coinSet; }
    CSpriteSet* GetColorBombSet(int mask) override { return mask >= 0 && mask < 16 ? colorBombSets[mask] : nullptr; }
    int GetBoostLevel(int type) override { return type >= 0 && type < kUpgradeTypeCount ? boostLevels[type] : 0; }
    int GetBoostTopLevel(int type) override { return type >= 0 && type < kUpgradeTypeCount ? topLevels[type] : 0; }
    CQuorvanObjPtrArray<CMarble*>& Marbles() override { return marbles; }
    CQuorvanArray<CExplosion>& Explosions() override { return explosions; }
    CQuorvanArray<CAnimation>& Animations() override { return animations; }
    CQuorvanArray<CRay>& Rays() override { return rays; }
    CQuorvanArray<CBomb>& Bombs() override { return bombs; }
    CQuorvanParticleSystem2* GetColorBombSparkles() override { return colorBombSparkles; }
    CQuorvanParticleSystem2* GetEightWaySparkles() override { return eightWaySparkles; }

    // The round's play rectangle on a 320 x 480 screen: 12 pixels in from the sides, from y 66 to
    // 11 above the bottom (the ad strip's 50 pixels taken into the area).
    TRect2D rect{12 * 256, 66 * 256, 296 * 256, 403 * 256};
    IDibBitmap* glow = nullptr;
    IDibBitmap* danger = nullptr;
    IDibBitmap* bombRange = nullptr;
    IDibBitmap* coinIcon = nullptr;
    CSpriteSet* coinSet = nullptr;
    CSpriteSet* colorBombSets[16] = {};
    int boostLevels[kUpgradeTypeCount] = {};
    // The shipped boost table's top levels: combo 4, lives 3, coin 4, ray 4, colour bomb 4, bomb 5.
    int topLevels[kUpgradeTypeCount] = {4, 3, 4, 4, 4, 5};
    CQuorvanObjPtrArray<CMarble*> marbles;
    CQuorvanArray<CExplosion> explosions;
    CQuorvanArray<CAnimation> animations;
    CQuorvanArray<CRay> rays;
    CQuorvanArray<CBomb> bombs;
    CQuorvanParticleSystem2* colorBombSparkles = nullptr;
    CQuorvanParticleSystem2* eightWaySparkles = nullptr;

private:
    static constexpr long long kEdge = 14 * 256;
    // The point (24.8) strictly inside the rectangle widened by `grow` on every side.
    bool Inside(long long x, long long y, long long grow) const {
        return x > rect.x - grow && x < static_cast<long long>(rect.x) + rect.width + grow && y > rect.y - grow &&
               y < static_cast<long long>(rect.y) + rect.height + grow;
    }
};
