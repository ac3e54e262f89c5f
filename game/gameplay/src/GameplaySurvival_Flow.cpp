// The round's marble flow: how hard the level is, when and where marbles come in, how they roll
// and follow their paths in ten substeps a frame, and what happens when two of them touch.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

#include "app/GameBase.h"
#include "game/gameplay/GameplaySurvival.h"
#include "game/gameplay/MarblePowerup.h"
#include "game/progress/UserProfile.h"
#include "game/widgets/GameplayMath.h"
#include "render/DibBitmap.h"

namespace {

// Free rolling speed, pixels a frame: its start, growth per difficulty step and cap; a level
// starts this much slower (twice as much while easing) and never below the start.
constexpr float kBaseSpeed = 0.25f;
constexpr float kSpeedPerStep = 0.04f;
constexpr float kTopSpeed = 1.2f;
constexpr float kLevelStartSlowdown = 0.08f;
constexpr float kEasingSlowdown = 0.16f;

// Path speed, 16.16 pixels a frame: 8 plus a half per difficulty step; past 20 it jumps by 20.
constexpr FIXED_FLOAT_16 kPathBaseSpeed = 8 * 65536;
constexpr FIXED_FLOAT_16 kPathSpeedPerStep = 32768;
constexpr FIXED_FLOAT_16 kPathSpeedKnee = 20 * 65536;
constexpr FIXED_FLOAT_16 kPathSpeedJump = 20 * 65536;

// Spawning: frames between marbles at a level's start, fewer per difficulty step, at least 1.
constexpr float kSlowestSpawn = 30.0f;
constexpr float kSpawnFramesPerStep = 3.0f;
constexpr int kEasingSteps = 2;  // easing spawns as if the difficulty were this much lower

// Edge spawning: how far beyond the screen, the spread, the clearance from every marble, and the
// tries in a frame.
constexpr int kSpawnOutsidePx = 14;
constexpr int kSpawnSpreadPx = 20;
constexpr std::int64_t kSpawnClearanceSq = 84 * 84;
constexpr int kSpawnTries = 6;

// Collisions, squared pixels: where the danger halo starts, where marbles touch, and the
// nearest different-coloured pair's limits for the near-miss achievement.
constexpr float kDangerRangeSq = 7056.0f;  // 84
constexpr float kContactSq = 784.0f;       // 28
constexpr int kContactPx = 28;
constexpr int kDangerRangePx = 56;  // from contact to where the halo starts
constexpr float kNoPairSq = 10000.0f;
constexpr float kNearMissSq = 900.0f;  // 30
constexpr float kEscapedSq = 1156.0f;  // 34
constexpr int kNearMissAchievement = 16;

// A path's last stretch: the direction a marble leaves its path in is taken over this length.
constexpr FIXED_FLOAT kLastStretch = 5 * 256;
constexpr int kLongPathFrames = 7;
constexpr int kTrailParticles = 4;

std::int64_t Sq(std::int64_t v) { return v * v; }

}  // namespace

int CXGameplaySurvival::GetDifficultyIndex() const {
    const std::int64_t index = static_cast<std::int64_t>(m_nArenaIndex) * 5 + m_nLevel;
    return static_cast<int>(std::min<std::int64_t>(index, INT_MAX));
}

float CXGameplaySurvival::GetLevelProgress() const {
    return m_nLevelTarget != 0 ? static_cast<float>(m_nCleared) / static_cast<float>(m_nLevelTarget) : 0.0f;
}

FIXED_FLOAT_16 CXGameplaySurvival::Difficulty_GetBasicEnemySpeedOnCurrentLevel() const {
    const float full = std::min(kBaseSpeed + kSpeedPerStep * static_cast<float>(GetDifficultyIndex()), kTopSpeed);
    const float start = std::max(full - (m_nEasingCounter > 0 ? kEasingSlowdown : kLevelStartSlowdown), kBaseSpeed);
    const float speed = start + (full - start) * GetLevelProgress();
    return gameplay::RoundToInt32(static_cast<double>(speed) * 65536.0);
}

