// Fills through an alpha shape, rectangles, straight lines, copies, colour keying and the colour
// adjustments of the software bitmap.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "SoftBitmapFixtures.h"

using namespace soft_test;

namespace {

std::vector<std::uint16_t> Pixels(IDibBitmap* b) {
    auto* s = static_cast<CWinDibBitmap*>(b);
    std::vector<std::uint16_t> v(s->StoredPixelCount());
    std::memcpy(v.data(), b->GetBits(), v.size() * 2);
    return v;
}

int Shape(int x, int y) { return (x * 37 + y * 91) % 256; }

}  // namespace

TEST(FillAlphaNoStretch, HalfAlphaRedOnBlackGivesHalfRed) {
    auto shape = MakeBitmap(
        1, 1, [](int, int) { return std::uint16_t{0}; }, [](int, int) { return 128; });
    auto dst = MakeCanvas(2, 2, 0);
    shape->FillAlphaNoStretch(dst.get(), 255, 0, 0, 1, 1, 0, 0, 0, 0);
    EXPECT_EQ(PixelAt(dst.get(), 1, 1), Rgb(15, 0, 0));
    EXPECT_EQ(PixelAt(dst.get(), 0, 0), 0);
}

TEST(FillAlphaNoStretch, PaintsTheColourThroughTheShapeWithFlipsAndClipping) {
    struct TCase {
        int x, y, flags, offset;
        const char* why;
    };
    const TCase cases[] = {{2, 3, 0, 0, "plain"},
                           {-3, -2, 0, 0, "clipped top-left"},
                           {9, 8, kFlipHorizontal, 0, "mirrored, clipped right"},
                           {1, 1, kFlipVertical, -60, "upside down, faded"},
                           {0, 0, 3, 40, "both flips, stronger"},
                           {0, 0, 0, -256, "below hidden draws nothing"}};
    const std::uint16_t fill = PackRGB565(200, 100, 40);
    for (const TCase& c : cases) {
        auto shape = MakeBitmap(
            7, 5, [](int, int) { return std::uint16_t{0}; }, Shape);
        auto dst = MakeBitmap(12, 10, Pattern);
        shape->FillAlphaNoStretch(dst.get(), 200, 100, 40, c.x, c.y, 0, 0, c.flags, c.offset);
        for (int Y = 0; Y < 10; ++Y) {
            for (int X = 0; X < 12; ++X) {
                int u = X - c.x, v = Y - c.y;
                std::uint16_t want = Pattern(X, Y);
                if (u >= 0 && v >= 0 && u < 7 && v < 5 && c.offset >= -255) {
                    if (c.flags & kFlipHorizontal) u = 6 - u;
                    if (c.flags & kFlipVertical) v = 4 - v;
                    const int sa = Shape(u, v), a = sa + c.offset;
                    if (sa != 0 && a > 0) {
                        want = a < 255 ? RefBlend(want, fill, a) : fill;
                    }
                }
                ASSERT_EQ(PixelAt(dst.get(), X, Y), want) << c.why << " at " << X << "," << Y;
            }
        }
    }
}

TEST(FillAlphaNoStretch, KeyedShapeFillsEveryNonKeyPixelAndStaysInsideTheDestination) {
    auto shape = MakeBitmap(6, 6, Pattern, [](int x, int y) { return x == y ? 0 : 255; });
    shape->ReplaceAlphaWithTransparentColor();
    const std::uint16_t fill = PackRGB565(0, 255, 0);
    for (int offset : {0, -100}) {
        // Placed over the bottom-right corner of a small destination: only the overlap changes.
        auto dst = MakeCanvas(4, 4, 0);
        shape->FillAlphaNoStretch(dst.get(), 0, 255, 0, 1, 2, 2, 2, kFlipHorizontal, offset);
        for (int Y = 0; Y < 4; ++Y) {
            for (int X = 0; X < 4; ++X) {
                const int u = X - 1, v = Y - 2;
                std::uint16_t want = 0;
                if (u >= 0 && v >= 0 && u != v) {  // the key sits on the diagonal; w, h, flags unused
                    const int a = 255 + offset;
                    want = a < 245 ? RefBlend(0, fill, a) : fill;
                }
                EXPECT_EQ(PixelAt(dst.get(), X, Y), want) << offset << " at " << X << "," << Y;
            }
        }
    }
    auto dst = MakeCanvas(4, 4, 7);
    shape->FillAlphaNoStretch(dst.get(), 0, 255, 0, 0, 0, 0, 0, 0, -255);
    EXPECT_EQ(PixelAt(dst.get(), 1, 0), 7);
}

