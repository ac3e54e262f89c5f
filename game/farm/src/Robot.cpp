#include "game/farm/Robot.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "app/GameBase.h"
#include "game/farm/FarmManager.h"

namespace {

// Its views: no plain right-hand set, but right views of its own.
constexpr const char* kRobotSuffixes[kDirectionSetCount] = {"_left",    nullptr,      "_up",       "_down",
                                                            "_left_up", "_left_down", "_right_up", "_right_down"};
// Where each view's wheel sits, pixels from the frame's bottom centre (x) and bottom (y).
constexpr double kRobotOffsets[kDirectionSetCount][2] = {{8.5, 14}, {0, 0},     {1, 11},   {0, 14},
                                                         {-6, 13},  {-4.5, 14}, {7.5, 14}, {6, 14.5}};
// A bird this close on both axes (world units) gets healed.
constexpr FIXED_FLOAT kHealReach = 50 * 256;
constexpr std::int64_t kHealDistance = 100 * 256;
constexpr int kHealFrames = 66;
constexpr int kHealRest = 165;
constexpr int kFaceEachOtherFrames = 82;
constexpr FIXED_FLOAT_16 kMachineMarkerScale = 91750;  // 1.4

}  // namespace

CRobot::CRobot(CGameBase* game, const char* id) : CChicken(game, id) {
    m_nKind = kFarmObjectRobot;
    m_SelectionScale = kMachineMarkerScale;
    m_pSetSuffixes = kRobotSuffixes;
}

bool CRobot::Init(int argument) {
    if (!CFarmObject::Init(argument)) return false;
    m_nBirdNumber = kRobotNumber;
    m_nStandingFrame = 0;
    m_AnimationSpeed = 0;
    m_AnchorHeight = 0;
    for (int i = 0; i < kDirectionSetCount; ++i) {
        m_DrawOffsets[i].x = static_cast<FIXED_FLOAT_16>(std::lround(kRobotOffsets[i][0] * 65536.0));
        m_DrawOffsets[i].y = static_cast<FIXED_FLOAT_16>(std::lround(kRobotOffsets[i][1] * 65536.0));
    }
    // Its face is the dome above the wheel.
    m_FaceOffset = TVector2D{0, -36 * 256};
    return InitDirectionSets("robot");
}

void CRobot::AdjustSpriteSetFromDir() {
    const TDirectionView view = RobotViewOfAngle(HeadingAngle(m_Direction));
    m_nDirectionSet = view.set;
    m_bMirrored = view.mirrored;
}

void CRobot::RunProcess() {
    CChicken::RunProcess();
    if (m_nHealingCountdown > 0) {
        if (--m_nHealingCountdown == 0) m_nHealingPause = kHealRest;
        return;
    }
    if (m_nHealingPause > 0) {
        --m_nHealingPause;
        return;
    }
    CFarmManager* farm = GetFarmManager();
    if (m_bDragging || farm == nullptr) return;
    CChicken* nearest = nullptr;
    std::int64_t best = 0;
    // From the last object to the first: on equal distances the one met later (the lower index)
    // is healed.
    for (int i = farm->m_Objects.count - 1; i >= 0; --i) {
        CFarmObject* object = farm->m_Objects[i];
        if (object->m_nKind != kFarmObjectChicken || object->m_bDragging) continue;
        const std::int64_t dx = static_cast<std::int64_t>(object->m_Position.x) - m_Position.x;
        const std::int64_t dy = static_cast<std::int64_t>(object->m_Position.y) - m_Position.y;
        if (std::llabs(dx) > kHealReach || std::llabs(dy) > kHealReach) continue;
        const std::int64_t distance = std::llround(std::sqrt(static_cast<double>(dx * dx + dy * dy)));
        if (distance > kHealDistance) continue;
        if (nearest == nullptr || distance <= best) {
            nearest = static_cast<CChicken*>(object);
            best = distance;
        }
    }
    if (nearest == nullptr) return;
    nearest->FreeDestinationObject();
    nearest->ChangeState(kChickenIdle, false, true);
    nearest->m_nTimer = kFaceEachOtherFrames;
    nearest->m_pEmotionSet = nullptr;
    nearest->LookAt(m_Position);
    FreeDestinationObject();
    ChangeState(kChickenIdle, false, false);
    m_nHealingCountdown = kHealFrames;
    m_nTimer = kFaceEachOtherFrames;
    m_pEmotionSet = nullptr;
    LookAt(nearest->m_Position);
}

void CRobot::OnEndDragging() {
    CChicken::OnEndDragging();
    m_nHealingCountdown = 0;
    m_nHealingPause = 0;
}

void CRobot::ResetAllRobotsHealingPause(CFarmManager* farm) {
    if (farm == nullptr) return;
    for (int i = 0; i < farm->m_Objects.count; ++i)
        if (farm->m_Objects[i]->m_nKind == kFarmObjectRobot)
            static_cast<CRobot*>(farm->m_Objects[i])->m_nHealingPause = 0;
}
