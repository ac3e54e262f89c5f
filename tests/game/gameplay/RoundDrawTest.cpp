// The round's field drawn on the real pak, on the software bitmap and headless through GL: where
// the frame pieces, the bar and the head-up display values land, what lies over what, the shadows
// darkening the grass, and the game-over texts' time. Positions are found by drawing a frame with
// and without one element and boxing the pixels that changed, so no art's colour is assumed.
// Pictures of a round stay in build/<preset>/screens/round-draw/ to be looked at.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "app/GlobalConstants.h"
#include "game/gameplay/GameplaySurvival.h"
#include "game/widgets/JumpString.h"
#include "game/gameplay/MarblePowerup.h"
#include "game/gameplay/Scenario.h"
#include "particles/ParticleSystemManager.h"
#include "platform/FrameDump.h"
#include "platform/Pcm.h"
#include "core/LocManager2.h"
#include "core/MemFile.h"
#include "render/DibBitmap.h"
#include "render/DrawingHelpers.h"
#include "render/DrawingUtils.h"
#include "render/GlesGlobals.h"
#include "render/WinDibBitmap.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "testsupport/MediaTestGame.h"
#include "testsupport/ScratchSaveFolder.h"
#include "testsupport/SeededRound.h"
#include "text/BitmapFont.h"

namespace {

using mediatest::TBox;
using mediatest::TImage;

constexpr std::uint64_t kSeed = 77;
constexpr int kW = 320, kH = 480;

// One open round on the real pak, drawn in software or through GL, its field emptied so that a
// test puts on it only what it looks at.
class CDrawnRound {
public:
    // gl: through GL at 320 x 480; display: through GL on the default display (768 x 1280, the
    // game 320 x 533 with double-resolution images), as the program runs.
    explicit CDrawnRound(bool gl, bool display = false) : m_Game(COBBLE_PAK, kSeed) {
        gl = gl || display;
        const int deviceW = display ? 768 : kW, deviceH = display ? 1280 : kH;
        if (gl) {
            m_pGl = std::make_unique<mediatest::CHeadlessGl>(deviceW, deviceH);
            if (!m_pGl->IsValid()) return;
            m_Game.m_Screen.m_nDeviceWidth = deviceW;
            m_Game.m_Screen.m_nDeviceHeight = deviceH;
            m_Game.m_RenderSwitches.m_bDoubleResolution = display;
        }
        if (!StartSeededRound(m_Game, 0, gl, kW, display ? 533 : kH)) return;
        round = m_Game.m_pGameplayScreen;
        Clear();
    }
    bool Ok() const { return round != nullptr; }
    bool Gl() const { return m_pGl != nullptr; }
    CSeededRoundGame& Game() { return m_Game; }

    void Clear() {
        round->m_pDraggedMarble = nullptr;
        round->m_Marbles.RemoveAll();
        round->m_Explosions.count = round->m_Animations.count = round->m_Rays.count = round->m_Bombs.count = 0;
        round->m_nMarblesOnPath = 0;
        round->m_pJumpStrings->RemoveAll();
        if (m_Game.m_pParticleManager != nullptr) m_Game.m_pParticleManager->StopAll(true);
    }

    // The frame as a player sees it, rows from the top. After (when given) draws over the
    // finished frame before it is shown and read.
    TImage Frame(const std::function<void(IDibBitmap*)>& after = {}) {
        if (m_pGl) {
            if (!after) {
                m_Game.DoDrawCycle();
                return m_pGl->Read();
            }
            IDibBitmap* back = round->GetBackBuffer();
            back->HWBeginScene();
            m_Game.Draw();
            after(back);
            back->DrawToDeviceScreen();
            return m_pGl->Read();
        }
        m_Game.Draw();
        IDibBitmap* back = round->GetBackBuffer();
        if (after) after(back);
        TImage img = mediatest::MakeImage(back->m_Width, back->m_Height, {0, 0, 0, 255});
        const auto* bits = reinterpret_cast<const std::uint16_t*>(back->GetBits());
        for (int y = 0; y < back->m_Height; ++y)
            for (int x = 0; x < back->m_Width; ++x) {
                const std::uint16_t p = bits[static_cast<std::size_t>(y) * back->m_BufferWidth + x];
                img.Set(x, y,
                        {static_cast<std::uint8_t>((p >> 11) << 3), static_cast<std::uint8_t>(((p >> 5) & 63) << 2),
                         static_cast<std::uint8_t>((p & 31) << 3), 255});
            }
        return img;
    }

    void Keep(const std::string& name) {
        const TImage img = Frame();
        const std::filesystem::path dir = std::filesystem::path(COBBLE_BINARY_DIR) / "screens" / "round-draw";
        std::filesystem::create_directories(dir);
        EXPECT_TRUE(platform::WriteRgbaPng((dir / name).string(), img.width, img.height, img.rgba)) << name;
    }

    // A marble of a colour standing at a point.
    CMarble* Put(int colour, int x, int y) {
        CMarble* m = round->SpawnEnemy(colour, x, y);
        m->m_nSpeed = 0;
        m->m_bEntered = true;
        m->m_nEntryIndicator = 0;
        return m;
    }

    CXGameplaySurvival* round = nullptr;

private:
    std::unique_ptr<mediatest::CHeadlessGl> m_pGl;
    CScratchSaveFolder m_Saves;
    CSeededRoundGame m_Game;
};

// The box of the pixels that differ by more than tolerance in some channel.
TBox Changed(const TImage& a, const TImage& b, int tolerance = 6) {
    TBox box;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            const auto p = a.At(x, y), q = b.At(x, y);
            if (std::abs(p[0] - q[0]) > tolerance || std::abs(p[1] - q[1]) > tolerance ||
                std::abs(p[2] - q[2]) > tolerance) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
        }
    return box;
}

