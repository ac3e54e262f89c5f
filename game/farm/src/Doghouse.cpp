#include "game/farm/Doghouse.h"

#include <algorithm>
#include <cstdint>

#include "app/GameBase.h"
#include "game/farm/FarmDefs.h"
#include "render/DibBitmap.h"
#include "render/ImageRotatorScaler.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"

namespace {

struct TDogFace {
    const char* leftEye;
    const char* rightEye;
    double x, y;  // the face, pixels left of and above the anchor
};
// Variants 1 and 2.
constexpr TDogFace kFaces[2] = {
    {"dog_lefteye_close", "dog_righteye_close", 16.5, 39.0},
    {"dog2_lefteye_close", "dog2_righteye_close", 44.0, 50.5},
};

// Eyes stay open this long (plus up to kOpenRandom), blink for kBlinkFrames, and a dozing dog
// peeks for kPeekFrames; each lid frame moves by kLidStep per frame.
constexpr int kOpenFrames = 132;
constexpr int kOpenRandom = 66;
constexpr int kBlinkFrames = 8;
constexpr int kPeekFrames = 33;
constexpr double kLidStep = 0.4;
constexpr int kDozeChance = 5;  // one in five phases flips between awake and dozing

}  // namespace

CDoghouse::CDoghouse(CGameBase* game, const char* id, int variant) : CFarmDecorObject(game, id), m_nVariant(variant) {
    m_nKind = kFarmObjectDoghouse;
}

bool CDoghouse::Init(int argument) {
    if (!CFarmDecorObject::Init(argument)) return false;
    if (m_nVariant != 1 && m_nVariant != 2) return false;
    const TDogFace& face = kFaces[m_nVariant - 1];
    m_dEyeOffsetX = face.x;
    m_dEyeOffsetY = face.y;
    CSpriteSetManager* sets = m_pGame->GetSpriteSetManager();
    if (sets == nullptr) return false;
    CSpriteSet* eyes[2] = {sets->GetSpriteSetNamed(face.leftEye), sets->GetSpriteSetNamed(face.rightEye)};
    for (CSpriteSet* set : eyes) {
        if (set == nullptr || set->AddReference() == 0) return false;
        if (!m_SpriteSets.Add(set)) {
            set->ReleaseReference();
            return false;
        }
        if (set->GetNumFrames() < 1) return false;
    }
    m_pLeftEye = eyes[0];
    m_pRightEye = eyes[1];
    m_nLastFrame = m_pLeftEye->GetNumFrames() - 1;
    return true;
}

void CDoghouse::RunProcess() {
    CFarmDecorObject::RunProcess();
    if (--m_nTimer < 1) {
        m_bPhase = !m_bPhase;
        if (!m_bPhase) {
            if (m_pGame->RandomValue(kDozeChance) == 0) m_nDozing = 1 - m_nDozing;
            m_nTimer = kOpenFrames + m_pGame->RandomValue(kOpenRandom);
        } else {
            m_nTimer = m_nDozing != 0 ? kPeekFrames : kBlinkFrames;
        }
    }
    const bool closing = (m_nDozing == 0 && m_bPhase) || (m_nDozing != 0 && !m_bPhase);
    if (closing)
        m_dLid = std::min(m_dLid + kLidStep, static_cast<double>(m_nLastFrame));
    else
        m_dLid = std::max(m_dLid - kLidStep, 0.0);
}

void CDoghouse::Draw(int passes) {
    CFarmDecorObject::Draw(passes);
    CQuorvanImageRotatorScaler* rotator = m_pGame->GetRotatorScaler();
    if (rotator == nullptr || m_pLeftEye == nullptr || m_pRightEye == nullptr) return;
    const int left = static_cast<int>(m_dLid);
    const int right = m_nDozing != 0 ? m_nLastFrame : left;
    IDibBitmap* eyeFrame = m_pLeftEye->GetFrame(0);
    if (eyeFrame == nullptr) return;
    const bool mirrored = IsRotated();
    const double halfW = eyeFrame->m_Width / 2.0, halfH = eyeFrame->m_Height / 2.0;
    const double pivotX = mirrored ? halfW - m_dEyeOffsetX : halfW + m_dEyeOffsetX;
    const double pivotY = halfH + m_dEyeOffsetY;
    const TVector2D anchor = ScreenPosition();
    const FIXED_FLOAT_16 ss = ObjectScale();
    const struct {
        CSpriteSet* set;
        int frame;
    } eyes[2] = {{m_pLeftEye, left}, {m_pRightEye, right}};
    for (const auto& eye : eyes) {
        if (eye.frame <= 0) continue;
        IDibBitmap* lid = eye.set->GetFrame(eye.frame);
        if (lid == nullptr) continue;
        rotator->DrawRotatedBitmapWithSourceOriginWithBlendMode(
            lid, BackBuffer(), anchor.x, anchor.y, 0, static_cast<int>(pivotX * 256.0),
            static_cast<int>(pivotY * 256.0), ss, 0, 0, 255, 255, 255, mirrored ? 1 : 0);
    }
}
