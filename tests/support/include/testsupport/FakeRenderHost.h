#pragma once
// The render host of the render tests and of the fake hosts above it: the game's bitmap factory
// (CreateRendererBitmap) over switches and a screen record the tests set, the images directory and
// the game's 2x path rule. It owns the back buffer and the blend buffer, as the game does; a test
// that lends it a bitmap clears the pointer again. Records start with the game's initial values
// (hardware textures and immediate upload on, orientation mode 1) in the configuration the game
// runs in: double-resolution images on and RAM planes released after upload. A test about the
// other case switches them off itself.

#include <string>

#include "render/RenderHost.h"
#include "testsupport/FakeFileHost.h"

class CFakeRenderHost : public virtual IRenderHost, public virtual CFakeFileHost {
public:
    CFakeRenderHost();
    // Deletes the blend buffer and the back buffer.
    ~CFakeRenderHost() override;

    IDibBitmap* CreateBitmapObject() override { return CreateRendererBitmap(this); }
    TRenderSwitches& RenderSwitches() override { return m_RenderSwitches; }
    TScreenState& Screen() override { return m_Screen; }
    // The blend buffer on GL ES, else the back buffer.
    IDibBitmap* GetBlendBuffer() override;
    // The game's answer: m_nGameWidth x m_nGameHeight, 16-bit RGB565.
    void GetDeviceScreenProperties(DisplayProperties* props) override;
    CommonString GetImagesDirectory() override { return CommonString(m_ImagesDir.c_str()); }
    CommonString GetImagePathFor2XImage(CommonString path) override;

    TRenderSwitches m_RenderSwitches;
    TScreenState m_Screen;
    IDibBitmap* m_pBlendBuffer = nullptr;
    std::string m_ImagesDir = "Images\\";
    int m_nGameWidth = 0;
    int m_nGameHeight = 0;
};