FIXED_FLOAT_16 CXGameplaySurvival::Difficulty_GetRollingSpeedOnCurrentLevel() const {
    const std::int64_t speed = kPathBaseSpeed + static_cast<std::int64_t>(kPathSpeedPerStep) * GetDifficultyIndex();
    return gameplay::Clamp32(speed > kPathSpeedKnee ? speed + kPathSpeedJump : speed);
}

void CXGameplaySurvival::Difficulty_RunProcessSpawnEnemies() {
    if (m_bTutorial) return;
    float base = kSlowestSpawn;
    const int steps = m_nEasingCounter > 0 ? GetDifficultyIndex() - kEasingSteps : GetDifficultyIndex();
    if (steps >= 0) base = std::max(kSlowestSpawn - kSpawnFramesPerStep * static_cast<float>(steps), 1.0f);
    if (m_nEasingCounter > 0) --m_nEasingCounter;
    const float q = std::clamp(GetLevelProgress(), 0.0f, 1.0f);
    m_nSpawnInterval = std::max(static_cast<int>(base + (kSlowestSpawn - base) * (1.0f - q)), 1);
    if (++m_nSpawnCounter > m_nSpawnInterval) {
        SpawnEnemy();
        m_nSpawnCounter = 0;
    }
}

void CXGameplaySurvival::SpawnEnemy() {
    CGameBase* game = GameBase();
    const IDibBitmap* back = GetBackBuffer();
    if (game == nullptr || back == nullptr) return;
    const int w = back->m_Width, h = back->m_Height;
    for (int attempt = 0; attempt < kSpawnTries; ++attempt) {
        int x = 0, y = 0;
        // The coordinate along the edge is drawn before the one across it.
        switch (game->RandomValue(4)) {
            case 0:
                x = game->RandomValue(w);
                y = -kSpawnOutsidePx - game->RandomValue(kSpawnSpreadPx);
                break;
            case 1:
                x = game->RandomValue(w);
                y = h + kSpawnOutsidePx + game->RandomValue(kSpawnSpreadPx);
                break;
            case 2:
                y = game->RandomValue(h);
                x = -kSpawnOutsidePx - game->RandomValue(kSpawnSpreadPx);
                break;
            default:
                y = game->RandomValue(h);
                x = w + kSpawnOutsidePx + game->RandomValue(kSpawnSpreadPx);
                break;
        }
        const bool crowded = std::any_of(m_Marbles.data, m_Marbles.data + m_Marbles.count, [&](const CMarble* m) {
            return Sq((m->m_Position.x >> 16) - x) + Sq((m->m_Position.y >> 16) - y) < kSpawnClearanceSq;
        });
        if (!crowded) {
            (void)SpawnEnemy(x, y);
            return;
        }
    }
}

CMarble* CXGameplaySurvival::SpawnEnemy(int x, int y) {
    CGameBase* game = GameBase();
    return SpawnEnemy(game != nullptr ? game->RandomValue(4) : 0, x, y);
}

CMarble* CXGameplaySurvival::SpawnEnemy(int colour, int x, int y) {
    auto* marble = new (std::nothrow) CMarble(GameBase(), this);
    if (marble == nullptr) return nullptr;
    marble->m_Position = TVector2D_16{x * 65536, y * 65536};
    marble->SetColorType(colour);
    const std::int64_t cx = (m_PlayRect.x + m_PlayRect.width / 2) >> 8;
    const std::int64_t cy = (m_PlayRect.y + m_PlayRect.height / 2) >> 8;
    marble->m_Direction = gameplay::UnitVector16(cx * 65536 - marble->m_Position.x, cy * 65536 - marble->m_Position.y);
    marble->m_nSpeed = Difficulty_GetBasicEnemySpeedOnCurrentLevel();
    if (IsMarbleInPlayRect(marble)) marble->m_nEntryIndicator = 0;
    return m_Marbles.AddOwned(marble) ? marble : nullptr;
}

