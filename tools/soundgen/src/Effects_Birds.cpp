// The yard birds' calls: hens, chicks, a rooster, ducks, a goose, a turkey, a pigeon, a peacock,
// an owl, a parrot and a swan, plus the whistle of a bird spun by a tap.
#include <cmath>

#include "EffectKit.h"
#include "Effects_Recipes.h"

namespace soundgen::recipes {

using namespace kit;

Samples Cluck1() { return Cluck(2, 1.0, 1001); }
Samples Cluck2() { return Cluck(3, 1.1, 1002); }
Samples Cluck3() { return Cluck(2, 0.85, 1003); }

Samples CluckQuestion() {
    // "Buk-baak?": a short cluck, then a longer one rising like a question.
    Samples s = Silence(0.32);
    AddVoiced(s, {.start = 0.01,
                  .seconds = 0.07,
                  .f0 = 330.0,
                  .f1 = 260.0,
                  .breath = 0.5,
                  .attack = 0.004,
                  .release = 0.025,
                  .formants = {{1250.0, 2.5, 1.0}, {850.0, 3.0, 0.7}, {2600.0, 4.0, 0.2}},
                  .seed = 1011});
    AddVoiced(s, {.start = 0.12,
                  .seconds = 0.18,
                  .f0 = 300.0,
                  .f1 = 480.0,
                  .breath = 0.35,
                  .attack = 0.01,
                  .release = 0.06,
                  .formants = {{1400.0, 2.5, 1.0}, {950.0, 3.0, 0.7}, {2800.0, 4.0, 0.25}},
                  .seed = 1012});
    return s;
}

Samples Peep1() { return Peep(0); }

Samples Peep2() {
    Samples s = Peep(1);
    MixInto(s, Peep(0), SamplesOf(0.15), 0.8f);
    return s;
}

Samples Crow() {
    // Cock-a-doodle: a vibrato saw rising then falling, through an open "aa" throat.
    Samples s = Silence(0.62);
    const double parts[][4] = {{0.0, 0.09, 520.0, 560.0}, {0.1, 0.1, 600.0, 640.0}, {0.21, 0.39, 700.0, 430.0}};
    for (const auto& p : parts)
        AddVoiced(s, {.start = p[0],
                      .seconds = p[1],
                      .f0 = p[2],
                      .f1 = p[3],
                      .wave = EWave::Saw,
                      .breath = 0.15,
                      .attack = 0.012,
                      .release = p[1] * 0.4,
                      .vibratoHz = 9.0,
                      .vibratoDepth = 0.012,
                      .formants = {{950.0, 2.0, 1.0}, {1900.0, 3.0, 0.5}, {3000.0, 4.0, 0.2}},
                      .seed = 1021});
    return s;
}

Samples Quack1() { return Quack(250.0, 0.2, 1031); }

Samples Quack2() {
    Samples s = Quack(280.0, 0.12, 1032);
    MixInto(s, Quack(240.0, 0.16, 1033), SamplesOf(0.14));
    return s;
}

Samples Honk() {
    // A goose: a low, narrow pulse through a nasal formant, bending up then down.
    Samples s = Silence(0.31);
    AddVoiced(s, {.seconds = 0.3,
                  .f0 = 170.0,
                  .f1 = 195.0,
                  .wave = EWave::Square,
                  .pulseWidth = 0.22,
                  .breath = 0.1,
                  .attack = 0.02,
                  .release = 0.08,
                  .vibratoHz = 6.0,
                  .vibratoDepth = 0.02,
                  .formants = {{650.0, 3.0, 1.0}, {1800.0, 5.0, 0.6}, {2700.0, 6.0, 0.2}},
                  .seed = 1041});
    return s;
}

Samples Gobble() {
    // A turkey: eight fast throb pulses of a buzzing 300 Hz voice.
    Samples s = Silence(0.5);
    for (int k = 0; k < 8; ++k)
        AddVoiced(s, {.start = 0.055 * k,
                      .seconds = 0.05,
                      .f0 = 320.0 - 6.0 * k,
                      .f1 = 280.0 - 6.0 * k,
                      .wave = EWave::Saw,
                      .breath = 0.2,
                      .attack = 0.006,
                      .release = 0.02,
                      .formants = {{700.0, 2.5, 1.0}, {1500.0, 3.0, 0.5}, {0.0, 1.0, 0.0}},
                      .seed = 1051u + static_cast<std::uint32_t>(k)});
    return s;
}

Samples Coo() {
    // A pigeon: two soft rounded "coo"s, each swelling up and sliding down.
    Samples s = Silence(0.5);
    for (int k = 0; k < 2; ++k) {
        const double start = 0.24 * k;
        AddTone(s, {.start = start,
                    .seconds = 0.2,
                    .f0 = 290.0,
                    .f1 = 330.0,
                    .amp = 0.9,
                    .attack = 0.06,
                    .release = 0.1,
                    .vibratoHz = 7.0,
                    .vibratoDepth = 0.01});
        AddTone(
            s, {.start = start, .seconds = 0.2, .f0 = 580.0, .f1 = 660.0, .amp = 0.15, .attack = 0.06, .release = 0.1});
        AddNoise(s, {.start = start,
                     .seconds = 0.2,
                     .f0 = 400.0,
                     .q = 1.0,
                     .amp = 0.15,
                     .attack = 0.06,
                     .release = 0.1,
                     .seed = 1061u + static_cast<std::uint32_t>(k)});
    }
    return s;
}

Samples Squawk() {
    // A peacock or a parrot: a harsh saw at 900 Hz, roughened with noise.
    Samples s = Silence(0.26);
    AddVoiced(s, {.seconds = 0.25,
                  .f0 = 900.0,
                  .f1 = 760.0,
                  .wave = EWave::Saw,
                  .breath = 0.9,
                  .attack = 0.01,
                  .release = 0.08,
                  .vibratoHz = 31.0,
                  .vibratoDepth = 0.03,
                  .formants = {{1500.0, 1.2, 1.0}, {2700.0, 2.0, 0.6}, {0.0, 1.0, 0.0}},
                  .seed = 1071});
    return s;
}

Samples Hoot() {
    // An owl: two breathy "hoo"s, the second a little lower.
    Samples s = Silence(0.56);
    for (int k = 0; k < 2; ++k) {
        const double start = 0.28 * k, hz = k ? 380.0 : 400.0;
        AddTone(
            s,
            {.start = start, .seconds = 0.24, .f0 = hz, .f1 = hz * 0.93, .amp = 0.9, .attack = 0.05, .release = 0.12});
        AddNoise(s, {.start = start,
                     .seconds = 0.24,
                     .f0 = hz * 2.0,
                     .q = 1.5,
                     .amp = 0.25,
                     .attack = 0.05,
                     .release = 0.12,
                     .seed = 1081u + static_cast<std::uint32_t>(k)});
    }
    return s;
}

Samples Chirp() {
    Samples s = Silence(0.2);
    for (int k = 0; k < 3; ++k)
        AddTone(s, {.start = 0.06 * k,
                    .seconds = 0.035,
                    .f0 = 2700.0,
                    .f1 = 3300.0,
                    .amp = 0.9,
                    .attack = 0.005,
                    .release = 0.015});
    return s;
}

Samples Trumpet() {
    // A swan: a brassy saw whose brightness and vibrato swell with the breath.
    const double seconds = 0.5;
    Samples s = Silence(seconds + 0.01);
    COscillator saw(EWave::Saw);
    CBiquad brass;
    for (std::size_t i = 0; i < SamplesOf(seconds); ++i) {
        const double t = Seconds(i), x = t / seconds;
        const double swell = std::sin(kPi * std::pow(x, 0.6));
        brass.SetLowPass(500.0 + 2500.0 * swell, 1.0);
        const double f = 350.0 * (1.0 + 0.012 * swell * std::sin(2.0 * kPi * 6.0 * t));
        s[i] = static_cast<float>(brass.Process(saw.Next(f)) * swell);
    }
    return s;
}

Samples Whee() {
    Samples s = Silence(0.36);
    AddTone(s, {.seconds = 0.35,
                .f0 = 400.0,
                .f1 = 1200.0,
                .amp = 0.9,
                .attack = 0.02,
                .release = 0.08,
                .vibratoHz = 12.0,
                .vibratoDepth = 0.01});
    AddTone(s, {.seconds = 0.35, .f0 = 800.0, .f1 = 2400.0, .amp = 0.12, .attack = 0.02, .release = 0.08});
    return s;
}

}  // namespace soundgen::recipes
