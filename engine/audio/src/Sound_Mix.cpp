// The fragment mix: streams first, then the effect voices, then the copy to the device's
// stereo frames. Integer only; nothing is allocated here.
#include <algorithm>
#include <cstring>

#include "WavBytes.h"
#include "audio/Sound.h"
#include "audio/StreamingProvider.h"

namespace {

// Sample `index` of a voice's data: 8-bit unsigned or 16-bit little-endian signed.
template <bool Bits8>
int SampleAt(const std::uint8_t* data, std::uint64_t index) {
    if constexpr (Bits8) {
        return (static_cast<int>(data[index]) - 128) * 256;
    } else {
        return wav_bytes::Le16Signed(data + 2 * index);
    }
}

// `run` positions of one voice from its position on, none of them past its data's end: into the
// mono sums with weight e, or into both sums with weights left and right.
template <bool Bits8>
void MixRunOf(Channel& ch, int shift, int* sumL, int* sumR, int run, int left, int right, int e) {
    std::uint64_t position = ch.m_position;
    const std::uint64_t step = ch.m_step;
    const std::uint8_t* data = ch.m_data;
    if (sumR == nullptr) {
        for (int i = 0; i < run; ++i, position += step) sumL[i] += e * SampleAt<Bits8>(data, position >> shift);
    } else {
        for (int i = 0; i < run; ++i, position += step) {
            const int s = SampleAt<Bits8>(data, position >> shift);
            sumR[i] += right * s;
            sumL[i] += left * s;
        }
    }
    ch.m_position = position;
}

}  // namespace

void Sound::MixRun(Channel& ch, int shift, int* sumL, int* sumR, int run, int left, int right, int e) {
    if (ch.m_8bit) {
        MixRunOf<true>(ch, shift, sumL, sumR, run, left, right, e);
    } else {
        MixRunOf<false>(ch, shift, sumL, sumR, run, left, right, e);
    }
}

void Sound::UpdateAudioBuffer() {
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_mixBlock.empty()) return;
    if (m_16bit) {
        std::fill(m_mixBlock.begin(), m_mixBlock.end(), 0);
    } else {
        // Unsigned 8-bit samples are silent at 128.
        std::fill(m_mixBlock.begin(), m_mixBlock.end(), 128);
    }
    // Streams decode into 16-bit mono samples; other mix layouts carry effects only.
    if (m_16bit && !m_stereo) {
        auto* mix = reinterpret_cast<short*>(m_mixBlock.data());
        for (int i = 0; i < m_activeStreams.count; ++i) {
            CStreamingProvider* provider = m_activeStreams.data[i];
            if (provider->IsPlaying()) provider->UpdateBufferAdd(mix, static_cast<int>(m_mixBlock.size() / 2));
        }
    }
    MixEffects();
    FillOutput();
}

void Sound::MixEffects() {
    std::fill(m_sumL.begin(), m_sumL.end(), 0);
    if (m_stereo) std::fill(m_sumR.begin(), m_sumR.end(), 0);
    const int positions = m_mixPositions;
    // Voice by voice: each position's sums are plain integer additions, so the order of voices
    // does not change the result, and a voice's checks stay out of the inner loop's way.
    for (auto& ch : m_sfxChannels) {
        if (!ch.playing()) continue;
        if (ch.m_recompute) {
            ch.m_step = static_cast<std::uint32_t>((static_cast<std::uint64_t>(ch.frequency()) * 65536) /
                                                   (static_cast<std::uint64_t>(m_mixRate) * 256));
            ch.m_recompute = false;
        }
        const int shift = 9 - (ch.m_dataChannels == 2 ? 2 : 1);
        const int e = ch.effectiveVolume();
        const int pan = static_cast<int>(ch.pan());
        const int right = (pan * 2 * e) >> 8;
        const int left = 2 * e - right;
        int* sumL = m_sumL.data();
        int* sumR = m_stereo ? m_sumR.data() : nullptr;
        for (int i = 0; i < positions;) {
            if (ch.m_position >= ch.m_end) {
                if (ch.loop()) ch.m_position -= ch.m_end;
                if (ch.m_position >= ch.m_end || !ch.loop()) {
                    ch.stop();
                    break;
                }
            }
            // The positions before the data's end, mixed with no check of their own.
            const std::uint64_t step = ch.m_step;
            const std::uint64_t beforeEnd =
                step == 0 ? static_cast<std::uint64_t>(positions) : (ch.m_end - ch.m_position + step - 1) / step;
            const int run = static_cast<int>(std::min<std::uint64_t>(beforeEnd, static_cast<std::uint64_t>(positions - i)));
            MixRun(ch, shift, sumL + i, sumR ? sumR + i : nullptr, run, pan == 128 ? e : left, pan == 128 ? e : right,
                   e);
            i += run;
        }
    }

    auto clamp = [](int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); };
    const int lanes = m_stereo ? 2 : 1;
    if (m_16bit) {
        auto* mix = reinterpret_cast<std::int16_t*>(m_mixBlock.data());
        for (int i = 0; i < positions; ++i) {
            std::int16_t* at = mix + i * lanes;
            at[0] = static_cast<std::int16_t>(clamp(at[0] + (m_sumL[static_cast<std::size_t>(i)] >> 6), -32768, 32767));
            if (m_stereo)
                at[1] =
                    static_cast<std::int16_t>(clamp(at[1] + (m_sumR[static_cast<std::size_t>(i)] >> 6), -32768, 32767));
        }
    } else {
        std::uint8_t* mix = m_mixBlock.data();
        for (int i = 0; i < positions; ++i) {
            std::uint8_t* at = mix + i * lanes;
            at[0] = static_cast<std::uint8_t>(
                clamp(at[0] - 128 + (m_sumL[static_cast<std::size_t>(i)] >> 14), -128, 127) + 128);
            if (m_stereo)
                at[1] = static_cast<std::uint8_t>(
                    clamp(at[1] - 128 + (m_sumR[static_cast<std::size_t>(i)] >> 14), -128, 127) + 128);
        }
    }
}

void Sound::FillOutput() {
    const int frames = static_cast<int>(m_output.size() / 2);
    const int positions = std::min(frames, m_mixPositions);
    for (int i = 0; i < positions; ++i) {
        std::int16_t l, r;
        if (m_16bit) {
            std::int16_t pair[2];
            std::memcpy(pair, m_mixBlock.data() + static_cast<std::size_t>(i) * (m_stereo ? 4 : 2), m_stereo ? 4 : 2);
            l = pair[0];
            r = m_stereo ? pair[1] : pair[0];
        } else {
            const std::uint8_t* at = m_mixBlock.data() + static_cast<std::size_t>(i) * (m_stereo ? 2 : 1);
            l = static_cast<std::int16_t>((at[0] - 128) * 256);
            r = m_stereo ? static_cast<std::int16_t>((at[1] - 128) * 256) : l;
        }
        m_output[static_cast<std::size_t>(2 * i)] = l;
        m_output[static_cast<std::size_t>(2 * i + 1)] = r;
    }
}
