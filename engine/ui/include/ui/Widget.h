#pragma once
// The widget base: an element built from a template record. It keeps its template, its record and
// its own copy of the placement that put it in its parent; it places and aligns itself from them,
// counts ticks (one per RunProcess), carries an opacity that the widgets inside it inherit, and
// runs scheduled fades: a fade-in that may wait for a delay, and a fade-out after which its dialog
// removes and deletes it. Every concrete widget, dialog and screen root derives from it.
//
// UI time: a delay or duration d in FIXED_FLOAT seconds is WidgetTicks(d) = floor(d x 8448 /
// 65536) ticks (33 a second); a fade over d moves WidgetFadeStep(d) of the 0..65280 opacity range
// per tick. Opacity is FIXED_FLOAT 0..255.0; bitmaps get (opacity >> 8) - 255 as their alpha
// offset and text opacity >> 8 as its alpha.
//
// Depends on: core, ui (CXElement, the template model); the game's services (capture, back buffer,
// localisation) through IElementHost. Main thread only.

#include <cstdint>

#include "core/Common.h"
#include "core/CommonString.h"
#include "ui/TemplateRecords.h"
#include "ui/XElement.h"

struct TTemplate;
class IDibBitmap;

// Full opacity: 255.0 in FIXED_FLOAT.
inline constexpr FIXED_FLOAT kOpacityFull = 65280;

// Ticks of a delay or duration in FIXED_FLOAT seconds, rounded toward minus infinity (-1.0 s is
// -33 ticks).
[[nodiscard]] int WidgetTicks(FIXED_FLOAT seconds);
// Opacity change per tick of a fade lasting that long: 65280 over the duration in ticks, and
// 65280 (done in one tick) for a duration of 0 or less or shorter than a tick.
[[nodiscard]] FIXED_FLOAT WidgetFadeStep(FIXED_FLOAT seconds);
// The alpha offset a bitmap is drawn with at that opacity: 0 at full, -255 at none.
inline int OpacityToAlphaOffset(FIXED_FLOAT opacity) { return (opacity >> 8) - 255; }

class XWidget : public CXElement {
public:
    // Links the widget into parent (topmost, focused) and copies the placement; without a placement,
    // or with one whose name is empty, the placement's name is the record's. The creator sets the
    // game pointer when the parent has none and calls OnInitWidget.
    XWidget(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* context);
    // Deletes the record when the widget owns it.
    ~XWidget() override;

    // ---- CXElement overrides ----------------------------------------------------------------
    // One tick, then one step of the running fade.
    void RunProcess() override;
    // Hides; when this was the parent's active child the parent's focus moves on.
    void Hide() override;
    bool IsWidget() override { return true; }
    // A plain widget has no inner focus: 0.
    int SetNextActiveObject(int key) override;
    int SetPrevActiveObject(int key) override;

    // ---- Widget operations ------------------------------------------------------------------
    // Places the widget and sets up the placement's fades; 1, or 0 when the widget cannot work
    // (its creator then removes and deletes it). A root only places itself.
    virtual int OnInitWidget();
    virtual bool IsInteractive() { return false; }
    virtual bool IsButtonWidget() { return false; }
    virtual bool IsGroupWidget() { return false; }
    virtual bool IsRoot() { return false; }
    // Origin = placement + the parent's origin (none for a root); size = the record's, at least 1.
    virtual void InitWidgetPosition();
    // Moves the rectangle; dialogs move their children along.
    virtual void OffsetWidgetPosition(int dx, int dy);
    virtual TCoord2D GetOrigin();
    // The rectangle's size; widget classes answer the size of their content where it decides.
    virtual TElementSize GetSize();
    virtual TCoordRect2D GetDrawingRect();
    // Fading in: not fading out, a fade-in pending and started, and not yet at full opacity.
    virtual bool IsFadingIn();
    // Fading out: scheduled, with a start of 0 or more that has been reached.
    virtual bool IsFadingOut();
    // One fade tick: the fade-out first (flagging the widget for removal once at 0), else the fade-in.
    virtual void ProcessFadeInOutEffect();
    // Sets the own opacity and recomputes the effective one here and in the direct child widgets.
    virtual void ApplyOpacity(FIXED_FLOAT opacity);
    // The effective opacity, which drawing uses.
    virtual FIXED_FLOAT GetOpacity() { return m_nTotalOpacity; }
    // The whole subtree takes opacity as its own.
    virtual void ApplySimilarOpacityToAllChildren(FIXED_FLOAT opacity);
    // InitWidgetPosition, then ApplyAlignType.
    virtual void ReInitWidgetPosition();
    // Deletes every child, last first.
    virtual void DeleteAllChildWidgets();
    // A dialog's background widget, which shares the dialog's opacity; null for other widgets.
    virtual XWidget* GetBackgroundWidget() { return nullptr; }

