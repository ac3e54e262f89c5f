// Pixels of the game dialog and the game widgets. The dim behind a dialog with a translucent
// background and the fade through black of an opaque one, at several opacities, drawn into a
// software back buffer (each expected pixel made by blending the starting colour with black at the
// alpha worked out from the opacity by hand) and through OpenGL ES on a headless context (compared
// with the 8-bit blend). Through OpenGL ES only: the one-state button's shrink, the pressed caption
// shrinking about its centre, and the stretched full-screen image.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

#include "DialogFixtures.h"
#include "render/DrawingUtils.h"
#include "render/GlesGlobals.h"
#include "render/GlesRotatorPath.h"
#include "render/ImageRotatorScaler.h"
#include "render/WinDibBitmap.h"
#include "testsupport/BakedFonts.h"
#include "text/BitmapFont.h"
#include "ui/GameButton.h"
#include "ui/GameDialog.h"
#include "ui/GameStretchImage.h"
#include "ui/WidgetMakers.h"

namespace {

using namespace dialogtest;

constexpr int kW = 64;
constexpr int kH = 48;
constexpr int kGrey = 200;
constexpr TRgba kPanelBlue{0, 0, 255, 255};

// A 20 x 10 panel of blue: "glass" keeps one transparent texel (so it has an alpha plane), "wall"
// is opaque throughout (no alpha plane).
std::vector<std::pair<std::string, Bytes>> PanelImages() {
    mediatest::TImage glass = mediatest::MakeImage(40, 20, kPanelBlue);
    glass.Set(39, 19, {0, 0, 255, 0});
    const mediatest::TImage wall = mediatest::MakeImage(40, 20, kPanelBlue);
    return {{"Images_2x\\glass.png", mediatest::EncodePng(glass)}, {"Images_2x\\wall.png", mediatest::EncodePng(wall)}};
}

const char* const kPanels =
    "dialog = dlg_glass\n background = bg_glass\n size = 20 10\nend\n"
    "dialog = dlg_wall\n background = bg_wall\n size = 20 10\nend\n"
    "image = bg_glass\n set = glass\nend\n"
    "image = bg_wall\n set = wall\nend\n"
    "image = img_other\n set = wall\nend\n";

// A game dialog at (10, 10) over a grey screen, under a parent that may hold a fading sibling.
class CPanelBench {
public:
    explicit CPanelBench(CScreenHost& host) : m_Host(host) {
        host.SetPak(PanelImages());
        EXPECT_EQ(host.m_Sets.AddSpriteSetSingle("glass", "glass", "", 1, 1, false, false), 1);
        EXPECT_EQ(host.m_Sets.AddSpriteSetSingle("wall", "wall", "", 1, 1, false, false), 1);
        templ = Parse(kPanels);
        parent = std::make_unique<CRecorder>(&host, nullptr);
    }
    ~CPanelBench() { parent->DeleteAllChildWidgets(); }

    XGameDialog* Make(const char* name) {
        WidgetContext placement;
        placement.x = 10;
        placement.y = 10;
        return static_cast<XGameDialog*>(
            MakeAndInitWidget(MakeWidget<XGameDialog>, parent.get(), templ.get(), templ->GetWidget(name), &placement));
    }
    // The dialog at opacity a (0..255), fading in when fading is set.
    void Show(XGameDialog* dialog, int a, bool fading) {
        if (fading) dialog->SheduleCreateWithEffect(0, 256);
        dialog->ApplyOpacity(a * 256);
    }
    void Draw(XGameDialog* dialog) {
        m_Host.m_Screen.m_pBackBuffer->ClearBitmap(kGrey, kGrey, kGrey);
        dialog->Draw();
    }

