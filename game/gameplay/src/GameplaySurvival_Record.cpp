// The round's body in its record of "saveresume.dat", behind the header the game object writes.
// One routine moves every field both ways. Nothing read is trusted: a count is checked against
// the bytes left before anything is made for it, and a value the round cannot run with (a level
// target it would divide by, a pause it would never leave, a boost table longer than six, a count
// or level past what a round can reach, a boost level past the boost table) fails the read,
// after which the game object starts a new round instead.
#include <algorithm>
#include <climits>
#include <new>

#include "app/GameBase.h"
#include "app/GlobalConstants.h"
#include "audio/SoundManager.h"
#include "core/Serializer.h"
#include "game/gameplay/GameplaySurvival.h"
#include "game/gameplay/Marble.h"
#include "game/progress/UpgradeManager.h"
#include "game/widgets/GameplayMath.h"
#include "game/widgets/JumpString.h"
#include "game/widgets/RecordReading.h"

namespace {

// The smallest stored items of the lists: an explosion's 7 ints, a ray's 4, a bomb's 5, a point's 2.
constexpr int kExplosionBytes = 7 * 4;
constexpr int kRayBytes = 4 * 4;
constexpr int kBombBytes = 5 * 4;
constexpr int kPointBytes = 2 * 4;
constexpr int kStoredBoosts = 6;
// Generous ceilings for what a round can reach in play: lives come from the life boost (at most
// a few), a level needs at least 20 clears, the spawn interval is recomputed from at most 30
// frames each frame, and a pause lasts until its bursts are done.
constexpr int kMaxStoredLives = 99;
constexpr int kMaxStoredLevel = 100000;
constexpr int kMaxStoredSpawnFrames = 3000;
constexpr int kMaxStoredPauseFrames = CXGameplaySurvival::kPauseBurstFrame + 100000;

// Reads or writes a list of value records: its count, then each item over a fresh default.
template <class T, class Fresh>
bool SerializeRecords(SerializeHelper2& h, CQuorvanArray<T>& list, int itemBytes, Fresh fresh) {
    int count = list.count;
    if (!h.writing) list.count = 0;
    if (!gameplay::SerializeCount(h, count, itemBytes)) return false;
    for (int i = 0; i < count; ++i) {
        if (!h.writing && !list.Add(fresh())) {
            h.ok = false;
            return false;
        }
        list.data[i].Serialize(h);
        if (!h.Succeeded()) return false;
    }
    return true;
}

// A point of the path being drawn, as the lists store their items.
struct TStoredPoint {
    TVector2D p;
    void Serialize(SerializeHelper2& h) { h.Serialize(p); }
};

}  // namespace

bool CXGameplaySurvival::SaveResume(IFile* file, int version) {
    return file != nullptr && Serialize(file, true, version);
}

bool CXGameplaySurvival::LoadResume(IFile* file, int version) {
    if (file == nullptr || !Serialize(file, false, version)) return false;
    ResolveObjectPointers();
    m_nDisplayedScore = -1;
    ProcessScore();
    return true;
}

void CXGameplaySurvival::ResolveObjectPointers() {
    m_pDraggedMarble = nullptr;
    if (m_uDraggedMarbleId == 0) return;
    for (int i = 0; i < m_Marbles.count; ++i)
        if (m_Marbles.data[i]->m_uSavedId == m_uDraggedMarbleId) {
            m_pDraggedMarble = m_Marbles.data[i];
            return;
        }
}

