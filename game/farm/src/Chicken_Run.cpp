// A creature's frame: the bob, each state's update, walking and turning, and the views of a
// heading.
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "ChickenTuning.h"
#include "app/GameBase.h"
#include "core/QuorvanUtils.h"
#include "game/farm/BirdSoundsManager.h"
#include "game/farm/Chicken.h"
#include "game/farm/FarmYard.h"
#include "game/farm/YardCamera.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemManager.h"
#include "particles/RandomTables.h"
#include "render/DibBitmap.h"
#include "render/DrawingHelpers.h"
#include "sprites/SpriteSet.h"

using namespace creature;

namespace {

int Sign(std::int64_t v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

}  // namespace

// ---- Headings and views ------------------------------------------------------------------------

int HeadingAngle(TVector2D heading) { return fast_atan2(heading.x, heading.y) % 360; }

TVector2D HeadingOfAngle(int degrees) {
    const double a = degrees * 3.14159265358979 / 180.0;
    return TVector2D{static_cast<FIXED_FLOAT>(std::lround(std::cos(a) * 256.0)),
                     static_cast<FIXED_FLOAT>(std::lround(std::sin(a) * 256.0))};
}

TVector2D NormalizeHeading(TVector2D heading) {
    if (heading.x == 0 && heading.y == 0) return heading;
    // The length of a long vector is taken on its half, as the 32-bit squares always were.
    double x = heading.x, y = heading.y;
    double scale = 1.0;
    if (std::abs(heading.x) + std::abs(heading.y) >= 181 * 256) {
        x /= 2;
        y /= 2;
        scale = 2.0;
    }
    const double length = std::sqrt(x * x + y * y) * scale;
    return TVector2D{static_cast<FIXED_FLOAT>(std::lround(heading.x * 256.0 / length)),
                     static_cast<FIXED_FLOAT>(std::lround(heading.y * 256.0 / length))};
}

TDirectionView BirdViewOfAngle(int degrees) {
    const int a = ((degrees % 360) + 360) % 360;
    if (a <= 9 || a >= 351) return {0, true};
    if (a <= 79) return {5, true};
    if (a <= 109) return {3, false};
    if (a <= 169) return {5, false};
    if (a <= 189) return {0, false};
    if (a <= 259) return {4, false};
    if (a <= 279) return {2, false};
    return {4, true};
}

TDirectionView RobotViewOfAngle(int degrees) {
    const int a = ((degrees % 360) + 360) % 360;
    if (a >= 10 && a <= 79) return {7, false};
    if (a >= 280 && a <= 350) return {6, false};
    return BirdViewOfAngle(a);
}

void CChicken::AdjustSpriteSetFromDir() {
    const TDirectionView view = BirdViewOfAngle(HeadingAngle(m_Direction));
    m_nDirectionSet = view.set;
    m_bMirrored = view.mirrored;
}

namespace {

// The angle snapped to the nearest multiple of 45 (a remainder of 23 or more goes up).
int Snapped(int degrees) {
    const int rest = degrees % 45;
    return degrees - rest + (rest >= 23 ? 45 : 0);
}

}  // namespace

void CChicken::RotateRight() {
    m_Direction = HeadingOfAngle(Snapped(HeadingAngle(m_Direction)) + 45);
    AdjustSpriteSetFromDir();
}

void CChicken::RotateLeft() {
    m_Direction = HeadingOfAngle(Snapped(HeadingAngle(m_Direction)) - 45);
    AdjustSpriteSetFromDir();
}

void CChicken::Turn(int side) {
    if (side == 0)
        RotateRight();
    else
        RotateLeft();
}

void CChicken::LookAt(TVector2D point) {
    const FIXED_FLOAT dx = point.x - m_Position.x;
    const FIXED_FLOAT dy = point.y - m_Position.y;
    // Taken unsigned, as always: only a point just ahead on both axes keeps the heading.
    if (static_cast<std::uint32_t>(dx) < 256 && static_cast<std::uint32_t>(dy) < 256) return;
    m_Direction = HeadingOfAngle(Snapped(fast_atan2(dx, dy) % 360));
    AdjustSpriteSetFromDir();
}

// ---- Walking -----------------------------------------------------------------------------------

void CChicken::ProcessWalkingAnimation(FIXED_FLOAT step) {
    m_Frame += static_cast<FIXED_FLOAT>((static_cast<std::int64_t>(step) * m_AnimationSpeed) >> 8);
    const CSpriteSet* set =
        m_nDirectionSet >= 0 && m_nDirectionSet < m_SpriteSets.count ? m_SpriteSets[m_nDirectionSet] : nullptr;
    int frames = set != nullptr ? set->GetNumFrames() : 0;
    if (m_bSkipLastFrame) --frames;
    if (frames <= 0) {
        m_Frame = 0;
        return;
    }
    if ((m_Frame >> 8) >= frames) m_Frame -= frames * 256;
}

void CChicken::Move() {
    m_Direction = NormalizeHeading(m_Direction);
    m_Position.x += static_cast<FIXED_FLOAT>((static_cast<std::int64_t>(m_Direction.x) * m_Speed) >> 8);
    m_Position.y += static_cast<FIXED_FLOAT>((static_cast<std::int64_t>(m_Direction.y) * m_Speed) >> 8);
    // The yard's edges turn the creature back.
    if (m_Position.y < 0) {
        m_Position.y = 0;
        m_Direction.y = std::abs(m_Direction.y);
    }
    if (m_Position.y > kYardDepth) {
        m_Position.y = kYardDepth;
        m_Direction.y = -std::abs(m_Direction.y);
    }
    if (m_Position.x < 0) {
        m_Position.x = 0;
        m_Direction.x = std::abs(m_Direction.x);
    }
    if (m_Position.x > kYardWidth) {
        m_Position.x = kYardWidth;
        m_Direction.x = -std::abs(m_Direction.x);
    }
    m_Direction = NormalizeHeading(m_Direction);
    // So do the screen's sides, which can be narrower than the yard.
    const TVector2D screen = ScreenPosition();
    const IDibBitmap* back = BackBuffer();
    const int width = back != nullptr ? back->m_Width : m_pGame->m_nGameWidth;
    if (screen.x < kScreenMargin) {
        if (m_Direction.x < 0)
            m_Direction.x = -m_Direction.x;
        else if (m_Direction.x == 0)
            Turn(m_Direction.y < 256 ? 0 : 1);
    } else if (screen.x > width * 256 - kScreenMargin) {
        if (m_Direction.x > 0)
            m_Direction.x = -m_Direction.x;
        else if (m_Direction.x == 0)
            Turn(m_Direction.y > 0 ? 0 : 1);
    }
    AdjustSpriteSetFromDir();
}

void CChicken::ProcessMovingToPosition(TVector2D target) {
    const std::int64_t dx = static_cast<std::int64_t>(target.x) - m_Position.x;
    const std::int64_t dy = static_cast<std::int64_t>(target.y) - m_Position.y;
    const std::int64_t s = m_Speed;
    if (s > std::llabs(dx) && s > std::llabs(dy)) {
        m_Position = target;
        return;
    }
    if (dx == 0) {
        m_Direction = TVector2D{0, Sign(dy) * 256};
        if (s >= std::llabs(dy))
            m_Position = target;
        else
            m_Position.y += static_cast<FIXED_FLOAT>(Sign(dy) * s);
    } else if (std::llabs(dx) > std::llabs(dy)) {
        m_Direction = TVector2D{Sign(dx) * 256, 0};
        m_Position.x += static_cast<FIXED_FLOAT>(Sign(dx) * s);
    } else {
        m_Direction = NormalizeHeading(TVector2D{Sign(dx) * 256, Sign(dy) * 256});
        m_Position.x += static_cast<FIXED_FLOAT>((m_Direction.x * s) >> 8);
        m_Position.y += static_cast<FIXED_FLOAT>((m_Direction.y * s) >> 8);
        if ((dx > 0 && m_Position.x > target.x) || (dx < 0 && m_Position.x < target.x)) m_Position.x = target.x;
    }
    ProcessWalkingAnimation(kFixedOne);
    AdjustSpriteSetFromDir();
}

// ---- The frame ---------------------------------------------------------------------------------

void CChicken::RunProcess() {
    RunBounce();
    switch (m_nState) {
        case kChickenWalk:
            RunWalk();
            break;
        case kChickenVisit:
            RunVisit();
            break;
        case kChickenWalkToFront:
            RunWalkToFront();
            break;
        case kChickenDragged:
            RunDragged();
            break;
        case kChickenSpin:
            RunSpin();
            break;
        case kChickenIdle:
            RunIdle();
            break;
        default:
            break;
    }
}

void CChicken::RunBounce() {
    if (m_nState != kChickenIdle && !IsMachine() && !m_bJumping) return;
    m_BouncePhase += m_BounceSpeed;
    if (m_BouncePhase > kFixed16One && m_BounceSpeed > 0) {
        m_BouncePhase = kFixed16One;
        m_BounceSpeed = -m_BounceSpeed;
    } else if (m_BouncePhase < 0 && m_BounceSpeed < 0) {
        m_BouncePhase = 0;
        m_BounceSpeed = -m_BounceSpeed;
        if (m_bTapBounce) {
            m_bTapBounce = false;
            m_BounceSpeed = kBobSpeed;
        }
        if (m_bJumping && m_nTimer < 2) {
            EndJump();
            m_nTimer = 0;
            ChangeState();
        }
    }
}

void CChicken::RunWalk() {
    if (m_nPendingTurns == 0) {
        ProcessWalkingAnimation(kFixedOne);
        Move();
        --m_nTimer;
        if (m_nTimer >= 1) return;
        if (!IsMachine()) {
            ChangeState();
        } else {
            // A machine never stops by itself: it turns and goes on.
            Turn(m_pGame->RandomValue(2) != 0 ? 1 : 0);
            m_nTimer = kMachineTurnFrames + m_pGame->RandomValue(kMachineTurnRandom);
        }
        return;
    }
    if (m_nTimer < 1 || m_nTimer % 3 == 0) {
        Turn(m_nTurnSide);
        --m_nPendingTurns;
    }
    --m_nTimer;
    if (m_nPendingTurns == 0 && m_nTimer < 1) ChangeState();
}

void CChicken::RunVisit() {
    ProcessMovingToPosition(m_DestinationPoint);
    if (m_Position.x == m_DestinationPoint.x && m_Position.y == m_DestinationPoint.y) OnArrival();
}

void CChicken::OnArrival() {
    m_Direction = TVector2D{0, 256};
    AdjustSpriteSetFromDir();
    ChangeState(kChickenIdle, false, false);
    m_nPendingTurns = 0;
    m_nTimer = kStayFrames + m_pGame->RandomValue(kStayRandom);
    // The spot was given back on the way (a tap, a drop near it): nothing to do there.
    CFarmObject* object = m_pDestination;
    if (object == nullptr) return;
    const bool bird = m_nKind == kFarmObjectChicken;
    switch (object->m_nSpotType) {
        case kSpotPicture:
            if (bird) {
                if (IFarmYard* yard = GetYard()) {
                    yard->ShowCameraFlash();
                    yard->SetPhotoStand(object, kPhotoStandBusyFrames);
                }
            }
            break;
        case kSpotJumping:
            if (bird) {
                m_bJumping = true;
                m_BouncePhase = 0;
                m_BounceSpeed = kJumpSpeed;
                m_nTurnSide = NextGameRandom() % 2;
                m_nTimer = kJumpFrames;
                if (m_pSounds != nullptr) PlayRandomSound(m_pSounds->question);
            }
            break;
        default:
            m_nTimer = kStayFrames + m_pGame->RandomValue(kStayRandom);
            LookAt(object->GetSpotLookPoint());
            if (m_pSounds != nullptr) {
                if (object->m_nSpotType == kSpotDrink)
                    PlayRandomSound(m_pSounds->drink);
                else if (object->m_nSpotType == kSpotQuestion)
                    PlayRandomSound(m_pSounds->question);
                else if (object->m_nSpotType == kSpotEat)
                    PlayRandomSound(m_pSounds->eat);
            }
            m_nEmotionAlpha = 0;
            break;
    }
}

void CChicken::RunWalkToFront() {
    if (m_Direction.y < 256) {
        // Turns towards the viewer first, a step every three frames.
        if (--m_nTimer <= 0) {
            RotateRight();
            m_nTimer = 3;
        }
        return;
    }
    ProcessWalkingAnimation(kFixedOne);
    Move();
    if (m_Direction.y >= 256) return;
    // The front edge turned it back: it stops there and faces the viewer.
    m_Direction = TVector2D{0, 256};
    AdjustSpriteSetFromDir();
    ChangeState(kChickenIdle, false, false);
    m_Frame = m_nStandingFrame * 256;
    m_nTimer = kStayFrames + m_pGame->RandomValue(kStayRandom);
}

void CChicken::RunDragged() {
    if (m_nDirectionSet != 3 && m_nTimer % 3 == 0) RotateRight();
    ++m_nTimer;
    ProcessWalkingAnimation(2 * kFixedOne);
}

void CChicken::RunSpin() {
    if (m_nTimer > 0) {
        --m_nTimer;
        if (m_nTimer % 3 == 0) Turn(m_nTurnSide);
    }
    if (m_nTimer >= 1) return;
    if (m_nDirectionSet == 3)
        ChangeState(kChickenIdle, false, false);
    else if (m_nTimer == 0)
        m_nTimer = 3;
}

void CChicken::RunIdle() {
    if (m_pEmotionSet != nullptr) {
        const int count = m_pEmotionSet->GetNumFrames();
        m_EmotionFrame += m_EmotionFrameSpeed;
        if (count > 0 && (m_EmotionFrame >> 8) >= count && m_EmotionFrameSpeed > 0) {
            if (m_bEmotionPingPong) {
                m_EmotionFrame = (count - 1) * 256;
                m_EmotionFrameSpeed = -m_EmotionFrameSpeed;
            } else {
                m_EmotionFrame -= count * 256;
            }
        } else if (m_EmotionFrame < 0 && m_EmotionFrameSpeed < 0 && m_bEmotionPingPong) {
            m_EmotionFrame = 0;
            m_EmotionFrameSpeed = -m_EmotionFrameSpeed;
        }
    }
    if (m_nTimer <= kEmotionFadeFrames)
        m_nEmotionAlpha = m_nTimer > 0 ? m_nTimer * 255 / kEmotionFadeFrames : 0;
    else if ((m_nEmotionAlpha += kEmotionFadeIn) > 255)
        m_nEmotionAlpha = 255;

    if (m_bJumping) {
        if (m_nTimer < 1 || m_nTimer % 3 == 0) Turn(m_nTurnSide);
        if (m_nTimer % 2 == 0) {
            const FIXED_FLOAT raise = (kJumpRaise * static_cast<std::int64_t>(SCurve16(m_BouncePhase, nullptr))) >> 8;
            EmitGameEffect("ChickenJump", raise);
        }
    }
    if (m_bDragging || m_bSelected) return;
    if (m_nPendingTurns > 0 && (m_nTimer < 1 || m_nTimer % 3 == 0)) {
        Turn(m_nTurnSide);
        --m_nPendingTurns;
    }
    if (--m_nTimer < 1) {
        ChangeState();
        return;
    }
    if (m_nTimer % kEffectEveryFrames != 0) return;
    const FIXED_FLOAT raise = static_cast<FIXED_FLOAT>(
        (static_cast<std::int64_t>(kEffectRaise * 256) * WorldToScreenScale(m_Position)) >> 16);
    if (m_nPreviousState == kChickenWalkToFront)
        EmitGameEffect("EmoLove", raise);
    else if (IsHealing())
        EmitGameEffect("RobotHeal", raise);
}

void CChicken::EmitGameEffect(const char* name, FIXED_FLOAT raise) {
    CQuorvanParticleSystemManager2* manager = GetParticleManager();
    CQuorvanParticleSystem2* system = manager != nullptr ? manager->GetParticleSystemNamed(name) : nullptr;
    if (system == nullptr) return;
    const TVector2D screen = ScreenPosition();
    system->StartAt(screen.x << 8, (screen.y - raise) << 8);
    system->EmitNewParticles(1);
    system->Stop(false);
}
