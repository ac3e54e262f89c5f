// Private to engine/render: everything the software bitmap reads from the game object, in one
// place. Every function accepts a null game and then answers with the engine's defaults, so
// bitmaps can live without a game (tests, tools).
#pragma once

class CGameBase;
class IDibBitmap;

namespace render_detail {

int GameBitsPerPixel(CGameBase* game);     // the device screen's bits per pixel (16)
int GameOrientationMode(CGameBase* game);  // 0, 1 or 2
bool GameUsesDoubleResolution(CGameBase* game);
bool IsGameBackBuffer(CGameBase* game, IDibBitmap* bitmap);
int GameAlphaThreshold(CGameBase* game);                             // 128 by default
void GameTransparentColor(CGameBase* game, int& r, int& g, int& b);  // (255, 0, 255) by default
// Removes the bitmap from the game's list of created bitmaps when the game keeps that list.
void GameForgetBitmap(CGameBase* game, IDibBitmap* bitmap);
bool GameRendererIsGL(CGameBase* game);       // renderer kind 5
IDibBitmap* GameBackBuffer(CGameBase* game);  // null without a game
// A new bitmap from the game's factory; a plain software bitmap when there is no game.
IDibBitmap* GameCreateBitmap(CGameBase* game);

}  // namespace render_detail
