#include "X11ShmPicture.h"

#include <GLES/gl.h>
#include <GLES/glext.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstring>
#include <string_view>

#include "platform/Settings.h"

namespace platform {
namespace {

// Set by the error handler while the server attaches the segment: a server on another machine
// (or in another IPC namespace) refuses it.
bool g_attachRefused = false;

int OnAttachError(Display*, XErrorEvent*) {
    g_attachRefused = true;
    return 0;
}

// A 24-bit true-colour visual whose 32-bit pixels keep blue in the lowest byte: the bytes of a
// pixel in memory are blue, green, red and one unused, which is what GL reads as BGRA.
bool PlainTrueColour(const Visual* visual, int depth) {
    return visual != nullptr && (depth == 24 || depth == 32) && visual->c_class == TrueColor &&
           visual->red_mask == 0xff0000 && visual->green_mask == 0xff00 && visual->blue_mask == 0xff;
}

}  // namespace

void CX11ShmPicture::Use(Display* display, Window window) {
    if (display != display_ || window != window_) Release();
    display_ = display;
    window_ = window;
}

bool CX11ShmPicture::GiveUp(const char* why) {
    Notice("%s; frames go the slow way", why);
    Release();
    usable_ = false;
    return false;
}

bool CX11ShmPicture::Prepare(int widthPx, int heightPx) {
    if (!usable_ || display_ == nullptr || window_ == 0 || widthPx <= 0 || heightPx <= 0) return false;
    if (image_ != nullptr && image_->width == widthPx && image_->height == heightPx) return true;
    const int screen = DefaultScreen(display_);
    Visual* visual = DefaultVisual(display_, screen);
    const int depth = DefaultDepth(display_, screen);
    if (!checked_) {
        checked_ = true;
        if (!XShmQueryExtension(display_) || !PlainTrueColour(visual, depth)) {
            return GiveUp("the X server shares no memory for pictures of this visual");
        }
        const auto* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
        readsBgra_ = extensions != nullptr &&
                     std::string_view(extensions).find("GL_EXT_read_format_bgra") != std::string_view::npos;
    }
    Release();
    image_ = XShmCreateImage(display_, visual, static_cast<unsigned>(depth), ZPixmap, nullptr, &segment_,
                             static_cast<unsigned>(widthPx), static_cast<unsigned>(heightPx));
    if (image_ == nullptr || image_->bits_per_pixel != 32 || image_->byte_order != LSBFirst ||
        image_->bytes_per_line != widthPx * 4) {
        return GiveUp("the X server's shared-memory images do not fit the window's pixels");
    }
    const std::size_t bytes = static_cast<std::size_t>(image_->bytes_per_line) * heightPx;
    segment_.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (segment_.shmid < 0) {
        return GiveUp("no shared memory for the window's pictures");
    }
    segment_.shmaddr = image_->data = static_cast<char*>(shmat(segment_.shmid, nullptr, 0));
    segment_.readOnly = True;
    if (segment_.shmaddr == reinterpret_cast<char*>(-1)) {
        segment_.shmaddr = image_->data = nullptr;
        shmctl(segment_.shmid, IPC_RMID, nullptr);
        segment_.shmid = -1;
        return GiveUp("no shared memory for the window's pictures");
    }
    // Errors come back asynchronously: wait for the server's answer with a handler of our own.
    XSync(display_, False);
    g_attachRefused = false;
    XErrorHandler previous = XSetErrorHandler(OnAttachError);
    const Bool sent = XShmAttach(display_, &segment_);
    XSync(display_, False);
    XSetErrorHandler(previous);
    // The segment goes as soon as both sides let go of it, whatever happens to the program.
    shmctl(segment_.shmid, IPC_RMID, nullptr);
    attached_ = sent && !g_attachRefused;
    if (!attached_) {
        return GiveUp("the X server cannot share memory with the program");
    }
    if (gc_ == nullptr) gc_ = XCreateGC(display_, window_, 0, nullptr);
    rows_.resize(bytes);
    return true;
}

bool CX11ShmPicture::ShowDrawnPicture(int widthPx, int heightPx) {
    if (!Prepare(widthPx, heightPx)) return false;
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, widthPx, heightPx, readsBgra_ ? GL_BGRA_EXT : GL_RGBA, GL_UNSIGNED_BYTE, rows_.data());
    if (glGetError() != GL_NO_ERROR) {
        return GiveUp("the window's picture cannot be read back");
    }
    // GL's rows start at the foot of the picture, the image's at its top.
    const std::size_t stride = static_cast<std::size_t>(widthPx) * 4;
    auto* out = reinterpret_cast<std::uint8_t*>(image_->data);
    for (int y = 0; y < heightPx; ++y) {
        const std::uint8_t* from = rows_.data() + stride * static_cast<std::size_t>(heightPx - 1 - y);
        std::uint8_t* to = out + stride * static_cast<std::size_t>(y);
        if (readsBgra_) {
            std::memcpy(to, from, stride);
            continue;
        }
        for (std::size_t i = 0; i < stride; i += 4) {
            to[i] = from[i + 2];
            to[i + 1] = from[i + 1];
            to[i + 2] = from[i];
            to[i + 3] = from[i + 3];
        }
    }
    XShmPutImage(display_, window_, gc_, image_, 0, 0, 0, 0, static_cast<unsigned>(widthPx),
                 static_cast<unsigned>(heightPx), False);
    // The server has copied the picture once it answers: the segment is free for the next one.
    XSync(display_, False);
    return true;
}

void CX11ShmPicture::Release(bool serverGone) {
    if (attached_ && !serverGone && display_ != nullptr) {
        XShmDetach(display_, &segment_);
        XSync(display_, False);
    }
    attached_ = false;
    if (segment_.shmaddr != nullptr) shmdt(segment_.shmaddr);
    segment_ = XShmSegmentInfo{};
    if (image_ != nullptr) {
        image_->data = nullptr;    // the segment's memory, gone above
        image_->obdata = nullptr;  // points at segment_, which XDestroyImage would free
        XDestroyImage(image_);
        image_ = nullptr;
    }
    // With the connection broken Xlib drops the request, but the GC's memory on this side is still ours.
    if (gc_ != nullptr && display_ != nullptr) XFreeGC(display_, gc_);
    gc_ = nullptr;
    rows_.clear();
    rows_.shrink_to_fit();
}

}  // namespace platform
