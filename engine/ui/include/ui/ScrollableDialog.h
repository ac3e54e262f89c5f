#pragma once
// The scrollable dialog: a game dialog that lays its child buttons out on horizontal pages of a
// small grid (up to 3 columns and 2 rows, pages 200 pixels wide after a 60-pixel margin) and lets
// the player swipe from page to page; the content springs back towards the current page by itself
// and stays within 20 pixels of the first and last pages' ends. Its button reports taps like a
// list row and keeps a slowly wandering offset (1.5 by 3 pixels) while not pressed.
//
// Positions are FIXED_FLOAT (1/256 pixel). Depends on: ui (game dialog, game button); the random
// value through IElementHost. Main thread only.

#include "ui/GameButton.h"
#include "ui/GameDialog.h"

class CXScrollableDialog : public XGameDialog {
public:
    static constexpr FIXED_FLOAT kPageWidth = 51200;  // 200 pixels
    static constexpr FIXED_FLOAT kEdgeLimit = 5120;   // 20 pixels past the first or last page
    static constexpr FIXED_FLOAT kDragLimit = 25600;  // 100 pixels of drag at most

    CXScrollableDialog(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement);

    // Children, then (no finger down) the drag offset's decay towards 0 and its edge limits, then
    // the placement.
    void RunProcess() override;
    // Presses, swipes between pages and taps; false when hidden.
    int NotifyPointerEvent(int x, int y, int type) override;
    // The page area.
    bool Contains(int x, int y) override;
    // The dialog, then not modal (kind "children").
    int OnInitWidget() override;

    // Called after a press reached a child, and when a drag un-presses it.
    virtual void OnScrollableDialogButtonActivated() {}
    virtual void OnScrollableDialogButtonActiveCancelled() {}

    // Lays the children out in pages; false for columns outside 1..3, rows outside 1..2, or no
    // children.
    bool ArrangeChildren(int columns, int rows);
    // Makes page current at once; false outside the pages.
    bool SwitchToPage(int page);
    // Makes the neighbouring page current (when there is one), sliding the content there; true.
    bool ScrollToNextPage();
    bool ScrollToPrevPage();
    // Places the dialog (and its children) for the current page and drag offset.
    void RecalcCurrentOffsetX();
    // Where page i starts.
    static FIXED_FLOAT GetPageOffsetX(int page) { return page * kPageWidth - 15360; }
    static FIXED_FLOAT GetItemFullHeight() { return kPageWidth; }

    int GetCurrentPage() const { return m_nCurrentPage; }
    int GetPageCount() const { return m_nPageCount; }
    FIXED_FLOAT GetDragOffset() const { return m_nDragOffset; }
    FIXED_FLOAT GetDragSpeed() const { return m_nDragSpeed; }

protected:
    // The drag offset held within the first and last pages' edge limits; a speed pushing further
    // is dropped.
    void ClampToEdgePages();

    int m_nColumns = 3;
    int m_nRows = 2;
    TCoordRect2D m_PageArea{0, 0, 0, 0};
    FIXED_FLOAT m_nOffsetX = 0;
    int m_nPageCount = 0;
    int m_nItemsPerPage = 0;
    int m_nCurrentPage = 0;
    bool m_bDragging = false;
    int m_nDragThreshold = 100;  // squared pixels
    int m_nPressX = -1;
    int m_nPressY = -1;
    int m_nLastX = -1;
    int m_nLastY = -1;
    int m_nLastMove = 0;            // pixels
    FIXED_FLOAT m_nDragOffset = 0;  // positive: the content lies right of its page
    FIXED_FLOAT m_nDragSpeed = 0;
};

class CXScrollableDialogButton : public XGameButton {
public:
    static constexpr FIXED_FLOAT kAmplitudeX = 384;  // 1.5 pixels
    static constexpr FIXED_FLOAT kAmplitudeY = 768;  // 3 pixels

    CXScrollableDialogButton(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement);

    // A tick, then (not pressed) the wandering step.
    void RunProcess() override;
    int NotifyPointerEvent(int x, int y, int type) override { return NotifyPointerEventAsRow(x, y, type); }
    // The element rectangle.
    bool Contains(int x, int y) override { return CXElement::Contains(x, y); }
    // The button, then the wandering offset starts at a random point with its speeds.
    int OnInitWidget() override;

    FIXED_FLOAT GetFloatX() const { return m_nFloatX; }
    FIXED_FLOAT GetFloatY() const { return m_nFloatY; }

protected:
    FIXED_FLOAT m_nFloatX = 0;
    FIXED_FLOAT m_nFloatY = 0;
    FIXED_FLOAT m_nSpeedX = 0;
    FIXED_FLOAT m_nSpeedY = 0;
};
