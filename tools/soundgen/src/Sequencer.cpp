#include "soundgen/Sequencer.h"

#include <algorithm>
#include <cmath>

#include "soundgen/Dsp.h"
#include "soundgen/Instruments.h"

namespace soundgen {

namespace {

// Room left behind the last bar for ringing notes and the reverb, before a loop folds it back.
constexpr double kRingSeconds = 4.0;

}  // namespace

std::size_t TrackLength(const TScore& score) {
    const std::size_t song = StepToSample(score, static_cast<double>(score.totalSteps));
    return score.loop ? song : song + SamplesOf(score.tailSeconds);
}

Samples RenderScore(const TScore& score) {
    const std::size_t song = StepToSample(score, static_cast<double>(score.totalSteps));
    const double stepSeconds = 60.0 / (score.tempo * score.stepsPerBeat);
    Samples dry(song + SamplesOf(kRingSeconds), 0.0f), send(dry.size(), 0.0f);
    CNoise human(score.seed);
    std::uint32_t hitSeed = score.seed * 2654435761u;
    for (const TNoteEvent& e : score.events) {
        const TVoice& voice = score.voices[static_cast<std::size_t>(e.voice)];
        // Swing delays the off-beat step of each pair; a few milliseconds of jitter and a few
        // percent of velocity keep repeated patterns from sounding stamped.
        double step = static_cast<double>(e.startStep);
        if (e.startStep % 2 == 1) step += score.swing;
        const double jitterSeconds = (human.NextUnit() - 0.5) * 0.006;
        TNoteEvent played = e;
        played.velocity = static_cast<float>(e.velocity * (0.94 + 0.06 * human.NextUnit()));
        const Samples note = RenderNote(voice, played, e.lengthSteps * stepSeconds * 0.92, hitSeed += 40503u);
        const std::size_t at = SamplesOf(std::max(0.0, step * stepSeconds + jitterSeconds));
        if (at >= dry.size()) continue;
        const std::size_t n = std::min(note.size(), dry.size() - at);
        for (std::size_t i = 0; i < n; ++i) {
            dry[at + i] += note[i];
            send[at + i] += static_cast<float>(note[i] * voice.reverb);
        }
    }
    CReverb room(0.55, 0.5);
    COnePole rumble(25.0);
    for (std::size_t i = 0; i < dry.size(); ++i) {
        const float mixed = dry[i] + 0.6f * room.Process(send[i]);
        // Nothing below ~25 Hz is music here: keep the track free of offset and rumble.
        dry[i] = rumble.HighPass(mixed);
    }
    if (score.loop) {
        FoldIntoLoop(dry, song);
    } else {
        dry.resize(TrackLength(score));
        FadeEdges(dry, SamplesOf(0.005), SamplesOf(std::max(0.05, score.tailSeconds)));
    }
    NormalisePeak(dry, score.levelDb);
    return dry;
}

}  // namespace soundgen
