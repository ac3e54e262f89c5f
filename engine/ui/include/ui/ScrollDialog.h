#pragma once
// Scroll lists: a vertical list of equal rows that the player drags with a finger and flings,
// with a scroll bar, and categories that a row of tabs switches with a cross-fade through black.
//
// CXScrollDialogBase is the list (a game dialog whose children are the rows), CXScrollItemBase the
// row (a game button that reports a tap), IScrollDialogContainer the screen or dialog that holds
// a list and its tab control. Concrete lists derive from the list base and supply the row height,
// the row objects and the rows of the current category.
//
// Units: list positions and speeds are FIXED_FLOAT (1/256 pixel, speeds per tick); the position
// is -256 x the list's y, so a larger position shows rows further down. Motion: a drag moves the
// content with the finger (at half rate past an end); a fling's speed falls by a pixel per tick
// per tick; past an end the outward speed halves and the list then springs back by a sixth of the
// distance per tick, 1 to 15 pixels a tick, stopping exactly on the limit. Positions are
// remembered for categories 0 to 4.
//
// Depends on: ui (game dialog, game button); the sprite set "ScrollerEdge" (the scroll bar's caps)
// through IElementHost. Main thread only.

#include "core/QuorvanArray.h"
#include "ui/GameButton.h"
#include "ui/GameDialog.h"
#include "ui/ScrollMotion.h"

class CXScrollDialogBase;
class CXTabControlBase;

// A host of a scroll list and its tabs. It sets both pointers once it has built its children.
class IScrollDialogContainer {
public:
    virtual ~IScrollDialogContainer();
    // The tab control's child count; 1 without a tab control.
    int GetNumTabs();

    CXTabControlBase* m_pTabControl = nullptr;
    CXScrollDialogBase* m_pScrollDialog = nullptr;
};

// One row: pressed on a press (601), released with a tap (600) on a release, its pressed look
// following the finger in between. The list holds the pointer capture; a row never takes it.
class CXScrollItemBase : public XGameButton {
public:
    // The row owns its record (made for it by AddScrollItem).
    CXScrollItemBase(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement);

    // False when disabled, hidden or fading.
    int NotifyPointerEvent(int x, int y, int type) override;
};

class CXScrollDialogBase : public XGameDialog {
public:
    static constexpr int kRememberedCategories = 5;
    static constexpr int kFadeStep = 48;

    // container may be null: the list then has one category.
    CXScrollDialogBase(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement,
                       IScrollDialogContainer* container);

    // ---- Overrides ----------------------------------------------------------------------------
    // Children, then the category fade or the motion, then the scroll bar.
    void RunProcess() override;
    // Shade, rows, edge lines, scroll bar and the category fade.
    void Draw() override;
    // Taps, drags and flings (see the header comment); true unless the list is hidden.
    int NotifyPointerEvent(int x, int y, int type) override;
    // The list area, edges inside.
    bool Contains(int x, int y) override;
    // The dialog, then not modal (kind "children"), the scroll bar's caps, the area (filling the
    // screen's width and the height down to the bottom margin) and the remembered positions; false
    // without the caps.
    int OnInitWidget() override;

    // ---- List operations ------------------------------------------------------------------------
    // Room kept above the first and below the last row, in pixels: half a row.
    virtual int GetVerticalEdgesOffset() { return GetScrollItemHeight() >> 1; }
    // Row width in pixels: the back buffer's width less the border.
    virtual int GetScrollItemWidth();
    // Row height in pixels for a category (1 here; lists override it).
    virtual int GetScrollItemHeight(int category);
    // Vertical gap between rows in pixels.
    virtual int GetScrollItemBorderSize() { return 0; }
    // Makes one row object; null here.
    virtual CXScrollItemBase* CreateScrollItemObject(CXElement* parent, TTemplate* templ, TWidget* record,
                                                     const WidgetContext* placement, void* data);
    // Fills the current category with AddScrollItem; false on failure.
    virtual bool CreateScrollItems() { return true; }

