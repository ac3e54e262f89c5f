// The yard screen's stars: the countdown once the four bars are full, the star itself with its
// animation and text, the arenas and yards it unlocks, and the quests badge's count change.
#include <algorithm>
#include <new>

#include "app/GameBase.h"
#include "app/GlobalConstants.h"
#include "audio/SoundManager.h"
#include "game/farm/FarmHost.h"
#include "game/farm/FarmManager.h"
#include "game/farm/FarmProgress.h"
#include "game/farm/FarmWindow.h"
#include "game/gameplay/JumpString.h"
#include "game/progress/AchievementsManager.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/ArenaManager.h"
#include "game/progress/ProgressHost.h"
#include "game/progress/UserProfile.h"
#include "render/DrawingHelpers.h"

namespace {

constexpr int kMaxStars = 3;
// The new star arrives from 48 times its size, shrinking by 1.25 a frame, and then pulses five
// times, growing by 1.15 a frame while it fades by 16.
constexpr double kNewStarStartScale = 48.0;
constexpr double kNewStarShrink = 1.25;
constexpr double kNewStarGrowth = 1.15;
constexpr double kNewStarArriveAlphaStep = 32.0;
constexpr double kNewStarPulseAlphaStep = 16.0;
constexpr int kNewStarPulses = 5;
// The "Star gained!" text: below the floating texts' centre, after the star has arrived.
constexpr int kStarTextBelowCentrePx = 20;
constexpr int kStarTextDelayFrames = 22;

CommonString* CopyOf(const CommonString& text) { return new (std::nothrow) CommonString(text); }

}  // namespace

bool CXFarmWindow::AreNextStarThresholdsMet() {
    const CFarmManager* farm = FarmHost()->GetFarmManager();
    const int n = farm->m_nStars;
    if (m_pYardDef == nullptr || n < 0 || n >= kMaxStars) return false;
    for (int category = 0; category < kFarmCategoryCount; ++category)
        if (farm->m_CategoryPoints[category] < m_pYardDef->starThresholds[n][category]) return false;
    // The bars must have finished filling: the star comes when the player sees them full.
    for (const CXFarmProgress* bar : m_pProgress)
        if (bar != nullptr && bar->GetTargetLength() > bar->GetShownLength()) return false;
    return true;
}

void CXFarmWindow::CheckStars() {
    CGameBase* game = GameBase();
    CFarmManager* farm = FarmHost()->GetFarmManager();
    if (farm->m_nStars >= kMaxStars) return;
    if (m_nStarCountdown < 1) {
        if (AreNextStarThresholdsMet()) m_nStarCountdown = kStarCountdownFrames;
        return;
    }
    if (--m_nStarCountdown > 0) return;
    // Points sold during the countdown take the star back before it is given.
    if (!AreNextStarThresholdsMet()) return;
    farm->m_nStars += 1;
    if (TUserProfile* profile = CurrentProfileOf(game)) profile->AddCompletedYardId(m_pYardDef->id, farm->m_nStars);
    if (game->GetSoundManager() != nullptr) (void)game->GetSoundManager()->PlaySoundFX("Shop_GainStar", false);
    ShowNewStar();
    if (m_pJumpStrings != nullptr)
        (void)m_pJumpStrings->ShowJumpString(CommonString("Star gained!"), CommonString("new_star"), 0,
                                             GC.m_nTextCenterX << 16,
                                             (GC.m_nTextCenterY + kStarTextBelowCentrePx) << 16, kStarTextDelayFrames);
    CheckUnlockedLevels();
}

void CXFarmWindow::CheckUnlockedLevels() {
    IFarmHost* host = FarmHost();
    if (m_pYardDef == nullptr) return;
    m_UnlockMessages.RemoveAll();
    TUserProfile* profile = CurrentProfileOf(GameBase());
    CQuorvanObjPtrArray<CommonString*> arenas, yards;
    EnumCurrentlyUnlockedArenas(&arenas);
    EnumCurrentlyUnlockedYards(&yards);
    if (arenas.count > m_UnlockedArenas.count) {
        const CommonString& id = *arenas[arenas.count - 1];
        CArenaManager* table = host->GetArenaManager();
        const Arena* arena = table != nullptr ? table->GetArena(id.GetDataConst()) : nullptr;
        if (arena != nullptr) {
            (void)m_UnlockMessages.AddOwned(CopyOf(arena->name + CommonString(" unlocked!")));
            if (profile != nullptr) (void)profile->m_NewlyUnlockedLevels.AddOwned(CopyOf(id));
        }
        EnumCurrentlyUnlockedArenas(&m_UnlockedArenas);
    }
    if (yards.count > m_UnlockedYards.count) {
        const CommonString& id = *yards[yards.count - 1];
        const YardDef* yard = host->GetFarmManager()->GetYardDef(id);
        if (yard != nullptr) {
            (void)m_UnlockMessages.AddOwned(CopyOf(yard->name + CommonString(" unlocked!")));
            if (profile != nullptr) profile->m_NewlyUnlockedYard = yard->id;
        }
        EnumCurrentlyUnlockedYards(&m_UnlockedYards);
    }
    if (m_UnlockMessages.count > 0) m_nUnlockMessageDelay = kUnlockMessageDelayFrames;
}

