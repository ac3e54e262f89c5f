#include "audio/SoundManager.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "AudioTestSupport.h"
#include "core/Parser.h"
#include "core/QuorvanUtils.h"

using namespace audio_test;

namespace {

class SoundManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        sound = new CRecordingSoundSystem;
        game.m_pSoundSystem = sound;  // the game deletes it
        game.m_SoundsDir = "Sound_BB\\";
        for (int& id : g_cs_OGG_LoadedIndexes) id = -1;
    }
    void TearDown() override {
        for (int& id : g_cs_OGG_LoadedIndexes) id = -1;
    }
    bool Read(const char* text) {
        TParseInput input;
        input.bytes = text;
        input.size = static_cast<int>(std::strlen(text));
        input.name = "sfx.txt";
        return manager.ReadSfxFromInput(input);
    }
    std::string Last() const { return sound->calls.empty() ? "" : sound->calls.back(); }

    CTestGame game;
    CRecordingSoundSystem* sound = nullptr;
    CSoundManager manager{&game};
};

TEST_F(SoundManagerTest, ReadsBlocksOfNameAndFile) {
    ASSERT_TRUE(
        Read("// effects\n"
             "sfx = SFX_BUTTON_PRESSED\n"
             "file = \"ui\\click.wav\"\n"
             "volume = 3\n"
             "end\n"
             "\n"
             "sfx: \"SFX_POP\"\n"
             "  file=pop.wav   \n"
             "end\n"));
    ASSERT_EQ(manager.GetNumSoundFX(), 2);
    EXPECT_STREQ(manager.GetSoundFX(0)->name.GetData(), "SFX_BUTTON_PRESSED");
    EXPECT_STREQ(manager.GetSoundFX(0)->file.GetData(), "ui\\click.wav");
    EXPECT_STREQ(manager.GetSoundFX(1)->name.GetData(), "SFX_POP");
    EXPECT_STREQ(manager.GetSoundFX(1)->file.GetData(), "pop.wav");
    EXPECT_EQ(manager.GetSoundFX(1)->soundId, -1);
    EXPECT_EQ(manager.GetSoundFX(1)->refCount, 0);
    EXPECT_EQ(manager.GetSoundFX(2), nullptr);
}

TEST_F(SoundManagerTest, FileSyntaxEdgeCases) {
    ASSERT_TRUE(
        Read("Sfx = NOT_A_BLOCK\n"
             "file = stray.wav\n"
             "sfx = FIRST\n"
             "file = a.wav\n"
             "sfx = SECOND\n"  // no "end" before: ignored inside the block
             "file = b.wav\n"  // replaces the first block's file
             "end\n"
             "sfx = OPEN_AT_EOF\n"
             "file = c.wav"));
    ASSERT_EQ(manager.GetNumSoundFX(), 2);
    EXPECT_STREQ(manager.GetSoundFX(0)->name.GetData(), "FIRST");
    EXPECT_STREQ(manager.GetSoundFX(0)->file.GetData(), "b.wav");
    EXPECT_STREQ(manager.GetSoundFX(1)->name.GetData(), "OPEN_AT_EOF");
    EXPECT_STREQ(manager.GetSoundFX(1)->file.GetData(), "c.wav");
    EXPECT_EQ(manager.FindSoundFX(CommonString("SECOND")), nullptr);
    EXPECT_EQ(manager.FindSoundFX(CommonString("NOT_A_BLOCK")), nullptr);
}

