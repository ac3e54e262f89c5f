// The software mixer. It owns the playback device (platform/Pcm.h), two pools of voices
// (module channels, then effect channels), the list of active music streams and its audio
// thread, which mixes one device fragment at a time and writes it to the device.
//
// Threads: the game thread calls everything here; the audio thread runs update(). One mutex,
// m_lock, guards the voices, the active-stream list, the mix block and the master volumes; the
// audio thread holds it for a whole fragment mix, the game thread for each start, stop or
// pause. The device write happens outside it. The mutex lives as long as the mixer.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/Channel.h"
#include "core/Common.h"
#include "core/QuorvanArray.h"

class SoundFX;
class CStreamingProvider;
namespace platform {
struct TPcmHandle;
struct TPcmMixerHandle;
}  // namespace platform

class Sound {
public:
    Sound();
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;
    ~Sound();

    // Sets the mixer up, opens the device and starts the audio thread. Rates other than 11025,
    // 22050, 44100 and 48000 mix at 22050; module channels are held to 1..3, effect channels to
    // 8..64. False when already open or when the device cannot be set up (the reason is printed).
    bool open(int rate, int bits, bool stereo, int moduleChannels, int effectChannels);
    // Stops the audio thread, drains and closes the device and frees the pools.
    void close();
    // Stops the audio thread and drains the device; resume starts the thread again.
    void suspend();
    void resume();

    // Starts an effect on a voice: the channel number (module channels count first), or -1 when
    // the mixer is not open or the effect has no data.
    int playSFX(SoundFX* sfx);
    void stopSFX();
    void pauseSFX();
    void resumeSFX();
    // Stops effect voice `poolIndex` (an index into the effect pool, not a channel number).
    void StopChannel(int poolIndex);
    // Stops the voice with channel number n (module channels count first); false when n names
    // no voice.
    bool StopChannelNumber(int n);
    // Stops every voice reading `data`, so the bytes can be released afterwards.
    void StopChannelsPlaying(const std::uint8_t* data);
    // Effect master volume: v in 0..63 is kept, anything else gives 64.
    void volumeSFX(int v);
    int volumeSFX() const { return m_sfxMasterVolume; }
    int maxChannelSFX() const { return static_cast<int>(m_sfxChannels.size()); }
    int playingChannelSFX();

    // Plays a stream (restarting it when already active) at `volume` & 255, fading in over
    // fadeIn seconds when that is at least 1/256 s. Null is ignored.
    void playMusicStreamingModule(CStreamingProvider* provider, int volume, bool loop, FIXED_FLOAT fadeIn);
    // Stops and rewinds a stream and takes it out of the active list.
    void stopMusicStreamingModule(CStreamingProvider* provider);
    // Stored only; the mix does not read them.
    void SetMusicVolume(int v) { m_musicVolume = v; }
    int GetMusicVolume() const { return m_musicVolume; }
    void MusicON(bool on) { m_musicOn = on; }
    bool IsMusicOn() const { return m_musicOn; }
    void UpdateAudioType() {}

    // The voice with channel number n, or null outside the pools. Game thread, under Lock() when
    // the thread runs.
    Channel* channel(int n);

    static std::uint16_t btol16(std::uint16_t v) { return static_cast<std::uint16_t>((v >> 8) | (v << 8)); }
    static std::uint32_t btol32(std::uint32_t v) {
        return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
    }

    // The lock of the mix, for callers that change stream state directly (the sound system).
    std::mutex& Lock() { return m_lock; }

    // Mixes one fragment into the output block, under the lock. The audio thread calls it; with
    // the thread disabled (SetAudioThreadEnabled(false) before open) tests call it by hand.
    void UpdateAudioBuffer();
    void SetAudioThreadEnabled(bool enabled) { m_threadEnabled = enabled; }
    bool IsThreadRunning() const { return m_thread.joinable(); }
    bool IsOpened() const { return m_opened; }
    int MixRate() const { return m_mixRate; }
    int FragmentBytes() const { return m_fragmentBytes; }
    int DeviceRate() const { return m_deviceRate; }
    // The last mixed fragment: FragmentBytes() / 4 stereo frames of 16-bit samples.
    const std::int16_t* OutputBlock() const { return m_output.data(); }
    int ActiveStreamCount() const { return m_activeStreams.count; }
    CStreamingProvider* ActiveStream(int i) const { return m_activeStreams.data[i]; }

private:
    bool OpenDevice();
    void CloseDevice();
    void StartThread();
    void StopThread();
    void update();
    void MixEffects();
    // Mixes `run` positions of a voice that all lie before its data's end and moves it on.
    static void MixRun(Channel& ch, int shift, int* sumL, int* sumR, int run, int left, int right, int e);
    void FillOutput();

    std::mutex m_lock;
    std::thread m_thread;
    std::atomic<bool> m_stopRequested{false};
    bool m_threadEnabled = true;

    platform::TPcmHandle* m_pcm = nullptr;
    platform::TPcmMixerHandle* m_mixer = nullptr;
    int m_card = 0;
    int m_fragmentBytes = 0;
    int m_deviceRate = 0;
    std::vector<std::int16_t> m_output;  // one fragment of 16-bit stereo frames

    bool m_opened = false;
    int m_mixRate = 0;
    int m_bits = 16;
    bool m_stereo = false;
    bool m_16bit = true;

    // Guarded by m_lock.
    int m_moduleMasterVolume = 64;
    int m_sfxMasterVolume = 64;
    std::vector<ModChannel> m_moduleChannels;
    std::vector<SFXChannel> m_sfxChannels;
    std::vector<std::uint8_t> m_mixBlock;  // one position per output frame
    int m_mixPositions = 0;
    std::vector<std::int32_t> m_sumL;  // per-position effect sums of one fragment
    std::vector<std::int32_t> m_sumR;
    CQuorvanArray<CStreamingProvider*> m_activeStreams;

    std::atomic<int> m_musicVolume{0};
    std::atomic<bool> m_musicOn{false};
};
