// The game in progress kept in saveresume.dat: records of an arena round and a yard with stand-in
// bodies, written, found, restored and deleted through the game object; damaged headers refused
// before anything changes; failures reported.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "RootOnlyScreens.h"
#include "core/MemFile.h"
#include "core/QuorvanStorage.h"
#include "game/farm/FarmManager.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/ArenaManager.h"
#include "game/progress/ResumeRecord.h"
#include "game/progress/UserProfile.h"
#include "testsupport/GlTestGame.h"
#include "testsupport/MediaTestGame.h"
#include "testsupport/SaveFaults.h"
#include "testsupport/ScratchSaveFolder.h"
#include "testsupport/TestTheGame.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using mediatest::ToBytes;

constexpr const char* kTemplate =
    "root = root_GAMEPLAY_NoAds\nend\nroot = root_tutorial_NoAds\nend\nroot = root_yard\nend\nroot = root_play\nend\n";

std::vector<std::string> g_Log;

// A round whose body is one number: what it saves and what it restored.
class CStandInRound : public CRootOnlyRound {
public:
    using CRootOnlyRound::CRootOnlyRound;
    void OnNewGame() override { g_Log.push_back("new round"); }
    bool SaveResume(IFile* file, int version) override {
        g_Log.push_back("round saved, version " + std::to_string(version));
        return saves && file->WriteInt(body) == 4;
    }
    bool LoadResume(IFile* file, int version) override {
        g_Log.push_back("round loaded, version " + std::to_string(version));
        return file->ReadInt(&body) == 4;
    }
    int OnResumedGame() override {
        g_Log.push_back("resumed " + std::to_string(body));
        return 1;
    }
    int body = 0;
    bool saves = true;
};

class CStandInYard : public CRootOnlyYard {
public:
    using CRootOnlyYard::CRootOnlyYard;
    bool SaveResume(IFile* file, int version) override { return file->WriteInt(77) == 4; }
};

class CResumeGame : public CTestTheGame {
public:
    XGameRoot* NewScreen(EScreen kind, int a, int b) override {
        if (kind == EScreen::Gameplay) return new CStandInRound(this);
        if (kind == EScreen::Farm) return new CStandInYard(this);
        if (kind == EScreen::Play) return new CRootOnlyPlay(this);
        return CTheGame::NewScreen(kind, a, b);
    }
    CStandInRound* Round() { return static_cast<CStandInRound*>(m_pGameplayScreen); }
};

void PutInt(Bytes& out, std::int32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i)));
}

