// "global.opt" as the game writes and reads it: a golden file built by hand from the layout
// tables, round trips, and every way a damaged file can fail.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "ProgressTheGame.h"
#include "core/MemFile.h"
#include "game/progress/HighScoreTable.h"
#include "testsupport/SaveFaults.h"
#include "testsupport/ScratchDir.h"
#include "testsupport/SettingsPartBytes.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// ---- The golden file, field by field from the layout tables ----------------------------------

// A profile with every field set and every list filled. Its name has bytes after the terminator,
// which the record keeps.
void AppendRichProfile(CByteBuilder& b) {
    b.Str("prfl").Raw(std::string("Ann\0xyz\0\0\0\0", 11)).Byte(0).Byte(0);
    b.Int(2).Int(123456).Int(789).Int(45).Int(3);  // slot, total score, coins, coin tally, clear bonuses
    b.Bool(true);                                  // social prompt accepted
    b.Int(23);
    for (int i = 0; i < 23; ++i) b.Byte(i % 3 == 0 ? 1 : 0);
    b.Bool(true).Bool(false).Bool(false);  // scores to sync, achievements to sync, tutorial on
    b.Int(7);
    for (int i = 0; i < 7; ++i) b.Bool(i == 1 || i == 6);
    b.Int(2).Str("arena1").Int(5000).Str("arena2").Int(12000);  // best scores
    b.Str("arena2").Str("yard2");                               // current arena and yard
    b.Int(2).Str("yard1").Int(3).Str("yard2").Int(1);           // completed yards
    b.Int(1).Str("yard1");                                      // one mini-quest record
    b.Int(1).Str("q1_water").Int(1).Str("q1_feed").Int(3).Str("grain_feeder").Str("bird1").Str("bird1");
    b.Int(1).Str("arena3");                       // newly unlocked levels
    b.Str("yard3");                               // the newly unlocked yard
    b.Bool(true).Int(17).Bool(true).Bool(false);  // like reward, rounds started, coin-shop button, first rank-up
    b.Int(3).Int(4).Int(6).Int(7).Int(100).Int(200).Int(300).Int(9).Int(8).Int(7).Int(1).Int(2).Int(3);
    b.Int(5).Int(0xFFFFFFF0).Int(12);  // boost points earned, experience, boost points
    b.Int(6).Byte(1).Byte(0).Byte(2).Byte(4).Byte(3).Byte(5);
}

// A new player's profile: defaults and empty lists.
void AppendPlainProfile(CByteBuilder& b) {
    b.Str("prfl").Raw(std::string("Bo\0\0\0\0\0\0\0\0\0", 11)).Byte(0).Byte(0);
    b.Int(0).Int(0).Int(0).Int(0).Int(0).Bool(false).Int(23).Zeros(23);
    b.Bool(false).Bool(false).Bool(true).Int(7).Zeros(7).Int(0);
    b.Str("").Str("yard1").Int(0).Int(0).Int(0).Str("");
    b.Bool(false).Int(0).Bool(false).Bool(false).Int(3).Zeros(48);
    b.Int(0).Int(0).Int(0).Int(6).Zeros(6);
}

// Table of an arena: 30 entries, entry `ownRow` Ann's with ownScore, the others fillers below.
void AppendTable(CByteBuilder& b, const std::string& name, int ownRow, int ownScore) {
    b.Str(name);
    for (int i = 0; i < 30; ++i) {
        if (i == ownRow)
            b.Int(ownScore).Str("Ann").Bool(false);
        else
            b.Int(1000 - i).Str("Zed" + std::to_string(i)).Bool(true);
    }
}

