// The game object's side of the player data and the progression managers.
#include <new>

#include "game/app/TheGame.h"
#include "game/gameplay/GameplaySurvival.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/InAppPurchaseManager.h"

bool CTheGame::CreateApplicationData() {
    auto* data = new (std::nothrow) CApplicationData();
    if (data == nullptr) return false;
    delete m_pAppData;
    m_pAppData = data;
    data->SetGamePtr(this);
    return true;
}

CApplicationData* CTheGame::GetAppData() const { return dynamic_cast<CApplicationData*>(m_pAppData); }

TUserProfile* CTheGame::GetCurrentProfile() const {
    CApplicationData* data = GetAppData();
    return data != nullptr ? data->GetCurrentProfile() : nullptr;
}

// The round screen (the tutorial's too) while one is open.
IRunningRound* CTheGame::GetRunningRound() { return m_pGameplayScreen; }

CAchievementsManager* CTheGame::GetAchievementsManager() { return m_pAchievementsManager; }

CAwardManager* CTheGame::GetAwardManager() { return m_pAwardManager; }

CBitmapFontText* CTheGame::GetGameFont(EGameFont font) {
    return font >= 0 && font < kGameFontCount ? m_Fonts[font] : nullptr;
}
