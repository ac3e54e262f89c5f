// The power-up's kinds, its life, its hop, its sparkles and its record.
#include "game/gameplay/MarblePowerup.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "app/GameBase.h"
#include "core/Serializer.h"
#include "game/widgets/GameplayMath.h"
#include "game/gameplay/PlayField.h"
#include "game/progress/UpgradeManager.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemShape.h"
#include "sprites/SpriteSetManager.h"

using gameplay::WrapAdd;

namespace {

constexpr const char* kBombSet = "BONUS_BOMB";
constexpr const char* kEightWaySet = "BONUS_8WAY";

constexpr FIXED_FLOAT kBombFrameStep = 192;  // 0.75 frames a draw
constexpr FIXED_FLOAT kFrameStepOne = 256;
constexpr FIXED_FLOAT kBombBaseRadius = 128 * 256;  // pixels
constexpr FIXED_FLOAT_16 kScaleOne = 65536;
constexpr int kRayAngleRange = 45;  // whole degrees of the first ray's random start

// The blink: alpha offset change per frame, and its two ends.
constexpr int kBlinkStep = -16;
constexpr int kBlinkDarkest = -255;

constexpr FIXED_FLOAT kRayTurnPerFrame = -256;      // the 8-way bomb's rays turn back a degree
constexpr FIXED_FLOAT kSpinTurnPerFrame = 5 * 256;  // a spinning power-up's glow
constexpr FIXED_FLOAT kColorBombTurnPerFrame = 10 * 256;

// A hop's step grows by this 16.16 factor each frame (about 1.02).
constexpr std::int64_t kHopStepGrowth = 66847;

// Sparkles: emission circles of 20 points; radius in pixels and particles per frame by kind.
constexpr int kSparkleCirclePoints = 20;
constexpr int kColorBombSparkleRadius = 3;
constexpr int kColorBombSparkles = 5;
constexpr int kEightWaySparkleRadius = 6;
constexpr int kEightWaySparkles = 3;

// Draws of the second colour before a colour bomb settles on the colour after the first.
constexpr int kSecondColorDraws = 10;
constexpr int kChanceScale = 1000;  // the two-colour chance is drawn per mille

bool IsColor(int c) { return c >= kMarbleRed && c <= kMarbleYellow; }

}  // namespace

CMarblePowerup::CMarblePowerup(CGameBase* game, IPlayField* field) : CMarble(game, field) {}

CMarblePowerup::~CMarblePowerup() { delete m_pParticleShape; }

void CMarblePowerup::SetPowerUpType(int kind) {
    m_nColorType = kPowerUpTypeBase + kind;
    CSpriteSetManager* sets = m_pGame != nullptr ? m_pGame->GetSpriteSetManager() : nullptr;
    const auto named = [sets](const char* name) { return sets != nullptr ? sets->GetSpriteSetNamed(name) : nullptr; };
    const auto newShape = [this]() {
        delete m_pParticleShape;
        m_pParticleShape = new (std::nothrow) CQuorvanParticleSystemShape2(m_pGame, Rotator());
    };
    switch (kind) {
        case kPowerUpBomb:
            m_pSprite = named(kBombSet);
            m_nFrameStep = kBombFrameStep;
            m_nBaseRadius = kBombBaseRadius;
            m_bShadow = true;
            break;
        case kPowerUpColorBomb:
            ChooseColorBombColors();
            TakeColorBombSprite();
            m_nFrameStep = kFrameStepOne;
            m_nScale = kScaleOne;
            m_bSpins = false;
            m_bShadow = true;
            newShape();
            break;
        case kPowerUpCoin:
            m_pSprite = m_pField != nullptr ? m_pField->GetArenaCoinSet() : nullptr;
            m_bCollides = true;
            m_bShadow = true;
            m_nFrameStep = kFrameStepOne;
            m_nScale = kScaleOne;
            m_bSpins = false;
            break;
        case kPowerUpEightWay:
            m_pSprite = named(kEightWaySet);
            m_nFrameStep = kFrameStepOne;
            m_nScale = kScaleOne;
            m_bShadow = true;
            m_nRayAngle = (m_pGame != nullptr ? m_pGame->RandomValue(kRayAngleRange) : 0) * 256;
            newShape();
            break;
        default:
            break;
    }
}

