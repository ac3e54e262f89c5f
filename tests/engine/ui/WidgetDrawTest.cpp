// Pixels of drawn widgets: an image, a button in its three frames, a styled text, a progress bar,
// a 3 x 3 tiled background and a slider, drawn into a software back buffer, and the same tree
// drawn through OpenGL ES on a headless context, compared at a few points. Colours come from the
// fixture images.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "WidgetFixtures.h"
#include "render/DibBitmap.h"
#include "render/GlesGlobals.h"
#include "render/WinDibBitmapOGLES.h"
#include "text/BitmapFont.h"
#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/Image.h"
#include "ui/Progress.h"
#include "ui/Text.h"
#include "ui/TiledBG.h"
#include "ui/Tuner.h"
#include "ui/WidgetFactory.h"

namespace {

using namespace widgettest;

constexpr TRgba kRed{255, 0, 0, 255};
constexpr TRgba kGreen{0, 255, 0, 255};
constexpr TRgba kBlue{0, 0, 255, 255};
// The nine tiles, row by row.
const std::vector<TRgba> kTiles = {{255, 0, 0, 255},     {0, 255, 0, 255},   {0, 0, 255, 255},
                                   {255, 255, 0, 255},   {255, 0, 255, 255}, {0, 255, 255, 255},
                                   {255, 255, 255, 255}, {255, 128, 0, 255}, {0, 128, 255, 255}};

std::uint16_t Rgb565(const TRgba& c) { return PackRGB565(c[0], c[1], c[2]); }

// The tree of every widget kind drawn here, under a recording parent.
class CDrawTree {
public:
    static constexpr int kW = 240;
    static constexpr int kH = 120;

    explicit CDrawTree(CUiHost& host) : m_Host(host) {
        host.SetPak({Strip2x("pic", 20, 10, {kRed}), Strip2x("btn3", 20, 10, {kRed, kGreen, kBlue}),
                     Strip2x("empty", 200, 6, {kBlue}), Strip2x("full", 200, 6, {kGreen}),
                     Strip2x("tiles", 4, 4, kTiles)});
        for (auto [name, frames] :
             std::vector<std::pair<const char*, int>>{{"pic", 1}, {"btn3", 3}, {"empty", 1}, {"full", 1}, {"tiles", 9}})
            EXPECT_EQ(host.m_Sets.AddSpriteSetSingle(name, name, "", frames, frames, false, false), 1);
        m_Template = Parse(
            "image = img\n set = pic\nend\n"
            "button = btn\n set = btn3\nend\n"
            "progress = bar\n set_empty = empty\n set_full = full\nend\n"
            "tiledBG = tiles\n single_set = yes\n center = tiles\n own_tiles = 2, 1\nend\n");
        m_ParentRecord.name = "dlg";
        m_Parent = std::make_unique<CRecorder>(&host, &m_ParentRecord);
        image = Make<XImage>("img", 0, 0);
        bar = Make<XProgress>("bar", 0, 60);
        tiles = Make<XTiledBG>("tiles", 100, 20);
        button = Make<XButton>("btn", 40, 0);
    }
    ~CDrawTree() { m_Parent->DeleteAllChildWidgets(); }

    template <class T>
    T* Make(const char* name, int x, int y) {
        WidgetContext placement;
        placement.x = static_cast<short>(x);
        placement.y = static_cast<short>(y);
        XWidget* w =
            CreateAndInitLeafWidget(m_Parent.get(), m_Template.get(), m_Template->GetWidget(name), &placement, 1, 1);
        EXPECT_NE(w, nullptr) << name;
        return dynamic_cast<T*>(w);
    }
    CRecorder& Parent() { return *m_Parent; }