// A table the game could not run on is refused with the member and what is wrong; a whole one
// (blank lines, comments and a missing final line break included) passes.
TEST_F(SoundManagerTest, CheckRefusesEmptyCutAndFilelessTables) {
    struct TCase {
        const char* text;
        const char* failure;  // null: accepted
        const char* why;
    } const cases[] = {
        {"sfx = A\nfile = a.wav\nend\n\n// last\nsfx = B\nfile = b.wav\nend", nullptr, "a whole table"},
        {"",
         "Data\\sfx.txt is damaged: no effect (\"sfx = NAME\" up to \"end\"): the file is empty or not a sound table",
         "an empty file"},
        {"\x89PNG\r\n\x1a\n this is no picture \x89PNG\r\n",
         "Data\\sfx.txt is damaged: no effect (\"sfx = NAME\" up to \"end\"): the file is empty or not a sound table",
         "bytes of another kind of file"},
        {"sfx = A\nfile = a.wav\nend\nsfx = SFX_GainGamep",
         "Data\\sfx.txt is damaged: the file ends inside the block of the effect SFX_GainGamep (no \"end\"): it is "
         "cut short",
         "cut inside the last block's name"},
        {"sfx = A\nfile = a.wav\nend\nsfx = B\nfile = b.wav\n",
         "Data\\sfx.txt is damaged: the file ends inside the block of the effect B (no \"end\"): it is cut short",
         "cut before the last block's end, its file already read"},
        {"sfx = A\nfile = a.wav\nend\nsfx = SILENT\nend\n",
         "Data\\sfx.txt is damaged: the effect SILENT (entry 2) has no file", "an effect that can never load"},
        {"sfx = \nfile = a.wav\nend\n", "Data\\sfx.txt is damaged: the effect  (entry 1) has no name",
         "an effect that cannot be played by name"},
    };
    for (const TCase& c : cases) {
        CSoundManager table(&game);
        TParseInput input;
        input.bytes = c.text;
        input.size = static_cast<int>(std::strlen(c.text));
        input.name = "sfx.txt";
        ASSERT_TRUE(table.ReadSfxFromInput(input)) << c.why;
        CommonString failure;
        EXPECT_EQ(table.CheckTable(failure), c.failure == nullptr) << c.why;
        EXPECT_STREQ(failure.GetDataConst() != nullptr ? failure.GetDataConst() : "",
                     c.failure != nullptr ? c.failure : "")
            << c.why;
    }
    // A second read of a whole table forgets the cut of the first.
    CSoundManager table(&game);
    const std::string cutText = "sfx = A\nfile = a.wav\n";
    const std::string wholeText = "sfx = B\nfile = b.wav\nend\n";
    TParseInput cut = ParseInputOf(cutText, "sfx.txt");
    ASSERT_TRUE(table.ReadSfxFromInput(cut));
    TParseInput whole = ParseInputOf(wholeText, "sfx.txt");
    ASSERT_TRUE(table.ReadSfxFromInput(whole));
    CommonString failure;
    EXPECT_TRUE(table.CheckTable(failure)) << failure.GetDataConst();
}

TEST_F(SoundManagerTest, PostConstructReadsTheModuleDirectorysTable) {
    const std::string path = WriteTempFile("Data\\sfx.txt", Bytes{'s', 'f', 'x', '=', 'A', '\n', 'e', 'n', 'd', '\n'});
    game.moduleDir = std::filesystem::path(path).parent_path().string() + "/";
    EXPECT_TRUE(manager.PostConstruct());
    EXPECT_EQ(manager.GetNumSoundFX(), 1);
    game.moduleDir = "/nonexistent-dir/";
    EXPECT_FALSE(manager.PostConstruct());
}

