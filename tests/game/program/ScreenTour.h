#pragma once
// The screen tour: what the real program is started from, the input script that takes it through
// every screen and dialog of the game, and what each stop must show and do. The display is the
// default 768 x 1280 with the virtual clock; touches are given in logical pixels of the 320 x 533
// screen, and a touch on a widget anchored to the screen's middle or bottom follows it on a
// display of another height (720 x 1280 is 320 x 568).
//
// Each stop is reached, dumped as a picture, and then the back key is pressed on it; what the
// back key did is read from the watcher's report (TourWatchMain.cpp) and compared with the
// game's back-key table, written out again here stop by stop.
//
// A stop whose record the template does not hold is left out with its whole leg, so that a
// screen added to the template joins the tour by being in it.

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "game/progress/UserProfile.h"

namespace screentour {

// The logical height the route's positions are written for, and its display scale.
inline constexpr double kRouteHeight = 533, kRouteScale = 2.4;

// Logical pixels as display pixels of the default display.
inline int D(double logical, double scale = kRouteScale) { return static_cast<int>(logical * scale + 0.5); }

// The player the tour starts with (programrun::WriteSeededPlayer makes her): "Ada" with 30 coins,
// who has seen every first-run hint (the hints are the business of the screens' own suites), past
// the first rank-up (so the boosts are open, with a point to spend), offered the coin shop, with a
// star in the first yard (which shows the second yard, locked, and unlocks the second arena), and
// the first yard's quests in every state the quests screen answers differently.
inline void SeedAda(TUserProfile& ada) {
    ada.m_nCoins = 30;
    ada.m_CurrentYard = "yard1";
    for (bool& seen : ada.m_HintFlags) seen = true;
    ada.m_AchievementFlags[17] = 1;  // the first rank-up
    ada.m_bFirstRankUpSeen = true;
    ada.m_uExperiencePoints = 30000;
    ada.m_nBoostPointsEarned = 1;
    ada.m_nBoostPoints = 1;
    ada.m_bCoinShopButtonShown = true;
    // One round short of the review question's star: the tour's first round is her fifth.
    ada.m_nRoundsStarted = 4;
    const CommonString yard("yard1");
    (void)ada.AppendCompletedYard(yard, 1);
    // The feeder's quest (eggs) and the frog's (coins) completed; the water trough's (12 coins,
    // affordable) and the orchard's (35 coins, too dear) open.
    for (const char* quest : {"q1_feed", "q1_water", "q1_frog", "q1_orchard"})
        ada.MiniQuestUnlocked(yard, CommonString(quest));
    ada.MiniQuestCompleted(yard, CommonString("q1_feed"));
    ada.MiniQuestCompleted(yard, CommonString("q1_frog"));
}

// What the back key must do on a stop.
enum class EBack {
    Becomes,  // the screen and its dialogs become `after` (compared after the delay)
    Stays,    // nothing: the same screen and dialogs a few frames later
    Leaves,   // the game ends (through its normal shut-down)
};

// A rectangle of a stop's picture whose pixels pass a colour test, their count in [atLeast, below).
struct TLook {
    double x0, y0, x1, y1;  // logical pixels
    std::function<bool(const std::vector<int>&)> test;
    int atLeast, below;
    const char* what;
};

struct TStop {
    std::string id;     // the root record or the dialog the stop is about ("loader": the start-up loader)
    std::string state;  // the watcher's screen and dialogs while the stop stands
    std::string dump;   // its picture
    int dumpFrame = 0;
    int backFrame = 0;
    EBack back = EBack::Becomes;
    std::string after;  // EBack::Becomes: the state the back key leads to
    int afterDelay = 30;
    std::vector<TLook> looks;
    bool dark = false;  // a screen dark by design (the logo on black, the store's wait dimming all)
};

// A script being written: lines with their frames, and the stops met on the way.
struct TTour {
    std::string text;
    std::vector<TStop> stops;
    std::vector<std::pair<int, std::string>> expects;  // frames and the state that must stand then
    int f = 0;                                         // the frame the next step starts at
    double height = kRouteHeight;                      // the logical height of the display the tour runs on
    double scale = kRouteScale;                        // display pixels per logical pixel

    void Line(int frame, const std::string& what) { text += std::to_string(frame) + " " + what + "\n"; }
    void Touch(int frame, const char* kind, double x, double y) {
        Line(frame,
             std::string("touch ") + kind + " " + std::to_string(D(x, scale)) + " " + std::to_string(D(y, scale)));
    }
    // A tap at the current frame on a widget placed from the top; then `wait` frames pass.
    void Tap(double x, double y, int wait) {
        Touch(f, "down", x, y);
        Touch(f + 2, "up", x, y);
        f += wait;
    }
    // The same on a widget centred on the screen (a popup) or anchored to its bottom.
    void TapMid(double x, double y, int wait) { Tap(x, y + (height - kRouteHeight) / 2, wait); }
    void TapBottom(double x, double y, int wait) { Tap(x, y + height - kRouteHeight, wait); }
    void Back(int wait) {
        Line(f, "key back");
        f += wait;
    }
    void Wait(int frames) { f += frames; }
    // The state that must stand now, on the last frame of the steps before.
    void Expect(const std::string& state) { expects.emplace_back(f - 1, state); }
    // The stop stands now: it is dumped, and the back key is pressed on it a few frames later;
    // then `wait` frames pass.
    void Stop(TStop stop, int wait) {
        const std::string number = std::to_string(stops.size() + 1);
        stop.dump = std::string(number.size() < 2 ? "0" : "") + number + "_" + stop.id + ".png";
        stop.dumpFrame = f;
        Line(f, "dump " + stop.dump);
        stop.backFrame = f + 4;
        Line(stop.backFrame, "key back");
        stops.push_back(stop);
        f += 4 + wait;
    }
};

}  // namespace screentour