    XImage* image = nullptr;
    XButton* button = nullptr;
    XProgress* bar = nullptr;
    XTiledBG* tiles = nullptr;

private:
    CUiHost& m_Host;
    std::unique_ptr<TTemplate> m_Template;
    TWidget m_ParentRecord;
    std::unique_ptr<CRecorder> m_Parent;
};

// Widgets of one template made one at a time under a recording parent, each placed at (x, y);
// the parent deletes them when the holder goes.
class CLooseWidgets {
public:
    CLooseWidgets(CUiHost& host, const std::string& templ) : m_Template(Parse(templ)), m_Parent(&host, &m_Record) {}
    ~CLooseWidgets() { m_Parent.DeleteAllChildWidgets(); }
    // The live widget of the named record, null when it cannot be made; a tiled background
    // repeats its middle column and row tilesX and tilesY times.
    template <class T = XWidget>
    T* Make(const char* name, int x, int y, int tilesX = 1, int tilesY = 1) {
        WidgetContext placement;
        placement.x = static_cast<short>(x);
        placement.y = static_cast<short>(y);
        return dynamic_cast<T*>(CreateAndInitLeafWidget(&m_Parent, m_Template.get(), m_Template->GetWidget(name),
                                                        &placement, tilesX, tilesY));
    }
    CRecorder& Parent() { return m_Parent; }

private:
    std::unique_ptr<TTemplate> m_Template;
    TWidget m_Record;
    CRecorder m_Parent;
};

// Where each tile of the 2 x 1 grid at (100, 20) lands: column and row of the 4 x 4 cells.
struct TTileSpot {
    int x, y, tile;
};
const TTileSpot kTileSpots[] = {
    {101, 21, 0}, {105, 21, 1}, {109, 21, 1}, {113, 21, 2},  // top row: corner, top twice, corner
    {101, 25, 3}, {105, 25, 4}, {109, 25, 4}, {113, 25, 5},  // the middle row once
    {101, 29, 6}, {105, 29, 7}, {109, 29, 7}, {113, 29, 8},
};

TEST(WidgetDrawTest, SoftwareBackBuffer) {
    CUiHost host;
    host.MakeSoftScreen(CDrawTree::kW, CDrawTree::kH);
    CDrawTree tree(host);
    ASSERT_NE(tree.button, nullptr);
    tree.bar->SetPercent(50);
    EXPECT_EQ(tree.bar->GetProgress(), 128);
    EXPECT_EQ(tree.bar->GetFillWidth(), 100) << "half of the 200-pixel full image";
    tree.Parent().Draw();

    EXPECT_EQ(host.Pixel(0, 0), Rgb565(kRed)) << "image";
    EXPECT_EQ(host.Pixel(19, 9), Rgb565(kRed));
    EXPECT_EQ(host.Pixel(20, 10), 0) << "nothing past the image";
    EXPECT_EQ(host.Pixel(50, 5), Rgb565(kGreen)) << "the focused button shows frame 1";
    EXPECT_EQ(host.Pixel(50, 62), Rgb565(kGreen)) << "filled half";
    EXPECT_EQ(host.Pixel(99, 62), Rgb565(kGreen));
    EXPECT_EQ(host.Pixel(100, 62), Rgb565(kBlue)) << "empty half";
    EXPECT_EQ(host.Pixel(199, 65), Rgb565(kBlue));
    for (const TTileSpot& s : kTileSpots) EXPECT_EQ(host.Pixel(s.x, s.y), Rgb565(kTiles[s.tile])) << s.x << "," << s.y;
    EXPECT_EQ(host.Pixel(117, 21), 0) << "the grid is 16 wide";
    EXPECT_EQ(host.Pixel(101, 33), 0) << "and 12 high";

    // The button's other frames: idle when another child has the focus, pressed while held.
    tree.Parent().SetFocus(tree.image);
    tree.Parent().Draw();
    EXPECT_EQ(host.Pixel(50, 5), Rgb565(kRed));
    tree.button->NotifyPointerEvent(50, 5, XPOINTER_PRESS);
    tree.Parent().Draw();
    EXPECT_EQ(host.Pixel(50, 5), Rgb565(kBlue));
    // While fading in it shows frame 0 at its opacity, focused or not.
    tree.button->NotifyPointerEvent(50, 5, XPOINTER_RELEASE);
    host.m_Screen.m_pBackBuffer->ClearBitmap(0, 0, 0);
    tree.button->SheduleCreateWithEffect(0, 256);
    for (int tick = 0; tick < 16; ++tick) tree.button->RunProcess();  // about half way in
    tree.Parent().SetFocus(tree.button);
    tree.Parent().Draw();
    const std::uint16_t faded = host.Pixel(50, 5);
    EXPECT_EQ(Green6(faded), 0) << "frame 0, not the focused frame";
    EXPECT_GT(Red5(faded), 0);
    EXPECT_LT(Red5(faded), 31) << "blended at its opacity";
}

TEST(WidgetDrawTest, StyledTextMatchesTheFontDrawnByHand) {
    CUiHost host;
    const fontbaker::TBakedFont baked = fonttest::Bake(12);
    auto members = fonttest::FontMembers(baked, "Images\\sans", fontbaker::EForm::RgbaPng);
    host.SetPak(members);
    const std::string styles =
        "font = Small\n file = sans.jpg\nend\n"
        "style = Body\n font = Small\n color = 255 255 0\n effect = shadow\nend\n";
    ASSERT_EQ(host.m_Layout.LoadFromUILayoutBytes(styles, "styles.txt"), 1);
    ASSERT_EQ(host.m_Layout.ReLoadFonts(), 1);
    CBitmapFontText* font = host.m_Layout.GetDefaultFont()->font;
    ASSERT_NE(font, nullptr);
    host.MakeSoftScreen(120, 40);
    CLooseWidgets widgets(host, "text = t\n caption = \"Hi there\"\nend\n");
    ASSERT_NE(widgets.Make("t", 7, 9), nullptr);
    widgets.Parent().Draw();

    CWinDibBitmap reference(&host);
    ASSERT_EQ(reference.Create(120, 40), 1);
    reference.ClearBitmap(0, 0, 0);
    font->TextOut(&reference, 7, 9, "Hi there", 255, 255, 0, kTextEffectShadow, 255, nullptr);
    const auto* want = reinterpret_cast<const std::uint16_t*>(reference.GetBits());
    int lit = 0;
    int notYellow = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x) {
            const std::uint16_t p = host.Pixel(x, y);
            ASSERT_EQ(p, want[y * 120 + x]) << x << "," << y;
            if (p == 0) continue;
            ++lit;
            if (Blue5(p) != 0 || std::abs(2 * Red5(p) - Green6(p)) > 4) ++notYellow;
        }
    EXPECT_GT(lit, 20) << "the caption is drawn";
    EXPECT_EQ(notYellow, 0) << "in the style's yellow: no blue, red and green alike (within the blend's rounding)";
}

