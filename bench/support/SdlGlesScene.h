#pragma once
// SDL2's GLES2 renderer on its offscreen video driver, for drawing the same scene as ours on a
// headless context of its own: one texture, batching on, linear sampling as our renderer does.
// The caller sets LP_NUM_THREADS before either GL starts, and switches contexts with
// MakeCurrent (SDL believes its context stays current, so the switch back is made with EGL).
#include <EGL/egl.h>
#include <SDL.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace bench {

class CSdlGlesScene {
public:
    CSdlGlesScene() = default;
    CSdlGlesScene(const CSdlGlesScene&) = delete;
    CSdlGlesScene& operator=(const CSdlGlesScene&) = delete;
    ~CSdlGlesScene() {
        if (m_Texture) SDL_DestroyTexture(m_Texture);
        if (m_Renderer) SDL_DestroyRenderer(m_Renderer);
        if (m_Window) SDL_DestroyWindow(m_Window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    // A w x h hidden window and renderer, and a texture of texW x texH ARGB8888 pixels; false when
    // SDL cannot start. Leaves SDL's context current.
    bool Start(int w, int h, const std::vector<std::uint32_t>& argb, int texW, int texH) {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        SDL_SetHint(SDL_HINT_RENDER_DRIVER, "opengles2");
        // Naming a driver turns SDL's batching off unless asked for; SDL at its best batches.
        SDL_SetHint(SDL_HINT_RENDER_BATCHING, "1");
        // Our renderer samples its textures linearly (its sprites are scaled in double-resolution
        // modes); SDL is asked for the same so that both do the same work per pixel.
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
        m_Window = SDL_CreateWindow("bench", 0, 0, w, h, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        m_Renderer = m_Window ? SDL_CreateRenderer(m_Window, -1, SDL_RENDERER_ACCELERATED) : nullptr;
        if (!m_Renderer) return false;
        m_Display = eglGetCurrentDisplay();
        m_Surface = eglGetCurrentSurface(EGL_DRAW);
        m_Context = eglGetCurrentContext();
        m_Texture = SDL_CreateTexture(m_Renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, texW, texH);
        if (!m_Texture || SDL_UpdateTexture(m_Texture, nullptr, argb.data(), texW * 4) != 0) return false;
        SDL_SetTextureBlendMode(m_Texture, SDL_BLENDMODE_BLEND);
        m_Finish = reinterpret_cast<void (*)()>(SDL_GL_GetProcAddress("glFinish"));
        return m_Finish != nullptr && m_Context != EGL_NO_CONTEXT;
    }

    void MakeCurrent() const { eglMakeCurrent(m_Display, m_Surface, m_Surface, m_Context); }
    // Sends what SDL has batched and waits until the GL has drawn it.
    void Finish() const {
        SDL_RenderFlush(m_Renderer);
        m_Finish();
    }
    SDL_Renderer* Renderer() const { return m_Renderer; }
    SDL_Texture* Texture() const { return m_Texture; }

private:
    SDL_Window* m_Window = nullptr;
    SDL_Renderer* m_Renderer = nullptr;
    SDL_Texture* m_Texture = nullptr;
    void (*m_Finish)() = nullptr;
    EGLDisplay m_Display = EGL_NO_DISPLAY;
    EGLSurface m_Surface = EGL_NO_SURFACE;
    EGLContext m_Context = EGL_NO_CONTEXT;
};

// ARGB8888 from an RGB565 plane and an alpha plane of n pixels.
inline std::vector<std::uint32_t> Argb8888(const std::uint16_t* rgb565, const unsigned char* alpha, int n) {
    std::vector<std::uint32_t> argb(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const std::uint32_t r = ((rgb565[i] >> 11) & 31) << 3, g = ((rgb565[i] >> 5) & 63) << 2,
                            b = (rgb565[i] & 31) << 3;
        argb[static_cast<std::size_t>(i)] = (static_cast<std::uint32_t>(alpha[i]) << 24) | (r << 16) | (g << 8) | b;
    }
    return argb;
}

// The GL context current now, to come back to after SDL has drawn.
struct TEglCurrent {
    EGLDisplay display = eglGetCurrentDisplay();
    EGLSurface surface = eglGetCurrentSurface(EGL_DRAW);
    EGLContext context = eglGetCurrentContext();
    void MakeCurrent() const { eglMakeCurrent(display, surface, surface, context); }
};

}  // namespace bench