void CMarblePowerup::ChooseColorBombColors() {
    const auto random = [this](int n) { return m_pGame != nullptr ? m_pGame->RandomValue(n) : 0; };
    m_nFirstColor = random(4);
    const int level = m_pField != nullptr ? m_pField->GetBoostLevel(kUpgradeColorBomb) : 0;
    const int top = m_pField != nullptr ? m_pField->GetBoostTopLevel(kUpgradeColorBomb) : 0;
    // A boost table without levels for the colour bomb counts as no boost at all, rather than
    // dividing by its top level.
    if (level < 1 || top < 1)
        m_bTwoColors = false;
    else if (level == top)
        m_bTwoColors = true;
    else
        m_bTwoColors = random(kChanceScale) <= static_cast<long long>(kChanceScale) * level / top;
    if (!m_bTwoColors) return;
    int second = m_nFirstColor;
    for (int i = 0; i < kSecondColorDraws && second == m_nFirstColor; ++i) second = random(4);
    if (second == m_nFirstColor) second = m_nFirstColor + 1 > kMarbleYellow ? kMarbleRed : m_nFirstColor + 1;
    m_nSecondColor = second;
}

int CMarblePowerup::GetColorMask() const {
    int mask = IsColor(m_nFirstColor) ? 1 << m_nFirstColor : 0;
    if (m_bTwoColors && IsColor(m_nSecondColor)) mask |= 1 << m_nSecondColor;
    return mask;
}

void CMarblePowerup::TakeColorBombSprite() {
    m_pSprite = m_pField != nullptr ? m_pField->GetColorBombSet(GetColorMask()) : nullptr;
}

float CMarblePowerup::GetRadius() const {
    const int level = m_pField != nullptr ? m_pField->GetBoostLevel(kUpgradeBomb) : 0;
    const int top = m_pField != nullptr ? m_pField->GetBoostTopLevel(kUpgradeBomb) : 0;
    float factor = 1.0f;
    // Without levels in the boost table there is nothing to divide by: no boost.
    if (level >= 1 && top >= 1) factor = level == top ? 1.5f : 1.0f + 0.5f * static_cast<float>(level) / top;
    return static_cast<float>(m_nBaseRadius) / 256.0f * factor;
}

void CMarblePowerup::StartHop(TVector2D_16 target, FIXED_FLOAT_16 height, FIXED_FLOAT_16 firstStep) {
    m_bHopping = true;
    m_HopStart = m_HopPoint = m_Position;
    m_HopTarget = target;
    m_nHopHeight = height;
    m_nHopStep = firstStep;
    m_nHopLift = 0;
}

void CMarblePowerup::RunProcess() {
    CMarble::RunProcess();
    if (GetKind() == kPowerUpEightWay)
        m_nRayAngle = gameplay::WrapDegrees(static_cast<std::int64_t>(m_nRayAngle) + kRayTurnPerFrame);
    RunLife();
    if (m_bSpins)
        m_nGlowAngle = gameplay::WrapDegrees(static_cast<std::int64_t>(m_nGlowAngle) + kSpinTurnPerFrame);
    else if (GetKind() == kPowerUpColorBomb)
        m_nGlowAngle = gameplay::WrapDegrees(static_cast<std::int64_t>(m_nGlowAngle) + kColorBombTurnPerFrame);
    if (m_bHopping) RunHop();
    EmitSparkles();
}

void CMarblePowerup::RunLife() {
    if (m_nLife < 1) {
        // Nobody set it off: it goes without effect.
        m_bRemoved = true;
        return;
    }
    --m_nLife;
    if (m_nLife > kBlinkFrames) return;
    if (m_nLife == kBlinkFrames) {
        m_nBlinkAlpha = 0;
        m_nBlinkStep = kBlinkStep;
        return;
    }
    m_nBlinkAlpha = WrapAdd(m_nBlinkAlpha, m_nBlinkStep);
    if (m_nBlinkAlpha >= 0) {
        m_nBlinkAlpha = 0;
        m_nBlinkStep = -m_nBlinkStep;
    } else if (m_nBlinkAlpha < kBlinkDarkest + 1) {
        m_nBlinkAlpha = kBlinkDarkest;
        m_nBlinkStep = -m_nBlinkStep;
    }
}

