// The round's scoring: the delete pass that turns removed marbles into points, coins, statistics
// and explosions, the clear bonus, the score itself, the power-ups a combo brings, and the four
// kinds of effect records the power-ups leave.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>

#include "app/GameBase.h"
#include "app/GlobalConstants.h"
#include "core/LocManager2.h"
#include "core/SafeFormat.h"
#include "game/gameplay/GameplayHost.h"
#include "game/gameplay/GameplaySurvival.h"
#include "game/gameplay/MarblePowerup.h"
#include "game/progress/ArenaManager.h"
#include "game/progress/MiniQuestManager.h"
#include "game/progress/UpgradeManager.h"
#include "game/progress/UserProfile.h"
#include "game/widgets/GameplayMath.h"
#include "game/widgets/JumpString.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemManager.h"
#include "particles/ParticleSystemShape.h"
#include "sprites/SpriteSet.h"

namespace {

constexpr int kPopPoints = 10;
constexpr int kMaxLevelPoints = 20;   // the level adds at most this to a pop
constexpr int kQuickPathFrames = 10;  // a pop this soon on its path shows its points a little later
constexpr int kLateTextDelay = 10;
constexpr int kCoinTextRisePx = 20;

// The clear bonus: its points and where its texts stand.
constexpr int kClearBonusPoints = 100;
constexpr int kClearBonusScoreY = 270;
constexpr int kClearBonusAchievement = 15;
constexpr int kWhite = 10;  // colour type

// The combo boost's factor by level; other levels count once.
constexpr double kComboFactors[] = {1.0, 1.25, 1.5, 1.75, 2.0};

// Achievements of a round's score: four per arena, then three for any arena.
constexpr const char* kScoreAchievementArenas[] = {"arena1", "arena2", "arena3"};
constexpr int kArenaScoreAchievements = 4;
constexpr int kAnyArenaScoreAchievements[] = {12, 13, 14};

// Power-ups after a combo: the second coin's chance per mille, how far it flies, its hop.
constexpr int kChanceScale = 1000;
constexpr int kSecondCoinDraws = 10;
constexpr int kSecondCoinMinFlightPx = 41;
constexpr int kHopLowestPx = 10;
constexpr int kHopHighestPx = 50;
constexpr double kHopStepDivisor = 24.0;
constexpr int kPowerUpMarginPx = 14;

// Effect records.
constexpr FIXED_FLOAT kExplosionStep = 14 * 256;
constexpr FIXED_FLOAT kExplosionEnd = 255 * 256;
constexpr FIXED_FLOAT kAnimationStep = 256;
constexpr int kRingPoints = 20;
constexpr int kRingParticles = 30;
constexpr int kRaySubsteps = 20;
constexpr int kRayTrailEvery = 5;
constexpr double kRayCatchSq = 484.0;  // 22 pixels
constexpr int kEdgePx = 14;
constexpr int kCatchFactor = 2;  // bombs and rays score double

// The game's particle effects (indexes in its effect list).
constexpr int kTrailEffect = 0;
constexpr int kRingEffect = 2;

int ClampInt(std::int64_t v) { return static_cast<int>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX)); }

}  // namespace

