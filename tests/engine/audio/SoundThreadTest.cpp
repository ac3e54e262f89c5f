// The real audio thread into the WAV-file sink: effects start and stop while it runs, and the
// file must hold exactly the tone that was played, then silence.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <mutex>
#include <thread>

#include "AudioTestSupport.h"
#include "audio/Sound.h"
#include "audio/iPhoneSoundSystem.h"
#include "platform/Clock.h"
#include "platform/Pcm.h"

using namespace audio_test;

namespace {

constexpr int kPeriod = 48;        // 1 kHz at 48 kHz
constexpr int kToneFrames = 4800;  // whole periods, so the loop is seamless

std::int16_t Tone(int i) {
    // A saw-shaped tone: simple to predict, no rounding anywhere.
    return static_cast<std::int16_t>((i % kPeriod) * 600 - 14000);
}

std::vector<std::int16_t> ReadWavSamples(const std::string& path, int* channels, int* rate) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (file.size() < 44) return {};
    *channels = file[22];
    *rate = file[24] | (file[25] << 8) | (file[26] << 16);
    const std::size_t dataBytes =
        static_cast<std::size_t>(file[40] | (file[41] << 8) | (file[42] << 16) | (file[43] << 24));
    EXPECT_EQ(dataBytes, file.size() - 44) << "the sink patched its header on close";
    std::vector<std::int16_t> samples((file.size() - 44) / 2);
    std::memcpy(samples.data(), file.data() + 44, samples.size() * 2);
    return samples;
}

