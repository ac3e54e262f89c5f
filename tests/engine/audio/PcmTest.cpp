// The PCM seam's sinks without hardware, paced by the virtual clock so waits are exact.
#include "platform/Pcm.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>

#include "AudioTestSupport.h"
#include "platform/Clock.h"

using namespace platform;

namespace {

constexpr int kFragment = 4096;
constexpr std::int64_t kFragmentUs = 1024LL * 1'000'000 / 48000;  // 21333 us of stereo frames

class PcmTest : public ::testing::Test {
protected:
    void SetUp() override { ClockUse(ClockKind::Virtual); }
    void TearDown() override {
        PcmClose(pcm);
        ClockUse(ClockKind::Real);
    }
    void OpenPrepared(PcmBackendKind kind, const std::string& wav = {}) {
        PcmUseBackend(kind, wav);
        ASSERT_EQ(PcmOpenPreferred(&pcm), 0);
        TPcmChannelParams params;
        params.rate = 48000;
        params.voices = 2;
        params.fragmentBytes = kFragment;
        std::snprintf(params.subchannelName, sizeof params.subchannelName, "Wave playback channel");
        ASSERT_EQ(PcmChannelParams(pcm, &params), 0);
        ASSERT_EQ(PcmChannelPrepare(pcm), 0);
    }
    TPcmChannelStatus Status() {
        TPcmChannelStatus st;
        EXPECT_EQ(PcmChannelStatus(pcm, &st), 0);
        return st;
    }
    TPcmHandle* pcm = nullptr;
    std::vector<std::uint8_t> fragment = std::vector<std::uint8_t>(kFragment, 0);
};

TEST_F(PcmTest, NoneFailsToOpenWithAReadableReason) {
    PcmUseBackend(PcmBackendKind::None);
    EXPECT_EQ(PcmOpenPreferred(&pcm), -kPcmErrNoDevice);
    EXPECT_EQ(pcm, nullptr);
    EXPECT_STREQ(PcmErrorText(-kPcmErrNoDevice), "no sound device");
    EXPECT_NE(PcmErrorText(-12345), nullptr);
}

TEST(PcmSetting, ReadsTheBackEndNames) {
    struct TCase {
        const char* value;
        bool ok;
        PcmBackendKind kind;
        const char* path;
    };
    const TCase cases[] = {
        {nullptr, true, PcmBackendKind::Auto, ""},
        {"", true, PcmBackendKind::Auto, ""},
        {"auto", true, PcmBackendKind::Auto, ""},
        {"alsa", true, PcmBackendKind::Alsa, ""},
        {"null", true, PcmBackendKind::Null, ""},
        {"none", true, PcmBackendKind::None, ""},
        {"wav:/tmp/o.wav", true, PcmBackendKind::Wav, "/tmp/o.wav"},
        {"wav:", false, PcmBackendKind::Auto, ""},
        {"NULL", false, PcmBackendKind::Auto, ""},
        {"pulse", false, PcmBackendKind::Auto, ""},
    };
    for (const auto& c : cases) {
        PcmBackendKind kind = PcmBackendKind::None;
        std::string path = "stale";
        EXPECT_EQ(PcmParseBackendSetting(c.value, &kind, &path), c.ok) << (c.value ? c.value : "null");
        EXPECT_EQ(kind, c.kind) << (c.value ? c.value : "null");
        EXPECT_EQ(path, c.path) << (c.value ? c.value : "null");
    }
}

TEST_F(PcmTest, AutomaticChoiceAlwaysOpensSomething) {
    PcmUseBackend(PcmBackendKind::Auto);
    ASSERT_EQ(PcmOpenPreferred(&pcm), 0) << "ALSA when a card answers, else the null sink";
    TPcmInfo info;
    ASSERT_EQ(PcmInfo(pcm, &info), 0);
    EXPECT_TRUE(std::strcmp(info.name, "alsa") == 0 || std::strcmp(info.name, "null") == 0) << info.name;
}

TEST_F(PcmTest, ChannelLimitsAndRefusedParameters) {
    PcmUseBackend(PcmBackendKind::Null);
    ASSERT_EQ(PcmOpenPreferred(&pcm), 0);
    TPcmChannelInfo info;
    ASSERT_EQ(PcmChannelInfo(pcm, &info), 0);
    EXPECT_LE(info.minFragmentBytes, 4096);
    EXPECT_GT(info.minFragmentBytes, 0);
    EXPECT_EQ(info.maxRate, 48000);
    struct TCase {
        int rate, voices, fragment;
        const char* why;
    };
    const TCase cases[] = {
        {96000, 2, 4096, "rate above the channel's"},
        {48000, 3, 4096, "three voices"},
        {48000, 2, 8192, "fragment above 4096"},
        {48000, 2, 4098, "fragment not whole frames"},
        {48000, 2, 0, "no fragment"},
    };
    for (const auto& c : cases) {
        TPcmChannelParams params;
        params.rate = c.rate;
        params.voices = c.voices;
        params.fragmentBytes = c.fragment;
        EXPECT_EQ(PcmChannelParams(pcm, &params), -kPcmErrInvalid) << c.why;
    }
    EXPECT_EQ(PcmChannelPrepare(pcm), -kPcmErrInvalid) << "prepare before parameters";
    EXPECT_EQ(PcmWrite(pcm, fragment.data(), kFragment), -kPcmErrInvalid) << "write before parameters";
}

TEST_F(PcmTest, SetupNamesTheMixerGroupAfterTheSubchannel) {
    OpenPrepared(PcmBackendKind::Null);
    TPcmMixerGroup group;
    TPcmChannelSetup setup;
    setup.mixerGroup = &group;
    ASSERT_EQ(PcmChannelSetup(pcm, &setup), 0);
    EXPECT_STREQ(group.name, "Wave playback channel");
    EXPECT_EQ(setup.rate, 48000);
    EXPECT_EQ(setup.fragmentBytes, kFragment);
    TPcmMixerHandle* mixer = nullptr;
    EXPECT_EQ(PcmMixerOpen(&mixer, 0, setup.mixerDevice), 0);
    EXPECT_NE(mixer, nullptr);
    EXPECT_EQ(PcmMixerClose(mixer), 0);
}

TEST_F(PcmTest, NullSinkPlaysAtTheRateOfTheClock) {
    OpenPrepared(PcmBackendKind::Null);
    TPcmChannelStatus st = Status();
    EXPECT_EQ(st.state, PcmState::Prepared);
    EXPECT_EQ(st.freeBytes, 2 * kFragment);
    ASSERT_EQ(PcmWrite(pcm, fragment.data(), kFragment), kFragment);
    ASSERT_EQ(PcmWrite(pcm, fragment.data(), kFragment), kFragment);

    // Under the virtual clock only the game moves time; the sink's waits never do.
    const std::int64_t before = ClockNowUs();
    st = Status();
    EXPECT_EQ(ClockNowUs(), before);
    EXPECT_EQ(st.state, PcmState::Running);
    EXPECT_EQ(st.freeBytes, 0);
    // Played frames are whole frames of elapsed time: 10667 us x 48000 / 1e6 = 512.0.
    ClockAdvanceUs(10667);
    st = Status();
    EXPECT_EQ(st.freeBytes, 512 * 4) << "half a fragment played";
    ClockAdvanceUs(10667);
    st = Status();
    EXPECT_EQ(st.freeBytes, kFragment);
    EXPECT_EQ(st.queuedBytes, kFragment);
    EXPECT_EQ(st.state, PcmState::Running);
}

TEST_F(PcmTest, StatusOnAFullQueueWaitsButNotForLong) {
    ClockUse(ClockKind::Real);
    OpenPrepared(PcmBackendKind::Null);
    ASSERT_EQ(PcmWrite(pcm, fragment.data(), kFragment), kFragment);
    ASSERT_EQ(PcmWrite(pcm, fragment.data(), kFragment), kFragment);
    const auto before = std::chrono::steady_clock::now();
    const TPcmChannelStatus st = Status();
    const auto waitedUs =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - before).count();
    // It slept (no spinning) for about half a fragment, the most it may wait.
    EXPECT_GE(waitedUs, kFragmentUs / 2 - 1000);
    EXPECT_LT(waitedUs, 250'000);
    EXPECT_EQ(st.state, PcmState::Running);
}

TEST_F(PcmTest, NullSinkUnderrunsAndRecoversAfterPrepare) {
    OpenPrepared(PcmBackendKind::Null);
    ASSERT_EQ(PcmWrite(pcm, fragment.data(), kFragment), kFragment);
    ClockAdvanceUs(kFragmentUs + 1000);
    TPcmChannelStatus st = Status();
    EXPECT_EQ(st.state, PcmState::Underrun);
    EXPECT_EQ(st.underruns, 1);
    EXPECT_EQ(PcmWrite(pcm, fragment.data(), kFragment), -kPcmErrInvalid) << "an underrun channel takes nothing";
    ASSERT_EQ(PcmChannelPrepare(pcm), 0);
    EXPECT_EQ(Status().state, PcmState::Prepared);
    EXPECT_EQ(PcmWrite(pcm, fragment.data(), kFragment), kFragment);
}

TEST_F(PcmTest, DrainWaitsForTheQueueAndLeavesTheChannelReady) {
    ClockUse(ClockKind::Real);
    OpenPrepared(PcmBackendKind::Null);
    const auto before = std::chrono::steady_clock::now();
    ASSERT_EQ(PcmWrite(pcm, fragment.data(), kFragment), kFragment);
    ASSERT_EQ(PcmWrite(pcm, fragment.data(), kFragment), kFragment);
    ASSERT_EQ(PcmPlaybackDrain(pcm), 0);
    const auto tookUs =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - before).count();
    EXPECT_GE(tookUs, 2 * kFragmentUs - 100) << "both fragments played out";
    EXPECT_EQ(Status().state, PcmState::Ready);
}

