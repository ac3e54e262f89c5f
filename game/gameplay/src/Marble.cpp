#include "game/gameplay/Marble.h"

#include <algorithm>
#include <cmath>

#include "app/GameBase.h"
#include "audio/SoundManager.h"
#include "core/QuorvanUtils.h"
#include "core/Serializer.h"
#include "game/widgets/GameplayMath.h"
#include "game/gameplay/PlayField.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"

using gameplay::Abs32;
using gameplay::Mul16;
using gameplay::WrapAdd;

namespace {

// The rolling sets of the four colours, by colour type; "Ball1" also shadows every marble.
constexpr const char* kBallSets[4] = {"Ball1", "Ball2", "Ball3", "Ball4"};
constexpr const char* kShadowSet = "Ball1";
constexpr const char* kColorNames[4] = {"Red", "Green", "Blue", "Yellow"};

// Walls stand this many pixels inside the play rectangle.
constexpr int kWallInsetPx = 14;
// Entry indicator: FIXED_FLOAT intensity gained per frame outside, lost per frame inside.
constexpr FIXED_FLOAT kEntryRise = 20 * 256;
constexpr FIXED_FLOAT kEntryFall = 3 * 256;
constexpr FIXED_FLOAT kEntryFull = 255 * 256;

}  // namespace

CMarble::CMarble(CGameBase* game, IPlayField* field) : m_pGame(game), m_pField(field) { m_Path.SetGamePtr(game); }

void CMarble::SetColorType(int type) {
    m_nColorType = type;
    CSpriteSetManager* sets = m_pGame != nullptr ? m_pGame->GetSpriteSetManager() : nullptr;
    if (type >= kMarbleRed && type <= kMarbleYellow) {
        m_pSprite = sets != nullptr ? sets->GetSpriteSetNamed(kBallSets[type]) : nullptr;
        m_nAngleOffset = 0;
    }
    if (m_pSprite != nullptr) m_pShadowSprite = sets != nullptr ? sets->GetSpriteSetNamed(kShadowSet) : nullptr;
}

void CMarble::ActivateWithDelay(int frames) { m_nActivationCountdown = std::min(frames, kNoCountdown - 1); }

void CMarble::Activate() { m_bRemoved = true; }

void CMarble::RunMovement() {
    if (m_Path.GetNumSegments() > 0) return;
    m_Position.x = WrapAdd(m_Position.x, Mul16(m_Direction.x, m_nSpeed));
    m_Position.y = WrapAdd(m_Position.y, Mul16(m_Direction.y, m_nSpeed));
    m_fRollDistance += static_cast<float>(m_nSpeed) / 65536.0f;
    if (m_pField == nullptr) return;
    if (!m_bEntered) {
        // Outside the area a marble only rolls: it may be on its way in, or on its way out.
        if (!m_pField->IsMarbleInPlayRect(this)) return;
        m_bEntered = true;
    }
    // The walls in whole pixels, compared in 16.16; the position itself is not corrected.
    const TRect2D area = m_pField->GetPlayRect();
    const auto wall = [](std::int64_t edge, int inset) { return ((edge >> 8) + inset) * 65536; };
    const std::int64_t left = wall(area.x, kWallInsetPx);
    const std::int64_t right = wall(static_cast<std::int64_t>(area.x) + area.width, -kWallInsetPx);
    const std::int64_t top = wall(area.y, kWallInsetPx);
    const std::int64_t bottom = wall(static_cast<std::int64_t>(area.y) + area.height, -kWallInsetPx);
    if (m_Position.x < left) m_Direction.x = Abs32(m_Direction.x);
    if (m_Position.x > right) m_Direction.x = -Abs32(m_Direction.x);
    if (m_Position.y < top) m_Direction.y = Abs32(m_Direction.y);
    if (m_Position.y > bottom) m_Direction.y = -Abs32(m_Direction.y);
}

void CMarble::RunProcess() {
    if (m_nActivationCountdown != kNoCountdown) {
        m_nActivationCountdown = gameplay::WrapSub(m_nActivationCountdown, 1);
        if (m_nActivationCountdown < 1) {
            if (m_bEffective) Activate();
            m_bRemoved = true;
        }
    }
    const std::int64_t entry = m_nEntryIndicator;
    m_nEntryIndicator = m_bEntered ? static_cast<FIXED_FLOAT>(std::max<std::int64_t>(entry - kEntryFall, 0))
                                   : static_cast<FIXED_FLOAT>(std::min<std::int64_t>(entry + kEntryRise, kEntryFull));
}

void CMarble::Offset(FIXED_FLOAT_16 dx, FIXED_FLOAT_16 dy) {
    m_Position.x = WrapAdd(m_Position.x, dx);
    m_Position.y = WrapAdd(m_Position.y, dy);
    m_PrevPosition.x = WrapAdd(m_PrevPosition.x, dx);
    m_PrevPosition.y = WrapAdd(m_PrevPosition.y, dy);
    m_Path.Offset(dx >> 8, dy >> 8);
}

int CMarble::SerializeType(IFile* file) {
    SerializeHelper2 h{file, true, true, 0};
    h.Serialize(m_nColorType);
    return h.Succeeded();
}

IDibBitmap* CMarble::BackBuffer() const { return m_pGame != nullptr ? m_pGame->m_Screen.m_pBackBuffer : nullptr; }

CQuorvanImageRotatorScaler* CMarble::Rotator() const {
    return m_pGame != nullptr ? m_pGame->GetRotatorScaler() : nullptr;
}

void CMarble::PlaySound(const char* name) const {
    CSoundManager* sounds = m_pGame != nullptr ? m_pGame->GetSoundManager() : nullptr;
    if (sounds != nullptr) sounds->PlaySoundFX(name);
}

int CMarble::GetAnimationFrameCount() const {
    if (m_pSprite == nullptr) return 0;
    const int count = m_pSprite->GetNumFrames();
    // The strips of blue, green and yellow were made with a fixed number of frames; a set with
    // fewer is never asked for a frame it lacks.
    if (m_nColorType == kMarbleBlue) return std::min(64, count);
    if (m_nColorType == kMarbleGreen || m_nColorType == kMarbleYellow) return std::min(32, count);
    return count;
}

int CMarble::GetAnimationFrame() const {
    return RollFrame(static_cast<double>(m_fRollDistance * m_fRollRate), GetAnimationFrameCount());
}

FIXED_FLOAT CMarble::GetDrawAngle() const {
    const std::int64_t heading = fast_atan2(m_Direction.x, m_Direction.y);
    return gameplay::WrapDegrees(static_cast<std::int64_t>(m_nAngleOffset) + (180 + heading) * 256);
}

void GetColorNameBasedOnType(int type, CGameBase*, CommonString& out) {
    if (type >= kMarbleRed && type <= kMarbleYellow) out = kColorNames[type];
}

int RollFrame(double product, int count) {
    if (count < 1) return -1;
    if (!std::isfinite(product)) return 0;
    double frame = std::fmod(std::trunc(product), static_cast<double>(count));
    if (frame < 0) frame += count;
    return std::min(static_cast<int>(frame), count - 1);
}
