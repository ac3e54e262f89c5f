// The UI element tree: one node type for the game object (the root), the screen roots, dialogs and
// widgets. The element owns the rules for drawing order, pointer and key dispatch, focus, modality
// and the message climb; pointer capture itself lives in the game (IElementHost).
//
// Depends on: core (arrays, rectangles); the game is reached through IElementHost
// (ui/ElementHost.h), for the capture, the key locks and the back buffer.
// Threads: main thread only; nothing here is locked.
#pragma once

#include <cstdint>

#include "core/Common.h"
#include "core/QuorvanArray.h"

class IElementHost;

// Width and height of an element's rectangle, as given by GetOriginalSize.
struct TElementSize {
    int width;
    int height;
};

// UI message codes exchanged by the widget framework (wparam is the sender's widget id).
enum : int {
    XMSG_CLICK = 600,           // released inside after a press
    XMSG_PRESSED = 601,         // pressed; the capture is taken at the same time
    XMSG_TUNER_SET = 602,       // slider value set; lparam the value
    XMSG_TUNER_CHANGING = 603,  // slider value changing; lparam the value
    XMSG_CHECK_TOGGLED = 604,   // check box toggled; lparam the new state
    XMSG_ACTION_DONE = 605,     // a dialog finished a template action; wparam the action name
    XMSG_CHILD_REMOVED = 606,   // a faded-out child was removed and deleted
    XMSG_DIALOG_INIT = 607,     // a dialog finished its initialisation
    XMSG_TAB_PRESSED = 1011,
    XMSG_TAB_ACTIVATED = 1012,  // wparam the tab index
};

// Pointer event types and the key codes the dispatch rules act on.
enum : int {
    XPOINTER_PRESS = 1,
    XPOINTER_RELEASE = 2,
    XPOINTER_MOVE = 3,
    XPOINTER_IGNORED = 4,
    XKEY_PREV = 1,
    XKEY_NEXT = 2,
    XKEY_PREV2 = 3,
    XKEY_NEXT2 = 4,
    XKEY_SELECT = 5,
};

// The wparam of UI messages: wide enough for a pointer, since widgets send the text of their id
// (XWidget::Id2WParam) and dialogs the name of an action.
using XWPARAM = std::intptr_t;
// A widget id or action name as a wparam, and back.
inline XWPARAM XIdParam(const char* text) { return reinterpret_cast<XWPARAM>(text); }
inline const char* XIdText(XWPARAM wparam) { return reinterpret_cast<const char*>(wparam); }

// A message stored in an element and sent later (a deferred screen switch waits here while the
// screen's out-transition runs).
struct TSavedMessage {
    class CXElement* target;
    int code;  // 0 = nothing stored
    XWPARAM wparam;
    int lparam;
    bool deferred;
};

class CXElement {
public:
    // Links the new element into parent (topmost child, and the parent's active child). game may be
    // null, in which case the parent's game pointer is taken.
    CXElement(CXElement* parent, IElementHost* game);
    // Releases the game's pointer capture when this element holds it. Children are NOT deleted here:
    // dialogs and the game object delete theirs.
    virtual ~CXElement();

    CXElement(const CXElement&) = delete;
    CXElement& operator=(const CXElement&) = delete;

