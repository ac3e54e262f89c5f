#pragma once
// Tabs: a tab control (a game dialog whose children are the tabs) and the tab, a game button that
// shows frame 1 while active and takes the pointer as a button does. Pressing a tab sends 1011 (its id) to the control,
// which makes every tab of that id active and the others inactive and has the game object send 1012 (the tab's index)
// to the control's parent. A tab never sends a click (600).
//
// Depends on: ui (game dialog, game button). Main thread only.

#include "ui/GameButton.h"
#include "ui/GameDialog.h"

class CXTabBase : public XGameButton {
public:
    CXTabBase(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement);

    // Frame 1 when active, else frame 0, centred at natural size; then the caption.
    void Draw() override;
    // The element rectangle, edges inside.
    bool Contains(int x, int y) override { return CXElement::Contains(x, y); }
    // The button, then the element rectangle becomes the drawing rectangle.
    int OnInitWidget() override;

    bool IsActive() const { return m_bActive; }
    void SetActive(bool active) { m_bActive = active; }

protected:
    // A press makes the tab active and reports it to the control (1011); a release never clicks.
    void OnPointerPressed() override;
    void OnReleasedInside() override {}

    bool m_bActive = false;
};

class CXTabControlBase : public XGameDialog {
public:
    CXTabControlBase(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement);

    // 1011 activates the tabs of the wparam's id and reports the first one's index with 1012 to
    // the parent; anything else as a dialog.
    int OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) override;
    // The dialog, then not modal and covering its own rectangle (modal kind "position").
    int OnInitWidget() override;
    // Button records become tabs (CreateTab); a null tab and every other record go to the game
    // dialog's factory.
    XWidget* CreateAndInitChild(TWidget* record, const WidgetContext* placement) override;

    // One tab for a button record, not initialised; a CXTabBase here, null to make a plain button.
    virtual CXTabBase* CreateTab(TWidget* record, const WidgetContext* placement);

    // Makes tab index active and the other tabs inactive; sends nothing.
    bool ActivateTab(int index);
    // The child at index when it is a tab, else null.
    CXTabBase* GetTab(int index);
};