TEST(FillAlphaNoStretchAdditive, SaturatesPerChannelAndDropsTheLowestGreenBit) {
    auto shape = MakeBitmap(
        3, 1, [](int, int) { return std::uint16_t{0}; }, [](int x, int) { return x == 0 ? 255 : (x == 1 ? 100 : 0); });
    auto dst = MakeBitmap(3, 1, [](int x, int) { return x == 0 ? Rgb(3, 63, 20) : Rgb(10, 21, 4); });
    shape->FillAlphaNoStretchAdditive(dst.get(), 255, 255, 255, 0, 0, 0, 0, 0, 0);
    // Full alpha: weight 15 of 16 on 31 adds 29 per five-bit channel.
    EXPECT_EQ(PixelAt(dst.get(), 0, 0), Rgb(31, 62, 31));
    // Alpha 100: weight 6 adds (6 * 31) >> 4 = 11; green is added on its upper five bits.
    EXPECT_EQ(PixelAt(dst.get(), 1, 0), Rgb(21, std::min((21 >> 1) + 11, 31) << 1, 15));
    EXPECT_EQ(PixelAt(dst.get(), 2, 0), Rgb(10, 21, 4));

    // A positive offset saturates at full weight rather than wrapping the carry test.
    auto dst2 = MakeBitmap(1, 1, [](int, int) { return Rgb(31, 0, 0); });
    auto one = MakeBitmap(
        1, 1, [](int, int) { return std::uint16_t{0}; }, [](int, int) { return 255; });
    one->FillAlphaNoStretchAdditive(dst2.get(), 255, 0, 0, 0, 0, 0, 0, 0, 200);
    EXPECT_EQ(PixelAt(dst2.get(), 0, 0), Rgb(31, 0, 0));
}

TEST(FillRectangle, ClipsAndPacksPerFormat) {
    struct TCase {
        int x, y, w, h;
        const char* why;
    };
    for (const TCase c : {TCase{2, 1, 3, 2, "inside"}, TCase{-2, -1, 4, 3, "top-left cut"},
                          TCase{5, 3, 9, 9, "bottom-right cut"}, TCase{8, 0, 2, 2, "wholly right"},
                          TCase{0, -5, 3, 5, "wholly above"}, TCase{4, 3, -2, -2, "negative size is ordered"}}) {
        auto b = MakeCanvas(8, 6, 1);
        b->FillRectangle(c.x, c.y, c.w, c.h, 255, 128, 8);
        const int x0 = std::min(c.x, c.x + c.w), x1 = std::max(c.x, c.x + c.w);
        const int y0 = std::min(c.y, c.y + c.h), y1 = std::max(c.y, c.y + c.h);
        for (int Y = 0; Y < 6; ++Y) {
            for (int X = 0; X < 8; ++X) {
                const bool in = X >= x0 && X < x1 && Y >= y0 && Y < y1;
                EXPECT_EQ(PixelAt(b.get(), X, Y), in ? PackRGB565(255, 128, 8) : 1) << c.why << X << "," << Y;
            }
        }
    }
}

