// The demo game object: stands in for the game while it is not written. It runs the engine's
// fixed-step cycle at 30 updates per second and draws every frame into the engine's GL back
// buffer through the bitmap interface and the drawing helpers: a clear to a colour that changes
// with every update, a fill, a vertical gradient, two lines, a sprite turned by the rotator, and
// while the first finger is down a white square under it (places and colours in DemoLayout.h).
// The engine's draw cycle presents the frame.
#pragma once

#include <memory>

#include "app/GameBase.h"

class CGlesRotatorPath;
class CQuorvanImageRotatorScaler;
class IDibBitmap;

class CDemoGame final : public CGameBase {
public:
    CDemoGame();
    ~CDemoGame() override;

    // Makes the GL back buffer (w x h), the rotator with its GL path and the sprite; false when
    // any of them cannot be had, which ends the program.
    bool Init(int w, int h) override;
    void Pause() override { ++m_nPauses; }
    void RunProcess() override;
    void Draw() override;
    int NotifyPointerEvent(int x, int y, int type) override;

    bool CreateApplicationData() override { return true; }
    bool ReLoadFonts() override { return true; }
    CommonString GetImagesDirectory() override { return CommonString("i_vga\\"); }
    CommonString GetSoundsDirectory() override { return CommonString("Sound_BB\\"); }
    CommonString GetSaveDirectory() override { return CommonString("data/"); }
    CommonString GetCommonGamePackName() override { return CommonString("app/native/assets/_game_bb.pak"); }
    CommonString GetResolutionSpecificGamePackName() override { return CommonString("_game.pak"); }

    int m_nUpdates = 0;
    int m_nPauses = 0;
    bool m_bTouching = false;
    int m_nTouchX = 0;  // logical pixels
    int m_nTouchY = 0;

private:
    // Declared in this order so the sprite's textures go first and the path before its rotator;
    // all of it before the base class deletes the back buffer.
    std::unique_ptr<CQuorvanImageRotatorScaler> m_Rotator;
    std::unique_ptr<CGlesRotatorPath> m_RotatorPath;
    std::unique_ptr<IDibBitmap> m_Sprite;
};