TEST_F(SoundManagerTest, ReferencesLoadOnceAndUnloadAtZero) {
    ASSERT_TRUE(Read("sfx=A\nfile=a.wav\nend\nsfx=SILENT\nend\n"));
    EXPECT_TRUE(manager.AddReference(CommonString("A")));
    EXPECT_EQ(Last(), "LoadWAV Sound_BB\\a.wav");
    EXPECT_TRUE(manager.AddReference(0));
    EXPECT_EQ(sound->calls.size(), 1u) << "the second reference loads nothing";
    SoundFXData* a = manager.FindSoundFX(CommonString("A"));
    EXPECT_EQ(a->refCount, 2);
    manager.ReleaseReference(0);
    EXPECT_EQ(a->soundId, 0) << "still loaded";
    manager.ReleaseReference(CommonString("A"));
    EXPECT_EQ(Last(), "UnloadWAV 0");
    EXPECT_EQ(a->soundId, -1);
    EXPECT_EQ(a->refCount, 0);

    EXPECT_TRUE(manager.AddReference(1)) << "an entry without a file counts references";
    EXPECT_EQ(manager.GetSoundFX(1)->refCount, 1);
    EXPECT_EQ(sound->calls.size(), 2u);
    EXPECT_FALSE(manager.AddReference(5));
    EXPECT_FALSE(manager.AddReference(CommonString("MISSING")));
}

TEST_F(SoundManagerTest, AFailedLoadLeavesTheEntryUnloadedAndIsRetried) {
    ASSERT_TRUE(Read("sfx=A\nfile=a.wav\nend\n"));
    sound->failLoads = true;
    EXPECT_FALSE(manager.AddReference(0));
    EXPECT_EQ(manager.GetSoundFX(0)->refCount, 0);
    EXPECT_FALSE(manager.PlaySoundFX("A"));
    sound->failLoads = false;
    EXPECT_TRUE(manager.AddReference(0));
    EXPECT_EQ(manager.GetSoundFX(0)->soundId, 0);
}

TEST_F(SoundManagerTest, PlayByNamePrefersTheLaterLoadedEntry) {
    ASSERT_TRUE(Read("sfx=TWIN\nfile=one.wav\nend\nsfx=TWIN\nfile=two.wav\nend\n"));
    EXPECT_EQ(manager.FindSoundFX(CommonString("TWIN")), manager.GetSoundFX(0));
    manager.AddReference(0);  // id 0
    manager.AddReference(1);  // id 1
    EXPECT_TRUE(manager.PlaySoundFX("TWIN"));
    EXPECT_EQ(Last(), "PlaySFX 1 0");
    manager.ReleaseReference(1);
    EXPECT_TRUE(manager.PlaySoundFX("TWIN"));
    EXPECT_EQ(Last(), "PlaySFX 0 0") << "falls back to the earlier entry";
    sound->playResult = -1;
    EXPECT_FALSE(manager.PlaySoundFX("TWIN")) << "no channel took it";
    game.soundOn = false;
    sound->playResult = 2;
    const std::size_t before = sound->calls.size();
    EXPECT_FALSE(manager.PlaySoundFX("TWIN")) << "sound off refuses even a loaded effect";
    manager.PlaySoundFX(0);
    manager.PlaySoundFXLooped(0);
    EXPECT_EQ(sound->calls.size(), before);
    EXPECT_FALSE(manager.PlaySoundFX(static_cast<const char*>(nullptr)));
}

TEST_F(SoundManagerTest, PlayAndStopByIndex) {
    ASSERT_TRUE(Read("sfx=A\nfile=a.wav\nend\nsfx=B\nfile=b.wav\nend\n"));
    manager.AddReference(1);  // id 0
    manager.PlaySoundFX(0);   // not loaded: nothing
    EXPECT_EQ(Last(), "LoadWAV Sound_BB\\b.wav");
    manager.PlaySoundFX(1);
    EXPECT_EQ(Last(), "PlaySFX 0 0");
    manager.PlaySoundFXLooped(1);
    EXPECT_EQ(Last(), "PlaySFX 0 1");
    manager.PlaySoundFXLooped(0);
    EXPECT_EQ(Last(), "PlaySFX -1 1") << "a looped play hands even an unloaded id to the sound system";
    manager.StopSoundFX("B");
    EXPECT_EQ(Last(), "StopSFX 0 -1");
    manager.StopSoundFX(1);
    EXPECT_EQ(Last(), "StopSFX 0 -1");
    const std::size_t before = sound->calls.size();
    manager.StopSoundFX(0);
    manager.StopSoundFX(9);
    manager.StopSoundFX("NOPE");
    EXPECT_EQ(sound->calls.size(), before);
}