TEST(FillRectangle, TurnedBitmapFillsTheRectangleAsSeen) {
    // A 4 x 3 rectangle at (1, 0) as seen, on a mode-1 bitmap seen 6 wide and 5 high.
    auto b = MakeCanvas(5, 6, 0);  // stored 5 columns x 6 rows
    b->SetOrientaionMode(1);
    b->UpdateWidthAndHeight();
    b->FillRectangle(1, 0, 4, 3, 255, 255, 255);
    for (int sy = 0; sy < 6; ++sy) {
        for (int sx = 0; sx < 5; ++sx) {
            // Stored (sx, sy) is seen (x, y) = (rows - 1 - sy, sx).
            const int x = 5 - sy, y = sx;
            const bool in = x >= 1 && x < 5 && y >= 0 && y < 3;
            EXPECT_EQ(PixelAt(b.get(), sx, sy), in ? 0xFFFF : 0) << sx << "," << sy;
        }
    }
}

TEST(DrawRectangle, OutlinesOnePixelWideAndAOneByOneIsOnePixel) {
    auto b = MakeCanvas(6, 5, 0);
    b->DrawRectangle(0, 0, 1, 1, 255, 255, 255);
    const std::vector<std::uint16_t> after = Pixels(b.get());
    EXPECT_EQ(std::count(after.begin(), after.end(), 0xFFFF), 1);
    EXPECT_EQ(PixelAt(b.get(), 0, 0), 0xFFFF);

    auto c = MakeCanvas(6, 5, 0);
    c->DrawRectangle(1, 1, 4, 3, 255, 255, 255);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 6; ++x) {
            const bool inside = x >= 1 && x <= 4 && y >= 1 && y <= 3;
            const bool edge = inside && (x == 1 || x == 4 || y == 1 || y == 3);
            EXPECT_EQ(PixelAt(c.get(), x, y), edge ? 0xFFFF : 0) << x << "," << y;
        }
    }
}

TEST(DrawLine, HorizontalAndVerticalSpansAreHalfOpenAndClamped) {
    struct TCase {
        bool horizontal;
        int from, to, at;
        int expectFirst, expectEnd;  // drawn span [first, end)
        const char* why;
    };
    const TCase cases[] = {{true, 5, 5, 2, 0, 0, "empty span"},
                           {true, -3, 2, 2, 0, 2, "clamped at the left"},
                           {true, 4, 30, 1, 4, 8, "clamped at the right"},
                           {true, 6, 2, 1, 0, 0, "reversed draws nothing"},
                           {true, 0, 8, 6, 0, 0, "row outside"},
                           {false, -2, 3, 7, 0, 3, "column clamp"},
                           {false, 1, 4, 8, 0, 0, "column outside"}};
    for (const TCase& c : cases) {
        auto b = MakeCanvas(8, 6, 0);
        if (c.horizontal) {
            b->DrawLineH(c.from, c.to, c.at, 255, 255, 255, 255);
        } else {
            b->DrawLineV(c.at, c.from, c.to, 255, 255, 255, 255);
        }
        for (int y = 0; y < 6; ++y) {
            for (int x = 0; x < 8; ++x) {
                const int along = c.horizontal ? x : y, across = c.horizontal ? y : x;
                const bool on = across == c.at && along >= c.expectFirst && along < c.expectEnd;
                EXPECT_EQ(PixelAt(b.get(), x, y), on ? 0xFFFF : 0) << c.why;
            }
        }
    }
}

TEST(DrawLine, BlendsWithAlphaAndDrawsNothingAtZero) {
    auto b = MakeBitmap(4, 1, Pattern);
    b->DrawLineH(0, 4, 0, 255, 0, 0, 100);
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(PixelAt(b.get(), x, 0), RefBlend(Pattern(x, 0), Rgb(31, 0, 0), 100));
    }
    auto c = MakeBitmap(4, 1, Pattern);
    c->DrawLineV(1, 0, 1, 255, 255, 255, 0);
    EXPECT_EQ(PixelAt(c.get(), 1, 0), Pattern(1, 0));
}

