// Floating texts: the animations of the styles, the delay, the style table, the fonts, drawing,
// and the saved list.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "../gameplay/GameplayTestGame.h"
#include "../gameplay/RecordBytes.h"
#include "game/widgets/JumpString.h"

namespace {

using gameplaytest::Bytes;
using gameplaytest::GameplayTest;
using gameplaytest::ReadFrom;
using gameplaytest::Vec;
using gameplaytest::WrittenBy;

constexpr FIXED_FLOAT_16 kPx = 65536;

// The ease curve written out: (sin(180 t - 90 degrees) + 1) / 2 in 16.16.
double Ease(double t) { return (std::sin((180.0 * t - 90.0) * M_PI / 180.0) + 1.0) / 2.0 * 65536.0; }

class JumpStringTest : public GameplayTest {
protected:
    CJumpString* Show(const char* style, int colourType = 0, int x = 160, int y = 240, int delay = 0) {
        const int count = texts.m_Texts.count;
        EXPECT_EQ(texts.ShowJumpString(CommonString("123"), CommonString(style), colourType, x * kPx, y * kPx, delay),
                  1)
            << style;
        return texts.m_Texts.count > count ? texts.m_Texts.data[texts.m_Texts.count - 1] : nullptr;
    }

    CJumpStringManager texts{&game, &field};
};

TEST_F(JumpStringTest, AScoreGrowsInFourteenFramesHoldsAndWidensAwayWhileRising) {
    CJumpString* text = Show("score", kMarbleBlue, 100, 300);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->m_nAppearStep, 4464) << "16 x ((16 x 0.9) / 3379)";
    EXPECT_EQ(text->m_nScaleX, 0);
    // Growing: the eased share of the way to 0.9 that the grown value has covered.
    for (int frame = 1; frame <= 13; ++frame) {
        text->RunProcess();
        ASSERT_EQ(text->m_nState, kJumpAppear) << frame;
        const long long t16 = ((4464LL * frame * 16) / (58982 >> 8)) * 16;
        EXPECT_NEAR(text->m_nScaleX, Ease(t16 / 65536.0) * 58982 / 65536.0, 3) << frame;
        EXPECT_EQ(text->m_nScaleY, text->m_nScaleX);
        EXPECT_EQ(text->m_nAlpha, 255);
        EXPECT_EQ(text->m_Position.y, (300 - frame) * kPx) << "rising a pixel a frame";
        EXPECT_EQ(text->m_Position.x, 100 * kPx);
    }
    // Frame 14 reaches 0.9 and starts holding in the same frame; the hold of 6 frames runs out
    // on frame 19, which already widens; eight widening frames take the alpha below 0.
    for (int frame = 14; frame <= 18; ++frame) {
        text->RunProcess();
        ASSERT_EQ(text->m_nState, kJumpHold) << frame;
        EXPECT_EQ(text->m_nScaleX, 58982);
        EXPECT_EQ(text->m_nScaleY, 58982);
        EXPECT_EQ(text->m_nHoldCounter, 19 - frame);
    }
    FIXED_FLOAT_16 widening = 9830, width = 58982;
    for (int frame = 19; frame <= 26; ++frame) {
        texts.RunProcess();
        ASSERT_EQ(texts.m_Texts.count, frame < 26 ? 1 : 0) << frame;
        if (frame == 26) break;
        EXPECT_EQ(text->m_nState, kJumpVanish);
        width += widening;
        widening += 9830;
        EXPECT_EQ(text->m_nScaleX, width) << frame;
        EXPECT_EQ(text->m_nScaleY, ((58982LL * 16) / (width >> 8)) * 16) << frame << ": narrower as it widens";
        EXPECT_EQ(text->m_nAlpha, 255 - 32 * (frame - 18)) << frame;
        EXPECT_EQ(text->m_Position.y, (300 - frame) * kPx);
    }
}

