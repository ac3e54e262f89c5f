// The round's levels and lives: the level advance and its text, a wrong-coloured touch, the pause
// that follows a lost life, and game over with what it writes into the profile.
#include <algorithm>
#include <climits>
#include <cmath>

#include "app/GameBase.h"
#include "app/GlobalConstants.h"
#include "core/LocManager2.h"
#include "core/SafeFormat.h"
#include "game/gameplay/GameplayHost.h"
#include "game/gameplay/GameplaySurvival.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/ArenaManager.h"
#include "game/progress/MiniQuestManager.h"
#include "game/progress/UserProfile.h"
#include "game/widgets/JumpString.h"
#include "render/DrawingHelpers.h"

namespace {

constexpr int kTargetGrowth = 21;  // the next level's target: the old level + 21, at most 35
constexpr int kFirstLevelIntroDelay = 99;
constexpr int kLostLifeTextDelay = 15;
constexpr int kFullDanger = 255;
// The danger pulse's clock steps 0.1 a frame (16.16), so the halo pulses every 20 frames.
constexpr FIXED_FLOAT_16 kClockStep = 6554;
constexpr FIXED_FLOAT_16 kGameOverClockStart = 65536;
// The game-over clock stops at the class's cap instead of wrapping after some hours of idling
// (a wrapped clock would read as too early for the press that goes on).
constexpr int kThreeOnPathsAchievement = 22;
constexpr int kMarblesForThreeOnPaths = 3;

}  // namespace

void CXGameplaySurvival::Difficulty_AdvanceLevel() {
    m_nCleared = 0;
    // Summed wide: a resumed round's level comes from a file, and the top level stays the top.
    m_nLevelTarget =
        static_cast<int>(std::min<long long>(static_cast<long long>(m_nLevel) + kTargetGrowth, kTopLevelTarget));
    if (m_nLevel < INT_MAX) ++m_nLevel;
    ShowNewLevelIntro();
    PlaySound("SFX_GainGameplayLevel");
}

int CXGameplaySurvival::ShownLevelNumber() const { return m_nLevel < INT_MAX ? m_nLevel + 1 : INT_MAX; }

void CXGameplaySurvival::ShowNewLevelIntro() {
    CGameBase* game = GameBase();
    if (m_bTutorial || m_pJumpStrings == nullptr || game == nullptr || game->GetLocManager() == nullptr) return;
    // The text comes from the translation: it is filled in, never trusted as a format.
    const CommonString format = game->GetLocManager()->LoadString("ID_LevelNum");
    (void)m_pJumpStrings->ShowJumpString(SafeFormat(format.GetDataConst(), {ShownLevelNumber()}), CommonString("level"),
                                         0, GC.m_nTextCenterX * 65536, GC.m_nTextCenterY * 65536,
                                         m_nLevel == 0 ? kFirstLevelIntroDelay : 0);
}

void CXGameplaySurvival::OnWrongColour(CMarble* a, CMarble* b) {
    LeavePath(a);
    LeavePath(b);
    for (int i = 0; i < m_Marbles.count; ++i) m_Marbles.data[i]->m_nDanger = 0;
    a->m_nDanger = b->m_nDanger = kFullDanger;
    PlaySound("SFX_WRONG_BALL");
    if (m_bTutorial) {
        // The tutorial never takes a life.
        m_nLives = 2;
        if (m_pJumpStrings != nullptr) m_pJumpStrings->RemoveAll();
        ShowCentreText("ID_LifeLost", "life_lost", kLostLifeTextDelay);
        m_nPauseCounter = 0;
        return;
    }
    --m_nLives;
    if (m_nLives < 1) {
        GameOver();
        return;
    }
    if (m_pJumpStrings != nullptr) m_pJumpStrings->RemoveAll();
    ShowLostLifeText();
    m_nPauseCounter = 0;
    PlaySound("SFX_LIFELOST");
}

void CXGameplaySurvival::ShowLostLifeText() {
    CGameBase* game = GameBase();
    CLocManager2* loc = game != nullptr ? game->GetLocManager() : nullptr;
    if (m_pJumpStrings == nullptr || loc == nullptr) return;
    const CommonString text = m_nLives == 1 ? loc->LoadString("ID_OneLifeLeft")
                                            : SafeFormat(loc->LoadString("ID_NumLifesLeft").GetDataConst(), {m_nLives});
    (void)m_pJumpStrings->ShowJumpString(text, CommonString("life_lost"), 0, GC.m_nTextCenterX * 65536,
                                         GC.m_nTextCenterY * 65536, kLostLifeTextDelay);
}

void CXGameplaySurvival::PulseDanger(FIXED_FLOAT_16 t) {
    const int danger = 1 + static_cast<int>((254LL * SCurve16(t, nullptr)) >> 16);
    for (int i = 0; i < m_Marbles.count; ++i)
        if (m_Marbles.data[i]->m_nDanger != 0) m_Marbles.data[i]->m_nDanger = danger;
}

void CXGameplaySurvival::RunProcessGameOver() {
    PulseDanger(m_nGameOverClock);
    m_bNearMiss = false;
    m_nGameOverClock = std::min(m_nGameOverClock, kGameOverClockCap - kClockStep) + kClockStep;
}