// The frames with and without a change; the box of what it changed.
TBox BoxOf(CDrawnRound& r, const std::function<void(bool)>& set) {
    set(false);
    const TImage without = r.Frame();
    set(true);
    const TImage with = r.Frame();
    set(false);
    return Changed(without, with);
}

int Luma(std::array<std::uint8_t, 4> p) { return p[0] * 30 + p[1] * 59 + p[2] * 11; }

// The game-over lines as a player is to see them at that clock: "Game over" at y 240 and the line
// under it 40 pixels lower, grown by a tenth of the pulse, each centred, in red at the opacity of
// the clock past 4.0 (170 a unit, full from about 5.5). The software target draws them at their
// own size; through GL they are scaled by the pulse (x by 3/10 of it, y by 1/10), a line never
// wider than the screen less 6 pixels a side.
void DrawGameOverLines(IDibBitmap* back, CBitmapFontText* big, const char* const lines[2], FIXED_FLOAT_16 clock,
                       bool gl) {
    const auto half = [](int v) { return v >= 0 ? v / 2 : -((-v + 1) / 2); };
    const auto fixed = [](double v) { return static_cast<FIXED_FLOAT_16>(std::lround(v * 65536.0)); };
    const int alpha = std::min(static_cast<int>((clock / 65536.0 - 4.0) * 170.0), 255);
    const double pulse = SCurve16(clock / 2, nullptr) / 65536.0;
    const double ys[2] = {240.0, 240.0 + 40.0 * (1.0 + 0.1 * pulse)};
    for (int i = 0; i < 2; ++i) {
        if (lines[i] == nullptr || lines[i][0] == '\0') continue;
        const int width = big->Length2(lines[i]);
        if (!gl) {
            big->TextOut(back, half(back->m_Width - width), static_cast<int>(ys[i]), lines[i], 255, 50, 50, 0,
                         static_cast<unsigned char>(alpha), nullptr);
            continue;
        }
        const double sx = std::min(1.0 + 0.3 * pulse, (back->m_Width - 12.0) / width);
        big->TextOutF(back, lines[i], fixed((back->m_Width - width * sx) / 2.0), fixed(ys[i]), fixed(sx),
                      fixed(1.0 + 0.1 * pulse), 0, 255, 50, 50, 0, static_cast<unsigned char>(alpha), nullptr);
    }
}

class RoundDrawTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        platform::PcmUseBackend(platform::PcmBackendKind::None);
        round = std::make_unique<CDrawnRound>(GetParam());
        if (GetParam() && !round->Gl()) GTEST_SKIP() << "no headless EGL context";
        ASSERT_TRUE(round->Ok());
    }
    void TearDown() override {
        round.reset();
        platform::PcmUseBackend(platform::PcmBackendKind::Auto);
    }
    // After game over at that clock the round shows exactly DrawGameOverLines' lines over the
    // frame it shows before.
    void ExpectGameOverLinesAt(CBitmapFontText* big, const char* const lines[2], FIXED_FLOAT_16 clock) {
        CXGameplaySurvival* s = round->round;
        s->m_nGameOverClock = clock;
        s->m_bGameOver = false;
        const TImage expected =
            round->Frame([&](IDibBitmap* back) { DrawGameOverLines(back, big, lines, clock, GetParam()); });
        s->m_bGameOver = true;
        const TImage shown = round->Frame();
        s->m_bGameOver = false;
        const TBox off = Changed(expected, shown, 0);
        EXPECT_TRUE(off.Empty()) << off.left << ", " << off.top << " .. " << off.right << ", " << off.bottom;
    }
    std::unique_ptr<CDrawnRound> round;
};

// Each frame image, taken away, leaves the screen where the round put it (W x H = 320 x 480).
TEST_P(RoundDrawTest, FramePiecesLandOnTheirPlacesAndRiseInTheTutorial) {
    CXGameplaySurvival* s = round->round;
    struct TRow {
        CXGameplaySurvival::EImage image;
        bool tutorial;
        TBox expected;  // left, top, right, bottom, cut to the screen
        int slack;      // pixels the art's soft edges may keep inside the image's box
        const char* what;
    };
    const TRow rows[] = {
        {CXGameplaySurvival::kImageTop, false, {0, 0, 319, 69}, 2, "top board at (0, 0)"},
        {CXGameplaySurvival::kImageTop, true, {0, 0, 319, 44}, 2, "top board 25 higher in the tutorial"},
        {CXGameplaySurvival::kImageBottom, false, {0, 466, 319, 479}, 2, "bottom beam at H + 10 - 24"},
        {CXGameplaySurvival::kImageBottom, true, {0, 418, 319, 479}, 2, "three beams in the tutorial"},
        {CXGameplaySurvival::kImageLeft, false, {0, 70, 13, 465}, 2, "left post from x -10, seen between the boards"},
        {CXGameplaySurvival::kImageLeft, true, {0, 45, 13, 417}, 2, "between the tutorial's boards"},
        {CXGameplaySurvival::kImageRight, false, {306, 70, 319, 465}, 2, "right post at W + 10 - 24"},
        {CXGameplaySurvival::kImageNails, false, {2, 50, 317, 479}, 2, "nails at x 2 and W - 12, y 50 and H - 3"},
        {CXGameplaySurvival::kImageNails, true, {2, 25, 317, 479}, 2, "top nails at y 25 in the tutorial"},
        {CXGameplaySurvival::kImageLives, false, {278, 5, 311, 36}, 5, "heart at (W - 8 - 34, 5)"},
        {CXGameplaySurvival::kImageCoins, false, {55, 1, 100, 38}, 10, "coins at (55, 1)"},
        {CXGameplaySurvival::kImageProgressEmpty, false, {106, 23, 265, 38}, 2, "empty bar within the centre plate"},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.what);
        s->m_bTutorial = row.tutorial;
        IDibBitmap* image = s->m_Images[row.image];
        const TBox box = BoxOf(*round, [&](bool on) { s->m_Images[row.image] = on ? image : nullptr; });
        s->m_Images[row.image] = image;
        ASSERT_FALSE(box.Empty());
        EXPECT_GE(box.left, row.expected.left);
        EXPECT_LE(box.left, row.expected.left + row.slack);
        EXPECT_GE(box.top, row.expected.top);
        EXPECT_LE(box.top, row.expected.top + row.slack);
        EXPECT_LE(box.right, row.expected.right);
        EXPECT_GE(box.right, row.expected.right - row.slack);
        EXPECT_LE(box.bottom, row.expected.bottom);
        EXPECT_GE(box.bottom, row.expected.bottom - row.slack);
    }
    s->m_bTutorial = false;
}

