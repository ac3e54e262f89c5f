// The game object of the shell's tests: records everything the shell does to it (in g_record,
// which outlives the object) and runs hooks the test sets in g_testGame. Its cycle clears the
// frame with plain GL and presents it, without the engine's fixed step.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "audio/SoundSystem.h"
#include "shell/PaymentGlue.h"
#include "testsupport/StubGame.h"

struct InAppPurchaseDef {
    std::string sku;
};

class CTestGame;

struct TTestGameConfig {
    bool create = true;  // false: CreateGameObject gives null
    bool initResult = true;
    int orientationMode = 0;  // 0 portrait; anything else landscape
    bool withSound = false;   // give the game a recording sound system
    bool hasPurchaseManager = true;
    std::vector<std::string> shopSkus = {"coins_1", "coins_5", "boost_40"};
    std::vector<std::string> consumableSkus;  // items a restore must not grant again
    // What the game's back-key handler answers for each press, in turn; 1 (stay) past the list.
    std::vector<int> backKeyAnswers;
    std::function<void(CTestGame&)> onInit;
    std::function<void(CTestGame&, int cycle)> onCycle;  // before the frame is drawn
};

struct TPointerCall {
    int x, y, type, touchId;
    bool multiTouch;
    bool operator==(const TPointerCall&) const = default;
};

struct TTestRecord {
    int initW = 0, initH = 0;
    bool initCalled = false;
    bool doubleResolutionAtInit = false;
    int deviceWAtInit = 0, deviceHAtInit = 0;
    int preferFilterAtInit = 0;
    float pixelScaleAtInit = 0.0f;
    int cycles = 0;
    std::vector<std::string> events;  // "pause", "sound paused", "sound resumed", "key <code>"
    std::vector<TPointerCall> pointers;
    std::vector<std::pair<std::string, int>> purchases;  // (sku or "-", result)
    bool deleted = false;
    bool windowAliveAtDeletion = false;
};

extern TTestGameConfig g_testGame;
extern TTestRecord g_record;

// Fresh config and record (call in SetUp).
void ResetTestGame();

class CTestGame final : public CStubGame, public IInAppPurchaseEvents {
public:
    explicit CTestGame(const TTestGameConfig& config);
    ~CTestGame() override;

    bool Init(int w, int h) override;
    bool RunGameCycle() override;
    void Pause() override { g_record.events.push_back("pause"); }
    int OnGraffitiChar(int code) override;
    int NotifyPointerEvent(int x, int y, int type) override;
    int NotifyMultiTouchPointerEvent(int x, int y, int type, int touchId) override;

    bool CreateApplicationData() override { return true; }

    bool HasPurchaseManager() override { return config_.hasPurchaseManager; }
    InAppPurchaseDef* FindAppDefBasedOnId(const char* sku) override;
    bool IsConsumable(InAppPurchaseDef* item) override;
    void InAppPurchaseFinished(InAppPurchaseDef* item, int result) override;

private:
    TTestGameConfig config_;
    std::size_t backKeys_ = 0;
    std::vector<InAppPurchaseDef> shop_;
};
