#include "soundgen/Signal.h"

#include <algorithm>
#include <cmath>

#include "soundgen/Dsp.h"

namespace soundgen {

void MixInto(Samples& target, const Samples& source, std::size_t offset, float gain) {
    if (target.size() < offset + source.size()) target.resize(offset + source.size(), 0.0f);
    for (std::size_t i = 0; i < source.size(); ++i) target[offset + i] += source[i] * gain;
}

float Peak(const Samples& s) {
    float peak = 0.0f;
    for (float v : s) peak = std::max(peak, std::abs(v));
    return peak;
}

double Rms(const Samples& s) {
    if (s.empty()) return 0.0;
    double sum = 0.0;
    for (float v : s) sum += static_cast<double>(v) * v;
    return std::sqrt(sum / static_cast<double>(s.size()));
}

double Mean(const Samples& s) {
    if (s.empty()) return 0.0;
    double sum = 0.0;
    for (float v : s) sum += v;
    return sum / static_cast<double>(s.size());
}

double DbToGain(double db) { return std::pow(10.0, db / 20.0); }

void Scale(Samples& s, double gain) {
    for (float& v : s) v = static_cast<float>(v * gain);
}

void NormalisePeak(Samples& s, double peakDb) {
    const float peak = Peak(s);
    if (peak > 0.0f) Scale(s, DbToGain(peakDb) / peak);
}

void RemoveDc(Samples& s) {
    const auto mean = static_cast<float>(Mean(s));
    for (float& v : s) v -= mean;
}

void FadeEdges(Samples& s, std::size_t inSamples, std::size_t outSamples) {
    const std::size_t n = s.size();
    inSamples = std::min(inSamples, n);
    outSamples = std::min(outSamples, n);
    // Sample 0 of the fade-in and the last sample of the fade-out get a gain of exactly 0.
    for (std::size_t i = 0; i < inSamples; ++i)
        s[i] *= static_cast<float>(0.5 - 0.5 * std::cos(kPi * static_cast<double>(i) / inSamples));
    for (std::size_t i = 0; i < outSamples; ++i)
        s[n - 1 - i] *= static_cast<float>(0.5 - 0.5 * std::cos(kPi * static_cast<double>(i) / outSamples));
}

void FoldIntoLoop(Samples& s, std::size_t length) {
    if (length == 0) {
        s.clear();
        return;
    }
    for (std::size_t i = length; i < s.size(); ++i) s[i % length] += s[i];
    s.resize(length, 0.0f);
}

}  // namespace soundgen
