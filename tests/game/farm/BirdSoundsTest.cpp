#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/SoundManager.h"
#include "core/QuorvanUtils.h"
#include "game/farm/BirdSoundsManager.h"
#include "testsupport/MediaTestGame.h"
#include "testsupport/TestTheGame.h"

namespace {

std::string Text(const CommonString& s) { return s.GetData() ? s.GetData() : ""; }

std::vector<std::string> Texts(const CQuorvanObjPtrArray<CommonString*>& list) {
    std::vector<std::string> out;
    for (int i = 0; i < list.count; ++i) out.push_back(Text(*list[i]));
    return out;
}

class BirdSounds : public ::testing::Test {
protected:
    void Mount(const std::string& text) {
        mediatest::SetCommonPak(game, dir.Path("common" + std::to_string(serial++) + ".pak"),
                                {{"Data\\bird_sounds.txt", mediatest::ToBytes(text)}});
    }
    CScratchDir dir;
    CTestTheGame game;
    int serial = 0;
};

const char* const kTable =
    "eat = stray\n"  // before any bird: ignored
    "bird = \"bird1\"\n"
    "  eat = chirp_a\n"
    "  eat = \"chirp_b\"\n"
    "  drink = sip\n"
    "  question = hmm\n"
    "  tap = boing\n"
    "  tap_spin = whee\n"
    "  bird = bird9\n"  // inside a record: ignored
    "  sing = la\n"     // unknown key
    "end\n"
    "bird = bird2\n"
    "  eat = chirp_a\n"  // shared with bird1
    "  eat = chirp_a\n"  // twice in one list
    "  tap = honk\n"
    "end\n"
    "bird = bird1\n"
    "  eat = late\n"
    "end\n";

TEST_F(BirdSounds, ReadsRepeatableKeysPerBird) {
    Mount(kTable);
    CBirdSoundsManager birds(&game);
    ASSERT_EQ(birds.PostConstruct(), 1);
    EXPECT_EQ(Text(birds.m_FilePrefix), "Birds\\");
    ASSERT_EQ(birds.GetNumBirds(), 3);
    TBirdSounds* one = birds.GetSoundsForBird(CommonString("bird1"));
    ASSERT_EQ(one, birds.m_Birds[0]) << "two records with one name: the first is found";
    EXPECT_EQ(Texts(one->eat), (std::vector<std::string>{"chirp_a", "chirp_b"}));
    EXPECT_EQ(Texts(one->drink), (std::vector<std::string>{"sip"}));
    EXPECT_EQ(Texts(one->question), (std::vector<std::string>{"hmm"}));
    EXPECT_EQ(Texts(one->tap), (std::vector<std::string>{"boing"}));
    EXPECT_EQ(Texts(one->tap_spin), (std::vector<std::string>{"whee"}));
    TBirdSounds* two = birds.GetSoundsForBird(CommonString("bird2"));
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(Texts(two->eat), (std::vector<std::string>{"chirp_a", "chirp_a"}));
    EXPECT_EQ(two->drink.count, 0) << "an empty list plays nothing";
    EXPECT_EQ(birds.GetSoundsForBird(CommonString("bird9")), nullptr);
    EXPECT_EQ(birds.GetSoundsForBird(CommonString("Bird1")), nullptr) << "names compare case-sensitively";
}

TEST_F(BirdSounds, DistinctIdsInOrderOfFirstAppearanceWithTheirHashes) {
    Mount(kTable);
    CBirdSoundsManager birds(&game);
    ASSERT_EQ(birds.PostConstruct(), 1);
    const std::vector<std::string> expected = {"chirp_a", "chirp_b", "sip", "hmm", "boing", "whee", "honk", "late"};
    ASSERT_EQ(birds.GetNumSoundIds(), static_cast<int>(expected.size()));
    for (int i = 0; i < birds.GetNumSoundIds(); ++i) {
        EXPECT_EQ(Text(birds.GetSoundId(i)), expected[i]);
        EXPECT_EQ(birds.m_IdHashes[i], GetHashCode(expected[i].c_str()));
    }
}

TEST_F(BirdSounds, RegistersEachIdOnceUnderTheBirdsFolder) {
    Mount(kTable);
    CSoundManager sounds(&game);
    game.m_pSoundManager = &sounds;
    CBirdSoundsManager birds(&game);
    ASSERT_EQ(birds.PostConstruct(), 1);
    ASSERT_EQ(birds.AddBirdSoundsToSoundManager(), 1);
    ASSERT_EQ(sounds.GetNumSoundFX(), 8);
    EXPECT_EQ(Text(sounds.GetSoundFX(0)->name), "chirp_a");
    EXPECT_EQ(Text(sounds.GetSoundFX(0)->file), "Birds\\chirp_a");
    EXPECT_EQ(Text(sounds.GetSoundFX(7)->file), "Birds\\late");
    ASSERT_NE(sounds.FindSoundFX(CommonString("honk")), nullptr);
    game.m_pSoundManager = nullptr;

    // Read without PostConstruct the prefix is empty and the id alone is the file name.
    CSoundManager plain(&game);
    game.m_pSoundManager = &plain;
    CBirdSoundsManager unprefixed(&game);
    ASSERT_EQ(unprefixed.ReadDataFromFile(CommonString("bird_sounds.txt")), 1);
    ASSERT_EQ(unprefixed.AddBirdSoundsToSoundManager(), 1);
    EXPECT_EQ(Text(plain.GetSoundFX(2)->file), "sip");
    game.m_pSoundManager = nullptr;
    EXPECT_EQ(unprefixed.AddBirdSoundsToSoundManager(), 0) << "no sound manager";
}

TEST_F(BirdSounds, MissingFileFailsTheStartUp) {
    Mount("");
    mediatest::SetCommonPak(game, dir.Path("none.pak"), {{"Data\\other.txt", mediatest::ToBytes("x")}});
    CBirdSoundsManager birds(&game);
    EXPECT_EQ(birds.PostConstruct(), 0);
    EXPECT_EQ(Text(birds.m_FilePrefix), "");
}

}  // namespace

namespace {

TEST_F(BirdSounds, TheGameMakesTheTableAfterItsSoundTable) {
    Mount(kTable);
    EXPECT_FALSE(game.CreateBirdSoundsManager()) << "no sound manager to add the sounds to";
    game.m_pSoundManager = new CSoundManager(&game);
    ASSERT_TRUE(game.CreateBirdSoundsManager());
    ASSERT_NE(game.m_pBirdSoundsManager, nullptr);
    EXPECT_EQ(game.m_pBirdSoundsManager->GetNumBirds(), 3);
    ASSERT_NE(game.m_pSoundManager->FindSoundFX(CommonString("whee")), nullptr);
    EXPECT_EQ(Text(game.m_pSoundManager->FindSoundFX(CommonString("whee"))->file), "Birds\\whee");
    // The game object deletes both when it goes.
}

}  // namespace