// A record as stored: kind, version, the name's length and text, then the body.
Bytes Record(int kind, int version, const std::string& name, const Bytes& body) {
    Bytes out;
    PutInt(out, kind);
    PutInt(out, version);
    PutInt(out, static_cast<std::int32_t>(name.size()));
    out.insert(out.end(), name.begin(), name.end());
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

// The record without its last n bytes.
Bytes Cut(Bytes bytes, std::size_t n) {
    // erase, not resize: resize's growing branch makes GCC warn under the sanitizers.
    bytes.erase(bytes.end() - static_cast<std::ptrdiff_t>(n), bytes.end());
    return bytes;
}

class TheGameResume : public ::testing::Test {
protected:
    void SetUp() override {
        if (!gl.IsValid()) GTEST_SKIP() << "no headless EGL context";
        g_Log.clear();
        mediatest::SetCommonPak(
            game, dir.Path("game.pak"),
            {{"ui\\ui_iphone\\ui_main.txt", ToBytes(kTemplate)},
             {"Data\\arenas.txt", ToBytes("arena = arena1\nend\narena = arena2\nend\narena = arena3\nend\n")},
             {"Data\\yards.txt",
              ToBytes("yard = meadow\nend\nyard = pond\nend\nyard = hill\nend\nyard = barn\nend\n")}});
        ASSERT_NE(MakeGlTestScreen(&game, 320, 480), nullptr);
        game.m_pArenaManager = new CArenaManager(&game);
        ASSERT_EQ(game.m_pArenaManager->ReadFile(CommonString("Data\\arenas.txt")), 1);
        game.m_pFarmManager = new CFarmManager(&game);
        ASSERT_TRUE(game.m_pFarmManager->ReadYardsDefFromFile(CommonString("Data\\yards.txt")));
        ASSERT_TRUE(game.InitSaveResumeStorage());
        // Three players: the third, current, keeps its records in slot 2.
        ASSERT_TRUE(game.CreateApplicationData());
        for (int i = 0; i < 3; ++i) ASSERT_EQ(game.CreateNewUserProfile(), i);
        game.GetAppData()->m_nCurrentProfile = 2;
        player = game.GetCurrentProfile();
        ASSERT_EQ(player->m_nStorageSlotId, 2);
        player->m_CurrentArena = CommonString("arena2");
        player->m_CurrentYard = CommonString("barn");
    }
    // A running round of the current arena with that body.
    void RunningRound(int body) {
        ASSERT_TRUE(game.RunGamePlaySurvival());
        game.Round()->m_bRoundStarted = true;
        game.Round()->body = body;
    }
    Bytes StoredRecord(int id) {
        IMemFile* record = game.m_pSaveResumeStorage->ReadRecord(id);
        if (record == nullptr) return {};
        const auto* bytes = static_cast<const std::uint8_t*>(record->GetBuffer());
        Bytes out(bytes, bytes + record->GetSize());
        (void)record->Close();
        delete record;
        return out;
    }
    void Store(int id, const Bytes& bytes) {
        CMemoryFile file;
        ASSERT_TRUE(file.Create(static_cast<unsigned>(bytes.size()) + 1));
        ASSERT_EQ(file.WriteData(bytes.data(), static_cast<int>(bytes.size())), static_cast<int>(bytes.size()));
        ASSERT_EQ(game.m_pSaveResumeStorage->WriteRecord(id, &file, CommonString("test")), 1);
    }

    mediatest::CHeadlessGl gl{32, 32};
    CScratchSaveFolder saves;
    CScratchDir dir;
    CResumeGame game;
    TUserProfile* player = nullptr;
};

TEST_F(TheGameResume, AnArenaRoundIsKeptUnderItsSlotAndArenaAndRestored) {
    RunningRound(4242);
    EXPECT_EQ(game.SR_SaveResume(), 1);
    // Slot 2, arena index 1: record 201, the header laid out by hand, then the round's body.
    Bytes body;
    PutInt(body, 4242);
    EXPECT_EQ(StoredRecord(201), Record(1, 1, "arena2", body));
    EXPECT_STREQ(game.m_pSaveResumeStorage->GetRecordName(201).GetDataConst(), "arena_arena2");

    game.SafeDeleteChildren();
    g_Log.clear();
    EXPECT_TRUE(game.SR_IsResumeAvailable_Arena(CommonString("arena2")));
    EXPECT_FALSE(game.SR_IsResumeAvailable_Arena(CommonString("arena1")));
    player->m_CurrentArena = CommonString("arena1");
    ASSERT_TRUE(game.SR_LoadResume_Arena(CommonString("arena2")));
    EXPECT_EQ(g_Log, (std::vector<std::string>{"round loaded, version 1", "resumed 4242"}));
    EXPECT_STREQ(player->m_CurrentArena.GetDataConst(), "arena2") << "the resumed arena becomes the current one";
    ASSERT_NE(game.Round(), nullptr);
    EXPECT_EQ(game.Round()->body, 4242);
}

TEST_F(TheGameResume, ResumeMessageOpensTheKeptRoundOrElseANewOne) {
    RunningRound(9);
    ASSERT_EQ(game.SR_SaveResume(), 1);
    g_Log.clear();
    EXPECT_EQ(game.OnMessage(nullptr, MSG_RESUME_ARENA, 0, 0), 1);
    EXPECT_EQ(g_Log.back(), "resumed 9");
    // Another player (slot 1) has nothing kept there: a new round.
    game.GetAppData()->m_nCurrentProfile = 1;
    game.GetCurrentProfile()->m_CurrentArena = CommonString("arena2");
    g_Log.clear();
    EXPECT_EQ(game.OnMessage(nullptr, MSG_RESUME_ARENA, 0, 0), 1);
    EXPECT_EQ(g_Log, std::vector<std::string>{"new round"});
}

TEST_F(TheGameResume, AnOpenYardIsKeptUnderItsSlotAndYard) {
    ASSERT_TRUE(game.RunFarmWindowScreen());
    EXPECT_EQ(game.SR_SaveResume(), 1);
    Bytes body;
    PutInt(body, 77);
    // Slot 2, yard index 3: record 10203.
    EXPECT_EQ(StoredRecord(10203), Record(2, 1, "barn", body));
    EXPECT_STREQ(game.m_pSaveResumeStorage->GetRecordName(10203).GetDataConst(), "yard_barn");
    EXPECT_EQ(game.SR_GetRecordId_OfYard(2, CommonString("barn")), 10203);
    EXPECT_EQ(game.SR_GetRecordId_OfArena(2, CommonString("arena2")), 201);
    EXPECT_EQ(game.SR_GetRecordId_OfArena(2, CommonString("nowhere")), -1);
}

TEST_F(TheGameResume, RoundsThatAreNotRunningAreNotKept) {
    const struct {
        const char* why;
        bool tutorial, started, over;
    } cases[] = {
        {"the tutorial", true, true, false},
        {"before its first update", false, false, false},
        {"on the game-over screen", false, true, true},
    };
    for (const auto& c : cases) {
        RunningRound(5);
        game.Round()->m_bTutorial = c.tutorial;
        game.Round()->m_bRoundStarted = c.started;
        game.Round()->m_bGameOver = c.over;
        EXPECT_EQ(game.SR_SaveResume(), 1) << c.why;
        EXPECT_TRUE(game.m_pSaveResumeStorage->IsRecordEmpty(201)) << c.why;
    }
    game.SafeDeleteChildren();
    ASSERT_TRUE(game.RunPlayScreen());
    EXPECT_EQ(game.SR_SaveResume(), 1) << "another screen: nothing to keep";
    EXPECT_TRUE(game.m_pSaveResumeStorage->IsRecordEmpty(201));
}

TEST_F(TheGameResume, ASaveThatFailsSaysSoAndKeepsTheRecordBefore) {
    RunningRound(1);
    ASSERT_EQ(game.SR_SaveResume(), 1);
    const Bytes before = StoredRecord(201);

    game.Round()->body = 2;
    game.Round()->saves = false;
    EXPECT_EQ(game.SR_SaveResume(), 0) << "the round's body could not be written";
    EXPECT_EQ(StoredRecord(201), before);

    game.Round()->saves = true;
    player->m_CurrentArena = CommonString("nowhere");
    EXPECT_EQ(game.SR_SaveResume(), 0) << "an arena the table does not know has no record";

    // The storage cannot write: its file's folder is a plain file.
    player->m_CurrentArena = CommonString("arena2");
    const std::string blocked = saves.Path("blocked");
    std::ofstream(blocked) << "x";
    game.m_pSaveResumeStorage->SetPathAndCRC((blocked + "/saveresume.dat").c_str(), nullptr);
    EXPECT_EQ(game.SR_SaveResume(), 0) << "the storage's failure is the save's";
}

TEST_F(TheGameResume, DamagedHeadersAreRefusedBeforeTheProfileChanges) {
    Bytes body;
    PutInt(body, 3);
    const struct {
        Bytes record;
        const char* why;
    } cases[] = {
        {Record(1, 2, "arena3", body), "another version"},
        {Record(1, 1, "arena9", body), "an arena the table does not know"},
        {Record(0, 1, "arena3", body), "kind 0: no resume"},
        {Record(7, 1, "arena3", body), "a kind that is neither a round nor a yard"},
        {Record(2, 1, "barn", body), "a yard's record under the arena's id"},
        {Bytes{1, 0, 0}, "a cut kind"},
        {Cut(Record(1, 1, "arena3", {}), 2), "a cut name"},
    };
    const std::string file = saves.Path("saveresume.dat");
    int kept = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        Store(201, c.record);
        player->m_CurrentArena = CommonString("arena1");
        g_Log.clear();
        testing::internal::CaptureStderr();
        EXPECT_FALSE(game.SR_LoadResume_Arena(CommonString("arena2")));
        const std::string told = testing::internal::GetCapturedStderr();
        EXPECT_STREQ(player->m_CurrentArena.GetDataConst(), "arena1");
        EXPECT_EQ(game.m_pGameplayScreen, nullptr) << "no round was opened";
        EXPECT_TRUE(g_Log.empty());
        // The refused record is named, kept aside with the file, and gone from it.
        ++kept;
        const std::string copy = file + ".damaged." + std::to_string(kept);
        EXPECT_NE(told.find("the round kept in record arena_arena2 cannot be resumed"), std::string::npos) << told;
        EXPECT_NE(told.find("record test (id 201) was refused"), std::string::npos) << told;
        EXPECT_NE(told.find("kept as " + copy), std::string::npos) << told;
        EXPECT_TRUE(std::filesystem::exists(copy));
        EXPECT_TRUE(game.m_pSaveResumeStorage->IsRecordEmpty(201));
    }
    // Asked to resume such a record, the player gets a new round rather than nothing at all.
    Store(201, Record(2, 1, "barn", body));
    player->m_CurrentArena = CommonString("arena2");
    g_Log.clear();
    EXPECT_EQ(game.OnMessage(nullptr, MSG_RESUME_ARENA, 0, 0), 1);
    EXPECT_EQ(g_Log, std::vector<std::string>{"new round"});
}

