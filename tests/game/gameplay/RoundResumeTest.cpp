// A round kept and resumed through the game object on the real pak: left by the pause panel's
// menu button, it is offered again by "saveresume.dat" and comes back with its score, lives,
// level, marbles and paths; a round that ended has no record; a damaged record starts a new round.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/MemFile.h"
#include "core/QuorvanStorage.h"
#include "game/gameplay/GameplaySurvival.h"
#include "game/progress/ResumeRecord.h"
#include "platform/Pcm.h"
#include "testsupport/ScratchSaveFolder.h"
#include "testsupport/SeededRound.h"
#include "ui/XElement.h"

namespace {

constexpr std::uint64_t kSeed = 4242;
const CommonString kArena("arena1");

// What a player sees of a round: its counters and every marble with its path.
struct TRoundState {
    int score = 0, lives = 0, level = 0, cleared = 0, coins = 0, onPath = 0;
    struct TMarble {
        int type;
        TVector2D_16 position;
        bool onPath;
        std::vector<TVector2D> path;
        bool operator==(const TMarble& o) const {
            return type == o.type && position.x == o.position.x && position.y == o.position.y && onPath == o.onPath &&
                   path.size() == o.path.size() &&
                   std::equal(path.begin(), path.end(), o.path.begin(),
                              [](const TVector2D& a, const TVector2D& b) { return a.x == b.x && a.y == b.y; });
        }
    };
    std::vector<TMarble> marbles;
    bool operator==(const TRoundState&) const = default;
};

TRoundState StateOf(const CXGameplaySurvival& s) {
    TRoundState st{s.m_nScore, s.m_nLives, s.m_nLevel, s.m_nCleared, s.m_nCoinsPickedUp, s.m_nMarblesOnPath, {}};
    for (int i = 0; i < s.m_Marbles.count; ++i) {
        CMarble* m = s.m_Marbles.data[i];
        TRoundState::TMarble mm{m->m_nColorType, m->m_Position, m->m_bOnPath, {}};
        for (int k = 0; k < m->m_Path.GetNumSegments(); ++k)
            for (const TVector2D& p : m->m_Path.GetSegment(k)->m_Points) mm.path.push_back(p);
        st.marbles.push_back(mm);
    }
    return st;
}

class RoundResumeTest : public ::testing::Test {
protected:
    void SetUp() override { platform::PcmUseBackend(platform::PcmBackendKind::None); }
    void TearDown() override { platform::PcmUseBackend(platform::PcmBackendKind::Auto); }

