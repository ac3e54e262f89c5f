// The application object's state, its default hooks and its small services.
#include "app/GameBase.h"

#include <cstdlib>
#include <ctime>
#include <new>

#include "app/BasicApplicationData.h"
#include "audio/SoundSystem.h"
#include "core/LocManager2.h"
#include "core/ZipFile.h"
#include "platform/Clock.h"
#include "platform/GamePaths.h"
#include "render/DibBitmap.h"

CGameBase* g_pGame = nullptr;

namespace {
// Shown by the text-info widget: the version (a blank until a build stamps one), the build date
// (empty) and the two shop links.
const char* const kInfoTexts[4] = {" ", "", "https://cobblebrooks.example/shop",
                                   "https://cobblebrooks.example/shop/more"};
}  // namespace

CGameBase::CGameBase() : CXElement(nullptr, nullptr) {
    // The root's game pointer is the root itself, so elements built under it find the game.
    SetGamePtr(this);
    m_uLastTickMs = GetTickCountMs();
    for (int i = 0; i < 4; ++i) m_InfoTexts[i] = kInfoTexts[i];
}

CGameBase::~CGameBase() {
    // The sound system goes first: its mixer thread may still be reading the game's settings.
    SafeDelete(m_pSoundSystem);
    SafeDelete(m_pQuitButton);
    SafeDelete(m_pQuitButtonPressed);
    SafeDelete(m_pBlendBuffer);
    SafeDelete(m_pBorderBuffer1);
    SafeDelete(m_pBorderBuffer2);
    SafeDelete(m_Screen.m_pBackBuffer);
    m_Screen.m_pDrawTarget = nullptr;
    SafeDelete(m_Paks.m_pCommonPak);
    SafeDelete(m_Paks.m_pResolutionPak);
    SafeDelete(m_Paks.m_pOptionalPak);
    SafeDelete(m_pBorderBitmap);
    SafeDelete(m_pBorderBitmap1);
    SafeDelete(m_pBorderBitmap2);
    SafeDelete(m_pLocManager);
    // The player data is deleted, not saved: the game saves it before it gets here.
    SafeDelete(m_pAppData);
    FlushCachedTemplates();
    // The created-bitmaps list does not own its bitmaps; its block goes with the array.
    m_pCapture = nullptr;
    // The element part is destroyed after this body and must not ask a half-gone game object
    // about its capture.
    SetGamePtr(nullptr);
    if (g_pGame == this) g_pGame = nullptr;
}

int CGameBase::OnMessage(CXElement* /*sender*/, int /*code*/, XWPARAM /*wparam*/, int /*lparam*/) { return 0; }

void CGameBase::Draw() { CXElement::Draw(); }

int CGameBase::MapKeyToGameCode(int /*key*/) { return -1; }
int CGameBase::SaveResume() { return 1; }
int CGameBase::LoadResume() { return 1; }
int CGameBase::LoadGlobalConstants(int /*w*/, int /*h*/) { return 0; }
int CGameBase::LoadWinMobileQuitButton() { return 1; }
int CGameBase::UseVGAonWM() { return 1; }

void CGameBase::SetPreffered_WM_OrientationMode(int mode) {
    if (!IsPenSupported() && mode == 0) m_bAskForOrientation = false;
    m_nDefaultRotationMode = (m_bPreferredOrientationSupport && m_bAskForOrientation && mode == 0) ? 1 : mode;
}

int CGameBase::InitLocalizationManger() { return 1; }
CommonString CGameBase::LoadString(int /*id*/) { return CommonString("empty"); }
int CGameBase::ChangeLanguage(int /*language*/) { return 1; }
int CGameBase::GetNumLanguagesSupported() { return 1; }
CUILayout* CGameBase::UILayout() { return nullptr; }
CSpriteSetManager* CGameBase::GetSpriteSetManager() { return nullptr; }
int CGameBase::AppSettingsLandscapeModeFlipped() { return 0; }
int CGameBase::UseFlippedMode() { return 0; }
int CGameBase::InitDeviceSoundSettigns() { return 1; }
int CGameBase::InitUILayout() { return 1; }
CommonString CGameBase::GetModuleDirectory() { return CommonString(); }
void CGameBase::CreateDirectory(CommonString /*path*/) {}
CommonString CGameBase::GetUIDirectory() { return CommonString(); }
void CGameBase::NotifyLandscapeModePreference(int /*mode*/) {}
int CGameBase::GetLandscapeModePreference() { return 1; }
int CGameBase::OnGraffitiChar(int /*c*/) { return 1; }
int CGameBase::OnCallMenu() { return 1; }
int CGameBase::GetResolutionId(int /*w*/, int /*h*/) { return 0; }

