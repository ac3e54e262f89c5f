#include "audio/iPhoneSoundSystem.h"

#include <mutex>
#include <new>

#include "audio/Sound.h"
#include "audio/SoundFX.h"
#include "audio/StreamingProvider.h"
#include "audio/StreamingProviderWAV.h"
#include "core/MemFile.h"

namespace {

int ClampPercent(int v) { return v < 0 ? 0 : (v > 100 ? 100 : v); }

}  // namespace

CiPhoneSoundSystem::CiPhoneSoundSystem(ISoundHost* game) : m_pGame(game) {
    for (int& owner : m_channelTable) owner = -1;
}

CiPhoneSoundSystem::~CiPhoneSoundSystem() { Shutdown(); }

int CiPhoneSoundSystem::Initialize() {
    // A set-up starts with empty slots. Effects and streams may have been loaded before the first
    // one (loads need no mixer), so the slots are freed, not merely cleared.
    Shutdown();
    m_mixer = new (std::nothrow) Sound;
    if (!m_mixer) return 0;
    m_outputRate = audio_config::kOutputRate;
    return m_mixer->open(audio_config::kOutputRate, 16, false, 1, 8) ? 1 : 0;
}

void CiPhoneSoundSystem::Shutdown() {
    // The mixer goes first: once its thread has stopped nothing reads the effects or streams.
    if (m_mixer) {
        m_mixer->close();
        delete m_mixer;
        m_mixer = nullptr;
    }
    for (int i = 0; i < audio_config::kEffectSlots; ++i) {
        delete m_effects[i];
        m_effects[i] = nullptr;
        DropEffectFile(i);
    }
    for (int& owner : m_channelTable) owner = -1;
    for (auto& stream : m_streams) {
        delete stream;
        stream = nullptr;
    }
    CStreamingProviderWAV::FreeSharedReadBlock();
}

SoundFX* CiPhoneSoundSystem::GetEffect(int id) const {
    return id >= 0 && id < audio_config::kEffectSlots ? m_effects[id] : nullptr;
}

CStreamingProvider* CiPhoneSoundSystem::GetStream(int id) const {
    return id >= 0 && id < audio_config::kStreamSlots ? m_streams[id] : nullptr;
}

int CiPhoneSoundSystem::GetChannelOwner(int channel) const {
    return channel >= 0 && channel < audio_config::kChannelTable ? m_channelTable[channel] : -1;
}

int CiPhoneSoundSystem::PlaySFX(int id, bool loop) {
    if (!m_soundOn || id < 0 || id >= audio_config::kEffectSlots || !m_effects[id] || !m_mixer) return -1;
    SoundFX* sfx = m_effects[id];
    const bool savedLoop = sfx->loop();
    sfx->loop(loop);
    const int channel = m_mixer->playSFX(sfx);
    sfx->loop(savedLoop);
    if (channel >= 0 && channel < audio_config::kChannelTable) m_channelTable[channel] = id;
    return channel;
}

void CiPhoneSoundSystem::StopSFX(int id, int channel) {
    if (!m_mixer || id < 0 || id >= audio_config::kEffectSlots) return;
    if (channel < 0) {
        for (int n = 0; n < audio_config::kChannelTable; ++n) {
            if (m_channelTable[n] == id && m_mixer->StopChannelNumber(n)) m_channelTable[n] = -1;
        }
    } else if (channel < audio_config::kChannelTable && m_channelTable[channel] == id) {
        if (m_mixer->StopChannelNumber(channel)) m_channelTable[channel] = -1;
    }
}

void CiPhoneSoundSystem::UnloadWAV(int id) {
    if (id < 0 || id >= audio_config::kEffectSlots || !m_mixer) return;
    StopSFX(id, -1);
    if (m_effects[id]) {
        // A voice may still read these bytes without being in the channel table (its entry was
        // overwritten by a later start on another effect's behalf); stop every reader first.
        m_mixer->StopChannelsPlaying(m_effects[id]->data());
        delete m_effects[id];
        m_effects[id] = nullptr;
    }
    DropEffectFile(id);
}

void CiPhoneSoundSystem::DropEffectFile(int slot) {
    if (!m_effectFiles[slot]) return;
    m_effectFiles[slot]->Close();
    delete m_effectFiles[slot];
    m_effectFiles[slot] = nullptr;
}

int CiPhoneSoundSystem::StopAll() {
    if (m_mixer) m_mixer->stopSFX();
    StopS3M(0);
    return 0;
}

void CiPhoneSoundSystem::SetVolume(int volume) {
    if (!m_mixer) return;
    m_effectVolume = ClampPercent(volume) * 64 / 100;
    m_mixer->volumeSFX(m_effectVolume);
}

int CiPhoneSoundSystem::GetVolume() { return m_mixer ? 100 * m_effectVolume / 64 : 100; }

void CiPhoneSoundSystem::SetMusicVolume(int volume) {
    if (!m_mixer) return;
    m_musicVolume = ClampPercent(volume) * 191 / 100;
    m_mixer->SetMusicVolume(m_musicVolume);
    // Under the lock: the audio thread reads the stream volume on every sample.
    std::lock_guard<std::mutex> lock(m_mixer->Lock());
    for (CStreamingProvider* stream : m_streams)
        if (stream) stream->SetVolume(static_cast<unsigned char>(m_musicVolume & 255));
}

int CiPhoneSoundSystem::GetMusicVolume() { return m_mixer ? 100 * m_musicVolume / 191 : 100; }

void CiPhoneSoundSystem::MusicON(bool on) {
    m_musicOn = on;
    if (!m_mixer) return;
    m_mixer->MusicON(on);
    if (on) return;
    std::lock_guard<std::mutex> lock(m_mixer->Lock());
    for (CStreamingProvider* stream : m_streams)
        if (stream) stream->Stop();
}

void CiPhoneSoundSystem::SetPaused(bool paused) {
    if (paused == m_paused || !m_mixer) return;
    if (paused) {
        m_mixer->suspend();
    } else {
        m_mixer->resume();
    }
    m_paused = paused;
}

int CiPhoneSoundSystem::GetSamplingRate() { return m_mixer ? m_outputRate : audio_config::kRateWithoutSound; }
