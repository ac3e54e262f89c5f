#include "EffectKit.h"

#include <algorithm>
#include <cmath>

namespace soundgen::kit {

namespace {

double Glide(double f0, double f1, double x) { return f1 > 0.0 ? f0 * std::pow(f1 / f0, x) : f0; }

// Linear attack, raised-cosine release into the end, optional exponential decay.
double Shape(double t, double seconds, double attack, double release, double tau) {
    double g = attack > 0.0 ? std::min(1.0, t / attack) : 1.0;
    const double left = seconds - t;
    if (release > 0.0 && left < release) g *= 0.5 - 0.5 * std::cos(kPi * std::max(0.0, left) / release);
    if (tau > 0.0) g *= ExpDecay(t, tau);
    return g;
}

// The sample range [first, first + count) a part starting at `start` for `seconds` covers,
// growing the sound when the part runs past its end.
std::size_t Reserve(Samples& s, double start, double seconds, std::size_t& count) {
    const std::size_t first = SamplesOf(start);
    count = SamplesOf(seconds);
    if (s.size() < first + count) s.resize(first + count, 0.0f);
    return first;
}

}  // namespace

Samples Silence(double seconds) { return Samples(SamplesOf(seconds), 0.0f); }

void AddTone(Samples& s, const TTone& tone) {
    std::size_t count = 0;
    const std::size_t first = Reserve(s, tone.start, tone.seconds, count);
    COscillator osc(tone.wave, tone.pulseWidth);
    CBiquad filter;
    if (tone.lowPassHz > 0.0) filter.SetLowPass(tone.lowPassHz, 0.7);
    for (std::size_t i = 0; i < count; ++i) {
        const double t = Seconds(i);
        double f = Glide(tone.f0, tone.f1, t / tone.seconds);
        if (tone.vibratoHz > 0.0) f *= 1.0 + tone.vibratoDepth * std::sin(2.0 * kPi * tone.vibratoHz * t);
        float v = osc.Next(f);
        if (tone.lowPassHz > 0.0) v = filter.Process(v);
        s[first + i] += static_cast<float>(tone.amp * v * Shape(t, tone.seconds, tone.attack, tone.release, tone.tau));
    }
}

void AddBell(Samples& s, double start, double hz, double amp, double tau) {
    const double seconds = std::min(3.0, tau * 7.0);
    // The overtones die faster than the fundamental, so the strike is bright and the tail pure.
    struct TPartial {
        double ratio, level, tauScale;
    };
    static constexpr TPartial kPartials[] = {{1.0, 1.0, 1.0}, {2.0, 0.2, 0.5}, {3.0, 0.3, 0.35}};
    for (const TPartial& p : kPartials)
        if (p.ratio * hz < 0.45 * kSampleRate)
            AddTone(s, {.start = start,
                        .seconds = seconds,
                        .f0 = p.ratio * hz,
                        .amp = p.level * amp,
                        .tau = tau * p.tauScale,
                        .attack = 0.001,
                        .release = seconds * 0.3});
}

void AddNoise(Samples& s, const TNoise& noise) {
    std::size_t count = 0;
    const std::size_t first = Reserve(s, noise.start, noise.seconds, count);
    CNoise source(noise.seed);
    CBiquad band;
    for (std::size_t i = 0; i < count; ++i) {
        const double t = Seconds(i);
        band.SetBandPass(Glide(noise.f0, noise.f1, t / noise.seconds), noise.q);
        const double v = band.Process(source.Next());
        s[first + i] +=
            static_cast<float>(noise.amp * v * Shape(t, noise.seconds, noise.attack, noise.release, noise.tau));
    }
}

void AddVoiced(Samples& s, const TVoiced& voiced) {
    std::size_t count = 0;
    const std::size_t first = Reserve(s, voiced.start, voiced.seconds, count);
    COscillator buzz(voiced.wave, voiced.pulseWidth);
    CNoise breath(voiced.seed);
    CBiquad bands[3];
    for (int k = 0; k < 3; ++k)
        if (voiced.formants[k].gain > 0.0) bands[k].SetBandPass(voiced.formants[k].hz, voiced.formants[k].q);
    for (std::size_t i = 0; i < count; ++i) {
        const double t = Seconds(i);
        double f = Glide(voiced.f0, voiced.f1, t / voiced.seconds);
        if (voiced.vibratoHz > 0.0) f *= 1.0 + voiced.vibratoDepth * std::sin(2.0 * kPi * voiced.vibratoHz * t);
        const auto source = static_cast<float>(buzz.Next(f) + voiced.breath * breath.Next());
        double v = 0.0;
        for (int k = 0; k < 3; ++k)
            if (voiced.formants[k].gain > 0.0) v += voiced.formants[k].gain * bands[k].Process(source);
        s[first + i] +=
            static_cast<float>(voiced.amp * v * Shape(t, voiced.seconds, voiced.attack, voiced.release, 0.0));
    }
}

void Finish(Samples& s, double peakDb, bool loop) {
    RemoveDc(s);
    if (!loop) FadeEdges(s, SamplesOf(0.005), SamplesOf(0.005));
    NormalisePeak(s, peakDb);
}

Samples Peep(int variant) {
    // A chick: a thin whistle sweeping up around 2.5 kHz, with a slight overshoot at the top.
    Samples s = Silence(0.13);
    const double lift = variant == 0 ? 1.0 : 1.08;
    AddTone(s, {.start = 0.0,
                .seconds = 0.12,
                .f0 = 2150.0 * lift,
                .f1 = 2950.0 * lift,
                .amp = 1.0,
                .attack = 0.012,
                .release = 0.05,
                .vibratoHz = 40.0,
                .vibratoDepth = 0.01});
    AddTone(s, {.start = 0.0,
                .seconds = 0.12,
                .f0 = 4300.0 * lift,
                .f1 = 5900.0 * lift,
                .amp = 0.08,
                .attack = 0.012,
                .release = 0.05});
    return s;
}

Samples Cluck(int bursts, double pitch, std::uint32_t seed) {
    // A hen: short throaty "buk"s, each falling in pitch, through a nasal formant pair.
    Samples s = Silence(0.02 + bursts * 0.085);
    for (int b = 0; b < bursts; ++b) {
        const double p = pitch * (b == bursts - 1 ? 0.92 : 1.0);
        AddVoiced(s, {.start = 0.01 + b * 0.085,
                      .seconds = 0.06,
                      .f0 = 340.0 * p,
                      .f1 = 230.0 * p,
                      .wave = EWave::Saw,
                      .breath = 0.5,
                      .amp = 1.0,
                      .attack = 0.004,
                      .release = 0.025,
                      .formants = {{1300.0 * p, 2.5, 1.0}, {850.0 * p, 3.0, 0.7}, {2600.0, 4.0, 0.2}},
                      .seed = seed + static_cast<std::uint32_t>(b)});
    }
    return s;
}

Samples Quack(double hz, double seconds, std::uint32_t seed) {
    // A duck: a buzzy square through a nasal "aa" formant, falling at the end.
    Samples s = Silence(seconds + 0.01);
    AddVoiced(s, {.start = 0.0,
                  .seconds = seconds,
                  .f0 = hz,
                  .f1 = hz * 0.82,
                  .wave = EWave::Square,
                  .pulseWidth = 0.3,
                  .breath = 0.15,
                  .amp = 1.0,
                  .attack = 0.012,
                  .release = 0.06,
                  .formants = {{900.0, 3.0, 1.0}, {1500.0, 4.0, 0.8}, {2800.0, 5.0, 0.25}},
                  .seed = seed});
    return s;
}

}  // namespace soundgen::kit
