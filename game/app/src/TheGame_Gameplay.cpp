// What the round asks of the game object (game/gameplay/GameplayHost.h).
#include "game/app/TheGame.h"
#include "game/screens/AddCoinsDialog.h"
#include "game/screens/VolumeSliders.h"

int CTheGame::GetParticleEffectIndex(int effect) {
    return effect >= 0 && effect < kGameParticleEffectCount ? m_ParticleEffectIndex[effect] : -1;
}

CUpgradeManager* CTheGame::GetUpgradeManager() { return m_pUpgradeManager; }

CAdsEngine* CTheGame::GetAdsEngine() { return m_pAdsEngine; }

int CTheGame::RankOfExperience(unsigned int points) { return GetXP_Points2Rank(points); }

void CTheGame::ForgetNewHighScore() { m_nNewHighScoreRow = -1; }

void CTheGame::NoteNewHighScore(int row, int table) {
    if (row >= 0) m_nNewHighScoreRow = row;
    m_nNewHighScoreTable = table;
}

void CTheGame::SetTutorialScreen(CXGameplayTutorial* screen) { m_pTutorialScreen = screen; }

CXGameplayTutorial* CTheGame::GetTutorialScreen() { return m_pTutorialScreen; }

void CTheGame::OpenYardToBuy(const CommonString& object) {
    m_PendingPurchaseName = object;
    (void)SendMessage(this, MSG_RUN_FARM, 0, 0, true);
}

void CTheGame::OpenCoinShopOnPlayScreen() {
    m_PendingStartAction = CommonString("acn_addcoins_on");
    (void)SendMessage(this, MSG_RUN_PLAY_SCREEN, 0, 0, true);
}

int CTheGame::AnswerCoinShopMessage(CXElement* sender, int code, XWPARAM wparam) {
    return ::AnswerCoinShopMessage(this, sender, code, wparam);
}

bool CTheGame::ApplyVolumeSlider(XWidget* dialog, int code, const char* id, int value, int& tickCooldown) {
    return ::ApplyVolumeSlider(this, dialog, code, id, value, tickCooldown);
}

void CTheGame::ShowStoredVolumes(XWidget* dialog) { ::ShowStoredVolumes(this, dialog); }
