// The add-coins button: the game dialog makes it for its two ids, it takes the small font in white
// and lays its "x" and number out from its size, and on an OpenGL ES screen the texts shrink
// towards the centre while pressed, are drawn unscaled while the dialog fades, and are absent
// without a caption.
#include "game/screens/AddCoinsButton.h"

#include <gtest/gtest.h>

#include "ScreensTestGame.h"
#include "ui/GameDialog.h"
#include "ui/WidgetMakers.h"

namespace {

using namespace screenstest;

const char* const kTemplate =
    "button = btn_Boosts_AddCoins\n set = coinbtn\nend\n"
    "button = btn_can_buy_addcoins\n set = coinbtn\nend\n"
    "dialog = dlg_holder\n size = 240 100\n"
    " child = btn_Boosts_AddCoins\n  position = 20 30\n end\n"
    " child = btn_can_buy_addcoins\n  position = 20 70\n end\n"
    "end\n";

// The button's picture: 120 x 40, dark, so the white texts stand out.
constexpr int kButtonW = 120;
constexpr int kButtonH = 40;

class AddCoinsTest : public ScreensTest {
protected:
    void SetUp() override { Prepare(); }
    void Prepare() {
        AddImage("coinbtn", Plain(kButtonW, kButtonH, {0, 0, 128, 255}));
        AddSmallFont(14);
        Mount();
        ReadTemplate(kTemplate);
        dialog = static_cast<XGameDialog*>(
            MakeAndInitWidget(MakeWidget<XGameDialog>, &game, templ.get(), templ->GetWidget("dlg_holder"), nullptr));
        ASSERT_NE(dialog, nullptr);
        button = dynamic_cast<CXAddCoinsButton*>(dialog->FindChildWithWidgetId("btn_Boosts_AddCoins"));
        ASSERT_NE(button, nullptr);
    }
    void TearDown() override { SAFE_FREE_XELEMENT(dialog); }

    XGameDialog* dialog = nullptr;
    CXAddCoinsButton* button = nullptr;
};

TEST_F(AddCoinsTest, BothIdsMakeTheButtonWithTheSmallFontInWhite) {
    EXPECT_NE(dynamic_cast<CXAddCoinsButton*>(dialog->FindChildWithWidgetId("btn_can_buy_addcoins")), nullptr);
    const TTextLook& look = button->GetLook();
    EXPECT_EQ(look.font, font.get());
    EXPECT_EQ(look.red, 255);
    EXPECT_EQ(look.green, 255);
    EXPECT_EQ(look.blue, 255);
    EXPECT_EQ(look.effect, 0);
}

TEST_F(AddCoinsTest, TheTextsAreLaidOutFromTheButtonsSizeAndTheFont) {
    const float wx = static_cast<float>(font->Length2("x"));
    const float ch = static_cast<float>(font->GetCharHeight());
    const float textY = (kButtonH - ch) / 2.0f;
    const float numberX = wx + 40.0f;
    const TAddCoinsTextLayout& l = button->GetTextLayout();
    EXPECT_FLOAT_EQ(l.signX, 36.0f);
    EXPECT_FLOAT_EQ(l.textY, textY);
    EXPECT_FLOAT_EQ(l.signY, textY - 2.0f);
    EXPECT_FLOAT_EQ(l.numberX, numberX);
    // A tenth of each point's distance to the centre (60 pixels across) moves it there while pressed.
    EXPECT_FLOAT_EQ(l.pressedSignDx, 2.4f);
    EXPECT_FLOAT_EQ(l.pressedNumberDx, (60.0f - numberX) * 0.1f);
    EXPECT_FLOAT_EQ(l.pressedDy, textY * 0.1f);
    EXPECT_FLOAT_EQ(l.pressedScale, 0.9f);
}

// The texts are white over a button without red: any red is their ink.
bool IsWhite(Colour p) { return p[0] > 90; }

class AddCoinsGlTest : public AddCoinsTest {
protected:
    void SetUp() override {
        if (!UseGl(kW, kH)) GTEST_SKIP() << "no headless EGL / GLES1 here";
        Prepare();
    }
    // The ink of the "x" (left of the number's column) and of the number, as drawn now.
    std::pair<TBox, TBox> Texts() {
        game.m_Screen.m_pBackBuffer->ClearBitmap(0, 0, 0);
        button->Draw();
        mediatest::TImage frame = gl->Read();
        const int split = kLeft + static_cast<int>(button->GetTextLayout().numberX) - 1;
        mediatest::TImage sign = frame, number = frame;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) (x < split ? number : sign).Set(x, y, {0, 0, 0, 255});
        return {FindBox(sign, IsWhite), FindBox(number, IsWhite)};
    }
    void Press(bool down) {
        button->NotifyPointerEvent(kLeft + kButtonW / 2, kTop + kButtonH / 2, down ? XPOINTER_PRESS : XPOINTER_RELEASE);
        ASSERT_EQ(button->IsPressed(), down);
    }

    static constexpr int kW = 240;
    static constexpr int kH = 120;
    static constexpr int kLeft = 20;  // the button's place in the dialog at (0, 0)
    static constexpr int kTop = 30;
};

TEST_F(AddCoinsGlTest, TheTextsShrinkTowardsTheCentreWhilePressedAndNotWhileFading) {
    const auto [noSign, noNumber] = Texts();
    EXPECT_TRUE(noSign.Empty() && noNumber.Empty()) << "no caption: neither text is drawn";
    button->SetCaption(CommonString("1,250"));
    const TAddCoinsTextLayout& l = button->GetTextLayout();

    const auto [sign, number] = Texts();
    ASSERT_FALSE(sign.Empty());
    ASSERT_FALSE(number.Empty());
    EXPECT_NEAR(sign.left, kLeft + 36, 2);
    EXPECT_NEAR(number.left, kLeft + l.numberX, 2);
    EXPECT_GE(number.top, kTop + static_cast<int>(l.textY) - 1);

    Press(true);
    const auto [pressedSign, pressedNumber] = Texts();
    EXPECT_NEAR(pressedSign.left - sign.left, l.pressedSignDx, 1.0) << "the x moves towards the centre";
    EXPECT_NEAR(pressedNumber.left - number.left, l.pressedNumberDx, 1.0);
    EXPECT_NEAR(pressedNumber.Width(), 0.9 * number.Width(), 1.5) << "and both shrink to 0.9";
    EXPECT_LT(pressedNumber.Width(), number.Width());
    EXPECT_LT(pressedNumber.Height(), number.Height() + 1);

    // While the dialog fades in the pressed button's texts stay as they are unpressed.
    dialog->SheduleCreateWithEffect(0, 256);
    dialog->ApplyOpacity(250 * 256);
    ASSERT_TRUE(button->IsFadingThisOrParentNow());
    const auto [fadingSign, fadingNumber] = Texts();
    EXPECT_EQ(fadingSign.left, sign.left);
    EXPECT_EQ(fadingNumber.left, number.left);
    EXPECT_EQ(fadingNumber.Width(), number.Width());
}

}  // namespace
