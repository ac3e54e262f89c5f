// The game object's part in the farm's start-up.
#include <new>
#include "game/app/TheGame.h"

#include "game/farm/BirdSoundsManager.h"
#include "game/farm/FarmManager.h"

bool CTheGame::CreateBirdSoundsManager() {
    SafeDelete(m_pBirdSoundsManager);
    m_pBirdSoundsManager = new (std::nothrow) CBirdSoundsManager(this);
    if (m_pBirdSoundsManager == nullptr) return false;
    return m_pBirdSoundsManager->PostConstruct() != 0 && m_pBirdSoundsManager->AddBirdSoundsToSoundManager() != 0;
}

// A new profile starts in the yard table's first yard.
CommonString CTheGame::GetFirstYardName() {
    const YardDef* first = m_pFarmManager != nullptr ? m_pFarmManager->GetYardDef(0) : nullptr;
    return first != nullptr ? first->id : CommonString();
}
