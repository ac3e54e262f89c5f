// The award queue's frame timing and the banner: its fade and hold, its sounds, and where it is
// drawn, read back from a headless GL screen.
#include "game/progress/AwardManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ProgressTheGame.h"
#include "app/GlobalConstants.h"
#include "audio/SoundManager.h"
#include "game/progress/AchievementsManager.h"
#include "render/GlesRotatorPath.h"
#include "render/ImageRotatorScaler.h"
#include "render/WinDibBitmap.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "testsupport/BakedFonts.h"
#include "testsupport/MediaTestGame.h"
#include "testsupport/ScratchDir.h"
#include "testsupport/StubSoundSystem.h"
#include "text/BitmapFont.h"
#include "ui/XElement.h"

namespace {

using mediatest::EncodePng;
using mediatest::MakeImage;

using CRecordingSound = CEffectRecordingSoundSystem;

// The game with its award queue and banner; the banner's sprite sets are defined, not loaded.
class AwardQueueTest : public ::testing::Test {
protected:
    void SetUp() override {
        game.m_pSpriteSetManager = new CSpriteSetManager(&game, 40);
        ASSERT_EQ(game.m_pSpriteSetManager->AddSpriteSetSingle("AchAwardedBg", "bg.png", "", 1, 1, false, false), 1);
        ASSERT_EQ(
            game.m_pSpriteSetManager->AddSpriteSetMultiOptional("AchAwarded", "icon%d.png", "", 11, 0, false, false),
            1);
        game.m_pAwardManager = banner = new CAwardManager(&game);
        ASSERT_EQ(banner->PostConstruct(), 1);
        game.m_pAchievementsManager = queue = new CAchievementsManager(&game);
        ASSERT_EQ(queue->PostConstruct(), 1);
        player = game.AddPlayer("Ann");
    }
    // One frame as the game object runs it: the banner while active, then the queue. Returns the
    // message type when a banner started this frame, else -1.
    int Frame() {
        if (banner->IsActive()) banner->RunProcess();
        const int queued = queue->GetNumQueuedMessages();
        queue->ProcessAwardedMessagesQueue();
        return queue->GetNumQueuedMessages() < queued ? banner->GetType() : -1;
    }
    // Runs frames from 0 and lists (frame, type) of every banner shown.
    std::vector<std::pair<int, int>> Shown(int frames) {
        std::vector<std::pair<int, int>> shown;
        for (int f = 0; f < frames; ++f)
            if (const int type = Frame(); type >= 0) shown.emplace_back(f, type);
        return shown;
    }

