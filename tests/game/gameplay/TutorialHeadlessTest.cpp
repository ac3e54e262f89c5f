// The gameplay tutorial on the real pak, opened the way the play screen opens it (game message
// 1005) with seeded random numbers: its play area and check box, the three lessons played by the
// scenario on the real field (the reds of Match and Combos pop, WrongColor costs no life and
// shows its text, nothing reaches the score or the profile), the repeat after the last lesson
// with the skip button pulsating, and the ways out through skip, next and back. A run through
// GL keeps pictures of each lesson mid-drag and of the curtain half-way, checked at a few pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <typeinfo>
#include <vector>

#include "core/LocManager2.h"
#include "core/MemFile.h"
#include "game/gameplay/GameplayTutorial.h"
#include "game/widgets/JumpString.h"
#include "game/gameplay/Scenario.h"
#include "game/progress/ApplicationData.h"
#include "platform/FrameDump.h"
#include "platform/Pcm.h"
#include "testsupport/MediaTestGame.h"
#include "testsupport/ScratchSaveFolder.h"
#include "testsupport/SeededRound.h"
#include "text/BitmapFont.h"
#include "text/QuorvanTextFormat.h"
#include "ui/CheckBox.h"

namespace {

constexpr std::uint64_t kSeed = 20261211;

// The profile's stored bytes, to see that the tutorial writes nothing into it.
std::vector<std::uint8_t> ProfileBytes(CTheGame& game) {
    CMemoryFile out;
    EXPECT_EQ(out.Create(1 << 16), 1);
    EXPECT_EQ(game.GetCurrentProfile()->Serialize(&out, true, 2), 1);
    const auto* bytes = static_cast<const std::uint8_t*>(out.GetBuffer());
    return {bytes, bytes + out.GetCurPos()};
}

// The step the running lesson is on, or null when it has none left.
const CScenarioStep* CurrentStep(const CXGameplayTutorial& t) {
    const CScenario* s = t.m_pScenario.get();
    for (int i = 0; s != nullptr && i < s->m_Steps.count; ++i)
        if (!s->m_Steps.data[i]->m_bDone) return s->m_Steps.data[i];
    return nullptr;
}
bool IsDragStep(const CScenarioStep* step) {
    const auto* move = dynamic_cast<const CScenarioStepMoveFingerToMarble*>(step);
    return move != nullptr && move->m_bDrag;
}

// What a lesson came to, watched frame by frame.
struct TLessonLog {
    int mostMarbles = 0;
    int redsAtRelease = -1;         // red marbles on the field when the hand let go
    int marblesAtEnd = -1;          // on the field when the lesson's last delay ran out
    int burstsSeen = 0;             // frames with bursts running
    bool draggedFromPress = false;  // the hand's press took marble 1 as the dragged marble
    bool lifeLostText = false;
    int fewestLives = 99;
    int frames = 0;
    int firstDelay = -1;
};

class TutorialHeadlessTest : public ::testing::Test {
protected:
    void SetUp() override { platform::PcmUseBackend(platform::PcmBackendKind::None); }
    void TearDown() override { platform::PcmUseBackend(platform::PcmBackendKind::Auto); }

    bool Open(bool gl = false) {
        if (!StartSeededRound(game, 0, gl, 320, 480, MSG_RUN_TUTORIAL)) return false;
        tutorial = game.m_pTutorialScreen;
        return tutorial != nullptr;
    }
    std::string LifeLostText() {
        const CommonString t = game.m_pLocManager->LoadString("ID_LifeLost");
        return t.GetDataConst() != nullptr ? t.GetDataConst() : "";
    }

