// The game's built sounds, read by the engine's own readers: the effect table names the game's
// effects in order and every file it or the bird table names loads as a 22050 Hz mono 16-bit
// effect with headroom; the six tracks decode through the Ogg stream to the length their score
// states, loop without a jump and leave room for the music volume's gain.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "audio/SoundFX.h"
#include "audio/SoundManager.h"
#include "audio/StreamingProviderOGG.h"
#include "core/MemFile.h"
#include "core/Parser.h"
#include "testsupport/FakeSoundHost.h"
#include "testsupport/MemoryFiles.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int kRate = 22050;

Bytes ReadStaged(const std::string& relative) {
    std::ifstream in(std::string(COBBLE_PAK_STAGE) + "/" + relative, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<std::int16_t> SamplesOf(const SoundFX& fx) {
    std::vector<std::int16_t> s(fx.length());
    std::memcpy(s.data(), fx.data(), s.size() * 2);
    return s;
}

int PeakOf(const std::vector<std::int16_t>& s) {
    int peak = 0;
    for (std::int16_t v : s) peak = std::max(peak, std::abs(static_cast<int>(v)));
    return peak;
}

// True when the step from the last sample into the first is no bigger than the largest step
// within 20 ms either side of it: a cut or a missing tail shows as a jump above its neighbours.
bool WrapsSmoothly(const std::vector<std::int16_t>& s) {
    const std::size_t window = std::min<std::size_t>(kRate / 50, s.size() / 2);
    int largest = 0;
    for (std::size_t i = 1; i < window; ++i) {
        largest = std::max(largest, std::abs(s[i] - s[i - 1]));
        largest = std::max(largest, std::abs(s[s.size() - i] - s[s.size() - i - 1]));
    }
    return std::abs(s.back() - s.front()) <= largest;
}

// -3 dBFS: the effects' ceiling, so eight mixed channels rarely clip.
const int kEffectCeiling = static_cast<int>(32767 * std::pow(10.0, -3.0 / 20.0));

// Loads one staged effect file as the game's loader does, checking its format and level.
void ExpectGameEffect(const std::string& relative, std::vector<std::int16_t>* samples = nullptr) {
    const Bytes bytes = ReadStaged("Sound_BB/" + relative);
    ASSERT_FALSE(bytes.empty()) << relative << " is missing";
    SoundFX fx;
    ASSERT_TRUE(fx.load(bytes.data(), bytes.size())) << relative;
    EXPECT_EQ(fx.rate(), kRate) << relative;
    EXPECT_EQ(fx.channels(), 1) << relative;
    EXPECT_FALSE(fx.is8Bit()) << relative;
    EXPECT_GT(fx.length(), 0u) << relative;
    const auto s = SamplesOf(fx);
    EXPECT_LE(PeakOf(s), kEffectCeiling) << relative;
    if (samples) *samples = s;
}

class AudioContent : public ::testing::Test {
protected:
    CFakeSoundHost game;
};

TEST_F(AudioContent, EffectTableNamesTheGamesEffectsInOrderAndEveryFileLoads) {
    // The names the game's code plays, in the order the loader's first steps rely on.
    const char* const names[] = {"SFX_BUTTON_PRESSED",
                                 "SFX_SCREEN_TRANSITION",
                                 "SFX_SCREEN_TRANSITION2",
                                 "SFX_ACH_GAINED",
                                 "SFX_LIFELOST",
                                 "SFX_GameplayIntro",
                                 "SFX_PATH_MOVE",
                                 "SFX_WRONG_BALL",
                                 "SFX_GAMEOVER",
                                 "SFX_BALL_EXPLODE1",
                                 "SFX_CLEARBONUS",
                                 "SFX_GainGameplayLevel",
                                 "SFX_SPAWN_BONUS",
                                 "SFX_POWERUP_BOMB",
                                 "SFX_POWERUP_COLORBOMB",
                                 "SFX_POWERUP_COIN",
                                 "SFX_8_WAY_BOMB",
                                 "SFX_RoundStats_ShowSection",
                                 "SFX_RoundStats_IncCoinValue",
                                 "SFX_APPLAUSE",
                                 "Shop_BuyItem",
                                 "Shop_SellItem",
                                 "Shop_GainStar",
                                 "StartMenu_Tap_Chicken",
                                 "StartMenu_Tap_BirdLeft",
                                 "StartMenu_Tap_BirdRight",
                                 "PlayMenu_UnlockLevel",
                                 "PlayMenu_UnlockYard_Star"};
    CSoundManager manager(&game);
    CMemoryFile* table = MemoryFileOver(ReadStaged("Data/sfx.txt"));
    ASSERT_TRUE(manager.ReadSfxFromFile(static_cast<IFile*>(table)));
    delete table;
    ASSERT_EQ(manager.GetNumSoundFX(), 28);
    for (int i = 0; i < 28; ++i) {
        const SoundFXData* entry = manager.GetSoundFX(i);
        EXPECT_STREQ(entry->name.GetData(), names[i]) << i;
        ASSERT_GT(entry->file.Length(), 0) << names[i];
        ExpectGameEffect(entry->file.GetData());
    }
}

TEST_F(AudioContent, TimedEffectsFitTheirUse) {
    std::vector<std::int16_t> count, roll;
    ExpectGameEffect("sfx_count.wav", &count);
    // One counting section of the statistics lasts 22 frames at 30 per second.
    EXPECT_NEAR(count.size() / static_cast<double>(kRate), 0.75, 0.03);
    // The rolling rumble plays looped: its wrap jumps no more than its neighbours do.
    ExpectGameEffect("sfx_roll_loop.wav", &roll);
    ASSERT_FALSE(roll.empty());
    EXPECT_TRUE(WrapsSmoothly(roll));
}

TEST_F(AudioContent, EveryBirdCallLoadsAndEveryBirdHasEachKindOfCall) {
    const Bytes bytes = ReadStaged("Data/bird_sounds.txt");
    ASSERT_FALSE(bytes.empty());
    TParseInput input;
    input.bytes = reinterpret_cast<const char*>(bytes.data());
    input.size = static_cast<int>(bytes.size());
    std::set<std::string> ids, birds;
    std::string bird;
    std::set<std::string> kinds;
    const std::set<std::string> allKinds = {"eat", "drink", "question", "tap", "tap_spin"};
    CommonStringRS<50> line, key, value;
    while (Parser::GetNextLine(input, line)) {
        if (line.IsEqual("end")) {
            EXPECT_EQ(kinds, allKinds) << bird;
            bird.clear();
            kinds.clear();
            continue;
        }
        Parser::ReadPropertyFromString(line, key, value);
        const std::string k = key.GetData(), v = Parser::ExtractName(value).GetData();
        if (bird.empty() && k == "bird") {
            bird = v;
            EXPECT_TRUE(birds.insert(v).second) << "bird " << v << " twice";
        } else if (!bird.empty() && allKinds.count(k)) {
            kinds.insert(k);
            ids.insert(v);
        }
    }
    std::set<std::string> expectedBirds;
    for (int n = 1; n <= 12; ++n) expectedBirds.insert("bird" + std::to_string(n));
    EXPECT_EQ(birds, expectedBirds);
    // The sound system has 100 effect slots for the table's effects and the bird calls together.
    EXPECT_LE(28 + ids.size(), 100u);
    for (const std::string& id : ids) ExpectGameEffect("Birds/" + id);
}

struct TTrack {
    const char* file;
    double bpm;
    int beatsPerBar, bars;
    double tailSeconds;  // a one-shot's ring-out after its last bar
};

// Each track's stated length: whole bars at its tempo, plus the jingle's ring-out.
const TTrack kTracks[] = {
    {"gameplay1.ogg", 120, 4, 24, 0}, {"gameplay2.ogg", 132, 4, 24, 0}, {"gameplay3.ogg", 140, 4, 28, 0},
    {"startmenu.ogg", 96, 4, 16, 0},  {"yard1.ogg", 90, 3, 24, 0},      {"round_stats.ogg", 120, 4, 4, 1.0},
};

// Plays a stream once at unit gain and returns every sample it gave.
std::vector<std::int16_t> PlayOnce(CStreamingProviderOGG& stream) {
    std::vector<std::int16_t> all;
    stream.SetVolume(128);
    stream.Start(false);
    std::vector<short> mix(1024);
    for (int guard = 0; stream.IsPlaying() && guard < 5000; ++guard) {
        std::fill(mix.begin(), mix.end(), 0);
        stream.UpdateBufferAdd(mix.data(), static_cast<int>(mix.size()));
        all.insert(all.end(), mix.begin(), mix.end());
    }
    return all;
}

TEST_F(AudioContent, TracksDecodeThroughTheStreamToTheirStatedLength) {
    for (const TTrack& t : kTracks) {
        SCOPED_TRACE(t.file);
        const auto frames = static_cast<std::int64_t>(
            std::llround(t.bars * t.beatsPerBar * 60.0 / t.bpm * kRate + t.tailSeconds * kRate));
        CStreamingProviderOGG stream(&game);
        const Bytes bytes = ReadStaged(std::string("Sound_BB/") + t.file);
        ASSERT_FALSE(bytes.empty());
        ASSERT_TRUE(stream.LoadStreamFromFile(MemoryFileOver(bytes), t.file));
        EXPECT_EQ(stream.GetTotalFrames(), frames);
        EXPECT_EQ(stream.GetSourceRate(), kRate);
        EXPECT_EQ(stream.GetChannels(), 1);
        std::vector<std::int16_t> played = PlayOnce(stream);
        EXPECT_FALSE(stream.IsPlaying()) << "a single play ends";
        ASSERT_GE(played.size(), static_cast<std::size_t>(frames));
        // Past the stated length the stream adds nothing.
        for (std::size_t i = static_cast<std::size_t>(frames); i < played.size(); ++i) ASSERT_EQ(played[i], 0) << i;
        played.resize(static_cast<std::size_t>(frames));
        // At full music volume the stream is amplified by 191/128; the track leaves room for it.
        EXPECT_LE(PeakOf(played) * 191 / 128, 32767 * 9 / 10);
        double sum = 0.0;
        for (std::int16_t v : played) sum += static_cast<double>(v) * v;
        EXPECT_GT(std::sqrt(sum / frames), 32767 * 0.02) << "audible throughout (RMS)";
        if (t.tailSeconds > 0) {
            EXPECT_LE(std::abs(played.back()), 64) << "a one-shot ends in silence";
        } else {
            EXPECT_TRUE(WrapsSmoothly(played)) << "the loop wrap jumps";
        }
    }
}

}  // namespace
