// The score format: notes, chords, drums, lengths and the song's sections, and a clear message
// naming the line for each kind of mistake.
#include <gtest/gtest.h>

#include <string>

#include "soundgen/Score.h"

namespace {

using namespace soundgen;

const char* kHeader =
    "tempo 120\n"
    "meter 4 4\n"
    "voice tune pluck gain 0.6 reverb 0.1 tone 0.9\n"
    "voice drum kick\n";

TScore Parse(const std::string& text) {
    TScore score;
    std::string error;
    EXPECT_TRUE(ParseScore(text, "t.txt", score, error)) << error;
    return score;
}

TEST(ParseNoteName, ReadsNamesAccidentalsAndOctaves) {
    struct TCase {
        const char* name;
        int note;
    } cases[] = {{"A4", 69}, {"C4", 60}, {"F#3", 54}, {"Bb5", 82}, {"C#6", 85}, {"Cb4", 59}, {"C0", 12},
                 {"H4", -1}, {"C", -1},  {"C9", -1},  {"Cx4", -1}, {"c4", -1},  {"", -1},    {"C44", -1}};
    for (const auto& c : cases) EXPECT_EQ(ParseNoteName(c.name), c.note) << c.name;
}

TEST(ParseScore, PlacesNotesChordsAndDrumHitsOnTheirSteps) {
    const TScore s = Parse(std::string(kHeader) +
                           "pattern p 1\n"
                           "tune C4/4 E4+G4/8! r/4   // a comment\n"
                           "drum x...X...o.......\n"
                           "end\n"
                           "song\n"
                           "p*2\n");
    ASSERT_EQ(s.voices.size(), 2u);
    EXPECT_EQ(s.voices[0].instrument, EInstrument::Pluck);
    EXPECT_DOUBLE_EQ(s.voices[0].gain, 0.6);
    EXPECT_DOUBLE_EQ(s.voices[0].tone, 0.9);
    EXPECT_EQ(s.totalSteps, 32);
    ASSERT_EQ(s.events.size(), 10u);
    struct TExpect {
        int voice;
        long start;
        int length;
        std::vector<int> notes;
        float velocity;
        char stroke;
    } expected[] = {{0, 0, 4, {60}, 0.8f, 'x'},      {0, 4, 8, {64, 67}, 1.0f, 'x'}, {1, 0, 1, {}, 0.8f, 'x'},
                    {1, 4, 1, {}, 1.0f, 'x'},        {1, 8, 1, {}, 0.7f, 'o'},       {0, 16, 4, {60}, 0.8f, 'x'},
                    {0, 20, 8, {64, 67}, 1.0f, 'x'}, {1, 16, 1, {}, 0.8f, 'x'},      {1, 20, 1, {}, 1.0f, 'x'},
                    {1, 24, 1, {}, 0.7f, 'o'}};
    for (std::size_t i = 0; i < 10; ++i) {
        EXPECT_EQ(s.events[i].voice, expected[i].voice) << i;
        EXPECT_EQ(s.events[i].startStep, expected[i].start) << i;
        EXPECT_EQ(s.events[i].lengthSteps, expected[i].length) << i;
        EXPECT_EQ(s.events[i].notes, expected[i].notes) << i;
        EXPECT_FLOAT_EQ(s.events[i].velocity, expected[i].velocity) << i;
        EXPECT_EQ(s.events[i].stroke, expected[i].stroke) << i;
    }
}

TEST(ParseScore, LengthsCarryOverAndChainsPlayOneAfterAnother) {
    const TScore s = Parse(std::string(kHeader) +
                           "pattern a 1\n"
                           "tune C4/2 D4 E4 F4 G4/8\n"  // 2+2+2+2+8
                           "end\n"
                           "pattern b 2\n"
                           "tune C5/32\n"
                           "end\n"
                           "song\n"
                           "a*2 b\n"
                           "a,b,a b*2\n");
    EXPECT_EQ(s.totalSteps, 32 + 64);
    std::vector<long> starts;
    for (const auto& e : s.events)
        if (e.notes[0] == 72) starts.push_back(e.startStep);
    EXPECT_EQ(starts, (std::vector<long>{0, 48, 32, 64})) << "b at 0, then in the chain after a, then b*2";
}

TEST(ParseScore, ReadsTheHeader) {
    const TScore s = Parse(
        "tempo 96\nmeter 3 2\nloop no\ntail 1.5\nlevel -9\nswing 0.2\nseed 77\nvoice v bell\n"
        "pattern p 1\nv A4/6\nend\nsong\np\n");
    EXPECT_DOUBLE_EQ(s.tempo, 96.0);
    EXPECT_EQ(s.beatsPerBar, 3);
    EXPECT_EQ(s.stepsPerBeat, 2);
    EXPECT_FALSE(s.loop);
    EXPECT_DOUBLE_EQ(s.tailSeconds, 1.5);
    EXPECT_DOUBLE_EQ(s.levelDb, -9.0);
    EXPECT_DOUBLE_EQ(s.swing, 0.2);
    EXPECT_EQ(s.seed, 77u);
    EXPECT_EQ(s.totalSteps, 6);
}

TEST(ParseScore, NamesTheLineAndTheMistake) {
    const std::string pattern = "pattern p 1\ntune C4/16\nend\n";
    struct TCase {
        std::string body;
        const char* message;
    } cases[] = {
        {"pattern p 1\ntuna C4/16\nend\nsong\np\n", "t.txt:6: unknown voice 'tuna'"},
        {"pattern p 1\ntune C4/8\nend\nsong\np\n", "t.txt:7: voice 'tune' fills 8 of the 16 steps"},
        {"pattern p 1\ntune H4/16\nend\nsong\np\n", "t.txt:6: 'H4' is not a note"},
        {"pattern p 1\ndrum x..y............\nend\nsong\np\n", "t.txt:6: 'y' is not a drum step"},
        {pattern + "song\nq\n", "t.txt:9: unknown pattern 'q'"},
        {pattern + "song\np p*2\n", "t.txt:9: 'p*2' lasts 32 steps, the section 16"},
        {pattern + "pattern p 1\nend\n", "t.txt:8: pattern 'p' is defined twice"},
        {"voice x flute\n", "t.txt:5: unknown instrument 'flute'"},
        {"voice tune bell\n", "t.txt:5: voice 'tune' is defined twice"},
        {"voice y bell volume 2\n", "t.txt:5: unknown voice setting 'volume'"},
        {"tempo 1000\n", "t.txt:5: '1000' is not a number within"},
        {"pattern p 1\ntune C4/16\n", "pattern 'p' has no end"},
        {pattern, "no song"},
        {"song\n", "no song"},
        {"bars 7\n", "t.txt:5: cannot read 'bars' here"},
    };
    for (const auto& c : cases) {
        TScore score;
        std::string error;
        EXPECT_FALSE(ParseScore(std::string(kHeader) + c.body, "t.txt", score, error)) << c.message;
        EXPECT_NE(error.find(c.message), std::string::npos) << "got: " << error;
    }
}

TEST(StepToSample, RoundsTheStepsTimeToTheNearestSample) {
    TScore s;
    s.tempo = 132.0;
    s.stepsPerBeat = 4;
    // One bar of 4 beats at 132 BPM: 240/132 s = 40090.9 samples.
    EXPECT_EQ(StepToSample(s, 16), 40091u);
    s.tempo = 120.0;
    EXPECT_EQ(StepToSample(s, 4), 11025u);
    EXPECT_EQ(StepToSample(s, 0), 0u);
}

}  // namespace