TEST_P(RoundDrawTest, HeadUpDisplayValuesSitInTheirSlots) {
    CXGameplaySurvival* s = round->round;
    CBitmapFontText* scoreFont = round->Game().m_Fonts[kGameFontScores];
    ASSERT_NE(scoreFont, nullptr);
    const auto rollTo = [s](int score) {
        s->m_nScore = score;
        s->m_nDisplayedScore = -1;
        s->ProcessScore();
    };
    // Against an empty score text, the digits of 999 are centred on x 189 from y -2.
    {
        const TBox box = BoxOf(*round, [&](bool on) {
            rollTo(on ? 999 : 0);
            if (!on) s->m_ScoreTail = "";
        });
        ASSERT_FALSE(box.Empty());
        EXPECT_NEAR(box.CentreX(), 189.0, 3.0);
        EXPECT_LE(box.top, 26);
    }
    // 12,345: the head ends where the tail starts, the whole centred on 189 give or take the comma.
    {
        const TBox box = BoxOf(*round, [&](bool on) {
            rollTo(on ? 12345 : 0);
            if (!on) s->m_ScoreTail = "";
        });
        ASSERT_FALSE(box.Empty());
        const int w9 = scoreFont->Length2("9"), wc = scoreFont->Length2(",");
        EXPECT_NEAR(box.CentreX(), 189.0 + wc / 2.0, w9 / 2.0 + 2);
        EXPECT_GT(box.Width(), 4 * w9);
    }
    // Coins picked up centred on x 78 below the coin stack.
    {
        const TBox box = BoxOf(*round, [&](bool on) { s->m_nCoinsPickedUp = on ? 8 : 11; });
        ASSERT_FALSE(box.Empty());
        EXPECT_NEAR(box.CentreX(), 78.0, 6.0);
        EXPECT_GE(box.top, 42);
        EXPECT_LE(box.top, 50);
    }
    // The lives from x W - 32 at y 42.
    {
        const TBox box = BoxOf(*round, [&](bool on) { s->m_nLives = on ? 8 : 1; });
        ASSERT_FALSE(box.Empty());
        EXPECT_GE(box.left, kW - 32);
        EXPECT_LE(box.left, kW - 32 + 6);
        EXPECT_GE(box.top, 42);
    }
    // "Level a - b" centred on x 189 at y 45: only the level number changes.
    {
        const TBox box = BoxOf(*round, [&](bool on) { s->m_nLevel = on ? 7 : 0; });
        ASSERT_FALSE(box.Empty());
        EXPECT_GT(box.left, 189);
        EXPECT_GE(box.top, 45);
        EXPECT_LE(box.bottom, 66);
    }
}

// A level at the largest int shows that number: its frame is the one of the level below it (both
// "2147483647"), where a wrapped number would differ; the level below that differs (the check sees).
TEST_P(RoundDrawTest, TheHeadUpDisplaysLevelStopsAtTheLargestInt) {
    CXGameplaySurvival* s = round->round;
    const auto frameAt = [&](int level) {
        s->m_nLevel = level;
        return round->Frame();
    };
    const TImage top = frameAt(INT_MAX), below = frameAt(INT_MAX - 1), twoBelow = frameAt(INT_MAX - 2);
    s->m_nLevel = 0;
    EXPECT_TRUE(Changed(top, below).Empty());
    const TBox digits = Changed(below, twoBelow);
    ASSERT_FALSE(digits.Empty());
    EXPECT_GE(digits.top, 45);
    EXPECT_LE(digits.bottom, 66);
}

TEST_P(RoundDrawTest, TheBarFillsFromItsLeftCapToTheShownFill) {
    CXGameplaySurvival* s = round->round;
    ASSERT_EQ(s->m_nFullFillWidth, 166);
    for (int fill : {20, 83, 120, 166}) {
        SCOPED_TRACE(fill);
        const TBox box = BoxOf(*round, [&](bool on) { s->m_nShownFill = on ? fill : 0; });
        ASSERT_FALSE(box.Empty());
        // The full bar is drawn from x 90, cut at its 10-pixel cap plus the fill; its body shows
        // from x 106, inside the board's centre plate (x 104 to 270).
        EXPECT_GE(box.left, 106);
        EXPECT_LE(box.left, 108);
        EXPECT_LE(box.right, 90 + 10 + fill - 1);
        EXPECT_GE(box.right, 90 + 10 + fill - 3);
        EXPECT_GE(box.top, 23);
        EXPECT_LE(box.bottom, 38);
    }
    s->m_nShownFill = 0;
}

