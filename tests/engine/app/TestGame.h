// A minimal game object for tests of the application object: the stub game's hooks, an images
// directory of "i_vga\" and the common pak under the app's assets folder, and counts of updates
// and draws.
#pragma once

#include "testsupport/StubGame.h"

class CTestGame : public CStubGame {
public:
    CTestGame() {
        m_ImagesDir = "i_vga\\";
        m_CommonPakName = "app/native/assets/_game_bb.pak";
    }

    void RunProcess() override {
        ++m_nProcessCalls;
        CGameBase::RunProcess();
    }
    void Draw() override {
        ++m_nDrawCalls;
        CGameBase::Draw();
    }

    int m_nProcessCalls = 0;
    int m_nDrawCalls = 0;
};
