#include "audio/Channel.h"

#include <gtest/gtest.h>

#include "audio/Module.h"

namespace {

TEST(Channel, NewVoiceIsFree) {
    int master = 64;
    SFXChannel ch(master);
    EXPECT_TRUE(ch.stopped());
    EXPECT_FALSE(ch.paused());
    EXPECT_FALSE(ch.playing());
    EXPECT_EQ(ch.volume(), 0u);
    EXPECT_TRUE(ch.m_recompute);
    EXPECT_EQ(ch.m_data, nullptr);
    EXPECT_EQ(ch.m_dataChannels, 1);
}

TEST(Channel, VolumeFollowsTheMasterVolume) {
    int master = 64;
    SFXChannel ch(master);
    ch.volume(200);
    EXPECT_EQ(ch.volume(), 64u);
    EXPECT_EQ(ch.effectiveVolume(), 64);
    master = 32;
    ch.volume(48);
    EXPECT_EQ(ch.effectiveVolume(), 32 * 48 / 64);
    ch.volume(63);
    EXPECT_EQ(ch.volume(), 63u);
    ch.pan(300);
    EXPECT_EQ(ch.pan(), 255u);
    ch.pan(254);
    EXPECT_EQ(ch.pan(), 254u);
}

TEST(Channel, PauseAndResumeOnlyAffectAPlayingVoice) {
    int master = 64;
    SFXChannel ch(master);
    ch.pause();
    EXPECT_FALSE(ch.paused()) << "pausing a stopped voice leaves it free";
    ch.play();
    ch.pause();
    EXPECT_TRUE(ch.paused());
    EXPECT_FALSE(ch.playing());
    ch.resume();
    EXPECT_TRUE(ch.playing());
    ch.pause();
    ch.stop();
    EXPECT_TRUE(ch.stopped());
    EXPECT_FALSE(ch.paused());
    ch.resume();
    EXPECT_FALSE(ch.playing());
}

TEST(Channel, SpeedScalesTheBaseFrequency) {
    struct TCase {
        unsigned speed;
        unsigned base;
        unsigned expected;
        const char* why;
    };
    // Independent formulas: above 128 f = s * 512 * b / 65536, below f = b * 65536 / ((256 - s) * 512).
    const TCase cases[] = {
        {128, 22050, 22050, "128 keeps the base"},
        {0, 22050, 11025, "0 halves it"},
        {255, 48000, 95625, "255 nearly doubles it (255 * 512 * 48000 / 65536)"},
        {192, 44100, 66150, "192 gives 1.5 times"},
        {64, 44100, 29400, "64: 44100 * 65536 / (192 * 512)"},
        {255, 4000000, 7968750, "large base needs a 64-bit product"},
        {999, 22050, 43927, "values above 255 act as 255"},
    };
    for (const auto& c : cases) {
        int master = 64;
        SFXChannel ch(master);
        ch.m_baseFrequency = c.base;
        ch.m_recompute = false;
        ch.speed(c.speed);
        EXPECT_EQ(ch.frequency(), c.expected) << c.why;
        EXPECT_TRUE(ch.m_recompute) << c.why;
    }
}

TEST(ModChannel, VolumeScalesEveryVoiceAndPanBuildsTheMap) {
    int master = 32;
    ModChannel ch(master);
    ch.m_baseVolume[3] = 40;
    ch.volume(64);
    EXPECT_EQ(ch.effectiveVolume(), 32);
    EXPECT_EQ(ch.m_scaledVolume[0], 64 * 32 / 64);
    EXPECT_EQ(ch.m_scaledVolume[3], 40 * 32 / 64);
    ch.pan(0);  // q = 255 >> 2 = 63
    EXPECT_EQ(ch.m_panMap[0], 127);
    EXPECT_EQ(ch.m_panMap[1], 129);
    EXPECT_EQ(ch.m_panMap[2], 129);
    EXPECT_EQ(ch.m_panMap[3], 127);
}

TEST(Module, KeepsThePointerAndCountsPatterns) {
    Module m;
    EXPECT_FALSE(m.load(nullptr));
    unsigned char image[1100] = {};
    EXPECT_TRUE(m.load(image));
    EXPECT_EQ(m.data(), image);
    EXPECT_EQ(m.pan(), 255);
    EXPECT_EQ(m.frequency(), 44100);
    m.volume(99);
    EXPECT_EQ(m.volume(), 64);
    EXPECT_EQ(snd_getNumPattern(image, sizeof image), 1) << "song length 0";
    image[950] = 3;
    image[952] = 4;
    image[953] = 9;
    image[954] = 2;
    image[955] = 50;  // beyond the song length: not counted
    EXPECT_EQ(snd_getNumPattern(image, sizeof image), 10);
    EXPECT_EQ(snd_getNumPattern(image, 1000), 0) << "too short to hold the order table";
}

}  // namespace
