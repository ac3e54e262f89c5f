#include "audio/StreamingProviderOGG.h"

#include <tremor/ivorbisfile.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "OggFileCallbacks.h"
#include "StreamMix.h"
#include "audio/AudioConfig.h"
#include "core/File.h"

namespace {

// The largest mix request the mixer makes: one sample per frame of the largest fragment, with
// room to spare for callers that ask for more at once.
constexpr int kLargestRequestSamples = 2048;
// A damaged stream can report errors for ever; after this many reads without a byte the
// decoder gives up on this fill instead of holding the audio thread.
constexpr int kMaxFruitlessReads = 64;

}  // namespace

CStreamingProviderOGG::~CStreamingProviderOGG() { Unload(); }

bool CStreamingProviderOGG::LoadStreamFromFile(IFile* file, const char* name) {
    Unload();
    if (!file) return false;
    m_file = file;
    m_decoder = new (std::nothrow) OggVorbis_File;
    if (!m_decoder) {
        Unload();
        return false;
    }
    if (ov_open_callbacks(m_file, m_decoder, nullptr, 0, OggFileCallbacks()) < 0) {
        // A failed open has already cleared the decoder state.
        delete m_decoder;
        m_decoder = nullptr;
        Unload();
        return false;
    }
    m_totalFrames = ov_pcm_total(m_decoder, -1);
    vorbis_info* info = m_totalFrames > 0 && ov_raw_seek(m_decoder, 0) == 0 ? ov_info(m_decoder, -1) : nullptr;
    // The mix reads one or two interleaved channels only.
    if (!info || info->rate <= 0 || info->channels < 1 || info->channels > 2) {
        Unload();
        return false;
    }
    m_sourceRate = static_cast<int>(info->rate);
    m_channels = info->channels;
    SetupRateAndStep();
    m_pickPatterns = m_channels == 1 ? audio_detail::BuildPickPatterns(m_step) : std::vector<std::uint8_t>();
    // Room for the largest request plus one whole decode call, so a fill never needs to write
    // past the block whatever the step.
    const long long wanted = ((static_cast<long long>(kLargestRequestSamples) * m_step * m_channels) >> 8) * 4;
    const long long bytes = ((wanted + audio_config::kOggReadBytes) + 1) & ~1LL;
    if (bytes > audio_config::kMaxDecodedBytes) {
        Unload();
        return false;
    }
    try {
        m_block.assign(static_cast<std::size_t>(bytes), 0);
    } catch (const std::bad_alloc&) {
        Unload();
        return false;
    }
    m_readOffset = m_available = 0;
    m_fileName = name;
    return true;
}

void CStreamingProviderOGG::Unload() {
    m_playing = m_loop = m_endOfStream = false;
    m_readOffset = m_available = 0;
    if (m_decoder) {
        ov_clear(m_decoder);
        delete m_decoder;
        m_decoder = nullptr;
    }
    if (m_file) {
        m_file->Close();
        delete m_file;
        m_file = nullptr;
    }
    m_block.clear();
    m_block.shrink_to_fit();
    m_pickPatterns.clear();
}

void CStreamingProviderOGG::Start(bool loop) {
    if (!m_file || !m_decoder || m_block.empty()) return;
    m_loop = loop;
    m_playing = true;
}

void CStreamingProviderOGG::Stop() {
    m_playing = false;
    m_endOfStream = false;
    if (m_decoder) ov_raw_seek(m_decoder, 0);
}

void CStreamingProviderOGG::StopAndRewind() {
    m_playing = false;
    m_endOfStream = false;
    ClearFades();
    if (m_decoder) ov_raw_seek(m_decoder, 0);
}

void CStreamingProviderOGG::SetFadeIn(FIXED_FLOAT seconds) {
    if (m_playing) BeginFadeIn(seconds);
}

void CStreamingProviderOGG::StopWithFadeOut(FIXED_FLOAT seconds) {
    if (m_playing) BeginFadeOut(seconds);
}