Bytes GoldenFile() {
    TSettingsFixture settings;
    settings.silence = false;  // a read clears it, so a file that writes back the same has it off
    CByteBuilder b;
    b.Raw(SettingsPartBytes(settings));
    b.Int(2).Int(1);  // data version, current profile
    b.Int(2);
    AppendRichProfile(b);
    AppendPlainProfile(b);
    b.Str("hscr").Int(3);
    AppendTable(b, "arena1", 0, 5000);
    AppendTable(b, "arena2", 29, 12000);
    AppendTable(b, "arena3", -1, 0);
    b.Int(2);                                               // language
    b.Int(1).Str("liked").Byte(1).Byte(2).Byte(3).Byte(4);  // first activity list
    b.Int(0).Int(0);
    return b.bytes;
}

Bytes Written(CApplicationData& data) {
    CMemoryFile out;
    EXPECT_EQ(out.Create(1 << 16), 1);
    EXPECT_EQ(data.Serialize(&out, true), 1);
    const auto* bytes = static_cast<const std::uint8_t*>(out.GetBuffer());
    return Bytes(bytes, bytes + out.GetCurPos());
}

std::vector<std::string> Strings(const CQuorvanObjPtrArray<CommonString*>& list) {
    std::vector<std::string> all;
    for (int i = 0; i < list.count; ++i) all.push_back(Str(*list.data[i]));
    return all;
}

void ExpectRichProfile(const TUserProfile& p) {
    EXPECT_EQ(Str(p.GetName()), "Ann");
    EXPECT_EQ(std::memcmp(p.m_Name, "Ann\0xyz", 7), 0);
    EXPECT_EQ(p.m_nStorageSlotId, 2);
    EXPECT_EQ(p.m_nTotalScore, 123456);
    EXPECT_EQ(p.m_nCoins, 789);
    EXPECT_EQ(p.m_nCoinTally, 45);
    EXPECT_EQ(p.m_nClearBonuses, 3);
    EXPECT_TRUE(p.m_bSocialPromptAccepted);
    for (int i = 0; i < 23; ++i) EXPECT_EQ(p.IsAchievementAwarded(i), i % 3 == 0) << i;
    EXPECT_TRUE(p.m_bScoresToSync);
    EXPECT_FALSE(p.m_bAchievementsToSync);
    EXPECT_FALSE(p.m_bTutorialOn);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(p.m_HintFlags[i], i == 1 || i == 6) << i;
    int best = 0;
    EXPECT_TRUE(p.GetMyScoreOnLevel(CommonString("arena2"), best));
    EXPECT_EQ(best, 12000);
    EXPECT_EQ(Str(p.m_CurrentArena), "arena2");
    EXPECT_EQ(Str(p.m_CurrentYard), "yard2");
    EXPECT_EQ(p.GetNumCompletedYards(), 2);
    EXPECT_EQ(p.GetNumStarsInCompletedYard(CommonString("yard1")), 3);
    ASSERT_EQ(p.m_MiniQuestStates.count, 1);
    const MiniQuestStatesInfo& states = *p.m_MiniQuestStates.data[0];
    EXPECT_EQ(Str(states.m_YardId), "yard1");
    EXPECT_EQ(Strings(states.m_Unlocked), (std::vector<std::string>{"q1_water"}));
    EXPECT_EQ(Strings(states.m_Completed), (std::vector<std::string>{"q1_feed"}));
    EXPECT_EQ(Strings(states.m_Purchased), (std::vector<std::string>{"grain_feeder", "bird1", "bird1"}));
    EXPECT_EQ(Strings(p.m_NewlyUnlockedLevels), (std::vector<std::string>{"arena3"}));
    EXPECT_EQ(Str(p.m_NewlyUnlockedYard), "yard3");
    EXPECT_TRUE(p.m_bLikeRewardGiven);
    EXPECT_EQ(p.m_nRoundsStarted, 17);
    EXPECT_TRUE(p.m_bCoinShopButtonShown);
    EXPECT_FALSE(p.m_bFirstRankUpSeen);
    EXPECT_EQ(p.m_RoundsPerArena[2], 7);
    EXPECT_EQ(p.m_CoinsPerArena[1], 200);
    EXPECT_EQ(p.m_MatchPerArena[0], 9);
    EXPECT_EQ(p.m_PowerUpsPerArena[2], 3);
    EXPECT_EQ(p.m_nBoostPointsEarned, 5);
    EXPECT_EQ(p.m_uExperiencePoints, 0xFFFFFFF0u);
    EXPECT_EQ(p.m_nBoostPoints, 12);
    const signed char levels[6] = {1, 0, 2, 4, 3, 5};
    EXPECT_EQ(std::memcmp(p.m_BoostLevels, levels, 6), 0);
}

