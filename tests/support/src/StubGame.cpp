#include "testsupport/StubGame.h"

bool CStubGame::Init(int w, int h) {
    m_nGameWidth = w;
    m_nGameHeight = h;
    return true;
}
