// MS-ADPCM: blocks of a small header (predictor, delta, two seed samples per channel) followed by
// 4-bit codes, each predicting from the last two samples with one of seven coefficient pairs.
#include <cstdlib>
#include <cstring>

#include "WavBytes.h"
#include "audio/AudioConfig.h"
#include "audio/SoundFX.h"

namespace {

// The published adaptation table of the format.
constexpr int kAdaptation[16] = {230, 230, 230, 230, 307, 409, 512, 614, 768, 614, 512, 409, 307, 230, 230, 230};

}  // namespace

int SoundFX::init_MSADPCM(const std::uint8_t* fmt, std::size_t fmtSize) {
    // Format fields (16), extra size (2), samples per block (2), pair count (2), 7 pairs (28).
    if (!fmt || fmtSize < 22 + 4 * kAdpcmCoefficientPairs) return -1;
    m_adpcmChannels = static_cast<int>(wav_bytes::Le16(fmt + 2));
    m_adpcmBlockAlign = static_cast<int>(wav_bytes::Le16(fmt + 12));
    m_samplesPerBlock = static_cast<int>(wav_bytes::Le16(fmt + 18));
    if (wav_bytes::Le16(fmt + 20) != kAdpcmCoefficientPairs) return -1;
    for (int i = 0; i < kAdpcmCoefficientPairs; ++i) {
        m_coefficients[i][0] = wav_bytes::Le16Signed(fmt + 22 + 4 * i);
        m_coefficients[i][1] = wav_bytes::Le16Signed(fmt + 24 + 4 * i);
    }
    return 0;
}

int SoundFX::nibble_MSADPCM(TMsAdpcmState& state, int nibble, const int coefficients[2]) {
    const int prediction = (state.sample1 * coefficients[0] + state.sample2 * coefficients[1]) / 256;
    const int signedNibble = nibble >= 8 ? nibble - 16 : nibble;
    int sample = prediction + static_cast<int>(state.delta) * signedNibble;
    if (sample > 32767) sample = 32767;
    if (sample < -32768) sample = -32768;
    state.sample2 = state.sample1;
    state.sample1 = sample;
    int delta = (kAdaptation[nibble & 15] * static_cast<int>(state.delta)) / 256;
    if (delta < 16) delta = 16;
    state.delta = static_cast<std::uint16_t>(delta);
    return sample;
}

int SoundFX::decode_MSADPCM(const std::uint8_t** data, std::size_t* size, bool freeSource) {
    const int channels = m_adpcmChannels;
    const int blockAlign = m_adpcmBlockAlign;
    const int perBlock = m_samplesPerBlock;
    if (channels < 1 || channels > 2 || blockAlign <= 0 || perBlock < 2) return -1;
    // The header and every code of a block must lie inside the block.
    const long long codeBytes = (static_cast<long long>(channels) * (perBlock - 2) + 1) / 2;
    if (7LL * channels + codeBytes > blockAlign) return -1;

    const std::size_t blocks = *size / static_cast<std::size_t>(blockAlign);
    const long long outBytes = static_cast<long long>(blocks) * perBlock * channels * 2;
    if (outBytes > audio_config::kMaxDecodedBytes) return -1;
    auto* out = static_cast<std::int16_t*>(std::malloc(outBytes > 0 ? static_cast<std::size_t>(outBytes) : 1));
    if (!out) return -1;

    const std::uint8_t* source = *data;
    std::int16_t* o = out;
    for (std::size_t b = 0; b < blocks; ++b) {
        const std::uint8_t* p = source + b * static_cast<std::size_t>(blockAlign);
        for (int c = 0; c < channels; ++c) {
            m_state[c].predictor = p[c];
            // A predictor index outside the seven pairs would read past the table.
            if (m_state[c].predictor >= kAdpcmCoefficientPairs) {
                std::free(out);
                return -1;
            }
        }
        p += channels;
        for (int c = 0; c < channels; ++c, p += 2) m_state[c].delta = static_cast<std::uint16_t>(wav_bytes::Le16(p));
        for (int c = 0; c < channels; ++c, p += 2) m_state[c].sample1 = wav_bytes::Le16Signed(p);
        for (int c = 0; c < channels; ++c, p += 2) m_state[c].sample2 = wav_bytes::Le16Signed(p);
        for (int c = 0; c < channels; ++c) *o++ = static_cast<std::int16_t>(m_state[c].sample2);
        for (int c = 0; c < channels; ++c) *o++ = static_cast<std::int16_t>(m_state[c].sample1);

        const int second = channels == 2 ? 1 : 0;
        const long long nibbles = static_cast<long long>(channels) * (perBlock - 2);
        for (long long n = 0; n < nibbles; n += 2, ++p) {
            const int high = *p >> 4;
            const int low = *p & 15;
            *o++ = static_cast<std::int16_t>(nibble_MSADPCM(m_state[0], high, m_coefficients[m_state[0].predictor]));
            if (n + 1 < nibbles)
                *o++ = static_cast<std::int16_t>(
                    nibble_MSADPCM(m_state[second], low, m_coefficients[m_state[second].predictor]));
        }
    }
    if (freeSource) std::free(const_cast<std::uint8_t*>(source));
    *data = reinterpret_cast<const std::uint8_t*>(out);
    *size = static_cast<std::size_t>(outBytes);
    return 0;
}
