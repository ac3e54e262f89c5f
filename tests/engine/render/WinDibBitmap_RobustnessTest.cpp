// Every drawing operation with arbitrary positions, sizes, source rectangles, offsets and flags:
// nothing may be read or written outside the planes (the sanitizer build watches every plane,
// each its own allocation) and a blit may only change pixels inside its destination rectangle.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "SoftBitmapFixtures.h"
#include "render/ImageRotatorScaler.h"

using namespace soft_test;

TEST(SoftBitmapRobustness, ArbitraryArgumentsStayInsideThePlanes) {
    std::mt19937 rng(20261209);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    CQuorvanImageRotatorScaler rot(nullptr, 3600);
    ASSERT_EQ(rot.Initialize(), 1);
    for (int round = 0; round < 3000; ++round) {
        const int sw = pick(1, 9), sh = pick(1, 9), dw = pick(1, 11), dh = pick(1, 11);
        const bool alpha = pick(0, 3) != 0;
        auto src = alpha ? MakeBitmap(sw, sh, Pattern, [](int x, int y) { return (x * 90 + y * 40) % 256; })
                         : MakeBitmap(sw, sh, Pattern);
        src->SetOrientaionMode(pick(0, 2));
        src->UpdateWidthAndHeight();
        if (alpha && pick(0, 4) == 0) {
            src->ReplaceAlphaWithTransparentColor();
        }
        auto dst = MakeBitmap(
            dw, dh, [](int, int) { return std::uint16_t{0x1234}; }, [](int, int) { return 200; });
        const int x = pick(-12, 14), y = pick(-12, 14), w = pick(-3, 14), h = pick(-3, 14);
        const int sx = pick(-10, 12), sy = pick(-10, 12), offset = pick(-300, 300), flags = pick(0, 7);
        switch (round % 14) {
            case 0:
                src->BitBlt(dst.get(), x, y, w, h, sx, sy, offset);
                break;
            case 1:
                src->BitBltAdditive(dst.get(), x, y, w, h, sx, sy, offset);
                break;
            case 2:
                src->BitBltMultiply(dst.get(), pick(0, 255), pick(0, 255), pick(0, 255), x, y, w, h, sx, sy, offset);
                break;
            case 3:
                src->Draw(dst.get(), x, y, w, h, flags, offset);
                break;
            case 4:
                src->DrawOpaque(dst.get(), x, y, w, h, flags);
                break;
            case 5:
                src->FastDraw(dst.get(), x, y);
                break;
            case 6:
                src->StretchDraw(dst.get(), x, y, w, h, sx, sy, pick(-3, 14), pick(-3, 14), flags, offset);
                break;
            case 7:
                src->FillAlphaNoStretch(dst.get(), 1, 2, 3, x, y, w, h, flags, offset);
                break;
            case 8:
                src->FillAlphaNoStretchAdditive(dst.get(), 1, 2, 3, x, y, w, h, flags, offset);
                break;
            case 9:
                src->CopyBitmap(dst.get(), x, y, w, h);
                src->CopyAlpha(dst.get(), x, y, w, h);
                break;
            case 10:
                dst->FillRectangle(x, y, w, h, 9, 9, 9);
                dst->DrawRectangle(x, y, w, h, 9, 9, 9);
                break;
            case 11:
                dst->DrawLineH(x, w, y, 9, 9, 9, 100);
                dst->DrawLineV(x, y, h, 9, 9, 9, 100);
                break;
            case 12:
                rot.SetQuality(pick(0, 2));
                rot.DrawRotatedBitmapTransparent(src.get(), dst.get(), x * 256 + pick(0, 255), y * 256,
                                                 pick(-200000, 200000), pick(1, 0x40000), offset, flags);
                break;
            default:
                rot.DrawRotatedBitmapAdditive(src.get(), dst.get(), x * 256, y * 256 + pick(0, 255), pick(0, 92159),
                                              pick(1, 0x40000), 255, 128, 0, offset, flags);
                rot.DrawRotatedBitmapAlphaChannel(src.get(), dst.get(), x * 256, y * 256, pick(0, 92159),
                                                  pick(1, 0x40000), 9, 9, 9, offset, flags);
                delete rot.CreateRotatedBitmap(src.get(), pick(-100000, 100000), pick(0, 1024));
                break;
        }
    }
}

TEST(SoftBitmapRobustness, BlitsChangeOnlyTheirDestinationRectangle) {
    std::mt19937 rng(7);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int round = 0; round < 2000; ++round) {
        auto src = MakeBitmap(pick(1, 8), pick(1, 8), Pattern, [](int x, int) { return 60 * x; });
        const int dw = 10, dh = 9;
        auto dst = MakeBitmap(dw, dh, [](int, int) { return std::uint16_t{0x1234}; });
        const int x = pick(-10, 12), y = pick(-10, 12), w = pick(1, 9), h = pick(1, 9);
        const int sx = pick(-4, 6), sy = pick(-4, 6);
        if (round % 2 == 0) {
            src->BitBlt(dst.get(), x, y, w, h, sx, sy, pick(-100, 50));
        } else {
            src->BitBltAdditive(dst.get(), x, y, w, h, sx, sy, pick(-100, 50));
        }
        for (int Y = 0; Y < dh; ++Y) {
            for (int X = 0; X < dw; ++X) {
                // A negative source start moves the picture right or down by as much.
                const int left = x + std::max(0, -sx), top = y + std::max(0, -sy);
                const bool inside = X >= left && X < x + w && Y >= top && Y < y + h;
                if (!inside) {
                    ASSERT_EQ(PixelAt(dst.get(), X, Y), 0x1234) << round << " at " << X << "," << Y;
                }
            }
        }
    }
}
