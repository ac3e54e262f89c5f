// The game object's part in the farm's start-up.
#include <new>
#include "game/app/TheGame.h"

#include "game/farm/BirdSoundsManager.h"
#include "game/farm/FarmManager.h"
#include "game/progress/ApplicationData.h"

bool CTheGame::CreateBirdSoundsManager(CommonString* failure) {
    CommonString why("Data\\bird_sounds.txt: the bird sounds could not be read");
    SafeDelete(m_pBirdSoundsManager);
    m_pBirdSoundsManager = new (std::nothrow) CBirdSoundsManager(this);
    bool made = m_pBirdSoundsManager != nullptr && m_pBirdSoundsManager->PostConstruct() != 0 &&
                m_pBirdSoundsManager->CheckTable(why);
    if (made && m_pBirdSoundsManager->AddBirdSoundsToSoundManager() == 0) {
        why = CommonString("Data\\bird_sounds.txt: the bird sounds could not be added to the sound table");
        made = false;
    }
    if (!made && failure != nullptr) *failure = why;
    return made;
}

// A new profile starts in the yard table's first yard.
CommonString CTheGame::GetFirstYardName() {
    const YardDef* first = m_pFarmManager != nullptr ? m_pFarmManager->GetYardDef(0) : nullptr;
    return first != nullptr ? first->id : CommonString();
}

CFarmManager* CTheGame::GetFarmManager() { return m_pFarmManager; }

CBirdSoundsManager* CTheGame::GetBirdSoundsManager() { return m_pBirdSoundsManager; }

CQuorvanParticleSystemManager2* CTheGame::GetParticleManager() { return m_pParticleManager; }

CMiniQuestManager* CTheGame::GetMiniQuestManager() { return m_pMiniQuestManager; }

CArenaManager* CTheGame::GetArenaManager() { return m_pArenaManager; }

CQuorvanStorage* CTheGame::GetSaveResumeStorage() { return m_pSaveResumeStorage; }

int CTheGame::GetYardRecordId(const CommonString& yard) {
    const CApplicationData* data = GetAppData();
    return data != nullptr ? SR_GetRecordId_OfYard(data->m_nCurrentProfile, yard) : -1;
}

CommonString CTheGame::TakePendingPurchaseName() {
    CommonString name = m_PendingPurchaseName;
    m_PendingPurchaseName = CommonString();
    return name;
}

void CTheGame::OpenPlayScreen() { (void)SendMessage(this, MSG_RUN_PLAY_SCREEN, 0, 0, true); }

void CTheGame::OpenFarmShop() { (void)SendMessage(this, MSG_RUN_FARM_SHOP, 0, 0, true); }

void CTheGame::OpenYardQuests(int yardIndex) { (void)SendMessage(this, MSG_RUN_QUESTS, yardIndex, MSG_RUN_FARM, true); }
