// Services the screens share: the experience rank curve, the advertising publisher id and the
// small hooks of the engine object that the game answers itself.
#include <cmath>

#include "game/app/TheGame.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/UserProfile.h"

int g_XP_levels = 40;
int g_XP_xp_for_first_level = 30000;
int g_XP_xp_for_last_level = 1000000;

int CTheGame::getXPdeltaForTheRank(int rank) {
    const int d = rank - 1;
    if (d < 1) return 0;
    if (d > g_XP_levels) return g_XP_xp_for_last_level;
    // A geometric curve: rank 2 costs the first level's points, rank levels + 1 the last
    // level's, each rank between a constant factor more than the one before.
    const double first = g_XP_xp_for_first_level;
    const double x = std::log(g_XP_xp_for_last_level / first) / (g_XP_levels - 1);
    const double k = first / (std::exp(x) - 1.0);
    return static_cast<int>(std::exp(d * x) * k) - static_cast<int>(std::exp((d - 1) * x) * k);
}

long long CTheGame::GetXP_Rank2Points(int rank) {
    if (rank < 2) return 0;
    long long total = 0;
    for (int k = 1; k <= rank; ++k) total += getXPdeltaForTheRank(k);
    return total;
}

int CTheGame::GetXP_Points2Rank(unsigned int points) {
    // The running total is kept in 64 bits: past about rank 2150 the totals leave 32 bits, and a
    // wrapped total would never exceed the points.
    int rank = 1;
    long long total = 0;
    for (;;) {
        const long long next = total + getXPdeltaForTheRank(rank + 1);
        if (next > static_cast<long long>(points)) return rank;
        total = next;
        ++rank;
    }
}

CommonString CTheGame::GetPublisherIdForAd() {
    return CommonString(GetCurrentResolutionId() == 22 ? "7e3b90c4d2f16c9" : "7e3b90c4d2f1a58");
}

int CTheGame::MapKeyToGameCode(int /*key*/) { return -1; }

// A report that did not reach the service is remembered in the profile, to be sent again later.
void CTheGame::GC_NotifyScoreReport(bool ok) {
    if (TUserProfile* profile = GetCurrentProfile(); profile != nullptr && !ok) profile->m_bScoresToSync = true;
}

void CTheGame::GC_NotifyAchievementReport(bool ok) {
    if (TUserProfile* profile = GetCurrentProfile(); profile != nullptr && !ok) profile->m_bAchievementsToSync = true;
}

int CTheGame::CreateNewUserProfile() {
    CApplicationData* data = GetAppData();
    if (data == nullptr) return -1;
    const int index = data->AddUserProfile();
    return index < 0 ? -1 : index;
}

// There is no mute icon in this game.
void CTheGame::DrawMuteIcon() {}
int CTheGame::NotifyPointerEventMuteIcon(int /*x*/, int /*y*/, int /*type*/) { return 0; }
