#pragma once
// Headless OpenGL ES 1.1 for render tests: Mesa's surfaceless EGL platform, a pbuffer and a GLES1
// context (llvmpipe). Also a counting wrapper over the renderer's GL call table.

#include <array>
#include <cstdint>
#include <vector>

#include <EGL/egl.h>
#include <GLES/gl.h>

#include "render/GlesApi.h"

class CGlesTestContext {
public:
    // Creates and makes current a w x h RGBA8888 pbuffer; IsValid() tells whether it worked.
    CGlesTestContext(int w, int h);
    ~CGlesTestContext();
    CGlesTestContext(const CGlesTestContext&) = delete;
    CGlesTestContext& operator=(const CGlesTestContext&) = delete;

    bool IsValid() const { return m_Valid; }
    int Width() const { return m_W; }
    int Height() const { return m_H; }

    // Resets the renderer's state cache and sets up what the screen bitmap's scene start sets:
    // the 2-D projection (256 units per pixel, y down), arrays, blending through the cache, and a
    // clear to the given colour.
    void BeginScene(std::uint8_t r = 0, std::uint8_t g = 0, std::uint8_t b = 0);
    // RGBA of the pixel (x, y), y counted from the top.
    std::array<std::uint8_t, 4> Pixel(int x, int y) const;
    // The whole frame, rows from the top.
    std::vector<std::uint8_t> ReadFrame() const;

private:
    EGLDisplay m_Display = EGL_NO_DISPLAY;
    EGLContext m_Context = EGL_NO_CONTEXT;
    EGLSurface m_Surface = EGL_NO_SURFACE;
    int m_W = 0, m_H = 0;
    bool m_Valid = false;
};

// Swaps entries of the GL call table for counting wrappers that forward to the functions found
// there; restores the table on destruction. The wrapped entries are those with a getter below.
class CGlesCallCounter {
public:
    CGlesCallCounter();
    ~CGlesCallCounter();
    CGlesCallCounter(const CGlesCallCounter&) = delete;
    CGlesCallCounter& operator=(const CGlesCallCounter&) = delete;

    void Reset();
    int drawElements() const;
    int drawElementsIndexTotal() const;  // sum of the counts of all glDrawElements
    int blendFunc() const;
    int enable() const;
    int disable() const;
    int bindTexture() const;
    int texEnv() const;  // glTexEnvx + glTexEnvxv
    int texImage() const;
    int compressedTexImage() const;
    int viewport() const;
    int total() const;  // all calls through the wrapped entries

private:
    TGlesApi m_Saved;
};

// Swaps the table's glTexImage2D for a wrapper that notes each upload's pixel format and texel
// type, then forwards it; restores the entry on destruction. One recorder at a time.
class CTexImageRecorder {
public:
    struct TUpload {
        GLenum format;
        GLenum type;
    };

    CTexImageRecorder();
    ~CTexImageRecorder();
    CTexImageRecorder(const CTexImageRecorder&) = delete;
    CTexImageRecorder& operator=(const CTexImageRecorder&) = delete;

    const std::vector<TUpload>& Uploads() const;

private:
    decltype(TGlesApi::TexImage2D) m_Saved;
};