    // Depth first: this widget when its id is id, else the first match among the children in child
    // order; null for a null id or none.
    XWidget* FindChildWithWidgetId(const char* id);
    // The widget id (the record's name) as UI messages carry it (XIdText turns it back into the
    // text); 0 without a record.
    XWPARAM Id2WParam() const;
    // The localised text of the record's txtid into out, when the game has localisation and the
    // txtid is not empty; else out is left as it was.
    void GetLocalizedCaption(CommonString& out);
    // Fades from now: in after delay over duration (both 0: nothing), or out and then removal (both
    // 0: removal at once).
    void SheduleCreateWithEffect(FIXED_FLOAT delay, FIXED_FLOAT duration);
    void SheduleDestroyWithEffect(FIXED_FLOAT delay, FIXED_FLOAT duration);
    // This widget or any widget below it is fading in or out.
    bool IsFadingNow();
    // This widget, or one of its widget ancestors, is fading in or out or waiting for a delayed
    // fade-in. Input ignores such widgets.
    bool IsFadingThisOrParentNow();
    // The same walk asking only about fading out (a fading-in or waiting widget stops it), or only
    // about fading in or waiting (a fading-out widget stops it).
    bool IsFadingOutThisOrParentNow();
    bool IsFadingInThisOrParentNow();
    // Recomputes the effective opacity: own x the parent's for a widget inside a widget, unless this
    // is a dialog or a root, which keep their own.
    void RecalcTotalOpacity();
    // Moves the widget by its alignment (not a root), then aligns every child widget.
    void ApplyAlignType();
    // The first visible child button whose shoulder number is n, or null.
    XWidget* GetShoulderButton(int n);
    // Focused along the whole chain: every ancestor below the game object has the child on the path
    // as its active object. A widget right under the game object (or without a parent) is.
    bool IsActiveChild();
    // The game's back buffer, which widgets draw into; null without a game.
    IDibBitmap* GetBackBuffer() const;

    TTemplate* GetTemplate() const { return m_pTemplate; }
    TWidget* GetRecord() const { return m_pRecord; }
    const WidgetContext& GetContext() const { return m_Context; }
    int GetTickCounter() const { return m_nTickCounter; }
    FIXED_FLOAT GetOwnOpacity() const { return m_nOwnOpacity; }
    bool IsDestroyPending() const { return m_bDestroyPending; }
    // Set for a widget made from a record read for it alone: the destructor then deletes it.
    void SetOwnsRecord(bool owns) { m_bOwnsRecord = owns; }

protected:
    // The parent as a widget, or null when it is none.
    XWidget* ParentWidget() const;
    // Waiting for a delayed fade-in: pending and its start not reached.
    bool IsWaitingToFadeIn() const { return m_bFadeInPending && m_nTickCounter < m_nFadeInStart; }

    TTemplate* m_pTemplate;
    TWidget* m_pRecord;
    bool m_bOwnsRecord = false;
    WidgetContext m_Context;
    int m_nTickCounter = 0;
    FIXED_FLOAT m_nOwnOpacity = kOpacityFull;
    FIXED_FLOAT m_nTotalOpacity = kOpacityFull;
    bool m_bFadeInPending = false;
    int m_nFadeInStart = 0;
    FIXED_FLOAT m_nFadeInStep = 0;
    bool m_bFadeOutScheduled = false;
    int m_nFadeOutStart = 0;
    FIXED_FLOAT m_nFadeOutStep = 0;
    unsigned char m_AlignX = 0;  // 0 left or top, 1 centre, 2 right or bottom
    unsigned char m_AlignY = 0;
    unsigned char m_AlignXInParent = 0;
    unsigned char m_AlignYInParent = 0;
    bool m_bDestroyPending = false;
};
