#pragma once
// The dialog: the widget that holds other widgets. It builds its children from its dialog record
// (an optional background widget first, then one child per placement of the record's list), draws
// an optional colour fill and its children with two hooks for subclasses, routes pointer and key
// input to its children, covers points by its modal kind, moves the focus among its children and
// removes and deletes children whose fade-out has ended (sending 606 to itself).
//
// Its command side (Dialog_Actions.cpp): a click (600) of a child bound in the record's
// "actions" list runs a template action of create and destroy steps; "actionBack" runs the back
// action that screen roots keep; widgets can be shown from template files with a placement and
// fades. Unbound messages climb on to the parent with the dialog as sender.
//
// A message a dialog sends may end with the dialog deleted (a screen switch made at once); the
// dialog touches nothing of itself after such a send, and LifeToken tells a caller whether it
// still exists.
//
// Depends on: ui (widget base, leaf widgets, template model and reader); the game's back buffer
// through IElementHost. Main thread only.

#include <memory>

#include "core/CommonString.h"
#include "core/QuorvanArray.h"
#include "ui/Template.h"
#include "ui/Widget.h"

// The placement of a widget shown by DisplayWidget: position, the four alignments and both fades.
WidgetContext DisplayPlacement(int x, int y, int alignX, int alignY, int alignXInParent, int alignYInParent,
                               bool inEffect, FIXED_FLOAT inDelay, FIXED_FLOAT inDuration, bool outEffect,
                               FIXED_FLOAT outDelay, FIXED_FLOAT outDuration);

class XDialog : public XWidget {
public:
    XDialog(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement);
    // Forgets the background, deletes every child (last first), then the widget part.
    ~XDialog() override;

