// Creatures: set-up, the record, the player's touches and the choice of the next state. The
// frame's update and movement are Chicken_Run.cpp, the drawing Chicken_Draw.cpp.
#include "game/farm/Chicken.h"

#include <cstdio>

#include "ChickenTuning.h"

#include "app/GameBase.h"
#include "audio/SoundManager.h"
#include "core/Serializer.h"
#include "game/farm/BirdSoundsManager.h"
#include "game/farm/ComicForeground.h"
#include "game/farm/FarmDefs.h"
#include "game/farm/FarmHost.h"
#include "game/farm/FarmManager.h"
#include "game/farm/FarmYard.h"
#include "game/farm/Robot.h"
#include "game/farm/YardCamera.h"
#include "particles/RandomTables.h"
#include "render/DibBitmap.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"

using namespace creature;

namespace {

// The five views of a bird and of the mower (sets 0, 2, 3, 4, 5).
constexpr const char* kBirdSuffixes[kDirectionSetCount] = {"_L", nullptr, "_T", "_B", "_LT", "_LB", nullptr, nullptr};

// A bird's tuning by number: its standing frame, how far its feet are above the frame's bottom
// (pixels), its walking speed (24.8), whether its walk cycle leaves out the last frame, and how
// far above its feet its face is in the front view (pixels; a photo stand's hole takes the face).
struct TBirdTuning {
    int standingFrame;
    int anchorHeight;
    FIXED_FLOAT speed;
    bool skipLastFrame;
    int faceHeight;
};
constexpr TBirdTuning kBirdTuning[20] = {
    {4, 12, 384, false, 31}, {0, 12, 256, false, 20}, {0, 8, 256, false, 36},  {0, 10, 384, false, 30},
    {0, 11, 256, false, 38}, {0, 14, 256, false, 30}, {0, 10, 384, false, 30}, {0, 8, 256, false, 32},
    {0, 10, 256, false, 34}, {0, 12, 256, false, 28}, {0, 15, 256, false, 30}, {0, 13, 256, false, 38},
    {20, 13, 256, true, 30}, {20, 13, 256, true, 30}, {20, 13, 256, true, 30}, {20, 13, 256, true, 30},
    {20, 13, 256, true, 30}, {20, 13, 256, true, 30}, {20, 13, 256, true, 30}, {20, 13, 256, true, 30},
};

}  // namespace

CChicken::CChicken(CGameBase* game, const char* id) : CFarmObject(game, id) {
    m_nKind = kFarmObjectChicken;
    m_pSetSuffixes = kBirdSuffixes;
    // The bob starts anywhere between 0 and 0.99 so that birds do not bob in step.
    const int percent = game != nullptr ? game->RandomValue(100) : 0;
    m_BouncePhase = percent * 65536 / 100;
}

CChicken::~CChicken() {
    for (int i = 0; i < m_SpriteSets.count; ++i)
        if (m_SpriteSets[i] != nullptr) m_SpriteSets[i]->ReleaseReference();
    m_SpriteSets.count = 0;
    m_pSounds = nullptr;
}

bool CChicken::Init(int birdNumber) {
    if (birdNumber < 1 || birdNumber > 20) return false;
    if (!CFarmObject::Init(birdNumber)) return false;
    const TBirdTuning& tuning = kBirdTuning[birdNumber - 1];
    m_nBirdNumber = birdNumber;
    m_nStandingFrame = tuning.standingFrame;
    m_AnchorHeight = tuning.anchorHeight << 16;
    m_Speed = tuning.speed;
    m_bSkipLastFrame = tuning.skipLastFrame;
    m_FaceOffset = TVector2D{0, -tuning.faceHeight * 256};
    char base[16];
    std::snprintf(base, sizeof base, "Chicken%d", birdNumber);
    if (!InitDirectionSets(base)) return false;
    IFarmHost* host = FarmHostOf(m_pGame);
    CBirdSoundsManager* sounds = host != nullptr ? host->GetBirdSoundsManager() : nullptr;
    m_pSounds = sounds != nullptr ? sounds->GetSoundsForBird(m_Id) : nullptr;
    return true;
}

