// Decor objects: set-up, the frame's sway, bounce and animation, the record, the rectangle, the
// mirror and the eviction of a bird from a full object. Drawing is FarmDecorObject_Draw.cpp, the
// particle effect FarmDecorObject_Effect.cpp.
#include "game/farm/FarmDecorObject.h"

#include <cmath>
#include <cstdint>
#include <new>

#include "app/GameBase.h"
#include "core/Serializer.h"
#include "game/farm/Chicken.h"
#include "game/farm/FarmDefs.h"
#include "game/farm/YardCamera.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemManager.h"
#include "particles/ParticleSystemShape.h"
#include "render/DibBitmap.h"
#include "render/ImageLoaders.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"

namespace {

constexpr float kSwayStep = 0.01f;    // per frame, of the whole sway
constexpr float kBounceStep = 0.03f;  // per frame, of the whole squash
constexpr float kPi = 3.14159265358979f;

// A random start between 0 and 0.99, worked out in 16.16 as the data always was.
float RandomStart(CGameBase* game) {
    const int percent = game != nullptr ? game->RandomValue(100) : 0;
    return static_cast<float>(percent * 65536 / 100) / 65536.0f;
}

}  // namespace

void TSwingValue::Start(float start, float step, float low, float high) {
    active = true;
    value = start;
    velocity = step;
    speed = step;
    minimum = low;
    maximum = high;
}

void TSwingValue::Advance() {
    if (!active) return;
    value += velocity;
    if (value > maximum && velocity > 0) {
        value = maximum;
        velocity = -std::fabs(speed);
        if (listener != nullptr) listener->OnSwingTurned(*this, 1);
    } else if (value < minimum && velocity < 0) {
        value = minimum;
        velocity = std::fabs(speed);
        if (listener != nullptr) listener->OnSwingTurned(*this, 0);
    }
}

float TSwingValue::Eased() const {
    const float range = maximum - minimum;
    if (range < 0.001f) return value;
    return minimum + range * (std::sin(kPi * (value - minimum) / range - kPi / 2) + 1.0f) / 2.0f;
}

CFarmDecorObject::CFarmDecorObject(CGameBase* game, const char* id) : CFarmObject(game, id) {
    m_nKind = kFarmObjectDecor;
    m_uFlags = kFarmFlagSelectable | kFarmFlagRotatable;
    // Two statements: the sway draws its start before the bounce.
    m_Sway.Start(RandomStart(game), kSwayStep, 0.0f, 1.0f);
    m_Bounce.Start(RandomStart(game), kBounceStep, 0.0f, 1.0f);
}

CFarmDecorObject::~CFarmDecorObject() {
    if (m_bOwnsImage) delete m_pImage;
    m_pImage = nullptr;
    if (m_pEffect != nullptr) {
        m_pEffect->SetEmitShape(nullptr);
        CQuorvanParticleSystemManager2* manager = GetParticleManager();
        if (manager != nullptr) manager->DeleteParticleSystem(m_pEffect);
        m_pEffect = nullptr;
    }
    delete m_pEffectEmitShape;
    delete m_pEffectSourceShape;
}

bool CFarmDecorObject::Init(int argument) {
    if (!CFarmObject::Init(argument)) return false;
    if ((m_uFlags & kFarmFlagMovable) == 0) m_uFlags &= ~kFarmFlagSelectable;
    if (m_pDef->canRotate)
        m_uFlags |= kFarmFlagRotatable;
    else
        m_uFlags &= ~kFarmFlagRotatable;
    m_bOwnsImage = false;
    if (!InitImage()) return false;
    if (m_pImage != nullptr) m_Size = TVector2D{m_pImage->m_Width * 256, m_pImage->m_Height * 256};
    if (m_pDef->dragBottomOffset != kNoDragBottomOffset) m_uFlags |= kFarmFlagDragBottom;
    if (m_pDef->movesOnWind != 0 && m_pDef->windSpeed != 0) {
        const float windSpeed = static_cast<float>(m_pDef->windSpeed) / 65536.0f;
        m_Sway.Start(0.0f, windSpeed, 0.0f, 1.0f);
    }
    if (!InitEffect()) return false;
    if (m_pDef->animSpeed > 0) {
        m_bAnimated = true;
        m_fAnimationFrame = 0;
        m_fAnimationStep = m_pDef->animSpeed / 33.0f;
    }
    return true;
}

