// Shared fixtures of the sprite-set and font tests: a game object with a sprite-set manager and a
// common pak built in code, PNG images made with libpng, and a headless OpenGL ES context (Mesa's
// surfaceless EGL platform and a pbuffer) with a screen bitmap for GL drawing.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GLES/gl.h>
#include <png.h>

#include "app/GameBase.h"
#include "core/ZipFile.h"
#include "pakwriter/PakWriter.h"
#include "render/GlesGlobals.h"
#include "render/WinDibBitmapOGLES.h"
#include "sprites/SpriteSetManager.h"

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
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, png_size_t n) {
            auto* o = static_cast<Bytes*>(png_get_io_ptr(p));
            o->insert(o->end(), data, data + n);
        },
        [](png_structp) {});
    png_set_IHDR(png, info, img.width, img.height, 8, withAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(img.width) * 4);
    for (int y = 0; y < img.height; ++y) {
        std::size_t k = 0;
        for (int x = 0; x < img.width; ++x) {
            const auto p = img.At(x, y);
            row[k++] = p[0];
            row[k++] = p[1];
            row[k++] = p[2];
            if (withAlpha) row[k++] = p[3];
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

// A fresh directory under the system temp directory, removed with everything in it.
class CScratchDir {
public:
    CScratchDir() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("cobble_media_") + (info ? info->name() : "x") + "_" +
                           std::to_string(std::random_device{}());
        for (char& c : name)
            if (c == '/') c = '_';
        root = std::filesystem::temp_directory_path() / name;
        std::filesystem::create_directories(root);
    }
    ~CScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
    std::string Path(const std::string& leaf) const { return (root / leaf).string(); }
    std::filesystem::path root;
};

// A game whose images directory is "Images\", with its own sprite-set manager and a common pak
// that tests fill with members. Bitmaps are stored as seen (orientation mode 0).
class CMediaTestGame : public CGameBase {
public:
    CMediaTestGame() {
        SetIPhoneOrientation(0, true);
        m_nOrientationMode = 0;
        m_Manager = new CSpriteSetManager(this, 40);
    }
    ~CMediaTestGame() override {
        delete m_Manager;
        m_Manager = nullptr;
        delete m_pCommonPak;
        m_pCommonPak = nullptr;
        delete m_pBackBuffer;
        m_pBackBuffer = m_pDrawTarget = nullptr;
    }
    bool Init(int, int) override { return true; }
    void Pause() override {}
    bool CreateApplicationData() override { return false; }
    bool ReLoadFonts() override { return true; }
    CommonString GetImagesDirectory() override { return CommonString("Images\\"); }
    CommonString GetSoundsDirectory() override { return CommonString("Sound_BB\\"); }
    CommonString GetSaveDirectory() override { return CommonString("data/"); }
    CommonString GetCommonGamePackName() override { return CommonString("_game_bb.pak"); }
    CommonString GetResolutionSpecificGamePackName() override { return CommonString("_game.pak"); }
    CSpriteSetManager* GetSpriteSetManager() override { return m_Manager; }

    // Replaces the common pak by one holding these members (names as the game looks them up).
    void SetPak(const std::vector<std::pair<std::string, Bytes>>& members) {
        std::vector<pakwriter::TPakMember> list;
        for (const auto& [name, data] : members) {
            pakwriter::TPakMember m;
            m.name = name;
            m.data = data;
            list.push_back(m);
        }
        const std::string path = m_Dir.Path("common" + std::to_string(m_PakSerial++) + ".pak");
        ASSERT_TRUE(pakwriter::WriteBytesToFile(path, pakwriter::BuildPak(list)));
        delete m_pCommonPak;
        m_pCommonPak = new CBBZipFileReader(this);
        ASSERT_EQ(m_pCommonPak->Init(path.c_str()), ZipResult::Ok);
    }

    // Switches to the GL ES renderer with a w x h screen bitmap as back buffer and draw target.
    CWinDibBitmapOGLES* MakeGlScreen(int w, int h) {
        m_nRendererKind = kRendererGLES;
        GLES_ResetStateCache();
        IDibBitmap* screen = OGLES_InitAndCreateRenderTarget(this);
        screen->Create(w, h);
        screen->DestroyAlpha();
        screen->HWReleasePixelDataInRAM();
        m_pBackBuffer = m_pDrawTarget = screen;
        m_nGameWidth = w;
        m_nGameHeight = h;
        screen->HWBeginScene();
        return static_cast<CWinDibBitmapOGLES*>(screen);
    }

    CSpriteSetManager* m_Manager = nullptr;

private:
    CScratchDir m_Dir;
    int m_PakSerial = 0;
};

// A current GLES 1.1 context on a w x h RGBA pbuffer; IsValid() false where EGL cannot give one.
class CHeadlessGl {
public:
    CHeadlessGl(int w, int h) : m_W(w), m_H(h) {
        m_Display = Display();
        if (m_Display == EGL_NO_DISPLAY) return;
        const EGLint configAttribs[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_ES_BIT,
                                        EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8,
                                        EGL_NONE};
        EGLConfig config{};
        EGLint count = 0;
        if (!eglChooseConfig(m_Display, configAttribs, &config, 1, &count) || count < 1) return;
        eglBindAPI(EGL_OPENGL_ES_API);
        const EGLint contextAttribs[] = {EGL_CONTEXT_CLIENT_VERSION, 1, EGL_NONE};
        m_Context = eglCreateContext(m_Display, config, EGL_NO_CONTEXT, contextAttribs);
        if (m_Context == EGL_NO_CONTEXT) return;
        const EGLint surfaceAttribs[] = {EGL_WIDTH, w, EGL_HEIGHT, h, EGL_NONE};
        m_Surface = eglCreatePbufferSurface(m_Display, config, surfaceAttribs);
        if (m_Surface == EGL_NO_SURFACE) return;
        m_Valid = eglMakeCurrent(m_Display, m_Surface, m_Surface, m_Context) == EGL_TRUE;
    }
    ~CHeadlessGl() {
        if (m_Display == EGL_NO_DISPLAY) return;
        eglMakeCurrent(m_Display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (m_Surface != EGL_NO_SURFACE) eglDestroySurface(m_Display, m_Surface);
        if (m_Context != EGL_NO_CONTEXT) eglDestroyContext(m_Display, m_Context);
    }
    bool IsValid() const { return m_Valid; }

    // Draws what is batched and reads the frame back, rows from the top.
    TImage Read() const {
        GLES_FlushBuffer();
        glFinish();
        TImage img = MakeImage(m_W, m_H, {0, 0, 0, 0});
        std::vector<std::uint8_t> raw(img.rgba.size());
        glReadPixels(0, 0, m_W, m_H, GL_RGBA, GL_UNSIGNED_BYTE, raw.data());
        const std::size_t row = static_cast<std::size_t>(m_W) * 4;
        for (int y = 0; y < m_H; ++y)
            std::copy(raw.begin() + (m_H - 1 - y) * row, raw.begin() + (m_H - y) * row, img.rgba.begin() + y * row);
        return img;
    }

private:
    // One display per process, never terminated (terminating unloads the driver under LSan).
    static EGLDisplay Display() {
        static EGLDisplay display = [] {
            auto get = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
            if (!get) return EGL_NO_DISPLAY;
            EGLDisplay d = get(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
            EGLint major = 0, minor = 0;
            if (d == EGL_NO_DISPLAY || !eglInitialize(d, &major, &minor)) return EGL_NO_DISPLAY;
            return d;
        }();
        return display;
    }

    EGLDisplay m_Display = EGL_NO_DISPLAY;
    EGLContext m_Context = EGL_NO_CONTEXT;
    EGLSurface m_Surface = EGL_NO_SURFACE;
    int m_W = 0, m_H = 0;
    bool m_Valid = false;
};

}  // namespace mediatest