TEST(WidgetDrawTest, HeadlessGlMatchesAtSamplePoints) {
    mediatest::CHeadlessGl gl(CDrawTree::kW, CDrawTree::kH);
    if (!gl.IsValid()) GTEST_SKIP() << "no headless EGL / GLES1 here";
    CUiHost host;
    host.m_RenderSwitches.m_bReleasePixelsAfterUpload = true;
    host.MakeGlScreen(CDrawTree::kW, CDrawTree::kH);
    CDrawTree tree(host);
    ASSERT_NE(tree.button, nullptr);
    tree.bar->SetPercent(50);
    host.m_Screen.m_pBackBuffer->ClearBitmap(0, 0, 0);
    tree.Parent().Draw();
    const mediatest::TImage frame = gl.Read();
    // The screen holds RGB565 textures' colours: compare in that precision.
    const auto at = [&frame](int x, int y) {
        const auto p = frame.At(x, y);
        return PackRGB565(p[0], p[1], p[2]);
    };
    EXPECT_EQ(at(5, 5), Rgb565(kRed)) << "image";
    EXPECT_EQ(at(50, 5), Rgb565(kGreen)) << "focused button";
    EXPECT_EQ(at(50, 62), Rgb565(kGreen)) << "filled half";
    EXPECT_EQ(at(150, 62), Rgb565(kBlue)) << "empty half";
    for (const TTileSpot& s : kTileSpots) EXPECT_EQ(at(s.x, s.y), Rgb565(kTiles[s.tile])) << s.x << "," << s.y;
    EXPECT_EQ(at(117, 21), 0);
}

