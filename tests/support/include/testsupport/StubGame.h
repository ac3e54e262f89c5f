#pragma once
// The smallest whole game object for tests and benchmarks: every hook a game must supply, with
// values that load nothing by themselves. Directory and pak names are plain fields a fixture sets
// (in its constructor or per test); a fixture overrides only what its tests look at.

#include <string>

#include "app/GameBase.h"

class CStubGame : public CGameBase {
public:
    CStubGame() = default;

    // Takes the size as the game's; the engine's own start-up is left to the tests that need it.
    bool Init(int w, int h) override;
    void Pause() override {}
    // No application data: the defaults stand.
    bool CreateApplicationData() override { return false; }
    // No fonts to load, which counts as loaded.
    bool ReLoadFonts() override { return true; }

    CommonString GetImagesDirectory() override { return CommonString(m_ImagesDir.c_str()); }
    CommonString GetSoundsDirectory() override { return CommonString(m_SoundsDir.c_str()); }
    CommonString GetSaveDirectory() override { return CommonString(m_SaveDir.c_str()); }
    CommonString GetCommonGamePackName() override { return CommonString(m_CommonPakName.c_str()); }
    CommonString GetResolutionSpecificGamePackName() override { return CommonString(m_ResolutionPakName.c_str()); }

    std::string m_ImagesDir = "Images\\";
    std::string m_SoundsDir = "Sound_BB\\";
    std::string m_SaveDir = "data/";
    std::string m_CommonPakName = "_game_bb.pak";
    std::string m_ResolutionPakName = "_game.pak";
};