void CXGameplaySurvival::RunProcessMovementAndCollisions() {
    for (int substep = 0; substep < kSubsteps; ++substep) {
        if (substep > 0 && !IsInPlay()) break;
        const bool last = substep == kSubsteps - 1;
        for (int i = 0; i < m_Marbles.count; ++i) {
            CMarble* marble = m_Marbles.data[i];
            if (marble->m_Path.GetNumSegments() > 0) RunMarbleOnPath(marble, substep);
            // A marble still outside comes in at the level's current speed.
            if (marble->m_nSpeed != 0 && !marble->IsPowerUp() && !marble->m_bOnPath && !IsMarbleInPlayRect(marble))
                marble->m_nSpeed = Difficulty_GetBasicEnemySpeedOnCurrentLevel();
            const FIXED_FLOAT_16 speed = marble->m_nSpeed;
            marble->m_nSpeed = speed / kSubsteps;
            if (last) marble->RunProcess();
            marble->RunMovement();
            marble->m_nSpeed = speed;
        }
        RunProcessEnemyCollisions();
        RunProcessDeleteObjects();
    }
}

void CXGameplaySurvival::RunMarbleOnPath(CMarble* marble, int substep) {
    marble->m_nPathDistance = gameplay::WrapAdd(marble->m_nPathDistance, marble->m_nSpeed / kSubsteps);
    const FIXED_FLOAT_16 top = Difficulty_GetRollingSpeedOnCurrentLevel();
    // A marble reaches the path speed within four frames of its path's start.
    if (marble->m_nSpeed < top)
        marble->m_nSpeed = gameplay::WrapAdd(marble->m_nSpeed, top / 4 / kSubsteps);
    else
        marble->m_nSpeed = top;

    BezierCurve& path = marble->m_Path;
    const FIXED_FLOAT length = path.Length();
    if ((marble->m_nPathDistance >> 8) < length) {
        const TVector2D point = path.GetPos(marble->m_nPathDistance >> 8, nullptr);
        if (point.x < 0 || point.y < 0) return;
        if (substep == 0) marble->m_PrevPosition = marble->m_Position;
        const TVector2D_16 to{point.x * 256, point.y * 256};
        marble->m_Direction = gameplay::UnitVector16(static_cast<std::int64_t>(to.x) - marble->m_Position.x,
                                                     static_cast<std::int64_t>(to.y) - marble->m_Position.y);
        marble->m_Position = to;
        if (substep != kSubsteps - 1) return;
        marble->m_fRollDistance += static_cast<float>(marble->m_nSpeed) / 65536.0f;
        EmitTrail(marble->m_PrevPosition, marble->m_Position, marble->m_nColorType, kTrailParticles);
        ++marble->m_nPathFrames;
        return;
    }

    // The path's end: the marble rolls on in the direction of its last stretch.
    if (path.GetNumSegments() > 0) {
        const TVector2D before = path.GetPos(length - kLastStretch, nullptr);
        const TVector2D end = path.GetSegment(path.GetNumSegments() - 1)->m_Points[3];
        marble->m_Direction = gameplay::UnitVector16((static_cast<std::int64_t>(end.x) - before.x) * 256,
                                                     (static_cast<std::int64_t>(end.y) - before.y) * 256);
        marble->m_Position = TVector2D_16{end.x * 256, end.y * 256};
    }
    path.Reset();
    marble->m_nSpeed = Difficulty_GetBasicEnemySpeedOnCurrentLevel();
    if (marble->m_nCollected < 1) {
        marble->m_nPathFrames = 0;
    } else {
        marble->m_bRemoved = true;
        if (marble->m_nCollected == 1 && marble->m_nPathFrames > kLongPathFrames) PlaySound("SFX_BALL_EXPLODE1");
    }
    LeavePath(marble);
}

void CXGameplaySurvival::LeavePath(CMarble* marble) {
    if (!marble->m_bOnPath) return;
    marble->m_bOnPath = false;
    RollingSoundCounterDec();
}

