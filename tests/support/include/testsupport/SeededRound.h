#pragma once
// A round of the marble game on the real resource pak, started the way a player starts one, with
// the game's random numbers drawn from a seeded generator so that a round replays exactly; and a
// simple player that gives marbles straight paths to others of their colour. For suites that
// watch a whole round and for measuring a round's frames. No GoogleTest here: benchmarks use it.
//
// The caller picks the sound backend (platform::PcmUseBackend) and a save folder before starting.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "game/app/TheGame.h"
#include "game/gameplay/GameplaySurvival.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/UpgradeManager.h"
#include "game/progress/UserProfile.h"
#include "testsupport/TestTheGame.h"

class CSeededRoundGame : public CTestTheGame {
public:
    CSeededRoundGame(const char* pak, std::uint64_t seed) : m_Pak(pak), m_nRandomState(seed) {}
    CommonString GetCommonGamePackName() override { return m_Pak; }
    // 0 .. n - 1 from a 64-bit linear congruential generator (0 for n below 2).
    int RandomValue(int n) override {
        m_nRandomState = m_nRandomState * 6364136223846793005ULL + 1442695040888963407ULL;
        return n < 2 ? 0 : static_cast<int>((m_nRandomState >> 33) % static_cast<std::uint64_t>(n));
    }

    CommonString m_Pak;
    std::uint64_t m_nRandomState;
    const char* m_pArena = "arena1";  // the arena StartSeededRound plays
};

// Runs the game's frames until done() holds or the bound is reached; true when it held.
template <class Done>
bool RunGameFramesUntil(CTheGame& game, int bound, Done done, bool draw) {
    for (int i = 0; i < bound && !game.IsFinished(); ++i) {
        if (done()) return true;
        game.RunProcess();
        if (draw) game.Draw();
    }
    return done();
}

// Starts the game at width x height (320 x 480 unless given; in software unless gl), loads it to the start menu, makes
// the profile "Ada" in the game's arena (the first unless set) with that extra-lives boost, and posts a game message
// that opens the round's screen (a new round, 1002, or the tutorial, 1005): true once that screen is open and its
// curtain has risen.
inline bool StartSeededRound(CSeededRoundGame& game, int extraLives, bool gl = false, int width = 320, int height = 480,
                             int message = MSG_RUN_NEW_GAME) {
    game.m_bGLRenderTarget = gl;
    if (!game.Init(width, height)) return false;
    if (!RunGameFramesUntil(
            game, 3000, [&] { return game.m_pStartMenu != nullptr; }, true))
        return false;
    CApplicationData* data = game.GetAppData();
    if (data == nullptr) return false;
    if (data->m_Profiles.count == 0 && game.CreateNewUserProfile() < 0) return false;
    if (data->m_nCurrentProfile < 0) data->m_nCurrentProfile = 0;
    data->SetUserName(data->m_nCurrentProfile, CommonString("Ada"));
    TUserProfile* profile = game.GetCurrentProfile();
    profile->m_CurrentArena = game.m_pArena;
    profile->m_BoostLevels[kUpgradeLife] = static_cast<signed char>(extraLives);
    if (!RunGameFramesUntil(
            game, 200, [&] { return game.IsCurrentScreenSettled(); }, true))
        return false;
    (void)game.SendMessage(&game, message, 0, 0, true);
    return RunGameFramesUntil(
        game, 600, [&] { return game.m_pGameplayScreen != nullptr && game.IsCurrentScreenSettled(); }, true);
}

// A player who draws straight paths: while no marble runs on a path, it takes a marble inside the
// area and gives it a path through one or two others of its colour, when no marble of another
// colour lies near the way. What it does to a marble is what a finger's path does.
class CRoundBot {
public:
    explicit CRoundBot(CXGameplaySurvival* round) : m_pRound(round) {}

    // One decision before a frame; true when it gave a marble a path.
    bool Play() {
        CXGameplaySurvival& r = *m_pRound;
        if (!playing || !r.IsInPlay() || r.m_nMarblesOnPath > 0 || r.m_pDraggedMarble != nullptr) return false;
        std::vector<CMarble*> free;
        for (int i = 0; i < r.m_Marbles.count; ++i) {
            CMarble* m = r.m_Marbles.data[i];
            if (!m->IsPowerUp() && !m->m_bRemoved && m->m_Path.GetNumSegments() == 0 && r.IsMarbleInPlayRect(m))
                free.push_back(m);
        }
        // Three of a colour make a combo; pairs only once the field grows crowded.
        const bool pairs = !combos || r.m_Marbles.count >= crowded;
        for (CMarble* a : free) {
            std::vector<CMarble*> mates;
            for (CMarble* b : free)
                if (b != a && b->m_nColorType == a->m_nColorType) mates.push_back(b);
            for (std::size_t i = 0; combos && i < mates.size(); ++i)
                for (std::size_t j = 0; j < mates.size(); ++j) {
                    if (i == j) continue;
                    const std::vector<CMarble*> way{a, mates[i], mates[j]};
                    if (!Clear(way)) continue;
                    GivePath(way);
                    return true;
                }
            for (std::size_t i = 0; pairs && i < mates.size(); ++i) {
                const std::vector<CMarble*> way{a, mates[i]};
                if (!Clear(way)) continue;
                GivePath(way);
                return true;
            }
        }
        return false;
    }

    bool playing = true;
    bool combos = true;
    int crowded = 12;         // marbles on the field from which pairs are taken too
    double clearance = 32.0;  // pixels between the way and any marble of another colour

private:
    static TVector2D Centre(const CMarble* m) { return TVector2D{m->m_Position.x >> 8, m->m_Position.y >> 8}; }

    // No marble of another colour lies within 40 pixels of any stretch of the way.
    bool Clear(const std::vector<CMarble*>& way) const {
        const CXGameplaySurvival& r = *m_pRound;
        for (int i = 0; i < r.m_Marbles.count; ++i) {
            const CMarble* m = r.m_Marbles.data[i];
            if (m->m_nColorType == way[0]->m_nColorType) continue;
            for (std::size_t k = 0; k + 1 < way.size(); ++k)
                if (DistanceToStretch(Centre(m), Centre(way[k]), Centre(way[k + 1])) < clearance) return false;
        }
        return true;
    }
    static double DistanceToStretch(TVector2D p, TVector2D a, TVector2D b) {
        const double ax = a.x / 256.0, ay = a.y / 256.0, bx = b.x / 256.0, by = b.y / 256.0;
        const double px = p.x / 256.0, py = p.y / 256.0;
        const double dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy;
        const double t = len2 > 0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / len2, 0.0, 1.0) : 0.0;
        return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
    }
    void GivePath(const std::vector<CMarble*>& way) {
        CMarble* runner = way[0];
        runner->m_Path.Reset();
        runner->m_nPathDistance = 0;
        runner->m_bEntered = true;
        for (std::size_t k = 0; k + 1 < way.size(); ++k) {
            const TVector2D from = Centre(way[k]), to = Centre(way[k + 1]);
            (void)runner->m_Path.AddSpline(from, from, to, to);
        }
        runner->m_bOnPath = true;
        m_pRound->RollingSoundCounterInc();
    }

    CXGameplaySurvival* m_pRound;
};
