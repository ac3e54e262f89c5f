// The synthesiser's building blocks against textbook results: equal temperament, the Fourier
// series of the classic waveforms, the analogue prototypes behind the cookbook filters (through
// the bilinear transform's frequency warping), the one-pole step response, the comb and
// all-pass impulse responses, and a plucked string's pitch.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "soundgen/Dsp.h"

namespace {

using namespace soundgen;

// Amplitude of the component at `hz` in x (one DFT bin; x should hold whole periods).
double AmplitudeAt(const std::vector<float>& x, double hz) {
    std::complex<double> sum = 0.0;
    for (std::size_t n = 0; n < x.size(); ++n)
        sum += static_cast<double>(x[n]) * std::polar(1.0, -2.0 * kPi * hz * static_cast<double>(n) / kSampleRate);
    return 2.0 * std::abs(sum) / static_cast<double>(x.size());
}

// The frequency near `guess` (within 5%) where x is strongest, scanned in 0.02% steps.
double StrongestNear(const std::vector<float>& x, double guess) {
    double best = guess, bestAmp = -1.0;
    for (double f = guess * 0.95; f <= guess * 1.05; f += guess * 0.0002) {
        const double a = AmplitudeAt(x, f);
        if (a > bestAmp) {
            bestAmp = a;
            best = f;
        }
    }
    return best;
}

TEST(NoteHz, FollowsEqualTemperamentFromA440) {
    struct TCase {
        double note, hz;
    } cases[] = {{69, 440.0}, {81, 880.0}, {57, 220.0}, {60, 261.6255653}, {72, 523.2511306}, {70, 466.1637615}};
    for (const auto& c : cases) EXPECT_NEAR(NoteHz(c.note), c.hz, 1e-6) << c.note;
}

TEST(Oscillator, FundamentalsMatchTheFourierSeriesOfEachShape) {
    // 220.5 Hz has a period of exactly 100 samples, so 50 periods fill the window.
    const double hz = kSampleRate / 100.0;
    struct TCase {
        EWave wave;
        double fundamental;
        const char* why;
    } cases[] = {{EWave::Sine, 1.0, "sine"},
                 {EWave::Saw, 2.0 / kPi, "saw: 2/pi"},
                 {EWave::Square, 4.0 / kPi, "square: 4/pi"},
                 {EWave::Triangle, 8.0 / (kPi * kPi), "triangle: 8/pi^2"}};
    for (const auto& c : cases) {
        COscillator osc(c.wave);
        std::vector<float> x(5000);
        for (float& v : x) v = osc.Next(hz);
        EXPECT_NEAR(AmplitudeAt(x, hz), c.fundamental, 0.01 * c.fundamental) << c.why;
        // Odd shapes have no second harmonic; the saw has half its fundamental there.
        const double second = c.wave == EWave::Saw ? c.fundamental / 2.0 : 0.0;
        EXPECT_NEAR(AmplitudeAt(x, 2.0 * hz), second, 0.01) << c.why;
    }
}

TEST(Oscillator, NarrowPulsesCarryNoOffset) {
    COscillator pulse(EWave::Square, 0.25);
    double sum = 0.0;
    for (int i = 0; i < 10000; ++i) sum += pulse.Next(kSampleRate / 100.0);
    EXPECT_NEAR(sum / 10000.0, 0.0, 1e-3);
}

TEST(Oscillator, SawAliasesLessThanANaiveRamp) {
    // 3150 Hz (7 samples a period): a naive ramp folds its 4th harmonic (12600 Hz) to 9450 Hz.
    const double hz = kSampleRate / 7.0;
    COscillator saw(EWave::Saw);
    std::vector<float> bandLimited(7000), naive(7000);
    for (std::size_t i = 0; i < naive.size(); ++i) {
        bandLimited[i] = saw.Next(hz);
        naive[i] = static_cast<float>(2.0 * std::fmod(static_cast<double>(i) / 7.0, 1.0) - 1.0);
    }
    EXPECT_LT(AmplitudeAt(bandLimited, kSampleRate - 4.0 * hz), 0.5 * AmplitudeAt(naive, kSampleRate - 4.0 * hz));
}

// Steady-state gain of a filter for a sine at hz (the first half second is left to settle).
template <class Filter>
double GainAt(Filter filter, double hz) {
    std::vector<float> in, out;
    for (int i = 0; i < kSampleRate; ++i) {
        const auto x = static_cast<float>(std::sin(2.0 * kPi * hz * i / kSampleRate));
        const float y = filter.Process(x);
        if (i >= kSampleRate / 2) {
            in.push_back(x);
            out.push_back(y);
        }
    }
    double ein = 0.0, eout = 0.0;
    for (std::size_t i = 0; i < in.size(); ++i) {
        ein += in[i] * in[i];
        eout += out[i] * out[i];
    }
    return std::sqrt(eout / ein);
}

// The analogue frequency a digital one maps to under the bilinear transform, relative to fc.
double Warped(double hz, double fc) { return std::tan(kPi * hz / kSampleRate) / std::tan(kPi * fc / kSampleRate); }

TEST(Biquad, ResponsesMatchTheirAnaloguePrototypes) {
    const double fc = 1000.0, butterworth = 1.0 / std::sqrt(2.0), q = 2.0;
    for (double hz : {100.0, 700.0, 1000.0, 1500.0, 4000.0}) {
        const double w = Warped(hz, fc);
        CBiquad low, high, band;
        low.SetLowPass(fc, butterworth);
        high.SetHighPass(fc, butterworth);
        band.SetBandPass(fc, q);
        EXPECT_NEAR(GainAt(low, hz), 1.0 / std::sqrt(1.0 + std::pow(w, 4)), 0.01) << "low-pass at " << hz;
        EXPECT_NEAR(GainAt(high, hz), w * w / std::sqrt(1.0 + std::pow(w, 4)), 0.01) << "high-pass at " << hz;
        EXPECT_NEAR(GainAt(band, hz), (w / q) / std::sqrt(std::pow(1.0 - w * w, 2) + std::pow(w / q, 2)), 0.01)
            << "band-pass at " << hz;
    }
}

TEST(OnePole, StepResponseReachesOneMinusOneOverEAfterItsTimeConstant) {
    const double hz = 100.0;
    COnePole smooth(hz);
    const double tauSamples = kSampleRate / (2.0 * kPi * hz);  // 35.09
    float y = 0.0f;
    for (int i = 0; i < 35; ++i) y = smooth.LowPass(1.0f);
    EXPECT_NEAR(y, 1.0 - std::exp(-35.0 / tauSamples), 1e-4);
    EXPECT_NEAR(y, 1.0 - 1.0 / std::exp(1.0), 0.005);
}

TEST(ExpDecay, HalvesAfterTauTimesLnTwo) {
    EXPECT_NEAR(ExpDecay(0.2 * std::log(2.0), 0.2), 0.5, 1e-12);
    EXPECT_EQ(ExpDecay(-1.0, 0.2), 1.0);
}

TEST(Adsr, RisesHoldsTheSustainAndReleasesToZero) {
    const TAdsr env{0.01, 0.1, 0.5, 0.1};
    EXPECT_EQ(env.At(-0.001, 0.5), 0.0);
    EXPECT_NEAR(env.At(0.005, 0.5), 0.5, 1e-9) << "linear attack";
    EXPECT_NEAR(env.At(0.01, 0.5), 1.0, 1e-9) << "top of the attack";
    EXPECT_NEAR(env.At(0.11, 0.5), 0.5, 1e-9) << "decayed to the sustain";
    EXPECT_NEAR(env.At(0.4, 0.5), 0.5, 1e-9) << "held";
    EXPECT_NEAR(env.At(0.6, 0.5), 0.0, 1e-12) << "released";
    EXPECT_EQ(env.At(0.61, 0.5), 0.0) << "stays released";
    double previous = env.At(0.5, 0.5);
    for (double t = 0.5; t <= 0.6; t += 0.001) {
        EXPECT_LE(env.At(t, 0.5), previous + 1e-12) << "the release never rises, at " << t;
        previous = env.At(t, 0.5);
    }
    // A gate shorter than the attack releases from where the attack had got to.
    EXPECT_NEAR(env.At(0.004, 0.004), 0.4, 1e-9);
    EXPECT_EQ(env.At(0.11, 0.004), 0.0);
}

TEST(Noise, IsRepeatableUniformAndSeeded) {
    CNoise a(7), b(7), c(8);
    double sum = 0.0, squares = 0.0;
    bool differs = false;
    const int n = 200000;
    for (int i = 0; i < n; ++i) {
        const float x = a.Next();
        ASSERT_EQ(x, b.Next());
        differs |= x != c.Next();
        ASSERT_GE(x, -1.0f);
        ASSERT_LE(x, 1.0f);
        sum += x;
        squares += x * x;
    }
    EXPECT_TRUE(differs);
    EXPECT_NEAR(sum / n, 0.0, 0.01);
    EXPECT_NEAR(squares / n, 1.0 / 3.0, 0.01) << "variance of uniform noise on -1..1";
}

TEST(Pluck, SoundsAtItsNotesPitchEvenBetweenWholeSampleLoopLengths) {
    // 1046.5 Hz needs a loop of 21.07 samples: rounded to 21 or 21.5 it would be 2% off.
    for (double note : {57.0, 72.0, 84.0, 88.0}) {
        CPluck string(NoteHz(note), 0.5, 2.0, 3);
        std::vector<float> x(SamplesOf(0.5));
        for (int i = 0; i < 500; ++i) string.Next();  // past the noisy start
        for (float& v : x) v = string.Next();
        EXPECT_NEAR(StrongestNear(x, NoteHz(note)) / NoteHz(note), 1.0, 0.002) << "note " << note;
    }
}

TEST(Pluck, DiesAwayOverItsDecayTime) {
    CPluck string(220.0, 0.5, 0.5, 3);
    auto rmsOf = [&string](double seconds) {
        double sum = 0.0;
        const std::size_t n = SamplesOf(seconds);
        for (std::size_t i = 0; i < n; ++i) sum += std::pow(string.Next(), 2);
        return std::sqrt(sum / n);
    };
    const double first = rmsOf(0.05);
    rmsOf(0.45);
    const double later = rmsOf(0.05);
    // 60 dB in 0.5 s, give or take what the averaging filter takes from the fundamental.
    EXPECT_NEAR(20.0 * std::log10(later / first), -60.0, 8.0);
}

TEST(Comb, EchoesEveryDelayAtTheFeedbackPower) {
    CComb comb(5, 0.5, 0.0);
    std::vector<float> y;
    for (int i = 0; i < 21; ++i) y.push_back(comb.Process(i == 0 ? 1.0f : 0.0f));
    for (int i = 0; i < 21; ++i) {
        const double expected = i >= 5 && i % 5 == 0 ? std::pow(0.5, i / 5 - 1) : 0.0;
        EXPECT_NEAR(y[i], expected, 1e-7) << i;
    }
}

TEST(AllPass, ImpulseResponseIsTheSchroederSeriesAndKeepsEnergy) {
    CAllPass ap(3, 0.5);
    std::vector<float> y;
    for (int i = 0; i < 400; ++i) y.push_back(ap.Process(i == 0 ? 1.0f : 0.0f));
    // -g, then (1 - g^2) g^(k-1) every D samples.
    const double expected[] = {-0.5, 0, 0, 0.75, 0, 0, 0.375, 0, 0, 0.1875};
    for (int i = 0; i < 10; ++i) EXPECT_NEAR(y[i], expected[i], 1e-7) << i;
    double energy = 0.0;
    for (float v : y) energy += v * v;
    EXPECT_NEAR(energy, 1.0, 1e-6);
}

TEST(Reverb, RingsOnAndFadesOut) {
    CReverb room(0.55, 0.5);
    std::vector<float> y;
    for (int i = 0; i < 4 * kSampleRate; ++i) y.push_back(room.Process(i == 0 ? 1.0f : 0.0f));
    auto energy = [&y](double from, double to) {
        double e = 0.0;
        for (std::size_t i = SamplesOf(from); i < SamplesOf(to); ++i) e += y[i] * y[i];
        return e;
    };
    EXPECT_GT(energy(0.0, 0.2), 0.0);
    EXPECT_LT(energy(1.0, 1.2), energy(0.0, 0.2) * 1e-2) << "quiet after a second";
    EXPECT_LT(energy(3.8, 4.0), energy(0.0, 0.2) * 1e-6) << "gone within the room left for it";
}

}  // namespace
