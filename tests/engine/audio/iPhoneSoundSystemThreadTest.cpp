// The device sound system over the null sink: its mixer's audio thread runs throughout, so
// these also run under ThreadSanitizer.
#include "audio/iPhoneSoundSystem.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>

#include "AudioTestSupport.h"
#include "audio/Sound.h"
#include "audio/SoundFX.h"
#include "audio/StreamingProvider.h"
#include "core/File.h"
#include "platform/Pcm.h"

using namespace audio_test;

namespace {

// Streams come from the disk here instead of the paks.
class CDiskSoundSystem : public CiPhoneSoundSystem {
public:
    explicit CDiskSoundSystem(ISoundHost* game) : CiPhoneSoundSystem(game), m_pGame(game) {}

protected:
    bool LoadStreamingProvider(CStreamingProvider* provider, const char* name) override {
        CMemoryFile* file = m_pGame->CreateMemoryFileObject();
        if (!file->Open(m_pGame, name, FileMode::Read)) {
            delete file;
            return false;
        }
        return provider->LoadStreamFromFile(file, name);
    }

private:
    ISoundHost* m_pGame;
};

Bytes ToneWav(int frames, int rate = 48000) {
    TWavSpec spec;
    spec.rate = rate;
    std::vector<std::int16_t> s;
    for (int i = 0; i < frames; ++i) s.push_back(static_cast<std::int16_t>((i % 48) * 500 - 12000));
    spec.data = Samples16(s);
    return BuildWav(spec);
}

class SoundSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::PcmUseBackend(platform::PcmBackendKind::Null);
        system = new CDiskSoundSystem(&game);
        game.m_pSoundSystem = system;  // the game deletes it
        longWav = WriteTempFile("long.wav", ToneWav(48000));
    }
    bool Playing(int channel) {
        std::lock_guard<std::mutex> lock(system->GetMixer()->Lock());
        return system->GetMixer()->channel(channel)->playing();
    }
    CTestGame game;
    CDiskSoundSystem* system = nullptr;
    std::string longWav;
};

TEST_F(SoundSystemTest, BeforeInitializeEverythingIsQuiet) {
    EXPECT_EQ(system->GetVolume(), 100);
    EXPECT_EQ(system->GetMusicVolume(), 100);
    EXPECT_EQ(system->GetSamplingRate(), 22050);
    system->SoundON(true);
    EXPECT_EQ(system->PlaySFX(0, false), -1);
    EXPECT_EQ(system->LoadStream("a.ogg"), -1);
    system->SetPaused(true);
    system->UnloadWAV(0);
    EXPECT_EQ(system->StopAll(), 0);
}

TEST_F(SoundSystemTest, InitializeOpensTheMixerAtTheDeviceRate) {
    ASSERT_EQ(system->Initialize(), 1);
    EXPECT_EQ(system->GetSamplingRate(), 48000);
    ASSERT_NE(system->GetMixer(), nullptr);
    EXPECT_TRUE(system->GetMixer()->IsThreadRunning());
    EXPECT_EQ(system->GetMixer()->maxChannelSFX(), 8);
    EXPECT_EQ(system->Initialize(), 1) << "a second set-up replaces the first";
}

// Memory files that count how many of them are alive.
class CCountedMemoryFile : public CMemoryFile {
public:
    CCountedMemoryFile() { ++s_live; }
    ~CCountedMemoryFile() override { --s_live; }
    static inline int s_live = 0;
};

class CCountingGame : public CTestGame {
public:
    CMemoryFile* CreateMemoryFileObject() override { return new CCountedMemoryFile(); }
};

TEST(SoundSystemSetUp, InitializeFreesEffectsLoadedBeforeIt) {
    platform::PcmUseBackend(platform::PcmBackendKind::Null);
    CCountingGame game;
    auto* system = new CDiskSoundSystem(&game);
    game.m_pSoundSystem = system;  // the game deletes it
    const std::string wav = WriteTempFile("early.wav", ToneWav(480));
    ASSERT_EQ(system->LoadWAV(wav.c_str()), 0) << "an effect loaded before the first set-up";
    ASSERT_EQ(CCountedMemoryFile::s_live, 1) << "its slot owns the file's bytes";
    ASSERT_EQ(system->Initialize(), 1);
    EXPECT_EQ(system->GetEffect(0), nullptr) << "the set-up starts with empty slots";
    EXPECT_EQ(CCountedMemoryFile::s_live, 0) << "and frees what the slots held";
    EXPECT_EQ(system->LoadWAV(wav.c_str()), 0);
}

TEST_F(SoundSystemTest, InitializeFailsWithoutADevice) {
    platform::PcmUseBackend(platform::PcmBackendKind::None);
    testing::internal::CaptureStdout();
    EXPECT_EQ(system->Initialize(), 0);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_NE(printed.find("snd_pcm_open_name failed: no sound device\n"), std::string::npos) << printed;
    EXPECT_EQ(system->PlaySFX(0, false), -1) << "the game goes on without sound";
}

