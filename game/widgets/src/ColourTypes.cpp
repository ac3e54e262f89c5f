#include "game/widgets/ColourTypes.h"

void GetRGBColorBasedOnType(int type, int& r, int& g, int& b) {
    struct TRgb {
        int r, g, b;
    };
    static constexpr TRgb kColors[4] = {{255, 0, 0}, {0, 255, 0}, {0, 255, 255}, {255, 255, 0}};
    TRgb c{0, 0, 0};
    if (type >= kMarbleRed && type <= kMarbleYellow) c = kColors[type];
    if (type == kColorTypeWhite) c = TRgb{255, 255, 255};
    r = c.r;
    g = c.g;
    b = c.b;
}