TEST(ApplicationDataFile, GoldenFileReadsEveryFieldAndWritesBackByteForByte) {
    const Bytes golden = GoldenFile();
    CProgressTestGame game;
    CApplicationData& data = game.Data();
    ASSERT_EQ(data.ReadAppDataFromBytes(golden, "golden"), 1);

    EXPECT_FALSE(data.m_bSoundOn);
    EXPECT_EQ(data.m_nEffectsVolume, 73);
    EXPECT_EQ(data.m_nOrientationMode, -2);
    EXPECT_EQ(data.m_nDataVersion, 2);
    EXPECT_EQ(data.m_nCurrentProfile, 1);
    ASSERT_EQ(data.m_Profiles.count, 2);
    ExpectRichProfile(*data.m_Profiles.data[0]);
    EXPECT_EQ(data.m_Profiles.data[0]->m_pGame, &game);
    EXPECT_EQ(Str(data.GetUserName(1)), "Bo");
    EXPECT_TRUE(data.m_Profiles.data[1]->m_bTutorialOn);
    ASSERT_EQ(data.m_HighScoreTables.count, 3);
    EXPECT_EQ(data.GetCurrentUserIndexInHighScoreTable(CommonString("arena2")), -1) << "Bo is current";
    data.m_nCurrentProfile = 0;
    EXPECT_EQ(data.GetCurrentUserIndexInHighScoreTable(CommonString("arena2")), 29);
    EXPECT_EQ(data.GetCurrentUserHighScoreInTable(CommonString("arena1")), 5000);
    EXPECT_EQ(data.m_nLanguageIndex, 2);
    ASSERT_EQ(data.m_ActivityLists[0].count, 1);
    EXPECT_EQ(Str(data.m_ActivityLists[0].data[0]->m_Text), "liked");
    EXPECT_EQ(data.m_ActivityLists[0].data[0]->m_Value[3], 4);

    data.m_nCurrentProfile = 1;
    EXPECT_EQ(Written(data), golden);
}