bool CChicken::InitDirectionSets(const char* baseName) {
    // Birds, the robot and the mower can all be selected, dragged and dropped.
    m_uFlags |= kFarmFlagCreature | kFarmFlagSelectable;
    m_pSetBaseName = baseName;
    CSpriteSetManager* sets = m_pGame->GetSpriteSetManager();
    if (sets == nullptr) return false;
    for (int i = 0; i < kDirectionSetCount; ++i) {
        CSpriteSet* set = nullptr;
        if (m_pSetSuffixes[i] != nullptr) {
            const CommonString name = CommonString(baseName) + CommonString(m_pSetSuffixes[i]);
            set = sets->GetSpriteSetNamed(name.GetDataConst());
            if (set == nullptr || set->AddReference() == 0) return false;
        }
        if (!m_SpriteSets.Add(set)) {
            if (set != nullptr) set->ReleaseReference();
            return false;
        }
    }
    IDibBitmap* first = m_SpriteSets[0] != nullptr ? m_SpriteSets[0]->GetFrame(0) : nullptr;
    if (first != nullptr) m_Size = TVector2D{first->m_Width * 256, first->m_Height * 256};
    m_Direction = TVector2D{0, 256};
    m_nDirectionSet = 3;
    m_bMirrored = false;
    m_Frame = m_nStandingFrame * 256;
    m_nState = kChickenIdle;
    m_nTimer = kFirstIdleFrames;
    return true;
}

bool CChicken::Serialize(IFile* file, bool save) {
    if (!CFarmObject::Serialize(file, save)) return false;
    SerializeHelper2 io{file, true, save, 0};
    io.Serialize(m_nBirdNumber);
    io.Serialize(m_Direction);
    io.Serialize(m_nState);
    io.Serialize(m_nTimer);
    io.Serialize(m_nDirectionSet);
    io.Serialize(m_Frame);
    io.Serialize(m_bMirrored);
    if (io.Succeeded() == 0) return false;
    if (save) return true;
    // Bytes from a file: a state, a view or a frame this creature cannot have, or a heading of
    // no length (divided by its length when the creature moves), is damage.
    if (m_nState < kChickenIdle || m_nState > kChickenDragged) return false;
    if (m_nDirectionSet < 0 || m_nDirectionSet >= kDirectionSetCount) return false;
    const CSpriteSet* set = m_nDirectionSet < m_SpriteSets.count ? m_SpriteSets[m_nDirectionSet] : nullptr;
    const int frames = set != nullptr ? set->GetNumFrames() : 0;
    if (m_Frame < 0 || (m_Frame >> 8) >= frames) return false;
    if (m_Direction.x == 0 && m_Direction.y == 0) return false;
    if (m_nState == kChickenVisit || m_nState == kChickenDragged) {
        // The record keeps no link to a visited object: the creature starts afresh.
        m_Direction = TVector2D{0, 256};
        m_nDirectionSet = 3;
        m_bMirrored = false;
        m_Frame = m_nStandingFrame * 256;
        m_nState = kChickenIdle;
    }
    return true;
}

TRect2D CChicken::GetObjectRect() {
    const TVector2D screen = ScreenPosition();
    const std::int64_t k = WorldToScreenScale(m_Position);
    const IDibBitmap* frame = GetCurrentFrame();
    const std::int64_t w = frame != nullptr ? frame->m_Width * 256 : m_Size.x;
    const std::int64_t h = frame != nullptr ? frame->m_Height * 256 : m_Size.y;
    const std::int64_t wk = (w * k) >> 16, hk = (h * k) >> 16, margin = (15 * 256 * k) >> 16;
    TRect2D r;
    r.x = static_cast<FIXED_FLOAT>(screen.x - wk / 2 - margin);
    r.y = static_cast<FIXED_FLOAT>(screen.y - hk);
    r.width = static_cast<FIXED_FLOAT>(wk + 2 * margin);
    r.height = static_cast<FIXED_FLOAT>(hk + 2 * margin);
    return r;
}

IDibBitmap* CChicken::GetCurrentFrame() const {
    if (m_nDirectionSet < 0 || m_nDirectionSet >= m_SpriteSets.count) return nullptr;
    const CSpriteSet* set = m_SpriteSets[m_nDirectionSet];
    return set != nullptr ? set->GetFrame(m_Frame >> 8) : nullptr;
}

// ---- The player's touches --------------------------------------------------------------------

void CChicken::EndJump() {
    m_bJumping = false;
    m_BouncePhase = 0;
    m_BounceSpeed = kBobSpeed;
}

