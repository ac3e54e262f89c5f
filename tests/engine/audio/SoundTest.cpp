// The mixer without its thread: the tests mix fragments by hand and read the output block.
#include "audio/Sound.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>

#include "AudioTestSupport.h"
#include "audio/SoundFX.h"
#include "audio/StreamingProviderWAV.h"
#include "platform/Pcm.h"

using namespace audio_test;

namespace {

constexpr int kFrames = 1024;  // a 4096-byte fragment of 16-bit stereo frames

class MixerTest : public ::testing::Test {
protected:
    void SetUp() override { platform::PcmUseBackend(platform::PcmBackendKind::Null); }

    bool Open(int rate = 48000, bool stereo = false, int mods = 1, int sfx = 8) {
        mixer.SetAudioThreadEnabled(false);
        return mixer.open(rate, 16, stereo, mods, sfx);
    }

    // An effect over 16-bit samples (or 8-bit bytes); the image lives as long as the test.
    SoundFX* Effect16(const std::vector<std::int16_t>& samples, int rate = 48000, int channels = 1) {
        TWavSpec spec;
        spec.rate = rate;
        spec.channels = channels;
        spec.data = Samples16(samples);
        return Keep(BuildWav(spec));
    }
    SoundFX* Effect8(const Bytes& bytes, int rate = 48000) {
        TWavSpec spec;
        spec.rate = rate;
        spec.bits = 8;
        spec.data = bytes;
        return Keep(BuildWav(spec));
    }
    SoundFX* Keep(const Bytes& image) {
        images.push_back(image);
        effects.push_back(std::make_unique<SoundFX>());
        EXPECT_TRUE(effects.back()->load(images.back().data(), images.back().size()));
        return effects.back().get();
    }

    std::int16_t Left(int frame) const { return mixer.OutputBlock()[2 * frame]; }
    std::int16_t Right(int frame) const { return mixer.OutputBlock()[2 * frame + 1]; }

