// The sound-system factory of the application object.
#include <new>

#include "app/GameBase.h"
#include "audio/iPhoneSoundSystem.h"

ISoundSystem* CGameBase::CreateSoundSystemObject() { return new (std::nothrow) CiPhoneSoundSystem(this); }