void CXGameplaySurvival::RunProcessLifeLostPause() {
    ++m_nPauseCounter;
    m_pDraggedMarble = nullptr;
    if (m_nPauseCounter < kPauseBurstFrame) {
        PulseDanger(m_nPauseCounter * kClockStep);
    } else {
        if (m_nPauseCounter == kPauseBurstFrame) {
            // Every marble bursts, one after another, and scores nothing.
            for (int i = 0; i < m_Marbles.count; ++i) {
                m_Marbles.data[i]->m_bEffective = false;
                m_Marbles.data[i]->ActivateWithDelay(i);
            }
            m_nEasingCounter = kEasingFrames;
        }
        for (int i = 0; i < m_Marbles.count; ++i) m_Marbles.data[i]->RunProcess();
        if (m_Marbles.count == 0) {
            m_nPauseCounter = -1;
            if (!m_bTutorial) ShowCentreText("ID_GetReady", "life_lost", kLostLifeTextDelay);
        }
    }
    m_bNearMiss = false;
}

void CXGameplaySurvival::RunProcessCheckNumEggsMoving() {
    const TUserProfile* profile = Profile();
    if (profile == nullptr || profile->IsAchievementAwarded(kThreeOnPathsAchievement)) return;
    int onPaths = 0;
    for (int i = 0; i < m_Marbles.count; ++i)
        if (!m_Marbles.data[i]->m_bRemoved && m_Marbles.data[i]->m_bOnPath) ++onPaths;
    if (onPaths >= kMarblesForThreeOnPaths) AwardAchievement(kThreeOnPathsAchievement);
}

void CXGameplaySurvival::GameOver() {
    m_bGameOver = true;
    m_nGameOverClock = kGameOverClockStart;
    PlaySound("SFX_GAMEOVER");

    IGameplayHost* host = Host();
    TUserProfile* profile = Profile();
    CMiniQuestManager* quests = host != nullptr ? host->GetMiniQuestManager() : nullptr;
    const MiniQuest* bonus = quests != nullptr ? quests->GetCurrentArenaBonus() : nullptr;
    m_nCoinsFromScore = CMiniQuestManager::CalcRoundCoins(m_nScore, bonus);
    m_nRoundCoins =
        static_cast<int>(std::min<long long>(static_cast<long long>(m_nCoinsFromScore) + m_nCoinsPickedUp, INT_MAX));
    m_nRoundCoinsTenth = m_nRoundCoins / 10;
    if (host == nullptr || profile == nullptr) return;

    m_uExperienceBefore = profile->m_uExperiencePoints;
    const int rankBefore = host->RankOfExperience(m_uExperienceBefore);
    const unsigned long long experience =
        static_cast<unsigned long long>(m_uExperienceBefore) + static_cast<unsigned long long>(std::max(m_nScore, 0));
    // Experience that would wrap past the counter's range stays where it was.
    if (experience <= UINT_MAX) profile->m_uExperiencePoints = static_cast<unsigned int>(experience);
    const int rankAfter = host->RankOfExperience(profile->m_uExperiencePoints);
    if (rankAfter > rankBefore) {
        const int gained = rankAfter - rankBefore;
        profile->m_nBoostPoints += gained;
        profile->m_nBoostPointsEarned += gained;
        if (rankBefore == 1) profile->m_bFirstRankUpSeen = true;
    }

    const auto add = [](int& field, int amount) {
        field = static_cast<int>(std::clamp<long long>(static_cast<long long>(field) + amount, INT_MIN, INT_MAX));
    };
    add(profile->m_nTotalScore, m_nScore);
    add(profile->m_nCoins, m_nCoinsFromScore);
    add(profile->m_CoinsPerArena[m_nArenaIndex], m_nCoinsFromScore);
    add(profile->m_nCoinTally, m_nRoundCoinsTenth);

    if (m_pArena == nullptr) return;
    CGameBase* game = GameBase();
    if (auto* data = dynamic_cast<CApplicationData*>(game != nullptr ? game->m_pAppData : nullptr)) {
        int score = m_nScore;
        const int row = data->SetLevelHighScoreInfo(m_pArena->id, profile->GetName(), score);
        host->NoteNewHighScore(row, data->GetHighScoreTableIndex(m_pArena->id));
        profile->UpdateMyScoreOnLevel(m_pArena->id, m_nScore);
        // A finished round is never resumed.
        host->SR_DeleteResume_Arena(data->m_nCurrentProfile, m_pArena->id);
    }
}

void CXGameplaySurvival::ShowLocalisedText(const char* key, const char* style, int colourType, int x, int y,
                                           int delay) {
    CGameBase* game = GameBase();
    CLocManager2* loc = game != nullptr ? game->GetLocManager() : nullptr;
    if (m_pJumpStrings == nullptr || loc == nullptr) return;
    (void)m_pJumpStrings->ShowJumpString(loc->LoadString(key), CommonString(style), colourType, x * 65536, y * 65536,
                                         delay);
}

void CXGameplaySurvival::ShowCentreText(const char* key, const char* style, int delay) {
    ShowLocalisedText(key, style, 0, GC.m_nTextCenterX, GC.m_nTextCenterY, delay);
}