int CGameBase::GetCurrentResolutionId() {
    if (m_nCurrentResolutionId == 0 && m_Screen.m_pBackBuffer != nullptr) {
        m_nCurrentResolutionId = GetResolutionId(m_Screen.m_pBackBuffer->m_Width, m_Screen.m_pBackBuffer->m_Height);
    }
    return m_nCurrentResolutionId;
}

int CGameBase::GetVerticalBorderWidth() { return 0; }
int CGameBase::GetHorizontalBorderHeight() { return 0; }
void CGameBase::GC_NotifyScoreReport(bool /*ok*/) {}
void CGameBase::GC_NotifyAchievementReport(bool /*ok*/) {}
CBitmapFontText* CGameBase::GetDebugFont() { return nullptr; }
void CGameBase::OnAdReceived(bool /*received*/) {}
CommonString CGameBase::GetPublisherIdForAd() { return CommonString(); }
void CGameBase::SetNumTapjoyCoins(int /*coins*/) {}
void CGameBase::OnBillingResult(int /*result*/, CommonString /*text*/) {}

IDibBitmap* CGameBase::GetBlendBuffer() {
    return m_RenderSwitches.m_nRendererKind == kRendererGLES ? m_pBlendBuffer : m_Screen.m_pBackBuffer;
}

void CGameBase::GetDeviceScreenProperties(DisplayProperties* props) {
    if (props == nullptr) return;
    props->width = m_nGameWidth;
    props->height = m_nGameHeight;
    props->bytesPerPixel = 2;
    props->bytesPerRow = m_nGameWidth * 2;
    props->bitsPerPixel = 16;
    props->format = 2;
}

int CGameBase::RandomValue(int n) {
    if (n < 2) return 0;
    return std::rand() % n;
}

void CGameBase::InitRandoms() {
    if (m_bRandomSeeded) return;
    m_bRandomSeeded = true;
    std::srand(static_cast<unsigned>(platform::ClockTime(nullptr)));
}

CLocManager2* CGameBase::InitLocManager2(CommonString language) {
    // A second call replaces the manager instead of leaking the first.
    SafeDelete(m_pLocManager);
    auto* manager = new (std::nothrow) CLocManager2(this);
    if (manager == nullptr) return nullptr;
    // A table that cannot be read is no localisation: nothing is kept, so the caller sees it.
    if (!manager->Init(language, 200)) {
        delete manager;
        return nullptr;
    }
    m_pLocManager = manager;
    return manager;
}

void CGameBase::FlushCachedTemplates() { FlushTemplateCache(m_TemplateCache); }

CommonString CGameBase::GetImagePathFor2XImage(CommonString path) { return ImagePathFor2X(GetImagesDirectory(), path); }

int CGameBase::VolumeWheelDelta() { return m_nVolumeWheelDelta; }
bool CGameBase::IsDeviceStableWithSoundSystem() { return true; }

bool CGameBase::GetBatteryPercentage(int& percent, bool& charging) {
    percent = 0;
    charging = false;
    return false;
}

CommonString CGameBase::_GetSaveDirectory(CommonString /*a*/, CommonString /*b*/) { return GetModuleDirectory(); }
CommonString CGameBase::_GetSaveDirectory2(CommonString /*a*/, CommonString /*b*/) { return GetModuleDirectory(); }
void CGameBase::CreateSaveDirectory(CommonString /*path*/) {}

CommonString CGameBase::ResolveSavePath(const CommonString& path) {
    const char* text = path.GetDataConst();
    return CommonString(platform::ResolveSavePath(text != nullptr ? text : "").c_str());
}
void CGameBase::SystemResetInactivityTime() {}
void CGameBase::DrawAutoRotateBorders() {}
