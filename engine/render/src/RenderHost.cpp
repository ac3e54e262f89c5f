// The render area's side of its host: what a null host answers, the shared bitmap factory and
// the 2x image path rule.
#include "render/RenderHost.h"

#include <new>
#include <string>

#include "render/GlesGlobals.h"
#include "render/WinDibBitmap.h"

namespace {

// A renderer without a game makes no textures and draws nothing turned.
struct TSwitchesWithoutHost : TRenderSwitches {
    TSwitchesWithoutHost() {
        m_bHardwareTextures = false;
        m_bImmediateUpload = false;
    }
};

struct TScreenWithoutHost : TScreenState {
    TScreenWithoutHost() {
        m_nOrientationMode = kOrientationNormal;
        m_nOrientationAngle = 0;
    }
};

}  // namespace

bool TScreenState::IsRotationInProcess() const {
    if (m_nRotationCounter > 0) return true;
    switch (m_nOrientationMode) {
        case 0:
            return m_nOrientationAngle != 0;
        case 1:
            return m_nOrientationAngle != -kRotationAngle90;
        case 2:
            return m_nOrientationAngle != kRotationAngle90;
        default:
            return true;
    }
}

const TRenderSwitches& RenderSwitchesOf(IRenderHost* host) {
    static const TSwitchesWithoutHost withoutHost;
    if (host == nullptr) return withoutHost;
    return host->RenderSwitches();
}

const TScreenState& ScreenOf(IRenderHost* host) {
    static const TScreenWithoutHost withoutHost;
    if (host == nullptr) return withoutHost;
    return host->Screen();
}

IDibBitmap* CreateRendererBitmap(IRenderHost* host) {
    if (host == nullptr) return new (std::nothrow) CWinDibBitmap(nullptr);
    IDibBitmap* bitmap = nullptr;
    // The GL ES renderer's bitmap for renderer kind 5; when it cannot be made, the software
    // bitmap below stands in.
    if (host->RenderSwitches().m_nRendererKind == kRendererGLES) bitmap = OGLES_CreateBitmap(host);
    if (bitmap == nullptr) {
        bitmap = new (std::nothrow) CWinDibBitmap(host);
        if (bitmap == nullptr) return nullptr;
    }
    TScreenState& screen = host->Screen();
    if (screen.m_bTrackBitmaps && screen.m_CreatedBitmaps.Add(bitmap) == 0) {
        delete bitmap;
        return nullptr;
    }
    return bitmap;
}

CommonString ImagePathFor2X(const CommonString& imagesDirectory, const CommonString& path) {
    const int imagesLength = imagesDirectory.Length();
    const int pathLength = path.Length();
    if (imagesLength == 0 || pathLength <= imagesLength) return CommonString();
    const char* p = path.GetDataConst();
    const char* d = imagesDirectory.GetDataConst();
    for (int i = 0; i < imagesLength; ++i) {
        if (p[i] != d[i]) return CommonString();
    }
    // Built without a format buffer so long paths are not cut.
    std::string twin(d, static_cast<std::size_t>(imagesLength - 1));
    twin += "_2x\\";
    twin += p + imagesLength;
    return CommonString(twin.c_str());
}
