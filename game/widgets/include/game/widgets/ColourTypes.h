// The colour types of the marble game: the four marble colours, white, and 100 + kind for the
// power-ups. The round's marbles carry them, and floating texts take their colour from them.
// No state; any thread.
#pragma once

inline constexpr int kMarbleRed = 0;
inline constexpr int kMarbleGreen = 1;
inline constexpr int kMarbleBlue = 2;
inline constexpr int kMarbleYellow = 3;
inline constexpr int kColorTypeWhite = 10;
inline constexpr int kPowerUpTypeBase = 100;

// The RGB of a colour type: red, green, cyan (blue), yellow, and white for 10; black otherwise.
void GetRGBColorBasedOnType(int type, int& r, int& g, int& b);