TEST_P(RoundDrawTest, GameOverTextsShowOnlyAfterClockFour) {
    CXGameplaySurvival* s = round->round;
    s->m_bGameOver = true;
    s->m_nGameOverClock = 4 * 65536;
    const TImage before = round->Frame();
    struct TRow {
        double clock;
        bool shown;
    };
    for (const TRow row : {TRow{1.0, false}, TRow{3.9, false}, TRow{4.3, true}, TRow{6.0, true}}) {
        SCOPED_TRACE(row.clock);
        s->m_nGameOverClock = static_cast<FIXED_FLOAT_16>(row.clock * 65536);
        const TBox box = Changed(before, round->Frame());
        EXPECT_EQ(!box.Empty(), row.shown);
        if (row.shown) {
            EXPECT_NEAR(box.CentreX(), kW / 2.0, 3.0) << box.left << ".." << box.right;
            EXPECT_GE(box.top, 240);
            EXPECT_LE(box.top, 252);
            EXPECT_GT(box.bottom, 285) << "the second line 40 below the first";
            EXPECT_GE(box.left, 3) << "no line is cut by the screen's edges";
            EXPECT_LE(box.right, kW - 4);
        }
    }
    s->m_bGameOver = false;
}

// The head-up display's texts, each compared pixel for pixel with the same
// text drawn by its font where the display's layout puts it: the score's digits as a block of
// "9"-widths centred on x 189 at y -2 (the last three digits apart, the rest before them), the
// coins centred on x 78 at y 42, "Level a - b" centred on x 189 at y 45 in its pale yellow, the
// lives from 32 pixels left of the right edge at y 42; all but the level in white.
TEST_P(RoundDrawTest, HeadUpDisplayTextsSitExactlyInTheirSlots) {
    CXGameplaySurvival* s = round->round;
    CTheGame& game = round->Game();
    const EGameFont slots[] = {kGameFontScores, kGameFontCoins, kGameFontSmall, kGameFontLifes};
    CBitmapFontText* fonts[4];
    for (int i = 0; i < 4; ++i) {
        fonts[i] = game.m_Fonts[slots[i]];
        ASSERT_NE(fonts[i], nullptr) << i;
    }
    const auto only = [&](int keep) {
        for (int i = 0; i < 4; ++i) game.m_Fonts[slots[i]] = i == keep ? fonts[i] : nullptr;
    };
    const auto half = [](int v) { return v >= 0 ? v / 2 : -((-v + 1) / 2); };
    const auto expectSame = [&](int keep, const std::function<void(IDibBitmap*)>& draw) {
        only(keep);
        const TImage shown = round->Frame();
        only(-1);
        const TImage bare = round->Frame();
        const TImage expected = round->Frame(draw);
        for (int i = 0; i < 4; ++i) game.m_Fonts[slots[i]] = fonts[i];
        EXPECT_FALSE(Changed(bare, shown, 0).Empty()) << "the text shows";
        const TBox off = Changed(expected, shown, 0);
        EXPECT_TRUE(off.Empty()) << off.left << ", " << off.top << " .. " << off.right << ", " << off.bottom;
    };
    const unsigned char white[3] = {255, 255, 255};

    // The score: n digits, the last three at the tail, the head before it.
    CBitmapFontText* scores = fonts[0];
    const int w9 = scores->Length2("9"), wc = scores->Length2(",");
    struct TScore {
        int score;
        const char* head;
        const char* tail;
        int digits, commas;
    };
    for (const TScore& t : {TScore{7, "", "7", 1, 0}, TScore{42, "", "42", 2, 0}, TScore{999, "", "999", 3, 0},
                            TScore{1000, "1,", "000", 4, 1}, TScore{12345, "12,", "345", 5, 1},
                            TScore{1234567, "1,234,", "567", 7, 2}}) {
        SCOPED_TRACE(t.score);
        s->m_nScore = t.score;
        s->m_nDisplayedScore = -1;
        s->ProcessScore();
        // The block of digits and commas is centred on 189: the tail starts after the head's part.
        const int headPart = (t.digits - 3) * w9 + t.commas * wc;
        const int expectedTailX = t.digits > 3 ? 189 + headPart - half(headPart + 3 * w9) : 189 - half(t.digits * w9);
        EXPECT_EQ(s->m_nScoreTailX, expectedTailX);
        expectSame(0, [&](IDibBitmap* back) {
            if (*t.head != '\0')
                scores->TextOut(back, expectedTailX - scores->Length2(t.head), -2, t.head, 255, 255, 255, 0, 255,
                                nullptr);
            scores->TextOut(back, expectedTailX, -2, t.tail, 255, 255, 255, 0, 255, nullptr);
        });
    }

    for (int coins : {7, 80, 1234}) {
        SCOPED_TRACE(coins);
        s->m_nCoinsPickedUp = coins;
        const std::string text = std::to_string(coins);
        expectSame(1, [&](IDibBitmap* back) {
            fonts[1]->TextOut(back, 78 - half(fonts[1]->Length2(text.c_str())), 42, text.c_str(), white[0], white[1],
                              white[2], 0, 255, nullptr);
        });
    }

    // The arena's number is its place in the arena list, whatever index the round last noted.
    const int noted = s->m_nArenaIndex;
    for (int level : {0, 8}) {
        SCOPED_TRACE(level);
        s->m_nLevel = level;
        s->m_nArenaIndex = level == 0 ? noted : 2;
        const std::string text = "Level 1 - " + std::to_string(s->ShownLevelNumber());
        expectSame(2, [&](IDibBitmap* back) {
            fonts[2]->TextOut(back, 189 - half(fonts[2]->Length2(text.c_str())), 45, text.c_str(), 245, 223, 153, 0,
                              255, nullptr);
        });
    }
    // A round whose arena is not in the list (a player's current arena the list no longer has)
    // shows the number of the arena index it noted.
    {
        Arena* arena = s->m_pArena;
        s->m_pArena = nullptr;
        s->m_nLevel = 4;
        s->m_nArenaIndex = 2;
        const std::string text = "Level 3 - 5";
        expectSame(2, [&](IDibBitmap* back) {
            fonts[2]->TextOut(back, 189 - half(fonts[2]->Length2(text.c_str())), 45, text.c_str(), 245, 223, 153, 0,
                              255, nullptr);
        });
        s->m_pArena = arena;
    }
    s->m_nArenaIndex = noted;

    for (int lives : {1, 3, 12}) {
        SCOPED_TRACE(lives);
        s->m_nLives = lives;
        const std::string text = std::to_string(lives);
        expectSame(3, [&](IDibBitmap* back) {
            fonts[3]->TextOut(back, kW - 32, 42, text.c_str(), 255, 255, 255, 0, 255, nullptr);
        });
    }
    // A lesson shows none of the display's texts.
    s->m_bTutorial = true;
    const TImage lesson = round->Frame();
    only(-1);
    const TImage bareLesson = round->Frame();
    for (int i = 0; i < 4; ++i) game.m_Fonts[slots[i]] = fonts[i];
    s->m_bTutorial = false;
    EXPECT_TRUE(Changed(lesson, bareLesson, 0).Empty());
}