    // ---- CXElement and XWidget overrides ---------------------------------------------------
    // Own tick and fade, then the children (RunProcessChildren).
    void RunProcess() override;
    // Colour fill, then the children in order with PreDraw after the background widget and
    // PostDraw before the first modal child (or after the last child).
    void Draw() override;
    int NotifyKeyEvent(int key, int type) override;
    int NotifyPointerEvent(int x, int y, int type) override;
    // As the element's; a dialog left without an active child gives the focus to the next
    // interactive visible child, walking on from the last.
    void RemoveChildAt(int index) override;
    // By modal kind: 0 every point; 1 its own rectangle (far edges outside) or else as 2; 2 a
    // point one of its visible children contains.
    bool Contains(int x, int y) override;
    int SetNextActiveObject(int key) override;
    int SetPrevActiveObject(int key) override;
    // 600 runs the bound action (Dialog_Actions.cpp); anything else goes to the parent.
    int OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) override;
    // Places the dialog, builds its children, takes its size, colour and modal kind, picks the
    // active child and sends 607 to its parent; 0 when a child cannot be built.
    int OnInitWidget() override;
    bool IsInteractive() override { return true; }
    bool IsGroupWidget() override { return true; }
    // Moves the dialog and every child widget.
    void OffsetWidgetPosition(int dx, int dy) override;
    // The rectangle's size; a width or height below 2 comes from the background widget (size
    // method 1) or else from the back buffer.
    TElementSize GetSize() override;
    void DeleteAllChildWidgets() override;
    XWidget* GetBackgroundWidget() override { return m_pBackground; }

    // ---- Dialog operations ------------------------------------------------------------------
    virtual void PreDraw() {}
    virtual void PostDraw() {}
    // The widget factory: the leaf kinds and dialogs, under this dialog with its template; null
    // for a null record, a root or an unknown kind, or when the widget fails its initialisation
    // (it is then removed and deleted).
    virtual XWidget* CreateAndInitChild(TWidget* record, const WidgetContext* placement);
    // The record of that name in the dialog's own template; null when none.
    virtual TWidget* GetTWidgetPtr(const CommonString& name);
    // Shows the record named name (written in double quotes in the file) of a template file under
    // this dialog, placed and faded by the arguments; the widget owns the record. Null when the
    // file or record cannot be read or the widget cannot be made.
    virtual XWidget* DisplayWidget(const char* file, const char* name, int x, int y, int alignX, int alignY,
                                   int alignXInParent, int alignYInParent, bool inEffect, FIXED_FLOAT inDelay,
                                   FIXED_FLOAT inDuration, bool outEffect, FIXED_FLOAT outDelay,
                                   FIXED_FLOAT outDuration);
    // Runs the action named name (in double quotes in the file) read from a template file, sends
    // 605 to itself and deletes the action: DoAction's result, 0 when nothing was read.
    virtual int DoAction(const CommonString& file, const CommonString& name);
    // Keeps the reverse of an action that was run; nothing here (screen roots keep them).
    virtual void StoreBackAction(TAction* action, CQuorvanObjPtrArray<WidgetContext*>& savedContexts);
    // Runs the last kept back action; nothing here.
    virtual void DoBackAction() {}
    // The background widget, then one child per placement; 0 when a record exists but its widget
    // cannot be made.
    virtual int CreateAndInitChildren();

    // ---- Actions (Dialog_Actions.cpp) ---------------------------------------------------------
    // Runs every step of the action in order, then lets the dialog keep its reverse: 1, or 0 for
    // null. The back action only runs its steps.
    int DoAction(TAction* action);
    // The action of that name in the dialog's own template, then 605 to itself: the result, or 0.
    int DoAction(const CommonString& name);
    void DoActionStep(ActionStep* step);
    // Builds the step's record on top of this dialog, aligned and fading in as the step says.
    void DoActionStepCreate(ActionStep* step);
    // Flags the step's widget (this dialog or below) for removal, after its fade-out when the step
    // has one.
    void DoActionStepDestroy(ActionStep* step);
    // The record of that name in the dialog's own template (shared), shown as DisplayWidget does.
    XWidget* DisplayWidgetInCurrentTemplate(const CommonString& name, int x, int y, int alignX, bool inEffect,
                                            FIXED_FLOAT inDelay, FIXED_FLOAT inDuration, bool outEffect,
                                            FIXED_FLOAT outDelay, FIXED_FLOAT outDuration);
    // Creates the record's widget with the placement, aligns it and schedules the placement's
    // fades; null when it cannot be made.
    XWidget* DisplayWidgetWithParams(TWidget* record, const WidgetContext* placement);
    // Copies the placement of the widget with that id (this dialog or below) into out: 1, or 0
    // for a null out or no such widget.
    int GetChildWidgetContext(const CommonString& id, WidgetContext* out);

    // ---- Helpers --------------------------------------------------------------------------------
    // Unlinks the widget with that id from this dialog's children without deleting it.
    void RemoveWidget(const CommonString& id);
    // RemoveWidget for the name of every placement of the record's child list.
    void RemoveAllWidgets();
    // Draws the children from from (the first when null) up to, not including, to (the end when
    // null), with the PreDraw and PostDraw rules but no final PostDraw before to.
    void DrawZOrder(CXElement* from, CXElement* to);
    // The child after e, the first for null; null after the last child or for a stranger.
    CXElement* GetNextChildWidgetAfter(CXElement* e);
    // The first visible child made from a dialog record, or null.
    XWidget* ChildDialogShown();
    // Drops the element's pressed state; nothing for null.
    void CancelPressedState(CXElement* element);
    // Colour flag and colour from the record.
    void InitDefaultBackground();
    // The colour fill: the whole back buffer cleared when the dialog covers it, else the rectangle.
    void DrawBackground();
    // Each child's update, last first; children flagged for removal are removed, deleted and
    // reported with 606 to the dialog itself. False when the dialog itself was deleted meanwhile
    // (the caller must then return at once).
    bool RunProcessChildren();
    int NotifyPointerEventWidgetHelper(int x, int y, int type);
    int NotifyKeyEventWidgetHelper(int key, int type);

    // True while the dialog exists; a caller holding it can check after a send that may delete it.
    std::shared_ptr<const bool> LifeToken() const { return m_pAlive; }
    unsigned char GetModalKind() const { return m_nModalKind; }
    void SetModalKind(unsigned char kind) { m_nModalKind = kind; }
    int GetBgTilesX() const { return m_nBgTilesX; }
    int GetBgTilesY() const { return m_nBgTilesY; }

protected:
    // The record as a dialog record, or null.
    TDialog* DialogRecord() const { return AsDialogRecord(m_pRecord); }
    // Focus movement by step (+1 or -1) over the children; shared by the two movers.
    int MoveDialogFocus(int key, int step);
    // Gives the event to the topmost visible modal child, which becomes the active child; false
    // when there is none.
    bool PassToModalChild(int x, int y, int type);
    // The topmost child at the point that is visible, contains it (or is modal) and is not
    // fading; null when none. Shared by the dialog's and the lists' dispatch.
    CXElement* FindPointerTaker(int x, int y);
    // The children drawn in order from index first up to (not including) stop, with the PreDraw and
    // PostDraw rules; whether PostDraw ran.
    bool DrawChildren(int first, CXElement* stop);

    unsigned char m_nModalKind = kModalDefault;
    unsigned char m_nBgTilesX = 1;
    unsigned char m_nBgTilesY = 1;
    unsigned char m_nSizeMethod = 0;
    XWidget* m_pBackground = nullptr;  // one of the children; not owned through this pointer
    bool m_bHasColor = false;
    TRgb m_Color;

private:
    std::shared_ptr<bool> m_pAlive = std::make_shared<bool>(true);
};
