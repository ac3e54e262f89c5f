// Declared logical resolutions and the choice of a game size for a physical screen.
#include "app/GameBase.h"

void CGameBase::DeclareSupportedResolution(int w, int h) {
    auto* props = new TResolutionProps{w, h};
    if (!m_Resolutions.Add(props)) delete props;
}

int CGameBase::GetNumSupportedResolutions() { return m_Resolutions.count; }

bool CGameBase::IsResolutionSupported(int w, int h) {
    for (int i = 0; i < m_Resolutions.count; ++i) {
        const TResolutionProps* r = m_Resolutions.data[i];
        if (r != nullptr && r->width == w && r->height == h) return true;
    }
    return false;
}

TResolutionProps CGameBase::GetSupportedResolutionProps(int i) {
    if (i < 0 || i >= m_Resolutions.count || m_Resolutions.data[i] == nullptr) return TResolutionProps{0, 0};
    return *m_Resolutions.data[i];
}

namespace {
TBestResolution Unscaled(int w, int h, int sw, int sh) {
    return TBestResolution{w, h, sw, sh, (sw - w) / 2, (sh - h) / 2, w, h, false};
}
}  // namespace

TBestResolution CGameBase::FindBestSupportedResolutionForScreenSize(int w, int h) {
    if (m_Resolutions.count == 0 || IsResolutionSupported(w, h)) return Unscaled(w, h, w, h);

    // Within a tier the first declared size wins.
    for (int i = 0; i < m_Resolutions.count; ++i) {
        const TResolutionProps* r = m_Resolutions.data[i];
        if (r != nullptr && (r->width == w || r->height == h)) return Unscaled(r->width, r->height, w, h);
    }
    for (int i = 0; i < m_Resolutions.count; ++i) {
        const TResolutionProps* r = m_Resolutions.data[i];
        if (r != nullptr && r->height > 0 && static_cast<long long>(r->width) * h / r->height == w) {
            return Unscaled(r->width, r->height, w, h);
        }
    }

    TBestResolution best{w, h, w, h, 0, 0, w, h, false};
    long long bestMargin = -1;
    for (int i = 0; i < m_Resolutions.count; ++i) {
        const TResolutionProps* r = m_Resolutions.data[i];
        if (r == nullptr || r->width <= 0 || r->height <= 0) continue;
        long long fw;
        long long fh;
        // Scale by the tighter side so the whole picture fits on the screen.
        if (static_cast<long long>(w) * r->height <= static_cast<long long>(h) * r->width) {
            fw = w;
            fh = static_cast<long long>(r->height) * w / r->width;
        } else {
            fh = h;
            fw = static_cast<long long>(r->width) * h / r->height;
        }
        const long long margin = static_cast<long long>(w) * h - fw * fh;
        if (bestMargin < 0 || margin < bestMargin) {
            bestMargin = margin;
            best = TBestResolution{r->width,
                                   r->height,
                                   w,
                                   h,
                                   static_cast<int>((w - fw) / 2),
                                   static_cast<int>((h - fh) / 2),
                                   static_cast<int>(fw),
                                   static_cast<int>(fh),
                                   true};
        }
    }
    return best;
}

bool CGameBase::ScreenSidesOrBaseSize(int w, int h, int& shortSide, int& longSide, int& gameW, int& gameH) {
    shortSide = w < h ? w : h;
    longSide = w < h ? h : w;
    if (shortSide > 0) return true;
    // A screen with no size gives nothing to scale by; keep the portrait base size.
    gameW = 320;
    gameH = 480;
    return false;
}

bool CGameBase::SelectAndroidInGameResolution(int screenW, int screenH, int& gameW, int& gameH) {
    int shortSide = 0;
    int longSide = 0;
    if (!ScreenSidesOrBaseSize(screenW, screenH, shortSide, longSide, gameW, gameH)) return true;
    const bool landscape = m_Screen.m_nOrientationMode != 0;
    if (landscape) {
        gameW = 480;
        gameH = shortSide * 480 / longSide;
    } else {
        gameW = 320;
        gameH = longSide * 320 / shortSide;
    }
    const bool presetHolds =
        landscape && m_bResolutionPresetFlag && m_nResolutionPresetValue >= 1 && m_nResolutionPresetValue <= 255;
    if (shortSide >= 480 && !presetHolds) m_RenderSwitches.m_bDoubleResolution = true;
    return true;
}