    std::deque<Bytes> images;
    std::vector<std::unique_ptr<SoundFX>> effects;
    Sound mixer;
};

TEST_F(MixerTest, OpenHoldsItsSettingsToTheSupportedValues) {
    struct TCase {
        int rate, mods, sfx, mixRate, channelCount, firstEffectNumber;
        const char* why;
    };
    const TCase cases[] = {
        {32000, 0, 5, 22050, 8, 1, "odd rate mixes at 22050; 0 module channels give 1; 5 effect channels give 8"},
        {44100, 3, 100, 44100, 64, 3, "100 effect channels give 64"},
        {11025, 9, 8, 11025, 8, 3, "9 module channels give 3"},
    };
    for (const auto& c : cases) {
        Sound s;
        s.SetAudioThreadEnabled(false);
        ASSERT_TRUE(s.open(c.rate, 16, false, c.mods, c.sfx)) << c.why;
        EXPECT_EQ(s.MixRate(), c.mixRate) << c.why;
        EXPECT_EQ(s.maxChannelSFX(), c.channelCount) << c.why;
        EXPECT_EQ(s.volumeSFX(), 64) << c.why;
        EXPECT_NE(s.channel(c.firstEffectNumber - 1), nullptr) << c.why;
        EXPECT_NE(s.channel(c.firstEffectNumber + c.channelCount - 1), nullptr) << c.why;
        EXPECT_EQ(s.channel(c.firstEffectNumber + c.channelCount), nullptr) << c.why;
        EXPECT_EQ(s.channel(-1), nullptr) << c.why;
        EXPECT_FALSE(s.open(48000, 16, false, 1, 8)) << "second open: " << c.why;
        EXPECT_LE(s.FragmentBytes(), 4096) << c.why;
        EXPECT_EQ(s.DeviceRate(), 48000) << c.why;
    }
}

TEST_F(MixerTest, OpenFailsWithoutADeviceAndWorksAfterwards) {
    platform::PcmUseBackend(platform::PcmBackendKind::None);
    mixer.SetAudioThreadEnabled(false);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(mixer.open(48000, 16, false, 1, 8));
    EXPECT_NE(testing::internal::GetCapturedStdout().find("snd_pcm_open_name failed: "), std::string::npos);
    EXPECT_FALSE(mixer.IsOpened());
    EXPECT_EQ(mixer.playSFX(Effect16({1, 2})), -1);
    platform::PcmUseBackend(platform::PcmBackendKind::Null);
    EXPECT_TRUE(Open());
}

TEST_F(MixerTest, OneEffectAtFullVolumeReachesTheOutputUnchanged) {
    ASSERT_TRUE(Open());
    std::vector<std::int16_t> ramp;
    for (int i = 0; i < 300; ++i) ramp.push_back(static_cast<std::int16_t>(i * 97 - 14000));
    EXPECT_EQ(mixer.playSFX(Effect16(ramp)), 1) << "first effect channel follows the module channel";
    mixer.UpdateAudioBuffer();
    for (int i = 0; i < 300; ++i) {
        ASSERT_EQ(Left(i), ramp[i]) << i;
        ASSERT_EQ(Right(i), ramp[i]) << i;
    }
    for (int i = 300; i < kFrames; ++i) ASSERT_EQ(Left(i), 0) << i;
    EXPECT_EQ(mixer.playingChannelSFX(), 0) << "a non-looping effect stops at its end";
}

TEST_F(MixerTest, VoicesAddAndClamp) {
    ASSERT_TRUE(Open());
    mixer.playSFX(Effect16({1000, 32767, -32768, -20000}));
    mixer.playSFX(Effect16({234, 32767, -32768, -20000}));
    mixer.UpdateAudioBuffer();
    EXPECT_EQ(Left(0), 1234);
    EXPECT_EQ(Left(1), 32767);
    EXPECT_EQ(Left(2), -32768);
    EXPECT_EQ(Left(3), -32768);
}

TEST_F(MixerTest, MasterVolumeScalesEveryEffect) {
    ASSERT_TRUE(Open());
    const std::vector<std::int16_t> samples = {1000, -1001, 32767, -7};
    mixer.playSFX(Effect16(samples));
    mixer.volumeSFX(32);  // applies to voices already playing
    mixer.UpdateAudioBuffer();
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Left(i), (32 * samples[i]) >> 6) << i;
    mixer.volumeSFX(99);
    EXPECT_EQ(mixer.volumeSFX(), 64) << "values above 63 give 64";
}

// Volumes set while the effect plays, by hand: samples are multiples of 64, so every gain below
// gives an exact product.
struct TLiveVolumeCase {
    int master;   // -1: left as opened
    int channel;  // -1: left as played
    std::vector<std::int16_t> expected;
    const char* why;
};

TEST_F(MixerTest, VolumeSetWhilePlayingScalesTheMixAndZeroIsSilence) {
    const std::vector<std::int16_t> samples = {6400, -12800, 32704, -64};
    const TLiveVolumeCase cases[] = {
        {0, -1, {0, 0, 0, 0}, "master volume 0 silences a playing effect"},
        {-1, 0, {0, 0, 0, 0}, "channel volume 0 silences it"},
        {63, -1, {6300, -12600, 32193, -63}, "master 63 is 63/64"},
        {-1, 63, {6300, -12600, 32193, -63}, "channel 63 is 63/64"},
        {32, 32, {1600, -3200, 8176, -16}, "both at half: a quarter"},
        {64, 64, {6400, -12800, 32704, -64}, "both full: unchanged"},
    };
    for (const TLiveVolumeCase& c : cases) {
        SCOPED_TRACE(c.why);
        Sound s;
        s.SetAudioThreadEnabled(false);
        ASSERT_TRUE(s.open(48000, 16, false, 1, 8));
        const int number = s.playSFX(Effect16(samples));
        ASSERT_GE(number, 0);
        if (c.master >= 0) s.volumeSFX(c.master);
        if (c.channel >= 0) s.channel(number)->volume(static_cast<unsigned>(c.channel));
        s.UpdateAudioBuffer();
        for (std::size_t i = 0; i < samples.size(); ++i) EXPECT_EQ(s.OutputBlock()[2 * i], c.expected[i]) << i;
    }
}

