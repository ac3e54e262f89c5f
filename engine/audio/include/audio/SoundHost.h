// What the audio area asks of its owner, besides files (IFileHost): the sound system effects and
// streams play on, the player's sound and music switches, and where sound files lie. The
// application object implements it; tests use a small fake. A null host means "no game": nothing
// loads or plays.
//
// Threads: the game thread only; the audio thread never calls its host.
#pragma once

#include "core/CommonString.h"
#include "core/FileHost.h"

class ISoundSystem;

class ISoundHost : public virtual IFileHost {
public:
    // The device sound system; null when there is no sound.
    virtual ISoundSystem* GetSoundSystem() = 0;
    // Effects play only while this is true, music only while IsMusicOn is.
    virtual bool IsSoundOn() = 0;
    virtual bool IsMusicOn() = 0;
    // The directory the effect table's file names are relative to.
    virtual CommonString GetSoundsDirectory() = 0;

protected:
    ~ISoundHost() = default;
};