void CXGameplaySurvival::RunProcessEnemyCollisions() {
    for (int i = 0; i < m_Marbles.count; ++i) m_Marbles.data[i]->m_nDanger = 0;
    float nearest = kNoPairSq;
    const auto collides = [](const CMarble* m) { return static_cast<const CMarblePowerup*>(m)->m_bCollides; };
    const auto hasPath = [](const CMarble* m) { return m->m_Path.GetNumSegments() > 0; };

    for (int i = 0; i < m_Marbles.count; ++i) {
        CMarble* a = m_Marbles.data[i];
        if (a->IsPowerUp() && !collides(a)) continue;
        for (int j = i + 1; j < m_Marbles.count; ++j) {
            CMarble* b = m_Marbles.data[j];
            if (a->IsPowerUp() && b->IsPowerUp()) continue;
            if (b->IsPowerUp() && !collides(b)) continue;
            const float ax = static_cast<float>(a->m_Position.x) / 65536.0f;
            const float ay = static_cast<float>(a->m_Position.y) / 65536.0f;
            const float bx = static_cast<float>(b->m_Position.x) / 65536.0f;
            const float by = static_cast<float>(b->m_Position.y) / 65536.0f;
            const float d2 = (ax - bx) * (ax - bx) + (ay - by) * (ay - by);
            const bool ordinary = !a->IsPowerUp() && !b->IsPowerUp();
            const bool sameColour = ordinary && a->m_nColorType == b->m_nColorType;

            if (ordinary && !sameColour) {
                if (d2 < kDangerRangeSq) {
                    // Closing: one step along both directions brings them nearer.
                    const float nx = (ax + static_cast<float>(a->m_Direction.x) / 65536.0f) -
                                     (bx + static_cast<float>(b->m_Direction.x) / 65536.0f);
                    const float ny = (ay + static_cast<float>(a->m_Direction.y) / 65536.0f) -
                                     (by + static_cast<float>(b->m_Direction.y) / 65536.0f);
                    if (nx * nx + ny * ny < d2) {
                        const int dist = static_cast<int>(std::sqrt(d2));
                        const int level = dist < kContactPx ? 255 : 255 - (dist - kContactPx) * 255 / kDangerRangePx;
                        a->m_nDanger = std::max(a->m_nDanger, level);
                        b->m_nDanger = std::max(b->m_nDanger, level);
                    }
                }
                nearest = std::min(nearest, d2);
            }

            if (!IsMarbleArrowInPlayRect(a) || !IsMarbleArrowInPlayRect(b) || !(d2 < kContactSq)) continue;

            if (sameColour) {
                if (hasPath(a) && hasPath(b)) {
                    a->m_bRemoved = b->m_bRemoved = true;
                } else {
                    // A free marble joins; one on a path collects the other.
                    for (CMarble* m : {a, b}) {
                        if (!hasPath(m)) {
                            m->m_bRemoved = true;
                        } else {
                            ++m->m_nCollected;
                            m->m_nPathFrames = 1;
                        }
                    }
                }
                PlaySound("SFX_BALL_EXPLODE1");
                continue;
            }

            // A power-up that a marble on a path may set off by touching it.
            CMarble* powerUp = b->IsPowerUp() ? b : a->IsPowerUp() ? a : nullptr;
            if (powerUp != nullptr && static_cast<CMarblePowerup*>(powerUp)->m_bSetOffByMarble) {
                if (hasPath(powerUp == a ? b : a)) powerUp->Activate();
                continue;
            }
            OnWrongColour(a, b);
            return;
        }
    }

    const TUserProfile* profile = Profile();
    if (m_bTutorial || profile == nullptr || profile->IsAchievementAwarded(kNearMissAchievement)) return;
    if (m_bNearMiss && nearest > kEscapedSq) AwardAchievement(kNearMissAchievement);
    if (nearest <= kNearMissSq) m_bNearMiss = true;
}