TEST(ClearBitmap, WritesTheColourEverywhere) {
    auto b = MakeBitmap(11, 3, Pattern);  // 33 pixels: blocks of eight and a remainder
    b->ClearBitmap(8, 252, 16);
    for (std::uint16_t p : Pixels(b.get())) {
        ASSERT_EQ(p, Rgb(1, 63, 2));
    }
}

TEST(CopyBitmapAndAlpha, CopyRawValuesClippedToTheDestination) {
    auto src = MakeBitmap(5, 4, Pattern, Shape);
    auto dst = MakeCanvas(6, 6, 0);
    ASSERT_EQ(dst->Create(6, 6), 1);
    dst->ClearBitmap(0, 0, 0);
    src->CopyBitmap(dst.get(), 3, -1, 0, 0);
    src->CopyAlpha(dst.get(), 3, -1, 0, 0);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) {
            const int u = x - 3, v = y + 1;
            const bool in = u >= 0 && u < 5 && v >= 0 && v < 4;
            EXPECT_EQ(PixelAt(dst.get(), x, y), in ? Pattern(u, v) : 0) << x << "," << y;
            EXPECT_EQ(AlphaAt(dst.get(), x, y), in ? Shape(u, v) : 255) << x << "," << y;
        }
    }
    // CopyAlpha needs the destination's plane.
    auto bare = MakeCanvas(2, 2, 0);
    src->CopyAlpha(bare.get(), 0, 0, 0, 0);
    EXPECT_EQ(bare->GetAlphaBits(), nullptr);
}

TEST(CopyBitmapAndAlpha, FastCopyAndWriteBitsMoveRawPixels) {
    auto src = MakeBitmap(4, 2, Pattern);
    auto dst = MakeCanvas(4, 2, 0);
    src->FastCopy(dst.get(), 2, 5, 3);
    for (int i = 0; i < 8; ++i) {
        const std::uint16_t want = (i >= 5) ? Pattern((i - 3) % 4, (i - 3) / 4) : 0;
        EXPECT_EQ(reinterpret_cast<std::uint16_t*>(dst->GetBits())[i], want) << i;
    }
    std::uint16_t data[2] = {0x1234, 0x4321};
    dst->WriteBits(1, 1, reinterpret_cast<unsigned char*>(data), 2);
    EXPECT_EQ(PixelAt(dst.get(), 1, 1), 0x1234);
    EXPECT_EQ(PixelAt(dst.get(), 2, 1), 0x4321);
    dst->WriteBits(3, 1, reinterpret_cast<unsigned char*>(data), 2);  // would run past the end
    EXPECT_EQ(PixelAt(dst.get(), 3, 1), Pattern(0, 1));               // still what FastCopy put there
    // The alpha plane takes one byte a sample under the same rules.
    auto shape = MakeBitmap(4, 2, Pattern, [](int, int) { return 0; });
    unsigned char alpha[2] = {7, 9};
    shape->WriteAlphaBits(2, 1, alpha, 2);
    const unsigned char* plane = shape->GetAlphaBits();
    EXPECT_EQ(plane[6], 7);
    EXPECT_EQ(plane[7], 9);
    EXPECT_EQ(plane[5], 0) << "the byte before the run";
    shape->WriteAlphaBits(3, 1, alpha, 2);  // would run past the end
    EXPECT_EQ(plane[7], 9);
    shape->WriteAlphaBits(-1, 1, alpha, 1);
    EXPECT_EQ(plane[3], 0) << "a negative column is refused, not wrapped into row 0";
}