TEST(ApplicationDataFile, EveryFieldSurvivesASaveAndALoad) {
    CScratchDir dir;
    CProgressTestGame game;
    game.saveDir = dir.Path("data") + "/";
    CApplicationData& data = game.Data();
    data.SetDefaultApplicationData();
    data.m_bMusicOn = false;
    data.m_nMusicVolume = 7;
    data.m_nLanguageIndex = 1;
    data.m_bSilence = true;
    TUserProfile* p = game.AddPlayer("Cleo");
    ASSERT_NE(p, nullptr);
    p->m_nCoins = -5;
    p->m_AchievementFlags[22] = 1;
    p->m_HintFlags[kHintBoosts] = true;
    p->UpdateMyScoreOnLevel(CommonString("arena3"), 777);
    p->AddCompletedYardId(CommonString("yard4"), 2);
    p->MiniQuestCompleted(CommonString("yard2"), CommonString("q2_music"));
    p->FarmObjectPurchased(CommonString("yard2"), CommonString("radio"));
    p->m_NewlyUnlockedYard = "yard2";
    p->m_uExperiencePoints = 30000;
    p->m_BoostLevels[5] = 5;
    int score = 32000;
    ASSERT_EQ(data.SetLevelHighScoreInfo(CommonString("arena1"), CommonString("Cleo"), score), 8);
    ASSERT_EQ(game.SaveAppData(), 1);
    const Bytes first = Written(data);

    CProgressTestGame loaded;
    loaded.saveDir = game.saveDir;
    ASSERT_TRUE(loaded.LoadOrCreateDefaultAppData());
    EXPECT_FALSE(loaded.m_bAppDataCreatedFresh);
    CApplicationData& back = loaded.Data();
    EXPECT_FALSE(back.m_bSilence) << "the silence flag is cleared by every read";
    EXPECT_FALSE(back.m_bMusicOn);
    EXPECT_EQ(back.m_nMusicVolume, 7);
    EXPECT_EQ(back.m_nLanguageIndex, 1);
    ASSERT_EQ(back.m_Profiles.count, 1);
    const TUserProfile& q = *back.m_Profiles.data[0];
    EXPECT_EQ(Str(q.GetName()), "Cleo");
    EXPECT_EQ(Str(q.m_CurrentYard), "yard1");
    EXPECT_EQ(q.m_nCoins, -5);
    EXPECT_TRUE(q.IsAchievementAwarded(22));
    EXPECT_TRUE(q.m_HintFlags[kHintBoosts]);
    EXPECT_EQ(q.GetNumStarsInCompletedYard(CommonString("yard4")), 2);
    EXPECT_EQ(const_cast<TUserProfile&>(q).GetMiniQuestState(CommonString("yard2"), CommonString("q2_music")), 2);
    EXPECT_EQ(Str(q.m_NewlyUnlockedYard), "yard2");
    EXPECT_EQ(q.m_uExperiencePoints, 30000u);
    EXPECT_EQ(q.m_BoostLevels[5], 5);
    EXPECT_EQ(back.GetCurrentUserIndexInHighScoreTable(CommonString("arena1")), 8);
    back.m_bSilence = true;
    EXPECT_EQ(Written(back), first) << "written again, the same bytes";
}

// ---- Damaged files ------------------------------------------------------------------------------

// Offsets in the golden file where a cut falls, with what a load keeps.
struct TCut {
    const char* where;
    std::size_t at;
    int profilesKept;
};

std::size_t Find(const Bytes& bytes, const std::string& text, std::size_t from = 0) {
    const auto it = std::search(bytes.begin() + static_cast<long>(from), bytes.end(), text.begin(), text.end());
    return static_cast<std::size_t>(it - bytes.begin());
}

