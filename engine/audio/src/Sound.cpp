#include "audio/Sound.h"

#include <new>

#include "audio/AudioConfig.h"
#include "audio/SoundFX.h"
#include "audio/StreamingProvider.h"
#include "platform/Pcm.h"

Sound::Sound() = default;

Sound::~Sound() { close(); }

bool Sound::open(int rate, int bits, bool stereo, int moduleChannels, int effectChannels) {
    if (m_opened) return false;
    m_mixRate = (rate == 11025 || rate == 22050 || rate == 44100 || rate == 48000) ? rate : 22050;
    m_bits = bits;
    m_stereo = stereo;
    m_16bit = bits == 16;

    using namespace audio_config;
    const int mods = moduleChannels < kMinModuleChannels   ? kMinModuleChannels
                     : moduleChannels > kMaxModuleChannels ? kMaxModuleChannels
                                                           : moduleChannels;
    const int sfx = effectChannels < kMinEffectChannels   ? kMinEffectChannels
                    : effectChannels > kMaxEffectChannels ? kMaxEffectChannels
                                                          : effectChannels;
    try {
        // Reserved first: voices hold a reference to their pool's master volume and are never moved.
        m_moduleChannels.reserve(static_cast<std::size_t>(mods));
        m_sfxChannels.reserve(static_cast<std::size_t>(sfx));
        for (int i = 0; i < mods; ++i) m_moduleChannels.emplace_back(m_moduleMasterVolume);
        for (int i = 0; i < sfx; ++i) m_sfxChannels.emplace_back(m_sfxMasterVolume);
    } catch (const std::bad_alloc&) {
        m_moduleChannels.clear();
        m_sfxChannels.clear();
        return false;
    }
    m_moduleMasterVolume = m_sfxMasterVolume = kMaxVolume;

    if (!OpenDevice()) {
        m_moduleChannels.clear();
        m_sfxChannels.clear();
        return false;
    }

    // One mix position per output frame; for the 16-bit mono mix the game uses that is half a
    // fragment, one sample per frame.
    m_mixPositions = m_fragmentBytes / 4;
    const int mixBytes = m_mixPositions * (m_stereo ? 2 : 1) * (m_16bit ? 2 : 1);
    try {
        m_mixBlock.assign(static_cast<std::size_t>(mixBytes), m_16bit ? 0 : 128);
        m_sumL.assign(static_cast<std::size_t>(m_mixPositions), 0);
        m_sumR.assign(static_cast<std::size_t>(m_mixPositions), 0);
    } catch (const std::bad_alloc&) {
        CloseDevice();
        m_moduleChannels.clear();
        m_sfxChannels.clear();
        return false;
    }
    m_musicVolume = 0;
    m_musicOn = false;
    m_opened = true;
    StartThread();
    return true;
}

void Sound::close() {
    if (!m_opened) return;
    StopThread();
    CloseDevice();
    std::lock_guard<std::mutex> lock(m_lock);
    m_mixBlock.clear();
    m_sumL.clear();
    m_sumR.clear();
    m_moduleChannels.clear();
    m_sfxChannels.clear();
    m_opened = false;
}

void Sound::suspend() {
    if (!m_opened) return;
    StopThread();
    platform::PcmPlaybackDrain(m_pcm);
}

void Sound::resume() {
    if (m_opened && !m_thread.joinable()) StartThread();
}

void Sound::StartThread() {
    if (!m_threadEnabled || m_thread.joinable()) return;
    m_stopRequested.store(false, std::memory_order_release);
    m_thread = std::thread(&Sound::update, this);
}

// The thread is asked to stop and joined; it checks the flag only between fragments, outside
// the lock, so it can never be left holding the lock.
void Sound::StopThread() {
    if (!m_thread.joinable()) return;
    m_stopRequested.store(true, std::memory_order_release);
    m_thread.join();
}

