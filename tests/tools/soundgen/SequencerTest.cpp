// Rendering a score: track length, when a hit sounds, the level, a seamless loop wrap, a
// one-shot's fade and repeatability.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "soundgen/Dsp.h"
#include "soundgen/Sequencer.h"

namespace {

using namespace soundgen;

TScore Parse(const std::string& text) {
    TScore score;
    std::string error;
    EXPECT_TRUE(ParseScore(text, "t.txt", score, error)) << error;
    return score;
}

// A long pad chord held over the loop point, a pluck and a kick: everything that rings on.
const char* kLoop =
    "tempo 120\nmeter 4 4\nloop yes\nlevel -7\n"
    "voice pad pad reverb 0.5\nvoice pl pluck reverb 0.5\nvoice k kick\n"
    "pattern p 2\npad C4+E4+G4/32\npl r/24 G5/8\nk x...............x.......x......x\nend\nsong\np\n";

TEST(RenderScore, LoopLastsTheSongExactlyAndWrapsSeamlessly) {
    const TScore score = Parse(kLoop);
    const Samples s = RenderScore(score);
    ASSERT_EQ(s.size(), 2u * 2u * kSampleRate) << "two bars of 4 beats at 120 BPM";
    EXPECT_EQ(TrackLength(score), s.size());
    // The step from the last sample into the first is no bigger than its neighbours within
    // 20 ms either side.
    float largest = 0.0f;
    for (std::size_t i = 1; i < SamplesOf(0.02); ++i) {
        largest = std::max(largest, std::abs(s[i] - s[i - 1]));
        largest = std::max(largest, std::abs(s[s.size() - i] - s[s.size() - i - 1]));
    }
    EXPECT_LE(std::abs(s.front() - s.back()), largest);
    // The pad was still sounding when the song ended: its release runs on at the start.
    EXPECT_GT(std::abs(s[100]), 1e-4f);
}

TEST(RenderScore, PeakSitsAtTheScoresLevel) {
    const Samples s = RenderScore(Parse(kLoop));
    EXPECT_NEAR(Peak(s), std::pow(10.0, -7.0 / 20.0), 1e-6);
    EXPECT_NEAR(Mean(s), 0.0, 1e-3);
}

TEST(RenderScore, HitsSoundOnTheirStep) {
    // A kick on beat 2 at 120 BPM: 0.5 s in, give or take the few milliseconds of human timing.
    const Samples s = RenderScore(Parse(
        "tempo 120\nmeter 4 4\nloop no\ntail 0.5\nvoice k kick\npattern p 1\nk ....x...........\nend\nsong\np\n"));
    EXPECT_EQ(s.size(), 2u * kSampleRate + SamplesOf(0.5));
    std::size_t onset = 0;
    while (onset < s.size() && std::abs(s[onset]) < 1e-3f) ++onset;
    EXPECT_NEAR(static_cast<double>(onset), 11025.0, SamplesOf(0.004));
}

TEST(RenderScore, OneShotsFadeToSilenceAtTheEnd) {
    const Samples s =
        RenderScore(Parse("tempo 120\nmeter 4 4\nloop no\ntail 1\nvoice b bell\npattern p 1\nb C6/16\nend\nsong\np\n"));
    EXPECT_EQ(s.back(), 0.0f);
    EXPECT_EQ(s.front(), 0.0f);
}

TEST(RenderScore, TheSameScoreGivesTheSameSamples) { EXPECT_EQ(RenderScore(Parse(kLoop)), RenderScore(Parse(kLoop))); }

}  // namespace
