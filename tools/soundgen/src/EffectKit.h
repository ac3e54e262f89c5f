// Drawing tools for the effect recipes: tones with glides and decays, bells, filtered noise
// bursts and voiced (animal-like) calls, each added into a sound at a start time.
#pragma once

#include <cstdint>

#include "soundgen/Dsp.h"
#include "soundgen/Signal.h"

namespace soundgen::kit {

inline double Seconds(std::size_t i) { return static_cast<double>(i) / kSampleRate; }
[[nodiscard]] Samples Silence(double seconds);

// A tone whose pitch glides exponentially from f0 to f1 (f1 0: steady), with a linear attack,
// a raised-cosine release into its end and an optional exponential decay (tau 0: none).
struct TTone {
    double start = 0.0, seconds = 0.1;
    double f0 = 440.0, f1 = 0.0;
    double amp = 1.0, tau = 0.0;
    double attack = 0.002, release = 0.01;
    EWave wave = EWave::Sine;
    double pulseWidth = 0.5;
    double vibratoHz = 0.0, vibratoDepth = 0.0;  // depth as a fraction of the pitch
    double lowPassHz = 0.0;                      // 0: unfiltered
};
void AddTone(Samples& s, const TTone& tone);

// A bell: the fundamental with a soft octave and a third harmonic, decaying over tau seconds.
void AddBell(Samples& s, double start, double hz, double amp, double tau);

// Noise through a band-pass whose centre glides from f0 to f1, with an attack, a decay (tau 0:
// none) and a release into its end.
struct TNoise {
    double start = 0.0, seconds = 0.1;
    double f0 = 1000.0, f1 = 0.0, q = 1.0;
    double amp = 1.0, tau = 0.0;
    double attack = 0.002, release = 0.01;
    std::uint32_t seed = 1;
};
void AddNoise(Samples& s, const TNoise& noise);

// A voiced call: a buzz (with some breath noise) gliding from f0 to f1 through formant
// band-passes, like a throat and beak.
struct TFormant {
    double hz, q, gain;
};
struct TVoiced {
    double start = 0.0, seconds = 0.1;
    double f0 = 300.0, f1 = 0.0;
    EWave wave = EWave::Saw;
    double pulseWidth = 0.5;
    double breath = 0.1;
    double amp = 1.0;
    double attack = 0.005, release = 0.02;
    double vibratoHz = 0.0, vibratoDepth = 0.0;
    TFormant formants[3] = {{800.0, 3.0, 1.0}, {0.0, 1.0, 0.0}, {0.0, 1.0, 0.0}};
    std::uint32_t seed = 1;
};
void AddVoiced(Samples& s, const TVoiced& voiced);

// The shared finish: DC removed, 5 ms fades (one-shots), the peak set to peakDb.
void Finish(Samples& s, double peakDb, bool loop);

// Calls shared by the bird files and the start menu's taps.
[[nodiscard]] Samples Peep(int variant);
[[nodiscard]] Samples Cluck(int bursts, double pitch, std::uint32_t seed);
[[nodiscard]] Samples Quack(double hz, double seconds, std::uint32_t seed);

}  // namespace soundgen::kit
