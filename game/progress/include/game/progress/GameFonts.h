// The game's own fonts, by the ids of their style records in "game_styles.txt". The game object
// loads them with the style table and hands them out (IProgressHost::GetGameFont); every game area
// draws its texts with them, so they are named in the lowest one.
#pragma once

enum EGameFont : int {
    kGameFontSmall,      // "FontSmall"
    kGameFontBig,        // "FontBig"
    kGameFontDebug,      // "FontDebug"
    kGameFontButton,     // "FontButtonNormal"
    kGameFontScores,     // "FontScores"
    kGameFontCoins,      // "FontCoins"
    kGameFontLifes,      // "FontLifes"
    kGameFontVerySmall,  // "FontVerySmall"
    kGameFontCount
};
