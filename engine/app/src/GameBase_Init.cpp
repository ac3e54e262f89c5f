// The numbered start-up of the application object and the screen bitmaps it builds first.
#include <new>

#include "app/BasicApplicationData.h"
#include "app/GameBase.h"
#include "audio/SoundSystem.h"
#include "core/ZipFile.h"
#include "platform/GamePaths.h"
#include "render/GlesGlobals.h"
#include "render/WinDibBitmap.h"

namespace {

// The pak path on this machine: the game names it relative to the application.
CommonString PakPath(CGameBase& game, const CommonString& name) {
    const CommonString relative = game.GetModuleDirectory() + name;
    return CommonString(platform::ResolveResourcePath(relative.GetDataConst() ? relative.GetDataConst() : "").c_str());
}

// Opens one pak into `slot`; the stage numbers of a reader that cannot be made and of one that
// cannot be opened. 0 on success.
int OpenPak(CGameBase& game, CBBZipFileReader*& slot, const CommonString& name, int stageCreate, int stageOpen) {
    slot = new (std::nothrow) CBBZipFileReader(&game);
    if (slot == nullptr) return stageCreate;
    const CommonString path = PakPath(game, name);
    if (slot->Init(path.GetDataConst()) != ZipResult::Ok) {
        game.m_FailedPakPath = path;
        game.m_FailedPakReason = CommonString(slot->GetInitFailure().c_str());
        SafeDelete(slot);
        return stageOpen;
    }
    return 0;
}

}  // namespace

bool CGameBase::Init(int w, int h) {
    m_nGameWidth = w;
    m_nGameHeight = h;

    if (!LoadOrCreateDefaultAppData()) return FailInit(kStagePlayerData);

    m_nRotationMode = ChooseRotationMode(w, h);

    m_nVerticalBorderWidth = GetVerticalBorderWidth();
    m_nHorizontalBorderHeight = GetHorizontalBorderHeight();

    int constantsLoaded = 0;
    if (m_nRotationMode == 0)
        constantsLoaded = LoadGlobalConstants(w, h);
    else if (m_nRotationMode == 1 || m_nRotationMode == 2)
        constantsLoaded = LoadGlobalConstants(h, w);
    if (!constantsLoaded) return FailInit(kStageGlobalConstants);

    if (!CreateDoubleBufferWnd(w, h, m_nVerticalBorderWidth, m_nHorizontalBorderHeight))
        return FailInit(kStageBackBuffer);
    if ((m_nVerticalBorderWidth > 0 || m_nHorizontalBorderHeight > 0) &&
        !CreateBorderDoubleBufferWnds(w, h, m_nVerticalBorderWidth, m_nHorizontalBorderHeight))
        return FailInit(kStageBorderBuffers);

    if (m_Paks.m_bPakMode) {
        if (m_Paks.m_bSinglePak) {
            if (const int stage = OpenPak(*this, m_Paks.m_pCommonPak, GetCommonGamePackName(), kStageCommonPakCreate,
                                          kStageCommonPakOpen))
                return FailInit(stage);
        } else {
            if (const int stage = OpenPak(*this, m_Paks.m_pCommonPak, GetCommonGamePackName(),
                                          kStageBothPaksCommonCreate, kStageBothPaksCommonOpen))
                return FailInit(stage);
            if (const int stage = OpenPak(*this, m_Paks.m_pResolutionPak, GetResolutionSpecificGamePackName(),
                                          kStageResolutionPakCreate, kStageResolutionPakOpen))
                return FailInit(stage);
        }
    }

    InitSound();

    if (!InitLocalizationManger()) return FailInit(kStageLocalisation);
    InitUI();
    if (!InitUILayout()) return FailInit(kStageUILayout);
    if (!ReLoadFonts()) return FailInit(kStageFonts);
    if (!LoadWinMobileQuitButton()) return FailInit(kStageQuitButton);
    m_nFailingStage = 0;
    return true;
}

bool CGameBase::FailInit(int stage) {
    m_nFailingStage = stage;
    return false;
}

int CGameBase::ChooseRotationMode(int w, int h) {
    if (!m_bPreferredOrientationSupport || w >= h) return 0;
    int mode;
    const int preference = m_pAppData != nullptr ? m_pAppData->m_nOrientationMode : -2;
    if (preference == -2 || preference == 0) {
        mode = m_nDefaultRotationMode;
        if (m_pAppData != nullptr) m_pAppData->m_nOrientationMode = -2;
    } else if (m_bAppDataCreatedFresh) {
        mode = m_nDefaultRotationMode;
        m_pAppData->m_nOrientationMode = mode;
    } else {
        mode = preference;
    }
    if (m_bAskForOrientation && mode == 0) mode = GetLandscapeModePreference();
    return mode;
}

void CGameBase::InitSound() {
    if (m_pSoundSystem != nullptr) return;
    m_pSoundSystem = CreateSoundSystemObject();
    if (m_pSoundSystem == nullptr) return;
    (void)InitDeviceSoundSettigns();
    if (!m_pSoundSystem->Initialize()) {
        // No device is no failure: the game runs silent.
        SafeDelete(m_pSoundSystem);
        return;
    }
    m_pSoundSystem->SoundON(IsSoundOn());
    m_pSoundSystem->MusicON(IsMusicOn());
    m_pSoundSystem->SetVolume(GetVolume());
    m_pSoundSystem->SetMusicVolume(GetMusicVolume());
}

bool CGameBase::CreateDoubleBufferWnd(int w, int h, int bw, int bh) {
    if (m_Screen.m_pBackBuffer == nullptr) {
        // A bordered screen is drawn in software and copied out beside its borders.
        if (bw > 0 || bh > 0) m_bGLRenderTarget = false;
        if (m_bGLRenderTarget) m_Screen.m_pBackBuffer = OGLES_InitAndCreateRenderTarget(this);
        if (m_Screen.m_pBackBuffer == nullptr) m_Screen.m_pBackBuffer = new (std::nothrow) CWinDibBitmap(this);
        if (m_Screen.m_pBackBuffer == nullptr) return false;
    }
    m_Screen.m_pDrawTarget = m_Screen.m_pBackBuffer;
    const int width = w - (bw > 0 ? 2 * bw : 0);
    const int height = h - (bh > 0 ? 2 * bh : 0);
    if (!m_Screen.m_pBackBuffer->Create(width, height)) return false;
    m_Screen.m_pBackBuffer->DestroyAlpha();
    if (m_RenderSwitches.m_nRendererKind == kRendererGLES)
        m_Screen.m_pBackBuffer->HWReleasePixelDataInRAM();
    else
        m_Screen.m_pBackBuffer->ClearBitmap(0, 0, 0);
    CreateBlendBuffer();
    return true;
}

void CGameBase::CreateBlendBuffer() {
    if (m_RenderSwitches.m_nRendererKind != kRendererGLES || m_Screen.m_pBackBuffer == nullptr) return;
    SafeDelete(m_pBlendBuffer);
    auto* blend = new (std::nothrow) CWinDibBitmap(this);
    if (blend == nullptr) return;
    if (!blend->Create(m_Screen.m_pBackBuffer->m_Width, m_Screen.m_pBackBuffer->m_Height)) {
        delete blend;
        return;
    }
    blend->DestroyAlpha();
    m_pBlendBuffer = blend;
}
