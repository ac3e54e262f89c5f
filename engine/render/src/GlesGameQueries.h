#pragma once
// The few things the GL renderer and the image loaders ask of the engine application object,
// gathered in one place so that the rest of engine/render does not depend on CGameBase's layout.
// Every query accepts a null game and then answers with the engine's defaults (GL ES off,
// hardware textures off, switches off), which is what tests without a game get.

#include <string>

class CGameBase;
class IDibBitmap;

namespace gles_game {

bool IsGlesRenderer(CGameBase* game);  // renderer kind 5
void SetRendererKind(CGameBase* game, int kind);
IDibBitmap* DrawTarget(CGameBase* game);  // current draw target (the screen bitmap on GL ES)
IDibBitmap* BackBuffer(CGameBase* game);
// Makes the bitmap the game's back buffer and current draw target.
void SetScreenTarget(CGameBase* game, IDibBitmap* bitmap);
bool HardwareTextures(CGameBase* game);
bool ImmediateUpload(CGameBase* game);
void SetImmediateUpload(CGameBase* game, bool on);
void SetHardwareTextures(CGameBase* game, bool on);
bool TrueColorTextures(CGameBase* game);  // upload as 8888
bool TrueColorImages(CGameBase* game);    // decode into 24-bit pixels
bool ReleasePixelsAfterUpload(CGameBase* game);
bool DoubleResolutionMode(CGameBase* game);
bool TurnedScreen(CGameBase* game);
bool PhysicalViewport(CGameBase* game);
void PhysicalScreenSize(CGameBase* game, int& w, int& h);
int ScreenRotationAngle(CGameBase* game);   // 24.8 degrees
void StepRotationCounter(CGameBase* game);  // one projection call done: counter - 1 when above 0
bool RotationInProgress(CGameBase* game);
// The 2x twin of an image path.
std::string ImagePathFor2x(CGameBase* game, const std::string& path);
// A new bitmap from the game's factory, or null.
IDibBitmap* CreateBitmap(CGameBase* game);

}  // namespace gles_game
