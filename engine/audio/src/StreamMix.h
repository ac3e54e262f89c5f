// Private to engine/audio: adding a decoded stream into the mix at a fixed step. Output i takes
// source sample (i x step) >> 8 (mono) or the left sample of frame (i x step) >> 8 (stereo), never
// past lastSample, scaled by gain / 128 and added with 16-bit saturation.
#pragma once

#include <cstdint>
#include <vector>

namespace audio_detail {

// For a step below one source sample per output (up-sampling), the byte shuffles that pick eight
// outputs from the eight samples after a position's whole part, one per position fraction
// (16 bytes each). Empty for other steps, which then pick sample by sample.
std::vector<std::uint8_t> BuildPickPatterns(int step);

// Adds n outputs at one gain, stepping from position 0; returns the position after the last.
// `patterns` comes from BuildPickPatterns(step) for a mono source, or is empty.
std::int64_t MixAtOneGain(short* mix, int n, const std::int16_t* source, std::int64_t lastSample, int step, int gain,
                          bool stereo, const std::vector<std::uint8_t>& patterns);

// The sample output position p takes.
inline int SampleAt(const std::int16_t* source, std::int64_t p, bool stereo, std::int64_t lastSample) {
    std::int64_t index = stereo ? (p >> 7) : (p >> 8);
    index = index < lastSample ? index : lastSample;
    if (stereo) index &= ~static_cast<std::int64_t>(1);
    return source[index];
}

}  // namespace audio_detail