    // Adds a row with that id (a button record made for it, the row's size) and initialises it;
    // false when it cannot be made (earlier rows stay).
    bool AddScrollItem(const CommonString& id, void* data);
    // Lays the rows out top to bottom in the area and sets the limits and the position; false
    // without rows.
    bool ArrangeScrollItems();
    // Shows category i at once: remembers the current position, deletes the rows, makes the new
    // ones and arranges them; false for a category out of range or when its rows fail.
    bool SetCurrentCategory(int category);
    // Cross-fades through black to category i (6 ticks to black, 6 back).
    void FadeToCategory(int category);
    int GetNumCategories();
    // The row height of the current category.
    int GetScrollItemHeight() { return GetScrollItemHeight(m_nCurrentCategory); }
    // Moves the list and its rows to where the position says.
    void RecalcCurrentOffsetY();
    void ProcessScrollBar();
    bool ShouldDrawScrollBar();
    void DrawScrollBar();

    // ---- State, for screens and tests ----------------------------------------------------------
    FIXED_FLOAT GetScrollPosition() const { return m_nPosition; }
    void SetScrollPosition(FIXED_FLOAT position) { m_nPosition = position; }
    FIXED_FLOAT GetScrollSpeed() const { return m_nSpeed; }
    FIXED_FLOAT GetTopLimit() const { return m_nTopLimit; }
    FIXED_FLOAT GetBottomLimit() const { return m_nBottomLimit; }
    int GetCurrentCategory() const { return m_nCurrentCategory; }
    const TCoordRect2D& GetListArea() const { return m_Area; }
    bool IsDragging() const { return m_bDragging; }
    bool IsCategoryFading() const { return m_bFadeRunning; }
    int GetCategoryFadeAlpha() const { return m_nFadeAlpha; }
    // The scroll bar: x and y in the area, width, height, alpha.
    TCoordRect2D GetScrollBarRect() const { return {m_Bar.x, m_Bar.y, m_Bar.width, m_Bar.height}; }
    int GetScrollBarAlpha() const { return m_Bar.alpha; }
    // 1 shows the end, 2 the end less 26 pixels and two rows; applied by the next arrangement.
    void SetPendingPositionRequest(int request) { m_nPendingRequest = request; }

protected:
    // One tick of the motion without a finger down.
    void ProcessMotion();
    // The topmost row at the point that takes pointer events, or null.
    CXElement* RowAt(int x, int y) { return FindPointerTaker(x, y); }
    bool FingerDown() const { return m_nPressX != -1; }

    // Settings that lists change in their constructors.
    bool m_bFillWidth = true;
    bool m_bFillHeight = true;
    int m_nBottomMargin = 0;  // pixels
    bool m_bDragAllowed = true;
    int m_nDragThreshold = 100;  // squared pixels

    IScrollDialogContainer* m_pContainer;
    TCoordRect2D m_Area{0, 0, 0, 0};
    FIXED_FLOAT m_nPosition = 0;
    FIXED_FLOAT m_nSpeed = 0;
    FIXED_FLOAT m_nTopLimit = 0;
    FIXED_FLOAT m_nBottomLimit = 0;
    bool m_bDragging = false;
    int m_nPressX = -1;
    int m_nPressY = -1;
    int m_nLastX = -1;
    int m_nLastY = -1;
    int m_nLastMove = 0;  // pixels
    TScrollBar m_Bar;
    int m_nCurrentCategory = -1;
    CQuorvanArray<FIXED_FLOAT> m_RememberedPositions;  // categories 0..4
    int m_nFadeTarget = 0;
    bool m_bFadeRunning = false;
    int m_nFadeAlpha = 0;
    int m_nFadeStep = 0;
    int m_nPendingRequest = 0;
    IDibBitmap* m_pBarTop = nullptr;  // frames of "ScrollerEdge", not owned
    IDibBitmap* m_pBarBottom = nullptr;
};