TEST_F(SoundManagerTest, MusicTracksSwitchWithFades) {
    g_cs_OGG_LoadedIndexes[0] = 10;
    g_cs_OGG_LoadedIndexes[3] = 13;
    manager.PlayMusicTrack(3, true, 0, 0);
    EXPECT_EQ(sound->calls[0], "StopStream -1") << "no current stream: the id -1 is refused";
    EXPECT_EQ(Last(), "PlayStream 13 0 1");
    EXPECT_EQ(manager.GetCurrentMusicTrack(), 3);
    const std::size_t before = sound->calls.size();
    manager.PlayMusicTrack(3, false, 256, 256);
    EXPECT_EQ(sound->calls.size(), before) << "the current track again does nothing";
    manager.PlayMusicTrack(0, false, 512, 128);
    EXPECT_EQ(sound->calls[before], "StopStreamWithFadeOut 13 128");
    EXPECT_EQ(Last(), "PlayStreamWithFadeIn 10 0 0 512");
    manager.PlayMusicTrack(6, true, 0, 0);
    EXPECT_EQ(Last(), "StopStream 10");
    EXPECT_EQ(manager.GetCurrentMusicTrack(), -1);
    manager.PlayMusicTrack(1, true, 0, 0);  // not loaded
    EXPECT_EQ(manager.GetCurrentMusicTrack(), -1);
    game.musicOn = false;
    manager.PlayMusicTrack(0, true, 0, 0);
    EXPECT_EQ(manager.GetCurrentMusicTrack(), -1) << "music off: nothing current";
    game.musicOn = true;
    manager.PlayMusicTrack(0, true, 0, 0);
    manager.StopMusicTrackWithFadeOut(64);
    EXPECT_EQ(Last(), "StopStreamWithFadeOut 10 64");
    EXPECT_EQ(manager.GetCurrentMusicStream(), -1);
}

TEST_F(SoundManagerTest, StreamsPlayedAsSoundsLeaveTheCurrentTrackAlone) {
    g_cs_OGG_LoadedIndexes[5] = 7;
    manager.PlaySoundStream(5, true);
    EXPECT_EQ(Last(), "PlayStream 7 1 1");
    manager.PlayMusicStream(5, false);
    EXPECT_EQ(Last(), "PlayStream 7 0 0");
    manager.StopSoundStream(5);
    EXPECT_EQ(Last(), "StopStream 7");
    EXPECT_EQ(manager.GetCurrentMusicTrack(), -1);
    const std::size_t before = sound->calls.size();
    manager.PlaySoundStream(4, true);
    manager.StopMusicStream(-1);
    game.soundOn = false;
    manager.PlaySoundStream(5, true);
    EXPECT_EQ(sound->calls.size(), before);
}

TEST_F(SoundManagerTest, DestructorStopsTheCurrentTrackAtOnce) {
    g_cs_OGG_LoadedIndexes[2] = 4;
    {
        CSoundManager local(&game);
        local.PlayMusicTrack(2, true, 0, 0);
    }
    EXPECT_EQ(Last(), "StopStream 4");
}

TEST_F(SoundManagerTest, WithoutASoundSystemEverythingIsRefused) {
    CTestGame silent;
    CSoundManager m(&silent);
    SoundFXData* entry = m.AddSoundFX(CommonString("X"));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->nameHash, GetHashCode("X"));
    EXPECT_FALSE(m.AddReference(entry));
    EXPECT_FALSE(m.PlaySoundFX("X"));
    m.PlayMusicTrack(0, true, 0, 0);
    EXPECT_EQ(m.GetCurrentMusicTrack(), -1);
    EXPECT_EQ(m.FindSoundFX(CommonString("")), nullptr);
}

}  // namespace
