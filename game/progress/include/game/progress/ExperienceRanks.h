// The experience rank curve: how many points each rank of a player costs. Main thread only (the
// curve's parameters are plain globals).
#pragma once

// The curve: the number of ranks it spans, the points of the first rank-up and of the last
// (every rank after the curve costs the last again).
extern int g_XP_levels;
extern int g_XP_xp_for_first_level;
extern int g_XP_xp_for_last_level;

// Points from rank - 1 to rank (rank 1 and below: 0; past the curve: the last level's).
int XPDeltaForRank(int rank);
// Total points a rank needs: 0 below rank 2. 64 bits: far ranks pass 32.
long long XPRankToPoints(int rank);
// The highest rank whose total is at most the points; never below 1.
int XPPointsToRank(unsigned int points);
