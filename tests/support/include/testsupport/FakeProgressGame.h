#pragma once
// A game object for the progression suites that links nothing of the game above progression: the
// stub game with the player data progression reads, and the progression host (IProgressHost)
// answered from plain fields a test sets. It owns the achievements and the award banner a test
// hands it, as the game object does; a purchase's outcome is only noted.

#include <new>

#include "game/progress/AchievementsManager.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/AwardManager.h"
#include "game/progress/ProgressHost.h"
#include "testsupport/StubGame.h"

class CFakeProgressGame : public CStubGame, public IProgressHost {
public:
    ~CFakeProgressGame() override {
        delete m_pAchievementsManager;
        delete m_pAwardManager;
    }

    // The player data of the game: a new CApplicationData that knows its game.
    bool CreateApplicationData() override {
        auto* data = new (std::nothrow) CApplicationData();
        if (data == nullptr) return false;
        delete m_pAppData;
        m_pAppData = data;
        data->SetGamePtr(this);
        return true;
    }
    CApplicationData* GetAppData() const { return dynamic_cast<CApplicationData*>(m_pAppData); }

    CommonString GetFirstYardName() override { return m_FirstYard; }
    IRunningRound* GetRunningRound() override { return m_pRound; }
    bool IsCurrentScreenSettled() override { return m_bScreenSettled; }
    CAchievementsManager* GetAchievementsManager() override { return m_pAchievementsManager; }
    CAwardManager* GetAwardManager() override { return m_pAwardManager; }
    CBitmapFontText* GetGameFont(EGameFont font) override {
        return font >= 0 && font < kGameFontCount ? m_Fonts[font] : nullptr;
    }
    void InAppPurchaseFinished(InAppPurchaseDef* item, int result) override {
        m_pLastPurchase = item;
        m_nLastPurchaseResult = result;
    }

    CommonString m_FirstYard;
    IRunningRound* m_pRound = nullptr;
    bool m_bScreenSettled = true;
    CAchievementsManager* m_pAchievementsManager = nullptr;  // owned
    CAwardManager* m_pAwardManager = nullptr;                // owned
    CBitmapFontText* m_Fonts[kGameFontCount] = {};           // not owned
    InAppPurchaseDef* m_pLastPurchase = nullptr;
    int m_nLastPurchaseResult = -1;
};