    std::unique_ptr<TTemplate> templ;
    std::unique_ptr<CRecorder> parent;

private:
    CScreenHost& m_Host;
};

// The RGB565 pixel that colour becomes under black at alpha (none below 1), blended the way the
// back buffer blends a fill.
std::uint16_t Dimmed(CScreenHost& host, int r, int g, int b, int alpha) {
    CWinDibBitmap pixel(&host);
    EXPECT_EQ(pixel.Create(1, 1), 1);
    pixel.ClearBitmap(static_cast<unsigned char>(r), static_cast<unsigned char>(g), static_cast<unsigned char>(b));
    if (alpha >= 1) FillRectangle_Transparent(&host, &pixel, 0, 0, 1, 1, 0, 0, 0, alpha);
    return reinterpret_cast<const std::uint16_t*>(pixel.GetBits())[0];
}

struct TDimCase {
    int a;      // the dialog's opacity >> 8
    int alpha;  // the dim: 192 at full opacity, a x 192 / 255 below
};
const TDimCase kDimCases[] = {{255, 192}, {200, 150}, {128, 96}, {2, 1}, {1, 0}};

TEST(GameDrawTest, ATranslucentBackgroundDimsTheScreenBehindTheDialog) {
    CScreenHost host;
    host.MakeSoftScreen(kW, kH);
    CPanelBench bench(host);
    XGameDialog* dialog = bench.Make("dlg_glass");
    ASSERT_NE(dialog, nullptr);
    for (const TDimCase& c : kDimCases) {
        bench.Show(dialog, c.a, c.a < 255);
        bench.Draw(dialog);
        EXPECT_EQ(host.Pixel(0, 0), Dimmed(host, kGrey, kGrey, kGrey, c.alpha)) << "opacity " << c.a;
        EXPECT_EQ(host.Pixel(63, 47), Dimmed(host, kGrey, kGrey, kGrey, c.alpha)) << "the whole screen";
    }
    bench.Show(dialog, 255, false);
    bench.Draw(dialog);
    EXPECT_EQ(host.Pixel(12, 12), Rgb565Of(kPanelBlue)) << "the dialog is drawn over the dim";
    bench.Show(dialog, 0, false);
    bench.Draw(dialog);
    EXPECT_EQ(host.Pixel(0, 0), PackRGB565(kGrey, kGrey, kGrey)) << "nothing at opacity 0";
}

struct TThroughBlackCase {
    int a;
    int cover;   // the black laid over the whole screen
    bool drawn;  // the dialog is drawn under it (at full opacity)
};
// Below half the screen only darkens (alpha 2a); from half on the dialog shows at full opacity
// under black at 255 - 2(a - 128).
const TThroughBlackCase kThroughBlack[] = {
    {50, 100, false}, {127, 254, false}, {128, 255, true}, {200, 111, true}, {254, 3, true},
};

TEST(GameDrawTest, AnOpaqueDialogFadingAloneFadesThroughBlack) {
    CScreenHost host;
    host.MakeSoftScreen(kW, kH);
    CPanelBench bench(host);
    XGameDialog* dialog = bench.Make("dlg_wall");
    ASSERT_NE(dialog, nullptr);
    for (const TThroughBlackCase& c : kThroughBlack) {
        bench.Show(dialog, c.a, true);
        ASSERT_TRUE(dialog->IsFadingIn());
        bench.Draw(dialog);
        EXPECT_EQ(host.Pixel(0, 0), Dimmed(host, kGrey, kGrey, kGrey, c.cover)) << "opacity " << c.a;
        const std::uint16_t inside =
            c.drawn ? Dimmed(host, 0, 0, 255, c.cover) : Dimmed(host, kGrey, kGrey, kGrey, c.cover);
        EXPECT_EQ(host.Pixel(15, 15), inside) << "opacity " << c.a;
        EXPECT_EQ(dialog->GetOwnOpacity(), c.a * 256) << "its own opacity is put back";
    }

    // Not fading, or fading with a sibling: the dialog just draws at its opacity.
    bench.Show(dialog, 255, false);  // its fade is over
    XGameDialog* steady = bench.Make("dlg_wall");
    ASSERT_NE(steady, nullptr);
    bench.Show(steady, 50, false);
    EXPECT_FALSE(steady->IsFadingIn());
    bench.Draw(steady);
    EXPECT_EQ(host.Pixel(0, 0), PackRGB565(kGrey, kGrey, kGrey)) << "not fading: no black";
    bench.Show(steady, 255, false);
    bench.Show(dialog, 200, true);
    XWidget* sibling = MakeAndInitWidget(MakeWidget<XImage>, bench.parent.get(), bench.templ.get(),
                                         bench.templ->GetWidget("img_other"), nullptr);
    ASSERT_NE(sibling, nullptr);
    sibling->SheduleCreateWithEffect(0, 256);
    sibling->ApplyOpacity(1000);
    bench.Draw(dialog);
    EXPECT_EQ(host.Pixel(0, 0), PackRGB565(kGrey, kGrey, kGrey)) << "no black while a sibling fades too";
    const std::uint16_t faded = host.Pixel(15, 15);
    EXPECT_NE(faded, PackRGB565(kGrey, kGrey, kGrey));
    EXPECT_NE(faded, Rgb565Of(kPanelBlue)) << "the panel blended at its opacity";
}

// An 8-bit channel of the GL frame near the value expected.
bool Near(int got, int want) { return std::abs(got - want) <= 6; }
int DimmedChannel(int c, int alpha) { return c * (255 - alpha) / 255; }

TEST(GameDrawTest, TheDimAndTheFadeThroughBlackThroughOpenGl) {
    mediatest::CHeadlessGl gl(kW, kH);
    if (!gl.IsValid()) GTEST_SKIP() << "no headless EGL / GLES1 here";
    CScreenHost host;
    host.m_RenderSwitches.m_bReleasePixelsAfterUpload = true;
    host.MakeGlScreen(kW, kH);
    CPanelBench bench(host);
    XGameDialog* glass = bench.Make("dlg_glass");
    XGameDialog* wall = bench.Make("dlg_wall");
    ASSERT_TRUE(glass != nullptr && wall != nullptr);
    wall->Hide();
    for (const TDimCase& c : {kDimCases[0], kDimCases[2]}) {
        bench.Show(glass, c.a, c.a < 255);
        bench.Draw(glass);
        const auto p = gl.Read().At(2, 2);
        EXPECT_TRUE(Near(p[0], DimmedChannel(kGrey, c.alpha))) << "opacity " << c.a << ": " << int(p[0]);
    }
    bench.Show(glass, 255, false);  // done fading, so the wall fades alone
    glass->Hide();
    wall->Show();
    for (const TThroughBlackCase& c : {kThroughBlack[0], kThroughBlack[3]}) {
        bench.Show(wall, c.a, true);
        bench.Draw(wall);
        const mediatest::TImage frame = gl.Read();
        EXPECT_TRUE(Near(frame.At(2, 2)[0], DimmedChannel(kGrey, c.cover))) << c.a << ": " << int(frame.At(2, 2)[0]);
        const auto in = frame.At(15, 15);
        if (c.drawn) {
            EXPECT_TRUE(Near(in[2], DimmedChannel(255, c.cover)) && in[0] < 8) << c.a << ": " << int(in[2]);
        } else {
            EXPECT_TRUE(Near(in[0], DimmedChannel(kGrey, c.cover))) << c.a;
        }
    }
}

TEST(GameDrawTest, OneStateShrinkPressedCaptionAndStretchedImageThroughOpenGl) {
    constexpr int kSw = 160;
    constexpr int kSh = 96;
    mediatest::CHeadlessGl gl(kSw, kSh);
    if (!gl.IsValid()) GTEST_SKIP() << "no headless EGL / GLES1 here";
    CScreenHost host;
    host.m_RenderSwitches.m_bReleasePixelsAfterUpload = true;
    host.MakeGlScreen(kSw, kSh);
    CQuorvanImageRotatorScaler rotator(&host, 3600);
    ASSERT_EQ(rotator.Initialize(), 1);
    CGlesRotatorPath path(&host, &rotator);
    rotator.SetHardwarePath(&path);
    host.m_pRotatorScaler = &rotator;

    // A 40 x 20 button, a caption font and a 32 x 16 picture half red, half green.
    const fontbaker::TBakedFont baked = fonttest::Bake(16);
    auto members = fonttest::FontMembers(baked, "Images\\sans", fontbaker::EForm::RgbaPng);
    members.push_back(Strip2x("btn", 40, 20, {kIdle}));
    mediatest::TImage picture = mediatest::MakeImage(64, 32, {255, 0, 0, 255});
    for (int y = 0; y < 32; ++y)
        for (int x = 32; x < 64; ++x) picture.Set(x, y, {0, 255, 0, 255});
    members.push_back({"Images_2x\\wide.png", mediatest::EncodePng(picture)});
    host.SetPak(members);
    ASSERT_EQ(host.m_Sets.AddSpriteSetSingle("btn", "btn", "", 1, 1, false, false), 1);
    ASSERT_EQ(host.m_Sets.AddSpriteSetSingle("wide", "wide", "", 1, 1, false, false), 1);
    ASSERT_EQ(host.m_Layout.LoadFromUILayoutBytes("font = F\n file = sans.jpg\nend\nstyle = S\n font = F\n"
                                                  " color = 255 255 255\nend\n",
                                                  "styles.txt"),
              1);
    ASSERT_EQ(host.m_Layout.ReLoadFonts(), 1);
    auto templ = Parse(
        "button = b_one\n set = btn\nend\n"
        "button = b_text\n size = 120 30\n caption = WWWWWW\nend\n"
        "image = img_bg\n set = wide\nend\n");
    CRecorder parent(&host, nullptr);
    const auto make = [&](TWidgetMaker maker, const char* name, int x, int y) {
        WidgetContext placement;
        placement.x = static_cast<short>(x);
        placement.y = static_cast<short>(y);
        return MakeAndInitWidget(maker, &parent, templ.get(), templ->GetWidget(name), &placement);
    };
    auto* one = static_cast<XGameButton*>(make(MakeWidget<XGameButton>, "b_one", 20, 20));
    ASSERT_NE(one, nullptr);
    one->SetOneState(true);
    const auto drawn = [&](XWidget* w) {
        host.m_Screen.m_pBackBuffer->ClearBitmap(0, 0, 0);
        w->Draw();
        return gl.Read();
    };
    // Frame 0 at full size spans x 20..59 and y 20..39; at 0.9 about (40, 30), x 22..57, y 21..38.
    mediatest::TImage frame = drawn(one);
    EXPECT_GT(frame.At(21, 30)[0], 200);
    EXPECT_GT(frame.At(40, 20)[0], 200);
    one->NotifyPointerEvent(40, 30, XPOINTER_PRESS);
    frame = drawn(one);
    EXPECT_LT(frame.At(20, 30)[0], 40) << "shrunk off the left edge";
    EXPECT_LT(frame.At(40, 20)[0], 40) << "and off the top";
    EXPECT_GT(frame.At(24, 30)[0], 200) << "frame 0 still";
    one->NotifyPointerEvent(40, 30, XPOINTER_RELEASE);
    one->Hide();

    // The pressed caption keeps its centre and shrinks to 0.9.
    auto* text = static_cast<XGameButton*>(make(MakeWidget<XGameButton>, "b_text", 20, 40));
    ASSERT_NE(text, nullptr);
    struct TBox {
        int left = 1 << 20, right = -1, top = 1 << 20, bottom = -1;
    };
    const auto litBox = [&](const mediatest::TImage& img) {
        TBox box;
        for (int y = 0; y < kSh; ++y)
            for (int x = 0; x < kSw; ++x)
                if (img.At(x, y)[0] > 128) {
                    box.left = std::min(box.left, x);
                    box.right = std::max(box.right, x);
                    box.top = std::min(box.top, y);
                    box.bottom = std::max(box.bottom, y);
                }
        return box;
    };
    const TBox idle = litBox(drawn(text));
    ASSERT_GT(idle.right, idle.left) << "the caption is drawn";
    text->NotifyPointerEvent(80, 55, XPOINTER_PRESS);
    const TBox pressed = litBox(drawn(text));
    text->NotifyPointerEvent(80, 55, XPOINTER_RELEASE);
    const int idleWidth = idle.right - idle.left + 1;
    const int pressedWidth = pressed.right - pressed.left + 1;
    EXPECT_NEAR(pressedWidth, idleWidth * 0.9, 3.0);
    EXPECT_LT(pressedWidth, idleWidth);
    EXPECT_NEAR(pressed.left + pressed.right, idle.left + idle.right, 3) << "the same centre";
    EXPECT_NEAR(pressed.top + pressed.bottom, idle.top + idle.bottom, 3);
    text->Hide();

    // 160 x 96 from 32 x 16: 192 x 96 starting at x -16; the colours meet at x 80.
    XWidget* background = make(MakeWidget<XGameStretchImage>, "img_bg", 5, 7);
    ASSERT_NE(background, nullptr);
    frame = drawn(background);
    EXPECT_TRUE(mediatest::Near(frame.At(1, 1), 255, 0, 0, 8));
    EXPECT_TRUE(mediatest::Near(frame.At(78, 94), 255, 0, 0, 8));
    EXPECT_TRUE(mediatest::Near(frame.At(82, 1), 0, 255, 0, 8));
    EXPECT_TRUE(mediatest::Near(frame.At(158, 94), 0, 255, 0, 8));
    parent.DeleteAllChildWidgets();
    host.m_pRotatorScaler = nullptr;
}

}  // namespace

