// What the two loader screens (the start-up loader and the group loader) ask of the game object
// whose resources they load, beyond what every CGameBase serves (sprite sets, sounds, the style
// table, the images and sounds folders, messages) and what the areas below them serve through
// their hosts. The game object implements it; a loader finds it behind its element
// (LoaderHostOf), so a test hands in a stand-in of its own.
//
// Threads: main thread only.
#pragma once

#include "core/CommonString.h"
#include "core/QuorvanArray.h"
#include "game/progress/GameFonts.h"

class CBitmapFontText;
class CFarmObject;
class CXElement;
struct FarmObjectDef;
struct YardDef;

class ILoaderHost {
public:
    // The start-up loader's steps: the frame rate (passed on to the particles), the other
    // sprite-set files (the one that failed named in failedFile), the music, one font record, the
    // game's named fonts after the last record (0 or false each on failure), and the font the
    // loader writes with kept as the game's font of that kind before the others are loaded.
    virtual void SetFpsControlCobblebrooks(int fps, bool a, bool b) = 0;
    virtual bool DefineSpriteSets_TheRest(CommonString* failedFile) = 0;
    virtual bool InitMusicStreams() = 0;
    virtual int LoadFont(int record) = 0;
    virtual int ReLoadFontsLastStep() = 0;
    virtual void KeepGameFont(EGameFont kind, CBitmapFontText* font) = 0;
    // Makes the managers of the start-up loader's step 1 to 6 that are not made yet (the award
    // banner; achievements and boosts; the farm and purchases; arenas and mini-quests; news; ads):
    // false, with what failed in failure and that manager not kept, when one cannot be made or
    // passes not its check.
    virtual bool MakeStartUpManagers(int step, CommonString& failure) = 0;
    // The group loader: whether the farm's sets are loaded; keeps of the farm object cache only
    // one object of each of that yard's definitions and lists the definitions it lacks, in the
    // yard's order; keeps a made object (deleted when the cache cannot grow); notes a group
    // ("gameplay", or "farm" for the current profile's yard) as loaded.
    virtual bool IsFarmGroupLoaded() = 0;
    virtual void KeepCachedObjectsOf(const YardDef& yard, CQuorvanArray<FarmObjectDef*>& missing) = 0;
    virtual void CacheFarmObject(CFarmObject* object) = 0;
    virtual void NoteGroupLoaded(const CommonString& group) = 0;

protected:
    ~ILoaderHost() = default;
};

// The loaders' host behind an element: null for null or an element under another kind of host.
ILoaderHost* LoaderHostOf(const CXElement* element);