// The game-over texts as DrawGameOverLines puts them, from their first faint clock to full.
TEST_P(RoundDrawTest, GameOverTextsAreCentredInRedAndFadeIn) {
    CTheGame& game = round->Game();
    CBitmapFontText* big = game.m_Fonts[kGameFontBig];
    ASSERT_NE(big, nullptr);
    ASSERT_NE(game.m_pLocManager, nullptr);
    const CommonString first = game.m_pLocManager->LoadString("ID_GameOver");
    const CommonString second = game.m_pLocManager->LoadString("ID_TouchToContinue");
    ASSERT_NE(first.GetDataConst(), nullptr);
    ASSERT_NE(second.GetDataConst(), nullptr);
    const char* lines[2] = {first.GetDataConst(), second.GetDataConst()};
    // Clocks 4.0015 (opacity 0.26, cut to 0) and 300694 / 65536 (99.998, cut to 99) sit just
    // below whole opacities.
    for (const FIXED_FLOAT_16 c : {4 * 65536 + 100, 262799, 294912, 300694, 327680, 360448, 412876, 475136}) {
        SCOPED_TRACE(c);
        ExpectGameOverLinesAt(big, lines, c);
    }
}

// On a screen narrower than a game-over line the software target still centres it: it starts left
// of the screen by half the overhang, rounded towards minus infinity (a line 51 pixels too wide
// starts at -26). Widths 100 and 101 give every line an even and an odd overhang.
TEST_P(RoundDrawTest, GameOverLinesWiderThanTheScreenOverhangBothSidesAlike) {
    if (GetParam()) GTEST_SKIP() << "the software target's own text drawing";
    CXGameplaySurvival* s = round->round;
    CTheGame& game = round->Game();
    CBitmapFontText* big = game.m_Fonts[kGameFontBig];
    ASSERT_NE(big, nullptr);
    const CommonString first = game.m_pLocManager->LoadString("ID_GameOver");
    const CommonString second = game.m_pLocManager->LoadString("ID_TouchToContinue");
    const char* lines[2] = {first.GetDataConst(), second.GetDataConst()};
    ASSERT_NE(lines[0], nullptr);
    ASSERT_NE(lines[1], nullptr);
    IDibBitmap* wide = game.m_Screen.m_pBackBuffer;
    const FIXED_FLOAT_16 clock = 6 * 65536;  // fully shown
    const double pulse = SCurve16(clock / 2, nullptr) / 65536.0;
    const int ys[2] = {240, static_cast<int>(240 + 40 * (1.0 + 0.1 * pulse))};
    for (int width : {100, 101}) {
        SCOPED_TRACE(width);
        for (const char* line : lines) ASSERT_GT(big->Length2(line), width) << line;
        CWinDibBitmap narrow(&game);
        ASSERT_EQ(narrow.Create(width, kH), 1);
        game.m_Screen.m_pBackBuffer = &narrow;
        s->m_nGameOverClock = clock;
        s->m_bGameOver = false;
        const TImage expected = round->Frame([&](IDibBitmap* back) {
            for (int i = 0; i < 2; ++i) {
                const int over = big->Length2(lines[i]) - width;
                const int left = -((over + 1) / 2);
                big->TextOut(back, left, ys[i], lines[i], 255, 50, 50, 0, 255, nullptr);
            }
        });
        s->m_bGameOver = true;
        const TImage shown = round->Frame();
        s->m_bGameOver = false;
        game.m_Screen.m_pBackBuffer = wide;
        const TBox off = Changed(expected, shown, 0);
        EXPECT_TRUE(off.Empty()) << off.left << ", " << off.top << " .. " << off.right << ", " << off.bottom;
    }
}

// The game-over lines are whatever the texts table holds: an empty line is left out and the other
// still stands in its place; through GL a line wider than the screen less 6 pixels a side is
// narrowed to fit there, below its own size too.
TEST_P(RoundDrawTest, GameOverLinesComeFromTheTextsAndALongOneIsFittedThroughGl) {
    CTheGame& game = round->Game();
    CBitmapFontText* big = game.m_Fonts[kGameFontBig];
    ASSERT_NE(big, nullptr);
    const std::string longLine = "Touch the screen anywhere to play on";
    ASSERT_GT(big->Length2(longLine.c_str()), kW - 12) << "wider than the room at its own size";
    const struct {
        const char* why;
        std::string first, second;
    } cases[] = {
        {"an empty first line", "", "Tap to go on"},
        {"an empty second line", "Game over", ""},
        {"a long second line", "Game over", longLine},
        {"a long first line", longLine, "Tap to go on"},
    };
    CLocManager2* kept = game.m_pLocManager;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        const std::string csv = "Key,enUS\n,English\nID_GameOver," + c.first + "\nID_TouchToContinue," + c.second + "\n";
        CMemoryFile file;
        void* block = std::malloc(csv.size());
        ASSERT_NE(block, nullptr);
        std::memcpy(block, csv.data(), csv.size());
        ASSERT_EQ(file.Attach(block, static_cast<int>(csv.size())), 1);
        CLocManager2 texts(&game);
        ASSERT_EQ(texts.ReadCSVFile(&file, "enUS"), 1);
        game.m_pLocManager = &texts;
        const char* lines[2] = {c.first.c_str(), c.second.c_str()};
        for (const FIXED_FLOAT_16 clock : {5 * 65536 + 16384, 6 * 65536}) {
            SCOPED_TRACE(clock);
            ExpectGameOverLinesAt(big, lines, clock);
        }
        game.m_pLocManager = kept;
    }
}

