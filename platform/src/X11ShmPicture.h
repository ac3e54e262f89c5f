// The X window's pictures put on the screen through shared memory (the MIT-SHM extension). Mesa's
// software renderer swaps a window surface by sending every pixel of the frame down the X
// connection; a frame of a few megabytes a time keeps the client and the server copying, and a
// virtual server (Xvfb) allocating, far longer than the frame took to draw. Here the picture the
// presenting context drew is read back into a segment the server shares, and one small request
// puts it in the window; the server has copied it when the call returns, so every frame still
// stands in the window before the next one is drawn.
//
// Only for a server on this machine with a 24-bit true-colour visual of 32-bit pixels (every
// desktop and Xvfb); anywhere else Prepare says no and the driver's swap stays.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <cstdint>
#include <vector>

#include "platform/ScaledFrame.h"

namespace platform {

class CX11ShmPicture final : public IPictureSink {
public:
    CX11ShmPicture() = default;
    CX11ShmPicture(const CX11ShmPicture&) = delete;
    CX11ShmPicture& operator=(const CX11ShmPicture&) = delete;
    ~CX11ShmPicture() override { Release(); }

    // The window the pictures go to. Nothing is asked of the server before the first picture.
    void Use(Display* display, Window window);

    // With the presenting context current: reads the drawn picture back and puts it in the
    // window. False (nothing shown) when shared memory cannot be used with this server; it is not
    // tried again after that.
    bool ShowDrawnPicture(int widthPx, int heightPx) override;

    // Gives the segment and the image back. Without a server (the connection broke) only this
    // side's share of the segment goes.
    void Release(bool serverGone = false);

    // False once shared memory was found unusable with this server.
    bool Usable() const { return usable_; }

private:
    bool Prepare(int widthPx, int heightPx);
    // Says why shared memory is given up with this server, gives back what is held: false.
    bool GiveUp(const char* why);

    Display* display_ = nullptr;
    Window window_ = 0;
    GC gc_ = nullptr;
    XImage* image_ = nullptr;
    XShmSegmentInfo segment_{};
    bool attached_ = false;
    bool usable_ = true;
    bool checked_ = false;      // the extension and the visual were looked at
    bool readsBgra_ = false;    // the GL reads pixels in the window's own byte order
    std::vector<std::uint8_t> rows_;  // the picture as GL reads it: rows bottom first
};

}  // namespace platform
