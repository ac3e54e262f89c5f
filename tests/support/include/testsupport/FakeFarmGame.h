#pragma once
// A game object for the farm suites that links nothing of the game above the farm: the stand-in
// with the engine services a yard draws and sounds with (FakeServicesGame.h) and the farm host
// (IFarmHost) answered from plain fields a test sets. It owns the farm and the birds' calls a
// test hands it, as the game object does; the saves, the coins and the yard's ways out are only
// counted or noted.

#include "core/CommonString.h"
#include "game/farm/BirdSoundsManager.h"
#include "game/farm/FarmHost.h"
#include "game/farm/FarmManager.h"
#include "testsupport/FakeServicesGame.h"

class CFakeFarmGame : public CFakeServicesGame, public IFarmHost {
public:
    // The farm goes while the sprite sets, the rotator and the particles its objects hold exist.
    ~CFakeFarmGame() override {
        delete m_pFarmManager;
        delete m_pBirdSoundsManager;
    }

    CFarmManager* GetFarmManager() override { return m_pFarmManager; }
    CBirdSoundsManager* GetBirdSoundsManager() override { return m_pBirdSoundsManager; }
    CQuorvanParticleSystemManager2* GetParticleManager() override { return m_pParticleManager; }
    CMiniQuestManager* GetMiniQuestManager() override { return m_pMiniQuestManager; }
    CArenaManager* GetArenaManager() override { return m_pArenaManager; }
    CQuorvanStorage* GetSaveResumeStorage() override { return m_pSaveResumeStorage; }
    int GetYardRecordId(const CommonString& /*yard*/) override { return m_nYardRecordId; }
    void SaveResumeThenAppData() override { ++m_nSaves; }
    CommonString TakePendingPurchaseName() override {
        CommonString name = m_PendingPurchase;
        m_PendingPurchase = CommonString();
        return name;
    }
    void ResetShopTabOffsets() override { ++m_nShopTabResets; }
    FIXED_FLOAT_16 DrawNumCoins(int /*a*/, float /*scale*/) override {
        ++m_nCoinDraws;
        return 0;
    }
    void OpenPlayScreen() override { ++m_nPlayScreenOpenings; }
    void OpenFarmShop() override { ++m_nFarmShopOpenings; }
    void OpenYardQuests(int yardIndex) override { m_nQuestsYard = yardIndex; }

    CFarmManager* m_pFarmManager = nullptr;              // owned
    CBirdSoundsManager* m_pBirdSoundsManager = nullptr;  // owned
    CMiniQuestManager* m_pMiniQuestManager = nullptr;    // not owned
    CArenaManager* m_pArenaManager = nullptr;            // not owned
    CQuorvanStorage* m_pSaveResumeStorage = nullptr;     // not owned
    int m_nYardRecordId = -1;
    int m_nSaves = 0;
    CommonString m_PendingPurchase;
    int m_nShopTabResets = 0;
    int m_nCoinDraws = 0;
    int m_nPlayScreenOpenings = 0;
    int m_nFarmShopOpenings = 0;
    int m_nQuestsYard = -1;
};
