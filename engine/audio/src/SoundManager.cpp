#include "audio/SoundManager.h"

#include "audio/SoundHost.h"
#include "audio/SoundSystem.h"
#include "core/QuorvanUtils.h"

int g_cs_OGG_LoadedIndexes[kMusicTrackCount] = {-1, -1, -1, -1, -1, -1};

namespace {

ISoundSystem* SoundSystemOf(ISoundHost* game) { return game ? game->GetSoundSystem() : nullptr; }

bool Matches(const SoundFXData* entry, unsigned int hash, const char* name) {
    return entry && entry->nameHash == hash && entry->name.IsEqual(name);
}

}  // namespace

CSoundManager::CSoundManager(ISoundHost* game) : m_pGame(game) { m_table.growBy = 1; }

CSoundManager::~CSoundManager() {
    StopMusicTrackWithFadeOut(0);
    m_table.RemoveAll();
}

SoundFXData* CSoundManager::GetSoundFX(int index) {
    return index >= 0 && index < m_table.count ? m_table.data[index] : nullptr;
}

SoundFXData* CSoundManager::FindSoundFX(CommonString name) {
    if (name.Length() == 0) return nullptr;
    const unsigned int hash = GetHashCode(name.GetData());
    for (int i = 0; i < m_table.count; ++i)
        if (Matches(m_table.data[i], hash, name.GetData())) return m_table.data[i];
    return nullptr;
}

bool CSoundManager::AddReference(SoundFXData* entry) {
    ISoundSystem* sound = SoundSystemOf(m_pGame);
    if (!entry || !sound) return false;
    if (entry->refCount == 0) {
        entry->soundId = -1;
        if (entry->file.Length() > 0) {
            const CommonString path = m_pGame->GetSoundsDirectory() + entry->file;
            entry->soundId = sound->LoadWAV(path.GetData());
            if (entry->soundId == -1) return false;
        }
    }
    ++entry->refCount;
    return true;
}

bool CSoundManager::AddReference(int index) { return AddReference(GetSoundFX(index)); }

bool CSoundManager::AddReference(CommonString name) {
    SoundFXData* entry = FindSoundFX(name);
    return entry ? AddReference(entry) : false;
}

void CSoundManager::ReleaseReference(SoundFXData* entry) {
    ISoundSystem* sound = SoundSystemOf(m_pGame);
    if (!entry || !sound) return;
    if (--entry->refCount <= 0) {
        sound->UnloadWAV(entry->soundId);
        entry->refCount = 0;
        entry->soundId = -1;
    }
}

void CSoundManager::ReleaseReference(int index) { ReleaseReference(GetSoundFX(index)); }

void CSoundManager::ReleaseReference(CommonString name) { ReleaseReference(FindSoundFX(name)); }

bool CSoundManager::PlaySoundFX(const char* name, bool) {
    ISoundSystem* sound = SoundSystemOf(m_pGame);
    if (!sound || !m_pGame->IsSoundOn() || !name) return false;
    const unsigned int hash = GetHashCode(name);
    // From the last entry: a later block of the same name wins while it is loaded.
    for (int i = m_table.count - 1; i >= 0; --i) {
        SoundFXData* entry = m_table.data[i];
        if (Matches(entry, hash, name) && entry->soundId >= 0) return sound->PlaySFX(entry->soundId, false) >= 0;
    }
    return false;
}

void CSoundManager::PlaySoundFX(SoundFXData* entry) {
    ISoundSystem* sound = SoundSystemOf(m_pGame);
    if (!entry || !sound || !m_pGame->IsSoundOn() || entry->soundId < 0) return;
    sound->PlaySFX(entry->soundId, false);
}

void CSoundManager::PlaySoundFX(int index) { PlaySoundFX(GetSoundFX(index)); }

void CSoundManager::PlaySoundFXLooped(SoundFXData* entry) {
    ISoundSystem* sound = SoundSystemOf(m_pGame);
    if (!entry || !sound || !m_pGame->IsSoundOn()) return;
    sound->PlaySFX(entry->soundId, true);
}

void CSoundManager::PlaySoundFXLooped(int index) {
    SoundFXData* entry = GetSoundFX(index);
    if (entry) PlaySoundFXLooped(entry);
}

void CSoundManager::StopSoundFX(const char* name) {
    ISoundSystem* sound = SoundSystemOf(m_pGame);
    if (!sound || !name) return;
    const unsigned int hash = GetHashCode(name);
    for (int i = m_table.count - 1; i >= 0; --i) {
        SoundFXData* entry = m_table.data[i];
        if (Matches(entry, hash, name) && entry->soundId >= 0) sound->StopSFX(entry->soundId, -1);
    }
}

void CSoundManager::StopSoundFX(int index) {
    ISoundSystem* sound = SoundSystemOf(m_pGame);
    SoundFXData* entry = GetSoundFX(index);
    if (sound && entry && entry->soundId >= 0) sound->StopSFX(entry->soundId, -1);
}

int CSoundManager::StreamOfTrack(int track) const {
    return track >= 0 && track < kMusicTrackCount ? g_cs_OGG_LoadedIndexes[track] : -1;
}

void CSoundManager::PlayMusicTrack(int track, bool loop, FIXED_FLOAT fadeIn, FIXED_FLOAT fadeOut) {
    ISoundSystem* sound = SoundSystemOf(m_pGame);
    if (track == m_currentTrack || !sound) return;
    if (fadeOut != 0) {
        sound->StopStreamWithFadeOut(m_currentStream, fadeOut);
    } else {
        sound->StopStream(m_currentStream);
    }
    m_currentTrack = m_currentStream = -1;
    const int stream = StreamOfTrack(track);
    if (stream < 0 || !m_pGame->IsMusicOn()) return;
    m_currentStream = stream;
    if (fadeIn != 0) {
        sound->PlayStreamWithFadeIn(stream, false, loop, fadeIn);
    } else {
        sound->PlayStream(stream, false, loop);
    }
    m_currentTrack = track;
}

void CSoundManager::StopMusicTrackWithFadeOut(FIXED_FLOAT fadeOut) {
    ISoundSystem* sound = SoundSystemOf(m_pGame);
    if (m_currentTrack < 0 || !sound) return;
    if (fadeOut != 0) {
        sound->StopStreamWithFadeOut(m_currentStream, fadeOut);
    } else {
        sound->StopStream(m_currentStream);
    }
    m_currentTrack = m_currentStream = -1;
}

void CSoundManager::PlaySoundStream(int track, bool loop) {
    ISoundSystem* sound = SoundSystemOf(m_pGame);
    const int stream = StreamOfTrack(track);
    if (sound && stream >= 0 && m_pGame->IsSoundOn()) sound->PlayStream(stream, true, loop);
}

void CSoundManager::PlayMusicStream(int track, bool loop) {
    ISoundSystem* sound = SoundSystemOf(m_pGame);
    const int stream = StreamOfTrack(track);
    if (sound && stream >= 0 && m_pGame->IsMusicOn()) sound->PlayStream(stream, false, loop);
}

void CSoundManager::StopSoundStream(int track) {
    ISoundSystem* sound = SoundSystemOf(m_pGame);
    const int stream = StreamOfTrack(track);
    if (sound && stream >= 0) sound->StopStream(stream);
}

void CSoundManager::StopMusicStream(int track) { StopSoundStream(track); }
