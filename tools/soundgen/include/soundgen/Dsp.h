// The synthesiser's building blocks: deterministic noise, band-limited oscillators, filters,
// envelopes, a plucked string and a small room reverb. Everything runs at one rate (22050 Hz,
// the only rate the game's mixer is fed) on float samples whose nominal range is -1..1.
// Pure C++, no engine dependency; each block is a value type with its own state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace soundgen {

inline constexpr int kSampleRate = 22050;
inline constexpr double kPi = 3.14159265358979323846;

// Frequency of a note number on the equal-tempered scale with A4 = 69 = 440 Hz.
[[nodiscard]] double NoteHz(double note);
// Whole samples in `seconds` at kSampleRate, rounded to the nearest.
[[nodiscard]] std::size_t SamplesOf(double seconds);

// Uniform white noise in -1..1 (xorshift32), the same sequence for the same seed.
class CNoise {
public:
    explicit CNoise(std::uint32_t seed);
    float Next();
    // Uniform in 0..1, for random choices (timing jitter, clap spacing).
    double NextUnit();

private:
    std::uint32_t m_state;
};

enum class EWave { Sine, Triangle, Saw, Square };

// A phase oscillator. Saw and square are band-limited with polynomial step corrections, so high
// notes do not alias into audible whistles; `pulseWidth` (0..1) shapes the square.
class COscillator {
public:
    explicit COscillator(EWave wave, double pulseWidth = 0.5) : m_wave(wave), m_width(pulseWidth) {}
    // The next sample at `hz` (may change every call, for slides and vibrato).
    float Next(double hz);
    void SetPhase(double phase01) { m_phase = phase01; }

private:
    EWave m_wave;
    double m_width;
    double m_phase = 0.0;
};

// A second-order section with the usual audio-cookbook designs. The band-pass has 0 dB gain at
// its centre. Coefficients can be redesigned between samples for sweeps; the state stays.
class CBiquad {
public:
    void SetLowPass(double hz, double q);
    void SetHighPass(double hz, double q);
    void SetBandPass(double hz, double q);
    float Process(float x);

private:
    void Set(double b0, double b1, double b2, double a0, double a1, double a2);
    double m_b0 = 1, m_b1 = 0, m_b2 = 0, m_a1 = 0, m_a2 = 0;
    double m_x1 = 0, m_x2 = 0, m_y1 = 0, m_y2 = 0;
};

// A one-pole smoother: the step response reaches 1 - 1/e after 1 / (2 pi hz) seconds.
class COnePole {
public:
    explicit COnePole(double hz = 1000.0) { SetCutoff(hz); }
    void SetCutoff(double hz);
    float LowPass(float x);
    // The input minus its low-passed part.
    float HighPass(float x) { return x - LowPass(x); }

private:
    double m_coefficient = 1.0;
    double m_state = 0.0;
};

// exp(-t / tau): the level of a free decay after t seconds.
[[nodiscard]] double ExpDecay(double t, double tau);

// Attack, decay to a sustain level, hold until `gateSeconds`, then release; linear attack,
// exponential-shaped decay and release that reach exactly 0 at gate + release.
struct TAdsr {
    double attack = 0.005;
    double decay = 0.1;
    double sustain = 0.7;
    double release = 0.08;
    [[nodiscard]] double At(double t, double gateSeconds) const;
};

// A Karplus-Strong plucked string tuned with a fractional all-pass delay, so its pitch is exact
// and not rounded to whole-sample loop lengths. `brightness` (0..1) sets how much of the
// excitation's top end survives; `decaySeconds` the time to fall by 60 dB.
class CPluck {
public:
    CPluck(double hz, double brightness, double decaySeconds, std::uint32_t seed);
    float Next();

private:
    std::vector<float> m_line;
    std::size_t m_pos = 0;
    double m_allpass = 0.0;  // fractional-delay coefficient
    double m_apIn = 0.0, m_apOut = 0.0;
    double m_loss = 0.0;  // per-period gain
    float m_last = 0.0f;
};

// A feedback comb: y[n] = x[n] + feedback * lowpass(y[n - delay]).
class CComb {
public:
    CComb(std::size_t delaySamples, double feedback, double damping);
    float Process(float x);

private:
    std::vector<float> m_line;
    std::size_t m_pos = 0;
    double m_feedback, m_damping, m_filtered = 0.0;
};

// A Schroeder all-pass: flat magnitude, smeared phase (diffuses echoes).
class CAllPass {
public:
    CAllPass(std::size_t delaySamples, double gain);
    float Process(float x);

private:
    std::vector<float> m_line;
    std::size_t m_pos = 0;
    double m_gain;
};

// A light room: four parallel combs into two all-passes. `size` (0..1) sets the decay time,
// `damping` (0..1) how fast the highs die. Returns the wet signal only.
class CReverb {
public:
    CReverb(double size, double damping);
    float Process(float x);

private:
    std::vector<CComb> m_combs;
    std::vector<CAllPass> m_allPasses;
};

}  // namespace soundgen
