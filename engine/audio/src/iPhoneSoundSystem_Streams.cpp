// Stream slots: music and long sounds played through the mixer's stream list.
#include <cstring>
#include <mutex>
#include <new>

#include "audio/Sound.h"
#include "audio/StreamingProviderOGG.h"
#include "audio/StreamingProviderWAV.h"
#include "audio/iPhoneSoundSystem.h"

CStreamingProvider* CiPhoneSoundSystem::CreateStreamingProvider(const char* fileName) {
    const std::size_t length = std::strlen(fileName);
    if (length < 4) return nullptr;
    const char* ending = fileName + length - 4;
    if (std::strcmp(ending, ".ogg") == 0 || std::strcmp(ending, ".OGG") == 0)
        return new (std::nothrow) CStreamingProviderOGG(m_pGame);
    if (std::strcmp(ending, ".wav") == 0 || std::strcmp(ending, ".WAV") == 0)
        return new (std::nothrow) CStreamingProviderWAV(m_pGame);
    return nullptr;
}

bool CiPhoneSoundSystem::LoadStreamingProvider(CStreamingProvider* provider, const char* fileName) {
    return provider->LoadStream(fileName);
}

int CiPhoneSoundSystem::LoadStream(const char* fileName) {
    if (!m_mixer || !fileName) return -1;
    int freeSlot = -1;
    for (int i = 0; i < audio_config::kStreamSlots; ++i) {
        if (!m_streams[i]) {
            if (freeSlot < 0) freeSlot = i;
        } else if (m_streams[i]->GetFileName() == CommonString(fileName)) {
            return i;
        }
    }
    if (freeSlot < 0) return -1;
    CStreamingProvider* provider = CreateStreamingProvider(fileName);
    if (!provider) return -1;
    if (!LoadStreamingProvider(provider, fileName)) {
        delete provider;
        return -1;
    }
    m_streams[freeSlot] = provider;
    return freeSlot;
}

int CiPhoneSoundSystem::PlayStreamAt(int id, bool asSound, bool loop, FIXED_FLOAT fadeIn) {
    CStreamingProvider* provider = GetStream(id);
    if (!provider || !m_mixer) return -1;
    if (asSound ? !m_soundOn : !m_musicOn) return -1;
    m_mixer->playMusicStreamingModule(provider, asSound ? m_effectVolume : m_musicVolume, loop, fadeIn);
    return 0;
}

int CiPhoneSoundSystem::PlayStream(int id, bool asSound, bool loop) { return PlayStreamAt(id, asSound, loop, 0); }

int CiPhoneSoundSystem::PlayStreamWithFadeIn(int id, bool asSound, bool loop, FIXED_FLOAT seconds) {
    return PlayStreamAt(id, asSound, loop, seconds);
}

int CiPhoneSoundSystem::StopStream(int id) {
    CStreamingProvider* provider = GetStream(id);
    if (!provider || !m_mixer) return -1;
    m_mixer->stopMusicStreamingModule(provider);
    return 0;
}

int CiPhoneSoundSystem::StopStreamWithFadeOut(int id, FIXED_FLOAT seconds) {
    CStreamingProvider* provider = GetStream(id);
    if (!provider || !m_mixer) return -1;
    std::lock_guard<std::mutex> lock(m_mixer->Lock());
    provider->StopWithFadeOut(seconds);
    return 0;
}

void CiPhoneSoundSystem::UnloadStream(int id) {
    CStreamingProvider* provider = GetStream(id);
    if (!provider) return;
    if (m_mixer) m_mixer->stopMusicStreamingModule(provider);
    provider->Unload();
    delete provider;
    m_streams[id] = nullptr;
}