void CStreamingProviderOGG::Decode(std::size_t wanted) {
    wanted = std::min(wanted, m_block.size());
    int fruitless = 0;
    bool justRewound = false;  // nothing decoded since this fill rewound the stream
    while (m_available < wanted) {
        // Each call is held to the room left, so it can never write past the block.
        const std::size_t room = m_block.size() - m_available;
        const int length = static_cast<int>(std::min<std::size_t>(room, audio_config::kOggReadBytes));
        if (length <= 0) break;
        int bitstream = 0;
        const long got = ov_read(m_decoder, reinterpret_cast<char*>(m_block.data() + m_available), length, &bitstream);
        if (got > 0) {
            m_available += static_cast<std::size_t>(got);
            fruitless = 0;
            justRewound = false;
        } else if (got == 0) {
            ov_raw_seek(m_decoder, 0);
            // A looping stream that yields nothing from its start would loop for ever.
            if (!m_loop || justRewound) {
                m_endOfStream = true;
                break;
            }
            justRewound = true;
        } else if (++fruitless >= kMaxFruitlessReads) {
            break;
        }
    }
}

int CStreamingProviderOGG::UpdateWithDecodedData(short* mix, int count) {
    if (count <= 0 || m_available < 2) return 0;
    const bool stereo = m_channels == 2;
    std::size_t firstSample = m_readOffset / 2;
    if (stereo) firstSample &= ~static_cast<std::size_t>(1);
    const auto* source = reinterpret_cast<const std::int16_t*>(m_block.data()) + firstSample;
    const std::int64_t available = static_cast<std::int64_t>(m_available);
    const std::int64_t lastSample = available / 2 - 1;
    // Position p (source samples, 8 fraction bits) has consumed (p >> 7) bytes of a mono block,
    // ((p >> 7) << 1) of a stereo one. The mix stops after the output whose next position has
    // consumed the whole block: the first n with n x step reaching `need`. Knowing n up front
    // leaves the loop below with no test but its count.
    const std::int64_t need = stereo ? 128 * ((available + 1) / 2) : 128 * available;
    const int written =
        m_step > 0 ? static_cast<int>(std::min<std::int64_t>(count, (need + m_step - 1) / m_step)) : count;
    std::int64_t p = 0;
    if (HasFade()) {
        for (int i = 0; i < written; ++i, p += m_step)
            AddClamped(mix, i, NextGain(), audio_detail::SampleAt(source, p, stereo, lastSample));
    } else {
        p = audio_detail::MixAtOneGain(mix, written, source, lastSample, m_step, m_volume, stereo, m_pickPatterns);
    }
    const std::int64_t consumed = stereo ? ((p >> 7) << 1) : (p >> 7);
    const std::size_t used = static_cast<std::size_t>(std::min(consumed, available));
    m_readOffset += used;
    m_available -= used;
    return written;
}

std::size_t CStreamingProviderOGG::DecodeNextBlock() {
    if (!m_file || !m_decoder || m_block.empty() || !m_playing || m_endOfStream) return 0;
    m_readOffset = m_available = 0;
    Decode(m_block.size());
    const std::size_t decoded = m_available;
    m_readOffset = m_available = 0;
    return decoded;
}

void CStreamingProviderOGG::UpdateBufferAdd(short* mix, int count) {
    if (!m_file || !m_decoder || m_block.empty() || !m_playing || count <= 0) return;
    if (m_available > 0) {
        const int written = UpdateWithDecodedData(mix, count);
        if (FadeOutRanOut()) {
            StopAndRewind();
            return;
        }
        if (m_available > 0 && written >= count) return;
        mix += written;
        count -= written;
        m_readOffset = m_available = 0;
    }
    if (count > 0 && !m_endOfStream) {
        m_readOffset = 0;
        const std::size_t wanted =
            static_cast<std::size_t>(((static_cast<std::int64_t>(count) * m_step * m_channels) >> 8) * 4);
        Decode(wanted);
        UpdateWithDecodedData(mix, count);
        if (FadeOutRanOut()) {
            StopAndRewind();
            return;
        }
    }
    if (m_endOfStream && m_available == 0) {
        // The decoder was rewound when the end was met; the next Start plays from the beginning.
        m_playing = false;
        m_endOfStream = false;
    }
}
