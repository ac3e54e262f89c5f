// What the render area asks of its owner: the bitmap factory, the rendering switches, the screen
// bitmaps with the screen's orientation, and the image paths. The application object implements
// it; tests use a small fake. Bitmaps, textures, the rotator and the image loaders keep an
// IRenderHost*. A null host means "no game": the software renderer with every switch off, an
// unturned screen without a back buffer (see RenderSwitchesOf and ScreenOf).
//
// Depends on: core (files through IFileHost, arrays). Threads: main thread only, except that the
// news picture decoder reads nothing here (see ImageLoad_JPG_FromStream).
#pragma once

#include "core/CommonString.h"
#include "core/FileHost.h"
#include "core/QuorvanArray.h"

class IDibBitmap;

// Renderer kinds kept in TRenderSwitches::m_nRendererKind.
enum : int { kRendererSoftware = 0, kRendererGLES = 5 };

// Rotation-animation angles, degrees in 24.8 fixed point.
inline constexpr int kRotationAngle90 = 23040;

// What GetDeviceScreenProperties reports about the back buffer's logical screen.
struct DisplayProperties {
    int width;
    int height;
    int bytesPerPixel;  // 2
    int bytesPerRow;    // width x 2
    int bitsPerPixel;   // 16
    int format;         // 2 = RGB565
};

// How bitmaps are made, uploaded and drawn. The host sets them at start-up; nothing in the engine
// changes them afterwards except the renderer kind, which the GL render target sets.
struct TRenderSwitches {
    int m_nRendererKind = kRendererSoftware;
    int m_nAlphaThreshold = 128;  // read by the software bitmap
    int m_nTransparentR = 255;    // key colour of the software bitmap
    int m_nTransparentG = 0;
    int m_nTransparentB = 255;
    bool m_bHardwareTextures = true;
    bool m_bImmediateUpload = true;
    bool m_bReleasePixelsAfterUpload = false;
    bool m_bDoubleResolution = false;   // 2x images are drawn at half their stored size
    bool m_bTrueColorImages = false;    // decode into 24-bit pixels
    bool m_bForce8888Textures = false;  // all uploads 32-bit; one upload asks with TexelDepth
    // The 4444 layout goes up to the driver as the very texel values it stands for (each 4-bit
    // field times 17) in 8 bits a field. Set for a driver that draws on the CPU: it filters 8-bit
    // texels on a fast path and 4-bit ones on a general one, for the same picture.
    bool m_bWiden4444Uploads = false;
    bool m_bTurnedScreen = false;
    bool m_bPhysicalViewport = false;
    bool m_bScreenScaling = false;
};

// The screen bitmaps, the physical screen and the rotation animation the GL projections follow,
// and the bitmaps an orientation flip must turn.
struct TScreenState {
    TScreenState() { m_CreatedBitmaps.growBy = 256; }

    // True while the angle has not reached the one of the orientation mode, or while the
    // projections still owe calls after it did (the rotation counter).
    bool IsRotationInProcess() const;

    IDibBitmap* m_pBackBuffer = nullptr;
    IDibBitmap* m_pDrawTarget = nullptr;  // the bitmap currently drawn into
    int m_nDeviceWidth = 0;               // physical screen size in the game's orientation
    int m_nDeviceHeight = 0;
    int m_nOrientationMode = 1;  // 0, 1 or 2: how new bitmaps store their pixels
    int m_nOrientationAngle = -kRotationAngle90;
    int m_nRotationCounter = 0;
    bool m_bTrackBitmaps = false;
    CQuorvanArray<IDibBitmap*> m_CreatedBitmaps;  // growth step 256; not owning
};

class IRenderHost : public virtual IFileHost {
public:
    // A new bitmap for the current renderer (CreateRendererBitmap), or null when it cannot be made.
    virtual IDibBitmap* CreateBitmapObject() = 0;
    virtual TRenderSwitches& RenderSwitches() = 0;
    virtual TScreenState& Screen() = 0;
    // The blend buffer on GL ES, else the back buffer.
    virtual IDibBitmap* GetBlendBuffer() = 0;
    virtual void GetDeviceScreenProperties(DisplayProperties* props) = 0;
    virtual CommonString GetImagesDirectory() = 0;
    // The 2x twin of an image path (ImagePathFor2X over the images directory); empty when none.
    virtual CommonString GetImagePathFor2XImage(CommonString path) = 0;

protected:
    ~IRenderHost() = default;
};

// The host's switches and screen, or those of a game-less renderer for a null host: software,
// every switch off, alpha threshold 128, key colour (255, 0, 255), orientation mode 0, angle 0,
// no screen bitmaps.
const TRenderSwitches& RenderSwitchesOf(IRenderHost* host);
const TScreenState& ScreenOf(IRenderHost* host);
// Renderer kind 5 (GL ES); false for a null host.
inline bool IsGlesRenderer(IRenderHost* host) { return RenderSwitchesOf(host).m_nRendererKind == kRendererGLES; }

// The bitmap factory hosts share: a GL ES bitmap for renderer kind 5, a software bitmap for any
// other kind or when the GL one cannot be made; with tracking on it joins the list of created
// bitmaps, and when the list cannot grow it is deleted and null returned. A null host gives a
// plain software bitmap.
[[nodiscard]] IDibBitmap* CreateRendererBitmap(IRenderHost* host);

// images dir less its last character + "_2x\" + the path past the images dir; empty when the
// path does not start with the images directory or is not longer than it.
CommonString ImagePathFor2X(const CommonString& imagesDirectory, const CommonString& path);