TEST(AudioThread, PlaysEffectsIntoTheWavSinkAndClosesCleanly) {
    const std::string out = WriteTempFile("audio_thread_out.wav", {});
    platform::PcmUseBackend(platform::PcmBackendKind::Wav, out);
    TWavSpec spec;
    std::vector<std::int16_t> tone;
    for (int i = 0; i < kToneFrames; ++i) tone.push_back(Tone(i));
    spec.data = Samples16(tone);
    const std::string toneFile = WriteTempFile("tone.wav", BuildWav(spec));
    const std::string clickFile = WriteTempFile("click.wav", BuildWav([] {
                                                    TWavSpec s;
                                                    s.data = Samples16(std::vector<std::int16_t>(480, 3000));
                                                    return s;
                                                }()));

    const auto start = std::chrono::steady_clock::now();
    {
        CTestGame game;
        game.m_pSoundSystem = game.CreateSoundSystemObject();
        ISoundSystem* system = game.m_pSoundSystem;
        ASSERT_EQ(system->Initialize(), 1);
        system->SoundON(true);
        system->SetVolume(100);
        const int toneId = system->LoadWAV(toneFile.c_str());
        const int clickId = system->LoadWAV(clickFile.c_str());
        ASSERT_GE(toneId, 0);
        ASSERT_GE(clickId, 0);

        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        const int channel = system->PlaySFX(toneId, true);
        ASSERT_GT(channel, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        // A click started and stopped again at once, and a volume change, while the tone plays.
        system->PlaySFX(clickId, false);
        system->StopSFX(clickId, -1);
        system->SetVolume(100);
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        system->StopSFX(toneId, channel);
        std::this_thread::sleep_for(std::chrono::milliseconds(130));
        system->Shutdown();
        auto* ios = static_cast<CiPhoneSoundSystem*>(system);
        EXPECT_EQ(ios->GetMixer(), nullptr);
    }
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    int channels = 0, rate = 0;
    const std::vector<std::int16_t> samples = ReadWavSamples(out, &channels, &rate);
    ASSERT_EQ(channels, 2);
    ASSERT_EQ(rate, 48000);
    const std::size_t frames = samples.size() / 2;
    // Paced by the clock: never more than the queue ahead of real time.
    EXPECT_LE(frames, static_cast<std::size_t>(elapsed * 48000) + 4 * 1024);
    ASSERT_GT(frames, 4800u);

    // The tone starts at the first non-silent frame and is exact in both channels until it stops
    // (the click may overlap it; skip the frames where left differs from the tone by the click).
    std::size_t first = 0;
    while (first < frames && samples[2 * first] == 0) ++first;
    ASSERT_LT(first, frames) << "no sound reached the sink";
    std::size_t matched = 0;
    std::size_t k = first;
    for (; k < frames; ++k) {
        const std::int16_t left = samples[2 * k];
        const std::int16_t right = samples[2 * k + 1];
        ASSERT_EQ(left, right) << k;
        const std::int16_t expected = Tone(static_cast<int>((k - first) % kToneFrames));
        if (left == expected) {
            ++matched;
        } else if (left == 0 && k - first > 4800) {
            break;  // the tone was stopped
        } else {
            ASSERT_EQ(left, static_cast<std::int16_t>(expected + 3000))
                << "only the click may add to the tone, frame " << k;
        }
    }
    EXPECT_GT(matched, 4800u) << "at least one whole loop of the tone";
    for (; k < frames; ++k) ASSERT_EQ(samples[2 * k], 0) << "silence after the stop, frame " << k;
}

TEST(AudioThread, AnUnderrunIsPreparedAgainAndWritingGoesOn) {
    const std::string out = WriteTempFile("audio_thread_underrun.wav", {});
    platform::PcmUseBackend(platform::PcmBackendKind::Wav, out);
    TWavSpec spec;
    spec.data = Samples16(std::vector<std::int16_t>(4800, 1234));
    const std::string toneFile = WriteTempFile("flat.wav", BuildWav(spec));
    {
        CTestGame game;
        auto* system = new CiPhoneSoundSystem(&game);
        game.m_pSoundSystem = system;
        ASSERT_EQ(system->Initialize(), 1);
        system->SoundON(true);
        const int id = system->LoadWAV(toneFile.c_str());
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        {
            // Holding the mix lock stalls the audio thread for longer than the device queue lasts.
            std::lock_guard<std::mutex> lock(system->GetMixer()->Lock());
            std::this_thread::sleep_for(std::chrono::milliseconds(120));
        }
        system->PlaySFX(id, true);
        std::this_thread::sleep_for(std::chrono::milliseconds(80));
        EXPECT_TRUE(system->GetMixer()->IsThreadRunning());
        system->Shutdown();
        EXPECT_EQ(system->PlaySFX(id, false), -1) << "nothing plays after shutdown";
    }
    int channels = 0, rate = 0;
    const std::vector<std::int16_t> samples = ReadWavSamples(out, &channels, &rate);
    std::size_t toneFrames = 0;
    for (std::size_t k = 0; k + 1 < samples.size(); k += 2) toneFrames += samples[k] == 1234 ? 1 : 0;
    EXPECT_GT(toneFrames, 1024u) << "fragments mixed after the underrun reached the sink";
}

TEST(AudioThread, LeavesTheVirtualClockToTheGame) {
    platform::ClockUse(platform::ClockKind::Virtual);
    platform::PcmUseBackend(platform::PcmBackendKind::Null);
    {
        CTestGame game;
        auto* system = new CiPhoneSoundSystem(&game);
        game.m_pSoundSystem = system;
        ASSERT_EQ(system->Initialize(), 1);
        const std::int64_t start = platform::ClockNowUs();
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        EXPECT_EQ(platform::ClockNowUs(), start) << "the audio thread must not move scripted time";
        // The game's own sleeps move time, and the sink plays along with them.
        for (int frame = 0; frame < 10; ++frame) {
            platform::ClockSleepUs(33'000);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        EXPECT_EQ(platform::ClockNowUs(), start + 330'000);
        EXPECT_TRUE(system->GetMixer()->IsThreadRunning());
        system->Shutdown();
    }
    platform::ClockUse(platform::ClockKind::Real);
}

TEST(AudioThread, SuspendAndResumeWhileTheGameThreadPlaysAndStops) {
    platform::PcmUseBackend(platform::PcmBackendKind::Null);
    CTestGame game;
    auto* system = new CiPhoneSoundSystem(&game);
    game.m_pSoundSystem = system;
    ASSERT_EQ(system->Initialize(), 1);
    system->SoundON(true);
    system->MusicON(true);
    TWavSpec spec;
    spec.data = Samples16(std::vector<std::int16_t>(2000, 500));
    const int id = system->LoadWAV(WriteTempFile("short.wav", BuildWav(spec)).c_str());
    ASSERT_GE(id, 0);
    for (int round = 0; round < 20; ++round) {
        system->PlaySFX(id, round % 2 == 0);
        system->SetVolume(round * 5);
        system->SetMusicVolume(100 - round * 5);
        if (round % 5 == 4) {
            system->SetPaused(true);
            EXPECT_FALSE(system->GetMixer()->IsThreadRunning());
            system->SetPaused(false);
            EXPECT_TRUE(system->GetMixer()->IsThreadRunning());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
        system->StopSFX(id, -1);
    }
    system->UnloadWAV(id);
    EXPECT_EQ(system->GetMixer()->playingChannelSFX(), 0);
}

}  // namespace