int Sound::playSFX(SoundFX* sfx) {
    if (!m_opened || !sfx || !sfx->data()) return -1;
    std::lock_guard<std::mutex> lock(m_lock);
    const int count = static_cast<int>(m_sfxChannels.size());
    int freeChannel = -1;
    int samePlaying = 0;
    int shortest = 0;
    std::uint64_t shortestEnd = 0x0FFFFFFF;
    const bool unlimited = sfx->maxplaybacks() == -1;
    for (int i = 0; i < count; ++i) {
        SFXChannel& ch = m_sfxChannels[static_cast<std::size_t>(i)];
        const bool isFree = ch.stopped() && !ch.paused();
        if (isFree) {
            freeChannel = i;
            if (unlimited) break;
        } else if (ch.m_data == sfx->data()) {
            ++samePlaying;
        }
        if (ch.m_end < shortestEnd) {
            shortestEnd = ch.m_end;
            shortest = i;
        }
    }
    int taken;
    if (!unlimited && samePlaying >= sfx->maxplaybacks()) {
        taken = shortest;
    } else {
        taken = freeChannel >= 0 ? freeChannel : shortest;
    }

    SFXChannel& ch = m_sfxChannels[static_cast<std::size_t>(taken)];
    ch.m_baseFrequency = static_cast<unsigned>(sfx->rate());
    ch.m_data = sfx->data();
    ch.frequency(static_cast<unsigned>(sfx->frequency()));
    ch.speed(static_cast<unsigned>(sfx->speed()));
    ch.m_position = 0;
    ch.m_end = static_cast<std::uint64_t>(sfx->length()) * 256;
    ch.loop(sfx->loop());
    ch.pan(static_cast<unsigned>(sfx->pan()));
    ch.m_8bit = sfx->is8Bit();
    ch.m_dataChannels = sfx->channels();
    ch.volume(static_cast<unsigned>(sfx->volume()));
    ch.play();
    return taken + static_cast<int>(m_moduleChannels.size());
}

void Sound::stopSFX() {
    if (!m_opened) return;
    std::lock_guard<std::mutex> lock(m_lock);
    for (auto& ch : m_sfxChannels) ch.stop();
}

void Sound::pauseSFX() {
    if (!m_opened) return;
    std::lock_guard<std::mutex> lock(m_lock);
    for (auto& ch : m_sfxChannels) ch.pause();
}

void Sound::resumeSFX() {
    if (!m_opened) return;
    std::lock_guard<std::mutex> lock(m_lock);
    for (auto& ch : m_sfxChannels) ch.resume();
}

void Sound::StopChannel(int poolIndex) {
    if (!m_opened) return;
    std::lock_guard<std::mutex> lock(m_lock);
    if (poolIndex >= 0 && poolIndex < static_cast<int>(m_sfxChannels.size()))
        m_sfxChannels[static_cast<std::size_t>(poolIndex)].stop();
}

bool Sound::StopChannelNumber(int n) {
    if (!m_opened) return false;
    std::lock_guard<std::mutex> lock(m_lock);
    Channel* ch = channel(n);
    if (ch) ch->stop();
    return ch != nullptr;
}

void Sound::StopChannelsPlaying(const std::uint8_t* data) {
    if (!m_opened || !data) return;
    std::lock_guard<std::mutex> lock(m_lock);
    for (auto& ch : m_sfxChannels)
        if (ch.m_data == data) ch.stop();
}

// Taken under the lock (the phone wrote the word bare): the effective volumes it recomputes are
// read by the mix.
void Sound::volumeSFX(int v) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_sfxMasterVolume = (v >= 0 && v <= 63) ? v : 64;
    for (auto& ch : m_sfxChannels) ch.volume(ch.volume());
}

int Sound::playingChannelSFX() {
    std::lock_guard<std::mutex> lock(m_lock);
    int n = 0;
    for (const auto& ch : m_sfxChannels) n += ch.playing() ? 1 : 0;
    return n;
}

Channel* Sound::channel(int n) {
    const int mods = static_cast<int>(m_moduleChannels.size());
    const int sfx = static_cast<int>(m_sfxChannels.size());
    if (n < 0) return nullptr;
    if (n < mods) return &m_moduleChannels[static_cast<std::size_t>(n)];
    if (n < mods + sfx) return &m_sfxChannels[static_cast<std::size_t>(n - mods)];
    return nullptr;
}

void Sound::playMusicStreamingModule(CStreamingProvider* provider, int volume, bool loop, FIXED_FLOAT fadeIn) {
    if (!provider) return;
    std::lock_guard<std::mutex> lock(m_lock);
    bool active = false;
    for (int i = 0; i < m_activeStreams.count; ++i) active = active || m_activeStreams.data[i] == provider;
    if (active) {
        provider->Stop();
    } else if (!m_activeStreams.Add(provider)) {
        return;  // no room in the list: the stream cannot be mixed, so it is not started
    }
    provider->SetVolume(static_cast<unsigned char>(volume & 255));
    provider->Start(loop);
    if (fadeIn >= 1) provider->SetFadeIn(fadeIn);
}

void Sound::stopMusicStreamingModule(CStreamingProvider* provider) {
    if (!provider) return;
    std::lock_guard<std::mutex> lock(m_lock);
    provider->Stop();
    for (int i = 0; i < m_activeStreams.count; ++i) {
        if (m_activeStreams.data[i] == provider) {
            m_activeStreams.RemoveAt(i);
            break;
        }
    }
}
