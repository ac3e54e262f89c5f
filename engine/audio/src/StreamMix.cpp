#include "StreamMix.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define COBBLE_PICK_WITH_SHUFFLES 1
#endif

namespace audio_detail {

namespace {

constexpr int kStrip = 256;  // outputs picked into a local block before they are added
constexpr int kGroup = 8;    // outputs per shuffle

// mix[i] = clamp(mix[i] + (gain x s[i] >> 7)) for n samples, eight at a time in 32-bit lanes (an
// AVX2 build is picked at load time on x86-64, where SSE2 alone has no 32-bit multiply or clamp).
#if defined(__x86_64__) && defined(__GNUC__) && !defined(COBBLE_NO_TARGET_CLONES)
__attribute__((target_clones("avx2", "default")))
#endif
void AddScaledClamped(short* mix, const std::int16_t* s, int n, int gain) {
    using VI16 = std::int16_t __attribute__((vector_size(16)));
    using VI32 = std::int32_t __attribute__((vector_size(32)));
    const VI32 lo = VI32{} - 32768, hi = VI32{} + 32767;
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        VI16 m, v;
        std::memcpy(&m, mix + i, sizeof m);
        std::memcpy(&v, s + i, sizeof v);
        VI32 sum = __builtin_convertvector(m, VI32) + ((__builtin_convertvector(v, VI32) * gain) >> 7);
        sum = sum < lo ? lo : sum;
        sum = sum > hi ? hi : sum;
        const VI16 out = __builtin_convertvector(sum, VI16);
        std::memcpy(mix + i, &out, sizeof out);
    }
    for (; i < n; ++i) mix[i] = static_cast<short>(std::clamp(mix[i] + ((gain * s[i]) >> 7), -32768, 32767));
}

#if COBBLE_PICK_WITH_SHUFFLES
bool HasByteShuffle() {
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
}

// Adds `groups` groups of eight mono outputs from position p on, each picked from the eight
// samples at p's whole part with a byte shuffle; the caller keeps every window inside the source.
// The 32-bit products come from the 16-bit multiply's low and high halves, and the signed
// saturating pack is the clamp.
__attribute__((target("ssse3"))) void AddGroups(short* mix, int groups, const std::int16_t* source, std::int64_t& p,
                                                int step, int gain, const std::uint8_t* patterns) {
    const std::int64_t advance = static_cast<std::int64_t>(kGroup) * step;
    const __m128i vGain = _mm_set1_epi16(static_cast<short>(gain));
    for (int g = 0; g < groups; ++g, p += advance) {
        const __m128i window = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + (p >> 8)));
        const __m128i pattern = _mm_loadu_si128(reinterpret_cast<const __m128i*>(patterns + (p & 255) * 16));
        const __m128i s = _mm_shuffle_epi8(window, pattern);
        const __m128i low = _mm_mullo_epi16(s, vGain), high = _mm_mulhi_epi16(s, vGain);
        const __m128i scaled0 = _mm_srai_epi32(_mm_unpacklo_epi16(low, high), 7);
        const __m128i scaled1 = _mm_srai_epi32(_mm_unpackhi_epi16(low, high), 7);
        auto* out = reinterpret_cast<__m128i*>(mix + g * kGroup);
        const __m128i m = _mm_loadu_si128(out);
        const __m128i m0 = _mm_srai_epi32(_mm_unpacklo_epi16(m, m), 16);
        const __m128i m1 = _mm_srai_epi32(_mm_unpackhi_epi16(m, m), 16);
        _mm_storeu_si128(out, _mm_packs_epi32(_mm_add_epi32(m0, scaled0), _mm_add_epi32(m1, scaled1)));
    }
}
#endif

}  // namespace

std::vector<std::uint8_t> BuildPickPatterns(int step) {
    std::vector<std::uint8_t> patterns;
#if COBBLE_PICK_WITH_SHUFFLES
    // Eight outputs at a step below 256 reach at most seven samples past the first.
    if (step <= 0 || step >= 256 || !HasByteShuffle()) return patterns;
    patterns.resize(256 * 16);
    for (int fraction = 0; fraction < 256; ++fraction) {
        for (int k = 0; k < kGroup; ++k) {
            const int offset = (fraction + k * step) >> 8;
            patterns[fraction * 16 + 2 * k] = static_cast<std::uint8_t>(2 * offset);
            patterns[fraction * 16 + 2 * k + 1] = static_cast<std::uint8_t>(2 * offset + 1);
        }
    }
#else
    (void)step;
#endif
    return patterns;
}

std::int64_t MixAtOneGain(short* mix, int n, const std::int16_t* source, std::int64_t lastSample, int step, int gain,
                          bool stereo, const std::vector<std::uint8_t>& patterns) {
    // Positions below groupLimit start a group whose eight-sample window stays in the source.
    const std::int64_t groupLimit = (lastSample - (kGroup - 1)) << 8;
    std::int16_t picked[kStrip];
    std::int64_t p = 0;
    int i0 = 0;
#if COBBLE_PICK_WITH_SHUFFLES
    if (!patterns.empty() && !stereo && step > 0 && gain <= 32767) {
        // Whole groups whose start stays below groupLimit.
        const std::int64_t startsLeft = p < groupLimit ? (groupLimit + kGroup * step - 1) / (kGroup * step) : 0;
        const int groups = static_cast<int>(std::min<std::int64_t>(n / kGroup, startsLeft));
        AddGroups(mix, groups, source, p, step, gain, patterns.data());
        i0 = groups * kGroup;
    }
#endif
    for (; i0 < n; i0 += kStrip) {
        const int m = std::min(kStrip, n - i0);
        for (int k = 0; k < m; ++k, p += step)
            picked[k] = static_cast<std::int16_t>(SampleAt(source, p, stereo, lastSample));
        AddScaledClamped(mix + i0, picked, m, gain);
    }
    return p;
}

}  // namespace audio_detail