TEST_F(JumpStringTest, ALevelTextZoomsInSettlesBetween18And22AndFadesFrom150) {
    CJumpString* text = Show("level");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->m_nScaleX, 16 * kPx);
    EXPECT_EQ(text->m_nAlpha, 0);
    FIXED_FLOAT_16 previous = text->m_nScaleX;
    for (int frame = 1; frame <= 10; ++frame) {
        text->RunProcess();
        ASSERT_EQ(text->m_nState, kJumpAppear) << frame;
        EXPECT_LT(text->m_nScaleX, previous) << frame;
        EXPECT_GT(text->m_nScaleX, 2 * kPx) << frame;
        previous = text->m_nScaleX;
        EXPECT_EQ(text->m_nAlpha, std::min(32 * frame, 150)) << "a peak alpha of 150";
        EXPECT_EQ(text->m_Position.x, 160 * kPx) << "it stays where it is";
    }
    // Frame 11 reaches 2.0 and settles for 26 frames (11 .. 36), narrowing to 1.8 and
    // stretching to 2.2 of its size.
    FIXED_FLOAT_16 narrow = 2 * kPx, tall = 2 * kPx;
    for (int frame = 11; frame <= 35; ++frame) {
        text->RunProcess();
        ASSERT_EQ(text->m_nState, kJumpSettle) << frame;
        EXPECT_EQ(text->m_nAlpha, 150);
        EXPECT_LE(text->m_nScaleX, narrow) << frame;
        EXPECT_GE(text->m_nScaleY, tall) << frame;
        EXPECT_EQ(text->m_nScaleX + text->m_nScaleY, 4 * kPx) << "narrowing as much as it stretches";
        narrow = text->m_nScaleX;
        tall = text->m_nScaleY;
    }
    EXPECT_NEAR(text->m_nScaleX, 1.8 * kPx, 0.005 * kPx);
    EXPECT_NEAR(text->m_nScaleY, 2.2 * kPx, 0.005 * kPx);
    text->RunProcess();
    EXPECT_EQ(text->m_nState, kJumpVanish) << "the 26th settling frame begins the vanish";
    EXPECT_EQ(text->m_nAlpha, 150 - 32);
    for (int frame = 37; frame <= 40; ++frame) texts.RunProcess();
    EXPECT_EQ(texts.m_Texts.count, 0) << "150 fades out in five frames";
}

TEST_F(JumpStringTest, ADelayKeepsATextStillAndUnseen) {
    for (const char* style : {"score", "level", "coin"}) {
        CJumpString* text = Show(style, 0, 100, 200, 99);
        ASSERT_NE(text, nullptr);
        const TVector2D_16 start = text->m_Position;
        for (int frame = 1; frame <= 99; ++frame) {
            texts.RunProcess();
            ASSERT_FALSE(text->IsShown()) << style << " " << frame;
            ASSERT_EQ(text->m_Position.x, start.x);
            ASSERT_EQ(text->m_Position.y, start.y);
        }
        const FIXED_FLOAT_16 still = text->m_nScaleX;
        texts.RunProcess();
        EXPECT_NE(text->m_nScaleX, still) << style << ": it starts on frame 100";
        texts.RemoveAll();
    }
}

TEST_F(JumpStringTest, AnEmptyStyleMakesNothingAndAnUnknownOneIsGoneUnseen) {
    EXPECT_EQ(texts.ShowJumpString(CommonString("x"), CommonString(""), 0, 0, 0, 0), 0);
    EXPECT_EQ(texts.ShowJumpString(CommonString("x"), CommonString(), 0, 0, 0, 0), 0);
    EXPECT_EQ(texts.m_Texts.count, 0);
    CJumpString* odd = Show("sparkly");
    ASSERT_NE(odd, nullptr);
    EXPECT_EQ(odd->m_pParams->font, nullptr);
    EXPECT_EQ(odd->m_pParams->scale, 0);
    EXPECT_FALSE(odd->IsShown());
    texts.RunProcess();
    EXPECT_EQ(texts.m_Texts.count, 0) << "removed in its first frame";
}

