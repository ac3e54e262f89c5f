// Conversion of one colour between RGB and HSL, every component an integer 0..255 (a hue of 255
// stands for 360 degrees, the same colour as hue 0). Pure functions, any thread.
#pragma once

#include <cstdint>

struct rgbcolor {
    std::int32_t r;
    std::int32_t g;
    std::int32_t b;
};

struct hslcolor {
    std::int32_t h;
    std::int32_t s;
    std::int32_t l;
};

// Components are truncated toward zero; pure red gives hue 255.
hslcolor rgb2hsl(rgbcolor c);
// Any hue is taken modulo a full turn; components are truncated and clamped to 0..255.
rgbcolor hsl2rgb(hslcolor c);
// A hue plus a delta, brought back into 0..254 (a full turn is 255 steps).
std::int32_t WrapHue(std::int32_t hue);