TEST_F(MixerTest, EightBitSamplesAreCentredOn128) {
    ASSERT_TRUE(Open());
    mixer.playSFX(Effect8({128, 0, 255, 64}));
    mixer.UpdateAudioBuffer();
    EXPECT_EQ(Left(0), 0);
    EXPECT_EQ(Left(1), -32768);
    EXPECT_EQ(Left(2), 127 * 256);
    EXPECT_EQ(Left(3), -64 * 256);
}

TEST_F(MixerTest, LoopingKeepsThePositionFractionAcrossTheWrap) {
    ASSERT_TRUE(Open());
    const std::vector<std::int16_t> data = {1000, 2000, 3000};
    SoundFX* fx = Effect16(data, 44100);
    fx->loop(true);
    const int number = mixer.playSFX(fx);
    for (int pass = 0; pass < 2; ++pass) {
        mixer.UpdateAudioBuffer();
        if (pass == 0) {
            EXPECT_EQ(mixer.channel(number)->m_step, 235u) << "44100 Hz at 48000: step 235";
        }
        // Reference: the position advances by 235 and wraps modulo 3 x 256.
        for (int i = 0; i < kFrames; ++i) {
            const long long k = static_cast<long long>(pass) * kFrames + i;
            ASSERT_EQ(Left(i), data[((k * 235) % 768) >> 8]) << "pass " << pass << " sample " << i;
        }
    }
    EXPECT_EQ(mixer.playingChannelSFX(), 1);
}

TEST_F(MixerTest, NonLoopingStopsOnTheFirstPositionPastItsEnd) {
    ASSERT_TRUE(Open());
    const int number = mixer.playSFX(Effect16({500, 600, 700}, 22050));
    mixer.UpdateAudioBuffer();
    EXPECT_EQ(mixer.channel(number)->m_step, 117u) << "22050 Hz at 48000: step 117";
    // Positions 0, 117, ..., 702 lie inside 3 x 256 = 768: seven samples, then silence.
    for (int i = 0; i < 7; ++i) EXPECT_EQ(Left(i), (std::vector<int>{500, 600, 700})[(i * 117) >> 8]) << i;
    EXPECT_EQ(Left(7), 0);
    EXPECT_TRUE(mixer.channel(number)->stopped());
}

TEST_F(MixerTest, SpeedChangesTheStep) {
    ASSERT_TRUE(Open());
    std::vector<std::int16_t> data;
    for (int i = 0; i < 4000; ++i) data.push_back(static_cast<std::int16_t>(i));
    SoundFX* fx = Effect16(data, 24000);
    fx->speed(255);
    const int number = mixer.playSFX(fx);
    mixer.UpdateAudioBuffer();
    const unsigned frequency = (255u * 512u * 24000u) >> 16;
    const unsigned step =
        static_cast<unsigned>((static_cast<unsigned long long>(frequency) * 65536) / (48000ull * 256));
    EXPECT_EQ(mixer.channel(number)->frequency(), frequency);
    EXPECT_EQ(mixer.channel(number)->m_step, step);
    for (int i = 0; i < kFrames; ++i) ASSERT_EQ(Left(i), data[(static_cast<unsigned>(i) * step) >> 8]) << i;
}

TEST_F(MixerTest, PanningSplitsAStereoMix) {
    struct TCase {
        int pan;
        const char* why;
    };
    const TCase cases[] = {
        {0, "all left, doubled"}, {128, "centre"}, {255, "nearly all right"}, {64, "left of centre"}};
    for (const auto& c : cases) {
        Sound s;
        s.SetAudioThreadEnabled(false);
        ASSERT_TRUE(s.open(48000, 16, true, 1, 8));
        SoundFX* fx = Effect16({1000, -3000});
        fx->pan(c.pan);
        s.playSFX(fx);
        s.UpdateAudioBuffer();
        for (int i = 0; i < 2; ++i) {
            const int sample = i == 0 ? 1000 : -3000;
            const int e = 64;
            int left, right;
            if (c.pan == 128) {
                left = right = (e * sample) >> 6;
            } else {
                const int w = (c.pan * 2 * e) >> 8;
                right = (w * sample) >> 6;
                left = ((2 * e - w) * sample) >> 6;
            }
            EXPECT_EQ(s.OutputBlock()[2 * i], left) << c.why;
            EXPECT_EQ(s.OutputBlock()[2 * i + 1], right) << c.why;
        }
    }
}

