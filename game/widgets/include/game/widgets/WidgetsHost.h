// What the game's shared widgets (the screen roots, the confirm-buy dialog) ask of the game object
// above them, beyond what every CGameBase serves (sprite sets, sounds, the rotator, localisation,
// the images folder) and what progression serves (the game's fonts through IProgressHost, the
// current profile through CurrentProfileOf). The game object implements it beside IElementHost;
// a widget finds it behind its element host (WidgetsHostOf), and under a host that does not
// implement it (a test's) does without. What a widget raises upward (a parked screen switch)
// goes through here too: it never names a screen.
//
// Threads: main thread only.
#pragma once

#include <span>

#include "core/CommonString.h"
#include "ui/WidgetMakers.h"

class CXElement;
class IElementHost;
struct TSavedMessage;

// What the confirm-buy dialog shows of an object of the yard's shop.
struct TShopItemFacts {
    CommonString nameId;      // the localisation key of its name; empty when it has none
    CommonString name;        // the plain name, shown when there is no key or no localisation
    int price = 0;            // coins it costs
    int sellPrice = 0;        // coins selling it brings back
    CommonString iconSprite;  // the shop icon's sprite set, drawn as it is; may be empty
    CommonString picture;     // the object's own sprite set, fitted into the dialog's frame
};

class IWidgetsHost {
public:
    // The game's classes for children made directly under a screen root, by record kind and id;
    // the first matching row wins, and a record no row takes is built as the dialog's own class.
    virtual std::span<const TWidgetMakerRow> ScreenWidgetMakers() = 0;
    // Delivers the screen-switch message a screen root parked while its curtain fell: at once, or
    // through the group loader when a round or the yard needs its sprite sets first. Normally
    // deletes every open screen, the sender among them.
    virtual void DeliverScreenSwitch(CXElement* sender, const TSavedMessage& message) = 0;
    // The facts of the shop's object of that name: false when the farm knows no such object or
    // is not made yet (out is then untouched).
    virtual bool FindShopItem(const CommonString& name, TShopItemFacts& out) = 0;

protected:
    ~IWidgetsHost() = default;
};

// The widgets' host behind an element host: null for null or for a host that is not one.
IWidgetsHost* WidgetsHostOf(IElementHost* host);
