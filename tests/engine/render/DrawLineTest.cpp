// Anti-aliased software lines into the back buffer, and the hand-over to the GL renderer.
#include "render/DrawLine.h"

#include <gtest/gtest.h>

#include <vector>

#include "SoftBitmapFixtures.h"

using namespace soft_test;

namespace {

constexpr int kW = 20, kH = 12;

struct TLineFixture {
    CSoftTestGame game;
    std::unique_ptr<CWinDibBitmap> back = MakeCanvas(kW, kH, 0);
    TLineFixture() { game.m_Screen.m_pBackBuffer = back.get(); }
    ~TLineFixture() { game.m_Screen.m_pBackBuffer = nullptr; }
};

// c + (coverage * (k - c) >> 8) on one 565 field, as the line blends.
int Mix(int c, int k, int coverage) { return c + ((coverage * (k - c)) >> 8); }

}  // namespace

TEST(DrawLineSoftware, DiagonalLineIsThreePixelsAcrossWithFractionalCoverage) {
    TLineFixture f;
    EXPECT_EQ(DrawLine_AA(&f.game, 2, 2, 12, 7, 255, 255, 255, 40, 240), 0);
    // Major axis x over 10 steps; the row advances half a pixel a step, the alpha 20 a step.
    std::vector<std::uint16_t> want(kW * kH, 0);
    for (int i = 0; i <= 10; ++i) {
        const int x = 2 + i;
        const int minor16 = (2 << 16) + 32768 * i;
        const int row = minor16 >> 16, fraction = (minor16 >> 8) & 255;
        const int a = 40 + 20 * i;
        auto put = [&](int y, int cov) {
            if (cov > 0) {
                want[y * kW + x] = Rgb(Mix(0, 31, cov), Mix(0, 63, cov), Mix(0, 31, cov));
            }
        };
        put(row - 1, ((256 - fraction) * a) >> 8);
        put(row, a);
        put(row + 1, (fraction * a) >> 8);
    }
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            EXPECT_EQ(PixelAt(f.back.get(), x, y), want[y * kW + x]) << x << "," << y;
        }
    }
}

TEST(DrawLineSoftware, SteepLineWalksTheRowsFromItsUpperEnd) {
    TLineFixture f;
    // Given bottom end first: the walk starts at the top, with the alphas swapped to match.
    DrawLine_AA(&f.game, 7, 10, 3, 2, 0, 255, 0, 200, 40);
    std::vector<std::uint16_t> want(kW * kH, 0);
    for (int i = 0; i <= 8; ++i) {
        const int y = 2 + i;
        const int minor16 = (3 << 16) + 32768 * i;  // half a column a row
        const int column = minor16 >> 16, fraction = (minor16 >> 8) & 255;
        const int a = 40 + 20 * i;
        auto put = [&](int x, int cov) {
            if (cov > 0) {
                want[y * kW + x] = Rgb(0, Mix(0, 63, cov), 0);
            }
        };
        put(column - 1, ((256 - fraction) * a) >> 8);
        put(column, a);
        put(column + 1, (fraction * a) >> 8);
    }
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            EXPECT_EQ(PixelAt(f.back.get(), x, y), want[y * kW + x]) << x << "," << y;
        }
    }
}

TEST(DrawLineSoftware, TurnedBackBufferTurnsTheEndPoints) {
    // Mode 1 stores seen (x, y) at column y, row (stored rows - 1 - x): a seen horizontal line
    // becomes two stored columns.
    TLineFixture f;
    f.back->SetOrientaionMode(1);
    DrawLine_AA(&f.game, 1, 4, 6, 4, 0, 0, 255, 255, 255);
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            const bool on = (x == 4 || x == 5) && y >= kH - 1 - 6 && y <= kH - 1 - 1;
            EXPECT_EQ(PixelAt(f.back.get(), x, y), on ? Rgb(0, 0, 31) : 0) << x << "," << y;
        }
    }
}

TEST(DrawLineSoftware, StraightLinesAreTwoPixelsThick) {
    struct TCase {
        int x0, y0, x1, y1;
        const char* why;
    };
    for (const TCase c : {TCase{9, 4, 3, 4, "horizontal, drawn from the smaller end"}, TCase{5, 2, 5, 8, "vertical"}}) {
        TLineFixture f;
        DrawLine_AA(&f.game, c.x0, c.y0, c.x1, c.y1, 255, 0, 0, 100, 7);
        const std::uint16_t red = Rgb(Mix(0, 31, 100), 0, 0);
        const bool horizontal = c.y0 == c.y1;
        for (int y = 0; y < kH; ++y) {
            for (int x = 0; x < kW; ++x) {
                bool on;
                if (horizontal) {
                    on = x >= 3 && x <= 9 && (y == 4 || y == 5);
                } else {
                    on = y >= 2 && y <= 8 && (x == 5 || x == 6);
                }
                EXPECT_EQ(PixelAt(f.back.get(), x, y), on ? red : 0) << c.why << " " << x << "," << y;
            }
        }
    }
}

TEST(DrawLineSoftware, LinesOutsideTheBufferDrawNothing) {
    struct TCase {
        int x0, y0, x1, y1;
        const char* why;
    };
    for (const TCase c : {TCase{0, -5, 15, -1, "wholly above"}, TCase{-9, 0, -1, 11, "wholly left"},
                          TCase{kW, 0, kW + 5, 8, "wholly right"}, TCase{3, kH, 9, kH + 4, "wholly below"}}) {
        TLineFixture f;
        DrawLine_AA(&f.game, c.x0, c.y0, c.x1, c.y1, 255, 255, 255, 255, 255);
        for (int i = 0; i < kW * kH; ++i) {
            ASSERT_EQ(reinterpret_cast<std::uint16_t*>(f.back->GetBits())[i], 0) << c.why;
        }
    }
    // A long line crossing the buffer stays inside it (ASan watches the edges).
    TLineFixture f;
    DrawLine_AA(&f.game, -30, -7, 50, 19, 255, 255, 255, 255, 255);
    DrawLine_AA(&f.game, 3, -40, 9, 60, 255, 255, 255, 255, 255);
}

namespace {
int g_HardwareCalls = 0;
int FakeHardwareLine(IRenderHost*, int, int, int, int, int, int, int, int, int) {
    ++g_HardwareCalls;
    return 1;
}
}  // namespace

TEST(DrawLine, GlRendererUsesTheInstalledPath) {
    TLineFixture f;
    f.game.m_RenderSwitches.m_nRendererKind = kRendererGLES;
    EXPECT_EQ(DrawLine_AA(&f.game, 0, 0, 5, 5, 255, 255, 255, 255, 255), 0) << "no path: nothing";
    SetDrawLineHardwarePath(&FakeHardwareLine);
    EXPECT_EQ(DrawLine_AA(&f.game, 0, 0, 5, 5, 255, 255, 255, 255, 255), 1);
    EXPECT_EQ(g_HardwareCalls, 1);
    SetDrawLineHardwarePath(nullptr);
    EXPECT_EQ(PixelAt(f.back.get(), 2, 2), 0) << "the back buffer is left to GL";
}