TEST_F(MixerTest, PlaySFXTakesTheFirstFreeVoiceThenTheShortest) {
    ASSERT_TRUE(Open());
    const int lengths[8] = {50, 40, 30, 30, 60, 70, 80, 90};
    for (int i = 0; i < 8; ++i) {
        SoundFX* fx = Effect16(std::vector<std::int16_t>(static_cast<std::size_t>(lengths[i]), 1));
        fx->loop(true);
        EXPECT_EQ(mixer.playSFX(fx), i + 1) << "free voices are taken in order";
    }
    // All busy: the voice with the smallest length, the lowest index on a tie (pool index 2).
    EXPECT_EQ(mixer.playSFX(Effect16({5, 5, 5})), 3);
}

TEST_F(MixerTest, MaxPlaybacksReplacesTheShortestEvenWithFreeVoices) {
    ASSERT_TRUE(Open());
    SoundFX* longFx = Effect16(std::vector<std::int16_t>(1000, 1));
    for (int i = 0; i < 8; ++i) mixer.playSFX(longFx);
    for (int i = 5; i < 8; ++i) mixer.StopChannel(i);  // free, but their ends stay long
    SoundFX* limited = Effect16(std::vector<std::int16_t>(100, 2));
    limited->maxplaybacks(2);
    EXPECT_EQ(mixer.playSFX(limited), 8) << "with a limit the last free voice is kept";
    EXPECT_EQ(mixer.playSFX(limited), 7);
    EXPECT_EQ(mixer.playSFX(limited), 7) << "limit reached: the shortest voice (pool 6) is replaced";
    EXPECT_EQ(mixer.playSFX(Effect16({3})), 6) << "without a limit the first free voice is taken";
}

TEST_F(MixerTest, PauseHoldsEveryEffectWhereItIs) {
    ASSERT_TRUE(Open());
    std::vector<std::int16_t> ramp;
    for (int i = 0; i < 3000; ++i) ramp.push_back(static_cast<std::int16_t>(i));
    mixer.playSFX(Effect16(ramp));
    mixer.UpdateAudioBuffer();
    EXPECT_EQ(Left(kFrames - 1), kFrames - 1);
    mixer.pauseSFX();
    EXPECT_EQ(mixer.playingChannelSFX(), 0);
    mixer.UpdateAudioBuffer();
    for (int i = 0; i < kFrames; ++i) ASSERT_EQ(Left(i), 0);
    mixer.resumeSFX();
    mixer.UpdateAudioBuffer();
    EXPECT_EQ(Left(0), kFrames) << "resumes at the sample after the pause";
    mixer.stopSFX();
    mixer.resumeSFX();
    EXPECT_EQ(mixer.playingChannelSFX(), 0) << "resume does not restart stopped voices";
}

// --- streams in the mix ---

class MixerStreamTest : public MixerTest {
protected:
    void SetUp() override {
        MixerTest::SetUp();
        game.m_pSoundSystem = new CRecordingSoundSystem;  // output rate 48000; the game deletes it
        ASSERT_TRUE(Open());
    }
    CStreamingProviderWAV* Stream(const std::vector<std::int16_t>& samples) {
        TWavSpec spec;
        spec.data = Samples16(samples);
        providers.push_back(std::make_unique<CStreamingProviderWAV>(&game));
        EXPECT_TRUE(providers.back()->LoadStreamFromFile(MemoryFileOver(BuildWav(spec)), "music.wav"));
        return providers.back().get();
    }
    CTestGame game;
    std::vector<std::unique_ptr<CStreamingProviderWAV>> providers;
};

