#include "soundgen/Instruments.h"

#include <algorithm>
#include <cmath>

#include "soundgen/Dsp.h"

namespace soundgen {

namespace {

struct TPartial {
    double ratio, level, tauSeconds;
};

// A struck tone of decaying sine partials (bells, mallets); partials above the band are left out.
Samples Struck(double hz, const TPartial* partials, int count, double seconds) {
    Samples out(SamplesOf(seconds), 0.0f);
    for (int p = 0; p < count; ++p) {
        const double f = hz * partials[p].ratio;
        if (f >= 0.45 * kSampleRate) continue;
        for (std::size_t i = 0; i < out.size(); ++i) {
            const double t = static_cast<double>(i) / kSampleRate;
            out[i] += static_cast<float>(partials[p].level * ExpDecay(t, partials[p].tauSeconds) *
                                         std::sin(2.0 * kPi * f * t));
        }
    }
    return out;
}

Samples Pluck(double hz, double tone, double held, std::uint32_t seed) {
    // Low strings ring longer; the note is damped shortly after its written length.
    const double decay = std::clamp(1.6 * std::sqrt(220.0 / hz), 0.35, 2.2);
    const double damp = std::max(held, 0.12) + 0.08;
    const double release = 0.15;
    CPluck string(hz, 0.25 + 0.7 * tone, decay, seed);
    Samples out(SamplesOf(std::min(damp + release, decay * 1.2) + 0.01), 0.0f);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const double gate = t < damp ? 1.0 : std::max(0.0, 1.0 - (t - damp) / release);
        // A 2 ms attack keeps the excitation's first sample from clicking.
        const double attack = std::min(1.0, t / 0.002);
        out[i] = static_cast<float>(0.8 * string.Next() * gate * gate * attack);
    }
    return out;
}

Samples Lead(double hz, double tone, double held) {
    const TAdsr env{0.012, 0.18, 0.65, 0.09};
    COscillator square(EWave::Square, 0.5), sub(EWave::Sine);
    CBiquad soften;
    soften.SetLowPass(std::min(5000.0, hz * (2.5 + 3.0 * tone)), 0.7);
    Samples out(SamplesOf(held + env.release + 0.005), 0.0f);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        // Vibrato fades in after the attack, as a singer's would.
        const double depth = 0.004 * std::clamp((t - 0.12) / 0.25, 0.0, 1.0);
        const double f = hz * (1.0 + depth * std::sin(2.0 * kPi * 5.5 * t));
        const double v = 0.55 * soften.Process(square.Next(f)) + 0.35 * sub.Next(f);
        out[i] = static_cast<float>(v * env.At(t, held));
    }
    return out;
}

Samples Bass(double hz, double tone, double held) {
    const TAdsr env{0.005, 0.3, 0.55, 0.06};
    COscillator tri(EWave::Triangle), sine(EWave::Sine);
    CBiquad round;
    round.SetLowPass(600.0 + 1200.0 * tone, 0.7);
    Samples out(SamplesOf(held + env.release + 0.005), 0.0f);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const double v = round.Process(static_cast<float>(0.7 * tri.Next(hz) + 0.5 * sine.Next(hz)));
        out[i] = static_cast<float>(v * env.At(t, held));
    }
    return out;
}

Samples Pad(const std::vector<int>& notes, double tone, double held) {
    const TAdsr env{0.3, 0.5, 0.8, 0.6};
    Samples out(SamplesOf(held + env.release + 0.005), 0.0f);
    const double each = 1.0 / std::sqrt(static_cast<double>(notes.size()));
    for (int note : notes) {
        const double hz = NoteHz(note);
        // Three saws a few cents apart, darkened: a soft string-like bed.
        COscillator saws[3] = {COscillator(EWave::Saw), COscillator(EWave::Saw), COscillator(EWave::Saw)};
        saws[1].SetPhase(0.33);
        saws[2].SetPhase(0.71);
        const double detune[3] = {1.0, 1.0045, 0.9955};
        CBiquad dark;
        dark.SetLowPass(std::min(4000.0, 700.0 + 1800.0 * tone + hz), 0.6);
        for (std::size_t i = 0; i < out.size(); ++i) {
            double v = 0.0;
            for (int k = 0; k < 3; ++k) v += saws[k].Next(hz * detune[k]);
            out[i] += static_cast<float>(each * 0.3 * dark.Process(static_cast<float>(v)));
        }
    }
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] *= static_cast<float>(env.At(static_cast<double>(i) / kSampleRate, held));
    return out;
}