TEST_F(JumpStringTest, TheStyleTable) {
    struct TCase {
        const char* style;
        int colourType;
        CBitmapFontText* font;
        FIXED_FLOAT_16 vx, vy, scale;
        int r, g, b, peak, hold, appear, vanish;
    } cases[] = {
        {"score", 2, buttonFont.get(), 0, -kPx, 58982, 0, 255, 255, 255, 6, 2, 1},
        {"clear", 10, buttonFont.get(), 0, -kPx, 98304, 255, 255, 255, 255, 6, 2, 1},
        {"coin", 0, buttonFont.get(), -kPx, kPx, 58982, 255, 255, 64, 255, 6, 2, 1},
        {"stage", 0, buttonFont.get(), 0, 0, 144179, 0, 96, 255, 255, 66, 1, 1},
        {"stage", 3, buttonFont.get(), 0, 0, 144179, 96, 96, 255, 255, 66, 1, 1},
        {"stage_desc", 1, smallFont.get(), 0, 0, 98304, 200, 200, 200, 255, 66, 1, 1},
        {"level", 0, buttonFont.get(), 0, 0, 131072, 255, 255, 255, 150, 26, 1, 1},
        {"life_lost", 0, buttonFont.get(), 0, 0, 98304, 255, 50, 0, 255, 66, 1, 1},
        {"new_star", 0, smallFont.get(), 0, 0, 98304, 255, 64, 0, 255, 66, 1, 1},
    };
    for (const TCase& c : cases) {
        // Right of the area's centre (x 160) and above its middle (y 267): heading left and down.
        CJumpString* text = Show(c.style, c.colourType, 200, 150);
        ASSERT_NE(text, nullptr);
        const TJumpStringParams& p = *text->m_pParams;
        EXPECT_STREQ(p.style.GetDataConst(), c.style);
        EXPECT_EQ(p.font, c.font) << c.style;
        EXPECT_EQ(p.position.x, 200 * kPx);
        EXPECT_EQ(p.velocity.x, c.vx) << c.style;
        EXPECT_EQ(p.velocity.y, c.vy) << c.style;
        EXPECT_EQ(p.scale, c.scale) << c.style;
        EXPECT_EQ(p.red, c.r) << c.style;
        EXPECT_EQ(p.green, c.g) << c.style;
        EXPECT_EQ(p.blue, c.b) << c.style;
        EXPECT_EQ(p.peakAlpha, c.peak) << c.style;
        EXPECT_EQ(p.hold, c.hold) << c.style;
        EXPECT_EQ(p.appearMode, c.appear) << c.style;
        EXPECT_EQ(p.vanishMode, c.vanish) << c.style;
        EXPECT_EQ(p.effect, 0);
        EXPECT_FALSE(p.flag);
    }
}

TEST_F(JumpStringTest, ACoinTextDriftsTowardsTheAreasMiddle) {
    // The fake area: x 12 .. 308 (centre 160), y 66 .. 469 (centre 267).
    struct TCase {
        int x, y;
        FIXED_FLOAT_16 vx, vy;
    } cases[] = {{161, 267, -kPx, kPx}, {160, 268, kPx, -kPx}, {20, 100, kPx, kPx}, {300, 460, -kPx, -kPx}};
    for (const TCase& c : cases) {
        CJumpString* text = Show("coin", 0, c.x, c.y);
        EXPECT_EQ(text->m_Velocity.x, c.vx) << c.x << "," << c.y;
        EXPECT_EQ(text->m_Velocity.y, c.vy) << c.x << "," << c.y;
    }
}

