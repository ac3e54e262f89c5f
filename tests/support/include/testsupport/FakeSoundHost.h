#pragma once
// The sound host of the audio tests: the file fake plus a sound system the test installs (deleted
// with the host, as the game deletes its own), the two switches and the sounds directory.

#include <string>

#include "audio/SoundHost.h"
#include "testsupport/FakeFileHost.h"

class CFakeSoundHost : public virtual ISoundHost, public virtual CFakeFileHost {
public:
    CFakeSoundHost() = default;
    // Deletes the sound system first, as the game does: its mixer thread may still read the host.
    ~CFakeSoundHost() override;

    ISoundSystem* GetSoundSystem() override { return m_pSoundSystem; }
    bool IsSoundOn() override { return m_bSoundOn; }
    bool IsMusicOn() override { return m_bMusicOn; }
    CommonString GetSoundsDirectory() override { return CommonString(m_SoundsDir.c_str()); }
    // The game's device sound system, made for this host; the caller installs or deletes it.
    ISoundSystem* CreateSoundSystemObject();

    ISoundSystem* m_pSoundSystem = nullptr;
    bool m_bSoundOn = true;
    bool m_bMusicOn = true;
    std::string m_SoundsDir = "Sound_BB\\";
};
