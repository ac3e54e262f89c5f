// The play screen: the hub between the start menu and the two halves of the game. The player
// picks one of the three arenas of the marble game or one of the four yards of the farm; a locked
// one opens the locked dialog with what unlocks it, an arena with a kept round asks whether to
// continue it. It leads to the boosts screen (once the first rank-up unlocked boosts) and to the
// coin shop (once the game offers it), shows three first-run hints (the arena button, the yard
// button, the boosts button), plays the unlock animation of a newly unlocked arena or yard, and
// moves its two groups of buttons down on screens taller than 480. A sun turns slowly over it.
//
// Depends on: the screen root, the game object and its managers (arenas, farm, achievements,
// coin-shop catalogue, sounds), the play screen's buttons, the locked dialog, the hint overlays
// (game/gameplay). Main thread only.
#pragma once

#include "core/Common.h"
#include "core/QuorvanArray.h"
#include "game/widgets/GameRoot.h"

class CFullScreenTutorial;
class CXPlayScreenArenaButton;
class CXPlayScreenYardButton;
class IDibBitmap;
class XButton;

// The achievement the first rank-up awards, which opens the boosts.
inline constexpr int kBoostsUnlockedAchievement = 17;

class CXPlayScreen : public XGameRoot {
public:
    // The turning sun on; the game's last new high score is forgotten (-1).
    explicit CXPlayScreen(CXElement* parent);
    // Deletes the hint and the plus image.
    ~CXPlayScreen() override;

    // Builds the screen from "root_play" (see PlayScreen.cpp for the steps): 1, or 0 when the
    // root, the plus image, the boosts button or the add-coins button is missing.
    int OnInitElement() override;
    // The arena and yard buttons, the locked dialogs, the add-coins and boosts buttons; the rest
    // as every screen makes it.
    XWidget* CreateAndInitChild(TWidget* record, const WidgetContext* placement) override;
    // The screen, then the hint (deleted once it has faded out), or a first-run hint when one is due.
    void RunProcess() override;
    // The screen, then the hint over it.
    void Draw() override;
    // Under the first modal dialog: the coin counter and its plus, then the turning sun.
    void PostDraw() override;
    // While a hint is up only its target takes touches; a press on its close button closes it.
    int NotifyPointerEvent(int x, int y, int type) override;
    int OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) override;

    // Posts 1005 (the tutorial) in the first arena while the profile's tutorial switch is on,
    // else 1002 (a new round in the current arena).
    void StartNewGame();
    // The yard hint is due: its flag is clear, no hint was shown in this visit, and the player's
    // coins buy something in an open yard.
    void UpdateFarmTutorialAvailability();
    // The boosts hint is due: its flag is clear, no hint was shown, and boosts are unlocked.
    void UpdateBoostsTutorialAvailability();
    // The menu track when music is on, else silence at once.
    void UpdateGameplayMusic();
    // Hides the boosts button.
    void RearrangeForNoBoosts();
    // On a back buffer taller than 480: the two groups move down by the room above the boosts
    // button (or below the 480 lines without it).
    void RearrangeForOver480Height();
    // The arena title and line by (dx, dy / 4), the arena buttons by (dx, dy / 2), the yard title,
    // line and buttons by (dx, dy); missing widgets are skipped.
    void OffsetChildrenPositions(int dx, int dy);
    void ShowArenaButtonTutorial();
    void ShowYardButtonTutorial();
    void ShowBoostsButtonTutorial();

    // ---- State, read by tests -------------------------------------------------------------------
    CQuorvanArray<CXPlayScreenArenaButton*> m_ArenaButtons;  // children; owned by the tree
    CQuorvanArray<CXPlayScreenYardButton*> m_YardButtons;
    CFullScreenTutorial* m_pHint = nullptr;  // owned; the hint on screen
    bool m_bHintShown = false;               // a hint was made in this visit: no other then
    bool m_bYardHintDue = false;
    bool m_bBoostsHintDue = false;
    XWidget* m_pBoostsButton = nullptr;       // "btn_play_upgrades", a child
    XButton* m_pAddCoinsButton = nullptr;     // "btn_play_addcoins", a child
    IDibBitmap* m_pPlusImage = nullptr;       // owned
    bool m_bUnlockAnimation = false;          // a button plays its unlock animation in this visit

private:
    // The overlay of that kind pointed at the target's centre (a little above it), replacing the
    // one up; nothing without the target.
    void ShowButtonTutorial(int kind, const char* target, const char* text);
    int OnCommand(CXElement* sender, int code, XWPARAM wparam, int lparam);
    // The command of an arena or a yard button, or of a coin-shop entry: false when the id is
    // none of theirs.
    bool OnArenaCommand(const char* id);
    bool OnYardCommand(const char* id);
    bool OnCoinShopCommand(const char* id);
    // Posts a screen switch to the game object behind the curtain.
    void Post(int code);
};
