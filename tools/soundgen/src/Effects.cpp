// The game's interface and gameplay effects, and the recipe table of every effect file.
#include "soundgen/Effects.h"

#include <cmath>

#include "EffectKit.h"
#include "Effects_Recipes.h"

namespace soundgen {

using namespace kit;

namespace recipes {

Samples Button() {
    // A soft, short click: a damped 1.8 kHz ping on top of a tiny noise tick.
    Samples s = Silence(0.025);
    AddTone(
        s,
        {.seconds = 0.025, .f0 = 1800.0, .f1 = 1650.0, .amp = 1.0, .tau = 0.006, .attack = 0.0008, .release = 0.006});
    AddNoise(s, {.seconds = 0.004, .f0 = 4000.0, .q = 0.8, .amp = 0.9, .attack = 0.0005, .release = 0.002});
    return s;
}

Samples Whoosh(double from, double to, double seconds, std::uint32_t seed) {
    Samples s = Silence(seconds);
    // Two detuned noise bands give the air a little body; the swell peaks just past the middle.
    for (int k = 0; k < 2; ++k)
        AddNoise(s, {.seconds = seconds,
                     .f0 = from * (k ? 1.25 : 1.0),
                     .f1 = to * (k ? 1.25 : 1.0),
                     .q = 1.6,
                     .amp = k ? 0.6 : 1.0,
                     .attack = seconds * 0.55,
                     .release = seconds * 0.45,
                     .seed = seed + static_cast<std::uint32_t>(k)});
    return s;
}
Samples WhooshOut() { return Whoosh(2000.0, 400.0, 0.35, 11); }
Samples WhooshIn() { return Whoosh(400.0, 2000.0, 0.3, 23); }

Samples Achievement() {
    Samples s = Silence(0.7);
    const double notes[] = {NoteHz(84), NoteHz(88), NoteHz(91), NoteHz(96)};  // C6 E6 G6 C7
    for (int i = 0; i < 4; ++i) AddBell(s, 0.085 * i, notes[i], i == 3 ? 1.0 : 0.8, i == 3 ? 0.22 : 0.12);
    s.resize(SamplesOf(0.7));
    return s;
}

Samples LifeLost() {
    // "Uh-oh", twice and lower: two falling minor thirds on a muffled square.
    Samples s = Silence(0.6);
    const int notes[] = {67, 64, 64, 61};  // G4 E4, E4 C#4
    for (int i = 0; i < 4; ++i)
        AddTone(s, {.start = 0.15 * i,
                    .seconds = i == 3 ? 0.3 : 0.14,
                    .f0 = NoteHz(notes[i]),
                    .f1 = i == 3 ? NoteHz(notes[i]) * 0.94 : 0.0,
                    .amp = 0.8,
                    .attack = 0.01,
                    .release = i == 3 ? 0.15 : 0.04,
                    .wave = EWave::Square,
                    .lowPassHz = 1400.0});
    s.resize(SamplesOf(0.6));
    return s;
}

Samples Intro() {
    // A small brass-like fanfare over a snare roll that lands on the top note.
    Samples s = Silence(1.2);
    const int notes[] = {67, 72, 76, 79};  // G4 C5 E5 G5
    for (int i = 0; i < 4; ++i) {
        const bool last = i == 3;
        const double start = 0.14 * i, seconds = last ? 1.2 - start : 0.13;
        for (double detune : {1.0, 1.004})
            AddTone(s, {.start = start,
                        .seconds = seconds,
                        .f0 = NoteHz(notes[i]) * detune,
                        .amp = 0.35,
                        .attack = 0.02,
                        .release = last ? 0.45 : 0.03,
                        .wave = EWave::Saw,
                        .vibratoHz = last ? 5.5 : 0.0,
                        .vibratoDepth = 0.004,
                        .lowPassHz = last ? 2600.0 : 2000.0});
    }
    for (int k = 0; k < 14; ++k)
        AddNoise(s, {.start = 0.03 * k,
                     .seconds = 0.05,
                     .f0 = 2500.0,
                     .q = 0.8,
                     .amp = 0.05 + 0.02 * k,
                     .tau = 0.02,
                     .attack = 0.001,
                     .release = 0.01,
                     .seed = 100u + static_cast<std::uint32_t>(k)});
    AddNoise(s, {.start = 0.42,
                 .seconds = 0.25,
                 .f0 = 2200.0,
                 .q = 0.7,
                 .amp = 0.5,
                 .tau = 0.07,
                 .attack = 0.001,
                 .release = 0.05,
                 .seed = 131});
    s.resize(SamplesOf(1.2));
    return s;
}

Samples RollLoop() {
    // Brown rumble, low-passed at 300 Hz and pulsing 7 times a second. The noise is treated as
    // one period of an endless signal: the filters run round it until their state repeats, so
    // the last sample leads into the first as smoothly as any two neighbours.
    const std::size_t n = SamplesOf(1.0);
    Samples white(n);
    CNoise noise(77);
    for (float& v : white) v = noise.Next();
    Samples s(n);
    double brown = 0.0;
    CBiquad low;
    low.SetLowPass(300.0, 0.7);
    COnePole dc(20.0);
    for (int pass = 0; pass < 4; ++pass)
        for (std::size_t i = 0; i < n; ++i) {
            brown = 0.995 * brown + 0.05 * white[i];
            s[i] = dc.HighPass(low.Process(static_cast<float>(brown)));
        }
    for (std::size_t i = 0; i < n; ++i)
        s[i] *= static_cast<float>(0.65 + 0.35 * std::sin(2.0 * kPi * 7.0 * static_cast<double>(i) / n));
    return s;
}

Samples Wrong() {
    Samples s = Silence(0.4);
    for (double hz : {110.0, 117.0})
        AddTone(s, {.seconds = 0.4,
                    .f0 = hz,
                    .amp = 0.5,
                    .attack = 0.006,
                    .release = 0.08,
                    .wave = EWave::Square,
                    .lowPassHz = 1800.0});
    return s;
}

Samples GameOver() {
    // A soft organ walking down E4 D4 C4 to a long G3.
    Samples s = Silence(1.5);
    const int notes[] = {64, 62, 60, 55};
    for (int i = 0; i < 4; ++i) {
        const double start = 0.28 * i, seconds = i == 3 ? 1.5 - start : 0.3;
        const double drawbars[][2] = {{1.0, 1.0}, {2.0, 0.45}, {3.0, 0.2}, {4.0, 0.12}};
        for (const auto& d : drawbars)
            AddTone(s, {.start = start,
                        .seconds = seconds,
                        .f0 = NoteHz(notes[i]) * d[0],
                        .amp = 0.4 * d[1],
                        .tau = i == 3 ? 0.5 : 0.0,
                        .attack = 0.02,
                        .release = i == 3 ? 0.3 : 0.05,
                        .vibratoHz = 5.0,
                        .vibratoDepth = 0.002});
    }
    s.resize(SamplesOf(1.5));
    return s;
}

Samples Pop() {
    Samples s = Silence(0.15);
    AddNoise(s, {.seconds = 0.12,
                 .f0 = 3200.0,
                 .f1 = 500.0,
                 .q = 3.0,
                 .amp = 2.2,
                 .tau = 0.03,
                 .attack = 0.001,
                 .release = 0.03,
                 .seed = 5});
    AddTone(s, {.seconds = 0.15, .f0 = 600.0, .f1 = 200.0, .amp = 0.8, .tau = 0.04, .attack = 0.001, .release = 0.03});
    return s;
}

Samples ClearBonus() {
    // Bells running up a major pentatonic scale, ringing over one another.
    Samples s = Silence(0.8);
    const int steps[] = {0, 2, 4, 7, 9, 12, 14, 16, 19, 21, 24};
    for (int i = 0; i < 11; ++i) AddBell(s, 0.045 * i, NoteHz(79 + steps[i]), 0.55, 0.09 + 0.015 * i);
    s.resize(SamplesOf(0.8));
    return s;
}

Samples LevelUp() {
    Samples s = Silence(0.9);
    const int notes[] = {72, 76, 79, 84};  // C5 E5 G5 C6
    for (int i = 0; i < 4; ++i) {
        const double start = 0.09 * i, seconds = 0.9 - start;
        AddTone(s, {.start = start,
                    .seconds = seconds,
                    .f0 = NoteHz(notes[i]),
                    .amp = 0.5,
                    .tau = i == 3 ? 0.3 : 0.12,
                    .attack = 0.004,
                    .release = 0.2,
                    .wave = EWave::Triangle});
        AddBell(s, start, NoteHz(notes[i] + 12), 0.25, 0.1);
    }
    // The shimmer: a high chord trembling over the last note.
    for (int note : {96, 100, 103})
        AddTone(s, {.start = 0.3,
                    .seconds = 0.6,
                    .f0 = NoteHz(note),
                    .amp = 0.1,
                    .tau = 0.25,
                    .attack = 0.03,
                    .release = 0.25,
                    .vibratoHz = 11.0,
                    .vibratoDepth = 0.006});
    s.resize(SamplesOf(0.9));
    return s;
}

Samples Bling() {
    Samples s = Silence(0.4);
    AddBell(s, 0.0, NoteHz(88), 0.8, 0.08);   // E6
    AddBell(s, 0.08, NoteHz(95), 1.0, 0.12);  // B6
    s.resize(SamplesOf(0.4));
    return s;
}

Samples Bomb() {
    Samples s = Silence(0.7);
    AddNoise(s, {.seconds = 0.7,
                 .f0 = 2500.0,
                 .f1 = 150.0,
                 .q = 0.6,
                 .amp = 2.0,
                 .tau = 0.15,
                 .attack = 0.002,
                 .release = 0.2,
                 .seed = 909});
    AddTone(s, {.seconds = 0.6, .f0 = 120.0, .f1 = 45.0, .amp = 1.0, .tau = 0.18, .attack = 0.003, .release = 0.2});
    return s;
}

Samples ColorBomb() {
    // A shimmering zap: frequency modulation whose index climbs, so the tone sparkles brighter.
    const double seconds = 0.6;
    Samples s = Silence(seconds);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = Seconds(i), x = t / seconds;
        const double carrier = 700.0 * std::pow(2.0, x * 1.2);
        const double index = 0.5 + 5.0 * x;
        const double phase = 2.0 * kPi * carrier * t;
        const double v =
            std::sin(phase + index * std::sin(1.5 * phase)) * (0.75 + 0.25 * std::sin(2.0 * kPi * 18.0 * t));
        s[i] = static_cast<float>(v * std::min(1.0, t / 0.01) * (1.0 - x) * (1.0 - x) * 0.7);
    }
    return s;
}

Samples Coin() {
    Samples s = Silence(0.3);
    AddTone(s, {.seconds = 0.3, .f0 = 1900.0, .amp = 0.6, .tau = 0.05, .attack = 0.001, .release = 0.05});
    AddTone(
        s, {.start = 0.055, .seconds = 0.245, .f0 = 2850.0, .amp = 0.7, .tau = 0.08, .attack = 0.001, .release = 0.08});
    return s;
}

Samples Rays() {
    Samples s = Silence(0.5);
    for (int k = 0; k < 3; ++k)
        AddTone(s, {.start = 0.16 * k,
                    .seconds = 0.15,
                    .f0 = 2000.0,
                    .f1 = 300.0,
                    .amp = 0.8 - 0.15 * k,
                    .tau = 0.08,
                    .attack = 0.002,
                    .release = 0.03,
                    .wave = EWave::Triangle});
    s.resize(SamplesOf(0.5));
    return s;
}

Samples Section() {
    Samples s = Silence(0.25);
    AddTone(s, {.seconds = 0.2, .f0 = 95.0, .f1 = 50.0, .amp = 1.0, .tau = 0.06, .attack = 0.002, .release = 0.05});
    AddNoise(s, {.seconds = 0.25,
                 .f0 = 700.0,
                 .f1 = 3000.0,
                 .q = 1.2,
                 .amp = 0.5,
                 .attack = 0.08,
                 .release = 0.15,
                 .seed = 17});
    return s;
}

Samples Count() {
    // 18 ticks spread over 0.75 s, one counting section of the statistics.
    Samples s = Silence(0.75);
    for (int k = 0; k < 18; ++k)
        AddTone(
            s,
            {.start = 0.75 / 18.0 * k, .seconds = 0.008, .f0 = 1500.0, .amp = 1.0, .attack = 0.002, .release = 0.005});
    s.resize(SamplesOf(0.75));
    return s;
}

Samples Applause() {
    // Hand claps at random moments, thick in the middle and thinning out at both ends.
    const double seconds = 1.6;
    Samples s = Silence(seconds);
    CNoise chance(4242);
    for (double t = 0.01; t < seconds - 0.03;) {
        const double x = t / seconds;
        const double density = 10.0 + 90.0 * std::sin(kPi * std::pow(x, 0.7));  // claps per second
        const double length = 0.005 + 0.01 * chance.NextUnit();
        AddNoise(s, {.start = t,
                     .seconds = length + 0.02,
                     .f0 = 1100.0 + 1400.0 * chance.NextUnit(),
                     .q = 1.2,
                     .amp = (0.4 + 0.6 * chance.NextUnit()) * (0.35 + 0.65 * std::sin(kPi * x)),
                     .tau = length,
                     .attack = 0.0008,
                     .release = 0.01,
                     .seed = static_cast<std::uint32_t>(t * 100000.0) + 1u});
        t += (0.3 + 1.4 * chance.NextUnit()) / density;
    }
    s.resize(SamplesOf(seconds));
    return s;
}

Samples Buy() {
    // "Ka-ching": the drawer's clack, then the register's bell.
    Samples s = Silence(0.4);
    AddNoise(s, {.seconds = 0.03,
                 .f0 = 3500.0,
                 .q = 1.0,
                 .amp = 1.0,
                 .tau = 0.008,
                 .attack = 0.0008,
                 .release = 0.01,
                 .seed = 61});
    AddNoise(s, {.start = 0.04,
                 .seconds = 0.03,
                 .f0 = 2500.0,
                 .q = 1.5,
                 .amp = 0.8,
                 .tau = 0.01,
                 .attack = 0.0008,
                 .release = 0.01,
                 .seed = 62});
    AddBell(s, 0.07, 2400.0, 0.8, 0.1);
    AddBell(s, 0.07, 3000.0, 0.3, 0.07);
    s.resize(SamplesOf(0.4));
    return s;
}

Samples Sell() {
    Samples s = Silence(0.3);
    AddBell(s, 0.0, 1600.0, 0.8, 0.05);
    AddBell(s, 0.1, 1200.0, 0.9, 0.07);
    s.resize(SamplesOf(0.3));
    return s;
}

Samples Star() {
    // A quick rising arpeggio with two fainter echoes.
    Samples s = Silence(0.8);
    const int notes[] = {91, 95, 98, 103};  // G6 B6 D7 G7
    const double echoes[][2] = {{0.0, 1.0}, {0.17, 0.4}, {0.34, 0.16}};
    for (const auto& e : echoes)
        for (int i = 0; i < 4; ++i) AddBell(s, e[0] + 0.05 * i, NoteHz(notes[i]), 0.7 * e[1], 0.09);
    s.resize(SamplesOf(0.8));
    return s;
}

Samples TapChick() {
    Samples s = Peep(0);
    s.resize(SamplesOf(0.2), 0.0f);
    return s;
}
Samples TapHen() {
    Samples s = Cluck(3, 1.05, 301);
    s.resize(SamplesOf(0.3), 0.0f);
    return s;
}
Samples TapDuck() { return Quack(250.0, 0.29, 401); }

Samples Unlock() {
    Samples s = Silence(0.5);
    // The latch: a bright metallic click of two inharmonic partials and a noise snap.
    AddNoise(s, {.seconds = 0.02,
                 .f0 = 5000.0,
                 .q = 2.0,
                 .amp = 1.0,
                 .tau = 0.005,
                 .attack = 0.0005,
                 .release = 0.008,
                 .seed = 71});
    for (double hz : {3100.0, 4730.0})
        AddTone(s, {.seconds = 0.06, .f0 = hz, .amp = 0.3, .tau = 0.012, .attack = 0.0005, .release = 0.02});
    // Then the chime, climbing a fifth.
    AddBell(s, 0.08, NoteHz(84), 0.6, 0.1);
    AddBell(s, 0.16, NoteHz(91), 0.8, 0.13);
    s.resize(SamplesOf(0.5));
    return s;
}

Samples StarPing() {
    Samples s = Silence(0.3);
    AddBell(s, 0.0, NoteHz(100), 1.0, 0.07);  // E7
    s.resize(SamplesOf(0.3));
    return s;
}

}  // namespace recipes