TEST_F(PcmTest, WavSinkRecordsEverySampleWritten) {
    const std::string path = audio_test::WriteTempFile("pcm_sink.wav", {});
    OpenPrepared(PcmBackendKind::Wav, path);
    std::vector<std::int16_t> frames(kFragment / 2);
    for (std::size_t i = 0; i < frames.size(); ++i) frames[i] = static_cast<std::int16_t>(i * 7 - 5000);
    ASSERT_EQ(PcmWrite(pcm, frames.data(), kFragment), kFragment);
    ASSERT_EQ(PcmWrite(pcm, frames.data(), kFragment), kFragment);
    PcmClose(pcm);
    pcm = nullptr;

    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(file.size(), 44u + 2 * kFragment);
    auto le32 = [&](std::size_t at) {
        return file[at] | (file[at + 1] << 8) | (file[at + 2] << 16) | (file[at + 3] << 24);
    };
    EXPECT_EQ(std::memcmp(file.data(), "RIFF", 4), 0);
    EXPECT_EQ(le32(4), static_cast<int>(36 + 2 * kFragment));
    EXPECT_EQ(std::memcmp(file.data() + 8, "WAVEfmt ", 8), 0);
    EXPECT_EQ(file[22], 2);  // channels
    EXPECT_EQ(le32(24), 48000);
    EXPECT_EQ(file[34], 16);
    EXPECT_EQ(le32(40), 2 * kFragment);
    EXPECT_EQ(std::memcmp(file.data() + 44, frames.data(), kFragment), 0);
    EXPECT_EQ(std::memcmp(file.data() + 44 + kFragment, frames.data(), kFragment), 0);
}

TEST_F(PcmTest, WavSinkWithoutAWritablePathDoesNotOpen) {
    PcmUseBackend(PcmBackendKind::Wav, "/nonexistent-dir/x.wav");
    EXPECT_LT(PcmOpenPreferred(&pcm), 0);
    EXPECT_EQ(pcm, nullptr);
}

}  // namespace