TEST(ReplaceAlphaWithTransparentColor, UsesTheGamesThresholdAndKey) {
    CSoftTestGame game;
    game.m_RenderSwitches.m_nAlphaThreshold = 100;
    game.m_RenderSwitches.m_nTransparentR = 0;
    game.m_RenderSwitches.m_nTransparentG = 255;
    game.m_RenderSwitches.m_nTransparentB = 0;
    auto b = MakeBitmap(
        4, 1, Pattern, [](int x, int) { return x * 50; }, &game);
    b->ReplaceAlphaWithTransparentColor();
    EXPECT_EQ(b->GetAlphaBits(), nullptr);
    EXPECT_FALSE(b->IsAlphaExternal());
    EXPECT_EQ(b->GetTransparentColor(), PackRGB565(0, 255, 0));
    EXPECT_EQ(PixelAt(b.get(), 0, 0), PackRGB565(0, 255, 0));  // alpha 0
    EXPECT_EQ(PixelAt(b.get(), 1, 0), PackRGB565(0, 255, 0));  // alpha 50
    EXPECT_EQ(PixelAt(b.get(), 2, 0), Pattern(2, 0));          // alpha 100 is not below
    EXPECT_EQ(PixelAt(b.get(), 3, 0), Pattern(3, 0));
}

TEST(AddBrightness, ScalesEachChannelAndSaturates) {
    CSoftTestGame game;
    for (bool backBuffer : {false, true}) {
        for (int delta : {0, 64, 256}) {
            auto b = MakeBitmap(8, 4, Pattern, nullptr, &game);
            game.m_Screen.m_pBackBuffer = backBuffer ? b.get() : nullptr;
            b->AddBrightness(static_cast<short>(delta));
            for (int y = 0; y < 4; ++y) {
                for (int x = 0; x < 8; ++x) {
                    const std::uint16_t p = Pattern(x, y);
                    std::uint16_t want;
                    if (backBuffer) {
                        want = Rgb(std::min(R5(p) * (256 + delta) >> 8, 31), std::min(G6(p) * (256 + delta) >> 8, 63),
                                   std::min(B5(p) * (256 + delta) >> 8, 31));
                    } else {
                        auto up = [delta](int c8) { return std::min(c8 + (c8 * delta >> 8), 255); };
                        want = PackRGB565(up(R5(p) << 3), up(G6(p) << 2), up(B5(p) << 3));
                    }
                    ASSERT_EQ(PixelAt(b.get(), x, y), want) << delta << " " << backBuffer;
                }
            }
            if (delta == 0) {
                EXPECT_EQ(Pixels(b.get()), Pixels(MakeBitmap(8, 4, Pattern).get()));
            }
        }
    }
    game.m_Screen.m_pBackBuffer = nullptr;
    auto b = MakeBitmap(2, 2, Pattern);
    b->AddBrightness(-10);
    EXPECT_EQ(PixelAt(b.get(), 1, 1), Pattern(1, 1));
}

TEST(AdjustHSL, ZeroDeltasKeepPrimariesAndAHueTurnMovesRedToGreen) {
    auto b = MakeBitmap(3, 1, [](int x, int) {
        return x == 0 ? PackRGB565(255, 0, 0) : (x == 1 ? PackRGB565(0, 0, 255) : PackRGB565(255, 255, 255));
    });
    b->AdjustHSL(0, 0, 0);
    // 565 red widens to 248: a round trip keeps red red (it used to come back grey).
    EXPECT_GE(R5(PixelAt(b.get(), 0, 0)), 30);
    EXPECT_EQ(G6(PixelAt(b.get(), 0, 0)), 0);
    EXPECT_EQ(B5(PixelAt(b.get(), 0, 0)), 0);
    EXPECT_GE(B5(PixelAt(b.get(), 1, 0)), 30);
    EXPECT_EQ(R5(PixelAt(b.get(), 1, 0)), 0);

    auto c = MakeBitmap(1, 1, [](int, int) { return PackRGB565(255, 0, 0); });
    c->AdjustHSL(85, 0, 0);  // a third of a turn
    const std::uint16_t p = PixelAt(c.get(), 0, 0);
    EXPECT_LE(R5(p), 1);
    EXPECT_GE(G6(p), 58);
    EXPECT_LE(B5(p), 1);
}