namespace {

// A background of 32 x 48 logical pixels (a double-resolution file) in four quarters.
constexpr TRgba kTopLeft{255, 0, 0, 255}, kTopRight{0, 255, 0, 255};
constexpr TRgba kBottomLeft{0, 0, 255, 255}, kBottomRight{255, 255, 255, 255};

struct TCoverCase {
    const char* why;
    int w, h;            // the screen
    int splitX, splitY;  // where the picture's quarters meet on it, worked out by hand
};

// The cover rule by hand: scale = the larger of w / 32 and h / 48; the scaled picture is centred.
//   taller, 32 x 64:  42 x 64 (64 x 32 / 48, whole pixels) at x -5: quarters meet at x 16, y 32
//   wider, 48 x 48:   48 x 72 at y -12: x 24, y 24
//   both, 48 x 60:    48 x 72 (the width decides: 48 / 32 > 60 / 48) at y -6: x 24, y 30
//   the same, 32 x 48: drawn as it is at the widget's place (0, 0): x 16, y 24
const TCoverCase kCoverCases[] = {
    {"a taller screen crops the sides", 32, 64, 16, 32},
    {"a wider screen crops top and bottom", 48, 48, 24, 24},
    {"wider and taller: the width decides", 48, 60, 24, 30},
    {"a screen of the picture's size", 32, 48, 16, 24},
};

}  // namespace

