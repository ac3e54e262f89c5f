#pragma once
// The achievements screen: every achievement of the achievements manager in one list the player
// drags and flings, a row of 83 pixels each with its icon, name and one description. An earned
// achievement shows its own icon and the description of what was done in green; the others show
// the locked icon and what is still to do in red. The OK button returns to the start menu.
//
// The list draws its rows itself (CXDrawnScrollList: the template's children of dlg_ach_scroll are
// deleted) and scrolls with the game's shared list motion. The descriptions are worded
// when the screen opens: an achievement earned while it is open changes its icon and colour at
// once and its words on the next opening.
//
// Depends on: the screen root, the achievements manager and the current profile, the game's small
// font, the sprite sets "AchIcon_Locked", "ScrollerEdge" and each achievement's icon set. Main
// thread only.

#include "core/QuorvanArray.h"
#include "game/widgets/DrawnScrollList.h"
#include "game/widgets/GameRoot.h"

class CBitmapFontText;
class CQuorvanTextFormat;
class CSpriteSet;
class CXAchScrollDialog;

class CXAchScreen : public XGameRoot {
public:
    explicit CXAchScreen(CXElement* parent);

    // Builds "root_ach" and hides the unused game-service button: 1, or 0 without the list.
    int OnInitElement() override;
    // dlg_ach_scroll becomes the list; every other record is the screen root's.
    XWidget* CreateAndInitChild(TWidget* record, const WidgetContext* placement) override;
    // OK posts the start menu (deferred); the game-service button does nothing.
    int OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) override;

    CXAchScrollDialog* m_pScrollDialog = nullptr;  // a child
};

class CXAchScrollDialog : public CXDrawnScrollList {
public:
    static constexpr int kRowHeight = 83;  // pixels
    static constexpr FIXED_FLOAT kMinimumOffset = -8 * 256;

    CXAchScrollDialog(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement,
                      CXAchScreen* owner);
    // Gives back the icons' sprite sets; the formats go with it.
    ~CXAchScrollDialog() override;

    // The list's set-up (see CXDrawnScrollList::InitList), the icons, the descriptions and the
    // layout: 1, or 0 when a sprite set or a frame is missing.
    int OnInitWidget() override;
    // Takes every icon's first frame; false at the first set that has none.
    bool LoadIcons();
    // Words each achievement's description for its earned state, width screen width - 80.
    bool FormatAchievementDescriptions();
    // The list's height and limits; the offset back at the minimum.
    void ArrangeChildren();
    // The dialog's y follows the offset: -(offset in whole pixels).
    void RecalcCurrentOffsetY();
    // The dialog, then (no finger down) the motion, the placement and the scroll bar.
    void RunProcess() override;
    // The shaded area, the rows, the edge lines and the scroll bar, clipped to the area.
    void Draw() override;
    // Dragging, past a limit or moving.
    bool ShouldDrawScrollBar() { return IsScrollBarWanted(); }
    void ProcessScrollBar();
    void DrawScrollBar() { DrawBar(); }
    // The manager's count; 0 without a manager.
    int GetNumAchievements();
    // The description worded for achievement i when the screen opened; null out of range.
    const CQuorvanTextFormat* GetDescription(int i) const;

private:
    CBitmapFontText* Font() const;
    // Whether the current profile has earned achievement i.
    bool IsEarned(int i) const;
    // Looks a set up, references it and gives its first frame; null when it has none.
    IDibBitmap* FirstFrameOf(const char* setName);

    CXAchScreen* m_pOwner;
    IDibBitmap* m_pLockedIcon = nullptr;                      // frames of referenced sets
    CQuorvanArray<IDibBitmap*> m_Icons;                       // one per achievement
    CQuorvanObjPtrArray<CQuorvanTextFormat*> m_Descriptions;  // one per achievement; owned
    CQuorvanArray<CSpriteSet*> m_IconSets;                    // referenced
};
