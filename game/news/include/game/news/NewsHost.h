// What the news widgets ask of the game object that owns the news engine: the engine itself. The
// widgets reach it through their element host; the game object implements this interface beside
// IElementHost, and a widget under a host that does not (a test's) shows no news. The game's fonts
// come from the layer below (IProgressHost::GetGameFont).
//
// Threads: main thread only.
#pragma once

class CHollowfenNewsManager;
class IElementHost;

class INewsHost {
public:
    // The news engine with its feed, slideshow and fresh-news count; null before the loader has
    // made it.
    virtual CHollowfenNewsManager* GetNewsManager() = 0;

protected:
    ~INewsHost() = default;
};

// The news host behind an element host: null for null or for a host that is not one.
INewsHost* NewsHostOf(IElementHost* host);