// The slider's three images: the filled part up to the handle, the track beyond it, the handle
// centred on the handle position. A 40 x 6 track with 4 pixels kept free at each end slides over
// 32 pixels; at value 50 of 100 the handle stands 16 into them, 20 from the track's start.
TEST(WidgetDrawTest, TunerDrawsFillTrackAndHandleAtItsValue) {
    CUiHost host;
    host.SetPak({Strip2x("track", 40, 6, {kBlue}), Strip2x("fill", 40, 6, {kGreen}), Strip2x("knob", 4, 4, {kRed})});
    for (const char* name : {"track", "fill", "knob"})
        ASSERT_EQ(host.m_Sets.AddSpriteSetSingle(name, name, "", 1, 1, false, false), 1);
    host.MakeSoftScreen(80, 40);
    CLooseWidgets widgets(
        host,
        "tuner = full\n tunerId = track\n fullId = fill\n handleId = knob\n offsetLeft = 4\n offsetRight = 4\nend\n"
        "tuner = bare\n tunerId = track\n handleId = knob\n offsetLeft = 4\n offsetRight = 4\nend\n");
    CRecorder& parent = widgets.Parent();
    auto* tuner = widgets.Make<XTuner>("full", 10, 20);
    ASSERT_NE(tuner, nullptr);
    tuner->SetCurrent(50);
    EXPECT_EQ(tuner->GetHandlePos(), 16);

    struct TSpot {
        int x, y;
        TRgba colour;
        const char* why;
    };
    const auto expectSpots = [&host](const std::vector<TSpot>& spots, const char* when) {
        for (const TSpot& s : spots)
            EXPECT_EQ(host.Pixel(s.x, s.y), Rgb565(s.colour)) << when << ": " << s.why << " at " << s.x << "," << s.y;
    };
    parent.Draw();
    expectSpots({{10, 20, kGreen, "fill from the track's start"},
                 {29, 25, kGreen, "fill up to 20 pixels in"},
                 {30, 20, kBlue, "track from 20 pixels in"},
                 {49, 25, kBlue, "track to its end"},
                 {28, 21, kRed, "handle's top-left: centre (30, 23) less half its 4 x 4"},
                 {31, 24, kRed, "handle's bottom-right"},
                 {32, 22, kBlue, "track right of the handle"},
                 {27, 22, kGreen, "fill left of the handle"}},
                "idle");
    EXPECT_EQ(host.Pixel(50, 22), 0) << "nothing past the track";

    host.m_Screen.m_pBackBuffer->ClearBitmap(0, 0, 0);
    tuner->NotifyPointerEvent(30, 22, XPOINTER_PRESS);  // on the handle: the value stays 50
    ASSERT_TRUE(tuner->IsDragging());
    ASSERT_EQ(tuner->GetCurrent(), 50);
    parent.Draw();
    expectSpots({{32, 25, kRed, "a dragged handle moves one pixel right and down"},
                 {28, 21, kGreen, "its old corner shows the fill"}},
                "dragging");
    tuner->NotifyPointerEvent(30, 22, XPOINTER_RELEASE);
    parent.DeleteAllChildWidgets();

    // Without a filled part the whole track is drawn from its start.
    host.m_Screen.m_pBackBuffer->ClearBitmap(0, 0, 0);
    auto* bare = widgets.Make<XTuner>("bare", 10, 20);
    ASSERT_NE(bare, nullptr);
    bare->SetCurrent(50);
    parent.Draw();
    expectSpots({{10, 20, kBlue, "the track's start"}, {27, 22, kBlue, "left of the handle"}, {28, 21, kRed, "handle"}},
                "no fill");
}

// Every pixel of the w x h software back buffer against the colour expected at it.
void ExpectPicture(const CUiHost& host, int w, int h, const std::function<TRgba(int, int)>& expected,
                   const std::string& why) {
    int bad = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint16_t want = Rgb565(expected(x, y));
            if (host.Pixel(x, y) != want && ++bad <= 3)
                ADD_FAILURE() << why << ": (" << x << ", " << y << ") is " << host.Pixel(x, y) << ", expected " << want;
        }
}

