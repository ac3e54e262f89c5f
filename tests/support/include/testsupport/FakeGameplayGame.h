#pragma once
// A game object for the gameplay suites that links nothing of the game above gameplay: the
// progression stand-in (FakeProgressGame.h) with the engine services a round draws and sounds
// with (sprite-set manager, rotator, sound manager, particle effects; owned, as the game object
// owns them) and the gameplay host (IGameplayHost) answered from plain fields a test sets. The
// round's ways out and the screens' answers are only noted.

#include "audio/SoundManager.h"
#include "core/CommonString.h"
#include "game/gameplay/GameplayHost.h"
#include "particles/ParticleSystemManager.h"
#include "render/ImageRotatorScaler.h"
#include "sprites/SpriteSetManager.h"
#include "testsupport/FakeProgressGame.h"

class CFakeGameplayGame : public CFakeProgressGame, public IGameplayHost {
public:
    // The images folder the game object names inside its pak.
    CFakeGameplayGame() { m_ImagesDir = "i_vga\\"; }
    // The game object's order: the rotator before the particles, the sets and the sounds.
    ~CFakeGameplayGame() override {
        delete m_pRotatorScaler;
        delete m_pParticleManager;
        delete m_pSpriteSetManager;
        delete m_pSoundManager;
    }
    // The logical screen size alone, for suites that need the size but none of the start-up.
    void SetGameSize(int w, int h) {
        m_nGameWidth = w;
        m_nGameHeight = h;
    }

    CSpriteSetManager* GetSpriteSetManager() override { return m_pSpriteSetManager; }
    CQuorvanImageRotatorScaler* GetRotatorScaler() override { return m_pRotatorScaler; }
    CSoundManager* GetSoundManager() override { return m_pSoundManager; }

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

    static constexpr int kEffectSlots = 16;
    CSpriteSetManager* m_pSpriteSetManager = nullptr;              // owned
    CQuorvanImageRotatorScaler* m_pRotatorScaler = nullptr;        // owned
    CSoundManager* m_pSoundManager = nullptr;                      // owned
    CQuorvanParticleSystemManager2* m_pParticleManager = nullptr;  // owned
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