// A tutorial text box is its text in lines of its width, each line from the box's left edge and one
// font height under the one before, at the box's place in whole pixels, in its colour at the
// opacity its fade has reached. Without a font it draws nothing.
TEST_P(RoundDrawTest, ATutorialTextBoxIsDrawnAtItsPlaceInItsColourAndFade) {
    CTheGame& game = round->Game();
    CBitmapFontText* font = game.m_Fonts[kGameFontSmall];
    ASSERT_NE(font, nullptr);
    // Three lines of different widths, each narrower than the box, so that the box keeps them.
    const char* const lines[] = {"Pop three", "marbles of", "a colour"};
    const int width = 150;
    for (const char* line : lines) ASSERT_LT(font->Length2(line), width) << line;
    ASSERT_NE(font->Length2(lines[0]), font->Length2(lines[1]));
    const struct {
        int x, y;
        int r, g, b;
        FIXED_FLOAT alpha;
    } rows[] = {
        {20, 100, 255, 200, 40, CScenarioElement::kOpaque},
        {260, 300, 40, 220, 255, CScenarioElement::kOpaque},
        {37, 211, 255, 255, 255, 100 * 256 + 128},
        {3, 5, 200, 60, 120, 256},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.x) + ", " + std::to_string(row.y));
        CScenarioElementTextBox box(&game, nullptr, 1, row.x, row.y, width, font, "Pop three\nmarbles of\na colour",
                                    row.r, row.g, row.b);
        ASSERT_EQ(box.PostConstruct(), 1);
        box.m_Alpha = row.alpha;
        const auto alpha = static_cast<unsigned char>(row.alpha / 256);
        const TImage expected = round->Frame([&](IDibBitmap* back) {
            for (int i = 0; i < 3; ++i)
                font->TextOut(back, row.x, row.y + i * font->GetCharHeight(), lines[i],
                              static_cast<unsigned char>(row.r), static_cast<unsigned char>(row.g),
                              static_cast<unsigned char>(row.b), 0, alpha, nullptr);
        });
        const TImage shown = round->Frame([&](IDibBitmap* back) { box.Draw(back); });
        const TBox off = Changed(expected, shown, 0);
        EXPECT_TRUE(off.Empty()) << off.left << ", " << off.top << " .. " << off.right << ", " << off.bottom;
    }
    CScenarioElementTextBox fontless(&game, nullptr, 1, 20, 100, width, nullptr, "Pop three", 255, 255, 255);
    EXPECT_EQ(fontless.PostConstruct(), 0);
    fontless.m_Alpha = CScenarioElement::kOpaque;
    const TImage plain = round->Frame();
    const TBox off = Changed(plain, round->Frame([&](IDibBitmap* back) { fontless.Draw(back); }), 0);
    EXPECT_TRUE(off.Empty()) << off.left << ", " << off.top << " .. " << off.right << ", " << off.bottom;
}

// What lies over what: each pair draws one element over the other at one spot; the upper one
// must hide (or mark) the lower one there.
TEST_P(RoundDrawTest, LayersStackInTheirOrder) {
    CXGameplaySurvival* s = round->round;
    // The frame covers a marble under the top board.
    {
        const TBox box = BoxOf(*round, [&](bool on) {
            round->Clear();
            if (on) round->Put(kMarbleRed, 160, 30);
        });
        EXPECT_TRUE(box.Empty() || box.top >= 66) << "only the board's lower edge may show it";
    }
    // A marble covers its own shadow's middle and the path dots under it.
    {
        CMarble* m = nullptr;
        const TImage plain = [&] {
            round->Clear();
            m = round->Put(kMarbleBlue, 160, 260);
            return round->Frame();
        }();
        m->m_pShadowSprite = nullptr;
        const TImage noShadow = round->Frame();
        EXPECT_EQ(plain.At(160, 260), noShadow.At(160, 260)) << "the marble hides its shadow's middle";
        const TBox shadow = Changed(plain, noShadow);
        ASSERT_FALSE(shadow.Empty());
        EXPECT_GT(shadow.right, 160 + 8) << "the shadow falls down and right";
        EXPECT_GT(shadow.bottom, 260 + 8);
    }
    // A floating text goes over the head-up display's board (the software bitmap draws no
    // scaled text, so only through GL).
    if (GetParam()) {
        const TBox box = BoxOf(*round, [&](bool on) {
            round->Clear();
            if (on)
                (void)s->m_pJumpStrings->ShowJumpString(CommonString("ABC"), CommonString("level"), 0, 189 * 65536,
                                                        30 * 65536, 0);
            for (int i = 0; i < 20 && on; ++i) s->m_pJumpStrings->RunProcess();
        });
        ASSERT_FALSE(box.Empty());
        EXPECT_LT(box.top, 66) << "a floating text at y 30 shows over the board";
    }
}

