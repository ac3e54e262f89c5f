// RGB to HSL and back, in double precision.
#include "render/ColorConversion.h"

#include <algorithm>
#include <cmath>

hslcolor rgb2hsl(rgbcolor c) {
    const double R = c.r / 255.0, G = c.g / 255.0, B = c.b / 255.0;
    const double mx = std::max({R, G, B});
    const double mn = std::min({R, G, B});
    const double L = (mx + mn) / 2.0;
    if (L <= 0.0) {
        return hslcolor{0, 0, static_cast<std::int32_t>(L * 255.0)};
    }
    const double d = mx - mn;
    if (d == 0.0) {
        return hslcolor{0, 0, static_cast<std::int32_t>(L * 255.0)};
    }
    const double S = L <= 0.5 ? d / (mx + mn) : d / (2.0 - mx - mn);
    const double rr = (mx - R) / d, gg = (mx - G) / d, bb = (mx - B) / d;
    double hue = 0.0;
    if (mx == R) {
        hue = mn == G ? 5.0 + bb : 1.0 - gg;
    } else if (mx == G) {
        hue = mn == B ? 1.0 + rr : 3.0 - bb;
    } else {
        hue = mn == R ? 3.0 + gg : 5.0 - rr;
    }
    return hslcolor{static_cast<std::int32_t>(hue / 6.0 * 255.0), static_cast<std::int32_t>(S * 255.0),
                    static_cast<std::int32_t>(L * 255.0)};
}

rgbcolor hsl2rgb(hslcolor c) {
    const double L = c.l / 255.0, S = c.s / 255.0;
    const double v = L <= 0.5 ? L * (1.0 + S) : L + S - L * S;
    double r = L, g = L, b = L;
    if (v > 0.0) {
        const double m = 2.0 * L - v;
        const double sv = (v - m) / v;
        const double h6 = c.h / 255.0 * 6.0;
        // Floor, then modulo 6: a hue of 255 (pure red from rgb2hsl) is sextant 0 again instead
        // of falling outside the six sextants and turning grey.
        const double whole = std::floor(h6);
        const double f = h6 - whole;
        const int sextant = ((static_cast<int>(whole) % 6) + 6) % 6;
        const double vsf = v * sv * f;
        const double mid1 = m + vsf, mid2 = v - vsf;
        switch (sextant) {
            case 0:
                r = v;
                g = mid1;
                b = m;
                break;
            case 1:
                r = mid2;
                g = v;
                b = m;
                break;
            case 2:
                r = m;
                g = v;
                b = mid1;
                break;
            case 3:
                r = m;
                g = mid2;
                b = v;
                break;
            case 4:
                r = mid1;
                g = m;
                b = v;
                break;
            default:
                r = v;
                g = m;
                b = mid2;
                break;
        }
    }
    auto out = [](double x) {
        // Clamp before the cast: out-of-range inputs can make x huge.
        return std::clamp(static_cast<std::int32_t>(std::clamp(x * 255.0, -1.0, 256.0)), 0, 255);
    };
    return rgbcolor{out(r), out(g), out(b)};
}

std::int32_t WrapHue(std::int32_t hue) { return ((hue % 255) + 255) % 255; }