TEST_F(JumpStringTest, StageDescriptionsCarryCoinDecorations) {
    struct TCase {
        const char* style;
        int colourType, left, right;
    } cases[] = {{"stage_desc", 1, 2, 1}, {"stage_desc", 2, 3, 1}, {"stage_desc", 0, 0, 0}, {"stage", 1, 0, 0}};
    for (const TCase& c : cases) {
        CJumpString* text = Show(c.style, c.colourType);
        EXPECT_EQ(text->m_nLeftDecoration, c.left) << c.style << " " << c.colourType;
        EXPECT_EQ(text->m_nRightDecoration, c.right) << c.style << " " << c.colourType;
    }
}

// A stored text written out from its layout.
struct TTextFields {
    std::string text, style;
    std::int64_t params[4] = {};  // position x, y, velocity x, y
    std::int64_t scale = 0, peak = 0, hold = 0, appear = 0, vanish = 0, r = 0, g = 0, b = 0, effect = 0;
    bool flag = false, alive = true;
    std::int64_t state = 0;
    std::int64_t motion[4] = {};  // position x, y, velocity x, y
    std::int64_t scaleX = 0, scaleY = 0, alpha = 0, holdCounter = 0, delay = 0;
    std::int64_t animation[9] = {};  // appear start, range, value, step, vanish step, settle target, step, value, range
    std::int64_t left = 0, right = 0;
};

CByteBuilder& AppendText(CByteBuilder& b, const TTextFields& t) {
    b.Str(t.text).Str(t.style);
    Vec(b, t.params[0], t.params[1]);
    Vec(b, t.params[2], t.params[3]);
    b.Int(t.scale).Int(t.peak).Int(t.hold).Int(t.appear).Int(t.vanish).Int(t.r).Int(t.g).Int(t.b).Int(t.effect);
    b.Bool(t.flag).Bool(t.alive).Int(t.state);
    Vec(b, t.motion[0], t.motion[1]);
    Vec(b, t.motion[2], t.motion[3]);
    b.Int(t.scaleX).Int(t.scaleY).Int(t.alpha).Int(t.holdCounter).Int(t.delay);
    for (std::int64_t v : t.animation) b.Int(v);
    return b.Int(t.left).Int(t.right);
}

// Two texts caught mid-animation: a coin's text growing, a stage description settling.
Bytes TwoTextsMidAnimation() {
    TTextFields coin{"+2", "coin", {150 * kPx, 200 * kPx, -kPx, kPx}, 58982, 255, 6, 2, 1, 255, 255, 64};
    coin.motion[0] = 146 * kPx;
    coin.motion[1] = 204 * kPx;
    coin.motion[2] = -kPx;
    coin.motion[3] = kPx;
    coin.scaleX = coin.scaleY = 20000;
    coin.alpha = 255;
    coin.holdCounter = 6;
    const std::int64_t grow[9] = {0, 58982, 17856, 4464, 0, 0, 0, 0, 0};
    std::copy(std::begin(grow), std::end(grow), coin.animation);
    TTextFields desc{"= 2 x ", "stage_desc", {160 * kPx, 260 * kPx, 0, 0}, 98304, 255, 66, 1, 1, 200, 200, 200};
    desc.state = kJumpSettle;
    desc.motion[0] = 160 * kPx;
    desc.motion[1] = 260 * kPx;
    desc.scaleX = 96000;
    desc.scaleY = 100608;
    desc.alpha = 255;
    desc.holdCounter = 40;
    const std::int64_t settle[9] = {16 * kPx, 98304 - 16 * kPx, 98000, 91750, 0, 88473, 148, 101000, 9831};
    std::copy(std::begin(settle), std::end(settle), desc.animation);
    desc.left = 2;
    desc.right = 1;
    CByteBuilder b;
    b.Int(2);
    AppendText(b, coin);
    AppendText(b, desc);
    return b.bytes;
}

