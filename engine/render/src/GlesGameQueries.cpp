#include "GlesGameQueries.h"

#include "app/GameBase.h"

namespace gles_game {

bool IsGlesRenderer(CGameBase* game) { return game && game->m_nRendererKind == kRendererGLES; }
void SetRendererKind(CGameBase* game, int kind) {
    if (game) game->m_nRendererKind = kind;
}
IDibBitmap* DrawTarget(CGameBase* game) { return game ? game->m_pDrawTarget : nullptr; }
IDibBitmap* BackBuffer(CGameBase* game) { return game ? game->m_pBackBuffer : nullptr; }
void SetScreenTarget(CGameBase* game, IDibBitmap* bitmap) {
    if (!game) return;
    game->m_pBackBuffer = bitmap;
    game->m_pDrawTarget = bitmap;
}
bool HardwareTextures(CGameBase* game) { return game && game->m_bHardwareTextures; }
bool ImmediateUpload(CGameBase* game) { return game && game->m_bImmediateUpload; }
void SetImmediateUpload(CGameBase* game, bool on) {
    if (game) game->m_bImmediateUpload = on;
}
void SetHardwareTextures(CGameBase* game, bool on) {
    if (game) game->m_bHardwareTextures = on;
}
bool TrueColorTextures(CGameBase* game) { return game && game->m_bForce8888Textures; }
bool TrueColorImages(CGameBase* game) { return game && game->m_bTrueColorImages; }
bool ReleasePixelsAfterUpload(CGameBase* game) { return game && game->m_bReleasePixelsAfterUpload; }
bool DoubleResolutionMode(CGameBase* game) { return game && game->m_bDoubleResolution; }
bool TurnedScreen(CGameBase* game) { return game && game->m_bTurnedScreen; }
bool PhysicalViewport(CGameBase* game) { return game && game->m_bPhysicalViewport; }
void PhysicalScreenSize(CGameBase* game, int& w, int& h) {
    w = game ? game->m_nDeviceWidth : 0;
    h = game ? game->m_nDeviceHeight : 0;
}
int ScreenRotationAngle(CGameBase* game) { return game ? game->m_nOrientationAngle : 0; }
void StepRotationCounter(CGameBase* game) {
    if (game && game->m_nRotationCounter > 0) --game->m_nRotationCounter;
}
bool RotationInProgress(CGameBase* game) { return game && game->IsIPhoneRotationInProcess(); }
std::string ImagePathFor2x(CGameBase* game, const std::string& path) {
    if (!game) return std::string();
    CommonString twin = game->GetImagePathFor2XImage(CommonString(path.c_str()));
    return twin.Length() == 0 ? std::string() : std::string(twin.GetDataConst());
}
IDibBitmap* CreateBitmap(CGameBase* game) { return game ? game->CreateBitmapObject() : nullptr; }

}  // namespace gles_game
