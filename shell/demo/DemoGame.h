// The demo game object: stands in for the game while it is not written. It runs the engine's
// fixed-step cycle at 30 updates per second and draws with plain GL calls: the whole frame is
// cleared to a colour that changes with every update (red = 5 x updates mod 256, green =
// 3 x updates mod 256, blue = 200), and while the first finger is down a 24 x 24 white square
// sits under it.
#pragma once

#include "app/GameBase.h"

class CDemoGame final : public CGameBase {
 public:
  static constexpr int kMarkSidePx = 24;

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
};
