// A whole round on the real pak, in software, with seeded random numbers: opened through the
// screen switch, played by a simple player through combos and a level, then left alone until
// marbles of different colours meet, a life is lost with its pause, and the round ends. What the
// profile holds afterwards is worked out from the round's own counts by the rules; two runs of
// the same seed must be the same round. A third run draws through GL and keeps three pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "game/gameplay/GameplaySurvival.h"
#include "game/progress/HighScoreTable.h"
#include "platform/FrameDump.h"
#include "platform/Pcm.h"
#include "testsupport/MediaTestGame.h"
#include "testsupport/ScratchSaveFolder.h"
#include "testsupport/SeededRound.h"

namespace {

constexpr std::uint64_t kSeed = 20261210;
constexpr int kFrameBound = 40000;

// What a round came to, for comparing two runs and checking the profile.
struct TRoundLog {
    int frames = 0;
    int score = 0, level = 0, coinsPickedUp = 0, roundCoins = 0;
    int pathsGiven = 0, powerUpsSeen = 0, pausesEnded = 0, livesLost = 0;
    std::uint64_t trace = 1469598103934665603ULL;  // FNV-1a over the marbles, frame by frame
    bool operator==(const TRoundLog&) const = default;
};

void Mix(std::uint64_t& h, std::int64_t v) {
    for (int i = 0; i < 8; ++i) {
        h ^= static_cast<std::uint64_t>(v >> (8 * i)) & 0xFF;
        h *= 1099511628211ULL;
    }
}

// Draws the frame through GL and keeps it as build/<preset>/screens/round/<name>.
void KeepPicture(CTheGame& game, const mediatest::CHeadlessGl& gl, const std::string& name) {
    game.DoDrawCycle();
    const mediatest::TImage frame = gl.Read();
    const std::filesystem::path dir = std::filesystem::path(COBBLE_BINARY_DIR) / "screens" / "round";
    std::filesystem::create_directories(dir);
    EXPECT_TRUE(platform::WriteRgbaPng((dir / name).string(), frame.width, frame.height, frame.rgba)) << name;
}

class RoundHeadlessTest : public ::testing::Test {
protected:
    void SetUp() override { platform::PcmUseBackend(platform::PcmBackendKind::None); }
    void TearDown() override { platform::PcmUseBackend(platform::PcmBackendKind::Auto); }

