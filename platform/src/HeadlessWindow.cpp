// Headless backend: no window at all. EGL runs on Mesa's surfaceless platform and the "window"
// surface is a pbuffer of the frame's size (the window's buffer size when it was first made,
// whatever turns follow); input comes only from the script and the
// control API, so there is never anything to wait for.
#include <GLES/gl.h>

#include <cstdio>

#include "WindowBackend.h"

namespace platform {
namespace {

class CHeadlessWindow final : public IWindowBackend {
public:
    const char* Name() const override { return "headless"; }
    const char* EglPlatformName() const override { return "surfaceless"; }
    bool CreateWindow(int, int) override { return true; }
    void ResizeWindow(int, int) override {}
    void TurnWindow(int, int) override {}
    void ShowWindow() override {}
    void DestroyWindow() override {}
    EGLint SurfaceType() const override { return EGL_PBUFFER_BIT; }

    EGLSurface CreateSurface(EGLDisplay display, EGLConfig config, int widthPx, int heightPx) override {
        const EGLint attribs[] = {EGL_WIDTH, widthPx, EGL_HEIGHT, heightPx, EGL_NONE};
        return eglCreatePbufferSurface(display, config, attribs);
    }

    // A pbuffer swap presents nothing, so the driver could keep deferring the frame's work; finish
    // it here as showing it would, which keeps frame times honest.
    bool BeforeSwap() override {
        glFinish();
        return true;
    }

    void PollInput(std::vector<TScriptLine>&) override {}

    bool WaitForInput(int timeoutMs, int) override {
        if (timeoutMs != 0 && !warned_) {
            // A blocking wait would hang forever here; the caller gets "no event" instead.
            std::fprintf(stderr, "platform: headless: a wait for input returns at once\n");
            warned_ = true;
        }
        return false;
    }

private:
    bool warned_ = false;
};

}  // namespace

std::unique_ptr<IWindowBackend> CreateHeadlessWindowBackend() { return std::make_unique<CHeadlessWindow>(); }

std::unique_ptr<IWindowBackend> CreateWindowBackend(DisplayMode mode) {
    if (mode == DisplayMode::X11) {
        if (auto x = CreateX11WindowBackend()) return x;
        std::fprintf(stderr, "platform: falling back to headless\n");
    }
    return CreateHeadlessWindowBackend();
}

}  // namespace platform