TEST(GameDrawTest, TheStretchedBackgroundCoversEveryScreenShapeWithoutABlankStrip) {
    mediatest::TImage picture = mediatest::MakeImage(64, 96, kTopLeft);
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 64; ++x)
            picture.Set(x, y, y < 48 ? (x < 32 ? kTopLeft : kTopRight) : (x < 32 ? kBottomLeft : kBottomRight));
    for (const TCoverCase& c : kCoverCases) {
        SCOPED_TRACE(c.why);
        mediatest::CHeadlessGl gl(c.w, c.h);
        if (!gl.IsValid()) GTEST_SKIP() << "no headless EGL / GLES1 here";
        CScreenHost host;
        host.m_RenderSwitches.m_bReleasePixelsAfterUpload = true;
        host.MakeGlScreen(c.w, c.h);
        host.SetPak({{"Images_2x\\quarters.png", mediatest::EncodePng(picture)}});
        ASSERT_EQ(host.m_Sets.AddSpriteSetSingle("quarters", "quarters", "", 1, 1, false, false), 1);
        auto templ = Parse("image = img_bg\n set = quarters\nend\n");
        CRecorder parent(&host, nullptr);
        WidgetContext placement;
        XWidget* background = MakeAndInitWidget(MakeWidget<XGameStretchImage>, &parent, templ.get(),
                                                templ->GetWidget("img_bg"), &placement);
        ASSERT_NE(background, nullptr);
        host.m_Screen.m_pBackBuffer->ClearBitmap(0, 0, 0);
        background->Draw();
        const mediatest::TImage frame = gl.Read();
        const auto is = [&](int x, int y, TRgba colour) {
            return mediatest::Near(frame.At(x, y), colour[0], colour[1], colour[2], 8);
        };
        // Each corner of the screen, and both sides of each seam.
        const int r = c.w - 1, b = c.h - 1;
        EXPECT_TRUE(is(0, 0, kTopLeft));
        EXPECT_TRUE(is(r, 0, kTopRight));
        EXPECT_TRUE(is(0, b, kBottomLeft));
        EXPECT_TRUE(is(r, b, kBottomRight));
        EXPECT_TRUE(is(c.splitX - 2, 1, kTopLeft));
        EXPECT_TRUE(is(c.splitX + 1, 1, kTopRight));
        EXPECT_TRUE(is(1, c.splitY - 2, kTopLeft));
        EXPECT_TRUE(is(1, c.splitY + 1, kBottomLeft));
        EXPECT_TRUE(is(r - 1, c.splitY + 1, kBottomRight));
        parent.DeleteAllChildWidgets();
    }
}