    // Plays a round from its start to 40 frames after game over; with a GL context, keeps a
    // picture of a combo's bursts, of the pause after a lost life and of the end.
    TRoundLog PlayRound(CSeededRoundGame& game, const mediatest::CHeadlessGl* gl = nullptr) {
        TRoundLog log;
        CXGameplaySurvival* round = game.m_pGameplayScreen;
        CRoundBot bot(round);
        bool pictureOfPlay = gl == nullptr, pictureOfPause = gl == nullptr;
        int lives = round->m_nLives;
        int powerUps = 0;
        for (; log.frames < kFrameBound && !(round->m_bGameOver && round->m_nGameOverClock > 5 * 65536); ++log.frames) {
            // The player stops once a level is done, and the field fills up.
            bot.playing = round->m_nLevel < 1;
            if (bot.Play()) ++log.pathsGiven;
            const int pauseBefore = round->m_nPauseCounter;
            game.RunProcess();
            if (pauseBefore >= CXGameplaySurvival::kPauseBurstFrame && round->m_nPauseCounter == -1) ++log.pausesEnded;
            if (round->m_nLives < lives) ++log.livesLost;
            lives = round->m_nLives;
            int nowPowerUps = 0;
            for (int i = 0; i < round->m_Marbles.count; ++i) {
                const CMarble* m = round->m_Marbles.data[i];
                nowPowerUps += m->IsPowerUp() ? 1 : 0;
                Mix(log.trace, m->m_Position.x);
                Mix(log.trace, m->m_Position.y);
                Mix(log.trace, m->m_nColorType);
            }
            if (nowPowerUps > powerUps) log.powerUpsSeen += nowPowerUps - powerUps;
            powerUps = nowPowerUps;
            Mix(log.trace, round->m_nScore);
            if (!pictureOfPlay && log.powerUpsSeen > 0 && round->m_Explosions.count > 0) {
                KeepPicture(game, *gl, "01_round_combo.png");
                pictureOfPlay = true;
            }
            // Half way through a pulse of the danger halo, the lost life's text on show.
            if (!pictureOfPause && round->m_nPauseCounter == 45) {
                KeepPicture(game, *gl, "02_round_life_lost.png");
                pictureOfPause = true;
            }
        }
        if (gl != nullptr) KeepPicture(game, *gl, "03_round_over.png");
        log.score = round->m_nScore;
        log.level = round->m_nLevel;
        log.coinsPickedUp = round->m_nCoinsPickedUp;
        log.roundCoins = round->m_nRoundCoins;
        return log;
    }
};

TEST_F(RoundHeadlessTest, ASeededRoundRunsToGameOverAndWritesTheProfile) {
    CScratchSaveFolder saves;
    CSeededRoundGame game(COBBLE_PAK, kSeed);
    ASSERT_TRUE(StartSeededRound(game, 2));
    CXGameplaySurvival* round = game.m_pGameplayScreen;
    ASSERT_NE(round, nullptr);
    EXPECT_EQ(round->m_nLives, 3) << "one life and two from the boost";
    EXPECT_EQ(round->m_Marbles.count, 4) << "one near each corner";
    TUserProfile* profile = game.GetCurrentProfile();
    const int coinsBefore = profile->m_nCoins;
    const int tableIndex = game.GetAppData()->GetHighScoreTableIndex(CommonString("arena1"));
    ASSERT_GE(tableIndex, 0);
    const THighScoreTable* table = game.GetAppData()->m_HighScoreTables.data[tableIndex];
    const std::vector<int> scoresBefore(table->m_Scores.data, table->m_Scores.data + table->m_Scores.count);

    const TRoundLog log = PlayRound(game);
    ASSERT_TRUE(round->m_bGameOver) << "within " << kFrameBound << " frames";
    EXPECT_GT(log.pathsGiven, 5);
    EXPECT_GE(profile->m_MatchPerArena[0], 2) << "a path caught two marbles";
    EXPECT_GE(log.powerUpsSeen, 1) << "a combo brought a power-up";
    EXPECT_GE(log.level, 1) << "the first level was cleared";
    EXPECT_EQ(log.livesLost, 3);
    EXPECT_EQ(log.pausesEnded, 2) << "two lost lives paused the round, the third ended it";

    // The profile, by the rules: score coins one a thousand points (no quests done), experience
    // the score (from 0, below rank 2's 30,000), one round started in the first arena.
    EXPECT_EQ(round->m_nCoinsFromScore, log.score / 1000);
    EXPECT_EQ(log.roundCoins, log.score / 1000 + log.coinsPickedUp);
    EXPECT_EQ(profile->m_nCoins, coinsBefore + log.coinsPickedUp + log.score / 1000);
    EXPECT_EQ(profile->m_CoinsPerArena[0], log.coinsPickedUp + log.score / 1000);
    EXPECT_EQ(profile->m_nCoinTally, log.roundCoins / 10);
    EXPECT_EQ(profile->m_nTotalScore, log.score);
    ASSERT_LT(log.score, 30000);
    EXPECT_EQ(profile->m_uExperiencePoints, static_cast<unsigned int>(log.score));
    EXPECT_EQ(profile->m_nBoostPointsEarned, 0);
    EXPECT_EQ(profile->m_nRoundsStarted, 1);
    EXPECT_EQ(profile->m_RoundsPerArena[0], 1);
    int best = 0;
    EXPECT_TRUE(profile->GetMyScoreOnLevel(CommonString("arena1"), best));
    EXPECT_EQ(best, log.score);
    // The table keeps 30 scores, best first: the round's goes before the first lower one, if any.
    const int row =
        static_cast<int>(std::find_if(scoresBefore.begin(), scoresBefore.end(), [&](int s) { return s < log.score; }) -
                         scoresBefore.begin());
    EXPECT_EQ(game.m_nNewHighScoreTable, tableIndex);
    if (row < static_cast<int>(scoresBefore.size())) {
        EXPECT_EQ(game.m_nNewHighScoreRow, row);
        EXPECT_EQ(table->m_Scores.data[row], log.score);
        EXPECT_STREQ(table->m_Names.data[row]->GetDataConst(), "Ada");
    } else {
        EXPECT_EQ(game.m_nNewHighScoreRow, -1) << "below every score of the table";
    }
    RecordProperty("score", log.score);
    RecordProperty("frames", log.frames);
}

TEST_F(RoundHeadlessTest, TheSameSeedPlaysTheSameRound) {
    TRoundLog logs[2];
    for (TRoundLog& log : logs) {
        CScratchSaveFolder saves;
        CSeededRoundGame game(COBBLE_PAK, kSeed);
        ASSERT_TRUE(StartSeededRound(game, 2));
        log = PlayRound(game);
    }
    EXPECT_EQ(logs[0], logs[1]);
    EXPECT_GT(logs[0].frames, 100);
}

// The score shown in the head-up display follows the real one closely: in the third arena, where
// every amount counts three times, a new amount restarts the roll, which then catches up within
// a few frames even while further amounts arrive.
TEST_F(RoundHeadlessTest, TheShownScoreKeepsUpInTheThirdArena) {
    CScratchSaveFolder saves;
    CSeededRoundGame game(COBBLE_PAK, kSeed);
    game.m_pArena = "arena3";
    ASSERT_TRUE(StartSeededRound(game, 2));
    CXGameplaySurvival* round = game.m_pGameplayScreen;
    ASSERT_EQ(round->m_nArenaIndex, 2);
    CRoundBot bot(round);
    int behind = 0, longest = 0, farthest = 0, frames = 0, amounts = 0;
    for (; frames < kFrameBound && !round->m_bGameOver; ++frames) {
        bot.playing = round->m_nLevel < 2;
        (void)bot.Play();
        const int scoreBefore = round->m_nScore;
        game.RunProcess();
        if (round->m_nScore != scoreBefore) ++amounts;
        if (round->m_nDisplayedScore != round->m_nScore) {
            ++behind;
            farthest = std::max(farthest, round->m_nScore - round->m_nDisplayedScore);
        } else {
            behind = 0;
        }
        longest = std::max(longest, behind);
    }
    ASSERT_TRUE(round->m_bGameOver) << "within " << kFrameBound << " frames";
    EXPECT_GT(amounts, 20) << "enough scoring to watch";
    EXPECT_GT(round->m_nScore, 1000);
    EXPECT_LE(longest, 22) << "frames in a row behind the score (" << farthest << " points at most)";
    std::printf("shown score: %d frames behind at most, %d points at most; %d amounts, score %d\n", longest, farthest,
                amounts, round->m_nScore);
    RecordProperty("frames_behind_longest", longest);
    RecordProperty("points_behind_most", farthest);
    RecordProperty("score", round->m_nScore);
}

TEST_F(RoundHeadlessTest, PicturesOfASeededRoundThroughGl) {
    mediatest::CHeadlessGl gl{320, 480};
    if (!gl.IsValid()) GTEST_SKIP() << "no headless EGL context";
    CScratchSaveFolder saves;
    CSeededRoundGame game(COBBLE_PAK, kSeed);
    ASSERT_TRUE(StartSeededRound(game, 2, true));
    const TRoundLog log = PlayRound(game, &gl);
    EXPECT_TRUE(game.m_pGameplayScreen->m_bGameOver);
    EXPECT_GE(log.powerUpsSeen, 1);
}

}  // namespace