void CXGameplaySurvival::RunProcessDeleteObjects() {
    const bool inPlay = IsInPlay();
    // While the round stands still only power-ups may leave.
    if (m_bGameOver || (m_nPauseCounter >= 0 && m_nPauseCounter < kPauseBurstFrame))
        for (int i = 0; i < m_Marbles.count; ++i)
            if (!m_Marbles.data[i]->IsPowerUp()) m_Marbles.data[i]->m_bRemoved = false;

    TUserProfile* profile = m_bTutorial ? nullptr : Profile();
    int ordinaryLeft = 0;
    for (int i = 0; i < m_Marbles.count; ++i) {
        CMarble* marble = m_Marbles.data[i];
        if (!marble->m_bRemoved) continue;
        if (marble == m_pDraggedMarble) {
            m_PathPoints.count = 0;
            m_pDraggedMarble = nullptr;
            m_DrawingCurve.Reset();
        }
        LeavePath(marble);
        const int x = marble->m_Position.x >> 16, y = marble->m_Position.y >> 16;
        const bool powerUp = marble->IsPowerUp();
        // A power-up whose life ran out vanishes without effect: no coins, no burst, no count.
        const bool spent = powerUp && static_cast<CMarblePowerup*>(marble)->m_nLife < 1;

        if (marble->m_bEffective && !spent) {
            if (marble->m_nColorType == kPowerUpTypeBase + kPowerUpCoin) {
                const int coins = m_pArena != nullptr ? std::max(m_pArena->coinMoney, 0) : 0;
                m_nCoinsPickedUp = ClampInt(static_cast<std::int64_t>(m_nCoinsPickedUp) + coins);
                if (profile != nullptr) {
                    profile->m_nCoins = ClampInt(static_cast<std::int64_t>(profile->m_nCoins) + coins);
                    profile->m_CoinsPerArena[m_nArenaIndex] =
                        ClampInt(static_cast<std::int64_t>(profile->m_CoinsPerArena[m_nArenaIndex]) + coins);
                }
                if (m_pJumpStrings != nullptr)
                    (void)m_pJumpStrings->ShowJumpString(SafeFormat("+%d", {coins}), CommonString("coin"), 0, x * 65536,
                                                         (y - kCoinTextRisePx) * 65536, 0);
            } else if (!powerUp) {
                const int points = marble->m_nCollected == 0 && marble->m_nScoreFactor >= 2
                                       ? ClampInt(static_cast<std::int64_t>(kPopPoints) * marble->m_nScoreFactor)
                                       : kPopPoints;
                const int delay =
                    marble->m_nPathFrames >= 1 && marble->m_nPathFrames <= kQuickPathFrames ? kLateTextDelay : 0;
                AddScore(points, x, y, marble->m_nCollected, marble->m_nColorType, delay);
                if (!m_bTutorial) {
                    ++m_nCleared;
                    if (m_nCleared < m_nLevelTarget) {
                        if (!m_bLevelUpFill)
                            m_nTargetFill =
                                static_cast<int>(static_cast<double>(m_nFullFillWidth) * m_nCleared / m_nLevelTarget);
                    } else {
                        Difficulty_AdvanceLevel();
                        m_bLevelUpHold = false;
                        m_bLevelUpFill = true;
                        m_nTargetFill = m_nFullFillWidth;
                    }
                }
            }
        }
        if (marble->m_nCollected > 1 && IsInPlay()) SpawnPowerUp(x, y, marble->m_nCollected, marble->m_nColorType);
        if (!spent) {
            CExplosion burst;
            burst.position = TVector2D{marble->m_Position.x >> 8, marble->m_Position.y >> 8};
            burst.clock = 0;
            GetRGBColorBasedOnType(marble->m_nColorType, burst.red, burst.green, burst.blue);
            burst.angle = marble->m_nGlowAngle;
            (void)m_Explosions.Add(burst);
        }
        if (inPlay && profile != nullptr) {
            if (!powerUp)
                profile->m_MatchPerArena[m_nArenaIndex] =
                    std::max(profile->m_MatchPerArena[m_nArenaIndex], marble->m_nCollected);
            else if (marble->m_nColorType != kPowerUpTypeBase + kPowerUpCoin && !spent)
                ++profile->m_PowerUpsPerArena[m_nArenaIndex];
        }
        if (!powerUp) ++ordinaryLeft;
        delete marble;
        (void)m_Marbles.RemoveAt(i);
        --i;
    }

    if (ordinaryLeft == 0 || m_bTutorial || !inPlay) return;
    for (int i = 0; i < m_Marbles.count; ++i)
        if (!m_Marbles.data[i]->IsPowerUp() && IsMarbleInPlayRect(m_Marbles.data[i])) return;
    AddScore(kClearBonusPoints, GC.m_nTextCenterX, kClearBonusScoreY, 0, kWhite, 0);
    ShowLocalisedText("ID_ClearBonus", "clear", kWhite, GC.m_nTextCenterX, GC.m_nThirdValue, 0);
    if (profile != nullptr) ++profile->m_nClearBonuses;
    PlaySound("SFX_CLEARBONUS");
    CheckAchievementProgress(kClearBonusAchievement);
}