// A shadow is the marble's image in black at half opacity: everything under it grows darker,
// nothing lighter, and where the image is solid the floor keeps about half its light.
TEST_P(RoundDrawTest, MarbleShadowsDarkenTheFloor) {
    round->Clear();
    const TImage floor = round->Frame();
    CMarble* m = round->Put(kMarbleYellow, 160, 260);
    m->m_pSprite = nullptr;  // the shadow alone
    const TImage shaded = round->Frame();
    int darker = 0;
    for (int y = 230; y < 300; ++y)
        for (int x = 130; x < 200; ++x) {
            const auto a = floor.At(x, y), b = shaded.At(x, y);
            for (int c = 0; c < 3; ++c) EXPECT_LE(b[c], a[c] + 4) << x << "," << y;
            darker += Luma(b) < Luma(a) * 9 / 10 ? 1 : 0;
        }
    EXPECT_GT(darker, 200);
    // The middle of the shadow, 3 pixels down and right of the centre: the floor at half light.
    const auto a = floor.At(163, 263), b = shaded.At(163, 263);
    EXPECT_NEAR(Luma(b), Luma(a) * 128 / 255, Luma(a) / 8 + 200);
}

INSTANTIATE_TEST_SUITE_P(SoftwareAndGl, RoundDrawTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Gl" : "Software"; });

}  // namespace
namespace {

// A marble's centre in whole pixels.
int Cx(const CMarble* m) { return m->m_Position.x >> 16; }
int Cy(const CMarble* m) { return m->m_Position.y >> 16; }

// Plays the scenes a player meets and keeps a picture of each under the prefix: a round in play
// with a path being drawn and another being run, a combo with its glow, a bomb's ring, game over.
void KeepRoundPictures(CDrawnRound& r, const std::string& prefix) {
    CXGameplaySurvival* s = r.round;
    CTheGame& game = r.Game();
    s->m_nScore = 12340;
    s->m_nCoinsPickedUp = 7;
    s->m_nLives = 3;
    s->m_nCleared = 9;
    s->m_nTargetFill = s->m_nShownFill = s->m_nFullFillWidth * 9 / 20;
    s->m_nDisplayedScore = -1;
    s->ProcessScore();

    // In play: three reds in a row, a blue and a green rolling; the finger draws a curve from
    // the first red through the second, and a yellow already runs the path it was given.
    CMarble* red = r.Put(kMarbleRed, 70, 380);
    r.Put(kMarbleRed, 160, 300);
    r.Put(kMarbleRed, 250, 220);
    r.Put(kMarbleBlue, 240, 400);
    r.Put(kMarbleGreen, 90, 160);
    CMarble* yellow = r.Put(kMarbleYellow, 260, 120);
    r.Put(kMarbleYellow, 110, 250);
    s->NotifyPointerEvent(Cx(yellow), Cy(yellow), XPOINTER_PRESS);
    for (int k = 1; k <= 8; ++k) s->NotifyPointerEvent(Cx(yellow) - 19 * k, Cy(yellow) + 16 * k + k * k, XPOINTER_MOVE);
    s->NotifyPointerEvent(110, 250, XPOINTER_RELEASE);
    for (int i = 0; i < 6; ++i) game.RunProcess();
    s->NotifyPointerEvent(Cx(red), Cy(red), XPOINTER_PRESS);
    for (int k = 1; k <= 6; ++k) s->NotifyPointerEvent(70 + 16 * k, 380 - 14 * k + (k % 2) * 6, XPOINTER_MOVE);
    r.Keep(prefix + "01_round_in_play.png");

    // A combo: the red runs through both others; the glow shows while it holds its catch.
    for (int k = 7; k <= 12; ++k) s->NotifyPointerEvent(70 + 15 * k, 380 - 13 * k, XPOINTER_MOVE);
    s->NotifyPointerEvent(250, 220, XPOINTER_RELEASE);
    for (int i = 0; i < 400 && red->m_nCollected < 1; ++i) game.RunProcess();
    EXPECT_GE(red->m_nCollected, 1) << "the red caught the second red";
    for (int i = 0; i < 3; ++i) game.RunProcess();
    r.Keep(prefix + "02_round_combo.png");

    // A bomb set off by the finger: its blast ring grows over the field.
    r.Clear();
    r.Put(kMarbleBlue, 120, 300);
    r.Put(kMarbleGreen, 200, 330);
    CMarblePowerup* bomb = s->SpawnPowerUp(160, 280, kPowerUpBomb);
    ASSERT_NE(bomb, nullptr);
    for (int i = 0; i < 40; ++i) game.RunProcess();
    r.Keep(prefix + "03_round_bomb_waiting.png");
    s->NotifyPointerEvent(Cx(bomb), Cy(bomb), XPOINTER_PRESS);
    s->NotifyPointerEvent(Cx(bomb), Cy(bomb), XPOINTER_RELEASE);
    for (int i = 0; i < 8; ++i) game.RunProcess();
    r.Keep(prefix + "04_round_bomb_ring.png");

    // Game over: two colours meet on the last life.
    r.Clear();
    s->m_nLives = 1;
    CMarble* a = r.Put(kMarbleRed, 150, 260);
    CMarble* b = r.Put(kMarbleBlue, 175, 262);
    a->m_Direction = TVector2D_16{65536, 0};
    a->m_nSpeed = 65536;
    for (int i = 0; i < 80 && !s->m_bGameOver; ++i) game.RunProcess();
    EXPECT_TRUE(s->m_bGameOver);
    (void)b;
    for (int i = 0; i < 45; ++i) game.RunProcess();
    r.Keep(prefix + "05_round_game_over.png");
}

// Through GL a floating text is drawn where it stands, not moved: the frame equals one drawn
// without the texts and then with them at no offset.
TEST(RoundFloatingTextsOnGl, AreDrawnWhereTheyStand) {
    platform::PcmUseBackend(platform::PcmBackendKind::None);
    {
        CDrawnRound r(true);
        if (!r.Gl()) GTEST_SKIP() << "no headless EGL context";
        ASSERT_TRUE(r.Ok());
        CXGameplaySurvival* s = r.round;
        (void)s->m_pJumpStrings->ShowJumpString(CommonString("ABC"), CommonString("level"), 0, 160 * 65536,
                                                240 * 65536, 0);
        for (int i = 0; i < 20; ++i) s->m_pJumpStrings->RunProcess();
        const TImage shown = r.Frame();
        CJumpStringManager* texts = s->m_pJumpStrings;
        s->m_pJumpStrings = nullptr;
        const TImage expected = r.Frame([&](IDibBitmap* back) { texts->Draw(back, 0, 0); });
        const TImage bare = r.Frame([](IDibBitmap*) {});
        s->m_pJumpStrings = texts;
        EXPECT_FALSE(Changed(expected, bare, 0).Empty()) << "the text shows";
        const TBox off = Changed(expected, shown, 0);
        EXPECT_TRUE(off.Empty()) << off.left << ", " << off.top << " .. " << off.right << ", " << off.bottom;
    }
    platform::PcmUseBackend(platform::PcmBackendKind::Auto);
}

// On the default display (the game 320 x 533) the arena's floor, shorter than the screen, is
// stretched through GL to the screen's height keeping its proportions, centred: the field equals a
// floor drawn that way by hand (frame pieces and texts taken away, the widgets' top strip left out).
TEST(RoundOnTheDisplay, TheFloorIsStretchedToTheHeightAndCentred) {
    platform::PcmUseBackend(platform::PcmBackendKind::None);
    {
        CDrawnRound r(true, true);
        if (!r.Gl()) GTEST_SKIP() << "no headless EGL context";
        ASSERT_TRUE(r.Ok());
        CXGameplaySurvival* s = r.round;
        CTheGame& game = r.Game();
        for (IDibBitmap*& image : s->m_Images) SafeDelete(image);
        for (CBitmapFontText*& font : game.m_Fonts) font = nullptr;
        IDibBitmap* floor = s->m_pBackground;
        ASSERT_NE(floor, nullptr);
        const TImage shown = r.Frame();
        s->m_pBackground = nullptr;
        const TImage expected = r.Frame([&](IDibBitmap* back) {
            const int w = floor->m_Width, h = floor->m_Height, H = back->m_Height;
            ASSERT_NE(h, H) << "the floor is stretched";
            const int dw = w * H / h;
            const int x = (back->m_Width - dw) / 2;
            Bitmap_StretchDrawF16_Transparent(&game, back, floor, x * 65536, 0, dw * 65536, H * 65536, 0, 0,
                                              w * 65536, h * 65536, 0, Renderer_BlendMode_Opaque);
        });
        s->m_pBackground = floor;
        int differing = 0;
        for (int y = 240; y < shown.height; ++y)
            for (int x = 0; x < shown.width; ++x) {
                const auto p = shown.At(x, y), q = expected.At(x, y);
                differing += p[0] != q[0] || p[1] != q[1] || p[2] != q[2];
            }
        EXPECT_EQ(differing, 0);
    }
    platform::PcmUseBackend(platform::PcmBackendKind::Auto);
}

TEST(RoundPictures, AtTheBaseSizeAndOnTheDefaultDisplay) {
    platform::PcmUseBackend(platform::PcmBackendKind::None);
    for (const bool display : {false, true}) {
        SCOPED_TRACE(display ? "768 x 1280" : "320 x 480");
        CDrawnRound r(true, display);
        if (!r.Gl()) GTEST_SKIP() << "no headless EGL context";
        ASSERT_TRUE(r.Ok());
        KeepRoundPictures(r, display ? "display_" : "base_");
    }
    platform::PcmUseBackend(platform::PcmBackendKind::Auto);
}

// On the default display the round runs at 320 x 533 with double-resolution images, so its
// 480-high floor is stretched: the GL bitmap has no stretched blit of its own, and a floor left
// unstretched showed white, the shadows on it pale grey. The floor is the arena's grass from top
// to bottom, and a shadow darkens it.
TEST(RoundOnTheDisplay, TheFloorIsStretchedAndShadowsDarkenIt) {
    platform::PcmUseBackend(platform::PcmBackendKind::None);
    {
        CDrawnRound r(true, true);
        if (!r.Gl()) GTEST_SKIP() << "no headless EGL context";
        ASSERT_TRUE(r.Ok());
        const TImage floor = r.Frame();
        ASSERT_EQ(floor.width, 768);
        // Grass green down the middle of the field, at the top, the middle and the bottom.
        for (int y : {200, 640, 1200}) {
            const auto p = floor.At(384, y);
            EXPECT_GT(p[1], p[0] + 20) << y;
            EXPECT_GT(p[1], p[2] + 20) << y;
            EXPECT_LT(p[1], 200) << y;
        }
        CMarble* m = r.Put(kMarbleYellow, 160, 266);
        m->m_pSprite = nullptr;
        const TImage shaded = r.Frame();
        // The shadow's middle, 3 logical pixels down and right of the centre, keeps about half.
        const int x = (163 * 768) / 320, y = (269 * 1280) / 533;
        EXPECT_NEAR(Luma(shaded.At(x, y)), Luma(floor.At(x, y)) * 128 / 255, Luma(floor.At(x, y)) / 8 + 200);
        int lighter = 0;
        for (int yy = y - 40; yy < y + 40; ++yy)
            for (int xx = x - 40; xx < x + 40; ++xx) lighter += Luma(shaded.At(xx, yy)) > Luma(floor.At(xx, yy)) + 400;
        EXPECT_EQ(lighter, 0);
    }
    platform::PcmUseBackend(platform::PcmBackendKind::Auto);
}

}  // namespace
