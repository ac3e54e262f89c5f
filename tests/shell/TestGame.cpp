#include "TestGame.h"

#include <GLES/gl.h>

#include "render/GlesGlobals.h"
#include "shell/BbUtil.h"
#include "shell/Program.h"
#include "testsupport/StubSoundSystem.h"

TTestGameConfig g_testGame;
TTestRecord g_record;

void ResetTestGame() {
    g_testGame = TTestGameConfig{};
    g_record = TTestRecord{};
}

namespace {

class CRecordingSound final : public CStubSoundSystem {
public:
    void SetPaused(bool paused) override { g_record.events.push_back(paused ? "sound paused" : "sound resumed"); }
};

}  // namespace

CGameBase* CreateGameObject() { return g_testGame.create ? new CTestGame(g_testGame) : nullptr; }

CTestGame::CTestGame(const TTestGameConfig& config) : config_(config) {
    m_ImagesDir = "i_vga\\";
    m_CommonPakName = "test.pak";
    m_Screen.m_nOrientationMode = config.orientationMode;
    if (config.withSound) m_pSoundSystem = new CRecordingSound();
    for (const std::string& sku : config.shopSkus) shop_.push_back({sku});
}

CTestGame::~CTestGame() {
    g_record.deleted = true;
    const TBbUtilState& bb = bbutil_state();
    g_record.windowAliveAtDeletion = bb.egl_disp != EGL_NO_DISPLAY && bb.screen_win != nullptr;
}

bool CTestGame::Init(int w, int h) {
    g_record.initCalled = true;
    g_record.initW = w;
    g_record.initH = h;
    g_record.doubleResolutionAtInit = m_RenderSwitches.m_bDoubleResolution;
    g_record.deviceWAtInit = m_Screen.m_nDeviceWidth;
    g_record.deviceHAtInit = m_Screen.m_nDeviceHeight;
    g_record.preferFilterAtInit = g_prefer_GL_NEAREST;
    g_record.pixelScaleAtInit = g_PixelScale;
    m_nGameWidth = w;
    m_nGameHeight = h;
    if (config_.onInit) config_.onInit(*this);
    return config_.initResult;
}

int CTestGame::OnGraffitiChar(int code) {
    g_record.events.push_back("key " + std::to_string(code));
    const std::size_t press = backKeys_++;
    return press < config_.backKeyAnswers.size() ? config_.backKeyAnswers[press] : 1;
}

bool CTestGame::RunGameCycle() {
    const int cycle = ++g_record.cycles;
    if (config_.onCycle) config_.onCycle(*this, cycle);
    glClearColor(0.0f, 0.5f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    bbutil_swap();
    return true;
}

int CTestGame::NotifyPointerEvent(int x, int y, int type) {
    g_record.pointers.push_back({x, y, type, 0, false});
    return 1;
}

int CTestGame::NotifyMultiTouchPointerEvent(int x, int y, int type, int touchId) {
    g_record.pointers.push_back({x, y, type, touchId, true});
    return 1;
}

InAppPurchaseDef* CTestGame::FindAppDefBasedOnId(const char* sku) {
    if (!sku || !*sku) return nullptr;
    for (InAppPurchaseDef& item : shop_) {
        if (item.sku == sku) return &item;
    }
    return nullptr;
}

bool CTestGame::IsConsumable(InAppPurchaseDef* item) {
    for (const std::string& sku : config_.consumableSkus)
        if (item->sku == sku) return true;
    return false;
}

void CTestGame::InAppPurchaseFinished(InAppPurchaseDef* item, int result) {
    g_record.purchases.emplace_back(item ? item->sku : "-", result);
}