TEST_F(JumpStringTest, ATextListMidAnimationReadsFromItsLayoutAndWritesBackTheSameBytes) {
    const Bytes golden = TwoTextsMidAnimation();
    Show("score");  // whatever was there goes first
    int consumed = 0;
    ASSERT_EQ(ReadFrom(
                  golden, [&](IFile* f) { return texts.Serialize(f, false); }, &consumed),
              1);
    EXPECT_EQ(consumed, static_cast<int>(golden.size()));
    ASSERT_EQ(texts.m_Texts.count, 2);
    const CJumpString& coin = *texts.m_Texts.data[0];
    EXPECT_STREQ(coin.m_Text.GetDataConst(), "+2");
    EXPECT_STREQ(coin.m_pParams->style.GetDataConst(), "coin");
    EXPECT_EQ(coin.m_pParams->font, buttonFont.get()) << "a coin's text keeps the font it was shown in";
    EXPECT_EQ(coin.m_pParams->blue, 64);
    EXPECT_EQ(coin.m_Position.x, 146 * kPx);
    EXPECT_EQ(coin.m_nScaleX, 20000);
    EXPECT_EQ(coin.m_nAppearValue, 17856);
    const CJumpString& desc = *texts.m_Texts.data[1];
    EXPECT_EQ(desc.m_pParams->font, smallFont.get());
    EXPECT_EQ(desc.m_nState, kJumpSettle);
    EXPECT_EQ(desc.m_nSettleRange, 9831);
    EXPECT_EQ(desc.m_nHoldCounter, 40);
    EXPECT_EQ(desc.m_nLeftDecoration, 2);
    EXPECT_EQ(desc.m_nRightDecoration, 1);
    EXPECT_EQ(WrittenBy([&](IFile* f) { return texts.Serialize(f, true); }), golden);
}

TEST_F(JumpStringTest, ReloadedTextsRunOnAsTheOriginalsDo) {
    Show("score", 1, 100, 300);
    Show("level", 0, 160, 240, 5);
    Show("coin", 0, 250, 400);
    Show("stage_desc", 2, 160, 280);
    Show("life_lost", 0, 160, 240, 12);
    for (int i = 0; i < 9; ++i) texts.RunProcess();
    const Bytes saved = WrittenBy([&](IFile* f) { return texts.Serialize(f, true); });
    CJumpStringManager again(&game, &field);
    ASSERT_EQ(ReadFrom(saved, [&](IFile* f) { return again.Serialize(f, false); }), 1);
    for (int frame = 0; frame < 120; ++frame) {
        ASSERT_EQ(again.m_Texts.count, texts.m_Texts.count) << frame;
        for (int i = 0; i < texts.m_Texts.count; ++i) {
            const CJumpString& a = *texts.m_Texts.data[i];
            const CJumpString& b = *again.m_Texts.data[i];
            ASSERT_EQ(a.m_nState, b.m_nState) << frame << " text " << i;
            ASSERT_EQ(a.m_nScaleX, b.m_nScaleX) << frame << " text " << i;
            ASSERT_EQ(a.m_nScaleY, b.m_nScaleY) << frame << " text " << i;
            ASSERT_EQ(a.m_nAlpha, b.m_nAlpha) << frame << " text " << i;
            ASSERT_EQ(a.m_Position.x, b.m_Position.x) << frame << " text " << i;
            ASSERT_EQ(a.m_Position.y, b.m_Position.y) << frame << " text " << i;
            ASSERT_EQ(a.m_pParams->font, b.m_pParams->font) << frame << " text " << i;
            ASSERT_EQ(a.IsShown(), b.IsShown()) << frame << " text " << i;
        }
        texts.RunProcess();
        again.RunProcess();
    }
    EXPECT_EQ(texts.m_Texts.count, 0) << "every text ran out";
}

