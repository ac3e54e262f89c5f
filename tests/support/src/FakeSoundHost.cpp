#include "testsupport/FakeSoundHost.h"

#include <new>

#include "audio/iPhoneSoundSystem.h"

CFakeSoundHost::~CFakeSoundHost() {
    delete m_pSoundSystem;
    m_pSoundSystem = nullptr;
}

ISoundSystem* CFakeSoundHost::CreateSoundSystemObject() { return new (std::nothrow) CiPhoneSoundSystem(this); }