void CXGameplaySurvival::AddScore(int points, int x, int y, int combo, int type, int delay) {
    if (m_bTutorial) return;
    std::int64_t p = static_cast<std::int64_t>(points) + std::min(m_nLevel, kMaxLevelPoints);
    IGameplayHost* host = Host();
    CMiniQuestManager* quests = host != nullptr ? host->GetMiniQuestManager() : nullptr;
    const MiniQuest* bonus = quests != nullptr ? quests->GetCurrentArenaBonus() : nullptr;
    if (type >= kMarbleRed && type <= kMarbleYellow && bonus != nullptr && bonus->extraScore[type] > 0)
        p += bonus->extraScore[type];
    p *= 1 + static_cast<std::int64_t>(combo);
    if (combo > 1) {
        const int level = m_BoostLevels[kUpgradeCombo];
        const double factor = level >= 1 && level <= 4 ? kComboFactors[level] : 1.0;
        p = static_cast<std::int64_t>(std::floor(static_cast<double>(p) * factor + 0.5));
    }
    const int total = ClampInt(p * (1 + m_nArenaIndex));

    if (m_pJumpStrings != nullptr) {
        const int left = m_PlayRect.x >> 8, top = m_PlayRect.y >> 8;
        const int tx = std::clamp(x, left, (m_PlayRect.x + m_PlayRect.width) >> 8);
        const int ty = std::clamp(y, top, (m_PlayRect.y + m_PlayRect.height) >> 8);
        (void)m_pJumpStrings->ShowJumpString(SafeFormat("%d", {total}), CommonString("score"), type, tx * 65536,
                                             ty * 65536, delay);
    }
    // A new amount restarts the roll, so that its step is taken from the whole remaining
    // difference and the display catches up within a few frames however far behind it was.
    m_nScoreRollStep = 0;
    m_nScore = ClampInt(static_cast<std::int64_t>(m_nScore) + total);

    if (const TUserProfile* profile = Profile()) {
        for (int a = 0; a < static_cast<int>(std::size(kScoreAchievementArenas)); ++a) {
            if (!(profile->m_CurrentArena == kScoreAchievementArenas[a])) continue;
            for (int k = 0; k < kArenaScoreAchievements; ++k) CheckAchievementProgress(a * kArenaScoreAchievements + k);
        }
    }
    for (int index : kAnyArenaScoreAchievements) CheckAchievementProgress(index);
}

void CXGameplaySurvival::SpawnPowerUp(int x, int y, int combo, int /*type*/) {
    CGameBase* game = GameBase();
    if (combo <= 1 || game == nullptr) return;
    const int kind = game->RandomValue(kPowerUpKindCount);
    if (SpawnPowerUp(x, y, kind) == nullptr) return;

    const int level = m_BoostLevels[kUpgradeCoin];
    if (kind == kPowerUpCoin && level > 0) {
        const int top = GetBoostTopLevel(kUpgradeCoin);
        // A boost table without levels for the double coin gives no second coin at all.
        bool second = top >= 1;
        if (second && level != top)
            second = !(static_cast<std::int64_t>(kChanceScale) * level / top < game->RandomValue(kChanceScale));
        if (second) {
            if (CMarblePowerup* coin = SpawnPowerUp(x, y, kPowerUpCoin)) {
                const int left = m_PlayRect.x >> 8, width = m_PlayRect.width >> 8;
                const int areaTop = m_PlayRect.y >> 8, height = m_PlayRect.height >> 8;
                int tx = left + game->RandomValue(width);
                for (int i = 0; i < kSecondCoinDraws && std::abs(tx - x) < kSecondCoinMinFlightPx; ++i)
                    tx = left + game->RandomValue(width);
                const int spread = height / 8;
                int ty = y - spread + game->RandomValue(2 * spread);
                ty = std::clamp(ty, areaTop + kPowerUpMarginPx, areaTop + height - kPowerUpMarginPx);
                const double flight = std::hypot(static_cast<double>(tx - x), static_cast<double>(ty - y));
                const double arc =
                    std::clamp(flight, static_cast<double>(kHopLowestPx), static_cast<double>(kHopHighestPx));
                coin->StartHop(TVector2D_16{tx * 65536, ty * 65536}, gameplay::RoundToInt32(arc * 65536.0),
                               gameplay::RoundToInt32(flight / kHopStepDivisor * 65536.0));
            }
        }
    }
    PlaySound("SFX_SPAWN_BONUS");
}