TEST_F(SoundSystemTest, VolumesRoundThroughTheMixerScales) {
    ASSERT_EQ(system->Initialize(), 1);
    struct TCase {
        int set, effect, music;
    };
    // effect: 100 * (v * 64 / 100) / 64; music: 100 * (v * 191 / 100) / 191
    for (const TCase c : {TCase{33, 32, 32}, TCase{50, 50, 49}, TCase{100, 100, 100}, TCase{0, 0, 0},
                          TCase{250, 100, 100}, TCase{-9, 0, 0}}) {
        system->SetVolume(c.set);
        system->SetMusicVolume(c.set);
        EXPECT_EQ(system->GetVolume(), c.effect) << c.set;
        EXPECT_EQ(system->GetMusicVolume(), c.music) << c.set;
    }
    system->SetVolume(50);
    EXPECT_EQ(system->GetMixer()->volumeSFX(), 32);
}

TEST_F(SoundSystemTest, LoadWavFillsSlotsAndFailuresLeaveThemFree) {
    ASSERT_EQ(system->Initialize(), 1);
    EXPECT_EQ(system->LoadWAV(longWav.c_str()), 0);
    EXPECT_EQ(system->LoadWAV("/nonexistent-dir/missing.wav"), -1);
    Bytes broken = ToneWav(10);
    broken.resize(40);
    EXPECT_EQ(system->LoadWAV(WriteTempFile("broken.wav", broken).c_str()), -1);
    EXPECT_EQ(system->LoadWAV(longWav.c_str()), 1) << "failed loads took no slot";
    ASSERT_NE(system->GetEffect(1), nullptr);
    EXPECT_EQ(system->GetEffect(1)->length(), 48000u);
    const std::string tiny = WriteTempFile("tiny.wav", ToneWav(4));
    for (int i = 2; i < 100; ++i) ASSERT_EQ(system->LoadWAV(tiny.c_str()), i);
    EXPECT_EQ(system->LoadWAV(tiny.c_str()), -1) << "the 101st load";
    system->UnloadWAV(57);
    EXPECT_EQ(system->GetEffect(57), nullptr);
    EXPECT_EQ(system->LoadWAV(tiny.c_str()), 57);
}

TEST_F(SoundSystemTest, PlaySFXNeedsTheSoundSwitchAndRecordsTheChannel) {
    ASSERT_EQ(system->Initialize(), 1);
    const int id = system->LoadWAV(longWav.c_str());
    EXPECT_EQ(system->PlaySFX(id, false), -1) << "sound switch off";
    system->SoundON(true);
    for (int bad : {-1, 100, 5}) EXPECT_EQ(system->PlaySFX(bad, false), -1) << bad;
    const int channel = system->PlaySFX(id, true);
    EXPECT_EQ(channel, 1);
    EXPECT_EQ(system->GetChannelOwner(channel), id);
    EXPECT_FALSE(system->GetEffect(id)->loop()) << "the effect's own loop flag is put back";
    {
        std::lock_guard<std::mutex> lock(system->GetMixer()->Lock());
        EXPECT_TRUE(system->GetMixer()->channel(channel)->loop());
    }
    system->SoundON(false);
    EXPECT_TRUE(Playing(channel)) << "switching sound off stops nothing";
}

TEST_F(SoundSystemTest, StopSFXStopsOnlyChannelsStillOwnedByTheEffect) {
    ASSERT_EQ(system->Initialize(), 1);
    system->SoundON(true);
    const int a = system->LoadWAV(longWav.c_str());
    const int b = system->LoadWAV(longWav.c_str());
    const int chA = system->PlaySFX(a, true);
    const int chB = system->PlaySFX(b, true);
    system->StopSFX(a, chB);
    EXPECT_TRUE(Playing(chB)) << "channel given to another effect";
    system->StopSFX(a, -1);
    EXPECT_FALSE(Playing(chA));
    EXPECT_EQ(system->GetChannelOwner(chA), -1);
    system->StopSFX(b, chB);
    EXPECT_FALSE(Playing(chB));
    EXPECT_EQ(system->StopAll(), 0);
}

TEST_F(SoundSystemTest, UnloadStopsEveryVoiceReadingTheEffect) {
    ASSERT_EQ(system->Initialize(), 1);
    system->SoundON(true);
    const int a = system->LoadWAV(longWav.c_str());
    const int ch = system->PlaySFX(a, true);
    system->UnloadWAV(a);
    EXPECT_FALSE(Playing(ch));
    EXPECT_EQ(system->GetEffect(a), nullptr);
    system->UnloadWAV(a);  // an empty slot stays empty
}