    // Plays a while with the simple player, then draws a path with the finger for a marble.
    static void PlayAWhile(CSeededRoundGame& game) {
        CXGameplaySurvival* round = game.m_pGameplayScreen;
        CRoundBot bot(round);
        for (int i = 0; i < 400; ++i) {
            (void)bot.Play();
            game.RunProcess();
        }
        ASSERT_TRUE(round->IsInPlay());
        for (int i = 0; i < round->m_Marbles.count; ++i) {
            CMarble* m = round->m_Marbles.data[i];
            if (m->IsPowerUp() || m->m_bOnPath || !round->IsMarbleFullyVisible(m)) continue;
            const int x = m->m_Position.x >> 16, y = m->m_Position.y >> 16;
            const int dx = x < 160 ? 1 : -1;
            // Through the game's own pointer entry, as the platform's touches arrive.
            (void)game.NotifyPointerEvent(x, y, XPOINTER_PRESS);
            for (int k = 1; k <= 100; ++k) (void)game.NotifyPointerEvent(x + dx * k, y + k / 3, XPOINTER_MOVE);
            (void)game.NotifyPointerEvent(x + dx * 100, y + 33, XPOINTER_RELEASE);
            ASSERT_TRUE(m->m_bOnPath);
            return;
        }
        FAIL() << "no marble to draw a path for";
    }
};

TEST_F(RoundResumeTest, ARoundLeftByTheMenuButtonResumesAsItWas) {
    CScratchSaveFolder saves;
    CSeededRoundGame game(COBBLE_PAK, kSeed);
    ASSERT_TRUE(StartSeededRound(game, 2));
    PlayAWhile(game);
    if (HasFatalFailure()) return;
    CXGameplaySurvival* round = game.m_pGameplayScreen;
    const TRoundState before = StateOf(*round);
    ASSERT_GT(before.marbles.size(), 0u);
    ASSERT_GE(before.onPath, 1);
    EXPECT_FALSE(game.SR_IsResumeAvailable_Arena(kArena));

    ASSERT_EQ(round->OnMessage(round, XMSG_CLICK, XIdParam("btn_pause_menu"), 0), 1);
    ASSERT_TRUE(RunGameFramesUntil(
        game, 600, [&] { return game.m_pGameplayScreen == nullptr && game.IsCurrentScreenSettled(); }, true));
    EXPECT_TRUE(game.SR_IsResumeAvailable_Arena(kArena)) << "the storage offers the round again";

    (void)game.SendMessage(&game, MSG_RESUME_ARENA, 0, 0, true);
    ASSERT_TRUE(RunGameFramesUntil(
        game, 600, [&] { return game.m_pGameplayScreen != nullptr; }, true));
    CXGameplaySurvival* resumed = game.m_pGameplayScreen;
    EXPECT_EQ(StateOf(*resumed), before);
    EXPECT_EQ(resumed->m_nDisplayedScore, before.score);
    EXPECT_TRUE(resumed->IsInPlay());
    // Once its curtain has risen it plays on: the marble on its path moves along it.
    ASSERT_TRUE(RunGameFramesUntil(
        game, 600, [&] { return game.IsCurrentScreenSettled(); }, true));
    const TRoundState first = StateOf(*resumed);
    for (int i = 0; i < 5; ++i) game.RunProcess();
    EXPECT_NE(StateOf(*resumed).marbles, first.marbles);
}

TEST_F(RoundResumeTest, ARoundThatEndedHasNoRecord) {
    CScratchSaveFolder saves;
    CSeededRoundGame game(COBBLE_PAK, kSeed);
    ASSERT_TRUE(StartSeededRound(game, 0));
    CXGameplaySurvival* round = game.m_pGameplayScreen;
    for (int i = 0; i < 30; ++i) game.RunProcess();
    // The pause panel keeps the round...
    ASSERT_EQ(round->OnMessage(round, XMSG_ACTION_DONE, XIdParam("acn_pause_on"), 0), 1);
    ASSERT_TRUE(game.SR_IsResumeAvailable_Arena(kArena));
    // ...and losing the last life takes the record away; a later save keeps nothing.
    ASSERT_GE(round->m_Marbles.count, 2);
    round->m_nLives = 1;
    round->OnWrongColour(round->m_Marbles.data[0], round->m_Marbles.data[1]);
    ASSERT_TRUE(round->m_bGameOver);
    EXPECT_FALSE(game.SR_IsResumeAvailable_Arena(kArena));
    ASSERT_EQ(round->OnMessage(round, XMSG_CLICK, XIdParam("btn_pause_menu"), 0), 1);
    EXPECT_FALSE(game.SR_IsResumeAvailable_Arena(kArena));
}

TEST_F(RoundResumeTest, ADamagedRecordStartsANewRound) {
    CScratchSaveFolder saves;
    CSeededRoundGame game(COBBLE_PAK, kSeed);
    ASSERT_TRUE(StartSeededRound(game, 0));
    CXGameplaySurvival* round = game.m_pGameplayScreen;
    for (int i = 0; i < 30; ++i) game.RunProcess();
    round->m_nScore = 777;
    ASSERT_EQ(round->OnMessage(round, XMSG_ACTION_DONE, XIdParam("acn_pause_on"), 0), 1);
    const int id = game.SR_GetRecordId_OfArena(game.GetAppData()->m_nCurrentProfile, kArena);
    ASSERT_GE(id, 0);
    // The stored record without its last 20 bytes: its header intact, its body short.
    std::unique_ptr<IMemFile> whole(game.m_pSaveResumeStorage->ReadRecord(id));
    ASSERT_NE(whole, nullptr);
    const int size = whole->GetSize();
    std::unique_ptr<IMemFile> cut(game.CreateMemoryFileObject());
    ASSERT_TRUE(cut->Create(size));
    ASSERT_EQ(cut->WriteData(whole->GetBuffer(), size - 20), size - 20);
    (void)whole->Close();
    ASSERT_EQ(game.m_pSaveResumeStorage->WriteRecord(id, cut.get(), ArenaResumeRecordName(kArena)), 1);
    (void)cut->Close();

    (void)game.SendMessage(&game, MSG_RESUME_ARENA, 0, 0, true);
    ASSERT_TRUE(RunGameFramesUntil(
        game, 600, [&] { return game.m_pGameplayScreen != nullptr && game.m_pGameplayScreen->m_nScore != 777; },
        false));
    CXGameplaySurvival* fresh = game.m_pGameplayScreen;
    EXPECT_EQ(fresh->m_nScore, 0) << "a new round, not the damaged one";
    EXPECT_EQ(fresh->m_Marbles.count, 4) << "the first arena's four corner marbles";
}

}  // namespace
