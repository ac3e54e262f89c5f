#pragma once
// The hint overlays' suites: the screens suites' game (sprite sets from a test pak, the rotator,
// a headless OpenGL ES screen of 320 x 480) with stand-in art whose colours tell every part
// apart, and the 4 x 8 block font as the game's "FontSmall", so that texts cover exactly their
// measured width.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "../screens/ScreensTestGame.h"
#include "ui/Image.h"
#include "ui/WidgetMakers.h"

namespace overlaytest {

using mediatest::TBox;
using screenstest::Colour;

constexpr int kScreenW = 320, kScreenH = 480;
constexpr int kCellW = 4, kCellH = 8;  // the block font
constexpr int kTile = 16;              // the panel's tiles
constexpr int kClose = 32;             // the close disc

constexpr Colour kArrowTip{255, 0, 0, 255};
constexpr Colour kArrowTail{0, 255, 0, 255};
constexpr Colour kCloseColour{255, 255, 0, 255};
constexpr Colour kBlackArrowTip{255, 128, 0, 255};
constexpr Colour kBlackArrowTail{0, 0, 255, 255};
// The nine tiles, row by row: each its own colour, none of them the arrows' or the close disc's.
constexpr Colour kTileColours[9] = {{200, 40, 40, 255},  {40, 200, 40, 255},  {40, 40, 200, 255},
                                    {200, 200, 40, 255}, {40, 200, 200, 255}, {200, 40, 200, 255},
                                    {120, 60, 20, 255},  {20, 120, 60, 255},  {60, 20, 120, 255}};

// An upright arrow: its top quarter the tip colour, the rest the tail colour.
inline mediatest::TImage Arrow(int w, int h, Colour tip, Colour tail) {
    mediatest::TImage img = mediatest::MakeImage(w, h, tail);
    for (int y = 0; y < h / 4; ++y)
        for (int x = 0; x < w; ++x) img.Set(x, y, tip);
    return img;
}

class OverlayTest : public screenstest::ScreensTest {
protected:
    // Declares the overlays' sets but those named in leaveOut, and the font; false (the test
    // skips) where there is no headless GL.
    bool SetUpArt(std::initializer_list<const char*> leaveOut = {}) {
        if (!UseGl(kScreenW, kScreenH)) return false;
        const auto wanted = [&](const char* set) {
            for (const char* name : leaveOut)
                if (std::string(name) == set) return false;
            return true;
        };
        if (wanted("tutorial_arrow")) AddImage("tutorial_arrow", Arrow(12, 20, kArrowTip, kArrowTail));
        if (wanted("tutorial_close")) AddImage("tutorial_close", screenstest::Plain(kClose, kClose, kCloseColour));
        if (wanted("tutorial_focus")) {
            // Black, with a clear 20 x 20 hole in the middle.
            mediatest::TImage focus = mediatest::MakeImage(40, 40, {0, 0, 0, 255});
            for (int y = 10; y < 30; ++y)
                for (int x = 10; x < 30; ++x) focus.Set(x, y, {0, 0, 0, 0});
            AddImage("tutorial_focus", focus);
        }
        if (wanted("tutorial_tiledbg")) {
            mediatest::TImage sheet = mediatest::MakeImage(3 * kTile, 3 * kTile, {0, 0, 0, 255});
            for (int y = 0; y < 3 * kTile; ++y)
                for (int x = 0; x < 3 * kTile; ++x) sheet.Set(x, y, kTileColours[(y / kTile) * 3 + x / kTile]);
            AddSheet("tutorial_tiledbg", sheet, 9, 3);
        }
        if (wanted("tutorial_black_arrow"))
            AddImage("tutorial_black_arrow", Arrow(8, 16, kBlackArrowTip, kBlackArrowTail));
        AddBlockFont("block_small", kCellW, kCellH, kGameFontSmall);
        Mount();
        return !HasFatalFailure();
    }
    // An image widget of w x h at (x, y) on the screen, for an overlay to point at; the game
    // owns it.
    XWidget* MakeTarget(int x, int y, int w, int h) {
        ReadTemplate("image = img_target\n size = " + std::to_string(w) + " " + std::to_string(h) + "\nend\n");
        WidgetContext placement;
        placement.x = static_cast<short>(x);
        placement.y = static_cast<short>(y);
        XWidget* target =
            MakeAndInitWidget(MakeWidget<XImage>, &game, templ.get(), templ->GetWidget("img_target"), &placement);
        targets.push_back(target);
        return target;
    }
    // The targets go before the game, which does not delete children that are not its screens.
    void TearDown() override {
        for (XWidget*& target : targets) SAFE_FREE_XELEMENT(target);
    }
    std::vector<XWidget*> targets;
    template <class Overlay>
    void Frames(Overlay& overlay, int n) {
        for (int i = 0; i < n; ++i) overlay.RunProcess();
    }
    // The overlay drawn over a screen cleared to one grey level, read back.
    template <class Overlay>
    mediatest::TImage Drawn(Overlay& overlay, int grey = 0) {
        game.m_Screen.m_pBackBuffer->ClearBitmap(grey, grey, grey);
        overlay.Draw(game.m_Screen.m_pBackBuffer);
        return gl->Read();
    }
};

// Whether a pixel shows that colour, drawn at that alpha over black.
inline bool Shows(Colour p, Colour c, int alpha = 255, int tolerance = 24) {
    return mediatest::Near(p, c[0] * alpha / 255, c[1] * alpha / 255, c[2] * alpha / 255, tolerance);
}

}  // namespace overlaytest