TEST_F(SoundSystemTest, PauseSuspendsTheThreadOnce) {
    ASSERT_EQ(system->Initialize(), 1);
    system->SetPaused(false);
    EXPECT_TRUE(system->GetMixer()->IsThreadRunning()) << "resume without a pause does nothing";
    system->SetPaused(true);
    EXPECT_FALSE(system->GetMixer()->IsThreadRunning());
    system->SetPaused(true);
    EXPECT_FALSE(system->GetMixer()->IsThreadRunning());
    system->SetPaused(false);
    EXPECT_TRUE(system->GetMixer()->IsThreadRunning());
}

TEST_F(SoundSystemTest, LoadOggDecodesMonoFilesOnly) {
    ASSERT_EQ(system->Initialize(), 1);
    const std::string mono = WriteTempFile("fx_mono.ogg", EncodeOggSine(22050, 1, 3000, 500.0, 0.5));
    const std::string stereo = WriteTempFile("fx_stereo.ogg", EncodeOggSine(22050, 2, 3000, 500.0, 0.5));
    EXPECT_EQ(system->LoadOGG(stereo.c_str()), -1);
    const int id = system->LoadOGG(mono.c_str());
    ASSERT_EQ(id, 0) << "the failed stereo load left the slot free";
    EXPECT_EQ(system->GetEffect(id)->length(), 3000u);
    EXPECT_EQ(system->GetEffect(id)->rate(), 22050);
    EXPECT_FALSE(system->GetEffect(id)->is8Bit());
    const std::string notOgg = WriteTempFile("fx_bad.ogg", ToneWav(100));
    EXPECT_EQ(system->LoadOGG(notOgg.c_str()), -1);
}

TEST_F(SoundSystemTest, StreamSlotsByNameAndEnding) {
    ASSERT_EQ(system->Initialize(), 1);
    const Bytes wav = ToneWav(4800);
    const std::string lower = WriteTempFile("song.wav", wav);
    const std::string upper = WriteTempFile("song.WAV", wav);
    const std::string mixed = WriteTempFile("song.Wav", wav);
    const int id = system->LoadStream(lower.c_str());
    EXPECT_EQ(id, 0);
    EXPECT_EQ(system->LoadStream(lower.c_str()), id) << "the same name loads nothing new";
    EXPECT_EQ(system->LoadStream(upper.c_str()), 1) << "another case of the ending is another stream";
    EXPECT_EQ(system->LoadStream(mixed.c_str()), -1) << "mixed-case ending";
    EXPECT_EQ(system->LoadStream("/nonexistent-dir/x.ogg"), -1);
    EXPECT_EQ(system->LoadStream("abc"), -1);
    for (int i = 2; i < 256; ++i)
        ASSERT_EQ(system->LoadStream(WriteTempFile("s" + std::to_string(i) + ".wav", wav).c_str()), i);
    EXPECT_EQ(system->LoadStream(WriteTempFile("s256.wav", wav).c_str()), -1) << "the 257th stream";
    system->UnloadStream(3);
    EXPECT_EQ(system->GetStream(3), nullptr);
}

TEST_F(SoundSystemTest, StreamsNeedTheirSwitchAndStopWithMusic) {
    ASSERT_EQ(system->Initialize(), 1);
    const int id = system->LoadStream(WriteTempFile("music.wav", ToneWav(96000)).c_str());
    ASSERT_EQ(id, 0);
    system->MusicON(true);
    EXPECT_EQ(system->PlayStream(id, true, true), -1) << "as a sound it needs the sound switch";
    EXPECT_EQ(system->PlayStream(7, false, true), -1);
    EXPECT_EQ(system->PlayStream(id, false, true), 0);
    CStreamingProvider* stream = system->GetStream(id);
    {
        std::lock_guard<std::mutex> lock(system->GetMixer()->Lock());
        EXPECT_TRUE(stream->IsPlaying());
        EXPECT_EQ(stream->GetVolume(), 100) << "the music value a new sound system starts with";
    }
    system->SetMusicVolume(100);
    EXPECT_EQ(system->StopStreamWithFadeOut(id, 256), 0);
    {
        std::lock_guard<std::mutex> lock(system->GetMixer()->Lock());
        EXPECT_EQ(stream->GetVolume(), 191);
        EXPECT_TRUE(stream->IsFadingOut());
    }
    system->MusicON(false);
    {
        std::lock_guard<std::mutex> lock(system->GetMixer()->Lock());
        EXPECT_FALSE(stream->IsPlaying());
    }
    EXPECT_EQ(system->GetMixer()->ActiveStreamCount(), 1) << "stopped streams stay in the mixer's list";
    EXPECT_EQ(system->PlayStream(id, false, true), -1) << "music off";
    system->SoundON(true);
    EXPECT_EQ(system->PlayStreamWithFadeIn(id, true, false, 512), 0);
    EXPECT_EQ(system->StopStream(id), 0);
    EXPECT_EQ(system->GetMixer()->ActiveStreamCount(), 0);
    EXPECT_EQ(system->StopStream(99), -1);
    EXPECT_EQ(system->StopStreamWithFadeOut(99, 10), -1);
}

}  // namespace
