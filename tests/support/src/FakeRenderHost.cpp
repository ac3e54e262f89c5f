#include "testsupport/FakeRenderHost.h"

#include "render/DibBitmap.h"

CFakeRenderHost::CFakeRenderHost() {
    // The game's entry forces 2x images on and the game object releases RAM planes after upload.
    m_RenderSwitches.m_bDoubleResolution = true;
    m_RenderSwitches.m_bReleasePixelsAfterUpload = true;
}

CFakeRenderHost::~CFakeRenderHost() {
    delete m_pBlendBuffer;
    m_pBlendBuffer = nullptr;
    delete m_Screen.m_pBackBuffer;
    m_Screen.m_pBackBuffer = nullptr;
    m_Screen.m_pDrawTarget = nullptr;
}

IDibBitmap* CFakeRenderHost::GetBlendBuffer() {
    return m_RenderSwitches.m_nRendererKind == kRendererGLES ? m_pBlendBuffer : m_Screen.m_pBackBuffer;
}

void CFakeRenderHost::GetDeviceScreenProperties(DisplayProperties* props) {
    if (props == nullptr) return;
    *props = DisplayProperties{m_nGameWidth, m_nGameHeight, 2, m_nGameWidth * 2, 16, 2};
}

CommonString CFakeRenderHost::GetImagePathFor2XImage(CommonString path) {
    return ImagePathFor2X(GetImagesDirectory(), path);
}
