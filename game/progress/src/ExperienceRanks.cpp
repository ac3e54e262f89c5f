#include "game/progress/ExperienceRanks.h"

#include <cmath>

int g_XP_levels = 40;
int g_XP_xp_for_first_level = 30000;
int g_XP_xp_for_last_level = 1000000;

int XPDeltaForRank(int rank) {
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

long long XPRankToPoints(int rank) {
    if (rank < 2) return 0;
    long long total = 0;
    for (int k = 1; k <= rank; ++k) total += XPDeltaForRank(k);
    return total;
}

int XPPointsToRank(unsigned int points) {
    // The running total is kept in 64 bits: past about rank 2150 the totals leave 32 bits, and a
    // wrapped total would never exceed the points.
    int rank = 1;
    long long total = 0;
    for (;;) {
        const long long next = total + XPDeltaForRank(rank + 1);
        if (next > static_cast<long long>(points)) return rank;
        total = next;
        ++rank;
    }
}
