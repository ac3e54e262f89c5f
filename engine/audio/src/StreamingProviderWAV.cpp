#include "audio/StreamingProviderWAV.h"

#include <cstdlib>
#include <cstring>

#include "WavBytes.h"
#include "WavFormat.h"
#include "audio/AudioConfig.h"
#include "core/File.h"

namespace {

// One read block for every WAV provider. Only the audio thread uses it, under the mixer lock;
// the sound system frees it at shutdown after the mixer has stopped.
std::uint8_t* g_readBlock = nullptr;
std::size_t g_readBlockSize = 0;

}  // namespace

void CStreamingProviderWAV::FreeSharedReadBlock() {
    std::free(g_readBlock);
    g_readBlock = nullptr;
    g_readBlockSize = 0;
}

CStreamingProviderWAV::~CStreamingProviderWAV() { Unload(); }

bool CStreamingProviderWAV::LoadStreamFromFile(IFile* file, const char* name) {
    Unload();
    if (!file) return false;
    m_file = file;
    const long size = m_file->GetSize();
    std::uint8_t riff[12];
    std::uint8_t header[8];
    // Enough of the fmt chunk to tell every coding apart (the extensible form needs 40 bytes).
    std::uint8_t fields[40];
    auto fail = [this]() {
        Unload();
        return false;
    };
    if (size < 36 || !m_file->Seek(0, FileSeek::Start) || m_file->ReadData(riff, 12) != 12 ||
        !wav_format::IsRiffWave(riff) || m_file->ReadData(header, 8) != 8 || std::memcmp(header, "fmt ", 4) != 0)
        return fail();
    const std::uint32_t fmtSize = wav_bytes::Le32(header + 4);
    if (fmtSize < 16 || fmtSize > static_cast<std::uint64_t>(size - 20)) return fail();
    const int fieldBytes = fmtSize < sizeof fields ? static_cast<int>(fmtSize) : static_cast<int>(sizeof fields);
    wav_format::TFormat format;
    // The stream reads samples as they lie in the file: only PCM can be played that way.
    if (m_file->ReadData(fields, fieldBytes) != fieldBytes ||
        !wav_format::DecodeFormat(fields, static_cast<std::size_t>(fieldBytes), format) ||
        format.coding != wav_format::ECoding::Pcm)
        return fail();
    m_channels = format.channels;
    m_sourceRate = format.rate;
    const int bits = format.bits;

    // Walk the chunks behind fmt, never past the end of the member.
    std::uint64_t pos = wav_format::NextChunk(12, fmtSize);
    while (true) {
        if (pos + 8 > static_cast<std::uint64_t>(size) || !m_file->Seek(static_cast<long>(pos), FileSeek::Start) ||
            m_file->ReadData(header, 8) != 8)
            return fail();
        const std::uint32_t chunkSize = wav_bytes::Le32(header + 4);
        if (std::memcmp(header, "data", 4) == 0) {
            m_dataStart = static_cast<long>(pos) + 8;
            m_dataEnd = chunkSize < static_cast<std::uint64_t>(size - m_dataStart)
                            ? m_dataStart + static_cast<long>(chunkSize)
                            : size;
            break;
        }
        pos = wav_format::NextChunk(pos, chunkSize);
    }
    m_8bit = bits == 8;
    m_position = m_dataStart;
    SetupRateAndStep();
    m_fileName = name;
    return true;
}

void CStreamingProviderWAV::Unload() {
    m_playing = m_loop = false;
    ClearFades();
    m_dataStart = m_dataEnd = m_position = 0;
    if (m_file) {
        m_file->Close();
        delete m_file;
        m_file = nullptr;
    }
}

void CStreamingProviderWAV::Start(bool loop) {
    if (!m_file) return;
    m_loop = loop;
    m_playing = true;
}

void CStreamingProviderWAV::Rewind() {
    m_position = m_dataStart;
    if (m_file) m_file->Seek(m_dataStart, FileSeek::Start);
}

void CStreamingProviderWAV::Stop() {
    m_playing = false;
    Rewind();
}

void CStreamingProviderWAV::SetFadeIn(FIXED_FLOAT seconds) {
    if (m_playing) BeginFadeIn(seconds);
}

void CStreamingProviderWAV::StopWithFadeOut(FIXED_FLOAT seconds) {
    if (m_playing) BeginFadeOut(seconds);
}

int CStreamingProviderWAV::ReadSamples(std::uint8_t* to, int bytes) {
    const long left = m_dataEnd - m_position;
    const int wanted = bytes < left ? bytes : static_cast<int>(left > 0 ? left : 0);
    if (wanted <= 0) return 0;
    if (!m_file->Seek(m_position, FileSeek::Start)) return 0;
    const int got = m_file->ReadData(to, wanted);
    if (got <= 0) return 0;
    m_position += got;
    return got;
}

void CStreamingProviderWAV::UpdateBufferAdd(short* mix, int count) {
    if (!m_file || !m_playing || count <= 0) return;
    const int sampleBytes = m_8bit ? 1 : 2;
    long long bytes = static_cast<long long>(m_channels) * count * sampleBytes;
    if (m_step != 256) bytes = (static_cast<long long>(m_step) * bytes) >> 8;
    // Whole samples only, so the last element read is never half a sample.
    bytes -= bytes % (static_cast<long long>(m_channels) * sampleBytes);
    if (bytes <= 0 || bytes > audio_config::kMaxDecodedBytes) return;

    if (g_readBlockSize < static_cast<std::size_t>(bytes)) {
        std::free(g_readBlock);
        g_readBlockSize = 0;
        g_readBlock = static_cast<std::uint8_t*>(std::malloc(static_cast<std::size_t>(bytes)));
        if (!g_readBlock) return;  // this fragment goes without the stream
        g_readBlockSize = static_cast<std::size_t>(bytes);
    }
    std::uint8_t* block = g_readBlock;
    const int want = static_cast<int>(bytes);
    int got = ReadSamples(block, want);
    if (got < want) {
        if (!m_loop) {
            std::memset(block + got, m_8bit ? 128 : 0, static_cast<std::size_t>(want - got));
            m_playing = false;
        } else {
            Rewind();
            got += ReadSamples(block + got, want - got);
            if (got < want) {
                m_playing = false;
                return;
            }
        }
    }
    if (FadeOutRanOut()) {
        m_playing = false;
        ClearFades();
        Rewind();
        return;
    }

    const long long elements = bytes / sampleBytes;
    const bool stereo = m_channels == 2;
    long long p = 0;
    for (int i = 0; i < count; ++i) {
        long long index = stereo ? (p >> 7) : (p >> 8);
        if (index >= elements) index = elements - 1;
        const int s = m_8bit ? (static_cast<int>(block[index]) - 128) * 256 : wav_bytes::Le16Signed(block + 2 * index);
        AddClamped(mix, i, NextGain(), s);
        p += m_step;
    }
}