    // Plays the running lesson to its end (the next lesson built); each frame calls watch first.
    TLessonLog PlayLesson(const std::function<void(int)>& watch = nullptr) {
        TLessonLog log;
        const int lesson = tutorial->m_nCurrentLesson;
        const auto* delay = dynamic_cast<const CScenarioStepDelay*>(tutorial->m_pScenario->m_Steps.data[0]);
        log.firstDelay = delay != nullptr ? delay->m_nFrames : -1;
        const std::string lifeLost = LifeLostText();
        const CScenarioStep* last = tutorial->m_pScenario->m_Steps.data[tutorial->m_pScenario->m_Steps.count - 1];
        for (; log.frames < 2000 && tutorial->m_nCurrentLesson == lesson && !tutorial->m_bSwitching; ++log.frames) {
            if (watch) watch(log.frames);
            const CScenarioStep* before = CurrentStep(*tutorial);
            const bool release = dynamic_cast<const CScenarioStepTouchEvent*>(before) != nullptr &&
                                 typeid(*before) == typeid(CScenarioStepTouchEvent);
            const bool press = dynamic_cast<const CScenarioStepFingerDownOnMarble*>(before) != nullptr;
            CMarble* marble1 = tutorial->m_Marbles.count > 1 ? tutorial->m_Marbles.data[1] : nullptr;
            if (release) {
                log.redsAtRelease = 0;
                for (int i = 0; i < tutorial->m_Marbles.count; ++i)
                    log.redsAtRelease += tutorial->m_Marbles.data[i]->m_nColorType == kMarbleRed ? 1 : 0;
            }
            game.RunProcess();
            if (press) log.draggedFromPress = marble1 != nullptr && tutorial->m_pDraggedMarble == marble1;
            log.mostMarbles = std::max(log.mostMarbles, tutorial->m_Marbles.count);
            log.burstsSeen += tutorial->m_Explosions.count > 0 ? 1 : 0;
            log.fewestLives = std::min(log.fewestLives, tutorial->m_nLives);
            for (int i = 0; i < tutorial->m_pJumpStrings->m_Texts.count; ++i) {
                const CommonString& t = tutorial->m_pJumpStrings->m_Texts.data[i]->m_Text;
                if (t.GetDataConst() != nullptr && lifeLost == t.GetDataConst()) log.lifeLostText = true;
            }
            if (last->m_bDone && log.marblesAtEnd < 0) {
                // A combo leaves a power-up behind, as in a round.
                log.marblesAtEnd = 0;
                for (int i = 0; i < tutorial->m_Marbles.count; ++i)
                    log.marblesAtEnd += tutorial->m_Marbles.data[i]->IsPowerUp() ? 0 : 1;
            }
        }
        // The curtain falls to the next lesson.
        for (int i = 0; i < 20 && tutorial->m_bSwitching; ++i) game.RunProcess();
        return log;
    }