void CXFarmWindow::EnumCurrentlyUnlockedYards(CQuorvanObjPtrArray<CommonString*>* list) {
    list->RemoveAll();
    CFarmManager* farm = FarmHost()->GetFarmManager();
    for (int i = 0; i < farm->GetNumYards(); ++i) {
        YardDef* yard = farm->GetYardDef(i);
        if (farm->IsYardUnlocked(yard)) (void)list->AddOwned(CopyOf(yard->id));
    }
}

void CXFarmWindow::EnumCurrentlyUnlockedArenas(CQuorvanObjPtrArray<CommonString*>* list) {
    list->RemoveAll();
    CArenaManager* arenas = FarmHost()->GetArenaManager();
    if (arenas == nullptr) return;
    for (int i = 0; i < arenas->GetNumArenas(); ++i) {
        const Arena* arena = arenas->GetArenaAt(i);
        if (arena != nullptr && arenas->IsArenaUnlocked(arena)) (void)list->AddOwned(CopyOf(arena->id));
    }
}

void CXFarmWindow::ProcessNewStarUnlockedMessages() {
    if (m_UnlockMessages.count == 0) return;
    if (--m_nUnlockMessageDelay >= 1) return;
    m_nUnlockMessageDelay = 0;
    IProgressHost* progress = ProgressHostOf(GameBase());
    CAchievementsManager* awards = progress != nullptr ? progress->GetAchievementsManager() : nullptr;
    if (awards != nullptr)
        for (int i = 0; i < m_UnlockMessages.count; ++i)
            awards->PlaceAwardedMessageToQueue(kAwardUnlocked, *m_UnlockMessages[i]);
    m_UnlockMessages.RemoveAll();
}

void CXFarmWindow::ShowNewStar() {
    m_bNewStarActive = true;
    m_bNewStarPulsing = false;
    m_dNewStarScale = m_dNewStarShownScale = m_dNewStarStartScale = kNewStarStartScale;
    m_dNewStarGrowth = kNewStarGrowth;
    m_dNewStarAlpha = 0.0;
    m_nNewStarPulses = kNewStarPulses;
}

void CXFarmWindow::RunProcessNewStar() {
    if (!m_bNewStarActive) return;
    if (!m_bNewStarPulsing) {
        m_dNewStarAlpha = std::min(m_dNewStarAlpha + kNewStarArriveAlphaStep, 255.0);
        m_dNewStarScale /= kNewStarShrink;
        if (m_dNewStarScale > 1.0) {
            m_dNewStarShownScale = GetSCurvedValue(GameBase(), m_dNewStarStartScale, m_dNewStarScale, 1.0);
        } else {
            m_dNewStarScale = m_dNewStarShownScale = 1.0;
            m_bNewStarPulsing = true;
        }
        return;
    }
    m_dNewStarScale *= m_dNewStarGrowth;
    m_dNewStarAlpha -= kNewStarPulseAlphaStep;
    if (m_dNewStarAlpha > 0) {
        m_dNewStarShownScale = m_dNewStarScale;
        return;
    }
    if (--m_nNewStarPulses > 0) {
        m_dNewStarAlpha = 255.0;
        m_dNewStarScale = m_dNewStarShownScale = 1.0;
    } else {
        m_bNewStarActive = false;
    }
}

int CXFarmWindow::UnlockedQuestCount() const {
    return m_pQuestStates != nullptr ? m_pQuestStates->m_Unlocked.count : 0;
}

void CXFarmWindow::RunProcessBadgeBlink() {
    if (m_pQuestStates == nullptr) return;
    if (m_nBadgeBlinkStep == 0 && m_nBadgeCount != UnlockedQuestCount()) {
        m_nBadgeBlinkAlpha = 0;
        m_nBadgeBlinkStep = m_nBadgeBlinkMagnitude;
    }
    if (m_nBadgeBlinkStep == 0) return;
    m_nBadgeBlinkAlpha += m_nBadgeBlinkStep;
    if (m_nBadgeBlinkAlpha >= 255) {
        // Shrunk away: the badge takes the new count and grows back.
        m_nBadgeBlinkStep = -m_nBadgeBlinkStep;
        m_nBadgeBlinkAlpha = 255;
        m_nBadgeCount = UnlockedQuestCount();
    } else if (m_nBadgeBlinkAlpha < 1) {
        m_nBadgeBlinkStep = 0;
        m_nBadgeBlinkAlpha = 0;
    }
}
