// Shared fixtures of the sprite-set and font tests: a sprite host with a sprite-set manager and a
// common pak built in code, PNG images made with libpng, and the headless OpenGL ES context with a
// screen bitmap for GL drawing. Unlike the rest of the test support this uses GoogleTest (test
// names, assertions while building paks): link cobble_media_test_support, which tests only have.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <GLES/gl.h>
#include <png.h>

#include "core/ZipFile.h"
#include "pakwriter/PakWriter.h"
#include "render/GlesGlobals.h"
#include "render/WinDibBitmapOGLES.h"
#include "sprites/SpriteSetManager.h"
#include "testsupport/FakeSpriteHost.h"
#include "testsupport/GlTestGame.h"
#include "testsupport/GlesTestContext.h"
#include "testsupport/ImageFixtures.h"
#include "testsupport/ScratchDir.h"

namespace mediatest {

using Bytes = std::vector<std::uint8_t>;

inline Bytes ToBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

// An RGBA image, rows from the top.
struct TImage {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;
    std::array<std::uint8_t, 4> At(int x, int y) const {
        const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 4;
        return {rgba[i], rgba[i + 1], rgba[i + 2], rgba[i + 3]};
    }
    void Set(int x, int y, std::array<std::uint8_t, 4> p) {
        const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 4;
        for (int k = 0; k < 4; ++k) rgba[i + k] = p[k];
    }
};

// Whether the red, green and blue of p each lie within tolerance of r, g and b.
inline bool Near(std::array<std::uint8_t, 4> p, int r, int g, int b, int tolerance) {
    return std::abs(p[0] - r) <= tolerance && std::abs(p[1] - g) <= tolerance && std::abs(p[2] - b) <= tolerance;
}

inline TImage MakeImage(int w, int h, std::array<std::uint8_t, 4> fill) {
    TImage img;
    img.width = w;
    img.height = h;
    img.rgba.resize(static_cast<std::size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.Set(x, y, fill);
    return img;
}

// PNG bytes written by libpng; withAlpha false writes RGB (the alpha values are dropped).
inline Bytes EncodePng(const TImage& img, bool withAlpha = true) {
    return MakePng(img.width, img.height, img.rgba, withAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB);
}

using ::CScratchDir;

// Writes a pak holding these members (names as the game looks them up) to path and makes it the
// host's common pak, deleting the one before.
inline void SetCommonPak(IFileHost& host, const std::string& path,
                         const std::vector<std::pair<std::string, Bytes>>& members) {
    std::vector<pakwriter::TPakMember> list;
    for (const auto& [name, data] : members) {
        pakwriter::TPakMember m;
        m.name = name;
        m.data = data;
        list.push_back(m);
    }
    ASSERT_TRUE(pakwriter::WriteBytesToFile(path, pakwriter::BuildPak(list)));
    TPakSet& paks = host.Paks();
    delete paks.m_pCommonPak;
    paks.m_pCommonPak = new CBBZipFileReader(&host);
    ASSERT_EQ(paks.m_pCommonPak->Init(path.c_str()), ZipResult::Ok);
}

// Switches a host (a test host or a game object) to the GL ES renderer with a w x h screen bitmap,
// its pixels released after upload as the game runs, as back buffer and draw target. Needs a
// current GL context (CHeadlessGl).
template <class Host>
CWinDibBitmapOGLES* MakeGlScreenOn(Host& host, int w, int h) {
    host.m_RenderSwitches.m_nRendererKind = kRendererGLES;
    GiveTestDeviceTheScreenSize(&host, w, h);
    GLES_ResetStateCache();
    IDibBitmap* screen = OGLES_InitAndCreateRenderTarget(&host);
    screen->Create(w, h);
    screen->DestroyAlpha();
    screen->HWReleasePixelDataInRAM();
    host.m_Screen.m_pBackBuffer = host.m_Screen.m_pDrawTarget = screen;
    host.m_nGameWidth = w;
    host.m_nGameHeight = h;
    screen->HWBeginScene();
    return static_cast<CWinDibBitmapOGLES*>(screen);
}

// A host whose images directory is "Images\", with its own sprite-set manager and a common pak
// that tests fill with members. Bitmaps are stored as seen (orientation mode 0, an unturned
// screen); the pak and the screen bitmap go with the host.
class CMediaTestGame : public CFakeSpriteHost {
public:
    CMediaTestGame() {
        m_Screen.m_nOrientationMode = 0;
        m_Screen.m_nOrientationAngle = 0;
        m_Manager = new CSpriteSetManager(this, 40);
    }
    ~CMediaTestGame() override {
        delete m_Manager;
        m_Manager = nullptr;
    }
    CSpriteSetManager* GetSpriteSetManager() override { return m_Manager; }

    // Replaces the common pak by one holding these members (names as the game looks them up).
    void SetPak(const std::vector<std::pair<std::string, Bytes>>& members) {
        const std::string path = m_Dir.Path("common" + std::to_string(m_PakSerial++) + ".pak");
        SetCommonPak(*this, path, members);
    }

    // Switches to the GL ES renderer with a w x h screen bitmap as back buffer and draw target.
    CWinDibBitmapOGLES* MakeGlScreen(int w, int h) { return MakeGlScreenOn(*this, w, h); }

    CSpriteSetManager* m_Manager = nullptr;

private:
    CScratchDir m_Dir;
    int m_PakSerial = 0;
};

// A media test host that notes the program-wide 32-bit texture switch each time the engine reads
// its render switches, so a test sees whether anything flipped it for a while.
class CSwitchWatchingGame : public CMediaTestGame {
public:
    TRenderSwitches& RenderSwitches() override {
        m_Force8888Seen.push_back(m_RenderSwitches.m_bForce8888Textures);
        return m_RenderSwitches;
    }

    std::vector<bool> m_Force8888Seen;
};

// A current GLES 1.1 context on a w x h RGBA pbuffer; IsValid() false where EGL cannot give one.
class CHeadlessGl : public CGlesTestContext {
public:
    using CGlesTestContext::CGlesTestContext;

    // Draws what is batched and reads the frame back, rows from the top.
    TImage Read() const {
        GLES_FlushBuffer();
        glFinish();
        TImage img;
        img.width = Width();
        img.height = Height();
        img.rgba = ReadFrame();
        return img;
    }
};

// The box around the pixels of an image that pass a test (a colour, the ink of a text): where
// something was drawn. Empty() when no pixel passes.
struct TBox {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    bool Empty() const { return right < 0; }
    int Width() const { return right - left + 1; }
    int Height() const { return bottom - top + 1; }
    double CentreX() const { return (left + right + 1) / 2.0; }
    double CentreY() const { return (top + bottom + 1) / 2.0; }
};

// The box of the pixels within columns [x0, x1] and rows [y0, y1] (cut to the image) that pass.
template <class Test>
TBox FindBoxIn(const TImage& img, int x0, int x1, Test test, int y0 = 0, int y1 = 1 << 20) {
    TBox box;
    for (int y = std::max(y0, 0); y <= std::min(y1, img.height - 1); ++y)
        for (int x = std::max(x0, 0); x <= std::min(x1, img.width - 1); ++x)
            if (test(img.At(x, y))) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
    return box;
}

template <class Test>
TBox FindBox(const TImage& img, Test test) {
    return FindBoxIn(img, 0, img.width - 1, test, 0, img.height - 1);
}

}  // namespace mediatest
