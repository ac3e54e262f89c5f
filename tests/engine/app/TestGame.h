// A minimal game object for tests of the application object and the element tree: supplies the
// hooks a game must, and counts updates and draws.
#pragma once

#include "app/GameBase.h"

class CTestGame : public CGameBase {
public:
    bool Init(int w, int h) override
    {
        m_nGameWidth = w;
        m_nGameHeight = h;
        return true;
    }
    void Pause() override {}
    bool CreateApplicationData() override { return false; }
    bool ReLoadFonts() override { return true; }
    CommonString GetImagesDirectory() override { return CommonString(m_ImagesDir); }
    CommonString GetSoundsDirectory() override { return CommonString("Sound_BB\\"); }
    CommonString GetSaveDirectory() override { return CommonString("data/"); }
    CommonString GetCommonGamePackName() override { return CommonString("app/native/assets/_game_bb.pak"); }
    CommonString GetResolutionSpecificGamePackName() override { return CommonString("_game.pak"); }

    void RunProcess() override
    {
        ++m_nProcessCalls;
        CGameBase::RunProcess();
    }
    void Draw() override
    {
        ++m_nDrawCalls;
        CGameBase::Draw();
    }

    const char* m_ImagesDir = "i_vga\\";
    int m_nProcessCalls = 0;
    int m_nDrawCalls = 0;
};