struct TRect {
    int x, y, w, h;
    bool Has(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

// A button draws the frame of its state centred on itself; a state frame its set lacks falls back
// to frame 0 (a 2-frame button pressed). A check box draws the frame of its state from the ticked
// image when checked, the last frame for one the image lacks, at its top-left corner, one pixel
// right and down while pressed.
TEST(WidgetDrawTest, ButtonAndCheckBoxFramesAndThePressedShift) {
    constexpr TRgba kBlack{0, 0, 0, 255};
    constexpr TRgba kYellow{255, 255, 0, 255};
    constexpr TRgba kCyan{0, 255, 255, 255};
    CUiHost host;
    host.SetPak({Strip2x("btn2", 20, 10, {kRed, kGreen}), Strip2x("box", 12, 12, {kRed, kGreen, kBlue}),
                 Strip2x("tick", 12, 12, {kYellow, kCyan})});
    for (auto [name, frames] : std::vector<std::pair<const char*, int>>{{"btn2", 2}, {"box", 3}, {"tick", 2}})
        ASSERT_EQ(host.m_Sets.AddSpriteSetSingle(name, name, "", frames, frames, false, false), 1);
    enum class EState { Focused, Unfocused, Pressed };
    const struct {
        const char* record;
        bool checked;
        EState state;
        TRect drawn;
        TRgba colour;
        const char* why;
    } cases[] = {
        {"b2", false, EState::Focused, {10, 10, 20, 10}, kGreen, "2-frame button focused: frame 1"},
        {"b2", false, EState::Unfocused, {10, 10, 20, 10}, kRed, "2-frame button idle: frame 0"},
        {"b2", false, EState::Pressed, {10, 10, 20, 10}, kRed, "2-frame button pressed: no frame 2, so frame 0"},
        {"chk", false, EState::Focused, {40, 10, 12, 12}, kGreen, "box focused: frame 1"},
        {"chk", false, EState::Pressed, {41, 11, 12, 12}, kBlue, "box pressed: frame 2, a pixel right and down"},
        {"chk", true, EState::Unfocused, {40, 10, 12, 12}, kYellow, "ticked idle: the tick's frame 0"},
        {"chk", true, EState::Focused, {40, 10, 12, 12}, kCyan, "ticked focused: the tick's frame 1"},
        {"chk", true, EState::Pressed, {41, 11, 12, 12}, kCyan, "ticked pressed: the tick's last frame, shifted"},
    };
    for (const auto& c : cases) {
        host.MakeSoftScreen(80, 40);
        CLooseWidgets widgets(host,
                              "button = b2\n set = btn2\nend\n"
                              "checkBox = chk\n set = box\n set_checked = tick\nend\n"
                              "image = elsewhere\nend\n");
        const bool box = std::string(c.record) == "chk";
        XButton* widget = widgets.Make<XButton>(c.record, box ? 40 : 10, 10);
        ASSERT_NE(widget, nullptr) << c.why;
        if (box) dynamic_cast<XCheckBox*>(widget)->Check(c.checked);
        if (c.state == EState::Unfocused) widgets.Parent().SetFocus(widgets.Make("elsewhere", 0, 0));
        if (c.state == EState::Pressed) widget->NotifyPointerEvent(box ? 45 : 20, 15, XPOINTER_PRESS);
        widgets.Parent().Draw();
        ExpectPicture(
            host, 80, 40, [&](int x, int y) { return c.drawn.Has(x, y) ? c.colour : kBlack; }, c.why);
        if (c.state == EState::Pressed) widget->NotifyPointerEvent(0, 0, XPOINTER_RELEASE);
    }
}

// A one-frame image whose pixel (x, y) is at(x, y). It has no double-resolution twin: the 1x file
// is what loads, so the stored pixels are the ones drawn on the 1x test screen.
std::pair<std::string, Bytes> Picture(const std::string& name, int w, int h, const std::function<TRgba(int, int)>& at) {
    mediatest::TImage img = mediatest::MakeImage(w, h, {0, 0, 0, 255});
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.Set(x, y, at(x, y));
    return {"Images\\" + name + ".png", mediatest::EncodePng(img)};
}

// The slider along either axis at its ends and in the middle. Track and fill are shaded along the
// axis, so each drawn pixel tells which of their columns it came from: the fill's first P pixels
// (P = the handle position, the offset at the start included) with the track's thickness, though
// the fill image is thicker; the track from P to its end, from its own column P on; the handle
// centred on P across the middle of the track, one pixel right and down while dragged.
TEST(WidgetDrawTest, TunerPicturesAlongEitherAxis) {
    constexpr TRgba kBlack{0, 0, 0, 255};
    constexpr TRgba kWhite{255, 255, 255, 255};
    constexpr int kX = 10, kY = 4, kLength = 40, kThickness = 6, kFillThickness = 8, kOffset = 4;
    const auto trackAt = [](int along) { return TRgba{248, static_cast<std::uint8_t>(along << 2), 0, 255}; };
    const auto fillAt = [](int along) { return TRgba{0, static_cast<std::uint8_t>(along << 2), 248, 255}; };
    CUiHost host;
    host.SetPak({Picture("track", kLength, kThickness, [&](int x, int) { return trackAt(x); }),
                 Picture("fill", kLength, kFillThickness, [&](int x, int) { return fillAt(x); }),
                 Picture("vtrack", kThickness, kLength, [&](int, int y) { return trackAt(y); }),
                 Picture("vfill", kFillThickness, kLength, [&](int, int y) { return fillAt(y); }),
                 Strip2x("knob", 4, 4, {kWhite})});
    for (const char* name : {"track", "fill", "vtrack", "vfill", "knob"})
        ASSERT_EQ(host.m_Sets.AddSpriteSetSingle(name, name, "", 1, 1, false, false), 1);
    // "h" and "v" keep 4 pixels free at each end and have a handle; "hn" and "vn" have neither, so
    // at 98 the track shows its last pixel alone.
    const struct {
        const char* record;
        int value;
        bool dragged;
    } cases[] = {{"h", 0, false},   {"h", 50, false},   {"h", 100, false}, {"h", 50, true},
                 {"v", 0, false},   {"v", 50, false},   {"v", 100, false}, {"v", 50, true},
                 {"hn", 98, false}, {"hn", 100, false}, {"vn", 98, false}, {"vn", 0, false}};
    for (const auto& c : cases) {
        const bool vertical = c.record[0] == 'v', handle = c.record[1] == '\0';
        const int offset = handle ? kOffset : 0;
        const std::string why =
            std::string(c.record) + " at " + std::to_string(c.value) + (c.dragged ? ", dragged" : "");
        host.MakeSoftScreen(60, 50);
        CLooseWidgets widgets(host,
                              "tuner = h\n tunerId = track\n fullId = fill\n handleId = knob\n offsetLeft = 4\n "
                              "offsetRight = 4\nend\n"
                              "tuner = v\n tunerId = vtrack\n fullId = vfill\n handleId = knob\n vertical\n "
                              "offsetLeft = 4\n offsetRight = 4\nend\n"
                              "tuner = hn\n tunerId = track\n fullId = fill\nend\n"
                              "tuner = vn\n tunerId = vtrack\n fullId = vfill\n vertical\nend\n");
        auto* tuner = widgets.Make<XTuner>(c.record, kX, kY);
        ASSERT_NE(tuner, nullptr) << why;
        tuner->SetCurrent(c.value);
        // The pixels to slide over lie between the offsets.
        const int p = offset + c.value * (kLength - 2 * offset) / 100;
        if (c.dragged) {
            const int at = (vertical ? kY : kX) + p;
            tuner->NotifyPointerEvent(vertical ? kX : at, vertical ? at : kY, XPOINTER_PRESS);
            ASSERT_EQ(tuner->GetCurrent(), c.value) << why;
        }
        widgets.Parent().Draw();
        const int shift = c.dragged ? 1 : 0;
        ExpectPicture(
            host, 60, 50,
            [&](int x, int y) {
                // Along and across the axis, from the tuner's corner.
                const int along = vertical ? y - kY : x - kX, across = vertical ? x - kX : y - kY;
                // The 4 x 4 handle's corner: P and the track's middle less half the handle.
                const int inHandleAlong = along - (p - 2 + shift),
                          inHandleAcross = across - (kThickness / 2 - 2 + shift);
                if (handle && inHandleAlong >= 0 && inHandleAlong < 4 && inHandleAcross >= 0 && inHandleAcross < 4)
                    return kWhite;
                if (across < 0 || across >= kThickness || along < 0 || along >= kLength) return kBlack;
                return along < p ? fillAt(along) : trackAt(along);
            },
            why);
        if (c.dragged) tuner->NotifyPointerEvent(0, 0, XPOINTER_RELEASE);
    }
}

// A background of only a centre tile repeats it once for every pair of a column repeat and a row
// repeat (here the dialog's 3 and 2), and with a repeat count of 0 leaves it out altogether.
TEST(WidgetDrawTest, CentreOnlyTiledBackgroundRepeatsItsCentre) {
    CUiHost host;
    host.SetPak({Strip2x("mid", 5, 4, {kGreen})});
    ASSERT_EQ(host.m_Sets.AddSpriteSetSingle("mid", "mid", "", 1, 1, false, false), 1);
    CLooseWidgets widgets(host, "tiledBG = bg\n center = mid\nend\n");
    struct TCase {
        int columns, rows;
        int width, height;  // of the drawn grid
    } const cases[] = {{3, 2, 15, 8}, {1, 1, 5, 4}, {0, 2, 0, 0}, {2, 0, 0, 0}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.columns << " x " << c.rows);
        host.MakeSoftScreen(30, 20);
        XWidget* bg = widgets.Make("bg", 2, 3, c.columns, c.rows);
        ASSERT_NE(bg, nullptr);
        widgets.Parent().Draw();
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 30; ++x) {
                const bool inside = x >= 2 && x < 2 + c.width && y >= 3 && y < 3 + c.height;
                ASSERT_EQ(host.Pixel(x, y), inside ? Rgb565(kGreen) : 0) << x << "," << y;
            }
        if (c.width > 0) {
            EXPECT_EQ(bg->GetSize().width, c.width);
            EXPECT_EQ(bg->GetSize().height, c.height);
        }
        widgets.Parent().DeleteAllChildWidgets();
    }
}

}  // namespace
