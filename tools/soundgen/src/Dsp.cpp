#include "soundgen/Dsp.h"

#include <algorithm>
#include <cmath>

namespace soundgen {

namespace {

// Polynomial band-limited step: the correction a naive waveform needs within one sample of a
// unit jump at phase 0 (t is the phase, dt the phase increment per sample).
double PolyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

double ClampHz(double hz) { return std::clamp(hz, 1.0, 0.49 * kSampleRate); }

}  // namespace

double NoteHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

std::size_t SamplesOf(double seconds) {
    return seconds <= 0.0 ? 0 : static_cast<std::size_t>(std::llround(seconds * kSampleRate));
}

CNoise::CNoise(std::uint32_t seed) : m_state(seed != 0 ? seed : 0x9E3779B9u) {}

float CNoise::Next() { return static_cast<float>(NextUnit() * 2.0 - 1.0); }

double CNoise::NextUnit() {
    m_state ^= m_state << 13;
    m_state ^= m_state >> 17;
    m_state ^= m_state << 5;
    return static_cast<double>(m_state) / 4294967296.0;
}

float COscillator::Next(double hz) {
    const double dt = std::clamp(hz / kSampleRate, 0.0, 0.5);
    const double p = m_phase;
    double v = 0.0;
    switch (m_wave) {
        case EWave::Sine:
            v = std::sin(2.0 * kPi * p);
            break;
        case EWave::Triangle:
            // Starts at 0 rising, like the sine, so a note begins without a jump.
            v = p < 0.25 ? 4.0 * p : (p < 0.75 ? 2.0 - 4.0 * p : 4.0 * p - 4.0);
            break;
        case EWave::Saw:
            v = 2.0 * p - 1.0 - PolyBlep(p, dt);
            break;
        case EWave::Square: {
            v = p < m_width ? 1.0 : -1.0;
            v += PolyBlep(p, dt);
            double fall = p - m_width;
            if (fall < 0.0) fall += 1.0;
            v -= PolyBlep(fall, dt);
            // A pulse narrower than half has a mean of 2w - 1; remove it so it carries no DC.
            v -= 2.0 * m_width - 1.0;
            break;
        }
    }
    m_phase += dt;
    if (m_phase >= 1.0) m_phase -= 1.0;
    return static_cast<float>(v);
}

void CBiquad::Set(double b0, double b1, double b2, double a0, double a1, double a2) {
    m_b0 = b0 / a0;
    m_b1 = b1 / a0;
    m_b2 = b2 / a0;
    m_a1 = a1 / a0;
    m_a2 = a2 / a0;
}

void CBiquad::SetLowPass(double hz, double q) {
    const double w = 2.0 * kPi * ClampHz(hz) / kSampleRate, c = std::cos(w), alpha = std::sin(w) / (2.0 * q);
    Set((1.0 - c) / 2.0, 1.0 - c, (1.0 - c) / 2.0, 1.0 + alpha, -2.0 * c, 1.0 - alpha);
}

void CBiquad::SetHighPass(double hz, double q) {
    const double w = 2.0 * kPi * ClampHz(hz) / kSampleRate, c = std::cos(w), alpha = std::sin(w) / (2.0 * q);
    Set((1.0 + c) / 2.0, -(1.0 + c), (1.0 + c) / 2.0, 1.0 + alpha, -2.0 * c, 1.0 - alpha);
}

void CBiquad::SetBandPass(double hz, double q) {
    const double w = 2.0 * kPi * ClampHz(hz) / kSampleRate, c = std::cos(w), alpha = std::sin(w) / (2.0 * q);
    Set(alpha, 0.0, -alpha, 1.0 + alpha, -2.0 * c, 1.0 - alpha);
}

float CBiquad::Process(float x) {
    const double y = m_b0 * x + m_b1 * m_x1 + m_b2 * m_x2 - m_a1 * m_y1 - m_a2 * m_y2;
    m_x2 = m_x1;
    m_x1 = x;
    m_y2 = m_y1;
    m_y1 = y;
    return static_cast<float>(y);
}

void COnePole::SetCutoff(double hz) { m_coefficient = 1.0 - std::exp(-2.0 * kPi * ClampHz(hz) / kSampleRate); }

float COnePole::LowPass(float x) {
    m_state += m_coefficient * (x - m_state);
    return static_cast<float>(m_state);
}

double ExpDecay(double t, double tau) { return t <= 0.0 ? 1.0 : std::exp(-t / tau); }

double TAdsr::At(double t, double gateSeconds) const {
    if (t < 0.0) return 0.0;
    // The level the note would have while held, at time u.
    auto held = [this](double u) {
        if (u < attack) return u / attack;
        const double x = std::min(1.0, (u - attack) / std::max(decay, 1e-9));
        return sustain + (1.0 - sustain) * (1.0 - x) * (1.0 - x);
    };
    if (t < gateSeconds) return held(t);
    const double x = (t - gateSeconds) / std::max(release, 1e-9);
    if (x >= 1.0) return 0.0;
    return held(gateSeconds) * (1.0 - x) * (1.0 - x);
}

CPluck::CPluck(double hz, double brightness, double decaySeconds, std::uint32_t seed) {
    // Loop delay = line + 0.5 (the averaging filter) + the all-pass's fractional delay, kept
    // within 0.1..1.1 where the first-order all-pass is well behaved.
    const double period = kSampleRate / std::clamp(hz, 20.0, kSampleRate / 4.0);
    const auto length = static_cast<std::size_t>(std::max(1.0, std::floor(period - 0.6)));
    const double fraction = period - 0.5 - static_cast<double>(length);
    m_allpass = (1.0 - fraction) / (1.0 + fraction);
    m_loss = std::pow(10.0, -3.0 / (std::max(decaySeconds, 0.01) * hz));
    m_line.assign(length, 0.0f);
    CNoise noise(seed);
    COnePole tone(200.0 + std::clamp(brightness, 0.0, 1.0) * 6000.0);
    double mean = 0.0;
    for (float& s : m_line) {
        s = tone.LowPass(noise.Next());
        mean += s;
    }
    mean /= static_cast<double>(length);
    float peak = 1e-6f;
    for (float& s : m_line) {
        s -= static_cast<float>(mean);
        peak = std::max(peak, std::abs(s));
    }
    for (float& s : m_line) s /= peak;
}

float CPluck::Next() {
    const float out = m_line[m_pos];
    const double averaged = 0.5 * (out + m_last) * m_loss;
    m_last = out;
    const double shifted = m_allpass * averaged + m_apIn - m_allpass * m_apOut;
    m_apIn = averaged;
    m_apOut = shifted;
    m_line[m_pos] = static_cast<float>(shifted);
    m_pos = (m_pos + 1) % m_line.size();
    return out;
}

CComb::CComb(std::size_t delaySamples, double feedback, double damping)
    : m_line(std::max<std::size_t>(1, delaySamples), 0.0f), m_feedback(feedback), m_damping(damping) {}

float CComb::Process(float x) {
    const float out = m_line[m_pos];
    m_filtered = out * (1.0 - m_damping) + m_filtered * m_damping;
    m_line[m_pos] = static_cast<float>(x + m_feedback * m_filtered);
    m_pos = (m_pos + 1) % m_line.size();
    return out;
}

CAllPass::CAllPass(std::size_t delaySamples, double gain)
    : m_line(std::max<std::size_t>(1, delaySamples), 0.0f), m_gain(gain) {}

float CAllPass::Process(float x) {
    // w[n] = x[n] + g w[n-D]; y[n] = -g w[n] + w[n-D]: unit magnitude at every frequency.
    const double delayed = m_line[m_pos];
    const double w = x + m_gain * delayed;
    m_line[m_pos] = static_cast<float>(w);
    m_pos = (m_pos + 1) % m_line.size();
    return static_cast<float>(-m_gain * w + delayed);
}

CReverb::CReverb(double size, double damping) {
    // Mutually prime delays (about 25..31 ms) so the echoes do not pile up on one period.
    const double feedback = 0.7 + 0.25 * std::clamp(size, 0.0, 1.0);
    const double damp = 0.4 * std::clamp(damping, 0.0, 1.0);
    for (std::size_t d : {557u, 593u, 641u, 677u}) m_combs.emplace_back(d, feedback, damp);
    for (std::size_t d : {277u, 211u}) m_allPasses.emplace_back(d, 0.5);
}

float CReverb::Process(float x) {
    double sum = 0.0;
    for (CComb& c : m_combs) sum += c.Process(x);
    auto y = static_cast<float>(sum * 0.25);
    for (CAllPass& a : m_allPasses) y = a.Process(y);
    return y;
}

}  // namespace soundgen