void CMarblePowerup::RunHop() {
    const std::int64_t toX = static_cast<std::int64_t>(m_HopTarget.x) - m_HopPoint.x;
    const std::int64_t toY = static_cast<std::int64_t>(m_HopTarget.y) - m_HopPoint.y;
    const double left = gameplay::VectorLength16(toX, toY);
    // A step that reaches the target ends the hop on it; so does a step that could never get
    // there (none, or backwards).
    if (m_nHopStep <= 0 || m_nHopStep >= left) {
        m_bHopping = false;
        m_Position = m_HopTarget;
        return;
    }
    m_HopPoint.x = WrapAdd(m_HopPoint.x, gameplay::RoundToInt32(static_cast<double>(toX) * m_nHopStep / left));
    m_HopPoint.y = WrapAdd(m_HopPoint.y, gameplay::RoundToInt32(static_cast<double>(toY) * m_nHopStep / left));
    m_nHopStep = gameplay::Clamp32((static_cast<std::int64_t>(m_nHopStep) * kHopStepGrowth) >> 16);
    const double whole = gameplay::VectorLength16(static_cast<std::int64_t>(m_HopTarget.x) - m_HopStart.x,
                                                  static_cast<std::int64_t>(m_HopTarget.y) - m_HopStart.y);
    const double done = gameplay::VectorLength16(static_cast<std::int64_t>(m_HopPoint.x) - m_HopStart.x,
                                                 static_cast<std::int64_t>(m_HopPoint.y) - m_HopStart.y);
    const double arc = whole > 0 ? std::sin(M_PI * done / whole) : 0.0;
    m_nHopLift = gameplay::TruncToInt32(std::floor(static_cast<double>(m_nHopHeight) * arc + 0.5));
    m_Position.x = m_HopPoint.x;
    m_Position.y = gameplay::WrapSub(m_HopPoint.y, m_nHopLift);
}

void CMarblePowerup::EmitSparkles() {
    CQuorvanParticleSystem2* system = nullptr;
    int radius = 0, particles = 0;
    if (GetKind() == kPowerUpColorBomb) {
        system = m_pField != nullptr ? m_pField->GetColorBombSparkles() : nullptr;
        radius = kColorBombSparkleRadius;
        particles = kColorBombSparkles;
    } else if (GetKind() == kPowerUpEightWay) {
        system = m_pField != nullptr ? m_pField->GetEightWaySparkles() : nullptr;
        radius = kEightWaySparkleRadius;
        particles = kEightWaySparkles;
    }
    if (system == nullptr || m_pParticleShape == nullptr) return;
    while (m_pParticleShape->GetNumSegments() > 0)
        m_pParticleShape->RemoveSegment(m_pParticleShape->GetNumSegments() - 1);
    m_pParticleShape->AddCircle(radius * 65536, kSparkleCirclePoints, 0, 0);
    if (GetKind() == kPowerUpEightWay) m_pParticleShape->SetEmitDelta(0);
    system->SetEmitShape(m_pParticleShape);
    system->StartAt(m_Position.x, m_Position.y);
    system->EmitNewParticles(particles);
    system->Stop(false);
    system->SetEmitShape(nullptr);
}

void CMarblePowerup::Offset(FIXED_FLOAT_16 dx, FIXED_FLOAT_16 dy) {
    CMarble::Offset(dx, dy);
    for (TVector2D_16* p : {&m_HopPoint, &m_HopStart, &m_HopTarget}) {
        p->x = WrapAdd(p->x, dx);
        p->y = WrapAdd(p->y, dy);
    }
}

int CMarblePowerup::Serialize(IFile* file, bool writing) {
    if (!CMarble::Serialize(file, writing)) return 0;
    SerializeHelper2 h{file, true, writing, 0};
    h.Serialize(m_nFrameStep);
    h.Serialize(m_nFrame);
    for (bool* flag : {&m_bFlagOne, &m_bCollides, &m_bSetOffByMarble, &m_bSetOffByFinger, &m_bShadow, &m_bSpins})
        h.Serialize(*flag);
    h.Serialize(m_nBaseRadius);
    h.Serialize(m_nFirstColor);
    h.Serialize(m_nRayAngle);
    h.Serialize(m_bTwoColors);
    h.Serialize(m_nSecondColor);
    h.Serialize(m_bHopping);
    h.Serialize(m_HopPoint);
    h.Serialize(m_HopStart);
    h.Serialize(m_HopTarget);
    h.Serialize(m_nHopLift);
    h.Serialize(m_nHopHeight);
    h.Serialize(m_nHopStep);
    if (writing || !h.Succeeded()) return h.Succeeded();
    // The life is not saved: a resumed power-up lies its full time again.
    m_nLife = kLifeFrames;
    m_nBlinkAlpha = 0;
    m_nBlinkStep = 0;
    if (GetKind() == kPowerUpColorBomb) {
        if (!IsColor(m_nFirstColor) || !IsColor(m_nSecondColor)) return 0;
        TakeColorBombSprite();
    }
    return 1;
}
