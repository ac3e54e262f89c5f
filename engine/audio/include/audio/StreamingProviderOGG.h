// Plays an Ogg Vorbis member of the resource paks, decoding with Tremor on the audio thread a
// fragment at a time into a block allocated once at load.
#pragma once

#include <cstdint>
#include <vector>

#include "audio/StreamingProvider.h"

struct OggVorbis_File;

class CStreamingProviderOGG : public CStreamingProvider {
public:
    explicit CStreamingProviderOGG(ISoundHost* game) : CStreamingProvider(game) {}
    ~CStreamingProviderOGG() override;

    void UpdateBufferAdd(short* mix, int count) override;
    bool LoadStreamFromFile(IFile* file, const char* name) override;
    void Unload() override;
    void Start(bool loop) override;
    void Stop() override;
    void SetFadeIn(FIXED_FLOAT seconds) override;
    void StopWithFadeOut(FIXED_FLOAT seconds) override;
    void SetVolume(unsigned char volume) override { m_volume = volume; }
    CommonString GetFileName() override { return m_fileName; }

    int GetSourceRate() const { return m_sourceRate; }
    int GetChannels() const { return m_channels; }
    std::int64_t GetTotalFrames() const { return m_totalFrames; }
    std::size_t DecodeBlockBytes() const { return m_block.size(); }
    // Decodes the next block of a started stream as playing would, and drops it unmixed; returns
    // the bytes decoded, 0 at the end. Measures the decoder alone; playing is UpdateBufferAdd's.
    std::size_t DecodeNextBlock();

private:
    // Mixes decoded bytes from the read offset; returns the output samples written.
    int UpdateWithDecodedData(short* mix, int count);
    // Decodes behind the available bytes until `wanted` bytes are there or the block is full.
    void Decode(std::size_t wanted);
    void StopAndRewind();

    OggVorbis_File* m_decoder = nullptr;
    std::vector<std::uint8_t> m_block;
    // How the mix picks eight outputs at a time from a mono stream at this step (empty: one by one).
    std::vector<std::uint8_t> m_pickPatterns;
    std::size_t m_readOffset = 0;
    std::size_t m_available = 0;
    std::int64_t m_totalFrames = 0;
    // A non-looping stream reached its end while filling: it plays out what is decoded, then
    // stops, instead of dropping the rest of the block.
    bool m_endOfStream = false;
};
