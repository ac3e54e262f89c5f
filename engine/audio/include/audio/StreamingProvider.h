// Streaming providers feed a long sound (the music) into the mixer a fragment at a time: they
// read their file while playing, step through it at the output rate with a fixed-point step,
// apply a volume (gain volume / 128) and fades, and add into the mixer's 16-bit mono mix block.
//
// Threads: UpdateBufferAdd runs on the audio thread under the mixer lock; Start, Stop,
// SetVolume, SetFadeIn and StopWithFadeOut run on the game thread under the same lock;
// LoadStream and Unload run on the game thread while the provider is not in the mixer's list.
#pragma once

#include <cstdint>

#include "core/Common.h"
#include "core/CommonString.h"

class ISoundHost;
class IFile;

class CStreamingProvider {
public:
    CStreamingProvider(const CStreamingProvider&) = delete;
    CStreamingProvider& operator=(const CStreamingProvider&) = delete;
    virtual ~CStreamingProvider() = default;

    // Adds up to count samples of the stream into mix (clamped to 16 bits).
    virtual void UpdateBufferAdd(short* mix, int count) = 0;
    // Opens `name` as a member of the resource paks and prepares to play: false on failure. Both
    // formats open the member the same way and hand it to LoadStreamFromFile.
    virtual bool LoadStream(const char* name);
    virtual void Unload() = 0;
    virtual void Start(bool loop) = 0;
    // Stops and rewinds.
    virtual void Stop() = 0;
    // Fades in over `seconds` (24.8 fixed point) while playing; the interface's own does nothing.
    virtual void SetFadeIn(FIXED_FLOAT seconds);
    virtual void StopWithFadeOut(FIXED_FLOAT seconds) = 0;
    // 128 adds samples unchanged; 191 (music at full volume) amplifies them by 191/128.
    virtual void SetVolume(unsigned char volume) = 0;
    virtual CommonString GetFileName() = 0;

    // Like LoadStream, over a file opened by the caller; the provider takes ownership of `file`
    // in every case (it is deleted on failure). `name` is kept as the file name.
    virtual bool LoadStreamFromFile(IFile* file, const char* name) = 0;

    bool IsPlaying() const { return m_playing; }
    bool IsLooping() const { return m_loop; }
    int GetStep() const { return m_step; }
    int GetOutputRate() const { return m_outputRate; }
    int GetVolume() const { return m_volume; }
    bool IsFadingIn() const { return m_fadeIn; }
    bool IsFadingOut() const { return m_fadeOut; }
    std::int64_t FadeInRemaining() const { return m_fadeInRemaining; }
    std::int64_t FadeOutRemaining() const { return m_fadeOutRemaining; }

protected:
    explicit CStreamingProvider(ISoundHost* game) : m_pGame(game) {}

    // Output rate from the game's sound system (22050 without one), then the step.
    void SetupRateAndStep();
    void BeginFadeOut(FIXED_FLOAT seconds);
    void BeginFadeIn(FIXED_FLOAT seconds);
    void ClearFades();
    // Gain of the next output sample (fades advance by one sample).
    int NextGain();
    // Whether NextGain changes from sample to sample; without a fade it is the volume.
    bool HasFade() const { return m_fadeOut || (m_fadeIn && m_fadeInTotal > 0); }
    bool FadeOutRanOut() const { return m_fadeOut && m_fadeOutRemaining <= 0; }
    static void AddClamped(short* mix, int i, int gain, int sample) {
        int v = mix[i] + ((gain * sample) >> 7);
        mix[i] = static_cast<short>(v > 32767 ? 32767 : (v < -32768 ? -32768 : v));
    }

    ISoundHost* m_pGame;
    IFile* m_file = nullptr;  // owned
    int m_sourceRate = 0;
    int m_channels = 1;
    int m_outputRate = 0;
    int m_step = 256;  // source frames per output sample, 8 fraction bits
    int m_volume = 0;
    bool m_loop = false;
    bool m_playing = false;
    bool m_fadeOut = false;
    std::int64_t m_fadeOutTotal = 0;
    std::int64_t m_fadeOutRemaining = 0;
    bool m_fadeIn = false;
    std::int64_t m_fadeInTotal = 0;
    std::int64_t m_fadeInRemaining = 0;
    CommonString m_fileName;
};