namespace {

struct TRecipe {
    const char* name;
    Samples (*make)();
    double peakDb;
    bool loop;
};

// Peaks are set by ear for balance: short bright sounds a little lower, the rumble that loops
// under the gameplay well below everything else.
constexpr TRecipe kRecipes[] = {
    {"sfx_button.wav", recipes::Button, -8.0, false},
    {"sfx_whoosh_out.wav", recipes::WhooshOut, -9.0, false},
    {"sfx_whoosh_in.wav", recipes::WhooshIn, -11.0, false},
    {"sfx_achievement.wav", recipes::Achievement, -5.0, false},
    {"sfx_life_lost.wav", recipes::LifeLost, -11.0, false},
    {"sfx_intro.wav", recipes::Intro, -5.0, false},
    {"sfx_roll_loop.wav", recipes::RollLoop, -12.0, true},
    {"sfx_wrong.wav", recipes::Wrong, -11.0, false},
    {"sfx_game_over.wav", recipes::GameOver, -8.0, false},
    {"sfx_pop.wav", recipes::Pop, -5.0, false},
    {"sfx_clear_bonus.wav", recipes::ClearBonus, -6.0, false},
    {"sfx_level_up.wav", recipes::LevelUp, -5.0, false},
    {"sfx_bling.wav", recipes::Bling, -7.0, false},
    {"sfx_bomb.wav", recipes::Bomb, -3.5, false},
    {"sfx_colorbomb.wav", recipes::ColorBomb, -6.0, false},
    {"sfx_coin.wav", recipes::Coin, -7.0, false},
    {"sfx_rays.wav", recipes::Rays, -7.0, false},
    {"sfx_section.wav", recipes::Section, -7.0, false},
    {"sfx_count.wav", recipes::Count, -12.0, false},
    {"sfx_applause.wav", recipes::Applause, -6.0, false},
    {"sfx_buy.wav", recipes::Buy, -6.0, false},
    {"sfx_sell.wav", recipes::Sell, -8.0, false},
    {"sfx_star.wav", recipes::Star, -6.0, false},
    {"sfx_tap_chick.wav", recipes::TapChick, -8.0, false},
    {"sfx_tap_hen.wav", recipes::TapHen, -7.0, false},
    {"sfx_tap_duck.wav", recipes::TapDuck, -7.0, false},
    {"sfx_unlock.wav", recipes::Unlock, -6.0, false},
    {"sfx_star_ping.wav", recipes::StarPing, -8.0, false},
    {"cluck1.wav", recipes::Cluck1, -7.0, false},
    {"cluck2.wav", recipes::Cluck2, -7.0, false},
    {"cluck3.wav", recipes::Cluck3, -7.0, false},
    {"cluck_q.wav", recipes::CluckQuestion, -7.0, false},
    {"peep1.wav", recipes::Peep1, -9.0, false},
    {"peep2.wav", recipes::Peep2, -9.0, false},
    {"crow.wav", recipes::Crow, -7.0, false},
    {"quack1.wav", recipes::Quack1, -7.0, false},
    {"quack2.wav", recipes::Quack2, -7.0, false},
    {"honk.wav", recipes::Honk, -7.0, false},
    {"gobble.wav", recipes::Gobble, -7.0, false},
    {"coo.wav", recipes::Coo, -8.0, false},
    {"squawk.wav", recipes::Squawk, -8.0, false},
    {"hoot.wav", recipes::Hoot, -8.0, false},
    {"chirp.wav", recipes::Chirp, -9.0, false},
    {"trumpet.wav", recipes::Trumpet, -7.0, false},
    {"whee.wav", recipes::Whee, -8.0, false},
};

}  // namespace

bool MakeEffect(std::string_view fileName, Samples& out) {
    for (const TRecipe& r : kRecipes)
        if (fileName == r.name) {
            out = r.make();
            Finish(out, r.peakDb, r.loop);
            return true;
        }
    return false;
}

std::vector<TEffectInfo> ListEffects() {
    std::vector<TEffectInfo> list;
    for (const TRecipe& r : kRecipes) list.push_back({r.name, r.peakDb, r.loop});
    return list;
}

}  // namespace soundgen