CMarblePowerup* CXGameplaySurvival::SpawnPowerUp(int x, int y, int kind) {
    auto* powerUp = new (std::nothrow) CMarblePowerup(GameBase(), this);
    if (powerUp == nullptr) return nullptr;
    const int left = (m_PlayRect.x >> 8) + kPowerUpMarginPx;
    const int right = ((m_PlayRect.x + m_PlayRect.width) >> 8) - kPowerUpMarginPx;
    const int top = (m_PlayRect.y >> 8) + kPowerUpMarginPx;
    const int bottom = ((m_PlayRect.y + m_PlayRect.height) >> 8) - kPowerUpMarginPx;
    powerUp->m_Position = TVector2D_16{std::clamp(x, left, std::max(left, right)) * 65536,
                                       std::clamp(y, top, std::max(top, bottom)) * 65536};
    powerUp->SetPowerUpType(kind);
    powerUp->m_nSpeed = 0;
    powerUp->m_Direction = TVector2D_16{};
    return m_Marbles.AddOwned(powerUp) ? powerUp : nullptr;
}

void CXGameplaySurvival::RunProcessExplosions() {
    for (int i = m_Explosions.count - 1; i >= 0; --i) {
        CExplosion& e = m_Explosions.data[i];
        if (e.clock != CExplosion::kFinished) {
            e.clock += kExplosionStep;
            if (e.clock > kExplosionEnd) e.clock = CExplosion::kFinished;
        }
        if (e.clock == CExplosion::kFinished) (void)m_Explosions.RemoveAt(i);
    }
}

void CXGameplaySurvival::RunProcessAnimations() {
    CGameBase* game = GameBase();
    IGameplayHost* host = Host();
    for (int i = m_Animations.count - 1; i >= 0; --i) {
        CAnimation& a = m_Animations.data[i];
        if (a.clock >= 0) {
            a.clock = gameplay::WrapAdd(a.clock, kAnimationStep);
            if (a.spriteSet != nullptr && a.spriteSet->GetNumFrames() > 0) {
                const std::int64_t frames = static_cast<std::int64_t>(a.spriteSet->GetNumFrames()) * 256;
                std::int64_t frame = (static_cast<std::int64_t>(a.frame) + a.frameStep) % frames;
                if (frame < 0) frame += frames;
                a.frame = static_cast<FIXED_FLOAT>(frame);
            }
            if (a.kind == kAnimationRing && host != nullptr && host->GetParticleManager() != nullptr) {
                CQuorvanParticleSystem2* ring = ParticleEffect(kRingEffect);
                const double t = a.duration > 0 ? std::min(static_cast<double>(a.clock) / a.duration, 1.0) : 1.0;
                auto* shape = ring != nullptr ? new (std::nothrow)
                                                    CQuorvanParticleSystemShape2(game, game->GetRotatorScaler())
                                              : nullptr;
                if (shape != nullptr) {
                    const double cx = (a.start.x + (a.end.x - a.start.x) * t) / 256.0;
                    const double cy = (a.start.y + (a.end.y - a.start.y) * t) / 256.0;
                    shape->AddCircle(gameplay::RoundToInt32(a.ringRadius * t * 65536.0), kRingPoints, 0, 0);
                    ring->SetEmitShape(shape);
                    ring->StartAt(gameplay::RoundToInt32(cx * 65536.0), gameplay::RoundToInt32(cy * 65536.0));
                    ring->EmitNewParticles(kRingParticles);
                    ring->Stop(false);
                    ring->SetEmitShape(nullptr);
                    delete shape;
                }
            }
            if (a.clock > a.duration) a.clock = CAnimation::kFinished;
        }
        if (a.clock == CAnimation::kFinished) (void)m_Animations.RemoveAt(i);
    }
}