class DamagedFileTest : public ::testing::Test {
protected:
    // Writes bytes as the save file and loads it at start-up as the game does.
    CApplicationData& Load(const Bytes& bytes) {
        std::filesystem::create_directories(dir.Path("data"));
        std::ofstream(dir.Path("data/global.opt"), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        game = std::make_unique<CProgressTestGame>();
        game->saveDir = dir.Path("data") + "/";
        ::testing::internal::CaptureStderr();
        EXPECT_TRUE(game->LoadOrCreateDefaultAppData());
        log = ::testing::internal::GetCapturedStderr();
        return game->Data();
    }
    // What a failed read leaves: default settings and tables, the kept profiles, the first of them
    // current.
    void ExpectFallback(CApplicationData& data, int profilesKept) {
        EXPECT_TRUE(game->m_bAppDataCreatedFresh);
        EXPECT_EQ(data.m_nEffectsVolume, 60);
        EXPECT_EQ(data.m_nMusicVolume, 40);
        EXPECT_TRUE(data.m_bSoundOn);
        EXPECT_EQ(data.m_nLanguageIndex, 0);
        EXPECT_EQ(data.m_HighScoreTables.count, 3);
        EXPECT_EQ(data.m_Profiles.count, profilesKept);
        EXPECT_EQ(data.m_nCurrentProfile, profilesKept > 0 ? 0 : -1);
        if (profilesKept > 0) ExpectRichProfile(*data.m_Profiles.data[0]);
    }

    CScratchDir dir;
    std::unique_ptr<CProgressTestGame> game;
    std::string log;
};

TEST_F(DamagedFileTest, NoFileStartsFreshWithDefaults) {
    CProgressTestGame fresh;
    fresh.saveDir = dir.Path("none") + "/";
    ::testing::internal::CaptureStderr();
    ASSERT_TRUE(fresh.LoadOrCreateDefaultAppData());
    ::testing::internal::GetCapturedStderr();
    CApplicationData& data = fresh.Data();
    EXPECT_TRUE(fresh.m_bAppDataCreatedFresh);
    EXPECT_EQ(data.m_Profiles.count, 0);
    EXPECT_EQ(data.m_nCurrentProfile, -1);
    EXPECT_EQ(data.m_nEffectsVolume, 60);
    EXPECT_EQ(data.m_nMusicVolume, 40);
    EXPECT_TRUE(data.m_bSoundOn && data.m_bMusicOn);
    EXPECT_EQ(data.m_nLanguageIndex, 0);
    ASSERT_EQ(data.m_HighScoreTables.count, 3);
    EXPECT_EQ(Str(data.m_HighScoreTables.data[2]->m_Name), "arena3");
}

TEST_F(DamagedFileTest, ACutFileKeepsTheProfilesReadWholeAndDropsTheHalfRead) {
    const Bytes golden = GoldenFile();
    const std::size_t secondProfile = Find(golden, "prfl", Find(golden, "prfl") + 1);
    const std::size_t tables = Find(golden, "hscr");
    const TCut cuts[] = {
        {"in the settings", 50, 0},
        {"in the profile count", Find(golden, "prfl") - 6, 0},
        {"in the first profile's name", Find(golden, "prfl") + 6, 0},
        {"in the first profile's quest states", Find(golden, "grain_feeder"), 0},
        {"in the first profile's boost levels", secondProfile - 6, 0},
        {"in the second profile", secondProfile + 40, 1},
        {"in the table tag", tables + 2, 2},
        {"in the tables", tables + 500, 2},
        {"in the activity lists", golden.size() - 3, 2},
    };
    for (const TCut& cut : cuts) {
        SCOPED_TRACE(cut.where);
        CApplicationData& data = Load(Bytes(golden.begin(), golden.begin() + static_cast<long>(cut.at)));
        ExpectFallback(data, cut.profilesKept);
        EXPECT_NE(log.find("appdata:"), std::string::npos) << "one line names the failure";
    }
}

TEST_F(DamagedFileTest, BadTagsFailTheReadAndKeepWhatCameBefore) {
    const Bytes golden = GoldenFile();
    Bytes tag = golden;
    tag[Find(golden, "hscr") + 3] = 'X';
    ExpectFallback(Load(tag), 2);

    Bytes profileTag = golden;
    profileTag[Find(golden, "prfl", Find(golden, "prfl") + 1)] = 'P';
    ExpectFallback(Load(profileTag), 1);
}

// The bytes with the 4-byte count at `at` replaced.
Bytes WithCount(Bytes bytes, std::size_t at, std::int64_t count) {
    const auto u = static_cast<std::uint32_t>(count);
    for (int k = 0; k < 4; ++k) bytes[at + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(u >> (8 * k));
    return bytes;
}

TEST_F(DamagedFileTest, CorruptCountsFailTheReadWithoutGreatAllocations) {
    const Bytes golden = GoldenFile();
    const std::size_t profileCount = Find(golden, "prfl") - 8;
    const std::size_t bestScores = Find(golden, "arena1") - 4 - 4;  // the count before the first level name
    const std::size_t firstTable = Find(golden, "hscr") + 4;
    struct TCount {
        const char* why;
        std::size_t at;
        std::int64_t count;
        int profilesKept;
    } counts[] = {
        {"negative profile count", profileCount, -1, 0},
        {"a seventh profile", profileCount, 7, 0},
        {"best scores beyond the file", bestScores, 0x7FFFFFFF, 0},
        {"negative best scores", bestScores, -3, 0},
        {"tables beyond the file", firstTable, 100000, 2},
        {"negative tables", firstTable, -100, 2},
    };
    for (const TCount& c : counts) {
        SCOPED_TRACE(c.why);
        ExpectFallback(Load(WithCount(golden, c.at, c.count)), c.profilesKept);
    }
}

TEST_F(DamagedFileTest, FixedArraysReadTheirCapacityAndSkipOrClearTheRest) {
    // The first profile's achievement count and its hint count, rebuilt with other counts.
    const auto profileWith = [](int achievements, int hints, int arenas, int boosts) {
        CByteBuilder b;
        b.Raw(SettingsPartBytes(TSettingsFixture())).Int(2).Int(0).Int(1);
        b.Str("prfl").Raw(std::string("Max\0\0\0\0\0\0\0\0", 11)).Byte(0).Byte(0).Int(0).Int(0).Int(0).Int(0).Int(0);
        b.Bool(false).Int(achievements);
        for (int i = 0; i < achievements; ++i) b.Byte(1);
        b.Bool(false).Bool(false).Bool(true).Int(hints);
        for (int i = 0; i < hints; ++i) b.Bool(true);
        b.Int(0).Str("").Str("").Int(0).Int(0).Int(0).Str("").Bool(false).Int(0).Bool(false).Bool(false);
        b.Int(arenas);
        for (int i = 0; i < 4 * arenas; ++i) b.Int(i % arenas + 1);
        b.Int(0).Int(0).Int(0).Int(boosts);
        for (int i = 0; i < boosts; ++i) b.Byte(2);
        b.Str("hscr").Int(0).Int(0).Int(0).Int(0).Int(0);
        return b.bytes;
    };
    struct TFixed {
        const char* why;
        int achievements, hints, arenas, boosts;
    } rows[] = {
        {"older, shorter records", 20, 5, 2, 4},
        {"exactly the capacities", 23, 7, 3, 6},
        {"longer records", 30, 9, 5, 8},
    };
    for (const TFixed& r : rows) {
        SCOPED_TRACE(r.why);
        CApplicationData& data = Load(profileWith(r.achievements, r.hints, r.arenas, r.boosts));
        ASSERT_FALSE(game->m_bAppDataCreatedFresh) << log;
        ASSERT_EQ(data.m_Profiles.count, 1);
        const TUserProfile& p = *data.m_Profiles.data[0];
        for (int i = 0; i < 23; ++i) EXPECT_EQ(p.IsAchievementAwarded(i), i < r.achievements) << i;
        for (int i = 0; i < 7; ++i) EXPECT_EQ(p.m_HintFlags[i], i < r.hints) << i;
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(p.m_RoundsPerArena[i], i < r.arenas ? i + 1 : 0) << i;
            EXPECT_EQ(p.m_PowerUpsPerArena[i], i < r.arenas ? i + 1 : 0) << i;
        }
        for (int i = 0; i < 6; ++i) EXPECT_EQ(p.m_BoostLevels[i], i < r.boosts ? 2 : 0) << i;
        EXPECT_EQ(Str(p.GetName()), "Max");
    }
}

TEST_F(DamagedFileTest, CurrentIndexOutsideTheProfilesBecomesZeroAndExtraBytesAreIgnored) {
    Bytes golden = GoldenFile();
    const std::size_t current = SettingsPartBytes(TSettingsFixture()).size() + 4;
    Bytes seven = WithCount(golden, current, 7);
    seven.insert(seven.end(), {9, 9, 9, 9, 9});
    CApplicationData& data = Load(seven);
    EXPECT_FALSE(game->m_bAppDataCreatedFresh);
    EXPECT_EQ(data.m_nCurrentProfile, 0);

    CByteBuilder none;
    none.Raw(SettingsPartBytes(TSettingsFixture()))
        .Int(2)
        .Int(-1)
        .Int(0)
        .Str("hscr")
        .Int(0)
        .Int(0)
        .Int(0)
        .Int(0)
        .Int(0);
    CApplicationData& empty = Load(none.bytes);
    EXPECT_FALSE(game->m_bAppDataCreatedFresh);
    EXPECT_EQ(empty.m_nCurrentProfile, 0) << "read back as 0 even without a profile";
    EXPECT_EQ(empty.m_HighScoreTables.count, 0) << "the file's empty table list replaces the defaults";
}

TEST_F(DamagedFileTest, SixProfilesAreReadAndTheCurrentIndexMustLieBelowTheCount) {
    // A file of n plain profiles with the given current index, and an empty table part.
    const auto withProfiles = [](int n, int current, int countWritten) {
        CByteBuilder b;
        b.Raw(SettingsPartBytes(TSettingsFixture())).Int(2).Int(current).Int(countWritten);
        for (int i = 0; i < n; ++i) AppendPlainProfile(b);
        b.Str("hscr").Int(0).Int(0).Int(0).Int(0).Int(0);
        return b.bytes;
    };
    struct TCase {
        const char* why;
        int profiles, current, countWritten;
        bool loads;
        int currentAfter;
    } const cases[] = {
        {"six profiles, the last current", 6, 5, 6, true, 5},
        {"six profiles, an index equal to the count", 6, 6, 6, true, 0},
        {"two profiles, an index equal to the count", 2, 2, 2, true, 0},
        {"a count of seven before a whole table part", 0, 0, 7, false, -1},
        {"a count of -1 before a whole table part", 0, 0, -1, false, -1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        CApplicationData& data = Load(withProfiles(c.profiles, c.current, c.countWritten));
        EXPECT_EQ(game->m_bAppDataCreatedFresh, !c.loads) << log;
        EXPECT_EQ(data.m_Profiles.count, c.loads ? c.profiles : 0);
        EXPECT_EQ(data.m_nCurrentProfile, c.currentAfter);
        if (!c.loads) {
            EXPECT_EQ(data.m_HighScoreTables.count, 3) << "a failed profile list fails the whole file";
        }
    }
}

TEST_F(DamagedFileTest, NegativeActivityCountsFailTheRead) {
    const Bytes golden = GoldenFile();
    // The three activity lists close the file: (1, "liked", 4 bytes), 0, 0.
    const std::size_t first = golden.size() - 25;
    for (const std::size_t at : {first, golden.size() - 8, golden.size() - 4}) {
        SCOPED_TRACE(at);
        ExpectFallback(Load(WithCount(golden, at, -1)), 2);
    }
}

TEST_F(DamagedFileTest, AnInterruptedSaveLeavesThePreviousFileLoadable) {
    const Bytes golden = GoldenFile();
    CApplicationData& data = Load(golden);
    ASSERT_FALSE(game->m_bAppDataCreatedFresh);
    data.m_Profiles.data[0]->m_nCoins = 1;
    const long size = static_cast<long>(Written(data).size());
    for (const long budget : {0L, 4L, size / 2, size - 1, -1L}) {
        SCOPED_TRACE(budget);
        struct CFullDiskGame : CProgressTestGame {
            IFile* CreateFileObject() override {
                return budget >= 0 ? new CFailingDiskFile(budget) : CProgressTestGame::CreateFileObject();
            }
            long budget = -1;
        };
        SetRenameFails(budget < 0);
        ::testing::internal::CaptureStderr();
        CFullDiskGame saving;
        saving.saveDir = game->saveDir;
        saving.budget = budget;
        saving.m_pAppData = game->m_pAppData;
        EXPECT_EQ(saving.SaveAppData(), 0);
        saving.m_pAppData = nullptr;
        ::testing::internal::GetCapturedStderr();
        SetRenameFails(false);

        CProgressTestGame again;
        again.saveDir = game->saveDir;
        ::testing::internal::CaptureStderr();
        ASSERT_TRUE(again.LoadOrCreateDefaultAppData());
        ::testing::internal::GetCapturedStderr();
        EXPECT_FALSE(again.m_bAppDataCreatedFresh);
        EXPECT_EQ(again.Data().m_Profiles.data[0]->m_nCoins, 789) << "the previous save";
    }
}

}  // namespace
