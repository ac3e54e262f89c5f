#pragma once
// The leaderboards screen: the local high-score table of each arena (30 rows of rank, name and
// score) in one list the player drags and flings, with a tab per arena. The list remembers where
// each table was scrolled to and cross-fades through black when a tab switches it. Opened after a
// round that set a new high score, the screen shows that arena's table with the new row in the
// middle, pulsing orange, to applause. Its OK button posts the message it was opened with (the
// start menu or the play screen).
//
// The list draws its rows itself (CXDrawnScrollList) and scrolls with the game's shared list
// motion; the tabs are the framework's (ui/TabControl.h).
//
// Depends on: the screen root, the player data's high-score tables, the arena table, the game
// object's note of the last new high score, the game's small font, the sprite set "ScrollerEdge"
// and the sound "SFX_APPLAUSE". Main thread only.

#include "core/QuorvanArray.h"
#include "game/widgets/DrawnScrollList.h"
#include "game/widgets/GameRoot.h"
#include "ui/TabControl.h"

class CXLeadersScrollDialog;
class CXLeadersTabControl;
class THighScoreTable;

class CXLeadersScreen : public XGameRoot {
public:
    // returnMessage: the game message the OK button posts.
    CXLeadersScreen(CXElement* parent, int returnMessage);

    // Builds "root_leaders", opens the table of the last new high score (the first without one),
    // centres and applauds a new row, hides the game-service button: 1, or 0 without the list or
    // the tabs.
    int OnInitElement() override;
    // OK posts the return message (deferred); the game-service button does nothing; 1012 from
    // the tabs switches the table.
    int OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) override;
    // The list and the tab control are the screen's own classes.
    XWidget* CreateAndInitChild(TWidget* record, const WidgetContext* placement) override;

    // Shows btn_LeaderPrev and btn_LeaderNext where a table lies that way, and names the arena of
    // the table shown (or being switched to) in txt_leaderboard_levelname.
    void UpdateSwitchButtons();

    CXLeadersScrollDialog* m_pScrollDialog = nullptr;  // children
    CXLeadersTabControl* m_pTabControl = nullptr;
    int m_nReturnMessage;
};

class CXLeadersScrollDialog : public CXDrawnScrollList {
public:
    static constexpr int kRowHeight = 31;                    // pixels
    static constexpr FIXED_FLOAT kMinimumOffset = -8 * 256;  // GetMinimumOffsetY
    static constexpr int kFadeStep = 48;

    CXLeadersScrollDialog(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement,
                          CXLeadersScreen* owner);

    // The list's set-up (see CXDrawnScrollList::InitList), one kept offset per arena, the limits
    // of 30 rows: 0 without the scroll bar's caps.
    int OnInitWidget() override;
    // Shows table t at once (0 for a t outside the arenas) and finds the player's own row in it.
    void SetCurrentTable(int table);
    // Fades through black to table t: 6 updates to black, the switch, 6 back. A switch asked for
    // during a fade only changes where it goes.
    void SwitchToTable(int table);
    // The dialog, then the fade or (no finger down) the motion, the scroll bar and the blink.
    void RunProcess() override;
    // The shaded area, then with a table and some opacity the rows, the edge lines, the scroll
    // bar and the fade.
    void Draw() override;

    static int GetNumHighScoreEntries() { return 30; }
    static int GetMinimumOffsetY() { return kMinimumOffset >> 8; }
    // The tables there are: one per arena.
    int GetNumTables();
    // Table t of the player data (named by arena t's id); null when there is none.
    THighScoreTable* GetTable(int table);
    // The table shown, or the one a running fade is going to.
    int GetShownOrTargetTable() const { return m_bFading ? m_nTargetTable : m_nCurrentTable; }
    // Moves the offset so that row is in the middle of the area, within the offset range.
    void CentreRow(int row);

    // ---- State, for the screen and tests --------------------------------------------------------
    int GetCurrentTable() const { return m_nCurrentTable; }
    int GetOwnRow() const { return m_nOwnRow; }
    bool IsFading() const { return m_bFading; }
    int GetFade() const { return m_nFade; }
    float GetBlinkValue() const { return m_fBlinkValue; }
    // The text alpha of the pulsing row at the list's opacity (0..255): the eased blink value.
    int BlinkAlpha(int opacity) const;
    // The rank column, the name column and the right edge of the scores, in pixels.
    int RankX() const;
    int NameX() const;
    int ScoreRight() const;

protected:
    // Not while the tables cross-fade.
    bool AcceptsPress() override { return !m_bFading; }

private:
    void RunFade();
    void RunBlink();
    // Whether the pulsing row is in the table shown.
    bool IsNewRowShown() const;
    void DrawRows(IDibBitmap* back, int opacity);

    CXLeadersScreen* m_pOwner;
    int m_nOwnRow = -1;
    int m_nCurrentTable = 0;
    bool m_bFading = false;
    int m_nTargetTable = 0;
    int m_nFade = 0;
    int m_nFadeStep = kFadeStep;
    CQuorvanArray<FIXED_FLOAT> m_TableOffsets;  // one per arena
    bool m_bBlinkOn = true;
    float m_fBlinkValue = 0.0f;
    float m_fBlinkSpeed = 16.0f;
    float m_fBlinkStep = 16.0f;
    float m_fBlinkLow = 0.0f;
    float m_fBlinkHigh = 255.0f;
};

// A tab of the leaderboards: the framework's tab, drawn a pixel lower right while pressed.
class CXLeadersTabControlButton : public CXTabBase {
public:
    using CXTabBase::CXTabBase;
    void Draw() override;
};

// The arena tabs: not modal, hit on their own rectangle; button records become leaderboard tabs.
class CXLeadersTabControl : public CXTabControlBase {
public:
    using CXTabControlBase::CXTabControlBase;
    CXTabBase* CreateTab(TWidget* record, const WidgetContext* placement) override;
};