int CXGameplaySurvival::Serialize(IFile* file, bool writing, int /*version*/) {
    SerializeHelper2 h{file, true, writing, 0};
    CGameBase* game = dynamic_cast<CGameBase*>(GetGamePtr());

    int tutorial = m_bTutorial ? 1 : 0;
    h.Serialize(tutorial);
    if (!h.Succeeded()) return 0;
    if (!writing) {
        m_bTutorial = tutorial != 0;
        // A resumed round goes straight to its music: the intro was heard when it began.
        m_bIntroPlayed = true;
        m_nMusicDelay = 0;
    }

    if (!SerializeRecords(h, m_Explosions, kExplosionBytes, [] { return CExplosion::ForReading(); })) return 0;
    if (!SerializeRecords(h, m_Rays, kRayBytes, [] { return CRay{}; })) return 0;
    if (!SerializeRecords(h, m_Bombs, kBombBytes, [] { return CBomb{}; })) return 0;
    if (!writing) m_pDraggedMarble = nullptr;
    if (!CMarble::SerializeList(file, writing, m_Marbles, game, this)) return 0;

    h.Serialize(m_nScore);
    h.Serialize(m_nCoinsPickedUp);
    h.Serialize(m_nLives);
    h.Serialize(m_bGameOver);
    h.Serialize(m_nGameOverClock);

    // The path points live in an array of bare vectors; they move one by one through a record.
    int points = m_PathPoints.count;
    if (!writing) m_PathPoints.count = 0;
    if (!gameplay::SerializeCount(h, points, kPointBytes)) return 0;
    for (int i = 0; i < points; ++i) {
        TStoredPoint point{writing ? m_PathPoints.data[i] : TVector2D{}};
        point.Serialize(h);
        if (!h.Succeeded()) return 0;
        if (!writing && !m_PathPoints.Add(point.p)) return 0;
    }
    h.Serialize(m_LastPathPoint);
    h.Serialize(m_FingerPos);
    h.Serialize(m_DragStartPos);
    if (!h.Succeeded() || !m_DrawingCurve.Serialize(file, writing)) return 0;

    // The dragged marble by the identity its own record carries (the list was just written).
    unsigned int dragged = writing && m_pDraggedMarble != nullptr ? m_pDraggedMarble->m_uSavedId : 0;
    h.Serialize(dragged);
    if (!writing) m_uDraggedMarbleId = dragged;
    if (!h.Succeeded() || m_pJumpStrings == nullptr || !m_pJumpStrings->Serialize(file, writing)) return 0;

    h.Serialize(m_nLevel);
    h.Serialize(m_nLevelTarget);
    h.Serialize(m_nCleared);
    h.Serialize(m_nEasingCounter);
    h.Serialize(m_nSpawnInterval);
    h.Serialize(m_nSpawnCounter);
    h.Serialize(m_nPauseCounter);
    h.Serialize(m_nDragHighlightAlpha);
    h.Serialize(m_bNearMiss);
    h.Serialize(m_nMarblesOnPath);
    h.Serialize(m_bPathSoundPlaying);
    if (!h.Succeeded()) return 0;
    if (!writing) {
        // The speed and spawn formulas divide by the target, and a pause that has reached its
        // burst frame (the frame that sets every marble to burst has run) only ends once every
        // marble is set to burst.
        if (m_nLevelTarget < kFirstLevelTarget || m_nLevelTarget > kTopLevelTarget) return 0;
        if (!HoldsRoundValues()) return 0;
        if (m_nPauseCounter >= kPauseBurstFrame)
            for (int i = 0; i < m_Marbles.count; ++i) {
                const CMarble* marble = m_Marbles.data[i];
                if (!marble->m_bRemoved && marble->m_nActivationCountdown == CMarble::kNoCountdown) return 0;
            }
        if (m_bPathSoundPlaying) {
            CGameBase* game = GameBase();
            CSoundManager* sounds = game != nullptr ? game->GetSoundManager() : nullptr;
            SoundFXData* roll = sounds != nullptr ? sounds->FindSoundFX(CommonString("SFX_PATH_MOVE")) : nullptr;
            if (roll != nullptr && roll->soundId >= 0) sounds->PlaySoundFXLooped(roll);
        } else {
            StopSound("SFX_PATH_MOVE");
        }
    }

    int boosts = kStoredBoosts;
    h.Serialize(boosts);
    if (!h.Succeeded()) return 0;
    if (!writing && (boosts < 0 || boosts > kStoredBoosts)) return 0;
    if (!writing) std::fill(std::begin(m_BoostLevels), std::end(m_BoostLevels), std::uint8_t{0});
    if (boosts > 0) h.Serialize(m_BoostLevels, boosts);
    // A level past the boost table's top would scale a bomb's radius or a coin's chance without
    // bound: such a record is damage, as a bought level can never be there.
    if (!writing)
        for (int i = 0; i < boosts; ++i)
            if (m_BoostLevels[i] > CUpgradeManager::TableTopLevel(i)) return 0;

    bool withoutAdStrip = true;
    h.Serialize(withoutAdStrip);
    if (!h.Succeeded()) return 0;
    if (writing) return 1;

    if (!withoutAdStrip) {
        const int strip = GC.m_nAdBannerHeight;
        ShiftStoredPositions(-(strip / 2));
        m_PlayRect.y = gameplay::WrapSub(m_PlayRect.y, strip * 256);
        m_PlayRect.height = gameplay::WrapAdd(m_PlayRect.height, strip * 256);
    }
    ResolveObjectPointers();
    m_bLevelUpFill = m_bLevelUpHold = false;
    m_nTargetFill = m_nShownFill =
        static_cast<int>(static_cast<double>(m_nFullFillWidth) * m_nCleared / m_nLevelTarget);
    return 1;
}

bool CXGameplaySurvival::HoldsRoundValues() const {
    auto within = [](long long v, long long low, long long high) { return v >= low && v <= high; };
    // The cleared count stays below the level's target in play and meets it only during the
    // level-up; the marbles on paths are some of the marbles held.
    return within(m_nScore, 0, INT_MAX) && within(m_nCoinsPickedUp, 0, INT_MAX) &&
           within(m_nLives, 0, kMaxStoredLives) && within(m_nGameOverClock, 0, kGameOverClockCap) &&
           within(m_nLevel, 0, kMaxStoredLevel) && within(m_nCleared, 0, m_nLevelTarget) &&
           within(m_nEasingCounter, 0, kEasingFrames) && within(m_nSpawnInterval, 1, kMaxStoredSpawnFrames) &&
           within(m_nSpawnCounter, 0, kMaxStoredSpawnFrames) && within(m_nPauseCounter, -1, kMaxStoredPauseFrames) &&
           within(m_nDragHighlightAlpha, 0, 255) && within(m_nMarblesOnPath, 0, m_Marbles.count);
}

void CXGameplaySurvival::ShiftStoredPositions(int dy) {
    const FIXED_FLOAT dy8 = dy * 256;
    const FIXED_FLOAT_16 dy16 = dy * 65536;
    for (int i = 0; i < m_Marbles.count; ++i) m_Marbles.data[i]->Offset(0, dy16);
    for (int i = 0; i < m_Explosions.count; ++i)
        m_Explosions.data[i].position.y = gameplay::WrapAdd(m_Explosions.data[i].position.y, dy8);
    for (int i = 0; i < m_Animations.count; ++i) {
        m_Animations.data[i].start.y = gameplay::WrapAdd(m_Animations.data[i].start.y, dy8);
        m_Animations.data[i].end.y = gameplay::WrapAdd(m_Animations.data[i].end.y, dy8);
    }
    for (int i = 0; i < m_Rays.count; ++i)
        m_Rays.data[i].position.y = gameplay::WrapAdd(m_Rays.data[i].position.y, dy16);
    for (int i = 0; i < m_Bombs.count; ++i)
        m_Bombs.data[i].centre.y = gameplay::WrapAdd(m_Bombs.data[i].centre.y, dy16);
}