    CProgressTestGame game;
    CAwardManager* banner = nullptr;
    CAchievementsManager* queue = nullptr;
    TUserProfile* player = nullptr;
};

TEST_F(AwardQueueTest, PostConstructNeedsBothSpriteSets) {
    CProgressTestGame bare;
    CAwardManager noSets(&bare);
    EXPECT_EQ(noSets.PostConstruct(), 0);
    bare.m_pSpriteSetManager = new CSpriteSetManager(&bare, 4);
    ASSERT_EQ(bare.m_pSpriteSetManager->AddSpriteSetSingle("AchAwardedBg", "bg.png", "", 1, 1, false, false), 1);
    EXPECT_EQ(noSets.PostConstruct(), 0);
}

TEST_F(AwardQueueTest, ThreeAwardsInOneFrameShowOneBannerAfterAnother) {
    for (int i : {0, 1, 2}) queue->AwardAchievement(i);
    // Achievements take no delay; each banner lasts 16 + 116 + 16 = 148 frames.
    EXPECT_EQ(Shown(500), (std::vector<std::pair<int, int>>{{0, 1000}, {148, 1001}, {296, 1002}}));
}

TEST_F(AwardQueueTest, AFirstMessageWaitsByItsType) {
    // The documented message types, written out: 2 a mini-quest, 3 information, 4 coins, 5 the
    // like reward, 7 a yard star, 9 a failed purchase, 10 boost points, 1000 + i achievement i.
    struct TWait {
        int type;
        int shownAt;
    } waits[] = {{1, 66}, {2, 66}, {3, 33}, {4, 33}, {5, 0}, {7, 0}, {9, 0}, {10, 0}, {1005, 0}};
    static_assert(kAwardQuestCompleted == 2 && kAwardInfo == 3 && kAwardCoins == 4 && kAwardLikeCoins == 5 &&
                  kAwardUnlocked == 7 && kAwardPurchaseFailed == 9 && kAwardBoostPoints == 10 &&
                  kAwardAchievement == 1000);
    for (const TWait& w : waits) {
        SCOPED_TRACE(w.type);
        delete game.m_pAchievementsManager;
        game.m_pAchievementsManager = queue = new CAchievementsManager(&game);
        ASSERT_EQ(queue->PostConstruct(), 1);
        while (banner->IsActive()) banner->RunProcess();
        queue->PlaceAwardedMessageToQueue(w.type, CommonString("title"));
        EXPECT_EQ(Shown(200), (std::vector<std::pair<int, int>>{{w.shownAt, w.type}}));
    }
}

TEST_F(AwardQueueTest, AMessageBehindAnotherTakesNoDelayOfItsOwn) {
    queue->PlaceAwardedMessageToQueue(kAwardLikeCoins, CommonString("first"));
    queue->PlaceAwardedMessageToQueue(kAwardQuestCompleted, CommonString("second"));
    EXPECT_EQ(queue->GetQueueDelay(), 0);
    EXPECT_EQ(Shown(300), (std::vector<std::pair<int, int>>{{0, kAwardLikeCoins}, {148, kAwardQuestCompleted}}));
}

TEST_F(AwardQueueTest, MessagesWaitForASettledScreenAndForAPlayer) {
    queue->PlaceAwardedMessageToQueue(kAwardCoins, CommonString("coins"));
    game.screenSettled = false;  // a screen fading in or out
    EXPECT_TRUE(Shown(50).empty());
    game.screenSettled = true;
    EXPECT_EQ(Frame(), kAwardCoins) << "shown in the first frame the screen has settled";

    while (banner->IsActive()) Frame();
    game.Data().m_nCurrentProfile = -1;
    queue->PlaceAwardedMessageToQueue(kAwardQuestCompleted, CommonString("quest"));
    EXPECT_TRUE(Shown(300).empty());
    EXPECT_EQ(queue->GetQueueDelay(), 66) << "the delay does not run without a player";
    game.Data().m_nCurrentProfile = 0;
    EXPECT_EQ(Shown(100), (std::vector<std::pair<int, int>>{{66, kAwardQuestCompleted}}));
}

TEST_F(AwardQueueTest, TheBannerFadesInHoldsAndFadesOutOver148Frames) {
    banner->ShowAwardMsg(kAwardCoins, CommonString("a"), CommonString("b"));
    EXPECT_TRUE(banner->IsActive());
    EXPECT_EQ(banner->GetAlpha(), 0);
    for (int frame = 1; frame <= 148; ++frame) {
        banner->RunProcess();
        const int expected = frame <= 132 ? std::min(16 * frame, 255) : std::max(255 - 16 * (frame - 132), 0);
        ASSERT_EQ(banner->GetAlpha(), expected) << frame;
        ASSERT_EQ(banner->IsActive(), frame < 148) << frame;
    }
}

TEST_F(AwardQueueTest, APurchaseFailurePlaysTheLifeLostSoundAndOthersTheAwardSound) {
    auto* sound = new CRecordingSound();
    game.m_pSoundSystem = sound;
    game.m_pSoundManager = new CSoundManager(&game);
    for (const char* name : {"SFX_LIFELOST", "SFX_ACH_GAINED"}) {
        SoundFXData* entry = game.m_pSoundManager->AddSoundFX(CommonString(name));
        entry->file = CommonString(name) + CommonString(".wav");
        ASSERT_TRUE(game.m_pSoundManager->AddReference(entry));
    }
    for (int type : {int{kAwardPurchaseFailed}, int{kAwardCoins}, kAwardAchievement + 3, int{kAwardUnlocked}})
        queue->PlaceAwardedMessageToQueue(type, CommonString("x"));
    Shown(700);
    const std::string dir = Str(game.GetSoundsDirectory());
    EXPECT_EQ(sound->played, (std::vector<std::string>{dir + "SFX_LIFELOST.wav", dir + "SFX_ACH_GAINED.wav",
                                                       dir + "SFX_ACH_GAINED.wav", dir + "SFX_ACH_GAINED.wav"}));
}

// ---- The banner on the screen ------------------------------------------------------------------

constexpr int kW = 320;
constexpr int kH = 120;
constexpr int kBannerW = 200;
constexpr int kBannerH = 40;
constexpr int kBannerX = (kW - kBannerW) / 2;
const std::array<std::uint8_t, 4> kBlue = {0, 0, 255, 255};

using mediatest::FindBox;
using mediatest::TBox;

bool IsBlue(std::array<std::uint8_t, 4> p) { return mediatest::Near(p, 0, 0, 255, 8); }
bool IsRed(std::array<std::uint8_t, 4> p) { return mediatest::Near(p, 255, 0, 0, 8); }
bool IsGreen(std::array<std::uint8_t, 4> p) { return mediatest::Near(p, 0, 255, 0, 8); }
// The text colour (255, 200, 0), where the glyphs cover their pixels well.
bool IsText(std::array<std::uint8_t, 4> p) { return p[0] > 200 && p[1] > 150 && p[2] < 90; }

// Drawing runs as the game does: OpenGL ES, double-resolution images (twice the size, drawn at
// half) uploaded and their pixels released.
class BannerDrawTest : public AwardQueueTest {
protected:
    void SetUp() override {
        if (!gl.IsValid()) GTEST_SKIP() << "no headless EGL / GLES1 here";
        AwardQueueTest::SetUp();
        game.m_RenderSwitches.m_bReleasePixelsAfterUpload = true;
        game.m_RenderSwitches.m_bDoubleResolution = true;
        // Portrait, as the game's window always is: bitmaps are stored as seen.
        game.m_Screen.m_nOrientationMode = 0;
        game.m_Screen.m_nOrientationAngle = 0;
        screen = mediatest::MakeGlScreenOn(game, kW, kH);
        ASSERT_EQ(game.LoadGlobalConstants(320, 480), 1);
        rotator = new CQuorvanImageRotatorScaler(&game, 36000);
        ASSERT_EQ(rotator->Initialize(), 1);
        path = std::make_unique<CGlesRotatorPath>(&game, rotator);
        rotator->SetHardwarePath(path.get());
        game.m_pRotatorScaler = rotator;

        const fontbaker::TBakedFont baked = fonttest::Bake(14);
        auto members = fonttest::FontMembers(baked, "i_vga\\sans", fontbaker::EForm::RgbaPng);
        // Each image with its twin of twice the size, which double resolution loads instead.
        const auto addImage = [&](const std::string& name, int w, int h, std::array<std::uint8_t, 4> colour) {
            members.emplace_back("i_vga\\" + name, EncodePng(MakeImage(w, h, colour)));
            members.emplace_back("i_vga_2x\\" + name, EncodePng(MakeImage(2 * w, 2 * h, colour)));
        };
        addImage("bg.png", kBannerW, kBannerH, kBlue);
        addImage("icon4.png", 20, 20, {0, 255, 0, 255});
        addImage("tall.png", 76, 76, {255, 0, 0, 255});
        addImage("small.png", 30, 30, {255, 0, 0, 255});
        mediatest::SetCommonPak(game, dir.Path("common.pak"), members);
        CSpriteSetManager& sets = *game.m_pSpriteSetManager;
        ASSERT_EQ(sets.AddSpriteSetSingle("Ach_Stage1Bronze", "tall.png", "", 1, 1, false, false), 1);
        ASSERT_EQ(sets.AddSpriteSetSingle("Ach_Stage1Silver", "small.png", "", 1, 1, false, false), 1);
        for (const char* name : {"AchAwardedBg", "AchAwarded", "Ach_Stage1Bronze", "Ach_Stage1Silver"})
            ASSERT_EQ(sets.AddSpriteSetRef(name), 1) << name;
        const auto* background = static_cast<CWinDibBitmap*>(sets.GetSpriteSetNamed("AchAwardedBg")->GetFrame(0));
        ASSERT_TRUE(background->Is2xImage()) << "the twin was taken";
        ASSERT_EQ(background->m_Width, kBannerW);
        font = std::make_unique<CBitmapFontText>(&game);
        ASSERT_EQ(font->LoadFont("i_vga\\sans.jpg"), 1);
        game.m_Fonts[0] = font.get();
    }
    void TearDown() override { game.m_Fonts[0] = nullptr; }