void CChicken::OnTap() {
    FreeDestinationObject();
    if (m_bJumping) EndJump();
    if (m_nKind != kFarmObjectChicken) return;
    if (NextGameRandom() % 2 == 0) {
        m_Direction = TVector2D{0, 256};
        AdjustSpriteSetFromDir();
        m_nState = kChickenIdle;
        m_nIdleLook = 0;
        m_bTapBounce = true;
        m_BouncePhase = 0;
        m_BounceSpeed = kTapBounceSpeed;
        m_nTimer = kTapBounceFrames;
        m_Frame = m_nStandingFrame * 256;
        if (m_pSounds != nullptr) PlayRandomSound(m_pSounds->tap);
    } else {
        m_nTurnSide = NextGameRandom() % 2;
        m_nState = kChickenSpin;
        m_nTimer = kTapSpinFrames;
        if (m_pSounds != nullptr) PlayRandomSound(m_pSounds->tap_spin);
    }
}

void CChicken::OnBeginDragging() {
    CFarmObject::OnBeginDragging();
    FreeDestinationObject();
    if (m_bJumping) EndJump();
    m_nState = kChickenDragged;
    m_Frame = m_nStandingFrame * 256;
    m_nTimer = 0;
}

void CChicken::OnEndDragging() {
    CFarmObject::OnEndDragging();
    m_nState = kChickenWalk;
    m_nTimer = kDropWalkFrames;
    if (m_nKind == kFarmObjectChicken) CRobot::ResetAllRobotsHealingPause(GetFarmManager());
}

void CChicken::OnSelectStarted() {
    m_bSelected = true;
    // Selection forgets the previous state, which is what would make the bird give a visited
    // spot back later: it gives it back now.
    FreeDestinationObject();
    m_nState = kChickenIdle;
    m_nTimer = kSelectedFrames;
    m_nPreviousState = kChickenIdle;
    m_Frame = m_nStandingFrame * 256;
    m_pEmotionSet = nullptr;
}

void CChicken::OnSelectFinished() { m_bSelected = false; }

void CChicken::OnAboutToRemove() { FreeDestinationObject(); }

void CChicken::FreeDestinationObject() {
    if (m_pDestination != nullptr) m_pDestination->MakeSportFreeFromBird(this);
    m_pDestination = nullptr;
}

void CChicken::PlayRandomSound(const CQuorvanObjPtrArray<CommonString*>& list) {
    if (list.count == 0) return;
    const int pick = m_pGame->RandomValue(list.count);
    CSoundManager* sounds = m_pGame->GetSoundManager();
    if (sounds != nullptr && list[pick] != nullptr) (void)sounds->PlaySoundFX(list[pick]->GetDataConst());
}

// ---- Choosing the next state -----------------------------------------------------------------

void CChicken::ChangeState() {
    int next = m_pGame->RandomValue(4);
    if (IsMachine() && next > kChickenWalk) next = kChickenIdle;
    ChangeState(next, true, false);
}