    // Second construction phase; 0 makes the caller remove and delete the element.
    virtual int OnInitElement();
    virtual int Type();
    // Called before a child is removed.
    virtual void InvalidateAll();
    // Per-frame update.
    virtual void RunProcess();
    // Draws every visible child in child order (first at the bottom) when this element is visible.
    virtual void Draw();
    // Makes this element and its whole subtree visible.
    virtual void Show();
    // Hides this element only; drops it as its parent's active child.
    virtual void Hide();
    // Hide, then unlink from the parent. Does not delete.
    virtual void Destroy();
    // Forwards to the active child; 0 when hidden or without an active child.
    virtual int NotifyKeyEvent(int key, int type);
    // Hit test from the topmost child down; 1 when some child took it or a modal child swallowed it.
    virtual int NotifyPointerEvent(int x, int y, int type);
    // The same hit test for second and further fingers; the active child is left alone.
    virtual int NotifyMultiTouchPointerEvent(int x, int y, int type, int touchId);
    // Appends child as the topmost child; 0 when the child list cannot grow.
    virtual int AddChild(CXElement* child);
    // Unlinks the child at index (order kept); out of range does nothing.
    virtual void RemoveChildAt(int index);
    // Unlinks child; a pointer that is not a child does nothing. Never deletes.
    virtual void RemoveChild(CXElement* child);
    virtual CXElement* GetChildPtrAt(int index);
    // Makes element (may be null) the active child and calls its OnSetFocus.
    virtual void SetFocus(CXElement* element);
    virtual void OnSetFocus();
    virtual CXElement* GetActiveObjectPtr();
    virtual void SetPosition(int x, int y, int w, int h);
    virtual TCoordRect2D GetPosition();
    virtual TElementSize GetOriginalSize();
    // Point in the rectangle, all four edges included.
    virtual bool Contains(int x, int y);
    // Focus moves among the children, wrapping; 1 when a visible child got the focus.
    virtual int SetNextActiveObject(int key);
    virtual int SetPrevActiveObject(int key);
    // target->OnMessage(this, ...), or the parent's when target is null; 0 when there is neither.
    // The deferred flag is for the game object's override.
    virtual int SendMessage(CXElement* target, int code, XWPARAM wparam, int lparam, bool deferred);
    // Passes the message unchanged to the parent; 0 at the root.
    virtual int OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam);
    virtual void SetModal(bool modal);
    virtual bool IsModal();
    virtual bool IsVisible();
    virtual bool IsEnabled();
    virtual bool IsButton();
    virtual int GetSoftKeyId();
    virtual bool IsWidget();
    virtual void CancelActiveState();
    virtual void SetSlideState(int state);
    virtual int ProcessSlideState();

    // The topmost child that is modal and visible, or null.
    CXElement* FindModalChild();
    void SetupSavedMessage(CXElement* target, int code, XWPARAM wparam, int lparam, bool deferred);
    // Sends the stored message when its code is not 0; returns the send's result (0 when nothing sent).
    int SendSavedMessage();
    // The first button child whose soft-key id is which (1 or 2 only), or null.
    CXElement* GetStandardButton(int which);
    bool ContatinsChild(CXElement* element);
    // Dialog-style key rule: modal child first, focus keys, soft keys, then the active child.
    int NotifyKeyEventDialogHelper(int key, int type);
    // Scales every RGB565 pixel of the game's back buffer by factor/256 (16-bit back buffers only).
    void DrawFastFadeDoubleBufferToBlack(int factor);
    void DrawFastFadeDoubleBufferToBlackPalmAPI(int factor);

    CXElement* GetParent() const { return m_pParent; }
    IElementHost* GetGamePtr() const { return m_pGame; }
    // The game object points its own element game pointer at itself once it is constructed.
    void SetGamePtr(IElementHost* game) { m_pGame = game; }
    int GetChildCount() const { return m_Children.count; }
    const TSavedMessage& GetSavedMessage() const { return m_SavedMessage; }

protected:
    // Moves the focus one child at a time by step (+1 or -1), wrapping, until a visible child is
    // reached or every other child was tried; shared by the two focus movers.
    int MoveFocus(int step);

    CXElement* m_pParent;
    CXElement* m_pActiveChild;
    CQuorvanArray<CXElement*> m_Children;  // child order = drawing order; the last is topmost
    IElementHost* m_pGame;
    bool m_bVisible;
    bool m_bModal;
    TCoordRect2D m_Rect;
    int m_StandardButtonIds[2];  // soft-key ids of the left and right standard buttons
    int m_nSlideState;
    int m_nSlideCounter;
    TSavedMessage m_SavedMessage;
};

// Unlinks a non-null element from its parent, deletes it and nulls the pointer.
template <class T>
void SAFE_FREE_XELEMENT(T*& element) {
    if (element == nullptr) return;
    if (CXElement* parent = element->GetParent()) parent->RemoveChild(element);
    delete element;
    element = nullptr;
}