bool CFarmDecorObject::InitImage() {
    if (m_pDef->image.Length() > 0) {
        const CommonString path = m_pGame->GetImagesDirectory() + CommonString("farm\\objects\\") + m_pDef->image;
        m_pImage = ImageLoad(m_pGame, path.GetDataConst(), nullptr);
        if (m_pImage == nullptr) return false;
        m_bOwnsImage = true;
        return true;
    }
    const CommonString& name = m_pDef->sprite.Length() > 0 ? m_pDef->sprite : m_Id;
    if (name.Length() == 0) return true;
    CSpriteSetManager* sets = m_pGame->GetSpriteSetManager();
    CSpriteSet* set = sets != nullptr ? sets->GetSpriteSetNamed(name.GetDataConst()) : nullptr;
    if (set == nullptr || set->AddReference() == 0) return false;
    if (!m_SpriteSets.Add(set)) {
        set->ReleaseReference();
        return false;
    }
    if (set->GetNumFrames() > 0) m_pImage = set->GetFrame(0);
    return true;
}

void CFarmDecorObject::RunProcess() {
    if (m_pDef == nullptr) return;
    if (m_pDef->movesOnWind != 0) m_Sway.Advance();
    // A jumper's squash is not advanced: it keeps the value it started with.
    if (m_pDef->isBalloon != 0) m_Bounce.Advance();
    RunEffect();
    if (m_bAnimated && m_SpriteSets.count > 0 && m_SpriteSets[0] != nullptr) {
        const int frames = m_SpriteSets[0]->GetNumFrames();
        m_fAnimationFrame += m_fAnimationStep;
        if (frames > 0 && m_fAnimationFrame >= static_cast<float>(frames))
            m_fAnimationFrame -= static_cast<float>(frames);
    }
}

bool CFarmDecorObject::Serialize(IFile* file, bool save) {
    if (!CFarmObject::Serialize(file, save)) return false;
    SerializeHelper2 io{file, true, save, 0};
    io.Serialize(m_nRotated);
    if (!save && static_cast<unsigned int>(m_nRotated) > 1) m_nRotated = 0;
    return io.Succeeded() != 0;
}

FIXED_FLOAT_16 CFarmDecorObject::ObjectScale() const {
    const std::int64_t s = WorldToScreenScale(m_Position);
    const std::int64_t k = m_pDef != nullptr ? m_pDef->scale : kFixed16One;
    return static_cast<FIXED_FLOAT_16>((s * k) >> 16);
}

TRect2D CFarmDecorObject::GetObjectRect() {
    TRect2D r;
    if ((m_uFlags & kFarmFlagMovable) != 0) {
        const std::int64_t ss = ObjectScale();
        const TVector2D anchor = ScreenPosition();
        r.width = static_cast<FIXED_FLOAT>((m_Size.x * ss) >> 16);
        r.height = static_cast<FIXED_FLOAT>((m_Size.y * ss) >> 16);
        r.x = anchor.x - r.width / 2;
        r.y = anchor.y - r.height;
        return r;
    }
    r.x = m_Position.x;
    r.y = m_Position.y;
    if (m_pImage != nullptr) {
        r.width = m_pImage->m_Width * 256;
        r.height = m_pImage->m_Height * 256;
    }
    return r;
}

bool CFarmDecorObject::CanRotate() {
    const std::uint32_t both = kFarmFlagMovable | kFarmFlagRotatable;
    return (m_uFlags & both) == both;
}

void CFarmDecorObject::Rotate() {
    m_nRotated = 1 - m_nRotated;
    if (m_pEffect != nullptr) m_pEffect->Stop(true);
}

CChicken* CFarmDecorObject::ReleaseSpotForChicken() {
    const int points = GetNumSpotPoints();
    if (points == 0) return nullptr;
    const int slots = points < kMaxSpotOccupants ? points : kMaxSpotOccupants;
    for (int i = 0; i < slots; ++i)
        if (m_pOccupants[i] == nullptr) return nullptr;
    int evict = 0;
    if (slots > 1) {
        // Squares of world distances up to 640 pixels pass 32 bits in 24.8: 64-bit throughout.
        std::int64_t farthest = -1;
        for (int i = 0; i < slots; ++i) {
            const TVector2D spot = GetSpotPoint(i);
            const std::int64_t dx = static_cast<std::int64_t>(m_pOccupants[i]->m_Position.x) - spot.x;
            const std::int64_t dy = static_cast<std::int64_t>(m_pOccupants[i]->m_Position.y) - spot.y;
            const std::int64_t squared = dx * dx + dy * dy;
            if (squared > farthest) {
                farthest = squared;
                evict = i;
            }
        }
    }
    CChicken* bird = m_pOccupants[evict];
    bird->FreeDestinationObject();
    // The slot is ours whatever the bird thought its destination was.
    MakeSportFreeFromBird(bird);
    return bird;
}