    CScratchSaveFolder saves;
    CSeededRoundGame game{COBBLE_PAK, kSeed};
    CXGameplayTutorial* tutorial = nullptr;
};

TEST_F(TutorialHeadlessTest, OpensOnTheFirstLessonWithItsPlayAreaBetweenTheButtons) {
    ASSERT_TRUE(Open());
    EXPECT_EQ(game.m_pGameplayScreen, tutorial);
    EXPECT_TRUE(tutorial->m_bTutorial);
    EXPECT_EQ(tutorial->m_nCurrentLesson, 0);
    // Top 92 and height H - 147, then the round's ad-strip shift of 50: 42 .. H - 55.
    EXPECT_EQ(tutorial->m_PlayRect.x, 12 * 256);
    EXPECT_EQ(tutorial->m_PlayRect.y, 42 * 256);
    EXPECT_EQ(tutorial->m_PlayRect.width, 296 * 256);
    EXPECT_EQ(tutorial->m_PlayRect.height, (480 - 97) * 256);
    ASSERT_NE(tutorial->m_pSkipButton, nullptr);
    EXPECT_NE(dynamic_cast<CXGameplayTutorialPlayButton*>(tutorial->m_pSkipButton), nullptr);
    EXPECT_NE(tutorial->m_pCaption, nullptr);
    auto* box = dynamic_cast<XCheckBox*>(tutorial->FindChildWithWidgetId("chk_tutorial_dontshow"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->IsChecked(), !game.GetCurrentProfile()->m_bTutorialOn);

    // Each lesson text fits the 190-pixel box in the small font and ends above the field's foot.
    CBitmapFontText* font = game.m_Fonts[kGameFontSmall];
    ASSERT_NE(font, nullptr);
    for (const char* key : {"ID_TutorialText1", "ID_TutorialText2", "ID_TutorialText3"}) {
        CQuorvanTextFormat format;
        const CommonString text = game.m_pLocManager->LoadString(key);
        ASSERT_EQ(format.FormatText(190, font, text.GetDataConst()), 1) << key;
        EXPECT_LE(format.GetNumStrings(), 6) << key;
        for (int i = 0; i < format.GetNumStrings(); ++i)
            EXPECT_LE(font->Length2(format.GetString(i)->GetData()), 190) << key << " line " << i;
        EXPECT_LE(42 + 250 + format.CalcFormatHeight(font, 0), 480 - 55) << key;
    }
}

TEST_F(TutorialHeadlessTest, TheThreeLessonsPlayOnTheRealFieldAndRepeat) {
    ASSERT_TRUE(Open());
    TUserProfile* profile = game.GetCurrentProfile();
    const std::vector<std::uint8_t> before = ProfileBytes(game);

    const TLessonLog match = PlayLesson();
    EXPECT_EQ(match.firstDelay, 11);
    EXPECT_EQ(match.mostMarbles, 2);
    EXPECT_TRUE(match.draggedFromPress) << "the hand's press took the lower red";
    EXPECT_EQ(match.redsAtRelease, 2);
    EXPECT_GT(match.burstsSeen, 0) << "the two reds popped";
    EXPECT_EQ(match.marblesAtEnd, 0);
    EXPECT_EQ(match.fewestLives, 1) << "no life lost";
    EXPECT_EQ(tutorial->m_nCurrentLesson, 1);

    const TLessonLog wrong = PlayLesson();
    EXPECT_EQ(wrong.mostMarbles, 3);
    EXPECT_TRUE(wrong.lifeLostText);
    EXPECT_EQ(tutorial->m_nLives, 2) << "a wrong colour in the tutorial leaves two lives";
    EXPECT_EQ(wrong.marblesAtEnd, 0) << "the pause bursts every marble";
    EXPECT_EQ(tutorial->m_nCurrentLesson, 2);

    const TLessonLog combos = PlayLesson();
    EXPECT_EQ(combos.mostMarbles, 3);
    EXPECT_TRUE(combos.draggedFromPress);
    EXPECT_EQ(combos.redsAtRelease, 3);
    EXPECT_GT(combos.burstsSeen, 0);
    EXPECT_EQ(combos.marblesAtEnd, 0) << "one path through two reds pops all three";
    EXPECT_FALSE(combos.lifeLostText);

    // The first lesson again, now with the long opening delay, and the skip button pulsating.
    EXPECT_EQ(tutorial->m_nCurrentLesson, 0);
    auto* skip = dynamic_cast<CXGameplayTutorialPlayButton*>(tutorial->m_pSkipButton);
    ASSERT_NE(skip, nullptr);
    EXPECT_TRUE(skip->m_bPulsating);
    const TLessonLog again = PlayLesson();
    EXPECT_EQ(again.firstDelay, 99);
    EXPECT_EQ(again.marblesAtEnd, 0);

    EXPECT_EQ(tutorial->m_nScore, 0);
    EXPECT_EQ(tutorial->m_nRoundCoins, 0);
    EXPECT_FALSE(tutorial->m_bGameOver);
    EXPECT_EQ(ProfileBytes(game), before) << "the tutorial writes nothing into the profile";
    EXPECT_EQ(profile->m_nRoundsStarted, 0);
}

// A real finger on the field neither drags a marble nor draws a path; the buttons work.
TEST_F(TutorialHeadlessTest, RealTouchesReachTheButtonsButNotTheField) {
    ASSERT_TRUE(Open());
    // On to the press on the lower red, then the hand pauses 8 frames with it.
    for (int i = 0; i < 1000 && dynamic_cast<const CScenarioStepFingerDownOnMarble*>(CurrentStep(*tutorial)) == nullptr;
         ++i)
        game.RunProcess();
    ASSERT_EQ(tutorial->m_Marbles.count, 2);
    game.RunProcess();
    game.RunProcess();
    CMarble* upper = tutorial->m_Marbles.data[0];
    const int x = upper->m_Position.x >> 16, y = upper->m_Position.y >> 16;
    CMarble* dragged = tutorial->m_pDraggedMarble;
    const int points = tutorial->m_PathPoints.count;
    (void)game.NotifyPointerEvent(x, y, XPOINTER_PRESS);
    (void)game.NotifyPointerEvent(x + 30, y + 50, XPOINTER_MOVE);
    (void)game.NotifyPointerEvent(x + 60, y + 90, XPOINTER_MOVE);
    (void)game.NotifyPointerEvent(x + 60, y + 90, XPOINTER_RELEASE);
    EXPECT_EQ(tutorial->m_pDraggedMarble, dragged) << "the finger took no marble";
    EXPECT_EQ(tutorial->m_PathPoints.count, points) << "nor laid a point";
    EXPECT_EQ(upper->m_Path.GetNumSegments(), 0);

    // The don't-show box under a real finger flips the profile's switch at once.
    auto* box = dynamic_cast<XCheckBox*>(tutorial->FindChildWithWidgetId("chk_tutorial_dontshow"));
    ASSERT_NE(box, nullptr);
    const TCoordRect2D at = box->GetPosition();
    ASSERT_TRUE(game.GetCurrentProfile()->m_bTutorialOn);
    (void)game.NotifyPointerEvent(at.x + 4, at.y + 4, XPOINTER_PRESS);
    (void)game.NotifyPointerEvent(at.x + 4, at.y + 4, XPOINTER_RELEASE);
    EXPECT_TRUE(box->IsChecked());
    EXPECT_FALSE(game.GetCurrentProfile()->m_bTutorialOn);

    // Previous does nothing on the first lesson; next starts the curtain towards the second.
    const auto press = [&](const char* id) {
        auto* button = dynamic_cast<XWidget*>(tutorial->FindChildWithWidgetId(id));
        ASSERT_NE(button, nullptr) << id;
        const TCoordRect2D r = button->GetPosition();
        (void)game.NotifyPointerEvent(r.x + r.width / 2, r.y + r.height / 2, XPOINTER_PRESS);
        (void)game.NotifyPointerEvent(r.x + r.width / 2, r.y + r.height / 2, XPOINTER_RELEASE);
    };
    press("btn_tutorial_prev");
    EXPECT_FALSE(tutorial->m_bSwitching);
    press("btn_tutorial_next");
    EXPECT_TRUE(tutorial->m_bSwitching);
    EXPECT_EQ(tutorial->m_nNextLesson, 1);
}

// Skip saves the player data and opens a real round; the tutorial pointer goes with the screen.
TEST_F(TutorialHeadlessTest, SkipSavesAndStartsARealRound) {
    ASSERT_TRUE(Open());
    for (int i = 0; i < 30; ++i) game.RunProcess();
    game.GetCurrentProfile()->m_bTutorialOn = false;
    std::filesystem::remove(saves.Path("global.opt"));
    EXPECT_EQ(tutorial->OnMessage(tutorial, XMSG_CLICK, XIdParam("btn_tutorial_skip"), 0), 1);
    EXPECT_TRUE(std::filesystem::exists(saves.Path("global.opt")));
    ASSERT_TRUE(RunGameFramesUntil(
        game, 600,
        [&] {
            return game.m_pGameplayScreen != nullptr && !game.m_pGameplayScreen->m_bTutorial &&
                   game.IsCurrentScreenSettled();
        },
        false));
    EXPECT_EQ(game.m_pTutorialScreen, nullptr);
    EXPECT_EQ(game.GetCurrentProfile()->m_nRoundsStarted, 1) << "a real round has begun";

    // Read back, the saved switch is the one the player left.
    std::ifstream in(saves.Path("global.opt"), std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    CApplicationData reread;
    ASSERT_EQ(reread.ReadAppDataFromBytes(bytes, "global.opt"), 1);
    ASSERT_GE(reread.m_nCurrentProfile, 0);
    EXPECT_FALSE(reread.GetCurrentProfile()->m_bTutorialOn);
}

TEST_F(TutorialHeadlessTest, NextOnTheLastLessonStartsARoundAndBackOpensThePlayScreen) {
    ASSERT_TRUE(Open());
    tutorial->SetCurrentScenario(2);
    EXPECT_EQ(tutorial->OnMessage(tutorial, XMSG_CLICK, XIdParam("btn_tutorial_next"), 0), 1);
    EXPECT_EQ(tutorial->GetSavedMessage().code, MSG_RUN_NEW_GAME);
    EXPECT_TRUE(std::filesystem::exists(saves.Path("global.opt")));

    ASSERT_TRUE(RunGameFramesUntil(
        game, 600, [&] { return game.m_pGameplayScreen != nullptr && game.IsCurrentScreenSettled(); }, false));
    (void)game.SendMessage(&game, MSG_RUN_TUTORIAL, 0, 0, true);
    ASSERT_TRUE(RunGameFramesUntil(
        game, 600, [&] { return game.m_pTutorialScreen != nullptr && game.IsCurrentScreenSettled(); }, false));
    tutorial = game.m_pTutorialScreen;
    EXPECT_EQ(tutorial->OnMessage(tutorial, XMSG_CLICK, XIdParam("btn_tutorial_back"), 0), 1);
    EXPECT_EQ(tutorial->GetSavedMessage().code, MSG_RUN_PLAY_SCREEN);
}

// The real hand on the software back buffer: pressing, the pad of its finger on the point;
// raised, the fingertip 10 right and 10 above it, over its shadow 30 lower, which shows below
// the hand and fades out at its foot.
TEST_F(TutorialHeadlessTest, TheHandsFingertipOnTheSoftwareScreen) {
    ASSERT_TRUE(Open());
    IDibBitmap* back = game.m_Screen.m_pBackBuffer;
    ASSERT_NE(back, nullptr);
    ASSERT_EQ(back->GetBitsPerPixel(), 16);
    const auto rgb = [&](int x, int y) {
        const std::uint16_t p = reinterpret_cast<const std::uint16_t*>(back->GetBits())[y * back->m_Width + x];
        return std::array<std::uint8_t, 4>{static_cast<std::uint8_t>((p >> 11) * 255 / 31),
                                           static_cast<std::uint8_t>(((p >> 5) & 63) * 255 / 63),
                                           static_cast<std::uint8_t>((p & 31) * 255 / 31), 255};
    };
    const auto skin = [](std::array<std::uint8_t, 4> p) {
        return p[0] > 200 && p[1] > 140 && p[2] > 90 && p[0] > p[1] && p[1] > p[2];
    };
    const int grey = 128;
    back->ClearBitmap(grey, grey, grey);
    tutorial->DrawFingerAt(back, 100 * 256, 200 * 256, true);
    EXPECT_TRUE(skin(rgb(100, 203))) << "the pad is on the point";
    EXPECT_TRUE(skin(rgb(100, 210)));
    EXPECT_FALSE(skin(rgb(100, 186))) << "nothing of the hand far above its fingertip";
    EXPECT_GT(rgb(100 - 17, 200)[0], grey + 20) << "the press ring around the point";

    back->ClearBitmap(grey, grey, grey);
    tutorial->DrawFingerAt(back, 200 * 256, 200 * 256, false);
    EXPECT_TRUE(skin(rgb(210, 193))) << "the raised pad";
    EXPECT_FALSE(skin(rgb(200, 203))) << "not on the point";
    const auto shadow = rgb(210, 250);  // the shadow's palm, just below the hand's foot
    EXPECT_FALSE(skin(shadow));
    EXPECT_LT(shadow[0] + shadow[1] + shadow[2], 3 * grey - 90) << "the shadow below the hand";
    EXPECT_GT(shadow[0] + shadow[1] + shadow[2], 3 * 20) << "half dark, not black";
    // The shadow is the hand's frame 30 lower (its top at the point's row): the frame's wrist
    // fades out, so the shadow's last rows are faint and nothing of it lies below the frame's
    // 72 rows. A hard-edged cuff would leave a dark block there.
    int darkest = 255;
    for (int y = 200 + 68; y < 200 + 100; ++y)
        for (int x = 150; x < 260; ++x) {
            const auto p = rgb(x, y);
            darkest = std::min(darkest, std::min<int>({p[0], p[1], p[2]}));
        }
    EXPECT_GT(darkest, grey - 16) << "no dark block at the foot of the shadow";
}

// ---- Pictures ----------------------------------------------------------------------------------

std::filesystem::path PictureDir() {
    const std::filesystem::path dir = std::filesystem::path(COBBLE_BINARY_DIR) / "screens" / "tutorial";
    std::filesystem::create_directories(dir);
    return dir;
}

using TPixel = std::array<std::uint8_t, 4>;
TPixel At(const mediatest::TImage& image, int x, int y) { return image.At(x, y); }
int Luma(TPixel p) { return (p[0] * 3 + p[1] * 6 + p[2]) / 10; }
bool Skin(TPixel p) { return p[0] > 200 && p[1] > 140 && p[2] > 90 && p[0] > p[1] && p[1] > p[2]; }
bool Reddish(TPixel p) { return p[0] > p[1] + 60 && p[0] > p[2] + 60; }

TEST_F(TutorialHeadlessTest, PicturesOfEachLessonMidDragAndOfTheCurtain) {
    mediatest::CHeadlessGl gl{320, 480};
    if (!gl.IsValid()) GTEST_SKIP() << "no headless EGL context";
    ASSERT_TRUE(Open(true));
    const auto keep = [&](const std::string& name) {
        game.DoDrawCycle();
        mediatest::TImage frame = gl.Read();
        // The screen shows no alpha: the picture is kept opaque, as a player sees it.
        for (std::size_t i = 3; i < frame.rgba.size(); i += 4) frame.rgba[i] = 255;
        EXPECT_TRUE(platform::WriteRgbaPng((PictureDir() / name).string(), frame.width, frame.height, frame.rgba))
            << name;
        return frame;
    };
    const char* const names[] = {"01_match_drag.png", "02_wrongcolor_drag.png", "03_combos_drag.png"};
    for (int lesson = 0; lesson < 3; ++lesson) {
        int dragRuns = 0;
        bool kept = false;
        mediatest::TImage frame;
        int handX = 0, handY = 0;
        PlayLesson([&](int) {
            if (kept || !IsDragStep(CurrentStep(*tutorial))) return;
            if (++dragRuns < 20) return;
            frame = keep(names[lesson]);
            const CScenarioElementFinger* hand = tutorial->m_pScenario->LastFinger();
            handX = hand->m_X >> 8;
            handY = hand->m_Y >> 8;
            kept = true;
        });
        ASSERT_TRUE(kept) << names[lesson];
        // The hand presses with its fingertip on the point: skin just below it, the touch ring's
        // white around it, and the dragged red under the hand's palm lower down.
        EXPECT_TRUE(Skin(At(frame, handX, handY + 3))) << names[lesson];
        EXPECT_TRUE(Skin(At(frame, handX + 4, handY + 30))) << names[lesson] << ": the palm";
        const TPixel ring = At(frame, handX - 17, handY);
        EXPECT_GT(Luma(ring), Luma(At(frame, handX - 40, handY))) << names[lesson] << ": the ring's glow";
        // The lesson text, white, in its box at x 27, y 292.
        int white = 0;
        for (int y = 292; y < 292 + 40; ++y)
            for (int x = 27; x < 27 + 190; ++x) {
                const TPixel p = At(frame, x, y);
                white += p[0] > 230 && p[1] > 230 && p[2] > 230 ? 1 : 0;
            }
        EXPECT_GT(white, 150) << names[lesson] << ": the lesson text";
        // A red marble stands somewhere on the field.
        int red = 0;
        for (int y = 42; y < 425; y += 2)
            for (int x = 12; x < 308; x += 2) red += Reddish(At(frame, x, y)) ? 1 : 0;
        EXPECT_GT(red, 40) << names[lesson];
    }

    // The curtain half-way: the field at about half its brightness, the frame beside it unchanged.
    for (int i = 0; i < 10 && tutorial->m_nLessonAlpha < 255; ++i) game.RunProcess();
    ASSERT_EQ(tutorial->m_nLessonAlpha, 255);
    const mediatest::TImage open = keep("05_curtain_open.png");
    tutorial->FadeToScenario(1);
    for (int i = 0; i < 4; ++i) game.RunProcess();
    ASSERT_EQ(tutorial->m_nLessonAlpha, 255 - 4 * 32);
    const mediatest::TImage half = keep("04_curtain_half.png");
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{40, 120}, {60, 400}, {290, 60}}) {
        const int a = Luma(At(open, x, y)), b = Luma(At(half, x, y));
        EXPECT_NEAR(b, a * 127 / 255, 12) << x << "," << y;
    }
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{4, 200}, {316, 300}})
        EXPECT_NEAR(Luma(At(half, x, y)), Luma(At(open, x, y)), 3) << "the frame at " << x << "," << y;
}

}  // namespace
