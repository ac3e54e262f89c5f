// The music source format: a text score of voices, patterns and a song that strings patterns
// into sections. One file per track:
//
//   tempo 120              beats per minute
//   meter 4 4              beats per bar, steps per beat (a step is the unit of every length)
//   loop yes               "no" renders `tail` seconds past the last bar and fades them out
//   level -7               the track's peak in dBFS
//   voice lead pluck gain 0.5 reverb 0.3 tone 0.6
//   pattern verse 2        a pattern of 2 bars; each line gives one voice's notes
//     lead  C5/2 E5/2 G5/4! r/4 C5+E5+G5/8
//     drums x...x...X...x...          (drum voices: one character a step)
//   end
//   song
//     verse*2 drums*3,fill one section: its words start together and must last equally; a
//                          word chains patterns ("," one after another, "*N" repeated)
//
// A note is a name (C..B, # or b, octave; "r" rests; "+" stacks a chord), "/steps" (default:
// the previous length, at first one beat) and an optional "!" (accent) or "?" (soft). Drum
// steps are "x" (hit), "X" (accent), "o" (the instrument's other stroke: open hat, ghost
// note) and "." (rest). "//" and "#" at the start of a word begin a comment.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace soundgen {

enum class EInstrument { Pluck, Lead, Bass, Pad, Bell, Mallet, Trill, Kick, Snare, Hat };

struct TVoice {
    std::string name;
    EInstrument instrument = EInstrument::Pluck;
    double gain = 0.5;
    double reverb = 0.2;  // send to the shared room
    double tone = 0.5;    // brightness, 0..1
};

// One struck note or chord, or one drum hit.
struct TNoteEvent {
    int voice = 0;
    long startStep = 0;
    int lengthSteps = 0;
    std::vector<int> notes;  // note numbers (A4 = 69); empty for drums
    float velocity = 0.8f;
    char stroke = 'x';  // drums: 'x' or 'o'
};

struct TScore {
    double tempo = 120.0;
    int beatsPerBar = 4;
    int stepsPerBeat = 4;
    bool loop = true;
    double tailSeconds = 0.0;
    double levelDb = -7.0;
    double swing = 0.0;  // delay of every second step, as a fraction of a step
    std::uint32_t seed = 1;
    std::vector<TVoice> voices;
    std::vector<TNoteEvent> events;  // in song order
    long totalSteps = 0;
};

// Parses a score; on failure false with "<name>:<line>: <what>" in `error`.
[[nodiscard]] bool ParseScore(std::string_view text, std::string_view name, TScore& out, std::string& error);
// The note number of a name such as "C4" (60), "F#3", "Bb5"; -1 when it is not one.
[[nodiscard]] int ParseNoteName(std::string_view text);
// The sample at which a step begins: round(step x 60 / (tempo x stepsPerBeat) x rate).
[[nodiscard]] std::size_t StepToSample(const TScore& score, double step);
// True for the instruments written as drum steps.
[[nodiscard]] bool IsDrum(EInstrument instrument);

}  // namespace soundgen
