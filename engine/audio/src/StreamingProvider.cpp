#include "audio/StreamingProvider.h"

#include "PakMember.h"
#include "audio/AudioConfig.h"
#include "audio/SoundHost.h"
#include "audio/SoundSystem.h"

void CStreamingProvider::SetFadeIn(FIXED_FLOAT) {}

bool CStreamingProvider::LoadStream(const char* name) {
    Unload();
    IFile* file = OpenPakMember(m_pGame, name);
    if (!file) return false;
    return LoadStreamFromFile(file, name);
}

void CStreamingProvider::SetupRateAndStep() {
    ISoundSystem* sound = m_pGame ? m_pGame->GetSoundSystem() : nullptr;
    m_outputRate = sound ? sound->GetSamplingRate() : audio_config::kRateWithoutSound;
    if (m_outputRate <= 0) m_outputRate = audio_config::kRateWithoutSound;
    m_step = static_cast<int>((static_cast<std::int64_t>(m_sourceRate) * 256) / m_outputRate);
}

void CStreamingProvider::BeginFadeOut(FIXED_FLOAT seconds) {
    std::int64_t total = (static_cast<std::int64_t>(m_outputRate) * 256 * seconds) >> 16;
    if (total < 1) total = 1;
    m_fadeOutTotal = m_fadeOutRemaining = total;
    m_fadeOut = true;
}

void CStreamingProvider::BeginFadeIn(FIXED_FLOAT seconds) {
    m_fadeIn = true;
    std::int64_t total = (static_cast<std::int64_t>(m_outputRate) * 256 * seconds) >> 16;
    if (total < 0) total = 0;
    m_fadeInTotal = m_fadeInRemaining = total;
    if (m_fadeOut && m_fadeOutTotal > 0) {
        // Continue from the present loudness so the fade-in does not jump up first.
        const float heard = 1.0f - static_cast<float>(m_fadeOutRemaining) / static_cast<float>(m_fadeOutTotal);
        std::int64_t remaining = static_cast<std::int64_t>(static_cast<float>(total) * heard);
        if (remaining < 0) remaining = 0;
        if (remaining > total) remaining = total;
        m_fadeInRemaining = remaining;
        m_fadeOut = false;
        m_fadeOutTotal = m_fadeOutRemaining = 0;
    }
}

void CStreamingProvider::ClearFades() { m_fadeIn = m_fadeOut = false; }

int CStreamingProvider::NextGain() {
    if (m_fadeOut) {
        const int gain = static_cast<int>(m_volume * m_fadeOutRemaining / m_fadeOutTotal);
        if (m_fadeOutRemaining > 0) --m_fadeOutRemaining;
        return gain;
    }
    // A fade-in of no length would divide by zero; it simply plays at full volume.
    if (m_fadeIn && m_fadeInTotal > 0) {
        const int gain = static_cast<int>(m_volume * (m_fadeInTotal - m_fadeInRemaining) / m_fadeInTotal);
        if (m_fadeInRemaining > 0) --m_fadeInRemaining;
        return gain;
    }
    return m_volume;
}