Samples Trill(double hz, double held) {
    // A little bird: a quick upward chirp into a warbling whistle.
    const TAdsr env{0.006, 0.05, 0.7, 0.05};
    COscillator whistle(EWave::Sine);
    Samples out(SamplesOf(held + env.release + 0.005), 0.0f);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const double rise = 0.85 + 0.15 * std::min(1.0, t / 0.04);
        const double f = hz * rise * (1.0 + 0.04 * std::sin(2.0 * kPi * 24.0 * t));
        out[i] = static_cast<float>(0.6 * whistle.Next(f) * env.At(t, held));
    }
    return out;
}

Samples Kick(double tone) {
    Samples out(SamplesOf(0.45), 0.0f);
    COscillator body(EWave::Sine);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const double f = 48.0 + (90.0 + 60.0 * tone) * ExpDecay(t, 0.035);
        const double attack = std::min(1.0, t / 0.0015);
        out[i] = static_cast<float>(body.Next(f) * ExpDecay(t, 0.16) * attack);
    }
    FadeEdges(out, 0, SamplesOf(0.05));
    return out;
}

Samples Snare(double tone, bool ghost, std::uint32_t seed) {
    Samples out(SamplesOf(0.3), 0.0f);
    CNoise noise(seed);
    CBiquad band;
    band.SetBandPass(1800.0 + 2000.0 * tone, 0.7);
    COscillator body(EWave::Triangle);
    const double level = ghost ? 0.45 : 1.0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const double attack = std::min(1.0, t / 0.001);
        const double v = 1.3 * band.Process(noise.Next()) * ExpDecay(t, 0.07) +
                         0.5 * body.Next(190.0 * (1.0 + 0.3 * ExpDecay(t, 0.01))) * ExpDecay(t, 0.04);
        out[i] = static_cast<float>(level * v * attack);
    }
    FadeEdges(out, 0, SamplesOf(0.04));
    return out;
}

Samples Hat(double tone, bool open, std::uint32_t seed) {
    const double tau = open ? 0.12 : 0.028;
    Samples out(SamplesOf(open ? 0.45 : 0.12), 0.0f);
    CNoise noise(seed);
    CBiquad high1, high2;
    high1.SetHighPass(6000.0 + 2500.0 * tone, 0.7);
    high2.SetHighPass(6000.0 + 2500.0 * tone, 0.7);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const double attack = std::min(1.0, t / 0.0008);
        out[i] = static_cast<float>(high2.Process(high1.Process(noise.Next())) * ExpDecay(t, tau) * attack);
    }
    FadeEdges(out, 0, SamplesOf(0.03));
    return out;
}

}  // namespace

Samples RenderNote(const TVoice& voice, const TNoteEvent& event, double heldSeconds, std::uint32_t seed) {
    static constexpr TPartial kBell[] = {{1.0, 1.0, 0.7}, {2.0, 0.3, 0.35}, {3.0, 0.28, 0.22}, {4.16, 0.1, 0.1}};
    static constexpr TPartial kMallet[] = {{1.0, 1.0, 0.32}, {3.93, 0.3, 0.07}, {9.2, 0.06, 0.02}};
    Samples out;
    const double tone = voice.tone;
    switch (voice.instrument) {
        case EInstrument::Kick:
            out = Kick(tone);
            break;
        case EInstrument::Snare:
            out = Snare(tone, event.stroke == 'o', seed);
            break;
        case EInstrument::Hat:
            out = Hat(tone, event.stroke == 'o', seed);
            break;
        case EInstrument::Pad:
            out = Pad(event.notes, tone, heldSeconds);
            break;
        default:
            for (std::size_t n = 0; n < event.notes.size(); ++n) {
                const double hz = NoteHz(event.notes[n]);
                const auto noteSeed = static_cast<std::uint32_t>(seed + 7919u * n);
                Samples one;
                switch (voice.instrument) {
                    case EInstrument::Pluck:
                        one = Pluck(hz, tone, heldSeconds, noteSeed);
                        break;
                    case EInstrument::Lead:
                        one = Lead(hz, tone, heldSeconds);
                        break;
                    case EInstrument::Bass:
                        one = Bass(hz, tone, heldSeconds);
                        break;
                    case EInstrument::Bell:
                        one = Struck(hz, kBell, 4, std::max(heldSeconds, 1.6));
                        break;
                    case EInstrument::Mallet:
                        one = Struck(hz, kMallet, 3, 1.2);
                        break;
                    default:
                        one = Trill(hz, heldSeconds);
                        break;
                }
                // Struck tones start at a sine's zero but need a few samples to open.
                FadeEdges(one, SamplesOf(0.002), SamplesOf(0.03));
                MixInto(out, one, 0, static_cast<float>(1.0 / std::sqrt(static_cast<double>(event.notes.size()))));
            }
            break;
    }
    Scale(out, voice.gain * event.velocity);
    return out;
}

}  // namespace soundgen
