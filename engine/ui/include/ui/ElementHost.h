// What the UI element tree asks of the game it belongs to. Every element keeps the host it was
// given or took from its parent (CXElement::GetGamePtr), and widgets reach the game's services
// through it: the pointer capture and key locks here, the back buffer and bitmaps (IRenderHost),
// sprite sets (ISpriteHost), files and paks (IFileHost), sounds (ISoundHost). The application
// object implements it; tests use a small fake. A null host means "no game": no capture, no key
// locks, nothing to draw into.
//
// New services the widgets need of the game (fonts, the style table, localised texts) are added
// here as further pure operations; the application object and the test fake are the only classes
// that then have to follow.
//
// Threads: main thread only.
#pragma once

#include <span>

#include "audio/SoundHost.h"
#include "core/CommonString.h"
#include "core/QuorvanArray.h"
#include "sprites/SpriteHost.h"

class CLocManager2;
class CQuorvanImageRotatorScaler;
class CSoundManager;
class CUILayout;
class CXElement;
struct CachedTemplate;
struct TWidgetMakerRow;

// The game's fixed texts that information text widgets show.
enum class EInfoText { Version, BuildDate, ShopLink, ShopLink2 };

class IElementHost : public virtual ISpriteHost, public virtual ISoundHost {
public:
    // The one pointer-capture element: while it is set every pointer event goes to it instead of
    // the hit-tested tree. Null when none.
    virtual void XSetCapture(CXElement* element) = 0;
    virtual void XReleaseCapture() = 0;
    virtual CXElement* XGetCapture() const = 0;
    // One lock flag per key code 0..31; codes outside are never locked.
    virtual void LockKey(int key) = 0;
    virtual void UnLockKey(int key) = 0;
    virtual bool IsKeyLocked(int key) = 0;
    virtual void UnLockKeys() = 0;
    // Whether the last key was the device's yes or no soft key (never, on this platform).
    virtual bool LastKeyCodeIsSmartphoneYes() = 0;
    virtual bool LastKeyCodeIsSmartphoneNo() = 0;
    // The style table whose text styles captions take; null while the game has none.
    virtual CUILayout* UILayout() = 0;
    // The localised texts of the current language; null while the game has none.
    virtual CLocManager2* GetLocManager() = 0;
    // One of the game's fixed texts.
    virtual CommonString GetInfoText(EInfoText which) = 0;
    // Where template files and the style file lie: the module directory + "ui\ui_iphone\".
    virtual CommonString GetUIDirectory() = 0;
    // The game-wide cache of parsed template files that cached screen roots share; the game
    // flushes it (ui/TemplateCache.h).
    virtual CQuorvanArray<CachedTemplate*>& TemplateCache() = 0;
    // The game's sound manager (button press sounds); null while the game has none.
    virtual CSoundManager* GetSoundManager() = 0;
    // The game's image rotator and scaler (buttons shrinking while pressed); null while none.
    virtual CQuorvanImageRotatorScaler* GetRotatorScaler() = 0;
    // The game's own widget classes for children of game dialogs, by record kind and id
    // (ui/WidgetMakers.h); the framework's rows apply to whatever these do not list.
    virtual std::span<const TWidgetMakerRow> GameDialogWidgetMakers() = 0;
    // Told of every widget whose OnInitWidget failed, just before it is deleted: its widget id
    // (empty for a widget without a record). The widget is dropped and its dialog goes on
    // without it, so this is the one trace the failure leaves.
    virtual void NoteWidgetInitFailed(const CommonString& id) = 0;

protected:
    ~IElementHost() = default;
};
