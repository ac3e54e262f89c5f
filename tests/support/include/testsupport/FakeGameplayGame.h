#pragma once
// A game object for the gameplay suites that links nothing of the game above gameplay: the
// stand-in with the engine services a round draws and sounds with (FakeServicesGame.h) and the
// gameplay host (IGameplayHost) answered from plain fields a test sets. It owns the round screen a
// test hands it, as the game object does, and names the game's UI folder inside its pak. The
// round's ways out and the screens' answers are only noted.

#include <string>

#include "core/CommonString.h"
#include "game/gameplay/GameplayHost.h"
#include "game/gameplay/GameplaySurvival.h"
#include "testsupport/FakeServicesGame.h"
#include "ui/XElement.h"

class CFakeGameplayGame : public CFakeServicesGame, public IGameplayHost {
public:
    ~CFakeGameplayGame() override { SafeDeleteChildren(); }
    // Deletes the round screen (the tutorial is that screen), as the game object does.
    void SafeDeleteChildren() {
        SAFE_FREE_XELEMENT(m_pGameplayScreen);
        m_pTutorialScreen = nullptr;
    }

    CommonString GetUIDirectory() override { return CommonString(m_UIDir.c_str()); }
    // The round screen while one is open, else the round a test set.
    IRunningRound* GetRunningRound() override {
        return m_pGameplayScreen != nullptr ? m_pGameplayScreen : CFakeProgressGame::GetRunningRound();
    }
    CQuorvanParticleSystemManager2* GetParticleManager() override { return m_pParticleManager; }
    int GetParticleEffectIndex(int effect) override {
        return effect >= 0 && effect < kEffectSlots ? m_ParticleEffectIndex[effect] : -1;
    }
    CMiniQuestManager* GetMiniQuestManager() override { return m_pMiniQuestManager; }
    CArenaManager* GetArenaManager() override { return m_pArenaManager; }
    CUpgradeManager* GetUpgradeManager() override { return m_pUpgradeManager; }
    CAdsEngine* GetAdsEngine() override { return m_pAdsEngine; }
    void SaveResumeThenAppData() override { ++m_nSaves; }
    void SR_DeleteResume_Arena(int /*profileIndex*/, const CommonString& arenaName) override {
        m_DeletedResume = arenaName;
    }
    int RankOfExperience(unsigned int /*points*/) override { return m_nRank; }
    void ForgetNewHighScore() override { m_nNewHighScoreRow = -1; }
    void NoteNewHighScore(int row, int table) override {
        m_nNewHighScoreRow = row;
        m_nNewHighScoreTable = table;
    }
    void SetTutorialScreen(CXGameplayTutorial* screen) override { m_pTutorialScreen = screen; }
    CXGameplayTutorial* GetTutorialScreen() override { return m_pTutorialScreen; }
    void OpenYardToBuy(const CommonString& object) override { m_YardPurchase = object; }
    void OpenCoinShopOnPlayScreen() override { ++m_nCoinShopOpenings; }
    int AnswerCoinShopMessage(CXElement* /*sender*/, int /*code*/, XWPARAM /*wparam*/) override { return 0; }
    bool ApplyVolumeSlider(XWidget* /*dialog*/, int /*code*/, const char* /*id*/, int /*value*/,
                           int& /*tickCooldown*/) override {
        return false;
    }
    void ShowStoredVolumes(XWidget* /*dialog*/) override {}

    std::string m_UIDir = "ui\\ui_iphone\\";
    CXGameplaySurvival* m_pGameplayScreen = nullptr;  // owned
    static constexpr int kEffectSlots = 16;
    int m_ParticleEffectIndex[kEffectSlots] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    CMiniQuestManager* m_pMiniQuestManager = nullptr;  // not owned
    CArenaManager* m_pArenaManager = nullptr;          // not owned
    CUpgradeManager* m_pUpgradeManager = nullptr;      // not owned
    CAdsEngine* m_pAdsEngine = nullptr;                // not owned
    CXGameplayTutorial* m_pTutorialScreen = nullptr;
    int m_nRank = 1;
    int m_nSaves = 0;
    CommonString m_DeletedResume;
    int m_nNewHighScoreRow = -1;
    int m_nNewHighScoreTable = -1;
    CommonString m_YardPurchase;
    int m_nCoinShopOpenings = 0;
};