TEST_F(MixerStreamTest, VolumeIsAGainOverOneHundredTwentyEight) {
    struct TCase {
        int volume;
        int sample;
        int expected;
        const char* why;
    };
    const TCase cases[] = {
        {128, 8000, 8000, "128 adds samples unchanged"},
        {191, 8000, (191 * 8000) >> 7, "music at full volume: 191/128"},
        {191, 30000, 32767, "clamped"},
        {64, -8000, -4000, "an effect-volume stream at half gain"},
    };
    for (const auto& c : cases) {
        auto* stream = Stream(std::vector<std::int16_t>(4096, static_cast<std::int16_t>(c.sample)));
        mixer.playMusicStreamingModule(stream, c.volume, false, 0);
        mixer.UpdateAudioBuffer();
        EXPECT_EQ(Left(0), c.expected) << c.why;
        EXPECT_EQ(Left(kFrames - 1), c.expected) << c.why;
        mixer.stopMusicStreamingModule(stream);
    }
    EXPECT_EQ(mixer.ActiveStreamCount(), 0);
}

TEST_F(MixerStreamTest, StreamsAndEffectsShareTheMix) {
    auto* stream = Stream(std::vector<std::int16_t>(4096, 100));
    mixer.playMusicStreamingModule(stream, 128, false, 0);
    mixer.playSFX(Effect16({20, 30}));
    mixer.UpdateAudioBuffer();
    EXPECT_EQ(Left(0), 120);
    EXPECT_EQ(Left(1), 130);
    EXPECT_EQ(Left(2), 100);
}

TEST_F(MixerStreamTest, FadeInRisesFromSilence) {
    auto* stream = Stream(std::vector<std::int16_t>(96000, 8000));
    mixer.playMusicStreamingModule(stream, 128, false, 256);  // 1 s: 48000 samples
    mixer.UpdateAudioBuffer();
    for (int i = 0; i < kFrames; ++i) {
        const int gain = static_cast<int>(128LL * i / 48000);
        ASSERT_EQ(Left(i), (gain * 8000) >> 7) << i;
    }
}

TEST_F(MixerStreamTest, FadeOutOfOneSecondLasts48000SamplesThenStops) {
    auto* stream = Stream(std::vector<std::int16_t>(200000, 8000));
    mixer.playMusicStreamingModule(stream, 128, false, 0);
    {
        std::lock_guard<std::mutex> lock(mixer.Lock());
        stream->StopWithFadeOut(256);
    }
    long long k = 0;
    int fragments = 0;
    while (stream->IsPlaying() && fragments < 100) {
        mixer.UpdateAudioBuffer();
        ++fragments;
        for (int i = 0; i < kFrames; ++i, ++k) {
            const long long remaining = k < 48000 ? 48000 - k : 0;
            const int gain = static_cast<int>(128 * remaining / 48000);
            ASSERT_EQ(Left(i), stream->IsPlaying() || k < 48000 ? (gain * 8000) >> 7 : 0) << k;
        }
    }
    EXPECT_FALSE(stream->IsPlaying());
    EXPECT_LE(k, 48000 + 2 * kFrames) << "stops within a fragment of the fade's end";
    EXPECT_GE(k, 48000);
    EXPECT_FALSE(stream->IsFadingOut());
}

TEST_F(MixerStreamTest, PlayingAnActiveStreamRestartsItOnce) {
    std::vector<std::int16_t> ramp;
    for (int i = 0; i < 5000; ++i) ramp.push_back(static_cast<std::int16_t>(i));
    auto* stream = Stream(ramp);
    mixer.playMusicStreamingModule(stream, 128, false, 0);
    mixer.UpdateAudioBuffer();
    mixer.UpdateAudioBuffer();
    EXPECT_EQ(Left(0), kFrames);
    mixer.playMusicStreamingModule(stream, 128, false, 0);
    EXPECT_EQ(mixer.ActiveStreamCount(), 1);
    mixer.UpdateAudioBuffer();
    EXPECT_EQ(Left(0), 0) << "restarted from its rewound start";
    EXPECT_EQ(Left(5), 5);
    mixer.stopMusicStreamingModule(stream);
    EXPECT_EQ(mixer.ActiveStreamCount(), 0);
    EXPECT_FALSE(stream->IsPlaying());
}

}  // namespace
