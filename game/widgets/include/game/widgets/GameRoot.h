#pragma once
// The screen root of every game screen: the cached template root with the screen transition (a
// black curtain that covers the screen before it is left and uncovers the next one), the hand-over
// of the screen-switch message the game object parks in it while the curtain falls, the game's
// widget factory for children created directly under a screen, and the optional live post-effect
// (a large sun turning slowly, drawn additively over the screen).
//
// The game object (CTheGame) drives it: it parks a deferred switch message with StartEffectOut,
// calls RunEffectProgress before anything else of the screen every frame and runs the screen's own
// update only when that returned 0, and draws with DrawEffectProgress while a transition runs.
//
// Depends on: ui (cached root, dialogs, widget factories); the game object through IWidgetsHost
// (the screen-level factory rows, the delivery of the parked message). Main thread only.

#include "core/Common.h"
#include "ui/Root.h"

class CGameBase;
class IDibBitmap;

class XGameRoot : public XCachedTemplateRoot {
public:
    // A root under parent (the game object) with no transition and no post-effect.
    explicit XGameRoot(CXElement* parent);
    // Deletes the post-effect image, then the cached root.
    ~XGameRoot() override;

    // The children, then the post-effect's turn (0.25 degree a tick).
    void RunProcess() override;
    void Draw() override;
    // Builds the screen from its template, starts the transition in, and loads the post-effect
    // image when the screen asked for it: 1, or 0 when the build fails or the image is missing.
    int OnInitWidget() override;
    // The screen-level factory: game classes chosen by record kind and id (the host's rows,
    // IWidgetsHost::ScreenWidgetMakers), the dialog's own classes for the rest.
    XWidget* CreateAndInitChild(TWidget* record, const WidgetContext* placement) override;
    // Builds the screen from its root record; when that fails, the reason is noted (the template
    // cannot be read, has no such root record, or the root's widgets cannot be built).
    int InitRoot(const CommonString& file, const char* rootName) override;

    // Why the screen could not be built, for the one report the game object makes; the first
    // reason noted stands. Empty while nothing failed.
    void NoteFailure(const CommonString& why);
    const CommonString& GetFailure() const { return m_Failure; }
    // The root record the screen was built from (or tried to be).
    const CommonString& GetRootName() const { return m_RootName; }

    // In-effect on, out-effect off, progress 0.
    void StartEffectIn();
    // Progress 0, out-effect on, in-effect off, and the transition's sound.
    void StartEffectOut();
    // One tick of the running transition: 1 while one runs (its last tick included), 0 when none
    // does. The last tick of the transition out delivers the parked message, which normally
    // deletes this root: the caller must then touch nothing of it.
    int RunEffectProgress();
    // The screen, then the curtain of the running transition over it.
    void DrawEffectProgress();
    // The post-effect, when the screen shows one; screens call it from their own drawing.
    void DrawLivePostEffect();
    // Hands the parked message to the host (IWidgetsHost::DeliverScreenSwitch), which delivers it
    // at once or after loading the sprite sets the next screen needs. May delete this root.
    void CheckAndSendSavedMessage();

    bool IsEffectIn() const { return m_bEffectIn; }
    bool IsEffectOut() const { return m_bEffectOut; }
    bool IsTransitionRunning() const { return m_bEffectIn || m_bEffectOut; }
    int GetEffectProgress() const { return m_nEffectProgress; }
    FIXED_FLOAT GetLivePostEffectAngle() const { return m_nLivePostEffectAngle; }
    const IDibBitmap* GetLivePostEffectImage() const { return m_pLivePostEffectImage; }
    // The game this screen belongs to; null outside a game.
    CGameBase* GameBase() const;

protected:
    // Set by a screen's constructor, before initialisation, when it shows the post-effect.
    bool m_bLivePostEffect = false;

private:
    void DrawCurtain();

    CommonString m_RootName;
    CommonString m_Failure;
    bool m_bEffectIn = false;
    bool m_bEffectOut = false;
    int m_nEffectProgress = 0;                     // 0..255 out, 0..256 in
    IDibBitmap* m_pLivePostEffectImage = nullptr;  // owned
    FIXED_FLOAT m_nLivePostEffectAngle = 0;        // 0 <= angle < 360 degrees (24.8)
};

// The child as a game screen root (a widget that is a root of this class), or null.
XGameRoot* AsGameRoot(CXElement* element);