    // Shows a message, runs the banner to the given alpha and reads the screen back.
    mediatest::TImage DrawAt(int type, const char* title, const char* text, int alpha) {
        banner->ShowAwardMsg(type, CommonString(title), CommonString(text));
        while (banner->GetAlpha() < alpha && banner->IsActive()) banner->RunProcess();
        EXPECT_EQ(banner->GetAlpha(), alpha);
        screen->FillRectangle(0, 0, kW, kH, 0, 0, 0);
        banner->Draw(screen);
        return gl.Read();
    }
    // The height of the baked font as the banner scales it.
    float LineHeight() const { return static_cast<float>(font->GetCharHeight()) * 0.9f; }

    mediatest::CHeadlessGl gl{kW, kH};
    CScratchDir dir;
    CWinDibBitmapOGLES* screen = nullptr;
    CQuorvanImageRotatorScaler* rotator = nullptr;
    std::unique_ptr<CGlesRotatorPath> path;
    std::unique_ptr<CBitmapFontText> font;
};

TEST_F(BannerDrawTest, RestsAtTheTopOrBelowTheAdStripOfARound) {
    CFakeRound round;
    CXElement roundScreen(nullptr, &game);
    round.screen = &roundScreen;
    struct TRest {
        const char* why;
        bool inRound, adStrip, modal;
        int top;
    } rests[] = {
        {"outside a round", false, false, false, 0},
        {"a round without its ad strip", true, false, false, 0},
        {"a round showing the ad strip", true, true, false, GC.m_nAdBannerHeight},
        {"a modal dialog over the round", true, true, true, 0},
    };
    ASSERT_GT(GC.m_nAdBannerHeight, 0);
    CXElement dialog(&roundScreen, &game);
    for (const TRest& r : rests) {
        SCOPED_TRACE(r.why);
        game.round = r.inRound ? &round : nullptr;
        round.adStrip = r.adStrip;
        dialog.SetModal(r.modal);
        const TBox box = FindBox(DrawAt(kAwardLikeCoins, "", "", 255), IsBlue);
        EXPECT_EQ(box.left, kBannerX);
        EXPECT_EQ(box.right, kBannerX + kBannerW - 1);
        EXPECT_EQ(box.top, r.top);
        EXPECT_EQ(box.bottom, r.top + kBannerH - 1);
    }
}

TEST_F(BannerDrawTest, SlidesInFromAboveAsItFadesIn) {
    for (int alpha : {16, 128, 240}) {
        SCOPED_TRACE(alpha);
        const int y = static_cast<int>(-kBannerH + static_cast<float>(kBannerH) * alpha / 255.0f);
        const TBox box = FindBox(DrawAt(kAwardLikeCoins, "", "", alpha), IsBlue);
        EXPECT_EQ(box.top, 0);
        EXPECT_EQ(box.bottom, y + kBannerH - 1);
    }
}

TEST_F(BannerDrawTest, IconsAreCentredAt45By19AndNoTallerThan38) {
    struct TIcon {
        const char* why;
        int type;
        bool (*colour)(std::array<std::uint8_t, 4>);
        int size;  // as drawn
    } icons[] = {
        {"a 76-pixel achievement icon at half size", kAwardAchievement + 0, IsRed, 38},
        {"a 30-pixel one at full size", kAwardAchievement + 1, IsRed, 30},
        {"the frame of the message type", kAwardCoins, IsGreen, 20},
    };
    for (const TIcon& i : icons) {
        SCOPED_TRACE(i.why);
        const TBox box = FindBox(DrawAt(i.type, "", "", 255), i.colour);
        ASSERT_FALSE(box.Empty());
        EXPECT_NEAR(box.right - box.left + 1, i.size, 1);
        EXPECT_NEAR(box.bottom - box.top + 1, i.size, 1);
        EXPECT_NEAR((box.left + box.right + 1) / 2.0, kBannerX + 45, 1.0);
        EXPECT_NEAR((box.top + box.bottom + 1) / 2.0, 19, 1.0);
    }
    EXPECT_TRUE(FindBox(DrawAt(kAwardUnlocked, "", "", 255), IsGreen).Empty()) << "a type without a frame: no icon";
}

TEST_F(BannerDrawTest, TextLinesSitAtTheirCentresRightOfTheIcon) {
    const float f = LineHeight();
    // The same word on every line, so its ink lies at the same offset from each line's top.
    const TBox alone = FindBox(DrawAt(kAwardLikeCoins, "Ooo", "", 255), IsText);
    ASSERT_FALSE(alone.Empty());
    const int aloneTop = static_cast<int>((38.0f - f) * 0.5f);  // centred in the top 38 pixels
    const int inkOffset = alone.top - aloneTop;
    EXPECT_GE(inkOffset, 0);
    EXPECT_LE(alone.bottom, aloneTop + static_cast<int>(f) + 1);
    const int centredLeft = kBannerX + static_cast<int>(font->Length2("Ooo") * -0.45f + kBannerW * 0.5f);
    EXPECT_GE(alone.left, centredLeft);
    EXPECT_LE(alone.left, centredLeft + 3);

    // With a second line the two sit at 9.5 and 28.5 pixels below the top.
    const mediatest::TImage both = DrawAt(kAwardLikeCoins, "Ooo", "Ooo", 255);
    const int titleTop = static_cast<int>(9.5f - f * 0.5f);
    const int textTop = static_cast<int>(28.5f - f * 0.5f);
    mediatest::TImage upper = both, lower = both;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) (y < textTop + inkOffset ? lower : upper).Set(x, y, {0, 0, 0, 255});
    EXPECT_EQ(FindBox(upper, IsText).top, titleTop + inkOffset);
    EXPECT_EQ(FindBox(lower, IsText).top, textTop + inkOffset);

    // A long title would start left of the icon: it starts at the icon's right edge instead.
    const TBox wide = FindBox(DrawAt(kAwardCoins, "Wwwwwwwwwwwwwwwwwwww", "", 255), IsText);
    EXPECT_GE(wide.left, kBannerX + 45 + 10);
    EXPECT_LE(wide.left, kBannerX + 45 + 10 + 3);
}

}  // namespace
