#include <gtest/gtest.h>

#include <cstring>
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

namespace {

TEST_F(BirdSounds, TheCheckRefusesATableTheGameCannotStartWithAndNamesTheMember) {
    const auto birds = [](int count, const std::string& calls) {
        std::string text;
        for (int i = 1; i <= count; ++i) text += "bird = bird" + std::to_string(i) + "\n" + calls + "end\n";
        return text;
    };
    std::string sixtyFourEats, sixtyFiveEats;
    for (int i = 0; i < 64; ++i) sixtyFourEats += "  eat = e" + std::to_string(i) + "\n";
    sixtyFiveEats = sixtyFourEats + "  eat = more\n";
    const std::string longest(64, 'x');
    struct TCase {
        std::string table;
        const char* failure;  // empty: the table passes
        const char* why;
    } cases[] = {
        {kTable, "", "the readers' own table"},
        {birds(256, "  eat = a.wav\n"), "", "256 birds are allowed"},
        {birds(1, sixtyFourEats), "", "64 calls for one moment are allowed"},
        {birds(1, "  tap = " + longest + "\n"), "", "an id of 64 characters is allowed"},
        {"", "Data\\bird_sounds.txt: no bird record", "an empty table"},
        {"\x89PNG\r\n\x1a\n this is no picture \x89PNG\r\n\x1a\n this is no picture ",
         "Data\\bird_sounds.txt: no bird record", "the bytes of another kind of file"},
        {"eat = a\ntap = b\n", "Data\\bird_sounds.txt: no bird record", "calls outside any record"},
        {birds(2, "") + "bird = bird3\n  eat = a.wav\n  tap = honk.wa",
         "Data\\bird_sounds.txt: the file ends inside the record of the bird bird3 (no \"end\"): it is cut short",
         "a table cut inside its last record"},
        {birds(257, ""), "Data\\bird_sounds.txt: 257 bird records, more than the 256 a table may have", "too many"},
        {"bird = \"\"\n  eat = a\nend\n",
         "Data\\bird_sounds.txt: bird record 1 has no name of 1 to 64 printable characters", "no name"},
        {birds(1, sixtyFiveEats), "Data\\bird_sounds.txt: bird bird1 has 65 eat calls, more than 64", "too many calls"},
        {birds(2, "") + "bird = bird3\n  drink = a\n  drink = \"\"\nend\n",
         "Data\\bird_sounds.txt: bird bird3: drink call 2 is no sound id of 1 to 64 printable characters",
         "an empty id"},
        {birds(1, "  tap_spin = " + longest + "y\n"),
         "Data\\bird_sounds.txt: bird bird1: tap_spin call 1 is no sound id", "an id of 65 characters"},
        {birds(1, "  question = a\x01\x02\n"), "Data\\bird_sounds.txt: bird bird1: question call 1 is no sound id",
         "control characters"},
        {birds(1, "  tap = \xe9t\xe9\n"), "Data\\bird_sounds.txt: bird bird1: tap call 1 is no sound id",
         "bytes past ASCII"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        Mount(c.table);
        CBirdSoundsManager table(&game);
        ASSERT_EQ(table.PostConstruct(), 1);
        CommonString failure;
        EXPECT_EQ(table.CheckTable(failure), c.failure[0] == '\0');
        EXPECT_EQ(Text(failure).substr(0, std::strlen(c.failure)), c.failure);
    }
}

TEST_F(BirdSounds, TheGameRefusesAGarbledTableNamingTheMember) {
    game.m_pSoundManager = new CSoundManager(&game);
    Mount("\x89PNG\r\n\x1a\n this is no picture ");
    CommonString failure;
    EXPECT_FALSE(game.CreateBirdSoundsManager(&failure));
    EXPECT_EQ(Text(failure).rfind("Data\\bird_sounds.txt: no bird record", 0), 0u) << Text(failure);
    EXPECT_EQ(game.m_pSoundManager->GetNumSoundFX(), 0) << "no sound is added from a refused table";

    mediatest::SetCommonPak(game, dir.Path("none.pak"), {{"Data\\other.txt", mediatest::ToBytes("x")}});
    EXPECT_FALSE(game.CreateBirdSoundsManager(&failure));
    EXPECT_EQ(Text(failure), "Data\\bird_sounds.txt: the bird sounds could not be read");
}

}  // namespace
