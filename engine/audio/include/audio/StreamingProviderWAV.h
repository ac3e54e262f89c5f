// Plays the PCM samples of a WAV member of the resource paks, reading them while playing
// through one read block shared by every WAV provider.
#pragma once

#include <cstdint>

#include "audio/StreamingProvider.h"

class CStreamingProviderWAV : public CStreamingProvider {
public:
    explicit CStreamingProviderWAV(ISoundHost* game) : CStreamingProvider(game) {}
    ~CStreamingProviderWAV() override;

    void UpdateBufferAdd(short* mix, int count) override;
    // Accepts what the effect loader accepts but MS-ADPCM, for which it has no decoder: 8- or
    // 16-bit PCM (plain or extensible) with 1 or 2 channels, a sane rate and a data chunk.
    bool LoadStreamFromFile(IFile* file, const char* name) override;
    void Unload() override;
    void Start(bool loop) override;
    void Stop() override;
    void SetFadeIn(FIXED_FLOAT seconds) override;
    void StopWithFadeOut(FIXED_FLOAT seconds) override;
    void SetVolume(unsigned char volume) override { m_volume = volume; }
    CommonString GetFileName() override { return m_fileName; }

    bool Is8Bit() const { return m_8bit; }
    long DataStart() const { return m_dataStart; }
    long DataBytes() const { return m_dataEnd - m_dataStart; }

    // Frees the read block the WAV providers share; the sound system calls it at shutdown, after
    // the mixer has stopped.
    static void FreeSharedReadBlock();

private:
    // Reads up to `bytes` sample bytes, never past the data chunk; returns the count read.
    int ReadSamples(std::uint8_t* to, int bytes);
    void Rewind();

    bool m_8bit = false;
    long m_dataStart = 0;  // file position of the first sample
    long m_dataEnd = 0;    // file position just past the data chunk
    long m_position = 0;   // file position of the next sample byte
};
