// Where the demo game object draws, in the back buffer's logical pixels (the game is 320 pixels
// wide; everything stays within the top 480 rows, which every portrait display has). The
// whole-program test reads the same places in the dumped frames.
#pragma once

namespace demo {

struct TRect {
    int x, y, w, h;
};
struct TColour {
    int r, g, b;
};

// Cleared every frame to (5 x updates mod 256, 3 x updates mod 256, 200).
constexpr int kBackgroundBlue = 200;

// A plain opaque fill.
constexpr TRect kFillRect{20, 20, 120, 60};
constexpr TColour kFillColour{255, 128, 0};

// A vertical gradient from the top colour to the bottom colour.
constexpr TRect kGradientRect{180, 20, 120, 120};
constexpr TColour kGradientTop{255, 0, 0};
constexpr TColour kGradientBottom{0, 0, 255};

// Two opaque lines: one across at kLineY from kLineX0 to kLineX1, one down at kLineX from
// kLineY0 to kLineY1.
constexpr int kLineY = 200, kLineX0 = 20, kLineX1 = 300;
constexpr int kLineX = 60, kLineY0 = 230, kLineY1 = 330;
constexpr TColour kLineColour{255, 255, 0};

// A 32 x 32 sprite of four 16 x 16 quadrants (top-left red, top-right green, bottom-left blue,
// bottom-right white) drawn by the rotator with its centre on kSpinCentre, turned clockwise by
// kSpinDegreesPerUpdate x updates degrees.
constexpr int kSpriteSide = 32;
constexpr int kSpinCentreX = 200, kSpinCentreY = 300;
constexpr int kSpinDegreesPerUpdate = 3;

// While the first finger is down, a white square of this side centred under it.
constexpr int kMarkSide = 24;

}  // namespace demo