// The record goes to the disk before the player data: a purchase is never saved as paid while
// the record of the yard it stands in is the old one.
TEST_F(TheGameResume, TheRecordIsSavedBeforeThePlayerData) {
    RunningRound(5);
    StartFileJournal();
    game.SaveResumeThenAppData();
    std::vector<std::string> renames;
    for (const std::string& line : StopFileJournal())
        if (line.rfind("rename ", 0) == 0) renames.push_back(line.substr(line.rfind('/') + 1));
    const std::vector<std::string> expected = {"saveresume.dat", "global.opt"};
    EXPECT_EQ(renames, expected);
}

// A record that cannot be saved keeps the player data from being saved for the rest of the run:
// the coins of this run's purchases stay unspent on the disk, with the yards as they were.
TEST_F(TheGameResume, ARecordThatCannotBeSavedKeepsThePlayerDataAsItWas) {
    RunningRound(1);
    player->m_nCoins = 100;
    ASSERT_EQ(game.SaveAppData(), 1);
    const std::string appData = saves.Path("global.opt");
    std::ifstream before(appData, std::ios::binary);
    const std::string saved((std::istreambuf_iterator<char>(before)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(saved.empty());

    // The storage cannot write: its file's folder is a plain file.
    const std::string blocked = saves.Path("blocked");
    std::ofstream(blocked) << "x";
    game.m_pSaveResumeStorage->SetPathAndCRC((blocked + "/saveresume.dat").c_str(), nullptr);
    player->m_nCoins = 40;  // spent on what the record would have held
    testing::internal::CaptureStderr();
    game.SaveResumeThenAppData();
    EXPECT_EQ(game.SaveAppData(), 0) << "nor later in the run";
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_NE(told.find("record arena_arena2 (id 201) could not be saved"), std::string::npos) << told;
    EXPECT_NE(told.find("appdata: the player data is not saved"), std::string::npos) << told;
    std::ifstream after(appData, std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(after)), std::istreambuf_iterator<char>()), saved);
}

TEST_F(TheGameResume, RemovingAPlayerDeletesEveryRecordOfItsSlot) {
    RunningRound(1);
    ASSERT_EQ(game.SR_SaveResume(), 1);
    ASSERT_TRUE(game.RunFarmWindowScreen());
    ASSERT_EQ(game.SR_SaveResume(), 1);
    Store(101, Record(1, 1, "arena2", {}));  // slot 1's round stays
    game.SR_DeleteResume_Arena(2, CommonString("arena2"));
    EXPECT_TRUE(game.m_pSaveResumeStorage->IsRecordEmpty(201));
    EXPECT_FALSE(game.m_pSaveResumeStorage->IsRecordEmpty(10203));
    RunningRound(1);
    ASSERT_EQ(game.SR_SaveResume(), 1);
    game.SR_DeleteResume(2);
    EXPECT_TRUE(game.m_pSaveResumeStorage->IsRecordEmpty(201));
    EXPECT_TRUE(game.m_pSaveResumeStorage->IsRecordEmpty(10203));
    EXPECT_FALSE(game.m_pSaveResumeStorage->IsRecordEmpty(101));
}

}  // namespace
