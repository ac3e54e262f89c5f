#pragma once
// The base of the game's lists that draw their rows themselves (the achievements and the
// leaderboards): a game dialog over a visible rectangle that the player drags and flings, with
// the shared list motion and scroll bar (ui/ScrollMotion.h). The template's children of the list
// are placeholders and are deleted; the list keeps the pointer capture from press to release.
//
// Units: the offset, its limits and the speed are FIXED_FLOAT (1/256 pixel); offset 0 shows the
// content's top at the rectangle's top, and a larger offset shows content further down.
//
// Depends on: ui (game dialog, scroll motion); the sprite set "ScrollerEdge" through the game
// object. Main thread only.

#include "ui/GameDialog.h"
#include "ui/ScrollMotion.h"

class CSpriteSet;

class CXDrawnScrollList : public XGameDialog {
public:
    static constexpr int kDragThreshold = 100;  // squared pixels

    CXDrawnScrollList(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement);
    // Gives back the scroll bar's sprite set.
    ~CXDrawnScrollList() override;

    // Press: the capture, an overshoot cut back to the limits, the press handed to a child under
    // the finger. Move: a drag once the finger is 10 pixels from the press (a pressed child is let
    // go), then the content follows the finger (at half rate pulled past an end). Release: a drag
    // leaves the last move as the speed, a tap goes to the child under the finger. 1.
    int NotifyPointerEvent(int x, int y, int type) override;
    // The visible rectangle, edges inside.
    bool Contains(int x, int y) override;

    // ---- State, for screens and tests ----------------------------------------------------------
    const TCoordRect2D& GetVisibleRect() const { return m_Visible; }
    FIXED_FLOAT GetOffset() const { return m_nOffset; }
    void SetOffset(FIXED_FLOAT offset) { m_nOffset = offset; }
    FIXED_FLOAT GetSpeed() const { return m_nSpeed; }
    FIXED_FLOAT GetMinimum() const { return m_nMinimum; }
    FIXED_FLOAT GetMaximum() const { return m_nMaximum; }
    bool IsDragging() const { return m_bDragging; }
    const TScrollBar& GetScrollBar() const { return m_Bar; }

protected:
    // The dialog, then not modal (kind "children"), the bar's caps, the visible rectangle (the
    // screen's width; the template's height grown by the screen's height over 480) and no
    // children: false without the caps.
    bool InitList();
    // The limits for content of that height: the minimum, and the content's end at the area's
    // bottom (never above the minimum: a list that fits rests at the minimum).
    void SetLimits(FIXED_FLOAT minimum, int contentHeight);
    // Whether a press may start: false keeps the list still (the leaderboards while they fade).
    virtual bool AcceptsPress() { return true; }
    bool FingerDown() const { return m_nPressX != -1; }
    // One tick of the motion with no finger down.
    void StepMotion();
    // Dragging, past a limit or moving.
    bool IsScrollBarWanted() const;
    // Black at alpha 64 over the area, a pixel wider.
    void DrawShade(IDibBitmap* back);
    // Black lines at alpha 128 along the area's bottom and top, a pixel wider.
    void DrawEdgeLines();
    void DrawBar();
    // The part of (x, y, w, h) inside clip; width or height 0 or less when nothing is.
    static TCoordRect2D Intersect(int x, int y, int w, int h, const TCoordRect2D& clip);

    TCoordRect2D m_Visible{0, 0, 0, 0};
    FIXED_FLOAT m_nOffset = 0;
    FIXED_FLOAT m_nSpeed = 0;
    FIXED_FLOAT m_nMinimum = 0;
    FIXED_FLOAT m_nMaximum = 0;
    bool m_bDragging = false;
    int m_nDragThreshold = kDragThreshold;
    int m_nPressX = -1;
    int m_nPressY = -1;
    int m_nLastX = -1;
    int m_nLastY = -1;
    int m_nLastMove = 0;  // pixels
    TScrollBar m_Bar;
    CSpriteSet* m_pEdgeSet = nullptr;  // referenced
    IDibBitmap* m_pBarTop = nullptr;   // its frames 0 and 1
    IDibBitmap* m_pBarBottom = nullptr;

private:
    void ClearPoints();
};
