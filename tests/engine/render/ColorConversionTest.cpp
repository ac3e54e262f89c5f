// RGB <-> HSL on 0..255 integers.
#include "render/ColorConversion.h"

#include <gtest/gtest.h>

#include <cmath>
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

// HSL to RGB the way the CSS colour module defines it (chroma, second-largest component, match
// value), written apart from the engine's formula; each channel in 0..1.
void ReferenceHslToRgb(int h, int s, int l, double out[3]) {
    const double L = l / 255.0, S = s / 255.0;
    const double chroma = (1.0 - std::fabs(2.0 * L - 1.0)) * S;
    const double sextants = h / 255.0 * 6.0;
    const double x = chroma * (1.0 - std::fabs(std::fmod(sextants, 2.0) - 1.0));
    const double m = L - chroma / 2.0;
    const double table[6][3] = {{chroma, x, 0}, {x, chroma, 0}, {0, chroma, x},
                                {0, x, chroma}, {x, 0, chroma}, {chroma, 0, x}};
    const int sextant = static_cast<int>(sextants);
    for (int c = 0; c < 3; ++c) out[c] = table[sextant][c] + m;
}

TEST(ColorConversion, HslToRgbMatchesAnIndependentReferenceAcrossAllSixSextants) {
    // Every hue of the circle (each sextant about 42 of them), at strong and weak saturation and
    // at dark, middle and light lightness.
    int sextantsSeen[6] = {};
    for (int h = 0; h < 255; ++h) {
        for (const int s : {255, 160, 40}) {
            for (const int l : {60, 127, 200}) {
                double expected[3];
                ReferenceHslToRgb(h, s, l, expected);
                const rgbcolor got = hsl2rgb({h, s, l});
                const int channels[3] = {got.r, got.g, got.b};
                for (int c = 0; c < 3; ++c) {
                    const double scaled = expected[c] * 255.0;
                    const double nearest = std::round(scaled);
                    // Truncation of a value that is a whole number up to rounding may land on
                    // either side of it; every other value has exactly one right answer.
                    if (std::fabs(scaled - nearest) < 1e-9) {
                        EXPECT_TRUE(channels[c] == static_cast<int>(nearest) ||
                                    channels[c] == static_cast<int>(nearest) - 1)
                            << "h " << h << " s " << s << " l " << l << " channel " << c;
                    } else {
                        EXPECT_EQ(channels[c], static_cast<int>(scaled))
                            << "h " << h << " s " << s << " l " << l << " channel " << c;
                    }
                }
            }
        }
        ++sextantsSeen[static_cast<int>(h / 255.0 * 6.0)];
    }
    for (int seen : sextantsSeen) EXPECT_GE(seen, 42);
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
