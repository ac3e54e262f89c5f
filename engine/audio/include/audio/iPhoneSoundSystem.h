// The device sound system: effects in 100 numbered slots, music streams in 256, the effect and
// music volumes and switches, and the pause of the output, over the software mixer (Sound).
// Game thread only; the mixer locks what its audio thread reads.
#pragma once

#include "audio/AudioConfig.h"
#include "audio/SoundSystem.h"

class ISoundHost;
class CMemoryFile;
class CStreamingProvider;
class Sound;
class SoundFX;

class CiPhoneSoundSystem : public ISoundSystem {
public:
    explicit CiPhoneSoundSystem(ISoundHost* game);
    CiPhoneSoundSystem(const CiPhoneSoundSystem&) = delete;
    CiPhoneSoundSystem& operator=(const CiPhoneSoundSystem&) = delete;
    ~CiPhoneSoundSystem() override;

    // Creates the mixer and opens it at 48000 Hz, 16-bit mono, 1 module and 8 effect channels.
    // Starts with empty slots: whatever was loaded before (a first set-up included) is freed.
    int Initialize() override;
    void Shutdown() override;
    int LoadWAV(const char* fileName) override;
    int PlaySFX(int id, bool loop) override;
    void StopSFX(int id, int channel) override;
    void UnloadWAV(int id) override;
    // Decodes a whole mono Ogg Vorbis file into a 16-bit effect; stereo files are refused.
    int LoadOGG(const char* fileName) override;
    int GetLength(int id) override { return 0; }
    int StopAll() override;
    void SetVolume(int volume) override;
    int GetVolume() override;
    void SetMusicVolume(int volume) override;
    int GetMusicVolume() override;
    void SoundON(bool on) override { m_soundOn = on; }
    void MusicON(bool on) override;
    void SetPaused(bool paused) override;
    int LoadS3M(const char*) override { return 0; }
    int PlayS3M(int, bool) override { return -1; }
    int StopS3M(int) override { return 0; }
    void UnloadS3M(int) override {}
    int LoadStream(const char* fileName) override;
    int PlayStream(int id, bool asSound, bool loop) override;
    int StopStream(int id) override;
    void UnloadStream(int id) override;
    int StopStreamWithFadeOut(int id, FIXED_FLOAT seconds) override;
    int PlayStreamWithFadeIn(int id, bool asSound, bool loop, FIXED_FLOAT seconds) override;
    int GetSamplingRate() override;
    void UpdateAudioTrackBuffer(void*, int) override {}

    // For tests and tools: the mixer (null before Initialize), the effect in a slot, the
    // provider in a stream slot, the effect id last started on a channel number.
    Sound* GetMixer() const { return m_mixer; }
    SoundFX* GetEffect(int id) const;
    CStreamingProvider* GetStream(int id) const;
    int GetChannelOwner(int channel) const;
    bool IsSoundOn() const { return m_soundOn; }
    bool IsMusicOn() const { return m_musicOn; }

protected:
    // Makes the provider for a stream name by its ending (.ogg/.OGG, .wav/.WAV), unloaded; null
    // for other endings. Tests override it to stream from memory.
    virtual CStreamingProvider* CreateStreamingProvider(const char* fileName);
    // Loads the provider's file; the real system reads the member from the paks.
    virtual bool LoadStreamingProvider(CStreamingProvider* provider, const char* fileName);

private:
    int FirstFreeEffectSlot() const;
    // Drops the slot's old file and opens fileName from the paks for it; null when it cannot.
    CMemoryFile* OpenEffectFile(int slot, const char* fileName);
    // Closes and deletes the memory file a slot's effect played from, if any.
    void DropEffectFile(int slot);
    // Parses an image the slot then owns through its memory file; -1 and nothing kept on failure.
    int AdoptEffectImage(int slot, CMemoryFile* file, void* image, int size);
    int PlayStreamAt(int id, bool asSound, bool loop, FIXED_FLOAT fadeIn);

    ISoundHost* m_pGame;
    Sound* m_mixer = nullptr;
    SoundFX* m_effects[audio_config::kEffectSlots] = {};
    CMemoryFile* m_effectFiles[audio_config::kEffectSlots] = {};
    int m_channelTable[audio_config::kChannelTable];
    CStreamingProvider* m_streams[audio_config::kStreamSlots] = {};
    int m_effectVolume = 100;  // the mixer's scale, 0..64
    int m_musicVolume = 100;   // the streams' scale, 0..191
    bool m_soundOn = false;
    bool m_musicOn = false;
    bool m_paused = false;
    int m_outputRate = 0;
};
