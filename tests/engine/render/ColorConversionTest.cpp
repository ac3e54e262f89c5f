// RGB <-> HSL on 0..255 integers.
#include "render/ColorConversion.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(ColorConversion, KnownValues) {
    struct TCase {
        rgbcolor rgb;
        hslcolor hsl;
        const char* why;
    };
    const TCase toHsl[] = {{{0, 0, 0}, {0, 0, 0}, "black"},
                           {{255, 255, 255}, {0, 0, 255}, "white"},
                           {{0, 0, 255}, {170, 255, 127}, "blue"},
                           {{255, 0, 0}, {255, 255, 127}, "red sits at the end of the hue circle"},
                           {{90, 90, 90}, {0, 0, 90}, "grey has no hue"}};
    for (const TCase& c : toHsl) {
        const hslcolor h = rgb2hsl(c.rgb);
        EXPECT_EQ(h.h, c.hsl.h) << c.why;
        EXPECT_EQ(h.s, c.hsl.s) << c.why;
        EXPECT_EQ(h.l, c.hsl.l) << c.why;
    }
    const TCase toRgb[] = {{{254, 0, 0}, {0, 255, 127}, "truncation, not rounding"},
                           {{0, 0, 254}, {170, 255, 127}, "blue back"},
                           {{254, 0, 0}, {255, 255, 127}, "hue 255 is red again, not grey"},
                           {{77, 77, 77}, {0, 0, 77}, "no saturation"}};
    for (const TCase& c : toRgb) {
        const rgbcolor r = hsl2rgb(c.hsl);
        EXPECT_EQ(r.r, c.rgb.r) << c.why;
        EXPECT_EQ(r.g, c.rgb.g) << c.why;
        EXPECT_EQ(r.b, c.rgb.b) << c.why;
    }
}

TEST(ColorConversion, AgreesWithPythonsColorsys) {
    // Expected values from Python's colorsys (rgb_to_hls / hls_to_rgb) scaled by 255 and
    // truncated; a step of slack covers values that land on a whole number.
    struct TCase {
        int r, g, b, h, s, l;
    };
    const TCase toHsl[] = {{10, 200, 90, 102, 230, 105}, {90, 40, 220, 181, 183, 130}, {255, 128, 0, 21, 255, 127}};
    for (const TCase& c : toHsl) {
        const hslcolor h = rgb2hsl({c.r, c.g, c.b});
        EXPECT_LE(std::abs(h.h - c.h), 1) << c.r << "," << c.g << "," << c.b;
        EXPECT_LE(std::abs(h.s - c.s), 1);
        EXPECT_LE(std::abs(h.l - c.l), 1);
    }
    const TCase toRgb[] = {{178, 132, 21, 30, 200, 100}, {172, 227, 191, 100, 128, 200}};
    for (const TCase& c : toRgb) {
        const rgbcolor r = hsl2rgb({c.h, c.s, c.l});
        EXPECT_LE(std::abs(r.r - c.r), 1) << c.h << "," << c.s << "," << c.l;
        EXPECT_LE(std::abs(r.g - c.g), 1);
        EXPECT_LE(std::abs(r.b - c.b), 1);
    }
}

TEST(ColorConversion, OutOfRangeInputsStayInRange) {
    for (const hslcolor h : {hslcolor{40, 900, 128}, hslcolor{-300, 255, 128}, hslcolor{700, 255, 128},
                             hslcolor{0, 255, 2000000000}, hslcolor{10, -500, -40}}) {
        const rgbcolor r = hsl2rgb(h);
        for (int v : {r.r, r.g, r.b}) {
            EXPECT_GE(v, 0);
            EXPECT_LE(v, 255);
        }
    }
    // A hue below zero goes round the circle: -85 is the same colour as 170.
    const rgbcolor a = hsl2rgb({-85, 255, 127});
    const rgbcolor b = hsl2rgb({170, 255, 127});
    EXPECT_EQ(a.r, b.r);
    EXPECT_EQ(a.g, b.g);
    EXPECT_EQ(a.b, b.b);
    EXPECT_EQ(WrapHue(255), 0);
    EXPECT_EQ(WrapHue(-1), 254);
    EXPECT_EQ(WrapHue(300), 45);
}