void CChicken::ChangeState(int newState, bool randomTurns, bool forgetPrevious) {
    const int old = m_nState;
    if (m_nState == kChickenIdle) {
        if (m_nPreviousState == kChickenVisit) FreeDestinationObject();
        // After a visit or the walk to the front a creature always walks off.
        if (m_nPreviousState == kChickenWalkToFront || m_nPreviousState == kChickenVisit) {
            m_nPreviousState = kChickenIdle;
            newState = kChickenWalk;
        }
    }
    const auto drawTurns = [this] {
        m_nTurnSide = NextGameRandom() % 2;
        m_nPendingTurns = NextGameRandom() % 3 + 3;
    };
    if (newState == kChickenIdle) {
        m_nIdleLook = old == kChickenVisit ? 0 : 1;
        m_nPendingTurns = 0;
        m_nState = kChickenIdle;
        m_Frame = m_nStandingFrame * 256;
        m_nTimer = kIdleFrames + m_pGame->RandomValue(kIdleRandom);
        if (randomTurns) drawTurns();
    } else {
        // Any other state ends a jump, and with it a tap's bounce.
        EndJump();
        m_bTapBounce = false;
        m_nTimer = 0;
        m_nPendingTurns = 0;
        if (newState == kChickenWalk) {
            m_nState = kChickenWalk;
            m_nTimer = kWalkFrames + m_pGame->RandomValue(kWalkRandom);
            if (randomTurns) drawTurns();
        } else if (newState == kChickenWalkToFront) {
            m_nState = kChickenWalkToFront;
            m_nTimer = 3;
            m_Frame = m_nStandingFrame * 256;
        } else if (newState == kChickenVisit) {
            m_nState = kChickenVisit;
            CFarmManager* farm = GetFarmManager();
            CFarmObject* target = farm != nullptr ? farm->FindAvailableSpotToVisit(nullptr) : nullptr;
            IFarmYard* yard = GetYard();
            const bool standBusy = target != nullptr && target->m_nSpotType == kSpotPicture && yard != nullptr &&
                                   yard->GetPhotoStandBusyCountdown() > 0;
            const int spot = target != nullptr && !standBusy ? target->FindFreeSpot() : -1;
            if (spot < 0) {
                ChangeState(kChickenIdle, randomTurns, true);
                return;
            }
            // A bird holds one spot at a time: one it still holds goes back first.
            FreeDestinationObject();
            target->m_pOccupants[spot] = this;
            m_pDestination = target;
            m_DestinationPoint = GetDestinationPoint(target, spot);
            PrepareEmotionSetForSpotType(target->m_nSpotType);
        } else {
            m_nState = newState;
        }
    }
    m_nPreviousState = forgetPrevious ? kChickenIdle : old;
}

void CChicken::ChangeStateToVisitSpot(CFarmObject* object) {
    const int old = m_nState;
    m_nState = kChickenVisit;
    const int spot = object != nullptr ? object->FindFreeSpot() : -1;
    if (spot < 0) {
        ChangeState(kChickenIdle, true, true);
        return;
    }
    FreeDestinationObject();
    object->m_pOccupants[spot] = this;
    m_pDestination = object;
    m_DestinationPoint = GetDestinationPoint(object, spot);
    PrepareEmotionSetForSpotType(object->m_nSpotType);
    m_nPreviousState = old;
}

TVector2D CChicken::GetDestinationPoint(CFarmObject* object, int spot) {
    if (object == nullptr) return m_Position;
    const bool validSpot = spot >= 0 && spot < object->GetNumSpotPoints();
    if (object->m_nKind == kFarmObjectPhotoStand && validSpot)
        return static_cast<CComicForeground*>(object)->GetSpotPointForChicken(this);
    if ((object->m_nKind == kFarmObjectDecor || object->m_nKind == kFarmObjectDoghouse) && validSpot)
        return object->GetSpotPoint(spot);
    return object->m_Position;
}

void CChicken::PrepareEmotionSetForSpotType(int spotType) {
    m_nEmotionAlpha = 0;
    m_bEmotionPingPong = false;
    m_bEmotionTrail = false;
    m_bEmotionPulseInPhase = true;
    m_pEmotionSet = nullptr;
    m_EmotionFrame = 0;
    m_EmotionFrameSpeed = 0;
    const char* name = nullptr;
    const bool robot = m_nKind == kFarmObjectRobot;
    switch (spotType) {
        case kSpotEat:
        case kSpotDrink:
            if (!robot) {
                name = spotType == kSpotEat ? "icons_eat" : "icons_drink";
                m_bEmotionTrail = true;
                m_EmotionFrameSpeed = 77;
            }
            break;
        case kSpotHeat:
            if (!robot) {
                name = "icons_heat";
                m_EmotionFrameSpeed = 256;
            }
            break;
        case kSpotSmile:
            if (!robot) {
                name = "icons_smile";
                m_bEmotionPulseInPhase = false;
            }
            break;
        case kSpotMusic:
            name = "icons_music";
            m_bEmotionPulseInPhase = false;
            break;
        case kSpotQuestion:
            name = "icons_question";
            break;
        default:
            break;
    }
    // The robot wonders at everything it does not know.
    if (name == nullptr && robot) name = "icons_question";
    if (name == nullptr) return;
    if (CommonString(name).IsEqual("icons_question")) {
        m_bEmotionPingPong = true;
        m_EmotionFrameSpeed = 64;
    }
    CSpriteSetManager* sets = m_pGame->GetSpriteSetManager();
    m_pEmotionSet = sets != nullptr ? sets->GetSpriteSetNamed(name) : nullptr;
}