TEST_F(JumpStringTest, DamagedListsFailBeforeAnythingIsMade) {
    const Bytes golden = TwoTextsMidAnimation();
    const auto withInt = [&](std::size_t offset, std::int64_t value) {
        Bytes b = golden;
        for (int i = 0; i < 4; ++i)
            b[offset + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i));
        return b;
    };
    // Offsets in the first text: count 0, text length 4, style length 10, ..., state at 4 + 72.
    const std::size_t kState = 4 + (4 + 2) + (4 + 4) + 16 + 4 + 32 + 1 + 1;
    struct TCase {
        Bytes bytes;
        const char* why;
    } cases[] = {
        {withInt(0, -1), "a negative count"},
        {withInt(0, 100000), "more texts than the bytes left could hold"},
        {withInt(4, -3), "a negative text length"},
        {withInt(4, 1 << 30), "a text longer than the bytes left"},
        {withInt(10, 99999), "a style longer than the bytes left"},
        {withInt(kState, 7), "a state no text has"},
        {withInt(4 + 6 + 8 + 16 + 4 + 8, 5), "an appear mode no text has"},
        {Bytes(golden.begin(), golden.end() - 3), "the last text cut short"},
    };
    for (const TCase& c : cases) {
        CJumpStringManager list(&game, &field);
        EXPECT_EQ(ReadFrom(c.bytes, [&](IFile* f) { return list.Serialize(f, false); }), 0) << c.why;
    }
    CJumpStringManager huge(&game, &field);
    ASSERT_EQ(ReadFrom(cases[1].bytes, [&](IFile* f) { return huge.Serialize(f, false); }), 0);
    EXPECT_EQ(huge.m_Texts.data, nullptr) << "no list storage for a count the file cannot hold";
}

TEST_F(JumpStringTest, LoadedTextsWithNothingToDivideByStillRunOut) {
    struct TCase {
        int state, appear, vanish;
        std::int64_t scale, scaleX, appearRange, settleRange;
        const char* why;
    } cases[] = {
        {kJumpAppear, 2, 1, 65536, 0, 0, 0, "growing over a range of 0"},
        {kJumpAppear, 1, 1, 65536, 16 * kPx, 200, 0, "zooming over a range below one 256th"},
        {kJumpSettle, 1, 1, 65536, 65536, 0, 0, "settling over a range of 0"},
        {kJumpVanish, 1, 1, 65536, 0, 0, 0, "widening from a width of 0"},
        {kJumpVanish, 1, 1, 65536, -9830, 0, 0, "widening through a width of 0"},
    };
    for (const TCase& c : cases) {
        TTextFields t{"7", "score", {}, c.scale, 255, 6, c.appear, c.vanish, 255, 255, 255};
        t.state = c.state;
        t.scaleX = t.scaleY = c.scaleX;
        t.alpha = 200;
        t.holdCounter = 3;
        const std::int64_t animation[9] = {c.appear == 1 ? 16 * kPx : 0,
                                           c.appearRange,
                                           c.appear == 1 ? 16 * kPx : 0,
                                           c.appear == 1 ? 91750 : 4464,
                                           9830,
                                           c.scale,
                                           0,
                                           c.scale,
                                           c.settleRange};
        std::copy(std::begin(animation), std::end(animation), t.animation);
        CByteBuilder b;
        b.Int(1);
        AppendText(b, t);
        CJumpStringManager list(&game, &field);
        ASSERT_EQ(ReadFrom(b.bytes, [&](IFile* f) { return list.Serialize(f, false); }), 1) << c.why;
        for (int frame = 0; frame < 60 && list.m_Texts.count > 0; ++frame) list.RunProcess();
        EXPECT_EQ(list.m_Texts.count, 0) << c.why;
    }
}

TEST_F(JumpStringTest, ATextShowsOnlyGrownWithAFontAndText) {
    CJumpString* text = Show("score");
    ASSERT_NE(text, nullptr);
    for (int i = 0; i < 14; ++i) texts.RunProcess();
    EXPECT_TRUE(text->IsShown()) << "shown once grown, with a font and text";
    text->m_pParams->font = nullptr;
    EXPECT_FALSE(text->IsShown()) << "never without a font";
    text->m_pParams->font = buttonFont.get();
    text->m_Text = CommonString();
    EXPECT_FALSE(text->IsShown()) << "never without text";
}

}  // namespace
