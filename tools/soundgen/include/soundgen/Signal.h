// Whole-buffer operations on mono float sounds: mixing, measuring, levelling, fades and loop
// folding. A sound is a vector of samples at kSampleRate, nominally within -1..1.
#pragma once

#include <cstddef>
#include <vector>

namespace soundgen {

using Samples = std::vector<float>;

// Adds source x gain into target from `offset`, growing target as needed.
void MixInto(Samples& target, const Samples& source, std::size_t offset, float gain = 1.0f);
// Largest absolute sample (0 for an empty sound).
[[nodiscard]] float Peak(const Samples& s);
[[nodiscard]] double Rms(const Samples& s);
[[nodiscard]] double Mean(const Samples& s);
// 10^(db / 20).
[[nodiscard]] double DbToGain(double db);

void Scale(Samples& s, double gain);
// Scales the sound so its peak lies at `peakDb` dBFS; silence stays silence.
void NormalisePeak(Samples& s, double peakDb);
void RemoveDc(Samples& s);
// Raised-cosine fades over the first `inSamples` and the last `outSamples`: a one-shot then
// starts and ends at exactly 0, so it never clicks.
void FadeEdges(Samples& s, std::size_t inSamples, std::size_t outSamples);
// Adds every sample beyond `length` back onto the start, modulo length, and cuts the sound to
// `length`. A sound rendered once with all its tails (ringing notes, echoes) becomes the
// steady state of playing it in a loop, so the wrap from the end to the start is seamless.
void FoldIntoLoop(Samples& s, std::size_t length);

}  // namespace soundgen