void CXGameplaySurvival::RunProcessLightRays() {
    if (m_Rays.count == 0) return;
    const std::int64_t left = m_PlayRect.x - kEdgePx * 256, top = m_PlayRect.y - kEdgePx * 256;
    const std::int64_t right = static_cast<std::int64_t>(m_PlayRect.x) + m_PlayRect.width + kEdgePx * 256;
    const std::int64_t bottom = static_cast<std::int64_t>(m_PlayRect.y) + m_PlayRect.height + kEdgePx * 256;
    for (int substep = 0; substep < kRaySubsteps; ++substep) {
        for (int i = m_Rays.count - 1; i >= 0; --i) {
            CRay& ray = m_Rays.data[i];
            const TVector2D_16 from = ray.position;
            ray.position.x = gameplay::WrapAdd(ray.position.x, ray.step.x);
            ray.position.y = gameplay::WrapAdd(ray.position.y, ray.step.y);
            if (substep % kRayTrailEvery == 0) EmitTrail(from, ray.position, kColorTypeWhite, 1);
            CatchMarbles(ray.position, kRayCatchSq);
            const std::int64_t rx = ray.position.x >> 8, ry = ray.position.y >> 8;
            if (!(rx > left && rx < right && ry > top && ry < bottom)) (void)m_Rays.RemoveAt(i);
        }
    }
}

void CXGameplaySurvival::RunProcessBombs() {
    for (int i = m_Bombs.count - 1; i >= 0; --i) {
        CBomb& bomb = m_Bombs.data[i];
        bomb.counter = std::min(gameplay::WrapAdd(bomb.counter, 1), bomb.duration);
        const double full = static_cast<double>(bomb.radius) / 256.0;
        const double r = bomb.counter < bomb.duration && bomb.duration > 0 ? full * bomb.counter / bomb.duration : full;
        CatchMarbles(bomb.centre, (r + kEdgePx) * (r + kEdgePx));
        if (bomb.counter >= bomb.duration) (void)m_Bombs.RemoveAt(i);
    }
}

void CXGameplaySurvival::CatchMarbles(TVector2D_16 centre, double reachSq) {
    for (int m = 0; m < m_Marbles.count; ++m) {
        CMarble* marble = m_Marbles.data[m];
        if (marble->IsPowerUp() || marble->m_bRemoved || !IsMarbleArrowInPlayRect(marble)) continue;
        const double dx = (static_cast<double>(marble->m_Position.x) - centre.x) / 65536.0;
        const double dy = (static_cast<double>(marble->m_Position.y) - centre.y) / 65536.0;
        if (dx * dx + dy * dy >= reachSq) continue;
        marble->m_bRemoved = true;
        marble->m_nScoreFactor = kCatchFactor;
    }
}

void CXGameplaySurvival::EmitTrail(TVector2D_16 from, TVector2D_16 to, int colourType, int particles) {
    CQuorvanParticleSystem2* trail = ParticleEffect(kTrailEffect);
    if (trail == nullptr) return;
    int r = 0, g = 0, b = 0;
    GetRGBColorBasedOnType(colourType, r, g, b);
    trail->m_Info.m_ColorStart_R = trail->m_Info.m_ColorEnd_R = r * 65536;
    trail->m_Info.m_ColorStart_G = trail->m_Info.m_ColorEnd_G = g * 65536;
    trail->m_Info.m_ColorStart_B = trail->m_Info.m_ColorEnd_B = b * 65536;
    trail->SetPosition(from.x, from.y, false);
    trail->Start();
    trail->SetPosition(to.x, to.y, false);
    trail->EmitNewParticles(particles);
    trail->Stop(false);
}
